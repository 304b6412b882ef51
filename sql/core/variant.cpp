// The variant managers. The strict manager converts only from null and between
// closely related kinds; the lenient one reads and writes the SQL text forms of
// the text helpers. Everything else (getters, comparison, operators) is shared
// and converts only through the virtual Convert.
#include "sql/core/variant.h"

#include <cmath>
#include <limits>
#include <utility>

#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/messages.h"
#include "sql/core/sysutils.h"

namespace {

[[noreturn]] void RaiseTypesMismatch() { throw EZVariantException(SZTypesMismatch); }
[[noreturn]] void RaiseUnsupported() { throw EZVariantException(SZUnsupportedOperation); }
[[noreturn]] void RaiseIntOverflow() { throw EIntOverflow(SIntOverflow); }

// Sets the kind and its one field; the other fields stay as they are.
template <class T, class U>
void Store(TZVariant& v, TZVariantType type, T TZVariant::*field, U&& data) {
  v.VType = type;
  v.*field = std::forward<U>(data);
}

template <class T, class U>
TZVariant Made(TZVariantType type, T TZVariant::*field, U&& data) {
  TZVariant v;
  Store(v, type, field, std::forward<U>(data));
  return v;
}

TZVariant MakeBoolean(bool data) { return Made(vtBoolean, &TZVariant::VBoolean, data); }
TZVariant MakeInteger(std::int64_t data) { return Made(vtInteger, &TZVariant::VInteger, data); }
TZVariant MakeFloat(long double data) { return Made(vtFloat, &TZVariant::VFloat, data); }
TZVariant MakeString(AnsiString data) { return Made(vtString, &TZVariant::VString, std::move(data)); }
TZVariant MakeUnicodeString(WideString data) {
  return Made(vtUnicodeString, &TZVariant::VUnicodeString, std::move(data));
}
TZVariant MakeDateTime(TDateTime data) { return Made(vtDateTime, &TZVariant::VDateTime, data); }
TZVariant MakePointer(void* data) { return Made(vtPointer, &TZVariant::VPointer, data); }

// The value a null converts to: False, 0, empty text or a null reference.
TZVariant NullOf(TZVariantType type) {
  TZVariant v;
  v.VType = type;
  switch (type) {
    case vtBoolean: v.VBoolean = false; break;
    case vtInteger: v.VInteger = 0; break;
    case vtDateTime: v.VDateTime = 0; break;
    case vtPointer: v.VPointer = nullptr; break;
    default: v.VFloat = 0; break;  // texts and the interface are empty already
  }
  return v;
}

// Truncation toward zero; a float beyond the 64-bit range cannot become an integer.
std::int64_t TruncToInt64(long double value) {
  constexpr long double kLimit = 9223372036854775808.0L;  // 2^63
  if (!(value > -kLimit - 1 && value < kLimit)) throw EInvalidOp(SInvalidOp);
  return static_cast<std::int64_t>(value);
}

// Pointers are as wide as 64-bit integers here, so the address converts whole.
std::int64_t PointerToInt64(const void* p) {
  return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(p));
}

template <class T>
int Sign(T a, T b) {
  return a < b ? -1 : (a > b ? 1 : 0);
}

// Operators that only numbers have: the integer and float forms of one operator.
template <class IntOp, class FloatOp>
TZVariant NumericOp(const IZVariantManager& m, const TZVariant& v1, const TZVariant& v2, IntOp intOp,
                    FloatOp floatOp) {
  switch (v1.VType) {
    case vtNull: return {};
    case vtInteger: return intOp(v1.VInteger, m.GetAsInteger(v2));
    case vtFloat: return floatOp(v1.VFloat, m.GetAsFloat(v2));
    default: RaiseUnsupported();
  }
}

// Operators of booleans and integers (bitwise on integers).
template <class BoolOp, class IntOp>
TZVariant LogicalOp(const IZVariantManager& m, const TZVariant& v1, const TZVariant& v2, BoolOp boolOp,
                    IntOp intOp) {
  switch (v1.VType) {
    case vtNull: return {};
    case vtBoolean: return MakeBoolean(boolOp(v1.VBoolean, [&] { return m.GetAsBoolean(v2); }));
    case vtInteger: return MakeInteger(intOp(v1.VInteger, m.GetAsInteger(v2)));
    default: RaiseUnsupported();
  }
}

}  // namespace

