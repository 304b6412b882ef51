// The window layer on the headless backend: message order, subclassing, the
// default non-client area, tracking limits, timers on virtual time, wake-ups
// from other threads, scripted mouse and keyboard input, painting and the tray.

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "platform/gui/colors.h"
#include "platform/gui/gdi_objects.h"
#include "platform/gui/headless_backend.h"
#include "platform/rtl/clock.h"
#include "tests/platform/gui/window_test_support.h"

namespace {

constexpr DWORD kVisibleFrame = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

TEST(Messages, SentRunAtOncePostedWaitForTheLoopInOrder) {
  RecordingWindows rec;
  HWND h = rec.Create(WS_POPUP, {0, 0, 50, 50});
  PostMessage(h, WM_USER + 1, 0, 0);
  PostMessage(h, WM_USER + 2, 0, 0);
  SendMessageA(h, WM_USER + 3, 0, 0);
  EXPECT_EQ(rec.MessagesOf(h, WM_USER, WM_USER + 10), (std::vector<UINT>{WM_USER + 3}));
  PumpAll();
  EXPECT_EQ(rec.MessagesOf(h, WM_USER, WM_USER + 10), (std::vector<UINT>{WM_USER + 3, WM_USER + 1, WM_USER + 2}));
}

std::vector<std::string> g_chain;
WNDPROC g_prevA = nullptr, g_prevB = nullptr;

LRESULT SubclassA(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER || m == WM_DESTROY) g_chain.push_back("A");
  return CallWindowProcA(g_prevA, h, m, w, l);
}
LRESULT SubclassB(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER || m == WM_DESTROY) g_chain.push_back("B");
  return CallWindowProcA(g_prevB, h, m, w, l);
}

TEST(Subclassing, NewestProcedureFirstAndDestroyReachesTheOriginal) {
  RecordingWindows rec;
  HWND h = rec.Create(WS_POPUP, {0, 0, 50, 50});
  g_chain.clear();
  g_prevA = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassA)));
  g_prevB = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(h, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassB)));
  EXPECT_EQ(GetWindowLongPtrA(h, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(SubclassB));
  SendMessageA(h, WM_USER, 0, 0);
  EXPECT_EQ(g_chain, (std::vector<std::string>{"B", "A"}));
  EXPECT_EQ(rec.MessagesOf(h, WM_USER, WM_USER).size(), 1u);
  g_chain.clear();
  rec.Clear();
  DestroyWindow(h);
  EXPECT_EQ(g_chain, (std::vector<std::string>{"B", "A"}));
  EXPECT_EQ(rec.MessagesOf(h, WM_DESTROY, WM_DESTROY).size(), 1u);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(SendMessageA(h, WM_USER, 0, 0), 0);
}

