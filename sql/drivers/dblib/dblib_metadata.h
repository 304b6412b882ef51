// The database metadata of DB-Library connections. Fixed facts about the
// servers are constant answers; catalogue questions run the servers'
// catalogue procedures (MS SQL Server's sp_tables, sp_columns ... and
// Sybase ASE's sp_jdbc_ ones, whose answers already carry the standard
// names) or short queries on the system tables, and copy the rows into the
// fixed catalogue layouts. Both flavours answer the capability questions
// alike but for their names; the Sybase metadata replaces the builders.
#pragma once

#include <functional>
#include <vector>

#include "sql/core/dbc/abstract_database_metadata.h"
#include "sql/core/dbc/virtual_result_set.h"

class TZMsSqlDatabaseMetadata : public TZAbstractDatabaseMetadata {
public:
  // connection is not counted: the metadata lives inside it.
  TZMsSqlDatabaseMetadata(IZConnection* connection, const AnsiString& url, TStrings* info);

  AnsiString GetDatabaseProductName() override { return "MS SQL"; }
  AnsiString GetDatabaseProductVersion() override { return "7+"; }
  AnsiString GetDriverName() override { return "Database Connectivity Driver for Microsoft SQL Server"; }
  int GetDriverMajorVersion() override { return 1; }
  int GetDriverMinorVersion() override { return 0; }
  AnsiString GetIdentifierQuoteString() override { return "\""; }
  AnsiString GetSQLKeywords() override { return AnsiString(); }
  AnsiString GetNumericFunctions() override;
  AnsiString GetStringFunctions() override;
  AnsiString GetSystemFunctions() override;
  AnsiString GetTimeDateFunctions() override;
  AnsiString GetSearchStringEscape() override { return "/"; }
  AnsiString GetExtraNameCharacters() override { return "@$#"; }
  AnsiString GetSchemaTerm() override { return "owner"; }
  AnsiString GetProcedureTerm() override { return "procedure"; }
  AnsiString GetCatalogTerm() override { return "database"; }
  AnsiString GetCatalogSeparator() override { return "."; }
  TZTransactIsolationLevel GetDefaultTransactionIsolation() override { return tiReadCommitted; }

  int GetMaxBinaryLiteralLength() override { return 16000; }
  int GetMaxCharLiteralLength() override { return 8000; }
  int GetMaxColumnNameLength() override { return 128; }
  int GetMaxColumnsInGroupBy() override { return 0; }
  int GetMaxColumnsInIndex() override { return 16; }
  int GetMaxColumnsInOrderBy() override { return 0; }
  int GetMaxColumnsInSelect() override { return 4096; }
  int GetMaxColumnsInTable() override { return 1024; }
  int GetMaxConnections() override { return 0; }
  int GetMaxCursorNameLength() override { return 128; }
  int GetMaxIndexLength() override { return 900; }
  int GetMaxSchemaNameLength() override { return 128; }
  int GetMaxProcedureNameLength() override { return 128; }
  int GetMaxCatalogNameLength() override { return 128; }
  int GetMaxRowSize() override { return 8060; }
  int GetMaxStatementLength() override { return 0; }
  int GetMaxStatements() override { return 0; }
  int GetMaxTableNameLength() override { return 128; }
  int GetMaxTablesInSelect() override { return 256; }
  int GetMaxUserNameLength() override { return 128; }

