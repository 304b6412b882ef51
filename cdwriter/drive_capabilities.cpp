// What the selected drive can do and how it is to write: the capabilities
// page (2Ah) with the features GET CONFIGURATION reports, the write
// parameters page (05h) set up per disc type, and the probe of write modes.

#include <algorithm>
#include <cstring>

#include "cdwriter/byte_order.h"
#include "cdwriter/cd_texts.h"
#include "cdwriter/scsi_device.h"

namespace {

constexpr uint8_t kPageCodeMask = 0x3F;
constexpr uint8_t kCapabilitiesPage = 0x2A;
constexpr uint8_t kWriteParametersPage = 0x05;
constexpr uint8_t kVendorPage = 0x30;
constexpr uint16_t kDefaultCapabilitiesBytes = 255;
constexpr uint16_t kCurrentCapabilitiesBytes = 128;
constexpr uint16_t kVendorPageBytes = 128;
constexpr uint16_t kWriteParametersAnswerBytes = 512;
constexpr uint16_t kConfigurationBytes = 114;
constexpr size_t kModeHeaderBytes = 8;
constexpr size_t kCapabilitiesFieldsEnd = 22;     // the page is read up to byte 21
constexpr uint16_t kFallbackWriteSpeed = 1385;    // kB/s, what a drive reporting 0 is taken to write
constexpr uint8_t kWriteParametersLength = 50;
constexpr size_t kModeSelectBytes = kWriteParametersLength + 10;
constexpr size_t kPageBytesSent = kWriteParametersLength + 2;
constexpr size_t kPageBytesSentAt16 = 45;          // what a page found at offset 16 sends
constexpr uint16_t kAudioPause = 150;
constexpr uint8_t kFeatureWritable = 1;

// Where the page starts in a MODE SENSE(10) answer of at least 17 bytes.
size_t LocatePage(const uint8_t* answer, uint8_t page) {
  for (size_t offset : {16, 8, 7})
    if ((answer[offset] & kPageCodeMask) == page) return offset;
  return 8;
}

// Bytes the drive really sent: what the header claims, never more than asked.
size_t ArrivedBytes(const uint8_t* answer, size_t asked) {
  return std::min<size_t>(asked, size_t{GetBE16(answer)} + 2);
}

void StoreNative16(uint8_t* p, uint16_t value) { std::memcpy(p, &value, sizeof value); }
uint16_t LoadNative16(const uint8_t* p) {
  uint16_t value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

uint16_t SpeedOrOne(const uint8_t* page, size_t offset) {
  constexpr uint8_t kDvdRWrite = 0x20;
  const uint16_t speed = GetBE16(page + offset);
  return speed == 0 && (page[3] & kDvdRWrite) ? 1 : speed;
}

// Keeps only what the drive sent of the page; the rest of the copy is zero.
size_t StoreCapabilitiesPage(uint8_t* copy, const uint8_t* answer, size_t offset, size_t arrived) {
  std::memset(copy, 0, kCapabilitiesPageBytes);
  const size_t bytes = arrived > offset ? std::min(arrived - offset, kCapabilitiesPageBytes) : 0;
  std::memcpy(copy, answer + offset, bytes);
  return bytes;
}

}  // namespace

bool TSCSIDevice::AnswerInvalid() {
  last_error_text_ = SInvalidAnswer;
  return false;
}

bool TSCSIDevice::ModeSensePage(uint8_t page, bool default_values, uint16_t length, uint8_t* answer,
                                size_t& offset, size_t& arrived) {
  if (!ModeSense10(page, answer, default_values, length, length - 1)) return false;
  offset = LocatePage(answer, page);
  arrived = ArrivedBytes(answer, length);
  return true;
}

bool TSCSIDevice::HasVendorPage30() {
  uint8_t answer[kVendorPageBytes];
  if (!ModeSense10(kVendorPage, answer, false, sizeof answer, sizeof answer - 1)) return false;
  return answer[16] == kVendorPage || answer[8] == kVendorPage || answer[7] == kVendorPage;
}

void TSCSIDevice::ReadFeature(uint16_t feature, uint32_t present_bits, uint32_t writable_bits) {
  constexpr uint32_t kOneFeatureLength = 8;  // data length covering the feature's header
  uint8_t answer[kConfigurationBytes] = {};
  if (!GetConfiguration(2, feature, sizeof answer, answer)) return;
  if (GetBE32(answer) < kOneFeatureLength || GetBE16(answer + 8) != feature) return;
  device_capabilities_ |= present_bits;
  if (answer[12] == kFeatureWritable) device_capabilities_ |= writable_bits;
}

bool TSCSIDevice::ReadCapabilities() {
  device_capabilities_ = 0;
  device_max_write_speed_ = device_max_read_speed_ = 0;
  std::memset(capabilities_page_, 0, sizeof capabilities_page_);
  uint8_t* page = capabilities_page_;
  size_t offset = 0, arrived = 0;
  uint8_t defaults[kDefaultCapabilitiesBytes];
  if (ModeSensePage(kCapabilitiesPage, true, sizeof defaults, defaults, offset, arrived)) {
    StoreCapabilitiesPage(page, defaults, offset, arrived);
    static constexpr uint32_t kReadBits[6] = {dcReadCDR, dcReadCDRW, dcReadMethod2, dcReadDVD,
                                              dcReadDVDR | dcReadDVDRW, dcReadDVDRAM};
    static constexpr uint32_t kWriteBits[6] = {dcWriteCDR, dcWriteCDRW, dcWriteTest, 0,
                                               dcWriteDVDR | dcWriteDVDRW, dcWriteDVDRAM};
    for (int bit = 0; bit < 6; ++bit) {
      if (page[2] & (1 << bit)) device_capabilities_ |= kReadBits[bit];
      if (page[3] & (1 << bit)) device_capabilities_ |= kWriteBits[bit];
    }
    if (page[4] & 0x80) device_capabilities_ |= dcUnderrunProtection;
    if (HasVendorPage30() || underrun_free_quirk_) device_capabilities_ |= dcUnderrunProtection;
    device_max_write_speed_ = SpeedOrOne(page, 18);
    device_max_read_speed_ = SpeedOrOne(page, 8);
    ReadFeature(0x002A, dcReadDVDPlusRW | dcReadDVDPlusR, dcWriteDVDPlusRW | dcWriteDVDPlusR);
    ReadFeature(0x003B, dcReadDVDPlusRDL, dcWriteDVDPlusRDL);
    ReadFeature(0x002F, dcReadDVDR | dcReadDVDRW, dcWriteDVDR | dcWriteDVDRW);
  }
  uint8_t current[kCurrentCapabilitiesBytes];
  if (!ModeSensePage(kCapabilitiesPage, false, sizeof current, current, offset, arrived)) return false;
  const size_t stored = StoreCapabilitiesPage(page, current, offset, arrived);
  if ((page[0] & kPageCodeMask) != kCapabilitiesPage || stored < kCapabilitiesFieldsEnd) return AnswerInvalid();
  for (size_t speed : {20, 18})
    if (GetBE16(page + speed) == 0) PutBE16(page + speed, kFallbackWriteSpeed);
  for (size_t field : {8, 12, 14, 18, 20}) StoreNative16(page + field, GetBE16(page + field));
  device_max_write_speed_ = std::max(device_max_write_speed_, LoadNative16(page + 18));
  device_max_read_speed_ = std::max(device_max_read_speed_, LoadNative16(page + 8));
  return true;
}

uint16_t TSCSIDevice::GetMaxReadSpeed() { return ReadCapabilities() ? LoadNative16(capabilities_page_ + 8) : 0; }

uint16_t TSCSIDevice::GetCurrentWriteSpeed() {
  return ReadCapabilities() ? LoadNative16(capabilities_page_ + 20) : 0;
}

// MODE SENSE of page 05h into the stored copy; offset says where it was found.
bool TSCSIDevice::ReadWriteParametersPage(size_t& offset, bool only_16_or_8) {
  uint8_t answer[kWriteParametersAnswerBytes];
  size_t arrived = 0;
  if (!ModeSensePage(kWriteParametersPage, false, sizeof answer, answer, offset, arrived)) return false;
  if (only_16_or_8 && offset == 7) offset = 8;
  std::memcpy(write_parameters_page_, answer + offset, kWriteParametersPageBytes);
  if ((write_parameters_page_[0] & kPageCodeMask) != kWriteParametersPage || arrived < offset + 2)
    return AnswerInvalid();
  return true;
}

bool TSCSIDevice::SendWriteParametersPage(size_t offset) {
  uint8_t list[kModeSelectBytes] = {};
  const size_t bytes = offset == 16 ? kPageBytesSentAt16 : kPageBytesSent;
  std::memcpy(list + kModeHeaderBytes, write_parameters_page_, bytes);
  return ModeSelect10(list, sizeof list);
}

bool TSCSIDevice::SetWriteParameters(bool test_write, bool underrun_free, uint16_t disc_type, bool close_disc) {
  enum : uint16_t { kDvdR = 5, kDvdRam = 6, kDvdRw = 7, kDvdRwRestricted = 8, kDvdRwSequential = 9,
                    kDvdPlusRw = 10, kDvdPlusR = 11, kDvdPlusRDl = 12 };
  if (disc_type == kDvdRam) return true;
  size_t offset = 0;
  if (!ReadWriteParametersPage(offset, false)) return false;
  uint8_t* p = write_parameters_page_;
  p[1] = kWriteParametersLength;
  const bool dvd_minus = disc_type == kDvdR;
  p[2] = dvd_minus ? 0x60 : 0x01;
  p[3] = dvd_minus ? 0xE5 : 0x04;
  p[5] = dvd_minus ? 0x10 : 0x00;  // link size
  PutBE32(p + 10, dvd_minus ? 16 : 0);  // packet size
  p[4] = 8;  // data block type: mode 1
  if (SessionAtOnceMode) {
    p[2] = 0x02;
    p[4] = 0;
  }
  if (disc_type == kDvdPlusRw || disc_type == kDvdPlusR) {
    p[2] = 0x22;
    p[3] |= 0xC0;
  }
  if (link_size_quirk_) p[2] |= 0x20;
  const bool sequential_dvd = disc_type == kDvdR || disc_type == kDvdRw || disc_type == kDvdRwRestricted ||
                              disc_type == kDvdRwSequential || disc_type == kDvdPlusR;
  if (sequential_dvd) {
    p[3] |= 0xE0;
  } else if (test_write || finalize_disc_) {
    p[3] &= ~0xC0;
  } else {
    p[3] |= 0xC0;
  }
  const bool bufe = underrun_free && (device_capabilities_ & dcUnderrunProtection);
  p[2] = static_cast<uint8_t>(bufe ? p[2] | 0x40 : p[2] & ~0x40);
  const bool simulate = test_write && (device_capabilities_ & dcWriteTest);
  p[2] = static_cast<uint8_t>(simulate ? p[2] | 0x10 : p[2] & ~0x10);
  std::memset(p + 6, 0, 4);
  if (disc_type == kDvdPlusR) {
    p[6] = 0x10;
    PutBE32(p + 10, 16);
  }
  if (disc_type == kDvdRwRestricted || disc_type == kDvdRwSequential) {
    p[3] = 0xC5;
    p[2] = 0x20;
    p[5] = 0x10;
  }
  if (disc_type == kDvdPlusR) {
    p[3] = 0xC4;
    p[6] = 0;
  }
  if (disc_type == kDvdPlusRDl) {
    p[2] = (p[2] & 0xF0) | 0x22;
    p[3] = (p[3] & 0xD0) | 0x04;
    p[3] = close_disc ? p[3] | 0xC0 : p[3] & 0x3F;
    p[6] = 0;
    p[5] = 0;
    PutBE32(p + 10, 0);
  } else if (underrun_free && (capabilities_page_[4] & 0x80)) {
    p[2] |= 0x40;
  }
  if (disc_type == kDvdPlusRw) {
    p[3] = 0x04;
    p[5] = 0x10;
  }
  PutBE16(p + 14, kAudioPause);
  return SendWriteParametersPage(offset);
}

bool TSCSIDevice::TestWriteMode(uint8_t mode) {
  size_t offset = 0;
  if (!ReadWriteParametersPage(offset, true)) return false;
  uint8_t* p = write_parameters_page_;
  p[4] = 0;
  if (mode == 2) {
    p[2] = 1;  // track at once
  } else if (mode == 1) {
    p[2] = 2;  // session at once
  } else {
    p[2] = 3;  // raw, with data block type 1
    p[4] = 1;
  }
  p[3] = 0;
  p[8] = p[9] = 0;
  PutBE16(p + 14, kAudioPause);
  return SendWriteParametersPage(offset);
}

void TSCSIDevice::ProbeWriteModes() {
  supported_write_modes_ = 0;
  if (TestWriteMode(0)) supported_write_modes_ |= 1;
  if (TestWriteMode(1)) supported_write_modes_ |= 2;
  if (TestWriteMode(2)) supported_write_modes_ |= 4;
}
