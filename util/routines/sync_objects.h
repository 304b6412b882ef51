// Synchronisation objects of the utility library: a waitable handle with the
// platform's wait results, the named mutex, and two critical sections, one of
// which is locked for as long as an interface reference to it is held. Named
// objects are shared between processes (util/routines/named_objects.h).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/rtl/objects.h"
#include "platform/rtl/strings.h"

namespace detail {
class NamedMutex;
}

enum TWaitOutcome { woAbandoned, woError, woIoCompletion, woSignaled, woTimeout };

constexpr std::uint32_t kInfiniteWait = 0xFFFFFFFF;

class TUtlDispatcherObject : public TObject {
public:
  // Waits for the object to be signalled; kInfiniteWait waits without limit.
  TWaitOutcome WaitSignal(std::uint32_t timeoutMs = kInfiniteWait);

protected:
  // The platform's wait on the handle: 0 signalled, 0x80 abandoned, 0xC0 I/O
  // completion, 0x102 timeout, anything else an error.
  virtual std::uint32_t WaitForObject(std::uint32_t timeoutMs) = 0;
};

class TUtlMutex : public TUtlDispatcherObject {
public:
  // Creates the named mutex or opens the one of that name that exists;
  // EUtlMutexError "Failed to create mutex" when that fails.
  TUtlMutex(bool initialOwner, const AnsiString& name);
  ~TUtlMutex() override;

  const AnsiString& Name() const { return name_; }
  bool Existed() const { return existed_; }
  // Gives up one level of ownership; false when the caller does not own it.
  bool ReleaseOwnership();

protected:
  std::uint32_t WaitForObject(std::uint32_t timeoutMs) override;

private:
  AnsiString name_;
  bool existed_ = false;
  std::shared_ptr<detail::NamedMutex> handle_;
};

class TUtlCriticalSection : public TObject {
public:
  void Enter() { section_.lock(); }
  void Leave() { section_.unlock(); }

private:
  std::recursive_mutex section_;
};

// Holding a counted reference means holding the lock: AddRef enters, Release
// leaves, and neither ever frees the object (both answer -1).
class TUtlIntfCriticalSection : public TObject, public virtual IInterface {
public:
  int AddRef() override;
  int Release() override;

private:
  std::recursive_mutex section_;
};