TEST(NonClient, DefaultClientAreaIsTheWindowLessFrameAndCaption) {
  const int caption = GetSystemMetrics(SM_CYCAPTION);
  struct Case {
    DWORD style;
    DWORD exStyle;
    TRect client;  // window coordinates of the client area in a 200 x 100 window
  } cases[] = {
      {WS_OVERLAPPEDWINDOW, 0, {4, 4 + caption, 196, 96}},
      {WS_POPUP | WS_THICKFRAME, 0, {4, 4, 196, 96}},
      {WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, {3, 3 + caption, 197, 97}},
      {WS_POPUP, WS_EX_DLGMODALFRAME, {3, 3, 197, 97}},
      {WS_POPUP | WS_BORDER, 0, {1, 1, 199, 99}},
      {WS_POPUP, 0, {0, 0, 200, 100}},
  };
  RecordingWindows rec;
  for (const Case& c : cases) {
    HWND h = rec.Create(c.style, {10, 20, 210, 120}, 0, "RecWnd", c.exStyle);
    RECT client;
    GetClientRect(h, &client);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    EXPECT_EQ(TRect(Bounds(origin.X - 10, origin.Y - 20, client.Width(), client.Height())), c.client)
        << std::hex << c.style;
    // Clearing the caption bits takes effect with a frame change.
    SetWindowLongPtrA(h, GWL_STYLE, GetWindowLongPtrA(h, GWL_STYLE) & ~LONG_PTR(WS_CAPTION));
    SetWindowPos(h, 0, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    GetClientRect(h, &client);
    EXPECT_EQ(client.Height(), 100 - 2 * (c.style & WS_THICKFRAME ? 4 : (c.exStyle ? 3 : 0)));
  }
}

TEST(NonClient, DefaultHitTestGivesFrameCaptionAndClientCodes) {
  RecordingWindows rec;
  HWND sizeable = rec.Create(kVisibleFrame, Bounds(100, 100, 300, 200));
  HWND dialog = rec.Create(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, Bounds(500, 100, 200, 100));
  struct Case {
    HWND hwnd;
    int x, y;
    LRESULT hit;
  } cases[] = {
      {sizeable, 101, 101, HTTOPLEFT},     {sizeable, 250, 101, HTTOP},       {sizeable, 398, 101, HTTOPRIGHT},
      {sizeable, 101, 200, HTLEFT},        {sizeable, 398, 200, HTRIGHT},     {sizeable, 101, 298, HTBOTTOMLEFT},
      {sizeable, 250, 298, HTBOTTOM},      {sizeable, 398, 298, HTBOTTOMRIGHT}, {sizeable, 200, 110, HTCAPTION},
      {sizeable, 385, 110, HTCLOSE},       {sizeable, 250, 200, HTCLIENT},    {sizeable, 50, 50, HTNOWHERE},
      {dialog, 501, 150, HTBORDER},        {dialog, 600, 110, HTCAPTION},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SendMessageA(c.hwnd, WM_NCHITTEST, 0, MAKELPARAM(c.x, c.y)), c.hit) << c.x << "," << c.y;
}

std::optional<LRESULT> MinTrack610x480(HWND, UINT m, WPARAM, LPARAM l) {
  if (m != WM_GETMINMAXINFO) return std::nullopt;
  reinterpret_cast<MINMAXINFO*>(l)->ptMinTrackSize = {610, 480};
  return 0;
}

TEST(Sizing, MinimumTrackingSizeHoldsForEveryResize) {
  RecordingWindows rec;
  rec.handler = MinTrack610x480;
  HWND h = rec.Create(kVisibleFrame, {0, 0, 700, 500});
  SetWindowPos(h, 0, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
  RECT r;
  GetWindowRect(h, &r);
  EXPECT_EQ(r, TRect(Bounds(0, 0, 610, 480)));
  // The size loop keeps to it as well, with the dragged edge giving way.
  HeadlessMouseDown(2, 2);  // top-left corner
  HeadlessMouseMove(300, 300);
  HeadlessMouseUp(300, 300);
  PumpAll();
  GetWindowRect(h, &r);
  EXPECT_EQ(r, TRect(Bounds(0, 0, 610, 480)));
}

TEST(Sizing, DraggingTheFrameSizesUnlessHitTestingSaysNowhere) {
  struct Case {
    bool refuseHits;
    TRect expected;
  } cases[] = {{false, Bounds(100, 100, 450, 350)}, {true, Bounds(100, 100, 400, 300)}};
  for (const Case& c : cases) {
    RecordingWindows rec;
    if (c.refuseHits)
      rec.handler = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_NCHITTEST) return HTNOWHERE;
        return std::nullopt;
      };
    HWND h = rec.Create(kVisibleFrame, Bounds(100, 100, 400, 300));
    HeadlessMouseDown(498, 398);  // bottom-right corner
    HeadlessMouseMove(548, 448);
    HeadlessMouseUp(548, 448);
    PumpAll();
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(r, c.expected) << c.refuseHits;
    // Dragging the caption moves the window without sizing it.
    HeadlessMouseDown(200, 108);
    HeadlessMouseMove(230, 118);
    HeadlessMouseUp(230, 118);
    PumpAll();
    GetWindowRect(h, &r);
    EXPECT_EQ(r.Width(), c.expected.Width());
    EXPECT_EQ(r.Left, c.refuseHits ? 100 : 130);
  }
}

