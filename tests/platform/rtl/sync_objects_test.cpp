// Re-entrant critical section, manual-reset event and Sleep on both clocks.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/rtl/clock.h"
#include "platform/rtl/sync_objects.h"

namespace {

struct VirtualClock {
  VirtualClock() { SetVirtualClock(true); }
  ~VirtualClock() { SetVirtualClock(false); }
};

TEST(CriticalSection, HolderReentersAndOthersWaitForTheLastLeave) {
  TCriticalSection cs;
  cs.Enter();
  cs.Enter();
  std::atomic<bool> entered{false};
  std::thread other([&] {
    EXPECT_FALSE(cs.TryEnter());
    cs.Enter();
    entered = true;
    cs.Leave();
  });
  cs.Leave();
  // Still held once: the other thread cannot have entered yet.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(entered);
  cs.Leave();
  other.join();
  EXPECT_TRUE(entered);
  EXPECT_FALSE(cs.HeldByCurrentThread());
}

TEST(CriticalSection, LeaveByAThreadNotHoldingItChangesNothing) {
  TCriticalSection cs;
  EXPECT_FALSE(cs.Leave());
  cs.Enter();
  bool left_by_other = true;
  std::thread([&] { left_by_other = cs.Leave(); }).join();
  EXPECT_FALSE(left_by_other);
  EXPECT_TRUE(cs.HeldByCurrentThread());
  EXPECT_TRUE(cs.Leave());
}

TEST(Event, StaysSignalledUntilReset) {
  TEvent event;
  EXPECT_FALSE(event.Signalled());
  event.SetEvent();
  EXPECT_EQ(event.WaitFor(0), wrSignaled);
  EXPECT_EQ(event.WaitFor(0), wrSignaled);
  event.ResetEvent();
  EXPECT_EQ(event.WaitFor(1), wrTimeout);
}

TEST(Event, WaiterWakesWhenAnotherThreadSetsIt) {
  TEvent event;
  std::thread setter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    event.SetEvent();
  });
  EXPECT_EQ(event.WaitFor(10000), wrSignaled);
  setter.join();
}

TEST(Event, UnsetWaitOnTheVirtualClockTimesOutAndMovesTime) {
  VirtualClock clock;
  TEvent event;
  const uint64_t before = GetTickCount64();
  EXPECT_EQ(event.WaitFor(10000), wrTimeout);
  EXPECT_EQ(GetTickCount64() - before, 10000u);
}

TEST(Sleep, AdvancesTheVirtualClockInsteadOfWaiting) {
  VirtualClock clock;
  const uint64_t before = GetTickCount64();
  Sleep(1500);
  Sleep(500);
  EXPECT_EQ(GetTickCount64() - before, 2000u);
}

}  // namespace
