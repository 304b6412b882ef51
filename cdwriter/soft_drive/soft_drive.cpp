// The software MMC drive (see soft_drive.h).

#include "cdwriter/soft_drive/soft_drive.h"

#include <algorithm>
#include <cstring>

#include "cdwriter/byte_order.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/format.h"

namespace {

constexpr uint8_t kGoodStatus = 0x00;
constexpr uint8_t kCheckCondition = 0x02;
constexpr size_t kFixedSenseBytes = 18;
constexpr size_t kModeHeaderBytes = 8;
constexpr size_t kBufferCapacityBytes = 12;
constexpr size_t kPerformanceDescriptorBytes = 28;
constexpr size_t kFormatListHeaderBytes = 4;
constexpr size_t kCueSheetEntryBytes = 8;
constexpr uint32_t kSessionAtOncePregap = 150;
constexpr uint16_t kSpeedKBps = 7056;  // 40x CD
constexpr uint16_t kBufferKB = 2048;
constexpr uint8_t kPageCodeMask = 0x3F;

constexpr TSoftSense kInvalidOpcode{5, 0x20, 0x00};
constexpr TSoftSense kInvalidFieldInCdb{5, 0x24, 0x00};
constexpr TSoftSense kParameterListLength{5, 0x1A, 0x00};
constexpr TSoftSense kInvalidFieldInParameters{5, 0x26, 0x00};
constexpr TSoftSense kCommandSequenceError{5, 0x2C, 0x00};
constexpr TSoftSense kCannotWriteMedium{5, 0x30, 0x05};
constexpr TSoftSense kCannotFormatMedium{5, 0x30, 0x06};
constexpr TSoftSense kSavingNotSupported{5, 0x39, 0x00};
constexpr TSoftSense kRemovalPrevented{5, 0x53, 0x02};
constexpr TSoftSense kFormatInProgress{2, 0x04, 0x04};
constexpr TSoftSense kNoMediumTrayClosed{2, 0x3A, 0x01};
constexpr TSoftSense kNoMediumTrayOpen{2, 0x3A, 0x02};

void PutPadded(uint8_t* p, const AnsiString& text, size_t chars) {
  std::memset(p, ' ', chars);
  std::memcpy(p, text.data(), std::min(text.size(), chars));
}

std::vector<uint8_t> DefaultCapabilitiesPage() {
  std::vector<uint8_t> page(30);
  page[0] = 0x2A;
  page[1] = static_cast<uint8_t>(page.size() - 2);
  page[2] = 0x3F;  // reads CD-R, CD-RW, method 2, DVD-ROM, DVD-R, DVD-RAM
  page[3] = 0x17;  // writes CD-R, CD-RW, DVD-R; test write
  page[4] = 0xC0;  // buffer-underrun free, multi-session
  PutBE16(page.data() + 8, kSpeedKBps);
  PutBE16(page.data() + 12, kBufferKB);
  PutBE16(page.data() + 14, kSpeedKBps);
  PutBE16(page.data() + 18, kSpeedKBps);
  PutBE16(page.data() + 20, kSpeedKBps);
  return page;
}

std::vector<uint8_t> DefaultWriteParametersPage() {
  std::vector<uint8_t> page(52);
  page[0] = 0x05;
  page[1] = 0x32;
  page[2] = 0x01;  // track at once
  page[3] = 0x04;  // data track
  page[4] = 0x08;  // mode 1
  PutBE16(page.data() + 14, 150);
  return page;
}

std::vector<uint8_t> FixedSense(const TSoftSense& sense) {
  std::vector<uint8_t> s(kFixedSenseBytes);
  s[0] = 0x70;
  s[2] = sense.key;
  s[7] = kFixedSenseBytes - 8;
  s[12] = sense.asc;
  s[13] = sense.ascq;
  return s;
}

std::vector<uint8_t> FeatureDescriptor(uint16_t code, const std::vector<uint8_t>& data, bool current) {
  std::vector<uint8_t> d(4);
  PutBE16(d.data(), code);
  d[2] = current ? 0x01 : 0x00;
  d[3] = static_cast<uint8_t>(data.size());
  d.insert(d.end(), data.begin(), data.end());
  return d;
}

}  // namespace

struct TSoftDrive::Outcome {
  uint8_t status = kGoodStatus;
  TSoftSense sense;
  static Outcome Good() { return {}; }
  static Outcome Check(const TSoftSense& s) { return {kCheckCondition, s}; }
};

