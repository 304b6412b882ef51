// TZUpdateSQL: parameters of the four lists, binding a statement from the
// row versions and Params, running a list for one row change and reading the
// row back by the refresh statement.
#include "sql/dataset/update_sql.h"

#include <cctype>

#include "platform/db/params_stream.h"
#include "platform/rtl/format.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/generic_resolver.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sysutils.h"
#include "sql/dataset/connection.h"
#include "sql/dataset/dataset_error.h"
#include "sql/dataset/param_binding.h"
#include "sql/dataset/query.h"
#include "sql/dataset/sequence.h"

namespace {

bool StartsWithNoCase(const AnsiString& text, const char* prefix) {
  return SameText(text.substr(0, std::char_traits<char>::length(prefix)), prefix);
}

// Copies column k of the refresh result into column c of the row, by the
// refresh column's type.
void CopyRefreshColumn(IZResultSet* from, int k, TZSQLType type, TZRowAccessor& row, int c) {
  if (from->IsNull(k)) {
    row.SetNull(c);
    return;
  }
  switch (type) {
    case stBoolean: row.SetBoolean(c, from->GetBoolean(k)); break;
    case stByte: row.SetByte(c, from->GetByte(k)); break;
    case stShort: row.SetShort(c, from->GetShort(k)); break;
    case stInteger: row.SetInt(c, from->GetInt(k)); break;
    case stLong: row.SetLong(c, from->GetLong(k)); break;
    case stFloat: row.SetFloat(c, from->GetFloat(k)); break;
    case stDouble: row.SetDouble(c, from->GetDouble(k)); break;
    case stBigDecimal: row.SetBigDecimal(c, from->GetBigDecimal(k)); break;
    case stString: row.SetString(c, from->GetString(k)); break;
    case stUnicodeString: row.SetUnicodeString(c, from->GetUnicodeString(k)); break;
    case stBytes: row.SetBytes(c, from->GetBytes(k)); break;
    case stDate: row.SetDate(c, from->GetDate(k)); break;
    case stTime: row.SetTime(c, from->GetTime(k)); break;
    case stTimestamp: row.SetTimestamp(c, from->GetTimestamp(k)); break;
    case stAsciiStream: case stUnicodeStream: case stBinaryStream: row.SetBlob(c, from->GetBlob(k)); break;
    default: break;
  }
}

// Copies the refresh result's first row into the new row, column by label;
// columns the dataset lacks are ignored.
void ApplyRefreshRow(IZCachedResultSet* sender, IZResultSet* refresh, TZRowAccessor& newRow) {
  if (!refresh) return;
  if (!refresh->First()) throw EZDatabaseError(SZUpdateSQLNoResult);
  Ref<IZResultSetMetadata> metadata = refresh->GetMetadata();
  for (int k = 1; k <= metadata->GetColumnCount(); ++k) {
    int c = sender->FindColumn(metadata->GetColumnLabel(k));
    if (c >= 1) CopyRefreshColumn(refresh, k, metadata->GetColumnType(k), newRow, c);
  }
}

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// text with every ":OLD_<field>" parameter marker (letter case ignored, whole
// name only, not inside quotes) replaced by `replacement`; everything else
// stays as written, since table names and literals may be case-sensitive.
AnsiString ReplaceOldMarker(const AnsiString& text, const AnsiString& field, const AnsiString& replacement) {
  AnsiString marker = ":OLD_" + field;
  AnsiString result;
  char quote = '\0';
  for (std::size_t i = 0; i < text.size();) {
    char c = text[i];
    if (quote) {
      if (c == quote) quote = '\0';
    } else if (c == '\'' || c == '"' || c == '`') {
      quote = c;
    } else if (c == ':' && SameText(text.substr(i, marker.size()), marker) &&
               (i + marker.size() == text.size() || !IsNameChar(text[i + marker.size()]))) {
      result += replacement;
      i += marker.size();
      continue;
    }
    result += c;
    ++i;
  }
  return result;
}

}  // namespace

TZUpdateSQL::TZUpdateSQL(TComponent* owner) : TComponent(owner) {
  for (TZSQLStrings* list : {&deleteSQL_, &insertSQL_, &modifySQL_, &refreshSQL_})
    list->OnTextChanged = [this](TObject*) { RebuildParams(); };
}

TZUpdateSQL::~TZUpdateSQL() { TZUpdateSQL::BeforeDestruction(); }

