// Window handles and their records: classes, creation and destruction,
// window values and subclassing, sent messages, the dispatch hook on the
// message loop, window texts, relations and registered messages. Handles are
// never reused, so a stale handle simply finds no window.

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <future>
#include <map>
#include <thread>

#include "platform/gui/colors.h"
#include "platform/gui/window_backend.h"
#include "platform/gui/window_internal.h"

namespace user_detail {
namespace {

constexpr HWND kFirstHandle = 0x10010;
constexpr HWND kHandleStep = 4;
constexpr HWND kDesktopHandle = 0x10000;
constexpr UINT kFirstRegisteredMessage = 0xC000;
constexpr int kDefaultX = 100, kDefaultY = 100, kDefaultWidth = 400, kDefaultHeight = 300;

struct CaseLess {
  bool operator()(const std::string& a, const std::string& b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
};

struct State {
  std::map<HWND, std::unique_ptr<Window>> windows;
  std::vector<std::unique_ptr<Window>> graveyard;
  std::vector<HWND> topOrder;  // bottom of the Z-order first
  std::map<std::string, std::shared_ptr<WindowClass>, CaseLess> classes;
  std::map<std::string, UINT, CaseLess> registeredMessages;
  HWND nextHandle = kFirstHandle;
  int sendDepth = 0;
  std::thread::id uiThread;  // the thread that started the layer; window procedures run there
  std::unique_ptr<WindowBackend> backend;
  bool dispatcherSet = false;
  TMessageDispatcher previous;  // who had the loop's messages before us: theirs stay theirs
};

State& S() {
  static State* state = new State;  // outlives static destructors of callers
  return *state;
}

void FreeGraveyardWhenIdle() {
  if (S().sendDepth == 0) S().graveyard.clear();
}

// A message sent from another thread, run on the user-interface thread.
struct CrossThreadSend {
  HWND hwnd;
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
  std::promise<LRESULT> result;
};

void RunCrossThreadSend(CrossThreadSend* send) {
  try {
    send->result.set_value(SendMessageA(send->hwnd, send->message, send->wparam, send->lparam));
  } catch (...) {
    send->result.set_exception(std::current_exception());
  }
}

bool OurHandle(HWND hwnd) { return hwnd >= kFirstHandle && hwnd < S().nextHandle; }

LRESULT Dispatch(const MSG& msg) {
  if (msg.hwnd == 0 && msg.message == WM_INPUT && msg.wParam <= kCrossThreadSend) {
    switch (msg.wParam) {
      case kRawInputTurn: ProcessRawInput(); break;
      case kBackendPump: Backend().Pump(); break;
      case kCrossThreadSend: RunCrossThreadSend(reinterpret_cast<CrossThreadSend*>(msg.lParam)); break;
    }
    return 0;
  }
  if (!OurHandle(msg.hwnd)) return S().previous ? S().previous(msg) : 0;
  Window* w = Find(msg.hwnd);
  if (!w) {
    // A timer outlives its destroyed window only until it first fires.
    if (msg.message == WM_TIMER) KillTimer(msg.hwnd, msg.wParam);
    return 0;
  }
  if (msg.message == WM_PAINT && w->TopLevel()) {  // the layer's own paint pass
    PaintPass(w);
    FreeGraveyardWhenIdle();
    return 0;
  }
  LRESULT r = SendMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
  FreeGraveyardWhenIdle();
  return r;
}

void EnsureDispatcher() {
  if (S().dispatcherSet) return;
  S().dispatcherSet = true;
  S().uiThread = std::this_thread::get_id();
  S().previous = SetMessageDispatcher(Dispatch);
}

void RemoveFromSiblings(Window* w) { std::erase(SiblingList(w), w->hwnd); }

void ComputeClient(Window* w) {
  RECT r{w->rect.Left, w->rect.Top, w->rect.Right, w->rect.Bottom};
  SendMessageA(w->hwnd, WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&r));
  w->client = {r.Left - w->rect.Left, r.Top - w->rect.Top, r.Right - w->rect.Left, r.Bottom - w->rect.Top};
}

// Sends WM_DESTROY down the tree (parent first) and WM_NCDESTROY back up.
void DestroyTree(Window* w) {
  SendMessageA(w->hwnd, WM_DESTROY, 0, 0);
  for (HWND child : std::vector<HWND>(w->children))
    if (Window* c = Find(child)) DestroyTree(c);
  SendMessageA(w->hwnd, WM_NCDESTROY, 0, 0);
  ForgetWindowInput(w->hwnd);
  w->destroyed = true;
  if (w->TopLevel()) {
    Backend().Destroy(w->hwnd);
    DeleteObject(w->backing);
    w->backing = nullptr;
  }
  auto it = S().windows.find(w->hwnd);
  S().graveyard.push_back(std::move(it->second));
  S().windows.erase(it);
}

bool ValidIndex(int index) {
  switch (index) {
    case GWL_WNDPROC: case GWL_HINSTANCE: case GWL_HWNDPARENT: case GWL_ID: case GWL_STYLE: case GWL_EXSTYLE:
    case GWL_USERDATA:
      return true;
  }
  return false;
}

bool SkipsTaskbar(DWORD exStyle) { return (exStyle & WS_EX_TOOLWINDOW) && !(exStyle & WS_EX_APPWINDOW); }

}  // namespace

Window* Find(HWND hwnd) {
  auto it = S().windows.find(hwnd);
  return it == S().windows.end() ? nullptr : it->second.get();
}

Window* Root(Window* w) {
  while (w && !w->TopLevel()) w = Find(w->parent);
  return w;
}

std::vector<HWND>& SiblingList(Window* w) { return w->TopLevel() ? S().topOrder : Find(w->parent)->children; }

std::vector<Window*> TopLevelWindows() {
  std::vector<Window*> list;
  for (HWND h : S().topOrder)
    if (Window* w = Find(h)) list.push_back(w);
  return list;
}

WindowBackend& Backend() {
  if (!S().backend) {
    WindowBackend* x11 = std::getenv("DISPLAY") ? CreateX11Backend() : nullptr;
    S().backend.reset(x11 ? x11 : CreateHeadlessBackend());
    const TSize screen = S().backend->ScreenSize();
    SetScreenSize(screen.cx, screen.cy);
    EnsureDispatcher();
  }
  return *S().backend;
}

}  // namespace user_detail

