// The message loop of the user-interface thread: one queue of posted messages
// with Win32 message numbers, timers that deliver WM_TIMER, a quit message,
// file-descriptor watches (the display connection plugs in here) and a wake-up
// that other threads can use. The window layer sets the dispatch hook and
// gives window handles their meaning; this queue treats them as plain values,
// so windows, modal loops and pumping waits all run on this one loop.
//
// Retrieval order, as on the platform: posted messages first (in order), then
// the quit message, then timers that are due (earliest first). A timer has at
// most one WM_TIMER pending; after delivery it is due again one interval later.
#pragma once

#include <cstdint>
#include <functional>

using HWND = std::uintptr_t;  // opaque window handle value, 0 = no window
using UINT = std::uint32_t;
using UINT_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

struct MSG {
  HWND hwnd = 0;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  std::uint32_t time = 0;  // GetTickCount when the message was posted or generated
};

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_USER = 0x0400;
constexpr UINT PM_NOREMOVE = 0;
constexpr UINT PM_REMOVE = 1;
constexpr UINT USER_TIMER_MINIMUM = 10;  // shorter intervals are raised to this

using TIMERPROC = void (*)(HWND hwnd, UINT message, UINT_PTR id, std::uint32_t time);
using TMessageDispatcher = std::function<LRESULT(const MSG&)>;
using TFdCallback = std::function<void(int fd, short revents)>;

// Any thread may post; the loop wakes up.
bool PostMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
// The next retrieval after the posted messages gives WM_QUIT with exit_code in wParam.
void PostQuitMessage(int exit_code);

// Filters: hwnd 0 takes every window; min and max both 0 take every message.
// WM_QUIT is returned whatever the filter.
bool PeekMessage(MSG& msg, HWND hwnd, UINT min, UINT max, UINT remove);
// Blocks until a message is there; false when it is WM_QUIT.
bool GetMessage(MSG& msg, HWND hwnd, UINT min, UINT max);
// Blocks until a message, a due timer, a watched descriptor or a wake-up is there.
void WaitMessage();
// WM_TIMER with a timer procedure calls it; everything else goes to the hook.
LRESULT DispatchMessage(const MSG& msg);
// Sets the hook that DispatchMessage hands messages to; returns the previous one.
TMessageDispatcher SetMessageDispatcher(TMessageDispatcher dispatcher);

// With a window, the timer (hwnd, id) is created or replaced and id is
// returned. Without one, id replaces that thread timer when it exists;
// otherwise a new id is chosen and returned.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse_ms, TIMERPROC proc = nullptr);
bool KillTimer(HWND hwnd, UINT_PTR id);

// Calls callback on the loop's thread whenever fd reports one of events
// (poll bits). Returns an id for RemoveFdWatch.
int AddFdWatch(int fd, short events, TFdCallback callback);
void RemoveFdWatch(int watch_id);
// Makes a blocked wait of the loop return, from any thread, without a message.
void WakeMessageLoop();

// Dispatches everything that is there now, without blocking. Timers fire at
// most once per call. False when WM_QUIT was met; the quit stays posted so the
// main loop sees it too.
bool ProcessMessages();
// Keeps dispatching until milliseconds have passed on the clock (clock.h).
// False when WM_QUIT was met.
bool ProcessMessagesFor(std::uint32_t milliseconds);
