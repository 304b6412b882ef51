// Windows-1250 conversion, Czech collation and casing, and the 1-based string
// helpers.
#include "platform/rtl/text.h"

#include <gtest/gtest.h>

namespace {

// UTF-8 bytes of a u8 literal (other literals compile to Windows-1250).
std::string U8(std::u8string_view s) { return std::string(s.begin(), s.end()); }

}  // namespace

TEST(CodePage, EveryByteRoundTripsThroughUtf16AndUtf8) {
  for (int b = 0; b < 256; ++b) {
    AnsiString one(1, static_cast<char>(b));
    EXPECT_EQ(WideToAnsi(AnsiToWide(one)), one) << b;
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(one)), one) << b;
  }
  AnsiString all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
  EXPECT_EQ(Utf8ToWide(WideToUtf8(AnsiToWide(all))), AnsiToWide(all));
}

TEST(CodePage, MapsKnownCharactersBothWays) {
  EXPECT_EQ(AnsiCharToWide(0xF8), u'ř');
  EXPECT_EQ(AnsiCharToWide(0x8A), u'Š');
  EXPECT_EQ(AnsiCharToWide(0x80), u'€');
  EXPECT_EQ(AnsiCharToWide(0x81), u'\u0081');  // undefined byte keeps its value
  EXPECT_EQ(AnsiToUtf8("\xE8"), U8(u8"č"));
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(WideToAnsi(u"a\u4E2Db"), "a?b");
  EXPECT_EQ(WideToAnsi(u"\U0001F600"), "?");        // one character, one "?"
  EXPECT_EQ(Utf8ToAnsi("a\xFF" "b"), "a?b");        // malformed UTF-8
  EXPECT_EQ(Utf8ToAnsi("\xC3"), "?");               // truncated sequence
  EXPECT_EQ(Utf8ToAnsi("\xC0\xAF"), "??");          // overlong form is refused
  EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), u"\U0001F600");
}

TEST(Literals, CzechSourceTextCompilesToWindows1250) {
  const AnsiString text = "vytvořena";
  ASSERT_EQ(text.size(), 9u);
  EXPECT_EQ(static_cast<unsigned char>(text[5]), 0xF8);
  EXPECT_EQ(AnsiToUtf8(text), U8(u8"vytvořena"));
}

TEST(Collation, CzechOrder) {
  EXPECT_LT(AnsiCompareStr("h", "ch"), 0);  // "ch" sorts after "h"
  EXPECT_LT(AnsiCompareStr("ch", "i"), 0);
  EXPECT_LT(AnsiCompareStr("a", "A"), 0);
  EXPECT_LT(AnsiCompareStr("c", "č"), 0);
  EXPECT_LT(AnsiCompareStr("č", "d"), 0);
  EXPECT_LT(AnsiCompareStr("r", "ř"), 0);
  EXPECT_GT(AnsiCompareStr("ř", "r"), 0);
  EXPECT_LT(WideCompareStr(u"h", u"ch"), 0);
}

TEST(Collation, OnlyIdenticalTextsCompareEqual) {
  EXPECT_NE(AnsiCompareStr("x\x01y", "xy"), 0);
  EXPECT_EQ(AnsiCompareStr("x\x01y", "xy"), -AnsiCompareStr("xy", "x\x01y"));
  EXPECT_NE(AnsiCompareText("x\x01y", "xy"), 0);
  EXPECT_NE(WideCompareStr(u"x\u0001y", u"xy"), 0);
  EXPECT_EQ(AnsiCompareStr("žluť", "žluť"), 0);
  EXPECT_EQ(AnsiCompareStr(AnsiString("a\0b", 3), AnsiString("a\0b", 3)), 0);
  EXPECT_NE(AnsiCompareStr(AnsiString("a\0b", 3), "a"), 0);
}

