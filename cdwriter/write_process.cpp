// The write process: WriteDisc lays the image out, builds its header and
// starts the cache thread, then the writer thread, which sets the drive up for
// the disc type, sends the image in WRITE(10) commands, closes the track and
// session the way each disc type needs and resets the drive. Every failure
// puts its text into the cache thread's status and sets its abort flag; the
// text is what OnWriteDone receives ("" when all went well).

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "cdwriter/burner.h"
#include "cdwriter/cache_thread.h"
#include "cdwriter/cd_texts.h"
#include "cdwriter/writer_thread.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/numbers.h"

namespace {

enum : uint16_t {
  kCdR = 2, kCdRw = 3, kDvdR = 5, kDvdRam = 6, kDvdRwRestricted = 8, kDvdRwSequential = 9,
  kDvdPlusRw = 10, kDvdPlusR = 11, kDvdPlusRDl = 12
};

constexpr uint8_t kWriteFlags = 0x50;     // event notification, data out
constexpr uint8_t kFormatFlags = 0x11;    // format data follows, list format 1
constexpr uint32_t kFormatListBytes = 12;
constexpr size_t kAscOffset = 12;
constexpr uint8_t kAscNotReady = 0x04, kAscCannotWriteMedium = 0x30;
constexpr int kReadyWaitMs = 10000, kReadyStepMs = 1000;
constexpr int kFinalReadyWaitMs = 240000, kFinalReadyStepMs = 5000;
constexpr int kFlushTimeoutMs = 1800000, kCdFlushTimeoutMs = 120000;
constexpr int kResetReadyTimeoutMs = 5000;
constexpr uint32_t kFormatPollMs = 5000, kPlusRwFormatPollMs = 2000;
constexpr uint32_t kPollMs = 1, kPrimePollMs = 100, kRefusalPauseMs = 1000;
constexpr uint32_t kBusyWritePauseMs = 600, kBusyClosePauseMs = 1000, kFlushPollMs = 1000;
constexpr int kMaxBusyWrites = 10000, kMaxBusyCloses = 1000;
// However often it may retry, a drive that keeps saying busy is given up on
// after this long, so a burn that cannot go on always ends.
constexpr uint64_t kMaxBusyMs = 10 * 60 * 1000;
// A drive that stays not ready this often is given up on (30 minutes of
// one-second polls after a flush).
constexpr int kMaxNotReadyPolls = 1800;
constexpr uint32_t kFlushProgressSteps = 960;
constexpr int kCapacityEveryChunks = 5;
constexpr int64_t kMaxSessionAtOnceSectors = 450000;
constexpr int64_t kMinTrackSectors = 300;
constexpr uint32_t kDvdRReserveUnit = 32;
constexpr double kDvdSpeedKBs = 1385, kCdSpeedKBs = 176.4, kStreamingPerKBs = 1440.25;
constexpr uint32_t kStreamingTimeMs = 1000;
constexpr uint16_t kResetWriteSpeed = 2;
constexpr uint8_t kCloseTrack = 1, kCloseSession = 2, kCloseFinalize = 3, kCloseDlFinalize = 6;
constexpr uint8_t kAllTracks = 0xFF;

// SET STREAMING performance descriptor for DVD-R: end 2313343, read size
// 43965, write size 1418 per 1000 ms.
const uint8_t kDvdRPerformance[28] = {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x23, 0x12, 0x7F, 0, 0, 0xAB, 0xBD,
                                      0, 0, 0x03, 0xE8, 0, 0, 0x05, 0x8A, 0, 0, 0x03, 0xE8};
// Lead-in, track 1 index 0, track 1 index 1 at 00:02:00, lead-out (time set per write).
const uint8_t kCueSheet[32] = {0x41, 0x00, 0x00, 0x14, 0, 0, 0, 0, 0x41, 0x01, 0x00, 0x10, 0, 0, 0, 0,
                               0x41, 0x01, 0x01, 0x10, 0, 0, 2, 0, 0x41, 0xAA, 0x01, 0x14, 0, 0, 0, 0};
constexpr size_t kLeadOutMsf = 29;
// FORMAT UNIT parameter lists: list header, block count, format type, parameter.
const uint8_t kFormatSequentialDvdRw[kFormatListBytes] = {0, 0xA2, 0, 8, 0, 0, 0x03, 0xE8, 0x54, 0, 0, 0x10};
const uint8_t kFormatRestrictedDvdRw[kFormatListBytes] = {0, 0x82, 0, 8, 0, 0, 0, 0, 0x4C, 0, 0, 0x10};
const uint8_t kFormatDvdRwFallback[kFormatListBytes] = {0, 0x82, 0, 8, 0, 0, 0, 0, 0x54, 0, 0, 0x10};
const uint8_t kFormatDvdPlusRw[kFormatListBytes] = {0, 0x82, 0, 8, 0, 0x23, 0x05, 0x40, 0x98, 0, 0, 0};

bool IsCd(uint16_t type) { return type == kCdR || type == kCdRw; }
bool IsDvdRw(uint16_t type) { return type == kDvdRwRestricted || type == kDvdRwSequential; }
// Media whose start can be written again. A sequential DVD-RW takes writes
// only at its next writable address: a copy of the volume start at address 0
// would leave the data write nowhere to go.
bool IsOverwritable(uint16_t type) { return type == kDvdPlusRw || type == kDvdRwRestricted || type == kDvdRam; }
bool FlushesWithProgress(uint16_t type) { return type == kDvdR || IsDvdRw(type); }
bool IsStreamingType(uint16_t type) { return type == kDvdR || IsDvdRw(type) || type >= kDvdPlusRw; }
bool SessionAtOnceType(uint16_t type) {
  return !(type == kDvdR || IsDvdRw(type) || type == kDvdPlusRw || type == kDvdPlusR);
}

uint32_t StreamingSize(uint16_t speed) {
  return static_cast<uint32_t>(std::nearbyint(speed / kDvdSpeedKBs * kStreamingPerKBs));
}

AnsiString GroupThousands(uint32_t value) {
  AnsiString digits = IntToStr(value), grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += FormatSettings().ThousandSeparator;
    grouped += digits[i];
  }
  return grouped;
}

