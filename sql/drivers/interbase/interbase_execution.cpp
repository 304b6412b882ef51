// Preparing, describing, binding, row counts, blobs and the version text of
// the Interbase/Firebird driver's dynamic SQL.

#include "sql/drivers/interbase/interbase_execution.h"

#include <algorithm>
#include <ibase.h>
#include <memory>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/interfaces.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/interbase/interbase_utils.h"

namespace {

constexpr short kTypeReplySize = 8;
constexpr short kRecordsReplySize = 256;
constexpr short kBlobReplySize = 100;
constexpr short kVersionReplySize = 1024;
// Empty segments in a row after which a blob read gives up.
constexpr int kMaxEmptySegments = 100;

// Reads the clusters of a client's information reply: an item byte, a
// 16-bit length, then that many value bytes.
struct TReplyReader {
  IZInterbasePlainDriver* plain;
  const char* reply;
  int size;

  // The value length at pos (the item byte), -1 when the cluster does not
  // fit the reply.
  int Length(int pos) const {
    if (pos + 3 > size) return -1;
    const int length = plain->isc_vax_integer(reply + pos + 1, 2);
    return length < 0 || pos + 3 + length > size ? -1 : length;
  }
  // Values shorter than 4 bytes are unsigned: a 16-bit segment size of
  // 40000 is not negative.
  std::int64_t Value(int pos, int length) const {
    if (length == 0) return 0;
    const int width = std::min(length, 4);
    const std::int64_t value = plain->isc_vax_integer(reply + pos + 3, static_cast<short>(width));
    return width == 4 ? value : value & ((std::int64_t{1} << (8 * width)) - 1);
  }
};

// An open blob that is cancelled unless it was closed: a failure must not
// leave it open in the transaction.
class TOpenBlob {
public:
  explicit TOpenBlob(IZInterbasePlainDriver* plain) : plain_(plain) {}
  ~TOpenBlob() {
    if (handle == 0) return;
    ISC_STATUS_VECTOR status = {};
    plain_->isc_cancel_blob(status, &handle);
  }
  TOpenBlob(const TOpenBlob&) = delete;
  TOpenBlob& operator=(const TOpenBlob&) = delete;

  isc_blob_handle handle = 0;

  void Close() {
    ISC_STATUS_VECTOR status = {};
    plain_->isc_close_blob(status, &handle);
    CheckInterbase6Error(plain_, status, lcOther);
    handle = 0;
  }

private:
  IZInterbasePlainDriver* plain_;
};

std::int64_t CheckedRange(std::int64_t value, std::int64_t low, std::int64_t high) {
  if (value < low || value > high) throw ERangeError(SRangeError);
  return value;
}

// Describes into area with describe, grows it once the client reports more
// variables than it holds and describes again.
template <class Describe>
void DescribeInto(IZInterbasePlainDriver* plain, const AnsiString& sql, IZSQLDA* area, Describe describe) {
  ISC_STATUS_VECTOR status = {};
  describe(status, area->GetData());
  CheckInterbase6Error(plain, status, lcExecute, sql);
  if (area->GetData()->sqld <= area->GetData()->sqln) return;
  area->AllocateSQLDA();
  describe(status, area->GetData());
  CheckInterbase6Error(plain, status, lcExecute, sql);
}

void BindBlob(IZParamsSQLDA* area, int index, const TZVariant& value) {
  Ref<IZBlob> blob = Query<IZBlob>(DefaultVarManager()->GetAsInterface(value));
  if (!blob) throw EZSQLException(SZWrongTypeForBlobParameter);
  if (blob->IsEmpty()) return;
  std::unique_ptr<TStream> stream = blob->GetStream();
  area->WriteBlob(index, stream.get());
}

void BindParameter(IZParamsSQLDA* area, int index, TZSQLType type, const TZVariant& value) {
  const IZVariantManager& soft = *SoftVarManager();
  switch (type) {
    case stBoolean: return area->UpdateBoolean(index, soft.GetAsBoolean(value));
    case stByte: return area->UpdateByte(index, static_cast<std::int8_t>(soft.GetAsInteger(value)));
    case stShort: return area->UpdateShort(index, static_cast<std::int16_t>(soft.GetAsInteger(value)));
    case stInteger: return area->UpdateInt(index, static_cast<std::int32_t>(soft.GetAsInteger(value)));
    case stLong: return area->UpdateLong(index, soft.GetAsInteger(value));
    case stFloat: return area->UpdateFloat(index, static_cast<float>(soft.GetAsFloat(value)));
    case stDouble: return area->UpdateDouble(index, static_cast<double>(soft.GetAsFloat(value)));
    case stBigDecimal: return area->UpdateBigDecimal(index, soft.GetAsFloat(value));
    case stString: return area->UpdateString(index, soft.GetAsString(value));
    case stUnicodeString: return area->UpdateString(index, WideToAnsi(soft.GetAsUnicodeString(value)));
    case stBytes: return area->UpdateBytes(index, StrToBytes(soft.GetAsString(value)));
    case stDate: return area->UpdateDate(index, soft.GetAsDateTime(value));
    case stTime: return area->UpdateTime(index, soft.GetAsDateTime(value));
    case stTimestamp: return area->UpdateTimestamp(index, soft.GetAsDateTime(value));
    case stAsciiStream: case stUnicodeStream: case stBinaryStream: return BindBlob(area, index, value);
    default: throw EZIBConvertError(SZUnsupportedParameterType);
  }
}

}  // namespace

