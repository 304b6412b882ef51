// TCacheThread (see cache_thread.h). The producer never blocks on a full
// queue: it sleeps 1 ms at idle priority and looks again, so the writer can
// always take the lock. The device lock alone guards the queue, so the
// producer and the consumer never touch the same chunk.

#include "cdwriter/cache_thread.h"

#include <algorithm>
#include <cstring>

#include "cdwriter/burner.h"
#include "cdwriter/cd_texts.h"
#include "cdwriter/file_stream_ex.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/format.h"
#include "platform/rtl/text.h"

namespace {

constexpr uint32_t kPollMs = 1;

}  // namespace

TCacheThread::TCacheThread(int cache_size, TZIDIzizid& burner, int chunk_size, bool write_post_gap,
                           const AnsiString& boot_image, int64_t boot_bytes, int64_t track_bytes,
                           TMemoryStream& header)
    : burner_(burner),
      header_(header),
      chunk_size_(chunk_size),
      queue_limit_(cache_size / chunk_size),
      post_gap_(write_post_gap && track_bytes < kPostGapTrackBytes),
      boot_image_(boot_image),
      boot_bytes_(boot_bytes),
      track_bytes_(track_bytes) {
  for (int i = 0; i < burner.FileCount(); ++i) {
    const TFEntry* e = burner.File(i);
    if (!e->Dir && !e->Imported && !e->SourcePath.empty() && e->FileSize > 0) sources_.push_back(e);
  }
  SetPriority(tpLower);
  assembly_.reserve(chunk_size_);
  Resume();
}

TCacheThread::~TCacheThread() {
  SetAbort();
  WaitFor();
}

void TCacheThread::Execute() {
  if (!FeedHeader()) return Finish(SAbortedByUser);
  if (!boot_image_.empty() && !FeedFile(AnsiToWide(boot_image_), boot_bytes_)) return;
  for (const TFEntry* e : sources_)
    if (!FeedFile(GivenName(e->SourcePath, e->WideSourcePath), e->FileSize)) return;
  if (!assembly_.empty() && !QueueAssembly()) return Finish(SAbortedByUser);
  if (post_gap_) {
    const int64_t missing = kPostGapTrackBytes - track_bytes_;
    for (int64_t left = missing; left > 0;) {
      const size_t piece = static_cast<size_t>(std::min<int64_t>(chunk_size_, left));
      if (!Feed(nullptr, piece)) return Finish(SAbortedByUser);
      left -= piece;
    }
    if (!assembly_.empty() && !QueueAssembly()) return Finish(SAbortedByUser);
  }
  burner_.Lock();
  finished_ = true;
  burner_.Unlock();
  ready_ = true;
}

bool TCacheThread::FeedHeader() {
  const int64_t size = header_.Size();
  const bool fed = Feed(static_cast<const uint8_t*>(header_.Memory()), static_cast<size_t>(size));
  header_.Clear();
  return fed;
}

namespace {

// Fills count bytes unless the file ends or fails first; the bytes read.
int ReadFully(TFileStreamEx& file, uint8_t* dest, int count) {
  int got = 0;
  for (int n; got < count && (n = file.Read(dest + got, count - got)) > 0;) got += n;
  return got;
}

}  // namespace

// Reads the file in pieces of at most one chunk, exactly the size it had when
// it was added, and pads its last sector with zeros. A file that has shrunk,
// grown or cannot be read fails the burn by name: its sectors would not hold
// what its directory record says.
bool TCacheThread::FeedFile(const WideString& given_name, int64_t size) {
  const AnsiString name = AnsiNameOf(given_name);
  burner_.Lock();
  current_file_ = name;
  burner_.Unlock();
  TFileStreamEx file(given_name, fmOpenRead | fmShareDenyNone);
  if (file.Handle() < 0) {
    Finish(Format(SCantOpenFile, {name}));
    return false;
  }
  std::vector<uint8_t> piece(chunk_size_);
  for (int64_t left = size; left > 0;) {
    const int count = static_cast<int>(std::min<int64_t>(chunk_size_ - assembly_.size(), left));
    if (ReadFully(file, piece.data(), count) < count) {
      Finish(Format(file.GetSize() < size ? SFileShrank : SCantReadFile, {name}));
      return false;
    }
    if (!Feed(piece.data(), count)) {
      Finish(SAbortedByUser);
      return false;
    }
    left -= count;
  }
  if (ReadFully(file, piece.data(), 1) > 0) {
    Finish(Format(SFileGrew, {name}));
    return false;
  }
  if (Feed(nullptr, static_cast<size_t>(SectorBytesOf(size) - size))) return true;
  Finish(SAbortedByUser);
  return false;
}

