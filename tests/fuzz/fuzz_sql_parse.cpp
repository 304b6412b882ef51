// Fuzzes the SQL tokenizers, the statement analyser and the expression engine
// with arbitrary text. The first byte picks tokenizer options; the rest is the
// text. Besides not crashing: tokenizing with no options loses no character,
// and splitting into sections keeps every token in order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/rtl/exceptions.h"
#include "sql/core/expr/expression.h"
#include "sql/core/expr/expression_tokenizer.h"
#include "sql/core/parsesql/generic_sql_tokenizer.h"
#include "sql/core/parsesql/statement_analyser.h"

namespace {

AnsiString Compose(const TZTokenList& tokens) {
  AnsiString text;
  for (const TZToken& token : tokens) text += token.Value;
  return text;
}

void CheckTokenizer(IZTokenizer& tokenizer, const AnsiString& text, TZTokenizerOptions options) {
  if (Compose(tokenizer.TokenizeBufferToList(text, 0)) != text) std::abort();
  tokenizer.TokenizeBufferToList(text, options);
}

void CheckAnalyser(IZTokenizer& tokenizer, const AnsiString& text) {
  static const Ref<IZStatementAnalyser> analyser = MakeRef<TZGenericStatementAnalyser>();
  const TZTokenList tokens = analyser->TokenizeQuery(&tokenizer, text, false);
  if (analyser->ComposeSections(analyser->SplitSections(tokens)) != analyser->ComposeTokens(tokens)) std::abort();
  Ref<IZSelectSchema> schema = analyser->DefineSelectSchemaFromQuery(&tokenizer, text);
  if (!schema) return;
  schema->LinkReferences(nullptr);
  for (int i = 0; i < schema->GetFieldCount(); ++i) schema->LinkFieldByIndexAndShortName(i + 1, schema->GetField(i)->Field);
}

// The expression object is reused as a dataset reuses its filter; Clear drops
// the variables the previous text added.
void CheckExpression(IZExpression& expression, const AnsiString& text) {
  expression.Clear();
  try {
    expression.SetExpression(text);
    expression.Evaluate();
  } catch (const Exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const Ref<IZTokenizer> generic = MakeRef<TZGenericSQLTokenizer>();
  static const Ref<IZTokenizer> expressions = MakeRef<TZExpressionTokenizer>();
  static const Ref<IZExpression> filter = [] {
    Ref<IZExpression> e = MakeRef<TZExpression>();
    e->SetTokenizer(generic);
    return e;
  }();
  static const Ref<IZExpression> expression = MakeRef<TZExpression>();
  const auto options = static_cast<TZTokenizerOptions>(data[0]);
  const AnsiString text(reinterpret_cast<const char*>(data) + 1, size - 1);

  CheckTokenizer(*generic, text, options);
  CheckTokenizer(*expressions, text, options);
  CheckAnalyser(*generic, text);
  CheckExpression(*filter, text);
  CheckExpression(*expression, text);
  return 0;
}
