// The virtual-memory stream: paging to its swap file and back, far offsets,
// the page budget, and the edges of reading, seeking and resizing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "archive/ab_exceptions.h"
#include "archive/ab_vmstream.h"
#include "platform/rtl/files.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int64_t kMiB = 1024 * 1024;

std::vector<uint8_t> RandomBytes(size_t count, unsigned seed) {
  std::mt19937 gen(seed);
  std::vector<uint8_t> bytes(count);
  for (auto& b : bytes) b = static_cast<uint8_t>(gen());
  return bytes;
}

}  // namespace

TEST(AbVirtualMemoryStream, TenMiBRoundTripThroughTheSwapFile) {
  TempFolder dir;
  const std::vector<uint8_t> data = RandomBytes(10 * kMiB, 1);
  AnsiString swap;
  {
    TAbVirtualMemoryStream stream;
    stream.SetSwapFileDirectory(dir.name());
    // Uneven pieces so writes straddle page borders.
    for (size_t at = 0; at < data.size(); at += 10007)
      stream.WriteBuffer(data.data() + at, std::min<size_t>(10007, data.size() - at));
    EXPECT_EQ(stream.Size(), 10 * kMiB);
    EXPECT_EQ(stream.PagesInMemory(), 2048);
    swap = stream.SwapFileName();
    EXPECT_EQ(swap.rfind(dir / "VMS", 0), 0u) << swap;
    EXPECT_TRUE(FileExists(swap));

    std::vector<uint8_t> back(data.size());
    stream.SetPosition(0);
    EXPECT_EQ(stream.Read(back.data(), static_cast<int64_t>(back.size())), 10 * kMiB);
    EXPECT_TRUE(back == data);

    // Random access in both directions.
    std::mt19937 gen(2);
    for (int i = 0; i < 200; ++i) {
      int64_t at = gen() % (data.size() - 5000);
      uint8_t piece[5000];
      stream.SetPosition(at);
      stream.ReadBuffer(piece, sizeof piece);
      ASSERT_EQ(std::memcmp(piece, data.data() + at, sizeof piece), 0) << at;
    }
  }
  EXPECT_FALSE(FileExists(swap));
}

// Pages are written back in runs and may change again after that: writes
// and rewrites anywhere over a small budget must read back as a plain byte
// array holds them.
TEST(AbVirtualMemoryStream, MixedWritesOverASmallBudgetMatchAPlainArray) {
  TempFolder dir;
  for (uint32_t budgetPages : {1u, 3u, 16u}) {
    SCOPED_TRACE(budgetPages);
    TAbVirtualMemoryStream stream;
    stream.SetSwapFileDirectory(dir.name());
    stream.SetMemorySize(budgetPages * 4096);
    std::vector<uint8_t> model;
    std::mt19937 gen(budgetPages);
    for (int i = 0; i < 400; ++i) {
      const int64_t at = gen() % (64 * 4096);
      const std::vector<uint8_t> piece = RandomBytes(1 + gen() % (3 * 4096), i);
      stream.SetPosition(at);
      stream.WriteBuffer(piece.data(), static_cast<int64_t>(piece.size()));
      model.resize(std::max(model.size(), at + piece.size()));
      std::copy(piece.begin(), piece.end(), model.begin() + at);
    }
    std::vector<uint8_t> back(model.size());
    stream.SetPosition(0);
    ASSERT_EQ(stream.Read(back.data(), static_cast<int64_t>(back.size())), static_cast<int64_t>(model.size()));
    EXPECT_TRUE(back == model);
  }
}

TEST(AbVirtualMemoryStream, FarOffsetsWithOnePage) {
  TempFolder dir;
  constexpr int64_t kFar = 3LL * 1024 * kMiB;  // 3 GiB
  const std::vector<uint8_t> far = RandomBytes(10000, 3), near = RandomBytes(10000, 4);
  TAbVirtualMemoryStream stream;
  stream.SetSwapFileDirectory(dir.name());
  stream.SetMemorySize(0);
  EXPECT_EQ(stream.MemorySize(), 4096u);
  stream.SetPosition(kFar);
  stream.WriteBuffer(far.data(), static_cast<int64_t>(far.size()));
  stream.SetPosition(0);
  stream.WriteBuffer(near.data(), static_cast<int64_t>(near.size()));
  EXPECT_EQ(stream.Size(), kFar + 10000);

  std::vector<uint8_t> back(10000);
  stream.SetPosition(kFar);
  stream.ReadBuffer(back.data(), 10000);
  EXPECT_TRUE(back == far);
  stream.SetPosition(0);
  stream.ReadBuffer(back.data(), 10000);
  EXPECT_TRUE(back == near);
  uint8_t gap[100] = {1};
  stream.SetPosition(kFar - 100);
  stream.ReadBuffer(gap, 100);
  EXPECT_EQ(std::count(gap, gap + 100, 0), 100);

  struct stat st;
  ASSERT_EQ(stat(stream.SwapFileName().c_str(), &st), 0);
  EXPECT_GT(st.st_size, kFar);
  EXPECT_LT(st.st_blocks * 512, 1 * kMiB);  // sparse: only the written pages take room
}

