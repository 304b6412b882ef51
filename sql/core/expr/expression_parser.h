// The expression parser: turns an expression text into tokens in postfix order
// (operands before their operator) by recursive descent over seven precedence
// levels, ready for the evaluator's stack.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "sql/core/variant.h"

class IZTokenizer;

enum TZExpressionTokenType : std::uint8_t {
  etUnknown = 0,
  etLeftBrace = 1,
  etRightBrace = 2,
  etLeftSquareBrace = 3,
  etRightSquareBrace = 4,
  etPlus = 5,
  etMinus = 6,
  etStar = 7,
  etSlash = 8,
  etPercent = 9,
  etPower = 10,
  etEqual = 11,
  etNotEqual = 12,
  etMore = 13,
  etLess = 14,
  etMoreEqual = 15,
  etLessEqual = 16,
  etAnd = 17,
  etOr = 18,
  etXor = 19,
  etIs = 20,
  etNull = 21,
  etNot = 22,
  etLike = 23,
  etNotLike = 24,
  etIsNull = 25,
  etIsNotNull = 26,
  etComma = 27,
  etUnary = 28,
  etFunction = 29,
  etVariable = 30,
  etConstant = 31,
};

// Operators carry a null value; constants their value; names their text.
struct TZExpressionToken {
  TZExpressionTokenType TokenType = etUnknown;
  TZVariant Value;
};

VX_DECLARE_EXCEPTION(TZParseError, Exception)

class TZExpressionParser {
public:
  explicit TZExpressionParser(Ref<IZTokenizer> tokenizer);
  ~TZExpressionParser();

  void Clear();
  // Raises TZParseError for text that is not an expression.
  void Parse(const AnsiString& text);

  const AnsiString& Expression() const { return expression_; }
  const std::vector<TZExpressionToken>& PostfixTokens() const { return postfixTokens_; }
  // The distinct names of the text (functions included), in order of first use.
  const std::vector<AnsiString>& VariableNames() const { return variableNames_; }
  const Ref<IZTokenizer>& Tokenizer() const { return tokenizer_; }
  void SetTokenizer(Ref<IZTokenizer> tokenizer);

private:
  void TokenizeExpression();
  void AddVariableName(const AnsiString& name);

  bool HasMoreTokens() const { return tokenIndex_ < inputTokens_.size(); }
  TZExpressionToken* GetToken();
  TZExpressionToken* GetNextToken();
  void ShiftToken() { ++tokenIndex_; }
  bool CurrentIs(TZExpressionTokenType type);
  bool CheckTokenTypes(std::initializer_list<TZExpressionTokenType> types);
  void Append(TZExpressionTokenType type);
  // When the current token is one of operators: shifts it, parses the right
  // operand with operand and appends the operator.
  bool BinaryOperator(std::initializer_list<TZExpressionTokenType> operators, void (TZExpressionParser::*operand)());
  void RequireToken();
  void RequireRightBrace();

  void SyntaxAnalyse1();
  void SyntaxAnalyse2();
  void SyntaxAnalyse3();
  void SyntaxAnalyse4();
  void SyntaxAnalyse5();
  void SyntaxAnalyse6();
  void SyntaxAnalyse7();
  void FunctionCall();

  Ref<IZTokenizer> tokenizer_;
  AnsiString expression_;
  std::vector<TZExpressionToken> inputTokens_;
  std::size_t tokenIndex_ = 0;
  std::vector<TZExpressionToken> postfixTokens_;
  std::vector<AnsiString> variableNames_;
  int depth_ = 0;
};
