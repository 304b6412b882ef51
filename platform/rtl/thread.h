// TThread: a thread object of the platform's shape. It is created suspended
// and starts running Execute at Resume; Terminate only asks Execute to stop
// (it reads Terminated); WaitFor joins. Synchronize hands a call to the
// message loop's thread (the process's main thread) and waits until a pumping
// call there (ProcessMessages, a dispatched message, or WaitFor on that
// thread) has run it. Priority is kept for callers to read; the scheduler is
// not asked.
//
// Suspending is cooperative: a running worker stops at its next WaitWake and
// goes on when resumed. Timed waits read the runtime clock, so on the virtual
// clock they end when virtual time reaches them. At program end every worker
// still running is terminated, woken and joined (the calls it synchronises
// meanwhile are run).
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <thread>

#include "platform/rtl/objects.h"

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

constexpr uint32_t INFINITE = 0xFFFFFFFF;

class TThread : public TObject {
public:
  enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned };

  TThread() = default;
  // A thread still running is told to terminate, woken and joined; a derived
  // class whose Execute uses its own members must WaitFor in its own destructor.
  ~TThread() override;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // Starts Execute, or lets a suspended worker go on; nothing once it ended.
  void Resume();
  // The worker stops at its next WaitWake until Resume.
  void Suspend();
  // True once the first Resume has started Execute.
  bool Started() const { return started_; }
  // True before the first Resume and while suspended.
  bool Suspended() const { return !started_ || suspended_; }
  void SetSuspended(bool value) { value ? Suspend() : Resume(); }
  // Sets the flag and ends a WaitWake in progress.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Ends the worker's present or next WaitWake (once) with wrSignaled.
  void Wake();
  // True once Execute has returned (or raised) and OnTerminate has run.
  bool Finished() const { return finished_; }
  // Blocks until Execute has returned and joins; ReturnValue, or 0 at once for
  // a thread never resumed. On the message loop's thread, calls that other
  // threads synchronise meanwhile are run while waiting, so neither side blocks.
  uint32_t WaitFor();
  TThreadPriority Priority() const { return priority_; }
  void SetPriority(TThreadPriority value) { priority_ = value; }
  int ReturnValue() const { return return_value_; }
  void SetReturnValue(int value) { return_value_ = value; }
  // The object deletes itself once Execute and OnTerminate are done.
  bool FreeOnTerminate() const { return free_on_terminate_; }
  void SetFreeOnTerminate(bool value);
  // Terminates the thread and lets it delete itself when it ends: at once
  // when it never ran or has ended already, else when its Execute returns.
  void TerminateAndFree();
  // What Execute raised, or null.
  std::exception_ptr FatalException() const { return fatal_exception_; }
  // Runs on the message loop's thread after Execute, with the thread as sender.
  std::function<void(TObject* sender)> OnTerminate;
  // The clock's time of the last Wake or Resume.
  uint64_t LastWakeTime() const { return last_wake_; }

protected:
  virtual void Execute() = 0;
  // Runs method on the message loop's thread and returns when it has run; an
  // exception it raises comes out here. Called on that thread, it runs at once.
  void Synchronize(const std::function<void()>& method);

  // On the worker: waits until Wake (wrSignaled), until the clock reaches
  // deadline (wrTimeout) or until Terminate (wrAbandoned). While suspended it
  // waits for Resume, which ends the wait with wrSignaled.
  TWaitResult WaitWakeUntil(uint64_t deadline);
  TWaitResult WaitWake(uint32_t milliseconds);
  // Called when the thread is terminated (also at program end): a worker that
  // blocks on something of its own (a descriptor) ends that wait here. It
  // must not block; the base's destructor no longer reaches a derived one.
  virtual void Interrupt() {}

private:
  friend void EndLiveThreads();
  void Run();

  std::thread thread_;
  std::atomic<bool> started_{false};
  std::atomic<bool> suspended_{false};
  std::atomic<bool> woken_{false};
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> free_on_terminate_{false};
  std::atomic<TThreadPriority> priority_{tpNormal};
  std::atomic<int> return_value_{0};
  std::atomic<uint64_t> last_wake_{0};
  std::exception_ptr fatal_exception_;
};

// Runs every call other threads have handed over with Synchronize; true when
// there was one. The message loop calls it; only its thread should.
bool CheckSynchronize();
// wParam of the WM_NULL (window 0) that Synchronize posts to wake the loop;
// dispatching it runs the queued calls.
constexpr std::uintptr_t kSynchronizeWParam = 0x53594E43;  // "SYNC"
bool IsMainThread();
// Terminates, wakes and joins every worker still running (program end does it).
void EndLiveThreads();