int PrepareStatement(IZInterbasePlainDriver* plainDriver, isc_db_handle* dbHandle, isc_tr_handle* trHandle,
                     std::uint16_t dialect, const AnsiString& sql, isc_stmt_handle& stmtHandle, bool utf8Text) {
  ISC_STATUS_VECTOR status = {};
  plainDriver->isc_dsql_alloc_statement2(status, dbHandle, &stmtHandle);
  CheckInterbase6Error(plainDriver, status, lcExecute, sql);
  const std::string text = utf8Text ? AnsiToUtf8(sql) : std::string(sql);
  plainDriver->isc_dsql_prepare(status, trHandle, &stmtHandle, 0, text.c_str(), dialect, nullptr);
  try {
    CheckInterbase6Error(plainDriver, status, lcExecute, sql);
  } catch (...) {
    FreeStatement(plainDriver, stmtHandle);
    throw;
  }
  const int type = GetStatementType(plainDriver, stmtHandle);
  if (type == 0 || type == kStmtGetSegment || type == kStmtPutSegment || type == kStmtStartTransaction) {
    FreeStatement(plainDriver, stmtHandle);
    throw EZSQLException(SZStatementIsNotAllowed);
  }
  return type;
}

int GetStatementType(IZInterbasePlainDriver* plainDriver, isc_stmt_handle& stmtHandle) {
  ISC_STATUS_VECTOR status = {};
  const char item = isc_info_sql_stmt_type;
  char reply[kTypeReplySize] = {};
  plainDriver->isc_dsql_sql_info(status, &stmtHandle, 1, &item, sizeof reply, reply);
  CheckInterbase6Error(plainDriver, status, lcOther);
  if (reply[0] != isc_info_sql_stmt_type) return 0;
  const TReplyReader reader{plainDriver, reply, kTypeReplySize};
  const int length = reader.Length(0);
  if (length < 0) return 0;
  return static_cast<std::uint8_t>(reader.Value(0, length));
}

void PrepareResultSqlData(IZInterbasePlainDriver* plainDriver, std::uint16_t dialect, const AnsiString& sql,
                          isc_stmt_handle& stmtHandle, IZResultSQLDA* sqlData) {
  DescribeInto(plainDriver, sql, sqlData, [&](ISC_STATUS* status, TZIbXSQLDA* area) {
    plainDriver->isc_dsql_describe(status, &stmtHandle, dialect, area);
  });
  sqlData->InitFields(false);
  sqlData->ClearBlobCache();
}

