// Navigation, editing and its error events, record-buffer resync, cursor
// synchronisation, bookmarks, temporary value states and calculated fields
// of TDataSet, checked through the hooks and events the test dataset logs.
#include <gtest/gtest.h>

#include "fixture.h"
#include "platform/db/data_source.h"

namespace {

struct Move {
  const char* name;
  void (*run)(TDataSet*);
};

const Move kOpen{"open", [](TDataSet* ds) { ds->Open(); }};
const Move kNext{"next", [](TDataSet* ds) { ds->Next(); }};
const Move kPrior{"prior", [](TDataSet* ds) { ds->Prior(); }};
const Move kFirst{"first", [](TDataSet* ds) { ds->First(); }};
const Move kLast{"last", [](TDataSet* ds) { ds->Last(); }};
const Move kClose{"close", [](TDataSet* ds) { ds->Close(); }};

struct NavigationCase {
  std::initializer_list<int> ids;
  std::vector<std::pair<Move, const char*>> steps;
};

}  // namespace

// After a failed fetch the cursor stands past the end, so the next move
// first puts it back on the active record ("sync"); when the cursor already
// stands there nothing is synchronised. Eof and Bof follow the platform:
// Bof right after Open and First, Eof after running past the last record.
TEST(DataSetNavigation, HookSequenceOnZeroOneAndThreeRows) {
  const NavigationCase cases[] = {
      {{},
       {{kOpen, "BeforeOpen open next>eof AfterOpen | eof=1 bof=1 recno=-1"},
        {kNext, "BeforeScroll | eof=1 bof=1 recno=-1"},
        {kPrior, "BeforeScroll | eof=1 bof=1 recno=-1"},
        {kLast, "BeforeScroll end prior>bof prior>bof AfterScroll | eof=1 bof=1 recno=-1"},
        {kFirst, "BeforeScroll start next>eof next>eof AfterScroll | eof=1 bof=1 recno=-1"},
        {kClose, "BeforeClose close AfterClose"}}},
      {{7},
       {{kOpen, "BeforeOpen open next>1 AfterOpen AfterScroll | eof=0 bof=1 recno=1"},
        {kNext, "BeforeScroll next>eof AfterScroll | eof=1 bof=0 recno=1"},
        {kNext, "BeforeScroll | eof=1 bof=0 recno=1"},
        {kPrior, "BeforeScroll sync:1 prior>bof AfterScroll | eof=0 bof=1 recno=1"},
        {kLast, "BeforeScroll end prior>1 AfterScroll | eof=1 bof=0 recno=1"},
        {kFirst, "BeforeScroll start next>1 AfterScroll | eof=0 bof=1 recno=1"},
        {kClose, "BeforeClose close AfterClose"}}},
      {{7, 8, 9},
       {{kOpen, "BeforeOpen open next>1 AfterOpen AfterScroll | eof=0 bof=1 recno=1"},
        {kNext, "BeforeScroll next>2 AfterScroll | eof=0 bof=0 recno=2"},
        {kNext, "BeforeScroll next>3 AfterScroll | eof=0 bof=0 recno=3"},
        {kNext, "BeforeScroll next>eof AfterScroll | eof=1 bof=0 recno=3"},
        {kPrior, "BeforeScroll sync:3 prior>2 AfterScroll | eof=0 bof=0 recno=2"},
        {kLast, "BeforeScroll end prior>3 AfterScroll | eof=1 bof=0 recno=3"},
        {kPrior, "BeforeScroll prior>2 AfterScroll | eof=0 bof=0 recno=2"},
        {kFirst, "BeforeScroll start next>1 AfterScroll | eof=0 bof=1 recno=1"},
        {kClose, "BeforeClose close AfterClose"}}},
  };
  for (const auto& c : cases) {
    IdsFixture f(c.ids);
    for (const auto& [move, expected] : c.steps) {
      move.run(f.ds);
      EXPECT_EQ(f.Step(), expected) << c.ids.size() << " rows, " << move.name;
    }
  }
}

