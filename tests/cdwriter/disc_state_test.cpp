// The medium as the device sees it: disc type with its fallbacks, session
// count, track information, and the wait until a busy drive is ready.

#include <cstring>

#include "cdwriter/byte_order.h"
#include "cdwriter/cd_texts.h"
#include "tests/cdwriter/soft_drive_fixture.h"

namespace {

using DiscStateTest = SoftDriveTest;

// A command sent straight to the software drive; the answer, empty when the
// drive refused it.
std::vector<uint8_t> Raw(TSoftDrive& drive, std::vector<uint8_t> cdb, uint32_t answer_bytes) {
  std::vector<uint8_t> answer(answer_bytes);
  TPassThroughRequest r;
  std::copy(cdb.begin(), cdb.end(), r.cdb);
  r.cdb_length = static_cast<uint8_t>(cdb.size());
  r.direction = TDataDirection::In;
  r.data = answer.data();
  r.data_length = answer_bytes;
  if (!drive.Execute(r) || r.scsi_status != 0) return {};
  return answer;
}


TEST_F(DiscStateTest, DiscTypeFromTheCurrentProfile) {
  TSoftDrive& drive = SelectWriter();
  for (uint16_t type : {1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15}) {
    drive.Insert(Disc(type));
    EXPECT_EQ(Device().GetDiscType(), type) << DiscTypeNames[type];
  }
  drive.Remove();
  EXPECT_EQ(Device().GetDiscType(), 0);
}

TEST_F(DiscStateTest, DiscTypeWithoutProfilesFallsBackOnAtipThenDiscInformation) {
  struct Case {
    uint16_t medium;
    uint16_t found;
  } cases[] = {
      {2, 2},   // ATIP byte 6 = 80h
      {3, 3},   // ATIP byte 6 = C0h
      {5, 2},   // no ATIP on a DVD: disc information, not erasable
      {10, 3},  // no ATIP: disc information, erasable
      {1, 2},   // a pressed CD has no ATIP and is not erasable either
  };
  TSoftDrive& drive = SelectWriter();
  drive.implements_get_configuration = false;
  for (const Case& c : cases) {
    drive.Insert(Disc(c.medium));
    EXPECT_EQ(Device().GetDiscType(), c.found) << DiscTypeNames[c.medium];
  }
  // Disc information failing too leaves the drive's readiness.
  drive.AddFault({0x51, 1, 0x02, {3, 0x11, 0x00}, false});
  EXPECT_EQ(Device().GetDiscType(), 1);
  drive.Remove();
  EXPECT_EQ(Device().GetDiscType(), 0);
}

TEST_F(DiscStateTest, SessionCountLeavesOutTheEmptySession) {
  struct Case {
    const char* name;
    TSoftMediumSetup medium;
    bool write_more;
    uint8_t sessions;
  } cases[] = {
      {"blank", Disc(2), false, 0},
      {"one session, appendable", Disc(2, 359847, {{1000}}), false, 1},
      {"two sessions, appendable", Disc(2, 359847, {{1000}, {500, 200}}), false, 2},
      {"two sessions, closed", Disc(2, 359847, {{1000}, {500}}, true), false, 2},
      {"one session and one being written", Disc(2, 359847, {{1000}}), true, 2},
      {"pressed", Disc(1), false, 1},
  };
  TSoftDrive& drive = SelectWriter();
  std::vector<uint8_t> sector(kSoftSectorBytes);
  for (const Case& c : cases) {
    drive.Insert(c.medium);
    if (c.write_more) {
      const auto nwa = static_cast<int32_t>(drive.Medium()->NextWritableAddress());
      ASSERT_TRUE(Device().WriteSectors(nwa, 1, SRB_EVENT_NOTIFY | SRB_DIR_OUT, kSoftSectorBytes, sector.data()));
    }
    EXPECT_EQ(Device().GetSessionCount(), c.sessions) << c.name;
  }
  drive.Remove();
  EXPECT_EQ(Device().GetSessionCount(), 0);
}

TEST_F(DiscStateTest, TrackInformationInNativeOrder) {
  TSoftDrive& drive = SelectWriter(Disc(2, 359847, {{1000}}));
  ASSERT_TRUE(Device().ReadTrackInformation(0xFF));  // the invisible track of the next session
  const uint8_t* info = Device().TrackInfo();
  const uint32_t nwa = drive.Medium()->NextWritableAddress();
  EXPECT_EQ(NativeAt<uint32_t>(info + 8), nwa);
  EXPECT_EQ(NativeAt<uint32_t>(info + 12), nwa);
  EXPECT_EQ(NativeAt<uint32_t>(info + 16), 359847 - nwa);
  ASSERT_TRUE(Device().ReadTrackInformation(1));
  EXPECT_EQ(NativeAt<uint32_t>(info + 8), 0u);
  EXPECT_EQ(NativeAt<uint32_t>(info + 24), 1000u);
  EXPECT_EQ(NativeAt<uint32_t>(info + 28), 999u);
  EXPECT_FALSE(Device().ReadTrackInformation(3));
  EXPECT_EQ(Device().LastErrorText(), "ILLEGAL REQUEST (INVALID FIELD IN CDB)");
}

TEST_F(DiscStateTest, ClosingASessionMakesTheDiscAppendableOrClosed) {
  TSoftDrive& drive = SelectWriter(Disc(2, 100000));
  ASSERT_TRUE(Device().SetWriteParameters(false, false, 2, false));
  std::vector<uint8_t> sectors(16 * kSoftSectorBytes);
  ASSERT_TRUE(Device().WriteSectors(0, 16, SRB_EVENT_NOTIFY | SRB_DIR_OUT, sectors.size(), sectors.data()));
  ASSERT_TRUE(Device().CloseTrackSession(true, false, false));
  ASSERT_TRUE(Device().CloseTrackSession(false, false, false));
  ASSERT_TRUE(Device().ReadDiscInfo());
  EXPECT_EQ(Device().DiscInfo()[2] & 0x03, 1);  // appendable
  EXPECT_EQ(Device().GetSessionCount(), 1);
  uint8_t toc[12];
  EXPECT_TRUE(Device().ReadTOC(1, toc, 0, false, 0, sizeof toc));
  EXPECT_EQ(toc[3], 1);  // last complete session
  ASSERT_TRUE(Device().CloseTrackSession(false, false, true));  // finalize
  ASSERT_TRUE(Device().ReadDiscInfo());
  EXPECT_EQ(Device().DiscInfo()[2] & 0x03, 2);  // complete
  EXPECT_FALSE(Device().WriteSectors(static_cast<int32_t>(drive.Medium()->NextWritableAddress()), 1,
                                     SRB_EVENT_NOTIFY | SRB_DIR_OUT, kSoftSectorBytes, sectors.data()));
  EXPECT_EQ(Device().LastErrorText(), "DATA PROTECT (WRITE PROTECTED)");
}

TEST_F(DiscStateTest, WaitUntilReadyGivesUpMidFormat) {
  TSoftDrive& drive = SelectWriter(Disc(3));
  drive.format_ms = 60000;
  uint8_t format_list[12] = {0x00, 0x02, 0x00, 0x08};  // immediate, one descriptor
  ASSERT_TRUE(Device().FormatUnit(0x11, format_list, sizeof format_list));
  EXPECT_FALSE(Device().TestUnitReady(5000));
  EXPECT_EQ(Device().LastErrorText(), "NOT READY (LOGICAL UNIT NOT READY, FORMAT IN PROGRESS)");
  const uint64_t start = GetTickCount64();
  EXPECT_FALSE(Device().WaitUntilReady(10000, 1000));
  EXPECT_LE(GetTickCount64() - start, 11000u);  // as soon as the time is used up
  EXPECT_TRUE(Device().WaitUntilReady(120000, 1000));
  EXPECT_GE(GetTickCount64() - start, 60000u);
  EXPECT_TRUE(Device().TestUnitReady(5000));
}

TEST_F(DiscStateTest, WaitUntilReadyOnAReadyDriveAndOnDvdRam) {
  SelectWriter(Disc(6));
  EXPECT_TRUE(Device().WaitUntilReady(5000, 500));
  CurrentDiscType = 6;
  EXPECT_TRUE(Device().WaitUntilReady(5000, 500));
  EXPECT_TRUE(Device().WaitUntilReady(5000, 0));  // a zero step still uses up the time
  GlobalWaitReadyQuirk = true;
  EXPECT_TRUE(Device().WaitUntilReady(5000, 500));
}

TEST_F(DiscStateTest, FormatOnlyWhatCanBeErased) {
  SelectWriter(Disc(2));
  uint8_t format_list[12] = {};
  EXPECT_FALSE(Device().FormatUnit(0x11, format_list, sizeof format_list));
  EXPECT_EQ(Device().LastErrorText(), "ILLEGAL REQUEST (CANNOT FORMAT MEDIUM - INCOMPATIBLE MEDIUM)");
}


// Where the library's behaviour depends on it, the software drive answers as
// a real one: a test write records nothing, closing a track that is not there
// fails, READ TRACK INFORMATION takes a sector address, and GET CONFIGURATION
// can list the current features only.
TEST_F(DiscStateTest, SoftDriveAnswersAsADriveDoes) {
  TSoftDrive& drive = SelectWriter(Disc(2, 100000));
  std::vector<uint8_t> sectors(16 * kSoftSectorBytes, 'x');
  constexpr uint8_t kWriteFlags = SRB_EVENT_NOTIFY | SRB_DIR_OUT;
  ASSERT_TRUE(Device().SetWriteParameters(true, false, 2, false));
  ASSERT_TRUE(Device().WriteSectors(0, 16, kWriteFlags, sectors.size(), sectors.data()));
  EXPECT_EQ(drive.Medium()->NextWritableAddress(), 0u);
  ASSERT_TRUE(Device().ReadDiscInfo());
  EXPECT_EQ(Device().DiscInfo()[2] & 0x03, 0);  // still blank

  ASSERT_TRUE(Device().SetWriteParameters(false, false, 2, false));
  ASSERT_TRUE(Device().WriteSectors(0, 16, kWriteFlags, sectors.size(), sectors.data()));
  EXPECT_FALSE(Device().CloseTrackSessionRaw(false, 1, 0, 0, 5));
  EXPECT_EQ(Device().LastErrorText(), "ILLEGAL REQUEST (INVALID FIELD IN CDB)");

  constexpr uint8_t kReadTrackInformation = 0x52;
  const std::vector<uint8_t> by_lba = Raw(drive, {kReadTrackInformation, 0, 0, 0, 0, 10, 0, 0, 36, 0}, 36);
  ASSERT_FALSE(by_lba.empty());
  EXPECT_EQ(by_lba[2], 1);  // sector 10 lies in track 1
  EXPECT_TRUE(Device().CloseTrackSessionRaw(false, 1, 0, 0, 1));
  const std::vector<uint8_t> beyond = Raw(drive, {kReadTrackInformation, 0, 0, 0, 0x10, 0, 0, 0, 36, 0}, 36);
  ASSERT_FALSE(beyond.empty());
  EXPECT_EQ(beyond[2], 2);  // the blank rest of the disc after the closed track

  drive.features = {{0x0010, {0, 0, 0, 0}, false}, {0x001E, {0, 0, 0, 0}, true}};
  constexpr uint8_t kGetConfiguration = 0x46;
  auto codes = [&](uint8_t rt) {
    const std::vector<uint8_t> a = Raw(drive, {kGetConfiguration, rt, 0, 0x01, 0, 0, 0, 0, 255, 0}, 255);
    std::vector<uint16_t> found;
    for (size_t at = 8; !a.empty() && at + 4 <= GetBE32(a.data()) + 4u; at += 4 + a[at + 3])
      found.push_back(GetBE16(a.data() + at));
    return found;
  };
  EXPECT_EQ(codes(0), (std::vector<uint16_t>{0x0010, 0x001E}));
  EXPECT_EQ(codes(1), (std::vector<uint16_t>{0x001E}));
}

}  // namespace
