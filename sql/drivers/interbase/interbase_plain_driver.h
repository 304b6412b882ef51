// The plain drivers of the Interbase/Firebird client call interface:
// IZInterbasePlainDriver is the one road from the driver to the library.
// Each operation calls the entry point it is named after with the arguments
// unchanged and returns its result; calling one that the loaded library does
// not export raises EZSQLException naming the function. There is one plain
// driver per connection protocol, each reading the table of its own loader.
#pragma once

#include "sql/core/abstract_object.h"
#include "sql/core/dbc/native_library.h"
#include "sql/drivers/interbase/interbase_binding.h"
#include "sql/drivers/interbase/interbase_client_types.h"

// Events one isc_event_block call can name.
inline constexpr int kMaxEventNames = 15;

class IZInterbasePlainDriver : public virtual IZPlainDriver {
public:
  virtual ISC_STATUS isc_attach_database(ISC_STATUS* status, short nameLength, const ISC_SCHAR* name,
                                         isc_db_handle* db, short dpbLength, const ISC_SCHAR* dpb) = 0;
  virtual ISC_STATUS isc_detach_database(ISC_STATUS* status, isc_db_handle* db) = 0;
  virtual ISC_STATUS isc_drop_database(ISC_STATUS* status, isc_db_handle* db) = 0;
  virtual ISC_STATUS isc_database_info(ISC_STATUS* status, isc_db_handle* db, short itemLength,
                                       const ISC_SCHAR* items, short bufferLength, ISC_SCHAR* buffer) = 0;
  virtual ISC_STATUS isc_array_gen_sdl(ISC_STATUS* status, const TZIbArrayDesc* desc, ISC_SHORT* sdlBufferLength,
                                       ISC_UCHAR* sdlBuffer, ISC_SHORT* sdlLength) = 0;
  virtual ISC_STATUS isc_array_get_slice(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr, ISC_QUAD* arrayId,
                                         const TZIbArrayDesc* desc, void* slice, ISC_LONG* sliceLength) = 0;
  virtual ISC_STATUS isc_array_lookup_bounds(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr,
                                             const ISC_SCHAR* table, const ISC_SCHAR* column,
                                             TZIbArrayDesc* desc) = 0;
  virtual ISC_STATUS isc_array_lookup_desc(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr,
                                           const ISC_SCHAR* table, const ISC_SCHAR* column,
                                           TZIbArrayDesc* desc) = 0;
  virtual ISC_STATUS isc_array_set_desc(ISC_STATUS* status, const ISC_SCHAR* table, const ISC_SCHAR* column,
                                        const short* sqlType, const short* sqlLength, const short* dimensions,
                                        TZIbArrayDesc* desc) = 0;
  virtual ISC_STATUS isc_array_put_slice(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr, ISC_QUAD* arrayId,
                                         const TZIbArrayDesc* desc, void* slice, ISC_LONG* sliceLength) = 0;
  virtual ISC_LONG isc_free(ISC_SCHAR* block) = 0;
  virtual ISC_LONG isc_sqlcode(const ISC_STATUS* status) = 0;
  virtual void isc_sql_interprete(short sqlCode, ISC_SCHAR* buffer, short bufferLength) = 0;
  // The next line of the vector at *status into buffer (at least 1024
  // bytes), advancing *status; 0 when no line is left.
  virtual ISC_LONG isc_interprete(ISC_SCHAR* buffer, const ISC_STATUS** status) = 0;
  // Starts a transaction on one database.
  virtual ISC_STATUS isc_start_transaction(ISC_STATUS* status, isc_tr_handle* tr, short count, isc_db_handle* db,
                                           short tpbLength, const ISC_SCHAR* tpb) = 0;
  virtual ISC_STATUS isc_start_multiple(ISC_STATUS* status, isc_tr_handle* tr, short count, void* teb) = 0;
  virtual ISC_STATUS isc_rollback_transaction(ISC_STATUS* status, isc_tr_handle* tr) = 0;
  virtual ISC_STATUS isc_rollback_retaining(ISC_STATUS* status, isc_tr_handle* tr) = 0;
  virtual ISC_STATUS isc_commit_retaining(ISC_STATUS* status, isc_tr_handle* tr) = 0;
  virtual ISC_STATUS isc_commit_transaction(ISC_STATUS* status, isc_tr_handle* tr) = 0;
  virtual ISC_STATUS isc_dsql_allocate_statement(ISC_STATUS* status, isc_db_handle* db, isc_stmt_handle* stmt) = 0;
  virtual ISC_STATUS isc_dsql_alloc_statement2(ISC_STATUS* status, isc_db_handle* db, isc_stmt_handle* stmt) = 0;
  virtual ISC_STATUS isc_dsql_describe(ISC_STATUS* status, isc_stmt_handle* stmt, unsigned short dialect,
                                       TZIbXSQLDA* sqlda) = 0;
  virtual ISC_STATUS isc_dsql_describe_bind(ISC_STATUS* status, isc_stmt_handle* stmt, unsigned short dialect,
                                            TZIbXSQLDA* sqlda) = 0;
  virtual ISC_STATUS isc_dsql_execute(ISC_STATUS* status, isc_tr_handle* tr, isc_stmt_handle* stmt,
                                      unsigned short dialect, const TZIbXSQLDA* sqlda) = 0;
  virtual ISC_STATUS isc_dsql_execute2(ISC_STATUS* status, isc_tr_handle* tr, isc_stmt_handle* stmt,
                                       unsigned short dialect, const TZIbXSQLDA* inSqlda, const TZIbXSQLDA* outSqlda) = 0;
  virtual ISC_STATUS isc_dsql_execute_immediate(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr,
                                                unsigned short length, const ISC_SCHAR* sql, unsigned short dialect,
                                                const TZIbXSQLDA* sqlda) = 0;
  virtual ISC_STATUS isc_dsql_fetch(ISC_STATUS* status, isc_stmt_handle* stmt, unsigned short dialect,
                                    const TZIbXSQLDA* sqlda) = 0;
  virtual ISC_STATUS isc_dsql_free_statement(ISC_STATUS* status, isc_stmt_handle* stmt, unsigned short option) = 0;
  virtual ISC_STATUS isc_dsql_prepare(ISC_STATUS* status, isc_tr_handle* tr, isc_stmt_handle* stmt,
                                      unsigned short length, const ISC_SCHAR* sql, unsigned short dialect,
                                      TZIbXSQLDA* sqlda) = 0;
  virtual ISC_STATUS isc_dsql_set_cursor_name(ISC_STATUS* status, isc_stmt_handle* stmt, const ISC_SCHAR* name,
                                              unsigned short type) = 0;
  virtual ISC_STATUS isc_dsql_sql_info(ISC_STATUS* status, isc_stmt_handle* stmt, short itemLength,
                                       const ISC_SCHAR* items, short bufferLength, ISC_SCHAR* buffer) = 0;
  virtual ISC_STATUS isc_open_blob2(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr, isc_blob_handle* blob,
                                    ISC_QUAD* blobId, ISC_USHORT bpbLength, const ISC_UCHAR* bpb) = 0;
  virtual ISC_STATUS isc_create_blob2(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr,
                                      isc_blob_handle* blob, ISC_QUAD* blobId, short bpbLength,
                                      const ISC_SCHAR* bpb) = 0;
  virtual ISC_STATUS isc_blob_info(ISC_STATUS* status, isc_blob_handle* blob, short itemLength,
                                   const ISC_SCHAR* items, short bufferLength, ISC_SCHAR* buffer) = 0;
  virtual ISC_STATUS isc_close_blob(ISC_STATUS* status, isc_blob_handle* blob) = 0;
  virtual ISC_STATUS isc_cancel_blob(ISC_STATUS* status, isc_blob_handle* blob) = 0;
  virtual ISC_STATUS isc_get_segment(ISC_STATUS* status, isc_blob_handle* blob, unsigned short* actualLength,
                                     unsigned short bufferLength, ISC_SCHAR* buffer) = 0;
  virtual ISC_STATUS isc_put_segment(ISC_STATUS* status, isc_blob_handle* blob, unsigned short length,
                                     const ISC_SCHAR* buffer) = 0;
  // The event parameter buffers for count names (at most kMaxEventNames;
  // more raise EZSQLException without calling the client).
  virtual ISC_LONG isc_event_block(ISC_UCHAR** eventBuffer, ISC_UCHAR** resultBuffer, ISC_USHORT count,
                                   const char* const* names) = 0;
  virtual void isc_event_counts(ISC_ULONG* counts, short bufferLength, ISC_UCHAR* eventBuffer,
                                const ISC_UCHAR* resultBuffer) = 0;
  virtual ISC_STATUS isc_cancel_events(ISC_STATUS* status, isc_db_handle* db, ISC_LONG* eventId) = 0;
  virtual ISC_STATUS isc_que_events(ISC_STATUS* status, isc_db_handle* db, ISC_LONG* eventId, short length,
                                    const ISC_UCHAR* eventBuffer, ISC_EVENT_CALLBACK callback, void* argument) = 0;
  virtual void isc_decode_date(const ISC_QUAD* date, void* tm) = 0;
  virtual void isc_encode_date(const void* tm, ISC_QUAD* date) = 0;
  virtual ISC_LONG isc_vax_integer(const ISC_SCHAR* buffer, short length) = 0;
  virtual void isc_decode_sql_date(const ISC_DATE* date, void* tm) = 0;
  virtual void isc_decode_sql_time(const ISC_TIME* time, void* tm) = 0;
  virtual void isc_decode_timestamp(const TZIbTimestamp* timestamp, void* tm) = 0;
  virtual void isc_encode_sql_date(const void* tm, ISC_DATE* date) = 0;
  virtual void isc_encode_sql_time(const void* tm, ISC_TIME* time) = 0;
  virtual void isc_encode_timestamp(const void* tm, TZIbTimestamp* timestamp) = 0;
};

