// The SQLite bindings on the real version 3 library: the 2.8 row layout that
// the version 3 plain driver rebuilds, its error texts, failed opens, the
// calls the library lacks, and the absent 2.8 library.

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/sqlite/sqlite_binding.h"
#include "sql/drivers/sqlite/sqlite_plain_driver.h"
#include "tests/support/temp_folder.h"

namespace {

class SQLite3Binding : public ::testing::Test {
protected:
  void SetUp() override {
    plain->Initialize();
    char* errMsg = nullptr;
    handle = plain->Open(":memory:", 0, errMsg);
    ASSERT_NE(handle, nullptr);
    Run("CREATE TABLE t (id INTEGER PRIMARY KEY, name VARCHAR(20) UNIQUE)");
    Run("INSERT INTO t VALUES (1, 'one')");
  }
  void TearDown() override { plain->Close(handle); }

  void Run(const char* sql) {
    char* errMsg = nullptr;
    ASSERT_EQ(plain->Execute(handle, sql, nullptr, nullptr, errMsg), 0) << (errMsg ? errMsg : "");
  }
  Psqlite_vm Compile(const char* sql) {
    Psqlite_vm vm = nullptr;
    const char* tail = nullptr;
    char* errMsg = nullptr;
    EXPECT_EQ(plain->Compile(handle, sql, -1, tail, vm, errMsg), 0);
    EXPECT_EQ(errMsg, nullptr);
    return vm;
  }
  void Finalize(Psqlite_vm vm) {
    char* errMsg = nullptr;
    plain->Finalize(vm, errMsg);
  }

