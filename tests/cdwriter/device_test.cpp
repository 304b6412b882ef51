// The drive device: ExecuteSRB's wait, time-out and abort through a pair of
// entry points of the test's own, error texts, and the model quirks.

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "cdwriter/scsi_errors.h"
#include "cdwriter/sense_texts.h"
#include "tests/cdwriter/soft_drive_fixture.h"

namespace {

// An ASPI stand-in with one device at 0:0:0 that completes, completes later
// from another thread, or never completes.
enum class PairMode { Complete, Garbage, CompleteLater, Never };
struct Pair {
  PairMode mode = PairMode::Complete;
  int adapters = 1;  // what the adapter inquiry reports; below 0 it fails
  std::atomic<int> inquiries{0};
  std::atomic<int> commands{0};
  std::atomic<void*> aborted{nullptr};
  std::thread worker;
} pair;

uint32_t PairSupportInfo() { return 0x0101; }

uint32_t PairSendCommand(void* request) {
  auto* header = static_cast<SRB_Header*>(request);
  header->SRB_Status = SS_COMP;
  if (header->SRB_Cmd == SC_HA_INQUIRY) {
    if (pair.adapters < 0) return header->SRB_Status = SS_INVALID_HA;
    static_cast<SRB_HAInquiry*>(request)->HA_Count = static_cast<uint8_t>(pair.adapters);
  }
  if (header->SRB_Cmd == SC_ABORT_SRB) pair.aborted = static_cast<SRB_Abort*>(request)->SRB_ToAbort;
  if (header->SRB_Cmd != SC_EXEC_SCSI_CMD) return header->SRB_Status;
  auto* srb = static_cast<SRB_ExecSCSICmd*>(request);
  if (srb->CDBByte[0] == 0x12) {
    ++pair.inquiries;
    const bool here = srb->SRB_HaId == 0 && srb->SRB_Target == 0 && srb->SRB_Lun == 0;
    if (here) srb->SRB_BufPointer[0] = 0x05;
    return srb->SRB_Status = here ? SS_COMP : SS_NO_DEVICE;
  }
  ++pair.commands;
  // Complete answers nothing at all: a drive whose answer is too short.
  if (pair.mode == PairMode::Complete) return SS_COMP;
  if (pair.mode == PairMode::Garbage) {
    if (srb->SRB_BufPointer && (srb->SRB_Flags & SRB_DIR_IN)) std::memset(srb->SRB_BufPointer, 0xFF, srb->SRB_BufLen);
    return SS_COMP;
  }
  srb->SRB_Status = SS_PENDING;
  if (pair.mode == PairMode::CompleteLater) {
    pair.worker = std::thread([srb] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      srb->SRB_Status = SS_COMP;
      static_cast<TEvent*>(srb->SRB_PostProc)->SetEvent();
    });
  }
  return SS_PENDING;
}

class OwnPairTest : public ::testing::Test {
protected:
  void SetUp() override {
    pair.mode = PairMode::Complete;
    pair.adapters = 1;
    pair.commands = 0;
    pair.aborted = nullptr;
    BindTransport(PairSupportInfo, PairSendCommand, "TESTPAIR");
    device_.reset(new TSCSIDevice(nullptr));
    device_->SelectDevice("0:0:0");
    pair.commands = 0;
  }
  void TearDown() override {
    if (pair.worker.joinable()) pair.worker.join();
    device_.reset();
    ShutdownTransport();
    SetVirtualClock(false);
  }
  DevicePtr device_;
};

TEST_F(OwnPairTest, WaitsForACommandThatCompletesLater) {
  pair.mode = PairMode::CompleteLater;
  EXPECT_TRUE(device_->TestUnitReady(1000));
  EXPECT_EQ(pair.aborted.load(), nullptr);
}

