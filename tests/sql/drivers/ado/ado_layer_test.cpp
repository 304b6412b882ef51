// The ADO object layer against both ODBC drivers: opening and closing,
// counts of changed rows, transactions seen by the peers' own tools, moving
// over the rows held, sorting, batches of results and Czech text.

#include <gtest/gtest.h>

#include "tests/sql/drivers/ado/ado_test_support.h"

namespace {

using namespace ado_test;

class AdoLayer : public testing::TestWithParam<Peer> {
protected:
  PeerDatabase db{GetParam()};

  // A table t(id, name) with rows 1 .. count named "row <id>".
  std::string NumberTable(Connection15* connection, int count) {
    const std::string table = db.Table("numbers");
    Exec(connection, "CREATE TABLE " + table + " (id integer, name varchar(20))");
    for (int id = 1; id <= count; ++id)
      Exec(connection, "INSERT INTO " + table + " VALUES (" + std::to_string(id) + ", 'row " + std::to_string(id) + "')");
    return table;
  }

  Ref<Recordset15> Select(Connection15* connection, const std::string& sql, int maxRecords = 0) {
    auto recordset = MakeRef<Recordset15>();
    recordset->SetMaxRecords(maxRecords);
    recordset->Open(sql, Ref<Connection15>(connection));
    return recordset;
  }
};

TEST_P(AdoLayer, OpensAndClosesOnceEach) {
  auto connection = MakeRef<Connection15>();
  EXPECT_EQ(connection->State(), adStateClosed);
  connection->Open(db.ConnectionString(), db.User(), db.Password());
  EXPECT_EQ(connection->State(), adStateOpen);
  EXPECT_EQ(connection->DefaultDatabase(), GetParam() == Peer::PostgreSQL ? "kalmir" : "");
  EXPECT_EQ(ErrorOf([&] { connection->Open(db.ConnectionString(), db.User(), db.Password()); }),
            "[08002] Operation is not allowed when the object is open.");
  connection->Close();
  EXPECT_EQ(connection->State(), adStateClosed);
  const AnsiString closed = "[08003] Operation is not allowed when the object is closed.";
  EXPECT_EQ(ErrorOf([&] { connection->Close(); }), closed);
  EXPECT_EQ(ErrorOf([&] { Exec(connection.get(), "SELECT 1"); }), closed);
  EXPECT_EQ(ErrorOf([&] { connection->BeginTrans(); }), closed);
  EXPECT_EQ(connection->DefaultDatabase(), "");
}

TEST_P(AdoLayer, ExecuteCountsChangedRowsAndRaisesTheDriversError) {
  Ref<Connection15> connection = db.Connect();
  const std::string table = NumberTable(connection.get(), 3);
  Variant affected;
  Ref<Recordset15> result = connection->Execute("UPDATE " + table + " SET id = id + 10", affected, adExecuteNoRecords);
  EXPECT_EQ(affected.AsInteger(), 3);
  EXPECT_EQ(result->State(), adStateClosed);
  EXPECT_EQ(db.Oracle("SELECT min(id) FROM " + table), "11");

  const AnsiString error = ErrorOf([&] { Exec(connection.get(), "SELECT * FROM no_such_table_here"); });
  EXPECT_EQ(error.substr(0, 1), "[");
  EXPECT_NE(error.find("no_such_table_here"), AnsiString::npos) << error;
}

TEST_P(AdoLayer, TransactionsCommitOrLeaveNothingForThePeer) {
  Ref<Connection15> connection = db.Connect();
  const std::string table = NumberTable(connection.get(), 0);
  const AnsiString noTransaction = "[25000] No transaction is active.";
  EXPECT_EQ(ErrorOf([&] { connection->CommitTrans(); }), noTransaction);
  EXPECT_EQ(ErrorOf([&] { connection->RollbackTrans(); }), noTransaction);

  EXPECT_EQ(connection->BeginTrans(), 1);
  EXPECT_EQ(ErrorOf([&] { connection->BeginTrans(); }),
            "[25000] Only one transaction can be active on this session.");
  Exec(connection.get(), "INSERT INTO " + table + " VALUES (1, 'gone')");
  EXPECT_EQ(ErrorOf([&] { connection->Close(); }),
            "[25000] Operation cannot be performed while in a transaction.");
  connection->RollbackTrans();
  EXPECT_EQ(db.Oracle("SELECT count(*) FROM " + table), "0");

  connection->SetIsolationLevel(adXactSerializable);
  connection->BeginTrans();
  Exec(connection.get(), "INSERT INTO " + table + " VALUES (2, 'kept')");
  connection->CommitTrans();
  EXPECT_EQ(db.Oracle("SELECT name FROM " + table), "kept");
  // Auto-commit is on again.
  Exec(connection.get(), "INSERT INTO " + table + " VALUES (3, 'also')");
  EXPECT_EQ(db.Oracle("SELECT count(*) FROM " + table), "2");
}

TEST_P(AdoLayer, MovesOverFiveRows) {
  Ref<Connection15> connection = db.Connect();
  const std::string table = NumberTable(connection.get(), 5);
  Ref<Recordset15> rs = Select(connection.get(), "SELECT id FROM " + table + " ORDER BY id");
  auto id = [&] { return rs->Fields()->Item(0)->Value().AsInteger(); };
  EXPECT_EQ(rs->State(), adStateOpen);
  EXPECT_EQ(rs->RecordCount(), 5);
  EXPECT_FALSE(rs->Bof());
  EXPECT_FALSE(rs->Eof());
  EXPECT_EQ(rs->AbsolutePosition(), 1);
  EXPECT_EQ(id(), 1);

  const struct {
    int records, start;
    int position;  // AbsolutePosition after the move
    bool bof, eof;
  } moves[] = {
      {1, adBookmarkCurrent, 2, false, false}, {2, adBookmarkFirst, 3, false, false},
      {-1, adBookmarkLast, 4, false, false},   {0, adBookmarkLast, 5, false, false},
      {1, adBookmarkCurrent, adPosEOF, false, true}, {-2, adBookmarkCurrent, 4, false, false},
      {-9, adBookmarkCurrent, adPosBOF, true, false}, {7, adBookmarkFirst, adPosEOF, false, true},
      {-6, adBookmarkLast, adPosBOF, true, false},
  };
  for (const auto& m : moves) {
    rs->Move(m.records, m.start);
    EXPECT_EQ(rs->AbsolutePosition(), m.position) << m.records << " from " << m.start;
    EXPECT_EQ(rs->Bof(), m.bof);
    EXPECT_EQ(rs->Eof(), m.eof);
  }
  const AnsiString noRecord =
      "[24000] Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a "
      "current record.";
  EXPECT_EQ(ErrorOf([&] { id(); }), noRecord);
  EXPECT_EQ(ErrorOf([&] { rs->MovePrevious(); }), noRecord);
  EXPECT_EQ(ErrorOf([&] { rs->Move(-1); }), noRecord);
  rs->MoveLast();
  EXPECT_EQ(id(), 5);
  rs->MoveNext();
  EXPECT_EQ(ErrorOf([&] { rs->MoveNext(); }), noRecord);
  rs->MoveFirst();
  int seen = 0;
  for (; !rs->Eof(); rs->MoveNext()) seen += static_cast<int>(id());
  EXPECT_EQ(seen, 15);

  Ref<Recordset15> two = Select(connection.get(), "SELECT id FROM " + table + " ORDER BY id", 2);
  EXPECT_EQ(two->RecordCount(), 2);
  two->MoveLast();
  EXPECT_EQ(two->Fields()->Item("ID")->Value().AsInteger(), 2);
}

TEST_P(AdoLayer, NoRowsIsBothBofAndEof) {
  Ref<Connection15> connection = db.Connect();
  const std::string table = NumberTable(connection.get(), 0);
  Ref<Recordset15> rs = Select(connection.get(), "SELECT id, name FROM " + table);
  EXPECT_EQ(rs->State(), adStateOpen);
  EXPECT_TRUE(rs->Bof());
  EXPECT_TRUE(rs->Eof());
  EXPECT_EQ(rs->RecordCount(), 0);
  EXPECT_EQ(rs->AbsolutePosition(), adPosBOF);
  EXPECT_EQ(rs->Fields()->Count(), 2);
  EXPECT_EQ(rs->Fields()->Item(1)->Name(), "name");
  rs->MoveFirst();
  rs->MoveLast();
  rs->Move(3, adBookmarkFirst);
  EXPECT_TRUE(rs->Eof());
  EXPECT_NE(ErrorOf([&] { rs->MoveNext(); }), "<nothing raised>");
  EXPECT_NE(ErrorOf([&] { rs->Fields()->Item(0)->Value(); }), "<nothing raised>");
  rs->Close();
  EXPECT_EQ(rs->State(), adStateClosed);
  EXPECT_EQ(ErrorOf([&] { rs->RecordCount(); }), "[08003] Operation is not allowed when the object is closed.");
}

TEST_P(AdoLayer, SortOrdersTheHeldRowsAndEmptyRestoresThem) {
  Ref<Connection15> connection = db.Connect();
  const std::string table = db.Table("sorted");
  Exec(connection.get(), "CREATE TABLE " + table + " (id integer, name varchar(20))");
  Exec(connection.get(), "INSERT INTO " + table + " VALUES (1, 'b')");
  Exec(connection.get(), "INSERT INTO " + table + " VALUES (2, 'A')");
  Exec(connection.get(), "INSERT INTO " + table + " VALUES (3, 'č')");
  Exec(connection.get(), "INSERT INTO " + table + " VALUES (4, NULL)");
  Exec(connection.get(), "INSERT INTO " + table + " VALUES (5, 'b')");
  Ref<Recordset15> rs = Select(connection.get(), "SELECT id, name FROM " + table + " ORDER BY id");
  auto ids = [&] {
    std::string order;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) order += std::to_string(rs->Fields()->Item(0)->Value().AsInteger());
    return order;
  };
  const struct {
    const char* sort;
    const char* ids;
  } cases[] = {{"name", "42153"}, {"NAME DESC, id DESC", "35124"}, {"name ASC, id DESC", "42513"}, {"", "12345"}};
  for (const auto& c : cases) {
    rs->MoveLast();
    rs->SetSort(c.sort);
    EXPECT_EQ(rs->AbsolutePosition(), 1) << c.sort;
    EXPECT_EQ(ids(), c.ids) << c.sort;
  }
  EXPECT_EQ(ErrorOf([&] { rs->SetSort("nothing"); }),
            "[07009] Item cannot be found in the collection corresponding to the requested name or ordinal.");
}