// "8.0X (11,080 KB/s)" on DVD, "16X (2,822 KB/s)" on CD.
AnsiString SpeedText(uint16_t disc_type, uint16_t speed) {
  const bool dvd_factor = disc_type >= kDvdR && disc_type <= kDvdPlusR;
  const AnsiString factor = dvd_factor
                                ? FloatToStrFixed(speed / kDvdSpeedKBs, 1, FormatSettings().DecimalSeparator)
                                : IntToStr(static_cast<int64_t>(std::nearbyint(speed / kCdSpeedKBs)));
  return factor + "X (" + GroupThousands(speed) + " KB/s)";
}

}  // namespace

// What one write works with: disc type, track number, start address, sectors
// written so far and the track length.
struct TZIDIzizid::WriteRun {
  uint16_t disc_type = 0;
  uint8_t track = 0;
  uint32_t start = 0;
  uint32_t written = 0;
  uint32_t lead = 0;  // pre-gap sectors sent before the start (session at once)
  int64_t track_length = 0;
  bool capacity_works = false;
  std::vector<uint8_t> buffer = std::vector<uint8_t>(kDvdChunkBytes);
};

TZIDIzizid::~TZIDIzizid() {
  destroying_ = true;
  abort_requested_ = true;
  if (cache_) cache_->SetAbort();
  JoinThreads();
}

void TZIDIzizid::JoinThreads() {
  writer_.reset();
  cache_.reset();
}

int64_t TZIDIzizid::TrackLength() const {
  return WritePostGap() ? std::max(layout_.TrackSize, kMinTrackSectors) : layout_.TrackSize;
}

AnsiString TZIDIzizid::LastWriteError() {
  Lock();
  AnsiString text = last_write_error_;
  Unlock();
  return text;
}

AnsiString TZIDIzizid::CurrentWriteFile() {
  Lock();
  AnsiString name = current_write_file_;
  Unlock();
  return name;
}

