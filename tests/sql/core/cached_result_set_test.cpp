// The cached result set: fetching on demand, positioning, editing in place and
// the pending-change lists, with a resolver that records what it is asked to
// write (and can refuse).

#include <gtest/gtest.h>

#include "platform/rtl/format.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/messages.h"
#include "tests/sql/core/catalogue_fixture.h"
#include "tests/sql/core/sql_error.h"

namespace {

class RecordingResolver : public TZAbstractObject, public virtual IZCachedResolver {
public:
  void CalculateDefaults(IZCachedResultSet*, TZRowAccessor* row) override {
    bool isNull;
    calls.push_back("defaults " + row->GetString(1, isNull));
  }
  void PostUpdates(IZCachedResultSet*, TZRowUpdateType type, TZRowAccessor* oldRow, TZRowAccessor* newRow) override {
    static const char* const kinds[] = {"unmodified", "modified", "inserted", "deleted"};
    bool isNull;
    calls.push_back(Format("%s %s->%s", {kinds[type], oldRow->GetString(2, isNull), newRow->GetString(2, isNull)}));
    if (refuse) throw EZSQLException(42, "refused");
  }
  void UpdateAutoIncrementFields(IZCachedResultSet*, TZRowUpdateType, TZRowAccessor*, TZRowAccessor*,
                                 IZCachedResolver*) override {}

  std::vector<AnsiString> calls;
  bool refuse = false;
};

class CachedResultSet : public CatalogueTest {
protected:
  // Five rows (id 1..5, name n1..n5) behind a statement of the given kind.
  Ref<IZCachedResultSet> Rows(TZResultSetType type = rtScrollInsensitive,
                              TZResultSetConcurrency concurrency = rcUpdatable, int maxRows = 0) {
    TZFakeResult rows{{{"id", stInteger}, {"name", stString}}, {}};
    for (int i = 1; i <= 5; ++i) rows.Rows.push_back({Int(i), Str("n" + std::to_string(i))});
    Ref<IZStatement> statement = connection->CreateStatement();
    statement->SetResultSetType(type);
    statement->SetResultSetConcurrency(concurrency);
    statement->SetMaxRows(maxRows);
    native = MakeFakeDriverResultSet(statement, "select * from five", rows);
    return MakeRef<TZCachedResultSet>(native, "select * from five", resolver);
  }

  // The names of the rows as the cache holds them, deleted ones marked.
  static std::vector<AnsiString> Names(IZCachedResultSet& rows) {
    std::vector<AnsiString> names;
    rows.BeforeFirst();
    while (rows.Next()) names.push_back(rows.GetString(2) + (rows.RowDeleted() ? "(deleted)" : ""));
    return names;
  }

  static void Rename(IZCachedResultSet& rows, int row, const AnsiString& name) {
    rows.MoveAbsolute(row);
    rows.UpdateString(2, name);
    rows.UpdateRow();
  }