void PrepareParameters(IZInterbasePlainDriver* plainDriver, const AnsiString& sql,
                       const TZVariantDynArray& inParamValues, const TZSQLTypeArray& inParamTypes,
                       int inParamCount, std::uint16_t dialect, isc_stmt_handle& stmtHandle,
                       IZParamsSQLDA* paramSqlData) {
  DescribeInto(plainDriver, sql, paramSqlData, [&](ISC_STATUS* status, TZIbXSQLDA* area) {
    plainDriver->isc_dsql_describe_bind(status, &stmtHandle, dialect, area);
  });
  paramSqlData->InitFields(true);
  // The arrays must hold a value and a type for each marker.
  if (paramSqlData->GetFieldCount() != inParamCount || static_cast<int>(inParamValues.size()) < inParamCount ||
      static_cast<int>(inParamTypes.size()) < inParamCount)
    throw EZSQLException(SZInvalidInputParameterCount);
  for (int i = 0; i < inParamCount; ++i) {
    const bool isNull = DefaultVarManager()->IsNull(inParamValues[i]);
    paramSqlData->UpdateNull(i, isNull);
    if (!isNull) BindParameter(paramSqlData, i, inParamTypes[i], inParamValues[i]);
  }
}

void FreeStatement(IZInterbasePlainDriver* plainDriver, isc_stmt_handle& stmtHandle) {
  if (stmtHandle == 0) return;
  ISC_STATUS_VECTOR status = {};
  plainDriver->isc_dsql_free_statement(status, &stmtHandle, DSQL_drop);
  stmtHandle = 0;
  CheckInterbase6Error(plainDriver, status, lcOther);
}

int GetAffectedRows(IZInterbasePlainDriver* plainDriver, isc_stmt_handle& stmtHandle, int statementType) {
  int countItem;
  switch (statementType) {
    case kStmtUpdate: countItem = isc_info_req_update_count; break;
    case kStmtDelete: countItem = isc_info_req_delete_count; break;
    case kStmtInsert: countItem = isc_info_req_insert_count; break;
    default: return -1;
  }
  ISC_STATUS_VECTOR status = {};
  const char item = isc_info_sql_records;
  char reply[kRecordsReplySize] = {};
  if (plainDriver->isc_dsql_sql_info(status, &stmtHandle, 1, &item, sizeof reply, reply) > 0) return -1;
  CheckInterbase6Error(plainDriver, status, lcOther);
  if (reply[0] != isc_info_sql_records) return -1;
  // The counts follow the 3-byte header as clusters of their own; the one
  // of the statement's kind is taken by its item, wherever the server put it.
  const TReplyReader reader{plainDriver, reply, kRecordsReplySize};
  for (int pos = 3; pos < kRecordsReplySize && reply[pos] != isc_info_end;) {
    const int length = reader.Length(pos);
    if (length < 0) break;
    if (reply[pos] == countItem) return static_cast<int>(reader.Value(pos, length));
    pos += 3 + length;
  }
  return -1;
}

void GetBlobInfo(IZInterbasePlainDriver* plainDriver, isc_blob_handle& blobHandle, TZBlobInfo& blobInfo) {
  ISC_STATUS_VECTOR status = {};
  const char items[] = {isc_info_blob_num_segments, isc_info_blob_max_segment, isc_info_blob_total_length,
                        isc_info_blob_type};
  char reply[kBlobReplySize] = {};
  if (plainDriver->isc_blob_info(status, &blobHandle, sizeof items, items, sizeof reply, reply) > 0)
    CheckInterbase6Error(plainDriver, status, lcOther);
  const TReplyReader reader{plainDriver, reply, kBlobReplySize};
  for (int pos = 0; pos < kBlobReplySize && reply[pos] != isc_info_end;) {
    const int length = reader.Length(pos);
    if (length < 0) break;
    const std::int64_t value = reader.Value(pos, length);
    switch (reply[pos]) {
      case isc_info_blob_num_segments:
        blobInfo.NumSegments = static_cast<std::int32_t>(value);
        break;
      case isc_info_blob_max_segment:
        blobInfo.MaxSegmentSize = static_cast<std::uint16_t>(CheckedRange(value, 0, 65535));
        break;
      case isc_info_blob_type:
        blobInfo.BlobType = static_cast<std::int16_t>(CheckedRange(value, -32768, 32767));
        break;
      case isc_info_blob_total_length:
        blobInfo.TotalSize = static_cast<std::int32_t>(value);
        break;
      default:
        break;
    }
    pos += 3 + length;
  }
}

