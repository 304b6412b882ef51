// The user-interface thread's message loop (see message_loop.h). One process-
// wide queue guarded by a mutex; an eventfd wakes a blocked poll when another
// thread posts. Callbacks (timer procedures, descriptor watches, the dispatch
// hook) always run without the lock held, so they may use the queue freely.

#include "platform/rtl/message_loop.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/rtl/clock.h"
#include "platform/rtl/thread.h"

namespace {

constexpr UINT_PTR kFirstThreadTimerId = 0x7F00;

struct Timer {
  UINT elapse = 0;
  uint64_t due = 0;
  TIMERPROC proc = nullptr;
};

struct FdWatch {
  int id = 0;
  int fd = -1;
  short events = 0;
  TFdCallback callback;
};

struct Queue {
  std::mutex mutex;
  std::deque<MSG> posted;
  std::optional<int> quit_code;
  std::map<std::pair<HWND, UINT_PTR>, Timer> timers;
  UINT_PTR next_thread_timer = kFirstThreadTimerId;
  std::vector<FdWatch> watches;
  int next_watch_id = 1;
  TMessageDispatcher dispatcher;
  int wake_fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
};

Queue& TheQueue() {
  static Queue* queue = new Queue;  // lives for the whole run; threads may post at exit
  return *queue;
}

bool Matches(const MSG& msg, HWND hwnd, UINT min, UINT max) {
  if (hwnd != 0 && msg.hwnd != hwnd) return false;
  return (min == 0 && max == 0) || (msg.message >= min && msg.message <= max);
}

bool TimerMatches(HWND timer_hwnd, HWND hwnd, UINT min, UINT max) {
  MSG probe;
  probe.hwnd = timer_hwnd;
  probe.message = WM_TIMER;
  return Matches(probe, hwnd, min, max);
}

// Takes (or looks at) the next message in retrieval order. Timers due by
// timer_cutoff count; the lock must be held.
bool TakeMessage(Queue& q, MSG& msg, HWND hwnd, UINT min, UINT max, UINT remove,
                 uint64_t timer_cutoff) {
  for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
    if (!Matches(*it, hwnd, min, max)) continue;
    msg = *it;
    if (remove & PM_REMOVE) q.posted.erase(it);
    return true;
  }
  if (q.quit_code) {
    msg = MSG{0, WM_QUIT, static_cast<WPARAM>(*q.quit_code), 0, GetTickCount()};
    if (remove & PM_REMOVE) q.quit_code.reset();
    return true;
  }
  auto earliest = q.timers.end();
  for (auto it = q.timers.begin(); it != q.timers.end(); ++it) {
    if (it->second.due > timer_cutoff || !TimerMatches(it->first.first, hwnd, min, max)) continue;
    if (earliest == q.timers.end() || it->second.due < earliest->second.due) earliest = it;
  }
  if (earliest == q.timers.end()) return false;
  uint64_t now = GetTickCount64();
  msg = MSG{earliest->first.first, WM_TIMER, earliest->first.second,
            reinterpret_cast<LPARAM>(earliest->second.proc), static_cast<uint32_t>(now)};
  if (remove & PM_REMOVE) earliest->second.due = now + earliest->second.elapse;
  return true;
}

// What a retrieval looks for; a wait must not return for messages it would skip.
struct Filter {
  HWND hwnd = 0;
  UINT min = 0;
  UINT max = 0;
};

std::optional<uint64_t> NextTimerDue(Queue& q, const Filter& f) {
  std::optional<uint64_t> due;
  for (const auto& [key, timer] : q.timers) {
    if (!TimerMatches(key.first, f.hwnd, f.min, f.max)) continue;
    if (!due || timer.due < *due) due = timer.due;
  }
  return due;
}

void DrainWake(int fd) {
  uint64_t value;
  while (read(fd, &value, sizeof value) > 0) {
  }
}

// Polls the wake-up and the watched descriptors and runs the callbacks of the
// ready ones. timeout_ms as for poll(); true when anything was ready.
bool PollSources(Queue& q, int timeout_ms) {
  std::vector<FdWatch> watches;
  {
    std::lock_guard lock(q.mutex);
    watches = q.watches;
  }
  std::vector<pollfd> fds{{q.wake_fd, POLLIN, 0}};
  for (const FdWatch& watch : watches) fds.push_back({watch.fd, watch.events, 0});
  if (poll(fds.data(), fds.size(), timeout_ms) <= 0) return false;
  if (fds[0].revents) DrainWake(q.wake_fd);
  for (size_t i = 1; i < fds.size(); ++i) {
    if (!fds[i].revents) continue;
    bool still_watched;
    {
      std::lock_guard lock(q.mutex);
      int id = watches[i - 1].id;
      still_watched = std::any_of(q.watches.begin(), q.watches.end(),
                                  [id](const FdWatch& w) { return w.id == id; });
    }
    if (still_watched) watches[i - 1].callback(fds[i].fd, fds[i].revents);
  }
  return true;
}

bool HasWork(Queue& q, const Filter& f) {
  std::lock_guard lock(q.mutex);
  MSG msg;
  return TakeMessage(q, msg, f.hwnd, f.min, f.max, PM_NOREMOVE, GetTickCount64());
}