// What every plain driver shares: its protocol, description and loader, and
// the forwarding of each call to the loader's table. The attach, create and
// detach calls also tell the loader whether a database is attached.
class TZInterbaseBasePlainDriver : public TZAbstractObject, public virtual IZInterbasePlainDriver {
public:
  AnsiString GetProtocol() override { return protocol_; }
  AnsiString GetDescription() override { return description_; }
  // Loads the client library once per run.
  void Initialize() override { loader_.LoadIfNeeded(); }
  TZInterbaseNativeLibraryLoader& Loader() const { return loader_; }

  ISC_STATUS isc_attach_database(ISC_STATUS* status, short nameLength, const ISC_SCHAR* name, isc_db_handle* db,
                                 short dpbLength, const ISC_SCHAR* dpb) override;
  ISC_STATUS isc_detach_database(ISC_STATUS* status, isc_db_handle* db) override;
  ISC_STATUS isc_drop_database(ISC_STATUS* status, isc_db_handle* db) override;
  ISC_STATUS isc_database_info(ISC_STATUS* status, isc_db_handle* db, short itemLength, const ISC_SCHAR* items,
                               short bufferLength, ISC_SCHAR* buffer) override;
  ISC_STATUS isc_array_gen_sdl(ISC_STATUS* status, const TZIbArrayDesc* desc, ISC_SHORT* sdlBufferLength,
                               ISC_UCHAR* sdlBuffer, ISC_SHORT* sdlLength) override;
  ISC_STATUS isc_array_get_slice(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr, ISC_QUAD* arrayId,
                                 const TZIbArrayDesc* desc, void* slice, ISC_LONG* sliceLength) override;
  ISC_STATUS isc_array_lookup_bounds(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr,
                                     const ISC_SCHAR* table, const ISC_SCHAR* column, TZIbArrayDesc* desc) override;
  ISC_STATUS isc_array_lookup_desc(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr, const ISC_SCHAR* table,
                                   const ISC_SCHAR* column, TZIbArrayDesc* desc) override;
  ISC_STATUS isc_array_set_desc(ISC_STATUS* status, const ISC_SCHAR* table, const ISC_SCHAR* column,
                                const short* sqlType, const short* sqlLength, const short* dimensions,
                                TZIbArrayDesc* desc) override;
  ISC_STATUS isc_array_put_slice(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr, ISC_QUAD* arrayId,
                                 const TZIbArrayDesc* desc, void* slice, ISC_LONG* sliceLength) override;
  ISC_LONG isc_free(ISC_SCHAR* block) override;
  ISC_LONG isc_sqlcode(const ISC_STATUS* status) override;
  void isc_sql_interprete(short sqlCode, ISC_SCHAR* buffer, short bufferLength) override;
  ISC_LONG isc_interprete(ISC_SCHAR* buffer, const ISC_STATUS** status) override;
  ISC_STATUS isc_start_transaction(ISC_STATUS* status, isc_tr_handle* tr, short count, isc_db_handle* db,
                                   short tpbLength, const ISC_SCHAR* tpb) override;
  ISC_STATUS isc_start_multiple(ISC_STATUS* status, isc_tr_handle* tr, short count, void* teb) override;
  ISC_STATUS isc_rollback_transaction(ISC_STATUS* status, isc_tr_handle* tr) override;
  ISC_STATUS isc_rollback_retaining(ISC_STATUS* status, isc_tr_handle* tr) override;
  ISC_STATUS isc_commit_retaining(ISC_STATUS* status, isc_tr_handle* tr) override;
  ISC_STATUS isc_commit_transaction(ISC_STATUS* status, isc_tr_handle* tr) override;
  ISC_STATUS isc_dsql_allocate_statement(ISC_STATUS* status, isc_db_handle* db, isc_stmt_handle* stmt) override;
  ISC_STATUS isc_dsql_alloc_statement2(ISC_STATUS* status, isc_db_handle* db, isc_stmt_handle* stmt) override;
  ISC_STATUS isc_dsql_describe(ISC_STATUS* status, isc_stmt_handle* stmt, unsigned short dialect,
                               TZIbXSQLDA* sqlda) override;
  ISC_STATUS isc_dsql_describe_bind(ISC_STATUS* status, isc_stmt_handle* stmt, unsigned short dialect,
                                    TZIbXSQLDA* sqlda) override;
  ISC_STATUS isc_dsql_execute(ISC_STATUS* status, isc_tr_handle* tr, isc_stmt_handle* stmt, unsigned short dialect,
                              const TZIbXSQLDA* sqlda) override;
  ISC_STATUS isc_dsql_execute2(ISC_STATUS* status, isc_tr_handle* tr, isc_stmt_handle* stmt, unsigned short dialect,
                               const TZIbXSQLDA* inSqlda, const TZIbXSQLDA* outSqlda) override;
  ISC_STATUS isc_dsql_execute_immediate(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr,
                                        unsigned short length, const ISC_SCHAR* sql, unsigned short dialect,
                                        const TZIbXSQLDA* sqlda) override;
  ISC_STATUS isc_dsql_fetch(ISC_STATUS* status, isc_stmt_handle* stmt, unsigned short dialect,
                            const TZIbXSQLDA* sqlda) override;
  ISC_STATUS isc_dsql_free_statement(ISC_STATUS* status, isc_stmt_handle* stmt, unsigned short option) override;
  ISC_STATUS isc_dsql_prepare(ISC_STATUS* status, isc_tr_handle* tr, isc_stmt_handle* stmt, unsigned short length,
                              const ISC_SCHAR* sql, unsigned short dialect, TZIbXSQLDA* sqlda) override;
  ISC_STATUS isc_dsql_set_cursor_name(ISC_STATUS* status, isc_stmt_handle* stmt, const ISC_SCHAR* name,
                                      unsigned short type) override;
  ISC_STATUS isc_dsql_sql_info(ISC_STATUS* status, isc_stmt_handle* stmt, short itemLength, const ISC_SCHAR* items,
                               short bufferLength, ISC_SCHAR* buffer) override;
  ISC_STATUS isc_open_blob2(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr, isc_blob_handle* blob,
                            ISC_QUAD* blobId, ISC_USHORT bpbLength, const ISC_UCHAR* bpb) override;
  ISC_STATUS isc_create_blob2(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr, isc_blob_handle* blob,
                              ISC_QUAD* blobId, short bpbLength, const ISC_SCHAR* bpb) override;
  ISC_STATUS isc_blob_info(ISC_STATUS* status, isc_blob_handle* blob, short itemLength, const ISC_SCHAR* items,
                           short bufferLength, ISC_SCHAR* buffer) override;
  ISC_STATUS isc_close_blob(ISC_STATUS* status, isc_blob_handle* blob) override;
  ISC_STATUS isc_cancel_blob(ISC_STATUS* status, isc_blob_handle* blob) override;
  ISC_STATUS isc_get_segment(ISC_STATUS* status, isc_blob_handle* blob, unsigned short* actualLength,
                             unsigned short bufferLength, ISC_SCHAR* buffer) override;
  ISC_STATUS isc_put_segment(ISC_STATUS* status, isc_blob_handle* blob, unsigned short length,
                             const ISC_SCHAR* buffer) override;
  ISC_LONG isc_event_block(ISC_UCHAR** eventBuffer, ISC_UCHAR** resultBuffer, ISC_USHORT count,
                           const char* const* names) override;
  void isc_event_counts(ISC_ULONG* counts, short bufferLength, ISC_UCHAR* eventBuffer,
                        const ISC_UCHAR* resultBuffer) override;
  ISC_STATUS isc_cancel_events(ISC_STATUS* status, isc_db_handle* db, ISC_LONG* eventId) override;
  ISC_STATUS isc_que_events(ISC_STATUS* status, isc_db_handle* db, ISC_LONG* eventId, short length,
                            const ISC_UCHAR* eventBuffer, ISC_EVENT_CALLBACK callback, void* argument) override;
  void isc_decode_date(const ISC_QUAD* date, void* tm) override;
  void isc_encode_date(const void* tm, ISC_QUAD* date) override;
  ISC_LONG isc_vax_integer(const ISC_SCHAR* buffer, short length) override;
  void isc_decode_sql_date(const ISC_DATE* date, void* tm) override;
  void isc_decode_sql_time(const ISC_TIME* time, void* tm) override;
  void isc_decode_timestamp(const TZIbTimestamp* timestamp, void* tm) override;
  void isc_encode_sql_date(const void* tm, ISC_DATE* date) override;
  void isc_encode_sql_time(const void* tm, ISC_TIME* time) override;
  void isc_encode_timestamp(const void* tm, TZIbTimestamp* timestamp) override;

protected:
  TZInterbaseBasePlainDriver(AnsiString protocol, AnsiString description, TZInterbaseClient client);

