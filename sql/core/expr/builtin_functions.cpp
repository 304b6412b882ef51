// The 34 built-in expression functions. Arguments are read and results built
// through the variant manager the evaluator passes in, so every argument kind
// that manager can convert is accepted; values outside a function's domain
// raise the platform's floating-point errors.
#include <cmath>
#include <limits>
#include <random>

#include "platform/rtl/datetime.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/expr/functions.h"
#include "sql/core/messages.h"

namespace {

using Manager = Ref<IZVariantManager>;

// Argument i (1-based, in call order) of a call with count arguments.
TZVariant Arg(const TZExecutionStack& stack, int count, int i) { return stack.GetParameter(count - i + 1); }

TZVariant FloatValue(const Manager& vm, long double x) {
  TZVariant v;
  vm->SetAsFloat(v, x);
  return v;
}
TZVariant IntValue(const Manager& vm, std::int64_t x) {
  TZVariant v;
  vm->SetAsInteger(v, x);
  return v;
}
TZVariant TextValue(const Manager& vm, const AnsiString& x) {
  TZVariant v;
  vm->SetAsString(v, x);
  return v;
}
TZVariant BoolValue(const Manager& vm, bool x) {
  TZVariant v;
  vm->SetAsBoolean(v, x);
  return v;
}
TZVariant DateValue(const Manager& vm, TDateTime x) {
  TZVariant v;
  vm->SetAsDateTime(v, x);
  return v;
}

// A 64-bit number that must fit 32 bits.
int Int32(std::int64_t value) {
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
    throw ERangeError(SRangeError);
  return static_cast<int>(value);
}

int Clamp32(std::int64_t value) {
  constexpr std::int64_t kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
  return static_cast<int>(value < kMin ? kMin : (value > kMax ? kMax : value));
}

// The argument count of a function that takes two or more.
int VariadicCount(const TZExecutionStack& stack, const Manager& vm) {
  const int count = Int32(vm->GetAsInteger(stack.GetParameter(0)));
  if (count < 2) throw TZExpressionError(SZExpectedMoreParams);
  return count;
}

// A mathematical result: not a number means a bad argument, infinity an overflow.
long double Checked(long double x) {
  if (std::isnan(x)) throw EInvalidOp(SInvalidOp);
  if (std::isinf(x)) throw EOverflow(SOverflow);
  return x;
}

// A whole number that must fit the target integer's range.
template <class Int>
Int WholeNumber(long double x) {
  if (!(x >= static_cast<long double>(std::numeric_limits<Int>::min()) &&
        x < -static_cast<long double>(std::numeric_limits<Int>::min())))
    throw EInvalidOp(SInvalidOp);
  return static_cast<Int>(x);
}

// Count characters from 1-based start: a start below 1 counts as 1, a start
// beyond the end or a negative count gives nothing, the end stops the count.
AnsiString Slice(const AnsiString& text, std::int64_t start, std::int64_t count) {
  const auto length = static_cast<std::int64_t>(text.size());
  if (start < 1) start = 1;
  if (start > length || count < 0) return AnsiString();
  return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(std::min(count, length - start + 1)));
}

long double LogOf(long double x) {
  if (x == 0) throw EZeroDivide(SZeroDivide);
  return std::log(x);
}

long double Log10Of(long double x) {
  if (x == 0) throw EZeroDivide(SZeroDivide);
  return std::log10(x);
}

long double RandomFraction() {
  thread_local std::mt19937_64 generator{std::random_device{}()};
  return std::uniform_real_distribution<double>(0.0, 1.0)(generator);
}

// A function of no arguments with a float result.
class TZConstantFloatFunction : public TZAbstractFunction {
public:
  TZConstantFloatFunction(AnsiString name, long double (*value)()) : TZAbstractFunction(std::move(name)), value_(value) {}
  TZVariant Execute(TZExecutionStack& stack, const Manager& vm) override {
    CheckParamsCount(stack, 0);
    return FloatValue(vm, value_());
  }

private:
  long double (*value_)();
};