TEST_P(AdoLayer, CzechTextRoundTripsInTheCLocale) {
  Ref<Connection15> connection = db.Connect();
  const std::string table = db.Table("czech");
  Exec(connection.get(), "CREATE TABLE " + table + " (name varchar(40))");
  const AnsiString text = "Příliš žluťoučký kůň úpěl ďábelské ódy";
  Exec(connection.get(), "INSERT INTO " + table + " VALUES ('" + text + "')");
  EXPECT_EQ(db.Oracle("SELECT name FROM " + table),
            reinterpret_cast<const char*>(u8"Příliš žluťoučký kůň úpěl ďábelské ódy"));
  Ref<Recordset15> rs = Select(connection.get(), "SELECT name FROM " + table + " WHERE name LIKE 'Příliš%'");
  ASSERT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(rs->Fields()->Item(0)->Value().AsString(), text);
  EXPECT_EQ(rs->Fields()->Item(0)->Value().Type(), varString);
}

TEST_P(AdoLayer, ClosingTheConnectionKeepsTheRowsHeldAndEndsPendingResults) {
  Ref<Connection15> connection = db.Connect();
  const std::string table = NumberTable(connection.get(), 2);
  Ref<Recordset15> rs = Select(connection.get(), "SELECT name FROM " + table + " ORDER BY id");
  connection->Close();
  rs->MoveLast();
  EXPECT_EQ(rs->Fields()->Item(0)->Value().AsString(), "row 2");
  Variant affected;
  EXPECT_FALSE(rs->NextRecordset(affected));
}