TEST(DataSetNavigation, MoveByReportsTheDistanceMoved) {
  IdsFixture f({1, 2, 3, 4});
  f.ds->Open();
  EXPECT_EQ(f.ds->MoveBy(2), 2);
  EXPECT_EQ(f.ds->RecordNumber(), 3);
  EXPECT_EQ(f.ds->MoveBy(5), 1);
  EXPECT_TRUE(f.ds->Eof());
  EXPECT_EQ(f.ds->MoveBy(-10), -3);
  EXPECT_TRUE(f.ds->Bof());
  EXPECT_EQ(f.Id()->ValueAsInteger(), 1);
}

// Edit, Insert, Append, Post, Cancel and Delete over the rows 10, 20, 30
// (ids 1, 2, 3); new rows get the ids 4 and 5.
TEST(DataSetEditing, HookAndEventSequence) {
  IdsFixture f({10, 20, 30});
  f.ds->Open();
  f.ds->Next();
  f.Step();

  f.ds->Edit();
  EXPECT_EQ(f.Step(), "BeforeEdit edit AfterEdit | eof=0 bof=0 recno=2");
  EXPECT_EQ(f.ds->State(), dsEdit);
  f.Id()->SetValueAsInteger(21);
  EXPECT_TRUE(f.ds->Modified());
  f.ds->Post();
  EXPECT_EQ(f.Step(), "BeforePost post:2 current>2 AfterPost | eof=0 bof=0 recno=2");
  EXPECT_EQ(f.ds->State(), dsBrowse);

  // Insert puts the new record before the current one: the cursor goes back
  // to the record that was current when the insert started.
  f.ds->Insert();
  EXPECT_EQ(f.Step(), "BeforeInsert BeforeScroll OnNewRecord AfterInsert AfterScroll | eof=0 bof=0 recno=2");
  EXPECT_TRUE(f.Id()->IsNull());
  f.Id()->SetValueAsInteger(15);
  f.ds->Post();
  EXPECT_EQ(f.Step(), "BeforePost sync:2 insert:4 current>4 AfterPost | eof=0 bof=0 recno=2");

  // Append positions past the end (Eof stays set while appending).
  f.ds->Append();
  EXPECT_EQ(f.Step(), "BeforeInsert BeforeScroll end OnNewRecord AfterInsert AfterScroll | eof=1 bof=0 recno=0");
  f.Id()->SetValueAsInteger(40);
  f.ds->Post();
  EXPECT_EQ(f.Step(), "BeforePost end append:5 current>5 AfterPost | eof=0 bof=0 recno=5");

  f.ds->Edit();
  f.Id()->SetValueAsInteger(41);
  f.Step();
  f.ds->Cancel();
  EXPECT_EQ(f.Step(), "BeforeCancel cancel current>5 AfterCancel | eof=0 bof=0 recno=5");
  EXPECT_EQ(f.Id()->ValueAsInteger(), 40);

  f.ds->Insert();
  f.Step();
  f.ds->Cancel();
  EXPECT_EQ(f.Step(), "BeforeCancel sync:5 cancel current>5 AfterCancel | eof=0 bof=0 recno=5");
  EXPECT_EQ(f.ds->RowCount(), 5);

  // Deleting the last record leaves the new last one current.
  f.ds->Delete();
  EXPECT_EQ(f.Step(), "BeforeDelete BeforeScroll delete:5 current>3 AfterDelete AfterScroll | eof=0 bof=0 recno=4");
  f.ds->First();
  f.Step();
  f.ds->Delete();
  EXPECT_EQ(f.Step(), "BeforeDelete BeforeScroll delete:1 current>4 AfterDelete AfterScroll | eof=0 bof=0 recno=1");

  std::vector<int> stored;
  for (int row = 0; row < f.ds->RowCount(); ++row)
    stored.push_back(ReadUnaligned<int32_t>(f.ds->StoredValue(row, 0)->data()));
  EXPECT_EQ(stored, (std::vector<int>{15, 21, 30}));
}

