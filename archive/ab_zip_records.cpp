// Reading and writing the ZIP records field by field, the backward search for
// the end record, and the two content checks of type detection.
#include "archive/ab_zip_records.h"

#include <algorithm>
#include <vector>

#include "archive/ab_exceptions.h"
#include "archive/ab_span_stream.h"
#include "platform/rtl/byte_order.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

namespace {

constexpr int64_t kEndRecordSearchLimit = 65536;
constexpr int64_t kEndRecordFirstWindow = 512;

// Little-endian fields of a fixed record part. Reading stops at the bytes the
// stream gave, so a record cut short leaves the later fields as they were.
class FieldReader {
public:
  FieldReader(const uint8_t* data, int64_t size) : data_(data), size_(static_cast<size_t>(std::max<int64_t>(size, 0))) {}
  template <typename T>
  void operator()(T& field) {
    if (pos_ + sizeof(T) > size_) return;
    T value = 0;
    for (size_t i = 0; i < sizeof(T); ++i) value |= static_cast<T>(static_cast<T>(data_[pos_ + i]) << (8 * i));
    field = value;
    pos_ += sizeof(T);
  }

private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

class FieldWriter {
public:
  template <typename T>
  void operator()(T value) {
    for (size_t i = 0; i < sizeof(T); ++i) bytes_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
  void Append(const AnsiString& s) { bytes_ += s; }
  void Append(const std::vector<uint8_t>& b) { bytes_.append(b.begin(), b.end()); }
  void WriteTo(TStream& stream) const { stream.WriteBuffer(bytes_.data(), static_cast<int64_t>(bytes_.size())); }

private:
  AnsiString bytes_;
};

// Reads Count bytes, keeping what a short stream gives.
AnsiString ReadText(TStream& stream, uint16_t count) {
  AnsiString s(count, '\0');
  int64_t got = count ? stream.Read(s.data(), count) : 0;
  s.resize(static_cast<size_t>(std::max<int64_t>(got, 0)));
  return s;
}

// The variable-length parts' sizes, read from or written into a record.
struct Lengths {
  uint16_t name = 0;
  uint16_t extra = 0;
  uint16_t comment = 0;
};

// Each record's fixed part, in order, once for reading and for writing.
template <typename IO, typename Header>
void CommonFields(IO& io, Header& h) {
  io(h.VersionNeededToExtract);
  io(h.GeneralPurposeBitFlag);
  io(h.CompressionMethod);
  io(h.LastModFileTime);
  io(h.LastModFileDate);
  io(h.CRC32);
  io(h.CompressedSize);
  io(h.UncompressedSize);
}

template <typename IO, typename Header>
void LocalFields(IO& io, uint32_t& signature, Header& h, Lengths& n) {
  io(signature);
  CommonFields(io, h);
  io(n.name);
  io(n.extra);
}

template <typename IO, typename Header>
void CentralFields(IO& io, uint32_t& signature, Header& h, Lengths& n) {
  io(signature);
  io(h.VersionMadeBy);
  CommonFields(io, h);
  io(n.name);
  io(n.extra);
  io(n.comment);
  io(h.DiskNumberStart);
  io(h.InternalFileAttributes);
  io(h.ExternalFileAttributes);
  io(h.RelativeOffset);
}

template <typename IO, typename Footer>
void EndFields(IO& io, uint32_t& signature, Footer& f, Lengths& n) {
  io(signature);
  io(f.DiskNumber);
  io(f.StartDiskNumber);
  io(f.EntriesOnDisk);
  io(f.TotalEntries);
  io(f.DirectorySize);
  io(f.DirectoryOffset);
  io(n.comment);
}

Lengths LengthsOf(const AnsiString& name, const TAbExtraField& extra, const AnsiString& comment) {
  return {static_cast<uint16_t>(name.size()), static_cast<uint16_t>(extra.Buffer().size()),
          static_cast<uint16_t>(comment.size())};
}

// Reads a fixed part of Size bytes through Layout.
template <size_t Size, typename Layout>
void ReadFixed(TStream& stream, Layout layout) {
  uint8_t fixed[Size];
  FieldReader r(fixed, stream.Read(fixed, Size));
  layout(r);
}

bool IsEndSignatureAt(const uint8_t* p) { return p[0] == 0x50 && p[1] == 0x4B && p[2] == 0x05 && p[3] == 0x06; }

// The backward search over windows that double up to the limit and overlap
// by one end record; -1 when no window holds a record that fits the stream.
int64_t SearchEndRecordBackwards(TStream& stream, int64_t limit) {
  int64_t size = stream.Size();
  int64_t window = kEndRecordFirstWindow;
  int64_t start = size - window;
  std::vector<uint8_t> buffer;
  for (;;) {
    bool lastPass = start <= 0;
    if (lastPass) start = 0;
    stream.Seek(start, soBeginning);
    buffer.resize(static_cast<size_t>(window));
    int64_t got = stream.Read(buffer.data(), window);
    if (got < kAbZipEndRecordSize) return -1;
    for (int64_t i = got - kAbZipEndRecordSize; i >= 0; --i) {
      if (!IsEndSignatureAt(&buffer[static_cast<size_t>(i)])) continue;
      uint16_t commentLength = GetLE16(&buffer[static_cast<size_t>(i) + 20]);
      if (size - (start + i) - kAbZipEndRecordSize >= commentLength) return start + i;
    }
    if (lastPass) return -1;
    int64_t next = std::min(window * 2, limit);
    start -= next - kAbZipEndRecordSize;
    window = next;
  }
}

}  // namespace

// --- Headers -------------------------------------------------------------------

void TAbZipFileHeader::SetIsUTF8(bool value) {
  if (value)
    GeneralPurposeBitFlag |= kAbZipFlagUtf8;
  else
    GeneralPurposeBitFlag &= static_cast<uint16_t>(~kAbZipFlagUtf8);
}

void TAbZipLocalFileHeader::LoadFromStream(TStream& stream) {
  Lengths n;
  ReadFixed<kAbZipLocalHeaderSize>(stream, [&](FieldReader& r) { LocalFields(r, Signature, *this, n); });
  FileName = ReadText(stream, n.name);
  ExtraField.LoadFromStream(stream, n.extra);
  if (!IsValid()) throw EAbZipInvalid();
}

void TAbZipLocalFileHeader::SaveToStream(TStream& stream) const {
  FieldWriter w;
  uint32_t signature = ValidSignature;
  Lengths n = LengthsOf(FileName, ExtraField, {});
  LocalFields(w, signature, *this, n);
  w.Append(FileName);
  w.Append(ExtraField.Buffer());
  w.WriteTo(stream);
}

void TAbZipDirectoryFileHeader::LoadFromStream(TStream& stream) {
  Lengths n;
  ReadFixed<kAbZipCentralHeaderSize>(stream, [&](FieldReader& r) { CentralFields(r, Signature, *this, n); });
  FileName = ReadText(stream, n.name);
  ExtraField.LoadFromStream(stream, n.extra);
  FileComment = ReadText(stream, n.comment);
  if (!IsValid()) throw EAbZipInvalid();
}

void TAbZipDirectoryFileHeader::SaveToStream(TStream& stream) const {
  FieldWriter w;
  uint32_t signature = ValidSignature;
  Lengths n = LengthsOf(FileName, ExtraField, FileComment);
  CentralFields(w, signature, *this, n);
  w.Append(FileName);
  w.Append(ExtraField.Buffer());
  w.Append(FileComment);
  w.WriteTo(stream);
}

void TAbZipDirectoryFileFooter::LoadFromStream(TStream& stream) {
  Lengths n;
  ReadFixed<kAbZipEndRecordSize>(stream, [&](FieldReader& r) { EndFields(r, Signature, *this, n); });
  ZipfileComment = ReadText(stream, n.comment);
  if (!IsValid()) throw EAbZipInvalid();
}

void TAbZipDirectoryFileFooter::SaveToStream(TStream& stream) const {
  FieldWriter w;
  uint32_t signature = kAbZipEndOfCentralDirectorySignature;
  Lengths n{0, 0, static_cast<uint16_t>(ZipfileComment.size())};
  EndFields(w, signature, *this, n);
  w.Append(ZipfileComment);
  w.WriteTo(stream);
}

void TAbZipDataDescriptor::SaveToStream(TStream& stream) const {
  FieldWriter w;
  w(kAbZipSpannedSetSignature);
  w(CRC32);
  w(CompressedSize);
  w(UncompressedSize);
  w.WriteTo(stream);
}

// --- Locating and detecting ----------------------------------------------------------

int64_t LocateEndRecord(TStream& stream) {
  int64_t limit = kEndRecordSearchLimit;
  auto* span = dynamic_cast<TAbSpanStream*>(&stream);
  bool savedIgnore = false;
  if (span) {
    savedIgnore = span->IgnoreSpanning();
    span->SetIgnoreSpanning(true);
    int64_t size = span->Size();
    if (size > 0 && size < limit) limit = size;
  }
  int64_t remembered = stream.Position();
  int64_t probe = stream.Size() - kAbZipEndRecordSize;
  if (probe >= 0) {
    stream.Seek(probe, soBeginning);
    uint8_t tail[kAbZipEndRecordSize];
    stream.ReadBuffer(tail, kAbZipEndRecordSize);
    if (IsEndSignatureAt(tail) && tail[20] == 0 && tail[21] == 0) return stream.Seek(probe, soBeginning);
  }
  int64_t found = SearchEndRecordBackwards(stream, limit);
  if (found >= 0) return stream.Seek(found, soBeginning);
  stream.Seek(remembered, soBeginning);
  if (span) span->SetIgnoreSpanning(savedIgnore);
  return -1;
}

namespace {

// Runs a check from the stream's start and puts the stream back afterwards; a
// stream too short for a full read counts as no match.
template <typename Check>
TAbArchiveKind CheckFromStart(TStream& stream, Check check) {
  int64_t remembered = stream.Position();
  TAbArchiveKind kind = akUnknown;
  try {
    stream.Seek(0, soBeginning);
    uint8_t head[4] = {};
    stream.ReadBuffer(head, 4);
    kind = check(head);
  } catch (const EReadError&) {
    kind = akUnknown;
  } catch (...) {
    stream.Seek(remembered, soBeginning);
    throw;
  }
  stream.Seek(remembered, soBeginning);
  return kind;
}

}  // namespace

TAbArchiveKind DetectZip(TStream& stream) {
  return CheckFromStart(stream, [&](const uint8_t* head) {
    if (head[0] == 0x50 && head[1] == 0x4B && head[2] == 0x07 && head[3] == 0x08) return akSpannedZip;
    if (LocateEndRecord(stream) < 0) return akUnknown;
    TAbZipDirectoryFileFooter footer;
    try {
      footer.LoadFromStream(stream);
    } catch (const EAbZipInvalid&) {
      return akUnknown;
    }
    return footer.DiskNumber == 0 ? akZip : akSpannedZip;
  });
}

TAbArchiveKind DetectSelfExtractingZip(TStream& stream) {
  return CheckFromStart(stream, [&](const uint8_t* head) {
    bool stub = (head[0] == 'M' && head[1] == 'Z') ||
                (head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' && head[3] == 'F');
    return stub && DetectZip(stream) == akZip ? akSelfExtractingZip : akUnknown;
  });
}
