// Running batches and procedure calls on a DB-Library process and handing
// their results out one by one (see dblib_statement.h).

#include "sql/drivers/dblib/dblib_statement.h"

#include <cstring>
#include <limits>
#include <utility>

#include "platform/rtl/format.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/cached_result_set.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/core/variant.h"
#include "sql/drivers/dblib/dblib_result_set.h"
#include "sql/drivers/dblib/dblib_utils.h"

namespace {

constexpr char kFetchResultsLog[] = "FETCHRESULTS";
constexpr char kRowCountQuery[] = "select @@rowcount";
// Sybase reads "x = NULL" as a comparison; the emulated text never needs
// this clause there.
constexpr char kNullIsNullClause[] = " AND NULL IS NULL";
constexpr DBINT kUnlimitedLength = std::numeric_limits<DBINT>::max();
// MONEY: the value times 10000.
constexpr double kMoneyScale = 10000.0;

AnsiString WithoutClause(AnsiString sql, const AnsiString& clause) {
  for (std::size_t at = sql.find(clause); at != AnsiString::npos; at = sql.find(clause, at)) sql.erase(at, clause.size());
  return sql;
}

void LogExecute(IZDBLibConnection& connection, const AnsiString& text) {
  DriverManager()->LogMessage(lcExecute, connection.GetPlainDriver()->GetProtocol(), text);
}

template <class T>
AnsiString Bytes(const T& value) {
  return AnsiString(reinterpret_cast<const char*>(&value), sizeof value);
}

template <class T>
T Read(const BYTE* data) {
  T value;
  std::memcpy(&value, data, sizeof value);
  return value;
}

// DBMONEY holds the upper 32 bits first, then the lower ones unsigned.
double MoneyToDouble(const BYTE* data) {
  const std::int64_t high = Read<DBINT>(data);
  const std::uint32_t low = Read<std::uint32_t>(data + sizeof(DBINT));
  return static_cast<double>(static_cast<std::int64_t>(static_cast<std::uint64_t>(high) << 32) + low) / kMoneyScale;
}

TZVariant IntegerVariant(std::int64_t value) {
  TZVariant result;
  DefaultVarManager()->SetAsInteger(result, value);
  return result;
}

TZVariant FloatVariant(long double value) {
  TZVariant result;
  DefaultVarManager()->SetAsFloat(result, value);
  return result;
}

}  // namespace

// --- TZDBLibResultQueue

int TZDBLibResultQueue::Fetch(IZStatement* owner, IZDBLibConnection& connection, const AnsiString& sql) {
  Ref<IZDBLibPlainDriver> plainDriver = connection.GetPlainDriver();
  DBLibProcess* handle = connection.GetConnectionHandle();
  Ref<IZStatement> statement(owner);
  int rowsAffected = -2;
  // Each result is read to its end before the next dbresults: the cached
  // result set takes every row, and a count has none. No dbcanquery here:
  // FreeTDS's reads on to the next DONE, which would swallow the count of
  // the statement after.
  while (plainDriver->dbresults(handle) == kDBSucceed) {
    if (plainDriver->dbcmdrow(handle) == kDBSucceed) {
      auto nativeResultSet = MakeRef<TZDBLibResultSet>(statement, sql);
      auto resolver = MakeRef<TZDBLibCachedResolver>(statement, nativeResultSet->GetMetadata());
      auto cachedResultSet = MakeRef<TZCachedResultSet>(nativeResultSet, sql, resolver);
      cachedResultSet->SetType(rtScrollInsensitive);
      cachedResultSet->Last();
      cachedResultSet->BeforeFirst();
      cachedResultSet->SetConcurrency(owner->GetResultSetConcurrency());
      results_.push_back({cachedResultSet, 0});
    } else {
      rowsAffected = plainDriver->dbcount(handle);
      if (rowsAffected > -1) results_.push_back({nullptr, rowsAffected});
    }
  }
  connection.CheckDBLibError(lcOther, kFetchResultsLog);
  return rowsAffected;
}

int TZDBLibResultQueue::AppendServerRowCount(IZStatement* owner, IZDBLibConnection& connection) {
  // Sent and read here: running it to its end first would discard the row.
  Ref<IZDBLibPlainDriver> plainDriver = connection.GetPlainDriver();
  DBLibProcess* handle = connection.GetConnectionHandle();
  if (plainDriver->dbcmd(handle, kRowCountQuery) != kDBSucceed) connection.CheckDBLibError(lcExecute, kRowCountQuery);
  if (plainDriver->dbsqlexec(handle) != kDBSucceed) connection.CheckDBLibError(lcExecute, kRowCountQuery);
  int rowsAffected = -1;
  try {
    plainDriver->dbresults(handle);
    auto resultSet = MakeRef<TZDBLibResultSet>(Ref<IZStatement>(owner), kRowCountQuery);
    if (resultSet->Next()) rowsAffected = resultSet->GetInt(1);
    resultSet->Close();
  } catch (...) {
    plainDriver->dbcancel(handle);
    throw;
  }
  plainDriver->dbcancel(handle);
  results_.push_back({nullptr, rowsAffected});
  connection.CheckDBLibError(lcOther, kFetchResultsLog);
  LogExecute(connection, kRowCountQuery);
  return rowsAffected;
}

