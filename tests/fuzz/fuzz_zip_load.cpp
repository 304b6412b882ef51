// Fuzzes loading a ZIP archive from memory: type detection, the end-record
// search, every central header with its name rules, and a save that copies
// each loaded entry through its local header. Damaged input must end in one
// of the library's exceptions, never in a crash or an out-of-bounds access.
#include <cstddef>
#include <cstdint>

#include "archive/ab_zip_archive.h"
#include "archive/ab_zip_records.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TStringStream stream(AnsiString(reinterpret_cast<const char*>(data), size));
  try {
    DetectZip(stream);
    DetectSelfExtractingZip(stream);
    TAbZipArchive archive(&stream, "/tmp/fuzz.zip");
    archive.Load();
    for (int i = 0; i < archive.Count(); ++i) {
      TAbZipItem* item = archive.ZipItems(i);
      item->GetIsDirectory();
      item->GetNativeFileAttributes();
      item->GetLastModTimeAsDateTime();
    }
    if (archive.Count() > 0) archive.SaveArchive();
  } catch (const Exception&) {
  }
  return 0;
}
