// Fuzzes the skin file reader: arbitrary bytes in a ".ssk" file must end in a
// reader that is not ready or in its read error, never in a crash, an
// out-of-bounds access or an unbounded allocation. The reader works on files,
// so each input goes through one scratch file of this process.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/rtl/exceptions.h"
#include "skin/skin_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fuzz_skin_" + std::to_string(getpid()) + ".ssk";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  for (const char* password : {"", "skin"}) {
    try {
      Tsk2SkinFileReader reader(path, password);
      if (!reader.Ready()) continue;
      reader.GetBitmap("background");
      reader.GetInteger("height");
      reader.GetBool("transparent");
    } catch (const Exception&) {
    }
  }
  std::remove(path.c_str());
  return 0;
}