bool TZDBLibResultQueue::TakeNext(Ref<IZResultSet>& resultSet, int& updateCount) {
  resultSet = nullptr;
  updateCount = -1;
  if (results_.empty()) return false;
  TResult front = std::move(results_.front());
  results_.pop_front();
  resultSet = std::move(front.ResultSet);
  updateCount = front.UpdateCount;
  return resultSet != nullptr;
}

void TZDBLibResultQueue::Clear() {
  // Taken out first: closing a result set may let go of its statement.
  std::deque<TResult> results;
  results.swap(results_);
  for (TResult& result : results)
    if (result.ResultSet) result.ResultSet->Close();
}

// --- TZDBLibStatement

TZDBLibStatement::TZDBLibStatement(Ref<IZDBLibConnection> connection, TStrings* properties)
    : TZAbstractStatement(connection, properties), dbLibConnection_(std::move(connection)) {
  ResultSetType = rtScrollInsensitive;
}

void TZDBLibStatement::InternalExecute(const AnsiString& sql) {
  const bool sybase = dbLibConnection_->GetPlainDriver()->GetProtocol() == "sybase";
  dbLibConnection_->SendBatch(sybase ? WithoutClause(sql, kNullIsNullClause) : sql);
  LogExecute(*dbLibConnection_, sql);
}

void TZDBLibStatement::FetchResults() {
  results_.Clear();
  if (results_.Fetch(this, *dbLibConnection_, sql_) == -1)
    results_.AppendServerRowCount(this, *dbLibConnection_);
}

Ref<IZResultSet> TZDBLibStatement::ExecuteQuery(const AnsiString& sql) {
  sql_ = sql;
  InternalExecute(sql);
  FetchResults();
  Ref<IZResultSet> answer, resultSet;
  int updateCount = -1;
  for (;;) {
    if (results_.TakeNext(resultSet, updateCount)) {
      if (answer) answer->Close();
      answer = resultSet;
    } else if (updateCount == -1) {
      break;
    }
  }
  return answer;
}

int TZDBLibStatement::ExecuteUpdate(const AnsiString& sql) {
  sql_ = sql;
  InternalExecute(sql);
  FetchResults();
  Ref<IZResultSet> resultSet;
  int updateCount = -1;
  if (results_.TakeNext(resultSet, updateCount)) resultSet->Close();
  return updateCount;
}

bool TZDBLibStatement::Execute(const AnsiString& sql) {
  sql_ = sql;
  InternalExecute(sql);
  FetchResults();
  return GetMoreResults();
}

bool TZDBLibStatement::GetMoreResults() {
  Ref<IZResultSet> resultSet;
  const bool hasRows = results_.TakeNext(resultSet, LastUpdateCount);
  SetLastResultSet(resultSet);
  return hasRows;
}

void TZDBLibStatement::Close() {
  results_.Clear();
  TZAbstractStatement::Close();
}

void TZDBLibStatement::ReleaseResults() {
  results_.Clear();
  TZAbstractStatement::ReleaseResults();
}

// --- TZDBLibPreparedStatementEmulated

TZDBLibPreparedStatementEmulated::TZDBLibPreparedStatementEmulated(Ref<IZDBLibConnection> connection,
                                                                   const AnsiString& sql, TStrings* properties)
    : TZEmulatedPreparedStatement(connection, sql, properties), dbLibConnection_(std::move(connection)) {
  ResultSetType = rtScrollInsensitive;
}

Ref<IZStatement> TZDBLibPreparedStatementEmulated::NewExecStatement() {
  return MakeRef<TZDBLibStatement>(dbLibConnection_, GetProperties());
}

AnsiString TZDBLibPreparedStatementEmulated::GetParameterSQL(int paramIndex) {
  if (paramIndex >= InParamCount) return "NULL";
  return PrepareSQLParameter(InParamValues[paramIndex], InParamTypes[paramIndex]);
}

// --- TZDBLibCallableStatement

TZDBLibCallableStatement::TZDBLibCallableStatement(Ref<IZDBLibConnection> connection, const AnsiString& sql,
                                                   TStrings* properties)
    : TZAbstractCallableStatement(connection, sql, properties), dbLibConnection_(std::move(connection)) {
  ResultSetType = rtScrollInsensitive;
}