  Ref<IZSQLitePlainDriver> plain = MakeRef<TZSQLite3PlainDriver>();
  Psqlite handle = nullptr;
};

TEST_F(SQLite3Binding, StepHandsOutTheRowLayoutOfTheOldLibrary) {
  struct {
    const char* sql;
    int code;
    std::vector<const char*> values;  // without the closing null; empty: no array
    std::vector<const char*> names;   // names, then declared types
  } const cases[] = {
      {"SELECT id, name, id + 1 AS n FROM t", 100, {"1", "one", "2"}, {"id", "name", "n", "INTEGER", "VARCHAR(20)", nullptr}},
      {"SELECT name FROM t WHERE id = 2", 101, {}, {"name", "VARCHAR(20)"}},
      {"SELECT NULL AS x", 100, {nullptr}, {"x", nullptr}},
      {"UPDATE t SET name = 'uno'", 101, {}, {}},
  };
  for (const auto& c : cases) {
    Psqlite_vm vm = Compile(c.sql);
    int columnCount = -1;
    const char** values = nullptr;
    const char** names = nullptr;
    ASSERT_EQ(plain->Step(vm, columnCount, values, names), c.code) << c.sql;
    TZSQLiteRowArray ownValues(values), ownNames(names);
    const int n = static_cast<int>(c.names.size()) / 2;
    EXPECT_EQ(columnCount, n) << c.sql;
    if (c.code == 100) {
      ASSERT_NE(values, nullptr) << c.sql;
      for (int i = 0; i < n; ++i)
        EXPECT_STREQ(values[i], c.values[i]) << c.sql << " value " << i;
      EXPECT_EQ(values[n], nullptr) << c.sql;
    } else {
      EXPECT_EQ(values, nullptr) << c.sql;
    }
    ASSERT_NE(names, nullptr) << c.sql;
    for (int i = 0; i < 2 * n; ++i) EXPECT_STREQ(names[i], c.names[i]) << c.sql << " name " << i;
    EXPECT_EQ(names[2 * n], nullptr) << c.sql;
    Finalize(vm);
  }
}

TEST_F(SQLite3Binding, AFailedStepTouchesNothingAndFinalizeTellsTheCause) {
  Psqlite_vm vm = Compile("INSERT INTO t VALUES (1, 'again')");
  int columnCount = 7;
  const char* sentinel[] = {"untouched"};
  const char** values = sentinel;
  const char** names = sentinel;
  EXPECT_NE(plain->Step(vm, columnCount, values, names), 101);
  EXPECT_EQ(columnCount, 7);
  EXPECT_EQ(values, sentinel);
  EXPECT_EQ(names, sentinel);
  char* errMsg = nullptr;
  EXPECT_EQ(plain->Finalize(vm, errMsg), 19);
  ASSERT_NE(errMsg, nullptr) << "the library's own text of the failure";
  EXPECT_STREQ(errMsg, "UNIQUE constraint failed: t.id");
  plain->FreeMem(errMsg);
}

TEST_F(SQLite3Binding, ErrorTextsComeFromTheBindingsOwnTable) {
  const char* const expected[] = {
      "not an error", "SQL logic error or missing database", "internal SQLite implementation flaw",
      "access permission denied", "callback requested query abort", "database is locked",
      "database table is locked", "out of memory", "attempt to write a readonly database", "interrupted",
      "disk I/O error", "database disk image is malformed", "table or record not found", "database is full",
      "unable to open database file", "database locking protocol failure", "table contains no data",
      "database schema has changed", "too much data for one table row", "constraint failed", "datatype mismatch",
      "library routine called out of sequence", "kernel lacks large file support", "authorization denied",
      "auxiliary database format error", "bind index out of range", "file is encrypted or is not a database",
  };
  for (int code = 0; code <= 26; ++code) EXPECT_STREQ(plain->ErrorString(code), expected[code]) << code;
  EXPECT_STREQ(plain->ErrorString(27), "unknown error");
  EXPECT_STREQ(plain->ErrorString(-1), "unknown error");
}

TEST_F(SQLite3Binding, WhatTheLibraryLacksAnswersOrRefuses) {
  EXPECT_EQ(plain->LastStatementChanges(handle), 21);
  EXPECT_EQ(plain->CreateFunction(handle, "f", 1, nullptr, nullptr), 21);
  EXPECT_EQ(plain->LibEncoding(), nullptr);
  // Debian's library has no key calls: the connection goes on without them.
  EXPECT_EQ(plain->Key(handle, "secret", 6), 0);
  EXPECT_EQ(plain->ReKey(handle, "secret", 6), 0);
  EXPECT_THROW(plain->Bind(nullptr, 1, "x", 1, 0), EZSQLException);
  EXPECT_THROW(plain->SetResultString(nullptr, "x", 1), EZSQLException);

  int errorCode = 0;
  char* errMsg = nullptr;
  EXPECT_EQ(plain->OpenEncrypted("x.db", "k", 1, errorCode, errMsg), nullptr);
  EXPECT_EQ(errorCode, 21);
  ASSERT_NE(errMsg, nullptr);
  EXPECT_STREQ(errMsg, "function is not used in the current version of the library");
  plain->FreeMem(errMsg);
}

TEST(SQLite3Open, AFileThatCannotBeOpenedGivesNullAndTheLibrarysText) {
  TempFolder folder;
  Ref<IZSQLitePlainDriver> plain = MakeRef<TZSQLite3PlainDriver>();
  plain->Initialize();
  char* errMsg = nullptr;
  const AnsiString missing = (folder.path() / "no such folder" / "x.db").string();
  EXPECT_EQ(plain->Open(missing.c_str(), 0, errMsg), nullptr);
  ASSERT_NE(errMsg, nullptr);
  EXPECT_STREQ(errMsg, "unable to open database file");
  plain->FreeMem(errMsg);

  // A Czech name in the system's code page reaches the library as UTF-8.
  const AnsiString czech = folder.name() + "/\xE8\x61p.db";  // "čap.db" in Windows-1250
  Psqlite handle = plain->Open(czech.c_str(), 0, errMsg);
  ASSERT_NE(handle, nullptr);
  char* execMsg = nullptr;
  EXPECT_EQ(plain->Execute(handle, "CREATE TABLE x (a)", nullptr, nullptr, execMsg), 0);
  plain->Close(handle);
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "\xC4\x8D" "ap.db"));
}

TEST(SQLite28Binding, TheMissingLibraryIsNamedAndNothingIsBound) {
  Ref<IZSQLitePlainDriver> plain = MakeRef<TZSQLite28PlainDriver>();
  EXPECT_EQ(plain->GetProtocol(), "sqlite-2.8");
  EXPECT_EQ(plain->GetDescription(), "Native Plain Driver for SQLite 2.8");
  try {
    plain->Initialize();
    FAIL() << "a 2.8 library was loaded";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "None of the dynamic libraries can be found: libsqlite.so.0, libsqlite.so");
  }
  EXPECT_FALSE(SQLite28LibraryLoader().Loaded());
  EXPECT_EQ(SQLite28LibraryLoader().EntryCount(), 38);
  EXPECT_EQ(SQLite3LibraryLoader().EntryCount(), 42);
}

}  // namespace
