// Running SQL on a SQLite database and writing parameter values as SQLite
// literals for the emulated prepared statement.

#include "sql/drivers/sqlite/sqlite_statement.h"

#include <algorithm>

#include "sql/core/dbc/cached_result_set.h"
#include "sql/core/dbc/driver_manager.h"
#include "sql/core/messages.h"
#include "sql/core/parsesql/tokenizer.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/core/variant.h"
#include "sql/drivers/sqlite/sqlite_connection.h"
#include "sql/drivers/sqlite/sqlite_resolver.h"
#include "sql/drivers/sqlite/sqlite_result_set.h"
#include "sql/drivers/sqlite/sqlite_utils.h"

namespace {

constexpr char kFetchAction[] = "FETCH";
constexpr char kFinalizeAction[] = "Finalize SQLite VM";

}  // namespace

// --- TZSQLiteStatement

TZSQLiteStatement::TZSQLiteStatement(Ref<IZSQLitePlainDriver> plainDriver, Ref<IZSQLiteConnection> connection,
                                     TStrings* properties)
    : TZAbstractStatement(connection, properties), plainDriver_(std::move(plainDriver)),
      sqliteConnection_(std::move(connection)) {
  ResultSetType = rtScrollInsensitive;
}

bool TZSQLiteStatement::HasFurtherStatement(const char* tail) {
  const TZTokenList tokens = Connection->GetDriver()->GetTokenizer()->TokenizeBufferToList(
      tail, toSkipEOF | toSkipComments | toSkipWhitespaces);
  return std::any_of(tokens.begin(), tokens.end(), [](const TZToken& token) { return token.Value != ";"; });
}

Psqlite TZSQLiteStatement::Handle() {
  // A statement may outlive its connection's open state: the library must
  // never see a closed database.
  Psqlite handle = sqliteConnection_->GetConnectionHandle();
  if (!handle || sqliteConnection_->IsClosed()) throw EZSQLException(SZConnectionIsNotOpened);
  return handle;
}

TZSQLiteFirstStep TZSQLiteStatement::CompileAndStep(const AnsiString& sql) {
  Psqlite handle = Handle();
  TZSQLiteFirstStep step;
  char* errMsg = nullptr;
  const char* tail = nullptr;
  int code = plainDriver_->Compile(handle, sql.c_str(), static_cast<int>(sql.size()), tail, step.Vm, errMsg);
  CheckSQLiteError(plainDriver_.get(), code, errMsg, lcExecute, sql);
  // A text of only blanks or comments compiles to nothing to step.
  if (!step.Vm) throw EZSQLException(SZQueryIsEmpty);
  // Only the first statement of a text would run: the rest would be lost
  // without a word, so such a text is refused before anything runs.
  if (tail && HasFurtherStatement(tail)) {
    FinalizeStatement(plainDriver_.get(), step.Vm, SQLITE_OK_CODE);
    throw EZSQLException(SZCanNotExecuteMoreQueries);
  }
  DriverManager()->LogMessage(lcExecute, plainDriver_->GetProtocol(), sql);
  const char** values = nullptr;
  const char** names = nullptr;
  try {
    code = plainDriver_->Step(step.Vm, step.ColumnCount, values, names);
  } catch (...) {
    FinalizeStatement(plainDriver_.get(), step.Vm, SQLITE_ERROR_CODE);
    throw;
  }
  step.Values.reset(values);
  step.Names.reset(names);
  if (code != SQLITE_ROW_CODE && code != SQLITE_DONE_CODE) {
    errMsg = nullptr;
    code = FinalizeStatement(plainDriver_.get(), step.Vm, code, &errMsg);
    CheckSQLiteError(plainDriver_.get(), code, errMsg, lcOther, kFetchAction);
  }
  return step;
}

Ref<IZResultSet> TZSQLiteStatement::ExecuteQuery(const AnsiString& sql) {
  return CreateResultSet(sql, CompileAndStep(sql));
}

int TZSQLiteStatement::ExecuteUpdate(const AnsiString& sql) {
  Psqlite handle = Handle();
  char* errMsg = nullptr;
  int code = plainDriver_->Execute(handle, sql.c_str(), nullptr, nullptr, errMsg);
  CheckSQLiteError(plainDriver_.get(), code, errMsg, lcExecute, sql);
  DriverManager()->LogMessage(lcExecute, plainDriver_->GetProtocol(), sql);
  LastUpdateCount = plainDriver_->Changes(handle);
  return LastUpdateCount;
}

