// Shared helpers of the compression engine tests: corpora, and the zlib peer
// used to check that our output is standard raw Deflate data.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/deflate/deflate.h"
#include "platform/rtl/streams.h"

using TBytes = std::vector<uint8_t>;

// A memory stream that starts with the given bytes, positioned at its start.
class TBytesStream : public TMemoryStream {
public:
  TBytesStream() = default;
  explicit TBytesStream(const TBytes& bytes) {
    Write(bytes.data(), static_cast<int64_t>(bytes.size()));
    SetPosition(0);
  }
  TBytes Bytes() {
    const auto* p = static_cast<const uint8_t*>(Memory());
    return TBytes(p, p + Size());
  }
};

// Hands out a few bytes per read, as pipes and network streams do.
class TTrickleStream : public TBytesStream {
public:
  using TBytesStream::TBytesStream;
  int64_t Read(void* buffer, int64_t count) override {
    return TBytesStream::Read(buffer, std::min<int64_t>(count, 1 + (++reads_ % 7)));
  }

private:
  int reads_ = 0;
};

// A deterministic corpus from bench/make_corpus.py ("sql", "libs", "random"), cached.
const TBytes& Corpus(const std::string& kind, size_t size);
TBytes TextBytes(const std::string& text);

// Our encoder and decoder over memory.
TBytes DeflateBytes(const TBytes& data, TAbDeflateHelper* helper, uint32_t* checksum = nullptr);
TBytes InflateBytes(const TBytes& data, TAbDeflateHelper* helper = nullptr, uint32_t* checksum = nullptr);

// The zlib peer, raw Deflate (no header).
TBytes ZlibInflateRaw(const TBytes& data);
TBytes ZlibDeflateRaw(const TBytes& data, int level, int strategy);
uint32_t ZlibCrc32(const TBytes& data);
