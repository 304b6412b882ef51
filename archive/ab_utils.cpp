// Archive routines over Linux: paths use "/", names cross to the system as
// UTF-8, times use the local time of each instant, and search results come in
// a fixed order (sorted by upper-cased name) so archives build reproducibly.
#include "archive/ab_utils.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>

#include "archive/ab_exceptions.h"
#include "platform/rtl/os_names.h"
#include "platform/rtl/text.h"

namespace {

constexpr int64_t kMaxSpanFreeSpace = 2147483647;
constexpr uint32_t kPercentScaleLimit = 16384000;
constexpr int kSecondsPerDay = 86400;

std::string OsName(std::string_view name) { return detail::ToOsName(AnsiString(name)); }

bool StatOf(std::string_view name, struct stat& st) {
  return ::stat(OsName(name).c_str(), &st) == 0;
}

bool IsFolder(std::string_view name) { return DirectoryExists(AnsiString(name)); }

bool IsHiddenName(std::string_view name) { return !name.empty() && name[0] == '.'; }

// Broken-down local time of a date-time value (whole seconds).
struct Civil {
  int year, month, day, hour, minute, second;
};

bool DecodeCivil(TDateTime value, Civil& c) {
  if (!std::isfinite(value) || value < 0 || value >= 2958466.0) return false;
  int ms;
  DecodeDate(value, c.year, c.month, c.day);
  DecodeTime(value, c.hour, c.minute, c.second, ms);
  return true;
}

bool EncodeCivil(const Civil& c, TDateTime& value) {
  TDateTime date, time;
  if (!TryEncodeDate(c.year, c.month, c.day, date) ||
      !TryEncodeTime(c.hour, c.minute, c.second, 0, time))
    return false;
  value = date + time;
  return true;
}

Civil CivilOfTm(const std::tm& t) {
  return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

int32_t DosStampOf(const Civil& c) {
  if (c.year < 1980 || c.year > 2107) return 0;
  uint32_t date = ((c.year - 1980) << 9) | (c.month << 5) | c.day;
  uint32_t time = (c.hour << 11) | (c.minute << 5) | (c.second / 2);
  return static_cast<int32_t>((date << 16) | time);
}

bool LocalTmOf(int64_t seconds, std::tm& t) {
  time_t s = static_cast<time_t>(seconds);
  return localtime_r(&s, &t) != nullptr;
}

// Seconds since 1970 of a local civil time; the system decides whether
// daylight saving applies at that moment.
int64_t LocalSecondsOf(const Civil& c) {
  std::tm t{};
  t.tm_year = c.year - 1900;
  t.tm_mon = c.month - 1;
  t.tm_mday = c.day;
  t.tm_hour = c.hour;
  t.tm_min = c.minute;
  t.tm_sec = c.second;
  t.tm_isdst = -1;
  return static_cast<int64_t>(mktime(&t));
}

struct DirEntry {
  AnsiString name;
  AnsiString upper;
  int32_t attr;
  bool isLink;
};

// One entry of a folder with its attributes; none when it cannot be examined
// (a dangling link).
std::optional<DirEntry> Examine(const std::string& osFolder, const char* osName) {
  std::string path = osFolder + "/" + osName;
  struct stat st, lst;
  if (::stat(path.c_str(), &st) != 0 || ::lstat(path.c_str(), &lst) != 0) return std::nullopt;
  AnsiString name = detail::FromOsName(osName);
  int32_t attr = UnixModeToDosAttr(st.st_mode);
  if (IsHiddenName(name)) attr |= faHidden;
  return DirEntry{name, detail::UpperName(name), attr, S_ISLNK(lst.st_mode)};
}

// The entries of Folder (".": the current one) whose names match the pattern,
// and with recurse the folders too, sorted by upper-cased name. Only these are
// examined: a folder of many files costs one listing, not a stat per entry.
std::vector<DirEntry> ListFolder(const AnsiString& folder, const AnsiString& upperPattern, bool recurse) {
  std::vector<DirEntry> entries;
  const std::string osFolder = OsName(folder);
  DIR* dir = opendir(osFolder.c_str());
  if (!dir) return entries;
  while (dirent* d = readdir(dir)) {
    if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0) continue;
    const bool maybeFolder = recurse && (d->d_type == DT_DIR || d->d_type == DT_UNKNOWN);
    if (!maybeFolder && !MatchWildcard(detail::UpperName(detail::FromOsName(d->d_name)), 1, upperPattern, 1))
      continue;
    if (std::optional<DirEntry> entry = Examine(osFolder, d->d_name)) entries.push_back(std::move(*entry));
  }
  closedir(dir);
  std::sort(entries.begin(), entries.end(), [](const DirEntry& a, const DirEntry& b) {
    return a.upper != b.upper ? a.upper < b.upper : a.name < b.name;
  });
  return entries;
}

// Like the platform's search: hidden, system and folder entries are found only
// when the attribute mask asks for them.
bool AttrWanted(int32_t entryAttr, int32_t mask) {
  constexpr int32_t kSpecial = faHidden | faSysFile | faDirectory;
  return (entryAttr & kSpecial & ~mask) == 0;
}

void FindIn(const AnsiString& prefix, const AnsiString& folder, const AnsiString& upperPattern,
            int32_t attr, std::vector<AnsiString>& list, bool recurse) {
  std::vector<DirEntry> entries = ListFolder(folder, upperPattern, recurse);
  for (const DirEntry& e : entries) {
    if (!AttrWanted(e.attr, attr) || !MatchWildcard(e.upper, 1, upperPattern, 1)) continue;
    list.push_back(prefix + e.name + ((e.attr & faDirectory) ? "/" : ""));
  }
  if (!recurse) return;
  for (const DirEntry& e : entries) {
    if (!(e.attr & faDirectory) || e.isLink || (e.attr & faHidden)) continue;
    FindIn(prefix + e.name + "/", folder + "/" + e.name, upperPattern, attr, list, true);
  }
}

// A name without wildcards that exists as written is found with one look;
// false when it does not, and only a listing can find it in another case.
bool FindPlainName(const AnsiString& prefix, const AnsiString& folder, const AnsiString& name, int32_t attr,
                   std::vector<AnsiString>& list) {
  if (name.empty() || name == "." || name == ".." || name.find_first_of("*?") != AnsiString::npos) return false;
  std::optional<DirEntry> entry = Examine(OsName(folder), OsName(name).c_str());
  if (!entry) return false;
  if (AttrWanted(entry->attr, attr)) list.push_back(prefix + entry->name + ((entry->attr & faDirectory) ? "/" : ""));
  return true;
}

}  // namespace

