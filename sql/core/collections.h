// Containers of counted references used across the SQL library: a growable
// list (TZCollection), a read-only view of one (TZUnmodifiableCollection), a
// forward iterator, and a small key/value map made of two parallel lists.
// Items are held by counted references; lookups are linear scans.
#pragma once

#include <vector>

#include "sql/core/abstract_object.h"

class IZCollection;

class IZIterator : public virtual IZObject {
public:
  virtual bool HasNext() const = 0;
  virtual Ref<IZInterface> Next() = 0;
};

class IZCollection : public virtual IZClonnable {
public:
  virtual Ref<IZInterface> Get(int index) const = 0;
  virtual void Put(int index, const Ref<IZInterface>& item) = 0;
  virtual int IndexOf(const Ref<IZInterface>& item) const = 0;
  virtual int GetCount() const = 0;
  virtual Ref<IZIterator> GetIterator() = 0;
  virtual Ref<IZInterface> First() const = 0;
  virtual Ref<IZInterface> Last() const = 0;
  virtual int Add(const Ref<IZInterface>& item) = 0;
  virtual void Insert(int index, const Ref<IZInterface>& item) = 0;
  virtual int Remove(const Ref<IZInterface>& item) = 0;
  virtual void Exchange(int index1, int index2) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual bool Contains(const Ref<IZInterface>& item) const = 0;
  virtual bool ContainsAll(const Ref<IZCollection>& col) const = 0;
  virtual bool AddAll(const Ref<IZCollection>& col) = 0;
  virtual bool RemoveAll(const Ref<IZCollection>& col) = 0;
};

class IZHashMap : public virtual IZClonnable {
public:
  virtual Ref<IZInterface> Get(const Ref<IZInterface>& key) const = 0;
  virtual void Put(const Ref<IZInterface>& key, const Ref<IZInterface>& value) = 0;
  virtual Ref<IZCollection> GetKeys() const = 0;
  virtual Ref<IZCollection> GetValues() const = 0;
  virtual int GetCount() const = 0;
  virtual bool Remove(const Ref<IZInterface>& key) = 0;
  virtual void Clear() = 0;
};

// Walks a live collection: items added meanwhile are visited.
class TZIterator : public TZAbstractObject, public virtual IZIterator {
public:
  explicit TZIterator(Ref<IZCollection> collection) : collection_(std::move(collection)) {}
  bool HasNext() const override;
  Ref<IZInterface> Next() override;

private:
  Ref<IZCollection> collection_;
  int currentIndex_ = 0;
};

class TZCollection : public TZAbstractObject, public virtual IZCollection {
public:
  static constexpr int kMaxListSize = 134217727;

  Ref<IZInterface> Get(int index) const override;
  void Put(int index, const Ref<IZInterface>& item) override;
  int IndexOf(const Ref<IZInterface>& item) const override;
  int GetCount() const override { return count_; }
  Ref<IZIterator> GetIterator() override;
  Ref<IZInterface> First() const override;
  Ref<IZInterface> Last() const override;
  int Add(const Ref<IZInterface>& item) override;
  void Insert(int index, const Ref<IZInterface>& item) override;
  int Remove(const Ref<IZInterface>& item) override;
  void Exchange(int index1, int index2) override;
  void Delete(int index) override;
  void Clear() override;
  bool Contains(const Ref<IZInterface>& item) const override;
  bool ContainsAll(const Ref<IZCollection>& col) const override;
  bool AddAll(const Ref<IZCollection>& col) override;
  bool RemoveAll(const Ref<IZCollection>& col) override;

  // Clonable items are cloned, the others shared.
  Ref<IZInterface> Clone() const override { return CloneCollection(); }
  Ref<TZCollection> CloneCollection() const;
  // "[item,item,...]".
  AnsiString ToString() const override;

  int Capacity() const { return capacity_; }
  void SetCapacity(int newCapacity);
  void SetCount(int newCount);

private:
  void CheckIndex(int index, int limit) const;
  void Grow();

  std::vector<Ref<IZInterface>> items_;  // capacity_ slots, the first count_ in use
  int count_ = 0;
  int capacity_ = 0;
};

// A read-only view that always shows the current content of its collection.
class TZUnmodifiableCollection : public TZAbstractObject, public virtual IZCollection {
public:
  explicit TZUnmodifiableCollection(Ref<IZCollection> collection)
      : collection_(std::move(collection)) {}

  Ref<IZInterface> Get(int index) const override { return collection_->Get(index); }
  int IndexOf(const Ref<IZInterface>& item) const override { return collection_->IndexOf(item); }
  int GetCount() const override { return collection_->GetCount(); }
  Ref<IZIterator> GetIterator() override;
  Ref<IZInterface> First() const override { return collection_->First(); }
  Ref<IZInterface> Last() const override { return collection_->Last(); }
  bool Contains(const Ref<IZInterface>& item) const override { return collection_->Contains(item); }
  bool ContainsAll(const Ref<IZCollection>& col) const override { return collection_->ContainsAll(col); }

  // Every changing operation fails.
  void Put(int index, const Ref<IZInterface>& item) override;
  int Add(const Ref<IZInterface>& item) override;
  void Insert(int index, const Ref<IZInterface>& item) override;
  int Remove(const Ref<IZInterface>& item) override;
  void Exchange(int index1, int index2) override;
  void Delete(int index) override;
  void Clear() override;
  bool AddAll(const Ref<IZCollection>& col) override;
  bool RemoveAll(const Ref<IZCollection>& col) override;

  // A new view over the same collection.
  Ref<IZInterface> Clone() const override;
  AnsiString ToString() const override;

private:
  Ref<IZCollection> collection_;
};

// Keys and values in two parallel lists; a key found by IndexOf, so
// value-comparable keys match by value.
class TZHashMap : public TZAbstractObject, public virtual IZHashMap {
public:
  TZHashMap();

  Ref<IZInterface> Get(const Ref<IZInterface>& key) const override;
  void Put(const Ref<IZInterface>& key, const Ref<IZInterface>& value) override;
  Ref<IZCollection> GetKeys() const override { return readOnlyKeys_; }
  Ref<IZCollection> GetValues() const override { return readOnlyValues_; }
  int GetCount() const override { return keys_->GetCount(); }
  bool Remove(const Ref<IZInterface>& key) override;
  void Clear() override;
  Ref<IZInterface> Clone() const override;

private:
  void SetLists(Ref<TZCollection> keys, Ref<TZCollection> values);

  Ref<TZCollection> keys_;
  Ref<IZCollection> readOnlyKeys_;
  Ref<TZCollection> values_;
  Ref<IZCollection> readOnlyValues_;
};
