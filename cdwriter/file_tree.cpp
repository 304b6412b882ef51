// The burner's tree of folders and files: creation, lookup by image path,
// adding folders and files with their ISO 9660 and Joliet names, and inserting
// a file found on disk. Every record goes into the creation-order arrays,
// which the layout and the write process walk.

#include <sys/stat.h>

#include <algorithm>

#include "cdwriter/burner.h"
#include "cdwriter/cd_texts.h"
#include "platform/rtl/file_attributes.h"
#include "platform/rtl/file_times.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"

namespace {

constexpr uint8_t kTreeLimitMessage = 3;
constexpr uint8_t kRefusedMessage = 4;
constexpr size_t kAltNameChars = 13;
constexpr char kAltNameFirst = 0x21, kAltNameLast = 0x7A;
// A directory record holds at most 255 bytes: 33 + the Joliet name of 2 bytes
// a character + its pad byte. Files carry ";1" besides.
constexpr size_t kMaxDirNameChars = 110;
constexpr size_t kMaxFileNameChars = 108;
constexpr int64_t kMaxIsoFileBytes = int64_t{1} << 32;  // record sizes are 32-bit

// The image folder a file keeps with KeepSourcePath: its own folder with "\"
// for "/" ("/data/a.txt" gives "\data"); a relative folder hangs off the root.
WideString ImageFolderOf(const WideString& file_name) {
  const size_t slash = file_name.rfind(u'/');
  WideString folder = slash == WideString::npos ? WideString() : file_name.substr(0, std::max<size_t>(slash, 1));
  std::replace(folder.begin(), folder.end(), u'/', u'\\');
  return folder.empty() || folder[0] != u'\\' ? u"\\" + folder : folder;
}

// Joliet is UCS-2: a character outside it takes two UTF-16 units (a surrogate
// pair), which some readers drop, so they would read another name.
bool OutsideUcs2(const WideString& name) {
  return std::any_of(name.begin(), name.end(), [](char16_t c) { return c >= 0xD800 && c <= 0xDFFF; });
}

// Letter case as UpperCase changes it: a-z only.
WideString AsciiUpper(WideString text) {
  for (char16_t& c : text)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return text;
}

// The regular file named exactly file_name, looked up by itself (a folder
// search per file would make adding n files cost n squared). A symbolic link
// counts when it leads to a regular file, with that file's size and time.
bool FindRegularFile(const WideString& file_name, TTreeRecord& record) {
  const WideString name = file_name.substr(file_name.rfind(u'/') + 1);
  if (name.empty()) return false;
  SplitName(name, record.Name, record.WideName);
  const std::string os_name = WideToUtf8(file_name);
  struct stat st;
  if (::lstat(os_name.c_str(), &st) != 0) return false;
  int attr = detail::AttributesOf(record.Name, st);
  if (S_ISLNK(st.st_mode)) {
    if (::stat(os_name.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    attr &= ~faSymLink;
  }
  if (!S_ISREG(st.st_mode) || (attr & (faDirectory | faSysFile))) return false;
  record.Time = UnixToLocalDateTime(st.st_mtime);
  record.Attr = attr;
  record.Size = st.st_size;
  return true;
}

// The folder's path from the names as given: "" for the root, "\Docs\2024".
WideString ExactPathOf(const TDEntry* dir) {
  WideString path;
  for (; dir != dir->Parent; dir = dir->Parent) path = u"\\" + JolietName(*dir) + path;
  return path;
}

// "" for the root, else the path without one trailing backslash.
WideString PathKey(const WideString& path) {
  if (path == u"\\") return WideString();
  return !path.empty() && path.back() == u'\\' ? path.substr(0, path.size() - 1) : path;
}

}  // namespace

AnsiString MakeAltName(const AnsiString& name) {
  AnsiString alt = UpperCase(name.substr(0, kAltNameChars));
  for (char& c : alt)
    if (c < kAltNameFirst || c > kAltNameLast) c = '_';
  return alt;
}

bool TZIDIzizid::ClearTree(int file_capacity, int dir_capacity) {
  if (burning_) return false;  // the burn threads read the tree
  GmtOffset = LocalGmtOffset();
  image_header_->Clear();
  dirs_.clear();
  iso_order_.clear();
  joliet_order_.clear();
  files_.clear();
  folders_.clear();
  dir_by_path_.clear();
  dir_by_upper_path_.clear();
  file_capacity_ = file_capacity;
  dir_capacity_ = std::max(dir_capacity, 1);  // the root is always there
  total_data_size_ = 0;
  layout_valid_ = false;
  TDEntry* root = NewDirEntry();
  root->ShortName = SRootShortName;
  root->LongName = SRootLongName;
  root->Path = "\\";
  root->Level = 1;
  root->Parent = root;
  return true;
}

TDEntry* TZIDIzizid::NewDirEntry() {
  if (DirCount() >= dir_capacity_) {
    DebugMessage(SDebugPrefix + Format(SMaxDirectories, {dir_capacity_}), kTreeLimitMessage);
    return nullptr;
  }
  dirs_.push_back(std::make_unique<TDEntry>());
  iso_order_.push_back(dirs_.back().get());
  joliet_order_.push_back(dirs_.back().get());
  return dirs_.back().get();
}

void TZIDIzizid::DropLastDir() {
  const TDEntry* last = dirs_.back().get();
  std::erase(iso_order_, last);
  std::erase(joliet_order_, last);
  dirs_.pop_back();
}

TFEntry* TZIDIzizid::NewFileEntry() {
  if (FileCount() >= file_capacity_) {
    DebugMessage(Format(SMaxFiles, {file_capacity_}), kTreeLimitMessage);
    return nullptr;
  }
  files_.push_back(std::make_unique<TFEntry>());
  return files_.back().get();
}

AnsiString TZIDIzizid::UniqueShortName(const TDEntry* dir, const AnsiString& wanted, bool file) const {
  const auto folder = folders_.find(dir);
  if (folder == folders_.end() || !folder->second.short_names.contains(wanted)) return wanted;
  // NAME.EXT becomes NAME_1.EXT, NAME_2.EXT ... within the length a record takes.
  const size_t dot = file ? wanted.rfind('.') : AnsiString::npos;
  const AnsiString base = wanted.substr(0, dot), ext = dot == AnsiString::npos ? "" : wanted.substr(dot);
  const size_t limit = file ? kMaxFileNameChars : kMaxDirNameChars;
  for (int n = 1;; ++n) {
    const AnsiString suffix = "_" + IntToStr(n) + ext;
    const AnsiString candidate = base.substr(0, limit - std::min(limit, suffix.size())) + suffix;
    if (!folder->second.short_names.contains(candidate)) return candidate;
  }
}

void TZIDIzizid::AppendEntry(TDEntry* dir, TFEntry* entry) {
  entry->ShortName = UniqueShortName(dir, entry->ShortName, !entry->Dir);
  FolderIndex& folder = folders_[dir];
  folder.short_names.insert(entry->ShortName);
  folder.by_name.emplace(JolietName(*entry), entry);
  (folder.last ? folder.last->Next : dir->Files) = entry;
  folder.last = entry;
}

TFEntry* TZIDIzizid::FindFileEntry(const TDEntry* dir, const WideString& joliet_name) const {
  const auto folder = folders_.find(dir);
  if (folder == folders_.end()) return nullptr;
  const auto found = folder->second.by_name.find(joliet_name);
  return found == folder->second.by_name.end() ? nullptr : found->second;
}

TDEntry* TZIDIzizid::FindExactDirectory(const WideString& path) const {
  const WideString key = PathKey(path);
  if (key.empty()) return Root();
  const auto found = dir_by_path_.find(key);
  return found == dir_by_path_.end() ? nullptr : found->second;
}

TDEntry* TZIDIzizid::FindDirectory(const AnsiString& path) const { return FindDirectory(AnsiToWide(path)); }

TDEntry* TZIDIzizid::FindDirectory(const WideString& path) const {
  if (TDEntry* exact = FindExactDirectory(path)) return exact;
  const auto found = dir_by_upper_path_.find(AsciiUpper(PathKey(path)));
  return found == dir_by_upper_path_.end() ? nullptr : found->second;
}

AnsiString TZIDIzizid::BuildPath(TDEntry* dir) const {
  AnsiString path;
  for (; dir != dir->Parent; dir = dir->Parent) path = "\\" + dir->LongName + path;
  return path.empty() ? AnsiString("\\") : UpperCase(path);
}

TDEntry* TZIDIzizid::AddDirectory(TDEntry* parent, const AnsiString& name, int attr) {
  return AddDirectory(parent, AnsiToWide(name), attr);
}

TDEntry* TZIDIzizid::AddDirectory(TDEntry* parent, const WideString& name, int attr) {
  WideString bare = name;
  if (!bare.empty() && bare.front() == u'\\') bare.erase(0, 1);
  if (!bare.empty() && bare.back() == u'\\') bare.pop_back();
  TTreeRecord record;
  SplitName(bare, record.Name, record.WideName);
  record.AltName = MakeAltName(record.Name);
  record.Time = Now();
  record.Attr = attr;
  return AddDirEntry(parent, record);
}

TDEntry* TZIDIzizid::AddDirEntry(TDEntry* parent, const TTreeRecord& record) {
  if (record.Name.empty()) return parent;
  const WideString name = GivenName(record.Name, record.WideName);
  // A folder of that very name is the one; a file of that name leaves no room.
  if (const TFEntry* existing = FindFileEntry(parent, name)) return existing->Dir;
  // "." and ".." would read as the folder's own records; a longer name would
  // not fit a directory record.
  if (name == u"." || name == u".." || name.size() > kMaxDirNameChars || OutsideUcs2(name)) return nullptr;
  TDEntry* dir = NewDirEntry();
  if (!dir) return nullptr;
  TFEntry* entry = NewFileEntry();
  if (!entry) {
    DropLastDir();  // a folder nobody lists would break the layout
    return nullptr;
  }
  entry->ShortName = record.AltName.empty() ? UpperCase(record.Name) : record.AltName;
  dir->LongName = entry->LongName = record.Name;
  dir->WideName = entry->WideName = record.WideName;
  entry->Dir = dir;
  AppendEntry(parent, entry);
  dir->ShortName = entry->ShortName;
  dir->Parent = parent;
  dir->Level = parent->Level + 1;
  entry->Attr = record.Attr;
  entry->DateTime = record.Time;
  dir->Path = BuildPath(dir);
  dir_by_path_.emplace(ExactPathOf(dir), dir);
  dir_by_upper_path_.emplace(AsciiUpper(ExactPathOf(dir)), dir);
  layout_valid_ = false;
  return dir;
}

bool TZIDIzizid::RefuseName(const WideString& joliet_name, const AnsiString& long_name,
                            const AnsiString& short_name) {
  const bool too_long = std::max(joliet_name.size(), short_name.size()) > kMaxFileNameChars;
  if (!too_long && !OutsideUcs2(joliet_name)) return false;
  DebugMessage((too_long ? SFileNameTooLong : SNameOutsideUcs2) + long_name, kRefusedMessage);
  return true;
}

int TZIDIzizid::AddFileEntry(TDEntry* dir, const TTreeRecord& record, uint8_t add_kind, uint32_t imported_extent,
                             const AnsiString& source_path) {
  return AddFileEntry(dir, record, add_kind, imported_extent, AnsiToWide(source_path));
}

int TZIDIzizid::AddFileEntry(TDEntry* dir, const TTreeRecord& record, uint8_t add_kind, uint32_t imported_extent,
                             const WideString& source_path) {
  if (record.Size >= kMaxIsoFileBytes) {
    DebugMessage(SFileTooLarge + record.Name, kRefusedMessage);
    return 0;
  }
  // The Joliet name stays as given, so "noext" and "noext." are two files;
  // only the ISO 9660 name needs the dot before its version.
  AnsiString long_name = record.Name;
  AnsiString short_name = record.AltName.empty() ? UpperCase(long_name) : record.AltName;
  TDateTime date_time = record.Time;
  bool skip = GivenName(record.Name, record.WideName).size() > kMaxFileNameChars;
  AnsiString ansi_source;
  WideString wide_source;
  SplitName(source_path, ansi_source, wide_source);
  if (OnAddFile) OnAddFile(this, ansi_source, long_name, short_name, date_time, record.Attr, record.Size, skip);
  // A handler that renames the file names it in Windows-1250.
  const WideString wide_name = long_name == record.Name ? record.WideName : WideString();
  const WideString joliet_name = GivenName(long_name, wide_name);
  short_name = UpperCase(short_name);
  if (short_name.find('.') == AnsiString::npos) short_name += '.';
  // The limit holds whatever the handler says: a longer record wraps its length byte.
  if (RefuseName(joliet_name, long_name, short_name) || skip) return 0;
  TFEntry* existing = FindFileEntry(dir, joliet_name);
  // A folder's entry never becomes a file: its folder would lose its place.
  if (existing && (!replace_file_ || existing->Dir)) {
    DebugMessage(SFileNameTaken + long_name, kRefusedMessage);
    return 0;
  }
  TFEntry* entry = existing;
  if (!entry) {
    entry = NewFileEntry();
    if (!entry) return 0;
  } else {
    if (!existing->Imported) total_data_size_ -= SectorBytesOf(existing->FileSize);
    folders_[dir].short_names.erase(existing->ShortName);
  }
  entry->ShortName = short_name;
  entry->LongName = long_name;
  entry->WideName = wide_name;
  if (existing) {
    entry->ShortName = UniqueShortName(dir, short_name, true);
    folders_[dir].short_names.insert(entry->ShortName);
  } else {
    AppendEntry(dir, entry);
  }
  entry->FileSize = entry->JolietSize = record.Size;
  entry->Attr = record.Attr;
  entry->DateTime = date_time;
  entry->SourcePath = ansi_source;
  entry->WideSourcePath = wide_source;
  entry->AddKind = add_kind;
  entry->XAForm2 = 0;
  entry->Imported = imported_extent != 0;
  if (entry->Imported) {
    entry->Extent = entry->JolietExtent = imported_extent;
  } else {
    total_data_size_ += SectorBytesOf(record.Size);
  }
  layout_valid_ = false;
  return 1;
}

TDEntry* TZIDIzizid::ForceDirectory(const AnsiString& path) { return ForceDirectory(AnsiToWide(path)); }

TDEntry* TZIDIzizid::ForceDirectory(const WideString& path) {
  if (TDEntry* existing = FindExactDirectory(path)) return existing;
  const size_t slash = path.rfind(u'\\');
  TDEntry* parent = ForceDirectory(slash == WideString::npos ? WideString() : path.substr(0, slash));
  if (!parent) return nullptr;
  const WideString rest = slash == WideString::npos ? path : path.substr(slash + 1);
  return rest.empty() ? parent : AddDirectory(parent, rest, faDirectory);
}

uint8_t TZIDIzizid::InsertFile(const AnsiString& dest_path, const AnsiString& file_name, bool keep_source_path) {
  return InsertFile(AnsiToWide(dest_path), AnsiToWide(file_name), keep_source_path);
}

uint8_t TZIDIzizid::InsertFile(const WideString& dest_path, const WideString& file_name, bool keep_source_path,
                               const WideString& stored_name) {
  constexpr uint8_t kNoDestination = 0, kInserted = 1, kRefused = 2, kNoFile = 255;
  if (burning_) return kNoDestination;  // the burn threads read the tree
  TDEntry* dest = keep_source_path ? ForceDirectory(ImageFolderOf(file_name)) : FindDirectory(dest_path);
  if (!dest) {
    DebugMessage(SInvalidDestinationPath, kRefusedMessage);
    return kNoDestination;
  }
  TTreeRecord record;
  if (!FindRegularFile(file_name, record)) return kNoFile;
  if (!stored_name.empty()) SplitName(stored_name, record.Name, record.WideName);
  return AddFileEntry(dest, record, 0, 0, file_name) == 1 ? kInserted : kRefused;
}
