// Worker threads of the desktop components: a thread with a finish step, one
// that runs a callback once (on the worker, or on the message loop's thread
// when Synchronized), and one that runs it every Interval milliseconds of the
// runtime clock. The folder and registry monitors derive from TUtlThread.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>

#include "platform/gui/graphics_objects.h"
#include "platform/rtl/thread.h"

class TUtlThread : public TThread {
public:
  // Terminates, marks the thread finished and runs OnFinish on the message
  // loop's thread.
  virtual void Finish();
  bool FinishRequested() const { return finishRequested_; }
  // Runs method on the message loop's thread while this worker waits.
  void Sync(const std::function<void()>& method) { Synchronize(method); }

  TNotifyEvent OnFinish;

protected:
  void Execute() override {}
  virtual void DoFinish();

private:
  std::atomic<bool> finishRequested_{false};
};

class TUtlEventThread : public TUtlThread {
public:
  ~TUtlEventThread() override;
  // Called with the thread as sender; may be changed or cleared from any thread.
  void SetCallback(TNotifyEvent callback);
  bool Synchronized() const { return synchronized_; }
  void SetSynchronized(bool value) { synchronized_ = value; }

protected:
  void Execute() override;
  // One run of the callback, on this worker or synchronised.
  void EventStep();
  virtual void DoEvent();

private:
  std::mutex callbackMutex_;
  TNotifyEvent callback_;
  std::atomic<bool> synchronized_{false};
};

class TUtlTimerThread : public TUtlEventThread {
public:
  ~TUtlTimerThread() override;
  uint32_t Interval() const { return interval_; }
  void SetInterval(uint32_t value) { interval_ = value; }
  // Restarts the running wait and resumes the thread.
  virtual void Wake();

protected:
  // Until terminated: wait Interval from the last start; only a wait that ran
  // out runs the callback, a wake restarts the wait.
  void Execute() override;

private:
  std::atomic<uint32_t> interval_{1000};
};

// A new interval that acts at once: the worker's wait restarts with it; a
// suspended worker stays suspended.
void UtlSetThreadInterval(TUtlTimerThread* thread, uint32_t value);
