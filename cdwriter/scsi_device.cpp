// TSCSIDevice: transport, device list, selection, command execution and lock
// (see scsi_device.h).

#include "cdwriter/scsi_device.h"

#include <cstring>

#include "cdwriter/aspi_transport.h"
#include "cdwriter/cd_texts.h"
#include "cdwriter/scsi_errors.h"
#include "cdwriter/spti_layer.h"
#include "platform/rtl/format.h"
#include "platform/rtl/text.h"

bool GlobalWaitReadyQuirk = false;
bool WriteQuirk = false;
uint16_t CurrentDiscType = 0;
bool SessionAtOnceMode = false;

namespace {

constexpr int kMinWaitMs = 10000;
constexpr uint8_t kAdaptersWhenNoneReported = 7;
constexpr uint8_t kMaxScanTargets = 8;
constexpr uint8_t kMaxScanLuns = 8;
constexpr uint8_t kWormDeviceType = 4;
constexpr uint8_t kCdDvdDeviceType = 5;
constexpr size_t kSelectableEntryMin = 5;
constexpr size_t kVendorOffset = 8, kVendorChars = 8;
constexpr size_t kProductOffset = 16, kProductChars = 16;
constexpr size_t kRevisionOffset = 32, kRevisionChars = 4;
constexpr size_t kIdentificationEnd = 56;  // control characters are blanked up to here
constexpr uint8_t kLunShift = 5;
constexpr uint8_t kCdbByte1Mask = 0x1F;

AnsiString InquiryField(const uint8_t* inquiry, size_t offset, size_t chars) {
  return AnsiString(reinterpret_cast<const char*>(inquiry) + offset, chars);
}

bool StartsWith(const AnsiString& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace

TSCSIDevice::TSCSIDevice(TComponent* owner) : TComponent(owner), device_list_(std::make_unique<TStringList>()) {
  if (::ASPIInitialized()) {
    HAInquiry(0);
    ScanDevices();
  }
}

TSCSIDevice::~TSCSIDevice() = default;

bool TSCSIDevice::InitializeASPI(bool mode, const AnsiString& dll_name) {
  bool loaded = false;
  try {
    loaded = LoadTransport(mode, dll_name);
  } catch (const std::exception&) {
    loaded = false;
  }
  if (loaded) {
    HAInquiry(0);
    ScanDevices();
  }
  return loaded;
}

bool TSCSIDevice::ASPIInitialized() const { return ::ASPIInitialized(); }

void TSCSIDevice::HAInquiry(uint8_t adapter) {
  ha_inquiry_srb_ = SRB_HAInquiry{};
  ha_inquiry_srb_.SRB_Cmd = SC_HA_INQUIRY;
  ha_inquiry_srb_.SRB_HaId = adapter;
  SendASPI32Command(&ha_inquiry_srb_);
  if (ha_inquiry_srb_.SRB_Status != SS_COMP) {
    host_adapter_count_ = -1;
    return;
  }
  const uint8_t count = ha_inquiry_srb_.HA_Count;
  host_adapter_count_ = static_cast<int8_t>(count == 0 ? kAdaptersWhenNoneReported : count);
}

void TSCSIDevice::ScanDevices() {
  device_list_->Clear();
  const uint8_t ha = ha_id_, target = target_, lun = lun_;
  lun_ = 0;
  if (do_debug_) DebugMessage(SDebugPrefix + TransportName(), 1);
  const int adapters = host_adapter_count_;  // each inquiry below updates the count
  for (int adapter = 0; adapter < adapters; ++adapter) {
    HAInquiry(static_cast<uint8_t>(adapter));
    if (do_debug_) {
      const AnsiString manager(ha_inquiry_srb_.HA_ManagerId, kIdentifierChars);
      const AnsiString identifier(ha_inquiry_srb_.HA_Identifier, kIdentifierChars);
      DebugMessage(SDebugPrefix + manager + " (" + Trim(identifier.c_str()) + ")", 1);
    }
    for (uint8_t t = 0; t < kMaxScanTargets; ++t) {
      for (uint8_t l = 0; l < kMaxScanLuns; ++l) {
        ha_id_ = static_cast<uint8_t>(adapter);
        target_ = t;
        lun_ = l;
        std::memset(inquiry_data_, 0, sizeof inquiry_data_);
        if (Inquiry()) AddDeviceEntry();
      }
    }
  }
  ha_id_ = ha;
  target_ = target;
  lun_ = lun;
  last_error_text_.clear();
}

void TSCSIDevice::AddDeviceEntry() {
  const uint8_t type = inquiry_data_[0];
  if (type != kCdDvdDeviceType && type != kWormDeviceType) return;
  const char letter = GetDriveLetter();
  AnsiString entry = Format("%d:%d:%d,", {int{ha_id_}, int{target_}, int{lun_}});
  entry += letter ? AnsiString(1, letter) + ":" : AnsiString("?:");
  entry += " " + InquiryField(inquiry_data_, kVendorOffset, kVendorChars + kProductChars + kRevisionChars);
  if (type == kWormDeviceType) entry += SNotSupportedSuffix;
  device_list_->Add(entry);
}

void TSCSIDevice::SelectDevice(const AnsiString& device_string) {
  if (device_string.size() < kSelectableEntryMin) {
    if (!device_string.empty()) DebugMessage(SInvalidDeviceId, 0);
    Deselect();
    return;
  }
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (!digit(device_string[0]) || !digit(device_string[2]) || !digit(device_string[4])) {
    DebugMessage(SInvalidDeviceId, 0);
    Deselect();
    return;
  }
  ha_id_ = static_cast<uint8_t>(device_string[0] - '0');
  target_ = static_cast<uint8_t>(device_string[2] - '0');
  lun_ = static_cast<uint8_t>(device_string[4] - '0');
  device_string_ = device_string;
  ReadDeviceInfo();
  if (device_type_ != kCdDvdDeviceType && device_type_ != kWormDeviceType) {
    DebugMessage(SInvalidDeviceId, 0);
    Deselect();
    return;
  }
  SetQuirks();
  if (OnDeviceChange) OnDeviceChange(this);
  ProbeWriteModes();
}

void TSCSIDevice::SetQuirks() {
  const AnsiString raw_product = InquiryField(inquiry_data_, kProductOffset, kProductChars);
  const AnsiString product = Trim(raw_product);
  const AnsiString vendor = Trim(InquiryField(inquiry_data_, kVendorOffset, kVendorChars));
  underrun_free_quirk_ = product == "CD-W512EB";
  link_size_quirk_ = product == "CRX175E" || product == "CD-RW  CRX800E";
  GlobalWaitReadyQuirk = StartsWith(product, "UJDA") || StartsWith(vendor, "TDK");
  WriteQuirk = product != "CDRW321040X";
  wait_ready_quirk_ = raw_product == "DVD-RW  DVR-103 " || raw_product == "DVD-RW  DVR-104 ";
  if (wait_ready_quirk_) WriteQuirk = true;
}

void TSCSIDevice::Deselect() {
  device_string_.clear();
  device_description_.clear();
  device_type_ = kDeselectedDeviceType;
  ha_id_ = target_ = lun_ = kNoDevice;
}

void TSCSIDevice::ReadDeviceInfo() {
  ReadCapabilities();
  if (!Inquiry()) {
    // The type of an earlier selection must not make this one look valid.
    device_type_ = kDeselectedDeviceType;
    device_description_ = last_error_text_;
    return;
  }
  device_type_ = inquiry_data_[0];
  for (size_t i = kVendorOffset; i < kIdentificationEnd; ++i)
    if (inquiry_data_[i] < 0x20) inquiry_data_[i] = ' ';
  device_description_ = InquiryField(inquiry_data_, kVendorOffset, kVendorChars) + " " +
                        InquiryField(inquiry_data_, kProductOffset, kProductChars) + " " +
                        InquiryField(inquiry_data_, kRevisionOffset, kRevisionChars);
}

char TSCSIDevice::GetDriveLetter() const { return 0; }

AnsiString TSCSIDevice::DevicePath() const {
  if (TransportName() != kBuiltInTransportName) return "";
  return SptiDevicePathOf(ha_id_, target_, lun_);
}

void TSCSIDevice::SetCloseHandleAfterCommand(bool value) { ::SetCloseHandleAfterCommand(value); }

void TSCSIDevice::Lock() { lock_.Enter(); }

void TSCSIDevice::Unlock() { lock_.Leave(); }

void TSCSIDevice::DebugMessage(const AnsiString& message, uint8_t mType) {
  if (OnDebugMessage) OnDebugMessage(this, message, mType);
}

uint8_t TSCSIDevice::ExecuteSRB(SRB_ExecSCSICmd& srb, int timeout_ms) {
  last_error_text_.clear();
  target_busy_ = false;
  std::memset(last_sense_, 0, sizeof last_sense_);
  if (!::ASPIInitialized() || ha_id_ == kNoDevice) return SS_NOT_INITIALIZED;
  std::unique_ptr<TEvent> done;
  if (srb.SRB_Flags & SRB_EVENT_NOTIFY) {
    done = std::make_unique<TEvent>();
    done->ResetEvent();
  }
  srb.SRB_PostProc = done.get();
  srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
  srb.SRB_HaId = ha_id_;
  srb.SRB_Target = target_;
  srb.SRB_Lun = lun_;
  srb.SRB_SenseLen = kRequestSenseBytes;
  srb.SRB_TimeoutMs = static_cast<uint32_t>(std::max(timeout_ms, 0));
  srb.CDBByte[1] = static_cast<uint8_t>(((lun_ & 7) << kLunShift) | (srb.CDBByte[1] & kCdbByte1Mask));
  const int wait_ms = std::max(timeout_ms, kMinWaitMs);
  SendASPI32Command(&srb);
  if (done && srb.SRB_Status == SS_PENDING) done->WaitFor(static_cast<uint32_t>(wait_ms));
  if (srb.SRB_Status != SS_COMP && srb.SRB_Status != SS_PENDING) {
    last_error_text_ = ErrorTextOf(srb, target_busy_);
    std::memcpy(last_sense_, srb.SenseArea, sizeof last_sense_);
  }
  if (srb.SRB_Status == SS_PENDING) {
    // The request never finished: take it back from the transport. The
    // error text stays empty; the host status says what happened.
    AbortSRB(srb);
    srb.SRB_Status = SS_ERR;
    srb.SRB_HaStat = HASTAT_TIMEOUT;
  }
  srb.SRB_PostProc = nullptr;
  return SS_COMP;
}

void TSCSIDevice::AbortSRB(SRB_ExecSCSICmd& srb) {
  abort_srb_ = SRB_Abort{};
  abort_srb_.SRB_Cmd = SC_ABORT_SRB;
  abort_srb_.SRB_HaId = ha_id_;
  abort_srb_.SRB_ToAbort = &srb;
  SendASPI32Command(&abort_srb_);
}
