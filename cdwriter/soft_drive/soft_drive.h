// A software MMC drive and the drive port that holds such drives, so the
// transport, the drive device and the burn code run against a drive without
// hardware. The drive answers the commands the library sends as MMC defines
// them and checks what a drive checks; every command it does not implement
// gets CHECK CONDITION 5/20/00. It logs every command it receives and can be
// told to fail the nth command of an opcode.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "cdwriter/drive_port.h"
#include "cdwriter/soft_drive/soft_medium.h"

constexpr size_t kSoftInquiryBytes = 96;

// One command as the drive received it.
struct TSoftCommand {
  std::vector<uint8_t> cdb;
  TDataDirection direction = TDataDirection::None;
  uint32_t data_length = 0;
  uint32_t timeout_ms = 0;
  std::vector<uint8_t> data_out;  // what the host sent, except written sectors
};

// The nth command (1-based, counted from when the fault is added) with this
// opcode, and the times - 1 after it, end with the given status and sense, or
// never finish: the host gives up after the command's time-out.
struct TSoftFault {
  uint8_t opcode = 0;
  int nth = 1;
  uint8_t status = 0x02;
  TSoftSense sense;
  bool host_timeout = false;
  int times = 1;
};

// A GET CONFIGURATION feature: its code and the bytes after its 4-byte header;
// a feature that is not current is left out when only current ones are asked for.
struct TSoftFeature {
  uint16_t code;
  std::vector<uint8_t> data;
  bool current = true;
};

class TSoftDrive {
public:
  // A CD/DVD writer identified as vendor/product/revision with the usual
  // pages; peripheral is INQUIRY byte 0.
  TSoftDrive(const AnsiString& vendor, const AnsiString& product, const AnsiString& revision = "1.00",
             uint8_t peripheral = 0x05);

  // --- set-up, before or between commands
  std::optional<TScsiAddress> address;
  // Page 2Ah as the drive answers it (page code, length, bytes).
  std::vector<uint8_t> capabilities_page;
  // The drive's current page 05h; MODE SELECT replaces its bytes.
  std::vector<uint8_t> write_parameters_page;
  // Page 30h when the drive has it.
  std::vector<uint8_t> vendor_page;
  std::vector<uint16_t> profiles;
  std::vector<TSoftFeature> features;
  bool implements_get_configuration = true;
  uint8_t write_types = 0x0F;  // bit n: write type n is accepted (0 packet, 1 TAO, 2 SAO, 3 raw)
  uint32_t buffer_bytes = 2 * 1024 * 1024;
  uint32_t format_ms = 60000;  // how long a FORMAT UNIT keeps the drive busy (clock.h time)
  uint8_t* InquiryData() { return inquiry_; }

  void Insert(const TSoftMediumSetup& setup);
  void Remove();
  TSoftMedium* Medium() { return medium_.get(); }
  void AddFault(const TSoftFault& fault);

  // --- what happened
  const std::vector<TSoftCommand>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }
  int opens = 0;
  int closes = 0;
  uint16_t read_speed = 0, write_speed = 0;
  bool prevent_removal = false;
  bool tray_open = false;

  // Runs one command; false when it never finished (a scripted host time-out).
  bool Execute(TPassThroughRequest& request);

private:
  struct Outcome;
  Outcome Dispatch(TPassThroughRequest& request);
  Outcome NotReadyOrMedium() const;
  Outcome Inquiry(TPassThroughRequest& r);
  Outcome RequestSense(TPassThroughRequest& r);
  Outcome ModeSense(TPassThroughRequest& r);
  Outcome ModeSelect(const TPassThroughRequest& r);
  Outcome GetConfiguration(TPassThroughRequest& r);
  Outcome StartStop(const TPassThroughRequest& r);
  Outcome ReadWrite(TPassThroughRequest& r, bool write);
  Outcome ReadToc(TPassThroughRequest& r);
  Outcome FormatUnit(const TPassThroughRequest& r);
  Outcome MediumCommand(TPassThroughRequest& r);
  bool Formatting() const;
  std::optional<TSoftFault> DueFault(uint8_t opcode);

  uint8_t inquiry_[kSoftInquiryBytes] = {};
  std::unique_ptr<TSoftMedium> medium_;
  std::vector<TSoftCommand> log_;
  struct PendingFault {
    TSoftFault fault;
    int seen;
  };
  std::vector<PendingFault> faults_;
  uint64_t format_end_ = 0;
};

// Holds software drives on the port's nodes.
class TSoftDrivePort : public IDrivePort {
public:
  // Places the drive on a node (0 ... kDriveNodeCount - 1) and returns it.
  TSoftDrive& Add(int node, std::unique_ptr<TSoftDrive> drive);
  TSoftDrive* Drive(int node);

  bool IsOpticalNode(int node) override;
  AnsiString NodePath(int node) override;
  int Open(int node) override;
  bool Close(int handle) override;
  bool SendCommand(int handle, TPassThroughRequest& request) override;
  bool GetAddress(int handle, TScsiAddress& address) override;

private:
  TSoftDrive* DriveOfHandle(int handle);
  std::unique_ptr<TSoftDrive> drives_[kDriveNodeCount];
};