// Waits until there is something to retrieve or the clock reaches deadline.
// In virtual mode, instead of sleeping until a timer or the deadline, virtual
// time jumps there.
void WaitForWork(const Filter& filter, std::optional<uint64_t> deadline) {
  Queue& q = TheQueue();
  if (HasWork(q, filter) || PollSources(q, 0)) return;
  std::optional<uint64_t> until;
  {
    std::lock_guard lock(q.mutex);
    until = NextTimerDue(q, filter);
  }
  if (deadline && (!until || *deadline < *until)) until = deadline;
  uint64_t now = GetTickCount64();
  if (until && *until <= now) return;
  if (until && VirtualClockActive()) {
    AdvanceVirtualClock(*until - now);
    return;
  }
  int timeout = -1;
  if (until) timeout = static_cast<int>(std::min<uint64_t>(*until - now, std::numeric_limits<int>::max()));
  PollSources(q, timeout);
}

}  // namespace

bool PostMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Queue& q = TheQueue();
  {
    std::lock_guard lock(q.mutex);
    q.posted.push_back(MSG{hwnd, message, wparam, lparam, GetTickCount()});
  }
  WakeMessageLoop();
  return true;
}

void PostQuitMessage(int exit_code) {
  Queue& q = TheQueue();
  {
    std::lock_guard lock(q.mutex);
    q.quit_code = exit_code;
  }
  WakeMessageLoop();
}

bool PeekMessage(MSG& msg, HWND hwnd, UINT min, UINT max, UINT remove) {
  Queue& q = TheQueue();
  PollSources(q, 0);
  std::lock_guard lock(q.mutex);
  return TakeMessage(q, msg, hwnd, min, max, remove, GetTickCount64());
}

bool GetMessage(MSG& msg, HWND hwnd, UINT min, UINT max) {
  while (!PeekMessage(msg, hwnd, min, max, PM_REMOVE)) {
    WaitForWork(Filter{hwnd, min, max}, std::nullopt);
  }
  return msg.message != WM_QUIT;
}

void WaitMessage() { WaitForWork(Filter{}, std::nullopt); }

LRESULT DispatchMessage(const MSG& msg) {
  if (msg.message == WM_TIMER && msg.lParam != 0) {
    reinterpret_cast<TIMERPROC>(msg.lParam)(msg.hwnd, msg.message, msg.wParam, msg.time);
    return 0;
  }
  if (msg.message == WM_NULL && msg.hwnd == 0 && msg.wParam == kSynchronizeWParam) {
    CheckSynchronize();
    return 0;
  }
  TMessageDispatcher dispatcher;
  {
    Queue& q = TheQueue();
    std::lock_guard lock(q.mutex);
    dispatcher = q.dispatcher;
  }
  return dispatcher ? dispatcher(msg) : 0;
}

TMessageDispatcher SetMessageDispatcher(TMessageDispatcher dispatcher) {
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  std::swap(q.dispatcher, dispatcher);
  return dispatcher;
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse_ms, TIMERPROC proc) {
  Queue& q = TheQueue();
  {
    std::lock_guard lock(q.mutex);
    if (hwnd == 0 && !q.timers.count({0, id})) id = q.next_thread_timer++;
    UINT elapse = std::max(elapse_ms, USER_TIMER_MINIMUM);
    q.timers[{hwnd, id}] = Timer{elapse, GetTickCount64() + elapse, proc};
  }
  WakeMessageLoop();  // a blocked wait must recompute its time-out
  return id;
}

bool KillTimer(HWND hwnd, UINT_PTR id) {
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  return q.timers.erase({hwnd, id}) > 0;
}

int AddFdWatch(int fd, short events, TFdCallback callback) {
  Queue& q = TheQueue();
  int id;
  {
    std::lock_guard lock(q.mutex);
    id = q.next_watch_id++;
    q.watches.push_back(FdWatch{id, fd, events, std::move(callback)});
  }
  WakeMessageLoop();
  return id;
}

void RemoveFdWatch(int watch_id) {
  Queue& q = TheQueue();
  std::lock_guard lock(q.mutex);
  std::erase_if(q.watches, [watch_id](const FdWatch& w) { return w.id == watch_id; });
}

void WakeMessageLoop() {
  uint64_t one = 1;
  [[maybe_unused]] ssize_t written = write(TheQueue().wake_fd, &one, sizeof one);
}

bool ProcessMessages() {
  Queue& q = TheQueue();
  uint64_t cutoff = GetTickCount64();
  PollSources(q, 0);
  for (;;) {
    MSG msg;
    {
      std::lock_guard lock(q.mutex);
      if (!TakeMessage(q, msg, 0, 0, 0, PM_REMOVE, cutoff)) return true;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    DispatchMessage(msg);
  }
}

bool ProcessMessagesFor(std::uint32_t milliseconds) {
  uint64_t deadline = GetTickCount64() + milliseconds;
  for (;;) {
    if (!ProcessMessages()) return false;
    if (GetTickCount64() >= deadline) return true;
    WaitForWork(Filter{}, deadline);
  }
}