namespace {

// Copies an answer into the host's buffer: no more than asked or than there is room for.
void Transfer(TPassThroughRequest& r, const std::vector<uint8_t>& answer, size_t allocation) {
  const size_t n = std::min({answer.size(), allocation, size_t{r.data ? r.data_length : 0}});
  if (n) std::memcpy(r.data, answer.data(), n);
  r.residual = r.data_length - static_cast<uint32_t>(n);
}

}  // namespace

TSoftDrive::TSoftDrive(const AnsiString& vendor, const AnsiString& product, const AnsiString& revision,
                       uint8_t peripheral)
    : capabilities_page(DefaultCapabilitiesPage()),
      write_parameters_page(DefaultWriteParametersPage()),
      profiles{0x0008, 0x0009, 0x000A, 0x0010, 0x0011, 0x0013, 0x0014, 0x001A, 0x001B},
      features{{0x002A, {0x01, 0, 0, 0}}, {0x002F, {0x46, 0, 0, 0}}} {
  inquiry_[0] = peripheral;
  inquiry_[1] = 0x80;  // removable medium
  inquiry_[2] = 0x05;
  inquiry_[3] = 0x32;
  inquiry_[4] = kSoftInquiryBytes - 5;
  PutPadded(inquiry_ + 8, vendor, 8);
  PutPadded(inquiry_ + 16, product, 16);
  PutPadded(inquiry_ + 32, revision, 4);
}

void TSoftDrive::Insert(const TSoftMediumSetup& setup) {
  medium_ = std::make_unique<TSoftMedium>(setup);
  tray_open = false;
}

void TSoftDrive::Remove() { medium_.reset(); }

void TSoftDrive::AddFault(const TSoftFault& fault) { faults_.push_back({fault, 0}); }

std::optional<TSoftFault> TSoftDrive::DueFault(uint8_t opcode) {
  std::optional<TSoftFault> due;
  for (PendingFault& pending : faults_)
    if (pending.fault.opcode == opcode && ++pending.seen >= pending.fault.nth &&
        pending.seen < pending.fault.nth + pending.fault.times && !due)
      due = pending.fault;
  std::erase_if(faults_, [](const PendingFault& p) { return p.seen >= p.fault.nth + p.fault.times - 1; });
  return due;
}

bool TSoftDrive::Execute(TPassThroughRequest& r) {
  TSoftCommand entry;
  entry.cdb.assign(r.cdb, r.cdb + std::min<size_t>(r.cdb_length, sizeof r.cdb));
  entry.direction = r.direction;
  entry.data_length = r.data_length;
  entry.timeout_ms = r.timeout_ms;
  // Written sectors land on the medium; keeping them here too would double a whole disc.
  constexpr uint8_t kWrite10 = 0x2A;
  if (r.direction == TDataDirection::Out && r.data && r.cdb[0] != kWrite10)
    entry.data_out.assign(r.data, r.data + r.data_length);
  log_.push_back(std::move(entry));

  Outcome outcome;
  const std::optional<TSoftFault> fault = DueFault(r.cdb[0]);
  if (fault && fault->host_timeout) {
    Sleep(r.timeout_ms);  // on the virtual clock the wait takes no real time
    r.host_timeout = true;
    return false;
  }
  if (fault) {
    outcome.status = fault->status;
    outcome.sense = fault->sense;
  } else {
    outcome = Dispatch(r);
  }
  r.scsi_status = outcome.status;
  if (outcome.status == kCheckCondition) {
    const std::vector<uint8_t> sense = FixedSense(outcome.sense);
    std::memcpy(r.sense, sense.data(), std::min<size_t>({sense.size(), r.sense_length, sizeof r.sense}));
  }
  return true;
}

bool TSoftDrive::Formatting() const { return GetTickCount64() < format_end_; }

TSoftDrive::Outcome TSoftDrive::NotReadyOrMedium() const {
  if (tray_open) return Outcome::Check(kNoMediumTrayOpen);
  if (!medium_) return Outcome::Check(kNoMediumTrayClosed);
  if (Formatting()) return Outcome::Check(kFormatInProgress);
  return Outcome::Good();
}

namespace {

// Commands that need a medium in a ready drive.
bool NeedsMedium(uint8_t opcode) {
  switch (opcode) {
    case 0x04: case 0x28: case 0x2A: case 0x35: case 0x43: case 0x51: case 0x52: case 0x53: case 0x54:
    case 0x5B: case 0x5D: case 0xBF:
      return true;
    default:
      return false;
  }
}

}  // namespace