void TZDBLibCallableStatement::RegisterOutParameter(int parameterIndex, int sqlType) {
  TZAbstractCallableStatement::RegisterOutParameter(parameterIndex, sqlType);
  if (InParamCount < parameterIndex) TZAbstractCallableStatement::SetInParamCount(parameterIndex);
}

void TZDBLibCallableStatement::SetInParamCount(int newCount) {
  TZAbstractCallableStatement::SetInParamCount(newCount);
  if (OutParamCount < newCount) SetOutParamCount(newCount);
}

void TZDBLibCallableStatement::SendParameters(DBLibProcess* handle, std::deque<AnsiString>& buffers) {
  Ref<IZDBLibPlainDriver> plainDriver = dbLibConnection_->GetPlainDriver();
  const IZVariantManager& manager = *SoftVarManager();
  // Index 0 is the return status, which is never sent.
  for (int i = 1; i < InParamCount; ++i) {
    const TZSQLType outType = i < OutParamCount ? OutParamTypes[i] : stUnknown;
    const BYTE status = outType != stUnknown ? 1 : 0;
    const TZSQLType inType = InParamTypes[i];
    const TZVariant& value = InParamValues[i];
    if (DefaultVarManager()->IsNull(value) && inType != stUnknown) {
      plainDriver->dbrpcparam(handle, nullptr, status, ConvertSqlTypeToDBLibType(inType), -1, 0, nullptr);
      continue;
    }
    int type = kDBLibChar;
    DBINT maxLength = -1, dataLength = -1;
    AnsiString data;
    switch (inType != stUnknown ? inType : outType) {
      case stBoolean: type = kDBLibInt1; data = Bytes<BYTE>(manager.GetAsBoolean(value) ? 1 : 0); break;
      case stByte: type = kDBLibInt1; data = Bytes(static_cast<BYTE>(manager.GetAsInteger(value))); break;
      case stShort: type = kDBLibInt2; data = Bytes(static_cast<std::int16_t>(manager.GetAsInteger(value))); break;
      case stInteger: type = kDBLibInt4; data = Bytes(static_cast<DBINT>(manager.GetAsInteger(value))); break;
      case stLong: {
        // Four bytes would cut a value beyond 32 bits.
        const std::int64_t number = manager.GetAsInteger(value);
        const bool fits = number == static_cast<DBINT>(number);
        type = fits ? kDBLibInt4 : kDBLibInt8;
        data = fits ? Bytes(static_cast<DBINT>(number)) : Bytes(number);
        break;
      }
      case stFloat: type = kDBLibReal; data = Bytes(static_cast<float>(manager.GetAsFloat(value))); break;
      case stDouble: case stBigDecimal:
        type = kDBLibFloat;
        data = Bytes(static_cast<double>(manager.GetAsFloat(value)));
        break;
      case stString: {
        data = manager.GetAsString(value);
        maxLength = kUnlimitedLength;
        dataLength = data.empty() ? 1 : static_cast<DBINT>(data.size());
        break;
      }
      case stDate: case stTime: case stTimestamp: {
        const TDateTime stamp = manager.GetAsDateTime(value);
        const TZSQLType kind = inType != stUnknown ? inType : outType;
        data = kind == stDate ? DBLibDateText(stamp)
               : kind == stTime ? DBLibTimeText(stamp)
                                : DBLibDateText(stamp) + " " + DBLibTimeText(stamp);
        maxLength = kUnlimitedLength;
        dataLength = static_cast<DBINT>(data.size());
        break;
      }
      default:
        plainDriver->dbrpcparam(handle, nullptr, 0, kDBLibChar, 0, 0, nullptr);
        continue;
    }
    // The library reads the value only when the call is sent.
    buffers.push_back(std::move(data));
    plainDriver->dbrpcparam(handle, nullptr, status, type, maxLength, dataLength,
                            reinterpret_cast<BYTE*>(buffers.back().data()));
  }
}