int TZIDIzizid::GetCacheFillPercent() const {
  if (!writing_ || !cache_) return 0;
  const int32_t buffered = static_cast<int32_t>(cache_->Buffered());
  return static_cast<int>(std::nearbyint(static_cast<double>(buffered) / CacheSize() * 100));
}

bool TZIDIzizid::WriteDisc() {
  // From OnWriteDone the writer is still waiting for the handler to return.
  if (in_write_done_ || burning_.exchange(true)) return false;
  JoinThreads();
  abort_requested_ = false;
  const uint16_t found = GetDiscType();
  const int chunk_size = IsCd(found) ? kCdChunkBytes : kDvdChunkBytes;
  try {
    if (IsDvdRw(CurrentDiscType)) FormatDvdRw();
    CheckNextWritable = true;
    LayoutImage(false, nullptr);
    BuildHeader();
    CheckNextWritable = false;
  } catch (...) {
    CheckNextWritable = false;
    burning_ = false;
    throw;
  }
  cache_ = std::make_unique<TCacheThread>(CacheSize(), *this, chunk_size, WritePostGap(),
                                          Bootable ? BootImage : AnsiString(), layout_.BootImageBytes,
                                          layout_.TrackSize * kSectorBytes, *image_header_);
  for (;;) {
    if (cache_->Ready()) {
      writer_ = std::make_unique<TThWrite>(*this);
      writer_->SetPriority(tpTimeCritical);
      writer_->Resume();
      return true;
    }
    if (!cache_->StatusText().empty()) break;
    Sleep(kPrimePollMs);
  }
  const AnsiString error = cache_->StatusText();
  Lock();
  current_write_file_ = cache_->CurrentFile();
  last_write_error_ = error;
  Unlock();
  cache_.reset();
  burning_ = false;
  if (OnWriteDone) OnWriteDone(this, error);
  return false;
}

void TZIDIzizid::FormatDvdRw() {
  uint8_t list[kFormatListBytes];
  std::memcpy(list, CurrentDiscType == kDvdRwSequential ? kFormatSequentialDvdRw : kFormatRestrictedDvdRw,
              kFormatListBytes);
  if (!FormatUnit(kFormatFlags, list, kFormatListBytes)) {
    std::memcpy(list, kFormatDvdRwFallback, kFormatListBytes);
    FormatUnit(kFormatFlags, list, kFormatListBytes);
  }
  WaitWhileNotReady(kFormatPollMs);
}

// Polls READ DISC INFORMATION while the drive says it is becoming ready;
// false when it never got ready.
bool TZIDIzizid::WaitWhileNotReady(uint32_t pause_ms) {
  for (int polls = 0; polls < kMaxNotReadyPolls; ++polls) {
    Sleep(pause_ms);
    ReadDiscInfo();
    if (LastSense()[kAscOffset] != kAscNotReady) return true;
  }
  return false;
}

// Only a drive that says so is busy: one that answers with no sense, or not
// at all, will not get better by asking again.
bool TZIDIzizid::DriveBusy() const { return TargetBusy() || LastSense()[kAscOffset] == kAscNotReady; }

namespace {

// Counts the retries of one command and the time they took since the first.
class RetryLimit {
public:
  RetryLimit(int max_tries, uint64_t max_ms) : max_tries_(max_tries), max_ms_(max_ms) {}
  // False once the tries or the time are used up.
  bool Again() { return ++tries_ < max_tries_ && GetTickCount64() - start_ < max_ms_; }

private:
  int max_tries_;
  uint64_t max_ms_;
  int tries_ = 0;
  uint64_t start_ = GetTickCount64();
};

}  // namespace

bool TZIDIzizid::Fail(const AnsiString& text) {
  // The text goes in before the abort flag, so the cache's own abort text
  // cannot take its place.
  Lock();
  cache_->SetStatusText(text);
  cache_->SetAbort();
  Unlock();
  return false;
}

void TThWrite::Execute() { burner_.RunWriter(*this); }