// --- Paths -------------------------------------------------------------------

int PathKindOf(std::string_view path) {
  if (!path.empty() && path[0] == '/') return 2;
  return path.find('/') != std::string_view::npos ? 1 : 0;
}

AnsiString WithTrailingBackslash(std::string_view path) {
  AnsiString result(path);
  if (!result.empty() && result.back() != '/') result += '/';
  return result;
}

int32_t BackslashPosition(std::string_view text, int n) {
  int seen = 0;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '/' && ++seen == n) return static_cast<int32_t>(i);
  return static_cast<int32_t>(text.size());
}

void SplitFileSpec(std::string_view fileSpec, AnsiString& drive, AnsiString& path, AnsiString& name) {
  AnsiString s(fileSpec);
  BackslashesToSlashes(s);
  size_t cut = s.rfind('/');
  cut = cut == AnsiString::npos ? 0 : cut + 1;
  drive.clear();
  path = s.substr(0, cut);
  name = s.substr(cut);
}

void SplitPathElements(std::string_view path, std::vector<AnsiString>& list) {
  while (!path.empty()) {
    size_t cut = path.find('/');
    list.emplace_back(path.substr(0, cut));
    if (cut == std::string_view::npos) break;
    path.remove_prefix(cut + 1);
  }
}

void RemoveDrive(AnsiString& name) {
  AnsiString drive, path, file;
  SplitFileSpec(name, drive, path, file);
  name = path + file;
}

void RemoveLeadingParentRefs(AnsiString& name) {
  while (name.size() >= 3 && name.compare(0, 2, "..") == 0 && (name[2] == '/' || name[2] == '\\'))
    name.erase(0, 3);
}

void SlashesToBackslashes(AnsiString& name) { std::replace(name.begin(), name.end(), '/', '\\'); }

void BackslashesToSlashes(AnsiString& name) { std::replace(name.begin(), name.end(), '\\', '/'); }

AnsiString ShortPathOf(std::string_view name) {
  AnsiString drive, path, file;
  SplitFileSpec(name, drive, path, file);
  std::vector<AnsiString> elements;
  SplitPathElements(path, elements);
  AnsiString folder;
  for (const AnsiString& e : elements) {
    folder += e + "/";
    if (!e.empty() && !IsFolder(folder)) throw EAbException(AbPathNotFoundS);
  }
  struct stat st;
  if (!StatOf(path + file, st)) throw EAbFileNotFound();
  return path + file;
}

void ForceDirectoryPath(std::string_view path) {
  if (path.empty() || IsFolder(path)) return;
  if (!ForceDirectories(AnsiString(path)))
    throw EInOutError("Cannot create folder " + AnsiString(path) + ": " + std::strerror(errno));
}

// --- Temporary files ---------------------------------------------------------

AnsiString SystemTempDirectory() {
  return GetTempDir();
}

