// Stream implementations. File streams talk to the kernel through plain
// descriptors (opened close-on-exec so child processes never inherit them);
// the in-memory streams keep their bytes in a std::string.
#include "platform/rtl/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "platform/rtl/os_names.h"

namespace {

constexpr int64_t kCopyChunkBytes = 64 * 1024;

// Descriptor calls move at most this much at once.
constexpr int64_t kMaxIoBytes = int64_t{1} << 30;

int OpenFlags(uint16_t mode) {
  switch (mode & 0x000F) {
    case fmOpenWrite: return O_WRONLY;
    case fmOpenReadWrite: return O_RDWR;
    default: return O_RDONLY;
  }
}

bool IsFolder(int fd) {
  struct stat st;
  return fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

// --- TStream ----------------------------------------------------------------

int64_t TStream::Position() { return Seek(0, soCurrent); }

void TStream::SetPosition(int64_t position) { Seek(position, soBeginning); }

int64_t TStream::Size() {
  int64_t here = Seek(0, soCurrent);
  int64_t end = Seek(0, soEnd);
  Seek(here, soBeginning);
  return end;
}

void TStream::SetSize(int64_t) {}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count != 0 && Read(buffer, count) != count) throw EReadError(SReadError);
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count != 0 && Write(buffer, count) != count) throw EWriteError(SWriteError);
}

int64_t TStream::CopyFrom(TStream* source, int64_t count) {
  if (count == 0) {
    source->SetPosition(0);
    count = source->Size();
  }
  if (count <= 0) return 0;
  std::vector<char> chunk(static_cast<size_t>(std::min(count, kCopyChunkBytes)));
  int64_t done = 0;
  while (done < count) {
    int64_t n = std::min(count - done, kCopyChunkBytes);
    source->ReadBuffer(chunk.data(), n);
    WriteBuffer(chunk.data(), n);
    done += n;
  }
  return done;
}

// --- THandleStream --------------------------------------------------------

int64_t THandleStream::Read(void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::read(handle_, static_cast<char*>(buffer) + done,
                       static_cast<size_t>(std::min(count - done, kMaxIoBytes)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t THandleStream::Write(const void* buffer, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::write(handle_, static_cast<const char*>(buffer) + done,
                        static_cast<size_t>(std::min(count - done, kMaxIoBytes)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t THandleStream::Seek(int64_t offset, TSeekOrigin origin) {
  static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  return ::lseek(handle_, offset, kWhence[origin]);
}

void THandleStream::SetSize(int64_t size) {
  int64_t here = Position();
  if (::ftruncate(handle_, size) != 0) throw EStreamError(SWriteError);
  if (here > size) Seek(size, soBeginning);
}

// --- TFileStream ----------------------------------------------------------

TFileStream::TFileStream(const AnsiString& fileName, uint16_t mode)
    : THandleStream(-1), fileName_(fileName) {
  const std::string osName = detail::ToOsName(fileName);
  if (mode == fmCreate) {
    handle_ = ::open(osName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (handle_ < 0) throw EFCreateError(Format(SFCreateError, {fileName}));
    return;
  }
  handle_ = ::open(osName.c_str(), OpenFlags(mode) | O_CLOEXEC);
  if (handle_ >= 0 && IsFolder(handle_)) {
    ::close(handle_);
    handle_ = -1;
  }
  if (handle_ < 0) throw EFOpenError(Format(SFOpenError, {fileName}));
}

TFileStream::~TFileStream() {
  if (handle_ >= 0) ::close(handle_);
}

// --- in-memory streams ------------------------------------------------------

namespace detail {

int64_t ByteBufferStream::Read(void* buffer, int64_t count) {
  const int64_t size = Size();
  if (count <= 0 || position_ < 0 || position_ >= size) return 0;
  int64_t n = std::min(count, size - position_);
  std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

int64_t ByteBufferStream::Write(const void* buffer, int64_t count) {
  if (count <= 0 || position_ < 0) return 0;
  const int64_t end = position_ + count;
  if (end > Size()) SetSize(end);
  std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

int64_t ByteBufferStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : Size();
  position_ = base + offset;
  return position_;
}

void ByteBufferStream::SetSize(int64_t size) {
  if (size < 0) throw EStreamError(SMemoryStreamError);
  try {
    data_.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory(SMemoryStreamError);
  } catch (const std::length_error&) {
    throw EOutOfMemory(SMemoryStreamError);
  }
  if (position_ > size) position_ = size;
}

}  // namespace detail

void TMemoryStream::Clear() {
  data_.clear();
  data_.shrink_to_fit();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
  stream->SetPosition(0);
  int64_t count = stream->Size();
  SetSize(count);
  if (count != 0) stream->ReadBuffer(data_.data(), count);
  position_ = 0;
}

void TMemoryStream::SaveToStream(TStream* stream) {
  if (!data_.empty()) stream->WriteBuffer(data_.data(), Size());
}

void TMemoryStream::LoadFromFile(const AnsiString& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

void TMemoryStream::SaveToFile(const AnsiString& fileName) {
  TFileStream file(fileName, fmCreate);
  SaveToStream(&file);
}

AnsiString TStringStream::ReadString(int64_t count) {
  const int64_t available = Size() - position_;
  if (count > available) count = available;
  if (count <= 0 || position_ < 0) return AnsiString();
  AnsiString out = data_.substr(static_cast<size_t>(position_), static_cast<size_t>(count));
  position_ += count;
  return out;
}

void TStringStream::WriteString(const AnsiString& s) { Write(s.data(), static_cast<int64_t>(s.size())); }
