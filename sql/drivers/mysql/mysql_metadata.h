// The database metadata of a MySQL connection: fixed capabilities (some by
// server version), the keyword and function lists, the mapping of column type
// texts to TZSQLType and the type-information catalogue. The catalogue
// queries that ask the server build on this class.
#pragma once

#include <vector>

#include "sql/core/dbc/abstract_database_metadata.h"
#include "sql/core/dbc/catalogue_type_info.h"

class TZMySQLDatabaseMetadata : public TZAbstractDatabaseMetadata {
public:
  // connection is not counted: the metadata lives inside it.
  TZMySQLDatabaseMetadata(IZConnection* connection, const AnsiString& url, TStrings* info);

  // The database named in the connection URL.
  const AnsiString& Database() const { return database_; }

  AnsiString GetDatabaseProductName() override { return "MySQL"; }
  AnsiString GetDatabaseProductVersion() override { return "3+"; }
  AnsiString GetDriverName() override { return "Database Connectivity Driver for MySQL"; }
  int GetDriverMajorVersion() override { return 1; }
  int GetDriverMinorVersion() override { return 1; }
  bool UsesLocalFilePerTable() override { return true; }
  bool StoresMixedCaseIdentifiers() override { return true; }
  AnsiString GetIdentifierQuoteString() override { return "`"; }
  AnsiString GetSearchStringEscape() override { return "\\"; }
  AnsiString GetExtraNameCharacters() override { return AnsiString(); }
  AnsiString GetSchemaTerm() override { return AnsiString(); }
  AnsiString GetProcedureTerm() override { return AnsiString(); }
  AnsiString GetCatalogTerm() override { return "Database"; }
  bool SupportsOrderByUnrelated() override;
  bool SupportsGroupByUnrelated() override { return false; }
  bool SupportsGroupByBeyondSelect() override { return true; }
  bool SupportsIntegrityEnhancementFacility() override { return false; }
  bool SupportsCatalogsInDataManipulation() override;
  bool SupportsCatalogsInTableDefinitions() override { return false; }
  bool SupportsSubqueriesInComparisons() override { return true; }
  bool SupportsUnionAll() override;
  bool SupportsOpenStatementsAcrossCommit() override { return false; }
  bool SupportsOpenStatementsAcrossRollback() override { return false; }
  int GetMaxBinaryLiteralLength() override { return 16777208; }
  int GetMaxCharLiteralLength() override { return 16777208; }
  int GetMaxColumnNameLength() override { return 64; }
  int GetMaxColumnsInGroupBy() override { return 16; }
  int GetMaxColumnsInIndex() override { return 16; }
  int GetMaxColumnsInOrderBy() override { return 16; }
  int GetMaxColumnsInSelect() override { return 256; }
  int GetMaxColumnsInTable() override { return 512; }
  int GetMaxConnections() override { return 0; }
  int GetMaxCursorNameLength() override { return 64; }
  int GetMaxIndexLength() override { return 128; }
  int GetMaxCatalogNameLength() override { return 32; }
  int GetMaxRowSize() override { return 2147483639; }
  bool DoesMaxRowSizeIncludeBlobs() override { return true; }
  int GetMaxStatementLength() override { return 65531; }
  int GetMaxStatements() override { return 0; }
  int GetMaxTableNameLength() override { return 64; }
  int GetMaxTablesInSelect() override { return 256; }
  int GetMaxUserNameLength() override { return 16; }
  TZTransactIsolationLevel GetDefaultTransactionIsolation() override { return tiNone; }
  bool SupportsDataDefinitionAndDataManipulationTransactions() override { return true; }
  // True once the connection has an isolation level other than tiNone.
  bool SupportsDataManipulationTransactionsOnly() override;

  // Comma-separated lists without blanks; repeated words are kept.
  AnsiString GetSQLKeywords() override;
  AnsiString GetNumericFunctions() override;
  AnsiString GetStringFunctions() override;
  AnsiString GetSystemFunctions() override;
  AnsiString GetTimeDateFunctions() override;

  // The server's major and minor version; servers before 4.1 are asked with
  // "SELECT VERSION()", as the packed number of old libraries is unreliable.
  void GetServerVersionParts(int& major, int& minor);

protected:
  // One row per entry of MySQLTypeInfoTable().
  Ref<IZResultSet> UncachedGetTypeInfo() override;

  // The catalogue builders that ask the server (mysql_metadata_catalogue.cpp).
  // Names and patterns reach the statements escaped for the session.
  Ref<IZResultSet> UncachedGetTables(const AnsiString& catalog, const AnsiString& schemaPattern,
                                     const AnsiString& tableNamePattern, const TZStringDynArray& types) override;
  Ref<IZResultSet> UncachedGetCatalogs() override;
  Ref<IZResultSet> UncachedGetTableTypes() override;
  Ref<IZResultSet> UncachedGetColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                      const AnsiString& tableNamePattern, const AnsiString& columnNamePattern) override;
  Ref<IZResultSet> UncachedGetColumnPrivileges(const AnsiString& catalog, const AnsiString& schema,
                                               const AnsiString& table, const AnsiString& columnNamePattern) override;
  Ref<IZResultSet> UncachedGetTablePrivileges(const AnsiString& catalog, const AnsiString& schemaPattern,
                                              const AnsiString& tableNamePattern) override;
  Ref<IZResultSet> UncachedGetPrimaryKeys(const AnsiString& catalog, const AnsiString& schema,
                                          const AnsiString& table) override;
  Ref<IZResultSet> UncachedGetImportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                           const AnsiString& table) override;
  Ref<IZResultSet> UncachedGetExportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                           const AnsiString& table) override;
  Ref<IZResultSet> UncachedGetCrossReference(const AnsiString& primaryCatalog, const AnsiString& primarySchema,
                                             const AnsiString& primaryTable, const AnsiString& foreignCatalog,
                                             const AnsiString& foreignSchema, const AnsiString& foreignTable) override;
  Ref<IZResultSet> UncachedGetIndexInfo(const AnsiString& catalog, const AnsiString& schema, const AnsiString& table,
                                        bool unique, bool approximate) override;
  Ref<IZResultSet> UncachedGetVersionColumns(const AnsiString& catalog, const AnsiString& schema,
                                             const AnsiString& table) override;

private:
  AnsiString database_;
};

// The type of a column from its type name and full type text (as in
// "int" / "int(11) unsigned"); names the mapping does not know (newer server
// types such as uuid, inet4, inet6) read as stString.
TZSQLType ConvertMySQLTypeNameToSQLType(const AnsiString& typeName, const AnsiString& typeText);

// One row of the type-information catalogue.
using TZMySQLTypeInfo = TZTypeInfoRow;

// The 33 types in catalogue order.
const std::vector<TZMySQLTypeInfo>& MySQLTypeInfoTable();
