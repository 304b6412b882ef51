// The software drive's disc (see soft_medium.h).

#include "cdwriter/soft_drive/soft_medium.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "cdwriter/byte_order.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/text.h"

namespace {

// Lead-out, lead-in and pre-gap that lie between two sessions, in blocks.
constexpr uint32_t kSessionGapBlocks = 11400;
constexpr uint32_t kMsfOffsetBlocks = 150;  // LBA 0 is 00:02:00
constexpr uint32_t kBlocksPerSecond = 75;
constexpr uint8_t kLeadOutTrack = 0xAA;
constexpr uint8_t kDataTrackControl = 0x14;  // ADR 1, data track
constexpr size_t kDiscInfoBytes = 34;
constexpr size_t kTrackInfoBytes = 36;
constexpr size_t kAtipBytes = 28;

enum DiscType : uint16_t {
  kCdRom = 1, kCdR = 2, kCdRw = 3, kDvdRom = 4, kDvdR = 5, kDvdRam = 6, kDvdRwRestricted = 8,
  kDvdRwSequential = 9, kDvdPlusRw = 10, kDvdPlusR = 11, kDvdPlusRDl = 12, kDdcdRom = 13, kDdcdR = 14,
  kDdcdRw = 15
};

constexpr uint16_t kProfiles[] = {0, 0x0008, 0x0009, 0x000A, 0x0010, 0x0011, 0x0012, 0x0013,
                                  0x0013, 0x0014, 0x001A, 0x001B, 0x002B, 0x0020, 0x0021, 0x0022};

bool OneOf(uint16_t type, std::initializer_list<uint16_t> types) {
  return std::find(types.begin(), types.end(), type) != types.end();
}

void PutMsf(uint8_t* p, uint32_t lba) {
  const uint32_t frames = lba + kMsfOffsetBlocks;
  p[0] = 0;
  p[1] = static_cast<uint8_t>(frames / (60 * kBlocksPerSecond));
  p[2] = static_cast<uint8_t>(frames / kBlocksPerSecond % 60);
  p[3] = static_cast<uint8_t>(frames % kBlocksPerSecond);
}

int OpenSectorFile(const AnsiString& name) {
  if (!name.empty()) return open(AnsiToUtf8(name).c_str(), O_RDWR | O_CREAT, 0644);
  const char* dir = std::getenv("TMPDIR");
  std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/soft-medium-XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd >= 0) unlink(pattern.c_str());
  return fd;
}

constexpr TSoftSense kGood{};
constexpr TSoftSense kLbaOutOfRange{5, 0x21, 0x00};
constexpr TSoftSense kInvalidAddressForWrite{5, 0x21, 0x02};
constexpr TSoftSense kInvalidFieldInCdb{5, 0x24, 0x00};
constexpr TSoftSense kCommandSequenceError{5, 0x2C, 0x00};
constexpr TSoftSense kWriteProtected{7, 0x27, 0x00};
constexpr TSoftSense kUnrecoveredReadError{3, 0x11, 0x00};
constexpr TSoftSense kWriteError{3, 0x0C, 0x00};

}  // namespace

TSoftMedium::TSoftMedium(const TSoftMediumSetup& setup)
    : disc_type_(setup.disc_type), capacity_(setup.capacity), fd_(OpenSectorFile(setup.sector_file)) {
  if (fd_ < 0) throw EFCreateError("Cannot create the sector file of a software disc");
  if (disc_type_ >= std::size(kProfiles)) disc_type_ = 0;
  uint32_t start = 0;
  for (const auto& session : setup.sessions) {
    ++closed_sessions_;
    for (uint32_t size : session) {
      tracks_.push_back({start, size, closed_sessions_, true});
      start += size;
    }
    start += kSessionGapBlocks;
  }
  const bool read_only = OneOf(disc_type_, {kCdRom, kDvdRom, kDdcdRom});
  if (read_only && tracks_.empty()) {
    tracks_.push_back({0, capacity_, 1, true});
    closed_sessions_ = 1;
  }
  finalized_ = setup.closed || read_only;
  nwa_ = std::min(start, capacity_);
}