TEST_F(OwnPairTest, AbortsACommandThatNeverCompletes) {
  SetVirtualClock(true);
  pair.mode = PairMode::Never;
  struct Case {
    int timeout_ms;
    uint64_t waited_ms;
  } cases[] = {{5000, 10000}, {30000, 30000}};  // never less than ten seconds
  for (const Case& c : cases) {
    SRB_ExecSCSICmd srb;
    srb.SRB_Flags = SRB_EVENT_NOTIFY;
    srb.SRB_CDBLen = 6;
    const uint64_t before = GetTickCount64();
    EXPECT_EQ(device_->ExecuteSRB(srb, c.timeout_ms), SS_COMP);
    EXPECT_EQ(GetTickCount64() - before, c.waited_ms);
    EXPECT_EQ(pair.aborted.load(), &srb);
    EXPECT_EQ(srb.SRB_Status, SS_ERR);
    EXPECT_EQ(srb.SRB_HaStat, HASTAT_TIMEOUT);
    EXPECT_EQ(srb.SRB_TimeoutMs, static_cast<uint32_t>(c.timeout_ms));
    EXPECT_EQ(device_->LastErrorText(), "");  // kept: the host status tells
  }
}

TEST_F(OwnPairTest, NothingIsSentWithoutASelectedDevice) {
  device_->SelectDevice("");
  SRB_ExecSCSICmd srb;
  EXPECT_EQ(device_->ExecuteSRB(srb, 1000), SS_NOT_INITIALIZED);
  EXPECT_FALSE(device_->TestUnitReady(1000));
  EXPECT_EQ(device_->LastErrorText(), "");
  EXPECT_EQ(pair.commands.load(), 0);
}

TEST_F(OwnPairTest, CdbByteOneCarriesTheLun) {
  SRB_ExecSCSICmd srb;
  srb.CDBByte[1] = 0xFF;
  device_->ExecuteSRB(srb, 1000);
  EXPECT_EQ(srb.CDBByte[1], 0x1F);  // LUN 0 in bits 5-7, the rest kept
  EXPECT_EQ(srb.SRB_SenseLen, 24);
}

TEST_F(OwnPairTest, AdapterCountDecidesWhatIsScanned) {
  struct Case {
    int reported;
    int8_t count;
    int inquiries;
  } cases[] = {{1, 1, 64}, {0, 7, 7 * 64}, {-1, -1, 0}};  // 0 reads as 7; a failed inquiry scans none
  for (const Case& c : cases) {
    pair.adapters = c.reported;
    pair.inquiries = 0;
    device_->HAInquiry(0);
    device_->ScanDevices();
    EXPECT_EQ(device_->HostAdapterCount(), c.count) << c.reported;
    EXPECT_EQ(pair.inquiries.load(), c.inquiries) << c.reported;
    EXPECT_EQ(device_->DeviceList()->Count(), c.count > 0 ? 1 : 0) << c.reported;
  }
}

TEST_F(OwnPairTest, ShortAndGarbageAnswersStayInsideTheBuffers) {
  for (PairMode mode : {PairMode::Complete, PairMode::Garbage}) {
    pair.mode = mode;
    EXPECT_FALSE(device_->ReadCapabilities());
    EXPECT_EQ(device_->LastErrorText(), "INVALID DATA RECEIVED FROM DEVICE");
    EXPECT_FALSE(device_->SetWriteParameters(false, true, 2, false));
    EXPECT_EQ(device_->LastErrorText(), "INVALID DATA RECEIVED FROM DEVICE");
    EXPECT_FALSE(device_->TestWriteMode(0));
    // What these read stays within their buffers whatever arrived.
    device_->GetDiscType();
    device_->GetSessionCount();
    EXPECT_TRUE(device_->ReadTrackInformation(1));
    uint32_t size = 0, free_size = 0;
    EXPECT_TRUE(device_->ReadBufferCapacity(size, free_size));
    EXPECT_EQ(free_size, size);
  }
}

struct SenseCase {
  uint8_t status, ha_status, target_status;
  std::vector<uint8_t> sense;  // bytes 0, 2, 7, 12, 13
  const char* text;
  bool busy;
};

SRB_ExecSCSICmd FailedSrb(const SenseCase& c) {
  SRB_ExecSCSICmd srb;
  srb.SRB_Status = c.status;
  srb.SRB_HaStat = c.ha_status;
  srb.SRB_TargStat = c.target_status;
  if (!c.sense.empty()) {
    srb.SenseArea[0] = c.sense[0];
    srb.SenseArea[2] = c.sense[1];
    srb.SenseArea[7] = c.sense[2];
    srb.SenseArea[12] = c.sense[3];
    srb.SenseArea[13] = c.sense[4];
  }
  return srb;
}

