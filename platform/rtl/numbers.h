// Numbers as text, the platform's way: integer reading with leading blanks,
// sign and "$"/"0x" hex, strict decimal reading, and float text that never
// depends on a locale (the decimal separator is an explicit argument).
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/rtl/strings.h"

AnsiString IntToStr(int64_t value);
// Upper-case hex digits, at least Digits of them (zero-padded); a negative
// value shows its 64-bit two's complement.
AnsiString IntToHex(int64_t value, int digits);

// Integer reading: optional blanks, an optional sign, then decimal digits or
// hex digits after "$", "0x" or "x"; nothing may follow. Hex may use the full
// unsigned width of the target (so "$FFFFFFFF" reads as -1 for Integer);
// decimal must fit the signed range. Failures raise EConvertError with
// "'%s' is not a valid integer value".
int StrToInt(std::string_view s);
int64_t StrToInt64(std::string_view s);
int StrToIntDef(std::string_view s, int defaultValue);
int64_t StrToInt64Def(std::string_view s, int64_t defaultValue);
bool TryStrToInt(std::string_view s, int& value);
bool TryStrToInt64(std::string_view s, int64_t& value);

// Strict decimal reading: an optional "-" or "+" and decimal digits only, no
// blanks, no hex, within the signed 64-bit range.
bool TryStrToDecimal(std::string_view s, int64_t& value);

// Float text. General form: at most Precision significant digits, trailing
// zeros dropped, exponent form ("1E15", "1.5E-7") when the decimal exponent
// is at least Precision or below -5. "NAN", "INF" and "-INF" for non-finite.
AnsiString FloatToStrGeneral(double value, int precision = 15, char decimalSeparator = '.');
// Fixed form with exactly Decimals digits after the separator.
AnsiString FloatToStrFixed(double value, int decimals, char decimalSeparator = '.');
// Exponent form d.ddd "E" sign and at least ExponentDigits digits, with
// Precision significant digits ("1.50000000000000E+003").
AnsiString FloatToStrExponent(double value, int precision, int exponentDigits = 3,
                              char decimalSeparator = '.');

// Float reading: optional blanks around, optional sign, digits with at most
// one DecimalSeparator, optional exponent ("e"/"E", sign, digits). Failures
// of StrToFloat raise EConvertError "'%s' is not a valid floating point value".
bool TryStrToFloat(std::string_view s, double& value, char decimalSeparator = '.');
double StrToFloat(std::string_view s, char decimalSeparator = '.');
double StrToFloatDef(std::string_view s, double defaultValue, char decimalSeparator = '.');
