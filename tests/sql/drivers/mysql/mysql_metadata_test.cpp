// MySQL metadata answers that need no catalogue: the type-name mapping, the
// type table, the word lists and the version-dependent capabilities.

#include <gtest/gtest.h>

#include "sql/core/dbc/abstract_connection.h"
#include "sql/core/dbc/abstract_statement.h"
#include "sql/core/dbc/virtual_result_set.h"
#include "sql/drivers/mysql/mysql_metadata.h"

namespace {

TEST(MySQLTypeMapping, MapsTypeNamesAndTextsToSQLTypes) {
  struct {
    const char* name;
    const char* text;
    TZSQLType type;
  } const cases[] = {
      {"int", "int(11) unsigned", stLong},
      {"int", "int(11)", stInteger},
      {"tinyint", "tinyint(4)", stByte},
      {"tinyint", "tinyint(3) unsigned zerofill", stShort},
      {"smallint", "smallint(5) unsigned", stInteger},
      {"real", "real unsigned", stDouble},
      {"DECIMAL", "DECIMAL(9,0)", stInteger},
      {"decimal", "decimal(10,0)", stLong},
      {"decimal", "decimal(10,2)", stDouble},
      {"decimal", "decimal(15,2)", stDouble},
      {"decimal", "decimal(16,2)", stString},
      {"decimal", "decimal(18,0)", stLong},
      {"decimal", "decimal(65,30)", stString},
      {"decimal", "decimal(10,0) unsigned", stDouble},
      {"enum", "ENUM('Y','N')", stBoolean},
      {"enum", "enum('n','y')", stBoolean},
      {"enum", "ENUM('A','B')", stString},
      {"varchar", "varchar(20)", stString},
      {"varbinary", "varbinary(8)", stBytes},
      {"datetime", "datetime", stTimestamp},
      {"longtext", "longtext", stAsciiStream},
      {"longblob", "longblob", stBinaryStream},
      {"bit", "bit(1)", stBinaryStream},
      {"geometry", "geometry", stBinaryStream},
      {"year", "year(4)", stShort},
      {"int unsigned", "int(10) unsigned", stLong},
      // Newer server types are still readable as text.
      {"uuid", "uuid", stString},
      {"inet6", "inet6", stString},
      {"inet4", "inet4", stString},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ConvertMySQLTypeNameToSQLType(c.name, c.text), c.type) << c.name << " / " << c.text;
}

TEST(MySQLTypeInfo, ListsThirtyThreeTypesInCatalogueOrder) {
  const std::vector<TZMySQLTypeInfo>& table = MySQLTypeInfoTable();
  ASSERT_EQ(table.size(), 33u);
  EXPECT_STREQ(table.front().Name, "BIT");
  EXPECT_EQ(table.front().Precision, 1);
  EXPECT_STREQ(table[5].Name, "LONG VARBINARY");
  EXPECT_EQ(table[13].Precision, 2147483647);
  EXPECT_STREQ(table.back().Name, "TIMESTAMP");
  EXPECT_EQ(table.back().Precision, kNoTypePrecision);
  EXPECT_TRUE(TypeHasQuotedLiterals(stDate));
  EXPECT_FALSE(TypeHasQuotedLiterals(stBigDecimal));
}

// A connection that reports a packed server version and answers
// "SELECT VERSION()" with a version text, counting the questions.
class VersionConnection : public TZAbstractConnection {
public:
  VersionConnection(int version, AnsiString versionText = "")
      : TZAbstractConnection(nullptr, "", "", 0, "", "", "", nullptr),
        version_(version),
        versionText_(std::move(versionText)) {}
  int GetServerVersion() override { return version_; }
  std::vector<AnsiString> Queries;

protected:
  Ref<IZStatement> NewStatement(TStrings* info) override {
    return MakeRef<VersionStatement>(Ref<VersionConnection>(this), info);
  }

private:
  class VersionStatement : public TZAbstractStatement {
  public:
    VersionStatement(Ref<VersionConnection> connection, TStrings* info)
        : TZAbstractStatement(connection, info), connection_(connection.get()) {}
    Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) override {
      connection_->Queries.push_back(sql);
      Ref<IZVirtualResultSet> result =
          TZAbstractDatabaseMetadata::ConstructVirtualResultSet({{"VERSION()", stString, 255}});
      result->MoveToInsertRow();
      result->UpdateString(1, connection_->versionText_);
      result->InsertRow();
      result->BeforeFirst();
      return result;
    }

