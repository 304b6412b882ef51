// A window class for window-layer tests: every message is recorded, an
// optional handler may answer it first, the rest goes to DefWindowProcA.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/gui/user.h"

struct Recorded {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class RecordingWindows {
public:
  // A handler returning a value answers the message; nullopt passes it on.
  using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

  RecordingWindows() {
    static bool registered = false;
    if (!registered) {
      for (const auto& [name, style] : {std::pair{"RecWnd", UINT(0)}, std::pair{"RecWndDbl", UINT(CS_DBLCLKS)}}) {
        WNDCLASSEXA wc;
        wc.style = style;
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = name;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(std::uintptr_t(16));  // COLOR_BTNFACE + 1
        RegisterClassExA(&wc);
      }
      registered = true;
    }
    Current() = this;
  }
  ~RecordingWindows() {
    for (HWND h : created_) DestroyWindow(h);
    MSG msg;
    while (PeekMessage(msg, 0, 0, 0, PM_REMOVE)) DispatchMessage(msg);
    Current() = nullptr;
  }

  HWND Create(DWORD style, TRect r, HWND parent = 0, const char* cls = "RecWnd", DWORD exStyle = 0) {
    HWND h = CreateWindowExA(exStyle, cls, "Test", style, r.Left, r.Top, r.Width(), r.Height(), parent, 0,
                             nullptr, nullptr);
    if (!(style & WS_CHILD)) created_.push_back(h);
    return h;
  }
  void Clear() { log_.clear(); }
  // The recorded messages of one window, optionally only those in [min, max].
  std::vector<Recorded> Of(HWND hwnd, UINT min = 0, UINT max = 0xFFFFFFFF) const {
    std::vector<Recorded> out;
    for (const Recorded& r : log_)
      if (r.hwnd == hwnd && r.message >= min && r.message <= max) out.push_back(r);
    return out;
  }
  std::vector<UINT> MessagesOf(HWND hwnd, UINT min = 0, UINT max = 0xFFFFFFFF) const {
    std::vector<UINT> out;
    for (const Recorded& r : Of(hwnd, min, max)) out.push_back(r.message);
    return out;
  }
  Handler handler;

private:
  static RecordingWindows*& Current() {
    static RecordingWindows* current = nullptr;
    return current;
  }
  static LRESULT Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    RecordingWindows* self = Current();
    if (self) {
      self->log_.push_back({hwnd, message, wparam, lparam});
      if (self->handler)
        if (auto answer = self->handler(hwnd, message, wparam, lparam)) return *answer;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }
  std::vector<Recorded> log_;
  std::vector<HWND> created_;
};

inline void PumpAll() {
  MSG msg;
  while (PeekMessage(msg, 0, 0, 0, PM_REMOVE)) DispatchMessage(msg);
}