// A function of one float argument with a float result.
class TZMathFunction : public TZAbstractFunction {
public:
  TZMathFunction(AnsiString name, long double (*fn)(long double)) : TZAbstractFunction(std::move(name)), fn_(fn) {}
  TZVariant Execute(TZExecutionStack& stack, const Manager& vm) override {
    CheckParamsCount(stack, 1);
    return FloatValue(vm, Checked(fn_(vm->GetAsFloat(stack.GetParameter(1)))));
  }

private:
  long double (*fn_)(long double);
};

// A function of one text argument with a text result.
class TZTextFunction : public TZAbstractFunction {
public:
  TZTextFunction(AnsiString name, AnsiString (*fn)(std::string_view)) : TZAbstractFunction(std::move(name)), fn_(fn) {}
  TZVariant Execute(TZExecutionStack& stack, const Manager& vm) override {
    CheckParamsCount(stack, 1);
    return TextValue(vm, fn_(vm->GetAsString(stack.GetParameter(1))));
  }

private:
  AnsiString (*fn_)(std::string_view);
};

}  // namespace

// A function with its own Execute, declared in one line.
#define VX_EXPRESSION_FUNCTION(Class, FunctionName)                                 \
  class Class final : public TZAbstractFunction {                                   \
  public:                                                                           \
    Class() : TZAbstractFunction(FunctionName) {}                                   \
    TZVariant Execute(TZExecutionStack& stack, const Manager& vm) override;         \
  };

VX_EXPRESSION_FUNCTION(TZTimeFunction, "TIME")
VX_EXPRESSION_FUNCTION(TZEmptyFunction, "EMPTY")
VX_EXPRESSION_FUNCTION(TZMinFunction, "MIN")
VX_EXPRESSION_FUNCTION(TZMaxFunction, "MAX")
VX_EXPRESSION_FUNCTION(TZIIFFunction, "IIF")
VX_EXPRESSION_FUNCTION(TZSUMFunction, "SUM")
VX_EXPRESSION_FUNCTION(TZAbsFunction, "ABS")
VX_EXPRESSION_FUNCTION(TZCeilFunction, "CEIL")
VX_EXPRESSION_FUNCTION(TZFloorFunction, "FLOOR")
VX_EXPRESSION_FUNCTION(TZRoundFunction, "ROUND")
VX_EXPRESSION_FUNCTION(TZConcatFunction, "CONCAT")
VX_EXPRESSION_FUNCTION(TZSubStrFunction, "SUBSTR")
VX_EXPRESSION_FUNCTION(TZStrPosFunction, "STRPOS")
VX_EXPRESSION_FUNCTION(TZValFunction, "VAL")
VX_EXPRESSION_FUNCTION(TZDtosFunction, "DTOS")
VX_EXPRESSION_FUNCTION(TZCtodFunction, "CTOD")
VX_EXPRESSION_FUNCTION(TZLeftFunction, "LEFT")
VX_EXPRESSION_FUNCTION(TZRightFunction, "RIGHT")

// The math and text functions differ only in the operation they apply.
#define VX_DERIVED_FUNCTION(Class, Base, FunctionName, Operation)  \
  class Class final : public Base {                                \
  public:                                                          \
    Class() : Base(FunctionName, Operation) {}                     \
  };

VX_DERIVED_FUNCTION(TZEFunction, TZConstantFloatFunction, "E", [] { return std::exp(1.0L); })
VX_DERIVED_FUNCTION(TZPIFunction, TZConstantFloatFunction, "PI",
                    [] { return 3.14159265358979323846264338327950288L; })
VX_DERIVED_FUNCTION(TZRndFunction, TZConstantFloatFunction, "RND", RandomFraction)
// Arc cosine and arc sine as angles of a point, so arguments beyond -1 to 1 fail.
VX_DERIVED_FUNCTION(TZAcosFunction, TZMathFunction, "ACOS",
                    [](long double x) { return std::atan2(std::sqrt(1 - x * x), x); })
VX_DERIVED_FUNCTION(TZAsinFunction, TZMathFunction, "ASIN",
                    [](long double x) { return std::atan2(x, std::sqrt(1 - x * x)); })
