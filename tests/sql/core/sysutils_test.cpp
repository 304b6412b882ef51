// Text, number and date helpers: wildcard codes, SQL number and date texts,
// booleans, addresses, escapes and packed versions.
#include <gtest/gtest.h>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/lists.h"
#include "sql/core/sorted_list.h"
#include "sql/core/sysutils.h"

namespace {

TEST(Wildcards, MatchPatternGivesTheDocumentedCodes) {
  struct {
    const char* pattern;
    const char* text;
    int code;
  } const cases[] = {
      {"tmp_*", "TMP_orders", kMatchValid},  // case is ignored
      {"c??_*", "cab_x", kMatchValid},
      {"a*", "a", kMatchValid},
      {"ab**", "ab", kMatchAbort},  // only one trailing "*" matches an empty rest
      {"[]abc]", "a", kMatchPatternError},
      {"[a-]", "a", kMatchPatternError},
      {"[a-", "a", kMatchPatternError},
      {"[!a-c]x", "bx", kMatchRange},
      {"[^a-c]x", "dx", kMatchValid},
      {"[a-c]", "b", kMatchValid},
      {"[c-a]", "b", kMatchRange},  // a reversed range matches nothing
      {"[xyz]1", "y1", kMatchValid},
      {"abc", "abd", kMatchLiteral},
      {"ab", "abc", kMatchEnd},
      {"abc", "ab", kMatchAbort},
      {"*x", "abc", kMatchAbort},
      {"*b?", "abc", kMatchValid},
      {"*[0-9]", "ab7", kMatchValid},
      {"???" "?-?" "?-?" "?*", "2004-01-31 10:00:00", kMatchValid},  // split: no trigraphs
      {"*??:??:??*", "10:00:00", kMatchValid},
      {"Č*", "čaj", kMatchValid},  // locale-aware lower-casing, not ASCII only
  };
  for (const auto& c : cases) EXPECT_EQ(MatchPattern(c.pattern, c.text), c.code) << c.pattern << " / " << c.text;
  EXPECT_TRUE(IsMatch("tmp_*", "TMP_orders"));
  EXPECT_FALSE(IsMatch("ab**", "ab"));
}

TEST(TextHelpers, PrefixSuffixAndDelimiters) {
  EXPECT_TRUE(StartsWith("abc", ""));
  EXPECT_FALSE(EndsWith("abc", ""));
  EXPECT_FALSE(StartsWith("ab", "abc"));
  EXPECT_FALSE(EndsWith("bc", "abc"));
  EXPECT_TRUE(EndsWith("abc", "bc"));
  EXPECT_EQ(FirstDelimiter(";,", "a,b;c"), 2);
  EXPECT_EQ(LastDelimiter(";,", "a,b;c"), 4);
  EXPECT_EQ(FirstDelimiter(";", "abc"), 0);
  EXPECT_EQ(BufferToStr(nullptr, 5), "");
  EXPECT_EQ(BufferToStr("a\0b", 3), AnsiString("a\0b", 3));
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

TEST(SqlNumbers, ReadAndWriteWithPointWhateverTheLocale) {
  EXPECT_EQ(SqlStrToFloatDef("$12.50", 0), 12.5L);
  EXPECT_EQ(SqlStrToFloatDef("12,50", 7), 7);
  EXPECT_EQ(SqlStrToFloatDef("", 7), 7);
  EXPECT_EQ(SqlStrToFloatDef("-1.5e2", 0), -150);
  EXPECT_EQ(SqlStrToFloat("0.25"), 0.25L);
  EXPECT_THROW(SqlStrToFloat("abc"), EConvertError);
  struct {
    long double value;
    const char* text;
  } const cases[] = {
      {1.5L, "1.5"},     {-0.25L, "-0.25"}, {100, "100"},   {1e15L, "1E15"},
      {1.5e-7L, "1.5E-7"}, {0.1L + 0.2L, "0.3"}, {123456789012345678.0L, "1.23456789012346E17"},
  };
  for (const auto& c : cases) EXPECT_EQ(FloatToSqlStr(c.value), c.text);
}

TEST(Booleans, WordsAndNumbersReadAsBooleans) {
  for (const char* yes : {"yes", "Y", "t", "TRUE", "-1", "2"}) EXPECT_TRUE(StrToBoolEx(yes)) << yes;
  for (const char* no : {"0", "", "on", "no", "false", "x"}) EXPECT_FALSE(StrToBoolEx(no)) << no;
  EXPECT_EQ(BoolToStrEx(true), "True");
  EXPECT_EQ(BoolToStrEx(false), "False");
}

TEST(Addresses, IsIpAddrAcceptsOnlyDottedNumbers) {
  struct {
    const char* text;
    bool ip;
  } const cases[] = {
      {"192.168.1.10", true}, {"1.2.3.999", true},   {"256.1.1.1", false},
      {"1.2.3", false},       {"1.2.3.4 ", false},   {"db.example.com.cz", false},
      {"1..2.3", false},      {"1234.1.1.1", false}, {"1.2.3.12345", false},
      {"1.2.3.", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsIpAddr(c.text), c.ip) << c.text;
}

TEST(CEscapes, EncodeAndDecodeRoundTrip) {
  const AnsiString raw("a\0'\\", 4);
  const AnsiString encoded = EncodeCString(raw);
  EXPECT_EQ(encoded, "a\\000\\'\\\\");
  EXPECT_EQ(encoded.size(), 9u);
  EXPECT_EQ(DecodeCString(encoded), raw);
  EXPECT_EQ(DecodeCString("\\n\\q"), "\nq");
  EXPECT_EQ(DecodeCString("\\101\\t"), "A\t");
  EXPECT_EQ(EncodeCString("\"x"), "\\\"x");
}

TEST(CEscapes, EscapesCutShortAtTheEndStayInsideTheText) {
  // Decoded from heap copies so that a read past the end shows under the sanitizer.
  for (const char* text : {"\\", "ab\\", "\\1", "\\12", "x\\7"}) {
    const AnsiString input(text);
    const AnsiString decoded = DecodeCString(input);
    EXPECT_LE(decoded.size(), input.size()) << text;
  }
  EXPECT_EQ(DecodeCString("ab\\"), "ab\\");
  EXPECT_EQ(DecodeCString("\\12"), "12");
}

TEST(SqlDates, AnsiSqlDatesReadByPosition) {
  EXPECT_DOUBLE_EQ(AnsiSqlDateToDateTime("2004-01-31 10:00:00"), EncodeDate(2004, 1, 31) + EncodeTime(10, 0, 0, 0));
  EXPECT_DOUBLE_EQ(AnsiSqlDateToDateTime("2004-01-31"), EncodeDate(2004, 1, 31));
  EXPECT_DOUBLE_EQ(AnsiSqlDateToDateTime("23:30:15"), EncodeTime(23, 30, 15, 0));
  // The impossible date is dropped, the time stays.
  EXPECT_DOUBLE_EQ(AnsiSqlDateToDateTime("2004-02-30 10:00:00"), EncodeTime(10, 0, 0, 0));
  EXPECT_DOUBLE_EQ(AnsiSqlDateToDateTime("0000-00-00 00:00:00"), 0);
  EXPECT_DOUBLE_EQ(AnsiSqlDateToDateTime("2004-01-31 25:00:00"), EncodeDate(2004, 1, 31));
  // Before 1899-12-30 the time of day counts toward zero.
  EXPECT_DOUBLE_EQ(AnsiSqlDateToDateTime("1899-12-29 06:00:00"), -1.25);
  EXPECT_EQ(DateTimeToAnsiSqlDate(EncodeDate(2004, 1, 31) + EncodeTime(9, 5, 7, 0)), "2004-01-31 09:05:07");
}

TEST(SqlDates, CompactTimestampsReadByLength) {
  EXPECT_DOUBLE_EQ(TimestampStrToDateTime("20040131235959"), EncodeDate(2004, 1, 31) + EncodeTime(23, 59, 59, 0));
  EXPECT_DOUBLE_EQ(TimestampStrToDateTime("20040131"), EncodeDate(2004, 1, 31));
  // A two-digit year is taken literally.
  EXPECT_DOUBLE_EQ(TimestampStrToDateTime("040131"), EncodeDate(4, 1, 31));
  EXPECT_DOUBLE_EQ(TimestampStrToDateTime("0401311200"), EncodeDate(4, 1, 31) - 0.5);
  EXPECT_DOUBLE_EQ(TimestampStrToDateTime("20040230"), 0);
}

TEST(Versions, PackAndUnpack) {
  EXPECT_EQ(EncodeSqlVersioning(4, 1, 22), 4001022);
  int major = 0, minor = 0, sub = 0;
  DecodeSqlVersioning(5000045, major, minor, sub);
  EXPECT_EQ(major, 5);
  EXPECT_EQ(minor, 0);
  EXPECT_EQ(sub, 45);
  EXPECT_THROW(EncodeSqlVersioning(3000, 0, 0), EIntOverflow);
}

TEST(Bytes, EmptyStaysEmptyAndBytesRoundTrip) {
  EXPECT_EQ(BytesToStr({}), "");
  EXPECT_TRUE(StrToBytes("").empty());
  const AnsiString text("\x01\0\xFF", 3);
  EXPECT_EQ(BytesToStr(StrToBytes(text)), text);
}

}  // namespace
