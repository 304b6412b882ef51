// Fuzzes the gzip header reader: arbitrary bytes must end in a read, gzip or
// inflate error, never in a crash or an out-of-bounds access. The input is
// read as a member header, detected, and loaded as a plain and as a tar-mode
// archive whose members are then tested.
#include <cstddef>
#include <cstdint>

#include "archive/ab_gzip.h"
#include "platform/rtl/streams.h"
#include "tests/fuzz/compressed_archive_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream input;
  input.Write(data, static_cast<int64_t>(size));
  input.SetPosition(0);
  try {
    TAbGzipItem item;
    item.LoadHeader(input);
  } catch (const Exception&) {
  }
  DetectGzip(input);
  LoadAndTest<TAbGzipArchive>(input, "fuzz.gz", false);
  LoadAndTest<TAbGzipArchive>(input, "fuzz.gz", true);
  return 0;
}