TEST(Timers, OneSecondTimerFiresThreeTimesInThreeVirtualSeconds) {
  SetVirtualClock(true);
  RecordingWindows rec;
  HWND h = rec.Create(WS_POPUP, {0, 0, 10, 10});
  SetTimer(h, 7, 1000);
  ProcessMessagesFor(3000);
  KillTimer(h, 7);
  SetVirtualClock(false);
  const auto ticks = rec.Of(h, WM_TIMER, WM_TIMER);
  ASSERT_EQ(ticks.size(), 3u);
  EXPECT_EQ(ticks[0].wParam, 7u);
}

TEST(Timers, TimerOfADestroyedWindowStops) {
  SetVirtualClock(true);
  RecordingWindows rec;
  HWND h = rec.Create(WS_POPUP, {0, 0, 10, 10});
  SetTimer(h, 8, 100);
  DestroyWindow(h);
  ProcessMessagesFor(300);
  EXPECT_FALSE(KillTimer(h, 8));  // already gone
  SetVirtualClock(false);
}

TEST(Messages, PostFromAnotherThreadWakesTheLoop) {
  RecordingWindows rec;
  HWND h = rec.Create(WS_POPUP, {0, 0, 10, 10});
  PumpAll();
  std::thread worker([h] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    PostMessage(h, WM_USER + 9, 42, 0);
  });
  MSG msg;
  ASSERT_TRUE(GetMessage(msg, h, WM_USER + 9, WM_USER + 9));
  worker.join();
  EXPECT_EQ(msg.wParam, 42u);
}

TEST(Messages, SentFromAnotherThreadRunsOnTheLoopThread) {
  RecordingWindows rec;
  std::thread::id ranOn;
  rec.handler = [&](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_USER + 4) return std::nullopt;
    ranOn = std::this_thread::get_id();
    return LRESULT(w * 2);
  };
  HWND h = rec.Create(WS_POPUP, {0, 0, 10, 10});
  LRESULT answer = 0;
  std::thread worker([&] {
    answer = SendMessageA(h, WM_USER + 4, 21, 0);
    PostMessage(h, WM_USER + 5, 0, 0);  // done
  });
  MSG msg;
  while (GetMessage(msg, 0, 0, 0) && msg.message != WM_USER + 5) DispatchMessage(msg);
  worker.join();
  EXPECT_EQ(answer, 42);
  EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(Mouse, ClicksArriveInClientCoordinatesAndQuickSecondClicksDouble) {
  SetVirtualClock(true);
  RecordingWindows rec;
  HWND dbl = rec.Create(kVisibleFrame, Bounds(100, 100, 300, 200), 0, "RecWndDbl");
  POINT origin{0, 0};
  ClientToScreen(dbl, &origin);
  struct Step {
    int dx, dy;         // from the client origin + (10, 10)
    unsigned waitMs;    // before the click
    UINT expected;
  } steps[] = {
      {0, 0, 0, WM_LBUTTONDOWN}, {2, 3, 100, WM_LBUTTONDBLCLK},  // quick and close: double
      {0, 0, 100, WM_LBUTTONDOWN},                              // a third click starts anew
      {0, 0, 600, WM_LBUTTONDOWN},                              // too late
      {9, 0, 100, WM_LBUTTONDOWN},                              // too far
  };
  for (const Step& s : steps) {
    AdvanceVirtualClock(s.waitMs);
    rec.Clear();
    HeadlessClick(origin.X + 10 + s.dx, origin.Y + 10 + s.dy);
    PumpAll();
    const auto got = rec.Of(dbl, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, s.expected);
    EXPECT_EQ(got[1].message, WM_LBUTTONUP);
    EXPECT_EQ(GET_X_LPARAM(got[0].lParam), 10 + s.dx);
    EXPECT_EQ(GET_Y_LPARAM(got[0].lParam), 10 + s.dy);
  }
  // A class without CS_DBLCLKS sees two plain presses.
  HWND plain = rec.Create(WS_POPUP | WS_VISIBLE, Bounds(500, 500, 50, 50));
  rec.Clear();
  HeadlessClick(510, 510);
  HeadlessClick(510, 510);
  PumpAll();
  EXPECT_EQ(rec.MessagesOf(plain, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
  SetVirtualClock(false);
}

TEST(Mouse, CaptureTakesPointerInputOutsideTheWindowAndChildrenGetTheirOwn) {
  RecordingWindows rec;
  HWND top = rec.Create(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 200, 200));
  HWND child = rec.Create(WS_CHILD | WS_VISIBLE, Bounds(50, 60, 40, 40), top);
  HeadlessClick(55, 65);
  PumpAll();
  auto got = rec.Of(child, WM_LBUTTONDOWN, WM_LBUTTONDOWN);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].lParam, MAKELPARAM(5, 5));
  SetCapture(child);
  rec.Clear();
  HeadlessMouseMove(300, 10);
  PumpAll();
  got = rec.Of(child, WM_MOUSEMOVE, WM_MOUSEMOVE);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(GET_X_LPARAM(got[0].lParam), 250);
  EXPECT_EQ(GET_Y_LPARAM(got[0].lParam), -50);
  ReleaseCapture();
  EXPECT_EQ(rec.MessagesOf(child, WM_CAPTURECHANGED, WM_CAPTURECHANGED).size(), 1u);
}

