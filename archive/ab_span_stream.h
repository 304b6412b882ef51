// The file stream of ZIP archives. It wraps one file per volume; writing with
// a size limit splits the data over volumes, asking its owner for each next
// one (a fresh disk, or the next image file .z02, .z03 ...), and reading goes
// on to the next volume at the end of the current one. It also reports the
// progress of writing a whole archive.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/rtl/streams.h"

enum TAbMediaKind : uint8_t { mkRemovable = 0, mkImageFiles = 1 };

using TAbSpanImageRequest =
    std::function<void(TObject* sender, int32_t imageNumber, AnsiString& imageName, bool& abort)>;
using TAbSpanWriteProgress = std::function<void(uint8_t progress, bool& abort)>;

class TAbSpanStream : public TStream {
public:
  // EAbException "Full Path Required" for a relative name, "Invalid Media"
  // when writing onto a medium of unknown space where the file exists.
  TAbSpanStream(const AnsiString& fileName, uint16_t mode, int64_t threshold, TAbMediaKind mediaKind);
  ~TAbSpanStream() override;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override;
  void SetSize(int64_t newSize) override;

  bool CheckMedia(const AnsiString& name);
  int64_t FreeRoom();
  // The next image's name: the file-name part's extension becomes .z02 ...
  // .z100 by the volumes changed so far; empty beyond that.
  AnsiString NextImageName() const;
  int32_t ImageNumberFor(int32_t n) const { return mediaKind_ == mkRemovable ? n + 1 : n; }

  bool Writing() const { return writing_; }
  TAbMediaKind MediaKind() const { return mediaKind_; }
  int64_t Threshold() const { return threshold_; }
  int32_t SpanNumber() const { return spanNumber_; }
  // The number of the volume open for reading, when it is not the first.
  void SetSpanNumber(int32_t value) { spanNumber_ = value; }
  const AnsiString& ImageName() const { return imageName_; }
  bool IgnoreSpanning() const { return ignoreSpanning_; }
  void SetIgnoreSpanning(bool value) { ignoreSpanning_ = value; }
  bool ImageRequested() const { return imageRequested_; }
  void SetArchiveTotalSize(int64_t value) { archiveTotalSize_ = value; }
  int64_t ArchiveTotalWritten() const { return archiveTotalWritten_; }

  TAbSpanImageRequest OnRequestImage;
  TAbSpanWriteProgress OnWriteProgress;

private:
  void NewVolume();
  void OpenNextReadVolume();
  int64_t WriteToVolume(const uint8_t* data, int64_t count);
  // Takes the open read volume's size, with the file at position.
  void StartReading(int64_t position);

  bool writing_;
  TAbMediaKind mediaKind_;
  int64_t threshold_;
  int32_t spanNumber_ = 0;
  AnsiString imageName_;
  bool cancelled_ = false;
  int64_t bytesWritten_ = 0;
  std::unique_ptr<TFileStream> file_;
  uint16_t fileMode_;
  bool ignoreSpanning_ = false;
  bool imageRequested_ = false;
  int64_t archiveTotalWritten_ = 0;
  int64_t archiveTotalSize_ = 0;
  // Reading keeps its own position and the volume's size, so that a member
  // costs no system call to seek, and reads ahead in one buffer: bytes
  // [bufferStart_, bufferStart_ + bufferLength_) of the volume.
  int64_t position_ = 0;
  int64_t filePosition_ = 0;
  int64_t volumeSize_ = 0;
  std::unique_ptr<uint8_t[]> readBuffer_;
  int64_t bufferStart_ = 0;
  int64_t bufferLength_ = 0;
};
