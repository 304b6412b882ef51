// The expression engine end to end: one table of expressions over a few
// variables covers precedence, every operator, the type rule, all built-in
// functions and every error text, and runs through both the expression
// tokenizer and the generic SQL tokenizer that dataset filters use.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "sql/core/expr/expression.h"
#include "sql/core/expr/expression_parser.h"
#include "sql/core/expr/expression_tokenizer.h"
#include "sql/core/messages.h"
#include "sql/core/parsesql/generic_sql_tokenizer.h"

namespace {

const IZVariantManager& Vm() { return *DefaultVarManager(); }
TZVariant N() { return {}; }
TZVariant B(bool x) { TZVariant v; Vm().SetAsBoolean(v, x); return v; }
TZVariant I(std::int64_t x) { TZVariant v; Vm().SetAsInteger(v, x); return v; }
TZVariant F(long double x) { TZVariant v; Vm().SetAsFloat(v, x); return v; }
TZVariant S(const AnsiString& x) { TZVariant v; Vm().SetAsString(v, x); return v; }

constexpr long double kPi = 3.14159265358979323846264338327950288L;

::testing::AssertionResult SameValue(const TZVariant& actual, const TZVariant& expected) {
  if (actual.VType != expected.VType)
    return ::testing::AssertionFailure() << "kind " << int(actual.VType) << " instead of " << int(expected.VType)
                                         << " (" << SoftVarManager()->GetAsString(actual) << ")";
  bool same = true;
  switch (expected.VType) {
    case vtBoolean: same = actual.VBoolean == expected.VBoolean; break;
    case vtInteger: same = actual.VInteger == expected.VInteger; break;
    case vtFloat: same = std::fabs(actual.VFloat - expected.VFloat) < 1e-15L; break;
    case vtString: same = actual.VString == expected.VString; break;
    default: break;
  }
  if (same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "value " << SoftVarManager()->GetAsString(actual);
}

struct Row {
  const char* expression;
  TZVariant expected;
};

struct ErrorRow {
  const char* expression;
  AnsiString message;
};

// Expressions that read the same through both tokenizers.
const std::vector<Row>& CommonRows() {
  static const std::vector<Row> rows = {
      // precedence levels and operators
      {"A + B * C", I(7)},
      {"(A + B) * C", I(9)},
      {"C - B - A", I(0)},
      {"7 / 2", I(3)},
      {"7.0 / 2", F(3.5)},
      {"7 % 3", I(1)},
      {"2 ^ 3 ^ 2", F(64)},
      {"-A + +B", I(1)},
      {"-(A + B) * 2", I(-6)},
      {"A = 1", B(true)},
      {"A <> 1", B(false)},
      {"B > A", B(true)},
      {"B < A", B(false)},
      {"B >= 2", B(true)},
      {"B <= 1", B(false)},
      {"A = 1 AND B = 3", B(false)},
      {"A = 1 OR B = 3", B(true)},
      {"TRUE XOR TRUE", B(false)},
      {"TRUE OR TRUE AND FALSE", B(false)},  // AND, OR and XOR bind equally
      {"NOT A = 2", B(true)},
      {"NOT FALSE AND FALSE", B(false)},
      {"S LIKE 'AB*'", B(true)},
      {"S NOT LIKE 'ab*'", B(false)},
      {"A + B LIKE '3'", B(true)},  // LIKE binds like "+"
      {"N IS NULL", B(true)},
      {"A IS NOT NULL", B(true)},
      {"N IS NOT NULL", B(false)},
      // the right operand takes the left one's type
      {"1 + 2.5", I(3)},
      {"2.5 + 1", F(3.5)},
      {"A + '2'", I(3)},
      {"'x' + A", S("x1")},
      {"N + 1", N()},
      {"s + 'd'", S("abcd")},  // names ignore letter case
      // functions
      {"EMPTY(N)", B(true)},
      {"EMPTY(A)", B(false)},
      {"MIN(3, 1, 2)", I(1)},
      {"MAX('b', 'a')", S("b")},
      {"IIF(1 > 2, 'x', 'y')", S("y")},
      {"SUM(1, 2, 3)", I(6)},
      {"SUM('a', 'b')", S("ab")},
      {"E()", F(std::exp(1.0L))},
      {"PI()", F(kPi)},
      {"RND() >= 0 AND RND() < 1", B(true)},
      {"TIME() > CTOD('1.1.2020')", B(true)},
      {"ABS(-3)", I(3)},
      {"ABS(-2.5)", F(2.5)},
      {"ABS('x')", S("x")},
      {"ACOS(1) + ASIN(1)", F(kPi / 2)},
      {"ATAN(1)", F(kPi / 4)},
      {"CEIL(-1.5)", I(-1)},
      {"FLOOR(-1.5)", I(-2)},
      {"COS(0) + SIN(0) + TAN(0)", F(1)},
      {"EXP(0) + LOG(1) + LOG10(100)", F(3)},
      {"ROUND(2.5)", I(2)},
      {"ROUND(3.5)", I(4)},
      {"SQR(16)", F(4)},
      {"UPPER('žluťoučký')", S("ŽLUŤOUČKÝ")},
      {"lower('ABC')", S("abc")},
      {"CONCAT('a', 1, 'b')", S("a1b")},
      {"SUBSTR('abcdef', 2, 3)", S("bcd")},
      {"SUBSTR('abc', 0, 2)", S("ab")},
      {"SUBSTR('abc', 5, 1)", S("")},
      {"SUBSTR('abc', 2, '9999999999')", S("bc")},  // the count is clamped, not wrapped
      {"SUBSTR('abc', '-9999999999', 2)", S("ab")},
      {"STRPOS('abcdef', 'cd')", I(3)},
      {"STRPOS('abc', 'x')", I(0)},
      {"TRIM('  ab  ')", S("ab")},
      {"TRIM(12)", S("12")},
      {"VAL(' 42')", I(42)},
      {"VAL('$1F')", I(31)},
      {"VAL('4x')", I(0)},
      {"VAL(7)", I(7)},
      {"DTOS(CTOD('24.12.2023'))", S("20231224")},
      {"DTOS(CTOD('x'))", S("18991230")},
      {"LEFT('abc', 5)", S("abc")},
      {"LEFT(12345, 2)", S("12")},
      {"RIGHT('abc', 2)", S("bc")},
      {"RIGHT('abc', 5)", S("abc")},
      {"RIGHT('abc', 0)", S("")},
  };
  return rows;
}

const std::vector<ErrorRow>& CommonErrors() {
  static const std::vector<ErrorRow> rows = {
      {"A +", SZUnexpectedExprEnd},
      {"(A B)", SZRightBraceExpected},
      {"A = NULL", SZSyntaxError},
      {"[A]", SZSyntaxError},
      {"NOT NOT A", SZSyntaxError},
      {"CONCAT(, 'a')", SZSyntaxError},
      {"A B", Format(SZSyntaxErrorNear, {"B"})},
      {"A)", Format(SZSyntaxErrorNear, {""})},
      {"A # B", Format(SZUnknownSymbol, {"#"})},
      {"2147483648", Format(SInvalidInteger, {"2147483648"})},
      {"FOO(1)", Format(SZFunctionWasNotFound, {"FOO"})},
      {"IIF(1, 2)", Format(SZParametersError, {3, 2})},
      {"MIN(1)", SZExpectedMoreParams},
      {"'a' - 1", SZUnsupportedOperation},
      {"SQR(-1)", SInvalidOp},
      {"ACOS(2)", SInvalidOp},
      {"LOG(0)", SZeroDivide},
      {"CEIL(10000000000.5)", SInvalidOp},
      {"LEFT('abc', '9999999999')", SRangeError},
      {"RIGHT('abc', '-9999999999')", SRangeError},
  };
  return rows;
}

enum class TokenizerKind { Expression, GenericSQL };

class ExpressionTable : public ::testing::TestWithParam<TokenizerKind> {
protected:
  void SetUp() override {
    if (GetParam() == TokenizerKind::GenericSQL) expression->SetTokenizer(MakeRef<TZGenericSQLTokenizer>());
    variables->Add("A", I(1));
    variables->Add("B", I(2));
    variables->Add("C", I(3));
    variables->Add("S", S("abc"));
    variables->Add("N", N());
    variables->Add("my var", I(5));
  }

  TZVariant Eval(const AnsiString& text) {
    expression->SetExpression(text);
    return expression->EvaluateWithVariables(variables);
  }

  void ExpectRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      try {
        EXPECT_TRUE(SameValue(Eval(row.expression), row.expected)) << row.expression;
      } catch (const Exception& e) {
        ADD_FAILURE() << row.expression << ": " << e.Message();
      }
    }
  }

