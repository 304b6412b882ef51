// Integer and float text: the platform's reading rules, range errors and the
// general float form.
#include "platform/rtl/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/rtl/exceptions.h"

TEST(IntegerText, ReadsThePlatformForms) {
  struct Case {
    const char* text;
    int64_t value;
  } cases[] = {
      {"12", 12},         {" 12", 12},     {"   -7", -7},     {"+5", 5},
      {"$1F", 31},        {"0x1f", 31},    {"0X1F", 31},      {"x10", 16},
      {"-$10", -16},      {"2147483647", 2147483647},         {"-2147483648", -2147483648LL},
      {"$FFFFFFFF", -1},  {"007", 7},
  };
  for (const Case& c : cases) {
    int value = 0;
    EXPECT_TRUE(TryStrToInt(c.text, value)) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
    EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
  }
}

TEST(IntegerText, RefusesMalformedAndOutOfRangeText) {
  for (const char* text : {"", " ", "12a", "12 ", "1 2", "--1", "$", "0x", "$G", "2147483648",
                           "-2147483649", "$100000000", "1.5", "\t5"}) {
    int value = 99;
    EXPECT_FALSE(TryStrToInt(text, value)) << text;
    EXPECT_EQ(value, 99) << text;
    EXPECT_EQ(StrToIntDef(text, -3), -3) << text;
  }
  try {
    StrToInt("12a");
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'12a' is not a valid integer value");
  }
}

TEST(IntegerText, SixtyFourBitLimits) {
  EXPECT_EQ(StrToInt64("9223372036854775807"), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(StrToInt64("2147483648"), 2147483648LL);
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
  EXPECT_EQ(StrToInt64Def("99999999999999999999", 4), 4);
}

TEST(IntegerText, StrictDecimalAcceptsOnlySignAndDigits) {
  int64_t v = 0;
  EXPECT_TRUE(TryStrToDecimal("-42", v));
  EXPECT_EQ(v, -42);
  EXPECT_TRUE(TryStrToDecimal("+0", v));
  EXPECT_EQ(v, 0);
  for (const char* text : {"", "-", " 1", "1 ", "$1F", "0x1f", "1e3", "99999999999999999999"})
    EXPECT_FALSE(TryStrToDecimal(text, v)) << text;
}

TEST(IntegerText, Writing) {
  EXPECT_EQ(IntToStr(-123), "-123");
  EXPECT_EQ(IntToStr(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0x1234ABCD, 2), "1234ABCD");
  EXPECT_EQ(IntToHex(-1, 1), "FFFFFFFFFFFFFFFF");
}

TEST(FloatText, GeneralFormKeepsFifteenDigits) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {1.5, "1.5"},
      {100, "100"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {1e15, "1E15"},
      {1e14, "100000000000000"},
      {1e20, "1E20"},
      {0.00005, "0.00005"},
      {1.5e-7, "1.5E-7"},
      {0, "0"},
      {-0.0, "0"},
      {-2.25, "-2.25"},
      {0.1 + 0.2, "0.3"},
      {123456789012345678.0, "1.23456789012346E17"},
      {999999999999999.9, "1E15"},  // rounding carries into a new digit
  };
  for (const Case& c : cases) EXPECT_EQ(FloatToStrGeneral(c.value), c.text) << c.text;
  EXPECT_EQ(FloatToStrGeneral(1.5, 15, ','), "1,5");
  EXPECT_EQ(FloatToStrGeneral(std::nan("")), "NAN");
  EXPECT_EQ(FloatToStrGeneral(-INFINITY), "-INF");
}

TEST(FloatText, FixedAndExponentFormsRoundHalfAwayFromZero) {
  EXPECT_EQ(FloatToStrFixed(0.125, 2), "0.13");
  EXPECT_EQ(FloatToStrFixed(2.5, 0), "3");
  EXPECT_EQ(FloatToStrFixed(-0.004, 2), "0.00");
  EXPECT_EQ(FloatToStrFixed(0.006, 2), "0.01");
  EXPECT_EQ(FloatToStrFixed(1234.5, 3, ','), "1234,500");
  EXPECT_EQ(FloatToStrFixed(1e20, 1), "100000000000000000000.0");
  EXPECT_EQ(FloatToStrExponent(1500, 15), "1.50000000000000E+003");
  EXPECT_EQ(FloatToStrExponent(-0.00012, 3, 2), "-1.20E-04");
}

TEST(FloatText, ReadingUsesTheGivenSeparator) {
  struct Case {
    const char* text;
    char separator;
    double value;
  } good[] = {
      {"12.5", '.', 12.5}, {" -1.5e3 ", '.', -1500}, {"1,25", ',', 1.25},
      {"7", '.', 7},       {".5", '.', 0.5},         {"5.", '.', 5},
      {"1E-2", '.', 0.01}, {"1e-400", '.', 0},
  };
  for (const Case& c : good) EXPECT_DOUBLE_EQ(StrToFloat(c.text, c.separator), c.value) << c.text;
  for (const char* text : {"", ".", "1,5", "1.2.3", "e5", "1e", "1e+", "abc", "1e999", "$12"}) {
    double v = 42;
    EXPECT_FALSE(TryStrToFloat(text, v)) << text;
    EXPECT_EQ(v, 42) << text;
  }
  EXPECT_EQ(StrToFloatDef("12,50", 7), 7);
  try {
    StrToFloat("x1");
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'x1' is not a valid floating point value");
  }
}
