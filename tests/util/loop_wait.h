// Waiting in the component tests for what workers do: the message loop runs
// (so synchronised calls and posted messages are served) until a condition
// holds, or for a short while in which a wrong event would show.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "platform/gui/application.h"

// False after five seconds of real time.
inline bool PumpUntil(const std::function<bool()>& pred) {
  for (int i = 0; i < 5000; ++i) {
    Application->ProcessMessages();
    if (pred()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

inline void Settle(int milliseconds = 50) {
  for (int i = 0; i < milliseconds; ++i) {
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}