  void ExpectErrors(const std::vector<ErrorRow>& rows) {
    for (const ErrorRow& row : rows) {
      try {
        Eval(row.expression);
        ADD_FAILURE() << row.expression << ": no error";
      } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), row.message) << row.expression;
      }
    }
  }

  Ref<IZExpression> expression = MakeRef<TZExpression>();
  Ref<IZVariablesList> variables = MakeRef<TZVariablesList>();
};

TEST_P(ExpressionTable, EvaluatesEveryRow) { ExpectRows(CommonRows()); }

TEST_P(ExpressionTable, ReportsEveryErrorText) { ExpectErrors(CommonErrors()); }

TEST_P(ExpressionTable, DialectDifferences) {
  if (GetParam() == TokenizerKind::Expression) {
    ExpectRows({
        {"1.5e3", F(1500)},
        {".5", F(0.5)},
        {"2E+1", F(20)},
        {"'it\\'s'", S("it's")},
        {"'a''b'", S("a''b")},  // a doubled quote stays doubled
        {"\"my var\"", I(5)},
        {"A != 2", B(true)},
        {"CONCAT('a', 'b',)", S("ab")},
    });
    ExpectErrors({
        {"12E", Format(SZSyntaxErrorNear, {"E"})},
        {"1e+", Format(SInvalidFloat, {"1e+"})},
    });
  } else {
    ExpectRows({
        {"'a''b'", S("a'b")},
        {"\"my var\"", I(5)},
        {"5.", F(5)},
    });
    ExpectErrors({{"A != 2", Format(SZUnknownSymbol, {"!"})}});
  }
}

