// The decoder: other encoders' output at every level, truncated and corrupt
// data (each accepted or rejected as zlib does), the output limit, test-only
// mode, and where the source stands afterwards.
#include <gtest/gtest.h>
#include <libdeflate.h>
#include <zlib.h>

#include "archive/deflate/df_huffman.h"
#include "df_test_support.h"

namespace {

const char kInflateErrorPrefix[] = "Archive inflate error, possibly a corrupted compressed stream. (Internal cause: ";

// Writes hand-made Deflate streams bit by bit.
class TBitWriter {
public:
  // A value, least significant bit first (header fields, extra bits).
  TBitWriter& Bits(uint32_t value, int count) {
    for (int i = 0; i < count; ++i) Push((value >> i) & 1);
    return *this;
  }
  // A Huffman code, most significant bit first.
  TBitWriter& Code(uint32_t code, int length) { return Bits(ReverseBits(code, length), length); }
  TBytes Done() const { return bytes_; }

private:
  void Push(int bit) {
    if (count_ % 8 == 0) bytes_.push_back(0);
    bytes_.back() |= static_cast<uint8_t>(bit << (count_ % 8));
    ++count_;
  }
  TBytes bytes_;
  int count_ = 0;
};

// A dynamic block header whose code-length code gives the eight symbols
// 0, 1, 2, 3, 8, 16, 17, 18 three bits each (codes 0..7 in that order).
TBitWriter DynamicHeader(int hlit, int hdist) {
  TBitWriter w;
  w.Bits(1, 1).Bits(2, 2).Bits(hlit - 257, 5).Bits(hdist - 1, 5).Bits(19 - 4, 4);
  const uint8_t order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
  for (uint8_t sym : order) {
    bool used = sym <= 3 || sym == 8 || sym >= 16;
    w.Bits(used ? 3 : 0, 3);
  }
  return w;
}

int CodeLenCode(int sym) { return sym <= 3 ? sym : sym == 8 ? 4 : sym - 11; }

// Code-length symbols (with their repeat values) after DynamicHeader.
TBitWriter& Lengths(TBitWriter& w, std::initializer_list<std::pair<int, int>> symbols) {
  for (auto [sym, repeat] : symbols) {
    w.Code(CodeLenCode(sym), 3);
    if (sym == 16) w.Bits(repeat, 2);
    if (sym == 17) w.Bits(repeat, 3);
    if (sym == 18) w.Bits(repeat, 7);
  }
  return w;
}

bool ZlibAccepts(const TBytes& data) {
  try {
    ZlibInflateRaw(data);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

std::string InflateError(const TBytes& data) {
  try {
    InflateBytes(data);
  } catch (const EAbInflateError& e) {
    return e.Message();
  }
  return "";
}

TBytes Mixed() {
  TBytes data = Corpus("sql", 200000);
  const TBytes& libs = Corpus("libs", 100000);
  data.insert(data.end(), libs.begin(), libs.end());
  data.insert(data.end(), 70000, 0);
  return data;
}

TEST(Inflate, DecodesZlibAtEveryLevelAndStrategy) {
  TBytes data = Mixed();
  for (int strategy : {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED})
    for (int level = 0; level <= 9; ++level) {
      uint32_t crc = 0;
      EXPECT_TRUE(InflateBytes(ZlibDeflateRaw(data, level, strategy), nullptr, &crc) == data)
          << level << "/" << strategy;
      EXPECT_EQ(crc, ZlibCrc32(data));
    }
}

TEST(Inflate, DecodesLibdeflateAtEveryLevel) {
  TBytes data = Mixed();
  for (int level = 1; level <= 12; ++level) {
    libdeflate_compressor* c = libdeflate_alloc_compressor(level);
    TBytes packed(libdeflate_deflate_compress_bound(c, data.size()));
    packed.resize(libdeflate_deflate_compress(c, data.data(), data.size(), packed.data(), packed.size()));
    libdeflate_free_compressor(c);
    EXPECT_TRUE(InflateBytes(packed) == data) << level;
  }
}

TEST(Inflate, TruncatedDataIsAnInflateErrorNamingTheExhaustedRead) {
  TBytes data = Corpus("sql", 100000);
  for (int level : {0, 1, 6}) {
    TBytes packed = ZlibDeflateRaw(data, level, level == 1 ? Z_FIXED : Z_DEFAULT_STRATEGY);
    for (size_t cut : {size_t{0}, size_t{1}, size_t{3}, packed.size() / 2, packed.size() - 1}) {
      TBytes part(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(cut));
      std::string message = InflateError(part);
      EXPECT_EQ(message.rfind(std::string(kInflateErrorPrefix) + "no more compressed data in stream [", 0), 0u)
          << level << " cut " << cut << ": " << message;
    }
  }
}

TEST(Inflate, CorruptStreamsAreRejectedAndOddValidOnesAcceptedAsByZlib) {
  TBitWriter bad3;
  bad3.Bits(1, 1).Bits(3, 2).Bits(0, 13);
  TBitWriter badStored;
  badStored.Bits(1, 1).Bits(0, 2).Bits(0, 5).Bits(5, 16).Bits(5, 16);
  // Static block: length 3 at distance 1 before any output.
  TBitWriter farBack;
  farBack.Bits(1, 1).Bits(1, 2).Code(1, 7).Code(0, 5).Code(0, 7);
  TBitWriter overSubscribedCodeLen;
  overSubscribedCodeLen.Bits(1, 1).Bits(2, 2).Bits(0, 5).Bits(0, 5).Bits(15, 4);
  for (int i = 0; i < 19; ++i) overSubscribedCodeLen.Bits(1, 3);
  overSubscribedCodeLen.Bits(0, 32);
  TBitWriter overSubscribed = DynamicHeader(257, 1);  // three codes of length 1
  Lengths(overSubscribed, {{1, 0}, {1, 0}, {1, 0}, {18, 127}, {18, 104}, {1, 0}, {1, 0}}).Bits(0, 16);
  TBitWriter repeatFirst = DynamicHeader(257, 1);
  Lengths(repeatFirst, {{16, 0}, {18, 127}, {18, 104}, {1, 0}, {1, 0}}).Bits(0, 16);
  TBitWriter runPast = DynamicHeader(257, 1);  // 276 lengths for 258 codes
  Lengths(runPast, {{18, 127}, {18, 127}}).Bits(0, 16);
  TBitWriter tooManyLit = DynamicHeader(287, 1);
  tooManyLit.Bits(0, 32);
  TBitWriter tooManyDist = DynamicHeader(257, 31);
  tooManyDist.Bits(0, 32);
  TBitWriter incomplete = DynamicHeader(257, 1);  // 'A' and end of block with two bits each
  Lengths(incomplete, {{18, 65 - 11}, {2, 0}, {18, 127}, {18, 190 - 138 - 11}, {2, 0}, {1, 0}})
      .Code(0, 2).Code(1, 2).Bits(0, 8);
  TBitWriter singleLength1 = DynamicHeader(257, 1);  // only the end of block, one bit
  Lengths(singleLength1, {{18, 127}, {18, 118 - 11}, {1, 0}, {1, 0}}).Bits(0, 1);
  TBitWriter singleLength2 = DynamicHeader(257, 1);
  Lengths(singleLength2, {{18, 127}, {18, 118 - 11}, {2, 0}, {1, 0}}).Bits(0, 2);

  struct {
    const char* name;
    TBytes data;
    bool valid;
    const char* cause;  // start of the internal cause when rejected
  } cases[] = {
      {"block type 3", bad3.Done(), false, "starting new block, but invalid block type"},
      {"stored length mismatch", badStored.Done(), false, "invalid stored block"},
      {"distance before the start", farBack.Done(), false, "a distance reaches before the start"},
      {"over-subscribed code-length code", overSubscribedCodeLen.Done(), false, "over-subscribed"},
      {"over-subscribed literal codes", overSubscribed.Done(), false, "over-subscribed"},
      {"repeat as the first length", repeatFirst.Done(), false, "a repeat code without a previous"},
      {"lengths run past the codes", runPast.Done(), false, "code lengths run past"},
      {"287 literal codes", tooManyLit.Done(), false, "count of literal codes"},
      {"31 distance codes", tooManyDist.Done(), false, "count of distance codes"},
      {"incomplete literal codes", incomplete.Done(), false, "incomplete set"},
      {"single code of length 2", singleLength2.Done(), false, "incomplete set"},
      {"single code of length 1", singleLength1.Done(), true, ""},
      {"empty stored block", {0x01, 0x00, 0x00, 0xFF, 0xFF}, true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ZlibAccepts(c.data), c.valid);
    std::string message = InflateError(c.data);
    if (c.valid) {
      EXPECT_EQ(message, "");
      continue;
    }
    EXPECT_EQ(message.rfind(std::string(kInflateErrorPrefix) + c.cause, 0), 0u) << message;
  }
}

TEST(Inflate, LongestMatchAtDistanceOneRepeatsTheLastByte) {
  TBitWriter w;  // static block: 'x', length 258 at distance 1, end of block
  w.Bits(1, 1).Bits(1, 2).Code(0x30 + 'x', 8).Code(0xC0 + 5, 8).Code(0, 5).Code(0, 7);
  EXPECT_EQ(InflateBytes(w.Done()), TBytes(259, 'x'));
}

// The canonical codes of a set of code lengths.
std::vector<uint32_t> CanonicalCodes(const std::vector<uint8_t>& lengths) {
  int count[16] = {};
  for (uint8_t len : lengths) count[len] += len != 0;
  uint32_t next[16] = {}, code = 0;
  for (int len = 1; len < 16; ++len) next[len] = code = (code + count[len - 1]) << 1;
  std::vector<uint32_t> codes(lengths.size());
  for (size_t i = 0; i < lengths.size(); ++i)
    if (lengths[i] != 0) codes[i] = next[lengths[i]]++;
  return codes;
}

// Deflate64's longest length code (15 bits and 16 extra bits) right before its
// farthest distance code (15 bits and 14 extra bits): 60 bits in one token,
// then a 15-bit literal. With input left over, so that the decoder's fast
// path sees it too, and without.
TEST(Inflate, Deflate64TokensOfSixtyBitsAreFollowedCorrectly) {
  std::vector<uint8_t> lit(286, 0), dist(32, 0);
  lit['a'] = 1;
  lit[256] = 2;
  for (int len = 3; len <= 14; ++len) lit['b' + len - 3] = static_cast<uint8_t>(len);  // 'b'..'m'
  lit[285] = lit['n'] = 15;
  dist[0] = 1;
  for (int len = 2; len <= 14; ++len) dist[len - 1] = static_cast<uint8_t>(len);
  dist[30] = dist[31] = 15;
  std::vector<uint32_t> litCode = CanonicalCodes(lit), distCode = CanonicalCodes(dist);

  for (bool padded : {false, true}) {
    SCOPED_TRACE(padded ? "padded" : "unpadded");
    TBitWriter w;
    w.Bits(padded ? 0 : 1, 1).Bits(2, 2).Bits(286 - 257, 5).Bits(32 - 1, 5).Bits(19 - 4, 4);
    const uint8_t order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    for (uint8_t sym : order) w.Bits(sym < 16 ? 4 : 0, 3);  // code lengths 0..15, four bits each
    for (uint8_t len : lit) w.Code(len, 4);
    for (uint8_t len : dist) w.Code(len, 4);
    auto token = [&](int sym, uint32_t extra, int extraBits, int dsym, uint32_t dextra, int dextraBits) {
      w.Code(litCode[sym], lit[sym]).Bits(extra, extraBits);
      w.Code(distCode[dsym], dist[dsym]).Bits(dextra, dextraBits);
    };
    w.Code(litCode['a'], 1);
    token(285, 65535, 16, 0, 0, 0);           // 65,538 bytes at distance 1
    token(285, 2, 16, 31, 16383, 14);         // 5 bytes at distance 65,536
    w.Code(litCode['n'], 15).Code(litCode['b'], 3).Code(litCode[256], 2);
    TBytes expected(65544, 'a');
    expected.push_back('n');
    expected.push_back('b');
    if (padded) {  // a stored block of 64 bytes
      w.Bits(1, 1).Bits(0, 2);
      TBytes data = w.Done();
      for (uint8_t b : {0x40, 0x00, 0xBF, 0xFF}) data.push_back(b);
      data.insert(data.end(), 64, 'z');
      expected.insert(expected.end(), 64, 'z');
      TAbDeflateHelper h;
      h.SetOptions(h.Options() | kDfUseDeflate64);
      EXPECT_TRUE(InflateBytes(data, &h) == expected);
      continue;
    }
    TAbDeflateHelper h;
    h.SetOptions(h.Options() | kDfUseDeflate64);
    EXPECT_TRUE(InflateBytes(w.Done(), &h) == expected);
  }
}

TEST(Inflate, OutputLimitStopsQuietlyAfterTheTokenThatReachesIt) {
  TBytes data = Corpus("sql", 400000);
  TBytes packed = ZlibDeflateRaw(data, 6, Z_DEFAULT_STRATEGY);
  for (int64_t limit : {int64_t{512}, int64_t{1000}, int64_t{100000}}) {
    TAbDeflateHelper h;
    h.SetOutputLimit(limit);
    uint32_t sum = 1;
    TBytes out = InflateBytes(packed, &h, &sum);
    EXPECT_EQ(sum, 0u);
    EXPECT_GE(out.size(), static_cast<size_t>(limit));
    EXPECT_LT(out.size(), static_cast<size_t>(limit) + 258);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), data.begin())) << limit;
  }
}

