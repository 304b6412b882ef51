// The encoder: exact bytes for the empty input, round trips through zlib and our
// own decoder over every preset and block-type option, stored blocks for data
// that does not compress, progress, and output sizes measured against zlib.
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <set>

#include "archive/deflate/df_block_writer.h"
#include "df_test_support.h"

namespace {

struct TOptionSet {
  const char* name;
  int32_t lowBits;
};
constexpr TOptionSet kOptionSets[] = {{"best", 7}, {"stored", 1}, {"static", 2}, {"dynamic", 4}};

TAbDeflateHelper PresetHelper(char preset, int32_t lowBits) {
  TAbDeflateHelper h;
  h.SetPreset('0');  // as the item compressor does: '0' first, then the wanted letter
  h.SetPreset(preset);
  h.SetOptions((h.Options() & ~7) | lowBits);
  return h;
}

// Bytes in which no 3-byte string occurs twice, so every position is a literal.
TBytes UniqueTriples(size_t size) {
  std::mt19937 rng(11);
  std::vector<bool> seen(1 << 24);
  TBytes out = {1, 2};
  while (out.size() < size) {
    uint32_t prefix = (out[out.size() - 2] << 16) | (out[out.size() - 1] << 8);
    uint32_t b;
    do b = rng() & 0xFF; while (seen[prefix | b]);
    seen[prefix | b] = true;
    out.push_back(static_cast<uint8_t>(b));
  }
  return out;
}

// The final flags of the blocks of data made of stored blocks only; empty when
// any other block type occurs.
std::vector<bool> StoredBlockFinals(const TBytes& data) {
  std::vector<bool> finals;
  size_t pos = 0;
  while (pos + 5 <= data.size()) {
    if ((data[pos] >> 1 & 3) != 0) return {};
    finals.push_back(data[pos] & 1);
    size_t len = data[pos + 1] | data[pos + 2] << 8;
    pos += 5 + len;
    if (finals.back()) break;
  }
  return pos == data.size() ? finals : std::vector<bool>{};
}

struct TInput {
  const char* name;
  TBytes (*make)();
};

const TInput kInputs[] = {
    {"empty", [] { return TBytes(); }},
    {"one", [] { return TextBytes("a"); }},
    {"two", [] { return TextBytes("ab"); }},
    {"three", [] { return TextBytes("abc"); }},
    {"run258", [] { return TBytes(258, 'a'); }},
    {"text40000", [] { return TBytes(Corpus("sql", 40000)); }},
    {"random1M", [] { return TBytes(Corpus("random", 1 << 20)); }},
    {"sql8M", [] { return TBytes(Corpus("sql", 8 << 20)); }},
    {"libs8M", [] { return TBytes(Corpus("libs", 8 << 20)); }},
    {"zeros1M", [] { return TBytes(1 << 20, 0); }},
    // 32,768 literal tokens fill a block; the last two bytes follow it.
    {"fullTokenBuffer", [] { return UniqueTriples(32768 + 2); }},
};

class DeflateRoundTrip : public testing::TestWithParam<std::tuple<int, char>> {};

TEST_P(DeflateRoundTrip, ZlibAndInflateGiveBackTheInputWithItsCrc) {
  const TInput& input = kInputs[std::get<0>(GetParam())];
  char preset = std::get<1>(GetParam());
  TBytes data = input.make();
  uint32_t expectedCrc = ZlibCrc32(data);
  for (const TOptionSet& set : kOptionSets) {
    SCOPED_TRACE(set.name);
    TAbDeflateHelper h = PresetHelper(preset, set.lowBits);
    uint32_t crc = 0;
    TBytes packed = DeflateBytes(data, &h, &crc);
    EXPECT_EQ(crc, expectedCrc);
    EXPECT_EQ(h.UncompressedBytes(), static_cast<int64_t>(data.size()));
    EXPECT_EQ(h.CompressedBytes(), static_cast<int64_t>(packed.size()));
    ASSERT_TRUE(ZlibInflateRaw(packed) == data);
    uint32_t inflatedCrc = 0;
    ASSERT_TRUE(InflateBytes(packed, nullptr, &inflatedCrc) == data);
    EXPECT_EQ(inflatedCrc, expectedCrc);
  }
}

INSTANTIATE_TEST_SUITE_P(InputsByPreset, DeflateRoundTrip,
                         testing::Combine(testing::Range(0, static_cast<int>(std::size(kInputs))),
                                          testing::Values('s', 'f', 'n', 'x')),
                         [](const auto& info) {
                           return std::string(kInputs[std::get<0>(info.param)].name) + "_" +
                                  std::get<1>(info.param);
                         });

TEST(Deflate, EmptyInputGivesOneFinalBlockOfTheChosenKind) {
  struct {
    int32_t options;
    TBytes expected;
  } cases[] = {
      {15, {0x03, 0x00}},                    // static block: end-of-block code only
      {1, {0x01, 0x00, 0x00, 0xFF, 0xFF}},  // stored block of length 0
      // dynamic block, HLIT 257, HDIST 1: end of block and distance 0 with length 1
      {4, {0x05, 0xC0, 0x81, 0x00, 0x00, 0x00, 0x00, 0x00, 0x90, 0xFF, 0x6B, 0x00}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    TAbDeflateHelper h;
    h.SetOptions(c.options);
    uint32_t crc = 1;
    TBytes packed = DeflateBytes({}, &h, &crc);
    EXPECT_EQ(packed, c.expected);
    EXPECT_EQ(crc, 0u);
    EXPECT_TRUE(ZlibInflateRaw(packed).empty());
  }
}

TEST(Deflate, IncompressibleInputGivesStoredBlocksOnlyTheLastFinal) {
  for (char preset : {'s', 'f', 'n', 'x'}) {
    SCOPED_TRACE(preset);
    TAbDeflateHelper h = PresetHelper(preset, 7);
    TBytes packed = DeflateBytes(Corpus("random", 1 << 20), &h);
    std::vector<bool> finals = StoredBlockFinals(packed);
    ASSERT_GE(finals.size(), 16u);  // one piece per token block of at most 32,768 bytes
    EXPECT_EQ(std::count(finals.begin(), finals.end(), true), 1);
    EXPECT_TRUE(finals.back());
  }
}

TEST(Deflate, NullHelperUsesTheDefaultsAndOptionsZeroIsRejected) {
  TBytes data = Corpus("sql", 40000);
  TAbDeflateHelper defaults;
  EXPECT_EQ(DeflateBytes(data, nullptr), DeflateBytes(data, &defaults));
  TAbDeflateHelper none;
  none.SetOptions(0);
  EXPECT_THROW(DeflateBytes(data, &none), EDfAssertionFailed);
}

TEST(Deflate, ShortReadsDoNotEndTheInputOnlyAnEmptyReadDoes) {
  TBytes data = Corpus("sql", 100000);
  const TBytes& noise = Corpus("random", 100000);  // re-read for stored blocks
  data.insert(data.end(), noise.begin(), noise.end());
  for (int32_t options : {15, 1}) {
    TTrickleStream src(data);
    TBytesStream dst;
    TAbDeflateHelper h;
    h.SetOptions(options);
    h.SetSourceSize(static_cast<int64_t>(data.size()));
    Deflate(&src, &dst, &h);
    EXPECT_TRUE(ZlibInflateRaw(dst.Bytes()) == data) << options;
  }
}

TEST(Deflate, ProgressRisesTo100OnlyWhenTheSourceSizeIsKnown) {
  TBytes data = Corpus("sql", 300000);
  for (int32_t options : {15, 1}) {
    SCOPED_TRACE(options);
    for (int64_t size : {int64_t{-1}, int64_t{0}}) {
      std::vector<int> reports;
      TAbDeflateHelper h;
      h.SetOptions(options);
      h.SetSourceSize(size);
      h.SetProgressCallback([&](int32_t p) { reports.push_back(p); });
      DeflateBytes(data, &h);
      if (size == 0) {
        EXPECT_TRUE(reports.empty());
        continue;
      }
      ASSERT_FALSE(reports.empty());
      EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
      EXPECT_GE(reports.back(), 99);
      EXPECT_LE(reports.back(), 100);
    }
  }
}

TEST(Deflate, AnAbortFromTheProgressCallbackPassesOut) {
  TAbDeflateHelper h;
  h.SetSourceSize(-1);
  h.SetProgressCallback([](int32_t p) {
    if (p >= 50) throw EAbAbortProgress("abort");
  });
  EXPECT_THROW(DeflateBytes(Corpus("sql", 300000), &h), EAbAbortProgress);
}

// A destination that takes fewer bytes than asked.
class TFullDisk : public TBytesStream {
public:
  int64_t Write(const void* buffer, int64_t count) override {
    return TBytesStream::Write(buffer, std::min<int64_t>(count, 1000 - Position()));
  }
};

TEST(Deflate, AShortWriteBecomesADeflateError) {
  TBytesStream src(Corpus("random", 100000));
  TFullDisk dst;
  try {
    Deflate(&src, &dst, nullptr);
    FAIL() << "no error";
  } catch (const EAbDeflateError& e) {
    EXPECT_EQ(e.Message(),
              "Archive deflate error. (Internal cause: could not write to the output stream "
              "[TAbDfInBitStream.obsEmptyBuffer])");
  }
}

TEST(Deflate, Adler32OptionGivesTheAdlerChecksum) {
  TBytes data = Corpus("sql", 40000);
  TAbDeflateHelper h;
  h.SetOptions(15 | kDfUseAdler32);
  uint32_t sum = 0;
  DeflateBytes(data, &h, &sum);
  EXPECT_EQ(sum, adler32(1, data.data(), static_cast<uInt>(data.size())));
}

TEST(Deflate, Deflate64OutputComesBackThroughDeflate64Inflate) {
  TBytes data(300000, 'z');  // matches far longer than 258 bytes
  const TBytes& sql = Corpus("sql", 200000);
  data.insert(data.end(), sql.begin(), sql.end());
  TAbDeflateHelper h;
  h.SetOptions(15 | kDfUseDeflate64);
  TBytes packed = DeflateBytes(data, &h);
  EXPECT_LT(packed.size(), DeflateBytes(data, nullptr).size());
  EXPECT_TRUE(InflateBytes(packed, &h) == data);
}

TEST(TokenStream, ABlockEndsAtItsTokenLimitAndTheTailStillFitsAfterIt) {
  TAbDfLZStream lz(false);
  for (int i = 1; i < TAbDfLZStream::kBlockTokens; ++i) ASSERT_FALSE(lz.AppendLiteral('a')) << i;
  EXPECT_TRUE(lz.AppendLiteral('a'));
  // What a run appends after the last full check: a waiting match and literals.
  lz.AppendMatch(3, 1);
  lz.AppendLiteral('b');
  lz.AppendLiteral('c');
  TBytesStream packed;
  {
    TAbDfOutBitStream out(&packed);
    TAbDfBlockWriter(out, nullptr, 0).WriteStatic(lz, true);
    out.Finish();
  }
  TBytes expected(TAbDfLZStream::kBlockTokens + 3, 'a');
  expected.push_back('b');
  expected.push_back('c');
  EXPECT_TRUE(InflateBytes(packed.Bytes()) == expected);
}

// The sizes CI holds us to on the SQL corpus, against zlib's raw output.
TEST(Deflate, OutputSizesStayCloseToZlib) {
  const TBytes& sql = Corpus("sql", 8 << 20);
  struct {
    char preset;
    int zlibLevel;
    double factor;
  } gates[] = {{'n', 6, 1.05}, {'x', 9, 1.03}, {'s', 1, 1.06}};
  for (const auto& g : gates) {
    TAbDeflateHelper h = PresetHelper(g.preset, 7);
    size_t ours = DeflateBytes(sql, &h).size();
    size_t zlibs = ZlibDeflateRaw(sql, g.zlibLevel, Z_DEFAULT_STRATEGY).size();
    EXPECT_LE(static_cast<double>(ours), g.factor * static_cast<double>(zlibs))
        << g.preset << ": " << ours << " vs zlib-" << g.zlibLevel << " " << zlibs;
  }
}

}  // namespace

// The encoder's exact output for a fixed corpus, per preset and option set. A
// faster match finder must find the very same matches: archives made before
// and after compare equal byte for byte. A change here is a change of format
// choices, never a speed-up.
TEST(Deflate, OutputBytesForAFixedCorpusAreKept) {
  TBytes corpus(Corpus("sql", 3 << 20));
  const TBytes& libs = Corpus("libs", 2 << 20);
  corpus.insert(corpus.end(), libs.begin(), libs.end());
  const TBytes& random = Corpus("random", 256 << 10);
  corpus.insert(corpus.end(), random.begin(), random.end());
  corpus.insert(corpus.end(), 70000, 0);
  struct {
    char preset;
    int32_t options;  // added to the preset's own
    int32_t window;
    uint64_t hash;
  } cases[] = {
      {'s', 0, 32768, 0x40c7eebd7d230e57u},
      {'f', 0, 32768, 0xee433189cc25a8e4u},
      {'n', 0, 32768, 0x3d696fe0b7518015u},
      {'x', 0, 32768, 0x835a91c51e2fc877u},
      {'2', 0, 32768, 0x88dbbdd49ec8af36u},
      {'n', kDfUseDeflate64, 65536, 0xacb7acdaea942643u},
      {'n', 0, 4096, 0x6483ebdd929e958du},
      {'x', kDfUseAdler32, 32768, 0x916b29a6a0fa695au},
  };
  for (const auto& c : cases) {
    TAbDeflateHelper h = PresetHelper(c.preset, 7);
    h.SetOptions(h.Options() | c.options);
    h.SetSlidingWindowSize(c.window);
    uint32_t checksum = 0;
    const TBytes packed = DeflateBytes(corpus, &h, &checksum);
    uint64_t hash = 0xCBF29CE484222325u ^ checksum;  // FNV-1a over the output
    for (uint8_t b : packed) hash = (hash ^ b) * 0x100000001B3u;
    EXPECT_EQ(hash, c.hash) << c.preset << " options " << c.options << " window " << c.window << " size "
                            << packed.size() << std::hex << " hash 0x" << hash;
  }
}
