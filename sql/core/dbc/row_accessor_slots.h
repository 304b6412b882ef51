// Raw reads and writes of row-buffer slots and the numeric narrowing rules,
// shared by the row accessor's sources only. Slots are unaligned, so every
// value goes through memcpy; the 80-bit extended value is the x87 format,
// which is what long double holds on the machines we build for.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/interfaces.h"

namespace detail::row_slots {

inline constexpr int kExtendedSize = 10;
inline constexpr int kBlobSlotSize = static_cast<int>(sizeof(IZBlob*));
// A true flag is stored with all bits set.
inline constexpr std::int16_t kTrueFlag = -1;

static_assert(std::numeric_limits<long double>::digits == 64, "stBigDecimal slots hold x87 extended values");

template <class T>
T Load(const std::uint8_t* slot) {
  T value;
  std::memcpy(&value, slot, sizeof(T));
  return value;
}

template <class T>
void Store(std::uint8_t* slot, T value) {
  std::memcpy(slot, &value, sizeof(T));
}

inline long double LoadExtended(const std::uint8_t* slot) {
  long double value = 0;
  std::memcpy(&value, slot, kExtendedSize);
  return value;
}

inline void StoreExtended(std::uint8_t* slot, long double value) { std::memcpy(slot, &value, kExtendedSize); }

inline IZBlob* LoadBlob(const std::uint8_t* slot) { return Load<IZBlob*>(slot); }
inline void StoreBlob(std::uint8_t* slot, IZBlob* blob) { Store(slot, blob); }

// Text of a slot up to its zero byte, at most maxLength characters.
inline std::string_view LoadText(const std::uint8_t* slot, int maxLength) {
  auto* text = reinterpret_cast<const char*>(slot);
  return std::string_view(text, strnlen(text, maxLength));
}

// Wide text of a slot up to its zero unit, never past the slot.
inline WideString LoadWideText(const std::uint8_t* slot, int slotSize) {
  WideString text;
  for (int i = 0; i + 1 < slotSize; i += 2) {
    char16_t unit = Load<char16_t>(slot + i);
    if (unit == 0) break;
    text.push_back(unit);
  }
  return text;
}

[[noreturn]] inline void RaiseRangeError() { throw ERangeError(SRangeError); }

// Truncates toward zero; a value beyond the 64-bit range (or NaN) is an
// invalid floating-point operation.
inline std::int64_t TruncToInt64(long double value) {
  constexpr long double kLimit = 9223372036854775808.0L;  // 2^63
  if (!(value >= -kLimit && value < kLimit)) throw EInvalidOp(SInvalidOp);
  return static_cast<std::int64_t>(value);
}

template <class T>
T NarrowInteger(std::int64_t value) {
  if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) RaiseRangeError();
  return static_cast<T>(value);
}

// Rounds to the target's precision; a finite value too large for it overflows.
template <class T>
T NarrowFloat(long double value) {
  if (std::isfinite(value) && std::fabs(value) > static_cast<long double>(std::numeric_limits<T>::max()))
    throw EOverflow(SOverflow);
  return static_cast<T>(value);
}

inline double Frac(double value) { return value - std::trunc(value); }

// How dates and times read as text ("mm" right after "hh" is minutes).
inline constexpr char kDateFormat[] = "yyyy-mm-dd";
inline constexpr char kTimeFormat[] = "hh:nn:ss";
inline constexpr char kTimestampFormat[] = "yyyy-mm-dd hh:nn:ss";

inline bool IsTrueWord(const AnsiString& text) {
  AnsiString upper = UpperCase(text);
  return upper == "Y" || upper == "T" || upper == "YES" || upper == "TRUE";
}

// Decimal text as a 32- or 64-bit integer; 0 when it does not parse or fit.
inline std::int64_t ParseInteger(const AnsiString& text, bool wide) {
  std::int64_t value;
  if (!TryStrToDecimal(text, value)) return 0;
  if (!wide && (value < INT32_MIN || value > INT32_MAX)) return 0;
  return value;
}

}  // namespace detail::row_slots
