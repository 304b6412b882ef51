// DB-Library metadata through FreeTDS against the responder: the catalogue
// procedures answer from the server's catalogue and each listing carries
// its content; the constant answers; and the identity the resolver fills
// after an insert.

#include "tests/sql/drivers/dblib/dblib_test_support.h"

namespace dblib_test {
namespace {

class MetadataTest : public ResponderTest {
protected:
  Ref<IZDBLibConnection> OpenWith(std::initializer_list<const char*> statements) {
    Ref<IZDBLibConnection> connection = Open();
    for (const char* sql : statements) connection->InternalExecuteStatement(sql);
    return connection;
  }

  // A listing's rows, one text per row of the named columns' values ("-"
  // for null), separated by blanks.
  static std::vector<std::string> Rows(const Ref<IZResultSet>& result, std::initializer_list<const char*> columns) {
    std::vector<std::string> rows;
    while (result->Next()) {
      std::string row;
      for (const char* column : columns) {
        const AnsiString value = result->GetStringByName(column);
        row += (row.empty() ? "" : " ") + (result->WasNull() ? AnsiString("-") : value);
      }
      rows.push_back(row);
    }
    return rows;
  }
};

TEST_F(MetadataTest, ColumnsComeFromTheCatalogueCompletedFromSyscolumns) {
  Ref<IZDBLibConnection> connection =
      OpenWith({"create table w0x (c1 int, c2 int)",
                "create table w_x (id integer primary key, v varchar(30) not null, price decimal(10,2), "
                "born datetime, note text, twice int as (id * 2))"});
  // "w_x" is a pattern that lists both tables.
  Ref<IZResultSet> columns = connection->GetMetadata()->GetColumns("", "", "w_x", "");
  const std::vector<std::string> expected = {
      // syscolumns completes the table of that name only; an identity is
      // listed as nullable.
      "w0x c1 1 int 4 YES - - True",        "w0x c2 2 int 4 YES - - True",
      "w_x id 1 integer identity 4 YES True False True", "w_x v 2 varchar 30 NO False True True",
      "w_x price 3 decimal 10 YES False True True", "w_x born 4 datetime 8 YES False True True",
      "w_x note 5 text 2147483647 YES False True False", "w_x twice 6 int 4 YES False False False"};
  EXPECT_EQ(Rows(columns, {"TABLE_NAME", "COLUMN_NAME", "ORDINAL_POSITION", "TYPE_NAME", "COLUMN_SIZE",
                           "IS_NULLABLE", "AUTO_INCREMENT", "WRITABLE", "SEARCHABLE"}),
            expected);
  EXPECT_EQ(RequestsFrom("BATCH exec sp_columns"),
            (std::vector<std::string>{
                "BATCH exec sp_columns 'w_x', null, null, null",
                "BATCH select c.colid, c.name, c.type, c.prec, c.scale, c.colstat, c.status, c.iscomputed from "
                "syscolumns c inner join sysobjects o on (o.id = c.id) where o.name = 'w_x' order by colid"}));
}

TEST_F(MetadataTest, TablesAndPrimaryKeysComeFromTheCatalogue) {
  Ref<IZDBLibConnection> connection =
      OpenWith({"create table w1 (a int, b int, primary key (b, a))", "create table w2 (id integer primary key)",
                "create view wv as select a from w1", "create table x (id int)"});
  Ref<IZDatabaseMetadata> metadata = connection->GetMetadata();
  EXPECT_EQ(Rows(metadata->GetTables("", "", "w%", {"TABLE"}), {"TABLE_CAT", "TABLE_SCHEM", "TABLE_NAME", "TABLE_TYPE"}),
            (std::vector<std::string>{database_ + " dbo w1 TABLE", database_ + " dbo w2 TABLE"}));
  EXPECT_EQ(Rows(metadata->GetTables("", "", "", {}), {"TABLE_NAME", "TABLE_TYPE"}),
            (std::vector<std::string>{"w1 TABLE", "w2 TABLE", "wv VIEW", "x TABLE"}));
  EXPECT_EQ(Rows(metadata->GetPrimaryKeys("", "", "w1"), {"TABLE_NAME", "COLUMN_NAME", "KEY_SEQ", "PK_NAME"}),
            (std::vector<std::string>{"w1 b 1 PK_w1", "w1 a 2 PK_w1"}));
  EXPECT_EQ(Rows(metadata->GetPrimaryKeys("", "", "x"), {"COLUMN_NAME"}), std::vector<std::string>{});
}

TEST_F(MetadataTest, ProceduresAndTheirColumnsComeFromTheCatalogue) {
  Ref<IZDBLibConnection> connection =
      OpenWith({"create procedure pa @a int, @b varchar(10) output as set @b = @a; return 0"});
  Ref<IZDatabaseMetadata> metadata = connection->GetMetadata();
  EXPECT_EQ(Rows(metadata->GetProcedures("", "", "p%"), {"PROCEDURE_NAME"}), std::vector<std::string>{"pa;1"});
  EXPECT_EQ(Rows(metadata->GetProcedureColumns("", "", "pa", ""), {"COLUMN_NAME", "COLUMN_TYPE", "TYPE_NAME"}),
            (std::vector<std::string>{"RETURN_VALUE 4 int", "@a 1 int", "@b 3 varchar"}));
}

TEST_F(MetadataTest, ConstantAnswersNameTheFlavour) {
  struct Case {
    const char* protocol;
    const char* product;
    const char* version;
    const char* driver;
  };
  for (const Case& c : {Case{"mssql", "MS SQL", "7+", "Database Connectivity Driver for Microsoft SQL Server"},
                        Case{"sybase", "Sybase", "12+", "Database Connectivity Driver for Sybase ASE Server"}}) {
    Ref<IZDatabaseMetadata> metadata = Connect(Url(c.protocol))->GetMetadata();
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
      OpenWith({"create table w (id integer primary key, name varchar(20))", "insert into w values (40, 'a')"});
  Ref<IZStatement> statement = connection->CreateStatement();
  statement->SetResultSetConcurrency(rcUpdatable);
  Ref<IZResultSet> rows = statement->ExecuteQuery("select id, name from w");
  rows->MoveToInsertRow();
  rows->UpdateString(2, "b");
  rows->InsertRow();
  EXPECT_EQ(rows->GetLong(1), 41);
  EXPECT_EQ(Sqlite("select group_concat(id || name) from w"), "40a,41b");
  EXPECT_EQ(Requests().back(), "BATCH SELECT @@IDENTITY");
}

}  // namespace
}  // namespace dblib_test
