// The spanning stream: one open volume at a time, forward-only volume changes
// through the owner's image request, and write progress over the whole archive.
#include "archive/ab_span_stream.h"

#include <algorithm>
#include <cstring>

#include "archive/ab_exceptions.h"
#include "archive/ab_utils.h"
#include "platform/rtl/files.h"
#include "platform/rtl/paths.h"

namespace {

constexpr int64_t kNoThresholdRoom = 2147483647;
constexpr int32_t kLastImageNumber = 100;
// Reads shorter than this come through one buffer of it.
constexpr int64_t kReadBufferBytes = 64 * 1024;

}  // namespace

TAbSpanStream::TAbSpanStream(const AnsiString& fileName, uint16_t mode, int64_t threshold,
                             TAbMediaKind mediaKind)
    : writing_(mode == fmCreate || (mode & fmOpenWrite)),
      mediaKind_(mediaKind),
      threshold_(threshold),
      imageName_(fileName),
      fileMode_(mode) {
  if (PathKindOf(fileName) != 2) throw EAbException("Full Path Required");
  if (!CheckMedia(fileName) && writing_) throw EAbException("Invalid Media");
  file_ = std::make_unique<TFileStream>(fileName, mode);
  if (!writing_) StartReading(0);
}

TAbSpanStream::~TAbSpanStream() = default;

bool TAbSpanStream::CheckMedia(const AnsiString& name) {
  return FreeSpaceOf(name) != -1 || !FileExists(name);
}

int64_t TAbSpanStream::FreeRoom() {
  if (mediaKind_ == mkImageFiles) return threshold_ != 0 ? threshold_ - bytesWritten_ : FreeSpaceOf(imageName_);
  int64_t limit = threshold_ != 0 ? threshold_ : kNoThresholdRoom;
  return std::min<int64_t>(static_cast<int32_t>(limit), static_cast<int32_t>(FreeSpaceOf(imageName_)));
}

AnsiString TAbSpanStream::NextImageName() const {
  int32_t n = spanNumber_ + 2;
  if (n > kLastImageNumber) return {};
  AnsiString ext = n < 10 ? ".z0" + std::to_string(n) : ".z" + std::to_string(n);
  return ChangeFileExt(imageName_, ext);
}

// --- Writing ---------------------------------------------------------------------

int64_t TAbSpanStream::WriteToVolume(const uint8_t* data, int64_t count) {
  if (count <= 0 || !file_) return 0;
  int64_t n = file_->Write(data, count);
  if (n > 0) bytesWritten_ += n;
  return std::max<int64_t>(n, 0);
}

int64_t TAbSpanStream::Write(const void* buffer, int64_t count) {
  if (!writing_) return 0;
  auto* data = static_cast<const uint8_t*>(buffer);
  int64_t written = 0;
  if (mediaKind_ == mkRemovable || threshold_ != 0) {
    int64_t room = std::max<int64_t>(FreeRoom(), 0);
    if (count < room) {
      written = WriteToVolume(data, count);
    } else {
      written = WriteToVolume(data, room);
      while (written < count) {
        NewVolume();
        int64_t n = WriteToVolume(data + written, std::min(count - written, std::max<int64_t>(FreeRoom(), 0)));
        if (n <= 0) break;  // a volume that takes nothing would loop forever
        written += n;
      }
    }
  } else if (file_) {
    written = std::max<int64_t>(file_->Write(data, count), 0);
  }
  archiveTotalWritten_ += written;
  bool abort = false;
  if (OnWriteProgress)
    OnWriteProgress(static_cast<uint8_t>(PercentOf(static_cast<int32_t>(archiveTotalWritten_),
                                                   static_cast<int32_t>(archiveTotalSize_))),
                    abort);
  return abort ? 0 : written;
}

