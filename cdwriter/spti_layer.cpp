// The built-in pass-through transport (see spti_layer.h).

#include "cdwriter/spti_layer.h"

#include <algorithm>
#include <cstring>

#include "cdwriter/drive_port.h"
#include "cdwriter/sg_io_port.h"
#include "cdwriter/srb.h"

namespace {

constexpr uint8_t kNoAddressLun = 250;   // marks a drive that reported no SCSI address
constexpr size_t kCapturedInquiryBytes = 40;
constexpr size_t kTableInquiryAnswerBytes = 36;
constexpr uint8_t kProbeInquiryBytes = 96;
constexpr uint8_t kProbeSenseBytes = 24;
constexpr uint8_t kOwnScsiId = 7;
constexpr uint8_t kAlignmentMask = 7;
constexpr uint8_t kMaxTargets = 8;
constexpr uint32_t kMaxTransferBytes = 0xFF0000;
constexpr uint8_t kCdDvdDeviceType = 5;
constexpr uint8_t kUnknownDeviceType = 0x1F;
constexpr uint8_t kInquiryOpcode = 0x12;

struct DriveRecord {
  uint8_t ha_id;
  uint8_t target;
  uint8_t lun;
  uint8_t node;
  uint8_t present;
  int handle;
  uint8_t inquiry[kCapturedInquiryBytes];
};

// Trivially destructible on purpose: the transport's exit clean-up may run
// after this file's objects would otherwise be gone.
struct Layer {
  IDrivePort* port;
  bool scanned;
  uint8_t no_address_count;
  uint8_t adapter_count;
  bool close_after_command;
  DriveRecord table[kDriveNodeCount];
} layer;

IDrivePort& Port() {
  static IDrivePort* const linux_port = new TSgIoPort;  // lives as long as the process
  return layer.port ? *layer.port : *linux_port;
}

void ClearTable() {
  for (DriveRecord& r : layer.table) {
    r = DriveRecord{};
    r.handle = kInvalidDriveHandle;
  }
}

uint8_t CountAdapters() {
  uint8_t highest = 0;
  for (const DriveRecord& r : layer.table) highest = std::max(highest, r.ha_id);
  return highest + 1;
}

bool ProbeDrive(int node) {
  IDrivePort& port = Port();
  const int handle = port.Open(node);
  if (handle == kInvalidDriveHandle) return false;
  uint8_t answer[kProbeInquiryBytes] = {};
  TPassThroughRequest inquiry;
  inquiry.cdb[0] = kInquiryOpcode;
  inquiry.cdb[4] = kProbeInquiryBytes;
  inquiry.cdb_length = 6;
  inquiry.sense_length = kProbeSenseBytes;
  inquiry.direction = TDataDirection::In;
  inquiry.data = answer;
  inquiry.data_length = sizeof answer;
  inquiry.timeout_ms = kPassThroughMinTimeoutMs;
  if (!port.SendCommand(handle, inquiry)) {
    port.Close(handle);
    return false;
  }
  DriveRecord& r = layer.table[node];
  std::memcpy(r.inquiry, answer, sizeof r.inquiry);
  TScsiAddress address;
  if (port.GetAddress(handle, address)) {
    r.ha_id = address.port_number;
    r.target = address.target_id;
    r.lun = address.lun;
  } else {
    r.ha_id = 0;
    r.target = layer.no_address_count++;
    r.lun = kNoAddressLun;
  }
  r.present = 1;
  r.node = static_cast<uint8_t>(node);
  r.handle = kInvalidDriveHandle;
  port.Close(handle);
  return true;
}

// Only present records: a cleared one would otherwise answer as 0:0:0.
DriveRecord* FindDrive(uint8_t ha_id, uint8_t target, uint8_t lun) {
  for (DriveRecord& r : layer.table)
    if (r.present && r.ha_id == ha_id && r.target == target && r.lun == lun) return &r;
  return nullptr;
}

uint8_t HostAdapterInquiry(SRB_HAInquiry& srb) {
  srb.HA_Count = layer.adapter_count;
  if (srb.SRB_HaId >= layer.adapter_count) return SS_INVALID_HA;
  srb.HA_SCSI_ID = kOwnScsiId;
  std::memcpy(srb.HA_ManagerId, kBuiltInManagerId, kIdentifierChars);
  std::memset(srb.HA_Identifier, 0, kIdentifierChars);
  std::memcpy(srb.HA_Identifier, "SPTI ", 5);
  srb.HA_Identifier[5] = static_cast<char>('0' + srb.SRB_HaId % 10);
  std::memset(srb.HA_Unique, 0, sizeof srb.HA_Unique);
  srb.HA_Unique[0] = kAlignmentMask;
  srb.HA_Unique[3] = kMaxTargets;
  std::memcpy(srb.HA_Unique + 4, &kMaxTransferBytes, sizeof kMaxTransferBytes);
  return SS_COMP;
}

uint8_t DeviceType(SRB_GDEVBlock& srb) {
  const bool present = FindDrive(srb.SRB_HaId, srb.SRB_Target, srb.SRB_Lun) != nullptr;
  srb.SRB_DeviceType = present ? kCdDvdDeviceType : kUnknownDeviceType;
  return present ? SS_COMP : SS_NO_DEVICE;
}

TDataDirection DirectionOf(uint8_t flags) {
  if (flags & SRB_DIR_IN) return TDataDirection::In;
  if (flags & SRB_DIR_OUT) return TDataDirection::Out;
  return TDataDirection::None;
}

// INQUIRY comes from the table, never from the drive; at most what was asked.
uint8_t TableInquiry(SRB_ExecSCSICmd& srb, const DriveRecord& r) {
  if (srb.SRB_HaId >= layer.adapter_count) return SS_INVALID_HA;
  if (srb.SRB_BufPointer) std::memcpy(srb.SRB_BufPointer, r.inquiry, std::min<size_t>(kTableInquiryAnswerBytes, srb.SRB_BufLen));
  return SS_COMP;
}

uint8_t PassThrough(SRB_ExecSCSICmd& srb, DriveRecord& r) {
  IDrivePort& port = Port();
  if (r.handle == kInvalidDriveHandle) r.handle = port.Open(r.node);
  TPassThroughRequest request;
  request.cdb_length = std::min<uint8_t>(srb.SRB_CDBLen, kMaxCdbBytes);
  std::memcpy(request.cdb, srb.CDBByte, request.cdb_length);
  request.sense_length = std::min<uint8_t>(srb.SRB_SenseLen, kPassThroughSenseBytes);
  request.direction = DirectionOf(srb.SRB_Flags);
  request.data = srb.SRB_BufPointer;
  request.data_length = srb.SRB_BufPointer ? srb.SRB_BufLen : 0;
  request.timeout_ms = srb.SRB_TimeoutMs;
  const bool delivered = r.handle != kInvalidDriveHandle && port.SendCommand(r.handle, request);
  uint8_t status = SS_COMP;
  if (!delivered || request.scsi_status != STATUS_GOOD) {
    status = SS_ERR;
    std::memcpy(srb.SenseArea, request.sense, std::min<size_t>(request.sense_length, kSenseAreaBytes));
    srb.SRB_TargStat = request.scsi_status;
    srb.SRB_HaStat = request.host_timeout ? HASTAT_TIMEOUT : HASTAT_OK;
  }
  if (layer.close_after_command && r.handle != kInvalidDriveHandle && port.Close(r.handle))
    r.handle = kInvalidDriveHandle;
  return status;
}

uint8_t Execute(SRB_ExecSCSICmd& srb) {
  DriveRecord* r = FindDrive(srb.SRB_HaId, srb.SRB_Target, srb.SRB_Lun);
  if (!r) return SS_NO_DEVICE;
  if (srb.CDBByte[0] == kInquiryOpcode) return TableInquiry(srb, *r);
  return PassThrough(srb, *r);
}

}  // namespace