  bool StoresUpperCaseIdentifiers() override { return true; }
  bool StoresLowerCaseIdentifiers() override { return true; }
  bool StoresMixedCaseIdentifiers() override { return true; }
  bool SupportsMixedCaseQuotedIdentifiers() override { return true; }
  bool StoresUpperCaseQuotedIdentifiers() override { return true; }
  bool StoresLowerCaseQuotedIdentifiers() override { return true; }
  bool StoresMixedCaseQuotedIdentifiers() override { return true; }
  bool SupportsExpressionsInOrderBy() override { return true; }
  bool SupportsOrderByUnrelated() override { return true; }
  bool SupportsGroupBy() override { return true; }
  bool SupportsGroupByUnrelated() override { return true; }
  bool SupportsGroupByBeyondSelect() override { return true; }
  bool SupportsSchemasInDataManipulation() override { return true; }
  bool SupportsSchemasInProcedureCalls() override { return true; }
  bool SupportsSchemasInTableDefinitions() override { return true; }
  bool SupportsSchemasInIndexDefinitions() override { return true; }
  bool SupportsSchemasInPrivilegeDefinitions() override { return true; }
  bool SupportsCatalogsInDataManipulation() override { return true; }
  bool SupportsCatalogsInProcedureCalls() override { return true; }
  bool SupportsCatalogsInTableDefinitions() override { return true; }
  bool SupportsCatalogsInIndexDefinitions() override { return true; }
  bool SupportsCatalogsInPrivilegeDefinitions() override { return true; }
  bool SupportsPositionedDelete() override { return true; }
  bool SupportsPositionedUpdate() override { return true; }
  bool SupportsSelectForUpdate() override { return true; }
  bool SupportsStoredProcedures() override { return true; }
  bool SupportsSubqueriesInComparisons() override { return true; }
  bool SupportsSubqueriesInExists() override { return true; }
  bool SupportsSubqueriesInIns() override { return true; }
  bool SupportsSubqueriesInQuantifieds() override { return true; }
  bool SupportsCorrelatedSubqueries() override { return true; }
  bool SupportsUnion() override { return true; }
  bool SupportsUnionAll() override { return true; }
  bool SupportsOpenCursorsAcrossCommit() override { return true; }
  bool SupportsOpenCursorsAcrossRollback() override { return true; }
  bool SupportsTransactions() override { return true; }
  bool SupportsTransactionIsolationLevel(TZTransactIsolationLevel) override { return true; }
  bool SupportsDataDefinitionAndDataManipulationTransactions() override { return true; }
  bool SupportsResultSetType(TZResultSetType) override { return true; }
  bool SupportsResultSetConcurrency(TZResultSetType, TZResultSetConcurrency) override { return true; }
  bool UsesLocalFilePerTable() override { return false; }
  bool SupportsMixedCaseIdentifiers() override { return false; }
  bool SupportsIntegrityEnhancementFacility() override { return false; }
  bool SupportsOpenStatementsAcrossCommit() override { return false; }
  bool SupportsOpenStatementsAcrossRollback() override { return false; }
  bool DoesMaxRowSizeIncludeBlobs() override { return false; }
  bool SupportsDataManipulationTransactionsOnly() override { return false; }
  bool DataDefinitionCausesTransactionCommit() override { return false; }
  bool DataDefinitionIgnoredInTransactions() override { return false; }

protected:
  Ref<IZResultSet> UncachedGetProcedures(const AnsiString& catalog, const AnsiString& schemaPattern,
                                         const AnsiString& procedureNamePattern) override;
  Ref<IZResultSet> UncachedGetProcedureColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                               const AnsiString& procedureNamePattern,
                                               const AnsiString& columnNamePattern) override;
  Ref<IZResultSet> UncachedGetTables(const AnsiString& catalog, const AnsiString& schemaPattern,
                                     const AnsiString& tableNamePattern, const TZStringDynArray& types) override;
  Ref<IZResultSet> UncachedGetSchemas() override;
  Ref<IZResultSet> UncachedGetCatalogs() override;
  Ref<IZResultSet> UncachedGetTableTypes() override;
  Ref<IZResultSet> UncachedGetColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                      const AnsiString& tableNamePattern, const AnsiString& columnNamePattern) override;
  Ref<IZResultSet> UncachedGetColumnPrivileges(const AnsiString& catalog, const AnsiString& schema,
                                               const AnsiString& table, const AnsiString& columnNamePattern) override;
  Ref<IZResultSet> UncachedGetTablePrivileges(const AnsiString& catalog, const AnsiString& schemaPattern,
                                              const AnsiString& tableNamePattern) override;
  Ref<IZResultSet> UncachedGetVersionColumns(const AnsiString& catalog, const AnsiString& schema,
                                             const AnsiString& table) override;
  Ref<IZResultSet> UncachedGetPrimaryKeys(const AnsiString& catalog, const AnsiString& schema,
                                          const AnsiString& table) override;
  Ref<IZResultSet> UncachedGetImportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                           const AnsiString& table) override;
  Ref<IZResultSet> UncachedGetExportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                           const AnsiString& table) override;
  Ref<IZResultSet> UncachedGetCrossReference(const AnsiString& primaryCatalog, const AnsiString& primarySchema,
                                             const AnsiString& primaryTable, const AnsiString& foreignCatalog,
                                             const AnsiString& foreignSchema, const AnsiString& foreignTable) override;
  Ref<IZResultSet> UncachedGetTypeInfo() override;
  Ref<IZResultSet> UncachedGetIndexInfo(const AnsiString& catalog, const AnsiString& schema, const AnsiString& table,
                                        bool unique, bool approximate) override;
  Ref<IZResultSet> UncachedGetUDTs(const AnsiString& catalog, const AnsiString& schemaPattern,
                                   const AnsiString& typeNamePattern, const TZIntegerDynArray& types) override;

  // Completes a column listing of table from the system table syscolumns
  // (query sql): identities, computed and read-only columns. Rows are
  // paired by table and column name; a listing row without a partner
  // keeps what it had.
  void ApplySysColumns(IZVirtualResultSet& result, const AnsiString& table, const AnsiString& sql,
                       bool computedColumns);
};

