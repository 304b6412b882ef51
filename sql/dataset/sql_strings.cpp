// Splitting SQL text into statements and ":name" markers into "?" positions.
#include "sql/dataset/sql_strings.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/text.h"
#include "sql/core/parsesql/tokenizer.h"
#include "sql/core/parsesql/tokenizer_states.h"
#include "sql/core/messages.h"
#include "sql/dataset/connection.h"
#include "sql/dataset/dataset_error.h"
#include "sql/dataset/dataset_utils.h"
#include "sql/dataset/ro_dataset.h"
#include "sql/dataset/sql_processor.h"

AnsiString TZSQLStatement::ParamNames(int index) const {
  if (paramIndices_.empty()) return AnsiString();
  if (index < 0 || index >= ParamCount()) throw ERangeError(SRangeError);
  return names_->Strings(paramIndices_[index]);
}

std::vector<AnsiString> TZSQLStatement::AllParamNames() const {
  std::vector<AnsiString> names;
  for (int index : paramIndices_) names.push_back(names_->Strings(index));
  return names;
}

TZSQLStrings::TZSQLStrings() {
  OnChange = [this](TObject*) { TextChanged(); };
}

TZSQLStrings::~TZSQLStrings() { OnChange = nullptr; }

void TZSQLStrings::TextChanged() {
  RebuildStatements();
  if (OnTextChanged) OnTextChanged(this);
}

void TZSQLStrings::SetDataset(TComponent* value) {
  if (value == dataset_) return;
  dataset_ = value;
  RebuildStatements();
}

void TZSQLStrings::SetParamCheck(bool value) {
  if (value == paramCheck_) return;
  paramCheck_ = value;
  RebuildStatements();
}

void TZSQLStrings::SetMultiStatements(bool value) {
  if (value == multiStatements_) return;
  multiStatements_ = value;
  RebuildStatements();
}

int TZSQLStrings::IndexOfParam(const AnsiString& name) const { return paramNames_.IndexOf(name); }

Ref<IZTokenizer> TZSQLStrings::ChooseTokenizer() const {
  TZConnection* connection = nullptr;
  if (auto* dataSet = dynamic_cast<TZAbstractRODataset*>(dataset_)) connection = dataSet->Connection();
  if (auto* processor = dynamic_cast<TZSQLProcessor*>(dataset_)) connection = processor->Connection();
  if (connection)
    if (Ref<IZDriver> driver = connection->GetDriver()) return driver->GetTokenizer();
  return SharedSQLTokenizer();
}

void TZSQLStrings::AddStatement(AnsiString& text, std::vector<int>& indices) {
  AnsiString sql = Trim(text);
  if (!sql.empty()) statements_.push_back(std::make_unique<TZSQLStatement>(sql, indices, &paramNames_));
  text.clear();
  indices.clear();
}

namespace {

// Whether the tokens from index on hold nothing but blanks before the end.
bool OnlyBlanksFollow(const TZTokenList& tokens, std::size_t index) {
  for (; index < tokens.size() && tokens[index].TokenType != ttEOF; ++index)
    if (tokens[index].TokenType != ttWhitespace) return false;
  return true;
}

}  // namespace

void TZSQLStrings::RebuildStatements() {
  paramNames_.Clear();
  statements_.clear();
  AnsiString text = Text();
  if (Trim(text).empty()) return;
  bool hasMarkers = paramCheck_ && text.find(':') != AnsiString::npos;
  bool hasSeparators = multiStatements_ && text.find(';') != AnsiString::npos;
  if (!hasMarkers && !hasSeparators) {
    statements_.push_back(std::make_unique<TZSQLStatement>(text, std::vector<int>(), &paramNames_));
    return;
  }

  Ref<IZTokenizer> tokenizer = ChooseTokenizer();
  TZTokenList tokens = tokenizer->TokenizeBufferToList(text, toSkipComments | toUnifyWhitespaces);
  AnsiString current;
  std::vector<int> indices;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const TZToken* token = &tokens[i];
    if (paramCheck_ && token->Value == ":" && OnlyBlanksFollow(tokens, i + 1)) continue;  // a trailing ":" is dropped
    if (paramCheck_ && token->Value == ":" && i + 1 < tokens.size()) {
      token = &tokens[++i];
      if (token->TokenType != ttEOF && token->Value != ":") {
        if (token->TokenType != ttWord && token->TokenType != ttQuoted && token->TokenType != ttQuotedIdentifier)
          throw EZDatabaseError(SZIncorrectToken);
        current += '?';
        AnsiString name = token->Value;
        char first = name.empty() ? '\0' : name[0];
        if (first == '"' || first == '\'' || first == '[' || first == '`')
          name = tokenizer->GetQuoteState()->DecodeString(name, first);
        int index = IndexOfParam(name);
        if (index < 0) index = paramNames_.Add(name);
        indices.push_back(index);
        continue;
      }
    }
    if (token->TokenType == ttEOF || (multiStatements_ && token->Value == ";")) {
      AddStatement(current, indices);
      if (token->TokenType == ttEOF) break;
      continue;
    }
    current += token->Value;
  }
}
