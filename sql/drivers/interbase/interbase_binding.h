// The run-time binding of the Interbase/Firebird client call interface: the
// entry points looked up by name, and one loader per client generation and
// kind (client or embedded). Every loader keeps its own table of addresses,
// so loading one library never rebinds connections made through another.
#pragma once

#include <vector>

#include "sql/core/dbc/native_library.h"

// Every entry point, in the order the loaders look them up. Interbase 5 stops
// after isc_free; fb_interpret is bound by the Firebird 2.1 loaders only.
#define VX_IB_ENTRY_POINTS(X)                                                                                   \
  X(isc_sqlcode) X(isc_sql_interprete) X(isc_interprete) X(fb_interpret) X(isc_vax_integer) X(isc_array_gen_sdl) \
  X(isc_array_get_slice) X(isc_array_lookup_bounds) X(isc_array_lookup_desc) X(isc_array_set_desc)              \
  X(isc_array_put_slice) X(isc_blob_info) X(isc_open_blob2) X(isc_close_blob) X(isc_cancel_blob)                \
  X(isc_get_segment) X(isc_put_segment) X(isc_create_blob2) X(isc_decode_date) X(isc_encode_date)               \
  X(isc_dsql_free_statement) X(isc_dsql_execute2) X(isc_dsql_execute) X(isc_dsql_set_cursor_name)               \
  X(isc_dsql_fetch) X(isc_dsql_sql_info) X(isc_dsql_allocate_statement) X(isc_dsql_alloc_statement2)            \
  X(isc_dsql_prepare) X(isc_dsql_describe_bind) X(isc_dsql_describe) X(isc_dsql_execute_immediate)              \
  X(isc_drop_database) X(isc_detach_database) X(isc_attach_database) X(isc_database_info)                       \
  X(isc_transaction_info) X(isc_start_multiple) X(isc_start_transaction) X(isc_commit_transaction)              \
  X(isc_commit_retaining) X(isc_rollback_transaction) X(isc_cancel_events) X(isc_que_events)                    \
  X(isc_event_counts) X(isc_event_block) X(isc_free) X(isc_rollback_retaining) X(isc_decode_sql_date)           \
  X(isc_decode_sql_time) X(isc_decode_timestamp) X(isc_encode_sql_date) X(isc_encode_sql_time)                  \
  X(isc_encode_timestamp)

enum class TZInterbaseEntry : int {
  VX_IB_ENTRY_POINTS(VX_ENTRY_ENUM)
};

inline constexpr int kInterbaseEntryCount = 54;

// The exported name of an entry point.

// Which entry points a loader binds: Interbase 5 lacks the seven calls after
// isc_free, only Firebird 2.1 has fb_interpret.
enum class TZInterbaseGeneration { Interbase5, Interbase6, Firebird21 };

// Every client the driver can load: one loader and one plain driver each.
enum class TZInterbaseClient {
  Interbase5,
  Interbase6,
  Firebird10,
  Firebird15,
  Firebird20,
  Firebird21,
  Firebird15Embedded,
  Firebird20Embedded,
  Firebird21Embedded,
};
inline constexpr int kInterbaseClientCount = 9;

// Loads the library and fills its own table: one address per entry point of
// its generation, null for a name the library does not export (not an error
// at load time). While a database is attached through the library it is
// never unloaded: the engine, once it holds attachments, must not leave the
// process before it does.
class TZInterbaseNativeLibraryLoader : public TZEntryTableLoader {
public:
  TZInterbaseNativeLibraryLoader(TZInterbaseGeneration generation, std::vector<AnsiString> libraryNames);
  ~TZInterbaseNativeLibraryLoader() override;

  void FreeNativeLibrary() override;
  void* Entry(TZInterbaseEntry entry) const { return EntryAt(static_cast<int>(entry)); }

  // Counted by the plain driver as handles are attached and detached.
  void AttachmentOpened() { ++attachments_; }
  void AttachmentClosed() { --attachments_; }
  int Attachments() const { return attachments_; }

protected:
  bool Binds(int index) const override;

private:
  TZInterbaseGeneration generation_;
  int attachments_ = 0;
};

// The program's loader of a client, made on first use with the Linux names
// of its library (gds: libgds.so.0, libgds.so; clients: libfbclient.so.2,
// libfbclient.so; embedded: libfbembed.so, libfbclient.so.2, as Firebird 3
// embeds through its client) and freed at its end. Tests may change the
// names before the first connect.
TZInterbaseNativeLibraryLoader& InterbaseLibraryLoader(TZInterbaseClient client);
