// The plain drivers: each operation takes its entry point from its loader's
// table, typed by the prototype in ibase.h, and calls it.

#include "sql/drivers/interbase/interbase_plain_driver.h"

#include <cstddef>
#include <ibase.h>
#include <type_traits>

#include "platform/rtl/format.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

// Our declarations of the client's types must be its own.
static_assert(std::is_same_v<ISC_STATUS_VECTOR, ISC_STATUS_ARRAY> && DSQL_drop == kDsqlDrop);
static_assert(std::is_same_v<isc_db_handle, FB_API_HANDLE> && std::is_same_v<isc_stmt_handle, FB_API_HANDLE>);

// Each field of our record at the client's offset and of its size.
#define VX_SAME_FIELD(ours, theirs, field)                                                 \
  static_assert(offsetof(ours, field) == offsetof(theirs, field) &&                        \
                sizeof(std::declval<ours>().field) == sizeof(std::declval<theirs>().field))
static_assert(sizeof(TZIbXSQLVar) == sizeof(XSQLVAR) && sizeof(TZIbXSQLDA) == sizeof(XSQLDA));
VX_SAME_FIELD(TZIbXSQLVar, XSQLVAR, sqltype);
VX_SAME_FIELD(TZIbXSQLVar, XSQLVAR, sqlscale);
VX_SAME_FIELD(TZIbXSQLVar, XSQLVAR, sqlsubtype);
VX_SAME_FIELD(TZIbXSQLVar, XSQLVAR, sqllen);
VX_SAME_FIELD(TZIbXSQLVar, XSQLVAR, sqldata);
VX_SAME_FIELD(TZIbXSQLVar, XSQLVAR, sqlind);
VX_SAME_FIELD(TZIbXSQLVar, XSQLVAR, sqlname_length);
VX_SAME_FIELD(TZIbXSQLVar, XSQLVAR, sqlname);
VX_SAME_FIELD(TZIbXSQLVar, XSQLVAR, relname_length);
VX_SAME_FIELD(TZIbXSQLVar, XSQLVAR, relname);
VX_SAME_FIELD(TZIbXSQLVar, XSQLVAR, ownname_length);
VX_SAME_FIELD(TZIbXSQLVar, XSQLVAR, ownname);
VX_SAME_FIELD(TZIbXSQLVar, XSQLVAR, aliasname_length);
VX_SAME_FIELD(TZIbXSQLVar, XSQLVAR, aliasname);
VX_SAME_FIELD(TZIbXSQLDA, XSQLDA, version);
VX_SAME_FIELD(TZIbXSQLDA, XSQLDA, sqldaid);
VX_SAME_FIELD(TZIbXSQLDA, XSQLDA, sqldabc);
VX_SAME_FIELD(TZIbXSQLDA, XSQLDA, sqln);
VX_SAME_FIELD(TZIbXSQLDA, XSQLDA, sqld);
VX_SAME_FIELD(TZIbXSQLDA, XSQLDA, sqlvar);
static_assert(sizeof(TZIbTimestamp) == sizeof(ISC_TIMESTAMP));
VX_SAME_FIELD(TZIbTimestamp, ISC_TIMESTAMP, timestamp_date);
VX_SAME_FIELD(TZIbTimestamp, ISC_TIMESTAMP, timestamp_time);
static_assert(sizeof(TZIbArrayDesc) == sizeof(ISC_ARRAY_DESC) && sizeof(TZIbArrayBound) == sizeof(ISC_ARRAY_BOUND));
VX_SAME_FIELD(TZIbArrayDesc, ISC_ARRAY_DESC, array_desc_dtype);
VX_SAME_FIELD(TZIbArrayDesc, ISC_ARRAY_DESC, array_desc_scale);
VX_SAME_FIELD(TZIbArrayDesc, ISC_ARRAY_DESC, array_desc_length);
VX_SAME_FIELD(TZIbArrayDesc, ISC_ARRAY_DESC, array_desc_field_name);
VX_SAME_FIELD(TZIbArrayDesc, ISC_ARRAY_DESC, array_desc_relation_name);
VX_SAME_FIELD(TZIbArrayDesc, ISC_ARRAY_DESC, array_desc_dimensions);
VX_SAME_FIELD(TZIbArrayDesc, ISC_ARRAY_DESC, array_desc_flags);
VX_SAME_FIELD(TZIbArrayDesc, ISC_ARRAY_DESC, array_desc_bounds);
VX_SAME_FIELD(TZIbArrayBound, ISC_ARRAY_BOUND, array_bound_lower);
VX_SAME_FIELD(TZIbArrayBound, ISC_ARRAY_BOUND, array_bound_upper);
#undef VX_SAME_FIELD

