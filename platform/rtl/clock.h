// The process-wide clock that timers and pumping waits read. Normally it is
// the monotonic system clock; tests switch it to virtual mode, where time
// stands still until advanced, so time-based behaviour runs without sleeping.
// In virtual mode a wait of the message loop that would block for a timer
// moves virtual time forward to that timer instead.
#pragma once

#include <cstdint>

// Milliseconds since an arbitrary start (the monotonic clock, or virtual time).
uint64_t GetTickCount64();
// The low 32 bits, wrapping like the platform's tick counter.
uint32_t GetTickCount();

// Switches virtual mode on or off. Virtual time starts at the real tick count
// of the moment it is switched on.
void SetVirtualClock(bool on);
bool VirtualClockActive();
// Moves virtual time forward (nothing in real mode).
void AdvanceVirtualClock(uint64_t milliseconds);

// Called after virtual time moved or the mode changed, on the thread that
// did it; waits that read the clock on other threads use it to look again.
void SetClockAdvanceListener(void (*listener)());

// Suspends the calling thread; on the virtual clock it moves time forward
// instead, so code that polls a device with pauses runs at once in tests.
void Sleep(uint32_t milliseconds);
