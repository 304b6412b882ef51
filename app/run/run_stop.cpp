// The stop flag of the backup run.
#include "app/run/run_stop.h"

#include <atomic>

namespace {

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

}  // namespace

void RequestRunStop() { stopRequested.store(true); }
bool RunStopRequested() { return stopRequested.load(); }
