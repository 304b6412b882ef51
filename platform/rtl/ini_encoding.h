// How a profile file's bytes are held: Windows-1250 or UTF-8 (with or without
// a byte-order mark), and CR LF or LF line ends. A file is written back the
// way it was read, and lines the program never touched keep their bytes, so
// a UTF-8 file keeps characters that Windows-1250 has no byte for.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/strings.h"

enum class TIniEncoding { Ansi, Utf8, Utf8Bom };

struct TIniFileText {
  TIniEncoding encoding = TIniEncoding::Ansi;
  bool crlf = true;
  std::vector<std::string> lines;  // the file's bytes, without line ends and byte-order mark
};

// The encoding of a file's bytes. Valid UTF-8 with multi-byte sequences is
// UTF-8 unless one of them decodes to a C1 control or to a letter of another
// script written against a Latin letter ("/\xDA\x9Eina" is Windows-1250
// "/Úžina", not an Arabic letter followed by "ina").
TIniEncoding GuessIniEncoding(std::string_view bytes);

TIniFileText SplitIniFile(const std::string& bytes);
std::string JoinIniFile(const TIniFileText& text);

// File bytes to Windows-1250; nothing when a character has no Windows-1250 byte.
std::optional<AnsiString> IniBytesToAnsi(TIniEncoding encoding, const std::string& bytes);
// Windows-1250 to file bytes.
std::string AnsiToIniBytes(TIniEncoding encoding, const AnsiString& text);
