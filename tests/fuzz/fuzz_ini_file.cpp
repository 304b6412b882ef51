// Fuzzes the reading of profile files: arbitrary bytes in an ini file (any
// encoding, line ends, brackets, equal signs) must read without a crash, and
// a value written into such a file must read back as written.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/rtl/ini_files.h"
#include "platform/rtl/lists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/fuzz_ini_" + std::to_string(getpid()) + ".ini";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  try {
    TIniFile ini(path);
    TStringList sections;
    ini.ReadSections(sections);
    for (int i = 0; i < sections.Count(); ++i) {
      TStringList values;
      ini.ReadSectionValues(sections[i], values);
    }
    ini.WriteString("Fuzz", "Key", "value");
    if (TIniFile(path).ReadString("Fuzz", "Key", "") != "value") std::abort();
  } catch (const Exception&) {
  }
  std::remove(path.c_str());
  return 0;
}
