// Fuzzes Inflate with arbitrary input: corrupt data must end in EAbInflateError,
// never in a crash or an out-of-bounds access. The first byte picks the options
// (Deflate64, test-only mode, an output limit); the rest is the compressed data.
// Whatever decodes is also compressed again and must come back unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "archive/deflate/deflate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  uint8_t mode = data[0];
  TAbDeflateHelper helper;
  int32_t options = helper.Options();
  if (mode & 1) options |= kDfUseDeflate64;
  if (mode & 2) options |= kDfTestOnly;
  helper.SetOptions(options);
  if (mode & 4) helper.SetOutputLimit(1 + (mode >> 3) * 97);

  TMemoryStream src, dst;
  src.Write(data + 1, static_cast<int64_t>(size - 1));
  src.SetPosition(0);
  try {
    Inflate(&src, &dst, &helper);
  } catch (const EAbInflateError&) {
    return 0;
  }
  if (dst.Size() == 0 || (options & kDfTestOnly) != 0) return 0;
  TMemoryStream packed, back;
  dst.SetPosition(0);
  Deflate(&dst, &packed, nullptr);
  packed.SetPosition(0);
  Inflate(&packed, &back, nullptr);
  if (back.Size() != dst.Size() || std::memcmp(back.Memory(), dst.Memory(), static_cast<size_t>(dst.Size())) != 0)
    std::abort();
  return 0;
}