  // The bound address of entry, or EZSQLException naming the function: a
  // call must never go through a null address.
  void* RequireEntry(TZInterbaseEntry entry) const;

private:
  // Counts a handle that a call turned from 0 into an attachment or back.
  void CountAttachment(isc_db_handle before, isc_db_handle after);

  AnsiString protocol_;
  AnsiString description_;
  TZInterbaseNativeLibraryLoader& loader_;
};

// Interbase 5 has neither the SQL date and time conversions nor a retaining
// rollback: those calls raise without reaching the library.
class TZInterbase5PlainDriver : public TZInterbaseBasePlainDriver {
public:
  TZInterbase5PlainDriver();
  ISC_STATUS isc_rollback_retaining(ISC_STATUS* status, isc_tr_handle* tr) override;
  void isc_decode_sql_date(const ISC_DATE* date, void* tm) override;
  void isc_decode_sql_time(const ISC_TIME* time, void* tm) override;
  void isc_decode_timestamp(const TZIbTimestamp* timestamp, void* tm) override;
  void isc_encode_sql_date(const void* tm, ISC_DATE* date) override;
  void isc_encode_sql_time(const void* tm, ISC_TIME* time) override;
  void isc_encode_timestamp(const void* tm, TZIbTimestamp* timestamp) override;
};

