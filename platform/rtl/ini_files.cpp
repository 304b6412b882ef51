// TIniFile over a profile file (see ini_files.h). Each call reads the file;
// each write rewrites it through a temporary file in the same folder, so a
// failed write never leaves half a file behind.

#include "platform/rtl/ini_files.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

#include <unicode/utf8.h>

#include "platform/rtl/files.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/os_names.h"
#include "platform/rtl/text.h"

namespace {

using Lines = std::vector<AnsiString>;
constexpr size_t kNone = static_cast<size_t>(-1);

// A file written in UTF-8 (it has a byte-order mark, or it is valid UTF-8
// with at least one multi-byte sequence) is read as UTF-8; any other file is
// Windows-1250. Writes are always Windows-1250.
AnsiString ToAnsiText(const std::string& text) {
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (text.starts_with(kBom)) return Utf8ToAnsi(std::string_view(text).substr(kBom.size()));
  bool multiByte = false;
  for (int32_t i = 0, n = static_cast<int32_t>(text.size()); i < n;) {
    UChar32 c;
    U8_NEXT(text.data(), i, n, c);
    if (c < 0) return text;
    multiByte = multiByte || c > 0x7F;
  }
  return multiByte ? Utf8ToAnsi(text) : text;
}

Lines LoadLines(const AnsiString& file_name) {
  Lines lines;
  std::ifstream in(detail::ToOsName(file_name), std::ios::binary);
  const AnsiString text =
      ToAnsiText(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    AnsiString line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    pos = end + 1;
  }
  return lines;
}

bool WriteText(const std::string& os_name, const std::string& text) {
  std::ofstream out(os_name, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

void SaveLines(const AnsiString& file_name, const Lines& lines) {
  std::string text;
  for (const AnsiString& line : lines) text += line + "\r\n";
  std::string os_name = detail::ToOsName(file_name);
  std::string temp = os_name + ".~tmp";
  if (WriteText(temp, text) && std::rename(temp.c_str(), os_name.c_str()) == 0) return;
  std::remove(temp.c_str());
  // A folder we may not create files in can still hold a writable ini file.
  if (!WriteText(os_name, text)) throw EIniFileException("Unable to write to " + file_name);
}

std::optional<AnsiString> SectionName(const AnsiString& line) {
  AnsiString text = Trim(line);
  if (text.size() < 2 || text.front() != '[') return std::nullopt;
  size_t close = text.find(']');
  if (close == AnsiString::npos) return std::nullopt;
  return Trim(text.substr(1, close - 1));
}

// Key of a "key=value" line; nothing for blank, comment and section lines.
std::optional<AnsiString> KeyName(const AnsiString& line) {
  AnsiString text = TrimLeft(line);
  if (text.empty() || text[0] == ';' || text[0] == '[') return std::nullopt;
  size_t eq = text.find('=');
  if (eq == AnsiString::npos) return std::nullopt;
  return TrimRight(text.substr(0, eq));
}

AnsiString RawValue(const AnsiString& line) { return line.substr(line.find('=') + 1); }

AnsiString Unquoted(const AnsiString& raw) {
  AnsiString value = Trim(raw);
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    return value.substr(1, value.size() - 2);
  return value;
}

// Index range of one section's body: the lines after its header up to the next header.
struct Section {
  size_t header = kNone;
  size_t end = kNone;
};

Section FindSection(const Lines& lines, const AnsiString& section) {
  Section found;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::optional<AnsiString> name = SectionName(lines[i]);
    if (!name) continue;
    if (found.header != kNone) {
      found.end = i;
      return found;
    }
    if (AnsiSameText(*name, section)) found.header = i;
  }
  if (found.header != kNone) found.end = lines.size();
  return found;
}

size_t FindKey(const Lines& lines, const Section& section, const AnsiString& ident) {
  if (section.header == kNone) return kNone;
  for (size_t i = section.header + 1; i < section.end; ++i) {
    std::optional<AnsiString> key = KeyName(lines[i]);
    if (key && AnsiSameText(*key, ident)) return i;
  }
  return kNone;
}

// Where a new key goes: after the section's last non-blank line.
size_t AppendPosition(const Lines& lines, const Section& section) {
  size_t pos = section.end;
  while (pos > section.header + 1 && Trim(lines[pos - 1]).empty()) --pos;
  return pos;
}

}  // namespace

TIniFile::TIniFile(AnsiString file_name) : file_name_(std::move(file_name)) {}

AnsiString TIniFile::ReadString(const AnsiString& section, const AnsiString& ident,
                                const AnsiString& default_value) const {
  Lines lines = LoadLines(file_name_);
  size_t key = FindKey(lines, FindSection(lines, section), ident);
  return key == kNone ? default_value : Unquoted(RawValue(lines[key]));
}

int TIniFile::ReadInteger(const AnsiString& section, const AnsiString& ident,
                          int default_value) const {
  return StrToIntDef(ReadString(section, ident, AnsiString()), default_value);
}

bool TIniFile::ReadBool(const AnsiString& section, const AnsiString& ident,
                        bool default_value) const {
  return ReadInteger(section, ident, default_value ? 1 : 0) != 0;
}

void TIniFile::WriteString(const AnsiString& section, const AnsiString& ident,
                           const AnsiString& value) {
  Lines lines = LoadLines(file_name_);
  Section found = FindSection(lines, section);
  size_t key = FindKey(lines, found, ident);
  if (key != kNone) {
    lines[key] = *KeyName(lines[key]) + "=" + value;
  } else if (found.header != kNone) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(AppendPosition(lines, found)),
                 ident + "=" + value);
  } else {
    lines.push_back("[" + section + "]");
    lines.push_back(ident + "=" + value);
  }
  SaveLines(file_name_, lines);
}

