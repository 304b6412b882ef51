// The library's list, read-only view, iterator and key/value map. The list
// grows in the platform's steps (4, 16, then a quarter) and reports index and
// size faults with the platform's list error.
#include "sql/core/collections.h"

#include <utility>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "sql/core/messages.h"

namespace {

[[noreturn]] void RaiseImmutable() { throw EInvalidOperation(SZImmutableOpIsNotAllowed); }

AnsiString ItemText(const Ref<IZInterface>& item) {
  if (const auto* object = dynamic_cast<const IZObject*>(item.get())) return object->ToString();
  return Format("<%p>", {static_cast<const void*>(item.get())});
}

}  // namespace

// --- TZIterator ---------------------------------------------------------------

bool TZIterator::HasNext() const { return currentIndex_ < collection_->GetCount(); }

Ref<IZInterface> TZIterator::Next() {
  if (!HasNext()) return nullptr;
  return collection_->Get(currentIndex_++);
}

// --- TZCollection -------------------------------------------------------------

void TZCollection::CheckIndex(int index, int limit) const {
  if (index < 0 || index > limit) throw EListError(Format(SZListIndexOutOfBounds, {index}));
}

void TZCollection::Grow() {
  int delta = 4;
  if (capacity_ > 64)
    delta = capacity_ / 4;
  else if (capacity_ > 8)
    delta = 16;
  SetCapacity(capacity_ + delta);
}

void TZCollection::SetCapacity(int newCapacity) {
  if (newCapacity < count_ || newCapacity > kMaxListSize)
    throw EListError(Format(SZListCapacityOutOfBounds, {newCapacity}));
  if (newCapacity == capacity_) return;
  items_.resize(newCapacity);
  capacity_ = newCapacity;
}

void TZCollection::SetCount(int newCount) {
  if (newCount < 0 || newCount > kMaxListSize) throw EListError(Format(SZListCountOutOfBounds, {newCount}));
  if (newCount > capacity_) SetCapacity(newCount);
  for (int i = newCount; i < count_; ++i) items_[i] = nullptr;
  count_ = newCount;
}

Ref<IZInterface> TZCollection::Get(int index) const {
  CheckIndex(index, count_ - 1);
  return items_[index];
}

void TZCollection::Put(int index, const Ref<IZInterface>& item) {
  CheckIndex(index, count_ - 1);
  items_[index] = item;
}

int TZCollection::IndexOf(const Ref<IZInterface>& item) const {
  if (count_ == 0 || !item) return -1;
  if (const auto* comparable = dynamic_cast<const IZComparable*>(item.get())) {
    for (int i = 0; i < count_; ++i)
      if (comparable->Equals(items_[i])) return i;
    return -1;
  }
  for (int i = 0; i < count_; ++i)
    if (items_[i].get() == item.get()) return i;
  return -1;
}

Ref<IZIterator> TZCollection::GetIterator() { return MakeRef<TZIterator>(Ref<IZCollection>(this)); }

Ref<IZInterface> TZCollection::First() const { return Get(0); }

Ref<IZInterface> TZCollection::Last() const { return Get(count_ - 1); }

int TZCollection::Add(const Ref<IZInterface>& item) {
  if (count_ == capacity_) Grow();
  items_[count_] = item;
  return count_++;
}

void TZCollection::Insert(int index, const Ref<IZInterface>& item) {
  CheckIndex(index, count_);
  if (count_ == capacity_) Grow();
  for (int i = count_; i > index; --i) items_[i] = std::move(items_[i - 1]);
  items_[index] = item;
  ++count_;
}

