// TThread (see thread.h). Synchronised calls wait in one process-wide queue;
// one condition variable tells waiters that a call was queued or run, that a
// thread has finished, and that a worker was woken, resumed, terminated or
// the virtual clock moved, so WaitFor on the main thread can serve calls
// while it waits and workers' waits see every change.

#include "platform/rtl/thread.h"

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <set>

#include "platform/rtl/clock.h"
#include "platform/rtl/message_loop.h"

namespace {

struct PendingCall {
  const std::function<void()>* method;
  std::exception_ptr raised;
  bool done = false;
};

struct SyncQueue {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<PendingCall*> calls;
  std::set<TThread*> live;  // started and not yet finished
};

SyncQueue& Sync() {
  static SyncQueue* queue = new SyncQueue;  // threads may still finish at exit
  return *queue;
}

void Notify() {
  SyncQueue& q = Sync();
  { std::lock_guard lock(q.mutex); }  // a waiter between its check and its wait sees the change
  q.changed.notify_all();
}

// Static initialisation runs on the main thread, before any other can exist.
const std::thread::id main_thread_id = std::this_thread::get_id();

// Waits on the virtual clock end when virtual time moves.
[[maybe_unused]] const bool clock_listener = (SetClockAdvanceListener(&Notify), true);

}  // namespace

bool IsMainThread() { return std::this_thread::get_id() == main_thread_id; }

namespace {
// Waits (holding lock on the queue) until done holds; on the message loop's
// thread, calls other threads synchronise meanwhile are run, so neither side blocks.
template <class Done>
void WaitServingCalls(std::unique_lock<std::mutex>& lock, Done done) {
  SyncQueue& q = Sync();
  const bool serve_calls = IsMainThread();
  while (!done()) {
    if (serve_calls && !q.calls.empty()) {
      lock.unlock();
      CheckSynchronize();
      lock.lock();
      continue;
    }
    q.changed.wait(lock);
  }
}
}  // namespace

bool CheckSynchronize() {
  SyncQueue& q = Sync();
  bool ran = false;
  std::unique_lock lock(q.mutex);
  while (!q.calls.empty()) {
    PendingCall* call = q.calls.front();
    q.calls.pop_front();
    lock.unlock();
    try {
      (*call->method)();
    } catch (...) {
      call->raised = std::current_exception();
    }
    lock.lock();
    call->done = true;
    q.changed.notify_all();
    ran = true;
  }
  return ran;
}

TThread::~TThread() {
  Terminate();
  WaitFor();
}

void TThread::Resume() {
  if (finished_) return;
  last_wake_ = GetTickCount64();
  if (!started_.exchange(true)) {
    static const bool at_exit = (std::atexit(EndLiveThreads), true);
    (void)at_exit;
    SyncQueue& q = Sync();
    std::lock_guard lock(q.mutex);
    suspended_ = false;
    q.live.insert(this);
    thread_ = std::thread([this] { Run(); });
    return;
  }
  // A resume ends the wait as a wake does, also when the worker never came
  // to see its suspension: its wait then restarts from LastWakeTime instead
  // of counting the suspended time as elapsed.
  if (suspended_.exchange(false)) Wake();
}

void TThread::Suspend() {
  if (started_) suspended_ = true;
}

void TThread::Terminate() {
  terminated_ = true;
  Interrupt();
  Notify();
}

void TThread::Wake() {
  last_wake_ = GetTickCount64();
  woken_ = true;
  Notify();
}

void TThread::SetFreeOnTerminate(bool value) { free_on_terminate_ = value; }

void TThread::TerminateAndFree() {
  SyncQueue& q = Sync();
  {
    // Everything is told under the lock: once the flag is out and the lock
    // released, the worker may delete this object at any moment.
    std::lock_guard lock(q.mutex);
    if (started_ && !finished_) {
      terminated_ = true;
      suspended_ = false;
      Interrupt();
      free_on_terminate_ = true;
      q.changed.notify_all();
      return;
    }
  }
  delete this;  // never ran, or has ended: nobody else will
}

void TThread::Run() {
  try {
    Execute();
  } catch (...) {
    fatal_exception_ = std::current_exception();
  }
  if (OnTerminate) {
    try {
      Synchronize([this] { OnTerminate(this); });
    } catch (...) {
      if (!fatal_exception_) fatal_exception_ = std::current_exception();
    }
  }
  SyncQueue& q = Sync();
  bool free_now;
  {
    std::lock_guard lock(q.mutex);
    q.live.erase(this);
    finished_ = true;
    free_now = free_on_terminate_;
    q.changed.notify_all();
  }
  if (free_now) {
    thread_.detach();
    delete this;
  }
}

uint32_t TThread::WaitFor() {
  if (!thread_.joinable()) return uint32_t(return_value_);
  if (thread_.get_id() == std::this_thread::get_id()) return uint32_t(return_value_);  // on its own worker
  SyncQueue& q = Sync();
  std::unique_lock lock(q.mutex);
  WaitServingCalls(lock, [this] { return finished_.load(); });
  lock.unlock();
  thread_.join();
  return uint32_t(return_value_);
}

TThread::TWaitResult TThread::WaitWakeUntil(uint64_t deadline) {
  SyncQueue& q = Sync();
  std::unique_lock lock(q.mutex);
  for (;;) {
    if (terminated_) return wrAbandoned;
    if (suspended_) {
      while (suspended_ && !terminated_) q.changed.wait(lock);
      if (terminated_) return wrAbandoned;
      woken_ = false;
      return wrSignaled;
    }
    if (woken_.exchange(false)) return wrSignaled;
    const uint64_t now = GetTickCount64();
    if (now >= deadline) return wrTimeout;
    if (VirtualClockActive())
      q.changed.wait(lock);  // the clock's listener tells when virtual time moves
    else
      q.changed.wait_for(lock, std::chrono::milliseconds(deadline - now));
  }
}

TThread::TWaitResult TThread::WaitWake(uint32_t milliseconds) {
  const uint64_t deadline = milliseconds == INFINITE ? UINT64_MAX : GetTickCount64() + milliseconds;
  return WaitWakeUntil(deadline);
}

void TThread::Synchronize(const std::function<void()>& method) {
  if (IsMainThread()) {
    method();
    return;
  }
  SyncQueue& q = Sync();
  PendingCall call{&method, nullptr};
  {
    std::lock_guard lock(q.mutex);
    q.calls.push_back(&call);
    q.changed.notify_all();
  }
  PostMessage(0, WM_NULL, kSynchronizeWParam, 0);
  std::unique_lock lock(q.mutex);
  q.changed.wait(lock, [&call] { return call.done; });
  lock.unlock();
  if (call.raised) std::rethrow_exception(call.raised);
}

void EndLiveThreads() {
  SyncQueue& q = Sync();
  std::set<TThread*> joinable;
  std::unique_lock lock(q.mutex);
  for (TThread* t : q.live) {
    t->terminated_ = true;
    t->woken_ = true;
    t->suspended_ = false;
    t->Interrupt();
    if (!t->free_on_terminate_) joinable.insert(t);
  }
  q.changed.notify_all();
  WaitServingCalls(lock, [&q] { return q.live.empty(); });
  lock.unlock();
  // Nobody else runs at program end, so these objects are still there.
  for (TThread* t : joinable)
    if (t->thread_.joinable()) t->thread_.join();
}
