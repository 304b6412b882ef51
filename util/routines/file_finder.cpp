// TFindFile (file_finder.h) over the runtime's folder search, which returns
// entries sorted by name, so a run's order does not depend on the file system.

#include "util/routines/file_finder.h"

#include <deque>

#include "platform/rtl/file_search.h"
#include "platform/rtl/files.h"
#include "platform/rtl/lists.h"
#include "util/routines/file_routines.h"

TFindFile::TFindFile(TComponent* owner) : TComponent(owner), files_(std::make_unique<TStringList>()) {}

TFindFile::~TFindFile() = default;

TStrings* TFindFile::Files() const { return files_.get(); }

void TFindFile::SetFiles(const TStrings* value) { files_->Assign(value); }

void TFindFile::Execute() {
  files_->Clear();
  totalSize_ = folderCount_ = fileCount_ = 0;
  if (BeforeExecute) BeforeExecute(this);
  if (!directory_.empty()) {
    if (recurse_) {
      ScanTree(directory_);
    } else {
      ScanFolder(directory_);
    }
  }
  if (AfterExecute) AfterExecute(this);
}

void TFindFile::ScanFolder(AnsiString dir) {
  dir = AddTrailingSeparator(dir);
  if (OnNewPath) OnNewPath(this, dir, abort_);
  if (abort_) return;
  TSearchRec rec;
  for (int found = FindFirst(dir + filter_, attributes_, rec); found == 0; found = FindNext(rec)) {
    files_->Add(dir + rec.Name);
    if (rec.Attr == faDirectory) {
      ++folderCount_;
    } else {
      ++fileCount_;
    }
    totalSize_ += static_cast<std::uint32_t>(rec.Size);
  }
  FindClose(rec);
}

void TFindFile::ScanTree(const AnsiString& dir) {
  std::deque<AnsiString> pending{AddTrailingSeparator(dir)};
  while (!pending.empty()) {
    const AnsiString folder = AddTrailingSeparator(pending.front());
    // Every sub-folder is walked, hidden ones too, whatever Filter and
    // Attributes let into Files.
    TSearchRec rec;
    for (int found = FindFirst(folder + "*", faAnyFile, rec); found == 0; found = FindNext(rec)) {
      if (rec.Attr & faDirectory) pending.push_back(folder + rec.Name);
    }
    FindClose(rec);
    ScanFolder(folder);
    pending.pop_front();
    if (abort_) return;
  }
}
