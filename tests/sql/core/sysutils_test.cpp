// Text, number and date helpers: wildcard codes, SQL number and date texts,
// booleans, addresses, escapes, splitting and packed versions.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/numbers.h"
#include "sql/core/sorted_list.h"
#include "sql/core/sysutils.h"

namespace {

AnsiString Code(const char* pattern, const char* text) { return IntToStr(MatchPattern(pattern, text)); }
AnsiString Bool(bool value) { return BoolToStrEx(value); }
AnsiString Sql(TDateTime value) { return DateTimeToAnsiSqlDate(value); }
AnsiString Version(int major, int minor, int sub) { return IntToStr(EncodeSqlVersioning(major, minor, sub)); }
AnsiString Decoded(int version) {
  int major = 0, minor = 0, sub = 0;
  DecodeSqlVersioning(version, major, minor, sub);
  return IntToStr(major) + "," + IntToStr(minor) + "," + IntToStr(sub);
}

// The edge cases of the helpers as one table: each row shows its result as text.
TEST(TextHelpers, EdgeCases) {
  const AnsiString kNulQuoteBackslash("a\0'\\", 4);
  struct {
    const char* what;
    AnsiString actual;
    AnsiString expected;
  } const cases[] = {
      // Wildcard codes: 1 match, 2 pattern ended, 3 text ended, 4 bracket, 5 literal, 6 malformed.
      {"tmp_* ~ TMP_orders (case ignored)", Bool(IsMatch("tmp_*", "TMP_orders")), "True"},
      {"c??_* ~ cab_x", Code("c??_*", "cab_x"), "1"},
      {"a* ~ a", Code("a*", "a"), "1"},
      {"ab** ~ ab (one trailing * only)", Code("ab**", "ab"), "3"},
      {"[]abc]", Code("[]abc]", "a"), "6"},
      {"[a-]", Code("[a-]", "a"), "6"},
      {"[a-", Code("[a-", "a"), "6"},
      {"[!a-c]x ~ bx", Code("[!a-c]x", "bx"), "4"},
      {"[^a-c]x ~ dx", Code("[^a-c]x", "dx"), "1"},
      {"[a-c] ~ b", Code("[a-c]", "b"), "1"},
      {"[c-a] ~ b (reversed range)", Code("[c-a]", "b"), "4"},
      {"[xyz]1 ~ y1", Code("[xyz]1", "y1"), "1"},
      {"abc ~ abd", Code("abc", "abd"), "5"},
      {"ab ~ abc", Code("ab", "abc"), "2"},
      {"abc ~ ab", Code("abc", "ab"), "3"},
      {"*x ~ abc", Code("*x", "abc"), "3"},
      {"*b? ~ abc", Code("*b?", "abc"), "1"},
      {"*[0-9] ~ ab7", Code("*[0-9]", "ab7"), "1"},
      {"date pattern", Code("???" "?-?" "?-?" "?*", "2004-01-31 10:00:00"), "1"},  // split: no trigraphs
      {"time pattern", Code("*??:??:??*", "10:00:00"), "1"},
      {"Č* ~ čaj (locale-aware case)", Code("Č*", "čaj"), "1"},
      // Without remembering failed rests this would take years.
      {"many stars", Code("*a*a*a*a*a*a*a*a*a*a*b", AnsiString(300, 'a').c_str()), "3"},
      {"many stars match", Code("*a*a*a*a*a*a*a*a*a*a*b", (AnsiString(300, 'a') + "b").c_str()), "1"},
      // Prefixes, suffixes, delimiters, buffers.
      {"StartsWith empty", Bool(StartsWith("abc", "")), "True"},
      {"EndsWith empty", Bool(EndsWith("abc", "")), "False"},
      {"StartsWith longer", Bool(StartsWith("ab", "abc")), "False"},
      {"EndsWith bc", Bool(EndsWith("abc", "bc")), "True"},
      {"FirstDelimiter", IntToStr(FirstDelimiter(";,", "a,b;c")), "2"},
      {"LastDelimiter", IntToStr(LastDelimiter(";,", "a,b;c")), "4"},
      {"no delimiter", IntToStr(FirstDelimiter(";", "abc")), "0"},
      {"BufferToStr null", BufferToStr(nullptr, 5), ""},
      {"BufferToStr NUL", BufferToStr("a\0b", 3), AnsiString("a\0b", 3)},
      // SQL numbers.
      {"$12.50", FloatToSqlStr(SqlStrToFloatDef("$12.50", 0)), "12.5"},
      {"12,50 default 7", FloatToSqlStr(SqlStrToFloatDef("12,50", 7)), "7"},
      {"empty default 7", FloatToSqlStr(SqlStrToFloatDef("", 7)), "7"},
      {"-1.5e2", FloatToSqlStr(SqlStrToFloatDef("-1.5e2", 0)), "-150"},
      {"1.5", FloatToSqlStr(1.5L), "1.5"},
      {"100", FloatToSqlStr(100), "100"},
      {"1e15", FloatToSqlStr(1e15L), "1E15"},
      {"1.5e-7", FloatToSqlStr(1.5e-7L), "1.5E-7"},
      // The fewest digits that read back as the same value.
      {"0.1+0.2 in doubles", FloatToSqlStr(0.1 + 0.2), "0.30000000000000004"},
      {"1e308", FloatToSqlStr(1e308), "1E308"},
      {"largest double", FloatToSqlStr(1.7976931348623157e308), "1.7976931348623157E308"},
      {"0.1 read as extended", FloatToSqlStr(SqlStrToFloatDef("0.1", 0)), "0.1"},
      {"18 digits", FloatToSqlStr(123456789012345678.0L), "123456789012345678"},
      {"unsigned 64-bit max", FloatToSqlStr(SqlStrToFloatDef("18446744073709551615", 0)), "18446744073709551615"},
      {"negative extended", FloatToSqlStr(-1.5e-7L), "-1.5E-7"},
      // Booleans.
      {"yes", Bool(StrToBoolEx("yes")), "True"},
      {"t", Bool(StrToBoolEx("t")), "True"},
      {"-1", Bool(StrToBoolEx("-1")), "True"},
      {"0", Bool(StrToBoolEx("0")), "False"},
      {"empty", Bool(StrToBoolEx("")), "False"},
      {"on", Bool(StrToBoolEx("on")), "False"},
      // Addresses.
      {"192.168.1.10", Bool(IsIpAddr("192.168.1.10")), "True"},
      {"1.2.3.999 (last not held to 255)", Bool(IsIpAddr("1.2.3.999")), "True"},
      {"256.1.1.1", Bool(IsIpAddr("256.1.1.1")), "False"},
      {"1.2.3", Bool(IsIpAddr("1.2.3")), "False"},
      {"trailing blank", Bool(IsIpAddr("1.2.3.4 ")), "False"},
      {"host name", Bool(IsIpAddr("db.example.com.cz")), "False"},
      {"1..2.3", Bool(IsIpAddr("1..2.3")), "False"},
      {"1.2.3.", Bool(IsIpAddr("1.2.3.")), "False"},
      {"1234.1.1.1", Bool(IsIpAddr("1234.1.1.1")), "False"},
      {"1.2.3.12345", Bool(IsIpAddr("1.2.3.12345")), "False"},
      // Backslash escapes.
      {"encode a NUL ' \\", EncodeCString(kNulQuoteBackslash), "a\\000\\'\\\\"},
      {"decode it back", DecodeCString("a\\000\\'\\\\"), kNulQuoteBackslash},
      {"decode \\n\\q", DecodeCString("\\n\\q"), "\nq"},
      {"decode \\101\\t", DecodeCString("\\101\\t"), "A\t"},
      {"encode \"", EncodeCString("\"x"), "\\\"x"},
      // Dates.
      {"date and time", Sql(AnsiSqlDateToDateTime("2004-01-31 10:00:00")), "2004-01-31 10:00:00"},
      {"date only", Sql(AnsiSqlDateToDateTime("2004-01-31")), "2004-01-31 00:00:00"},
      {"time only", Sql(AnsiSqlDateToDateTime("23:30:15")), "1899-12-30 23:30:15"},
      {"30 February dropped", Sql(AnsiSqlDateToDateTime("2004-02-30 10:00:00")), "1899-12-30 10:00:00"},
      {"all zero", Sql(AnsiSqlDateToDateTime("0000-00-00 00:00:00")), "1899-12-30 00:00:00"},
      {"hour 25 dropped", Sql(AnsiSqlDateToDateTime("2004-01-31 25:00:00")), "2004-01-31 00:00:00"},
      {"before 1899-12-30", Sql(AnsiSqlDateToDateTime("1899-12-29 06:00:00")), "1899-12-29 06:00:00"},
      // Fractions and time spans, written back to the microsecond.
      {"microseconds", SqlTimestampText(AnsiSqlDateToDateTime("2024-02-29 23:59:59.123456")),
       "2024-02-29 23:59:59.123456"},
      {"a fraction without trailing zeros", SqlTimestampText(AnsiSqlDateToDateTime("2024-01-02 03:04:05.5")),
       "2024-01-02 03:04:05.5"},
      {"far from day 0 no invented digits", SqlTimestampText(AnsiSqlDateToDateTime("1000-01-01 12:30:00")),
       "1000-01-01 12:30:00"},
      {"far from day 0 the fraction it holds", SqlTimestampText(AnsiSqlDateToDateTime("9999-12-31 23:59:59.25")),
       "9999-12-31 23:59:59.25"},
      {"day 0 is a date", SqlTimestampText(AnsiSqlDateToDateTime("1899-12-30 00:00:00")), "1899-12-30 00:00:00"},
      {"day 0 not zero", Bool(IsZeroSqlDate("1899-12-30")), "False"},
      {"zero date", Bool(IsZeroSqlDate("0000-00-00 00:00:00")), "True"},
      {"span of 838 hours", SqlTimeText(AnsiSqlDateToDateTime("838:59:59")), "838:59:59"},
      {"negative span", SqlTimeText(AnsiSqlDateToDateTime("-838:59:59")), "-838:59:59"},
      {"25 hours", SqlTimeText(AnsiSqlDateToDateTime("25:00:00")), "25:00:00"},
      {"time with milliseconds", SqlTimeText(AnsiSqlDateToDateTime("12:34:56.789")), "12:34:56.789"},
      {"negative fraction", SqlTimeText(AnsiSqlDateToDateTime("-00:00:01.5")), "-00:00:01.5"},
      {"a moment's time of day", SqlTimeText(AnsiSqlDateToDateTime("2024-01-02 03:04:05")), "03:04:05"},
      {"date of a moment", SqlDateText(AnsiSqlDateToDateTime("2024-01-02 23:59:59.9999999")), "2024-01-03"},
      {"14 digits", Sql(TimestampStrToDateTime("20040131235959")), "2004-01-31 23:59:59"},
      {"8 digits", Sql(TimestampStrToDateTime("20040131")), "2004-01-31 00:00:00"},
      {"6 digits: year 4", Sql(TimestampStrToDateTime("040131")), "0004-01-31 00:00:00"},
      {"10 digits", Sql(TimestampStrToDateTime("0401311200")), "0004-01-31 12:00:00"},
      {"impossible compact", Sql(TimestampStrToDateTime("20040230")), "1899-12-30 00:00:00"},
      // Versions.
      {"encode 4.1.22", Version(4, 1, 22), "4001022"},
      {"decode 5000045", Decoded(5000045), "5,0,45"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;
}

// The one-pass reader must give the general reader's value to the bit, and
// leave every text it is not sure of to it.
TEST(SqlDates, PlainMomentsReadAsTheGeneralReaderDoes) {
  const struct {
    const char* text;
    bool plain;
  } cases[] = {
      {"2004-01-31 10:00:00", true},
      {"2004-01-31", true},
      {"2024-02-29 23:59:59.123456", true},
      {"2024-01-02 03:04:05.5", true},
      {"1899-12-29 06:00:00", true},  // before day 0 the time counts toward zero
      {"1899-12-30 00:00:00", true},
      {"0001-01-01 00:00:00", true},
      {"9999-12-31 23:59:59.999999", true},
      {"2024-01-02 23:59:59.9999999", true},
      {"2004-01-31 10:00:00.", true},
      {"0000-00-00 00:00:00", false},
      {"0000-00-00", false},
      {"2004-02-30 10:00:00", false},
      {"2004-13-01", false},
      {"2004-01-31 24:00:00", false},
      {"2004-01-31 10:60:00", false},
      {"2004-01-31 10:00:60", false},
      {"2004-01-31T10:00:00", false},
      {"2004-01-31 10:00:00 ", false},
      {"2004-01-31 10:00:00.5x", false},
      {"2004-01-31 10:00", false},
      {"2004-1-31", false},
      {"+004-01-31", false},
      {"23:30:15", false},
      {"-838:59:59", false},
      {"", false},
  };
  for (const auto& c : cases) {
    TDateTime value = -1;
    EXPECT_EQ(TryReadPlainSqlMoment(c.text, value), c.plain) << c.text;
    if (c.plain) {
      EXPECT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(AnsiSqlDateToDateTime(c.text)))
          << c.text;
    }
  }
}

TEST(Splitting, PiecesAtCharactersOrAtADelimiterText) {
  TStringList list;
  SplitToStringList(&list, ";a;;b;", ";");
  EXPECT_EQ(list.CommaText(), "a,b");
  EXPECT_EQ(ComposeString(&list, ", "), "a, b");
  PutSplitString(&list, "x y,z", " ,");
  EXPECT_EQ(list.CommaText(), "x,y,z");
  EXPECT_EQ(SplitString("1|2", "|")->Count(), 2);

  PutSplitStringEx(&list, "a;;b", ";");
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[1], "");  // empty pieces between delimiters count
  PutSplitStringEx(&list, "a;", ";");
  EXPECT_EQ(list.Count(), 1);  // an empty rest does not
  PutSplitStringEx(&list, "a<>b<>c", "<>");
  EXPECT_EQ(ComposeString(&list, "|"), "a|b|c");
  PutSplitStringEx(&list, "abc", "");
  EXPECT_EQ(list.Count(), 1);
  list.Clear();
  EXPECT_EQ(ComposeString(&list, ","), "");
}

TEST(SortedList, SortsWithTheCallersComparison) {
  int values[] = {5, 1, 4, 2, 3};
  TZSortedList list;
  list.Sort([](void*, void*) { return 0; });  // an empty list stays as it is
  for (int& v : values) list.Add(&v);
  struct Descending {
    int Compare(void* a, void* b) const { return *static_cast<int*>(b) - *static_cast<int*>(a); }
  } order;
  list.Sort([&order](void* a, void* b) { return order.Compare(a, b); });
  for (int i = 0; i < 5; ++i) EXPECT_EQ(*static_cast<int*>(list.Get(i)), 5 - i);
}

TEST(SqlNumbers, StrictReadingRaisesForUnreadableText) {
  EXPECT_EQ(SqlStrToFloat("0.25"), 0.25L);
  EXPECT_THROW(SqlStrToFloat("abc"), EConvertError);
  EXPECT_THROW(SqlStrToFloat("12,5"), EConvertError);
}

TEST(CEscapes, EscapesCutShortAtTheEndStayInsideTheText) {
  // Long enough to live on the heap, so a read past the end shows under the sanitizer.
  for (const char* text : {"\\", "ab\\", "\\1", "\\12", "x\\7"}) {
    const AnsiString input = AnsiString(24, 'x') + text;
    const AnsiString decoded = DecodeCString(input);
    EXPECT_LE(decoded.size(), input.size()) << text;
  }
  EXPECT_EQ(DecodeCString("ab\\"), "ab\\");
  EXPECT_EQ(DecodeCString("\\12"), "12");
}

TEST(Versions, PackingBeyond32BitsOverflows) {
  EXPECT_EQ(EncodeSqlVersioning(2147, 483, 647), 2147483647);
  EXPECT_THROW(EncodeSqlVersioning(2147, 483, 648), EIntOverflow);
  EXPECT_THROW(EncodeSqlVersioning(-3000, 0, 0), EIntOverflow);
}

TEST(Bytes, EmptyStaysEmptyAndBytesRoundTrip) {
  EXPECT_EQ(BytesToStr({}), "");
  EXPECT_TRUE(StrToBytes("").empty());
  const AnsiString text("\x01\0\xFF", 3);
  EXPECT_EQ(BytesToStr(StrToBytes(text)), text);
}

}  // namespace