TEST(DataSetEditing, DeleteWhileInsertingCancelsAndEditOfEmptyInserts) {
  IdsFixture f({});
  f.ds->Open();
  f.ds->Edit();
  EXPECT_EQ(f.ds->State(), dsInsert);
  f.ds->Delete();
  EXPECT_EQ(f.ds->State(), dsBrowse);
  EXPECT_EQ(f.ds->RowCount(), 0);
  EXPECT_TRUE(f.ds->HasNoRecords());
}

TEST(DataSetEditing, ScrollingPostsAModifiedRecordAndCancelsAnUnmodifiedOne) {
  IdsFixture f({1, 2});
  f.ds->Open();
  f.ds->Edit();
  f.Id()->SetValueAsInteger(5);
  f.ds->Next();
  EXPECT_EQ(ReadUnaligned<int32_t>(f.ds->StoredValue(0, 0)->data()), 5);
  f.ds->Edit();
  f.Step();
  f.ds->Prior();
  EXPECT_EQ(f.Step(), "BeforeCancel cancel current>2 AfterCancel BeforeScroll prior>1 AfterScroll | eof=0 bof=0 recno=1");
}

// Error events decide: fail raises the error and keeps the editing state,
// abort raises the silent EAbort, retry runs the step again.
TEST(DataSetEditing, ErrorEventsAndTheirActions) {
  struct Case {
    TDataAction action;
    const char* expected;
  };
  const Case cases[] = {
      {daFail, "EDatabaseError fail | BeforePost post:fail OnPostError | state=edit"},
      {daAbort, "EAbort Operation aborted | BeforePost post:fail OnPostError | state=edit"},
      {daRetry, "posted | BeforePost post:fail OnPostError post:1 current>1 AfterPost | state=browse"},
  };
  for (const auto& c : cases) {
    IdsFixture f({1});
    f.ds->Open();
    f.ds->Edit();
    f.Id()->SetValueAsInteger(2);
    f.Step();
    f.ds->failPosts = 1;
    f.ds->OnPostError = [&](TDataSet* ds, EDatabaseError& error, TDataAction& action) {
      static_cast<TTestDataSet*>(ds)->log.push_back("OnPostError");
      EXPECT_EQ(error.Message(), "fail");
      action = c.action;
    };
    std::string outcome = "posted";
    try {
      f.ds->Post();
    } catch (const Exception& e) {
      outcome = std::string(e.ClassName()) + " " + e.Message();
    }
    std::string state = f.ds->State() == dsEdit ? "edit" : "browse";
    EXPECT_EQ(outcome + " | " + Join(f.ds->log) + " | state=" + state, c.expected);
  }
}

TEST(DataSetEditing, DeleteAndEditErrorEvents) {
  IdsFixture f({1, 2});
  f.ds->Open();
  f.ds->failDeletes = 2;
  int calls = 0;
  f.ds->OnDeleteError = [&](TDataSet*, EDatabaseError&, TDataAction& action) {
    action = ++calls < 2 ? daRetry : daFail;
  };
  EXPECT_THROW(f.ds->Delete(), EDatabaseError);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(f.ds->RowCount(), 2);

  f.ds->failEdits = 1;
  f.ds->OnEditError = [](TDataSet*, EDatabaseError&, TDataAction& action) { action = daRetry; };
  f.ds->Edit();
  EXPECT_EQ(f.ds->State(), dsEdit);
}

// The buffer window of a data link that shows five records.
class WindowLink : public TDataLink {
public:
  std::vector<int> Ids() {
    std::vector<int> ids;
    int saved = ActiveRecord();
    for (int i = 0; i < RecordCount(); ++i) {
      SetActiveRecord(i);
      ids.push_back(DataSet()->FieldNamed("ID")->ValueAsInteger());
    }
    SetActiveRecord(saved);
    return ids;
  }
};

