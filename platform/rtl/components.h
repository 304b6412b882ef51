// Components: TPersistent (assignable objects) and TComponent (named objects
// with an owner that frees them, free notifications and a component state for
// loading, designing and destroying). Windows, datasets, fields and the
// connection components all derive from TComponent.
#pragma once

#include <memory>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/objects.h"

VX_DECLARE_EXCEPTION(EComponentError, Exception)

class TPersistent : public TObject {
public:
  // Copies Source into this object; the base raises EConvertError
  // "Cannot assign a <source class> to a <this class>".
  virtual void Assign(const TPersistent* source);

protected:
  // Lets the source copy itself into a target class it knows; same error.
  virtual void AssignTo(TPersistent* dest) const;
};

enum TOperation { opInsert, opRemove };

enum TComponentStateFlag : unsigned {
  csLoading = 1, csReading = 2, csWriting = 4, csDestroying = 8, csDesigning = 16,
  csAncestor = 32, csUpdating = 64
};

// A component belongs to its owner, which frees it. Destroy components with
// Free(): it sends the removal notifications and frees owned components while
// every class of the object is still alive, so receivers may inspect it.
class TComponent : public TPersistent {
public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  void Free();

  TComponent* Owner() const { return owner_; }
  const AnsiString& Name() const { return name_; }
  // Raises EComponentError when another component of the owner has the name.
  void SetName(const AnsiString& name);

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(index); }
  TComponent* FindComponent(const AnsiString& name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  // Asks `component` to tell this one when it is freed (both directions are kept,
  // so neither side is left with a dangling entry).
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  unsigned ComponentState() const { return state_; }
  bool InState(TComponentStateFlag flag) const { return (state_ & flag) != 0; }
  void SetDesigning(bool value);
  // What a form reader does around setting stored properties: mark this
  // component and its owned ones as loading, then call Loaded on each.
  void BeginLoading();
  void EndLoading();
  // A form builder marks each component it creates as read, and once every
  // reference is fixed up calls Loaded on them one by one in creation order.
  void BeginReading() { state_ |= csLoading | csReading; }
  void FinishReading() {
    state_ &= ~unsigned(csReading);
    Loaded();
  }

  void BeforeDestruction() override;

protected:
  // Called for components inserted into or removed from the owner and for
  // freed components that asked for notification; passes it on to owned ones.
  virtual void Notification(TComponent* component, TOperation operation);
  virtual void Loaded();
  void Destroying() { state_ |= csDestroying; }

private:
  static void Unlink(std::vector<TComponent*>& list, TComponent* component);

  TComponent* owner_ = nullptr;
  AnsiString name_;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  unsigned state_ = 0;
  bool removed_ = false;
};

// Ends a component with Free(), so that std::unique_ptr can own one that has
// no owner: TOwned<TZQuery> query(new TZQuery(nullptr)).
struct TComponentFree {
  void operator()(TComponent* component) const { component->Free(); }
};
template <class T>
using TOwned = std::unique_ptr<T, TComponentFree>;