TEST(Mouse, CursorFollowsTheHitTest) {
  RecordingWindows rec;
  rec.Create(kVisibleFrame, Bounds(100, 100, 300, 200));
  struct Case {
    int x, y;
    const char* cursor;
  } cases[] = {{398, 298, IDC_SIZENWSE}, {250, 101, IDC_SIZENS}, {101, 200, IDC_SIZEWE}, {250, 200, IDC_ARROW}};
  for (const Case& c : cases) {
    HeadlessMouseMove(c.x, c.y);
    PumpAll();
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, c.cursor)) << c.x << "," << c.y;
  }
}

TEST(Keyboard, KeysGoToTheFocusWithTheirCharacters) {
  RecordingWindows rec;
  HWND top = rec.Create(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  HWND child = rec.Create(WS_CHILD | WS_VISIBLE, Bounds(0, 0, 50, 50), top);
  SetFocus(child);
  EXPECT_EQ(GetFocus(), child);
  EXPECT_EQ(GetActiveWindow(), top);
  rec.Clear();
  HeadlessKeyDown('C', "č");
  HeadlessKeyUp('C');
  PumpAll();
  const auto got = rec.Of(child, WM_KEYDOWN, WM_CHAR);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].message, UINT(WM_KEYDOWN));
  EXPECT_EQ(got[0].wParam, WPARAM('C'));
  EXPECT_EQ(got[1].message, UINT(WM_CHAR));
  EXPECT_EQ(got[1].wParam, WPARAM(0xE8));  // č in Windows-1250
  EXPECT_EQ(got[2].message, UINT(WM_KEYUP));
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

// Paints a child red and a top-level window blue.
std::optional<LRESULT> PaintRedChildrenOnBlue(HWND h, UINT m, WPARAM, LPARAM) {
  if (m != WM_PAINT) return std::nullopt;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  RECT r;
  GetClientRect(h, &r);
  HBRUSH brush =
      CreateSolidBrush(GetParent(h) && (GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD) ? RGB(255, 0, 0) : RGB(0, 0, 255));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  EndPaint(h, &ps);
  return 0;
}

TEST(Painting, ChildrenAreComposedIntoTheTopLevelWindowAndTheScreenHonoursRegions) {
  RecordingWindows rec;
  rec.handler = PaintRedChildrenOnBlue;
  HWND top = rec.Create(WS_POPUP | WS_VISIBLE, Bounds(300, 200, 100, 80));
  rec.Create(WS_CHILD | WS_VISIBLE, Bounds(90, 10, 40, 20), top);  // sticks out to the right
  SetWindowRgn(top, CreateRectRgn(0, 0, 95, 80), 1);
  UpdateWindow(top);
  HBITMAP backing = GetWindowBackingBitmap(top);
  EXPECT_EQ(PixelToColor(backing->Row(5)[5]), RGB(0, 0, 255));
  EXPECT_EQ(PixelToColor(backing->Row(15)[92]), RGB(255, 0, 0));
  EXPECT_EQ(PixelToColor(backing->Row(40)[92]), RGB(0, 0, 255));
  EXPECT_EQ(PixelToColor(backing->Row(15)[97]), 0u);  // outside the region nothing is drawn
  HBITMAP screen = HeadlessScreenImage();
  EXPECT_EQ(PixelToColor(screen->Row(205)[305]), RGB(0, 0, 255));
  EXPECT_EQ(PixelToColor(screen->Row(215)[392]), RGB(255, 0, 0));
  EXPECT_EQ(PixelToColor(screen->Row(215)[397]), GetSysColor(COLOR_BACKGROUND));
  DeleteObject(screen);
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(top, copy), SIMPLEREGION);
  RECT box;
  GetRgnBox(copy, &box);
  EXPECT_EQ(box, TRect(Bounds(0, 0, 95, 80)));
  DeleteObject(copy);
}