using namespace user_detail;

unsigned long GetNativeWindowId(HWND hwnd) { return Backend().NativeId(hwnd); }

BOOL ShowDesktopPanels(BOOL show) { return Backend().ShowPanels(show != 0); }

// --- classes -------------------------------------------------------------------------

ATOM RegisterClassExA(const WNDCLASSEXA* wc) {
  if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) return 0;
  if (S().classes.count(wc->lpszClassName)) return 0;
  auto cls = std::make_shared<WindowClass>();
  cls->name = wc->lpszClassName;
  cls->style = wc->style;
  cls->proc = wc->lpfnWndProc;
  cls->cursor = wc->hCursor;
  cls->background = wc->hbrBackground;
  cls->icon = wc->hIcon;
  S().classes[cls->name] = cls;
  return ATOM(S().classes.size());
}

BOOL UnregisterClassA(const char* name, HINSTANCE) {
  return name && S().classes.erase(name) ? 1 : 0;
}

BOOL GetClassInfoExA(HINSTANCE, const char* name, WNDCLASSEXA* wc) {
  auto it = name ? S().classes.find(name) : S().classes.end();
  if (it == S().classes.end() || !wc) return 0;
  wc->style = it->second->style;
  wc->lpfnWndProc = it->second->proc;
  wc->hCursor = it->second->cursor;
  wc->hbrBackground = it->second->background;
  wc->hIcon = it->second->icon;
  wc->lpszClassName = it->second->name.c_str();
  return 1;
}

// --- creation and destruction -----------------------------------------------------------

namespace user_detail {
namespace {

// The record of a new window, linked into its Z-order, with its native window
// when it is a top-level one; nothing is sent yet.
Window* AddWindow(const std::shared_ptr<WindowClass>& cls, DWORD exStyle, const char* name, DWORD style,
                  HWND parent, HMENU menu, const TRect& bounds) {
  auto owned = std::make_unique<Window>();
  Window* w = owned.get();
  w->hwnd = S().nextHandle;
  S().nextHandle += kHandleStep;
  w->cls = cls;
  w->proc = cls->proc;
  w->style = style & ~WS_VISIBLE;
  w->exStyle = exStyle;
  w->text = name ? name : "";
  w->rect = w->normalRect = bounds;
  S().windows[w->hwnd] = std::move(owned);
  if (!w->TopLevel()) {
    w->parent = parent;
    w->id = LONG_PTR(menu);
    Find(parent)->children.push_back(w->hwnd);
    return w;
  }
  w->owner = Find(parent) ? Root(Find(parent))->hwnd : 0;
  S().topOrder.push_back(w->hwnd);
  w->backing = CreateBitmap(bounds.Width(), bounds.Height(), 1, 32, nullptr);
  Backend().Create(w->hwnd, bounds, style, exStyle);
  if (!w->text.empty()) Backend().SetTitle(w->hwnd, w->text);
  if (SkipsTaskbar(exStyle)) Backend().SetSkipTaskbar(w->hwnd, true);
  return w;
}

// WM_NCCREATE, the client area, WM_CREATE, then the first size and position.
bool SendCreation(Window* w, CREATESTRUCTA& cs) {
  const HWND hwnd = w->hwnd;
  if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) || w->destroyed) return false;
  ComputeClient(w);
  if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1 || w->destroyed) return false;
  SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(w->client.Width(), w->client.Height()));
  SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(w->rect.Left + w->client.Left, w->rect.Top + w->client.Top));
  return !w->destroyed;
}

}  // namespace
}  // namespace user_detail

HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
  Backend();
  auto cls = className ? S().classes.find(className) : S().classes.end();
  if (cls == S().classes.end()) return 0;
  const bool child = style & WS_CHILD;
  if (child && !Find(parent)) return 0;
  if (x == CW_USEDEFAULT) {
    x = child ? 0 : kDefaultX;
    y = child ? 0 : kDefaultY;
  }
  if (width == CW_USEDEFAULT) {
    width = kDefaultWidth;
    height = kDefaultHeight;
  }
  Window* w = AddWindow(cls->second, exStyle, windowName, style, parent, menu,
                        Bounds(x, y, std::max(width, 0), std::max(height, 0)));
  const HWND hwnd = w->hwnd;
  const TSize size = child ? TSize{} : ClampToTracking(hwnd, width, height);
  if (!child && (size.cx != w->rect.Width() || size.cy != w->rect.Height())) {
    w->rect = w->normalRect = Bounds(x, y, size.cx, size.cy);
    ResizeBacking(w);
    Backend().SetBounds(hwnd, w->rect);
  }
  CREATESTRUCTA cs;
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.x = x;
  cs.y = y;
  cs.cx = w->rect.Width();
  cs.cy = w->rect.Height();
  cs.style = style;
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;
  if (!SendCreation(w, cs)) {
    DestroyWindow(hwnd);
    return 0;
  }
  InvalidateWindow(w, Region(TRect{0, 0, w->client.Width(), w->client.Height()}), true, true);
  if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return Find(hwnd) ? hwnd : 0;
}

BOOL DestroyWindow(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  for (Window* top : TopLevelWindows())
    if (top->owner == hwnd) DestroyWindow(top->hwnd);
  if (!Find(hwnd)) return 1;
  if (w->style & WS_VISIBLE) ShowWindow(hwnd, SW_HIDE);
  if (!Find(hwnd)) return 1;
  RemoveFromSiblings(w);
  DestroyTree(w);
  FreeGraveyardWhenIdle();
  return 1;
}

BOOL IsWindow(HWND hwnd) { return Find(hwnd) ? 1 : 0; }

LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  return proc ? proc(hwnd, message, wparam, lparam) : 0;
}

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (S().dispatcherSet && std::this_thread::get_id() != S().uiThread) {
    // Window procedures run on the user-interface thread only; the sender waits.
    CrossThreadSend send{hwnd, message, wparam, lparam, {}};
    std::future<LRESULT> result = send.result.get_future();
    PostMessage(0, WM_INPUT, kCrossThreadSend, reinterpret_cast<LPARAM>(&send));
    return result.get();
  }
  Window* w = Find(hwnd);
  if (!w || !w->proc) return 0;
  struct Depth {
    Depth() { ++S().sendDepth; }
    ~Depth() { --S().sendDepth; }
  } depth;
  return w->proc(hwnd, message, wparam, lparam);
}

// --- window values ---------------------------------------------------------------------------

LONG_PTR GetWindowLongPtrA(HWND hwnd, int index) {
  Window* w = Find(hwnd);
  if (!w || !ValidIndex(index)) return 0;
  switch (index) {
    case GWL_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWL_HWNDPARENT: return LONG_PTR(w->TopLevel() ? w->owner : w->parent);
    case GWL_ID: return w->id;
    case GWL_STYLE: return LONG_PTR(w->style);
    case GWL_EXSTYLE: return LONG_PTR(w->exStyle);
    case GWL_USERDATA: return w->userData;
  }
  return 0;
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
  Window* w = Find(hwnd);
  if (!w || !ValidIndex(index)) return 0;
  const LONG_PTR old = GetWindowLongPtrA(hwnd, index);
  switch (index) {
    case GWL_WNDPROC: w->proc = reinterpret_cast<WNDPROC>(value); break;
    case GWL_HWNDPARENT: if (w->TopLevel()) w->owner = HWND(value); break;
    case GWL_ID: w->id = value; break;
    // The frame follows a style change only with SWP_FRAMECHANGED, as callers expect.
    case GWL_STYLE: w->style = (DWORD(value) & ~WS_VISIBLE) | (w->style & WS_VISIBLE); break;
    case GWL_EXSTYLE:
      w->exStyle = DWORD(value);
      if (w->TopLevel() && SkipsTaskbar(DWORD(old)) != SkipsTaskbar(w->exStyle))
        Backend().SetSkipTaskbar(hwnd, SkipsTaskbar(w->exStyle));
      break;
    case GWL_USERDATA: w->userData = value; break;
  }
  return old;
}

