// A stop of the backup asked for from outside the run: the program asks for
// it on SIGTERM and SIGINT, and the run checks it while it waits, so a dump
// child is stopped and the protocol so far is saved before the program ends.
// A run blocked where it cannot check (a client call to a server that stopped
// answering) is ended by the stop watch: once a stop has waited kStopGraceMs,
// the watch runs the fallback the run left (saving its protocol) and ends the
// program with exit code 1.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>

inline constexpr std::uint32_t kStopGraceMs = 3000;

// Safe to call from a signal handler.
void RequestRunStop();
bool RunStopRequested();

// Starts the watch's thread; once per program.
void StartStopWatch();
// The fallback runs on the watch's thread under the lock LockStopWatch gives,
// so the run holds that lock around whatever the fallback reads.
void SetStopFallback(std::function<void()> fallback);
std::unique_lock<std::mutex> LockStopWatch();
