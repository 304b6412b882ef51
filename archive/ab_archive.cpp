// The archive model: adding files by mask, freshening, replacing and renaming
// items as pending actions, saving through the format, and the item log.
// Relative masks and names are resolved against the base folder by path, never
// by changing the process's current folder.
#include "archive/ab_archive.h"

#include <sys/stat.h>

#include <algorithm>

#include "archive/ab_archive_file.h"
#include "archive/ab_utils.h"
#include "archive/deflate/df_exceptions.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/files.h"
#include "platform/rtl/os_names.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"

namespace {

TAbLogKind LogKindOf(TAbProcessType processType) {
  return processType == ptUnhandledEntity ? lkUnhandledEntity : static_cast<TAbLogKind>(processType);
}

bool SameFile(const AnsiString& a, const AnsiString& b) {
  struct stat sa, sb;
  return ::stat(detail::ToOsName(a).c_str(), &sa) == 0 && ::stat(detail::ToOsName(b).c_str(), &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool ContainsName(const std::vector<AnsiString>& names, const AnsiString& name) {
  return std::any_of(names.begin(), names.end(), [&](const AnsiString& n) { return AnsiSameText(n, name); });
}

}  // namespace

const char* AbLogWord(TAbLogKind kind) { return AbLogWordTexts[kind]; }

// --- Construction ------------------------------------------------------------

TAbArchive::TAbArchive(TStream* stream, const AnsiString& archiveName) { Init(stream, archiveName); }

TAbArchive::TAbArchive(const AnsiString& fileName, uint16_t mode) {
  auto file = std::make_unique<TFileStream>(fileName, mode);
  Init(file.get(), fileName);
  OwnStream(std::move(file));
  mode_ = mode;
}

void TAbArchive::Init(TStream* stream, const AnsiString& archiveName) {
  OnProgress = [this](uint8_t progress, bool& abort) { DoProgress(progress, abort); };
  archiveName_ = archiveName;
  stream_ = stream;
}

TAbArchive::~TAbArchive() { itemList_.Clear(); }

AnsiString TAbArchive::ScratchFolder() const { return ExtractFileDir(TempFileNameIn(tempDirectory_, false)); }

void TAbArchive::OwnStream(std::unique_ptr<TStream> stream) {
  ownedStream_ = std::move(stream);
  stream_ = ownedStream_.get();
}

void TAbArchive::ReplaceArchiveStream(TStream& work) {
  if (OwnsStream() && dynamic_cast<TFileStream*>(stream_) != nullptr) {
    ReplaceByRename(work);
    return;
  }
  RewriteStream(*stream_, work);
}

void TAbArchive::ReplaceByRename(TStream& work) {
  ReplaceFileByRename(archiveName_, work);
  OwnStream(std::make_unique<TFileStream>(archiveName_, fmOpenReadWrite | fmShareDenyWrite));
}

// --- Notifications -------------------------------------------------------------

void TAbArchive::DoProcessItemFailure(TAbArchiveItem* item, TAbProcessType processType,
                                      TAbErrorClass errorClass, int32_t errorCode) {
  if (OnProcessItemFailure) OnProcessItemFailure(this, item, processType, errorClass, errorCode);
}

void TAbArchive::DoArchiveSaveProgress(uint8_t progress, bool& abort) {
  abort = false;
  if (OnArchiveSaveProgress) OnArchiveSaveProgress(this, progress, abort);
}

void TAbArchive::DoArchiveProgress(uint8_t progress, bool& abort) {
  abort = false;
  if (OnArchiveProgress) OnArchiveProgress(this, progress, abort);
}

void TAbArchive::DoArchiveItemProgress(TAbArchiveItem* item, uint8_t progress, bool& abort) {
  abort = false;
  if (OnArchiveItemProgress) OnArchiveItemProgress(this, item, progress, abort);
}

void TAbArchive::DoConfirmOverwrite(AnsiString& name, bool& confirm) {
  confirm = true;
  if (OnConfirmOverwrite) OnConfirmOverwrite(name, confirm);
}

void TAbArchive::DoConfirmProcessItem(TAbArchiveItem* item, TAbProcessType processType, bool& confirm) {
  confirm = true;
  if (OnConfirmProcessItem) OnConfirmProcessItem(this, item, processType, confirm);
  if (confirm && logging_) WriteLogLine(item->GetFileName(), LogKindOf(processType));
}

void TAbArchive::DoConfirmSave(bool& confirm) {
  confirm = true;
  if (OnConfirmSave) OnConfirmSave(this, confirm);
}

void TAbArchive::DoLoad() {
  if (OnLoad) OnLoad(this);
}

void TAbArchive::DoProgress(uint8_t progress, bool& abort) {
  abort = false;
  DoArchiveItemProgress(currentItem_, progress, abort);
}

void TAbArchive::DoSave() {
  if (OnSave) OnSave(this);
}

void TAbArchive::DoSpanningMediaRequest(TObject*, int32_t, AnsiString&, bool&) {
  throw EAbSpanningNotSupported();
}

void TAbArchive::DoInflateProgress(int32_t progress) {
  bool abort = false;
  DoProgress(static_cast<uint8_t>(progress), abort);
  if (abort) throw EAbAbortProgress(AbErrorText(AbUserAbort));
}

void TAbArchive::DoDeflateProgress(int32_t progress) { DoInflateProgress(progress); }

// --- Names -----------------------------------------------------------------------

AnsiString TAbArchive::FixName(const AnsiString& name) {
  AnsiString n = name;
  BackslashesToSlashes(n);
  if (dosMode_) {
    if (!BaseDirectory().empty() && PathKindOf(n) != 2) n = WithTrailingBackslash(BaseDirectory()) + n;
    n = ShortPathOf(n);
  }
  if (storeOptions_.Contains(soStripDrive)) RemoveDrive(n);
  if (!n.empty() && n[0] == '/') n.erase(0, 1);
  if (storeOptions_.Contains(soStripPath)) n = ExtractFileName(n);
  if (storeOptions_.Contains(soRemoveDots)) RemoveLeadingParentRefs(n);
  return n;
}

AnsiString TAbArchive::DiskNameOf(const AnsiString& fileName) const {
  if (PathKindOf(fileName) == 2 || BaseDirectory().empty()) return ExpandFileName(fileName);
  return ExpandFileName(WithTrailingBackslash(BaseDirectory()) + fileName);
}

const AnsiString& TAbArchive::BaseDirectory() const {
  if (!baseDirectory_) baseDirectory_ = ExtractFileDir(ParamStr(0));
  return *baseDirectory_;
}

void TAbArchive::SetBaseDirectory(const AnsiString& value) {
  AnsiString dir = value;
  if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  if (!dir.empty() && !DirectoryExists(dir)) throw EAbNoSuchDirectory();
  baseDirectory_ = dir;
}

// --- Adding ----------------------------------------------------------------------

void TAbArchive::CheckValid() const {
  if (status_ == arInvalid) throw EAbNoArchive();
}

void TAbArchive::AddFiles(const AnsiString& fileMask, int32_t searchAttr) {
  AddFilesEx(fileMask, AnsiString(), searchAttr);
}

void TAbArchive::AddFilesEx(const AnsiString& fileMask, const AnsiString& exclusionMask, int32_t searchAttr) {
  if (!GetSupportsEmptyFolders()) searchAttr &= ~faDirectory;
  CheckValid();
  AnsiString mask = fileMask, exclusion = exclusionMask;
  BackslashesToSlashes(mask);
  BackslashesToSlashes(exclusion);
  MatchFiles(mask, exclusion, searchAttr);
}

// Relative masks are searched inside the base folder and give names relative to it.
void TAbArchive::MatchFiles(const AnsiString& fileMask, const AnsiString& exclusionMask, int32_t searchAttr) {
  const bool recurse = storeOptions_.Contains(soRecurse);
  std::vector<AnsiString> excluded, found;
  FindFilesByMaskList(exclusionMask, searchAttr, excluded, recurse, BaseDirectory());
  FindFilesByMaskList(fileMask, searchAttr, found, recurse, BaseDirectory());
  for (const AnsiString& f : found) {
    if (ContainsName(excluded, f) || IsArchiveFile(DiskNameOf(f))) continue;
    TAbArchiveItem* item = CreateItem(f);
    item->SetDiskFileName(DiskNameOf(f));
    Add(item);
  }
}

// The archive never takes itself in, whichever spelling of its path was found.
bool TAbArchive::IsArchiveFile(const AnsiString& name) const {
  if (archiveName_.empty()) return false;
  return name == archiveName_ || name == ExpandFileName(archiveName_) || SameFile(name, archiveName_);
}

void TAbArchive::Add(TAbArchiveItem* item) {
  std::unique_ptr<TAbArchiveItem> owned(item);
  CheckValid();
  if (itemList_.IsActiveDupe(item->GetFileName())) {
    if (storeOptions_.Contains(soFreshen)) Freshen(item);
    else if (storeOptions_.Contains(soReplace)) Replace(item);
    else DoProcessItemFailure(item, ptAdd, ecLibrary, AbDuplicateName);
    return;
  }
  bool confirm = true;
  DoConfirmProcessItem(item, ptAdd, confirm);
  if (!confirm) return;
  item->SetAction(iaAdd);
  itemList_.Add(owned.release());
  isDirty_ = true;
  if (autoSave_) Save();
}

int TAbArchive::FindItem(const TAbArchiveItem* item) const { return itemList_.Find(item->GetFileName()); }

// --- Freshen, replace, move ------------------------------------------------------

void TAbArchive::ConfirmAction(TAbArchiveItem* item, TAbProcessType processType, TAbItemAction action) {
  bool confirm = true;
  DoConfirmProcessItem(item, processType, confirm);
  if (!confirm) return;
  item->SetAction(action);
  isDirty_ = true;
  if (autoSave_) Save();
}

void TAbArchive::SaveIfNeeded(TAbArchiveItem* item) {
  if (item->Action() != iaNone) Save();
}

void TAbArchive::ResolveDiskFileName(TAbArchiveItem* item) {
  AnsiString name;
  if (storeOptions_.Contains(soRecurse) && PathKindOf(item->DiskFileName()) == 0) {
    std::vector<AnsiString> found;
    FindMatchingFiles(item->GetFileName(), AbAttrAnyFile, found, true, BaseDirectory());
    if (!found.empty()) name = DiskNameOf(found.front());
  } else if (!BaseDirectory().empty()) {
    name = WithTrailingBackslash(BaseDirectory()) + item->GetFileName();
  } else {
    name = PathKindOf(item->DiskFileName()) == 2 ? item->DiskFileName() : item->GetFileName();
  }
  BackslashesToSlashes(name);
  item->SetDiskFileName(name);
}

bool TAbArchive::DiskFileChanged(TAbArchiveItem* item) {
  TFileStream file(DiskNameOf(item->DiskFileName()), fmOpenRead | fmShareDenyWrite);
  struct stat st;
  if (::fstat(file.Handle(), &st) != 0) throw EInOutError(SReadError);
  uint32_t stamp = static_cast<uint32_t>(UnixSecondsToDosDateTime(st.st_mtime));
  return !((stamp >> 16) == item->GetLastModFileDate() && (stamp & 0xFFFF) == item->GetLastModFileTime() &&
           st.st_size == item->GetUncompressedSize());
}

// The file that was found stands for the member: without its path the member
// would be read from a file of the stored name in the current folder, fail,
// and be dropped from the archive.
int TAbArchive::IndexTakingFoundFile(TAbArchiveItem* item) {
  int index = FindItem(item);
  if (index >= 0 && PathKindOf(item->DiskFileName()) == 2) Items(index)->SetDiskFileName(item->DiskFileName());
  return index;
}

void TAbArchive::Freshen(TAbArchiveItem* item) {
  CheckValid();
  int index = IndexTakingFoundFile(item);
  if (index >= 0) Freshen(index);
}

void TAbArchive::Freshen(int index) {
  CheckValid();
  TAbArchiveItem* item = Items(index);
  SaveIfNeeded(item);
  ResolveDiskFileName(item);
  bool changed = false;
  try {
    changed = DiskFileChanged(item);
  } catch (const std::exception& e) {
    TAbErrorInfo info = ClassifyException(e);
    DoProcessItemFailure(item, ptFreshen, info.ErrorClass, info.ErrorCode);
  }
  if (changed) ConfirmAction(item, ptFreshen, iaFreshen);
}

void TAbArchive::Replace(TAbArchiveItem* item) {
  CheckValid();
  int index = IndexTakingFoundFile(item);
  if (index >= 0) Replace(index);
}

void TAbArchive::Replace(int index) {
  CheckValid();
  TAbArchiveItem* item = Items(index);
  SaveIfNeeded(item);
  ResolveDiskFileName(item);
  ConfirmAction(item, ptReplace, iaReplace);
}

bool TAbArchive::IsTakenByOther(const AnsiString& name, const TAbArchiveItem* item) const {
  for (int i = 0; i < Count(); ++i) {
    const TAbArchiveItem* other = Items(i);
    if (other != item && other->Action() != iaDelete && SameText(other->GetFileName(), name)) return true;
  }
  return false;
}

void TAbArchive::Move(TAbArchiveItem* item, const AnsiString& newName) {
  CheckValid();
  AnsiString name = FixName(newName);
  if (IsTakenByOther(name, item)) {
    DoProcessItemFailure(item, ptMove, ecLibrary, AbDuplicateName);
    return;
  }
  SaveIfNeeded(item);
  bool confirm = true;
  DoConfirmProcessItem(item, ptMove, confirm);
  if (!confirm) return;
  item->SetFileName(name);
  item->SetAction(iaMove);
  isDirty_ = true;
  if (autoSave_) Save();
}

// --- Load and save ----------------------------------------------------------------

void TAbArchive::Load() {
  try {
    LoadArchive();
  } catch (...) {
    DoLoad();
    throw;
  }
  status_ = arIdle;
  DoLoad();
}

void TAbArchive::Save() {
  if (status_ == arInvalid) return;
  if (!isDirty_ && Count() > 0) return;
  bool confirm = true;
  DoConfirmSave(confirm);
  if (!confirm) return;
  SaveArchive();
  isDirty_ = false;
  DoSave();
}

// --- Log ----------------------------------------------------------------------------

void TAbArchive::SetLogging(bool value) {
  logging_ = value;
  logStream_.reset();
  if (!logging_ || logFile_.empty()) return;
  try {
    logStream_ = std::make_unique<TFileStream>(logFile_, fmCreate);
    WriteLogLine(archiveName_, lkLogging);
  } catch (const std::exception&) {
    logStream_.reset();
    throw EAbException(AbLogCreateErrorS);
  }
}

void TAbArchive::WriteLogLine(const AnsiString& name, TAbLogKind kind) {
  if (!logStream_) return;
  AnsiString line = name + AbLogWord(kind) + DateTimeToStr(Now()) + "\r\n";
  logStream_->WriteBuffer(line.data(), static_cast<int64_t>(line.size()));
}

// --- Stream helper ----------------------------------------------------------------------

TAbArchiveStreamHelper::TAbArchiveStreamHelper(TStream* stream) : stream_(stream) {
  if (!stream) throw Exception("nil stream");
}