AnsiString ReadBlobBuffer(IZInterbasePlainDriver* plainDriver, isc_db_handle* dbHandle, isc_tr_handle* trHandle,
                          const ISC_QUAD& blobId) {
  ISC_STATUS_VECTOR status = {};
  TOpenBlob blob(plainDriver);
  ISC_QUAD id = blobId;
  plainDriver->isc_open_blob2(status, dbHandle, trHandle, &blob.handle, &id, 0, nullptr);
  CheckInterbase6Error(plainDriver, status, lcOther);
  TZBlobInfo info;
  GetBlobInfo(plainDriver, blob.handle, info);
  if (info.TotalSize < 0) throw ERangeError(SRangeError);
  AnsiString buffer(static_cast<std::size_t>(info.TotalSize), '\0');
  const int size = info.TotalSize;
  int read = 0;
  int emptyRounds = 0;
  while (read < size) {
    const int segmentLength = std::min<int>(info.MaxSegmentSize, size - read);
    unsigned short actual = 0;
    const ISC_STATUS result = plainDriver->isc_get_segment(status, &blob.handle, &actual,
                                                           static_cast<unsigned short>(segmentLength),
                                                           buffer.data() + read);
    // A partial segment is no failure.
    if (result != 0 && result != isc_segment) CheckInterbase6Error(plainDriver, status, lcOther);
    // The client never says more than it was asked for; a client that does
    // is not believed past the buffer.
    read += std::min<int>(actual, segmentLength);
    emptyRounds = actual == 0 ? emptyRounds + 1 : 0;
    if (emptyRounds >= kMaxEmptySegments) throw EZSQLException(SZCouldNotCompleteBlobRead);
  }
  blob.Close();
  return buffer;
}

ISC_QUAD WriteBlobBuffer(IZInterbasePlainDriver* plainDriver, isc_db_handle* dbHandle, isc_tr_handle* trHandle,
                         const AnsiString& data) {
  ISC_STATUS_VECTOR status = {};
  TOpenBlob blob(plainDriver);
  ISC_QUAD id = {};
  plainDriver->isc_create_blob2(status, dbHandle, trHandle, &blob.handle, &id, 0, nullptr);
  CheckInterbase6Error(plainDriver, status, lcOther);
  for (std::size_t written = 0; written < data.size(); written += kBlobSegmentSize) {
    const auto length = static_cast<unsigned short>(std::min<std::size_t>(kBlobSegmentSize, data.size() - written));
    if (plainDriver->isc_put_segment(status, &blob.handle, length, data.data() + written) > 0)
      CheckInterbase6Error(plainDriver, status, lcOther);
  }
  blob.Close();
  return id;
}

AnsiString GetDatabaseVersionString(IZInterbasePlainDriver* plainDriver, isc_db_handle* dbHandle) {
  ISC_STATUS_VECTOR status = {};
  const char item = isc_info_version;
  char reply[kVersionReplySize] = {};
  plainDriver->isc_database_info(status, dbHandle, 1, &item, sizeof reply, reply);
  CheckInterbase6Error(plainDriver, status, lcOther);
  // Item, 16-bit length, a count of texts, then the first text with its
  // length byte.
  const int length = static_cast<std::uint8_t>(reply[4]);
  return AnsiString(reply + 5, static_cast<std::size_t>(std::min(length, kVersionReplySize - 5)));
}