TEST(Painting, AChildWithARegionLeavesItsParentVisibleOutsideIt) {
  RecordingWindows rec;
  rec.handler = PaintRedChildrenOnBlue;
  HWND top = rec.Create(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, Bounds(300, 200, 100, 80));
  HWND child = rec.Create(WS_CHILD | WS_VISIBLE, Bounds(10, 10, 40, 20), top);
  SetWindowRgn(child, CreateRectRgn(20, 0, 40, 20), 1);
  InvalidateRect(top, nullptr, 1);
  UpdateWindow(top);
  HBITMAP backing = GetWindowBackingBitmap(top);
  EXPECT_EQ(PixelToColor(backing->Row(15)[15]), RGB(0, 0, 255));
  EXPECT_EQ(PixelToColor(backing->Row(15)[35]), RGB(255, 0, 0));
}

TEST(ShowStates, MaximizeFillsTheWorkAreaAndRestoreBringsTheNormalBoundsBack) {
  RecordingWindows rec;
  HWND h = rec.Create(kVisibleFrame, Bounds(50, 60, 300, 200));
  RECT work, r;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_EQ(work, TRect(Bounds(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN))));
  struct Step {
    int cmd;
    TRect bounds;
    WPARAM sizeKind;
    bool iconic, zoomed;
  } steps[] = {
      {SW_MAXIMIZE, work, SIZE_MAXIMIZED, false, true},
      {SW_RESTORE, Bounds(50, 60, 300, 200), SIZE_RESTORED, false, false},
      {SW_MINIMIZE, Bounds(50, 60, 300, 200), SIZE_MINIMIZED, true, false},
      {SW_RESTORE, Bounds(50, 60, 300, 200), SIZE_RESTORED, false, false},
      // Minimized from maximized, a window comes back maximized.
      {SW_MAXIMIZE, work, SIZE_MAXIMIZED, false, true},
      {SW_MINIMIZE, work, SIZE_MINIMIZED, true, false},
      {SW_RESTORE, work, SIZE_MAXIMIZED, false, true},
  };
  for (const Step& s : steps) {
    rec.Clear();
    ShowWindow(h, s.cmd);
    GetWindowRect(h, &r);
    EXPECT_EQ(r, s.bounds) << s.cmd;
    EXPECT_EQ(bool(IsIconic(h)), s.iconic) << s.cmd;
    EXPECT_EQ(bool(IsZoomed(h)), s.zoomed) << s.cmd;
    const auto sizes = rec.Of(h, WM_SIZE, WM_SIZE);
    ASSERT_FALSE(sizes.empty()) << s.cmd;
    EXPECT_EQ(sizes.back().wParam, s.sizeKind) << s.cmd;
  }
  // The placement record keeps the normal bounds while the window is maximized.
  WINDOWPLACEMENT wp;
  ShowWindow(h, SW_MAXIMIZE);
  ASSERT_TRUE(GetWindowPlacement(h, &wp));
  EXPECT_EQ(wp.showCmd, UINT(SW_SHOWMAXIMIZED));
  EXPECT_EQ(wp.rcNormalPosition, TRect(Bounds(50, 60, 300, 200)));
  wp.rcNormalPosition = Bounds(10, 20, 250, 150);
  wp.showCmd = SW_SHOWNORMAL;
  wp.ptMinPosition = {5, 6};
  wp.ptMaxPosition = {-4, -4};
  SetWindowPlacement(h, &wp);
  GetWindowRect(h, &r);
  EXPECT_EQ(r, TRect(Bounds(10, 20, 250, 150)));
  // It keeps the minimised and maximised positions it was given.
  WINDOWPLACEMENT back;
  ASSERT_TRUE(GetWindowPlacement(h, &back));
  EXPECT_EQ(back.ptMinPosition.X, 5);
  EXPECT_EQ(back.ptMinPosition.Y, 6);
  EXPECT_EQ(back.ptMaxPosition.X, -4);
  EXPECT_EQ(back.ptMaxPosition.Y, -4);
  EXPECT_TRUE(ShowWindow(h, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_EQ(GetActiveWindow(), HWND(0));
}

TEST(Activation, SwitchingWindowsDeactivatesTheOldOneAndMovesTheFocus) {
  RecordingWindows rec;
  HWND a = rec.Create(kVisibleFrame, Bounds(0, 0, 200, 150));
  HWND b = rec.Create(kVisibleFrame, Bounds(300, 0, 200, 150));
  EXPECT_EQ(GetActiveWindow(), b);
  rec.Clear();
  SetActiveWindow(a);
  EXPECT_EQ(rec.MessagesOf(b, WM_ACTIVATE, WM_KILLFOCUS),
            (std::vector<UINT>{WM_ACTIVATE, WM_KILLFOCUS}));
  EXPECT_EQ(rec.MessagesOf(a, WM_ACTIVATE, WM_SETFOCUS), (std::vector<UINT>{WM_ACTIVATE, WM_SETFOCUS}));
  EXPECT_EQ(rec.Of(b, WM_NCACTIVATE, WM_NCACTIVATE).at(0).wParam, 0u);
  EXPECT_EQ(rec.Of(a, WM_NCACTIVATE, WM_NCACTIVATE).at(0).wParam, 1u);
  EXPECT_EQ(GetFocus(), a);
  // A click on the inactive window activates it.
  HeadlessClick(400, 100);
  PumpAll();
  EXPECT_EQ(GetActiveWindow(), b);
}

TEST(Caret, BlinksByInvertingItsRectangleAndLeavesNoTraceWhenDestroyed) {
  SetVirtualClock(true);
  RecordingWindows rec;
  HWND h = rec.Create(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 50));
  UpdateWindow(h);
  HBITMAP backing = GetWindowBackingBitmap(h);
  const Pixel face = backing->Row(12)[21];
  ASSERT_TRUE(CreateCaret(h, nullptr, 2, 14));
  SetCaretPos(20, 10);
  ShowCaret(h);
  PumpAll();
  EXPECT_EQ(backing->Row(12)[21], face ^ kRgbMask);
  EXPECT_EQ(backing->Row(12)[23], face);
  ProcessMessagesFor(GetCaretBlinkTime());
  EXPECT_EQ(backing->Row(12)[21], face);
  ProcessMessagesFor(GetCaretBlinkTime());
  EXPECT_EQ(backing->Row(12)[21], face ^ kRgbMask);
  DestroyCaret();
  PumpAll();
  EXPECT_EQ(backing->Row(12)[21], face);
  SetVirtualClock(false);
}

