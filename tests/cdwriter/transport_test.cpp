// The transport: binding, the built-in layer's drive table over a port, the
// device list and selection, and the SG_IO header of the Linux port.

#include <scsi/sg.h>
#include <sys/stat.h>

#include <cstring>

#include "cdwriter/sg_io_port.h"
#include "tests/cdwriter/soft_drive_fixture.h"

namespace {

using TransportTest = SoftDriveTest;

// Two writers, one without a SCSI address and one at 0:1:0, a WORM drive and
// a device whose peripheral byte carries a qualifier.
class ScannedPort : public SoftDriveTest {
protected:
  void SetUp() override {
    SoftDriveTest::SetUp();
    AddDrive(0, "VENDOR A", "WRITER A");
    AddDrive(1, "VENDOR B", "WRITER B").address = TScsiAddress{0, 0, 1, 0};
    AddDrive(2, "VENDOR W", "WORM", 0x04);
    AddDrive(3, "VENDOR Q", "QUALIFIED", 0x25);
    Start();
  }
};

TEST_F(ScannedPort, ListsWritersAndWormsOnTheirAdaptersInOrder) {
  TStringList* list = Device().DeviceList();
  ASSERT_EQ(list->Count(), 3);
  EXPECT_EQ(list->Strings(0), "0:1:0,?: VENDOR BWRITER B        1.00");
  EXPECT_EQ(list->Strings(1), "1:0:0,?: VENDOR AWRITER A        1.00");
  EXPECT_EQ(list->Strings(2), "1:1:0,?: VENDOR WWORM            1.00 (not supported)");
  EXPECT_EQ(TransportName(), "VUVERO32");
  EXPECT_EQ(Device().HostAdapterCount(), 2);
  EXPECT_EQ(Device().LastErrorText(), "");
}

TEST_F(ScannedPort, InquiryIsAnsweredFromTheTableAndSendsNothing) {
  // The probe at the scan is the only INQUIRY a drive ever sees.
  Device().SelectDevice("1:0:0");
  for (int node = 0; node < 4; ++node) {
    int inquiries = 0;
    for (const TSoftCommand& c : port_.Drive(node)->Log()) inquiries += c.cdb[0] == 0x12;
    EXPECT_EQ(inquiries, 1) << "node " << node;
  }
  EXPECT_EQ(Device().DevicePath(), "soft/sr0");
  EXPECT_EQ(Device().DeviceDescription(), "VENDOR A WRITER A         1.00");
}

TEST_F(ScannedPort, TableInquiryCopiesNoMoreThanAsked) {
  SRB_ExecSCSICmd srb;
  srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
  srb.SRB_HaId = 1;
  srb.SRB_CDBLen = 6;
  srb.CDBByte[0] = 0x12;
  uint8_t buffer[16];
  std::memset(buffer, 0xEE, sizeof buffer);
  srb.SRB_BufPointer = buffer;
  srb.SRB_BufLen = 8;
  EXPECT_EQ(SendASPI32Command(&srb), SS_COMP);
  EXPECT_EQ(std::memcmp(buffer, port_.Drive(0)->InquiryData(), 8), 0);
  for (int i = 8; i < 16; ++i) EXPECT_EQ(buffer[i], 0xEE) << i;
}

TEST_F(ScannedPort, CommandsReachOnlyPresentDrives) {
  // 0:0:0 is where a cleared table record would answer.
  SRB_ExecSCSICmd srb;
  srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
  srb.SRB_CDBLen = 6;
  EXPECT_EQ(SendASPI32Command(&srb), SS_NO_DEVICE);
  SRB_GDEVBlock type;
  type.SRB_Cmd = SC_GET_DEV_TYPE;
  EXPECT_EQ(SendASPI32Command(&type), SS_NO_DEVICE);
  EXPECT_EQ(type.SRB_DeviceType, 0x1F);
  type.SRB_HaId = 1;
  type.SRB_Target = 1;
  EXPECT_EQ(SendASPI32Command(&type), SS_COMP);
  EXPECT_EQ(type.SRB_DeviceType, 5);
}

TEST_F(ScannedPort, OversizedLengthsInARequestStayInsideIt) {
  SRB_ExecSCSICmd srb;
  srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
  srb.SRB_HaId = 1;
  srb.SRB_CDBLen = 200;
  srb.SRB_SenseLen = 200;
  srb.CDBByte[0] = 0x01;  // refused, so sense comes back
  EXPECT_EQ(SendASPI32Command(&srb), SS_ERR);
  EXPECT_EQ(srb.SRB_TargStat, STATUS_CHKCOND);
  EXPECT_EQ(srb.SenseArea[12], 0x20);
  EXPECT_EQ(port_.Drive(0)->Log().back().cdb.size(), kMaxCdbBytes);
}

TEST_F(ScannedPort, HostAdapterInquiryDescribesTheVirtualAdapter) {
  SRB_HAInquiry srb;
  srb.SRB_Cmd = SC_HA_INQUIRY;
  srb.SRB_HaId = 1;
  EXPECT_EQ(SendASPI32Command(&srb), SS_COMP);
  EXPECT_EQ(srb.HA_Count, 2);
  EXPECT_EQ(srb.HA_SCSI_ID, 7);
  EXPECT_EQ(AnsiString(srb.HA_ManagerId, 16), "VORBEX05 BUILTIN");
  EXPECT_EQ(AnsiString(srb.HA_Identifier, 6), "SPTI 1");
  EXPECT_EQ(srb.HA_Unique[3], 8);
  srb.SRB_HaId = 2;
  EXPECT_EQ(SendASPI32Command(&srb), SS_INVALID_HA);
  EXPECT_EQ(GetASPI32SupportInfo(), 0x0102u);
  EXPECT_EQ(SendASPI32Command(nullptr), SS_ERR);
}

TEST_F(ScannedPort, SelectDeviceReadsOneDigitFields) {
  struct Case {
    const char* entry;
    bool selected;
    bool debug_message;
  } cases[] = {
      {"1:0:0", true, false},
      {"1:1:0,?: VENDOR W...", true, false},  // a WORM can be selected
      {"5:0:0", false, true},  // nothing there: the last selection's type must not count
      {"1:0:", false, true},
      {"", false, false},
      {"x:0:0", false, true},
      {"1:2:0", false, true},  // the qualified device is no CD drive
  };
  for (const Case& c : cases) {
    int messages = 0, changes = 0;
    Device().OnDebugMessage = [&](TObject*, const AnsiString& text, uint8_t type) {
      EXPECT_EQ(text, "INVALID DEVICE ID / NOT A CD OR DVD DRIVE");
      EXPECT_EQ(type, 0);
      ++messages;
    };
    Device().OnDeviceChange = [&](TObject*) { ++changes; };
    Device().SelectDevice(c.entry);
    EXPECT_EQ(messages, c.debug_message ? 1 : 0) << c.entry;
    EXPECT_EQ(changes, c.selected ? 1 : 0) << c.entry;
    if (c.selected) {
      EXPECT_EQ(Device().HaId(), c.entry[0] - '0') << c.entry;
      EXPECT_EQ(Device().DeviceString(), c.entry);
    } else {
      EXPECT_EQ(Device().HaId(), kNoDevice) << c.entry;
      EXPECT_EQ(Device().DeviceType(), kDeselectedDeviceType) << c.entry;
      EXPECT_EQ(Device().DeviceString(), "") << c.entry;
    }
  }
}

TEST_F(ScannedPort, DebugTraceNamesTransportAndAdapters) {
  std::vector<AnsiString> trace;
  Device().SetDoDebug(true);
  Device().OnDebugMessage = [&](TObject*, const AnsiString& text, uint8_t type) {
    EXPECT_EQ(type, 1);
    trace.push_back(text);
  };
  Device().ScanDevices();
  ASSERT_EQ(trace.size(), 3u);
  EXPECT_EQ(trace[0], ">>> VUVERO32");
  EXPECT_EQ(trace[1], ">>> VORBEX05 BUILTIN (SPTI 0)");
  EXPECT_EQ(trace[2], ">>> VORBEX05 BUILTIN (SPTI 1)");
}

TEST_F(ScannedPort, CloseHandleAfterCommandOpensAndClosesPerCommand) {
  Device().SelectDevice("1:0:0");
  TSoftDrive& drive = *port_.Drive(0);
  Device().TestUnitReady(1000);  // opens the handle, which then stays open
  const int opens = drive.opens, closes = drive.closes;
  Device().TestUnitReady(1000);
  EXPECT_EQ(drive.opens, opens);
  Device().SetCloseHandleAfterCommand(true);
  for (int i = 0; i < 3; ++i) Device().TestUnitReady(1000);
  EXPECT_EQ(drive.closes, closes + 3);
  EXPECT_EQ(drive.opens, opens + 2);  // the first of them found the handle still open
  Device().SetCloseHandleAfterCommand(false);
  Device().TestUnitReady(1000);
  Device().TestUnitReady(1000);
  EXPECT_EQ(drive.opens, opens + 3);
  EXPECT_EQ(drive.closes, closes + 3);
}

TEST_F(ScannedPort, TrayCommandsCloseTheHandleOnlyWhileTheyRun) {
  Device().SelectDevice("1:0:0");
  TSoftDrive& drive = *port_.Drive(0);
  Device().TestUnitReady(1000);
  const int closes = drive.closes;
  EXPECT_TRUE(Device().LoadEject(false));
  EXPECT_EQ(drive.closes, closes + 1);
  EXPECT_FALSE(CloseHandleAfterCommand());
  EXPECT_TRUE(Device().PreventAllowRemoval(true));
  EXPECT_EQ(drive.closes, closes + 2);
  EXPECT_TRUE(Device().PreventAllowRemoval(false));
  EXPECT_EQ(drive.closes, closes + 2);
  EXPECT_FALSE(CloseHandleAfterCommand());
}

TEST_F(TransportTest, BindingOrderFollowsTheMode) {
  // No drive: neither the layer nor a library binds.
  TSCSIDevice* device = new TSCSIDevice(nullptr);
  EXPECT_FALSE(device->InitializeASPI(true, ""));
  EXPECT_FALSE(ASPIInitialized());
  EXPECT_EQ(GetASPI32SupportInfo(), 0xE800u);
  device->Free();
  ShutdownTransport();
  // With a drive and the library preferred, the layer is the fallback.
  AddDrive(0, "VENDOR A", "WRITER A");
  device = new TSCSIDevice(nullptr);
  EXPECT_TRUE(device->InitializeASPI(false, "no-such-aspi.so"));
  EXPECT_EQ(TransportName(), "VUVERO32");
  EXPECT_FALSE(PreferPassThrough());
  EXPECT_TRUE(device->InitializeASPI(true, ""));  // a second call binds nothing new
  EXPECT_TRUE(PreferPassThrough());
  device->Free();
  // A device made once the transport is loaded lists the drives by itself.
  TSCSIDevice* later = new TSCSIDevice(nullptr);
  EXPECT_EQ(later->DeviceList()->Count(), 1);
  later->Free();
}

TEST_F(TransportTest, LibraryWithoutTheEntryPointsLeavesNothingBound) {
  TSCSIDevice* device = new TSCSIDevice(nullptr);
  EXPECT_THROW(LoadTransport(false, "libc.so.6"), EAssertionFailed);
  EXPECT_FALSE(ASPIInitialized());
  EXPECT_FALSE(device->InitializeASPI(false, "libc.so.6"));
  EXPECT_FALSE(device->TestUnitReady(1000));
  device->Free();
}

bool MachineHasOpticalDrive() {
  for (int n = 0; n < kDriveNodeCount; ++n) {
    struct stat st {};
    if (stat(("/dev/sr" + std::to_string(n)).c_str(), &st) == 0 && S_ISBLK(st.st_mode)) return true;
  }
  return false;
}

TEST(SgIoPort, FindsNoDriveOnAMachineWithoutOne) {
  if (MachineHasOpticalDrive()) GTEST_SKIP() << "this machine has an optical drive";
  SptiSetPort(nullptr);
  TSCSIDevice* device = new TSCSIDevice(nullptr);
  EXPECT_FALSE(device->InitializeASPI(true, ""));
  EXPECT_EQ(device->DeviceList()->Count(), 0);
  device->Free();
  ShutdownTransport();
  TSgIoPort port;
  EXPECT_EQ(port.NodePath(23), "/dev/sr23");
  EXPECT_EQ(port.Open(0), kInvalidDriveHandle);
}

TEST(SgIoHeader, FillCarriesTheRequest) {
  struct Case {
    TDataDirection direction;
    uint32_t length;
    uint32_t timeout_ms;
    int sg_direction;
    unsigned sg_timeout;
  } cases[] = {
      {TDataDirection::In, 96, 10000, SG_DXFER_FROM_DEV, 120000},
      {TDataDirection::Out, 2048, 120000, SG_DXFER_TO_DEV, 120000},
      {TDataDirection::None, 0, 180000, SG_DXFER_NONE, 180000},
      {TDataDirection::In, 0, 0, SG_DXFER_NONE, 120000},  // nothing to move
  };
  uint8_t data[2048];
  for (const Case& c : cases) {
    TPassThroughRequest r;
    r.cdb[0] = 0x5A;
    r.cdb_length = 10;
    r.sense_length = 200;  // more than there is room for
    r.direction = c.direction;
    r.data = data;
    r.data_length = c.length;
    r.timeout_ms = c.timeout_ms;
    sg_io_hdr h;
    FillSgIoHdr(r, h);
    EXPECT_EQ(h.interface_id, 'S');
    EXPECT_EQ(h.dxfer_direction, c.sg_direction);
    EXPECT_EQ(h.dxfer_len, c.length);
    EXPECT_EQ(h.timeout, c.sg_timeout);
    EXPECT_EQ(h.cmd_len, 10);
    EXPECT_EQ(h.cmdp, r.cdb);
    EXPECT_EQ(h.sbp, r.sense);
    EXPECT_EQ(h.mx_sb_len, kPassThroughSenseBytes);
  }
}

TEST(SgIoHeader, ReadReportsStatusSenseAndTimeOuts) {
  struct Case {
    unsigned char status;
    unsigned short host_status;
    unsigned short driver_status;
    unsigned char sense_written;
    bool completed;
    bool host_timeout;
  } cases[] = {
      {0x00, 0, 0, 0, true, false},
      {0x02, 0, 0x08, 18, true, false},  // CHECK CONDITION with sense
      {0x08, 0, 0, 0, true, false},      // BUSY, the full status byte
      {0x00, 0x03, 0, 0, false, true},   // host time-out
      {0x00, 0, 0x06, 0, false, true},   // driver time-out
      {0x00, 0x01, 0, 0, false, false},  // no connection
      {0x02, 0, 0, 255, true, false},    // a sense length beyond the buffer
  };
  for (const Case& c : cases) {
    TPassThroughRequest r;
    std::memset(r.sense, 0x55, sizeof r.sense);
    sg_io_hdr h{};
    h.status = c.status;
    h.host_status = c.host_status;
    h.driver_status = c.driver_status;
    h.sb_len_wr = c.sense_written;
    h.mx_sb_len = 24;
    h.resid = 100;
    EXPECT_EQ(ReadSgIoHdr(h, r), c.completed);
    EXPECT_EQ(r.scsi_status, c.status);
    EXPECT_EQ(r.host_timeout, c.host_timeout);
    EXPECT_EQ(r.residual, 100u);
    const size_t kept = std::min<size_t>(c.sense_written, 24);
    if (kept < sizeof r.sense) {
      EXPECT_EQ(r.sense[kept], 0) << int(c.sense_written);
    }
  }
}

}  // namespace
