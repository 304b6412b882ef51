// TIniFile over a profile file (see ini_files.h). Each call reads the file;
// each write rewrites it through a temporary file beside the file (the target
// of a symbolic link), so a failed write never leaves half a file behind.

#include "platform/rtl/ini_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

#include "platform/rtl/ini_encoding.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/os_names.h"
#include "platform/rtl/text.h"

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

TIniFileText Load(const AnsiString& file_name) {
  std::ifstream in(detail::ToOsName(file_name), std::ios::binary);
  return SplitIniFile(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
}

// The file a write must replace: a symbolic link is followed to its target
// (also a target that does not exist yet), so the link itself stays.
std::filesystem::path WriteTarget(std::filesystem::path path) {
  std::error_code error;
  for (int hops = 0; hops < 40 && std::filesystem::is_symlink(path, error); ++hops) {
    std::filesystem::path target = std::filesystem::read_symlink(path, error);
    if (error) break;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return path;
}

bool WriteAll(int fd, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Writes through a temporary file that gets the old file's permission bits
// and owner before it replaces it (the file may hold a password).
bool ReplaceFile(const std::string& target, const std::string& bytes) {
  struct stat old {};
  const bool existed = ::stat(target.c_str(), &old) == 0;
  const std::string temp = target + ".~tmp";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = true;
  if (existed) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {}  // another owner stays out of reach
    ok = ::fchmod(fd, old.st_mode & 07777) == 0;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ok = ::fchmod(fd, 0666 & ~mask) == 0;
  }
  ok = ok && WriteAll(fd, bytes);
  ok = ::close(fd) == 0 && ok;
  if (ok && std::rename(temp.c_str(), target.c_str()) == 0) return true;
  std::remove(temp.c_str());
  return false;
}

void Save(const AnsiString& file_name, const TIniFileText& text) {
  const std::string target = WriteTarget(detail::ToOsName(file_name)).string();
  const std::string bytes = JoinIniFile(text);
  if (ReplaceFile(target, bytes)) return;
  // A folder we may not create files in can still hold a writable ini file.
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  if (!out) throw EIniFileException("Unable to write to " + file_name);
}

// --- Line syntax ---------------------------------------------------------------
// "[section]", "key=value", or, for a name the plain form cannot hold (it
// begins with "[", ";" or a quote, holds "=" or a line break, or has blanks at
// an end) or a value with a line break, "\"key\"=\"value\"" with \\, \", \r
// and \n escaped inside the quotes. Lines are parsed on the file's bytes: the
// syntax is ASCII, which both encodings keep as it is.

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out + '"';
}

// The quoted text starting at pos, and the position after its closing quote.
std::optional<std::pair<std::string, size_t>> Unquote(std::string_view line, size_t pos) {
  if (pos >= line.size() || line[pos] != '"') return std::nullopt;
  std::string out;
  for (size_t i = pos + 1; i < line.size(); ++i) {
    if (line[i] == '"') return std::make_pair(out, i + 1);
    if (line[i] != '\\') {
      out += line[i];
      continue;
    }
    if (++i == line.size()) return std::nullopt;
    switch (line[i]) {
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      default: return std::nullopt;
    }
  }
  return std::nullopt;
}

size_t SkipBlanks(std::string_view line, size_t pos) {
  while (pos < line.size() && static_cast<unsigned char>(line[pos]) <= ' ') ++pos;
  return pos;
}

struct Entry {
  std::string key;    // file bytes, without escapes
  std::string value;  // file bytes; a plain value as written, a quoted one without escapes
  bool quoted = false;
};

std::optional<Entry> QuotedEntry(std::string_view line) {
  auto key = Unquote(line, SkipBlanks(line, 0));
  if (!key) return std::nullopt;
  size_t pos = SkipBlanks(line, key->second);
  if (pos >= line.size() || line[pos] != '=') return std::nullopt;
  auto value = Unquote(line, SkipBlanks(line, pos + 1));
  if (!value || SkipBlanks(line, value->second) != line.size()) return std::nullopt;
  return Entry{key->first, value->first, true};
}

// A key line; nothing for blank, comment and section lines.
std::optional<Entry> ParseEntry(const std::string& line) {
  if (std::optional<Entry> quoted = QuotedEntry(line)) return quoted;
  AnsiString text = TrimLeft(line);
  if (text.empty() || text[0] == ';' || text[0] == '[') return std::nullopt;
  size_t eq = text.find('=');
  if (eq == AnsiString::npos) return std::nullopt;
  return Entry{TrimRight(text.substr(0, eq)), text.substr(eq + 1), false};
}

std::optional<std::string> ParseSection(const std::string& line) {
  AnsiString text = Trim(line);
  if (text.size() < 2 || text.front() != '[') return std::nullopt;
  size_t close = text.find(']');
  if (close == AnsiString::npos) return std::nullopt;
  return Trim(text.substr(1, close - 1));
}

bool NeedsQuotes(const AnsiString& key, const AnsiString& value) {
  const auto breaks = [](const AnsiString& s) { return s.find_first_of("\r\n") != AnsiString::npos; };
  if (breaks(value) || breaks(key) || key.find('=') != AnsiString::npos) return true;
  if (key.empty()) return false;
  return key.front() == '[' || key.front() == ';' || key.front() == '"' ||
         static_cast<unsigned char>(key.front()) <= ' ' || static_cast<unsigned char>(key.back()) <= ' ';
}

std::string MakeLine(TIniEncoding encoding, const AnsiString& key, const AnsiString& value) {
  const AnsiString line = NeedsQuotes(key, value) ? Quote(key) + "=" + Quote(value) : key + "=" + value;
  return AnsiToIniBytes(encoding, line);
}

// A value as ReadString gives it: without surrounding blanks (plain values)
// and one pair of enclosing quotes. A character without a Windows-1250 byte
// reads as "?".
AnsiString ValueText(TIniEncoding encoding, const Entry& entry) {
  AnsiString value = encoding == TIniEncoding::Ansi ? entry.value : Utf8ToAnsi(entry.value);
  if (!entry.quoted) value = Trim(value);
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    return value.substr(1, value.size() - 2);
  return value;
}

// A name as the program sees it; nothing when Windows-1250 cannot hold it,
// so such a key or section is kept but never matched.
std::optional<AnsiString> KeyName(const TIniFileText& text, size_t line) {
  std::optional<Entry> entry = ParseEntry(text.lines[line]);
  if (!entry) return std::nullopt;
  return IniBytesToAnsi(text.encoding, entry->key);
}

// Index range of one section's body: the lines after its header up to the next header.
struct Section {
  size_t header = kNone;
  size_t end = kNone;
};

Section FindSection(const TIniFileText& text, const AnsiString& section) {
  Section found;
  for (size_t i = 0; i < text.lines.size(); ++i) {
    std::optional<std::string> name = ParseSection(text.lines[i]);
    if (!name) continue;
    if (found.header != kNone) {
      found.end = i;
      return found;
    }
    std::optional<AnsiString> ansi = IniBytesToAnsi(text.encoding, *name);
    if (ansi && AnsiSameText(*ansi, section)) found.header = i;
  }
  if (found.header != kNone) found.end = text.lines.size();
  return found;
}

size_t FindKey(const TIniFileText& text, const Section& section, const AnsiString& ident) {
  if (section.header == kNone) return kNone;
  for (size_t i = section.header + 1; i < section.end; ++i) {
    std::optional<AnsiString> key = KeyName(text, i);
    if (key && AnsiSameText(*key, ident)) return i;
  }
  return kNone;
}

// Where a new key goes: after the section's last non-blank line.
size_t AppendPosition(const TIniFileText& text, const Section& section) {
  size_t pos = section.end;
  while (pos > section.header + 1 && Trim(text.lines[pos - 1]).empty()) --pos;
  return pos;
}

}  // namespace