void TZIDIzizid::RunWriter(TThWrite& thread) {
  writing_ = true;
  bytes_written_ = 0;
  cache_->SetStatusText("");
  SessionAtOnceMode = UseSessionAtOnce;
  WriteRun run;
  run.start = layout_.NextWritableAddress;
  run.track_length = TrackLength();
  if (SetUpDrive(run) && WriteData(run)) CloseSession(run);
  EndWrite(thread);
}

bool TZIDIzizid::SetUpDrive(WriteRun& run) {
  uint32_t size = 0, free_size = 0;
  run.capacity_works = ReadBufferCapacity(size, free_size);
  const uint16_t d = run.disc_type = GetDiscType();
  LoadEject(false);
  if (d != kDvdPlusRw) RewindUnit();
  SetCDSpeed(ReadSpeed(), WriteSpeed());
  WaitUntilReady(kReadyWaitMs, kReadyStepMs);
  const uint16_t speed = GetCurrentWriteSpeed();
  const bool finalize = FinalizeDisc();
  SetFinalizeDisc(true);
  SetWriteParameters(TestWrite(), UnderrunProtection(), d, true);
  SetFinalizeDisc(finalize);
  if (IsStreamingType(d))
    SetStreamingPerformance(static_cast<uint32_t>(run.start + run.track_length), StreamingSize(ReadSpeed()),
                            StreamingSize(WriteSpeed()), kStreamingTimeMs, kStreamingTimeMs);
  run.track = static_cast<uint8_t>(GetSessionCount() + 1);
  if (d == kDvdR) {
    SetStreaming(kDvdRPerformance, sizeof kDvdRPerformance);
    SendTimeStamp(Now());
    ReserveTrack(static_cast<uint32_t>((run.track_length + kDvdRReserveUnit - 1) / kDvdRReserveUnit *
                                       kDvdRReserveUnit));
    WaitUntilReady(kReadyWaitMs, kReadyStepMs);
  }
  if (d != kDvdRam && !TestWrite() && PerformOPC()) SendOPCInformation();
  // The header begins with the pre-gap of a session-at-once track; on a disc
  // written otherwise the volume would start 150 sectors late.
  if (layout_.LeadSectors > 0 && !(SessionAtOnceType(d) && SessionAtOnceMode)) {
    Sleep(kRefusalPauseMs);
    return Fail(SSessionAtOnceNotPossible);
  }
  if (SessionAtOnceType(d) && SessionAtOnceMode) {
    run.lead = static_cast<uint32_t>(layout_.LeadSectors);
    if (run.track_length > kMaxSessionAtOnceSectors) {
      Sleep(kRefusalPauseMs);
      return Fail(STooMuchData);
    }
    uint8_t cue[sizeof kCueSheet];
    std::memcpy(cue, kCueSheet, sizeof cue);
    LbaToMsf(static_cast<int32_t>(run.track_length + 1), cue[kLeadOutMsf], cue[kLeadOutMsf + 1],
             cue[kLeadOutMsf + 2]);
    if (!SendCueSheet(cue, sizeof cue)) {
      Sleep(kRefusalPauseMs);
      return Fail(SSendCueSheetFailed);
    }
  }
  const char* name = d < std::size(DiscTypeNames) ? DiscTypeNames[d] : DiscTypeNames[0];
  DebugMessage(AnsiString(SDebugPrefix) + Format(SStartingWrite, {AnsiString(name), SpeedText(d, speed)}), 1);
  if (TestWrite()) DebugMessage(AnsiString(SDebugPrefix) + STestWriteMessage, 1);
  return true;
}

// The next chunk's length, 0 at the end; -1 when the writer must stop (an
// abort or a failure of the cache).
int TZIDIzizid::NextChunk(uint8_t* buffer) {
  for (;;) {
    if (abort_requested_) return Fail(SAbortedByUser), -1;
    Lock();
    const int n = cache_->GetChunk(buffer);
    Unlock();
    if (!cache_->StatusText().empty()) return -1;
    if (n >= 0) return n;
    Sleep(kPollMs);
  }
}