void SptiSetPort(IDrivePort* port) { layer.port = port; }

int SptiScanDrives() {
  if (layer.scanned) return 0;
  layer.no_address_count = 0;
  layer.adapter_count = 0;
  ClearTable();
  int found = 0;
  for (int node = 0; node < kDriveNodeCount; ++node)
    if (Port().IsOpticalNode(node) && ProbeDrive(node)) ++found;
  layer.adapter_count = CountAdapters();
  if (layer.no_address_count > 0) {
    for (DriveRecord& r : layer.table) {
      if (!r.present || r.lun != kNoAddressLun) continue;
      r.lun = 0;
      r.ha_id = layer.adapter_count;
    }
    layer.adapter_count = CountAdapters();
  }
  layer.scanned = true;
  return found;
}

void SptiShutdown() {
  for (DriveRecord& r : layer.table)
    if (r.present && r.handle != kInvalidDriveHandle) Port().Close(r.handle);
  ClearTable();
  layer.scanned = false;
  layer.adapter_count = 0;
  layer.close_after_command = false;
}

uint32_t SptiSupportInfo() {
  if (layer.adapter_count == 0) return uint32_t{SS_NO_ADAPTERS} << 8;
  return (uint32_t{SS_COMP} << 8) + layer.adapter_count;
}

uint32_t SptiSendCommand(void* srb) {
  if (!srb) return SS_ERR;
  auto* header = static_cast<SRB_Header*>(srb);
  switch (header->SRB_Cmd) {
    case SC_HA_INQUIRY:
      header->SRB_Status = HostAdapterInquiry(*static_cast<SRB_HAInquiry*>(header));
      break;
    case SC_GET_DEV_TYPE:
      header->SRB_Status = DeviceType(*static_cast<SRB_GDEVBlock*>(header));
      break;
    case SC_EXEC_SCSI_CMD:
      header->SRB_Status = Execute(*static_cast<SRB_ExecSCSICmd*>(header));
      break;
    case SC_GET_DISK_INFO:
      header->SRB_Status = SS_PENDING;
      return SS_ERR;
    default:
      header->SRB_Status = SS_ERR;
      return SS_ERR;
  }
  return header->SRB_Status;
}

void SetCloseHandleAfterCommand(bool value) { layer.close_after_command = value; }
bool CloseHandleAfterCommand() { return layer.close_after_command; }

AnsiString SptiDevicePathOf(uint8_t ha_id, uint8_t target, uint8_t lun) {
  const DriveRecord* r = FindDrive(ha_id, target, lun);
  return r ? Port().NodePath(r->node) : AnsiString();
}
