// 64-bit file streams of the burn threads (see file_stream_ex.h).

#include "cdwriter/file_stream_ex.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/os_names.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"

namespace {

constexpr uint16_t kAccessMask = 0x000F;

int AccessFlags(uint16_t mode) {
  switch (mode & kAccessMask) {
    case fmOpenWrite: return O_WRONLY;
    case fmOpenReadWrite: return O_RDWR;
    default: return O_RDONLY;
  }
}

int OpenFile(const std::string& os_name, uint16_t mode) {
  return mode == kCreateFileMode ? ::open(os_name.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666)
                                 : ::open(os_name.c_str(), AccessFlags(mode) | O_CLOEXEC);
}

int WhenceOf(int origin) { return origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : SEEK_SET; }

}  // namespace

void TStreamEx::SetSize(int64_t) {}

int64_t TStreamEx::GetSize() {
  const int64_t here = Seek(0, 1);
  const int64_t end = Seek(0, 2);
  Seek(here, 0);
  return end;
}

void THandleStreamEx::SetSize(int64_t size) {
  Seek(size, 0);
  if (::ftruncate(handle_, size) != 0)
    throw EOSError(Format("System Error.  Code: %d.\n%s", {errno, std::strerror(errno)}));
}

int THandleStreamEx::Read(void* buffer, int count) {
  const ssize_t n = count > 0 ? ::read(handle_, buffer, static_cast<size_t>(count)) : 0;
  return n < 0 ? 0 : static_cast<int>(n);
}

int THandleStreamEx::Write(const void* buffer, int count) {
  const ssize_t n = count > 0 ? ::write(handle_, buffer, static_cast<size_t>(count)) : 0;
  return n < 0 ? 0 : static_cast<int>(n);
}

int64_t THandleStreamEx::Seek(int64_t offset, int origin) { return ::lseek(handle_, offset, WhenceOf(origin)); }

TFileStreamEx::TFileStreamEx(const AnsiString& file_name, uint16_t mode)
    : THandleStreamEx(OpenFile(detail::ToOsName(file_name), mode)) {}

TFileStreamEx::TFileStreamEx(const WideString& file_name, uint16_t mode)
    : THandleStreamEx(OpenFile(WideToUtf8(file_name), mode)) {}

TFileStreamEx::~TFileStreamEx() {
  if (handle_ >= 0) ::close(handle_);
}