void TAbSpanStream::NewVolume() {
  file_.reset();
  if (!OnRequestImage) throw EAbZipStreamFull();
  AnsiString candidate = mediaKind_ == mkImageFiles ? NextImageName() : imageName_;
  int32_t n = (mediaKind_ == mkImageFiles ? spanNumber_ + 1 : spanNumber_ + 2) % 256;
  for (;;) {
    OnRequestImage(this, ImageNumberFor(n), candidate, cancelled_);
    if (cancelled_) throw EAbUserAbort();
    if (CheckMedia(candidate)) break;
  }
  imageName_ = candidate;
  ++spanNumber_;
  bytesWritten_ = 0;
  { TFileStream create(candidate, fmCreate); }  // a fresh, empty volume
  file_ = std::make_unique<TFileStream>(candidate, fileMode_);
}

// --- Reading ---------------------------------------------------------------------

void TAbSpanStream::OpenNextReadVolume() {
  file_.reset();
  ++spanNumber_;
  OnRequestImage(this, ImageNumberFor(spanNumber_), imageName_, cancelled_);
  if (cancelled_) throw EAbUserAbort();
  imageRequested_ = true;
  if (!CheckMedia(imageName_) || !FileExists(imageName_)) throw EAbFileNotFound();
  file_ = std::make_unique<TFileStream>(imageName_, fileMode_);
  StartReading(0);
}

// A read goes on from volume to volume until Count bytes have come, so a
// record that straddles two volumes reads whole; it stops at a volume that
// gives nothing. Small reads come from the read-ahead buffer.
int64_t TAbSpanStream::Read(void* buffer, int64_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  if (writing_) return file_ ? std::max<int64_t>(file_->Read(out, count), 0) : 0;
  int64_t done = 0;
  while (done < count && file_) {
    if (!ignoreSpanning_ && position_ == volumeSize_) {
      if (!OnRequestImage) break;
      OpenNextReadVolume();
      continue;
    }
    if (position_ >= bufferStart_ && position_ < bufferStart_ + bufferLength_) {
      int64_t n = std::min(count - done, bufferStart_ + bufferLength_ - position_);
      std::memcpy(out + done, readBuffer_.get() + (position_ - bufferStart_), static_cast<size_t>(n));
      position_ += n;
      done += n;
      continue;
    }
    if (filePosition_ != position_) filePosition_ = file_->Seek(position_, soBeginning);
    if (count - done >= kReadBufferBytes) {
      int64_t n = file_->Read(out + done, count - done);
      if (n <= 0) break;
      filePosition_ += n;
      position_ += n;
      done += n;
    } else {
      int64_t n = file_->Read(readBuffer_.get(), kReadBufferBytes);
      if (n <= 0) break;
      filePosition_ += n;
      bufferStart_ = position_;
      bufferLength_ = n;
    }
  }
  return done;
}

int64_t TAbSpanStream::Seek(int64_t offset, TSeekOrigin origin) {
  if (!file_) return 0;
  if (writing_) return file_->Position();
  int64_t target = origin == soBeginning ? offset : origin == soCurrent ? position_ + offset : volumeSize_ + offset;
  if (ignoreSpanning_) target = std::clamp<int64_t>(target, 0, volumeSize_);
  // Nothing in this system seeks across volumes: a target off the current
  // volume leaves the position where it is.
  if (target < 0 || target > volumeSize_) return position_;
  position_ = target;
  return position_;
}

int64_t TAbSpanStream::Size() {
  if (!file_) return 0;
  return writing_ ? file_->Size() : volumeSize_;
}

void TAbSpanStream::SetSize(int64_t newSize) {
  if (!file_) return;
  if (!writing_) file_->Seek(position_, soBeginning);
  if (newSize == 0) {
    file_->SetSize(0);
  } else {
    int64_t room = FreeSpaceOf(imageName_);
    file_->SetSize(std::min(newSize, file_->Size() + std::max<int64_t>(room, 0)));
  }
  if (!writing_) StartReading(file_->Position());
}

void TAbSpanStream::StartReading(int64_t position) {
  volumeSize_ = file_->Size();
  position_ = filePosition_ = position;
  bufferLength_ = 0;
  if (!readBuffer_) readBuffer_ = std::make_unique_for_overwrite<uint8_t[]>(kReadBufferBytes);
}