TEST(Inflate, TestOnlyModeWritesNothingAndCountsTheDecodedBytes) {
  TBytes data = Corpus("sql", 300000);
  TAbDeflateHelper h;
  h.SetOptions(h.Options() | kDfTestOnly);
  uint32_t crc = 0;
  EXPECT_TRUE(InflateBytes(ZlibDeflateRaw(data, 6, Z_DEFAULT_STRATEGY), &h, &crc).empty());
  EXPECT_EQ(crc, ZlibCrc32(data));
  EXPECT_EQ(h.UncompressedBytes(), static_cast<int64_t>(data.size()));
}

TEST(Inflate, SourceIsLeftRightAfterTheCompressedData) {
  const TBytes trailer = TextBytes("TRAILER!");
  for (const TBytes& data : {TBytes(), TextBytes("abc"), Corpus("sql", 70000), Corpus("random", 70000)})
    for (int level : {0, 1, 6}) {
      TBytes packed = ZlibDeflateRaw(data, level, Z_DEFAULT_STRATEGY);
      TBytes withTrailer = packed;
      withTrailer.insert(withTrailer.end(), trailer.begin(), trailer.end());
      TBytesStream src(withTrailer), dst;
      TAbDeflateHelper h;
      Inflate(&src, &dst, &h);
      EXPECT_EQ(src.Position(), static_cast<int64_t>(packed.size())) << data.size() << "/" << level;
      EXPECT_EQ(h.CompressedBytes(), static_cast<int64_t>(packed.size()));
      EXPECT_EQ(h.UncompressedBytes(), static_cast<int64_t>(data.size()));
    }
}