TSoftMedium::~TSoftMedium() { close(fd_); }

uint16_t TSoftMedium::Profile() const { return kProfiles[disc_type_]; }
bool TSoftMedium::Erasable() const {
  return OneOf(disc_type_, {kCdRw, kDvdRam, kDvdRwRestricted, kDvdRwSequential, kDvdPlusRw, kDdcdRw});
}
bool TSoftMedium::Sequential() const {
  return OneOf(disc_type_, {kCdR, kCdRw, kDvdR, kDvdRwSequential, kDvdPlusR, kDvdPlusRDl, kDdcdR, kDdcdRw});
}
bool TSoftMedium::Writable() const {
  return !finalized_ && (Sequential() || OneOf(disc_type_, {kDvdRam, kDvdRwRestricted, kDvdPlusRw}));
}
bool TSoftMedium::IsCd() const { return OneOf(disc_type_, {kCdRom, kCdR, kCdRw, kDdcdRom, kDdcdR, kDdcdRw}); }
bool TSoftMedium::IsDvd() const { return disc_type_ >= kDvdRom && disc_type_ <= kDvdPlusRDl; }

uint32_t TSoftMedium::RecordedEnd() const {
  if (!Sequential()) return capacity_;
  return tracks_.empty() ? 0 : tracks_.back().start + tracks_.back().size;
}

bool TSoftMedium::HasInvisibleTrack() const {
  return Sequential() && !finalized_ && (tracks_.empty() || tracks_.back().complete) && nwa_ < capacity_;
}

uint32_t TSoftMedium::TrackCount() const {
  if (!Sequential() && !OneOf(disc_type_, {kCdRom, kDvdRom, kDdcdRom})) return 1;
  return static_cast<uint32_t>(tracks_.size()) + (HasInvisibleTrack() ? 1 : 0);
}

uint8_t TSoftMedium::ReportedSessions() const {
  if (!Sequential()) return std::max<uint8_t>(closed_sessions_, 1);
  return finalized_ ? closed_sessions_ : closed_sessions_ + 1;
}

TSoftSense TSoftMedium::Write(uint32_t lba, uint32_t blocks, const uint8_t* data) {
  if (!Writable()) return kWriteProtected;
  if (pregap_ > 0) {
    if (lba != nwa_ - pregap_) return kInvalidAddressForWrite;
    const uint32_t skipped = std::min(blocks, pregap_);
    pregap_ -= skipped;
    blocks -= skipped;
    lba += skipped;
    data += size_t{skipped} * kSoftSectorBytes;
    if (blocks == 0) return kGood;
  }
  if (uint64_t{lba} + blocks > capacity_) return kLbaOutOfRange;
  if (Sequential()) {
    if (lba != nwa_) return kInvalidAddressForWrite;
    if (tracks_.empty() || tracks_.back().complete)
      tracks_.push_back({nwa_, 0, static_cast<uint8_t>(closed_sessions_ + 1), false});
    tracks_.back().size += blocks;
    nwa_ += blocks;
  }
  const size_t bytes = size_t{blocks} * kSoftSectorBytes;
  if (pwrite(fd_, data, bytes, off_t{lba} * kSoftSectorBytes) != static_cast<ssize_t>(bytes))
    return kWriteError;
  return kGood;
}

TSoftSense TSoftMedium::Read(uint32_t lba, uint32_t blocks, uint8_t* data) const {
  if (uint64_t{lba} + blocks > RecordedEnd()) return kLbaOutOfRange;
  const size_t bytes = size_t{blocks} * kSoftSectorBytes;
  const ssize_t got = pread(fd_, data, bytes, off_t{lba} * kSoftSectorBytes);
  if (got < 0) return kUnrecoveredReadError;
  std::memset(data + got, 0, bytes - static_cast<size_t>(got));  // never written: zeros
  return kGood;
}

