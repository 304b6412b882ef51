// Fuzzes the tar header reader: arbitrary bytes must end in a read or format
// error, never in a crash, a hang or an out-of-bounds access. The input is
// detected, read as one entry, walked entry by entry and loaded as an archive
// whose entries are then extracted and tested.
#include <cstddef>
#include <cstdint>

#include "archive/ab_tar.h"
#include "platform/rtl/streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream input;
  input.Write(data, static_cast<int64_t>(size));
  input.SetPosition(0);
  DetectTar(input);
  try {
    TAbTarItem item;
    item.LoadFromStream(input);
    item.VerifyChecksums();
  } catch (const Exception&) {
  }
  try {
    TAbTarStreamHelper helper(&input);
    helper.CountItems();
  } catch (const EAbTarInvalid&) {
  }

  TAbTarArchive archive(&input, "fuzz.tar");
  try {
    archive.Load();
  } catch (const Exception&) {
    return 0;
  }
  for (int i = 0; i < archive.Count(); ++i) {
    try {
      TMemoryStream out;
      archive.ExtractItemToStreamAt(i, &out);
      archive.TestItemAt(i);
    } catch (const Exception&) {
    }
  }
  return 0;
}