// --- TZDefaultVariantManager ----------------------------------------------------

bool TZDefaultVariantManager::IsNull(const TZVariant& value) const { return value.VType == vtNull; }

void TZDefaultVariantManager::SetNull(TZVariant& value) const { value.VType = vtNull; }

TZVariant TZDefaultVariantManager::Convert(const TZVariant& value, TZVariantType newType) const {
  if (newType == vtNull) return {};
  if (value.VType == newType) return Clone(value);
  if (value.VType == vtNull) return NullOf(newType);
  switch (newType) {
    case vtInteger:
      if (value.VType == vtBoolean) return MakeInteger(value.VBoolean ? 1 : 0);
      break;
    case vtFloat:
      if (value.VType == vtBoolean) return MakeFloat(value.VBoolean ? 1 : 0);
      if (value.VType == vtInteger) return MakeFloat(static_cast<long double>(value.VInteger));
      break;
    case vtString:
      if (value.VType == vtUnicodeString) return MakeString(WideToAnsi(value.VUnicodeString));
      break;
    case vtUnicodeString:
      if (value.VType == vtString) return MakeUnicodeString(AnsiToWide(value.VString));
      break;
    default:
      break;
  }
  RaiseTypesMismatch();
}

void TZDefaultVariantManager::Assign(const TZVariant& src, TZVariant& dst) const {
  dst.VType = src.VType;
  switch (src.VType) {
    case vtBoolean: dst.VBoolean = src.VBoolean; break;
    case vtInteger: dst.VInteger = src.VInteger; break;
    case vtFloat: dst.VFloat = src.VFloat; break;
    case vtString: dst.VString = src.VString; break;
    case vtUnicodeString: dst.VUnicodeString = src.VUnicodeString; break;
    case vtDateTime: dst.VDateTime = src.VDateTime; break;
    case vtPointer: dst.VPointer = src.VPointer; break;
    case vtInterface: dst.VInterface = src.VInterface; break;
    case vtNull: break;
  }
}

TZVariant TZDefaultVariantManager::Clone(const TZVariant& value) const {
  TZVariant copy;
  Assign(value, copy);
  return copy;
}

int TZDefaultVariantManager::Compare(const TZVariant& value1, const TZVariant& value2) const {
  switch (value1.VType) {
    case vtNull: return IsNull(value2) ? 0 : -1;
    case vtBoolean: return Sign(value1.VBoolean, GetAsBoolean(value2));
    case vtInteger: return Sign(value1.VInteger, GetAsInteger(value2));
    case vtFloat: {
      constexpr long double kTolerance = 0.00001L;
      const long double d = value1.VFloat - GetAsFloat(value2);
      return d < -kTolerance ? -1 : (d > kTolerance ? 1 : 0);
    }
    case vtString: return AnsiCompareStr(value1.VString, GetAsString(value2));
    case vtUnicodeString: return WideCompareStr(value1.VUnicodeString, GetAsUnicodeString(value2));
    case vtDateTime: return Sign(value1.VDateTime, GetAsDateTime(value2));
    case vtPointer: return Sign(PointerToInt64(value1.VPointer), GetAsInteger(value2));
    case vtInterface: return 0;
  }
  return 0;
}

bool TZDefaultVariantManager::GetAsBoolean(const TZVariant& value) const {
  return Convert(value, vtBoolean).VBoolean;
}
std::int64_t TZDefaultVariantManager::GetAsInteger(const TZVariant& value) const {
  return Convert(value, vtInteger).VInteger;
}
long double TZDefaultVariantManager::GetAsFloat(const TZVariant& value) const {
  return Convert(value, vtFloat).VFloat;
}
AnsiString TZDefaultVariantManager::GetAsString(const TZVariant& value) const {
  return Convert(value, vtString).VString;
}
WideString TZDefaultVariantManager::GetAsUnicodeString(const TZVariant& value) const {
  return Convert(value, vtUnicodeString).VUnicodeString;
}
TDateTime TZDefaultVariantManager::GetAsDateTime(const TZVariant& value) const {
  return Convert(value, vtDateTime).VDateTime;
}
void* TZDefaultVariantManager::GetAsPointer(const TZVariant& value) const {
  return Convert(value, vtPointer).VPointer;
}
Ref<IZInterface> TZDefaultVariantManager::GetAsInterface(const TZVariant& value) const {
  return Convert(value, vtInterface).VInterface;
}

