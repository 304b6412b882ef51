// The object model: the root class TObject, reference-counted interfaces with
// the intrusive smart pointer Ref<T>, and the two counted base classes. A
// counted object frees itself when its last reference goes; a contained object
// has no count of its own and keeps its owner alive instead.
#pragma once

#include <atomic>
#include <cstddef>
#include <type_traits>
#include <utility>

#include "platform/rtl/strings.h"

// Root of every class of the system. AfterConstruction runs once the most
// derived constructor has finished (MakeRef calls it) and BeforeDestruction
// while the object is still whole, so both may call virtual methods.
class TObject {
public:
  virtual ~TObject() = default;

  // The class name of the most derived class, e.g. "TZCollection".
  AnsiString ClassName() const;

  virtual void AfterConstruction() {}
  virtual void BeforeDestruction() {}
};

// Root of every counted interface. Interfaces derive from it virtually, so a
// class that implements several of them still has one count. Objects are never
// deleted through an interface: the last Release frees them.
class IInterface {
public:
  virtual int AddRef() = 0;
  virtual int Release() = 0;

protected:
  virtual ~IInterface() = default;
};

// Intrusive counted reference. Copying adds a reference, destruction releases
// it. Taking a raw pointer adds a reference too, so `Ref<IZFoo> self = this;`
// is fine inside a method; new objects come from MakeRef, never from `new`.
template <class T>
class Ref {
public:
  struct AdoptTag {};

  Ref() = default;
  Ref(std::nullptr_t) {}
  Ref(T* p) : p_(p) {
    if (p_) p_->AddRef();
  }
  // Takes over a reference the caller already holds (no AddRef).
  Ref(T* p, AdoptTag) : p_(p) {}
  Ref(const Ref& other) : Ref(other.p_) {}
  Ref(Ref&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  template <class U>
    requires std::is_convertible_v<U*, T*>
  Ref(const Ref<U>& other) : Ref(static_cast<T*>(other.get())) {}
  template <class U>
    requires std::is_convertible_v<U*, T*>
  Ref(Ref<U>&& other) noexcept : p_(other.Detach()) {}

  ~Ref() {
    if (p_) p_->Release();
  }

  Ref& operator=(Ref other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }

  T* get() const { return p_; }
  T* operator->() const { return p_; }
  T& operator*() const { return *p_; }
  explicit operator bool() const { return p_ != nullptr; }

  // Gives up the reference without releasing it; the caller now owns it.
  T* Detach() { return std::exchange(p_, nullptr); }

  template <class U>
  bool operator==(const Ref<U>& other) const { return p_ == other.get(); }
  bool operator==(const T* other) const { return p_ == other; }
  bool operator==(std::nullptr_t) const { return p_ == nullptr; }

private:
  T* p_ = nullptr;
};

// Asks an object for another of its interfaces; null when it has none.
template <class I, class T>
Ref<I> Query(const Ref<T>& ref) {
  return Ref<I>(dynamic_cast<I*>(ref.get()));
}
template <class I, class T>
Ref<I> Query(T* object) {
  return Ref<I>(dynamic_cast<I*>(object));
}

// Base of counted objects. The count starts at 1 while the object is being
// built, so a constructor may hand `this` to other counted objects (which add
// and release references) without the object freeing itself; MakeRef adopts
// that first reference. The count is atomic because worker threads may hold
// references too. Release at zero runs BeforeDestruction, then deletes.
class TInterfacedObject : public TObject, public virtual IInterface {
public:
  int AddRef() override { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }
  int Release() override {
    int left = count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) Destroy();
    return left;
  }
  int RefCount() const { return count_.load(std::memory_order_relaxed); }

private:
  void Destroy();

  std::atomic<int> count_{1};
};

// An object that lives inside another (its controller) and has no count of its
// own: references to it add to and release the controller's count, so holding
// it keeps the controller alive. The controller owns and deletes it.
class TContainedObject : public TObject, public virtual IInterface {
public:
  explicit TContainedObject(IInterface* controller) : controller_(controller) {}

  int AddRef() override { return controller_->AddRef(); }
  int Release() override { return controller_->Release(); }
  IInterface* Controller() const { return controller_; }

private:
  IInterface* controller_;
};

// Creates a counted object: constructs it, takes over its construction
// reference, then runs AfterConstruction. Should AfterConstruction throw, the
// reference goes and the object is freed through the usual path.
template <class T, class... Args>
Ref<T> MakeRef(Args&&... args) {
  Ref<T> ref(new T(std::forward<Args>(args)...), typename Ref<T>::AdoptTag{});
  ref->AfterConstruction();
  return ref;
}
