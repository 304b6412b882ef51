// TThread: created suspended, run by Resume, stopped by asking, joined by
// WaitFor; Synchronize runs calls on the main thread while it pumps or waits.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>

#include "platform/rtl/message_loop.h"
#include "platform/rtl/thread.h"

namespace {

class FunctionThread : public TThread {
public:
  explicit FunctionThread(std::function<void(FunctionThread&)> body) : body_(std::move(body)) {}
  ~FunctionThread() override { WaitFor(); }
  using TThread::Synchronize;

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

}  // namespace
