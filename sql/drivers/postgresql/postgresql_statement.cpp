// Running SQL text on a PostgreSQL session and rendering parameter values as
// PostgreSQL literals for the emulated prepared statement. Literals follow
// the session rules the connection sets: backslash escapes in quoted texts.

#include "sql/drivers/postgresql/postgresql_statement.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/rtl/datetime.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/numbers.h"
#include "sql/core/dbc/cached_result_set.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/core/variant.h"
#include "sql/drivers/postgresql/postgresql_blob.h"
#include "sql/drivers/postgresql/postgresql_dates.h"
#include "sql/drivers/postgresql/postgresql_resolver.h"
#include "sql/drivers/postgresql/postgresql_result_set.h"

// --- the connection's statement factories, kept beside the statements they make

Ref<IZStatement> TZPostgreSQLConnection::NewStatement(TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZPostgreSQLStatement>(plainDriver_, Ref<IZPostgreSQLConnection>(this), info);
}

Ref<IZPreparedStatement> TZPostgreSQLConnection::NewPreparedStatement(const AnsiString& sql, TStrings* info) {
  if (IsClosed()) Open();
  return MakeRef<TZPostgreSQLPreparedStatement>(plainDriver_, Ref<IZPostgreSQLConnection>(this), sql, info);
}

// --- TZPostgreSQLStatement

TZPostgreSQLStatement::TZPostgreSQLStatement(Ref<IZPostgreSQLPlainDriver> plainDriver,
                                             Ref<IZPostgreSQLConnection> connection, TStrings* properties)
    : TZAbstractStatement(connection, properties), plainDriver_(std::move(plainDriver)),
      pgConnection_(std::move(connection)) {
  ResultSetType = rtScrollInsensitive;
  const AnsiString own = GetProperties()->Values("oidasblob");
  oidAsBlob_ = own.empty() ? pgConnection_->IsOidAsBlob() : StrToBoolEx(own);
}

PGconn* TZPostgreSQLStatement::Handle() {
  PGconn* handle = pgConnection_->GetConnectionHandle();
  // A statement may outlive its session: libpq must not see a stale handle.
  if (!handle || pgConnection_->IsClosed()) throw EZSQLException(SZConnectionIsNotOpened);
  return handle;
}

TZPostgreSQLResultHandle TZPostgreSQLStatement::Run(const AnsiString& sql) {
  PGconn* handle = Handle();
  PGresult* result = plainDriver_->PQexec(handle, sql.c_str());
  CheckConnectionError(pgConnection_.get(), plainDriver_.get(), handle, lcExecute, sql, result);
  TZPostgreSQLResultHandle held(plainDriver_.get(), result);
  DriverManager()->LogMessage(lcExecute, plainDriver_->GetProtocol(), sql);
  return held;
}

void TZPostgreSQLStatement::CommitInAutoCommit() {
  if (pgConnection_->GetAutoCommit()) pgConnection_->Commit();
}

int TZPostgreSQLStatement::UpdateCount(const TZPostgreSQLResultHandle& result) {
  const char* text = plainDriver_->PQcmdTuples(result.get());
  int count = 0;
  if (text) {
    const char* end = text + std::char_traits<char>::length(text);
    if (std::from_chars(text, end, count).ptr != end) count = 0;
  }
  return count;
}

Ref<IZResultSet> TZPostgreSQLStatement::ExecuteQuery(const AnsiString& sql) {
  TZPostgreSQLResultHandle result = Run(sql);
  return result ? CreateResultSet(sql, std::move(result)) : nullptr;
}

int TZPostgreSQLStatement::ExecuteUpdate(const AnsiString& sql) {
  int count = -1;
  if (const TZPostgreSQLResultHandle result = Run(sql)) count = UpdateCount(result);
  LastUpdateCount = count;
  CommitInAutoCommit();
  return count;
}

bool TZPostgreSQLStatement::Execute(const AnsiString& sql) {
  SetLastResultSet(nullptr);
  LastUpdateCount = -1;
  TZPostgreSQLResultHandle result = Run(sql);
  if (result && plainDriver_->PQresultStatus(result.get()) == TZPgExecStatus::PGRES_TUPLES_OK) {
    SetLastResultSet(CreateResultSet(sql, std::move(result)));
    return true;
  }
  if (result) LastUpdateCount = UpdateCount(result);
  CommitInAutoCommit();
  return false;
}

Ref<IZResultSet> TZPostgreSQLStatement::CreateResultSet(const AnsiString& sql, TZPostgreSQLResultHandle result) {
  Ref<IZStatement> self(this);
  auto nativeResultSet = MakeRef<TZPostgreSQLResultSet>(plainDriver_, self, sql, std::move(result));
  if (ResultSetConcurrency != rcUpdatable) return nativeResultSet;

  nativeResultSet->FitStringPrecisions();
  Ref<IZCachedResolver> resolver = MakeRef<TZPostgreSQLCachedResolver>(self, nativeResultSet->GetMetadata());
  auto cachedResultSet = MakeRef<TZCachedResultSet>(nativeResultSet, sql, resolver);
  cachedResultSet->SetConcurrency(rcUpdatable);
  return cachedResultSet;
}