namespace {

// Our records as the client's header names them.
const XSQLDA* Client(const TZIbXSQLDA* area) { return reinterpret_cast<const XSQLDA*>(area); }
XSQLDA* Client(TZIbXSQLDA* area) { return reinterpret_cast<XSQLDA*>(area); }
const ISC_ARRAY_DESC* Client(const TZIbArrayDesc* desc) { return reinterpret_cast<const ISC_ARRAY_DESC*>(desc); }
ISC_ARRAY_DESC* Client(TZIbArrayDesc* desc) { return reinterpret_cast<ISC_ARRAY_DESC*>(desc); }
const ISC_TIMESTAMP* Client(const TZIbTimestamp* stamp) { return reinterpret_cast<const ISC_TIMESTAMP*>(stamp); }
ISC_TIMESTAMP* Client(TZIbTimestamp* stamp) { return reinterpret_cast<ISC_TIMESTAMP*>(stamp); }

constexpr char kTooManyEventNames[] = "isc_event_block takes at most %d event names";

// isc_interprete is marked deprecated in ibase.h; its type is spelt here.
using TInterpreteFn = ISC_LONG (*)(ISC_SCHAR*, ISC_STATUS**);
// fb_interpret is told the buffer's size; callers pass at least this much.
constexpr unsigned kInterpretBufferSize = 1024;

}  // namespace

// The typed entry point of a call that ibase.h declares.
#define VX_IB(name) reinterpret_cast<decltype(&::name)>(RequireEntry(TZInterbaseEntry::name))

TZInterbaseBasePlainDriver::TZInterbaseBasePlainDriver(AnsiString protocol, AnsiString description,
                                                       TZInterbaseClient client)
    : protocol_(std::move(protocol)), description_(std::move(description)), loader_(InterbaseLibraryLoader(client)) {}

void* TZInterbaseBasePlainDriver::RequireEntry(TZInterbaseEntry entry) const {
  return loader_.NamedEntry(static_cast<int>(entry));
}

void TZInterbaseBasePlainDriver::CountAttachment(isc_db_handle before, isc_db_handle after) {
  if (before == 0 && after != 0) loader_.AttachmentOpened();
  if (before != 0 && after == 0) loader_.AttachmentClosed();
}

