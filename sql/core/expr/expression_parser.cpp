// Expression parsing: the token conversion and the seven grammar levels, from
// AND/OR/XOR (loosest) down to the primary (names, constants, groups, calls).
#include "sql/core/expr/expression_parser.h"

#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/messages.h"
#include "sql/core/parsesql/tokenizer.h"
#include "sql/core/sysutils.h"

namespace {

// Deep nesting would otherwise exhaust the call stack of the descent.
constexpr int kMaxNestingDepth = 500;

struct OperatorEntry {
  const char* text;
  TZExpressionTokenType type;
};

constexpr OperatorEntry kOperators[] = {
    {"(", etLeftBrace},   {")", etRightBrace}, {"[", etLeftSquareBrace}, {"]", etRightSquareBrace},
    {"+", etPlus},        {"-", etMinus},      {"*", etStar},            {"/", etSlash},
    {"%", etPercent},     {"^", etPower},      {"=", etEqual},           {"<>", etNotEqual},
    {"!=", etNotEqual},   {">", etMore},       {"<", etLess},            {">=", etMoreEqual},
    {"<=", etLessEqual},  {"AND", etAnd},      {"OR", etOr},             {"XOR", etXor},
    {"NOT", etNot},       {"IS", etIs},        {"NULL", etNull},         {"LIKE", etLike},
    {",", etComma},
};

TZExpressionToken OperatorToken(const AnsiString& text) {
  for (const OperatorEntry& entry : kOperators)
    if (text == entry.text) return {entry.type, {}};
  throw TZParseError(Format(SZUnknownSymbol, {text}));
}

TZVariant Constant(const AnsiString& text, bool asFloat) {
  TZVariant v;
  if (asFloat)
    DefaultVarManager()->SetAsFloat(v, SqlStrToFloat(text));
  else
    DefaultVarManager()->SetAsInteger(v, StrToInt(text));
  return v;
}

TZVariant TextValue(const AnsiString& text) {
  TZVariant v;
  DefaultVarManager()->SetAsString(v, text);
  return v;
}

class DepthGuard {
public:
  explicit DepthGuard(int& depth) : depth_(depth) {
    if (++depth_ > kMaxNestingDepth) {
      --depth_;
      throw TZParseError(SZSyntaxError);
    }
  }
  ~DepthGuard() { --depth_; }

private:
  int& depth_;
};

}  // namespace

TZExpressionParser::TZExpressionParser(Ref<IZTokenizer> tokenizer) : tokenizer_(std::move(tokenizer)) {}

TZExpressionParser::~TZExpressionParser() = default;

void TZExpressionParser::SetTokenizer(Ref<IZTokenizer> tokenizer) { tokenizer_ = std::move(tokenizer); }

void TZExpressionParser::Clear() {
  expression_.clear();
  inputTokens_.clear();
  postfixTokens_.clear();
  variableNames_.clear();
  tokenIndex_ = 0;
  depth_ = 0;
}

void TZExpressionParser::Parse(const AnsiString& text) {
  Clear();
  expression_ = Trim(text);
  if (expression_.empty()) return;
  TokenizeExpression();
  SyntaxAnalyse1();
  if (HasMoreTokens())
    throw TZParseError(Format(SZSyntaxErrorNear, {SoftVarManager()->GetAsString(GetToken()->Value)}));
}

void TZExpressionParser::AddVariableName(const AnsiString& name) {
  for (const AnsiString& known : variableNames_)
    if (SameText(known, name)) return;
  variableNames_.push_back(name);
}

void TZExpressionParser::TokenizeExpression() {
  const TZTokenList tokens = tokenizer_->TokenizeBufferToList(
      expression_, toSkipWhitespaces | toSkipComments | toSkipEOF | toDecodeStrings);
  for (const TZToken& token : tokens) {
    switch (token.TokenType) {
      case ttFloat:
      case ttInteger:
        inputTokens_.push_back({etConstant, Constant(token.Value, token.TokenType == ttFloat)});
        break;
      case ttQuoted:
        inputTokens_.push_back({etConstant, TextValue(token.Value)});
        break;
      case ttWord:
        inputTokens_.push_back({etVariable, TextValue(token.Value)});
        AddVariableName(token.Value);
        break;
      case ttKeyword: {
        const AnsiString word = UpperCase(token.Value);
        if (word == "TRUE" || word == "FALSE") {
          TZVariant v;
          DefaultVarManager()->SetAsBoolean(v, word == "TRUE");
          inputTokens_.push_back({etConstant, v});
        } else {
          inputTokens_.push_back(OperatorToken(word));
        }
        break;
      }
      case ttSymbol:
        inputTokens_.push_back(OperatorToken(token.Value));
        break;
      default:
        throw TZParseError(Format(SZUnknownSymbol, {token.Value}));
    }
  }
}

TZExpressionToken* TZExpressionParser::GetToken() {
  return HasMoreTokens() ? &inputTokens_[tokenIndex_] : nullptr;
}

TZExpressionToken* TZExpressionParser::GetNextToken() {
  return tokenIndex_ + 1 < inputTokens_.size() ? &inputTokens_[tokenIndex_ + 1] : nullptr;
}

bool TZExpressionParser::CurrentIs(TZExpressionTokenType type) {
  return HasMoreTokens() && inputTokens_[tokenIndex_].TokenType == type;
}