TSoftDrive::Outcome TSoftDrive::Dispatch(TPassThroughRequest& r) {
  if (NeedsMedium(r.cdb[0])) {
    const Outcome ready = NotReadyOrMedium();
    if (ready.status != kGoodStatus) return ready;
  }
  switch (r.cdb[0]) {
    case 0x00: return NotReadyOrMedium();
    case 0x03: return RequestSense(r);
    case 0x04: return FormatUnit(r);
    case 0x12: return Inquiry(r);
    case 0x1B: return StartStop(r);
    case 0x1E:
      prevent_removal = r.cdb[4] & 0x01;
      return Outcome::Good();
    case 0x28: return ReadWrite(r, false);
    case 0x2A: return ReadWrite(r, true);
    case 0x43: return ReadToc(r);
    case 0x46: return GetConfiguration(r);
    case 0x55: return ModeSelect(r);
    case 0x5A: return ModeSense(r);
    case 0x5C: {
      std::vector<uint8_t> answer(kBufferCapacityBytes);
      PutBE16(answer.data(), kBufferCapacityBytes - 2);
      PutBE32(answer.data() + 4, buffer_bytes);
      PutBE32(answer.data() + 8, buffer_bytes);
      Transfer(r, answer, GetBE16(r.cdb + 7));
      return Outcome::Good();
    }
    case 0xB6:
      if (GetBE16(r.cdb + 9) < kPerformanceDescriptorBytes) return Outcome::Check(kParameterListLength);
      return Outcome::Good();
    case 0xBB:
      read_speed = GetBE16(r.cdb + 2);
      write_speed = GetBE16(r.cdb + 4);
      return Outcome::Good();
    case 0x35: case 0x51: case 0x52: case 0x53: case 0x54: case 0x5B: case 0x5D: case 0xBF:
      return MediumCommand(r);
    default:
      return Outcome::Check(kInvalidOpcode);
  }
}

TSoftDrive::Outcome TSoftDrive::Inquiry(TPassThroughRequest& r) {
  if ((r.cdb[1] & 0x01) || r.cdb[2]) return Outcome::Check(kInvalidFieldInCdb);  // no vital product data
  Transfer(r, std::vector<uint8_t>(inquiry_, inquiry_ + kSoftInquiryBytes),
           GetBE16(r.cdb + 3));
  return Outcome::Good();
}

TSoftDrive::Outcome TSoftDrive::RequestSense(TPassThroughRequest& r) {
  constexpr uint8_t kProgressValid = 0x80;
  const Outcome state = NotReadyOrMedium();
  std::vector<uint8_t> sense = FixedSense(state.sense);
  if (Formatting()) sense[15] = kProgressValid;
  Transfer(r, sense, r.cdb[4]);
  return Outcome::Good();
}

TSoftDrive::Outcome TSoftDrive::StartStop(const TPassThroughRequest& r) {
  const bool load_eject = r.cdb[4] & 0x02, start = r.cdb[4] & 0x01;
  if (!load_eject) return Outcome::Good();
  if (!start && prevent_removal) return Outcome::Check(kRemovalPrevented);
  tray_open = !start;
  return Outcome::Good();
}

TSoftDrive::Outcome TSoftDrive::FormatUnit(const TPassThroughRequest& r) {
  constexpr uint8_t kFormatData = 0x10;
  if (!medium_->Erasable()) return Outcome::Check(kCannotFormatMedium);
  if ((r.cdb[1] & kFormatData) && (!r.data || r.data_length < kFormatListHeaderBytes))
    return Outcome::Check(kParameterListLength);
  // The format runs in the background, as with the immediate bit: the drive
  // reports "format in progress" until it is done.
  medium_->Blank();
  format_end_ = GetTickCount64() + format_ms;
  return Outcome::Good();
}

TSoftDrive::Outcome TSoftDrive::ReadWrite(TPassThroughRequest& r, bool write) {
  const uint32_t lba = GetBE32(r.cdb + 2);
  const uint16_t blocks = GetBE16(r.cdb + 7);
  const size_t bytes = size_t{blocks} * kSoftSectorBytes;
  if (!r.data || r.data_length < bytes) return Outcome::Check(kInvalidFieldInCdb);  // buffer smaller than the transfer
  // A test write runs the laser at reading power: nothing is recorded.
  constexpr uint8_t kTestWriteBit = 0x10;
  if (write && write_parameters_page.size() > 2 && (write_parameters_page[2] & kTestWriteBit))
    return medium_->Writable() ? Outcome::Good() : Outcome::Check(kCannotWriteMedium);
  const TSoftSense sense = write ? medium_->Write(lba, blocks, r.data) : medium_->Read(lba, blocks, r.data);
  return sense.ok() ? Outcome::Good() : Outcome::Check(sense);
}