INSTANTIATE_TEST_SUITE_P(BothTokenizers, ExpressionTable,
                         ::testing::Values(TokenizerKind::Expression, TokenizerKind::GenericSQL),
                         [](const auto& info) {
                           return info.param == TokenizerKind::Expression ? "ExpressionTokenizer" : "GenericSQL";
                         });

// --- parser ----------------------------------------------------------------------

std::vector<int> Kinds(const TZExpressionParser& parser) {
  std::vector<int> kinds;
  for (const TZExpressionToken& token : parser.PostfixTokens()) kinds.push_back(token.TokenType);
  return kinds;
}

TEST(ExpressionParser, BuildsPostfixOrder) {
  TZExpressionParser parser(MakeRef<TZExpressionTokenizer>());
  parser.Parse("a + b * -c > 2 AND NOT d");
  EXPECT_EQ(Kinds(parser), (std::vector<int>{etVariable, etVariable, etVariable, etUnary, etStar, etPlus, etConstant,
                                              etMore, etVariable, etNot, etAnd}));
  EXPECT_EQ(parser.VariableNames(), (std::vector<AnsiString>{"a", "b", "c", "d"}));

  parser.Parse("f() + f(x,) + F(x)");
  const auto& tokens = parser.PostfixTokens();
  ASSERT_EQ(tokens.size(), 10u);
  EXPECT_EQ(Vm().GetAsInteger(tokens[0].Value), 0);  // f() passes no arguments
  EXPECT_EQ(tokens[1].TokenType, etFunction);
  EXPECT_EQ(Vm().GetAsInteger(tokens[3].Value), 1);  // a trailing comma adds none
  EXPECT_EQ(tokens[5].TokenType, etPlus);
  EXPECT_EQ(parser.VariableNames(), (std::vector<AnsiString>{"f", "x"}));

  parser.Parse(" \t\r\n ");
  EXPECT_TRUE(parser.PostfixTokens().empty());
  EXPECT_EQ(parser.Expression(), "");
}

TEST(ExpressionParser, ErrorsHaveTheirOwnClasses) {
  Ref<IZExpression> expression = MakeRef<TZExpression>();
  EXPECT_THROW(expression->SetExpression("A +"), TZParseError);
  expression->SetExpression("X");
  EXPECT_THROW(expression->EvaluateWithVariables(MakeRef<TZVariablesList>()), TZExpressionError);
}

TEST(ExpressionParser, DeepNestingIsAnErrorNotACrash) {
  TZExpressionParser parser(MakeRef<TZExpressionTokenizer>());
  const AnsiString deep = AnsiString(100000, '(') + "1" + AnsiString(100000, ')');
  EXPECT_THROW(parser.Parse(deep), TZParseError);
  const AnsiString calls = [] {
    AnsiString text;
    for (int i = 0; i < 100000; ++i) text += "ABS(";
    return text + "1" + AnsiString(100000, ')');
  }();
  EXPECT_THROW(parser.Parse(calls), TZParseError);
  parser.Parse(AnsiString(100, '(') + "1" + AnsiString(100, ')'));
  EXPECT_EQ(parser.PostfixTokens().size(), 1u);
}

// --- expression object, variables, functions and stack ---------------------------

TEST(Expression, AutoVariablesAreAddedOnceWithNullValues) {
  Ref<IZExpression> expression = MakeRef<TZExpression>();
  expression->SetExpression("A IS NULL");
  EXPECT_TRUE(SameValue(expression->Evaluate(), B(true)));
  expression->SetExpression("a IS NULL AND UPPER(x) = ''");
  Ref<IZVariablesList> variables = expression->GetDefaultVariables();
  ASSERT_EQ(variables->GetCount(), 3);  // function names become variables too
  EXPECT_EQ(variables->GetName(0), "A");
  EXPECT_EQ(variables->GetName(1), "UPPER");
  EXPECT_EQ(variables->GetName(2), "X");

  expression->SetAutoVariables(false);
  expression->SetExpression("Y");
  EXPECT_EQ(variables->GetCount(), 3);
  EXPECT_THROW(expression->Evaluate(), TZExpressionError);
}

