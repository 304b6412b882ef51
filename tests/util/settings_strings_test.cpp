// The settings library's string routines: exact replace, words over a set of
// delimiters, field reading and the hex-XOR codec.

#include "util/routines/settings_strings.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsStrings, SubstituteTextNeverSearchesTheReplacement) {
  EXPECT_EQ(SubstituteText("aXa", "a", "aa"), "aaXaa");
  EXPECT_EQ(SubstituteText("aXA", "a", "b"), "bXA");  // exact letters
  EXPECT_EQ(SubstituteText("abc", "", "x"), "abc");
}

TEST(SettingsStrings, WordsAreRunsOutsideTheDelimiterSet) {
  const TCharSet delims = CharSetOf(" ,");
  const AnsiString text = " ,alpha, beta,,gamma ";
  EXPECT_EQ(CountDelimitedWords(text, delims), 3);
  EXPECT_EQ(DelimitedWordStart(1, text, delims), 3);
  EXPECT_EQ(DelimitedWordStart(3, text, delims), 16);
  EXPECT_EQ(DelimitedWordStart(4, text, delims), 0);
  EXPECT_EQ(DelimitedWord(2, text, delims), "beta");
  EXPECT_EQ(DelimitedWord(3, text, delims), "gamma");
  EXPECT_EQ(DelimitedWord(0, text, delims), "");
  EXPECT_EQ(CountDelimitedWords("", delims), 0);
}

TEST(SettingsStrings, NextFieldMovesPastItsDelimiter) {
  const TCharSet delims = CharSetOf(";");
  const AnsiString text = "a;;bc";
  int pos = 1;
  EXPECT_EQ(NextDelimitedField(text, pos, delims), "a");
  EXPECT_EQ(pos, 3);
  EXPECT_EQ(NextDelimitedField(text, pos, delims), "");
  EXPECT_EQ(pos, 4);
  EXPECT_EQ(NextDelimitedField(text, pos, delims), "bc");
  EXPECT_EQ(pos, 6);
  EXPECT_EQ(NextDelimitedField(text, pos, delims), "");
  EXPECT_EQ(pos, 6);
}

TEST(SettingsStrings, HexXorRoundTripsAndReadsBadPairsAsBlanks) {
  EXPECT_EQ(HexXorEncode("", "abc"), "616263");
  EXPECT_EQ(HexXorDecode("", "6g"), " ");
  EXPECT_EQ(HexXorDecode("", "616"), "a");
  const AnsiString all = [] {
    AnsiString s;
    for (int c = 0; c < 256; ++c) s += static_cast<char>(c);
    return s;
  }();
  for (const AnsiString key : {"", "k", "Klíč\x01\xff"}) {
    AnsiString encoded = HexXorEncode(key, all);
    EXPECT_EQ(encoded.size(), 512u);
    EXPECT_EQ(HexXorDecode(key, encoded), all) << key;
  }
  EXPECT_EQ(HexXorEncode("\x01", "ab"), "6063");
  // An invalid pair is a blank before the key is applied.
  EXPECT_EQ(HexXorDecode("\x01", "zz"), "!");
}

}  // namespace