struct WindowFixture : IdsFixture {
  WindowFixture() : IdsFixture({1, 2, 3, 4, 5, 6, 7, 8, 9}) {
    source->SetDataSet(ds);
    link.SetBufferCount(5);
    link.SetDataSource(source);
    ds->Open();
    Step();
  }
  ~WindowFixture() { source->Free(); }
  TDataSource* source = new TDataSource(nullptr);
  WindowLink link;
};

TEST(DataSetBuffers, ScrollingKeepsTheWindowAndFetchesOnlyNewRecords) {
  WindowFixture f;
  EXPECT_EQ(f.link.Ids(), (std::vector<int>{1, 2, 3, 4, 5}));
  f.ds->MoveBy(3);
  EXPECT_EQ(f.Step(), "BeforeScroll AfterScroll | eof=0 bof=0 recno=4");
  f.ds->MoveBy(3);
  EXPECT_EQ(f.Step(), "BeforeScroll next>6 next>7 AfterScroll | eof=0 bof=0 recno=7");
  EXPECT_EQ(f.link.Ids(), (std::vector<int>{3, 4, 5, 6, 7}));
  EXPECT_EQ(f.link.ActiveRecord(), 4);
}

TEST(DataSetBuffers, AWiderLinkFillsTheWindowAroundTheCurrentRecord) {
  IdsFixture f({1, 2, 3, 4, 5, 6, 7, 8, 9});
  TDataSource* source = new TDataSource(nullptr);
  source->SetDataSet(f.ds);
  f.ds->Open();
  f.ds->MoveBy(6);
  f.Step();
  WindowLink link;
  link.SetBufferCount(5);
  link.SetDataSource(source);
  EXPECT_EQ(f.Step(), "next>8 next>9 next>eof sync:7 prior>6 prior>5 | eof=0 bof=0 recno=7");
  EXPECT_EQ(link.Ids(), (std::vector<int>{5, 6, 7, 8, 9}));
  EXPECT_EQ(link.ActiveRecord(), 2);
  link.SetDataSource(nullptr);
  source->Free();
}

TEST(DataSetBuffers, ResyncExactAndCentred) {
  WindowFixture f;
  f.ds->MoveBy(6);  // record 7, the last of the window 3..7
  f.Step();
  f.ds->SyncCursorPosition();
  f.ds->ResyncBuffers(rmExact | rmCenter);
  // Fetching after the window goes back to its last record first.
  EXPECT_EQ(f.Step(), "current>7 prior>6 prior>5 sync:7 next>8 next>9 | eof=0 bof=0 recno=7");
  EXPECT_EQ(f.link.Ids(), (std::vector<int>{5, 6, 7, 8, 9}));
  EXPECT_EQ(f.link.ActiveRecord(), 2);

  // Without centring the record keeps its place in the window.
  f.ds->SyncCursorPosition();
  f.ds->ResyncBuffers(0);
  EXPECT_EQ(f.link.Ids(), (std::vector<int>{5, 6, 7, 8, 9}));
  f.Step();

  // The current (last) record deleted behind the dataset's back: an exact
  // resync fails, a plain one falls back to a neighbouring record.
  f.ds->Last();
  f.ds->SyncCursorPosition();
  f.ds->DropRow(8);
  EXPECT_THROW(
      try { f.ds->ResyncBuffers(rmExact); } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), "Record not found");
        throw;
      },
      EDatabaseError);
  f.ds->ResyncBuffers(0);
  EXPECT_EQ(f.Id()->ValueAsInteger(), 8);
}

