// Reference counting of counted objects: construction, queries, destruction
// order and contained objects that count on their owner.
#include "platform/rtl/objects.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_log;

class IZNamed : public virtual IInterface {
public:
  virtual AnsiString Name() = 0;
};

class IZHolder : public virtual IInterface {
public:
  virtual void Hold(const Ref<IInterface>& item) = 0;
  virtual void Drop() = 0;
};

class THolder : public TInterfacedObject, public IZHolder {
public:
  void Hold(const Ref<IInterface>& item) override { held_ = item; }
  void Drop() override { held_ = nullptr; }

private:
  Ref<IInterface> held_;
};

// Hands `this` to another counted object inside its constructor, which takes
// and drops a reference before construction has finished.
class TSelfHanding : public TInterfacedObject, public IZNamed {
public:
  explicit TSelfHanding(const Ref<IZHolder>& holder) {
    holder->Hold(Ref<IInterface>(static_cast<IZNamed*>(this)));
    holder->Drop();
  }
  ~TSelfHanding() override { g_log.push_back("~TSelfHanding"); }
  AnsiString Name() override { return "self"; }
};

class TBase : public TInterfacedObject, public IZNamed {
public:
  void AfterConstruction() override { g_log.push_back("after " + Name()); }
  void BeforeDestruction() override { g_log.push_back("before " + Name()); }
  AnsiString Name() override { return "base"; }
};

class TDerived : public TBase {
public:
  AnsiString Name() override { return "derived"; }
  void BeforeDestruction() override {
    // A reference taken and dropped while being destroyed must not free twice.
    Ref<IZNamed> again = this;
    g_log.push_back("before derived");
  }
};

class IZMetadata : public virtual IInterface {
public:
  virtual int Columns() = 0;
};

class TMetadata : public TContainedObject, public IZMetadata {
public:
  using TContainedObject::TContainedObject;
  int Columns() override { return 3; }
};

class TConnection : public TInterfacedObject, public IZNamed {
public:
  TConnection() : metadata_(std::make_unique<TMetadata>(static_cast<IZNamed*>(this))) {}
  ~TConnection() override { g_log.push_back("~TConnection"); }
  AnsiString Name() override { return "connection"; }
  Ref<IZMetadata> Metadata() { return metadata_.get(); }

private:
  std::unique_ptr<TMetadata> metadata_;
};

class RefTest : public ::testing::Test {
protected:
  void SetUp() override { g_log.clear(); }
};

TEST_F(RefTest, ConstructorHandingThisOutDoesNotFreeEarly) {
  auto holder = MakeRef<THolder>();
  Ref<IZNamed> self = MakeRef<TSelfHanding>(holder);
  EXPECT_TRUE(g_log.empty());
  EXPECT_EQ(self->Name(), "self");
  self = nullptr;
  EXPECT_EQ(g_log, std::vector<std::string>{"~TSelfHanding"});
}

TEST_F(RefTest, HooksRunTheMostDerivedOverrideOnce) {
  {
    Ref<IZNamed> named = MakeRef<TDerived>();
    Ref<IZNamed> copy = named;
    EXPECT_EQ(g_log, std::vector<std::string>{"after derived"});
  }
  EXPECT_EQ(g_log, (std::vector<std::string>{"after derived", "before derived"}));
}

TEST_F(RefTest, CountsFollowCopiesMovesAndConversions) {
  Ref<TBase> object = MakeRef<TBase>();
  EXPECT_EQ(object->RefCount(), 1);
  Ref<IZNamed> named = object;
  Ref<IInterface> root = named;
  EXPECT_EQ(object->RefCount(), 3);
  Ref<IInterface> moved = std::move(root);
  EXPECT_FALSE(root);
  EXPECT_EQ(object->RefCount(), 3);
  named = named;  // self-assignment keeps the reference
  EXPECT_EQ(object->RefCount(), 3);
  EXPECT_EQ(object->ClassName(), "TBase");
}

TEST_F(RefTest, QueryFindsOtherInterfacesOrNull) {
  Ref<IInterface> root = MakeRef<TConnection>();
  Ref<IZNamed> named = Query<IZNamed>(root);
  ASSERT_TRUE(named);
  EXPECT_EQ(named->Name(), "connection");
  EXPECT_FALSE(Query<IZHolder>(root));
  EXPECT_TRUE(Query<IInterface>(named) == root);
}

TEST_F(RefTest, ContainedObjectKeepsItsOwnerAlive) {
  Ref<TConnection> connection = MakeRef<TConnection>();
  Ref<IZMetadata> metadata = connection->Metadata();
  EXPECT_EQ(connection->RefCount(), 2);
  connection = nullptr;
  EXPECT_TRUE(g_log.empty());
  EXPECT_EQ(metadata->Columns(), 3);
  EXPECT_TRUE(Query<IZMetadata>(metadata));  // queries answer for the contained object itself
  metadata = nullptr;
  EXPECT_EQ(g_log, std::vector<std::string>{"~TConnection"});
}

}  // namespace