TEST(Inflate, ShortReadsOfTheSourceAreNotTheEndOfTheData) {
  TBytes data = Corpus("sql", 100000);
  for (int level : {0, 6}) {
    TTrickleStream src(ZlibDeflateRaw(data, level, Z_DEFAULT_STRATEGY));
    TBytesStream dst;
    Inflate(&src, &dst, nullptr);
    EXPECT_TRUE(dst.Bytes() == data) << level;
  }
}

TEST(Inflate, BytesDecodedBeforeAnErrorReachTheDestination) {
  TBytes data = Corpus("sql", 200000);
  TBytes packed = ZlibDeflateRaw(data, 6, Z_DEFAULT_STRATEGY);
  packed.resize(packed.size() * 3 / 4);
  TBytesStream src(packed), dst;
  EXPECT_THROW(Inflate(&src, &dst, nullptr), EAbInflateError);
  TBytes got = dst.Bytes();
  EXPECT_GT(got.size(), data.size() / 2);
  EXPECT_TRUE(std::equal(got.begin(), got.end(), data.begin()));
}

TEST(Inflate, Adler32OptionAndProgressAbortEndQuietly) {
  TBytes data = Corpus("sql", 300000);
  TBytes packed = ZlibDeflateRaw(data, 6, Z_DEFAULT_STRATEGY);
  TAbDeflateHelper adler;
  adler.SetOptions(adler.Options() | kDfUseAdler32);
  uint32_t sum = 0;
  InflateBytes(packed, &adler, &sum);
  EXPECT_EQ(sum, adler32(1, data.data(), static_cast<uInt>(data.size())));

  TAbDeflateHelper abort;
  abort.SetSourceSize(-1);
  abort.SetProgressCallback([](int32_t) { throw EAbAbortProgress("stop"); });
  EXPECT_EQ(InflateBytes(packed, &abort, &sum).size(), 0u);
  EXPECT_EQ(sum, 0u);
}

}  // namespace
