// Archive-type detection by extension and content. The content checks live
// with their formats; this file only chooses which of them to ask.
#include "archive/ab_detect.h"


#include "archive/ab_bzip2.h"
#include "archive/ab_cabinet.h"
#include "archive/ab_gzip.h"
#include "archive/ab_tar.h"
#include "platform/rtl/files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"

namespace {

struct ExtensionKind {
  const char* extension;
  TAbArchiveKind kind;
};

constexpr ExtensionKind kExtensionKinds[] = {
    {".ZIP", akZip},  {".JAR", akZip},          {".EXE", akSelfExtractingZip}, {".TAR", akTar},
    {".GZ", akGzip},  {".TGZ", akGzippedTar},   {".CAB", akCabinet},           {".BZ2", akBzip2},
    {".TBZ", akBzippedTar}};

TAbArchiveKind KindOfExtension(const AnsiString& fileName) {
  const AnsiString ext = UpperCase(ExtractFileExt(fileName));
  for (const ExtensionKind& e : kExtensionKinds)
    if (ext == e.extension) return e.kind;
  return akUnknown;
}

// The content check that confirms (or corrects) an expected kind.
TAbArchiveKind CheckContent(TStream& stream, TAbArchiveKind expected) {
  switch (expected) {
    case akZip: return DetectZip(stream);
    case akSelfExtractingZip: return DetectSelfExtractingZip(stream);
    case akTar: return DetectTar(stream);
    case akGzip:
    case akGzippedTar: return DetectGzip(stream);
    case akCabinet: return DetectCabinet(stream);
    case akBzip2:
    case akBzippedTar: return DetectBzip2(stream);
    case akSpannedZip: return akSpannedZip;
    case akUnknown: break;
  }
  return DetectAnyKind(stream);
}

}  // namespace

TAbArchiveKind DetectAnyKind(TStream& stream) {
  using Check = TAbArchiveKind (*)(TStream&);
  constexpr Check kChecks[] = {DetectSelfExtractingZip, DetectZip, DetectTar, DetectGzip, DetectBzip2,
                               DetectCabinet};
  for (Check check : kChecks) {
    TAbArchiveKind kind = check(stream);
    if (kind != akUnknown) return kind;
  }
  return akUnknown;
}

TAbArchiveKind DetermineArchiveKind(const AnsiString& fileName, TAbArchiveKind kind) {
  if (kind == akUnknown) kind = KindOfExtension(fileName);
  if (!FileExists(fileName) || FileSize(fileName) <= 0) return kind;
  TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
  return CheckContent(file, kind);
}
