// Zip64 refusal and the overlap check of a loaded ZIP directory. A member
// spans at least its local header (with the central header's name) and its
// compressed data; extra fields and data descriptors only make it longer, so
// this lower bound never refuses an archive whose members are apart.
#include "archive/ab_zip_directory_check.h"

#include <algorithm>

#include "archive/ab_exceptions.h"
#include "archive/ab_zip_archive.h"
#include "platform/rtl/format.h"
#include "platform/rtl/streams.h"

namespace {

constexpr uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr int kZip64LocatorSize = 20;
constexpr uint16_t kZip64BlockId = 0x0001;
constexpr uint32_t kEscape32 = 0xFFFFFFFF;
constexpr uint16_t kEscape16 = 0xFFFF;

struct Span {
  int64_t start;
  int64_t end;
  const TAbZipItem* item;
};

}  // namespace

void AbZipRefuseZip64Archive(TStream& stream, int64_t endPosition, const TAbZipDirectoryFileFooter& footer) {
  if (footer.DirectoryOffset == kEscape32 || footer.DirectorySize == kEscape32)
    throw EAbZipInvalid(AbZip64NotSupportedS);
  if (endPosition < kZip64LocatorSize) return;
  int64_t kept = stream.Position();
  uint32_t signature = 0;
  stream.Seek(endPosition - kZip64LocatorSize, soBeginning);
  int64_t got = stream.Read(&signature, sizeof signature);
  stream.Seek(kept, soBeginning);
  if (got == sizeof signature && signature == kZip64LocatorSignature) throw EAbZipInvalid(AbZip64NotSupportedS);
}

void AbZipRefuseZip64Entry(TAbZipItem& item) {
  const TAbZipDirectoryFileHeader& header = item.Header();
  bool escaped = header.CompressedSize == kEscape32 || header.UncompressedSize == kEscape32 ||
                 header.RelativeOffset == kEscape32 || header.DiskNumberStart == kEscape16;
  if (escaped && item.ExtraField().FindField(kZip64BlockId) >= 0) throw EAbZipInvalid(AbZip64NotSupportedS);
}

void AbZipCheckMemberSpans(const std::vector<const TAbZipItem*>& items, int64_t directoryOffset) {
  std::vector<Span> spans;
  spans.reserve(items.size());
  for (const TAbZipItem* item : items) {
    int64_t start = item->RelativeOffset();
    int64_t end = start + kAbZipLocalHeaderSize + static_cast<int64_t>(item->Header().FileName.size()) +
                  item->GetCompressedSize();
    spans.push_back({start, end, item});
  }
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.start < b.start; });
  for (size_t i = 0; i + 1 < spans.size(); ++i)
    if (spans[i].end > spans[i + 1].start)
      throw EAbZipInvalid(Format(AbZipOverlapS, {spans[i].item->GetFileName(), spans[i + 1].item->GetFileName()}));
  if (!spans.empty() && spans.back().end > directoryOffset)
    throw EAbZipInvalid(Format(AbZipPastDirectoryS, {spans.back().item->GetFileName()}));
}
