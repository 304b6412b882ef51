// Typed values read from the column texts of text-protocol libraries: a
// reader given the length the library measured must read exactly what the
// reader that scans for the text's end reads.
#include "sql/core/dbc/column_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

TEST(ColumnText, NumbersReadTheSameWithTheLengthKnown) {
  // Texts as libraries hand them out: the length given, a zero byte after.
  const std::string texts[] = {
      "42", "-17", " +7", "+", "", "abc", "12x", "1.5", "1.5e3", "-0", "2147483647", "2147483648",
      "-9223372036854775808", "9223372036854775808", std::string("12\0x", 4), std::string(" \0 5", 4),
      "0.1", "142857.14285714287", "1e400", "nan", " 3.25", "3,25",
  };
  for (const std::string& text : texts) {
    SCOPED_TRACE(testing::PrintToString(text));
    const char* c = text.c_str();
    EXPECT_EQ(ColumnIntegerOrZero<int>(c, text.size()), ColumnIntegerOrZero<int>(c));
    EXPECT_EQ(ColumnIntegerOrZero<std::int64_t>(c, text.size()), ColumnIntegerOrZero<std::int64_t>(c));
    const long double withLength = ColumnFloatOrZero(c, text.size()), scanned = ColumnFloatOrZero(c);
    if (scanned == scanned) {
      EXPECT_EQ(withLength, scanned);
    } else {
      EXPECT_NE(withLength, withLength);  // both not a number
    }
  }
  EXPECT_EQ(ColumnIntegerOrZero<int>(std::string("12\0x", 4).c_str(), 4), 12);
  EXPECT_EQ(ColumnIntegerOrZero<int>("2147483648", 10), 0);
}

TEST(ColumnText, MomentsAndDatesOfServerTexts) {
  bool isNull = true;
  EXPECT_EQ(ColumnTimestamp("1899-12-31 12:00:00", isNull), 1.5);
  EXPECT_FALSE(isNull);
  EXPECT_EQ(ColumnDate("1899-12-29 06:00:00", isNull), -1);  // before day 0 the time counts toward zero
  EXPECT_FALSE(isNull);
  EXPECT_EQ(ColumnTimestamp("0000-00-00 00:00:00", isNull), 0);
  EXPECT_TRUE(isNull);
  EXPECT_EQ(ColumnDate("0000-00-00", isNull), 0);
  EXPECT_TRUE(isNull);
  EXPECT_EQ(ColumnTimestamp("1899-12-30", isNull), 0);  // day 0 is a date, not a null
  EXPECT_FALSE(isNull);
}

}  // namespace
