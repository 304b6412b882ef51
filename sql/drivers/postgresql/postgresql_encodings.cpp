// The client-encoding table and the literal encoders and decoder.

#include "sql/drivers/postgresql/postgresql_encodings.h"

#include <cstring>

#include "platform/rtl/text.h"

const pg_CS pg_CharacterSets[] = {
    {"SQL_ASCII", csSQL_ASCII}, {"EUC_JP", csEUC_JP},     {"EUC_CN", csEUC_CN},
    {"EUC_KR", csEUC_KR},       {"EUC_TW", csEUC_TW},     {"JOHAB", csJOHAB},
    {"UTF8", csUTF8},           {"MULE_INTERNAL", csMULE_INTERNAL},
    {"LATIN1", csLATIN1},       {"LATIN2", csLATIN2},     {"LATIN3", csLATIN3},
    {"LATIN4", csLATIN4},       {"LATIN5", csLATIN5},     {"LATIN6", csLATIN6},
    {"LATIN7", csLATIN7},       {"LATIN8", csLATIN8},     {"LATIN9", csLATIN9},
    {"LATIN10", csLATIN10},     {"WIN1256", csWIN1256},   {"WIN1258", csWIN1258},
    {"WIN874", csWIN874},       {"KOI8", csKOI8},         {"WIN1251", csWIN1251},
    {"WIN866", csWIN866},       {"ISO_8859_5", csISO_8859_5}, {"ISO_8859_6", csISO_8859_6},
    {"ISO_8859_7", csISO_8859_7}, {"ISO_8859_8", csISO_8859_8}, {"SJIS", csSJIS},
    {"BIG5", csBIG5},           {"GBK", csGBK},           {"UHC", csUHC},
    {"WIN1250", csWIN1250},     {"GB18030", csGB18030},   {"UNICODE", csUNICODE},
    {"TCVN", csTCVN},           {"ALT", csALT},           {"WIN", csWIN},
    {"OTHER", csOTHER},
};

