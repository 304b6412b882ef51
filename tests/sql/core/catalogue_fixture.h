// A fake server whose catalogue holds
//   t(id int primary key, name varchar(20), note varchar(20) default 'x')
// with three rows, and a connection to it; plus a cached, updatable result of
// a query as a driver's statement would make it.
#pragma once

#include <gtest/gtest.h>

#include "platform/rtl/lists.h"
#include "sql/core/dbc/cached_result_set.h"
#include "tests/sql/core/fake/fake_driver.h"

inline TZVariant Int(std::int64_t v) {
  TZVariant value;
  DefaultVarManager()->SetAsInteger(value, v);
  return value;
}

inline TZVariant Str(const AnsiString& v) {
  TZVariant value;
  DefaultVarManager()->SetAsString(value, v);
  return value;
}

class CatalogueTest : public ::testing::Test {
protected:
  void SetUp() override {
    Server().AddTable("t", {{{"id", stInteger}, {"name", stString}, {"note", stString}},
                            {{Int(1), Str("a"), Str("x")}, {Int(2), Str("b"), TZVariant()}, {Int(3), Str("c"), Str("z")}}});
    Server().PrimaryKeys["t"] = {"id"};
    Server().ColumnDefaults["t"]["note"] = "'x'";
    connection = driver->Connect("zdbc:fake-1://h/db", nullptr);
  }

  TZFakeServer& Server() { return driver->Server(); }
  Ref<IZDatabaseMetadata> Metadata() { return connection->GetMetadata(); }

  // The rows of sql ("SELECT * FROM " and a catalogue table, else the canned
  // result of that text) cached behind an updatable statement with the given
  // "name=value" lines.
  Ref<IZCachedResultSet> Open(const AnsiString& sql, std::initializer_list<const char*> properties = {}) {
    TStringList info;
    for (const char* line : properties) info.Add(line);
    Ref<IZStatement> statement = connection->CreateStatementWithProperties(&info);
    statement->SetResultSetConcurrency(rcUpdatable);
    return MakeRef<TZCachedResultSet>(MakeFakeDriverResultSet(statement, sql, RowsOf(sql)), sql, nullptr);
  }

  // Appends a row with the given id and name (columns 1 and 2). New rows go
  // after the rows fetched so far: reading all first keeps them last.
  static void Insert(IZCachedResultSet& rows, int id, const AnsiString& name) {
    rows.Last();
    rows.MoveToInsertRow();
    rows.UpdateInt(1, id);
    rows.UpdateString(2, name);
    rows.InsertRow();
  }

  const TZFakeResult& RowsOf(const AnsiString& sql) {
    for (const TZFakeTable& table : Server().Catalogue)
      if (sql == "SELECT * FROM " + table.Name) return table.Data;
    return Server().Results.at(sql);
  }

  Ref<TZFakeDriver> driver = MakeRef<TZFakeDriver>();
  Ref<IZConnection> connection;
};
