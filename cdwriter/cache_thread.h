// TCacheThread: reads the whole image ahead of the writer into a bounded queue
// of chunks in memory: the image header the layout built, the boot image,
// every file in creation order (each from a sector boundary, the rest of its
// last sector zero), then zero sectors when a short track needs a post-gap.
// The writer takes chunks from the head with GetChunk. The device lock guards
// the queue and the counters; the abort flag is shared with the writer.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <vector>

#include "cdwriter/iso_entries.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/thread.h"

class TZIDIzizid;

constexpr int kDvdChunkBytes = 65536;
constexpr int kCdChunkBytes = 55296;            // 27 sectors
constexpr int64_t kPostGapTrackBytes = 614400;  // 300 sectors: the shortest track

class TCacheThread final : public TThread {
public:
  // Starts at once. Header is emptied once it has been read; the files are
  // those the burner's tree holds now.
  TCacheThread(int cache_size, TZIDIzizid& burner, int chunk_size, bool write_post_gap,
               const AnsiString& boot_image, int64_t boot_bytes, int64_t track_bytes,
               TMemoryStream& header);
  ~TCacheThread() override;

  // The writer calls it holding the device lock: the oldest chunk's length
  // (its bytes copied to dest, which holds ChunkSize), -1 while the queue is
  // empty and more is coming, 0 at the end or after an abort.
  int GetChunk(uint8_t* dest);
  void SetAbort() { abort_ = true; }
  // Primed: the queue is full or everything is queued.
  bool Ready() const { return ready_; }

  // Under the device lock.
  AnsiString StatusText() const;
  void SetStatusText(const AnsiString& text);
  AnsiString CurrentFile() const;
  int64_t Buffered() const;
  int QueuedChunks() const;
  int QueueLimit() const { return queue_limit_; }

protected:
  void Execute() override;

private:
  // Each false when the burn was aborted meanwhile.
  bool Feed(const uint8_t* data, size_t count);  // null data feeds zeros
  bool FeedHeader();
  bool FeedFile(const WideString& name, int64_t size);
  bool QueueAssembly();
  void AdjustPriority(size_t queued);
  // Ends the thread's work with text unless another text came first.
  void Finish(const AnsiString& text);

  TZIDIzizid& burner_;
  TMemoryStream& header_;
  const int chunk_size_;
  const int queue_limit_;
  const bool post_gap_;
  const AnsiString boot_image_;
  const int64_t boot_bytes_;
  const int64_t track_bytes_;
  std::vector<const TFEntry*> sources_;  // files with data, in creation order

  // Under the device lock.
  std::deque<std::vector<uint8_t>> queue_;
  int64_t buffered_ = 0;
  AnsiString status_text_;
  AnsiString current_file_;

  bool finished_ = false;  // everything is queued, or the thread gave up

  std::atomic<bool> abort_{false};
  std::atomic<bool> ready_{false};
  std::vector<uint8_t> assembly_;  // the chunk being filled

};
