// TAbLogger: the engine's optional log file, buffered in 4 KB and write-only.
#include <algorithm>
#include <cstring>

#include "archive/deflate/df_base.h"

TAbLogger::TAbLogger(const AnsiString& fileName) : buffer_(kBufferSize) {
  detail::DfAssert(!fileName.empty(), "TAbLogger.Create: a filename must be provided for the logger");
  file_ = std::make_unique<TFileStream>(fileName, fmCreate);
}

TAbLogger::~TAbLogger() {
  if (fill_ == 0) return;
  try {
    Flush();
  } catch (...) {
    // A log that cannot be written is given up silently.
  }
}

bool TAbLogger::Flush() {
  int64_t written = std::max<int64_t>(0, file_->Write(buffer_.data(), static_cast<int64_t>(fill_)));
  size_t done = static_cast<size_t>(written);
  if (done < fill_) {
    std::memmove(buffer_.data(), buffer_.data() + done, fill_ - done);
    fill_ -= done;
    return false;
  }
  fill_ = 0;
  return true;
}

int64_t TAbLogger::Write(const void* buffer, int64_t count) {
  if (fill_ == kBufferSize && !Flush()) return 0;
  const char* p = static_cast<const char*>(buffer);
  int64_t taken = 0;
  while (taken < count) {
    if (fill_ == kBufferSize && !Flush()) break;
    size_t n = std::min<size_t>(kBufferSize - fill_, static_cast<size_t>(count - taken));
    std::memcpy(buffer_.data() + fill_, p + taken, n);
    fill_ += n;
    taken += static_cast<int64_t>(n);
  }
  return taken;
}

void TAbLogger::WriteLine(const AnsiString& text) {
  Write(text.data(), static_cast<int64_t>(text.size()));
  if (lineDelimiter_ == 0) Write("\r\n", 2);
  if (lineDelimiter_ == 1) Write("\n", 1);
}

int64_t TAbLogger::Read(void*, int64_t) {
  detail::DfAssert(false, "TAbLogger.Read: loggers are write-only, no reading allowed");
  return 0;
}

int64_t TAbLogger::Seek(int64_t offset, TSeekOrigin origin) {
  detail::DfAssert(offset == 0 && origin != soBeginning, "TAbLogger.Seek: loggers are write-only, no seeking allowed");
  return file_->Position() + static_cast<int64_t>(fill_);
}
