// Collections: TCollection holds items of one kind (made by its item
// factory), each a TCollectionItem that knows its index and a unique ID;
// changes reach the collection's Update, bracketed by BeginUpdate and
// EndUpdate. TOwnedCollection belongs to a component (as the property
// storage and the title bar's button and section lists need).
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/components.h"

class TCollection;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
public:
  // Adds itself to the collection (when one is given).
  explicit TCollectionItem(TCollection* collection);
  // Leaves its collection.
  ~TCollectionItem() override;
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;

  TCollection* Collection() const { return collection_; }
  void SetCollection(TCollection* collection);
  int Index() const;
  void SetIndex(int index);
  int ID() const { return id_; }
  // The item's name in lists: the class name unless a derived item says more.
  virtual AnsiString DisplayName() const { return ClassName(); }

protected:
  // Tells the collection that this item (or, with allItems, every item) changed.
  void Changed(bool allItems);

private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

class TCollection : public TPersistent {
public:
  using ItemFactory = std::function<TCollectionItem*(TCollection*)>;
  template <class Item>
  static ItemFactory ItemsOf() {
    return [](TCollection* c) -> TCollectionItem* { return new Item(c); };
  }

  explicit TCollection(ItemFactory factory);
  ~TCollection() override;
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;

  int Count() const { return int(items_.size()); }
  TCollectionItem* Items(int index) const;
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  TCollectionItem* FindItemID(int id) const;
  // Replaces the items with copies of another collection's (each through Assign).
  void Assign(const TPersistent* source) override;
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }
  // The object the collection belongs to (none for a plain collection).
  virtual TPersistent* Owner() const { return nullptr; }

protected:
  // An item changed, or (null) the whole collection; not while updating.
  virtual void Update(TCollectionItem*) {}
  virtual void Notify(TCollectionItem*, TCollectionNotification) {}

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  void Changed(TCollectionItem* item);

  ItemFactory factory_;
  std::vector<TCollectionItem*> items_;
  int nextId_ = 0;
  int updateCount_ = 0;
};

class TOwnedCollection : public TCollection {
public:
  TOwnedCollection(TPersistent* owner, ItemFactory factory) : TCollection(std::move(factory)), owner_(owner) {}
  TPersistent* Owner() const override { return owner_; }

private:
  TPersistent* owner_;
};
