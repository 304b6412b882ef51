// The thread component and the thread timer: where events run, starting
// after loading, the timer's interval on the virtual clock, errors reaching
// the message loop's thread, and prompt destruction.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/gui/application.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/text.h"
#include "tests/util/loop_wait.h"
#include "util/components/thread_component.h"

namespace {

VX_DECLARE_EXCEPTION(EFoo, Exception)

TEST(ThreadComponent, EventsRunOnTheWorkerOrSynchronizedOnTheLoopsThread) {
  for (bool synchronized : {false, true}) {
    TOwned<TUtlThreadComponent> c(new TUtlThreadComponent(nullptr));
    std::atomic<int> runs{0};
    std::atomic<bool> onMain{!synchronized};
    c->OnExecute = [&](TObject* sender) {
      EXPECT_EQ(sender, c.get());
      onMain = IsMainThread();
      ++runs;
    };
    EXPECT_TRUE(c->Suspended());
    c->SetSynchronized(synchronized);
    c->SetSuspended(false);
    ASSERT_TRUE(PumpUntil([&] { return runs == 1 && c->Thread()->Finished(); }));
    EXPECT_EQ(onMain, synchronized);
    c->SetSuspended(false);  // the run is over: nothing again
    Settle(20);
    EXPECT_EQ(runs, 1);
    c->Execute();  // a fresh worker runs it again
    ASSERT_TRUE(PumpUntil([&] { return runs == 2; }));
  }
}

TEST(ThreadComponent, TerminateFinishAndReturnValueReachTheLoopsThread) {
  TOwned<TUtlThreadComponent> c(new TUtlThreadComponent(nullptr));
  std::vector<std::string> seen;
  c->OnExecute = [&](TObject*) {
    c->SetReturnValue(42);
    c->Thread()->Finish();  // asks the loop's thread to run OnFinish
  };
  c->SetOnFinish([&](TObject* sender) {
    EXPECT_EQ(sender, c->Thread());
    seen.push_back(IsMainThread() ? "finish on main" : "finish elsewhere");
  });
  c->SetOnTerminate([&](TObject*) { seen.push_back(IsMainThread() ? "terminate on main" : "terminate elsewhere"); });
  c->SetSuspended(false);
  ASSERT_TRUE(PumpUntil([&] { return c->Thread()->Finished(); }));
  EXPECT_EQ(seen, (std::vector<std::string>{"finish on main", "terminate on main"}));
  EXPECT_TRUE(c->Thread()->FinishRequested() && c->Thread()->Terminated());
  EXPECT_EQ(c->ReturnValue(), 42);
  EXPECT_EQ(c->Thread()->WaitFor(), 42u);
}

TEST(ThreadComponent, StoredSettingsStartTheWorkerOnceLoadingIsComplete) {
  TOwned<TUtlThreadComponent> c(new TUtlThreadComponent(nullptr));
  std::atomic<int> runs{0};
  std::atomic<bool> onMain{false};
  c->OnExecute = [&](TObject*) {
    onMain = IsMainThread();
    ++runs;
  };
  c->BeginLoading();
  c->SetSynchronized(true);
  c->SetSuspended(false);
  Settle(20);
  EXPECT_EQ(runs, 0);
  EXPECT_FALSE(c->Suspended());  // the stored value, kept until loaded
  c->EndLoading();
  ASSERT_TRUE(PumpUntil([&] { return runs == 1; }));
  EXPECT_TRUE(onMain);
}

TEST(ThreadComponent, AnUnhandledErrorShowsOneMessageOnTheLoopsThread) {
  TOwned<TUtlThreadComponent> c(new TUtlThreadComponent(nullptr));
  c->SetName("T1");
  c->OnExecute = [](TObject*) { throw EFoo("x"); };
  const AnsiString title = Application->Title();
  Application->SetTitle("Záloha");
  testing::internal::CaptureStderr();
  c->SetSuspended(false);
  const bool ended = PumpUntil([&] { return c->Thread()->Finished(); });
  const std::string shown = testing::internal::GetCapturedStderr();
  Application->SetTitle(title);
  ASSERT_TRUE(ended);
  EXPECT_EQ(shown, AnsiToUtf8("Záloha: Thread T1 raised exception class EFoo with message \"x\".\n"));
  EXPECT_EQ(c->Thread()->FatalException(), nullptr);  // the worker ended normally

  std::vector<std::string> handled;
  c->OnException = [&](TObject* sender, const Exception& e) {
    EXPECT_EQ(sender, c.get());
    EXPECT_TRUE(IsMainThread());
    handled.push_back(std::string(e.ClassName()) + ":" + e.Message());
  };
  c->Execute();
  ASSERT_TRUE(PumpUntil([&] { return handled.size() == 1; }));
  EXPECT_EQ(handled[0], "EFoo:x");
}

TEST(ThreadComponent, ExecuteWhileTheEventRunsLetsThePreviousWorkerFinishAndFreeItself) {
  TOwned<TUtlThreadComponent> c(new TUtlThreadComponent(nullptr));
  std::atomic<bool> release{false};
  std::atomic<int> started{0}, done{0};
  c->OnExecute = [&](TObject*) {
    ++started;
    while (!release) std::this_thread::yield();
    ++done;
  };
  c->Execute();
  ASSERT_TRUE(PumpUntil([&] { return started == 1; }));
  TUtlEventThread* first = c->Thread();
  c->Execute();
  EXPECT_NE(c->Thread(), first);
  ASSERT_TRUE(PumpUntil([&] { return started == 2; }));
  release = true;
  ASSERT_TRUE(PumpUntil([&] { return done == 2; }));
}

struct ThreadTimer : ::testing::Test {
  void SetUp() override { SetVirtualClock(true); }
  void TearDown() override { SetVirtualClock(false); }
  // Moves the clock on and waits until the timer's count reaches expected.
  bool AdvanceTo(uint64_t ms, int expected) {
    AdvanceVirtualClock(ms);
    return PumpUntil([&] { return fired == expected; });
  }
  std::atomic<int> fired{0};
};

TEST_F(ThreadTimer, FiresEachIntervalAndANewIntervalActsAtOnce) {
  TOwned<TUtlThreadTimer> timer(new TUtlThreadTimer(nullptr));
  EXPECT_EQ(timer->Interval(), 1000u);
  EXPECT_FALSE(timer->Enabled());
  timer->OnTimer = [&](TObject* sender) {
    EXPECT_EQ(sender, timer.get());
    ++fired;
  };
  timer->SetEnabled(true);
  ASSERT_TRUE(AdvanceTo(1000, 1));
  ASSERT_TRUE(AdvanceTo(1000, 2));
  AdvanceVirtualClock(500);
  timer->SetInterval(100);  // not after the running wait of 1000
  ASSERT_TRUE(AdvanceTo(100, 3));
  ASSERT_TRUE(AdvanceTo(100, 4));
  timer->SetEnabled(false);
  AdvanceVirtualClock(1000);
  Settle(20);
  EXPECT_EQ(fired, 4);
  timer->SetInterval(200);  // stays disabled
  EXPECT_FALSE(timer->Enabled());
  AdvanceVirtualClock(1000);
  Settle(20);
  EXPECT_EQ(fired, 4);
  timer->SetEnabled(true);
  ASSERT_TRUE(AdvanceTo(200, 5));
}

TEST_F(ThreadTimer, SynchronizedTicksRunOnTheLoopsThreadAndDestroyingAWaitingTimerIsPrompt) {
  auto* timer = new TUtlThreadTimer(nullptr);
  std::atomic<bool> onMain{false};
  timer->SetSynchronized(true);
  timer->OnTimer = [&](TObject*) {
    onMain = IsMainThread();
    ++fired;
  };
  timer->SetInterval(100000);
  timer->SetEnabled(true);
  ASSERT_TRUE(AdvanceTo(100000, 1));
  EXPECT_TRUE(onMain);
  const auto before = std::chrono::steady_clock::now();
  timer->Free();  // its worker is in a long wait
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
}

}  // namespace