bool TZSQLiteStatement::Execute(const AnsiString& sql) {
  // A text without rows must not leave the previous rows showing.
  SetLastResultSet(nullptr);
  LastUpdateCount = -1;
  TZSQLiteFirstStep step = CompileAndStep(sql);
  if (step.ColumnCount != 0) {
    SetLastResultSet(CreateResultSet(sql, std::move(step)));
    return true;
  }
  LastUpdateCount = plainDriver_->Changes(Handle());
  char* errMsg = nullptr;
  int code = plainDriver_->Finalize(step.Vm, errMsg);
  CheckSQLiteError(plainDriver_.get(), code, errMsg, lcOther, kFinalizeAction);
  return false;
}

Ref<IZResultSet> TZSQLiteStatement::CreateResultSet(const AnsiString& sql, TZSQLiteFirstStep step) {
  Ref<IZStatement> self(this);
  auto nativeResultSet = MakeRef<TZSQLiteResultSet>(plainDriver_, self, sql, std::move(step));
  Ref<IZCachedResolver> resolver = MakeRef<TZSQLiteCachedResolver>(self, nativeResultSet->GetMetadata());
  auto cachedResultSet = MakeRef<TZSQLiteCachedResultSet>(nativeResultSet, sql, resolver);
  cachedResultSet->SetType(rtScrollInsensitive);
  cachedResultSet->Last();
  cachedResultSet->BeforeFirst();
  cachedResultSet->SetConcurrency(ResultSetConcurrency);
  return cachedResultSet;
}

// --- TZSQLitePreparedStatement

TZSQLitePreparedStatement::TZSQLitePreparedStatement(Ref<IZSQLitePlainDriver> plainDriver,
                                                     Ref<IZSQLiteConnection> connection, const AnsiString& sql,
                                                     TStrings* properties)
    : TZEmulatedPreparedStatement(connection, sql, properties), plainDriver_(std::move(plainDriver)),
      sqliteConnection_(std::move(connection)) {}

Ref<IZStatement> TZSQLitePreparedStatement::NewExecStatement() {
  return MakeRef<TZSQLiteStatement>(plainDriver_, sqliteConnection_, GetProperties());
}

// The library reads a statement only up to its first NUL byte: a text
// holding one goes as its bytes cast to text, so that all of it is stored.
AnsiString TZSQLitePreparedStatement::QuoteString(const AnsiString& value) {
  if (value.find('\0') != AnsiString::npos) return "CAST(" + EncodeSQLiteBlob(value) + " AS TEXT)";
  AnsiString result;
  result.reserve(value.size() + 2);
  result += '\'';
  for (char c : value) {
    if (c == '\'') result += '\'';
    result += c;
  }
  result += '\'';
  return result;
}

AnsiString TZSQLitePreparedStatement::BlobLiteral(const TZVariant& value, TZSQLType type) {
  Ref<IZBlob> blob = value.VType == vtInterface ? Query<IZBlob>(value.VInterface) : nullptr;
  if (value.VType != vtInterface) {
    // A stream parameter set from a plain value: its text is the content.
    AnsiString text = SoftVarManager()->GetAsString(value);
    return type == stBinaryStream ? EncodeSQLiteBlob(text) : QuoteString(text);
  }
  if (!blob || blob->IsEmpty()) return "NULL";
  return type == stBinaryStream ? EncodeSQLiteBlob(blob->GetString()) : QuoteString(blob->GetString());
}

AnsiString TZSQLitePreparedStatement::GetParameterSQL(int paramIndex) {
  if (paramIndex >= InParamCount) throw EZSQLException(SZInvalidInputParameterCount);
  const TZVariant& value = InParamValues[paramIndex];
  if (DefaultVarManager()->IsNull(value)) return "NULL";

  const TZSQLType type = InParamTypes[paramIndex];
  AnsiString literal;
  if (ScalarParameterLiteral(type, value, literal)) return literal;
  switch (type) {
    case stAsciiStream:
    case stUnicodeStream:
    case stBinaryStream:
      return BlobLiteral(value, type);
    case stBytes:
      return EncodeSQLiteBlob(SoftVarManager()->GetAsString(value));
    default:
      // Texts, bytes, wide texts (carried in the system's code page) and
      // values of no declared type: never an empty literal.
      return QuoteString(SoftVarManager()->GetAsString(value));
  }
}