ISC_STATUS TZInterbaseBasePlainDriver::isc_attach_database(ISC_STATUS* status, short nameLength,
                                                           const ISC_SCHAR* name, isc_db_handle* db,
                                                           short dpbLength, const ISC_SCHAR* dpb) {
  const isc_db_handle before = *db;
  ISC_STATUS result = VX_IB(isc_attach_database)(status, nameLength, name, db, dpbLength, dpb);
  CountAttachment(before, *db);
  return result;
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_detach_database(ISC_STATUS* status, isc_db_handle* db) {
  const isc_db_handle before = *db;
  ISC_STATUS result = VX_IB(isc_detach_database)(status, db);
  CountAttachment(before, *db);
  return result;
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_drop_database(ISC_STATUS* status, isc_db_handle* db) {
  const isc_db_handle before = *db;
  ISC_STATUS result = VX_IB(isc_drop_database)(status, db);
  CountAttachment(before, *db);
  return result;
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_dsql_execute_immediate(ISC_STATUS* status, isc_db_handle* db,
                                                                  isc_tr_handle* tr, unsigned short length,
                                                                  const ISC_SCHAR* sql, unsigned short dialect,
                                                                  const TZIbXSQLDA* sqlda) {
  // CREATE DATABASE attaches the handle it is given.
  const isc_db_handle before = *db;
  ISC_STATUS result = VX_IB(isc_dsql_execute_immediate)(status, db, tr, length, sql, dialect, Client(sqlda));
  CountAttachment(before, *db);
  return result;
}

ISC_STATUS TZInterbaseBasePlainDriver::isc_database_info(ISC_STATUS* status, isc_db_handle* db, short itemLength,
                                                         const ISC_SCHAR* items, short bufferLength,
                                                         ISC_SCHAR* buffer) {
  return VX_IB(isc_database_info)(status, db, itemLength, items, bufferLength, buffer);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_array_gen_sdl(ISC_STATUS* status, const TZIbArrayDesc* desc,
                                                         ISC_SHORT* sdlBufferLength, ISC_UCHAR* sdlBuffer,
                                                         ISC_SHORT* sdlLength) {
  return VX_IB(isc_array_gen_sdl)(status, Client(desc), sdlBufferLength, sdlBuffer, sdlLength);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_array_get_slice(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr,
                                                           ISC_QUAD* arrayId, const TZIbArrayDesc* desc,
                                                           void* slice, ISC_LONG* sliceLength) {
  return VX_IB(isc_array_get_slice)(status, db, tr, arrayId, Client(desc), slice, sliceLength);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_array_lookup_bounds(ISC_STATUS* status, isc_db_handle* db,
                                                               isc_tr_handle* tr, const ISC_SCHAR* table,
                                                               const ISC_SCHAR* column, TZIbArrayDesc* desc) {
  return VX_IB(isc_array_lookup_bounds)(status, db, tr, table, column, Client(desc));
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_array_lookup_desc(ISC_STATUS* status, isc_db_handle* db,
                                                             isc_tr_handle* tr, const ISC_SCHAR* table,
                                                             const ISC_SCHAR* column, TZIbArrayDesc* desc) {
  return VX_IB(isc_array_lookup_desc)(status, db, tr, table, column, Client(desc));
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_array_set_desc(ISC_STATUS* status, const ISC_SCHAR* table,
                                                          const ISC_SCHAR* column, const short* sqlType,
                                                          const short* sqlLength, const short* dimensions,
                                                          TZIbArrayDesc* desc) {
  return VX_IB(isc_array_set_desc)(status, table, column, sqlType, sqlLength, dimensions, Client(desc));
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_array_put_slice(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr,
                                                           ISC_QUAD* arrayId, const TZIbArrayDesc* desc,
                                                           void* slice, ISC_LONG* sliceLength) {
  return VX_IB(isc_array_put_slice)(status, db, tr, arrayId, Client(desc), slice, sliceLength);
}
ISC_LONG TZInterbaseBasePlainDriver::isc_free(ISC_SCHAR* block) { return VX_IB(isc_free)(block); }
ISC_LONG TZInterbaseBasePlainDriver::isc_sqlcode(const ISC_STATUS* status) { return VX_IB(isc_sqlcode)(status); }
void TZInterbaseBasePlainDriver::isc_sql_interprete(short sqlCode, ISC_SCHAR* buffer, short bufferLength) {
  VX_IB(isc_sql_interprete)(sqlCode, buffer, bufferLength);
}
ISC_LONG TZInterbaseBasePlainDriver::isc_interprete(ISC_SCHAR* buffer, const ISC_STATUS** status) {
  auto interprete = reinterpret_cast<TInterpreteFn>(RequireEntry(TZInterbaseEntry::isc_interprete));
  return interprete(buffer, const_cast<ISC_STATUS**>(status));
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_start_transaction(ISC_STATUS* status, isc_tr_handle* tr, short count,
                                                             isc_db_handle* db, short tpbLength,
                                                             const ISC_SCHAR* tpb) {
  return VX_IB(isc_start_transaction)(status, tr, count, db, static_cast<int>(tpbLength), tpb);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_start_multiple(ISC_STATUS* status, isc_tr_handle* tr, short count,
                                                          void* teb) {
  return VX_IB(isc_start_multiple)(status, tr, count, teb);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_rollback_transaction(ISC_STATUS* status, isc_tr_handle* tr) {
  return VX_IB(isc_rollback_transaction)(status, tr);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_rollback_retaining(ISC_STATUS* status, isc_tr_handle* tr) {
  return VX_IB(isc_rollback_retaining)(status, tr);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_commit_retaining(ISC_STATUS* status, isc_tr_handle* tr) {
  return VX_IB(isc_commit_retaining)(status, tr);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_commit_transaction(ISC_STATUS* status, isc_tr_handle* tr) {
  return VX_IB(isc_commit_transaction)(status, tr);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_dsql_allocate_statement(ISC_STATUS* status, isc_db_handle* db,
                                                                   isc_stmt_handle* stmt) {
  return VX_IB(isc_dsql_allocate_statement)(status, db, stmt);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_dsql_alloc_statement2(ISC_STATUS* status, isc_db_handle* db,
                                                                 isc_stmt_handle* stmt) {
  return VX_IB(isc_dsql_alloc_statement2)(status, db, stmt);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_dsql_describe(ISC_STATUS* status, isc_stmt_handle* stmt,
                                                         unsigned short dialect, TZIbXSQLDA* sqlda) {
  return VX_IB(isc_dsql_describe)(status, stmt, dialect, Client(sqlda));
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_dsql_describe_bind(ISC_STATUS* status, isc_stmt_handle* stmt,
                                                              unsigned short dialect, TZIbXSQLDA* sqlda) {
  return VX_IB(isc_dsql_describe_bind)(status, stmt, dialect, Client(sqlda));
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_dsql_execute(ISC_STATUS* status, isc_tr_handle* tr, isc_stmt_handle* stmt,
                                                        unsigned short dialect, const TZIbXSQLDA* sqlda) {
  return VX_IB(isc_dsql_execute)(status, tr, stmt, dialect, Client(sqlda));
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_dsql_execute2(ISC_STATUS* status, isc_tr_handle* tr,
                                                         isc_stmt_handle* stmt, unsigned short dialect,
                                                         const TZIbXSQLDA* inSqlda, const TZIbXSQLDA* outSqlda) {
  return VX_IB(isc_dsql_execute2)(status, tr, stmt, dialect, Client(inSqlda), Client(outSqlda));
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_dsql_fetch(ISC_STATUS* status, isc_stmt_handle* stmt,
                                                      unsigned short dialect, const TZIbXSQLDA* sqlda) {
  return VX_IB(isc_dsql_fetch)(status, stmt, dialect, Client(sqlda));
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_dsql_free_statement(ISC_STATUS* status, isc_stmt_handle* stmt,
                                                               unsigned short option) {
  return VX_IB(isc_dsql_free_statement)(status, stmt, option);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_dsql_prepare(ISC_STATUS* status, isc_tr_handle* tr, isc_stmt_handle* stmt,
                                                        unsigned short length, const ISC_SCHAR* sql,
                                                        unsigned short dialect, TZIbXSQLDA* sqlda) {
  return VX_IB(isc_dsql_prepare)(status, tr, stmt, length, sql, dialect, Client(sqlda));
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_dsql_set_cursor_name(ISC_STATUS* status, isc_stmt_handle* stmt,
                                                                const ISC_SCHAR* name, unsigned short type) {
  return VX_IB(isc_dsql_set_cursor_name)(status, stmt, name, type);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_dsql_sql_info(ISC_STATUS* status, isc_stmt_handle* stmt, short itemLength,
                                                         const ISC_SCHAR* items, short bufferLength,
                                                         ISC_SCHAR* buffer) {
  return VX_IB(isc_dsql_sql_info)(status, stmt, itemLength, items, bufferLength, buffer);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_open_blob2(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr,
                                                      isc_blob_handle* blob, ISC_QUAD* blobId, ISC_USHORT bpbLength,
                                                      const ISC_UCHAR* bpb) {
  return VX_IB(isc_open_blob2)(status, db, tr, blob, blobId, bpbLength, bpb);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_create_blob2(ISC_STATUS* status, isc_db_handle* db, isc_tr_handle* tr,
                                                        isc_blob_handle* blob, ISC_QUAD* blobId, short bpbLength,
                                                        const ISC_SCHAR* bpb) {
  return VX_IB(isc_create_blob2)(status, db, tr, blob, blobId, bpbLength, bpb);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_blob_info(ISC_STATUS* status, isc_blob_handle* blob, short itemLength,
                                                     const ISC_SCHAR* items, short bufferLength, ISC_SCHAR* buffer) {
  return VX_IB(isc_blob_info)(status, blob, itemLength, items, bufferLength, buffer);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_close_blob(ISC_STATUS* status, isc_blob_handle* blob) {
  return VX_IB(isc_close_blob)(status, blob);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_cancel_blob(ISC_STATUS* status, isc_blob_handle* blob) {
  return VX_IB(isc_cancel_blob)(status, blob);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_get_segment(ISC_STATUS* status, isc_blob_handle* blob,
                                                       unsigned short* actualLength, unsigned short bufferLength,
                                                       ISC_SCHAR* buffer) {
  return VX_IB(isc_get_segment)(status, blob, actualLength, bufferLength, buffer);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_put_segment(ISC_STATUS* status, isc_blob_handle* blob,
                                                       unsigned short length, const ISC_SCHAR* buffer) {
  return VX_IB(isc_put_segment)(status, blob, length, buffer);
}
ISC_LONG TZInterbaseBasePlainDriver::isc_event_block(ISC_UCHAR** eventBuffer, ISC_UCHAR** resultBuffer,
                                                     ISC_USHORT count, const char* const* names) {
  if (count > kMaxEventNames) throw EZSQLException(Format(kTooManyEventNames, {kMaxEventNames}));
  // The call reads count names from its variable arguments; the slots after
  // them are passed but never read.
  const char* n[kMaxEventNames] = {};
  for (int i = 0; i < count; ++i) n[i] = names[i];
  return VX_IB(isc_event_block)(eventBuffer, resultBuffer, count, n[0], n[1], n[2], n[3], n[4], n[5], n[6], n[7],
                                n[8], n[9], n[10], n[11], n[12], n[13], n[14]);
}
void TZInterbaseBasePlainDriver::isc_event_counts(ISC_ULONG* counts, short bufferLength, ISC_UCHAR* eventBuffer,
                                                  const ISC_UCHAR* resultBuffer) {
  VX_IB(isc_event_counts)(counts, bufferLength, eventBuffer, resultBuffer);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_cancel_events(ISC_STATUS* status, isc_db_handle* db, ISC_LONG* eventId) {
  return VX_IB(isc_cancel_events)(status, db, eventId);
}
ISC_STATUS TZInterbaseBasePlainDriver::isc_que_events(ISC_STATUS* status, isc_db_handle* db, ISC_LONG* eventId,
                                                      short length, const ISC_UCHAR* eventBuffer,
                                                      ISC_EVENT_CALLBACK callback, void* argument) {
  return VX_IB(isc_que_events)(status, db, eventId, length, eventBuffer, callback, argument);
}
void TZInterbaseBasePlainDriver::isc_decode_date(const ISC_QUAD* date, void* tm) { VX_IB(isc_decode_date)(date, tm); }
void TZInterbaseBasePlainDriver::isc_encode_date(const void* tm, ISC_QUAD* date) { VX_IB(isc_encode_date)(tm, date); }
ISC_LONG TZInterbaseBasePlainDriver::isc_vax_integer(const ISC_SCHAR* buffer, short length) {
  return VX_IB(isc_vax_integer)(buffer, length);
}
void TZInterbaseBasePlainDriver::isc_decode_sql_date(const ISC_DATE* date, void* tm) {
  VX_IB(isc_decode_sql_date)(date, tm);
}
void TZInterbaseBasePlainDriver::isc_decode_sql_time(const ISC_TIME* time, void* tm) {
  VX_IB(isc_decode_sql_time)(time, tm);
}
void TZInterbaseBasePlainDriver::isc_decode_timestamp(const TZIbTimestamp* timestamp, void* tm) {
  VX_IB(isc_decode_timestamp)(Client(timestamp), tm);
}
void TZInterbaseBasePlainDriver::isc_encode_sql_date(const void* tm, ISC_DATE* date) {
  VX_IB(isc_encode_sql_date)(tm, date);
}
void TZInterbaseBasePlainDriver::isc_encode_sql_time(const void* tm, ISC_TIME* time) {
  VX_IB(isc_encode_sql_time)(tm, time);
}
void TZInterbaseBasePlainDriver::isc_encode_timestamp(const void* tm, TZIbTimestamp* timestamp) {
  VX_IB(isc_encode_timestamp)(tm, Client(timestamp));
}

// --- the plain driver of each protocol -------------------------------------------

TZInterbase5PlainDriver::TZInterbase5PlainDriver()
    : TZInterbaseBasePlainDriver("interbase-5", "Native Plain Driver for Interbase 5+", TZInterbaseClient::Interbase5) {}

ISC_STATUS TZInterbase5PlainDriver::isc_rollback_retaining(ISC_STATUS*, isc_tr_handle*) {
  throw Exception(SZUnsupportedRollbackRetaining);
}
void TZInterbase5PlainDriver::isc_decode_sql_date(const ISC_DATE*, void*) {
  throw Exception(SZUnsupportedDecodeSqlDate);
}
void TZInterbase5PlainDriver::isc_decode_sql_time(const ISC_TIME*, void*) {
  throw Exception(SZUnsupportedDecodeSqlTime);
}
void TZInterbase5PlainDriver::isc_decode_timestamp(const TZIbTimestamp*, void*) {
  throw Exception(SZUnsupportedDecodeSqlTimestamp);
}
void TZInterbase5PlainDriver::isc_encode_sql_date(const void*, ISC_DATE*) {
  throw Exception(SZUnsupportedEncodeSqlDate);
}
void TZInterbase5PlainDriver::isc_encode_sql_time(const void*, ISC_TIME*) {
  throw Exception(SZUnsupportedEncodeSqlTime);
}
void TZInterbase5PlainDriver::isc_encode_timestamp(const void*, TZIbTimestamp*) {
  throw Exception(SZUnsupportedEncodeSqlTimestamp);
}

TZInterbase6PlainDriver::TZInterbase6PlainDriver()
    : TZInterbaseBasePlainDriver("interbase-6", "Native Plain Driver for Interbase 6+", TZInterbaseClient::Interbase6) {}

TZFirebird10PlainDriver::TZFirebird10PlainDriver()
    : TZInterbaseBasePlainDriver("firebird-1.0", "Native Plain Driver for Firebird", TZInterbaseClient::Firebird10) {}

TZFirebird15PlainDriver::TZFirebird15PlainDriver()
    : TZInterbaseBasePlainDriver("firebird-1.5", "Native Plain Driver for Firebird 1.5",
                                 TZInterbaseClient::Firebird15) {}

TZFirebirdD15PlainDriver::TZFirebirdD15PlainDriver()
    : TZFirebird15PlainDriver("firebirdd-1.5", "Native Plain Driver for Firebird Embedded 1.5",
                              TZInterbaseClient::Firebird15Embedded) {}

TZFirebird20PlainDriver::TZFirebird20PlainDriver()
    : TZInterbaseBasePlainDriver("firebird-2.0", "Native Plain Driver for Firebird 2.0",
                                 TZInterbaseClient::Firebird20) {}

TZFirebirdD20PlainDriver::TZFirebirdD20PlainDriver()
    : TZFirebird20PlainDriver("firebirdd-2.0", "Native Plain Driver for Firebird Embedded 2.0",
                              TZInterbaseClient::Firebird20Embedded) {}

TZFirebird21PlainDriver::TZFirebird21PlainDriver()
    : TZInterbaseBasePlainDriver("firebird-2.1", "Native Plain Driver for Firebird 2.1",
                                 TZInterbaseClient::Firebird21) {}

ISC_LONG TZFirebird21PlainDriver::isc_interprete(ISC_SCHAR* buffer, const ISC_STATUS** status) {
  return VX_IB(fb_interpret)(buffer, kInterpretBufferSize, status);
}

TZFirebirdD21PlainDriver::TZFirebirdD21PlainDriver()
    : TZFirebird21PlainDriver("firebirdd-2.1", "Native Plain Driver for Firebird Embedded 2.1",
                              TZInterbaseClient::Firebird21Embedded) {}
