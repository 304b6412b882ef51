// Data sources and links: which notifications a link receives while its
// dataset opens, scrolls, edits and closes, what suspended controls hold back,
// and the master link's change and disable events.
#include <gtest/gtest.h>

#include "fixture.h"
#include "platform/db/data_source.h"

namespace {

class RecordingLink : public TDataLink {
public:
  std::vector<std::string> events;

protected:
  void LinkActiveChanged() override { events.push_back(Active() ? "active" : "inactive"); }
  void LinkRecordChanged(TField* field) override {
    events.push_back(field ? "record:" + field->FieldName() : "record");
  }
  void LinkEditingChanged() override { events.push_back(Editing() ? "editing" : "browsing"); }
  void LinkUpdateData() override { events.push_back("update"); }
};

struct LinkFixture : IdsFixture {
  LinkFixture() : IdsFixture({1, 2, 3}) {
    source->SetDataSet(ds);
    link.SetDataSource(source);
  }
  ~LinkFixture() {
    link.SetDataSource(nullptr);
    source->Free();
  }
  std::string Events() {
    std::string text = Join(link.events);
    link.events.clear();
    return text;
  }
  TDataSource* source = new TDataSource(nullptr);
  RecordingLink link;
};

}  // namespace

TEST(DataLinks, NotificationsWhileOpeningScrollingEditingAndClosing) {
  LinkFixture f;
  EXPECT_EQ(f.Events(), "");
  f.ds->Open();
  EXPECT_EQ(f.Events(), "active");
  f.ds->Next();
  EXPECT_EQ(f.Events(), "record");
  f.ds->Last();
  EXPECT_EQ(f.Events(), "record");
  f.ds->Edit();
  EXPECT_EQ(f.Events(), "editing record");
  f.Id()->SetValueAsInteger(9);
  EXPECT_EQ(f.Events(), "record:ID");
  f.ds->Post();
  EXPECT_EQ(f.Events(), "update browsing record");
  f.ds->Close();
  EXPECT_EQ(f.Events(), "inactive");
}

TEST(DataLinks, SuspendedControlsHoldNotificationsBack) {
  LinkFixture f;
  f.ds->Open();
  f.Events();
  f.ds->SuspendControls();
  f.ds->Next();
  f.ds->Next();
  f.ds->Edit();
  EXPECT_EQ(f.Events(), "");
  f.ds->SuspendControls();
  f.ds->ResumeControls();
  EXPECT_EQ(f.Events(), "") << "still suspended once";
  f.ds->ResumeControls();
  EXPECT_EQ(f.Events(), "editing record");

  f.ds->Cancel();
  f.Events();
  f.ds->SuspendControls();
  f.ds->Close();
  EXPECT_EQ(f.Events(), "") << "state changes wait too";
  f.ds->ResumeControls();
  EXPECT_EQ(f.Events(), "inactive");
}

TEST(DataLinks, DisabledSourceDeactivatesItsLinks) {
  LinkFixture f;
  f.ds->Open();
  f.source->SetEnabled(false);
  f.ds->Next();
  EXPECT_EQ(f.Events(), "active inactive");
  f.source->SetEnabled(true);
  EXPECT_EQ(f.Events(), "active");
}

TEST(DataLinks, FreeingTheDataSetDetachesItsSources) {
  TDataSource* source = new TDataSource(nullptr);
  RecordingLink link;
  auto* ds = new TTestDataSet(nullptr, {{"ID", ftInteger}});
  source->SetDataSet(ds);
  link.SetDataSource(source);
  ds->Open();
  ds->Free();
  EXPECT_EQ(source->DataSet(), nullptr);
  EXPECT_FALSE(link.Active());
  EXPECT_EQ(Join(link.events), "active inactive");
  link.SetDataSource(nullptr);
  source->Free();
}

TEST(DataLinks, CircularLinksAreDetected) {
  IdsFixture a({1}), b({2});
  TDataSource* sourceOfA = new TDataSource(nullptr);
  TDataSource* sourceOfB = new TDataSource(nullptr);
  sourceOfA->SetDataSet(a.ds);
  sourceOfB->SetDataSet(b.ds);
  b.ds->paramSource = sourceOfA;
  EXPECT_TRUE(a.ds->IsLinkedWith(sourceOfA));
  EXPECT_TRUE(a.ds->IsLinkedWith(sourceOfB)) << "b reads a";
  EXPECT_FALSE(b.ds->IsLinkedWith(sourceOfA));
  sourceOfA->Free();
  sourceOfB->Free();
}

struct MasterFixture {
  MasterFixture() {
    master.ds->AddRawRow({});
    source->SetDataSet(master.ds);
    link.SetDataSource(source);
    link.SetFieldNames("ID");
    link.OnMasterChange = [this](TMasterDataLink*) { events.push_back("change"); };
    link.OnMasterDisable = [this](TMasterDataLink*) { events.push_back("disable"); };
  }
  ~MasterFixture() {
    link.SetDataSource(nullptr);
    source->Free();
  }
  std::string Events() {
    std::string text = Join(events);
    events.clear();
    return text;
  }
  IdsFixture master{1, 2};
  IdsFixture detail{10, 20};
  TDataSource* source = new TDataSource(nullptr);
  TMasterDataLink link{detail.ds};
  std::vector<std::string> events;
};

TEST(MasterLinks, ChangeAndDisableEvents) {
  MasterFixture f;
  f.master.ds->Open();
  EXPECT_EQ(f.Events(), "") << "the detail is closed";
  f.detail.ds->Open();
  f.master.ds->Close();
  EXPECT_EQ(f.Events(), "disable");
  f.master.ds->Open();
  EXPECT_EQ(f.Events(), "change");
  ASSERT_EQ(f.link.Fields().size(), 1u);
  EXPECT_EQ(f.link.Fields()[0], f.master.Id());

  f.master.ds->Next();
  EXPECT_EQ(f.Events(), "change");
  f.master.ds->Edit();
  f.Events();
  f.master.Id()->SetValueAsInteger(5);
  EXPECT_EQ(f.Events(), "change");

  f.link.SetFieldNames("");
  EXPECT_EQ(f.Events(), "disable");
  f.master.ds->Cancel();
  EXPECT_EQ(f.Events(), "") << "no master fields, no change";
  EXPECT_THROW(f.link.SetFieldNames("NOPE"), EDatabaseError);
}

// A detail in edit mode is posted or cancelled before the master moves.
TEST(MasterLinks, MasterScrollEndsTheDetailsEdit) {
  MasterFixture f;
  f.master.ds->Open();
  f.detail.ds->Open();
  f.detail.ds->Edit();
  f.detail.Id()->SetValueAsInteger(11);
  f.master.ds->Next();
  EXPECT_EQ(f.detail.ds->State(), dsBrowse);
  EXPECT_EQ(ReadUnaligned<int32_t>(f.detail.ds->StoredValue(0, 0)->data()), 11);
}
