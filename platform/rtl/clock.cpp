// The process-wide clock (see clock.h).

#include "platform/rtl/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::atomic<bool> virtual_mode{false};
std::atomic<uint64_t> virtual_now{0};
std::atomic<void (*)()> listener{nullptr};

void Tell() {
  if (auto* l = listener.load()) l();
}

uint64_t RealTicks() {
  using namespace std::chrono;
  return static_cast<uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

uint64_t GetTickCount64() { return virtual_mode ? virtual_now.load() : RealTicks(); }

uint32_t GetTickCount() { return static_cast<uint32_t>(GetTickCount64()); }

void SetVirtualClock(bool on) {
  if (on && !virtual_mode) virtual_now = RealTicks();
  virtual_mode = on;
  Tell();
}

bool VirtualClockActive() { return virtual_mode; }

void AdvanceVirtualClock(uint64_t milliseconds) {
  if (!virtual_mode) return;
  virtual_now += milliseconds;
  Tell();
}

void SetClockAdvanceListener(void (*l)()) { listener = l; }

void Sleep(uint32_t milliseconds) {
  if (virtual_mode) {
    AdvanceVirtualClock(milliseconds);
    std::this_thread::yield();  // a thread polling in a loop lets the others run
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
