// Critical section and manual-reset event (see sync_objects.h).

#include "platform/rtl/sync_objects.h"

#include <chrono>

#include "platform/rtl/clock.h"

void TCriticalSection::Enter() {
  std::unique_lock lock(mutex_);
  const auto me = std::this_thread::get_id();
  if (depth_ > 0 && owner_ == me) {
    ++depth_;
    return;
  }
  released_.wait(lock, [this] { return depth_ == 0; });
  owner_ = me;
  depth_ = 1;
}

bool TCriticalSection::TryEnter() {
  std::lock_guard lock(mutex_);
  const auto me = std::this_thread::get_id();
  if (depth_ > 0 && owner_ != me) return false;
  owner_ = me;
  ++depth_;
  return true;
}

bool TCriticalSection::Leave() {
  std::lock_guard lock(mutex_);
  if (depth_ == 0 || owner_ != std::this_thread::get_id()) return false;
  if (--depth_ == 0) {
    owner_ = std::thread::id();
    released_.notify_one();
  }
  return true;
}

bool TCriticalSection::HeldByCurrentThread() const {
  std::lock_guard lock(mutex_);
  return depth_ > 0 && owner_ == std::this_thread::get_id();
}

void TEvent::SetEvent() {
  std::lock_guard lock(mutex_);
  signalled_ = true;
  changed_.notify_all();
}

void TEvent::ResetEvent() {
  std::lock_guard lock(mutex_);
  signalled_ = false;
}

bool TEvent::Signalled() const {
  std::lock_guard lock(mutex_);
  return signalled_;
}

TWaitResult TEvent::WaitFor(uint32_t timeout_ms) {
  std::unique_lock lock(mutex_);
  if (signalled_) return wrSignaled;
  if (VirtualClockActive()) {
    AdvanceVirtualClock(timeout_ms);
    return wrTimeout;
  }
  const bool set = changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms), [this] { return signalled_; });
  return set ? wrSignaled : wrTimeout;
}