  Ref<RecordingResolver> resolver = MakeRef<RecordingResolver>();
  Ref<IZResultSet> native;
};

TEST_F(CachedResultSet, ReadsTheNativeRowsOnlyAsFarAsAMoveNeeds) {
  Ref<IZCachedResultSet> rows = Rows();
  EXPECT_EQ(native->GetRow(), 0);
  ASSERT_TRUE(rows->MoveAbsolute(2));
  EXPECT_EQ(native->GetRow(), 2);
  EXPECT_EQ(rows->GetString(2), "n2");
  rows->First();
  EXPECT_EQ(native->GetRow(), 2);
  EXPECT_FALSE(rows->IsLast());
  EXPECT_TRUE(native->IsAfterLast());
}

TEST_F(CachedResultSet, AbsoluteMovesCountNegativeRowsFromTheEnd) {
  struct {
    int row;
    bool on;
    int rowNo;
  } cases[] = {{-1, true, 5}, {-5, true, 1}, {-6, false, 0}, {6, false, 6}, {3, true, 3}, {7, false, 3}, {0, false, 0}};
  Ref<IZCachedResultSet> rows = Rows();
  for (const auto& c : cases) {
    EXPECT_EQ(rows->MoveAbsolute(c.row), c.on) << c.row;
    EXPECT_EQ(rows->GetRow(), c.rowNo) << c.row;
  }
  rows->MoveAbsolute(6);
  EXPECT_TRUE(rows->IsAfterLast());
  EXPECT_EQ(SQLError([&] { rows->GetInt(1); }), SZRowDataIsNotAvailable);
}

TEST_F(CachedResultSet, MaxRowsLimitsTheCacheButTheNativeResultIsReadToItsEnd) {
  Ref<IZCachedResultSet> rows = Rows(rtScrollInsensitive, rcUpdatable, 3);
  EXPECT_FALSE(rows->MoveAbsolute(4));
  EXPECT_EQ(rows->GetRow(), 0);
  EXPECT_TRUE(rows->Last());
  EXPECT_EQ(rows->GetRow(), 3);
  EXPECT_EQ(rows->GetInt(1), 3);
  EXPECT_TRUE(native->IsAfterLast());
}

TEST_F(CachedResultSet, ForwardOnlyAndReadOnlyRefusals) {
  Ref<IZCachedResultSet> forward = Rows(rtForwardOnly);
  forward->Next();
  forward->Next();
  EXPECT_EQ(SQLError([&] { forward->Previous(); }), SZOperationIsNotAllowed1);
  EXPECT_EQ(SQLError([&] { forward->CompareRows(1, 2, {1}, {true}); }), SZOperationIsNotAllowed1);

  Ref<IZCachedResultSet> readOnly = Rows(rtScrollInsensitive, rcReadOnly);
  readOnly->First();
  EXPECT_EQ(SQLError([&] { readOnly->UpdateInt(1, 9); }), SZOperationIsNotAllowed2);
  // Inserting checks no concurrency: the composed (empty) row is posted.
  readOnly->Last();
  readOnly->MoveToInsertRow();
  readOnly->InsertRow();
  EXPECT_EQ(readOnly->GetRow(), 6);
  EXPECT_EQ(SQLError([&] { dynamic_cast<TZCachedResultSet&>(*readOnly).Open(); }), SZResultsetIsAlreadyOpened);
}

TEST_F(CachedResultSet, CompareRowsOrdersByTheListedColumns) {
  Ref<IZCachedResultSet> rows = Rows();
  rows->Last();
  EXPECT_LT(rows->CompareRows(1, 2, {1}, {true}), 0);
  EXPECT_GT(rows->CompareRows(1, 2, {1}, {false}), 0);
  EXPECT_THROW(rows->CompareRows(1, 9, {1}, {true}), EListError);
}

TEST_F(CachedResultSet, ImmediateChangesPostAtOnce) {
  Ref<IZCachedResultSet> rows = Rows();
  Rename(*rows, 2, "b");
  Insert(*rows, 6, "n6");
  rows->MoveAbsolute(1);
  rows->DeleteRow();
  EXPECT_EQ(resolver->calls,
            (std::vector<AnsiString>{"modified n2->b", "defaults 6", "inserted n6->n6", "deleted n1->n1"}));
  EXPECT_FALSE(rows->IsPendingUpdates());
  EXPECT_EQ(Names(*rows), (std::vector<AnsiString>{"n1(deleted)", "b", "n3", "n4", "n5", "n6"}));
  rows->MoveAbsolute(2);
  EXPECT_FALSE(rows->RowUpdated());
  EXPECT_EQ(SQLError([&] { rows->MoveAbsolute(1), rows->UpdateRow(); }), SZCanNotUpdateDeletedRow);
  EXPECT_EQ(SQLError([&] { rows->MoveAbsolute(0), rows->MoveToInsertRow(), rows->UpdateRow(); }),
            SZCanNotUpdateEmptyRow);
  EXPECT_EQ(SQLError([&] { rows->DeleteRow(); }), SZCanNotDeleteEmptyRow);
  EXPECT_EQ(SQLError([&] { rows->MoveToCurrentRow(), rows->DeleteRow(); }), SZRowDataIsNotAvailable);
}

TEST_F(CachedResultSet, FailingImmediatePostRestoresTheRowAndRaises) {
  Ref<IZCachedResultSet> rows = Rows();
  rows->Last();
  resolver->refuse = true;
  struct {
    const char* operation;
    std::function<void()> change;
  } cases[] = {
      {"update", [&] { Rename(*rows, 2, "b"); }},
      {"delete", [&] { rows->MoveAbsolute(3), rows->DeleteRow(); }},
      {"insert", [&] { Insert(*rows, 6, "n6"); }},
  };
  for (const auto& c : cases) {
    try {
      c.change();
      ADD_FAILURE() << c.operation << " did not raise";
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.ErrorCode(), 42) << c.operation;
    }
    EXPECT_FALSE(rows->IsPendingUpdates()) << c.operation;
    EXPECT_EQ(Names(*rows), (std::vector<AnsiString>{"n1", "n2", "n3", "n4", "n5"})) << c.operation;
  }
  rows->MoveAbsolute(2);
  EXPECT_FALSE(rows->RowUpdated());
}

TEST_F(CachedResultSet, CachedInsertThenDeleteSendsNothing) {
  Ref<IZCachedResultSet> rows = Rows();
  rows->SetCachedUpdates(true);
  Insert(*rows, 6, "n6");
  rows->DeleteRow();
  EXPECT_FALSE(rows->IsPendingUpdates());
  rows->PostUpdates();
  EXPECT_TRUE(resolver->calls.empty());
  rows->Last();
  EXPECT_TRUE(rows->RowDeleted());
}

