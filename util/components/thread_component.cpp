// The thread component and the thread timer (see thread_component.h).
#include "util/components/thread_component.h"

#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/type_info.h"
#include "platform/rtl/format.h"

namespace {
// The worker whose event is running on this thread: a synchronised call from
// the event goes through it even after Execute has made a newer one current.
thread_local TUtlEventThread* runningWorker = nullptr;
}  // namespace

TUtlCustomThreadComponent::TUtlCustomThreadComponent(TComponent* owner) : TUtlCustomThreadComponent(owner, false) {}

TUtlCustomThreadComponent::TUtlCustomThreadComponent(TComponent* owner, bool timer)
    : TUtlComponent(owner), timer_(timer) {
  if (InState(csDesigning)) return;
  worker_ = CreateThread(suspended_);
  Connect(worker_);
}

TUtlCustomThreadComponent::~TUtlCustomThreadComponent() {
  if (!worker_) return;
  worker_->SetCallback(nullptr);
  worker_->Terminate();
  if (worker_->Suspended()) worker_->Resume();
  delete worker_;  // waits for its end
  worker_ = nullptr;
}

TUtlEventThread* TUtlCustomThreadComponent::CreateThread(bool) {
  if (!timer_) return new TUtlEventThread;
  auto* t = new TUtlTimerThread;
  t->SetInterval(designInterval_);
  return t;
}

void TUtlCustomThreadComponent::Connect(TUtlEventThread* worker) {
  worker->SetCallback([this](TObject* sender) {
    TUtlEventThread* const outer = runningWorker;
    runningWorker = static_cast<TUtlEventThread*>(sender);
    try {
      DoExecute();
    } catch (...) {
      runningWorker = outer;
      throw;
    }
    runningWorker = outer;
  });
}

void TUtlCustomThreadComponent::Execute() {
  if (InState(csDesigning)) return;
  RecreateThread();
  worker_->Resume();
}

void TUtlCustomThreadComponent::RecreateThread() {
  TUtlEventThread* fresh = CreateThread(true);
  try {
    fresh->SetPriority(Priority());
    Connect(fresh);
    fresh->OnTerminate = worker_ ? worker_->OnTerminate : onTerminate_;
    fresh->OnFinish = worker_ ? worker_->OnFinish : onFinish_;
    fresh->SetSynchronized(Synchronized());
  } catch (...) {
    delete fresh;
    throw;
  }
  TUtlEventThread* previous = worker_;
  worker_ = fresh;
  // The event it may still be running is not interrupted.
  if (previous) previous->TerminateAndFree();
}

void TUtlCustomThreadComponent::DoExecute() {
  if (!OnExecute) return;
  try {
    OnExecute(this);
  } catch (const Exception& e) {
    SynchronizeWithValue(&e, [this](const void* error) { DoException(*static_cast<const Exception*>(error)); });
  }
}

void TUtlCustomThreadComponent::DoException(const Exception& error) {
  if (OnException) {
    OnException(this, error);
    return;
  }
  const AnsiString text = Format("Thread %s raised exception class %s with message \"%s\".",
                                 {Name(), AnsiString(error.ClassName()), error.Message()});
  MessageBoxA(Application->Handle(), text.c_str(), Application->Title().c_str(), MB_ICONERROR | MB_SETFOREGROUND);
}

TUtlEventThread* TUtlCustomThreadComponent::CallingWorker() const { return runningWorker ? runningWorker : worker_; }

void TUtlCustomThreadComponent::Synchronize(const std::function<void()>& method) {
  if (!InState(csDesigning) && CallingWorker()) CallingWorker()->Sync(method);
}

void TUtlCustomThreadComponent::SynchronizeWithValue(const void* value,
                                                     const std::function<void(const void*)>& method) {
  TUtlEventThread* const worker = CallingWorker();
  if (InState(csDesigning) || !worker || pending_.exchange(true)) return;
  pendingMethod_ = method;
  pendingValue_ = value;
  struct Clear {
    TUtlCustomThreadComponent* c;
    ~Clear() {
      c->pendingMethod_ = nullptr;
      c->pendingValue_ = nullptr;
      c->pending_ = false;
    }
  } clear{this};
  worker->Sync([this] { pendingMethod_(pendingValue_); });
}

