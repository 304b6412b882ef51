// Locks and events that threads of one process share: a re-entrant critical
// section (one thread may enter it again while it holds it) and a
// manual-reset event that stays signalled until it is reset. The CD writing
// library's device lock and its command-completion wait are built on them.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "platform/rtl/objects.h"

class TCriticalSection : public TObject {
public:
  TCriticalSection() = default;
  TCriticalSection(const TCriticalSection&) = delete;
  TCriticalSection& operator=(const TCriticalSection&) = delete;

  // Blocks until the calling thread holds the section; a holder enters again.
  void Enter();
  bool TryEnter();
  // Leaves one level; a thread that does not hold the section changes nothing
  // and gets false.
  bool Leave();
  void Acquire() { Enter(); }
  void Release() { Leave(); }
  bool HeldByCurrentThread() const;

private:
  mutable std::mutex mutex_;
  std::condition_variable released_;
  std::thread::id owner_;
  int depth_ = 0;
};

enum TWaitResult { wrSignaled, wrTimeout };

// A manual-reset event: once set it releases every waiter until reset.
class TEvent : public TObject {
public:
  explicit TEvent(bool initial_state = false) : signalled_(initial_state) {}
  TEvent(const TEvent&) = delete;
  TEvent& operator=(const TEvent&) = delete;

  void SetEvent();
  void ResetEvent();
  bool Signalled() const;
  // Waits until the event is set or timeout_ms have passed. On the virtual
  // clock nothing can advance time during the wait, so an unset event moves
  // the clock by the whole time-out and reports wrTimeout at once.
  TWaitResult WaitFor(uint32_t timeout_ms);

private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool signalled_;
};
