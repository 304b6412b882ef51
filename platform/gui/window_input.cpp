// Input: raw pointer and key events from the backend become posted mouse and
// key messages, in arrival order on the message loop. Here live the key
// table, capture, focus and activation, double clicks (same window and
// button, within 500 ms and 4 pixels; client double clicks only for classes
// with CS_DBLCLKS) and the layer's own move and size loop, which follows the
// pointer while the window manager does not do it.

#include <array>
#include <cstdlib>
#include <deque>
#include <mutex>

#include "platform/rtl/clock.h"
#include "platform/gui/window_backend.h"
#include "platform/gui/window_internal.h"

namespace user_detail {
namespace {

constexpr int kDoubleClickDistance = 4;
constexpr UINT kNcOffset = WM_LBUTTONDOWN - WM_NCLBUTTONDOWN;
constexpr std::uint8_t kKeyDown = 0x80;
constexpr std::uint8_t kKeyToggled = 0x01;

struct LastClick {
  HWND hwnd = 0;
  int button = 0;
  bool client = false;
  std::uint32_t time = 0;
  POINT at;
};

struct Tracking {
  HWND hwnd = 0;
  int edge = 0;  // 0 moves; 1-8 name the edge or corner (WMSZ_*)
  POINT start;
  TRect startRect;
};

struct Input {
  std::mutex mutex;
  std::deque<RawInput> raw;
  HWND capture = 0;
  HWND focus = 0;
  HWND active = 0;
  POINT cursor;
  std::array<std::uint8_t, 256> keys{};
  LastClick last;
  Tracking track;
  bool turnPosted = false;  // one raw event at a time is waiting for its turn in the queue
};

Input& In() {
  static Input* input = new Input;
  return *input;
}

bool KeyIsDown(int vk) { return In().keys[std::size_t(vk & 0xFF)] & kKeyDown; }

WPARAM MouseKeyFlags() {
  WPARAM flags = 0;
  if (KeyIsDown(VK_LBUTTON)) flags |= MK_LBUTTON;
  if (KeyIsDown(VK_RBUTTON)) flags |= MK_RBUTTON;
  if (KeyIsDown(VK_MBUTTON)) flags |= MK_MBUTTON;
  if (KeyIsDown(VK_SHIFT)) flags |= MK_SHIFT;
  if (KeyIsDown(VK_CONTROL)) flags |= MK_CONTROL;
  return flags;
}

// phase 0 = down, 1 = up, 2 = double click
UINT ButtonMessage(int button, int phase) {
  const UINT base = button == VK_RBUTTON ? WM_RBUTTONDOWN : button == VK_MBUTTON ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
  return base + UINT(phase);
}

bool IsDoubleClick(HWND target, int button, bool client, POINT at, std::uint32_t now) {
  const LastClick& l = In().last;
  return l.hwnd == target && l.button == button && l.client == client && now - l.time <= kDoubleClickTimeMs &&
         std::abs(at.X - l.at.X) <= kDoubleClickDistance && std::abs(at.Y - l.at.Y) <= kDoubleClickDistance;
}

void EndTracking() {
  const HWND hwnd = In().track.hwnd;
  In().track = {};
  Backend().GrabPointer(hwnd, false);
  SendMessageA(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

void TrackPointer(const RawInput& ev) {
  Tracking& t = In().track;
  if (!Find(t.hwnd)) {
    t = {};
    return;
  }
  if (ev.kind == RawInput::ButtonUp) {
    EndTracking();
    return;
  }
  if (ev.kind != RawInput::MouseMove) return;
  const int dx = ev.screen.X - t.start.X, dy = ev.screen.Y - t.start.Y;
  RECT r = t.startRect;
  const HWND hwnd = t.hwnd;
  if (t.edge == 0) {
    OffsetRect(&r, dx, dy);
    SendMessageA(hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
    SetWindowPos(hwnd, 0, r.Left, r.Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  const int e = t.edge;
  const bool left = e == 1 || e == 4 || e == 7, right = e == 2 || e == 5 || e == 8;
  const bool top = e >= 3 && e <= 5, bottom = e >= 6;
  if (left) r.Left += dx;
  if (right) r.Right += dx;
  if (top) r.Top += dy;
  if (bottom) r.Bottom += dy;
  SendMessageA(hwnd, WM_SIZING, WPARAM(e), reinterpret_cast<LPARAM>(&r));
  const TSize size = ClampToTracking(hwnd, r.Width(), r.Height());
  const int w = size.cx, h = size.cy;
  if (left) r.Left = r.Right - w;
  else r.Right = r.Left + w;
  if (top) r.Top = r.Bottom - h;
  else r.Bottom = r.Top + h;
  SetWindowPos(hwnd, 0, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

// A click inside an MDI child makes it its client window's active child.
void ActivateMDIChildOnClick(Window* target) {
  for (Window* w = target; w && !w->TopLevel(); w = Find(w->parent)) {
    Window* parent = Find(w->parent);
    if (parent && parent->cls->name == kMDIClientClass) {
      SendMessageA(parent->hwnd, WM_MDIACTIVATE, WPARAM(w->hwnd), 0);
      return;
    }
  }
}

// A click on an inactive top-level window activates it unless it declines.
bool ActivateOnClick(Window* target, LRESULT hit, UINT message) {
  if (!In().capture) ActivateMDIChildOnClick(target);
  Window* root = Root(target);
  if (In().capture || root->hwnd == In().active) return true;
  const LRESULT r = SendMessageA(target->hwnd, WM_MOUSEACTIVATE, root->hwnd, MAKELPARAM(int(hit), int(message)));
  if (r == MA_ACTIVATE || r == MA_ACTIVATEANDEAT) SetActiveWindow(root->hwnd);
  return r != MA_ACTIVATEANDEAT && r != MA_NOACTIVATEANDEAT;
}

void ProcessMouse(const RawInput& ev) {
  Input& in = In();
  in.cursor = ev.screen;
  if (ev.kind == RawInput::ButtonDown) in.keys[std::size_t(ev.button)] |= kKeyDown;
  if (ev.kind == RawInput::ButtonUp) in.keys[std::size_t(ev.button)] &= std::uint8_t(~kKeyDown);
  if (in.track.hwnd) {
    TrackPointer(ev);
    return;
  }
  const HWND target = in.capture ? in.capture : WindowFromPoint(ev.screen);
  Window* w = Find(target);
  if (!w || (!in.capture && (w->style & WS_DISABLED))) return;
  const LRESULT hit = in.capture ? HTCLIENT : SendMessageA(target, WM_NCHITTEST, 0, MAKELPARAM(ev.screen.X, ev.screen.Y));
  if (!Find(target)) return;
  const bool client = hit == HTCLIENT;
  POINT pt = ev.screen;
  if (client) ScreenToClient(target, &pt);
  const LPARAM lp = MAKELPARAM(pt.X, pt.Y);
  const WPARAM wp = client ? MouseKeyFlags() : WPARAM(hit);
  switch (ev.kind) {
    case RawInput::MouseMove:
      if (!in.capture) SendMessageA(target, WM_SETCURSOR, target, MAKELPARAM(int(hit), int(WM_MOUSEMOVE)));
      PostMessage(target, client ? WM_MOUSEMOVE : WM_NCMOUSEMOVE, wp, lp);
      break;
    case RawInput::ButtonDown: {
      const UINT down = ButtonMessage(ev.button, 0) - (client ? 0 : kNcOffset);
      if (!ActivateOnClick(w, hit, down)) return;
      const std::uint32_t now = GetTickCount();
      const bool dbl = IsDoubleClick(target, ev.button, client, ev.screen, now) &&
                       (!client || (w->cls->style & CS_DBLCLKS));
      in.last = dbl ? LastClick{} : LastClick{target, ev.button, client, now, ev.screen};
      PostMessage(target, ButtonMessage(ev.button, dbl ? 2 : 0) - (client ? 0 : kNcOffset), wp, lp);
      break;
    }
    case RawInput::ButtonUp:
      PostMessage(target, ButtonMessage(ev.button, 1) - (client ? 0 : kNcOffset), wp, lp);
      break;
    case RawInput::Wheel:
      PostMessage(in.focus ? in.focus : target, WM_MOUSEWHEEL, MAKEWPARAM(int(MouseKeyFlags()), ev.wheelDelta),
                  MAKELPARAM(ev.screen.X, ev.screen.Y));
      break;
    default: break;
  }
}

void ProcessKey(const RawInput& ev) {
  Input& in = In();
  const bool down = ev.kind == RawInput::KeyDown;
  std::uint8_t& key = in.keys[std::size_t(ev.virtualKey & 0xFF)];
  const bool repeat = down && (key & kKeyDown);
  if (down && !repeat) key ^= kKeyToggled;
  key = down ? std::uint8_t(key | kKeyDown) : std::uint8_t(key & ~kKeyDown);
  const HWND target = in.focus ? in.focus : in.active;
  if (!Find(target)) return;
  const bool alt = KeyIsDown(VK_MENU) || (ev.virtualKey == VK_MENU && !down);
  const bool sys = alt && !KeyIsDown(VK_CONTROL);
  LPARAM lp = 1;
  if (alt) lp |= LPARAM(1) << 29;
  if (repeat || !down) lp |= LPARAM(1) << 30;
  if (!down) lp |= LPARAM(1) << 31;
  const UINT message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  PostMessage(target, message, WPARAM(ev.virtualKey), lp);
  if (!down) return;
  for (char c : ev.chars) PostMessage(target, sys ? WM_SYSCHAR : WM_CHAR, WPARAM(static_cast<unsigned char>(c)), lp);
}

}  // namespace

// Raw events take their turns one by one: the next one is queued behind the
// messages the previous one posted, so a button press has started whatever
// it starts (a move loop, a capture) before the next movement is looked at.
void PostTurn() {
  In().turnPosted = true;
  PostMessage(0, WM_INPUT, kRawInputTurn, 0);
}

void ProcessRawInput() {
  RawInput ev;
  {
    std::lock_guard lock(In().mutex);
    In().turnPosted = false;
    if (In().raw.empty()) return;
    ev = In().raw.front();
    In().raw.pop_front();
  }
  if (ev.kind == RawInput::KeyDown || ev.kind == RawInput::KeyUp) ProcessKey(ev);
  else ProcessMouse(ev);
  std::lock_guard lock(In().mutex);
  if (!In().raw.empty() && !In().turnPosted) PostTurn();
}

void ForgetWindowInput(HWND hwnd) {
  Input& in = In();
  if (in.capture == hwnd) in.capture = 0;
  if (in.focus == hwnd) in.focus = 0;
  if (in.active == hwnd) in.active = 0;
  if (in.last.hwnd == hwnd) in.last = {};
  if (in.track.hwnd == hwnd) {
    Backend().GrabPointer(hwnd, false);
    in.track = {};
  }
  ForgetCaretOf(hwnd);
}

void StartMoveSize(HWND hwnd, int edge) {
  Window* w = Find(hwnd);
  if (!w || (w->style & (WS_MAXIMIZE | WS_MINIMIZE))) return;
  ReleaseCapture();
  // A child window with a frame (an MDI child) moves inside its parent by
  // the layer's own loop; the pointer is held by its top-level window.
  if (w->TopLevel() && Backend().StartSystemMoveSize(hwnd, edge, In().cursor)) return;
  SendMessageA(hwnd, WM_ENTERSIZEMOVE, 0, 0);
  In().track = {hwnd, edge, In().cursor, w->rect};
  Backend().GrabPointer(Root(w)->hwnd, true);
}

}  // namespace user_detail

using namespace user_detail;

void QueueRawInput(const RawInput& input) {
  {
    std::lock_guard lock(In().mutex);
    In().raw.push_back(input);
    if (!In().turnPosted) PostTurn();
  }
}

void BroadcastTaskbarCreated() {
  const UINT message = RegisterWindowMessageA("TaskbarCreated");
  for (Window* w : TopLevelWindows()) PostMessage(w->hwnd, message, 0, 0);
}

HWND SetCapture(HWND hwnd) {
  const HWND old = In().capture;
  In().capture = Find(hwnd) ? hwnd : 0;
  if (old && old != In().capture) SendMessageA(old, WM_CAPTURECHANGED, 0, LPARAM(In().capture));
  return old;
}

BOOL ReleaseCapture() {
  const HWND old = In().capture;
  In().capture = 0;
  if (old) SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
  return 1;
}

HWND GetCapture() { return In().capture; }

HWND SetFocus(HWND hwnd) {
  Window* w = Find(hwnd);
  if (hwnd && !w) return 0;
  if (w && Root(w)->hwnd != In().active) SetActiveWindow(Root(w)->hwnd);
  const HWND old = In().focus;
  if (hwnd == old) return old;
  In().focus = hwnd;
  if (Find(old)) SendMessageA(old, WM_KILLFOCUS, hwnd, 0);
  if (hwnd && In().focus == hwnd) SendMessageA(hwnd, WM_SETFOCUS, old, 0);
  return old;
}

HWND GetFocus() { return In().focus; }

HWND SetActiveWindow(HWND hwnd) {
  Window* w = Root(Find(hwnd));
  if (hwnd && !w) return 0;
  const HWND target = w ? w->hwnd : 0;
  const HWND old = In().active;
  if (old == target) return old;
  In().active = target;
  if (Find(old)) {
    SendMessageA(old, WM_NCACTIVATE, 0, 0);
    SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(old)), LPARAM(target));
  }
  Window* focus = Find(In().focus);
  if (In().focus && (!focus || Root(focus) != w)) {
    const HWND lost = In().focus;
    In().focus = 0;
    if (focus) SendMessageA(lost, WM_KILLFOCUS, 0, 0);
  }
  if (!Find(target)) return old;
  std::vector<HWND>& order = SiblingList(w);
  std::erase(order, target);
  order.push_back(target);
  Backend().Activate(target);
  SendMessageA(target, WM_NCACTIVATE, 1, 0);
  SendMessageA(target, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, IsIconic(target)), LPARAM(old));
  return old;
}

HWND GetActiveWindow() { return In().active; }
BOOL SetForegroundWindow(HWND hwnd) {
  if (!Find(hwnd)) return 0;
  SetActiveWindow(hwnd);
  return 1;
}
HWND GetForegroundWindow() { return In().active; }

std::int16_t GetKeyState(int virtualKey) {
  const std::uint8_t key = In().keys[std::size_t(virtualKey & 0xFF)];
  return static_cast<std::int16_t>(std::uint16_t(((key & kKeyDown) ? 0x8000 : 0) | (key & kKeyToggled)));
}

std::int16_t GetAsyncKeyState(int virtualKey) {
  return static_cast<std::int16_t>(std::uint16_t(KeyIsDown(virtualKey) ? 0x8000 : 0));
}

UINT GetDoubleClickTime() { return kDoubleClickTimeMs; }

BOOL GetCursorPos(POINT* point) {
  if (!point) return 0;
  *point = In().cursor;
  return 1;
}

BOOL SetCursorPos(int x, int y) {
  In().cursor = {x, y};
  Backend().SetCursorPos({x, y});
  return 1;
}

BOOL SetClipboardText(const std::string& text) {
  Backend().SetClipboard(text);
  return 1;
}

std::string GetClipboardText() { return Backend().GetClipboard(); }