TEST(ErrorText, StatusHostTargetAndSense) {
  const SenseCase cases[] = {
      {SS_ABORTED, 0, 0, {}, "OPERATION ABORTED BY USER", false},
      {SS_ABORT_FAIL, 0, 0, {}, "OPERATION ABORTED BY USER", false},
      {SS_INVALID_CMD, 0, 0, {}, "INVALID REQUEST", false},
      {SS_INVALID_HA, 0, 0, {}, "INVALID HOST ADAPTER", false},
      {SS_NO_DEVICE, 0, 0, {}, "NO DEVICE", false},
      {SS_INVALID_SRB, 0, 0, {}, "INVALID SRB", false},
      {SS_BUFFER_ALIGN, 0, 0, {}, "BUFFER ALIGNMENT", false},
      {SS_ASPI_IS_BUSY, 0, 0, {}, "ASPI IS BUSY", false},
      {SS_BUFFER_TO_BIG, 0, 0, {}, "BUFFER TOO BIG", false},
      {0x77, 0, 0, {}, "UNKNOWN", false},
      {SS_ERR, 0x09, 0, {}, "COMMAND TIMEOUT", false},
      {SS_ERR, 0x0B, 0, {}, "SRB TIMEOUT", false},
      {SS_ERR, 0x11, 0, {}, "SELECTION TIMEOUT", false},
      {SS_ERR, 0x13, 0, {}, "UNEXPECTED BUS FREE", false},
      {SS_ERR, 0x01, 0, {}, "UNKNOWN", false},
      {SS_ERR, 0, 0x08, {}, "TARGET BUSY", true},
      {SS_ERR, 0, 0x18, {}, "TARGET RESERVATION CONFLICT", false},
      {SS_ERR, 0, 0x28, {}, "TARGET QUEUE FULL", false},
      {SS_ERR, 0, 0x44, {}, "UNKNOWN", false},
      {SS_ERR, 0, 0x02, {0x70, 0x05, 10, 0x24, 0x00}, "ILLEGAL REQUEST (INVALID FIELD IN CDB)", false},
      {SS_ERR, 0, 0x02, {0x70, 0x05, 10, 0x24, 0x07}, "ILLEGAL REQUEST (36,7)", false},
      {SS_ERR, 0, 0x00, {0x71, 0x02, 10, 0x3A, 0x00}, "NOT READY (MEDIUM NOT PRESENT)", false},
      {SS_ERR, 0, 0x02, {0xF0, 0x03, 10, 0x11, 0x00}, "MEDIUM ERROR (UNRECOVERED READ ERROR)", false},
      {SS_ERR, 0, 0x02, {0x70, 0x05, 0, 0x24, 0x00}, "ILLEGAL REQUEST", false},
      {SS_ERR, 0, 0x02, {0x00, 0x05, 0, 0, 0}, "", false},
      {SS_ERR, 0, 0x02, {0x72, 0x05, 0, 0, 0}, "UNKNOWN", false},
      // Sense key 0 goes by the filemark, end-of-medium and length bits, in that order.
      {SS_ERR, 0, 0x02, {0x70, 0xE0, 0, 0, 0}, "FILEMARK", false},
      {SS_ERR, 0, 0x02, {0x70, 0x60, 0, 0, 0}, "END OF MEDIA", false},
      {SS_ERR, 0, 0x02, {0x70, 0x20, 0, 0, 0}, "ILLEGAL LENGTH", false},
      {SS_ERR, 0, 0x02, {0x70, 0x00, 0, 0, 0}, "NO ADDITIONAL SENSE INFORMATION", false},
      {SS_ERR, 0, 0x02, {0x70, 0x09, 0, 0, 0}, "CHECK CONDITION", false},
      {SS_ERR, 0, 0x02, {0x70, 0x0C, 0, 0, 0}, "CHECK CONDITION", false},
      {SS_ERR, 0, 0x02, {0x70, 0x0A, 0, 0, 0}, "COPYABORTED", false},
      {SS_ERR, 0, 0x02, {0x70, 0x06, 10, 0x29, 0x00}, "UNIT ATTENTION (POWER ON, RESET, OR BUS DEVICE RESET OCCURRED)", false},
  };
  for (const SenseCase& c : cases) {
    bool busy = false;
    EXPECT_EQ(ErrorTextOf(FailedSrb(c), busy), c.text) << c.text;
    EXPECT_EQ(busy, c.busy) << c.text;
  }
}

