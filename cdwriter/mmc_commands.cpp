// The single SCSI/MMC commands of TSCSIDevice: each builds one command block,
// runs it through ExecuteSRB with its own time-out and reports whether the
// drive completed it.

#include <cstring>
#include <vector>

#include "cdwriter/byte_order.h"
#include "cdwriter/scsi_device.h"
#include "cdwriter/spti_layer.h"
#include "platform/rtl/exceptions.h"

namespace {

constexpr uint8_t kNoData = SRB_EVENT_NOTIFY;
constexpr uint8_t kDataIn = SRB_EVENT_NOTIFY | SRB_DIR_IN;
constexpr uint8_t kDataOut = SRB_EVENT_NOTIFY | SRB_DIR_OUT;
constexpr int kDefaultTimeoutMs = 10000;
constexpr int kModeSenseTimeoutMs = 20000;
constexpr int kLoadEjectTimeoutMs = 20000;
constexpr int kConfigurationTimeoutMs = 30000;
constexpr int kTrackInfoTimeoutMs = 60000;
constexpr int kWriteTimeoutMs = 120000;
constexpr int kOpcTimeoutMs = 150000;
constexpr int kCloseTimeoutMs = 180000;
constexpr int kCueSheetTimeoutMs = 30000;
constexpr int kMaxTocLength = 255;
constexpr uint16_t kMaxSpeed = 0xFFFF;  // what SET CD SPEED takes for "as fast as possible"
constexpr uint8_t kBufferCapacityBytes = 32;
constexpr uint8_t kTimeStampFormat = 0x0F;
constexpr size_t kTimeStampBytes = 22;
constexpr size_t kPerformanceDescriptorBytes = 28;

}  // namespace

struct TSCSIDevice::Cdb {
  explicit Cdb(uint8_t size, uint8_t opcode) : length(size) { bytes[0] = opcode; }
  uint8_t bytes[kMaxCdbBytes] = {};
  uint8_t length;
};

bool TSCSIDevice::Run(const Cdb& cdb, uint8_t flags, uint8_t* data, uint32_t length, int timeout_ms) {
  SRB_ExecSCSICmd srb;
  srb.SRB_Flags = flags;
  srb.SRB_CDBLen = cdb.length;
  srb.SRB_SenseLen = kRequestSenseBytes;
  srb.SRB_BufLen = length;
  srb.SRB_BufPointer = data;
  std::memcpy(srb.CDBByte, cdb.bytes, sizeof srb.CDBByte);
  ExecuteSRB(srb, timeout_ms);
  return srb.SRB_Status == SS_COMP;
}

bool TSCSIDevice::TestUnitReady(int timeout_ms) { return Run(Cdb(6, 0x00), kNoData, nullptr, 0, timeout_ms); }

void TSCSIDevice::RewindUnit() { Run(Cdb(6, 0x01), kNoData, nullptr, 0, kDefaultTimeoutMs); }

bool TSCSIDevice::RequestSense(uint8_t* data, uint8_t length) {
  Cdb cdb(6, 0x03);
  cdb.bytes[4] = length;
  return Run(cdb, kDataIn, data, length, kDefaultTimeoutMs);
}

bool TSCSIDevice::FormatUnit(uint8_t flags, uint8_t* data, uint32_t length) {
  Cdb cdb(6, 0x04);
  cdb.bytes[1] = flags;
  return Run(cdb, kDataOut, data, length, kDefaultTimeoutMs);
}

bool TSCSIDevice::Inquiry() {
  Cdb cdb(6, 0x12);
  cdb.bytes[4] = kInquiryBytes;
  return Run(cdb, kDataIn, inquiry_data_, kInquiryBytes, kDefaultTimeoutMs);
}

bool TSCSIDevice::LoadEject(bool eject) {
  Cdb cdb(6, 0x1B);
  cdb.bytes[4] = eject ? 0x02 : 0x03;
  // The drive is reopened for the tray command, so the system does not keep
  // a stale handle to a medium that is leaving.
  ::SetCloseHandleAfterCommand(true);
  const bool ok = Run(cdb, kNoData, nullptr, 0, kLoadEjectTimeoutMs);
  ::SetCloseHandleAfterCommand(false);
  return ok;
}

bool TSCSIDevice::PreventAllowRemoval(bool allow) {
  Cdb cdb(6, 0x1E);
  cdb.bytes[4] = allow ? 0x00 : 0x01;
  if (allow) ::SetCloseHandleAfterCommand(true);
  const bool ok = Run(cdb, kNoData, nullptr, 0, kDefaultTimeoutMs);
  ::SetCloseHandleAfterCommand(false);
  return ok;
}

