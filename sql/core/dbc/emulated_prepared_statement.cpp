// The client-side prepared statement (see emulated_prepared_statement.h).

#include "sql/core/dbc/emulated_prepared_statement.h"


#include "platform/rtl/numbers.h"
#include "sql/core/parsesql/tokenizer.h"
#include "sql/core/sysutils.h"
#include "sql/core/variant.h"

namespace {

// A fragment list entry that stands for one parameter.
constexpr char kMarker[] = "?";

}  // namespace

TZEmulatedPreparedStatement::~TZEmulatedPreparedStatement() = default;

const std::vector<AnsiString>& TZEmulatedPreparedStatement::SplitSQL() {
  if (splitDone_) return cachedSQL_;
  if (SQL.find('?') == AnsiString::npos) {
    // Nothing to cut: the text runs exactly as written.
    cachedSQL_.push_back(SQL);
  } else {
    // Strings, quoted names and comments are single tokens, so a "?" inside
    // them is no marker.
    TZTokenList tokens = Connection->GetDriver()->GetTokenizer()->TokenizeBufferToList(SQL, toUnifyWhitespaces);
    AnsiString pending;
    for (const TZToken& token : tokens) {
      if (token.Value == kMarker) {
        cachedSQL_.push_back(std::move(pending));
        cachedSQL_.push_back(kMarker);
        pending.clear();
      } else {
        pending += token.Value;
      }
    }
    if (!pending.empty()) cachedSQL_.push_back(std::move(pending));
  }
  splitDone_ = true;
  return cachedSQL_;
}

AnsiString TZEmulatedPreparedStatement::ComposeSQL() {
  AnsiString result;
  int paramIndex = 0;
  // No text fragment reads "?" on its own: every such token became a marker.
  for (const AnsiString& fragment : SplitSQL()) {
    if (fragment == kMarker)
      result += GetParameterSQL(paramIndex++);
    else
      result += fragment;
  }
  return result;
}

Ref<IZStatement> TZEmulatedPreparedStatement::GetExecStatement() {
  if (!execStatement_) {
    Ref<IZStatement> statement = NewExecStatement();
    statement->SetMaxFieldSize(GetMaxFieldSize());
    statement->SetMaxRows(GetMaxRows());
    statement->SetEscapeProcessing(EscapeProcessing);
    statement->SetQueryTimeout(GetQueryTimeout());
    statement->SetCursorName(CursorName);
    statement->SetFetchDirection(GetFetchDirection());
    statement->SetFetchSize(GetFetchSize());
    statement->SetResultSetConcurrency(GetResultSetConcurrency());
    statement->SetResultSetType(GetResultSetType());
    execStatement_ = std::move(statement);
  }
  return execStatement_;
}

void TZEmulatedPreparedStatement::SetLastStatement(const Ref<IZStatement>& statement) {
  if (lastStatement_) lastStatement_->Close();
  lastStatement_ = statement;
}

Ref<IZResultSet> TZEmulatedPreparedStatement::ExecuteQuery(const AnsiString& sql) {
  return GetExecStatement()->ExecuteQuery(sql);
}

int TZEmulatedPreparedStatement::ExecuteUpdate(const AnsiString& sql) {
  LastUpdateCount = GetExecStatement()->ExecuteUpdate(sql);
  return LastUpdateCount;
}

bool TZEmulatedPreparedStatement::Execute(const AnsiString& sql) {
  Ref<IZStatement> statement = GetExecStatement();
  SetLastStatement(statement);
  bool result = statement->Execute(sql);
  if (result)
    SetLastResultSet(statement->GetResultSet());
  else
    LastUpdateCount = statement->GetUpdateCount();
  return result;
}

void TZEmulatedPreparedStatement::Close() {
  TZAbstractPreparedStatement::Close();
  if (lastStatement_) {
    Ref<IZStatement> statement = std::move(lastStatement_);
    statement->Close();
  }
}

Ref<IZResultSet> TZEmulatedPreparedStatement::ExecuteQueryPrepared() { return ExecuteQuery(ComposeSQL()); }
int TZEmulatedPreparedStatement::ExecuteUpdatePrepared() { return ExecuteUpdate(ComposeSQL()); }
bool TZEmulatedPreparedStatement::ExecutePrepared() { return Execute(ComposeSQL()); }

bool TZEmulatedPreparedStatement::NumberLiteral(TZSQLType type, const TZVariant& value, AnsiString& literal) {
  const IZVariantManager& manager = *SoftVarManager();
  switch (type) {
    case stByte:
    case stShort:
    case stInteger:
    case stLong:
      literal = IntToStr(manager.GetAsInteger(value));
      return true;
    case stFloat:
    case stDouble:
    case stBigDecimal:
      literal = FloatToSqlStr(manager.GetAsFloat(value));
      return true;
    default:
      return false;
  }
}

bool ScalarParameterLiteral(TZSQLType type, const TZVariant& value, AnsiString& literal) {
  if (TZEmulatedPreparedStatement::NumberLiteral(type, value, literal)) return true;
  const IZVariantManager& manager = *SoftVarManager();
  switch (type) {
    case stBoolean:
      literal = manager.GetAsBoolean(value) ? "'Y'" : "'N'";
      return true;
    case stDate:
      literal = "'" + SqlDateText(manager.GetAsDateTime(value)) + "'";
      return true;
    case stTime:
      literal = "'" + SqlTimeText(manager.GetAsDateTime(value)) + "'";
      return true;
    case stTimestamp:
      literal = "'" + SqlTimestampText(manager.GetAsDateTime(value)) + "'";
      return true;
    default:
      return false;
  }
}
