// Fuzzes the bzip2 archive reader: arbitrary bytes must end in a read or
// bzip2 error, never in a crash or an out-of-bounds access. The input is
// detected, then loaded as a plain and as a tar-mode archive whose member is
// tested and decompressed.
#include <cstddef>
#include <cstdint>

#include "archive/ab_bzip2.h"
#include "platform/rtl/streams.h"

namespace {

void LoadAndTest(TStream& input, bool tarMode) {
  input.SetPosition(0);
  TAbBzip2Archive archive(&input, "fuzz.bz2");
  archive.SetOpenInnerTar(tarMode);
  archive.SetIsCompressedTar(tarMode);
  try {
    archive.Load();
    for (int i = 0; i < archive.Count(); ++i) archive.TestItemAt(i);
  } catch (const Exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream input;
  input.Write(data, static_cast<int64_t>(size));
  input.SetPosition(0);
  DetectBzip2(input);
  LoadAndTest(input, false);
  LoadAndTest(input, true);
  return 0;
}
