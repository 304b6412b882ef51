// A handle of a client library owned for its whole life: released once,
// through the plain driver that made it, however its owner ends (a thrown
// error included). Every client-library handle a driver keeps lives in one of
// these; each driver names its own with the call that releases the handle.
#pragma once

#include <utility>

template <class PlainDriver, class Handle, void (*Release)(PlainDriver*, Handle)>
class TZClientHandle {
public:
  TZClientHandle() = default;
  TZClientHandle(PlainDriver* plainDriver, Handle handle) { Reset(plainDriver, handle); }
  ~TZClientHandle() { Reset(); }
  TZClientHandle(const TZClientHandle&) = delete;
  TZClientHandle& operator=(const TZClientHandle&) = delete;
  TZClientHandle(TZClientHandle&& other) noexcept { *this = std::move(other); }
  TZClientHandle& operator=(TZClientHandle&& other) noexcept {
    if (this != &other) {
      Reset(other.plainDriver_, other.handle_);
      other.handle_ = Handle();
    }
    return *this;
  }

  // Releases the handle held, then holds `handle` (none when empty).
  void Reset(PlainDriver* plainDriver = nullptr, Handle handle = Handle()) {
    if (handle_ != Handle()) Release(plainDriver_, handle_);
    plainDriver_ = plainDriver;
    handle_ = handle;
  }
  // Gives the handle up unreleased, to an owner that releases it itself
  // because it must hear the answer.
  Handle Take() {
    const Handle handle = handle_;
    handle_ = Handle();
    return handle;
  }
  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle(); }

private:
  // Not counted: whoever holds the handle holds the driver for longer.
  PlainDriver* plainDriver_ = nullptr;
  Handle handle_ = Handle();
};