  private:
    VersionConnection* connection_;
  };

  int version_;
  AnsiString versionText_;
};

TEST(MySQLCapabilities, DependOnTheServerVersion) {
  struct {
    int version;
    const char* versionText;
    bool asks, unionAll, orderByUnrelated, catalogsInDML;
  } const cases[] = {
      // Before 4.1 the server's own version text decides.
      {3023000, "3.21.33-log", true, false, false, false},
      {3023000, "3.23.58-log", true, false, false, true},
      {4000000, "4.0.27-max", true, true, false, true},
      // A text without two version parts leaves the packed number standing.
      {4000000, "garbage", true, true, false, true},
      {4001000, "", false, true, false, true},
      {10011019, "", false, true, true, true},
  };
  for (const auto& c : cases) {
    auto connection = MakeRef<VersionConnection>(c.version, c.versionText);
    TZMySQLDatabaseMetadata metadata(connection.get(), "zdbc:mysql://127.0.0.1:3306/kalmir", nullptr);
    EXPECT_EQ(metadata.SupportsUnionAll(), c.unionAll) << c.versionText;
    EXPECT_EQ(metadata.SupportsOrderByUnrelated(), c.orderByUnrelated) << c.versionText;
    EXPECT_EQ(metadata.SupportsCatalogsInDataManipulation(), c.catalogsInDML) << c.versionText;
    EXPECT_EQ(connection->Queries.size(), c.asks ? 3u : 0u) << c.versionText;
    if (c.asks) {
      EXPECT_EQ(connection->Queries[0], "SELECT VERSION()");
    }
  }
}

TEST(MySQLCapabilities, FixedAnswersAndWordLists) {
  auto connection = MakeRef<VersionConnection>(10011019);
  TZMySQLDatabaseMetadata metadata(connection.get(), "zdbc:mysql-4.1://127.0.0.1:3306/kalmir?UID=vx", nullptr);
  EXPECT_EQ(metadata.Database(), "kalmir");
  EXPECT_EQ(metadata.GetIdentifierQuoteString(), "`");
  EXPECT_EQ(metadata.GetSearchStringEscape(), "\\");
  EXPECT_EQ(metadata.GetCatalogTerm(), "Database");
  EXPECT_EQ(metadata.GetMaxRowSize(), 2147483639);

  EXPECT_FALSE(metadata.SupportsDataManipulationTransactionsOnly());
  connection->SetTransactIsolationLevel(tiSerializable);
  EXPECT_TRUE(metadata.SupportsDataManipulationTransactionsOnly());

  AnsiString keywords = metadata.GetSQLKeywords();
  EXPECT_EQ(keywords.find(' '), AnsiString::npos);
  EXPECT_TRUE(keywords.starts_with("AUTO_INCREMENT,BINARY,"));
  EXPECT_NE(keywords.find(",ZEROFILL,ACCESSIBLE,"), AnsiString::npos);
  EXPECT_TRUE(keywords.ends_with(",READ_ONLY,READ_WRITE"));
  EXPECT_EQ(std::count(keywords.begin(), keywords.end(), ',') + 1, 209);
  for (const AnsiString& list : {metadata.GetNumericFunctions(), metadata.GetStringFunctions(),
                                 metadata.GetSystemFunctions(), metadata.GetTimeDateFunctions()})
    EXPECT_EQ(list.find(' '), AnsiString::npos);
  EXPECT_TRUE(metadata.GetTimeDateFunctions().ends_with(",WEEKOFYEAR,YEARWEEK"));
}

}  // namespace