TSoftDrive::Outcome TSoftDrive::ReadToc(TPassThroughRequest& r) {
  std::vector<uint8_t> answer;
  if (!medium_->Toc(r.cdb[2] & 0x0F, r.cdb[1] & 0x02, r.cdb[6], answer)) return Outcome::Check(kInvalidFieldInCdb);
  Transfer(r, answer, GetBE16(r.cdb + 7));
  return Outcome::Good();
}

TSoftDrive::Outcome TSoftDrive::GetConfiguration(TPassThroughRequest& r) {
  if (!implements_get_configuration) return Outcome::Check(kInvalidOpcode);
  const uint8_t rt = r.cdb[1] & 0x03;
  if (rt == 3) return Outcome::Check(kInvalidFieldInCdb);
  const uint16_t first = GetBE16(r.cdb + 2);
  const uint16_t current = medium_ && !tray_open ? medium_->Profile() : 0;
  std::vector<uint8_t> profile_list;
  for (uint16_t p : profiles) {
    profile_list.push_back(static_cast<uint8_t>(p >> 8));
    profile_list.push_back(static_cast<uint8_t>(p));
    profile_list.push_back(p == current ? 0x01 : 0x00);
    profile_list.push_back(0);
  }
  std::vector<TSoftFeature> all{{0x0000, profile_list}};
  all.insert(all.end(), features.begin(), features.end());
  std::vector<uint8_t> answer(8);
  PutBE16(answer.data() + 6, current);
  constexpr uint8_t kCurrentOnly = 1, kOneFeature = 2;
  for (const TSoftFeature& f : all) {
    if (rt == kOneFeature ? f.code != first : f.code < first) continue;
    if (rt == kCurrentOnly && !f.current) continue;
    const std::vector<uint8_t> d = FeatureDescriptor(f.code, f.data, f.current);
    answer.insert(answer.end(), d.begin(), d.end());
  }
  PutBE32(answer.data(), static_cast<uint32_t>(answer.size() - 4));
  Transfer(r, answer, GetBE16(r.cdb + 7));
  return Outcome::Good();
}

TSoftDrive::Outcome TSoftDrive::ModeSense(TPassThroughRequest& r) {
  enum { kCurrent = 0, kChangeable = 1, kDefault = 2, kSaved = 3 };
  const uint8_t code = r.cdb[2] & kPageCodeMask;
  const int control = r.cdb[2] >> 6;
  if (control == kSaved) return Outcome::Check(kSavingNotSupported);
  std::vector<uint8_t> page;
  if (code == 0x2A) page = capabilities_page;
  else if (code == 0x05) page = write_parameters_page;
  else if (code == 0x30 && !vendor_page.empty()) page = vendor_page;
  else return Outcome::Check(kInvalidFieldInCdb);
  if (control == kChangeable) std::fill(page.begin() + std::min<size_t>(2, page.size()), page.end(), code == 0x05 ? 0xFF : 0x00);
  std::vector<uint8_t> answer(kModeHeaderBytes);
  answer.insert(answer.end(), page.begin(), page.end());
  PutBE16(answer.data(), static_cast<uint16_t>(answer.size() - 2));
  Transfer(r, answer, GetBE16(r.cdb + 7));
  return Outcome::Good();
}

TSoftDrive::Outcome TSoftDrive::ModeSelect(const TPassThroughRequest& r) {
  constexpr uint8_t kPageFormat = 0x10;
  constexpr uint8_t kTestWriteBit = 0x10, kDriveTestWrite = 0x04;
  if (!(r.cdb[1] & kPageFormat)) return Outcome::Check(kInvalidFieldInCdb);
  const size_t list_length = GetBE16(r.cdb + 7);
  if (list_length < kModeHeaderBytes + 2 || !r.data || r.data_length < list_length)
    return Outcome::Check(kParameterListLength);
  const size_t at = kModeHeaderBytes + GetBE16(r.data + 6);
  if (at + 2 > list_length) return Outcome::Check(kParameterListLength);
  const uint8_t* page = r.data + at;
  if ((page[0] & kPageCodeMask) != 0x05) return Outcome::Check(kInvalidFieldInParameters);
  const size_t length = page[1];
  if (length != 0x32 && length != 0x36) return Outcome::Check(kInvalidFieldInParameters);
  if (at + 2 + length > list_length) return Outcome::Check(kParameterListLength);
  const uint8_t write_type = page[2] & 0x0F, block_type = page[4] & 0x0F;
  if (write_type > 4 || !(write_types & (1u << write_type))) return Outcome::Check(kInvalidFieldInParameters);
  if ((block_type >= 4 && block_type <= 7) || block_type >= 14) return Outcome::Check(kInvalidFieldInParameters);
  const bool can_test_write = capabilities_page.size() > 3 && (capabilities_page[3] & kDriveTestWrite);
  if ((page[2] & kTestWriteBit) && !can_test_write) return Outcome::Check(kInvalidFieldInParameters);
  const size_t keep = std::min(write_parameters_page.size(), length + 2);
  std::copy(page + 2, page + keep, write_parameters_page.begin() + 2);
  return Outcome::Good();
}

