// Components that put a worker thread on a form: the thread component runs
// OnExecute on a worker each time it is started, the thread timer fires
// OnTimer every Interval milliseconds from a worker. At design time they keep
// their settings themselves; at run time the settings live in the worker.
// Errors in the event never escape the worker: they reach OnException, or a
// message box, on the message loop's thread.
#pragma once

#include "util/components/desktop_component.h"
#include "util/components/worker_threads.h"

// The error object as the event's value, with the component as sender.
using TUtlThreadExceptionEvent = std::function<void(TObject* sender, const Exception& error)>;

class TUtlCustomThreadComponent : public TUtlComponent {
public:
  explicit TUtlCustomThreadComponent(TComponent* owner);
  ~TUtlCustomThreadComponent() override;

  // A new worker runs OnExecute; a previous one still running finishes its
  // event and frees itself.
  virtual void Execute();
  virtual void Synchronize(const std::function<void()>& method);
  // Runs method(value) on the message loop's thread; dropped while another
  // such call is pending.
  virtual void SynchronizeWithValue(const void* value, const std::function<void(const void*)>& method);

  TThreadPriority Priority() const;
  void SetPriority(TThreadPriority value);
  int ReturnValue() const;
  void SetReturnValue(int value);
  bool Suspended() const;
  void SetSuspended(bool value);
  bool Synchronized() const;
  void SetSynchronized(bool value);
  const TNotifyEvent& OnTerminate() const { return onTerminate_; }
  void SetOnTerminate(TNotifyEvent value);
  const TNotifyEvent& OnFinish() const { return onFinish_; }
  void SetOnFinish(TNotifyEvent value);

  TUtlEventThread* Thread() const { return worker_; }

  TNotifyEvent OnExecute;
  TUtlThreadExceptionEvent OnException;

protected:
  // For the timer: its own worker class and interval.
  TUtlCustomThreadComponent(TComponent* owner, bool timer);
  void Loaded() override;
  virtual void DoExecute();
  virtual void DoException(const Exception& error);
  virtual TUtlEventThread* CreateThread(bool suspended);
  bool IsTimer() const { return timer_; }

  TUtlEventThread* worker_ = nullptr;
  unsigned designInterval_ = 1000;

private:
  void RecreateThread();
  TUtlEventThread* CallingWorker() const;
  void Connect(TUtlEventThread* worker);

  bool timer_ = false;
  TThreadPriority priority_ = tpNormal;
  int returnValue_ = 0;
  bool suspended_ = true;
  bool synchronized_ = false;
  TNotifyEvent onTerminate_;
  TNotifyEvent onFinish_;
  std::atomic<bool> pending_{false};
  std::function<void(const void*)> pendingMethod_;
  const void* pendingValue_ = nullptr;
};

class TUtlThreadComponent : public TUtlCustomThreadComponent {
public:
  explicit TUtlThreadComponent(TComponent* owner) : TUtlCustomThreadComponent(owner) {}
};

class TUtlCustomThreadTimer : public TUtlCustomThreadComponent {
public:
  explicit TUtlCustomThreadTimer(TComponent* owner) : TUtlCustomThreadComponent(owner, true) {}
  ~TUtlCustomThreadTimer() override;

  unsigned Interval() const;
  void SetInterval(unsigned value);
  // Not suspended: enabling resumes the worker, disabling suspends it.
  bool Enabled() const { return !Suspended(); }
  void SetEnabled(bool value) { SetSuspended(!value); }
  // The same event as OnExecute.
  TNotifyEvent& OnTimer = OnExecute;
};

class TUtlThreadTimer : public TUtlCustomThreadTimer {
public:
  explicit TUtlThreadTimer(TComponent* owner) : TUtlCustomThreadTimer(owner) {}
};

void RegisterThreadComponentProps();
