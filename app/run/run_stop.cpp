// The stop flag of the backup run and the stop watch.
#include "app/run/run_stop.h"

#include <semaphore.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

// Never destroyed: the watch's thread may still use them while the program ends.
struct TStopWatch {
  sem_t stopPosted;
  std::mutex lock;
  std::function<void()> fallback;
  std::atomic<bool> started{false};
};

TStopWatch& Watch() {
  static TStopWatch* watch = [] {
    auto* made = new TStopWatch;
    sem_init(&made->stopPosted, 0, 0);
    return made;
  }();
  return *watch;
}

}  // namespace

void RequestRunStop() {
  stopRequested.store(true);
  // sem_post is safe in a signal handler; the semaphore exists once the watch runs.
  static_cast<void>(sem_post(&Watch().stopPosted));
}

bool RunStopRequested() { return stopRequested.load(); }

void StartStopWatch() {
  TStopWatch& watch = Watch();
  if (watch.started.exchange(true)) return;
  std::thread([&watch] {
    while (sem_wait(&watch.stopPosted) != 0) {
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kStopGraceMs));
    {
      std::lock_guard<std::mutex> hold(watch.lock);
      if (watch.fallback) watch.fallback();
    }
    _exit(1);
  }).detach();
}

void SetStopFallback(std::function<void()> fallback) {
  std::lock_guard<std::mutex> hold(Watch().lock);
  Watch().fallback = std::move(fallback);
}

std::unique_lock<std::mutex> LockStopWatch() { return std::unique_lock<std::mutex>(Watch().lock); }
