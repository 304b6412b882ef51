// The utility library's string routines: the mask matcher, tokens, slicing
// and the character tables.

#include "util/routines/string_routines.h"

#include <gtest/gtest.h>

#include "platform/rtl/lists.h"
#include "util/routines/util_errors.h"

namespace {

TEST(MaskMatch, StarsQuestionMarksAndRetries) {
  struct Case {
    const char* mask;
    const char* text;
    bool match;
  } cases[] = {
      {"*.TXT", "A.TXT", true},       {"*.TXT", "A.TXT.BAK", false}, {"*.TXT", "A.TXTX", false},
      {"A?C", "AC", false},           {"A?C", "ABC", true},          {"*", "", true},
      {"A*", "", false},              {"*.*", "README.", true},      {"A*B*C", "AXBYBZC", true},
      {"*AB", "AAB", true},           {"A**B", "AB", true},          {"A*?", "A", false},
      {"abc", "ABC", false},          {"*?X", "ZX", true},
  };
  for (const Case& c : cases) EXPECT_EQ(StrMatchesMask(c.mask, c.text, 1), c.match) << c.mask << " ~ " << c.text;
  EXPECT_TRUE(StrMatchesMask("B*", "ABC", 2));
}

TEST(MaskMatch, RejectsABlankMaskAndAnIndexOutsideTheText) {
  try {
    StrMatchesMask("", "A", 1);
    FAIL();
  } catch (const EUtlStringError& e) {
    EXPECT_EQ(e.Message(), "Search string cannot be blank");
  }
  for (int index : {0, 2}) {
    try {
      StrMatchesMask("A", "A", index);
      FAIL() << index;
    } catch (const EUtlStringError& e) {
      EXPECT_EQ(e.Message(), "Argument out of range");
    }
  }
}

TEST(Tokens, TakeTokenAndSplitKeepEmptyPiecesButNoTrailingOne) {
  AnsiString rest = "a;b;";
  AnsiString token;
  TakeToken(rest, ';', token);
  EXPECT_EQ(token, "a");
  EXPECT_EQ(rest, "b;");
  TakeToken(rest, ';', token);
  TakeToken(rest, ';', token);
  EXPECT_EQ(token, "");
  EXPECT_EQ(rest, "");

  TStringList list;
  list.Add("stale");
  struct Case {
    const char* text;
    const char* lines;
  } cases[] = {{"a;;b", "a\r\n\r\nb\r\n"}, {"a;", "a\r\n"}, {"", ""}};
  for (const Case& c : cases) {
    SplitToList(c.text, ';', &list);
    EXPECT_EQ(list.Text(), c.lines) << c.text;
  }
  SplitToList("a", ';', nullptr);
}

TEST(Slicing, CaseInsensitiveSearchAndTheTextAroundIt) {
  EXPECT_EQ(PosNoCase("ABC", "xxabcxx"), 3);
  EXPECT_EQ(PosNoCase("Q", "xx"), 0);
  EXPECT_EQ(FindTextFrom("ab", "abXAB", 2), 4);
  EXPECT_EQ(FindTextFrom("ab", "abX", 2), 0);
  EXPECT_EQ(FindTextFrom("", "ab", 1), 0);
  EXPECT_EQ(TextAfter("\\", "one\\two\\three"), "two\\three");
  EXPECT_EQ(TextAfter("#", "one"), "");
  EXPECT_EQ(TextBefore("#", "one"), "one");
  EXPECT_EQ(TextBefore("T", "onetwo"), "one");
  EXPECT_EQ(TextLeft("abc", 2), "ab");
  EXPECT_EQ(TextFrom("abc", 2), "bc");
}

TEST(CharTables, CaseTablesFollowTheCodePage) {
  BuildCharTypeTable();
  BuildCaseTables();
  EXPECT_TRUE(IsUpperChar('A'));
  EXPECT_TRUE(IsLowerChar("ž"[0]));
  EXPECT_FALSE(IsUpperChar('5'));
  AnsiString s = "aZ5ěŠ";
  MapCaseInPlace(s, kSwapCaseTable);
  EXPECT_EQ(s, "Az5Ěš");
  MapCaseInPlace(s, kSwapCaseTable);
  EXPECT_EQ(s, "aZ5ěŠ");
  EXPECT_EQ(UpperCaseCopy("příliš"), "PŘÍLIŠ");
  AnsiString lower = "ŽLUŤOUČKÝ";
  MapCaseInPlace(lower, kLowerCaseTable);
  EXPECT_EQ(lower, "žluťoučký");
}

TEST(LocaleText, ComparisonIgnoresCaseAndPositionsAreFound) {
  PrepareUnicodeSupport();
  EXPECT_EQ(CompareLocaleText(u"čaj", u"ČAJ", kLocaleUserDefault), 0);
  EXPECT_LT(CompareTextByAnsi(u"cukr", u"čaj", kLocaleUserDefault), 0);
  EXPECT_GT(CompareTextByWide(u"chata", u"hrad", kLocaleUserDefault), 0);  // "ch" sorts after "h"
  FreeUnicodeSupport();
  const char* text = "abcabc";
  EXPECT_EQ(AnsiStrPosition(text, "ca"), text + 2);
  EXPECT_EQ(AnsiStrPosition(text, "x"), nullptr);
  const char16_t* wide = u"abcabc";
  EXPECT_EQ(WideStrPosition(wide, u"ca"), wide + 2);
  EXPECT_EQ(WideStrPosition(wide, u""), nullptr);
  EXPECT_EQ(AnsiCodePageOfLocale(kLocaleUserDefault), 1250);
}

}  // namespace