TZVariant TZDBLibCallableStatement::ReturnValue(DBLibProcess* handle, int retNum) {
  Ref<IZDBLibPlainDriver> plainDriver = dbLibConnection_->GetPlainDriver();
  BYTE* data = plainDriver->dbretdata(handle, retNum);
  if (!data) return TZVariant();
  const int type = plainDriver->dbrettype(handle, retNum);
  const int length = plainDriver->dbretlen(handle, retNum);
  BYTE buffer[8] = {};
  switch (type) {
    // FreeTDS reports a varchar or nvarchar output value as varchar.
    case kDBLibBinary: case kDBLibVarBinary: case kDBLibImage:
    case kDBLibChar: case kDBLibVarChar: case kDBLibText: {
      TZVariant result;
      DefaultVarManager()->SetAsString(result, AnsiString(reinterpret_cast<const char*>(data), length));
      return result;
    }
    case kDBLibInt1: return IntegerVariant(*data);
    case kDBLibInt2: return IntegerVariant(Read<std::int16_t>(data));
    case kDBLibInt4: return IntegerVariant(Read<DBINT>(data));
    case kDBLibInt8: return IntegerVariant(Read<std::int64_t>(data));
    case kDBLibReal: return FloatVariant(Read<float>(data));
    case kDBLibFloat: return FloatVariant(Read<double>(data));
    case kDBLibMoney: return FloatVariant(MoneyToDouble(data));
    case kDBLibMoney4:
      plainDriver->dbconvert(handle, kDBLibMoney4, data, 4, kDBLibMoney, buffer, sizeof buffer);
      return FloatVariant(MoneyToDouble(buffer));
    case kDBLibDecimal: case kDBLibNumeric:
      plainDriver->dbconvert(handle, type, data, length, kDBLibFloat, buffer, sizeof buffer);
      return FloatVariant(Read<double>(buffer));
    case kDBLibDateTime4:
      plainDriver->dbconvert(handle, kDBLibDateTime4, data, 4, kDBLibDateTime, buffer, sizeof buffer);
      data = buffer;
      [[fallthrough]];
    case kDBLibDateTime: {
      TZVariant result;
      DefaultVarManager()->SetAsDateTime(result, DBLibDateTimeToDateTime(data));
      return result;
    }
    default: return TZVariant();
  }
}

void TZDBLibCallableStatement::ReadReturnValues(DBLibProcess* handle) {
  Ref<IZDBLibPlainDriver> plainDriver = dbLibConnection_->GetPlainDriver();
  if (OutParamCount < 1) SetOutParamCount(1);
  OutParamValues[0] =
      plainDriver->dbhasretstat(handle) ? IntegerVariant(plainDriver->dbretstatus(handle)) : TZVariant();
  // The server sends the output parameters back in the order they were sent.
  int retNum = 1;
  for (int i = 1; i < OutParamCount; ++i) {
    if (OutParamTypes[i] == stUnknown) continue;
    OutParamValues[i] = ReturnValue(handle, retNum);
    ++retNum;
  }
}

bool TZDBLibCallableStatement::ExecutePrepared() {
  results_.Clear();
  retrievedResultSet_ = nullptr;
  Ref<IZDBLibPlainDriver> plainDriver = dbLibConnection_->GetPlainDriver();
  DBLibProcess* handle = dbLibConnection_->GetConnectionHandle();
  if (plainDriver->dbrpcinit(handle, Trim(SQL).c_str(), 0) != kDBSucceed)
    dbLibConnection_->CheckDBLibError(lcOther, "EXECUTEPREPARED:dbRPCInit");
  std::deque<AnsiString> buffers;
  SendParameters(handle, buffers);
  if (plainDriver->dbrpcexec(handle) != kDBSucceed)
    dbLibConnection_->CheckDBLibError(lcOther, "EXECUTEPREPARED:dbRPCExec");
  lastRowsAffected_ = results_.Fetch(this, *dbLibConnection_, SQL);
  const bool hasRows = GetMoreResults();
  ReadReturnValues(handle);
  if (lastRowsAffected_ == -1) lastRowsAffected_ = results_.AppendServerRowCount(this, *dbLibConnection_);
  LogExecute(*dbLibConnection_, Format("EXEC %s", {SQL}));
  return hasRows;
}

bool TZDBLibCallableStatement::GetMoreResults() {
  const bool hasRows = results_.TakeNext(retrievedResultSet_, retrievedUpdateCount_);
  SetLastResultSet(retrievedResultSet_);
  LastUpdateCount = retrievedUpdateCount_;
  return hasRows;
}

Ref<IZResultSet> TZDBLibCallableStatement::ExecuteQueryPrepared() {
  if (!ExecutePrepared())
    while (!GetMoreResults() && retrievedUpdateCount_ != -1) {
    }
  // Handed to the caller: no longer the statement's to close.
  LastResultSet = nullptr;
  return std::exchange(retrievedResultSet_, nullptr);
}

int TZDBLibCallableStatement::ExecuteUpdatePrepared() {
  if (ExecutePrepared()) GetMoreResults();
  retrievedResultSet_ = nullptr;
  return retrievedUpdateCount_;
}

void TZDBLibCallableStatement::Close() {
  results_.Clear();
  retrievedResultSet_ = nullptr;
  TZAbstractCallableStatement::Close();
}

void TZDBLibCallableStatement::ReleaseResults() {
  results_.Clear();
  retrievedResultSet_ = nullptr;
  TZAbstractCallableStatement::ReleaseResults();
}