void TZDefaultVariantManager::SetAsBoolean(TZVariant& value, bool data) const {
  Store(value, vtBoolean, &TZVariant::VBoolean, data);
}
void TZDefaultVariantManager::SetAsInteger(TZVariant& value, std::int64_t data) const {
  Store(value, vtInteger, &TZVariant::VInteger, data);
}
void TZDefaultVariantManager::SetAsFloat(TZVariant& value, long double data) const {
  Store(value, vtFloat, &TZVariant::VFloat, data);
}
void TZDefaultVariantManager::SetAsString(TZVariant& value, const AnsiString& data) const {
  Store(value, vtString, &TZVariant::VString, data);
}
void TZDefaultVariantManager::SetAsUnicodeString(TZVariant& value, const WideString& data) const {
  Store(value, vtUnicodeString, &TZVariant::VUnicodeString, data);
}
void TZDefaultVariantManager::SetAsDateTime(TZVariant& value, TDateTime data) const {
  Store(value, vtDateTime, &TZVariant::VDateTime, data);
}
void TZDefaultVariantManager::SetAsPointer(TZVariant& value, void* data) const {
  Store(value, vtPointer, &TZVariant::VPointer, data);
}
void TZDefaultVariantManager::SetAsInterface(TZVariant& value, const Ref<IZInterface>& data) const {
  Store(value, vtInterface, &TZVariant::VInterface, data);
}

TZVariant TZDefaultVariantManager::OpAdd(const TZVariant& value1, const TZVariant& value2) const {
  switch (value1.VType) {
    case vtNull: return {};
    case vtInteger: {
      std::int64_t sum = 0;
      if (__builtin_add_overflow(value1.VInteger, GetAsInteger(value2), &sum)) RaiseIntOverflow();
      return MakeInteger(sum);
    }
    case vtFloat: return MakeFloat(value1.VFloat + GetAsFloat(value2));
    case vtString: return MakeString(value1.VString + GetAsString(value2));
    case vtUnicodeString: return MakeUnicodeString(value1.VUnicodeString + GetAsUnicodeString(value2));
    case vtDateTime: return MakeDateTime(value1.VDateTime + GetAsDateTime(value2));
    default: RaiseUnsupported();
  }
}

TZVariant TZDefaultVariantManager::OpSub(const TZVariant& value1, const TZVariant& value2) const {
  return NumericOp(
      *this, value1, value2,
      [](std::int64_t a, std::int64_t b) {
        std::int64_t difference = 0;
        if (__builtin_sub_overflow(a, b, &difference)) RaiseIntOverflow();
        return MakeInteger(difference);
      },
      [](long double a, long double b) { return MakeFloat(a - b); });
}

TZVariant TZDefaultVariantManager::OpMul(const TZVariant& value1, const TZVariant& value2) const {
  return NumericOp(
      *this, value1, value2,
      [](std::int64_t a, std::int64_t b) {
        std::int64_t product = 0;
        if (__builtin_mul_overflow(a, b, &product)) RaiseIntOverflow();
        return MakeInteger(product);
      },
      [](long double a, long double b) { return MakeFloat(a * b); });
}

TZVariant TZDefaultVariantManager::OpDiv(const TZVariant& value1, const TZVariant& value2) const {
  return NumericOp(
      *this, value1, value2,
      [](std::int64_t a, std::int64_t b) {
        if (b == 0) throw EDivByZero(SDivByZero);
        if (a == std::numeric_limits<std::int64_t>::min() && b == -1) RaiseIntOverflow();
        return MakeInteger(a / b);
      },
      [](long double a, long double b) {
        if (b == 0) throw EZeroDivide(SZeroDivide);
        return MakeFloat(a / b);
      });
}

TZVariant TZDefaultVariantManager::OpMod(const TZVariant& value1, const TZVariant& value2) const {
  if (value1.VType == vtNull) return {};
  if (value1.VType != vtInteger) RaiseUnsupported();
  const std::int64_t divisor = GetAsInteger(value2);
  if (divisor == 0) throw EDivByZero(SDivByZero);
  // x mod -1 is 0; computing it directly overflows for the smallest value.
  return MakeInteger(divisor == -1 ? 0 : value1.VInteger % divisor);
}

