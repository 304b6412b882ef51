// Encoding guess and line splitting of profile files (see ini_encoding.h).
#include "platform/rtl/ini_encoding.h"

#include <unicode/uchar.h>
#include <unicode/uscript.h>
#include <unicode/utf8.h>

#include "platform/rtl/text.h"

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool AsciiLetter(UChar32 c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// A decoded character that a UTF-8 file would hardly hold at that place.
bool Implausible(UChar32 c, UChar32 before, UChar32 after) {
  if (c >= 0x80 && c <= 0x9F) return true;
  UErrorCode error = U_ZERO_ERROR;
  const UScriptCode script = uscript_getScript(c, &error);
  const bool foreign = U_SUCCESS(error) && script != USCRIPT_LATIN && script != USCRIPT_COMMON &&
                       script != USCRIPT_INHERITED;
  return foreign && (AsciiLetter(before) || AsciiLetter(after));
}

}  // namespace

TIniEncoding GuessIniEncoding(std::string_view bytes) {
  if (bytes.starts_with(kBom)) return TIniEncoding::Utf8Bom;
  std::vector<UChar32> chars;
  for (int32_t i = 0, n = static_cast<int32_t>(bytes.size()); i < n;) {
    UChar32 c;
    U8_NEXT(bytes.data(), i, n, c);
    if (c < 0) return TIniEncoding::Ansi;
    chars.push_back(c);
  }
  bool multiByte = false;
  for (size_t i = 0; i < chars.size(); ++i) {
    if (chars[i] < 0x80) continue;
    multiByte = true;
    if (Implausible(chars[i], i > 0 ? chars[i - 1] : 0, i + 1 < chars.size() ? chars[i + 1] : 0))
      return TIniEncoding::Ansi;
  }
  return multiByte ? TIniEncoding::Utf8 : TIniEncoding::Ansi;
}

TIniFileText SplitIniFile(const std::string& bytes) {
  TIniFileText text;
  text.encoding = GuessIniEncoding(bytes);
  std::string_view body(bytes);
  if (text.encoding == TIniEncoding::Utf8Bom) body.remove_prefix(kBom.size());
  const size_t firstEnd = body.find('\n');
  text.crlf = firstEnd == std::string_view::npos || (firstEnd > 0 && body[firstEnd - 1] == '\r');
  size_t pos = 0;
  while (pos < body.size()) {
    size_t end = body.find('\n', pos);
    if (end == std::string_view::npos) end = body.size();
    std::string_view line = body.substr(pos, end - pos);
    if (line.ends_with('\r')) line.remove_suffix(1);
    text.lines.emplace_back(line);
    pos = end + 1;
  }
  return text;
}

std::string JoinIniFile(const TIniFileText& text) {
  std::string bytes(text.encoding == TIniEncoding::Utf8Bom ? kBom : "");
  for (const std::string& line : text.lines) bytes += line + (text.crlf ? "\r\n" : "\n");
  return bytes;
}

std::optional<AnsiString> IniBytesToAnsi(TIniEncoding encoding, const std::string& bytes) {
  if (encoding == TIniEncoding::Ansi) return bytes;
  AnsiString text = Utf8ToAnsi(bytes);
  if (AnsiToUtf8(text) != bytes) return std::nullopt;
  return text;
}

std::string AnsiToIniBytes(TIniEncoding encoding, const AnsiString& text) {
  return encoding == TIniEncoding::Ansi ? text : AnsiToUtf8(text);
}
