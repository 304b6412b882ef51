// TThread: created suspended, run by Resume, stopped by asking, joined by
// WaitFor; Synchronize runs calls on the main thread while it pumps or waits;
// cooperative suspension, waits on the virtual clock, freeing on termination
// and the end of live workers at program end.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>

#include "platform/rtl/clock.h"
#include "platform/rtl/message_loop.h"
#include "platform/rtl/thread.h"

namespace {

class FunctionThread : public TThread {
public:
  explicit FunctionThread(std::function<void(FunctionThread&)> body) : body_(std::move(body)) {}
  // Joined before the body goes; a test that stops early must not leave its
  // worker waiting for ever.
  ~FunctionThread() override {
    Terminate();
    WaitFor();
  }
  using TThread::Synchronize;
  using TThread::WaitWake;
  using TThread::WaitWakeUntil;

protected:
  void Execute() override { body_(*this); }

private:
  std::function<void(FunctionThread&)> body_;
};

TEST(ThreadTest, RunsOnlyAfterResumeAndJoins) {
  std::atomic<int> runs{0};
  FunctionThread t([&](FunctionThread&) { ++runs; });
  EXPECT_EQ(t.WaitFor(), 0u);  // never resumed: nothing to wait for
  EXPECT_EQ(runs, 0);
  t.Resume();
  t.Resume();
  t.WaitFor();
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(t.Finished());
  EXPECT_EQ(t.Priority(), tpNormal);
  t.SetPriority(tpTimeCritical);
  EXPECT_EQ(t.Priority(), tpTimeCritical);
}

TEST(ThreadTest, TerminateIsAskedForAndTheDestructorJoins) {
  std::atomic<bool> started{false};
  {
    FunctionThread t([&](FunctionThread& self) {
      started = true;
      while (!self.Terminated()) std::this_thread::yield();
    });
    t.Resume();
    while (!started) std::this_thread::yield();
    t.Terminate();
  }
  SUCCEED();
}

TEST(ThreadTest, SynchronizeRunsOnTheMainThreadWhileItPumps) {
  bool on_main = false, ran = false;
  FunctionThread t([&](FunctionThread& self) {
    self.Synchronize([&] {
      on_main = IsMainThread();
      ran = true;
    });
  });
  t.Resume();
  while (!ran) {
    WaitMessage();
    ProcessMessages();
  }
  t.WaitFor();
  EXPECT_TRUE(on_main);
}

TEST(ThreadTest, WaitForOnTheMainThreadServesSynchronizedCalls) {
  int calls = 0;
  FunctionThread t([&](FunctionThread& self) {
    for (int i = 0; i < 3; ++i) self.Synchronize([&] { ++calls; });
  });
  t.Resume();
  t.WaitFor();
  EXPECT_EQ(calls, 3);
  ProcessMessages();  // the wake-up messages left behind do nothing
  EXPECT_EQ(calls, 3);
}

TEST(ThreadTest, ExceptionsReachTheirCaller) {
  std::atomic<bool> caught{false};
  FunctionThread sync([&](FunctionThread& self) {
    try {
      self.Synchronize([] { throw std::runtime_error("on main"); });
    } catch (const std::runtime_error&) {
      caught = true;
    }
    throw std::logic_error("in Execute");
  });
  sync.Resume();
  sync.WaitFor();
  EXPECT_TRUE(caught);
  ASSERT_TRUE(sync.FatalException());
  EXPECT_THROW(std::rethrow_exception(sync.FatalException()), std::logic_error);
}

// Pumps until pred holds; false after five seconds of real time.
bool PumpUntil(const std::function<bool()>& pred) {
  for (int i = 0; i < 5000; ++i) {
    ProcessMessages();
    if (pred()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

struct VirtualClock : ::testing::Test {
  void SetUp() override { SetVirtualClock(true); }
  void TearDown() override { SetVirtualClock(false); }
};

// Ticks every 100 ms of the clock, counted from the last wake or resume.
void Ticker(FunctionThread& self, std::atomic<int>& ticks) {
  uint64_t base = self.LastWakeTime();
  for (;;) {
    switch (self.WaitWakeUntil(base + 100)) {
      case TThread::wrAbandoned: return;
      case TThread::wrTimeout: ++ticks, base += 100; break;
      case TThread::wrSignaled: base = self.LastWakeTime(); break;
    }
  }
}

TEST_F(VirtualClock, TimedWaitsFollowTheClockAndSuspendingStopsTheWorkerAtItsWait) {
  std::atomic<int> ticks{0};
  FunctionThread t([&](FunctionThread& self) { Ticker(self, ticks); });
  EXPECT_TRUE(t.Suspended());
  t.Resume();
  EXPECT_FALSE(t.Suspended());
  AdvanceVirtualClock(99);
  AdvanceVirtualClock(1);
  ASSERT_TRUE(PumpUntil([&] { return ticks == 1; }));
  t.Suspend();
  EXPECT_TRUE(t.Suspended());
  AdvanceVirtualClock(1000);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // room for a wrong tick to show
  EXPECT_EQ(ticks, 1);
  t.Resume();  // the wait starts anew from here
  AdvanceVirtualClock(100);
  ASSERT_TRUE(PumpUntil([&] { return ticks == 2; }));
  t.Wake();
  AdvanceVirtualClock(50);
  t.Wake();  // each wake restarts the wait
  AdvanceVirtualClock(99);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_EQ(ticks, 2);
  AdvanceVirtualClock(1);
  ASSERT_TRUE(PumpUntil([&] { return ticks == 3; }));
  t.Terminate();  // ends the wait at once
  t.WaitFor();
}

TEST(ThreadTest, ReturnValueOnTerminateAndFreeOnTerminate) {
  std::atomic<bool> freed{false};
  struct Freed : FunctionThread {
    Freed(std::function<void(FunctionThread&)> body, std::atomic<bool>& f) : FunctionThread(std::move(body)), flag(f) {}
    ~Freed() override { flag = true; }
    std::atomic<bool>& flag;
  };
  std::vector<bool> onMain;
  auto* t = new Freed([](FunctionThread& self) { self.SetReturnValue(7); }, freed);
  t->OnTerminate = [&](TObject* sender) {
    EXPECT_EQ(sender, t);
    EXPECT_EQ(static_cast<TThread*>(t)->ReturnValue(), 7);
    onMain.push_back(IsMainThread());
  };
  t->SetFreeOnTerminate(true);
  t->Resume();
  ASSERT_TRUE(PumpUntil([&] { return freed.load(); }));
  EXPECT_EQ(onMain, std::vector<bool>{true});

  FunctionThread kept([](FunctionThread& self) { self.SetReturnValue(-2); });
  kept.Resume();
  EXPECT_EQ(kept.WaitFor(), uint32_t(-2));

  // Handing over a thread that never ran, or one that ended, frees it at once.
  std::atomic<bool> freedIdle{false}, freedEnded{false};
  (new Freed([](FunctionThread&) {}, freedIdle))->TerminateAndFree();
  EXPECT_TRUE(freedIdle);
  auto* ended = new Freed([](FunctionThread&) {}, freedEnded);
  ended->Resume();
  ASSERT_TRUE(PumpUntil([&] { return ended->Finished(); }));
  ended->TerminateAndFree();
  EXPECT_TRUE(freedEnded);
}

TEST(ThreadTest, AtProgramEndLiveWorkersAreTerminatedWokenAndJoined) {
  std::atomic<int> ended{0};
  FunctionThread waiting([&](FunctionThread& self) {
    self.WaitWake(INFINITE);
    ++ended;
  });
  FunctionThread suspended([&](FunctionThread& self) {
    while (self.WaitWake(INFINITE) != TThread::wrAbandoned) {
    }
    self.Synchronize([] {});  // served while the end waits
    ++ended;
  });
  waiting.Resume();
  suspended.Resume();
  suspended.Suspend();
  EndLiveThreads();
  EXPECT_EQ(ended, 2);
  EXPECT_TRUE(waiting.Finished() && suspended.Finished());
}

}  // namespace