class TZSybaseDatabaseMetadata : public TZMsSqlDatabaseMetadata {
public:
  using TZMsSqlDatabaseMetadata::TZMsSqlDatabaseMetadata;

  AnsiString GetDatabaseProductName() override { return "Sybase"; }
  AnsiString GetDatabaseProductVersion() override { return "12+"; }
  AnsiString GetDriverName() override { return "Database Connectivity Driver for Sybase ASE Server"; }

protected:
  Ref<IZResultSet> UncachedGetProcedures(const AnsiString& catalog, const AnsiString& schemaPattern,
                                         const AnsiString& procedureNamePattern) override;
  Ref<IZResultSet> UncachedGetProcedureColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                               const AnsiString& procedureNamePattern,
                                               const AnsiString& columnNamePattern) override;
  Ref<IZResultSet> UncachedGetTables(const AnsiString& catalog, const AnsiString& schemaPattern,
                                     const AnsiString& tableNamePattern, const TZStringDynArray& types) override;
  Ref<IZResultSet> UncachedGetSchemas() override;
  Ref<IZResultSet> UncachedGetCatalogs() override;
  Ref<IZResultSet> UncachedGetColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                      const AnsiString& tableNamePattern, const AnsiString& columnNamePattern) override;
  Ref<IZResultSet> UncachedGetColumnPrivileges(const AnsiString& catalog, const AnsiString& schema,
                                               const AnsiString& table, const AnsiString& columnNamePattern) override;
  Ref<IZResultSet> UncachedGetTablePrivileges(const AnsiString& catalog, const AnsiString& schemaPattern,
                                              const AnsiString& tableNamePattern) override;
  Ref<IZResultSet> UncachedGetVersionColumns(const AnsiString& catalog, const AnsiString& schema,
                                             const AnsiString& table) override;
  Ref<IZResultSet> UncachedGetPrimaryKeys(const AnsiString& catalog, const AnsiString& schema,
                                          const AnsiString& table) override;
  Ref<IZResultSet> UncachedGetImportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                           const AnsiString& table) override;
  Ref<IZResultSet> UncachedGetExportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                           const AnsiString& table) override;
  Ref<IZResultSet> UncachedGetCrossReference(const AnsiString& primaryCatalog, const AnsiString& primarySchema,
                                             const AnsiString& primaryTable, const AnsiString& foreignCatalog,
                                             const AnsiString& foreignSchema, const AnsiString& foreignTable) override;
  Ref<IZResultSet> UncachedGetTypeInfo() override;
  Ref<IZResultSet> UncachedGetIndexInfo(const AnsiString& catalog, const AnsiString& schema, const AnsiString& table,
                                        bool unique, bool approximate) override;
  Ref<IZResultSet> UncachedGetUDTs(const AnsiString& catalog, const AnsiString& schemaPattern,
                                   const AnsiString& typeNamePattern, const TZIntegerDynArray& types) override;

private:
  // Every column of layout copied from the server's column of its name.
  Ref<IZVirtualResultSet> CopySameNames(const AnsiString& sql, const TZMetadataColumnDefs& layout,
                                        const TZRowFiller& fill = {});
};
