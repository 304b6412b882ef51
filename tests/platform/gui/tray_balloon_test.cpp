// The tray call's two record forms, modifies that change only what their
// flags name, and balloons: where one appears and what it shows, its notices
// on showing, timing out, a click and the icon's removal.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/gui/colors.h"
#include "platform/gui/gdi_objects.h"
#include "platform/gui/headless_backend.h"
#include "platform/rtl/clock.h"
#include "tests/platform/gui/window_test_support.h"

namespace {

constexpr UINT kCallback = WM_USER + 7;

struct TrayBalloon : ::testing::Test {
  void SetUp() override {
    SetVirtualClock(true);
    HeadlessRestartTray();
    PumpAll();
    owner = rec.Create(WS_POPUP, {0, 0, 10, 10});
    nid.hWnd = owner;
    nid.uID = 3;
    nid.uFlags = NIF_MESSAGE | NIF_TIP;
    nid.uCallbackMessage = kCallback;
    std::strcpy(nid.szTip, "Vorbex05");
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &nid));
    HeadlessClearTrayCalls();
  }
  void TearDown() override {
    Shell_NotifyIconA(NIM_DELETE, &nid);
    PumpAll();
    SetVirtualClock(false);
  }
  void Balloon(const char* title, const char* text, DWORD kind, UINT timeout) {
    NOTIFYICONDATAA b;
    b.hWnd = owner;
    b.uID = 3;
    b.uFlags = NIF_INFO;
    std::strcpy(b.szInfoTitle, title);
    std::strcpy(b.szInfo, text);
    b.dwInfoFlags = kind;
    b.uTimeout = timeout;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &b));
    PumpAll();
  }
  // The balloon notices the owner heard since the last call.
  std::vector<LPARAM> Notices() {
    std::vector<LPARAM> out;
    for (const Recorded& r : rec.Of(owner, kCallback, kCallback)) out.push_back(r.lParam);
    rec.Clear();
    return out;
  }
  static HWND BalloonWindow() { return FindWindowA("VxTrayBalloon", nullptr); }

  RecordingWindows rec;
  HWND owner = 0;
  NOTIFYICONDATAA nid;
};

TEST_F(TrayBalloon, TheFirstFormCutsTheTipAndHasNoBalloonAModifyKeepsWhatItDoesNotName) {
  const struct {
    DWORD size;
    size_t tip;
  } forms[] = {{NOTIFYICONDATAA_V1_SIZE, 63}, {NOTIFYICONDATAA_V2_SIZE, 127}};
  for (const auto& f : forms) {
    NOTIFYICONDATAA d = nid;
    d.cbSize = f.size;
    d.uFlags = NIF_TIP | NIF_INFO;
    std::memset(d.szTip, 'x', sizeof d.szTip);  // no terminator: the layer ends it
    std::strcpy(d.szInfo, "Hotovo");
    ASSERT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &d));
    PumpAll();
    EXPECT_EQ(std::strlen(HeadlessTrayCalls().back().data.szTip), f.tip);
    EXPECT_EQ(BalloonWindow() != 0, f.size == NOTIFYICONDATAA_V2_SIZE);
  }
  // A balloon-only modify: the tip and the callback stay as they were.
  Balloon("", "Znovu", NIIF_NONE, 1000);
  const NOTIFYICONDATAA& last = HeadlessTrayCalls().back().data;
  EXPECT_EQ(std::strlen(last.szTip), 127u);
  EXPECT_EQ(last.uCallbackMessage, kCallback);
  EXPECT_EQ(last.uFlags, UINT(NIF_MESSAGE | NIF_TIP | NIF_INFO));
  EXPECT_STREQ(last.szInfo, "Znovu");
}

TEST_F(TrayBalloon, ABalloonShowsByTheTrayAndClosesOnItsTimeoutOrAClick) {
  Balloon("Záloha", "Záloha databáze je hotová.", NIIF_WARNING, 5000);
  EXPECT_EQ(Notices(), std::vector<LPARAM>{NIN_BALLOONSHOW});
  const HWND b = BalloonWindow();
  ASSERT_NE(b, 0u);
  RECT r;
  GetWindowRect(b, &r);
  // Without a known tray place: the screen's bottom-right corner.
  EXPECT_LE(r.Right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_GT(r.Right, GetSystemMetrics(SM_CXSCREEN) - 40);
  EXPECT_GT(r.Bottom, GetSystemMetrics(SM_CYSCREEN) - 10);
  EXPECT_EQ(GetActiveWindow() == b, false);  // a balloon never takes the focus

  // What it shows: a black frame on the tooltip colour, the warning sign, the bold title and the text.
  HBITMAP screen = HeadlessScreenImage();
  auto at = [&](int x, int y) { return PixelToColor(screen->Row(r.Top + y)[r.Left + x]); };
  EXPECT_EQ(at(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(at(r.Right - r.Left - 1, r.Bottom - r.Top - 1), RGB(0, 0, 0));
  EXPECT_EQ(at(2, r.Bottom - r.Top - 3), GetSysColor(COLOR_INFOBK));
  EXPECT_EQ(at(16, 16), RGB(230, 170, 0));
  auto inkIn = [&](int top, int bottom) {
    int ink = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = 30; x < r.Right - r.Left - 2; ++x) ink += at(x, y) == GetSysColor(COLOR_INFOTEXT);
    return ink;
  };
  EXPECT_GT(inkIn(8, 20), 20);                        // the title line
  EXPECT_GT(inkIn(22, r.Bottom - r.Top - 8), 20);     // the text below it
  DeleteObject(screen);

  ProcessMessagesFor(4990);
  EXPECT_TRUE(Notices().empty());
  ProcessMessagesFor(20);
  EXPECT_EQ(Notices(), std::vector<LPARAM>{NIN_BALLOONTIMEOUT});
  EXPECT_EQ(BalloonWindow(), 0u);

  Balloon("", "Klikni", NIIF_NONE, 5000);
  GetWindowRect(BalloonWindow(), &r);
  HeadlessClick(r.Left + 5, r.Top + 5);
  PumpAll();
  EXPECT_EQ(Notices(), (std::vector<LPARAM>{NIN_BALLOONSHOW, NIN_BALLOONUSERCLICK}));
  EXPECT_EQ(BalloonWindow(), 0u);
  ProcessMessagesFor(6000);
  EXPECT_TRUE(Notices().empty());  // its timer went with it

  Balloon("", "Pryč s ikonou", NIIF_ERROR, 5000);
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &nid));
  PumpAll();
  EXPECT_EQ(Notices(), (std::vector<LPARAM>{NIN_BALLOONSHOW, NIN_BALLOONHIDE}));
  EXPECT_EQ(BalloonWindow(), 0u);
}

}  // namespace
