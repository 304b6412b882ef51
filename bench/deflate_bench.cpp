// Compression speed and size of our encoder presets against zlib and libdeflate,
// and decoding speed of our Inflate against zlib, memory to memory on one thread.
// Every compressed output is inflated with zlib and compared before it counts.
// Counters: bytes_per_second (input MB/s) and ratio (output/input).
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "archive/deflate/deflate.h"

namespace {

using TBytes = std::vector<uint8_t>;

const TBytes& Corpus(const std::string& kind) {
  static std::map<std::string, TBytes> cache;
  auto it = cache.find(kind);
  if (it != cache.end()) return it->second;
  std::ifstream f(std::string(VX_CORPUS_DIR) + "/" + kind + ".bin", std::ios::binary);
  return cache[kind] = TBytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// A read-only stream over bytes owned elsewhere, so no copy is timed.
class TViewStream : public TStream {
public:
  explicit TViewStream(const TBytes& bytes) : bytes_(bytes) {}
  int64_t Read(void* buffer, int64_t count) override {
    int64_t n = std::min<int64_t>(count, static_cast<int64_t>(bytes_.size()) - pos_);
    std::memcpy(buffer, bytes_.data() + pos_, static_cast<size_t>(n));
    pos_ += n;
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    int64_t base = origin == soBeginning ? 0
                   : origin == soCurrent ? pos_ : static_cast<int64_t>(bytes_.size());
    return pos_ = base + offset;
  }

private:
  const TBytes& bytes_;
  int64_t pos_ = 0;
};

// A write-only stream into a buffer that is reused between iterations.
class TSinkStream : public TStream {
public:
  explicit TSinkStream(TBytes& out) : out_(out) { out_.clear(); }
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void* buffer, int64_t count) override {
    const auto* p = static_cast<const uint8_t*>(buffer);
    out_.insert(out_.end(), p, p + count);
    return count;
  }
  int64_t Seek(int64_t, TSeekOrigin) override { return static_cast<int64_t>(out_.size()); }

private:
  TBytes& out_;
};

TBytes ZlibInflate(const TBytes& packed, size_t expected) {
  TBytes out(expected + 1);
  z_stream z{};
  inflateInit2(&z, -15);
  z.next_in = const_cast<Bytef*>(packed.data());
  z.avail_in = static_cast<uInt>(packed.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  int rc = inflate(&z, Z_FINISH);
  out.resize(z.total_out);
  inflateEnd(&z);
  if (rc != Z_STREAM_END) out.clear();
  return out;
}

TBytes ZlibDeflate(const TBytes& data, int level) {
  z_stream z{};
  deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
  TBytes out(deflateBound(&z, data.size()));
  z.next_in = const_cast<Bytef*>(data.data());
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

TBytes OursDeflate(const TBytes& data, char preset) {
  TAbDeflateHelper h;
  h.SetPreset('0');
  h.SetPreset(preset);
  TBytes out;
  out.reserve(data.size() + data.size() / 100 + 1024);
  TViewStream src(data);
  TSinkStream dst(out);
  Deflate(&src, &dst, &h);
  return out;
}

TBytes LibdeflateDeflate(const TBytes& data, int level) {
  libdeflate_compressor* c = libdeflate_alloc_compressor(level);
  TBytes out(libdeflate_deflate_compress_bound(c, data.size()));
  out.resize(libdeflate_deflate_compress(c, data.data(), data.size(), out.data(), out.size()));
  libdeflate_free_compressor(c);
  return out;
}

using TCompressor = std::function<TBytes(const TBytes&)>;

void Compress(benchmark::State& state, const std::string& kind, const TCompressor& compress) {
  const TBytes& data = Corpus(kind);
  TBytes packed = compress(data);
  if (ZlibInflate(packed, data.size()) != data) {
    state.SkipWithError("output does not inflate to the input");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(compress(data));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
  state.counters["ratio"] = static_cast<double>(packed.size()) / static_cast<double>(data.size());
}

// Decoders of zlib-6 output: ours (which always returns the CRC-32 of what it
// decodes), zlib with crc32 over its output (the same work, as a ZIP or gzip
// reader does it) and zlib alone.
enum class TDecoder { ours, zlibCrc, zlibOnly };

void Decompress(benchmark::State& state, const std::string& kind, TDecoder decoder) {
  const TBytes& data = Corpus(kind);
  TBytes packed = ZlibDeflate(data, 6);
  TBytes out;
  out.reserve(data.size() + 1);
  auto run = [&] {
    if (decoder == TDecoder::zlibOnly) return ZlibInflate(packed, data.size());
    if (decoder == TDecoder::zlibCrc) {
      TBytes plain = ZlibInflate(packed, data.size());
      benchmark::DoNotOptimize(crc32(0, plain.data(), static_cast<uInt>(plain.size())));
      return plain;
    }
    TViewStream src(packed);
    TSinkStream dst(out);
    Inflate(&src, &dst, nullptr);
    return out;
  };
  if (run() != data) {
    state.SkipWithError("decoded data differs");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(run());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

void RegisterAll() {
  for (const char* kind : {"sql", "libs", "random"}) {
    std::string k = kind;
    for (char preset : {'s', 'f', 'n', 'x'})
      benchmark::RegisterBenchmark(("deflate/" + k + "/ours-" + preset).c_str(), Compress, k,
                                   TCompressor([preset](const TBytes& d) { return OursDeflate(d, preset); }));
    for (int level : {1, 3, 5, 6, 9})
      benchmark::RegisterBenchmark(("deflate/" + k + "/zlib-" + std::to_string(level)).c_str(), Compress, k,
                                   TCompressor([level](const TBytes& d) { return ZlibDeflate(d, level); }));
    for (int level : {1, 6, 9, 12})
      benchmark::RegisterBenchmark(("deflate/" + k + "/libdeflate-" + std::to_string(level)).c_str(), Compress,
                                   k, TCompressor([level](const TBytes& d) { return LibdeflateDeflate(d, level); }));
    benchmark::RegisterBenchmark(("inflate/" + k + "/ours").c_str(), Decompress, k, TDecoder::ours);
    benchmark::RegisterBenchmark(("inflate/" + k + "/zlib+crc32").c_str(), Decompress, k, TDecoder::zlibCrc);
    benchmark::RegisterBenchmark(("inflate/" + k + "/zlib").c_str(), Decompress, k, TDecoder::zlibOnly);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RegisterAll();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