TZVariant TZDefaultVariantManager::OpPow(const TZVariant& value1, const TZVariant& value2) const {
  return NumericOp(
      *this, value1, value2,
      [](std::int64_t a, std::int64_t b) {
        return MakeFloat(std::pow(static_cast<long double>(a), static_cast<long double>(b)));
      },
      [](long double a, long double b) { return MakeFloat(std::pow(a, b)); });
}

// The right side of "and" and "or" is converted only when it decides the result.
TZVariant TZDefaultVariantManager::OpAnd(const TZVariant& value1, const TZVariant& value2) const {
  return LogicalOp(
      *this, value1, value2, [](bool a, auto b) { return a && b(); },
      [](std::int64_t a, std::int64_t b) { return a & b; });
}

TZVariant TZDefaultVariantManager::OpOr(const TZVariant& value1, const TZVariant& value2) const {
  return LogicalOp(
      *this, value1, value2, [](bool a, auto b) { return a || b(); },
      [](std::int64_t a, std::int64_t b) { return a | b; });
}

TZVariant TZDefaultVariantManager::OpXor(const TZVariant& value1, const TZVariant& value2) const {
  return LogicalOp(
      *this, value1, value2, [](bool a, auto b) { return a != b(); },
      [](std::int64_t a, std::int64_t b) { return a ^ b; });
}

TZVariant TZDefaultVariantManager::OpNot(const TZVariant& value) const {
  switch (value.VType) {
    case vtNull: return {};
    case vtBoolean: return MakeBoolean(!value.VBoolean);
    case vtInteger: return MakeInteger(~value.VInteger);
    default: RaiseUnsupported();
  }
}

TZVariant TZDefaultVariantManager::OpNegative(const TZVariant& value) const {
  switch (value.VType) {
    case vtNull: return {};
    case vtInteger:
      if (value.VInteger == std::numeric_limits<std::int64_t>::min()) RaiseIntOverflow();
      return MakeInteger(-value.VInteger);
    case vtFloat: return MakeFloat(-value.VFloat);
    default: RaiseUnsupported();
  }
}

TZVariant TZDefaultVariantManager::OpEqual(const TZVariant& value1, const TZVariant& value2) const {
  return MakeBoolean(Compare(value1, value2) == 0);
}
TZVariant TZDefaultVariantManager::OpNotEqual(const TZVariant& value1, const TZVariant& value2) const {
  return MakeBoolean(Compare(value1, value2) != 0);
}
TZVariant TZDefaultVariantManager::OpMore(const TZVariant& value1, const TZVariant& value2) const {
  return MakeBoolean(Compare(value1, value2) > 0);
}
TZVariant TZDefaultVariantManager::OpLess(const TZVariant& value1, const TZVariant& value2) const {
  return MakeBoolean(Compare(value1, value2) < 0);
}
TZVariant TZDefaultVariantManager::OpMoreEqual(const TZVariant& value1, const TZVariant& value2) const {
  return MakeBoolean(Compare(value1, value2) >= 0);
}
TZVariant TZDefaultVariantManager::OpLessEqual(const TZVariant& value1, const TZVariant& value2) const {
  return MakeBoolean(Compare(value1, value2) <= 0);
}

// --- TZSoftVariantManager ---------------------------------------------------------