void TZUpdateSQL::BeforeDestruction() {
  // The lists must not rebuild into a half-destroyed component.
  for (TZSQLStrings* list : {&deleteSQL_, &insertSQL_, &modifySQL_, &refreshSQL_}) list->OnTextChanged = nullptr;
  TComponent::BeforeDestruction();
}

void TZUpdateSQL::SetParamCheck(bool value) {
  if (value == paramCheck_) return;
  paramCheck_ = value;
  for (TZSQLStrings* list : {&modifySQL_, &insertSQL_, &deleteSQL_}) list->SetParamCheck(value);
  RebuildParams();
}

void TZUpdateSQL::SetMultiStatements(bool value) {
  if (value == multiStatements_) return;
  multiStatements_ = value;
  for (TZSQLStrings* list : {&modifySQL_, &insertSQL_, &deleteSQL_}) list->SetMultiStatements(value);
  RebuildParams();
}

void TZUpdateSQL::SetDataSet(TZAbstractDataset* value) {
  dataSet_ = value;
  // The dataset may be freed first; this component must then forget it.
  if (value) value->FreeNotification(this);
  for (TZSQLStrings* list : {&deleteSQL_, &insertSQL_, &modifySQL_}) list->SetDataset(value);
}

void TZUpdateSQL::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component && component == dataSet_) SetDataSet(nullptr);
}

void TZUpdateSQL::RebuildParams() {
  TParams saved = params_;
  params_.Clear();
  for (const TZSQLStrings* list : {&modifySQL_, &insertSQL_, &deleteSQL_, &refreshSQL_})
    for (int i = 0; i < list->ParamCount(); ++i)
      if (!params_.ParamNamed(list->ParamNames(i))) params_.AddParam(ftUnknown, list->ParamNames(i), ptUnknown);
  params_.CopyParamValues(saved);
}

bool TZUpdateSQL::ParamDataStored(const TParams* ancestorParams) const {
  return ::ParamDataStored(params_, ancestorParams);
}

void TZUpdateSQL::StoreParamData(TStream& stream) const { WriteParamData(stream, params_); }
void TZUpdateSQL::LoadParamData(TStream& stream) { ReadParamData(stream, params_); }

// ---- the resolver ----

void TZUpdateSQL::CalculateDefaults(IZCachedResultSet* sender, TZRowAccessor* rowAccessor) {
  sender->GetNativeResolver()->CalculateDefaults(sender, rowAccessor);
}

void TZUpdateSQL::UpdateAutoIncrementFields(IZCachedResultSet* sender, TZRowUpdateType updateType,
                                            TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor,
                                            IZCachedResolver* resolver) {
  sender->GetNativeResolver()->UpdateAutoIncrementFields(sender, updateType, oldRowAccessor, newRowAccessor,
                                                         resolver);
}

void TZUpdateSQL::BindStatement(IZCachedResultSet* sender, IZPreparedStatement* statement,
                                const TZSQLStatement& sql, TZRowAccessor* oldRowAccessor,
                                TZRowAccessor* newRowAccessor) {
  Ref<IZResultSetMetadata> metadata = sender->GetMetadata();
  bool calcDefaults = StrToBoolEx(GetStatementProperty(sender->GetStatement().get(), "defaults", "true"));
  for (int i = 0; i < sql.ParamCount(); ++i) {
    AnsiString name = sql.ParamNames(i);
    AnsiString columnName = name;
    bool old = false;
    if (StartsWithNoCase(name, "NEW_")) {
      columnName = name.substr(4);
    } else if (StartsWithNoCase(name, "OLD_")) {
      columnName = name.substr(4);
      old = true;
    }
    int column = sender->FindColumn(columnName);
    if (column < 1) {
      // A name that no column has binds the component's own parameter; one
      // emptied behind the component's back is reported, not sent unbound.
      BindParamValue(statement, i + 1, *params_.RequireParam(name));
      continue;
    }
    if (calcDefaults) statement->SetDefaultValue(i + 1, metadata->GetDefaultValue(column));
    // A blob without a value binds NULL here.
    BindRowColumn(statement, i + 1, old ? *oldRowAccessor : *newRowAccessor, column, metadata->GetColumnType(column),
                  true);
  }
}