TIniFile::TIniFile(AnsiString file_name) : file_name_(std::move(file_name)) {}

AnsiString TIniFile::ReadString(const AnsiString& section, const AnsiString& ident,
                                const AnsiString& default_value) const {
  TIniFileText text = Load(file_name_);
  size_t key = FindKey(text, FindSection(text, section), ident);
  return key == kNone ? default_value : ValueText(text.encoding, *ParseEntry(text.lines[key]));
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
  TIniFileText text = Load(file_name_);
  std::vector<std::string>& lines = text.lines;
  Section found = FindSection(text, section);
  size_t key = FindKey(text, found, ident);
  if (key != kNone) {
    lines[key] = MakeLine(text.encoding, *KeyName(text, key), value);  // the key's spelling kept
  } else if (found.header != kNone) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(AppendPosition(text, found)),
                 MakeLine(text.encoding, ident, value));
  } else {
    lines.push_back(AnsiToIniBytes(text.encoding, "[" + section + "]"));
    lines.push_back(MakeLine(text.encoding, ident, value));
  }
  Save(file_name_, text);
}

void TIniFile::WriteInteger(const AnsiString& section, const AnsiString& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

void TIniFile::WriteBool(const AnsiString& section, const AnsiString& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

std::vector<AnsiString> TIniFile::SectionKeys(const AnsiString& section) const {
  std::vector<AnsiString> keys;
  TIniFileText text = Load(file_name_);
  Section found = FindSection(text, section);
  if (found.header == kNone) return keys;
  for (size_t i = found.header + 1; i < found.end; ++i) {
    if (std::optional<AnsiString> key = KeyName(text, i)) keys.push_back(*key);
  }
  return keys;
}

std::vector<AnsiString> TIniFile::SectionNames() const {
  std::vector<AnsiString> names;
  TIniFileText text = Load(file_name_);
  for (const std::string& line : text.lines) {
    std::optional<std::string> name = ParseSection(line);
    if (!name) continue;
    if (std::optional<AnsiString> ansi = IniBytesToAnsi(text.encoding, *name)) names.push_back(*ansi);
  }
  return names;
}

bool TIniFile::SectionExists(const AnsiString& section) const {
  return !SectionKeys(section).empty();
}

bool TIniFile::ValueExists(const AnsiString& section, const AnsiString& ident) const {
  TIniFileText text = Load(file_name_);
  return FindKey(text, FindSection(text, section), ident) != kNone;
}

void TIniFile::DeleteKey(const AnsiString& section, const AnsiString& ident) {
  TIniFileText text = Load(file_name_);
  size_t key = FindKey(text, FindSection(text, section), ident);
  if (key == kNone) return;
  text.lines.erase(text.lines.begin() + static_cast<std::ptrdiff_t>(key));
  Save(file_name_, text);
}

void TIniFile::EraseSection(const AnsiString& section) {
  TIniFileText text = Load(file_name_);
  Section found = FindSection(text, section);
  if (found.header == kNone) return;
  text.lines.erase(text.lines.begin() + static_cast<std::ptrdiff_t>(found.header),
                   text.lines.begin() + static_cast<std::ptrdiff_t>(found.end));
  Save(file_name_, text);
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