// The cursor is moved to the active record only when it stands elsewhere.
TEST(DataSetBuffers, CursorSynchronisedOnlyWhenItMoved) {
  WindowFixture f;
  f.ds->Next();  // inside the window: no fetch, the cursor stays on record 5
  EXPECT_EQ(f.Step(), "BeforeScroll AfterScroll | eof=0 bof=0 recno=2");
  f.ds->Edit();
  EXPECT_EQ(f.Step(), "BeforeEdit sync:2 edit AfterEdit | eof=0 bof=0 recno=2");
  f.Id()->SetValueAsInteger(20);
  f.ds->Post();
  EXPECT_EQ(f.Step(), "BeforePost post:2 current>2 prior>1 sync:2 next>3 next>4 next>5 AfterPost | eof=0 bof=0 recno=2");
  // The refill left the cursor on record 5: one synchronisation, then none.
  f.ds->SyncCursorPosition();
  f.ds->SyncCursorPosition();
  EXPECT_EQ(f.Step(), "sync:2 | eof=0 bof=0 recno=2");
}

TEST(DataSetBookmarks, RoundTripAndMissingRecord) {
  IdsFixture f({1, 2, 3});
  f.ds->Open();
  f.ds->Next();
  TBookmark mark = f.ds->TakeBookmark();
  EXPECT_EQ(mark.size(), 4u);
  f.ds->Last();
  f.Step();
  f.ds->ReturnToBookmark(mark);
  EXPECT_EQ(f.Step(), "BeforeScroll goto:2 current>2 AfterScroll | eof=0 bof=0 recno=2");
  EXPECT_EQ(f.Id()->ValueAsInteger(), 2);

  f.ds->DropRow(1);
  EXPECT_THROW(f.ds->ReturnToBookmark(mark), EDatabaseError);
  f.ds->DropBookmark(mark);
  EXPECT_TRUE(mark.empty());
}

TEST(DataSetFields, OldNewAndPendingValuesGoThroughTheTemporaryStates) {
  IdsFixture f({20});
  f.ds->Open();
  f.ds->Edit();
  f.Id()->SetValueAsInteger(99);
  EXPECT_EQ(f.Id()->PriorValue().AsInteger(), 20);
  EXPECT_EQ(f.Id()->PendingValue().AsInteger(), 99);
  EXPECT_EQ(f.Id()->ValueAsInteger(), 99);
  f.Id()->SetPendingValue(Variant(77));
  EXPECT_EQ(f.Id()->ValueAsInteger(), 77);
  EXPECT_EQ(f.ds->State(), dsEdit);
  f.ds->Post();
  EXPECT_EQ(f.Id()->PriorValue().AsInteger(), 77);
  EXPECT_EQ(f.ds->State(), dsBrowse);
}

TEST(DataSetFields, CalculatedFieldsFollowTheirDataFields) {
  TTestDataSet* ds = new TTestDataSet(nullptr, {{"ID", ftInteger}, {"TWICE", ftInteger, 0, fkCalculated}});
  ds->AddIds({4});
  ds->OnCalcFields = [](TDataSet* d) {
    EXPECT_EQ(d->State(), dsCalcFields);
    d->FieldNamed("TWICE")->SetValueAsInteger(d->FieldNamed("ID")->ValueAsInteger() * 2);
  };
  ds->Open();
  EXPECT_EQ(ds->FieldNamed("TWICE")->ValueAsInteger(), 8);
  ds->Edit();
  ds->FieldNamed("ID")->SetValueAsInteger(5);
  EXPECT_EQ(ds->FieldNamed("TWICE")->ValueAsInteger(), 10);
  ds->Free();
}

