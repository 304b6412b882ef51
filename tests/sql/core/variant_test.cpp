// Variant values: both conversion tables cell by cell, comparison, the
// operators with their errors, and boxed values as map keys.
#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "sql/core/messages.h"
#include "sql/core/variant.h"

namespace {

const IZVariantManager& Strict() { return *DefaultVarManager(); }
const IZVariantManager& Soft() { return *SoftVarManager(); }

TZVariant N() { return {}; }
TZVariant B(bool x) { TZVariant v; Strict().SetAsBoolean(v, x); return v; }
TZVariant I(std::int64_t x) { TZVariant v; Strict().SetAsInteger(v, x); return v; }
TZVariant F(long double x) { TZVariant v; Strict().SetAsFloat(v, x); return v; }
TZVariant S(const AnsiString& x) { TZVariant v; Strict().SetAsString(v, x); return v; }
TZVariant W(const WideString& x) { TZVariant v; Strict().SetAsUnicodeString(v, x); return v; }
TZVariant D(TDateTime x) { TZVariant v; Strict().SetAsDateTime(v, x); return v; }
TZVariant P(std::intptr_t x) { TZVariant v; Strict().SetAsPointer(v, reinterpret_cast<void*>(x)); return v; }
TZVariant Intf(const Ref<IZInterface>& x) { TZVariant v; Strict().SetAsInterface(v, x); return v; }

// Field-by-field equality of the kind both hold.
::testing::AssertionResult SameValue(const TZVariant& actual, const TZVariant& expected) {
  if (actual.VType != expected.VType)
    return ::testing::AssertionFailure() << "kind " << int(actual.VType) << " instead of " << int(expected.VType);
  bool same = true;
  switch (expected.VType) {
    case vtNull: break;
    case vtBoolean: same = actual.VBoolean == expected.VBoolean; break;
    case vtInteger: same = actual.VInteger == expected.VInteger; break;
    case vtFloat: same = static_cast<double>(actual.VFloat) == static_cast<double>(expected.VFloat); break;
    case vtString: same = actual.VString == expected.VString; break;
    case vtUnicodeString: same = actual.VUnicodeString == expected.VUnicodeString; break;
    case vtDateTime: same = actual.VDateTime == expected.VDateTime; break;
    case vtPointer: same = actual.VPointer == expected.VPointer; break;
    case vtInterface: same = actual.VInterface == expected.VInterface; break;
  }
  if (same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "different value of kind " << int(expected.VType);
}

// One source value per kind, in the order of the kinds.
struct Sources {
  Ref<IZInterface> object = Ref<IZInterface>(MakeRef<TZAnyValue>(I(1)));
  const TDateTime moment = EncodeDate(2004, 1, 31) + 0.5;
  TZVariant values[9] = {N(), B(true), I(12), F(-12.7L), S("1"), W(u"1"), D(moment), P(0x1234), Intf(object)};
};

using Cell = std::optional<TZVariant>;  // nullopt: "Types mismatch"
const Cell X = std::nullopt;

void CheckTable(const IZVariantManager& manager, const Sources& src, const Cell (&table)[9][9]) {
  for (int to = 0; to < 9; ++to) {
    for (int from = 0; from < 9; ++from) {
      const auto newType = static_cast<TZVariantType>(to);
      const Cell& expected = table[to][from];
      if (!expected) {
        EXPECT_THROW(manager.Convert(src.values[from], newType), EZVariantException) << to << " <- " << from;
        continue;
      }
      try {
        EXPECT_TRUE(SameValue(manager.Convert(src.values[from], newType), *expected)) << to << " <- " << from;
      } catch (const EZVariantException&) {
        ADD_FAILURE() << "Types mismatch for " << to << " <- " << from;
      }
    }
  }
}

TEST(VariantConversion, StrictTableCellByCell) {
  const Sources src;
  const Cell table[9][9] = {
      // from: null, boolean, integer, float, string, unicode, date-time, pointer, interface
      /* null    */ {N(), N(), N(), N(), N(), N(), N(), N(), N()},
      /* boolean */ {B(false), B(true), X, X, X, X, X, X, X},
      /* integer */ {I(0), I(1), I(12), X, X, X, X, X, X},
      /* float   */ {F(0), F(1), F(12), F(-12.7L), X, X, X, X, X},
      /* string  */ {S(""), X, X, X, S("1"), S("1"), X, X, X},
      /* unicode */ {W(u""), X, X, X, W(u"1"), W(u"1"), X, X, X},
      /* date    */ {D(0), X, X, X, X, X, D(src.moment), X, X},
      /* pointer */ {P(0), X, X, X, X, X, X, P(0x1234), X},
      /* intf    */ {Intf(nullptr), X, X, X, X, X, X, X, Intf(src.object)},
  };
  CheckTable(Strict(), src, table);
}

TEST(VariantConversion, LenientTableCellByCell) {
  const Sources src;
  const TDateTime m = src.moment;
  const Cell table[9][9] = {
      // from: null, boolean, integer, float, string, unicode, date-time, pointer, interface
      /* null    */ {N(), N(), N(), N(), N(), N(), N(), N(), N()},
      /* boolean */ {B(false), B(true), B(true), B(true), B(true), B(true), B(true), X, X},
      /* integer */ {I(0), I(1), I(12), I(-12), I(1), I(1), I(38017), I(0x1234), X},
      /* float   */ {F(0), F(1), F(12), F(-12.7L), F(1), F(1), F(m), X, X},
      /* string  */ {S(""), S("TRUE"), S("12"), S("-12.7"), S("1"), S("1"), S("2004-01-31 12:00:00"), X, X},
      /* unicode */ {W(u""), W(u"True"), W(u"12"), W(u"-12.7"), W(u"1"), W(u"1"), W(u"2004-01-31 12:00:00"), X, X},
      /* date    */ {D(0), X, D(12), D(-12.7), D(0), D(0), D(m), X, X},
      /* pointer */ {P(0), X, P(12), X, X, X, X, P(0x1234), X},
      /* intf    */ {Intf(nullptr), X, X, X, X, X, X, X, Intf(src.object)},
  };
  CheckTable(Soft(), src, table);
}

TEST(VariantConversion, LenientTextReading) {
  EXPECT_EQ(Soft().GetAsInteger(S("12")), 12);
  EXPECT_EQ(Soft().GetAsInteger(S("abc")), 0);
  // Texts read with 64 bits; beyond them (or unreadable) they give 0.
  EXPECT_EQ(Soft().GetAsInteger(S("9999999999")), 9999999999);
  EXPECT_EQ(Soft().GetAsInteger(S("99999999999999999999")), 0);
  EXPECT_EQ(Soft().GetAsInteger(W(u"-42")), -42);
  EXPECT_EQ(Soft().GetAsInteger(F(12.7L)), 12);
  EXPECT_EQ(Soft().GetAsInteger(F(-12.7L)), -12);
  EXPECT_THROW(Soft().GetAsInteger(F(1e30L)), EInvalidOp);
  EXPECT_TRUE(Soft().GetAsBoolean(S("yes")));
  EXPECT_EQ(Soft().GetAsString(F(1.5L)), "1.5");
  const TDateTime moment = EncodeDate(2004, 1, 31) + EncodeTime(10, 0, 0, 0);
  EXPECT_DOUBLE_EQ(Soft().GetAsDateTime(S("2004-01-31 10:00:00")), moment);
  EXPECT_EQ(Soft().GetAsString(D(moment)), "2004-01-31 10:00:00");
  EXPECT_THROW(Strict().GetAsInteger(S("12")), EZVariantException);
}

TEST(VariantCompare, KindsOfTheLeftValueDecide) {
  struct {
    TZVariant a, b;
    int sign;
  } const cases[] = {
      {F(1.000001L), F(1.000009L), 0},  // within the float tolerance
      {F(1.0L), F(1.0001L), -1},
      {I(0), I(std::int64_t{1} << 40), -1},
      {I(std::numeric_limits<std::int64_t>::min()), I(std::numeric_limits<std::int64_t>::max()), -1},
      {I(5), N(), 1},
      {S(""), N(), 0},
      {N(), N(), 0},
      {N(), I(0), -1},
      {B(false), B(true), -1},
      {B(true), B(false), 1},
      {S("abc"), S("abd"), -1},
      {S("a"), S("A"), -1},  // case-sensitive, lower case first
      {W(u"b"), W(u"a"), 1},
      {D(2), D(1), 1},
  };
  for (const auto& c : cases) {
    const int r = Soft().Compare(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign) << int(c.a.VType) << " vs " << int(c.b.VType);
  }
  EXPECT_THROW(Strict().Compare(I(1), S("1")), EZVariantException);
}

// How an operator call ended: a value, or one of the expected errors.
enum Outcome { kValue, kMismatch, kUnsupported, kOverflow, kDivByZero };

TEST(VariantOperators, TableOfResultsAndErrors) {
  using Op = TZVariant (IZVariantManager::*)(const TZVariant&, const TZVariant&) const;
  const auto kMin = std::numeric_limits<std::int64_t>::min();
  const auto kMax = std::numeric_limits<std::int64_t>::max();
  const Ref<IZInterface> object(MakeRef<TZAnyValue>(I(1)));
  struct {
    const char* name;
    const IZVariantManager& manager;
    Op op;
    TZVariant a, b;
    Outcome outcome;
    TZVariant result;
  } const cases[] = {
      {"str+str", Strict(), &IZVariantManager::OpAdd, S("ab"), S("cd"), kValue, S("abcd")},
      {"int+str lenient", Soft(), &IZVariantManager::OpAdd, I(1), S("2"), kValue, I(3)},
      {"int+str strict", Strict(), &IZVariantManager::OpAdd, I(1), S("2"), kMismatch, {}},
      {"bool+bool", Strict(), &IZVariantManager::OpAdd, B(true), B(true), kUnsupported, {}},
      {"null+x", Strict(), &IZVariantManager::OpAdd, N(), S("x"), kValue, N()},
      {"int+ overflow", Strict(), &IZVariantManager::OpAdd, I(kMax), I(1), kOverflow, {}},
      {"unicode+", Soft(), &IZVariantManager::OpAdd, W(u"a"), I(1), kValue, W(u"a1")},
      {"date+", Strict(), &IZVariantManager::OpAdd, D(1.5), D(1), kValue, D(2.5)},
      {"pointer+", Strict(), &IZVariantManager::OpAdd, P(1), P(1), kUnsupported, {}},
      {"int-", Strict(), &IZVariantManager::OpSub, I(1), I(3), kValue, I(-2)},
      {"int- overflow", Strict(), &IZVariantManager::OpSub, I(kMin), I(1), kOverflow, {}},
      {"float-", Strict(), &IZVariantManager::OpSub, F(1.5L), I(1), kValue, F(0.5L)},
      {"str-", Strict(), &IZVariantManager::OpSub, S("a"), S("b"), kUnsupported, {}},
      {"int*", Strict(), &IZVariantManager::OpMul, I(6), I(7), kValue, I(42)},
      {"int* overflow", Strict(), &IZVariantManager::OpMul, I(kMax), I(2), kOverflow, {}},
      {"int/", Strict(), &IZVariantManager::OpDiv, I(-7), I(2), kValue, I(-3)},
      {"int/0", Strict(), &IZVariantManager::OpDiv, I(1), I(0), kDivByZero, {}},
      {"min/-1", Strict(), &IZVariantManager::OpDiv, I(kMin), I(-1), kOverflow, {}},
      {"float/", Strict(), &IZVariantManager::OpDiv, F(1), F(4), kValue, F(0.25L)},
      {"int mod", Strict(), &IZVariantManager::OpMod, I(-7), I(2), kValue, I(-1)},
      {"min mod -1", Strict(), &IZVariantManager::OpMod, I(kMin), I(-1), kValue, I(0)},
      {"int mod 0", Strict(), &IZVariantManager::OpMod, I(7), I(0), kDivByZero, {}},
      {"float mod", Strict(), &IZVariantManager::OpMod, F(7), F(2), kUnsupported, {}},
      {"int pow", Strict(), &IZVariantManager::OpPow, I(2), I(10), kValue, F(1024)},
      {"float pow", Strict(), &IZVariantManager::OpPow, F(4), F(0.5L), kValue, F(2)},
      {"false and intf", Strict(), &IZVariantManager::OpAnd, B(false), Intf(object), kValue, B(false)},
      {"true and intf", Strict(), &IZVariantManager::OpAnd, B(true), Intf(object), kMismatch, {}},
      {"true or intf", Strict(), &IZVariantManager::OpOr, B(true), Intf(object), kValue, B(true)},
      {"int and", Strict(), &IZVariantManager::OpAnd, I(12), I(10), kValue, I(8)},
      {"int or", Strict(), &IZVariantManager::OpOr, I(12), I(10), kValue, I(14)},
      {"bool xor", Strict(), &IZVariantManager::OpXor, B(true), B(true), kValue, B(false)},
      {"int xor", Strict(), &IZVariantManager::OpXor, I(12), I(10), kValue, I(6)},
      {"str and", Strict(), &IZVariantManager::OpAnd, S("a"), S("a"), kUnsupported, {}},
      {"null = null", Strict(), &IZVariantManager::OpEqual, N(), N(), kValue, B(true)},
      {"null < 0", Strict(), &IZVariantManager::OpLess, N(), I(0), kValue, B(true)},
      {"1 <> 2", Strict(), &IZVariantManager::OpNotEqual, I(1), I(2), kValue, B(true)},
      {"2 > 1", Strict(), &IZVariantManager::OpMore, I(2), I(1), kValue, B(true)},
      {"1 >= 1", Strict(), &IZVariantManager::OpMoreEqual, I(1), I(1), kValue, B(true)},
      {"2 <= 1", Strict(), &IZVariantManager::OpLessEqual, I(2), I(1), kValue, B(false)},
  };
  for (const auto& c : cases) {
    auto call = [&] { return (c.manager.*c.op)(c.a, c.b); };
    switch (c.outcome) {
      case kValue: EXPECT_TRUE(SameValue(call(), c.result)) << c.name; break;
      case kMismatch:
      case kUnsupported:
        try {
          call();
          ADD_FAILURE() << c.name << ": no error";
        } catch (const EZVariantException& e) {
          EXPECT_EQ(e.Message(), c.outcome == kMismatch ? "Types mismatch" : "Unsupported operation") << c.name;
        }
        break;
      case kOverflow: EXPECT_THROW(call(), EIntOverflow) << c.name; break;
      case kDivByZero: EXPECT_THROW(call(), EDivByZero) << c.name; break;
    }
  }
}

TEST(VariantOperators, UnaryOperators) {
  EXPECT_TRUE(SameValue(Strict().OpNot(B(true)), B(false)));
  EXPECT_TRUE(SameValue(Strict().OpNot(I(0)), I(-1)));
  EXPECT_TRUE(SameValue(Strict().OpNot(N()), N()));
  EXPECT_THROW(Strict().OpNot(S("x")), EZVariantException);
  EXPECT_TRUE(SameValue(Strict().OpNegative(I(5)), I(-5)));
  EXPECT_TRUE(SameValue(Strict().OpNegative(F(1.5L)), F(-1.5L)));
  EXPECT_THROW(Strict().OpNegative(I(std::numeric_limits<std::int64_t>::min())), EIntOverflow);
  EXPECT_THROW(Strict().OpNegative(B(true)), EZVariantException);
}

TEST(VariantManagers, AssignKeepsOtherFieldsAndClonesShareNothing) {
  TZVariant dst = S("old");
  Strict().Assign(I(7), dst);
  EXPECT_EQ(dst.VType, vtInteger);
  EXPECT_EQ(dst.VInteger, 7);
  EXPECT_EQ(dst.VString, "old");
  TZVariant src = S("text");
  TZVariant copy = Strict().Clone(src);
  src.VString = "changed";
  EXPECT_EQ(copy.VString, "text");
  EXPECT_TRUE(Strict().IsNull(NullVariant()));
}

TEST(AnyValue, EqualsByValueWithTheLenientManager) {
  EXPECT_TRUE(TZAnyValue::CreateWithString("abc")->Equals(Ref<IZInterface>(TZAnyValue::CreateWithString("abc"))));
  EXPECT_FALSE(TZAnyValue::CreateWithString("abc")->Equals(Ref<IZInterface>(TZAnyValue::CreateWithString("ABC"))));
  EXPECT_TRUE(MakeRef<TZAnyValue>(I(12))->Equals(Ref<IZInterface>(TZAnyValue::CreateWithString("12"))));
  EXPECT_FALSE(MakeRef<TZAnyValue>(I(12))->Equals(nullptr));
  const Ref<TZAnyValue> value = MakeRef<TZAnyValue>(F(2.5L));
  EXPECT_EQ(value->ToString(), "2.5");
  EXPECT_EQ(value->GetInteger(), 2);
  const Ref<IZAnyValue> copy = Query<IZAnyValue>(value->Clone());
  ASSERT_TRUE(copy);
  EXPECT_NE(static_cast<const void*>(copy.get()), static_cast<const void*>(value.get()));
  EXPECT_TRUE(value->Equals(Ref<IZInterface>(copy)));
}

}  // namespace
