// TZSQLProcessor: a component that holds an SQL script (several statements
// in one text), the settings by which a script is divided, the script's named
// parameters and a TZConnection, and prepares and binds one statement on that
// connection. TZSQLScriptParser keeps the delimiter settings and the divided
// statements. Dividing and running a whole script is for a caller to build
// on these two; the settings and events are kept for it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/db/params.h"
#include "platform/rtl/components.h"
#include "sql/core/dbc/interfaces.h"
#include "sql/dataset/sql_strings.h"

class TZConnection;

enum TZDelimiterType : std::uint8_t { dtDefault, dtGo, dtSetTerm, dtEmptyLine };
// What an error handler asks of a script run.
enum TZErrorHandleAction : std::uint8_t { eaFail, eaAbort, eaSkip, eaRetry };

class TZSQLScriptParser : public TObject {
public:
  // Forgets the divided statements and the text not yet closed by a delimiter.
  void Clear() {
    StatementList.Clear();
    PendingText.clear();
  }

  AnsiString Delimiter = ";";
  TZDelimiterType DelimiterType = dtDefault;
  bool CleanupStatements = true;
  Ref<IZTokenizer> Tokenizer;
  AnsiString PendingText;
  TStringList StatementList;
};

class TZSQLProcessor : public TComponent {
public:
  using TZProcessorNotifyEvent = std::function<void(TZSQLProcessor* processor, int statementIndex)>;
  using TZProcessorErrorEvent = std::function<void(TZSQLProcessor* processor, int statementIndex,
                                                   const Exception& error, TZErrorHandleAction& action)>;

  explicit TZSQLProcessor(TComponent* owner);
  ~TZSQLProcessor() override;

  TParams& Params() { return params_; }
  // Copies only the values of same-named parameters.
  void SetParams(const TParams& value) { params_.CopyParamValues(value); }
  TZSQLStrings& Script() { return script_; }
  void SetScript(const TStrings* value);
  bool ParamCheck() const { return script_.ParamCheck(); }
  void SetParamCheck(bool value);
  // Cleared when that connection is freed.
  TZConnection* Connection() const { return connection_; }
  void SetConnection(TZConnection* value);
  TZDelimiterType DelimiterType() const { return parser_->DelimiterType; }
  void SetDelimiterType(TZDelimiterType value);
  const AnsiString& Delimiter() const { return parser_->Delimiter; }
  void SetDelimiter(const AnsiString& value);
  bool CleanupStatements() const { return parser_->CleanupStatements; }
  void SetCleanupStatements(bool value);
  // The parser a script run divides the script with.
  TZSQLScriptParser& ScriptParser() { return *parser_; }

  // Prepares sql on the connection with a copy of properties (none: no
  // properties). "Database connection component is not assigned" without a
  // connection, "Connection is not opened yet" before it is connected.
  virtual Ref<IZPreparedStatement> CreateStatement(const AnsiString& sql, TStrings* properties);
  // Statement parameter i + 1 takes the value of the parameter paramNames[i];
  // a name without a parameter, and output or result parameters, are left
  // unbound.
  virtual void SetStatementParams(IZPreparedStatement* statement, const std::vector<AnsiString>& paramNames,
                                  const TParams& params);

  TZProcessorErrorEvent OnError;
  TZProcessorNotifyEvent AfterExecute, BeforeExecute;

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  // One parameter per distinct name of the script, keeping surviving values.
  void RebuildParams();

  TParams params_;
  TZSQLStrings script_;
  std::unique_ptr<TZSQLScriptParser> parser_;
  TZConnection* connection_ = nullptr;
};
