// The database metadata of a SQLite connection: fixed capability answers and
// the catalogue built from the sqlite_master table and the library's PRAGMA
// commands (table_info, index_list, index_info).
#pragma once

#include "sql/core/dbc/abstract_database_metadata.h"

class TZSQLiteDatabaseMetadata : public TZAbstractDatabaseMetadata {
public:
  using TZAbstractDatabaseMetadata::TZAbstractDatabaseMetadata;

  AnsiString GetDatabaseProductName() override { return "SQLite"; }
  AnsiString GetDatabaseProductVersion() override { return AnsiString(); }
  AnsiString GetDriverName() override { return "Database Connectivity Driver for SQLite"; }
  int GetDriverMajorVersion() override { return 1; }
  int GetDriverMinorVersion() override { return 0; }
  AnsiString GetSQLKeywords() override;
  AnsiString GetNumericFunctions() override { return "ABS,MAX,MIN,RANDOM,ROUND"; }
  AnsiString GetStringFunctions() override { return "LENGTH,LIKE,LOWER,SOUNDEX,SUBSTRING,UPPER"; }
  AnsiString GetSystemFunctions() override { return "LAST_INSERT_ROWID,SQLITE_VERSION,TYPEOF"; }
  AnsiString GetTimeDateFunctions() override { return AnsiString(); }
  AnsiString GetSearchStringEscape() override { return "//"; }
  AnsiString GetExtraNameCharacters() override { return AnsiString(); }
  AnsiString GetSchemaTerm() override { return AnsiString(); }
  AnsiString GetProcedureTerm() override { return AnsiString(); }
  AnsiString GetCatalogTerm() override { return "database"; }
  AnsiString GetCatalogSeparator() override { return "."; }

  int GetMaxStatementLength() override { return 65535; }
  TZTransactIsolationLevel GetDefaultTransactionIsolation() override { return tiNone; }
  int GetMaxBinaryLiteralLength() override { return 0; }
  int GetMaxCharLiteralLength() override { return 0; }
  int GetMaxColumnNameLength() override { return 0; }
  int GetMaxColumnsInGroupBy() override { return 0; }
  int GetMaxColumnsInIndex() override { return 0; }
  int GetMaxColumnsInOrderBy() override { return 0; }
  int GetMaxColumnsInSelect() override { return 0; }
  int GetMaxColumnsInTable() override { return 0; }
  int GetMaxConnections() override { return 0; }
  int GetMaxCursorNameLength() override { return 0; }
  int GetMaxIndexLength() override { return 0; }
  int GetMaxSchemaNameLength() override { return 0; }
  int GetMaxProcedureNameLength() override { return 0; }
  int GetMaxCatalogNameLength() override { return 0; }
  int GetMaxRowSize() override { return 0; }
  int GetMaxStatements() override { return 0; }
  int GetMaxTableNameLength() override { return 0; }
  int GetMaxTablesInSelect() override { return 0; }
  int GetMaxUserNameLength() override { return 0; }

  bool SupportsMixedCaseIdentifiers() override { return true; }
  bool StoresMixedCaseIdentifiers() override { return true; }
  bool SupportsMixedCaseQuotedIdentifiers() override { return true; }
  bool StoresMixedCaseQuotedIdentifiers() override { return true; }
  bool SupportsGroupBy() override { return true; }
  bool SupportsGroupByUnrelated() override { return true; }
  bool SupportsGroupByBeyondSelect() override { return true; }
  bool SupportsSchemasInDataManipulation() override { return true; }
  bool SupportsCatalogsInDataManipulation() override { return true; }
  bool SupportsCatalogsInPrivilegeDefinitions() override { return true; }
  bool SupportsSubqueriesInComparisons() override { return true; }
  bool SupportsSubqueriesInExists() override { return true; }
  bool SupportsSubqueriesInIns() override { return true; }
  bool SupportsSubqueriesInQuantifieds() override { return true; }
  bool SupportsCorrelatedSubqueries() override { return true; }
  bool SupportsUnion() override { return true; }
  bool SupportsUnionAll() override { return true; }
  bool DoesMaxRowSizeIncludeBlobs() override { return true; }
  bool SupportsTransactions() override { return true; }
  bool SupportsTransactionIsolationLevel(TZTransactIsolationLevel) override { return true; }
  bool SupportsDataDefinitionAndDataManipulationTransactions() override { return true; }
  bool SupportsDataManipulationTransactionsOnly() override { return true; }
  bool DataDefinitionCausesTransactionCommit() override { return true; }

  bool UsesLocalFilePerTable() override { return false; }
  bool StoresUpperCaseIdentifiers() override { return false; }
  bool StoresLowerCaseIdentifiers() override { return false; }
  bool StoresUpperCaseQuotedIdentifiers() override { return false; }
  bool StoresLowerCaseQuotedIdentifiers() override { return false; }
  bool SupportsExpressionsInOrderBy() override { return false; }
  bool SupportsOrderByUnrelated() override { return false; }
  bool SupportsIntegrityEnhancementFacility() override { return false; }
  bool SupportsSchemasInProcedureCalls() override { return false; }
  bool SupportsSchemasInTableDefinitions() override { return false; }
  bool SupportsSchemasInIndexDefinitions() override { return false; }
  bool SupportsSchemasInPrivilegeDefinitions() override { return false; }
  bool SupportsCatalogsInProcedureCalls() override { return false; }
  bool SupportsCatalogsInTableDefinitions() override { return false; }
  bool SupportsCatalogsInIndexDefinitions() override { return false; }
  bool SupportsPositionedDelete() override { return false; }
  bool SupportsPositionedUpdate() override { return false; }
  bool SupportsSelectForUpdate() override { return false; }
  bool SupportsStoredProcedures() override { return false; }
  bool SupportsOpenCursorsAcrossCommit() override { return false; }
  bool SupportsOpenCursorsAcrossRollback() override { return false; }
  bool SupportsOpenStatementsAcrossCommit() override { return false; }
  bool SupportsOpenStatementsAcrossRollback() override { return false; }
  bool DataDefinitionIgnoredInTransactions() override { return false; }

  bool SupportsResultSetType(TZResultSetType type) override { return type == rtForwardOnly; }
  bool SupportsResultSetConcurrency(TZResultSetType type, TZResultSetConcurrency concurrency) override {
    return type == rtForwardOnly && concurrency == rcReadOnly;
  }

protected:
  // Catalog names and table names reach the statements quoted: the catalog
  // as a name, the table as a text with its quotes doubled.
  Ref<IZResultSet> UncachedGetTables(const AnsiString& catalog, const AnsiString& schemaPattern,
                                     const AnsiString& tableNamePattern, const TZStringDynArray& types) override;
  Ref<IZResultSet> UncachedGetTableTypes() override;
  Ref<IZResultSet> UncachedGetColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                      const AnsiString& tableNamePattern, const AnsiString& columnNamePattern) override;
  Ref<IZResultSet> UncachedGetPrimaryKeys(const AnsiString& catalog, const AnsiString& schema,
                                          const AnsiString& table) override;
  Ref<IZResultSet> UncachedGetTypeInfo() override;
  // Leaves out the indexes the library makes for UNIQUE and PRIMARY KEY
  // constraints; unique keeps only unique indexes.
  Ref<IZResultSet> UncachedGetIndexInfo(const AnsiString& catalog, const AnsiString& schema, const AnsiString& table,
                                        bool unique, bool approximate) override;

private:
  // The quoted catalog and ".", or nothing for no catalog.
  static AnsiString Prefix(const AnsiString& catalog);
};