int TZCollection::Remove(const Ref<IZInterface>& item) {
  const int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void TZCollection::Exchange(int index1, int index2) {
  CheckIndex(index1, count_ - 1);
  CheckIndex(index2, count_ - 1);
  std::swap(items_[index1], items_[index2]);
}

void TZCollection::Delete(int index) {
  CheckIndex(index, count_ - 1);
  // Taken out first, so that an item whose release touches this list sees it consistent.
  Ref<IZInterface> removed = std::move(items_[index]);
  for (int i = index; i < count_ - 1; ++i) items_[i] = std::move(items_[i + 1]);
  --count_;
}

void TZCollection::Clear() {
  SetCount(0);
  SetCapacity(0);
}

bool TZCollection::Contains(const Ref<IZInterface>& item) const { return IndexOf(item) >= 0; }

bool TZCollection::ContainsAll(const Ref<IZCollection>& col) const {
  const int count = col->GetCount();
  if (count == 0) return false;
  for (int i = 0; i < count; ++i)
    if (!Contains(col->Get(i))) return false;
  return true;
}

bool TZCollection::AddAll(const Ref<IZCollection>& col) {
  const int count = col->GetCount();
  for (int i = 0; i < count; ++i) Add(col->Get(i));
  return count > 0;
}

bool TZCollection::RemoveAll(const Ref<IZCollection>& col) {
  bool removed = false;
  const int count = col->GetCount();
  for (int i = 0; i < count; ++i)
    if (Remove(col->Get(i)) >= 0) removed = true;
  return removed;
}

Ref<TZCollection> TZCollection::CloneCollection() const {
  Ref<TZCollection> copy = MakeRef<TZCollection>();
  for (int i = 0; i < count_; ++i) {
    const auto* clonable = dynamic_cast<const IZClonnable*>(items_[i].get());
    copy->Add(clonable ? clonable->Clone() : items_[i]);
  }
  return copy;
}

AnsiString TZCollection::ToString() const {
  AnsiString text = "[";
  for (int i = 0; i < count_; ++i) {
    if (i > 0) text += ',';
    text += ItemText(items_[i]);
  }
  return text + "]";
}

// --- TZUnmodifiableCollection -------------------------------------------------

Ref<IZIterator> TZUnmodifiableCollection::GetIterator() {
  return MakeRef<TZIterator>(Ref<IZCollection>(this));
}

void TZUnmodifiableCollection::Put(int, const Ref<IZInterface>&) { RaiseImmutable(); }
int TZUnmodifiableCollection::Add(const Ref<IZInterface>&) { RaiseImmutable(); }
void TZUnmodifiableCollection::Insert(int, const Ref<IZInterface>&) { RaiseImmutable(); }
int TZUnmodifiableCollection::Remove(const Ref<IZInterface>&) { RaiseImmutable(); }
void TZUnmodifiableCollection::Exchange(int, int) { RaiseImmutable(); }
void TZUnmodifiableCollection::Delete(int) { RaiseImmutable(); }
void TZUnmodifiableCollection::Clear() { RaiseImmutable(); }
bool TZUnmodifiableCollection::AddAll(const Ref<IZCollection>&) { RaiseImmutable(); }
bool TZUnmodifiableCollection::RemoveAll(const Ref<IZCollection>&) { RaiseImmutable(); }

Ref<IZInterface> TZUnmodifiableCollection::Clone() const {
  return MakeRef<TZUnmodifiableCollection>(collection_);
}

AnsiString TZUnmodifiableCollection::ToString() const { return collection_->ToString(); }

// --- TZHashMap ----------------------------------------------------------------

TZHashMap::TZHashMap() { SetLists(MakeRef<TZCollection>(), MakeRef<TZCollection>()); }

void TZHashMap::SetLists(Ref<TZCollection> keys, Ref<TZCollection> values) {
  keys_ = std::move(keys);
  values_ = std::move(values);
  readOnlyKeys_ = MakeRef<TZUnmodifiableCollection>(Ref<IZCollection>(keys_));
  readOnlyValues_ = MakeRef<TZUnmodifiableCollection>(Ref<IZCollection>(values_));
}

Ref<IZInterface> TZHashMap::Get(const Ref<IZInterface>& key) const {
  const int index = keys_->IndexOf(key);
  return index >= 0 ? values_->Get(index) : nullptr;
}

void TZHashMap::Put(const Ref<IZInterface>& key, const Ref<IZInterface>& value) {
  const int index = keys_->IndexOf(key);
  if (index >= 0) {
    values_->Put(index, value);
    return;
  }
  keys_->Add(key);
  values_->Add(value);
}

bool TZHashMap::Remove(const Ref<IZInterface>& key) {
  const Ref<IZInterface> keep = key;  // key may be the stored key object itself
  const int index = keys_->IndexOf(keep);
  if (index < 0) return false;
  keys_->Delete(index);
  values_->Delete(index);
  return true;
}

void TZHashMap::Clear() {
  keys_->Clear();
  values_->Clear();
}

Ref<IZInterface> TZHashMap::Clone() const {
  Ref<TZHashMap> copy = MakeRef<TZHashMap>();
  copy->SetLists(keys_->CloneCollection(), values_->CloneCollection());
  return copy;
}