void TSoftMedium::CloseSession() {
  if (tracks_.empty() || tracks_.back().session <= closed_sessions_) return;
  for (Track& t : tracks_) t.complete = true;
  ++closed_sessions_;
  nwa_ = std::min(RecordedEnd() + kSessionGapBlocks, capacity_);
}

TSoftSense TSoftMedium::Close(uint8_t function, uint16_t track, bool multi_session) {
  if (!Sequential()) return Writable() ? kGood : kCommandSequenceError;
  if (finalized_) return kCommandSequenceError;
  switch (function) {
    case 1:
      if (track == 0xFF) track = static_cast<uint16_t>(tracks_.empty() ? TrackCount() : tracks_.size());  // the last written
      if (track < 1 || track > TrackCount()) return kInvalidFieldInCdb;
      if (track <= tracks_.size()) tracks_[track - 1].complete = true;
      return kGood;
    case 2:
      CloseSession();
      if (!multi_session || nwa_ >= capacity_) finalized_ = true;
      return kGood;
    case 5:
    case 6:
      CloseSession();
      finalized_ = true;
      return kGood;
    default:
      return kInvalidFieldInCdb;
  }
}

void TSoftMedium::Blank() {
  if (Sequential()) {
    tracks_.clear();
    closed_sessions_ = 0;
    nwa_ = 0;
  }
  finalized_ = false;
  // Old sectors that survive a failed truncate lie beyond what reads may reach.
  [[maybe_unused]] const int truncated = ftruncate(fd_, 0);
}

uint32_t TSoftMedium::TrackAt(uint32_t lba) const {
  for (uint32_t i = 0; i < tracks_.size(); ++i)
    if (lba >= tracks_[i].start &&
        lba - tracks_[i].start < (tracks_[i].complete ? tracks_[i].size : capacity_ - tracks_[i].start))
      return i + 1;
  if (HasInvisibleTrack() && lba >= nwa_ && lba < capacity_) return TrackCount();
  if (!Sequential() && lba < capacity_) return 1;
  return 0;
}

std::vector<uint8_t> TSoftMedium::DiscInformation() const {
  enum { kEmpty = 0, kIncomplete = 1, kComplete = 2, kSessionComplete = 3 };
  uint8_t status = kComplete, session_state = kSessionComplete;
  if (Sequential() && !finalized_) {
    status = tracks_.empty() ? kEmpty : kIncomplete;
    const bool open = !tracks_.empty() && tracks_.back().session > closed_sessions_;
    session_state = open ? kIncomplete : kEmpty;
  }
  std::vector<uint8_t> answer(kDiscInfoBytes);
  PutBE16(answer.data(), kDiscInfoBytes - 2);
  answer[2] = static_cast<uint8_t>((Erasable() ? 0x10 : 0) | (session_state << 2) | status);
  answer[3] = 1;
  answer[4] = ReportedSessions();
  const uint32_t last_track = std::max<uint32_t>(TrackCount(), 1);
  uint32_t first_in_last = last_track;
  for (uint32_t i = 0; i < tracks_.size(); ++i)
    if (tracks_[i].session == answer[4]) {
      first_in_last = i + 1;
      break;
    }
  answer[5] = static_cast<uint8_t>(first_in_last);
  answer[6] = static_cast<uint8_t>(last_track);
  PutBE32(answer.data() + 20, capacity_);
  return answer;
}