bool TZIDIzizid::WriteData(WriteRun& run) {
  const uint16_t d = run.disc_type;
  int n = NextChunk(run.buffer.data());
  if (n < 0) return false;
  if (IsOverwritable(d) && n > 0 && !WriteVolumeStart(run, static_cast<uint32_t>(n))) return false;
  bool capacity_still_works = run.capacity_works;
  for (int chunk = 1; n != 0; ++chunk) {
    if (!IsCd(d)) {
      // Every DVD write carries 32 whole sectors; the last is padded with zeros.
      std::fill(run.buffer.begin() + n, run.buffer.end(), 0);
      n = kDvdChunkBytes;
    }
    const uint16_t blocks = static_cast<uint16_t>(n / kSectorBytes);
    Lock();
    current_write_file_ = cache_->CurrentFile();
    Unlock();
    bytes_written_ = std::min(bytes_written_ + n, run.track_length * kSectorBytes);
    if (chunk % kCapacityEveryChunks == 0 && capacity_still_works) {
      uint32_t size = 0, free_size = 0;
      capacity_still_works = ReadBufferCapacity(size, free_size);
    }
    for (RetryLimit busy(kMaxBusyWrites, kMaxBusyMs);;) {
      if (abort_requested_) return Fail(SAbortedByUser);
      const int32_t lba = static_cast<int32_t>(run.start + run.written) - static_cast<int32_t>(run.lead);
      if (WriteSectors(lba, blocks, kWriteFlags, n, run.buffer.data())) {
        run.written += blocks;
        break;
      }
      if (!DriveBusy()) return FailWithDriveText(SWriterError);
      if (!busy.Again()) return Fail(SWriterBusy);
      Sleep(kBusyWritePauseMs);
    }
    n = NextChunk(run.buffer.data());
    if (n < 0) return false;
  }
  return true;
}

// Rewritable media are read from their start: the volume descriptors there
// must describe the new volume, so the first sectors of the header go to
// address 0 before the data.
bool TZIDIzizid::WriteVolumeStart(WriteRun& run, uint32_t bytes) {
  const uint16_t blocks = static_cast<uint16_t>(bytes / kSectorBytes);
  bool written = WriteSectors(0, blocks, kWriteFlags, bytes, volume_start_.data());
  if (!written && run.disc_type == kDvdPlusRw && LastSense()[kAscOffset] == kAscCannotWriteMedium) {
    uint8_t list[kFormatListBytes];
    std::memcpy(list, kFormatDvdPlusRw, kFormatListBytes);
    if (FormatUnit(kFormatFlags, list, kFormatListBytes)) WaitWhileNotReady(kPlusRwFormatPollMs);
    written = WriteSectors(0, blocks, kWriteFlags, bytes, volume_start_.data());
  }
  if (!written) {
    if (DriveBusy()) return true;  // the data write goes on without the copy
    return FailWithDriveText(SWriterError);
  }
  return SynchronizeCache(kFlushTimeoutMs, false) || FailWithDriveText(SFlushFailed);
}

// A flush or a close the drive refuses leaves the disc without what was
// written, so each fails the burn with the drive's text.
bool TZIDIzizid::CloseSession(WriteRun& run) {
  const uint16_t d = run.disc_type;
  SessionAtOnceMode = false;
  uint32_t size = 0, free_size = 0;
  if (d != kDvdRam) ReadBufferCapacity(size, free_size);
  if (OnFinalizingTrack) OnFinalizingTrack(this);
  if (FlushesWithProgress(d)) {
    if (!SynchronizeCache(kFlushTimeoutMs, true)) return FailWithDriveText(SFlushFailed);
    // The free size counts down while the drive flushes: a progress figure.
    const uint32_t step = DeviceBufferSize() / kFlushProgressSteps;
    SetBufferSizes(DeviceBufferSize(), DeviceBufferSize());
    for (RetryLimit polls(kMaxNotReadyPolls, uint64_t{kMaxNotReadyPolls} * kFlushPollMs); !ReadDiscInfo();) {
      if (!polls.Again()) return FailWithDriveText(SWriterError);
      SetBufferSizes(DeviceBufferSize(), DeviceFreeBufferSize() - std::min(step, DeviceFreeBufferSize()));
      Sleep(kFlushPollMs);
    }
  } else if (!SynchronizeCache(kCdFlushTimeoutMs, false) && !SynchronizeCache(kCdFlushTimeoutMs, true)) {
    return FailWithDriveText(SFlushFailed);
  }
  SetBufferSizes(0, 0);
  if (!cache_->StatusText().empty()) return false;
  if (!TestWrite() && d != kDvdRam && FinalizeTrack()) {
    if (d != kDvdR) SetWriteParameters(TestWrite(), UnderrunProtection(), d, FinalizeDisc());
    if (!CloseBy(d, run.track)) return FailWithDriveText(SCloseFailed);
  }
  WaitUntilReady(kFinalReadyWaitMs, kFinalReadyStepMs);
  if (d != kDvdRam) ReadBufferCapacity(size, free_size);
  ResetDrive();
  return true;
}

