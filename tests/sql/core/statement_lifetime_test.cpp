// A statement holds its last result set and that result set holds the
// statement. Callers may drop either without Close, in any order: the pair
// is freed once neither is held from outside, and a result set still held
// keeps its statement usable.

#include <gtest/gtest.h>

#include "sql/core/dbc/abstract_result_set.h"
#include "sql/core/dbc/abstract_statement.h"
#include "tests/sql/core/fake/fake_driver.h"

namespace {

int liveStatements = 0;
int liveResultSets = 0;

class CountedResultSet : public TZAbstractResultSet {
public:
  CountedResultSet(const Ref<IZStatement>& statement, const AnsiString& sql) : TZAbstractResultSet(statement, sql) {
    ++liveResultSets;
  }
  ~CountedResultSet() override { --liveResultSets; }
  bool IsClosed() const { return Closed; }
};

bool IsOpen(const Ref<IZResultSet>& resultSet) { return !dynamic_cast<CountedResultSet&>(*resultSet).IsClosed(); }

// Every execution gives an open result set, kept as the last one.
class CountedStatement : public TZAbstractStatement {
public:
  explicit CountedStatement(Ref<IZConnection> connection) : TZAbstractStatement(std::move(connection), nullptr) {
    ++liveStatements;
  }
  ~CountedStatement() override { --liveStatements; }

  Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override {
    Execute(sql);
    return LastResultSet;
  }
  bool Execute(const AnsiString& sql) override {
    auto resultSet = MakeRef<CountedResultSet>(Ref<IZStatement>(this), sql);
    resultSet->Open();
    SetLastResultSet(resultSet);
    return true;
  }
};

class StatementLifetime : public ::testing::Test {
protected:
  void TearDown() override {
    statement = nullptr;
    EXPECT_EQ(liveStatements, 0);
    EXPECT_EQ(liveResultSets, 0);
  }

  Ref<TZFakeDriver> driver = MakeRef<TZFakeDriver>();
  Ref<IZConnection> connection = driver->Connect("zdbc:fake-1://h/db", nullptr);
  Ref<IZStatement> statement = MakeRef<CountedStatement>(connection);
};

TEST_F(StatementLifetime, AnUnclosedStatementGoesWithTheResultItKept) {
  ASSERT_TRUE(statement->Execute("SELECT 1"));
  Ref<IZResultSet> first = statement->GetResultSet();
  ASSERT_TRUE(statement->Execute("SELECT 2"));
  EXPECT_FALSE(IsOpen(first));
  first = nullptr;
  EXPECT_EQ(liveResultSets, 1);

  statement = nullptr;
  EXPECT_EQ(liveStatements, 0);
  EXPECT_EQ(liveResultSets, 0);
}

TEST_F(StatementLifetime, AHeldStatementKeepsItsLastResultOpen) {
  statement->ExecuteQuery("SELECT 1");
  Ref<IZResultSet> again = statement->GetResultSet();
  ASSERT_TRUE(again);
  EXPECT_TRUE(IsOpen(again));
  EXPECT_EQ(again->GetStatement(), statement);
}

TEST_F(StatementLifetime, AnUnclosedResultKeepsItsStatementUntilItGoes) {
  Ref<IZResultSet> rows = statement->ExecuteQuery("SELECT 1");
  statement = nullptr;
  EXPECT_EQ(liveStatements, 1);
  EXPECT_TRUE(IsOpen(rows));

  // The statement still runs texts; its new result replaces the old one.
  Ref<IZStatement> owner = rows->GetStatement();
  ASSERT_TRUE(owner);
  ASSERT_TRUE(owner->Execute("SELECT 2"));
  Ref<IZResultSet> next = owner->GetResultSet();
  owner = nullptr;
  EXPECT_EQ(liveResultSets, 2);

  rows = nullptr;
  EXPECT_EQ(liveStatements, 1);
  next = nullptr;
  EXPECT_EQ(liveStatements, 0);
}

TEST_F(StatementLifetime, AResultDroppedFirstStaysWithItsStatement) {
  statement->ExecuteQuery("SELECT 1");
  EXPECT_EQ(liveResultSets, 1);
  statement = nullptr;
}

}  // namespace