VX_DERIVED_FUNCTION(TZAtanFunction, TZMathFunction, "ATAN", [](long double x) { return std::atan(x); })
VX_DERIVED_FUNCTION(TZCosFunction, TZMathFunction, "COS", [](long double x) { return std::cos(x); })
VX_DERIVED_FUNCTION(TZSinFunction, TZMathFunction, "SIN", [](long double x) { return std::sin(x); })
VX_DERIVED_FUNCTION(TZTanFunction, TZMathFunction, "TAN", [](long double x) { return std::tan(x); })
VX_DERIVED_FUNCTION(TZExpFunction, TZMathFunction, "EXP", [](long double x) { return std::exp(x); })
VX_DERIVED_FUNCTION(TZLogFunction, TZMathFunction, "LOG", LogOf)
VX_DERIVED_FUNCTION(TZLog10Function, TZMathFunction, "LOG10", Log10Of)
VX_DERIVED_FUNCTION(TZSqrFunction, TZMathFunction, "SQR", [](long double x) { return std::sqrt(x); })
VX_DERIVED_FUNCTION(TZUpperFunction, TZTextFunction, "UPPER", AnsiUpperCase)
VX_DERIVED_FUNCTION(TZLowerFunction, TZTextFunction, "LOWER", AnsiLowerCase)
// Characters of code 0 to 32 at both ends go.
VX_DERIVED_FUNCTION(TZTrimFunction, TZTextFunction, "TRIM", Trim)

TZVariant TZTimeFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  CheckParamsCount(stack, 0);
  return DateValue(vm, Now());
}

TZVariant TZEmptyFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  CheckParamsCount(stack, 1);
  return BoolValue(vm, vm->IsNull(stack.GetParameter(1)));
}

// The result starts as the first argument; the others, from the last back to
// the second, replace it when they compare lower.
TZVariant TZMinFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  const int count = VariadicCount(stack, vm);
  TZVariant result = Arg(stack, count, 1);
  for (int i = 1; i < count; ++i) {
    TZVariant value = stack.GetParameter(i);
    if (vm->Compare(result, value) > 0) result = std::move(value);
  }
  return result;
}

TZVariant TZMaxFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  const int count = VariadicCount(stack, vm);
  TZVariant result = Arg(stack, count, 1);
  for (int i = 1; i < count; ++i) {
    TZVariant value = stack.GetParameter(i);
    if (vm->Compare(result, value) < 0) result = std::move(value);
  }
  return result;
}

TZVariant TZIIFFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  CheckParamsCount(stack, 3);
  return vm->GetAsBoolean(Arg(stack, 3, 1)) ? Arg(stack, 3, 2) : Arg(stack, 3, 3);
}

TZVariant TZSUMFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  const int count = VariadicCount(stack, vm);
  TZVariant result = Arg(stack, count, 1);
  for (int i = 2; i <= count; ++i) result = vm->OpAdd(result, Arg(stack, count, i));
  return result;
}

// By the argument's own kind: integers and floats lose their sign, anything
// else comes back unchanged.
TZVariant TZAbsFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  CheckParamsCount(stack, 1);
  TZVariant value = stack.GetParameter(1);
  if (value.VType == vtInteger) {
    if (value.VInteger == std::numeric_limits<std::int64_t>::min()) throw EIntOverflow(SIntOverflow);
    return IntValue(vm, value.VInteger < 0 ? -value.VInteger : value.VInteger);
  }
  if (value.VType == vtFloat) return FloatValue(vm, std::fabs(value.VFloat));
  return value;
}

TZVariant TZCeilFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  CheckParamsCount(stack, 1);
  return IntValue(vm, WholeNumber<int>(std::ceil(vm->GetAsFloat(stack.GetParameter(1)))));
}

TZVariant TZFloorFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  CheckParamsCount(stack, 1);
  return IntValue(vm, WholeNumber<int>(std::floor(vm->GetAsFloat(stack.GetParameter(1)))));
}

// A half goes to the even neighbour.
TZVariant TZRoundFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  CheckParamsCount(stack, 1);
  return IntValue(vm, WholeNumber<std::int64_t>(std::nearbyint(vm->GetAsFloat(stack.GetParameter(1)))));
}

