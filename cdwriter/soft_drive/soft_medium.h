// A disc in the software drive: its type, capacity, sessions and tracks, and
// its sectors in a sparse file. It knows what MMC says a disc of its kind
// allows: sequential media take writes only at the next writable address,
// overwritable media anywhere, read-only and closed media nowhere.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/rtl/strings.h"

constexpr uint32_t kSoftSectorBytes = 2048;

// What a test or tool puts into the drive.
struct TSoftMediumSetup {
  uint16_t disc_type = 2;  // the library's disc type codes: 1 CD-ROM, 2 CD-R, ... 12 DVD+R DL
  uint32_t capacity = 359847;  // blocks
  // Recorded sessions, each a list of track sizes in blocks, all complete.
  std::vector<std::vector<uint32_t>> sessions;
  bool closed = false;  // no further session may be appended
  AnsiString sector_file;  // "" keeps the sectors in an unnamed temporary file
};

// Sense of a refused command: key, ASC, ASCQ.
struct TSoftSense {
  uint8_t key = 0, asc = 0, ascq = 0;
  bool ok() const { return key == 0 && asc == 0; }
};

class TSoftMedium {
public:
  explicit TSoftMedium(const TSoftMediumSetup& setup);
  ~TSoftMedium();
  TSoftMedium(const TSoftMedium&) = delete;
  TSoftMedium& operator=(const TSoftMedium&) = delete;

  uint16_t DiscType() const { return disc_type_; }
  uint16_t Profile() const;
  bool Erasable() const;
  bool Sequential() const;
  bool Writable() const;
  bool IsCd() const;
  bool IsDvd() const;
  uint32_t NextWritableAddress() const { return nwa_; }
  // Sessions as a disc reports them, the empty or open one included.
  uint8_t ReportedSessions() const;

  // Sequential media take writes at the next writable address only; after
  // ExpectPregap the first ones begin that many sectors before it, and those
  // sectors are not recorded.
  TSoftSense Write(uint32_t lba, uint32_t blocks, const uint8_t* data);
  void ExpectPregap(uint32_t sectors) { pregap_ = sectors; }
  TSoftSense Read(uint32_t lba, uint32_t blocks, uint8_t* data) const;
  // CLOSE TRACK/SESSION function 1 (track of that number, which must exist;
  // FFh the last one written),
  // 2 (session), 5 and 6 (close and finalize).
  TSoftSense Close(uint8_t function, uint16_t track, bool multi_session);
  // The number of the track that holds the sector; 0 for none.
  uint32_t TrackAt(uint32_t lba) const;
  void Blank();

  // MMC answers, whole; the caller cuts them to the allocation length.
  std::vector<uint8_t> DiscInformation() const;
  bool TrackInformation(uint32_t track_number, std::vector<uint8_t>& answer) const;
  bool Toc(uint8_t format, bool msf, uint8_t start_track, std::vector<uint8_t>& answer) const;

private:
  struct Track {
    uint32_t start;
    uint32_t size;
    uint8_t session;
    bool complete;
  };
  uint32_t RecordedEnd() const;
  uint32_t TrackCount() const;
  bool HasInvisibleTrack() const;
  void CloseSession();
  std::vector<uint8_t> TrackDescriptor(uint32_t number) const;

  uint16_t disc_type_;
  uint32_t capacity_;
  std::vector<Track> tracks_;
  uint8_t closed_sessions_ = 0;
  bool finalized_ = false;
  uint32_t nwa_ = 0;
  uint32_t pregap_ = 0;
  int fd_ = -1;
};
