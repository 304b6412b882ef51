// Replacing an archive file by a fully written sibling, and the check that
// keeps extraction inside its folder.
#include "archive/ab_archive_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "archive/ab_exceptions.h"
#include "archive/ab_utils.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/files.h"
#include "platform/rtl/os_names.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"

namespace {

void CopyPermissions(const AnsiString& from, const AnsiString& to) {
  struct stat st;
  if (::stat(detail::ToOsName(from).c_str(), &st) == 0) ::chmod(detail::ToOsName(to).c_str(), st.st_mode & 07777);
}

}  // namespace

TAbReplacementFile::TAbReplacementFile(const AnsiString& fileName)
    : fileName_(fileName), temp_(NewTempFile(ExtractFileDir(ExpandFileName(fileName)))) {
  if (temp_.empty()) throw EFCreateError("Cannot create file " + fileName);
  try {
    AbNamingFailures(fileName_, [&] { stream_ = std::make_unique<TFileStream>(temp_, fmOpenReadWrite); });
  } catch (...) {
    DeleteFile(temp_);
    throw;
  }
}

TAbReplacementFile::~TAbReplacementFile() {
  if (temp_.empty()) return;
  stream_.reset();
  DeleteFile(temp_);
}

TStream& TAbReplacementFile::Stream() { return *stream_; }

void TAbReplacementFile::Commit() {
  AbNamingFailures(fileName_, [&] {
    if (::fsync(stream_->Handle()) != 0) throw EWriteError("Stream write error");
    stream_.reset();
    CopyPermissions(fileName_, temp_);
    if (!RenameFile(temp_, fileName_)) throw EFCreateError("Cannot create file " + fileName_);
    temp_.clear();
  });
}

void ReplaceFileByRename(const AnsiString& fileName, TStream& work) {
  TAbReplacementFile replacement(fileName);
  AbNamingFailures(fileName, [&] { replacement.Stream().CopyFrom(&work, 0); });
  replacement.Commit();
}

void RewriteStream(TStream& stream, TStream& work) {
  work.Seek(0, soBeginning);
  if (auto* memory = dynamic_cast<TMemoryStream*>(&stream)) {
    memory->LoadFromStream(&work);
    return;
  }
  stream.Seek(0, soBeginning);
  stream.SetSize(0);
  stream.CopyFrom(&work, 0);
}

bool IsUnsafeStoredName(const AnsiString& name) {
  if (!name.empty() && (name[0] == '/' || name[0] == '\\')) return true;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("/\\", start);
    if (end == AnsiString::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0) return true;
    start = end + 1;
  }
  return false;
}