TEST_F(CachedResultSet, CancelUpdatesRestoresValuesAndDropsInserts) {
  Ref<IZCachedResultSet> rows = Rows();
  rows->SetCachedUpdates(true);
  Rename(*rows, 1, "a");
  Rename(*rows, 1, "aa");
  Insert(*rows, 6, "n6");
  rows->MoveAbsolute(3);
  rows->DeleteRow();
  EXPECT_TRUE(rows->IsPendingUpdates());
  rows->CancelUpdates();
  EXPECT_FALSE(rows->IsPendingUpdates());
  EXPECT_EQ(Names(*rows), (std::vector<AnsiString>{"n1", "n2", "n3", "n4", "n5", "n6(deleted)"}));
  rows->First();
  EXPECT_FALSE(rows->RowUpdated());
  EXPECT_TRUE(resolver->calls.empty());
}

TEST_F(CachedResultSet, PostingSendsEachPendingRowOnceWithItsFirstSavedVersion) {
  Ref<IZCachedResultSet> rows = Rows();
  rows->SetCachedUpdates(true);
  Rename(*rows, 1, "a");
  Rename(*rows, 1, "aa");
  Insert(*rows, 6, "n6");
  Rename(*rows, 2, "b");
  rows->MoveAbsolute(2);
  rows->RevertRecord();
  EXPECT_EQ(rows->GetString(2), "n2");
  // Switching cached updates off posts what is pending.
  rows->SetCachedUpdates(false);
  EXPECT_EQ(resolver->calls, (std::vector<AnsiString>{"modified n1->aa", "defaults 6", "inserted n6->n6"}));
  EXPECT_FALSE(rows->IsPendingUpdates());
  rows->MoveAbsolute(6);
  EXPECT_FALSE(rows->RowInserted());
}

TEST_F(CachedResultSet, FailingPostLeavesTheFailingRowAndLaterOnesPending) {
  Ref<IZCachedResultSet> rows = Rows();
  rows->SetCachedUpdates(true);
  Rename(*rows, 1, "a");
  Rename(*rows, 2, "b");
  resolver->refuse = true;
  EXPECT_THROW(rows->PostUpdates(), EZSQLException);
  EXPECT_TRUE(rows->IsPendingUpdates());
  resolver->refuse = false;
  rows->PostUpdates();
  EXPECT_EQ(resolver->calls, (std::vector<AnsiString>{"modified n1->a", "modified n1->a", "modified n2->b"}));
}

TEST_F(CachedResultSet, FailedImmediateChangeOfARowStillPendingKeepsItsOwnState) {
  Ref<IZCachedResultSet> rows = Rows();
  rows->SetCachedUpdates(true);
  Rename(*rows, 1, "a");
  Rename(*rows, 2, "b");
  resolver->refuse = true;
  EXPECT_THROW(rows->SetCachedUpdates(false), EZSQLException);
  // Row 2 is still pending from before; its failed change must not pull in
  // another row's saved copy.
  EXPECT_THROW(Rename(*rows, 2, "bb"), EZSQLException);
  EXPECT_EQ(Names(*rows), (std::vector<AnsiString>{"a", "bb", "n3", "n4", "n5"}));
  resolver->refuse = false;
  rows->PostUpdates();
  EXPECT_EQ(resolver->calls.back(), "modified n2->bb");
}

TEST_F(CachedResultSet, InitialRowShowsTheSavedValuesUntilTheNextMove) {
  Ref<IZCachedResultSet> rows = Rows();
  rows->SetCachedUpdates(true);
  Rename(*rows, 2, "b");
  rows->MoveToInitialRow();
  EXPECT_EQ(rows->GetString(2), "n2");
  rows->MoveToCurrentRow();
  EXPECT_EQ(rows->GetString(2), "n2");
  rows->MoveAbsolute(rows->GetRow());
  EXPECT_EQ(rows->GetString(2), "b");
  // Posting frees the saved copy; a row still showing it goes back to its
  // current version rather than to freed memory.
  rows->MoveToInitialRow();
  rows->PostUpdates();
  EXPECT_EQ(rows->GetString(2), "b");
}

TEST_F(CachedResultSet, CancelRowUpdatesDropsTheEditInProgress) {
  Ref<IZCachedResultSet> rows = Rows();
  rows->MoveAbsolute(4);
  rows->UpdateString(2, "d");
  EXPECT_EQ(rows->GetString(2), "d");
  rows->CancelRowUpdates();
  EXPECT_EQ(rows->GetString(2), "n4");
  EXPECT_TRUE(resolver->calls.empty());
}

TEST_F(CachedResultSet, TheFirstResolverStaysTheNativeOne) {
  Ref<IZCachedResultSet> rows = Rows();
  Ref<IZCachedResolver> other = MakeRef<RecordingResolver>();
  rows->SetResolver(other);
  EXPECT_EQ(rows->GetResolver().get(), other.get());
  EXPECT_EQ(rows->GetNativeResolver().get(), static_cast<IZCachedResolver*>(resolver.get()));
  rows->SetResolver(nullptr);
  rows->First();
  rows->UpdateString(2, "x");
  EXPECT_EQ(SQLError([&] { rows->UpdateRow(); }), SZResolverIsNotSpecified);
  EXPECT_EQ(rows->GetString(2), "n1");
}

}  // namespace
