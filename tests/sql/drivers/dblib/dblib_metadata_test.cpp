// DB-Library metadata on the fake library: the exact catalogue calls each
// flavour sends, the syscolumns pass over a column listing, the constant
// answers, and the identity the resolver fills after an insert.

#include "tests/sql/drivers/dblib/dblib_test_support.h"

#include <functional>

namespace dblib_test {
namespace {

constexpr char kMsSqlUrl[] = "zdbc:mssql://127.0.0.1:1433/master?UID=sa;PWD=x";
constexpr char kSybaseUrl[] = "zdbc:sybase://dbhost/pubs?UID=sa;PWD=x";

class MetadataTest : public FakeLibraryTest {
protected:
  Ref<IZDBLibConnection> OpenWith(const char* url, std::initializer_list<const char*> statements) {
    Ref<IZDBLibConnection> connection = Connect(url);
    connection->Open();
    for (const char* sql : statements) connection->InternalExecuteStatement(sql);
    ForgetCalls();
    return connection;
  }

  // The catalogue texts sent so far.
  std::vector<std::string> Sent() const {
    std::vector<std::string> texts;
    for (const std::string& line : Calls("dbcmd(\""))
      if (line.find("@@rowcount") == std::string::npos) texts.push_back(line.substr(7, line.size() - 9));
    return texts;
  }