bool TZIDIzizid::FailWithDriveText(const char* text) {
  return Fail(AnsiString(text) + " [" + LastErrorText() + "]");
}

bool TZIDIzizid::CloseBy(uint16_t d, uint8_t t) {
  switch (d) {
    case kDvdPlusR:
      return CloseTrackSessionRaw(false, kCloseTrack, 0, 0, t) &&
             CloseTrackSessionRaw(false, kCloseSession, 0, 0, kAllTracks);
    case kDvdPlusRDl:
      return CloseTrackSessionRaw(false, kCloseTrack, 0, 0, t) &&
             CloseTrackSessionRaw(false, FinalizeDisc() ? kCloseDlFinalize : kCloseSession, 0, 0, 0);
    case kDvdR:
      // Track T + 1 is the blank rest of the disc; whether a drive closes it
      // changes nothing of what was written, so only T and the session count.
      if (!CloseTrackSessionRaw(false, kCloseTrack, 0, 0, t)) return false;
      CloseTrackSessionRaw(false, kCloseTrack, 0, 0, static_cast<uint8_t>(t + 1));
      return CloseTrackSessionRaw(false, kCloseSession, 0, 0, static_cast<uint8_t>(t + 2));
    case kDvdRwRestricted:
    case kDvdRwSequential:
      return CloseTrackSessionRaw(true, kCloseSession, 0, 0, 0);
    case kDvdPlusRw:
      return CloseTrackSessionRaw(false, kCloseFinalize, 0, 0, kAllTracks);
    default:
      if (SessionAtOnceMode) return true;
      RetryLimit busy(kMaxBusyCloses, kMaxBusyMs);
      for (int other = 0; !CloseTrackSession(false, WriteQuirk, false);) {
        if (DriveBusy()) {
          if (!busy.Again()) return false;
          Sleep(kBusyClosePauseMs);
        } else if (++other > 1) {
          return false;
        }
      }
      return true;
  }
}

void TZIDIzizid::ResetDrive() {
  SetWriteParameters(false, false, 1, false);
  SetCDSpeed(GetMaxReadSpeed(), kResetWriteSpeed);
  RewindUnit();
  PreventAllowRemoval(true);
  LoadEject(false);
  RewindUnit();
  TestUnitReady(kResetReadyTimeoutMs);
}

void TZIDIzizid::EndWrite(TThWrite& thread) {
  SessionAtOnceMode = false;
  // The cache has queued everything or stopped on the abort flag; once it
  // is gone no thread reads the tree, so it may change from OnWriteDone on.
  cache_->WaitFor();
  Lock();
  current_write_file_ = cache_->CurrentFile();
  const AnsiString error = last_write_error_ = cache_->StatusText();
  writing_ = false;
  Unlock();
  burning_ = false;
  // The transport is shared: once OnWriteDone has run, the caller may send
  // commands again, so the writer changes nothing of it afterwards.
  SetCloseHandleAfterCommand(true);
  // A burner being destroyed has no one left to tell.
  if (OnWriteDone && !destroying_)
    thread.RunOnMainThread([this, &error] {
      in_write_done_ = true;
      try {
        OnWriteDone(this, error);
      } catch (...) {
        in_write_done_ = false;
        throw;
      }
      in_write_done_ = false;
    });
  Lock();
  current_write_file_.clear();
  Unlock();
}
