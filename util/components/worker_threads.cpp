// The desktop components' worker threads (see worker_threads.h).
#include "util/components/worker_threads.h"

#include "platform/rtl/clock.h"

void TUtlThread::Finish() {
  Terminate();
  finishRequested_ = true;
  if (OnFinish) Synchronize([this] { DoFinish(); });
}

void TUtlThread::DoFinish() {
  if (OnFinish) OnFinish(this);
}

TUtlEventThread::~TUtlEventThread() {
  Terminate();
  WaitFor();  // the worker reads this class's members
}

void TUtlEventThread::SetCallback(TNotifyEvent callback) {
  std::lock_guard lock(callbackMutex_);
  callback_ = std::move(callback);
}

void TUtlEventThread::Execute() {
  if (!Terminated()) EventStep();
}

void TUtlEventThread::EventStep() {
  if (synchronized_)
    Synchronize([this] { DoEvent(); });
  else
    DoEvent();
}

void TUtlEventThread::DoEvent() {
  if (Terminated()) return;
  TNotifyEvent callback;
  {
    std::lock_guard lock(callbackMutex_);
    callback = callback_;
  }
  if (callback) callback(this);
}

TUtlTimerThread::~TUtlTimerThread() {
  SetCallback(nullptr);
  Terminate();  // ends the running wait
  WaitFor();
}

void TUtlTimerThread::Wake() {
  TThread::Wake();
  Resume();
}

void TUtlTimerThread::Execute() {
  uint64_t start = LastWakeTime();
  while (!Terminated()) {
    const uint64_t deadline = start + interval_;
    switch (WaitWakeUntil(deadline)) {
      case wrAbandoned:
        return;
      case wrSignaled:
        start = LastWakeTime();
        break;
      case wrTimeout:
        if (Terminated()) return;
        EventStep();
        // The next period counts from this one's end, unless the event took
        // longer than a period: then from now, so no burst of catch-up runs.
        start = deadline;
        if (GetTickCount64() >= start + interval_) start = GetTickCount64();
        break;
    }
  }
}

void UtlSetThreadInterval(TUtlTimerThread* thread, uint32_t value) {
  if (!thread || value == thread->Interval()) return;
  thread->SetInterval(value);
  if (!thread->Started()) return;  // its first wait will use the new value
  const bool suspended = thread->Suspended();
  thread->Wake();
  if (suspended) thread->Suspend();
}