TEST(ErrorText, AdditionalSenseTableIsCompleteAndSorted) {
  ASSERT_EQ(kSenseTextCount, 256);
  for (int i = 1; i < kSenseTextCount; ++i) {
    const TSenseText &a = kSenseTexts[i - 1], &b = kSenseTexts[i];
    EXPECT_TRUE(a.asc < b.asc || (a.asc == b.asc && a.ascq < b.ascq)) << i;
  }
  struct {
    uint8_t asc, ascq;
    const char* text;
  } samples[] = {
      {0x00, 0x00, "NO ADDITIONAL SENSE INFORMATION"},
      {0x08, 0x03, "LOGICAL UNIT COMMUNICATION CRC ERROR (ULTRA-DMA/32)"},
      {0x21, 0x02, "INVALID ADDRESS FOR WRITE"},
      {0x5D, 0xFF, "FAILURE PREDICTION THRESHOLD EXCEEDED (FALSE)"},
      {0x73, 0x06, "RMA/PMA IS ALMOST FULL"},
      {0x04, 0x05, "4,5"},
      {0xFF, 0xFF, "255,255"},
  };
  for (const auto& s : samples) EXPECT_EQ(AdditionalSenseText(s.asc, s.ascq), s.text);
}

using DeviceTest = SoftDriveTest;

TEST_F(DeviceTest, BusyTargetAndHostTimeOutReachTheTexts) {
  TSoftDrive& drive = SelectWriter();
  drive.AddFault({0x00, 1, STATUS_BUSY, {}, false});
  drive.AddFault({0x00, 3, 0, {}, true});
  EXPECT_FALSE(Device().TestUnitReady(1000));
  EXPECT_TRUE(Device().TargetBusy());
  EXPECT_EQ(Device().LastErrorText(), "TARGET BUSY");
  EXPECT_TRUE(Device().TestUnitReady(1000));
  EXPECT_FALSE(Device().TargetBusy());
  EXPECT_EQ(Device().LastErrorText(), "");
  EXPECT_FALSE(Device().TestUnitReady(1000));
  EXPECT_EQ(Device().LastErrorText(), "COMMAND TIMEOUT");
}

TEST_F(DeviceTest, QuirksFollowTheDriveModel) {
  struct Case {
    const char* vendor;
    const char* product;
    bool underrun, link_size, global_wait, write, wait;
  } cases[] = {
      {"SOFTVEND", "CD-W512EB", true, false, false, true, false},
      {"SOFTVEND", "CRX175E", false, true, false, true, false},
      {"SOFTVEND", "CD-RW  CRX800E", false, true, false, true, false},
      {"SOFTVEND", "UJDA740", false, false, true, true, false},
      {"TDK", "ANY WRITER", false, false, true, true, false},
      {"TD", "ANY WRITER", false, false, false, true, false},
      {"SOFTVEND", "CDRW321040X", false, false, false, false, false},
      {"SOFTVEND", "DVD-RW  DVR-104", false, false, false, true, true},
      {"SOFTVEND", "DVD-RW  DVR-105", false, false, false, true, false},
  };
  for (const Case& c : cases) {
    ShutdownTransport();
    AddDrive(0, c.vendor, c.product);
    Start().SelectDevice(Device().DeviceList()->Strings(0));
    EXPECT_EQ(Device().UnderrunFreeQuirk(), c.underrun) << c.product;
    EXPECT_EQ(Device().LinkSizeQuirk(), c.link_size) << c.product;
    EXPECT_EQ(GlobalWaitReadyQuirk, c.global_wait) << c.vendor << c.product;
    EXPECT_EQ(WriteQuirk, c.write) << c.product;
    EXPECT_EQ(Device().WaitReadyQuirk(), c.wait) << c.product;
  }
}

}  // namespace
