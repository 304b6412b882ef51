// Replacing an archive file by a fully written sibling, and the check that
// keeps extraction inside its folder.
#include "archive/ab_archive_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <memory>

#include "archive/ab_exceptions.h"
#include "archive/ab_utils.h"
#include "archive/ab_vmstream.h"
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

void ReplaceFileByRename(const AnsiString& fileName, TStream& work) {
  AnsiString temp = NewTempFile(ExtractFileDir(ExpandFileName(fileName)));
  if (temp.empty()) throw EFCreateError("Cannot create file " + fileName);
  try {
    {
      TFileStream out(temp, fmOpenWrite);
      out.CopyFrom(&work, 0);
      if (::fsync(out.Handle()) != 0) throw EWriteError("Stream write error");
    }
    CopyPermissions(fileName, temp);
    if (!RenameFile(temp, fileName)) throw EFCreateError("Cannot create file " + fileName);
  } catch (Exception& e) {
    DeleteFile(temp);
    AbPrefixMessage(e, fileName);
    throw;
  } catch (...) {
    DeleteFile(temp);
    throw;
  }
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
