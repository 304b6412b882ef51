// Integer and float text conversion. Floats are turned into 17 significant
// decimal digits first and then rounded half away from zero on those digits,
// which is how the platform's own float text behaves (0.125 -> "0.13").
#include "platform/rtl/numbers.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/text.h"

namespace {

// --- integers --------------------------------------------------------------

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the platform's integer text into a value of Bits width.
template <class T>
bool ReadInteger(std::string_view s, T& value) {
  using U = std::make_unsigned_t<T>;
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i < s.size() && (s[i] == 'x' || s[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return false;
  // Decimal is bounded by the signed range, hex by the unsigned one.
  const U limit = base == 16 ? std::numeric_limits<U>::max()
                             : static_cast<U>(std::numeric_limits<T>::max()) + (negative ? 1 : 0);
  U magnitude = 0;
  for (; i < s.size(); ++i) {
    int digit = base == 16 ? HexValue(s[i]) : (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : -1);
    if (digit < 0) return false;
    if (magnitude > (limit - static_cast<U>(digit)) / static_cast<U>(base)) return false;
    magnitude = magnitude * static_cast<U>(base) + static_cast<U>(digit);
  }
  value = static_cast<T>(negative ? static_cast<U>(0) - magnitude : magnitude);
  return true;
}

[[noreturn]] void RaiseInvalidInteger(std::string_view s) {
  throw EConvertError(Format(SInvalidInteger, {s}));
}

// --- floats ----------------------------------------------------------------

// A finite non-negative value as significant digits d1 d2 ... (no leading
// zero unless the value is 0) times 10^(Exponent - index of the digit).
struct Decimal {
  std::string digits;
  int exponent = 0;
};

constexpr int kMaxDigits = 17;

Decimal ToDecimal(double magnitude) {
  Decimal d;
  if (magnitude == 0) {
    d.digits = "0";
    return d;
  }
  char buf[40];
  auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific,
                           kMaxDigits - 1);
  std::string_view text(buf, static_cast<size_t>(res.ptr - buf));
  size_t e = text.find('e');
  for (char c : text.substr(0, e))
    if (c != '.') d.digits += c;
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), text.data() + text.size(),
                  d.exponent);
  return d;
}

// Keeps Count significant digits, rounding half away from zero.
void RoundDigits(Decimal& d, int count) {
  if (count >= static_cast<int>(d.digits.size())) return;
  if (count < 0) {
    d = Decimal{"0", 0};
    return;
  }
  bool up = d.digits[count] >= '5';
  d.digits.resize(count);
  int i = count - 1;
  for (; up && i >= 0; --i) {
    if (d.digits[i] != '9') {
      ++d.digits[i];
      up = false;
    } else {
      d.digits[i] = '0';
    }
  }
  if (up) {  // carried past the first digit: 99.9 -> 100
    d.digits.insert(d.digits.begin(), '1');
    ++d.exponent;
  }
  if (d.digits.empty()) d = Decimal{"0", 0};
}

void StripTrailingZeros(Decimal& d) {
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
}

bool IsZero(const Decimal& d) { return d.digits.find_first_not_of('0') == std::string::npos; }

char DigitAt(const Decimal& d, int index) {
  return index >= 0 && index < static_cast<int>(d.digits.size()) ? d.digits[index] : '0';
}

AnsiString NonFinite(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

AnsiString ExponentText(int exponent, int minDigits, bool plusSign) {
  AnsiString digits = std::to_string(exponent < 0 ? -exponent : exponent);
  if (static_cast<int>(digits.size()) < minDigits) digits.insert(0, minDigits - digits.size(), '0');
  return (exponent < 0 ? "-" : plusSign ? "+" : "") + digits;
}

// d1 [sep d2...] "E" exponent
AnsiString MantissaText(const Decimal& d, char sep) {
  AnsiString out(1, d.digits[0]);
  if (d.digits.size() > 1) out.append(1, sep).append(d.digits, 1);
  return out;
}

AnsiString FixedText(const Decimal& d, int decimals, char sep) {
  AnsiString out;
  for (int k = 0; k <= d.exponent; ++k) out += DigitAt(d, k);
  if (out.empty()) out = "0";
  if (decimals > 0) {
    out += sep;
    for (int j = 1; j <= decimals; ++j) out += DigitAt(d, d.exponent + j);
  }
  return out;
}

AnsiString WithSign(bool negative, const Decimal& d, AnsiString text) {
  return negative && !IsZero(d) ? "-" + text : text;
}

locale_t CLocale() {
  static locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  return c;
}

}  // namespace

