// Every single MMC command as the drive receives it: command block,
// direction, length and time-out, read back from the software drive's log;
// and what an honest drive answers to commands it refuses.

#include <cstring>
#include <functional>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "tests/cdwriter/soft_drive_fixture.h"

namespace {

using MmcCommandTest = SoftDriveTest;
constexpr TDataDirection kIn = TDataDirection::In, kOut = TDataDirection::Out, kNone = TDataDirection::None;

struct CommandCase {
  const char* name;
  std::function<void(TSCSIDevice&, uint8_t*)> call;
  std::vector<uint8_t> cdb;
  TDataDirection direction;
  uint32_t length;
  uint32_t timeout_ms;
};

TEST_F(MmcCommandTest, CommandBlocksDirectionsLengthsAndTimeOuts) {
  const CommandCase cases[] = {
      {"TestUnitReady", [](TSCSIDevice& d, uint8_t*) { d.TestUnitReady(5000); }, {0x00, 0, 0, 0, 0, 0}, kNone, 0, 5000},
      {"RewindUnit", [](TSCSIDevice& d, uint8_t*) { d.RewindUnit(); }, {0x01, 0, 0, 0, 0, 0}, kNone, 0, 10000},
      {"RequestSense", [](TSCSIDevice& d, uint8_t* b) { d.RequestSense(b, 18); }, {0x03, 0, 0, 0, 18, 0}, kIn, 18, 10000},
      {"FormatUnit", [](TSCSIDevice& d, uint8_t* b) { d.FormatUnit(0x11, b, 12); }, {0x04, 0x11, 0, 0, 0, 0}, kOut, 12, 10000},
      {"Eject", [](TSCSIDevice& d, uint8_t*) { d.LoadEject(true); }, {0x1B, 0, 0, 0, 0x02, 0}, kNone, 0, 20000},
      {"Load", [](TSCSIDevice& d, uint8_t*) { d.LoadEject(false); }, {0x1B, 0, 0, 0, 0x03, 0}, kNone, 0, 20000},
      {"Prevent", [](TSCSIDevice& d, uint8_t*) { d.PreventAllowRemoval(false); }, {0x1E, 0, 0, 0, 0x01, 0}, kNone, 0, 10000},
      {"Allow", [](TSCSIDevice& d, uint8_t*) { d.PreventAllowRemoval(true); }, {0x1E, 0, 0, 0, 0x00, 0}, kNone, 0, 10000},
      {"ReadSectors", [](TSCSIDevice& d, uint8_t* b) { d.ReadSectors(0x12345, 2, 4096, b); },
       {0x28, 0, 0x00, 0x01, 0x23, 0x45, 0, 0x00, 0x02, 0}, kIn, 4096, 10000},
      {"WriteSectors at a negative address", [](TSCSIDevice& d, uint8_t* b) { d.WriteSectors(-150, 1, 0x50, 2048, b); },
       {0x2A, 0, 0xFF, 0xFF, 0xFF, 0x6A, 0, 0x00, 0x01, 0}, kOut, 2048, 120000},
      {"SynchronizeCache", [](TSCSIDevice& d, uint8_t*) { d.SynchronizeCache(60000, true); },
       {0x35, 0x02, 0, 0, 0, 0, 0, 0, 0, 0}, kNone, 0, 60000},
      {"ReadTOC", [](TSCSIDevice& d, uint8_t* b) { d.ReadTOC(4, b, 0x40, true, 1, 255); },
       {0x43, 0x02, 0x04, 0, 0, 0, 0x01, 0, 0xFF, 0x40}, kIn, 255, 10000},
      {"GetConfiguration", [](TSCSIDevice& d, uint8_t* b) { d.GetConfiguration(2, 0x012F, 114, b); },
       {0x46, 0x02, 0, 0x2F, 0, 0, 0, 0, 114, 0}, kIn, 114, 30000},
      {"ReadDiscInformation", [](TSCSIDevice& d, uint8_t* b) { d.ReadDiscInformation(b, 56); },
       {0x51, 0, 0, 0, 0, 0, 0, 0, 56, 0}, kIn, 56, 10000},
      {"ReadTrackInformation", [](TSCSIDevice& d, uint8_t*) { d.ReadTrackInformation(0x01020304); },
       {0x52, 0x01, 0x01, 0x02, 0x03, 0x04, 0, 0, 40, 0}, kIn, 40, 60000},
      {"ReserveTrack", [](TSCSIDevice& d, uint8_t*) { d.ReserveTrack(0x11223344); },
       {0x53, 0, 0, 0, 0, 0x11, 0x22, 0x33, 0x44, 0, 0, 0}, kNone, 0, 10000},
      {"SendOPCInformation", [](TSCSIDevice& d, uint8_t*) { d.SendOPCInformation(); },
       {0x54, 0x01, 0, 0, 0, 0, 0, 0, 0, 0}, kNone, 0, 150000},
      {"ModeSelect10", [](TSCSIDevice& d, uint8_t* b) { d.ModeSelect10(b, 60); },
       {0x55, 0x10, 0, 0, 0, 0, 0, 0, 60, 0}, kOut, 60, 10000},
      {"ModeSense10 defaults", [](TSCSIDevice& d, uint8_t* b) { d.ModeSense10(0x2A, b, true, 0x1FF, 0); },
       {0x5A, 0, 0xAA, 0, 0, 0, 0, 0x01, 0xFF, 0}, kIn, 0x1FF, 20000},
      {"Close track", [](TSCSIDevice& d, uint8_t*) { d.CloseTrackSession(true, true, false); },
       {0x5B, 0x01, 0x01, 0, 0, 0xFF, 0, 0, 0, 0}, kNone, 0, 180000},
      {"Close session", [](TSCSIDevice& d, uint8_t*) { d.CloseTrackSession(false, false, false); },
       {0x5B, 0, 0x02, 0, 0, 0, 0, 0, 0, 0}, kNone, 0, 180000},
      {"Finalize", [](TSCSIDevice& d, uint8_t*) { d.CloseTrackSession(true, false, true); },
       {0x5B, 0, 0x05, 0, 0, 0xFF, 0, 0, 0, 0}, kNone, 0, 180000},
      {"CloseTrackSessionRaw", [](TSCSIDevice& d, uint8_t*) { d.CloseTrackSessionRaw(true, 6, 1, 2, 3); },
       {0x5B, 0x01, 0x06, 1, 2, 3, 0, 0, 0, 0}, kNone, 0, 180000},
      {"ReadBufferCapacity", [](TSCSIDevice& d, uint8_t*) { uint32_t a, b; d.ReadBufferCapacity(a, b); },
       {0x5C, 0, 0, 0, 0, 0, 0, 0, 32, 0}, kIn, 32, 10000},
      {"SendCueSheet", [](TSCSIDevice& d, uint8_t* b) { d.SendCueSheet(b, 0x0118); },
       {0x5D, 0, 0, 0, 0, 0, 0, 0x01, 0x18, 0}, kOut, 0x0118, 30000},
      {"SetStreaming", [](TSCSIDevice& d, uint8_t* b) { d.SetStreaming(b, 28); },
       {0xB6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 28, 0}, kOut, 28, 10000},
      {"SetCDSpeed", [](TSCSIDevice& d, uint8_t*) { d.SetCDSpeed(1385, 2822); },
       {0xBB, 0, 0x05, 0x69, 0x0B, 0x06, 0, 0, 0, 0, 0, 0}, kNone, 0, 10000},
      {"SetCDSpeed as fast as possible", [](TSCSIDevice& d, uint8_t*) { d.SetCDSpeed(0, 0); },
       {0xBB, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}, kNone, 0, 10000},
      {"SendDVDStructure", [](TSCSIDevice& d, uint8_t* b) { d.SendDVDStructure(0x0F, b, 22); },
       {0xBF, 0, 0, 0, 0, 0, 0, 0x0F, 0, 22, 0, 0}, kOut, 22, 10000},
  };
  TSoftDrive& drive = SelectWriter();
  for (const CommandCase& c : cases) {
    std::vector<uint8_t> buffer(4096);
    drive.ClearLog();
    c.call(Device(), buffer.data());
    ASSERT_EQ(drive.Log().size(), 1u) << c.name;
    const TSoftCommand& sent = drive.Log().front();
    EXPECT_EQ(sent.cdb, c.cdb) << c.name;
    EXPECT_EQ(sent.direction, c.direction) << c.name;
    EXPECT_EQ(sent.data_length, c.length) << c.name;
    EXPECT_EQ(sent.timeout_ms, c.timeout_ms) << c.name;
  }
}

TEST_F(MmcCommandTest, ParameterListsOfTheCombinedCommands) {
  TSoftDrive& drive = SelectWriter(Disc(11, 2295104));
  EXPECT_TRUE(Device().SendTimeStamp(EncodeDate(2026, 12, 10) + EncodeTime(17, 30, 5, 0)));
  const std::vector<uint8_t> stamp = {0x00, 0x14, 0, 0, 0, 0, 0, 0, '2', '0', '2', '6', '1', '2', '1', '0',
                                      '1', '7', '3', '0', '0', '5'};
  EXPECT_EQ(drive.Log().back().data_out, stamp);
  EXPECT_TRUE(Device().SetStreamingPerformance(0x1000, 0x2000, 0x3000, 1000, 2000));
  const std::vector<uint8_t> descriptor = {0, 0, 0, 0, 0, 0, 0, 0,    0, 0, 0x10, 0, 0, 0, 0x20, 0,
                                           0, 0, 0x03, 0xE8, 0, 0, 0x30, 0, 0, 0, 0x07, 0xD0};
  EXPECT_EQ(drive.Log().back().data_out, descriptor);
  Device().SetReadSpeed(1385);
  Device().SetWriteSpeed(4155);
  EXPECT_EQ(drive.read_speed, 1385);
  EXPECT_EQ(drive.write_speed, 4155);
  EXPECT_EQ(Device().WriteSpeed(), 4155);
}

TEST_F(MmcCommandTest, TocLongerThan255BytesIsARangeError) {
  TSoftDrive& drive = SelectWriter();
  std::vector<uint8_t> buffer(512);
  EXPECT_THROW(Device().ReadTOC(0, buffer.data(), 0, false, 0, 256), ERangeError);
  EXPECT_TRUE(drive.Log().empty());
}

TEST_F(MmcCommandTest, ALunBeyondZeroReachesTheCommandBlock) {
  AddDrive(0, "SOFTVEND", "SOFT WRITER").address = TScsiAddress{2, 0, 3, 1};
  Start().SelectDevice("2:3:1");
  EXPECT_EQ(Device().DeviceType(), 5);
  port_.Drive(0)->ClearLog();
  Device().SynchronizeCache(10000, true);
  EXPECT_EQ(port_.Drive(0)->Log().back().cdb[1], 0x22);
}

TEST_F(MmcCommandTest, HonestDriveRefusesWhatItDoesNotDo) {
  SelectWriter(Disc(2, 1000));
  SRB_ExecSCSICmd read_capacity;
  uint8_t capacity[8];
  read_capacity.SRB_Flags = SRB_EVENT_NOTIFY | SRB_DIR_IN;
  read_capacity.SRB_CDBLen = 10;
  read_capacity.CDBByte[0] = 0x25;
  read_capacity.SRB_BufPointer = capacity;
  read_capacity.SRB_BufLen = sizeof capacity;
  Device().ExecuteSRB(read_capacity, 10000);
  EXPECT_EQ(read_capacity.SRB_Status, SS_ERR);
  EXPECT_EQ(Device().LastErrorText(), "ILLEGAL REQUEST (INVALID COMMAND OPERATION CODE)");
  EXPECT_EQ(Device().LastSense()[12], 0x20);
  Device().RewindUnit();
  EXPECT_EQ(Device().LastErrorText(), "ILLEGAL REQUEST (INVALID COMMAND OPERATION CODE)");

  std::vector<uint8_t> sectors(4 * kSoftSectorBytes, 0xA5);
  struct Write {
    int32_t lba;
    uint16_t blocks;
    const char* error;
  } writes[] = {
      {16, 1, "ILLEGAL REQUEST (INVALID ADDRESS FOR WRITE)"},  // the next writable address is 0
      {0, 2, ""},
      {1, 1, "ILLEGAL REQUEST (INVALID ADDRESS FOR WRITE)"},
      {2, 2, ""},
      {1000, 1, "ILLEGAL REQUEST (LOGICAL BLOCK ADDRESS OUT OF RANGE)"},  // one past the end
      {-150, 1, "ILLEGAL REQUEST (LOGICAL BLOCK ADDRESS OUT OF RANGE)"},
  };
  for (const Write& w : writes) {
    const bool ok = Device().WriteSectors(w.lba, w.blocks, SRB_EVENT_NOTIFY | SRB_DIR_OUT,
                                          w.blocks * kSoftSectorBytes, sectors.data());
    EXPECT_EQ(ok, *w.error == 0) << w.lba;
    EXPECT_EQ(Device().LastErrorText(), w.error) << w.lba;
  }
  std::vector<uint8_t> back(4 * kSoftSectorBytes);
  EXPECT_TRUE(Device().ReadSectors(0, 4, back.size(), back.data()));
  EXPECT_EQ(back, sectors);
  EXPECT_FALSE(Device().ReadSectors(4, 1, kSoftSectorBytes, back.data()));  // nothing recorded there
  EXPECT_FALSE(Device().ReadSectors(0, 4, kSoftSectorBytes, back.data()));  // more than the buffer holds
  EXPECT_EQ(Device().LastErrorText(), "ILLEGAL REQUEST (INVALID FIELD IN CDB)");
}

TEST_F(MmcCommandTest, TrayAndMediumStatesReachTheTexts) {
  TSoftDrive& drive = SelectWriter();
  EXPECT_TRUE(Device().TestUnitReady(5000));
  EXPECT_TRUE(Device().PreventAllowRemoval(false));
  EXPECT_FALSE(Device().LoadEject(true));
  EXPECT_EQ(Device().LastErrorText(), "ILLEGAL REQUEST (MEDIUM REMOVAL PREVENTED)");
  EXPECT_TRUE(Device().PreventAllowRemoval(true));
  EXPECT_TRUE(Device().LoadEject(true));
  EXPECT_FALSE(Device().TestUnitReady(5000));
  EXPECT_EQ(Device().LastErrorText(), "NOT READY (MEDIUM NOT PRESENT - TRAY OPEN)");
  EXPECT_TRUE(Device().LoadEject(false));
  drive.Remove();
  EXPECT_FALSE(Device().TestUnitReady(5000));
  EXPECT_EQ(Device().LastErrorText(), "NOT READY (MEDIUM NOT PRESENT - TRAY CLOSED)");
  uint32_t size = 0, free_size = 0;
  EXPECT_TRUE(Device().ReadBufferCapacity(size, free_size));
  EXPECT_EQ(size, drive.buffer_bytes);
  EXPECT_EQ(free_size, drive.buffer_bytes);
}

}  // namespace