bool TSoftMedium::TrackInformation(uint32_t number, std::vector<uint8_t>& answer) const {
  constexpr uint32_t kInvisibleTrack = 0xFF;
  const uint32_t count = TrackCount();
  if (number == kInvisibleTrack && Sequential() && !finalized_) number = count;
  if (number < 1 || number > count) return false;
  uint32_t start = 0, size = capacity_, session = 1;
  bool incomplete = false, blank = false;
  if (Sequential() || !tracks_.empty()) {
    if (number <= tracks_.size()) {
      const Track& t = tracks_[number - 1];
      start = t.start;
      size = t.complete ? t.size : capacity_ - t.start;
      session = t.session;
      incomplete = !t.complete;
    } else {
      start = nwa_;
      size = capacity_ - nwa_;
      session = closed_sessions_ + 1u;
      incomplete = blank = true;
    }
  }
  answer.assign(kTrackInfoBytes, 0);
  PutBE16(answer.data(), kTrackInfoBytes - 2);
  answer[2] = static_cast<uint8_t>(number);
  answer[3] = static_cast<uint8_t>(session);
  answer[5] = 0x04;  // data track, recorded uninterrupted
  answer[6] = static_cast<uint8_t>((blank ? 0x40 : 0) | 0x01);  // data mode 1
  const uint32_t recorded = incomplete ? nwa_ - start : size;
  answer[7] = static_cast<uint8_t>((incomplete ? 0x01 : 0) | (recorded ? 0x02 : 0));
  PutBE32(answer.data() + 8, start);
  PutBE32(answer.data() + 12, incomplete ? nwa_ : 0);
  PutBE32(answer.data() + 16, incomplete ? capacity_ - nwa_ : 0);
  PutBE32(answer.data() + 24, size);
  PutBE32(answer.data() + 28, recorded ? start + recorded - 1 : 0);
  return true;
}

std::vector<uint8_t> TSoftMedium::TrackDescriptor(uint32_t number) const {
  std::vector<uint8_t> d(8);
  d[1] = kDataTrackControl;
  d[2] = static_cast<uint8_t>(number);
  return d;
}

bool TSoftMedium::Toc(uint8_t format, bool msf, uint8_t start_track, std::vector<uint8_t>& answer) const {
  auto put_address = [msf](uint8_t* p, uint32_t lba) { msf ? PutMsf(p, lba) : PutBE32(p, lba); };
  answer.assign(4, 0);
  switch (format) {
    case 0: {
      const uint32_t recorded = Sequential() ? static_cast<uint32_t>(tracks_.size()) : TrackCount();
      if (recorded == 0) return false;
      const uint32_t first = std::max<uint32_t>(start_track, 1);
      if (first > recorded && start_track != kLeadOutTrack) return false;
      answer[2] = 1;
      answer[3] = static_cast<uint8_t>(recorded);
      for (uint32_t n = first; n <= recorded; ++n) {
        std::vector<uint8_t> d = TrackDescriptor(n);
        put_address(d.data() + 4, n <= tracks_.size() ? tracks_[n - 1].start : 0);
        answer.insert(answer.end(), d.begin(), d.end());
      }
      std::vector<uint8_t> lead_out = TrackDescriptor(kLeadOutTrack);
      put_address(lead_out.data() + 4, RecordedEnd());
      answer.insert(answer.end(), lead_out.begin(), lead_out.end());
      break;
    }
    case 1: {
      if (closed_sessions_ == 0) return false;
      answer[2] = 1;
      answer[3] = closed_sessions_;
      uint32_t first = 1;
      while (first <= tracks_.size() && tracks_[first - 1].session < closed_sessions_) ++first;
      std::vector<uint8_t> d = TrackDescriptor(first);
      put_address(d.data() + 4, first <= tracks_.size() ? tracks_[first - 1].start : 0);
      answer.insert(answer.end(), d.begin(), d.end());
      break;
    }
    case 4: {
      if (!OneOf(disc_type_, {kCdR, kCdRw, kDdcdR, kDdcdRw})) return false;
      answer.resize(kAtipBytes);
      answer[4] = 0x80;
      answer[6] = static_cast<uint8_t>(0x80 | (Erasable() ? 0x40 : 0));
      answer[8] = 97;  // lead-in start 97:26:66
      answer[9] = 26;
      answer[10] = 66;
      uint8_t lead_out[4];
      PutMsf(lead_out, capacity_);
      std::memcpy(answer.data() + 12, lead_out + 1, 3);
      break;
    }
    default:
      return false;
  }
  PutBE16(answer.data(), static_cast<uint16_t>(answer.size() - 2));
  return true;
}
