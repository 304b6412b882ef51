// The stream the cache thread hands the writer: the header, then every file
// from a sector boundary with zeros after its end, then the post-gap; a full
// queue holds the producer back until the writer takes a chunk.

#include <thread>

#include "cdwriter/cache_thread.h"
#include "tests/cdwriter/burn_fixture.h"

namespace {

constexpr int kSmallCache = 2097152;

// Takes chunks as the writer does until the end.
std::string Drain(TCacheThread& cache, TZIDIzizid& burner, int chunk_size) {
  std::string stream;
  std::vector<uint8_t> chunk(chunk_size);
  for (;;) {
    burner.Lock();
    const int n = cache.GetChunk(chunk.data());
    burner.Unlock();
    if (n == 0) return stream;
    if (n < 0) std::this_thread::yield();
    else stream.append(reinterpret_cast<const char*>(chunk.data()), n);
  }
}

class CacheStreamTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetVirtualClock(true);
    burner_ = NewBurner(log_);
  }
  void TearDown() override { SetVirtualClock(false); }

  TempFolder dir_;
  std::vector<DebugLine> log_;
  BurnerPtr burner_;
};

TEST_F(CacheStreamTest, FilesStartOnSectorsAfterTheHeader) {
  const std::pair<const char*, std::string> files[] = {
      {"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", std::string(5000, 'c')}};
  for (const auto& [name, content] : files)
    ASSERT_EQ(burner_->InsertFile("\\", Utf8ToAnsi(dir_.Write(name, content)), false), 1);
  LayOut(*burner_);
  const std::string expected_path = dir_ / "expected.iso";
  WriteImage(*burner_, expected_path);
  const std::string expected = ReadAll(expected_path);
  TCacheThread cache(kSmallCache, *burner_, kCdChunkBytes, false, "", 0, burner_->Layout().TrackSize * kSectorBytes,
                     *burner_->ImageHeader());
  const std::string stream = Drain(cache, *burner_, kCdChunkBytes);
  EXPECT_EQ(stream, expected);
  // a.txt and b.txt of one byte each take a sector each.
  const uint32_t first = burner_->Layout().FirstFileLocation;
  EXPECT_EQ(stream.substr(first * kSectorBytes, 2), std::string("a\0", 2));
  EXPECT_EQ(stream[(first + 1) * kSectorBytes], 'b');
  EXPECT_EQ(stream.substr((first + 2) * kSectorBytes, 3), "ccc");
  EXPECT_EQ(cache.StatusText(), "");
}

TEST_F(CacheStreamTest, ShortTrackGetsAPostGapOfZeros) {
  TMemoryStream header;
  const std::string sectors(100 * kSectorBytes, 'h');
  header.Write(sectors.data(), static_cast<int64_t>(sectors.size()));
  TCacheThread cache(kSmallCache, *burner_, kDvdChunkBytes, true, "", 0, 100 * kSectorBytes, header);
  const std::string stream = Drain(cache, *burner_, kDvdChunkBytes);
  ASSERT_EQ(stream.size(), 300u * kSectorBytes);
  EXPECT_EQ(stream.substr(0, sectors.size()), sectors);
  EXPECT_EQ(stream.substr(sectors.size()), std::string(200 * kSectorBytes, '\0'));
  EXPECT_EQ(header.Size(), 0) << "the header is let go once read";
}

TEST_F(CacheStreamTest, FullQueueHoldsTheProducerBack) {
  constexpr int kChunks = 40;
  TMemoryStream header;
  const std::string bytes(kChunks * kDvdChunkBytes, 'q');
  header.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
  TCacheThread cache(kSmallCache, *burner_, kDvdChunkBytes, false, "", 0, static_cast<int64_t>(bytes.size()), header);
  ASSERT_EQ(cache.QueueLimit(), 32);
  while (!cache.Ready()) std::this_thread::yield();
  EXPECT_EQ(cache.QueuedChunks(), 31);
  for (int i = 0; i < 1000; ++i) std::this_thread::yield();
  EXPECT_EQ(cache.QueuedChunks(), 31);
  EXPECT_EQ(cache.Priority(), tpIdle);
  std::vector<uint8_t> chunk(kDvdChunkBytes);
  burner_->Lock();
  EXPECT_EQ(cache.GetChunk(chunk.data()), kDvdChunkBytes);
  burner_->Unlock();
  while (cache.QueuedChunks() < 31) std::this_thread::yield();  // it goes on
  EXPECT_EQ(Drain(cache, *burner_, kDvdChunkBytes).size(), (kChunks - 1) * size_t{kDvdChunkBytes});
}

TEST_F(BurnTest, EmptyTreeBurnsTheHeader) {
  Insert(Disc(2));
  EXPECT_EQ(Burn().error, "");
  const ShellResult info = Peer("isoinfo", "-d -i " + Quote(disc_file_));
  EXPECT_EQ(info.status, 0) << info.output;
  EXPECT_NE(info.output.find("Volume size is: 150"), std::string::npos) << info.output;
  const ShellResult list = Peer("xorriso", "-indev " + Quote(disc_file_) + " -find / -type f");
  EXPECT_EQ(list.status, 0) << list.output;
}

}  // namespace