TEST(Expression, EvaluatingNothingIsAnInternalError) {
  Ref<IZExpression> expression = MakeRef<TZExpression>();
  auto expectInternalError = [&] {
    try {
      expression->Evaluate();
      ADD_FAILURE() << "no error";
    } catch (const TZExpressionError& e) {
      EXPECT_EQ(e.Message(), SZInternalError);
    }
  };
  expectInternalError();
  expression->SetExpression("A + 1");
  expression->Clear();
  EXPECT_EQ(expression->GetDefaultVariables()->GetCount(), 0);
  EXPECT_EQ(expression->GetExpression(), "");
  expectInternalError();
}

TEST(Expression, MissingVariableNamesTheName) {
  Ref<IZExpression> expression = MakeRef<TZExpression>();
  expression->SetExpression("abc + 1");
  try {
    expression->EvaluateWithVariables(MakeRef<TZVariablesList>());
    ADD_FAILURE() << "no error";
  } catch (const TZExpressionError& e) {
    EXPECT_EQ(e.Message(), Format(SZVariableWasNotFound, {"abc"}));
  }
}

TEST(Expression, StackGrowsForLongArgumentLists) {
  AnsiString text = "CONCAT('a'";
  for (int i = 1; i < 150; ++i) text += ", 'a'";
  Ref<IZExpression> expression = MakeRef<TZExpression>();
  expression->SetExpression(text + ")");
  TZExecutionStack stack;
  EXPECT_TRUE(SameValue(
      expression->EvaluateWithStack(expression->GetDefaultVariables(), expression->GetDefaultFunctions(), stack),
      S(AnsiString(150, 'a'))));
  EXPECT_EQ(stack.GetCapacity(), 200);
  EXPECT_EQ(stack.GetCount(), 0);
}

TEST(ExecutionStack, PopAndParametersCheckTheCount) {
  TZExecutionStack stack;
  EXPECT_THROW(stack.Pop(), TZExpressionError);
  stack.Push(I(1));
  stack.Push(S("x"));
  EXPECT_TRUE(SameValue(stack.GetParameter(0), S("x")));
  EXPECT_TRUE(SameValue(stack.GetParameter(1), I(1)));
  EXPECT_THROW(stack.GetParameter(2), TZExpressionError);
  EXPECT_THROW(stack.GetParameter(-1), TZExpressionError);
  stack.Clear();
  try {
    stack.Pop();
    ADD_FAILURE() << "no error";
  } catch (const TZExpressionError& e) {
    EXPECT_EQ(e.Message(), SZStackIsEmpty);
  }
}

TEST(VariablesList, NamesIgnoreCaseAndDuplicatesAreRefused) {
  TZVariablesList variables;
  variables.Add("abc", I(1));
  EXPECT_EQ(variables.GetName(0), "ABC");
  EXPECT_EQ(variables.FindByName("aBc"), 0);
  try {
    variables.Add("Abc", I(2));
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), Format(SZVariableAlreadyExists, {"Abc"}));
  }
  variables.SetValueByName("x", I(5));
  EXPECT_TRUE(SameValue(variables.GetValueByName("X"), I(5)));
  EXPECT_TRUE(SameValue(variables.GetValueByName("missing"), N()));
  variables.ClearValues();
  EXPECT_TRUE(SameValue(variables.GetValue(0), N()));
  EXPECT_THROW(variables.GetValue(2), EListError);
  variables.Remove("ABC");
  EXPECT_EQ(variables.GetCount(), 1);
}

TEST(FunctionsList, HoldsTheBuiltInsOnceByName) {
  TZDefaultFunctionsList functions;
  ASSERT_EQ(functions.GetCount(), 34);
  EXPECT_EQ(functions.GetName(0), "TIME");
  EXPECT_EQ(functions.GetName(33), "RIGHT");
  EXPECT_EQ(functions.FindByName("concat"), 25);
  class Shadow : public TZAbstractFunction {
  public:
    Shadow() : TZAbstractFunction("upper") {}
    TZVariant Execute(TZExecutionStack&, const Ref<IZVariantManager>&) override { return {}; }
  };
  functions.Add(MakeRef<Shadow>());
  EXPECT_EQ(functions.GetCount(), 34);
  functions.Remove("Pi");
  EXPECT_EQ(functions.FindByName("PI"), -1);
  EXPECT_EQ(functions.GetCount(), 33);
}

}  // namespace
