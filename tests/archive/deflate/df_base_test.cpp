// The shared base of the engine: checksums, the helper's presets and setters,
// the node pool, length-limited code lengths and the log file.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "archive/deflate/df_huffman.h"
#include "df_test_support.h"

namespace {

TEST(Checksums, KnownValues) {
  TBytes abc = TextBytes("abc");
  uint32_t crc = 0xFFFFFFFF;
  UpdateCrc32(crc, abc.data(), abc.size());
  EXPECT_EQ(~crc, 0x352441C2u);
  uint32_t adler = 1;
  UpdateAdler32(adler, abc.data(), 0);
  EXPECT_EQ(adler, 1u);
  UpdateAdler32(adler, abc.data(), abc.size());
  EXPECT_EQ(adler, 0x024D0127u);
}

TEST(Checksums, LongBuffersMatchZlibInAnyPieces) {
  const TBytes& data = Corpus("libs", 100003);
  uint32_t crc = 0xFFFFFFFF, adler = 1;
  for (size_t pos = 0, step = 1; pos < data.size(); pos += step, step = step * 3 % 9973 + 1) {
    size_t n = std::min(step, data.size() - pos);
    UpdateCrc32(crc, data.data() + pos, n);
    UpdateAdler32(adler, data.data() + pos, n);
  }
  EXPECT_EQ(~crc, ZlibCrc32(data));
  TAbDeflateHelper h;
  h.SetOptions(1 | kDfUseAdler32);
  uint32_t stored = 0;
  DeflateBytes(data, &h, &stored);
  EXPECT_EQ(adler, stored);
}

// The CRC-32 one bit at a time, shared with no code under test.
uint32_t BitwiseCrc32(const uint8_t* p, size_t n) {
  uint32_t c = 0xFFFFFFFF;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

// Long buffers are folded in 16-, 64- and 256-byte blocks with a byte-wise
// tail: lengths on both sides of each block size and unaligned starts.
TEST(Checksums, Crc32OfEveryBlockEdgeAndStart) {
  const TBytes& data = Corpus("libs", 100003);
  const size_t lengths[] = {0,   1,   7,   8,   15,  16,  17,  63,  64,  65,   79,    80,
                            255, 256, 257, 271, 319, 320, 511, 512, 513, 4099, 100003};
  for (size_t start : {0, 1, 3, 8, 13, 31, 64}) {
    for (size_t n : lengths) {
      n = std::min(n, data.size() - start);
      SCOPED_TRACE(testing::Message() << "start " << start << ", length " << n);
      uint32_t crc = 0xFFFFFFFF;
      UpdateCrc32(crc, data.data() + start, n);
      EXPECT_EQ(~crc, BitwiseCrc32(data.data() + start, n));
    }
  }
}

struct TLimits {
  int32_t options, good, chain, lazy;
  char preset;
};

TLimits LimitsOf(const TAbDeflateHelper& h) {
  return {h.Options(), h.GoodMatchLength(), h.ChainLimit(), h.LazyMatchLimit(), h.Preset()};
}

void ExpectLimits(const TAbDeflateHelper& h, TLimits want) {
  TLimits got = LimitsOf(h);
  EXPECT_EQ(got.options, want.options);
  EXPECT_EQ(got.good, want.good);
  EXPECT_EQ(got.chain, want.chain);
  EXPECT_EQ(got.lazy, want.lazy);
  EXPECT_EQ(got.preset, want.preset);
}

TEST(DeflateHelper, PresetsAfterTheStoredPreset) {
  // The item compressor applies '0' first, so 'f' and 's' keep lazy matching off.
  struct {
    char letter;
    TLimits want;
  } cases[] = {
      {'0', {0x01, 8, 32, 16, '0'}},   {'2', {0x0F, 8, 32, 16, '2'}},
      {'f', {0x07, 4, 32, 6, 'f'}},    {'N', {0x0F, 16, 32, 24, 'n'}},
      {'s', {0x07, 4, 4, 4, 's'}},     {'X', {0x0F, 64, 4096, 258, 'x'}},
      {'q', {0x01, 8, 32, 16, '0'}},  // unknown letter: nothing changes
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.letter);
    TAbDeflateHelper h;
    h.SetPreset('0');
    h.SetPreset(c.letter);
    ExpectLimits(h, c.want);
  }
}

TEST(DeflateHelper, SameLetterChangesNothingUntilASetterRan) {
  TAbDeflateHelper h;
  h.SetPreset('N');
  ExpectLimits(h, {0x0F, 8, 32, 16, 'n'});
  h.SetChainLimit(2);
  ExpectLimits(h, {0x0F, 8, 4, 16, '?'});
  h.SetChainLimit(-1);
  EXPECT_EQ(h.ChainLimit(), -1);
  h.SetPreset('n');
  ExpectLimits(h, {0x0F, 16, 32, 24, 'n'});
  h.SetOptions(0x0F);  // unchanged value: the preset stays
  EXPECT_EQ(h.Preset(), 'n');
}

TEST(DeflateHelper, AssignCopiesSettingsButNotTheResults) {
  TAbDeflateHelper a, b;
  a.SetPreset('x');
  a.SetOutputLimit(77);
  a.SetSourceSize(99);
  a.SetCompressedBytes(5);
  a.SetUncompressedBytes(6);
  b.Assign(a);
  ExpectLimits(b, LimitsOf(a));
  EXPECT_EQ(b.OutputLimit(), 77);
  EXPECT_EQ(b.SourceSize(), 99);
  EXPECT_EQ(b.CompressedBytes(), 0);
  EXPECT_EQ(b.UncompressedBytes(), 0);
}

TEST(NodeManager, PagesHoldWholeNodesAndLargeNodesGetAPageEach) {
  struct {
    int32_t requested, nodeSize, perPage, pageSize;
  } cases[] = {{16, 16, 511, 8192}, {1, 4, 2047, 8192}, {9000, 9000, 1, 9004}, {5000, 5000, 1, 5004}};
  for (const auto& c : cases) {
    TAbNodeManager pool(c.requested);
    EXPECT_EQ(pool.NodeSize(), c.nodeSize);
    EXPECT_EQ(pool.NodesPerPage(), c.perPage);
    EXPECT_EQ(pool.PageSize(), c.pageSize);
  }
  TAbNodeManager pool(16);
  std::set<void*> nodes;
  for (int i = 0; i < 2000; ++i) nodes.insert(pool.AllocNode());
  EXPECT_EQ(nodes.size(), 2000u);
}

// Sum of 2^-length over the used codes, scaled by 2^15; a full code gives 2^15.
int KraftSum(const uint8_t* lengths, int count) {
  int sum = 0;
  for (int i = 0; i < count; ++i)
    if (lengths[i] != 0) sum += 1 << (15 - lengths[i]);
  return sum;
}

TEST(CodeLengths, SkewedWeightsAreLimitedAndTheCodeStaysComplete) {
  uint32_t fib[40] = {1, 1};
  for (int i = 2; i < 40; ++i) fib[i] = fib[i - 1] + fib[i - 2];
  for (int maxLen : {7, 15}) {
    uint8_t lengths[40];
    GenerateCodeLengths(maxLen, fib, 40, lengths);
    EXPECT_EQ(*std::max_element(lengths, lengths + 40), maxLen);
    EXPECT_EQ(KraftSum(lengths, 40), 1 << 15);
    EXPECT_LE(lengths[39], lengths[0]);  // heavier symbols never get longer codes
  }
}

TEST(CodeLengths, NoOrOneUsedSymbolGetsALengthOneCode) {
  uint32_t none[5] = {}, one[5] = {0, 0, 0, 9, 0};
  uint8_t lengths[5];
  GenerateCodeLengths(15, none, 5, lengths);
  EXPECT_EQ(TBytes(lengths, lengths + 5), (TBytes{1, 0, 0, 0, 0}));
  GenerateCodeLengths(15, one, 5, lengths);
  EXPECT_EQ(TBytes(lengths, lengths + 5), (TBytes{0, 0, 0, 1, 0}));
  EXPECT_THROW(GenerateCodeLengths(16, one, 5, lengths), EDfAssertionFailed);
  EXPECT_THROW(GenerateCodeLengths(2, one, 5, lengths), EDfAssertionFailed);
}

TEST(Logger, LinesEndInCrLfAndTheFileIsWrittenWhenFreed) {
  std::string path = std::string(VX_BINARY_DIR) + "/deflate_logger_test.log";
  {
    TAbLogger log(path);
    log.WriteLine("first");
    TBytes big(5000, 'x');
    EXPECT_EQ(log.Write(big.data(), static_cast<int64_t>(big.size())), 5000);
    EXPECT_EQ(log.Seek(0, soEnd), 5007);
    EXPECT_THROW(log.Seek(3, soBeginning), EDfAssertionFailed);
  }
  std::ifstream f(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "first\r\n" + std::string(5000, 'x'));
  std::remove(path.c_str());
  EXPECT_THROW(TAbLogger(""), EDfAssertionFailed);
}

TEST(Logger, InflateLogsItsStartAndTheCauseOfAFailure) {
  std::string path = std::string(VX_BINARY_DIR) + "/inflate_logger_test.log";
  TAbDeflateHelper h;
  h.SetLogFileName(path);
  EXPECT_THROW(InflateBytes({0x07}, &h), EAbInflateError);
  std::ifstream f(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text,
            "INFLATING STREAM...\r\nNeed to recompile the app with UseLogging turned on\r\n"
            "Internal exception raised: starting new block, but invalid block type [Inflate]\r\n");
  std::remove(path.c_str());
}

}  // namespace
