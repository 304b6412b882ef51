// The ADO driver's database metadata: fixed capability answers of a server
// with a Transact-SQL dialect, and catalogue answers read from the ADO
// connection's schema rowsets, copied column by column into the fixed
// catalogue layouts.
#pragma once

#include "sql/core/dbc/abstract_database_metadata.h"
#include "sql/drivers/ado/ado_objects.h"

class TZAdoResultSet;

class TZAdoDatabaseMetadata : public TZAbstractDatabaseMetadata {
public:
  TZAdoDatabaseMetadata(IZConnection* connection, const AnsiString& url, TStrings* info);

  AnsiString GetDatabaseProductName() override { return "ado"; }
  AnsiString GetDatabaseProductVersion() override;
  AnsiString GetDriverName() override { return "Database Connectivity Driver for Microsoft ADO"; }
  // The data source's own quote while connected, else the brackets of
  // Transact-SQL: generated statements must run on the data source.
  AnsiString GetIdentifierQuoteString() override;
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

  int GetDriverMajorVersion() override { return 1; }
  int GetDriverMinorVersion() override { return 0; }
  int GetMaxBinaryLiteralLength() override { return 16000; }
  int GetMaxCharLiteralLength() override { return 8000; }
  int GetMaxColumnNameLength() override { return 128; }
  int GetMaxColumnsInIndex() override { return 16; }
  int GetMaxColumnsInSelect() override { return 4096; }
  int GetMaxColumnsInTable() override { return 1024; }
  int GetMaxCursorNameLength() override { return 128; }
  int GetMaxIndexLength() override { return 900; }
  int GetMaxSchemaNameLength() override { return 128; }
  int GetMaxProcedureNameLength() override { return 128; }
  int GetMaxCatalogNameLength() override { return 128; }
  int GetMaxRowSize() override { return 8060; }
  int GetMaxTableNameLength() override { return 128; }
  int GetMaxTablesInSelect() override { return 256; }
  int GetMaxUserNameLength() override { return 128; }
  int GetMaxColumnsInGroupBy() override { return 0; }
  int GetMaxColumnsInOrderBy() override { return 0; }
  int GetMaxConnections() override { return 0; }
  int GetMaxStatementLength() override { return 0; }
  int GetMaxStatements() override { return 0; }
  TZTransactIsolationLevel GetDefaultTransactionIsolation() override { return tiReadCommitted; }

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
                                             const AnsiString& foreignSchema,
                                             const AnsiString& foreignTable) override;
  Ref<IZResultSet> UncachedGetTypeInfo() override;
  Ref<IZResultSet> UncachedGetIndexInfo(const AnsiString& catalog, const AnsiString& schema, const AnsiString& table,
                                        bool unique, bool approximate) override;
  Ref<IZResultSet> UncachedGetUDTs(const AnsiString& catalog, const AnsiString& schemaPattern,
                                   const AnsiString& typeNamePattern, const TZIntegerDynArray& types) override;

public:
  // The restrictions passed for schema with args (none: Null): each is an
  // exact name, the search escapes taken out, unassigned when empty or when
  // the connection does not honour it. For tests, as for the builders.
  Variant BuildRestrictions(int schema, const std::vector<AnsiString>& args);

private:
  using RowCopier = std::function<bool(TZAdoResultSet& from, IZResultSet& to)>;

  void InitializeSchemas();
  // The schema rowset, or null when the connection does not answer it or
  // opening it fails.
  Ref<Recordset15> AdoOpenSchema(int schema, const std::vector<AnsiString>& args);
  // A result of layout with one row per schema row that copy accepts.
  Ref<IZResultSet> Build(const TZMetadataColumnDefs& layout, int schema, const std::vector<AnsiString>& args,
                         const RowCopier& copy, const AnsiString& sort = AnsiString());

  bool schemasRead_ = false;
  Ref<Connection15> adoConnection_;
};