namespace {

TZVariant SoftFromString(const AnsiString& text, TZVariantType newType) {
  switch (newType) {
    case vtBoolean: return MakeBoolean(StrToBoolEx(text));
    // Unreadable text, or a number beyond 64 bits, reads as 0.
    case vtInteger: return MakeInteger(StrToInt64Def(text, 0));
    case vtFloat: return MakeFloat(SqlStrToFloatDef(text, 0));
    case vtString: return MakeString(text);
    case vtUnicodeString: return MakeUnicodeString(AnsiToWide(text));
    case vtDateTime: return MakeDateTime(AnsiSqlDateToDateTime(text));
    default: RaiseTypesMismatch();
  }
}

// Numbers and date-times read as one another, and as texts in SQL form.
TZVariant SoftFromNumber(const TZVariant& value, TZVariantType newType) {
  const bool isInteger = value.VType == vtInteger;
  const long double number = isInteger ? static_cast<long double>(value.VInteger)
                             : value.VType == vtFloat ? value.VFloat
                                                      : static_cast<long double>(value.VDateTime);
  auto text = [&] {
    if (isInteger) return IntToStr(value.VInteger);
    return value.VType == vtFloat ? FloatToSqlStr(value.VFloat) : DateTimeToAnsiSqlDate(value.VDateTime);
  };
  switch (newType) {
    case vtBoolean: return MakeBoolean(number != 0);
    case vtInteger: return MakeInteger(TruncToInt64(number));
    case vtFloat: return MakeFloat(number);
    case vtString: return MakeString(text());
    case vtUnicodeString: return MakeUnicodeString(AnsiToWide(text()));
    case vtDateTime: return MakeDateTime(static_cast<TDateTime>(number));
    case vtPointer:
      if (isInteger) return MakePointer(reinterpret_cast<void*>(static_cast<std::intptr_t>(value.VInteger)));
      break;
    default: break;
  }
  RaiseTypesMismatch();
}

TZVariant SoftFromBoolean(bool data, TZVariantType newType) {
  switch (newType) {
    case vtInteger: return MakeInteger(data ? 1 : 0);
    case vtFloat: return MakeFloat(data ? 1 : 0);
    case vtString: return MakeString(data ? "TRUE" : "FALSE");
    case vtUnicodeString: return MakeUnicodeString(data ? u"True" : u"False");
    default: RaiseTypesMismatch();
  }
}

}  // namespace

TZVariant TZSoftVariantManager::Convert(const TZVariant& value, TZVariantType newType) const {
  if (newType == vtNull) return {};
  if (value.VType == newType) return Clone(value);
  switch (value.VType) {
    case vtNull: return NullOf(newType);
    case vtBoolean: return SoftFromBoolean(value.VBoolean, newType);
    case vtInteger:
    case vtFloat:
    case vtDateTime: return SoftFromNumber(value, newType);
    case vtString: return SoftFromString(value.VString, newType);
    case vtUnicodeString: return SoftFromString(WideToAnsi(value.VUnicodeString), newType);
    case vtPointer:
      if (newType == vtInteger) return MakeInteger(PointerToInt64(value.VPointer));
      break;
    case vtInterface: break;
  }
  RaiseTypesMismatch();
}

// --- Shared objects -----------------------------------------------------------

const Ref<IZVariantManager>& DefaultVarManager() {
  static const Ref<IZVariantManager> manager = MakeRef<TZDefaultVariantManager>();
  return manager;
}

const Ref<IZVariantManager>& SoftVarManager() {
  static const Ref<IZVariantManager> manager = MakeRef<TZSoftVariantManager>();
  return manager;
}

const TZVariant& NullVariant() {
  static const TZVariant null{};
  return null;
}

// --- TZAnyValue -------------------------------------------------------------------

Ref<TZAnyValue> TZAnyValue::CreateWithString(const AnsiString& value) {
  TZVariant v;
  DefaultVarManager()->SetAsString(v, value);
  return MakeRef<TZAnyValue>(v);
}

bool TZAnyValue::IsNull() const { return SoftVarManager()->IsNull(value_); }
bool TZAnyValue::GetBoolean() const { return SoftVarManager()->GetAsBoolean(value_); }
std::int64_t TZAnyValue::GetInteger() const { return SoftVarManager()->GetAsInteger(value_); }
long double TZAnyValue::GetFloat() const { return SoftVarManager()->GetAsFloat(value_); }
AnsiString TZAnyValue::GetString() const { return SoftVarManager()->GetAsString(value_); }
WideString TZAnyValue::GetUnicodeString() const { return SoftVarManager()->GetAsUnicodeString(value_); }
TDateTime TZAnyValue::GetDateTime() const { return SoftVarManager()->GetAsDateTime(value_); }

bool TZAnyValue::Equals(const Ref<IZInterface>& value) const {
  if (!value) return false;
  if (const auto* other = dynamic_cast<const IZAnyValue*>(value.get()))
    return SoftVarManager()->Compare(value_, other->GetValue()) == 0;
  return TZAbstractObject::Equals(value);
}

Ref<IZInterface> TZAnyValue::Clone() const { return MakeRef<TZAnyValue>(value_); }