void TIniFile::WriteInteger(const AnsiString& section, const AnsiString& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

void TIniFile::WriteBool(const AnsiString& section, const AnsiString& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

std::vector<AnsiString> TIniFile::SectionKeys(const AnsiString& section) const {
  std::vector<AnsiString> keys;
  Lines lines = LoadLines(file_name_);
  Section found = FindSection(lines, section);
  if (found.header == kNone) return keys;
  for (size_t i = found.header + 1; i < found.end; ++i) {
    if (std::optional<AnsiString> key = KeyName(lines[i])) keys.push_back(*key);
  }
  return keys;
}

std::vector<AnsiString> TIniFile::SectionNames() const {
  std::vector<AnsiString> names;
  for (const AnsiString& line : LoadLines(file_name_)) {
    if (std::optional<AnsiString> name = SectionName(line)) names.push_back(*name);
  }
  return names;
}

bool TIniFile::SectionExists(const AnsiString& section) const {
  return !SectionKeys(section).empty();
}

bool TIniFile::ValueExists(const AnsiString& section, const AnsiString& ident) const {
  Lines lines = LoadLines(file_name_);
  return FindKey(lines, FindSection(lines, section), ident) != kNone;
}

void TIniFile::DeleteKey(const AnsiString& section, const AnsiString& ident) {
  Lines lines = LoadLines(file_name_);
  size_t key = FindKey(lines, FindSection(lines, section), ident);
  if (key == kNone) return;
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(key));
  SaveLines(file_name_, lines);
}

void TIniFile::EraseSection(const AnsiString& section) {
  Lines lines = LoadLines(file_name_);
  Section found = FindSection(lines, section);
  if (found.header == kNone) return;
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(found.header),
              lines.begin() + static_cast<std::ptrdiff_t>(found.end));
  SaveLines(file_name_, lines);
}

namespace {

void FillStrings(TStrings& strings, const std::vector<AnsiString>& lines) {
  strings.Clear();
  for (const AnsiString& line : lines) strings.Add(line);
}

}  // namespace

void TIniFile::ReadSection(const AnsiString& section, TStrings& strings) const {
  FillStrings(strings, SectionKeys(section));
}

void TIniFile::ReadSections(TStrings& strings) const { FillStrings(strings, SectionNames()); }

void TIniFile::ReadSectionValues(const AnsiString& section, TStrings& strings) const {
  std::vector<AnsiString> lines;
  for (const AnsiString& key : SectionKeys(section))
    lines.push_back(key + "=" + ReadString(section, key, AnsiString()));
  FillStrings(strings, lines);
}