// The framework's own messages, raised by the operations that report them.
TEST(DataSetMessages, TextsOfTheFrameworkErrors) {
  IdsFixture f({});
  auto message = [](auto&& action) -> std::string {
    try {
      action();
    } catch (const EDatabaseError& e) {
      return e.Message();
    }
    return "no error";
  };
  EXPECT_EQ(message([&] { f.ds->Next(); }), "Cannot perform this operation on a closed dataset");
  f.ds->Open();
  EXPECT_EQ(message([&] { f.ds->FieldNamed("NAME"); }), "Field 'NAME' not found");
  EXPECT_EQ(message([&] { f.ds->Delete(); }), "Cannot perform this operation on an empty dataset");
  EXPECT_EQ(message([&] { f.ds->Post(); }), "Dataset not in edit or insert mode");
  EXPECT_EQ(message([&] { f.Id()->SetValueAsInteger(1); }), "Dataset not in edit or insert mode");
  f.ds->readOnly = true;
  EXPECT_EQ(message([&] { f.ds->Insert(); }), "Cannot modify a read-only dataset");
  f.ds->SetUniDirectional(true);
  EXPECT_EQ(message([&] { f.ds->Last(); }), "Operation not allowed on a unidirectional dataset");
  f.Id()->SetReadOnly(true);
  f.ds->readOnly = false;
  f.ds->Insert();
  EXPECT_EQ(message([&] { f.Id()->SetValueAsInteger(1); }), "Field 'ID' cannot be modified");
}

// A record too large for the platform's 16-bit record size cannot be opened.
TEST(DataSetBuffers, RecordSizeBeyondSixteenBitsIsARangeError) {
  TTestDataSet* ds = new TTestDataSet(nullptr, {{"TEXT", ftString, 70000}});
  EXPECT_THROW(ds->Open(), ERangeError);
  EXPECT_FALSE(ds->Active());
  ds->Free();
}

// Random navigation and editing over a five-record window: after every step
// the window shows consecutive stored rows around the current record, and
// Eof and Bof stand at the ends they claim.
TEST(DataSetBuffers, WindowStaysConsistentUnderRandomSteps) {
  WindowFixture f;
  unsigned seed = 12345;
  auto random = [&seed](int n) {
    seed = seed * 1103515245 + 12345;
    return static_cast<int>((seed >> 16) % n);
  };
  int nextValue = 100;
  for (int step = 0; step < 2000; ++step) {
    int op = random(12);
    switch (op) {
      case 0: f.ds->Next(); break;
      case 1: f.ds->Prior(); break;
      case 2: f.ds->MoveBy(random(13) - 6); break;
      case 3: f.ds->First(); break;
      case 4: f.ds->Last(); break;
      case 5: case 6:
        if (op == 5) f.ds->Insert();
        else f.ds->Append();
        f.Id()->SetValueAsInteger(nextValue++);
        f.ds->Post();
        break;
      case 7:
        if (f.ds->RowCount() > 2) f.ds->Delete();
        break;
      case 8:
        f.ds->Edit();
        f.Id()->SetValueAsInteger(nextValue++);
        if (random(2)) f.ds->Post();
        else f.ds->Cancel();
        break;
      case 9: f.link.SetBufferCount(1 + random(6)); break;
      case 10:
        f.ds->SyncCursorPosition();
        f.ds->ResyncBuffers(rmCenter);
        break;
      case 11: {
        TBookmark mark = f.ds->TakeBookmark();
        f.ds->MoveBy(random(9) - 4);
        f.ds->ReturnToBookmark(mark);
        break;
      }
    }
    std::vector<int> stored;
    for (int row = 0; row < f.ds->RowCount(); ++row)
      stored.push_back(ReadUnaligned<int32_t>(f.ds->StoredValue(row, 0)->data()));
    std::vector<int> window = f.link.Ids();
    ASSERT_FALSE(window.empty()) << "step " << step;
    auto start = std::search(stored.begin(), stored.end(), window.begin(), window.end());
    ASSERT_NE(start, stored.end()) << "step " << step << ": window is not a run of rows";
    int current = f.Id()->ValueAsInteger();
    ASSERT_EQ(window.at(f.link.ActiveRecord()), current) << "step " << step;
    int index = static_cast<int>(start - stored.begin()) + f.link.ActiveRecord();
    ASSERT_EQ(f.ds->RecordNumber(), index + 1) << "step " << step;
    if (f.ds->Eof()) {
      ASSERT_EQ(index, f.ds->RowCount() - 1) << "step " << step;
    }
    if (f.ds->Bof()) {
      ASSERT_EQ(index, 0) << "step " << step;
    }
    f.ds->log.clear();
  }
}
