// Child processes (see process.h). Each child gets a detached watcher thread
// that collects its output (when kept) and reaps it; waits only look at the
// watcher's result, so a child is reaped even when its owner is long gone.

#include "platform/rtl/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/rtl/files.h"
#include "platform/rtl/message_loop.h"
#include "platform/rtl/os_names.h"
#include "platform/rtl/text.h"

extern char** environ;

namespace detail {

struct ChildState {
  std::mutex mutex;
  std::condition_variable ended;
  pid_t pid = -1;
  bool done = false;
  int exit_code = -1;
  AnsiString output;
  AnsiString error_output;
};

}  // namespace detail

namespace {

using detail::ChildState;

constexpr int kReapPollMs = 100;  // how often a child with open pipes is checked for its end
constexpr size_t kReadChunk = 65536;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

size_t ReadProgramName(const AnsiString& line, size_t i, AnsiString& name) {
  if (line[i] == '"') {
    size_t close = line.find('"', i + 1);
    if (close == AnsiString::npos) close = line.size();
    name = line.substr(i + 1, close - i - 1);
    return close < line.size() ? close + 1 : close;
  }
  size_t end = i;
  while (end < line.size() && !IsBlank(line[end])) ++end;
  name = line.substr(i, end - i);
  return end;
}

size_t ReadArgument(const AnsiString& line, size_t i, AnsiString& arg) {
  bool quoted = false;
  while (i < line.size() && (quoted || !IsBlank(line[i]))) {
    char c = line[i];
    if (c == '\\') {
      size_t count = 0;
      while (i + count < line.size() && line[i + count] == '\\') ++count;
      bool before_quote = i + count < line.size() && line[i + count] == '"';
      arg.append(before_quote ? count / 2 : count, '\\');
      i += count;
      if (before_quote && count % 2 == 1) {
        arg += '"';
        ++i;
      }
    } else if (c == '"') {
      if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
        arg += '"';
        i += 2;
      } else {
        quoted = !quoted;
        ++i;
      }
    } else {
      arg += c;
      ++i;
    }
  }
  return i;
}

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

void Finish(ChildState& state, int exit_code) {
  {
    std::lock_guard lock(state.mutex);
    state.done = true;
    state.exit_code = exit_code;
  }
  state.ended.notify_all();
  WakeMessageLoop();
}

enum class ReadResult { Data, Empty, End };

ReadResult ReadChunk(ChildState& state, int fd, AnsiString ChildState::*target) {
  char buffer[kReadChunk];
  ssize_t got = read(fd, buffer, sizeof buffer);
  if (got < 0 && (errno == EINTR || errno == EAGAIN)) return ReadResult::Empty;
  if (got <= 0) return ReadResult::End;
  std::lock_guard lock(state.mutex);
  (state.*target).append(buffer, static_cast<size_t>(got));
  return ReadResult::Data;
}

void WatchChild(std::shared_ptr<ChildState> state, int out_fd, int err_fd) {
  std::vector<pollfd> fds;
  std::vector<AnsiString ChildState::*> targets;
  if (out_fd >= 0) {
    fds.push_back({out_fd, POLLIN, 0});
    targets.push_back(&ChildState::output);
    fds.push_back({err_fd, POLLIN, 0});
    targets.push_back(&ChildState::error_output);
  }
  int status = 0;
  bool reaped = false;
  while (!fds.empty()) {
    // The child's end is checked on every turn, not only at end of file: a
    // grandchild may hold the pipes open long after the child has ended.
    poll(fds.data(), fds.size(), kReapPollMs);
    if (waitpid(state->pid, &status, WNOHANG) == state->pid) {
      reaped = true;
      break;
    }
    for (size_t i = fds.size(); i-- > 0;) {
      if (!fds[i].revents || ReadChunk(*state, fds[i].fd, targets[i]) != ReadResult::End) continue;
      close(fds[i].fd);
      fds.erase(fds.begin() + static_cast<std::ptrdiff_t>(i));
      targets.erase(targets.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  for (size_t i = 0; i < fds.size(); ++i) {
    fcntl(fds[i].fd, F_SETFL, O_NONBLOCK);
    while (ReadChunk(*state, fds[i].fd, targets[i]) == ReadResult::Data) {
    }
    close(fds[i].fd);
  }
  while (!reaped) {
    pid_t got = waitpid(state->pid, &status, 0);
    if (got == state->pid) break;
    if (got < 0 && errno != EINTR) {
      Finish(*state, -1);
      return;
    }
  }
  Finish(*state, ExitCodeOf(status));
}

bool HasExtension(const AnsiString& name, const char* extension) {
  return SameText(ExtractFileExt(name), extension);
}

// The program to run: beside our own program when it is there, else as given
// (PATH search for a bare name).
AnsiString ResolveProgram(const AnsiString& program) {
  if (program.find(PathDelim) != AnsiString::npos) return program;
  AnsiString beside = ExtractFilePath(ParamStr(0)) + program;
  return FileExists(beside) ? beside : program;
}

// What runs a batch file: nothing in front when it has the execute bit, the
// interpreter of its "#!" line (with that line's one argument), else /bin/sh.
std::vector<std::string> BatchRunner(const std::string& os_name) {
  if (access(os_name.c_str(), X_OK) == 0) return {};
  std::ifstream in(os_name, std::ios::binary);
  std::string line;
  std::getline(in, line);
  if (!line.starts_with("#!")) return {"/bin/sh"};
  constexpr const char* kBlanks = " \t\r";
  const size_t start = line.find_first_not_of(kBlanks, 2);
  if (start == std::string::npos) return {"/bin/sh"};
  const size_t end = line.find_first_of(kBlanks, start);
  std::vector<std::string> runner{line.substr(start, end - start)};
  const size_t argument = end == std::string::npos ? end : line.find_first_not_of(kBlanks, end);
  if (argument != std::string::npos)
    runner.push_back(line.substr(argument, line.find_last_not_of(kBlanks) + 1 - argument));
  return runner;
}

// The child's argv in UTF-8; batch files get their runner in front.
std::vector<std::string> OsArguments(const std::vector<AnsiString>& arguments) {
  std::vector<std::string> os_args;
  AnsiString program = ResolveProgram(arguments[0]);
  if (HasExtension(program, ".bat") || HasExtension(program, ".cmd")) os_args = BatchRunner(detail::ToOsName(program));
  os_args.push_back(detail::ToOsName(program));
  for (size_t i = 1; i < arguments.size(); ++i) os_args.push_back(detail::ToOsName(arguments[i]));
  return os_args;
}

// One output pipe; ends still open are closed with it.
class Pipe {
public:
  ~Pipe() {
    CloseWriteEnd();
    if (fds_[0] >= 0) close(fds_[0]);
  }
  bool Open() { return pipe2(fds_, O_CLOEXEC) == 0; }
  int WriteEnd() const { return fds_[1]; }
  void CloseWriteEnd() {
    if (fds_[1] >= 0) close(fds_[1]);
    fds_[1] = -1;
  }
  // Hands the read end over to a new owner (-1 when the pipe was never opened).
  int TakeReadEnd() { return std::exchange(fds_[0], -1); }

private:
  int fds_[2] = {-1, -1};
};

// Starts the child with stdin from /dev/null and stdout/stderr into the given
// pipes, or /dev/null without them. Returns 0 or the system error.
int Spawn(std::vector<std::string> args, const Pipe* out, const Pipe* err, pid_t& pid) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  const Pipe* targets[] = {out, err};
  for (int fd : {1, 2}) {
    if (const Pipe* pipe = targets[fd - 1]) {
      posix_spawn_file_actions_adddup2(&actions, pipe->WriteEnd(), fd);
    } else {
      posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_WRONLY, 0);
    }
  }
  // The child starts with no blocked signals and the default SIGPIPE action,
  // whatever this process has set for itself.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  sigaddset(&signals, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &signals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  int rc = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  return rc;
}

}  // namespace