namespace {

bool IsOctal(char c) { return c >= '0' && c <= '7'; }
bool IsDecimal(unsigned char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// State after a byte of a double-byte encoding whose lead bytes are above lead.
int TwoByteState(int state, unsigned char c, unsigned char lead) {
  if (state < 2 && c > lead) return 2;
  return state == 2 ? 1 : 0;
}

void AppendOctal(AnsiString& text, unsigned char c) {
  text += '\\';
  text += static_cast<char>('0' + ((c >> 6) & 3));
  text += static_cast<char>('0' + ((c >> 3) & 7));
  text += static_cast<char>('0' + (c & 7));
}

// value quoted, each byte for which mustEscape(byte, state) holds as \ooo.
template <typename Escape>
AnsiString QuoteBytes(const AnsiString& value, Escape mustEscape) {
  AnsiString text;
  text.reserve(value.size() + 2);
  text += '\'';
  for (char c : value) {
    if (mustEscape(static_cast<unsigned char>(c)))
      AppendOctal(text, static_cast<unsigned char>(c));
    else
      text += c;
  }
  text += '\'';
  return text;
}

}  // namespace

AnsiString ServerEncodingName(const AnsiString& name) {
  const AnsiString upper = UpperCase(name);
  std::size_t digits = AnsiString::npos;
  for (const char* prefix : {"WINDOWS-", "WINDOWS", "CP-", "CP", "WIN-"})
    if (upper.rfind(prefix, 0) == 0) {
      digits = std::strlen(prefix);
      break;
    }
  if (digits == AnsiString::npos || digits == upper.size()) return name;
  for (std::size_t i = digits; i < upper.size(); ++i)
    if (!IsDecimal(static_cast<unsigned char>(upper[i]))) return name;
  const AnsiString server = "WIN" + upper.substr(digits);
  for (const pg_CS& set : pg_CharacterSets)
    if (server == set.Name) return server;
  return name;
}

TZPgCharsetCode FindCharsetCode(const AnsiString& name) {
  const AnsiString upper = UpperCase(name);
  for (int i = 0; i < csOTHER; ++i)
    if (upper == pg_CharacterSets[i].Name) return pg_CharacterSets[i].Code;
  TZPgCharsetCode found = csOTHER;
  std::size_t longest = 0;
  for (int i = 0; i < csOTHER; ++i) {
    const std::size_t length = std::strlen(pg_CharacterSets[i].Name);
    if (length >= longest && name.find(pg_CharacterSets[i].Name) != AnsiString::npos) {
      longest = length;
      found = pg_CharacterSets[i].Code;
    }
  }
  return found;
}

int NextMultibyteState(int state, unsigned char c, TZPgCharsetCode code) {
  if (c == 0) state = 0;
  switch (code) {
    case csUTF8:
    case csUNICODE:
      if (state < 2 && c >= 0x80) {
        if (c >= 0xFC) return 6;
        if (c >= 0xF8) return 5;
        if (c >= 0xF0) return 4;
        if (c >= 0xE0) return 3;
        if (c >= 0xC0) return 2;
        return state;
      }
      return state > 2 && c > 0x7F ? state - 1 : 0;
    case csSJIS:
      if (state < 2 && c > 0x80 && (c <= 0x9F || c >= 0xE0)) return 2;
      return state == 2 ? 1 : 0;
    case csEUC_CN:
    case csEUC_KR:
    case csJOHAB:
    case csBIG5:
      return TwoByteState(state, c, 0xA0);
    case csGBK:
    case csUHC:
      return TwoByteState(state, c, 0x7F);
    case csEUC_JP:
      if (state < 3 && c == 0x8F) return 3;
      if (state != 2 && (c == 0x8E || c > 0xA0)) return 2;
      return state == 2 ? 1 : 0;
    case csEUC_TW:
      if (state < 4 && c == 0x8E) return 4;
      if (state == 4 && c > 0xA0) return 3;
      if ((state == 3 || state < 2) && c > 0xA0) return 2;
      return state == 2 ? 1 : 0;
    case csGB18030:
      if (state < 2 && c > 0x80) return 2;
      if (state == 2) return IsDecimal(c) ? 3 : 1;
      if (state == 3) return IsDecimal(c) ? 1 : 3;
      return 0;
    default:
      return 0;
  }
}

AnsiString QuoteTextLiteral(TZPgCharsetCode code, const AnsiString& value) {
  int state = 0;
  return QuoteBytes(value, [&](unsigned char c) {
    state = NextMultibyteState(state, c, code);
    return c == 0 || c == '\'' || (c == '\\' && state == 0);
  });
}

AnsiString QuoteBinaryLiteral(const AnsiString& value) {
  return QuoteBytes(value, [](unsigned char c) { return c == 0 || c == '\'' || c == '\\'; });
}

AnsiString UnescapeByteaText(const AnsiString& value) {
  const std::size_t size = value.size();
  AnsiString bytes;
  if (size >= 2 && value[0] == '\\' && value[1] == 'x') {
    bytes.reserve((size - 2) / 2);
    for (std::size_t i = 2; i + 1 < size; i += 2) {
      const int high = HexValue(value[i]), low = HexValue(value[i + 1]);
      if (high < 0 || low < 0) break;
      bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
  }
  bytes.reserve(size);
  for (std::size_t i = 0; i < size;) {
    const char c = value[i];
    if (c == '\\' && i + 1 < size && (value[i + 1] == '\\' || value[i + 1] == '\'')) {
      bytes += value[i + 1];
      i += 2;
    } else if (c == '\\' && i + 3 < size && IsOctal(value[i + 1]) && IsOctal(value[i + 2]) && IsOctal(value[i + 3])) {
      bytes += static_cast<char>(((value[i + 1] - '0') * 64 + (value[i + 2] - '0') * 8 + (value[i + 3] - '0')) & 0xFF);
      i += 4;
    } else {
      bytes += c;
      ++i;
    }
  }
  return bytes;
}
