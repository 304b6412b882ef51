// TThread: a thread object of the platform's shape. It is created suspended
// and starts running Execute at Resume; Terminate only asks Execute to stop
// (it reads Terminated); WaitFor joins. Synchronize hands a call to the
// message loop's thread (the process's main thread) and waits until a pumping
// call there (ProcessMessages, a dispatched message, or WaitFor on that
// thread) has run it. Priority is kept for callers to read; the scheduler is
// not asked.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <thread>

#include "platform/rtl/objects.h"

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThread : public TObject {
public:
  TThread() = default;
  // A thread still running is told to terminate and joined; a derived class
  // whose Execute uses its own members must WaitFor in its own destructor.
  ~TThread() override;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Starts Execute; a second call changes nothing.
  void Resume();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  // True once Execute has returned (or raised).
  bool Finished() const { return finished_; }
  // Blocks until Execute has returned and joins; 0 at once for a thread never
  // resumed. On the message loop's thread, calls that other threads
  // synchronise meanwhile are run while waiting, so neither side blocks.
  uint32_t WaitFor();
  TThreadPriority Priority() const { return priority_; }
  void SetPriority(TThreadPriority value) { priority_ = value; }
  // What Execute raised, or null.
  std::exception_ptr FatalException() const { return fatal_exception_; }

protected:
  virtual void Execute() = 0;
  // Runs method on the message loop's thread and returns when it has run; an
  // exception it raises comes out here. Called on that thread, it runs at once.
  void Synchronize(const std::function<void()>& method);

private:
  void Run();

  std::thread thread_;
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::atomic<TThreadPriority> priority_{tpNormal};
  std::exception_ptr fatal_exception_;
};

// Runs every call other threads have handed over with Synchronize; true when
// there was one. The message loop calls it; only its thread should.
bool CheckSynchronize();
// wParam of the WM_NULL (window 0) that Synchronize posts to wake the loop;
// dispatching it runs the queued calls.
constexpr std::uintptr_t kSynchronizeWParam = 0x53594E43;  // "SYNC"
bool IsMainThread();
