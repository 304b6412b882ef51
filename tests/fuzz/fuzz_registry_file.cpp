// Fuzzes the registry store's files: arbitrary bytes in a root's file must
// read without a crash, and a value written into such a store must read back.
// The store lives in a scratch configuration folder of this process.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/rtl/text.h"
#include "util/routines/registry_file_store.h"

namespace {

constexpr int kDepth = 4;

void Walk(const TFileRegistryStore& store, const WideString& key, int depth) {
  TRegistryValue value;
  for (const WideString& name : store.ValueNames(rkCurrentUser, key)) store.QueryValue(rkCurrentUser, key, name, value);
  if (depth == kDepth) return;
  for (const WideString& sub : store.SubKeyNames(rkCurrentUser, key))
    Walk(store, key.empty() ? sub : key + u"\\" + sub, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool scratch = [] {
    const std::string folder = "/tmp/fuzz_registry_" + std::to_string(getpid());
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    return std::system(("mkdir -p '" + folder + "/vorbex05/registry'").c_str()) == 0;
  }();
  if (!scratch) return 0;
  const std::string file = AnsiToUtf8(TFileRegistryStore::FileOf(rkCurrentUser));
  FILE* f = std::fopen(file.c_str(), "wb");
  if (!f) return 0;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  TFileRegistryStore store;
  Walk(store, u"", 0);
  const TRegistryValue written{kRegBinary, std::string("v\0x", 3)};
  if (store.WriteValue(rkCurrentUser, u"Fuzz", u"Key", written)) {
    TRegistryValue back;
    if (!store.QueryValue(rkCurrentUser, u"Fuzz", u"Key", back) || back.Data != written.Data) std::abort();
  }
  return 0;
}