TZUpdateSQL::Step TZUpdateSQL::StepOf(TZRowUpdateType updateType) {
  switch (updateType) {
    case utModified: return {&modifySQL_, &BeforeModifySQL, &AfterModifySQL, &BeforeModifySQLStatement};
    case utInserted: return {&insertSQL_, &BeforeInsertSQL, &AfterInsertSQL, &BeforeInsertSQLStatement};
    case utDeleted: return {&deleteSQL_, &BeforeDeleteSQL, &AfterDeleteSQL, &BeforeDeleteSQLStatement};
    default: return {};
  }
}

void TZUpdateSQL::PostUpdates(IZCachedResultSet* sender, TZRowUpdateType updateType, TZRowAccessor* oldRowAccessor,
                              TZRowAccessor* newRowAccessor) {
  // A row inserted and deleted before it was posted never reached the server.
  if (updateType == utDeleted && oldRowAccessor->RowBuffer()->UpdateType == utInserted) return;
  Step step = StepOf(updateType);
  if (!step.list) return;
  if (*step.before) (*step.before)(this);
  WithSQLHourGlass(dataSet_ ? dataSet_->Connection() : nullptr, [&] {
    RunStatements(sender, updateType, step, oldRowAccessor, newRowAccessor);
    if (updateType != utDeleted) RefreshRow(sender, updateType, oldRowAccessor, newRowAccessor);
  });
  if (*step.after) (*step.after)(this);
}

void TZUpdateSQL::RunStatements(IZCachedResultSet* sender, TZRowUpdateType updateType, const Step& step,
                                TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor) {
  Ref<IZStatement> senderStatement = sender->GetStatement();
  bool calcDefaults = StrToBoolEx(GetStatementProperty(senderStatement.get(), "defaults", "true"));
  for (int i = 0; i < step.list->StatementCount(); ++i) {
    const TZSQLStatement& sql = step.list->Statements(i);
    Ref<IZPreparedStatement> statement = senderStatement->GetConnection()->PrepareStatement(sql.SQL());
    BindStatement(sender, statement.get(), sql, oldRowAccessor, newRowAccessor);
    bool execute = true;
    if (*step.beforeStatement) (*step.beforeStatement)(this, i, execute);
    if (!execute) continue;
    // Only the statement's own properties count here, not the connection's.
    bool validate = StrToBoolEx(senderStatement->GetProperties()->Values("ValidateUpdateCount"));
    int count = statement->ExecuteUpdatePrepared();
    if (validate && count != 1) throw EZSQLException(-1, Format(SZUpdateRecordCount, {count}));
    if (updateType == utModified && AfterModifySQLStatement) AfterModifySQLStatement(this, i);
    if (updateType == utDeleted && AfterDeleteSQLStatement) AfterDeleteSQLStatement(this, i);
    if (updateType != utInserted) continue;
    bool updateAutoIncFields = false;
    if (AfterInsertSQLStatement) AfterInsertSQLStatement(this, i, updateAutoIncFields);
    if (calcDefaults && updateAutoIncFields)
      UpdateAutoIncrementFields(sender, updateType, oldRowAccessor, newRowAccessor, this);
  }
}

AnsiString TZUpdateSQL::RefreshText(TZRowUpdateType updateType) {
  AnsiString text = refreshSQL_.Text();
  if (updateType != utInserted || !useSequenceFieldForRefreshSQL_ || !dataSet_) return text;
  TZSequence* sequence = dataSet_->Sequence();
  if (!sequence || dataSet_->SequenceField().empty()) return text;
  return ReplaceOldMarker(text, dataSet_->SequenceField(), sequence->GetCurrentValueSQL());
}

void TZUpdateSQL::RefreshRow(IZCachedResultSet* sender, TZRowUpdateType updateType, TZRowAccessor* oldRowAccessor,
                             TZRowAccessor* newRowAccessor) {
  if (refreshSQL_.Text().empty()) return;
  // The stored refresh text stays as written: the sequence's expression goes
  // into a copy split the same way.
  TZSQLStrings refresh;
  refresh.SetText(RefreshText(updateType));
  if (refresh.StatementCount() != 1) return;
  const TZSQLStatement& sql = refresh.Statements(0);
  Ref<IZPreparedStatement> statement = sender->GetStatement()->GetConnection()->PrepareStatement(sql.SQL());
  BindStatement(sender, statement.get(), sql, oldRowAccessor, newRowAccessor);
  Ref<IZResultSet> result = statement->ExecuteQueryPrepared();
  ApplyRefreshRow(sender, result.get(), *newRowAccessor);
  if (result) result->Close();
}
