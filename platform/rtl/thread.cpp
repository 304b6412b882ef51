// TThread (see thread.h). Synchronised calls wait in one process-wide queue;
// one condition variable tells waiters both that a call was queued or run and
// that a thread has finished, so WaitFor on the main thread can serve calls
// while it waits.

#include "platform/rtl/thread.h"

#include <condition_variable>
#include <deque>
#include <mutex>

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
};

SyncQueue& Sync() {
  static SyncQueue* queue = new SyncQueue;  // threads may still finish at exit
  return *queue;
}

// Static initialisation runs on the main thread, before any other can exist.
const std::thread::id main_thread_id = std::this_thread::get_id();

}  // namespace

bool IsMainThread() { return std::this_thread::get_id() == main_thread_id; }

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
  if (thread_.joinable() || finished_) return;
  thread_ = std::thread([this] { Run(); });
}

void TThread::Run() {
  try {
    Execute();
  } catch (...) {
    fatal_exception_ = std::current_exception();
  }
  SyncQueue& q = Sync();
  std::lock_guard lock(q.mutex);
  finished_ = true;
  q.changed.notify_all();
}

uint32_t TThread::WaitFor() {
  if (!thread_.joinable()) return 0;
  SyncQueue& q = Sync();
  const bool serve_calls = IsMainThread();
  std::unique_lock lock(q.mutex);
  for (;;) {
    if (finished_) break;
    if (serve_calls && !q.calls.empty()) {
      lock.unlock();
      CheckSynchronize();
      lock.lock();
      continue;
    }
    q.changed.wait(lock);
  }
  lock.unlock();
  thread_.join();
  return 0;
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