AnsiString IntToStr(int64_t value) { return std::to_string(value); }

AnsiString IntToHex(int64_t value, int digits) {
  char buf[17];
  auto res = std::to_chars(buf, buf + sizeof buf, static_cast<uint64_t>(value), 16);
  AnsiString out(buf, res.ptr);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (static_cast<int>(out.size()) < digits) out.insert(0, digits - out.size(), '0');
  return out;
}

bool TryStrToInt(std::string_view s, int& value) { return ReadInteger(s, value); }
bool TryStrToInt64(std::string_view s, int64_t& value) { return ReadInteger(s, value); }

int StrToInt(std::string_view s) {
  int value;
  if (!TryStrToInt(s, value)) RaiseInvalidInteger(s);
  return value;
}

int64_t StrToInt64(std::string_view s) {
  int64_t value;
  if (!TryStrToInt64(s, value)) RaiseInvalidInteger(s);
  return value;
}

int StrToIntDef(std::string_view s, int defaultValue) {
  int value;
  return TryStrToInt(s, value) ? value : defaultValue;
}

int64_t StrToInt64Def(std::string_view s, int64_t defaultValue) {
  int64_t value;
  return TryStrToInt64(s, value) ? value : defaultValue;
}

bool TryStrToDecimal(std::string_view s, int64_t& value) {
  if (s.empty() || s[0] == ' ') return false;
  for (size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0; i < s.size(); ++i)
    if (s[i] < '0' || s[i] > '9') return false;
  return ReadInteger(s, value);
}

AnsiString FloatToStrGeneral(double value, int precision, char decimalSeparator) {
  if (!std::isfinite(value)) return NonFinite(value);
  precision = std::clamp(precision, 1, kMaxDigits);
  Decimal d = ToDecimal(std::fabs(value));
  RoundDigits(d, precision);
  StripTrailingZeros(d);
  if (IsZero(d)) return "0";
  AnsiString text = (d.exponent >= precision || d.exponent < -5)
                        ? MantissaText(d, decimalSeparator) + "E" + ExponentText(d.exponent, 1, false)
                        : FixedText(d, std::max(0, static_cast<int>(d.digits.size()) - 1 - d.exponent),
                                    decimalSeparator);
  return WithSign(value < 0, d, text);
}

AnsiString FloatToStrFixed(double value, int decimals, char decimalSeparator) {
  if (!std::isfinite(value)) return NonFinite(value);
  decimals = std::max(decimals, 0);
  Decimal d = ToDecimal(std::fabs(value));
  RoundDigits(d, d.exponent + 1 + decimals);
  return WithSign(value < 0, d, FixedText(d, decimals, decimalSeparator));
}

AnsiString FloatToStrExponent(double value, int precision, int exponentDigits,
                              char decimalSeparator) {
  if (!std::isfinite(value)) return NonFinite(value);
  precision = std::clamp(precision, 1, kMaxDigits);
  Decimal d = ToDecimal(std::fabs(value));
  RoundDigits(d, precision);
  d.digits.resize(precision, '0');
  return WithSign(value < 0, d,
                  MantissaText(d, decimalSeparator) + "E" +
                      ExponentText(d.exponent, exponentDigits, true));
}

bool TryStrToFloat(std::string_view s, double& value, char decimalSeparator) {
  AnsiString text = Trim(s);
  // Build the C-locale form while checking the shape, so strtod sees only
  // what the platform accepts.
  std::string c;
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) c += text[i++];
  int digits = 0;
  bool separator = false;
  for (; i < text.size(); ++i) {
    char ch = text[i];
    if (ch >= '0' && ch <= '9') {
      ++digits;
      c += ch;
    } else if (ch == decimalSeparator && !separator) {
      separator = true;
      c += '.';
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    c += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) c += text[i++];
    size_t start = i;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) c += text[i];
    if (i == start) return false;
  }
  if (i != text.size()) return false;
  double result = strtod_l(c.c_str(), nullptr, CLocale());
  if (!std::isfinite(result)) return false;  // beyond the double range
  value = result;
  return true;
}

double StrToFloat(std::string_view s, char decimalSeparator) {
  double value;
  if (!TryStrToFloat(s, value, decimalSeparator))
    throw EConvertError(Format(SInvalidFloat, {s}));
  return value;
}

double StrToFloatDef(std::string_view s, double defaultValue, char decimalSeparator) {
  double value;
  return TryStrToFloat(s, value, decimalSeparator) ? value : defaultValue;
}