bool TSCSIDevice::ReadSectors(int32_t lba, uint16_t blocks, uint32_t length, uint8_t* data) {
  Cdb cdb(10, 0x28);
  PutBE32(cdb.bytes + 2, static_cast<uint32_t>(lba));
  PutBE16(cdb.bytes + 7, blocks);
  return Run(cdb, kDataIn, data, length, kDefaultTimeoutMs);
}

bool TSCSIDevice::WriteSectors(int32_t lba, uint16_t blocks, uint8_t flags, uint32_t length, uint8_t* data) {
  Cdb cdb(10, 0x2A);
  PutBE32(cdb.bytes + 2, static_cast<uint32_t>(lba));  // a negative address as two's complement
  PutBE16(cdb.bytes + 7, blocks);
  return Run(cdb, flags, data, length, kWriteTimeoutMs);
}

bool TSCSIDevice::SynchronizeCache(int timeout_ms, bool immediate) {
  Cdb cdb(10, 0x35);
  cdb.bytes[1] = immediate ? 0x02 : 0x00;
  return Run(cdb, kNoData, nullptr, 0, timeout_ms);
}

bool TSCSIDevice::ReadTOC(uint8_t format, uint8_t* data, uint8_t control, bool msf, uint8_t track_session,
                          int length) {
  if (length < 0 || length > kMaxTocLength) throw ERangeError(SRangeError);
  Cdb cdb(10, 0x43);
  cdb.bytes[1] = msf ? 0x02 : 0x00;
  cdb.bytes[2] = format;
  cdb.bytes[6] = track_session;
  cdb.bytes[8] = static_cast<uint8_t>(length);
  cdb.bytes[9] = control;
  return Run(cdb, kDataIn, data, static_cast<uint32_t>(length), kDefaultTimeoutMs);
}

bool TSCSIDevice::GetConfiguration(uint8_t rt, uint16_t starting_feature, uint16_t length, uint8_t* data) {
  Cdb cdb(10, 0x46);
  cdb.bytes[1] = rt;
  cdb.bytes[3] = static_cast<uint8_t>(starting_feature);
  cdb.bytes[8] = static_cast<uint8_t>(length);
  return Run(cdb, kDataIn, data, length, kConfigurationTimeoutMs);
}

bool TSCSIDevice::ReadDiscInformation(uint8_t* data, uint16_t length) {
  Cdb cdb(10, 0x51);
  cdb.bytes[8] = static_cast<uint8_t>(length);
  return Run(cdb, kDataIn, data, length, kDefaultTimeoutMs);
}

bool TSCSIDevice::ReadTrackInformation(uint32_t track) {
  Cdb cdb(10, 0x52);
  cdb.bytes[1] = 0x01;
  PutBE32(cdb.bytes + 2, track);
  cdb.bytes[8] = kTrackInfoBytes;
  if (!Run(cdb, kDataIn, track_info_, kTrackInfoBytes, kTrackInfoTimeoutMs)) return false;
  const uint16_t length = GetBE16(track_info_);
  std::memcpy(track_info_, &length, sizeof length);
  for (size_t offset = 8; offset <= 28; offset += 4) {
    const uint32_t value = GetBE32(track_info_ + offset);
    std::memcpy(track_info_ + offset, &value, sizeof value);
  }
  return true;
}

bool TSCSIDevice::ReserveTrack(uint32_t size) {
  Cdb cdb(12, 0x53);
  PutBE32(cdb.bytes + 5, size);
  return Run(cdb, kNoData, nullptr, 0, kDefaultTimeoutMs);
}

bool TSCSIDevice::SendOPCInformation() {
  Cdb cdb(10, 0x54);
  cdb.bytes[1] = 0x01;
  return Run(cdb, kNoData, nullptr, 0, kOpcTimeoutMs);
}

bool TSCSIDevice::ModeSelect10(const uint8_t* data, uint16_t length) {
  Cdb cdb(10, 0x55);
  cdb.bytes[1] = 0x10;
  cdb.bytes[8] = static_cast<uint8_t>(length);
  std::vector<uint8_t> parameters(data, data + length);
  return Run(cdb, kDataOut, parameters.data(), length, kDefaultTimeoutMs);
}

bool TSCSIDevice::ModeSense10(uint8_t page, uint8_t* data, bool default_values, uint16_t length,
                              uint16_t clear_length) {
  constexpr uint8_t kDefaultValues = 0x80;
  Cdb cdb(10, 0x5A);
  cdb.bytes[2] = static_cast<uint8_t>(page + (default_values ? kDefaultValues : 0));
  PutBE16(cdb.bytes + 7, length);
  std::memset(data, 0, size_t{clear_length} + 1);
  std::vector<uint8_t> answer(length);
  if (!Run(cdb, kDataIn, answer.data(), length, kModeSenseTimeoutMs)) return false;
  std::memcpy(data, answer.data(), length);
  return true;
}

