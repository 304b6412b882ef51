// Fuzzes the bzip2 archive reader: arbitrary bytes must end in a read or
// bzip2 error, never in a crash or an out-of-bounds access. The input is
// detected, then loaded as a plain and as a tar-mode archive whose member is
// tested and decompressed.
#include <cstddef>
#include <cstdint>

#include "archive/ab_bzip2.h"
#include "platform/rtl/streams.h"
#include "tests/fuzz/compressed_archive_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream input;
  input.Write(data, static_cast<int64_t>(size));
  input.SetPosition(0);
  DetectBzip2(input);
  LoadAndTest<TAbBzip2Archive>(input, "fuzz.bz2", false);
  LoadAndTest<TAbBzip2Archive>(input, "fuzz.bz2", true);
  return 0;
}
