// A second process for the shared-object tests: opens the block and the
// mutex the test made and says what it finds.
//   named_objects_peer <block> <mutex> <text>
// prints "block=<the block's text>" (or "block=none"), then "mutex existed=<0|1>
// <signaled|abandoned|timeout>" for a wait of 100 ms on the mutex, and writes
// <text> into the block; with the text "hold" it ends still owning the mutex.
#include <cstdio>
#include <cstring>
#include <string>

#include "util/routines/shared_memory.h"
#include "util/routines/sync_objects.h"
#include "util/routines/util_errors.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: named_objects_peer <block> <mutex> <text>\n");
    return 2;
  }
  const std::string text = argv[3];
  void* memory = nullptr;
  try {
    GetSharedMemory(memory, argv[1], 0, kFileMapAllAccess);
  } catch (const ESharedMemError&) {
    memory = nullptr;
  }
  std::printf("block=%s\n", memory ? static_cast<const char*>(memory) : "none");
  TUtlMutex mutex(false, argv[2]);
  const TWaitOutcome outcome = mutex.WaitSignal(100);
  std::printf("mutex existed=%d %s\n", mutex.Existed(),
              outcome == woSignaled ? "signaled" : outcome == woAbandoned ? "abandoned" : "timeout");
  if (memory) std::strncpy(static_cast<char*>(memory), text.c_str(), 63);
  std::fflush(stdout);
  if (text == "hold") std::_Exit(0);
  if (outcome != woTimeout) mutex.ReleaseOwnership();
  ReleaseSharedMemory(memory);
  return 0;
}
