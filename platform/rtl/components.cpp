// TPersistent and TComponent: ownership, names, free notifications and the
// component state.
#include "platform/rtl/components.h"

#include <algorithm>

#include "platform/rtl/text.h"

namespace {

[[noreturn]] void AssignError(const TObject* source, const TObject* dest) {
  AnsiString from = source ? source->ClassName() : AnsiString("nil");
  throw EConvertError("Cannot assign a " + from + " to a " + dest->ClassName());
}

}  // namespace

void TPersistent::Assign(const TPersistent* source) {
  if (source) {
    source->AssignTo(this);
    return;
  }
  AssignError(source, this);
}

void TPersistent::AssignTo(TPersistent* dest) const { AssignError(this, dest); }

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
  // Components deleted without Free still detach, but receivers then only
  // see the TComponent part of them.
  if (!removed_) TComponent::BeforeDestruction();
}

void TComponent::Free() {
  BeforeDestruction();
  delete this;
}

void TComponent::BeforeDestruction() {
  if (removed_) return;
  removed_ = true;
  Destroying();
  while (!freeNotifies_.empty()) {
    TComponent* other = freeNotifies_.back();
    freeNotifies_.pop_back();
    Unlink(other->freeNotifies_, this);
    other->Notification(this, opRemove);
  }
  while (!components_.empty()) components_.back()->Free();
  if (owner_) owner_->RemoveComponent(this);
}

void TComponent::SetName(const AnsiString& name) {
  if (name == name_) return;
  if (owner_ && !name.empty()) {
    TComponent* other = owner_->FindComponent(name);
    if (other && other != this)
      throw EComponentError("A component named " + name + " already exists");
  }
  name_ = name;
}

TComponent* TComponent::FindComponent(const AnsiString& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : components_)
    if (SameText(c->name_, name)) return c;
  return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component->name_.empty() && FindComponent(component->name_))
    throw EComponentError("A component named " + component->name_ + " already exists");
  if (component->owner_) component->owner_->RemoveComponent(component);
  components_.push_back(component);
  component->owner_ = this;
  if (InState(csDesigning)) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (component->owner_ != this) return;
  Notification(component, opRemove);
  Unlink(components_, component);
  component->owner_ = nullptr;
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveFreeNotification(component);
  // Owned components may free others while they are told; walk a copy.
  std::vector<TComponent*> owned = components_;
  for (TComponent* c : owned)
    if (std::find(components_.begin(), components_.end(), c) != components_.end() &&
        c != component)
      c->Notification(component, operation);
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
    freeNotifies_.push_back(component);
  if (std::find(component->freeNotifies_.begin(), component->freeNotifies_.end(), this) ==
      component->freeNotifies_.end())
    component->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  Unlink(freeNotifies_, component);
  Unlink(component->freeNotifies_, this);
}

void TComponent::Unlink(std::vector<TComponent*>& list, TComponent* component) {
  list.erase(std::remove(list.begin(), list.end(), component), list.end());
}

void TComponent::SetDesigning(bool value) {
  if (value) state_ |= csDesigning;
  else state_ &= ~unsigned(csDesigning);
  for (TComponent* c : components_) c->SetDesigning(value);
}

void TComponent::BeginLoading() {
  state_ |= csLoading | csReading;
  for (TComponent* c : components_) c->BeginLoading();
}

void TComponent::EndLoading() {
  state_ &= ~unsigned(csReading);
  for (TComponent* c : components_) c->EndLoading();
  Loaded();
}

void TComponent::Loaded() { state_ &= ~unsigned(csLoading); }