class TZInterbase6PlainDriver : public TZInterbaseBasePlainDriver {
public:
  TZInterbase6PlainDriver();
};

class TZFirebird10PlainDriver : public TZInterbaseBasePlainDriver {
public:
  TZFirebird10PlainDriver();
};

class TZFirebird15PlainDriver : public TZInterbaseBasePlainDriver {
public:
  TZFirebird15PlainDriver();

protected:
  using TZInterbaseBasePlainDriver::TZInterbaseBasePlainDriver;
};

class TZFirebirdD15PlainDriver : public TZFirebird15PlainDriver {
public:
  TZFirebirdD15PlainDriver();
};

class TZFirebird20PlainDriver : public TZInterbaseBasePlainDriver {
public:
  TZFirebird20PlainDriver();

protected:
  using TZInterbaseBasePlainDriver::TZInterbaseBasePlainDriver;
};

class TZFirebirdD20PlainDriver : public TZFirebird20PlainDriver {
public:
  TZFirebirdD20PlainDriver();
};

// Interprets status vectors with fb_interpret, which is told the buffer size.
class TZFirebird21PlainDriver : public TZInterbaseBasePlainDriver {
public:
  TZFirebird21PlainDriver();
  ISC_LONG isc_interprete(ISC_SCHAR* buffer, const ISC_STATUS** status) override;

protected:
  using TZInterbaseBasePlainDriver::TZInterbaseBasePlainDriver;
};

class TZFirebirdD21PlainDriver : public TZFirebird21PlainDriver {
public:
  TZFirebirdD21PlainDriver();
};
