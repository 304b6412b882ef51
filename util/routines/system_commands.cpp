// The system-tool runner: child processes, the ones started without waiting
// kept so that they can be ended.
#include "util/routines/system_commands.h"

#include <memory>

#include "platform/rtl/process.h"

namespace {
TUtlCommandRunner& Runner() {
  static TUtlCommandRunner runner;
  return runner;
}

std::vector<std::unique_ptr<TChildProcess>>& Started() {
  static std::vector<std::unique_ptr<TChildProcess>> started;
  return started;
}
}  // namespace

int UtlRunSystemCommand(const std::vector<AnsiString>& arguments, bool wait) {
  if (Runner()) return Runner()(arguments, wait);
  auto child = std::make_unique<TChildProcess>();
  if (!child->Start(arguments)) return -1;
  if (!wait) {
    std::erase_if(Started(), [](const auto& c) { return !c->Running(); });
    Started().push_back(std::move(child));
    return 0;
  }
  child->Wait();
  return child->ExitCode();
}

void UtlStopSystemCommands() {
  if (Runner()) {
    Runner()({}, false);  // a recorder sees the stop as an empty command
    return;
  }
  for (auto& child : Started())
    if (child->Running()) {
      child->Terminate();
      child->Wait();
    }
  Started().clear();
}

void UtlSetCommandRunner(TUtlCommandRunner runner) { Runner() = std::move(runner); }