UINT RegisterWindowMessageA(const char* name) {
  if (!name || !*name) return 0;
  auto [it, added] = S().registeredMessages.emplace(name, 0);
  if (added) it->second = kFirstRegisteredMessage + UINT(S().registeredMessages.size()) - 1;
  return it->second;
}

BOOL SetWindowTextA(HWND hwnd, const char* text) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  w->text = text ? text : "";
  if (w->TopLevel()) {
    Backend().SetTitle(hwnd, w->text);
    w->ncUpdate = true;
    SchedulePaint(w);
  }
  return 1;
}

int GetWindowTextA(HWND hwnd, char* buffer, int size) {
  Window* w = Find(hwnd);
  if (!w || !buffer || size <= 0) return 0;
  const int n = std::min(int(w->text.size()), size - 1);
  std::memcpy(buffer, w->text.data(), size_t(n));
  buffer[n] = 0;
  return n;
}

int GetWindowTextLengthA(HWND hwnd) {
  Window* w = Find(hwnd);
  return w ? int(w->text.size()) : 0;
}

int GetClassNameA(HWND hwnd, char* buffer, int size) {
  Window* w = Find(hwnd);
  if (!w || !buffer || size <= 0) return 0;
  const int n = std::min(int(w->cls->name.size()), size - 1);
  std::memcpy(buffer, w->cls->name.data(), size_t(n));
  buffer[n] = 0;
  return n;
}

BOOL TranslateMessage(const MSG* msg) {
  return msg && msg->message >= WM_KEYDOWN && msg->message <= WM_SYSKEYUP ? 1 : 0;
}

// --- relations -------------------------------------------------------------------------------

HWND GetParent(HWND hwnd) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  return w->TopLevel() ? w->owner : w->parent;
}

HWND GetAncestor(HWND hwnd, UINT flags) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  if (flags == GA_PARENT) return w->TopLevel() ? GetDesktopWindow() : w->parent;
  Window* root = Root(w);
  if (flags == GA_ROOTOWNER)
    while (root->owner && Find(root->owner)) root = Find(root->owner);
  return root->hwnd;
}

HWND GetWindow(HWND hwnd, UINT cmd) {
  Window* w = Find(hwnd);
  if (!w) return 0;
  if (cmd == GW_OWNER) return w->TopLevel() ? w->owner : 0;
  if (cmd == GW_CHILD) return w->children.empty() ? 0 : w->children.back();
  const std::vector<HWND>& list = SiblingList(w);
  const auto pos = std::find(list.begin(), list.end(), hwnd) - list.begin();
  const auto n = std::ptrdiff_t(list.size());
  switch (cmd) {
    case GW_HWNDFIRST: return list.back();
    case GW_HWNDLAST: return list.front();
    case GW_HWNDNEXT: return pos > 0 ? list[size_t(pos - 1)] : 0;  // next lower in the Z-order
    case GW_HWNDPREV: return pos + 1 < n ? list[size_t(pos + 1)] : 0;
  }
  return 0;
}

HWND SetParent(HWND child, HWND parent) {
  Window* w = Find(child);
  Window* p = Find(parent);
  if (!w || w->TopLevel() || !p || IsChild(child, parent) || child == parent) return 0;
  const HWND old = w->parent;
  InvalidateRect(old, nullptr, 1);
  RemoveFromSiblings(w);
  w->parent = parent;
  p->children.push_back(child);
  InvalidateWindow(w, Region(TRect{0, 0, w->client.Width(), w->client.Height()}), true, true);
  return old;
}

BOOL IsChild(HWND parent, HWND hwnd) {
  for (Window* w = Find(hwnd); w && !w->TopLevel();) {
    if (w->parent == parent) return 1;
    w = Find(w->parent);
  }
  return 0;
}

HWND GetDesktopWindow() { return kDesktopHandle; }

HWND FindWindowA(const char* className, const char* windowName) {
  for (Window* w : TopLevelWindows()) {
    if (className && strcasecmp(w->cls->name.c_str(), className) != 0) continue;
    if (windowName && w->text != windowName) continue;
    return w->hwnd;
  }
  return 0;
}
