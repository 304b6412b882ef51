// Client encodings, the multibyte state machine and the literal encoders and
// decoder of the PostgreSQL driver.

#include <gtest/gtest.h>

#include "sql/drivers/postgresql/postgresql_encodings.h"

namespace {

AnsiString Bytes(std::initializer_list<unsigned char> bytes) {
  AnsiString text;
  for (unsigned char b : bytes) text += static_cast<char>(b);
  return text;
}

TEST(PostgreSQLEncodings, FindCharsetCodeByNameOrLongestContainedName) {
  const struct {
    const char* name;
    TZPgCharsetCode code;
  } cases[] = {
      {"utf8", csUTF8},           {"WIN1250", csWIN1250},    {"win1250", csWIN1250},
      {"", csOTHER},              {"OTHER", csOTHER},        {"klingon", csOTHER},
      {"LATIN1x", csLATIN1},      {"xLATIN10", csLATIN10},   {"EUC_JP-2004", csEUC_JP},
      {"MS-WIN1251", csWIN1251},  {"win1251-ish", csOTHER},  {"  UTF8", csUTF8},
      {"LATIN9", csLATIN9},
  };
  for (const auto& c : cases) EXPECT_EQ(FindCharsetCode(c.name), c.code) << c.name;
  EXPECT_STREQ(pg_CharacterSets[csWIN].Name, "WIN");
  EXPECT_STREQ(pg_CharacterSets[csOTHER].Name, "OTHER");
}

// The state after each byte of a text, written as digits.
AnsiString States(TZPgCharsetCode code, const AnsiString& bytes) {
  AnsiString states;
  int state = 0;
  for (char c : bytes) {
    state = NextMultibyteState(state, static_cast<unsigned char>(c), code);
    states += static_cast<char>('0' + state);
  }
  return states;
}

TEST(PostgreSQLEncodings, WindowsCodePagesInTheProgramsSpellingNameTheServersEncoding) {
  const std::pair<const char*, const char*> cases[] = {
      {"cp1250", "WIN1250"}, {"CP-1251", "WIN1251"},  {"windows-1250", "WIN1250"}, {"win-1256", "WIN1256"},
      {"WIN1250", "WIN1250"}, {"cp1252", "cp1252"},   {"cp", "cp"},                {"cp12a", "cp12a"},
      {"UTF8", "UTF8"},       {"", ""},
  };
  for (auto [name, server] : cases) EXPECT_EQ(ServerEncodingName(name), server) << name;
}

TEST(PostgreSQLEncodings, MultibyteStatesCountTheBytesToCome) {
  const struct {
    TZPgCharsetCode code;
    AnsiString bytes;
    const char* states;
  } cases[] = {
      {csUTF8, Bytes({'a', 0xC3, 0xA1, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98, 0x80}), "0203204320"},
      {csUNICODE, Bytes({0xFC, 0x80, 0x80, 0x80, 0x80, 0x80}), "654320"},
      {csUTF8, Bytes({0x80, 'a'}), "00"},
      {csSJIS, Bytes({0x95, 0x5C, 0x5C, 0xE0, 0x40, 0xA0}), "210210"},
      {csBIG5, Bytes({0xA4, 0x5C, 0xA0}), "210"},
      {csGBK, Bytes({0x81, 0x5C, 0x7F}), "210"},
      {csEUC_JP, Bytes({0x8F, 0xA1, 0xA1, 0x8E, 0xA1, 'x'}), "321210"},
      {csEUC_TW, Bytes({0x8E, 0xA1, 0xA1, 0xA1, 0xA1, 0xA1}), "432121"},
      {csGB18030, Bytes({0x81, 0x30, 0x81, 0x30, 0x81, 0x41}), "233121"},
      {csGB18030, Bytes({0x81, 0x30, 'x', 0x31}), "2331"},
      {csLATIN2, Bytes({0xE1, 0x5C}), "00"},
      {csUTF8, Bytes({0xC3, 0x00, 'a'}), "200"},
  };
  for (const auto& c : cases) EXPECT_EQ(States(c.code, c.bytes), c.states) << pg_CharacterSets[c.code].Name;
}

TEST(PostgreSQLEncodings, TextLiteralsEscapeQuotesNulsAndSingleByteBackslashes) {
  const struct {
    TZPgCharsetCode code;
    AnsiString value;
    AnsiString quoted;
  } cases[] = {
      {csLATIN1, "a\\b", "'a\\134b'"},
      {csLATIN1, "it's", "'it\\047s'"},
      {csWIN1250, AnsiString("a\0b", 3), "'a\\000b'"},
      {csWIN1250, "", "''"},
      {csOTHER, "\\", "'\\134'"},
      // A backslash that ends a two-byte character stays a plain byte.
      {csSJIS, Bytes({0x95, 0x5C}), "'" + Bytes({0x95, 0x5C}) + "'"},
      {csSJIS, Bytes({0x95, 0x5C, 0x5C}), "'" + Bytes({0x95, 0x5C}) + "\\134'"},
      {csSJIS, Bytes({0x95, '\''}), "'" + Bytes({0x95}) + "\\047'"},
  };
  for (const auto& c : cases) EXPECT_EQ(QuoteTextLiteral(c.code, c.value), c.quoted) << c.value;
}

TEST(PostgreSQLEncodings, BinaryLiteralsAndByteaTextRoundTrip) {
  EXPECT_EQ(QuoteBinaryLiteral(AnsiString(1, '\0')), "'\\000'");
  EXPECT_EQ(QuoteBinaryLiteral(Bytes({'a', '\'', '\\', 0xFF, 0x95, 0x5C})), "'a\\047\\134" + Bytes({0xFF, 0x95}) + "\\134'");

  const struct {
    AnsiString text;
    AnsiString bytes;
  } cases[] = {
      {"\\047", "'"},
      {"\\\\", "\\"},
      {"\\'", "'"},
      {"plain", "plain"},
      {"a\\000b\\377", AnsiString("a\0b\xFF", 4)},
      {"\\777", Bytes({0xFF})},
      // Incomplete or foreign escapes are kept; nothing past the end is read.
      {"\\", "\\"},
      {"x\\01", "x\\01"},
      {"\\9zz", "\\9zz"},
      // The hex form of newer servers.
      {"\\x4142ff", Bytes({'A', 'B', 0xFF})},
      {"\\x", ""},
      {"\\x41g0", "A"},
  };
  for (const auto& c : cases) EXPECT_EQ(UnescapeByteaText(c.text), c.bytes) << c.text;

  AnsiString all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  const AnsiString quoted = QuoteBinaryLiteral(all);
  EXPECT_EQ(UnescapeByteaText(quoted.substr(1, quoted.size() - 2)), all);
}

}  // namespace
