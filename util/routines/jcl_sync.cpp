// The synchronisation objects of jcl_sync.h over the process-local named
// objects and standard mutexes.

#include "util/routines/jcl_sync.h"

#include "util/routines/jcl_errors.h"
#include "util/routines/jcl_texts.h"
#include "util/routines/named_objects.h"

namespace {

constexpr std::uint32_t kWaitObject0 = 0x000;
constexpr std::uint32_t kWaitAbandoned = 0x080;
constexpr std::uint32_t kWaitIoCompletion = 0x0C0;
constexpr std::uint32_t kWaitTimeout = 0x102;

}  // namespace

TWaitOutcome TJclDispatcherObject::WaitSignal(std::uint32_t timeoutMs) {
  switch (WaitForObject(timeoutMs)) {
    case kWaitObject0: return woSignaled;
    case kWaitAbandoned: return woAbandoned;
    case kWaitIoCompletion: return woIoCompletion;
    case kWaitTimeout: return woTimeout;
    default: return woError;
  }
}

TJclMutex::TJclMutex(bool initialOwner, const AnsiString& name) : name_(name) {
  handle_ = detail::CreateNamedMutex(name, existed_);
  if (!handle_) throw EJclMutexError(RsSynchCreateMutex);
  if (initialOwner && !existed_) handle_->Acquire(kInfiniteWait);
}

TJclMutex::~TJclMutex() = default;

bool TJclMutex::ReleaseOwnership() { return handle_->Release(); }

std::uint32_t TJclMutex::WaitForObject(std::uint32_t timeoutMs) {
  return handle_->Acquire(timeoutMs) ? kWaitObject0 : kWaitTimeout;
}

int TJclIntfCriticalSection::AddRef() {
  section_.lock();
  return -1;
}

int TJclIntfCriticalSection::Release() {
  section_.unlock();
  return -1;
}