bool TCacheThread::Feed(const uint8_t* data, size_t count) {
  while (count > 0) {
    if (abort_) return false;
    const size_t take = std::min(count, static_cast<size_t>(chunk_size_) - assembly_.size());
    if (data) {
      assembly_.insert(assembly_.end(), data, data + take);
      data += take;
    } else {
      assembly_.resize(assembly_.size() + take, 0);
    }
    count -= take;
    if (assembly_.size() == static_cast<size_t>(chunk_size_) && !QueueAssembly()) return false;
  }
  return !abort_;
}

// Queues the chunk being filled, then waits while the queue is full.
bool TCacheThread::QueueAssembly() {
  burner_.Lock();
  buffered_ += static_cast<int64_t>(assembly_.size());
  queue_.push_back(std::move(assembly_));
  size_t queued = queue_.size();
  burner_.Unlock();
  assembly_ = {};
  assembly_.reserve(chunk_size_);
  AdjustPriority(queued);
  while (queued + 1 >= static_cast<size_t>(queue_limit_)) {
    if (Priority() != tpIdle) SetPriority(tpIdle);
    if (abort_) return false;
    ready_ = true;
    Sleep(kPollMs);
    burner_.Lock();
    queued = queue_.size();
    burner_.Unlock();
  }
  return true;
}

// Reads ahead harder the emptier the queue is.
void TCacheThread::AdjustPriority(size_t queued) {
  const size_t limit = static_cast<size_t>(queue_limit_);
  if (queued >= limit / 4 || Priority() == tpNormal) {
    if (queued < limit / 2) {
      if (Priority() != tpLower) SetPriority(tpLower);
    } else if (Priority() != tpLowest) {
      SetPriority(tpLowest);
    }
  } else if (Priority() != tpNormal) {
    SetPriority(tpNormal);
  }
}

void TCacheThread::Finish(const AnsiString& text) {
  burner_.Lock();
  if (abort_) queue_.clear();
  if (status_text_.empty()) status_text_ = text;
  finished_ = true;
  burner_.Unlock();
}

int TCacheThread::GetChunk(uint8_t* dest) {
  burner_.Lock();
  int length = 0;
  if (abort_) {
    length = 0;
  } else if (queue_.empty()) {
    length = finished_ ? 0 : -1;
  } else {
    std::vector<uint8_t>& chunk = queue_.front();
    length = static_cast<int>(chunk.size());
    std::memcpy(dest, chunk.data(), chunk.size());
    queue_.pop_front();
    buffered_ -= length;
  }
  burner_.Unlock();
  return length;
}

AnsiString TCacheThread::StatusText() const {
  burner_.Lock();
  AnsiString text = status_text_;
  burner_.Unlock();
  return text;
}

void TCacheThread::SetStatusText(const AnsiString& text) {
  burner_.Lock();
  status_text_ = text;
  burner_.Unlock();
}

AnsiString TCacheThread::CurrentFile() const {
  burner_.Lock();
  AnsiString name = current_file_;
  burner_.Unlock();
  return name;
}

int64_t TCacheThread::Buffered() const {
  burner_.Lock();
  const int64_t bytes = buffered_;
  burner_.Unlock();
  return bytes;
}

int TCacheThread::QueuedChunks() const {
  burner_.Lock();
  const int count = static_cast<int>(queue_.size());
  burner_.Unlock();
  return count;
}