TSoftDrive::Outcome TSoftDrive::MediumCommand(TPassThroughRequest& r) {
  TSoftMedium& m = *medium_;
  switch (r.cdb[0]) {
    case 0x51:
      Transfer(r, m.DiscInformation(), GetBE16(r.cdb + 7));
      return Outcome::Good();
    case 0x52: {
      enum { kByLba = 0, kByTrack = 1 };
      const uint8_t address_type = r.cdb[1] & 0x03;
      const uint32_t address = GetBE32(r.cdb + 2);
      std::vector<uint8_t> answer;
      const uint32_t track = address_type == kByLba ? m.TrackAt(address) : address_type == kByTrack ? address : 0;
      if (!m.TrackInformation(track, answer)) return Outcome::Check(kInvalidFieldInCdb);
      Transfer(r, answer, GetBE16(r.cdb + 7));
      return Outcome::Good();
    }
    case 0x53:
    case 0x54:
      return m.Writable() && m.Sequential() ? Outcome::Good() : Outcome::Check(kCannotWriteMedium);
    case 0x5B: {
      const bool multi_session = write_parameters_page.size() > 3 && (write_parameters_page[3] & 0xC0);
      const TSoftSense sense = m.Close(r.cdb[2] & 0x07, GetBE16(r.cdb + 4), multi_session);
      return sense.ok() ? Outcome::Good() : Outcome::Check(sense);
    }
    case 0x5D: {
      constexpr uint8_t kSessionAtOnce = 2;
      if ((write_parameters_page[2] & 0x0F) != kSessionAtOnce) return Outcome::Check(kCommandSequenceError);
      const uint32_t length = (uint32_t{r.cdb[6]} << 16) | GetBE16(r.cdb + 7);
      if (length == 0 || length % kCueSheetEntryBytes) return Outcome::Check(kParameterListLength);
      // Track 1 starts at 00:02:00: the host sends the 150 sectors of its pre-gap first.
      m.ExpectPregap(kSessionAtOncePregap);
      return Outcome::Good();
    }
    case 0xBF:
      if (!m.IsDvd()) return Outcome::Check(kInvalidFieldInCdb);
      if (GetBE16(r.cdb + 8) < 4) return Outcome::Check(kParameterListLength);
      return Outcome::Good();
    default:  // SYNCHRONIZE CACHE
      return Outcome::Good();
  }
}

TSoftDrive& TSoftDrivePort::Add(int node, std::unique_ptr<TSoftDrive> drive) {
  drives_[node] = std::move(drive);
  return *drives_[node];
}

TSoftDrive* TSoftDrivePort::Drive(int node) {
  return node >= 0 && node < kDriveNodeCount ? drives_[node].get() : nullptr;
}

TSoftDrive* TSoftDrivePort::DriveOfHandle(int handle) { return Drive(handle); }

bool TSoftDrivePort::IsOpticalNode(int node) { return Drive(node) != nullptr; }

AnsiString TSoftDrivePort::NodePath(int node) { return Format("soft/sr%d", {node}); }

int TSoftDrivePort::Open(int node) {
  TSoftDrive* drive = Drive(node);
  if (!drive) return kInvalidDriveHandle;
  ++drive->opens;
  return node;  // one handle per node is enough for a drive that serves one caller
}

bool TSoftDrivePort::Close(int handle) {
  TSoftDrive* drive = DriveOfHandle(handle);
  if (!drive) return false;
  ++drive->closes;
  return true;
}

bool TSoftDrivePort::SendCommand(int handle, TPassThroughRequest& request) {
  TSoftDrive* drive = DriveOfHandle(handle);
  return drive && drive->Execute(request);
}

bool TSoftDrivePort::GetAddress(int handle, TScsiAddress& address) {
  TSoftDrive* drive = DriveOfHandle(handle);
  if (!drive || !drive->address) return false;
  address = *drive->address;
  return true;
}
