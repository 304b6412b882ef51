// Compression speed and size of our encoder presets against zlib and libdeflate,
// and decoding speed of our Inflate against both, memory to memory on one
// thread. Inputs: the generated corpora, plus any files named on the command
// line (a real SQL dump, say). Every compressed output is inflated with zlib and
// compared before it counts; buffers and peer states are made before the timed
// loop, so it times the codecs, not the allocator.
// Counters: bytes_per_second (input MB/s) and ratio (output/input).
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "archive/deflate/deflate.h"

namespace {

using TBytes = std::vector<uint8_t>;

struct TInput {
  std::string name;
  TBytes data;
};

TBytes ReadFile(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return TBytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// A read-only stream over bytes owned elsewhere, so no copy is timed.
class TViewStream : public TStream {
public:
  TViewStream(const uint8_t* data, size_t size) : data_(data), size_(static_cast<int64_t>(size)) {}
  int64_t Read(void* buffer, int64_t count) override {
    int64_t n = std::min(count, size_ - pos_);
    std::memcpy(buffer, data_ + pos_, static_cast<size_t>(n));
    pos_ += n;
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? pos_ : size_;
    return pos_ = base + offset;
  }

private:
  const uint8_t* data_;
  int64_t size_;
  int64_t pos_ = 0;
};

// A write-only stream into a buffer sized beforehand; writing past it fails.
class TFixedSink : public TStream {
public:
  explicit TFixedSink(TBytes& out) : out_(out) {}
  int64_t Read(void*, int64_t) override { return 0; }
  int64_t Write(const void* buffer, int64_t count) override {
    count = std::min<int64_t>(count, static_cast<int64_t>(out_.size() - size_));
    std::memcpy(out_.data() + size_, buffer, static_cast<size_t>(count));
    size_ += static_cast<size_t>(count);
    return count;
  }
  int64_t Seek(int64_t, TSeekOrigin) override { return static_cast<int64_t>(size_); }
  size_t Written() const { return size_; }

private:
  TBytes& out_;
  size_t size_ = 0;
};

// One codec step from in into out (sized beforehand); returns the bytes written.
using TCodec = std::function<size_t(const TBytes& in, TBytes& out)>;
// Makes a codec with its state; called outside the timed loop.
using TCodecMaker = std::function<TCodec()>;

TCodec OursDeflate(char preset) {
  return [preset](const TBytes& in, TBytes& out) {
    TAbDeflateHelper h;
    h.SetPreset('0');
    h.SetPreset(preset);
    TViewStream src(in.data(), in.size());
    TFixedSink dst(out);
    Deflate(&src, &dst, &h);
    return dst.Written();
  };
}

TCodec OursInflate() {
  return [](const TBytes& in, TBytes& out) {
    TViewStream src(in.data(), in.size());
    TFixedSink dst(out);
    Inflate(&src, &dst, nullptr);
    return dst.Written();
  };
}

// zlib's stream state, made once and reset per run.
struct TZlibStream {
  z_stream z{};
  bool deflating;
  TZlibStream(bool deflate, int level) : deflating(deflate) {
    if (deflate) deflateInit2(&z, level, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    else inflateInit2(&z, -15);
  }
  ~TZlibStream() { deflating ? deflateEnd(&z) : inflateEnd(&z); }
  size_t Run(const TBytes& in, TBytes& out) {
    deflating ? deflateReset(&z) : inflateReset(&z);
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    int rc = deflating ? deflate(&z, Z_FINISH) : inflate(&z, Z_FINISH);
    return rc == Z_STREAM_END ? z.total_out : 0;
  }
};

TCodec Zlib(bool deflate, int level, bool withCrc) {
  auto stream = std::make_shared<TZlibStream>(deflate, level);
  return [stream, withCrc](const TBytes& in, TBytes& out) {
    size_t n = stream->Run(in, out);
    if (withCrc) benchmark::DoNotOptimize(crc32(0, out.data(), static_cast<uInt>(n)));
    return n;
  };
}

TCodec LibdeflateDeflate(int level) {
  std::shared_ptr<libdeflate_compressor> c(libdeflate_alloc_compressor(level), libdeflate_free_compressor);
  return [c](const TBytes& in, TBytes& out) {
    return libdeflate_deflate_compress(c.get(), in.data(), in.size(), out.data(), out.size());
  };
}

TCodec LibdeflateInflate(bool withCrc) {
  std::shared_ptr<libdeflate_decompressor> d(libdeflate_alloc_decompressor(), libdeflate_free_decompressor);
  return [d, withCrc](const TBytes& in, TBytes& out) {
    size_t n = 0;
    if (libdeflate_deflate_decompress(d.get(), in.data(), in.size(), out.data(), out.size(), &n) !=
        LIBDEFLATE_SUCCESS)
      return size_t{0};
    if (withCrc) benchmark::DoNotOptimize(libdeflate_crc32(0, out.data(), n));
    return n;
  };
}

size_t CompressBound(size_t size) { return size + size / 100 + 4096; }

bool InflatesTo(const TBytes& packed, size_t packedSize, const TBytes& data) {
  TBytes in(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packedSize));
  TBytes out(data.size() + 1);
  size_t n = Zlib(false, 0, false)(in, out);
  return n == data.size() && std::equal(data.begin(), data.end(), out.begin());
}

void Compress(benchmark::State& state, const TInput* input, const TCodecMaker& make) {
  const TBytes& data = input->data;
  TCodec codec = make();
  TBytes out(CompressBound(data.size()));
  size_t packed = codec(data, out);
  if (!InflatesTo(out, packed, data)) {
    state.SkipWithError("output does not inflate to the input");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(codec(data, out));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
  state.counters["ratio"] = static_cast<double>(packed) / static_cast<double>(data.size());
}

// Decoders of zlib-6 output. Ours always returns the CRC-32 of what it
// decodes; the peers run with and without a CRC-32 over their output, which
// is the same work as a ZIP or gzip reader does.
void Decompress(benchmark::State& state, const TInput* input, const TCodecMaker& make) {
  const TBytes& data = input->data;
  TBytes packed(CompressBound(data.size()));
  packed.resize(Zlib(true, 6, false)(data, packed));
  TCodec codec = make();
  TBytes out(data.size() + 1);
  size_t n = codec(packed, out);
  if (n != data.size() || !std::equal(data.begin(), data.end(), out.begin())) {
    state.SkipWithError("decoded data differs");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(codec(packed, out));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

void Register(const std::string& name, void (*run)(benchmark::State&, const TInput*, const TCodecMaker&),
              const TInput* input, TCodecMaker make) {
  benchmark::RegisterBenchmark(name.c_str(), run, input, std::move(make));
}

void RegisterAll(const std::vector<std::unique_ptr<TInput>>& inputs) {
  for (const auto& input : inputs) {
    const TInput* in = input.get();
    const std::string& k = in->name;
    for (char preset : {'s', 'f', 'n', 'x'})
      Register("deflate/" + k + "/ours-" + preset, Compress, in, [preset] { return OursDeflate(preset); });
    for (int level : {1, 6, 9})
      Register("deflate/" + k + "/zlib-" + std::to_string(level), Compress, in,
               [level] { return Zlib(true, level, false); });
    for (int level : {1, 6, 9, 12})
      Register("deflate/" + k + "/libdeflate-" + std::to_string(level), Compress, in,
               [level] { return LibdeflateDeflate(level); });
    Register("inflate/" + k + "/ours", Decompress, in, [] { return OursInflate(); });
    Register("inflate/" + k + "/zlib+crc32", Decompress, in, [] { return Zlib(false, 0, true); });
    Register("inflate/" + k + "/zlib", Decompress, in, [] { return Zlib(false, 0, false); });
    Register("inflate/" + k + "/libdeflate+crc32", Decompress, in, [] { return LibdeflateInflate(true); });
    Register("inflate/" + k + "/libdeflate", Decompress, in, [] { return LibdeflateInflate(false); });
  }
}

// The corpora, or only the files named after the benchmark's own flags.
std::vector<std::unique_ptr<TInput>> LoadInputs(int argc, char** argv) {
  std::vector<std::unique_ptr<TInput>> inputs;
  for (int i = 1; i < argc; ++i) {
    std::string path = argv[i];
    std::string name = path.substr(path.find_last_of('/') + 1);
    inputs.push_back(std::make_unique<TInput>(TInput{name, ReadFile(path)}));
  }
  if (!inputs.empty()) return inputs;
  for (const char* kind : {"sql", "libs", "random"})
    inputs.push_back(
        std::make_unique<TInput>(TInput{kind, ReadFile(std::string(VX_CORPUS_DIR) + "/" + kind + ".bin")}));
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  auto inputs = LoadInputs(argc, argv);
  RegisterAll(inputs);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