TEST(Collation, TextComparisonIgnoresCaseOnly) {
  EXPECT_EQ(AnsiCompareText("ŠKODA", "škoda"), 0);
  EXPECT_EQ(WideCompareText(u"ŠKODA", u"škoda"), 0);
  EXPECT_LT(AnsiCompareText("H", "ch"), 0);
  EXPECT_NE(AnsiCompareText("a", "á"), 0);
  EXPECT_TRUE(AnsiSameText("Řeřicha", "ŘEŘICHA"));
  EXPECT_FALSE(AnsiSameText("rericha", "řeřicha"));
}

TEST(Casing, CzechLettersChangeCaseAndAsciiHelpersLeaveThem) {
  EXPECT_EQ(AnsiUpperCase("šíčř ďťň ůúěé ž"), "ŠÍČŘ ĎŤŇ ŮÚĚÉ Ž");
  EXPECT_EQ(AnsiLowerCase("ŠÍČŘ ĎŤŇ ŮÚĚÉ Ž"), "šíčř ďťň ůúěé ž");
  EXPECT_EQ(AnsiUpperCase("ß\xFF"), "ß\xFF");  // no single upper-case byte: unchanged
  EXPECT_EQ(UpperCase("abcš"), "ABCš");
  EXPECT_EQ(LowerCase("ABCŠ"), "abcŠ");
  EXPECT_EQ(WideUpperCase(u"šč\U00010428"), u"ŠČ\U00010400");
  EXPECT_TRUE(SameText("Table", "TABLE"));
  EXPECT_FALSE(SameText("š", "Š"));
  EXPECT_LT(CompareText("abc", "ABD"), 0);
  EXPECT_LT(CompareText("ab", "AB "), 0);
}

TEST(StringHelpers, PositionsAreOneBased) {
  EXPECT_EQ(Pos("b", "abc"), 2);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
  EXPECT_EQ(PosEx("a", "abca", 2), 4);
  EXPECT_EQ(PosEx("a", "abca", 5), 0);
  EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Copy("abcdef", 0, 2), "ab");
  EXPECT_EQ(Copy("abcdef", 5, 100), "ef");
  EXPECT_EQ(Copy("abcdef", 7, 1), "");
  EXPECT_EQ(Copy("abcdef", 2, -1), "");
  AnsiString s = "abcdef";
  Delete(s, 2, 2);
  EXPECT_EQ(s, "adef");
  Delete(s, 10, 1);
  EXPECT_EQ(s, "adef");
  Insert("XY", s, 2);
  EXPECT_EQ(s, "aXYdef");
  Insert("!", s, 100);
  EXPECT_EQ(s, "aXYdef!");
}

TEST(StringHelpers, TrimRemovesBlanksAndControlCharacters) {
  EXPECT_EQ(Trim(" \t\r\nab c\x01 "), "ab c");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a \n"), "  a");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // no-break space is a character
}

TEST(StringHelpers, ReplaceAndQuote) {
  EXPECT_EQ(StringReplace("a.b.c", ".", "::", rfReplaceAll), "a::b::c");
  EXPECT_EQ(StringReplace("a.b.c", ".", "", 0), "ab.c");
  EXPECT_EQ(StringReplace("Šel ŠEL šel", "šel", "x", rfReplaceAll | rfIgnoreCase), "x x x");
  EXPECT_EQ(StringReplace("aaa", "a", "aa", rfReplaceAll), "aaaaaa");
  EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(AnsiQuotedStr("a\"b", '"'), "\"a\"\"b\"");

  size_t pos = 0;
  EXPECT_EQ(AnsiExtractQuotedStr("'it''s' rest", pos, '\''), "it's");
  EXPECT_EQ(pos, 7u);
  pos = 0;
  EXPECT_EQ(AnsiExtractQuotedStr("'open", pos, '\''), "open");  // missing end quote
  EXPECT_EQ(pos, 5u);
  pos = 0;
  EXPECT_EQ(AnsiExtractQuotedStr("plain", pos, '\''), "");
  EXPECT_EQ(pos, 0u);
}
