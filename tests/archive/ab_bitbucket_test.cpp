// The bit bucket keeps the tail of everything written and lets it be read back.
#include <gtest/gtest.h>

#include <numeric>

#include "archive/ab_bitbucket.h"
#include "archive/ab_exceptions.h"

class BitBucket : public ::testing::Test {
protected:
  void SetUp() override {
    data_.resize(100000);
    for (size_t i = 0; i < data_.size(); ++i) data_[i] = static_cast<uint8_t>(i * 7 + i / 251);
    for (size_t at = 0; at < data_.size(); at += 10000) EXPECT_EQ(bucket_.Write(data_.data() + at, 10000), 10000);
  }

  std::vector<uint8_t> data_;
  TAbBitBucketStream bucket_{1024};  // not a window size: 32768 + 1024
};

TEST_F(BitBucket, KeepsTheTail) {
  EXPECT_EQ(bucket_.Capacity(), 33792);
  EXPECT_EQ(bucket_.Size(), 100000);
  EXPECT_EQ(bucket_.Seek(99000, soBeginning), 99000);
  std::vector<uint8_t> back(1000);
  EXPECT_EQ(bucket_.Read(back.data(), 1000), 1000);
  EXPECT_TRUE(std::equal(back.begin(), back.end(), data_.end() - 1000));
  EXPECT_EQ(bucket_.Position(), 100000);

  // The oldest byte still held, across the wrap of the ring.
  bucket_.Seek(100000 - 33792 + 1, soBeginning);
  std::vector<uint8_t> all(33791);
  bucket_.ReadBuffer(all.data(), 33791);
  EXPECT_TRUE(std::equal(all.begin(), all.end(), data_.end() - 33791));
}

TEST_F(BitBucket, SeekLimits) {
  EXPECT_THROW(bucket_.Seek(100000 - 33792, soBeginning), EAbBBSSeekOutsideBuffer);
  EXPECT_EQ(bucket_.Seek(100000 - 33792 + 1, soBeginning), 100000 - 33792 + 1);
  EXPECT_THROW(bucket_.Seek(1, soEnd), EAbBBSSeekOutsideBuffer);
  EXPECT_EQ(bucket_.Seek(-10, soEnd), 99990);
  EXPECT_EQ(bucket_.Seek(5, soCurrent), 99995);
  EXPECT_EQ(bucket_.Seek(0, soEnd), 100000);
  EXPECT_THROW(bucket_.SeekFrom(0, 3), EAbBBSInvalidOrigin);
}

TEST_F(BitBucket, OversizedRequestsAreRefused) {
  std::vector<uint8_t> big(33793);
  try {
    bucket_.Write(big.data(), 33793);
    FAIL() << "no exception";
  } catch (const EAbBBSWriteTooManyBytes& e) {
    EXPECT_EQ(e.Message(), "BBS: request to write too many bytes [33793]");
  }
  EXPECT_EQ(bucket_.Size(), 100000);
  uint8_t one;
  EXPECT_THROW(bucket_.Read(&one, 1), EAbBBSReadTooManyBytes);  // right after a write
  bucket_.Seek(-1, soEnd);
  EXPECT_THROW(bucket_.Read(big.data(), 2), EAbBBSReadTooManyBytes);
  EXPECT_EQ(bucket_.Read(&one, 1), 1);
  EXPECT_EQ(one, data_.back());
}
