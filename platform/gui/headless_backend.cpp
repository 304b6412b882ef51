// The headless backend: native windows are only the layer's own records, the
// screen is composed from their backing bitmaps on demand, the clipboard is a
// string and the tray a list of icons with a recorder of every call.

#include "platform/gui/headless_backend.h"

#include <algorithm>
#include <map>

#include "platform/gui/colors.h"
#include "platform/gui/window_backend.h"
#include "platform/gui/window_internal.h"

namespace {

constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;

struct TrayState {
  std::vector<TrayCall> calls;
  std::map<UINT, NOTIFYICONDATAA> icons;
};

TrayState& Tray() {
  static TrayState tray;
  return tray;
}

class HeadlessBackend : public WindowBackend {
public:
  TSize ScreenSize() override { return {kScreenWidth, kScreenHeight}; }
  void Create(HWND, const TRect&, DWORD, DWORD) override {}
  void Destroy(HWND) override {}
  void SetBounds(HWND, const TRect&) override {}
  void SetVisible(HWND, bool) override {}
  void SetIconic(HWND, bool) override {}
  void Activate(HWND) override {}
  void SetTitle(HWND, const std::string&) override {}
  void SetShape(HWND, const Region*) override {}
  void SetSkipTaskbar(HWND, bool) override {}
  void SetCursor(int) override {}
  void SetCursorPos(POINT) override {}
  void Flush(HWND, const GdiBitmap&, const TRect&) override {}
  bool StartSystemMoveSize(HWND, int, POINT) override { return false; }
  void GrabPointer(HWND, bool) override {}
  bool NotifyIcon(DWORD message, const NOTIFYICONDATAA& data) override {
    Tray().calls.push_back({message, data});
    auto& icons = Tray().icons;
    switch (message) {
      case NIM_ADD: return icons.emplace(data.uID, data).second;
      case NIM_MODIFY:
        if (!icons.count(data.uID)) return false;
        icons[data.uID] = data;
        return true;
      case NIM_DELETE: return icons.erase(data.uID) > 0;
    }
    return false;
  }
  void SetClipboard(const std::string& text) override { clipboard_ = text; }
  std::string GetClipboard() override { return clipboard_; }

private:
  std::string clipboard_;
};

void QueueMouse(RawInput::Kind kind, int x, int y, int button) {
  RawInput ev;
  ev.kind = kind;
  ev.screen = {x, y};
  ev.button = button;
  QueueRawInput(ev);
}

}  // namespace

WindowBackend* CreateHeadlessBackend() { return new HeadlessBackend; }

void HeadlessMouseMove(int x, int y) { QueueMouse(RawInput::MouseMove, x, y, 0); }
void HeadlessMouseDown(int x, int y, int button) { QueueMouse(RawInput::ButtonDown, x, y, button); }
void HeadlessMouseUp(int x, int y, int button) { QueueMouse(RawInput::ButtonUp, x, y, button); }

void HeadlessClick(int x, int y, int button) {
  HeadlessMouseDown(x, y, button);
  HeadlessMouseUp(x, y, button);
}

void HeadlessKeyDown(int virtualKey, const std::string& chars) {
  RawInput ev;
  ev.kind = RawInput::KeyDown;
  ev.virtualKey = virtualKey;
  ev.chars = chars;
  QueueRawInput(ev);
}

void HeadlessKeyUp(int virtualKey) {
  RawInput ev;
  ev.kind = RawInput::KeyUp;
  ev.virtualKey = virtualKey;
  QueueRawInput(ev);
}

HBITMAP HeadlessScreenImage() {
  const TSize size = user_detail::Backend().ScreenSize();
  HBITMAP screen = CreateBitmap(size.cx, size.cy, 1, 32, nullptr);
  std::fill(screen->pixels.begin(), screen->pixels.end(), ColorToPixel(GetSysColor(COLOR_BACKGROUND)));
  for (user_detail::Window* w : user_detail::TopLevelWindows()) {
    if (!(w->style & WS_VISIBLE) || (w->style & WS_MINIMIZE)) continue;
    Region area(TRect{0, 0, w->rect.Width(), w->rect.Height()});
    if (w->shape) area = Region::Combine(area, *w->shape, RegionOp::And);
    area.Offset(w->rect.Left, w->rect.Top);
    area = Region::Combine(area, Region(TRect{0, 0, size.cx, size.cy}), RegionOp::And);
    for (const TRect& r : area.Rects())
      for (int y = r.Top; y < r.Bottom; ++y)
        std::copy_n(w->backing->Row(y - w->rect.Top) + (r.Left - w->rect.Left), r.Width(), screen->Row(y) + r.Left);
  }
  return screen;
}

const std::vector<TrayCall>& HeadlessTrayCalls() { return Tray().calls; }
void HeadlessClearTrayCalls() { Tray().calls.clear(); }

bool HeadlessTrayMouse(UINT iconId, UINT mouseMessage) {
  auto it = Tray().icons.find(iconId);
  if (it == Tray().icons.end() || !(it->second.uFlags & NIF_MESSAGE)) return false;
  return PostMessage(it->second.hWnd, it->second.uCallbackMessage, iconId, LPARAM(mouseMessage));
}

void HeadlessRestartTray() {
  Tray().icons.clear();
  BroadcastTaskbarCreated();
}