// --- TZPostgreSQLPreparedStatement

namespace {

enum TDateTimeParts { kDatePart = 1, kTimePart = 2 };

// 'yyyy-mm-dd', 'hh:nn:ss.ffffff' or both, with the type's cast; the
// separators are fixed whatever the format settings. A time alone is a span,
// so one beyond a day meets the server's own error instead of being wrapped.
AnsiString DateTimeLiteral(TDateTime value, int parts, const char* cast) {
  AnsiString text;
  if (parts == (kDatePart | kTimePart)) {
    // The era closes a timestamp's text: "0044-03-15 12:00:00 BC".
    AnsiString time;
    text = ServerDateText(SqlMomentDay(value, time));
    const std::size_t era = text.find(' ');
    era == AnsiString::npos ? text += " " + time : text.insert(era, " " + time);
  } else if (parts == kDatePart) {
    text = ServerDateText(value);
  } else {
    text = SqlTimeText(value);
  }
  return "'" + text + "'::" + cast;
}

// NaN and the infinities have no numeric literal: the server reads them from
// their quoted names.
bool NonFiniteLiteral(TZSQLType type, const TZVariant& value, AnsiString& literal) {
  if (type != stFloat && type != stDouble && type != stBigDecimal) return false;
  const long double number = SoftVarManager()->GetAsFloat(value);
  if (std::isnan(number)) literal = "'NaN'";
  else if (std::isinf(number)) literal = number > 0 ? "'Infinity'" : "'-Infinity'";
  else return false;
  return true;
}

}  // namespace

TZPostgreSQLPreparedStatement::TZPostgreSQLPreparedStatement(Ref<IZPostgreSQLPlainDriver> plainDriver,
                                                             Ref<IZPostgreSQLConnection> connection,
                                                             const AnsiString& sql, TStrings* properties)
    : TZEmulatedPreparedStatement(connection, sql, properties), plainDriver_(std::move(plainDriver)),
      pgConnection_(std::move(connection)) {
  ResultSetType = rtScrollInsensitive;
  charsetCode_ = pgConnection_->GetCharactersetCode();
}

Ref<IZStatement> TZPostgreSQLPreparedStatement::NewExecStatement() {
  return MakeRef<TZPostgreSQLStatement>(plainDriver_, pgConnection_, GetProperties());
}

AnsiString TZPostgreSQLPreparedStatement::StreamLiteral(const TZVariant& value, TZSQLType type) {
  const IZVariantManager& manager = *SoftVarManager();
  Ref<IZBlob> blob = value.VType == vtInterface ? Query<IZBlob>(value.VInterface) : nullptr;
  if (value.VType == vtInterface && (!blob || blob->IsEmpty())) return "NULL";
  const AnsiString bytes = blob ? blob->GetString() : manager.GetAsString(value);
  if (type != stBinaryStream) return QuoteBinaryLiteral(bytes);
  if (!pgConnection_->IsOidAsBlob()) return plainDriver_->EscapeBytea(bytes, pgConnection_->GetConnectionHandle());
  // One new large object per execution, referred to by its OID.
  auto largeObject = MakeRef<TZPostgreSQLBlob>(plainDriver_, bytes, pgConnection_, 0);
  largeObject->WriteBlob();
  return IntToStr(static_cast<std::int64_t>(largeObject->GetBlobOid()));
}

AnsiString TZPostgreSQLPreparedStatement::GetParameterSQL(int paramIndex) {
  if (paramIndex >= InParamCount) throw EZSQLException(SZInvalidInputParameterCount);
  const TZVariant& value = InParamValues[paramIndex];
  if (DefaultVarManager()->IsNull(value)) return "NULL";

  if (AnsiString special; NonFiniteLiteral(InParamTypes[paramIndex], value, special)) return special;
  if (AnsiString number; NumberLiteral(InParamTypes[paramIndex], value, number)) return number;
  const IZVariantManager& manager = *SoftVarManager();
  switch (InParamTypes[paramIndex]) {
    case stBoolean:
      return manager.GetAsBoolean(value) ? "TRUE" : "FALSE";
    case stBytes:
      // Bytes may hold NUL, which no text literal carries.
      return plainDriver_->EscapeBytea(manager.GetAsString(value), pgConnection_->GetConnectionHandle());
    case stDate:
      return DateTimeLiteral(manager.GetAsDateTime(value), kDatePart, "date");
    case stTime:
      return DateTimeLiteral(manager.GetAsDateTime(value), kTimePart, "time");
    case stTimestamp:
      return DateTimeLiteral(manager.GetAsDateTime(value), kDatePart | kTimePart, "timestamp");
    case stAsciiStream:
    case stUnicodeStream:
    case stBinaryStream:
      return StreamLiteral(value, InParamTypes[paramIndex]);
    default:
      // Texts, wide texts (carried in the system's code page) and values of
      // undeclared type.
      return QuoteTextLiteral(charsetCode_, manager.GetAsString(value));
  }
}
