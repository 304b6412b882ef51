#include "platform/rtl/message_loop.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "platform/rtl/clock.h"

namespace {

std::vector<UINT_PTR> fired;

void CountTimer(HWND, UINT message, UINT_PTR id, std::uint32_t) {
  if (message == WM_TIMER) fired.push_back(id);
}

// Every test runs on the virtual clock and leaves the shared queue empty.
class MessageLoop : public ::testing::Test {
protected:
  void SetUp() override {
    SetVirtualClock(true);
    fired.clear();
  }
  void TearDown() override {
    MSG msg;
    while (PeekMessage(msg, 0, 0, 0, PM_REMOVE)) {
    }
    SetMessageDispatcher(nullptr);
    SetVirtualClock(false);
  }
};

}  // namespace

TEST_F(MessageLoop, TimerFiresOncePerIntervalUntilKilled) {
  UINT_PTR id = SetTimer(0, 0, 1000, CountTimer);
  uint64_t start = GetTickCount64();
  ASSERT_TRUE(ProcessMessagesFor(3000));
  EXPECT_EQ(fired, (std::vector<UINT_PTR>{id, id, id}));
  EXPECT_EQ(GetTickCount64() - start, 3000u);  // virtual time only
  EXPECT_EQ(SetTimer(0, id, 2000, CountTimer), id);  // same thread timer, new interval
  ASSERT_TRUE(ProcessMessagesFor(3000));
  EXPECT_EQ(fired.size(), 4u);
  ASSERT_TRUE(KillTimer(0, id));
  ASSERT_TRUE(ProcessMessagesFor(3000));
  EXPECT_EQ(fired.size(), 4u);
  EXPECT_FALSE(KillTimer(0, id));
}

TEST_F(MessageLoop, WindowTimersReachTheDispatchHookWithTheirIds) {
  std::vector<MSG> seen;
  SetMessageDispatcher([&](const MSG& msg) {
    seen.push_back(msg);
    return 0;
  });
  EXPECT_EQ(SetTimer(0x42, 7, 250), 7u);
  EXPECT_EQ(SetTimer(0x42, 8, 400), 8u);
  ASSERT_TRUE(ProcessMessagesFor(800));
  ASSERT_EQ(seen.size(), 5u);  // 7 at 250, 8 at 400, 7 at 500, 7 at 750, 8 at 800
  std::vector<WPARAM> order;
  for (const MSG& msg : seen) {
    EXPECT_EQ(msg.hwnd, 0x42u);
    EXPECT_EQ(msg.message, WM_TIMER);
    order.push_back(msg.wParam);
  }
  EXPECT_EQ(order, (std::vector<WPARAM>{7, 8, 7, 7, 8}));
  KillTimer(0x42, 7);
  KillTimer(0x42, 8);
}

TEST_F(MessageLoop, PostedMessagesComeFirstInOrderThenQuit) {
  SetTimer(0x1, 1, 10);
  AdvanceVirtualClock(50);  // the timer is due, yet posted messages go first
  PostMessage(0x1, WM_USER + 1, 11, -1);
  PostMessage(0x2, WM_USER + 2, 22, -2);
  PostQuitMessage(5);
  MSG msg;
  ASSERT_TRUE(GetMessage(msg, 0, 0, 0));
  EXPECT_EQ(msg.message, WM_USER + 1u);
  EXPECT_EQ(msg.lParam, -1);
  ASSERT_TRUE(GetMessage(msg, 0, 0, 0));
  EXPECT_EQ(msg.hwnd, 0x2u);
  EXPECT_FALSE(GetMessage(msg, 0, 0, 0));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 5u);
  ASSERT_TRUE(GetMessage(msg, 0, 0, 0));
  EXPECT_EQ(msg.message, WM_TIMER);
  KillTimer(0x1, 1);
}

TEST_F(MessageLoop, PeekFiltersByWindowAndRangeAndCanLeaveTheMessage) {
  PostMessage(0x1, WM_USER, 0, 0);
  PostMessage(0x2, WM_USER + 5, 0, 0);
  MSG msg;
  EXPECT_FALSE(PeekMessage(msg, 0x3, 0, 0, PM_REMOVE));
  ASSERT_TRUE(PeekMessage(msg, 0, WM_USER + 1, WM_USER + 9, PM_NOREMOVE));
  EXPECT_EQ(msg.hwnd, 0x2u);
  ASSERT_TRUE(PeekMessage(msg, 0x2, 0, 0, PM_REMOVE));
  ASSERT_TRUE(PeekMessage(msg, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, 0x1u);
  EXPECT_FALSE(PeekMessage(msg, 0, 0, 0, PM_REMOVE));
}

TEST_F(MessageLoop, PostFromAnotherThreadWakesABlockedGetMessage) {
  std::thread poster([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    PostMessage(0x9, WM_USER + 3, 1, 2);
  });
  MSG msg;
  ASSERT_TRUE(GetMessage(msg, 0, 0, 0));
  poster.join();
  EXPECT_EQ(msg.hwnd, 0x9u);
  EXPECT_EQ(msg.message, WM_USER + 3u);
}

TEST_F(MessageLoop, AFilteredGetMessageSleepsThroughMessagesItSkips) {
  SetTimer(0x1, 1, 10);
  AdvanceVirtualClock(50);  // due, but not for the window waited on
  std::thread poster([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    PostMessage(0x5, WM_USER, 0, 0);
  });
  timespec before, after;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &before);
  MSG msg;
  ASSERT_TRUE(GetMessage(msg, 0x5, 0, 0));
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &after);
  poster.join();
  EXPECT_EQ(msg.hwnd, 0x5u);
  double cpu_ms = (after.tv_sec - before.tv_sec) * 1e3 + (after.tv_nsec - before.tv_nsec) / 1e6;
  EXPECT_LT(cpu_ms, 50.0);  // blocked, not spinning
  KillTimer(0x1, 1);
}

TEST_F(MessageLoop, ProcessMessagesStopsAtQuitAndLeavesItForTheMainLoop) {
  int dispatched = 0;
  SetMessageDispatcher([&](const MSG&) { return ++dispatched; });
  PostMessage(0x1, WM_USER, 0, 0);
  PostQuitMessage(0);
  PostMessage(0x1, WM_USER, 0, 0);
  EXPECT_FALSE(ProcessMessages());
  EXPECT_EQ(dispatched, 2);
  MSG msg;
  EXPECT_FALSE(GetMessage(msg, 0, 0, 0));
}

TEST_F(MessageLoop, WatchedDescriptorsRunTheirCallbackOnTheLoop) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  std::string received;
  int watch = AddFdWatch(fds[0], POLLIN, [&](int fd, short) {
    char buffer[16];
    ssize_t got = read(fd, buffer, sizeof buffer);
    received.append(buffer, got > 0 ? static_cast<size_t>(got) : 0);
    PostMessage(0, WM_USER, 0, 0);
  });
  std::thread writer([&] { ASSERT_EQ(write(fds[1], "x11", 3), 3); });
  MSG msg;
  ASSERT_TRUE(GetMessage(msg, 0, 0, 0));  // blocks until the descriptor is readable
  writer.join();
  EXPECT_EQ(received, "x11");
  EXPECT_EQ(msg.message, WM_USER);
  RemoveFdWatch(watch);
  close(fds[0]);
  close(fds[1]);
}
