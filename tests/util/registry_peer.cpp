// A second process for the registry monitor's tests: changes the file-backed
// registry of $XDG_CONFIG_HOME as another program would.
//   registry_peer set <key> <name> <value>   writes a text value (the key is created)
//   registry_peer delete <key>               removes the key with everything below it
#include <cstdio>
#include <string>

#include "platform/rtl/text.h"
#include "util/routines/registry_file_store.h"
#include "util/routines/registry_writing.h"

int main(int argc, char** argv) {
  const std::string verb = argc > 1 ? argv[1] : "";
  try {
    if (verb == "set" && argc == 5) {
      UtlWriteRegistryText(rkCurrentUser, Utf8ToAnsi(argv[2]), Utf8ToAnsi(argv[3]), Utf8ToAnsi(argv[4]));
      return 0;
    }
    if (verb == "delete" && argc == 3) return FileRegistryStore().DeleteKey(rkCurrentUser, Utf8ToWide(argv[2])) ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "registry_peer: %s\n", e.what());
    return 1;
  }
  std::fprintf(stderr, "usage: registry_peer set <key> <name> <value> | delete <key>\n");
  return 2;
}