TEST(Tray, CallsAreRecordedAndIconEventsReachTheCallback) {
  RecordingWindows rec;
  HWND h = rec.Create(WS_POPUP, Bounds(0, 0, 10, 10));
  HeadlessClearTrayCalls();
  NOTIFYICONDATAA nid;
  nid.hWnd = h;
  nid.uID = 1;
  nid.uFlags = NIF_MESSAGE | NIF_TIP;
  nid.uCallbackMessage = WM_USER + 1;
  std::strcpy(nid.szTip, "Vorbex05");
  EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &nid));
  ASSERT_EQ(HeadlessTrayCalls().size(), 1u);
  EXPECT_STREQ(HeadlessTrayCalls()[0].data.szTip, "Vorbex05");
  ASSERT_TRUE(HeadlessTrayMouse(1, WM_RBUTTONDOWN));
  PumpAll();
  auto got = rec.Of(h, WM_USER + 1, WM_USER + 1);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].lParam, LPARAM(WM_RBUTTONDOWN));
  HeadlessRestartTray();
  PumpAll();
  EXPECT_EQ(rec.MessagesOf(h, RegisterWindowMessageA("TaskbarCreated"), RegisterWindowMessageA("TaskbarCreated")).size(), 1u);
  EXPECT_FALSE(HeadlessTrayMouse(1, WM_LBUTTONDOWN));  // gone with the old tray
}

}  // namespace