AnsiString TempFileNameIn(std::string_view dir, bool createIt) {
  AnsiString folder = WithTrailingBackslash(!dir.empty() && IsFolder(dir) ? AnsiString(dir) : SystemTempDirectory());
  if (!createIt) return folder + "VMS1.tmp";
  std::string pattern = OsName(folder + "VMSXXXXXX");
  int fd = mkstemp(pattern.data());
  if (fd < 0) return {};
  ::close(fd);
  return detail::FromOsName(pattern);
}

AnsiString NewTempFile(std::string_view dir) { return TempFileNameIn(dir, true); }

// --- Media -------------------------------------------------------------------

bool TAbMediaServices::IsRemovable(const AnsiString&) { return false; }
int32_t TAbMediaServices::SetVolumeLabel(const AnsiString&, const AnsiString&) { return 0; }
bool TAbMediaServices::Confirm(const AnsiString&, const AnsiString&) { return false; }

namespace {
TAbMediaServices gDefaultMedia;
TAbMediaServices* gMedia = &gDefaultMedia;
}  // namespace

TAbMediaServices& AbMediaServices() { return *gMedia; }
void SetAbMediaServices(TAbMediaServices* services) { gMedia = services ? services : &gDefaultMedia; }

bool IsRemovableDrive(std::string_view name) { return gMedia->IsRemovable(AnsiString(name)); }

int64_t FreeSpaceOf(std::string_view path) {
  if (PathKindOf(path) < 2) return -1;
  AnsiString drive, folder, file;
  SplitFileSpec(path, drive, folder, file);
  struct statvfs vfs;
  if (statvfs(OsName(path).c_str(), &vfs) != 0 && statvfs(OsName(folder).c_str(), &vfs) != 0)
    return -1;
  uint64_t bytes = static_cast<uint64_t>(vfs.f_bavail) * vfs.f_frsize;
  return bytes > static_cast<uint64_t>(kMaxSpanFreeSpace) ? kMaxSpanFreeSpace : static_cast<int64_t>(bytes);
}

int32_t SetSpanVolumeLabel(std::string_view label, std::string_view path) {
  return gMedia->SetVolumeLabel(AnsiString(label.substr(0, 11)), AnsiString(path));
}

// --- File search -------------------------------------------------------------

void FindMatchingFiles(std::string_view mask, int32_t attr, std::vector<AnsiString>& list, bool recurse,
                       std::string_view baseDir) {
  AnsiString drive, folder, pattern;
  SplitFileSpec(mask, drive, folder, pattern);
  AnsiString listed = PathKindOf(folder) == 2 || baseDir.empty() ? folder : WithTrailingBackslash(baseDir) + folder;
  if (listed.empty()) listed = ".";
  if (listed.size() > 1 && listed.back() == '/') listed.pop_back();
  if (!recurse && FindPlainName(folder, listed, pattern, attr, list)) return;
  FindIn(folder, listed, detail::UpperName(pattern), attr, list, recurse);
}

void FindFilesByMaskList(std::string_view masks, int32_t attr, std::vector<AnsiString>& list, bool recurse,
                         std::string_view baseDir) {
  while (true) {
    size_t cut = masks.find(';');
    AnsiString mask = Trim(masks.substr(0, cut));
    if (!mask.empty()) FindMatchingFiles(mask, attr, list, recurse, baseDir);
    if (cut == std::string_view::npos) return;
    masks.remove_prefix(cut + 1);
  }
}

bool MatchWildcard(std::string_view s, int i, std::string_view p, int j) {
  const int sLen = static_cast<int>(s.size());
  const int pLen = static_cast<int>(p.size());
  if (sLen == 0) return pLen == 0;
  if (j == 1 && (p == "*.*" || p == "*")) return true;
  if (pLen == 0) return i == sLen + 1;
  while (true) {
    if (i > sLen && j > pLen) return true;
    if (j > pLen) return false;
    if (p[j - 1] == '*') {
      if (j == pLen) return true;
      for (int k = i; k <= sLen + 1; ++k)
        if (MatchWildcard(s, k, p, j + 1)) return true;
      return false;
    }
    if (i > sLen) return false;
    if (p[j - 1] != '?' && s[i - 1] != p[j - 1]) return false;
    ++i;
    ++j;
  }
}

int PercentOf(int32_t done, int32_t total) {
  if (static_cast<uint32_t>(total) > kPercentScaleLimit) {
    done = static_cast<int32_t>((static_cast<uint32_t>(done) + 128) >> 8);
    total = static_cast<int32_t>((static_cast<uint32_t>(total) + 128) >> 8);
  }
  if (total <= 0 || done <= 0) return 0;
  if (done < total) return static_cast<int>(static_cast<int64_t>(done) * 100 / total);
  return 100;
}

// --- Time --------------------------------------------------------------------