TZVariant TZConcatFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  const int count = VariadicCount(stack, vm);
  AnsiString result;
  for (int i = 1; i <= count; ++i) result += vm->GetAsString(Arg(stack, count, i));
  return TextValue(vm, result);
}

// Start and count are clamped to the 32-bit range rather than wrapped, so a
// huge count still means "to the end".
TZVariant TZSubStrFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  CheckParamsCount(stack, 3);
  const AnsiString text = vm->GetAsString(Arg(stack, 3, 1));
  const int start = Clamp32(vm->GetAsInteger(Arg(stack, 3, 2)));
  const int count = Clamp32(vm->GetAsInteger(Arg(stack, 3, 3)));
  return TextValue(vm, Slice(text, start, count));
}

TZVariant TZStrPosFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  CheckParamsCount(stack, 2);
  return IntValue(vm, Pos(vm->GetAsString(Arg(stack, 2, 2)), vm->GetAsString(Arg(stack, 2, 1))));
}

// Decimal, "$" or "0x" hexadecimal; anything that does not read wholly is 0.
TZVariant TZValFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  CheckParamsCount(stack, 1);
  return IntValue(vm, StrToInt64Def(vm->GetAsString(stack.GetParameter(1)), 0));
}

TZVariant TZDtosFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  CheckParamsCount(stack, 1);
  return TextValue(vm, FormatDateTime("yyyymmdd", vm->GetAsDateTime(stack.GetParameter(1))));
}

// Text in the short date format; anything else is day 0.
TZVariant TZCtodFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  CheckParamsCount(stack, 1);
  TDateTime date = 0;
  if (!TryStrToDate(vm->GetAsString(stack.GetParameter(1)), date)) date = 0;
  return DateValue(vm, date);
}

TZVariant TZLeftFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  CheckParamsCount(stack, 2);
  const int n = Int32(vm->GetAsInteger(Arg(stack, 2, 2)));
  return TextValue(vm, Slice(vm->GetAsString(Arg(stack, 2, 1)), 1, n));
}

TZVariant TZRightFunction::Execute(TZExecutionStack& stack, const Manager& vm) {
  CheckParamsCount(stack, 2);
  const std::int64_t n = Int32(vm->GetAsInteger(Arg(stack, 2, 2)));
  const AnsiString text = vm->GetAsString(Arg(stack, 2, 1));
  const auto length = static_cast<std::int64_t>(text.size());
  if (n <= 0) return TextValue(vm, AnsiString());
  return TextValue(vm, n >= length ? text : Slice(text, length - n + 1, n));
}

TZDefaultFunctionsList::TZDefaultFunctionsList() {
  Functions = {
      MakeRef<TZTimeFunction>(),  MakeRef<TZEmptyFunction>(),  MakeRef<TZMinFunction>(),
      MakeRef<TZMaxFunction>(),   MakeRef<TZIIFFunction>(),    MakeRef<TZSUMFunction>(),
      MakeRef<TZEFunction>(),     MakeRef<TZPIFunction>(),     MakeRef<TZRndFunction>(),
      MakeRef<TZAbsFunction>(),   MakeRef<TZAcosFunction>(),   MakeRef<TZAsinFunction>(),
      MakeRef<TZAtanFunction>(),  MakeRef<TZCeilFunction>(),   MakeRef<TZFloorFunction>(),
      MakeRef<TZCosFunction>(),   MakeRef<TZSinFunction>(),    MakeRef<TZTanFunction>(),
      MakeRef<TZExpFunction>(),   MakeRef<TZLogFunction>(),    MakeRef<TZLog10Function>(),
      MakeRef<TZRoundFunction>(), MakeRef<TZSqrFunction>(),    MakeRef<TZUpperFunction>(),
      MakeRef<TZLowerFunction>(), MakeRef<TZConcatFunction>(), MakeRef<TZSubStrFunction>(),
      MakeRef<TZStrPosFunction>(), MakeRef<TZTrimFunction>(),  MakeRef<TZValFunction>(),
      MakeRef<TZDtosFunction>(),  MakeRef<TZCtodFunction>(),   MakeRef<TZLeftFunction>(),
      MakeRef<TZRightFunction>(),
  };
}
