// Corpora for the engine tests and the zlib peer.
#include "df_test_support.h"

#include <zlib.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

#include <unistd.h>

const TBytes& Corpus(const std::string& kind, size_t size) {
  static std::map<std::pair<std::string, size_t>, TBytes> cache;
  auto key = std::make_pair(kind, size);
  auto it = cache.find(key);
  if (it != cache.end()) return it->second;
  // Test processes run in parallel, so each writes its own file.
  std::string path = std::string(VX_BINARY_DIR) + "/deflate_corpus_" + kind + "_" + std::to_string(size) + "_" +
                     std::to_string(getpid());
  std::string cmd = std::string("python3 ") + VX_SOURCE_DIR + "/bench/make_corpus.py " + kind + " " +
                    std::to_string(size) + " " + path;
  if (std::system(cmd.c_str()) != 0) throw std::runtime_error("corpus generation failed: " + cmd);
  std::ifstream f(path, std::ios::binary);
  TBytes bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  std::remove(path.c_str());
  return cache[key] = std::move(bytes);
}

TBytes TextBytes(const std::string& text) { return TBytes(text.begin(), text.end()); }

TBytes DeflateBytes(const TBytes& data, TAbDeflateHelper* helper, uint32_t* checksum) {
  TBytesStream src(data), dst;
  uint32_t c = Deflate(&src, &dst, helper);
  if (checksum != nullptr) *checksum = c;
  return dst.Bytes();
}

TBytes InflateBytes(const TBytes& data, TAbDeflateHelper* helper, uint32_t* checksum) {
  TBytesStream src(data), dst;
  uint32_t c = Inflate(&src, &dst, helper);
  if (checksum != nullptr) *checksum = c;
  return dst.Bytes();
}

TBytes ZlibInflateRaw(const TBytes& data) {
  z_stream z{};
  if (inflateInit2(&z, -15) != Z_OK) throw std::runtime_error("inflateInit2");
  TBytes out;
  uint8_t chunk[65536];
  z.next_in = const_cast<Bytef*>(data.data());
  z.avail_in = static_cast<uInt>(data.size());
  int rc;
  do {
    z.next_out = chunk;
    z.avail_out = sizeof chunk;
    rc = inflate(&z, Z_NO_FLUSH);
    out.insert(out.end(), chunk, chunk + (sizeof chunk - z.avail_out));
  } while (rc == Z_OK);
  inflateEnd(&z);
  if (rc != Z_STREAM_END) throw std::runtime_error("zlib rejects the data: " + std::to_string(rc));
  return out;
}

TBytes ZlibDeflateRaw(const TBytes& data, int level, int strategy) {
  z_stream z{};
  if (deflateInit2(&z, level, Z_DEFLATED, -15, 8, strategy) != Z_OK) throw std::runtime_error("deflateInit2");
  TBytes out(deflateBound(&z, data.size()));
  z.next_in = const_cast<Bytef*>(data.data());
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  int rc = deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  if (rc != Z_STREAM_END) throw std::runtime_error("zlib deflate failed");
  return out;
}

uint32_t ZlibCrc32(const TBytes& data) {
  return static_cast<uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
}
