// The medium in the selected drive: disc information, session count, disc
// type (from the current profile, with ATIP and disc information to fall back
// on for drives that do not report profiles) and the wait until the drive is
// ready again after a format, a close or a tray movement.

#include <algorithm>
#include <cstring>

#include "cdwriter/byte_order.h"
#include "cdwriter/scsi_device.h"
#include "platform/rtl/clock.h"

namespace {

constexpr uint16_t kConfigurationBytes = 114;
constexpr uint8_t kAtipFormat = 4;
constexpr int kReadyProbeTimeoutMs = 5000;
constexpr int kQuirkPauseMs = 1500;
constexpr size_t kWaitSenseBytes = 40;
constexpr size_t kAscOffset = 12;
constexpr uint8_t kAscNotReady = 4;
constexpr uint8_t kValidFixedSense = 0xF0;
constexpr uint16_t kDvdRam = 6;

struct ProfileType {
  uint16_t profile;
  uint16_t disc_type;
};

constexpr ProfileType kProfiles[] = {
    {0x0008, 1}, {0x0009, 2}, {0x000A, 3}, {0x0010, 4}, {0x0011, 5}, {0x0012, 6}, {0x0013, 8},
    {0x0014, 9}, {0x001A, 10}, {0x001B, 11}, {0x002B, 12}, {0x0020, 13}, {0x0021, 14}, {0x0022, 15}};

uint16_t DiscTypeOfProfile(uint16_t profile) {
  for (const ProfileType& p : kProfiles)
    if (p.profile == profile) return p.disc_type;
  return 0;
}

}  // namespace

bool TSCSIDevice::ReadDiscInfo() {
  if (!ReadDiscInformation(disc_info_, kDiscInfoBytes)) return false;
  const uint16_t length = GetBE16(disc_info_);
  std::memcpy(disc_info_, &length, sizeof length);
  return true;
}

uint8_t TSCSIDevice::GetSessionCount() {
  if (!ReadDiscInfo() || (disc_info_[2] & 0x03) == 0) return 0;
  uint8_t sessions = disc_info_[4];
  // The empty session an appendable disc reports is no session yet.
  if (((disc_info_[2] >> 2) & 0x03) == 0 && sessions > 0) --sessions;
  return sessions;
}

uint16_t TSCSIDevice::GetDiscType() {
  constexpr uint32_t kProfileLength = 4;   // data length that covers the current profile
  constexpr uint16_t kAtipByte6Length = 5; // ATIP length that covers byte 6
  uint16_t type = 0;
  uint8_t configuration[kConfigurationBytes] = {};
  if (GetConfiguration(2, 0, sizeof configuration, configuration) && GetBE32(configuration) >= kProfileLength)
    type = DiscTypeOfProfile(GetBE16(configuration + 6));
  if (type == 0 && ReadTOC(kAtipFormat, atip_, 0, true, 0, kAtipBytes) && GetBE16(atip_) >= kAtipByte6Length) {
    const uint8_t disc = atip_[6];
    type = !(disc & 0x80) ? 1 : (disc & 0x40) ? 3 : 2;
  }
  if (ReadDiscInfo() && type == 0) type = (disc_info_[2] & 0x10) ? 3 : 2;
  if (type == 0 && TestUnitReady(kReadyProbeTimeoutMs)) type = 1;
  return type;
}

uint8_t TSCSIDevice::SenseAsc(const uint8_t* sense_buffer) const {
  return (sense_buffer ? sense_buffer : last_sense_)[kAscOffset];
}

bool TSCSIDevice::WaitUntilReady(int total_ms, int step_ms) {
  // A step of 0 would never use up the time and wait for ever.
  step_ms = std::max(step_ms, 1);
  int remaining = total_ms;
  uint8_t sense[kWaitSenseBytes] = {};
  if (wait_ready_quirk_ || GlobalWaitReadyQuirk) {
    do {
      Sleep(kQuirkPauseMs);
      remaining -= kQuirkPauseMs;
      if (remaining < 0) break;
      TestUnitReady(kReadyProbeTimeoutMs);
    } while (SenseAsc(nullptr) == kAscNotReady);
  }
  if (CurrentDiscType == kDvdRam) {
    sense[kAscOffset] = kAscNotReady;
  } else {
    do {
      Sleep(step_ms);
      ReadDiscInfo();
      remaining -= step_ms;
      if (remaining < 0) return false;
    } while (SenseAsc(nullptr) == kAscNotReady);
  }
  if (TestUnitReady(kReadyProbeTimeoutMs) && SenseAsc(sense) == 0) return true;
  do {
    Sleep(step_ms);
    remaining -= step_ms;
    if (remaining < 0) return false;
    TestUnitReady(kReadyProbeTimeoutMs);
  } while (SenseAsc(nullptr) == kAscNotReady);
  do {
    std::memset(sense, 0, sizeof sense);
    RequestSense(sense, sizeof sense);
    remaining -= step_ms;
    if (remaining < 0) return false;
    if (sense[0] == kValidFixedSense) sense[kAscOffset] = kAscNotReady;
    if (SenseAsc(sense) == kAscNotReady) Sleep(step_ms);
  } while (SenseAsc(sense) != 0);
  return true;
}