TEST(AbVirtualMemoryStream, ReadSeekAndSizeEdges) {
  TAbVirtualMemoryStream stream;
  const std::vector<uint8_t> data = RandomBytes(3 * 4096 + 100, 5);
  stream.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
  uint8_t buffer[200];
  EXPECT_EQ(stream.Read(buffer, 10), 0);  // at the end
  stream.SetPosition(stream.Size() - 10);
  EXPECT_EQ(stream.Read(buffer, 100), 10);
  EXPECT_EQ(std::memcmp(buffer, data.data() + data.size() - 10, 10), 0);
  stream.SetPosition(stream.Size() + 50);
  EXPECT_EQ(stream.Read(buffer, 100), 0);
  EXPECT_EQ(stream.Seek(0, soEnd), stream.Size());
  EXPECT_EQ(stream.Seek(-5, soCurrent), stream.Size() - 5);
  try {
    stream.SeekFrom(5, 7);
    FAIL() << "no exception";
  } catch (const EAbVMSInvalidOrigin& e) {
    EXPECT_EQ(e.Message(), "VMS: invalid origin 7, should be 0, 1, 2");
  }

  stream.SetPosition(-4096);
  EXPECT_EQ(stream.Read(buffer, 100), 0);
  EXPECT_THROW(stream.Write(buffer, 100), EWriteError);
  EXPECT_EQ(stream.Size(), static_cast<int64_t>(data.size()));

  stream.SetPosition(100);
  stream.SetSize(0);
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_EQ(stream.Position(), 0);
  EXPECT_EQ(stream.PagesInMemory(), 1);
  EXPECT_TRUE(stream.SwapFileName().empty());  // never over budget, never swapped
}

TEST(AbVirtualMemoryStream, BudgetIsWholePagesUpTo8MiB) {
  const struct {
    uint32_t asked, granted;
  } cases[] = {{0, 4096}, {1, 4096}, {4097, 8192}, {100 * kMiB, 8 * kMiB}};
  for (const auto& c : cases) {
    TAbVirtualMemoryStream stream;
    stream.SetMemorySize(c.asked);
    EXPECT_EQ(stream.MemorySize(), c.granted) << c.asked;
  }
}

TEST(AbVirtualMemoryStream, ShrinkingTheBudgetKeepsTheData) {
  TempFolder dir;
  const std::vector<uint8_t> data = RandomBytes(64 * 4096, 6);
  TAbVirtualMemoryStream stream;
  stream.SetSwapFileDirectory(dir.name());
  stream.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
  EXPECT_EQ(stream.PagesInMemory(), 64);
  stream.SetMemorySize(2 * 4096);
  EXPECT_EQ(stream.PagesInMemory(), 2);
  std::vector<uint8_t> back(data.size());
  stream.SetPosition(0);
  stream.ReadBuffer(back.data(), static_cast<int64_t>(back.size()));
  EXPECT_TRUE(back == data);
}

TEST(AbVirtualMemoryStream, SwapFileThatCannotBeMadeFailsTheWriteCleanly) {
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  setenv("TMPDIR", "/nonexistent/folder", 1);
  TAbVirtualMemoryStream stream;
  stream.SetMemorySize(4096);
  const std::vector<uint8_t> data = RandomBytes(4096, 7);
  stream.WriteBuffer(data.data(), 4096);
  try {
    stream.WriteBuffer(data.data(), 4096);  // the first page must go out now
    ADD_FAILURE() << "no exception";
  } catch (const EAbVMSErrorOpenSwap& e) {
    EXPECT_EQ(e.ErrorCode, 102);
    EXPECT_EQ(std::string(e.Message()).rfind("VMS: Cannot open swap file /nonexistent/folder/VMS", 0), 0u)
        << e.Message();
  }
  if (old) setenv("TMPDIR", saved.c_str(), 1);
  else unsetenv("TMPDIR");
  EXPECT_EQ(stream.Position(), 4096);
  EXPECT_EQ(stream.Size(), 4096);
  std::vector<uint8_t> back(4096);
  stream.SetPosition(0);
  stream.ReadBuffer(back.data(), 4096);
  EXPECT_TRUE(back == data);
}
