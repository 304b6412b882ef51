// Collections of counted references: growth, index errors, read-only views,
// value-compared keys, cloning and the release of every item exactly once.
#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "sql/core/collections.h"
#include "sql/core/variant.h"

namespace {

// Counts its live instances, so a test sees every item released exactly once.
class TCountedItem : public TZAbstractObject {
public:
  static inline int live = 0;
  TCountedItem() { ++live; }
  ~TCountedItem() override { --live; }
};

class Collections : public ::testing::Test {
protected:
  void SetUp() override { TCountedItem::live = 0; }
  void TearDown() override { EXPECT_EQ(TCountedItem::live, 0); }

  static Ref<IZInterface> NewItem() { return Ref<IZInterface>(MakeRef<TCountedItem>()); }
  static Ref<IZInterface> Text(const char* text) { return Ref<IZInterface>(TZAnyValue::CreateWithString(text)); }
};

// The message an operation fails with, or "" when it does not fail.
template <class E, class F>
AnsiString ErrorOf(F action) {
  try {
    action();
  } catch (const E& e) {
    return e.Message();
  }
  return "";
}

TEST_F(Collections, GrowsInThePlatformSteps) {
  Ref<TZCollection> list = MakeRef<TZCollection>();
  std::vector<int> capacities;
  for (int i = 0; i < 96; ++i) {
    list->Add(nullptr);
    if (capacities.empty() || capacities.back() != list->Capacity()) capacities.push_back(list->Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
  EXPECT_EQ(list->GetCount(), 96);
  EXPECT_EQ(list->IndexOf(nullptr), -1);  // a null is never found, even among empty entries
}

TEST_F(Collections, BadIndicesFailWithTheListError) {
  Ref<TZCollection> list = MakeRef<TZCollection>();
  list->Add(NewItem());
  list->Add(NewItem());
  EXPECT_EQ(ErrorOf<EListError>([&] { list->Exchange(5, 0); }), "List index out of bounds (5)");
  EXPECT_EQ(ErrorOf<EListError>([&] { list->Get(2); }), "List index out of bounds (2)");
  EXPECT_EQ(ErrorOf<EListError>([&] { list->Insert(3, nullptr); }), "List index out of bounds (3)");
  EXPECT_EQ(ErrorOf<EListError>([&] { list->Delete(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(ErrorOf<EListError>([&] { list->SetCapacity(1); }), "List capacity out of bounds (1)");
  EXPECT_EQ(ErrorOf<EListError>([&] { list->SetCount(-1); }), "List count out of bounds (-1)");
  EXPECT_EQ(list->GetCount(), 2);
  list->Clear();
  EXPECT_THROW(list->First(), EListError);
  EXPECT_THROW(list->Last(), EListError);
}

TEST_F(Collections, ItemsAreKeptAliveAndReleasedOnce) {
  Ref<TZCollection> list = MakeRef<TZCollection>();
  for (int i = 0; i < 3; ++i) list->Add(NewItem());
  list->Delete(0);
  list->Add(NewItem());
  EXPECT_EQ(TCountedItem::live, 3);
  list->Clear();
  EXPECT_EQ(TCountedItem::live, 0);
  EXPECT_EQ(list->Capacity(), 0);

  for (int i = 0; i < 4; ++i) list->Add(NewItem());
  const Ref<IZInterface> first = NewItem();
  list->Insert(0, first);
  EXPECT_EQ(list->Capacity(), 8);
  EXPECT_EQ(list->IndexOf(first), 0);
  EXPECT_EQ(TCountedItem::live, 5);
  EXPECT_EQ(list->Remove(first), 0);
  EXPECT_EQ(list->Remove(first), -1);
}

TEST_F(Collections, SearchesByValueOnlyForComparableItems) {
  Ref<TZCollection> list = MakeRef<TZCollection>();
  list->Add(Text("abc"));
  list->Add(NewItem());
  EXPECT_EQ(list->IndexOf(Text("abc")), 0);  // a different object with an equal value
  EXPECT_EQ(list->IndexOf(Text("ABC")), -1);
  EXPECT_EQ(list->IndexOf(NewItem()), -1);  // plain objects match only themselves

  Ref<TZCollection> other = MakeRef<TZCollection>();
  EXPECT_FALSE(list->ContainsAll(other));
  EXPECT_FALSE(list->AddAll(other));
  EXPECT_EQ(list->GetCount(), 2);
  other->Add(Text("abc"));
  other->Add(Text("abc"));
  EXPECT_TRUE(list->ContainsAll(other));
  EXPECT_TRUE(list->AddAll(other));
  EXPECT_EQ(list->GetCount(), 4);
  EXPECT_TRUE(list->RemoveAll(other));
  EXPECT_EQ(list->GetCount(), 2);
  EXPECT_TRUE(list->RemoveAll(other));  // one match left for two items
  EXPECT_EQ(list->GetCount(), 1);
  EXPECT_FALSE(list->RemoveAll(other));
}

TEST_F(Collections, IteratorFollowsTheLiveCollection) {
  Ref<TZCollection> list = MakeRef<TZCollection>();
  list->Add(Text("a"));
  Ref<IZIterator> it = list->GetIterator();
  ASSERT_TRUE(it->HasNext());
  it->Next();
  EXPECT_FALSE(it->HasNext());
  EXPECT_EQ(it->Next(), nullptr);
  list->Add(Text("b"));
  ASSERT_TRUE(it->HasNext());
  EXPECT_EQ(Query<IZAnyValue>(it->Next())->GetString(), "b");
}

TEST_F(Collections, ToStringListsItemsAndForeignAddresses) {
  Ref<TZCollection> list = MakeRef<TZCollection>();
  TZVariant one;
  DefaultVarManager()->SetAsInteger(one, 1);
  list->Add(Ref<IZInterface>(MakeRef<TZAnyValue>(one)));
  // A counted object that is no library object shows as its address.
  class TForeign : public TInterfacedObject {};
  const Ref<IZInterface> foreign(MakeRef<TForeign>());
  list->Add(foreign);
  EXPECT_EQ(list->ToString(), "[1," + Format("<%p>", {static_cast<const void*>(foreign.get())}) + "]");

  const Ref<TCountedItem> item = MakeRef<TCountedItem>();
  EXPECT_EQ(item->ToString(), Format("%s <%p>", {item->ClassName(), static_cast<const void*>(item.get())}));
  EXPECT_EQ(ErrorOf<Exception>([&] { item->Clone(); }), "Clonning is not supported by this class");
  EXPECT_TRUE(item->Equals(Ref<IZInterface>(item)));
  EXPECT_FALSE(item->Equals(nullptr));
  EXPECT_TRUE(item->InstanceOf<IZObject>());
  EXPECT_FALSE(item->InstanceOf<IZCollection>());
}

TEST_F(Collections, ViewsRefuseChangesAndFollowTheirCollection) {
  Ref<TZHashMap> map = MakeRef<TZHashMap>();
  Ref<IZCollection> keys = map->GetKeys();
  const char* kRefused = "The operation is not allowed on not changeable collections";
  const Ref<IZInterface> key = Text("k");
  EXPECT_EQ(ErrorOf<EInvalidOperation>([&] { keys->Add(key); }), kRefused);
  EXPECT_EQ(ErrorOf<EInvalidOperation>([&] { keys->Insert(0, key); }), kRefused);
  EXPECT_EQ(ErrorOf<EInvalidOperation>([&] { keys->Put(0, key); }), kRefused);
  EXPECT_EQ(ErrorOf<EInvalidOperation>([&] { keys->Remove(key); }), kRefused);
  EXPECT_EQ(ErrorOf<EInvalidOperation>([&] { keys->Exchange(0, 0); }), kRefused);
  EXPECT_EQ(ErrorOf<EInvalidOperation>([&] { keys->Delete(0); }), kRefused);
  EXPECT_EQ(ErrorOf<EInvalidOperation>([&] { keys->Clear(); }), kRefused);
  EXPECT_EQ(ErrorOf<EInvalidOperation>([&] { keys->AddAll(keys); }), kRefused);
  EXPECT_EQ(ErrorOf<EInvalidOperation>([&] { keys->RemoveAll(keys); }), kRefused);
  EXPECT_EQ(keys->GetCount(), 0);
  map->Put(key, NewItem());
  EXPECT_EQ(keys->GetCount(), 1);
  EXPECT_EQ(map->GetKeys().get(), keys.get());
}

TEST_F(Collections, MapFindsValueComparedKeysByValue) {
  Ref<TZHashMap> map = MakeRef<TZHashMap>();
  const Ref<IZInterface> item = NewItem();
  map->Put(Text("abc"), item);
  EXPECT_EQ(map->Get(Text("abc")), item);
  EXPECT_EQ(map->Get(Text("ABC")), nullptr);
  map->Put(Text("abc"), NewItem());  // replaces the value, keeps one entry
  EXPECT_EQ(map->GetCount(), 1);
  EXPECT_NE(map->Get(Text("abc")), item);

  const Ref<IZInterface> a = NewItem(), b = NewItem();
  map->Put(a, b);
  EXPECT_EQ(map->Get(NewItem()), nullptr);  // plain objects match only themselves
  EXPECT_EQ(map->Get(a), b);
  // Removing by the stored key object itself.
  EXPECT_TRUE(map->Remove(map->GetKeys()->Last()));
  EXPECT_FALSE(map->Remove(a));
  EXPECT_EQ(map->GetCount(), 1);
  map->Clear();
  EXPECT_EQ(map->GetCount(), 0);
}

TEST_F(Collections, ClonedMapHasItsOwnLists) {
  Ref<TZHashMap> map = MakeRef<TZHashMap>();
  const Ref<IZInterface> shared = NewItem();
  map->Put(Text("a"), shared);
  Ref<IZHashMap> copy = Query<IZHashMap>(map->Clone());
  ASSERT_TRUE(copy);
  copy->Put(Text("b"), NewItem());
  EXPECT_EQ(copy->GetKeys()->GetCount(), 2);
  EXPECT_EQ(map->GetKeys()->GetCount(), 1);
  // Clonable keys are copied, other values shared.
  EXPECT_NE(copy->GetKeys()->Get(0).get(), map->GetKeys()->Get(0).get());
  EXPECT_EQ(copy->Get(Text("a")), shared);
}

}  // namespace