INSTANTIATE_TEST_SUITE_P(Peers, AdoLayer, testing::Values(Peer::SQLite, Peer::PostgreSQL), PeerName);

TEST(AdoLayerPostgreSQL, NextRecordsetWalksABatch) {
  PeerDatabase db(Peer::PostgreSQL);
  Ref<Connection15> connection = db.Connect();
  const std::string table = db.Table("batch");
  Exec(connection.get(), "CREATE TABLE " + table + " (id integer)");
  Exec(connection.get(), "INSERT INTO " + table + " VALUES (1), (2)");
  Variant affected;
  Ref<Recordset15> first =
      connection->Execute("UPDATE " + table + " SET id = id * 10; SELECT id FROM " + table + " ORDER BY id", affected,
                          adExecuteNoRecords);
  EXPECT_EQ(first->State(), adStateClosed);
  EXPECT_EQ(affected.AsInteger(), 2);
  Ref<Recordset15> second = first->NextRecordset(affected);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->State(), adStateOpen);
  EXPECT_EQ(second->RecordCount(), 2);
  second->MoveLast();
  EXPECT_EQ(second->Fields()->Item(0)->Value().AsInteger(), 20);
  EXPECT_FALSE(second->NextRecordset(affected));
  EXPECT_TRUE(VarIsEmpty(affected));
}

TEST(AdoLayerPostgreSQL, AFailingStatementOfABatchRaises) {
  PeerDatabase db(Peer::PostgreSQL);
  Ref<Connection15> connection = db.Connect();
  Variant affected;
  // The driver runs the whole batch at once, so the error comes with Execute.
  const AnsiString error = ErrorOf([&] { connection->Execute("SELECT 1; SELECT * FROM no_such_table_either", affected); });
  EXPECT_EQ(error.substr(0, 8), "[42P01] ") << error;
  EXPECT_NE(error.find("no_such_table_either"), AnsiString::npos) << error;
}

}  // namespace