bool TSCSIDevice::CloseTrackSession(bool close_track, bool immediate, bool finalize) {
  Cdb cdb(10, 0x5B);
  cdb.bytes[1] = immediate ? 0x01 : 0x00;
  cdb.bytes[2] = finalize ? 0x05 : close_track ? 0x01 : 0x02;
  if (close_track) cdb.bytes[5] = 0xFF;
  return Run(cdb, kNoData, nullptr, 0, kCloseTimeoutMs);
}

bool TSCSIDevice::CloseTrackSessionRaw(bool immediate, uint8_t function, uint8_t byte3, uint8_t byte4,
                                       uint8_t byte5) {
  Cdb cdb(10, 0x5B);
  cdb.bytes[1] = immediate ? 0x01 : 0x00;
  cdb.bytes[2] = function;
  cdb.bytes[3] = byte3;
  cdb.bytes[4] = byte4;
  cdb.bytes[5] = byte5;
  return Run(cdb, kNoData, nullptr, 0, kCloseTimeoutMs);
}

bool TSCSIDevice::ReadBufferCapacity(uint32_t& buffer_size, uint32_t& free_size) {
  constexpr uint32_t kUnreported = 0xFFFFFFFF;
  Cdb cdb(10, 0x5C);
  cdb.bytes[8] = kBufferCapacityBytes;
  uint8_t answer[kBufferCapacityBytes] = {};
  if (!Run(cdb, kDataIn, answer, sizeof answer, kDefaultTimeoutMs)) {
    device_free_buffer_size_ = 0;
    free_size = 0;
    return false;
  }
  device_buffer_size_ = GetBE32(answer + 4);
  device_free_buffer_size_ = GetBE32(answer + 8);
  if (device_free_buffer_size_ == kUnreported) device_free_buffer_size_ = device_buffer_size_;
  buffer_size = device_buffer_size_;
  free_size = device_free_buffer_size_;
  return true;
}

bool TSCSIDevice::SendCueSheet(const uint8_t* data, uint32_t length) {
  Cdb cdb(10, 0x5D);
  PutBE16(cdb.bytes + 7, static_cast<uint16_t>(length));
  return Run(cdb, kDataOut, const_cast<uint8_t*>(data), length, kCueSheetTimeoutMs);
}

bool TSCSIDevice::SetStreaming(const uint8_t* data, uint16_t length) {
  Cdb cdb(12, 0xB6);
  PutBE16(cdb.bytes + 9, length);
  return Run(cdb, kDataOut, const_cast<uint8_t*>(data), length, kDefaultTimeoutMs);
}

bool TSCSIDevice::SetCDSpeed(uint16_t read_speed, uint16_t write_speed) {
  Cdb cdb(12, 0xBB);
  PutBE16(cdb.bytes + 2, read_speed ? read_speed : kMaxSpeed);
  PutBE16(cdb.bytes + 4, write_speed ? write_speed : kMaxSpeed);
  return Run(cdb, kNoData, nullptr, 0, kDefaultTimeoutMs);
}

bool TSCSIDevice::SendDVDStructure(uint8_t format, const uint8_t* data, uint16_t length) {
  Cdb cdb(12, 0xBF);
  cdb.bytes[7] = format;
  PutBE16(cdb.bytes + 8, length);
  return Run(cdb, kDataOut, const_cast<uint8_t*>(data), length, kDefaultTimeoutMs);
}

bool TSCSIDevice::SendTimeStamp(TDateTime when) {
  uint8_t parameters[kTimeStampBytes] = {};
  PutBE16(parameters, kTimeStampBytes - 2);
  const AnsiString stamp = FormatDateTime("yyyymmddhhnnss", when);
  std::memcpy(parameters + 8, stamp.data(), std::min<size_t>(stamp.size(), kTimeStampBytes - 8));
  return SendDVDStructure(kTimeStampFormat, parameters, kTimeStampBytes);
}

bool TSCSIDevice::SetStreamingPerformance(uint32_t end_lba, uint32_t read_size, uint32_t write_size,
                                          uint32_t read_time, uint32_t write_time) {
  uint8_t descriptor[kPerformanceDescriptorBytes] = {};
  PutBE32(descriptor + 8, end_lba);
  PutBE32(descriptor + 12, read_size);
  PutBE32(descriptor + 16, read_time);
  PutBE32(descriptor + 20, write_size);
  PutBE32(descriptor + 24, write_time);
  return SetStreaming(descriptor, kPerformanceDescriptorBytes);
}

void TSCSIDevice::SetWriteSpeed(uint16_t value) {
  SetCDSpeed(read_speed_, value);
  write_speed_ = value;
}
