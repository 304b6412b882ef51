// Child processes. A command line is split into arguments by the platform's
// command-line rules; the child gets /dev/null as standard input, and its
// standard output and error are either discarded or collected by a reader
// thread, so a child never blocks on a full pipe. Every child is reaped, also
// when nobody waits for it. A program ending in ".bat" or ".cmd" runs directly
// when it has the execute bit, through the interpreter of its "#!" line when
// it has one, else through /bin/sh. A program name without "/" is looked for beside our own program
// first, then along PATH.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/strings.h"

// Splits a command line as the platform's C runtime does: blanks and tabs
// separate arguments outside double quotes; 2n backslashes before a quote
// give n backslashes and the quote opens or closes quoting, 2n+1 give n
// backslashes and a literal quote; other backslashes are literal; "" inside
// quotes is a literal quote. The first argument (the program) ends at the
// closing quote or the first blank, without backslash processing.
std::vector<AnsiString> SplitCommandLine(const AnsiString& command_line);

enum class TChildOutput { Discard, Keep };

namespace detail {
struct ChildState;
}

class TChildProcess {
public:
  TChildProcess();
  // A running child goes on running; it is still reaped when it ends.
  ~TChildProcess();
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  // False when the program could not be started (StartError tells why).
  bool Start(const AnsiString& command_line, TChildOutput output = TChildOutput::Discard);
  bool Start(const std::vector<AnsiString>& arguments, TChildOutput output = TChildOutput::Discard);
  int StartError() const { return start_error_; }

  bool Running() const;
  // Waits without a time limit.
  void Wait();
  // True when the child ended within timeout_ms.
  bool WaitFor(std::uint32_t timeout_ms);
  // Waits while dispatching the message loop, so windows and timers stay alive.
  // On the virtual clock the loop does not sleep for timers, so they fire as
  // fast as the loop turns until the child ends.
  void WaitPumping();

  // Asks a running child to end (SIGTERM); Wait then reaps it.
  void Terminate();

  // The exit code of a child that has ended: its exit status, or 128 + the
  // signal number when a signal ended it; -1 while it runs or when never started.
  int ExitCode() const;
  // What the child wrote, when started with TChildOutput::Keep (raw bytes).
  AnsiString Output() const;
  AnsiString ErrorOutput() const;

private:
  std::shared_ptr<detail::ChildState> state_;
  int start_error_ = 0;
};