  // The rows of a column listing, one text per row: "table.column" and the
  // named columns' values ("-" for null).
  static std::vector<std::string> Rows(const Ref<IZResultSet>& result, std::initializer_list<const char*> columns) {
    std::vector<std::string> rows;
    while (result->Next()) {
      std::string row = result->GetStringByName("TABLE_NAME") + "." + result->GetStringByName("COLUMN_NAME");
      for (const char* column : columns) {
        const AnsiString value = result->GetStringByName(column);
        row += " " + (result->WasNull() ? AnsiString("-") : value);
      }
      rows.push_back(row);
    }
    return rows;
  }
};

using Call = std::function<void(IZDatabaseMetadata&)>;

TEST_F(MetadataTest, CatalogueCallsHaveTheServersTexts) {
  struct Case {
    const char* url;
    Call call;
    std::vector<std::string> sent;
  };
  const std::vector<Case> cases = {
      {kMsSqlUrl, [](IZDatabaseMetadata& m) { m.GetTables("", "", "", {"TABLE", "VIEW"}); },
       {"exec sp_tables null, null, null, \"'TABLE','VIEW'\""}},
      {kMsSqlUrl, [](IZDatabaseMetadata& m) { m.GetTables("", "", "", {}); },
       {"exec sp_tables null, null, null, null"}},
      {kMsSqlUrl, [](IZDatabaseMetadata& m) { m.GetIndexInfo("", "", "t", true, false); },
       {"exec sp_statistics 't', null, null, '%', 'Y', 'E'"}},
      {kMsSqlUrl, [](IZDatabaseMetadata& m) { m.GetImportedKeys("", "", "t"); },
       {"exec sp_fkeys null, null, null, 't', null, null"}},
      {kMsSqlUrl, [](IZDatabaseMetadata& m) { m.GetColumns("", "", "t", ""); },
       {"exec sp_columns 't', null, null, null",
        "select c.colid, c.name, c.type, c.prec, c.scale, c.colstat, c.status, c.iscomputed from syscolumns c "
        "inner join sysobjects o on (o.id = c.id) where o.name = 't' order by colid"}},
      {kMsSqlUrl, [](IZDatabaseMetadata& m) { m.GetColumns("", "", "o'x", ""); },
       {"exec sp_columns 'o''x', null, null, null",
        "select c.colid, c.name, c.type, c.prec, c.scale, c.colstat, c.status, c.iscomputed from syscolumns c "
        "inner join sysobjects o on (o.id = c.id) where o.name = 'o''x' order by colid"}},
      {kSybaseUrl, [](IZDatabaseMetadata& m) { m.GetIndexInfo("", "", "t", true, false); },
       {"exec sp_jdbc_getindexinfo null, null, 't', '1', '0'"}},
      {kSybaseUrl, [](IZDatabaseMetadata& m) { m.GetColumns("", "", "", ""); },
       {"exec sp_jdbc_columns null, null, null, null",
        "select c.colid, c.name, c.type, c.prec, c.scale, c.status from syscolumns c inner join sysobjects o on "
        "(o.id = c.id) where o.name = '' order by colid"}},
      {kSybaseUrl, [](IZDatabaseMetadata& m) { m.GetProcedureColumns("", "", "p;2", ""); },
       {"exec sp_jdbc_getprocedurecolumns null, null, 'p;2', null",
        "select c.* from syscolumns c inner join sysobjects o on (o.id = c.id) where o.name = 'p' and c.number = 2 "
        "order by colid"}},
      {kSybaseUrl, [](IZDatabaseMetadata& m) { m.GetProcedureColumns("", "", "p;", ""); },
       {"exec sp_jdbc_getprocedurecolumns null, null, 'p;', null",
        "select c.* from syscolumns c inner join sysobjects o on (o.id = c.id) where o.name = 'p' and c.number = 1 "
        "order by colid"}},
      // Only a number goes into the text unquoted.
      {kSybaseUrl, [](IZDatabaseMetadata& m) { m.GetProcedureColumns("", "", "p;1 or 1=1", ""); },
       {"exec sp_jdbc_getprocedurecolumns null, null, 'p;1 or 1=1', null",
        "select c.* from syscolumns c inner join sysobjects o on (o.id = c.id) where o.name = 'p' and c.number = 1 "
        "order by colid"}},
  };
  for (const Case& c : cases) {
    Ref<IZDBLibConnection> connection = OpenWith(c.url, {});
    c.call(*connection->GetMetadata());
    EXPECT_EQ(Sent(), c.sent) << c.url << " " << c.sent.front();
  }
}

TEST_F(MetadataTest, MsSqlColumnsAreCompletedFromSyscolumnsByName) {
  Ref<IZDBLibConnection> connection =
      OpenWith(kMsSqlUrl, {"create table w0x (c1 int, c2 int)",
                           "create table w_x (id integer primary key, v int not null, twice int as (v * 2))"});
  // "w_x" is a pattern that lists both tables; syscolumns names w_x alone.
  Ref<IZResultSet> columns = connection->GetMetadata()->GetColumns("", "", "w_x", "");
  const std::vector<std::string> expected = {
      "w0x.c1 - YES - True",     "w0x.c2 - YES - True",      "w_x.id True YES False True",
      "w_x.v False NO True True", "w_x.twice False YES False False"};
  EXPECT_EQ(Rows(columns, {"AUTO_INCREMENT", "IS_NULLABLE", "WRITABLE", "SEARCHABLE"}), expected);
}

TEST_F(MetadataTest, SybaseColumnsHaveEmptyCatalogueAndSchema) {
  Ref<IZDBLibConnection> connection = OpenWith(kSybaseUrl, {"create table w (id integer primary key, v text)"});
  Ref<IZResultSet> columns = connection->GetMetadata()->GetColumns("", "", "w", "");
  // Empty texts, not nulls ("-"); an identity is nullable, a text column
  // not searchable.
  EXPECT_EQ(Rows(columns, {"TABLE_CAT", "TABLE_SCHEM", "AUTO_INCREMENT", "NULLABLE", "SEARCHABLE"}),
            (std::vector<std::string>{"w.id   True 1 True", "w.v   False 1 False"}));
}

TEST_F(MetadataTest, ConstantAnswersNameTheFlavour) {
  struct Case {
    const char* url;
    const char* product;
    const char* version;
    const char* driver;
  };
  for (const Case& c : {Case{kMsSqlUrl, "MS SQL", "7+", "Database Connectivity Driver for Microsoft SQL Server"},
                        Case{kSybaseUrl, "Sybase", "12+", "Database Connectivity Driver for Sybase ASE Server"}}) {
    Ref<IZDatabaseMetadata> metadata = Connect(c.url)->GetMetadata();
    EXPECT_EQ(metadata->GetDatabaseProductName(), c.product);
    EXPECT_EQ(metadata->GetDatabaseProductVersion(), c.version);
    EXPECT_EQ(metadata->GetDriverName(), c.driver);
    EXPECT_EQ(metadata->GetSQLKeywords(), "");
    EXPECT_EQ(metadata->GetSearchStringEscape(), "/");
    EXPECT_EQ(metadata->GetSchemaTerm(), "owner");
    EXPECT_EQ(metadata->GetMaxRowSize(), 8060);
    EXPECT_TRUE(metadata->SupportsStoredProcedures());
    EXPECT_FALSE(metadata->DataDefinitionCausesTransactionCommit());
    Ref<IZResultSet> types = metadata->GetTableTypes();
    std::vector<AnsiString> names;
    while (types->Next()) names.push_back(types->GetString(1));
    EXPECT_EQ(names, (std::vector<AnsiString>{"SYSTEM TABLE", "TABLE", "VIEW"}));
  }
}

TEST_F(MetadataTest, InsertedRowGetsTheIdentityTheServerGave) {
  Ref<IZDBLibConnection> connection =
      OpenWith(kMsSqlUrl, {"create table w (id integer primary key, name varchar(20))", "insert into w values (40, 'a')"});
  Ref<IZStatement> statement = connection->CreateStatement();
  statement->SetResultSetConcurrency(rcUpdatable);
  Ref<IZResultSet> rows = statement->ExecuteQuery("select id, name from w");
  rows->MoveToInsertRow();
  rows->UpdateString(2, "b");
  rows->InsertRow();
  EXPECT_EQ(rows->GetLong(1), 41);
  const std::vector<std::string> sent = Sent();
  ASSERT_GE(sent.size(), 2u);
  EXPECT_EQ(sent.back(), "SELECT @@IDENTITY");
}

}  // namespace
}  // namespace dblib_test
