// The burner's tree of folders and files: creation, lookup by image path,
// adding folders and files with their ISO 9660 and Joliet names, and inserting
// a file found on disk. Every record goes into the creation-order arrays,
// which the layout and the write process walk.

#include <sys/stat.h>

#include <algorithm>

#include "cdwriter/burner.h"
#include "cdwriter/cd_texts.h"
#include "platform/rtl/file_search.h"
#include "platform/rtl/file_times.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/os_names.h"
#include "platform/rtl/paths.h"
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
AnsiString ImageFolderOf(const AnsiString& file_name) {
  AnsiString folder = StringReplace(ExtractFileDir(file_name), "/", "\\", rfReplaceAll);
  return folder.empty() || folder[0] != '\\' ? "\\" + folder : folder;
}

// The regular file named exactly file_name (the search compares names without
// regard to case and reads "*" and "?" as wildcards). A symbolic link counts
// when it leads to a regular file, with that file's size and time.
bool FindRegularFile(const AnsiString& file_name, TTreeRecord& record) {
  const AnsiString wanted = ExtractFileName(file_name);
  if (wanted.empty()) return false;
  TSearchRec rec;
  int found = FindFirst(file_name, faAnyFile, rec);
  while (found == 0 && rec.Name != wanted) found = FindNext(rec);
  FindClose(rec);
  if (found != 0) return false;
  if (rec.Attr & faSymLink) {
    struct stat st;
    if (::stat(detail::ToOsName(file_name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    rec.Attr &= ~faSymLink;
    rec.Size = st.st_size;
    rec.ModifyTime = st.st_mtime;
  }
  if (rec.Attr & (faDirectory | faSysFile)) return false;
  record.Name = rec.Name;
  record.Time = UnixToLocalDateTime(rec.ModifyTime);
  record.Attr = rec.Attr;
  record.Size = rec.Size;
  return true;
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

void TZIDIzizid::AppendEntry(TDEntry* dir, TFEntry* entry) {
  TFEntry** link = &dir->Files;
  while (*link) link = &(*link)->Next;
  *link = entry;
}

TFEntry* TZIDIzizid::FindFileEntry(TDEntry* dir, const AnsiString& long_name) {
  for (TFEntry* e = dir->Files; e; e = e->Next)
    if (SameText(e->LongName, long_name)) return e;
  return nullptr;
}

TDEntry* TZIDIzizid::FindDirectory(const AnsiString& path) const {
  if (path.empty() || path == "\\") return Root();
  AnsiString wanted = path;
  if (wanted.back() == '\\') wanted.pop_back();
  wanted = UpperCase(wanted);
  for (size_t i = 1; i < dirs_.size(); ++i)
    if (dirs_[i]->Path == wanted) return dirs_[i].get();
  return nullptr;
}

AnsiString TZIDIzizid::BuildPath(TDEntry* dir) const {
  AnsiString path = "\\";
  for (; dir != dir->Parent; dir = dir->Parent) path = "\\" + dir->LongName + path;
  path.pop_back();
  return UpperCase(path);
}

TDEntry* TZIDIzizid::AddDirectory(TDEntry* parent, const AnsiString& name, int attr) {
  AnsiString bare = name;
  if (!bare.empty() && bare.front() == '\\') bare.erase(0, 1);
  if (!bare.empty() && bare.back() == '\\') bare.pop_back();
  TTreeRecord record;
  record.Name = bare;
  record.AltName = MakeAltName(bare);
  record.Time = Now();
  record.Attr = attr;
  return AddDirEntry(parent, record);
}

TDEntry* TZIDIzizid::AddDirEntry(TDEntry* parent, const TTreeRecord& record) {
  AnsiString path = parent->Path + "\\" + record.Name;
  if (path.starts_with("\\\\")) path.erase(0, 1);
  if (TDEntry* existing = FindDirectory(path)) return existing;
  // "." and ".." would read as the folder's own records; a longer name would
  // not fit a directory record.
  if (record.Name == "." || record.Name == ".." || record.Name.size() > kMaxDirNameChars) return nullptr;
  TDEntry* dir = NewDirEntry();
  if (!dir) return nullptr;
  TFEntry* entry = NewFileEntry();
  if (!entry) {
    DropLastDir();  // a folder nobody lists would break the layout
    return nullptr;
  }
  AppendEntry(parent, entry);
  const AnsiString short_name = record.AltName.empty() ? UpperCase(record.Name) : record.AltName;
  dir->ShortName = entry->ShortName = short_name;
  dir->LongName = entry->LongName = record.Name;
  dir->Parent = parent;
  dir->Level = parent->Level + 1;
  entry->Attr = record.Attr;
  entry->Dir = dir;
  entry->DateTime = record.Time;
  dir->Path = BuildPath(dir);
  layout_valid_ = false;
  return dir;
}

bool TZIDIzizid::RefuseLongName(const AnsiString& long_name, const AnsiString& short_name) {
  if (long_name.size() <= kMaxFileNameChars && short_name.size() <= kMaxFileNameChars) return false;
  DebugMessage(SFileNameTooLong + long_name, kRefusedMessage);
  return true;
}

int TZIDIzizid::AddFileEntry(TDEntry* dir, const TTreeRecord& record, uint8_t add_kind, uint32_t imported_extent,
                             const AnsiString& source_path) {
  if (record.Size >= kMaxIsoFileBytes) {
    DebugMessage(SFileTooLarge + record.Name, kRefusedMessage);
    return 0;
  }
  AnsiString long_name = record.Name;
  if (!(record.Attr & faDirectory) && long_name.find('.') == AnsiString::npos) long_name += '.';
  TFEntry* existing = FindFileEntry(dir, long_name);
  AnsiString short_name = record.AltName.empty() ? UpperCase(long_name) : record.AltName;
  TDateTime date_time = record.Time;
  bool skip = long_name.size() > kMaxFileNameChars;
  if (OnAddFile) OnAddFile(this, source_path, long_name, short_name, date_time, record.Attr, record.Size, skip);
  // The limit holds whatever the handler says: a longer record wraps its length byte.
  if (RefuseLongName(long_name, short_name) || skip) return 0;
  // A folder's entry never becomes a file: its folder would lose its place.
  if (existing && (!replace_file_ || existing->Dir)) return 0;
  TFEntry* entry = existing;
  if (!entry) {
    entry = NewFileEntry();
    if (!entry) return 0;
    AppendEntry(dir, entry);
  }
  if (existing && !existing->Imported) total_data_size_ -= SectorBytesOf(existing->FileSize);
  entry->ShortName = UpperCase(short_name);
  entry->LongName = long_name;
  entry->FileSize = entry->JolietSize = record.Size;
  entry->Attr = record.Attr;
  entry->DateTime = date_time;
  entry->SourcePath = source_path;
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

TDEntry* TZIDIzizid::ForceDirectory(const AnsiString& path) {
  if (TDEntry* existing = FindDirectory(path)) return existing;
  const size_t slash = path.rfind('\\');
  TDEntry* parent = ForceDirectory(slash == AnsiString::npos ? AnsiString() : path.substr(0, slash));
  if (!parent) return nullptr;
  const AnsiString rest = slash == AnsiString::npos ? path : path.substr(slash + 1);
  return rest.empty() ? parent : AddDirectory(parent, rest, faDirectory);
}

uint8_t TZIDIzizid::InsertFile(const AnsiString& dest_path, const AnsiString& file_name, bool keep_source_path) {
  constexpr uint8_t kNoDestination = 0, kInserted = 1, kNoFile = 255;
  if (burning_) return kNoDestination;  // the burn threads read the tree
  TDEntry* dest = nullptr;
  if (keep_source_path) {
    const AnsiString folder = ImageFolderOf(file_name);
    ForceDirectory(folder);
    dest = FindDirectory(folder);
  } else {
    dest = FindDirectory(dest_path);
  }
  if (!dest) {
    DebugMessage(SInvalidDestinationPath, kRefusedMessage);
    return kNoDestination;
  }
  TTreeRecord record;
  if (!FindRegularFile(file_name, record)) return kNoFile;
  AddFileEntry(dest, record, 0, 0, file_name);
  return kInserted;
}