void TUtlCustomThreadComponent::Loaded() {
  TUtlComponent::Loaded();
  if (InState(csDesigning) || !worker_) return;
  worker_->SetSynchronized(synchronized_);
  worker_->SetSuspended(suspended_);
}

// --- settings: the component's copies at design time and while loading, else the worker's

TThreadPriority TUtlCustomThreadComponent::Priority() const { return worker_ ? worker_->Priority() : priority_; }

void TUtlCustomThreadComponent::SetPriority(TThreadPriority value) {
  if (worker_)
    worker_->SetPriority(value);
  else
    priority_ = value;
}

int TUtlCustomThreadComponent::ReturnValue() const { return worker_ ? worker_->ReturnValue() : returnValue_; }

void TUtlCustomThreadComponent::SetReturnValue(int value) {
  if (worker_)
    worker_->SetReturnValue(value);
  else
    returnValue_ = value;
}

bool TUtlCustomThreadComponent::Suspended() const {
  return !worker_ || InState(csLoading) ? suspended_ : worker_->Suspended();
}

void TUtlCustomThreadComponent::SetSuspended(bool value) {
  if (!worker_ || InState(csLoading)) {
    suspended_ = value;
    return;
  }
  worker_->SetSuspended(value);
}

bool TUtlCustomThreadComponent::Synchronized() const {
  return !worker_ || InState(csLoading) ? synchronized_ : worker_->Synchronized();
}

void TUtlCustomThreadComponent::SetSynchronized(bool value) {
  if (!worker_ || InState(csLoading)) {
    synchronized_ = value;
    return;
  }
  worker_->SetSynchronized(value);
}

void TUtlCustomThreadComponent::SetOnTerminate(TNotifyEvent value) {
  if (worker_)
    worker_->OnTerminate = std::move(value);
  else
    onTerminate_ = std::move(value);
}

void TUtlCustomThreadComponent::SetOnFinish(TNotifyEvent value) {
  if (worker_)
    worker_->OnFinish = std::move(value);
  else
    onFinish_ = std::move(value);
}

// --- the timer

TUtlCustomThreadTimer::~TUtlCustomThreadTimer() { SetEnabled(false); }

unsigned TUtlCustomThreadTimer::Interval() const {
  auto* t = dynamic_cast<TUtlTimerThread*>(worker_);
  return t ? t->Interval() : designInterval_;
}

void TUtlCustomThreadTimer::SetInterval(unsigned value) {
  if (auto* t = dynamic_cast<TUtlTimerThread*>(worker_))
    UtlSetThreadInterval(t, value);
  else
    designInterval_ = value;
}

void RegisterThreadComponentProps() {
  const std::vector<AnsiString> priorities = {"tpIdle",   "tpLowest",  "tpLower",       "tpNormal",
                                              "tpHigher", "tpHighest", "tpTimeCritical"};
  using C = TUtlThreadComponent;
  RegisterProps<C>("TUtlThreadComponent",
                   {EnumProp("Priority", priorities, &C::Priority, &C::SetPriority),
                    IntProp("ReturnValue", &C::ReturnValue, &C::SetReturnValue),
                    BoolProp("Suspended", &C::Suspended, &C::SetSuspended),
                    BoolProp("Synchronized", &C::Synchronized, &C::SetSynchronized)});
  using T = TUtlThreadTimer;
  RegisterProps<T>("TUtlThreadTimer",
                   {IntProp("Interval", &T::Interval, &T::SetInterval),
                    EnumProp("Priority", priorities, &T::Priority, &T::SetPriority),
                    BoolProp("Synchronized", &T::Synchronized, &T::SetSynchronized),
                    BoolProp("Enabled", &T::Enabled, &T::SetEnabled)});
}