std::vector<AnsiString> SplitCommandLine(const AnsiString& command_line) {
  std::vector<AnsiString> args;
  size_t i = 0;
  while (i < command_line.size() && IsBlank(command_line[i])) ++i;
  if (i == command_line.size()) return args;
  AnsiString program;
  i = ReadProgramName(command_line, i, program);
  args.push_back(program);
  for (;;) {
    while (i < command_line.size() && IsBlank(command_line[i])) ++i;
    if (i == command_line.size()) return args;
    AnsiString arg;
    i = ReadArgument(command_line, i, arg);
    args.push_back(arg);
  }
}

TChildProcess::TChildProcess() = default;
TChildProcess::~TChildProcess() = default;

bool TChildProcess::Start(const AnsiString& command_line, TChildOutput output) {
  return Start(SplitCommandLine(command_line), output);
}

bool TChildProcess::Start(const std::vector<AnsiString>& arguments, TChildOutput output) {
  state_.reset();
  start_error_ = 0;
  if (arguments.empty() || arguments[0].empty()) {
    start_error_ = ENOENT;
    return false;
  }
  Pipe out, err;
  bool keep = output == TChildOutput::Keep;
  if (keep && (!out.Open() || !err.Open())) {
    start_error_ = errno;
    return false;
  }
  pid_t pid = -1;
  start_error_ = Spawn(OsArguments(arguments), keep ? &out : nullptr, keep ? &err : nullptr, pid);
  out.CloseWriteEnd();
  err.CloseWriteEnd();
  if (start_error_ != 0) return false;
  state_ = std::make_shared<detail::ChildState>();
  state_->pid = pid;
  std::thread(WatchChild, state_, out.TakeReadEnd(), err.TakeReadEnd()).detach();
  return true;
}

bool TChildProcess::Running() const {
  if (!state_) return false;
  std::lock_guard lock(state_->mutex);
  return !state_->done;
}

void TChildProcess::Terminate() {
  if (!state_) return;
  std::lock_guard lock(state_->mutex);
  if (!state_->done && state_->pid > 0) kill(state_->pid, SIGTERM);
}

void TChildProcess::Wait() {
  if (!state_) return;
  std::unique_lock lock(state_->mutex);
  state_->ended.wait(lock, [this] { return state_->done; });
}

bool TChildProcess::WaitFor(std::uint32_t timeout_ms) {
  if (!state_) return true;
  std::unique_lock lock(state_->mutex);
  return state_->ended.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                                [this] { return state_->done; });
}

void TChildProcess::WaitPumping() {
  while (Running()) {
    // Once the quit message is up nothing more is dispatched; wait plainly.
    if (!ProcessMessages()) return Wait();
    if (Running()) WaitMessage();
  }
}

int TChildProcess::ExitCode() const {
  if (!state_) return -1;
  std::lock_guard lock(state_->mutex);
  return state_->exit_code;
}

AnsiString TChildProcess::Output() const {
  if (!state_) return AnsiString();
  std::lock_guard lock(state_->mutex);
  return state_->output;
}

AnsiString TChildProcess::ErrorOutput() const {
  if (!state_) return AnsiString();
  std::lock_guard lock(state_->mutex);
  return state_->error_output;
}