bool TZExpressionParser::CheckTokenTypes(std::initializer_list<TZExpressionTokenType> types) {
  std::size_t index = tokenIndex_;
  for (TZExpressionTokenType type : types) {
    if (index >= inputTokens_.size() || inputTokens_[index].TokenType != type) return false;
    ++index;
  }
  tokenIndex_ = index;
  return true;
}

void TZExpressionParser::Append(TZExpressionTokenType type) { postfixTokens_.push_back({type, {}}); }

void TZExpressionParser::RequireToken() {
  if (!HasMoreTokens()) throw TZParseError(SZUnexpectedExprEnd);
}

void TZExpressionParser::RequireRightBrace() {
  RequireToken();
  if (!CurrentIs(etRightBrace)) throw TZParseError(SZRightBraceExpected);
  ShiftToken();
}

bool TZExpressionParser::BinaryOperator(std::initializer_list<TZExpressionTokenType> operators,
                                        void (TZExpressionParser::*operand)()) {
  const TZExpressionToken* token = GetToken();
  if (!token) return false;
  for (TZExpressionTokenType op : operators) {
    if (token->TokenType != op) continue;
    ShiftToken();
    (this->*operand)();
    Append(op);
    return true;
  }
  return false;
}

// AND, OR and XOR bind equally, left to right.
void TZExpressionParser::SyntaxAnalyse1() {
  RequireToken();
  SyntaxAnalyse2();
  while (BinaryOperator({etAnd, etOr, etXor}, &TZExpressionParser::SyntaxAnalyse2)) {
  }
}

void TZExpressionParser::SyntaxAnalyse2() {
  RequireToken();
  if (CurrentIs(etNot)) {
    ShiftToken();
    SyntaxAnalyse3();
    Append(etNot);
  } else {
    SyntaxAnalyse3();
  }
}

void TZExpressionParser::SyntaxAnalyse3() {
  RequireToken();
  SyntaxAnalyse4();
  while (BinaryOperator({etEqual, etNotEqual, etMore, etLess, etMoreEqual, etLessEqual},
                        &TZExpressionParser::SyntaxAnalyse4)) {
  }
}

// LIKE binds like "+" and "-", and IS [NOT] NULL follows an operand here.
void TZExpressionParser::SyntaxAnalyse4() {
  RequireToken();
  SyntaxAnalyse5();
  for (;;) {
    if (BinaryOperator({etPlus, etMinus, etLike}, &TZExpressionParser::SyntaxAnalyse5)) continue;
    if (CheckTokenTypes({etNot, etLike})) {
      SyntaxAnalyse5();
      Append(etNotLike);
    } else if (CheckTokenTypes({etIs, etNull})) {
      Append(etIsNull);
    } else if (CheckTokenTypes({etIs, etNot, etNull})) {
      Append(etIsNotNull);
    } else {
      return;
    }
  }
}

void TZExpressionParser::SyntaxAnalyse5() {
  RequireToken();
  SyntaxAnalyse6();
  while (BinaryOperator({etStar, etSlash, etPercent}, &TZExpressionParser::SyntaxAnalyse6)) {
  }
}

// "^" groups from the left.
void TZExpressionParser::SyntaxAnalyse6() {
  RequireToken();
  SyntaxAnalyse7();
  while (BinaryOperator({etPower}, &TZExpressionParser::SyntaxAnalyse7)) {
  }
}

void TZExpressionParser::SyntaxAnalyse7() {
  RequireToken();
  bool unary = false;
  if (CurrentIs(etPlus)) {
    ShiftToken();
  } else if (CurrentIs(etMinus)) {
    GetToken()->TokenType = etUnary;
    ShiftToken();
    unary = true;
  }
  RequireToken();
  TZExpressionToken* token = GetToken();
  const TZExpressionToken* next = GetNextToken();
  if (token->TokenType == etVariable && next && next->TokenType == etLeftBrace) token->TokenType = etFunction;

  switch (token->TokenType) {
    case etVariable:
    case etConstant:
      postfixTokens_.push_back(*token);
      ShiftToken();
      break;
    case etLeftBrace: {
      DepthGuard guard(depth_);
      ShiftToken();
      SyntaxAnalyse1();
      RequireRightBrace();
      break;
    }
    case etFunction:
      FunctionCall();
      break;
    default:
      throw TZParseError(SZSyntaxError);
  }
  if (unary) Append(etUnary);
}

// name "(" [argument {"," argument}] [","] ")": the arguments, their count as a
// constant, then the call.
void TZExpressionParser::FunctionCall() {
  DepthGuard guard(depth_);
  const TZExpressionToken function = *GetToken();
  ShiftToken();
  if (!CurrentIs(etLeftBrace)) throw TZParseError(SZInternalError);
  std::int64_t count = 0;
  do {
    ShiftToken();
    if (!HasMoreTokens() || CurrentIs(etRightBrace)) break;
    ++count;
    SyntaxAnalyse1();
  } while (CurrentIs(etComma));
  RequireRightBrace();
  TZVariant countValue;
  DefaultVarManager()->SetAsInteger(countValue, count);
  postfixTokens_.push_back({etConstant, countValue});
  postfixTokens_.push_back({etFunction, function.Value});
}
