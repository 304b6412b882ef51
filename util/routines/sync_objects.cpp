// The synchronisation objects of sync_objects.h over the named objects shared
// between processes and standard mutexes.

#include "util/routines/sync_objects.h"

#include "util/routines/util_errors.h"
#include "util/routines/util_texts.h"
#include "util/routines/named_objects.h"

namespace {

constexpr std::uint32_t kWaitObject0 = 0x000;
constexpr std::uint32_t kWaitAbandoned = 0x080;
constexpr std::uint32_t kWaitIoCompletion = 0x0C0;
constexpr std::uint32_t kWaitTimeout = 0x102;

}  // namespace

TWaitOutcome TUtlDispatcherObject::WaitSignal(std::uint32_t timeoutMs) {
  switch (WaitForObject(timeoutMs)) {
    case kWaitObject0: return woSignaled;
    case kWaitAbandoned: return woAbandoned;
    case kWaitIoCompletion: return woIoCompletion;
    case kWaitTimeout: return woTimeout;
    default: return woError;
  }
}

TUtlMutex::TUtlMutex(bool initialOwner, const AnsiString& name) : name_(name) {
  handle_ = detail::CreateNamedMutex(name, existed_);
  if (!handle_) throw EUtlMutexError(RsSynchCreateMutex);
  if (initialOwner && !existed_) handle_->Acquire(kInfiniteWait);
}

TUtlMutex::~TUtlMutex() = default;

bool TUtlMutex::ReleaseOwnership() { return handle_->Release(); }

std::uint32_t TUtlMutex::WaitForObject(std::uint32_t timeoutMs) { return handle_->Acquire(timeoutMs); }

int TUtlIntfCriticalSection::AddRef() {
  section_.lock();
  return -1;
}

int TUtlIntfCriticalSection::Release() {
  section_.unlock();
  return -1;
}
