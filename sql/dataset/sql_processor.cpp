// TZSQLProcessor: script parameters, settings that reset the parser, and
// preparing and binding one statement on the connection.
#include "sql/dataset/sql_processor.h"

#include "sql/core/messages.h"
#include "sql/dataset/connection.h"
#include "sql/dataset/dataset_error.h"
#include "sql/dataset/param_binding.h"

TZSQLProcessor::TZSQLProcessor(TComponent* owner)
    : TComponent(owner), parser_(std::make_unique<TZSQLScriptParser>()) {
  parser_->CleanupStatements = false;
  script_.SetDataset(this);
  script_.OnTextChanged = [this](TObject*) { RebuildParams(); };
}

TZSQLProcessor::~TZSQLProcessor() { script_.OnTextChanged = nullptr; }

void TZSQLProcessor::SetScript(const TStrings* value) {
  script_.SetText(value ? value->Text() : AnsiString());
  parser_->Clear();
}

void TZSQLProcessor::SetParamCheck(bool value) {
  script_.SetParamCheck(value);
  RebuildParams();
}

void TZSQLProcessor::SetConnection(TZConnection* value) {
  if (value == connection_) return;
  connection_ = value;
  // The script's dialect comes from the connection, so a freed one must not
  // stay behind.
  if (value) value->FreeNotification(this);
  parser_->Clear();
}

void TZSQLProcessor::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component && component == connection_) SetConnection(nullptr);
}

void TZSQLProcessor::SetDelimiterType(TZDelimiterType value) {
  if (value == parser_->DelimiterType) return;
  parser_->DelimiterType = value;
  parser_->Clear();
}

void TZSQLProcessor::SetDelimiter(const AnsiString& value) {
  if (value == parser_->Delimiter) return;
  parser_->Delimiter = value;
  parser_->Clear();
}

void TZSQLProcessor::SetCleanupStatements(bool value) {
  if (value == parser_->CleanupStatements) return;
  parser_->CleanupStatements = value;
  parser_->Clear();
}

void TZSQLProcessor::RebuildParams() {
  TParams saved = params_;
  params_.Clear();
  for (int i = 0; i < script_.ParamCount(); ++i) params_.AddParam(ftUnknown, script_.ParamNames(i), ptUnknown);
  params_.CopyParamValues(saved);
}

Ref<IZPreparedStatement> TZSQLProcessor::CreateStatement(const AnsiString& sql, TStrings* properties) {
  if (!connection_) throw EZDatabaseError(SZConnectionIsNotAssigned);
  if (!connection_->Connected()) throw EZDatabaseError(SZConnectionIsNotOpened);
  TStringList lines;
  if (properties) lines.AddStrings(properties);
  return connection_->DbcConnection()->PrepareStatementWithProperties(sql, &lines);
}

void TZSQLProcessor::SetStatementParams(IZPreparedStatement* statement, const std::vector<AnsiString>& paramNames,
                                        const TParams& params) {
  for (std::size_t i = 0; i < paramNames.size(); ++i) {
    const TParam* param = params.ParamNamed(paramNames[i]);
    if (!param || param->ParamType() == ptOutput || param->ParamType() == ptResult) continue;
    BindParamValue(statement, static_cast<int>(i) + 1, *param);
  }
}