int32_t LocalTimeBiasSeconds() {
  std::tm t;
  if (!LocalTmOf(std::time(nullptr), t)) return 0;
  return static_cast<int32_t>(-t.tm_gmtoff);
}

TDateTime UnixSecondsToDateTime(int64_t seconds) {
  std::tm t;
  TDateTime value = 0;
  if (!LocalTmOf(seconds, t) || !EncodeCivil(CivilOfTm(t), value)) return 0;
  return value;
}

int64_t DateTimeToUnixSeconds(TDateTime value) {
  Civil c;
  return DecodeCivil(value, c) ? LocalSecondsOf(c) : 0;
}

TDateTime DosDateTimeToDateTime(uint16_t date, uint16_t time) {
  Civil c{(date >> 9) + 1980, (date >> 5) & 15, date & 31, time >> 11, (time >> 5) & 63, (time & 31) * 2};
  TDateTime value = 0;
  return EncodeCivil(c, value) ? value : 0;
}

int32_t DateTimeToDosDateTime(TDateTime value) {
  Civil c;
  return DecodeCivil(value, c) ? DosStampOf(c) : 0;
}

int32_t UnixSecondsToDosDateTime(int64_t seconds) {
  std::tm t;
  return LocalTmOf(seconds, t) ? DosStampOf(CivilOfTm(t)) : 0;
}

TDateTime FileDateTimeOf(std::string_view name) {
  TAbFileInfo info;
  GetFileInfo(name, info);
  return info.DateTime;
}

bool SetFileDateTime(std::string_view name, TDateTime value) {
  uint32_t stamp = static_cast<uint32_t>(DateTimeToDosDateTime(value));
  Civil c;
  if (stamp == 0 || !DecodeCivil(DosDateTimeToDateTime(stamp >> 16, stamp & 0xFFFF), c)) return false;
  timespec times[2];
  times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(LocalSecondsOf(c));
  times[0].tv_nsec = times[1].tv_nsec = 0;
  return utimensat(AT_FDCWD, OsName(name).c_str(), times, 0) == 0;
}

// --- Attributes and file information ------------------------------------------

uint16_t DosAttrToUnixMode(int32_t attr) {
  uint16_t mode = (attr & faReadOnly) ? 0444 : 0644;
  if (attr & faDirectory) mode |= 040100;
  return mode;
}

int32_t UnixModeToDosAttr(uint32_t mode) {
  int32_t attr = 0;
  switch (mode & 0xF000) {
    case 0x1000: case 0x2000: case 0x6000: case 0xC000: attr = faSysFile; break;
    case 0x4000: attr = faDirectory; break;
    case 0xA000: attr = faSymLink; break;
    default: break;
  }
  if (!(mode & 0200)) attr |= faReadOnly;
  return attr;
}

int32_t ApplyFileAttributes(std::string_view name, int32_t attr) {
  return FileSetAttr(AnsiString(name), attr);
}

int64_t FileSizeOf(std::string_view name) {
  TAbFileInfo info;
  GetFileInfo(name, info);
  return info.Size;
}

bool GetFileInfo(std::string_view name, TAbFileInfo& info) {
  info = TAbFileInfo{};
  struct stat st;
  if (!StatOf(name, st)) return false;
  uint32_t stamp = static_cast<uint32_t>(UnixSecondsToDosDateTime(st.st_mtime));
  if (stamp != 0) info.DateTime = DosDateTimeToDateTime(stamp >> 16, stamp & 0xFFFF);
  info.Size = st.st_size;
  AnsiString drive, path, file;
  SplitFileSpec(name, drive, path, file);
  info.Attr = UnixModeToDosAttr(st.st_mode) | (IsHiddenName(file) ? faHidden : 0);
  info.Mode = st.st_mode & 0xFFFF;
  return true;
}

// --- Text --------------------------------------------------------------------

TAbTextKind DetectUtf8(std::string_view text) {
  int pending = 0;
  bool high = false;
  for (unsigned char b : text) {
    high = high || b >= 0x80;
    if (pending == 0) {
      if (b < 0x80) continue;
      if (b >= 0xC2 && b <= 0xDF) pending = 1;
      else if (b >= 0xE0 && b <= 0xEF) pending = 2;
      else if (b >= 0xF0 && b <= 0xF4) pending = 3;
      else return high ? ckAnsi : ckAscii;
    } else {
      if (b < 0x80 || b > 0xBF) return high ? ckAnsi : ckAscii;
      --pending;
    }
  }
  if (pending > 0) return ckAnsi;
  return high ? ckUtf8 : ckAscii;
}

AnsiString Utf8ToSystem(std::string_view text) { return Utf8ToAnsi(text); }

std::string StoredNameToUtf8(std::string_view stored) {
  return DetectUtf8(stored) == ckAnsi ? AnsiToUtf8(stored) : std::string(stored);
}
