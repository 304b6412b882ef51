// The encoder's bit output; short writes of the destination end the run.
#include "archive/deflate/df_bit_writer.h"

#include "archive/deflate/df_exceptions.h"

TAbDfOutBitStream::TAbDfOutBitStream(TStream* dest) : dest_(dest), buffer_(kBufferSize + 8) {
  detail::DfAssert(dest != nullptr, "TAbDfOutBitStream.Create: Cannot create a bit stream wrapping a nil stream");
}

void TAbDfOutBitStream::AlignToByte() {
  int pad = (8 - (accBits_ & 7)) & 7;
  if (pad > 0) WriteBits(0, pad);
}

void TAbDfOutBitStream::FlushWholeBytes() {
  while (accBits_ >= 8) {
    buffer_[fill_++] = static_cast<uint8_t>(acc_);
    acc_ >>= 8;
    accBits_ -= 8;
  }
}

void TAbDfOutBitStream::WriteOut(const void* data, size_t count) {
  if (count == 0) return;
  if (dest_->Write(data, static_cast<int64_t>(count)) != static_cast<int64_t>(count))
    throw EAbInternalDeflateError("could not write to the output stream [TAbDfInBitStream.obsEmptyBuffer]");
}

void TAbDfOutBitStream::EmptyBuffer() {
  WriteOut(buffer_.data(), fill_);
  fill_ = 0;
}

void TAbDfOutBitStream::WriteBuffer(const void* buffer, size_t count) {
  detail::DfAssert((accBits_ & 7) == 0, "TAbDfOutBitStream.WriteBuffer: must be byte aligned");
  FlushWholeBytes();
  EmptyBuffer();
  WriteOut(buffer, count);
}

void TAbDfOutBitStream::Finish() {
  AlignToByte();
  FlushWholeBytes();
  EmptyBuffer();
}
