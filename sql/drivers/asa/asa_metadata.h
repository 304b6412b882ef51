// The database metadata of ASA connections: fixed answers about the
// server, its keyword and function lists, and catalogue answers built by
// running the server's catalogue procedures (texts "exec sp_jdbc_...") on
// ordinary statements of the connection and copying their rows into the
// core's fixed layouts. The base class caches the answers.
#pragma once

#include "sql/core/dbc/abstract_database_metadata.h"

class TZASADatabaseMetadata : public TZAbstractDatabaseMetadata {
public:
  // connection is not counted: the metadata lives inside it.
  TZASADatabaseMetadata(IZConnection* connection, const AnsiString& url, TStrings* info);

  bool NullsAreSortedAtStart() override { return true; }
  AnsiString GetDatabaseProductName() override { return "Sybase ASA"; }
  AnsiString GetDatabaseProductVersion() override { return "7.0+"; }
  AnsiString GetDriverName() override { return "Database Connectivity Driver for Sybase ASA"; }
  bool UsesLocalFiles() override { return false; }
  bool SupportsMixedCaseQuotedIdentifiers() override { return false; }
  bool StoresMixedCaseQuotedIdentifiers() override { return true; }
  AnsiString GetSQLKeywords() override;
  AnsiString GetNumericFunctions() override;
  AnsiString GetStringFunctions() override;
  AnsiString GetSystemFunctions() override;
  AnsiString GetTimeDateFunctions() override;
  AnsiString GetSearchStringEscape() override { return "\\"; }
  AnsiString GetExtraNameCharacters() override { return "@#$"; }
  bool SupportsIntegrityEnhancementFacility() override { return true; }
  AnsiString GetSchemaTerm() override { return "OWNER"; }
  AnsiString GetProcedureTerm() override { return "PROCEDURE"; }
  AnsiString GetCatalogTerm() override { return AnsiString(); }
  AnsiString GetCatalogSeparator() override { return AnsiString(); }
  bool SupportsSchemasInDataManipulation() override { return true; }
  bool SupportsSchemasInProcedureCalls() override { return true; }
  bool SupportsSchemasInTableDefinitions() override { return true; }
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
  int GetMaxCharLiteralLength() override { return 32768; }
  int GetMaxColumnNameLength() override { return 128; }
  int GetMaxColumnsInIndex() override { return 1000000; }
  int GetMaxColumnsInOrderBy() override { return 1000000; }
  int GetMaxColumnsInSelect() override { return 1000000; }
  int GetMaxColumnsInTable() override { return 1000000; }
  int GetMaxCursorNameLength() override { return 128; }
  int GetMaxSchemaNameLength() override { return 128; }
  int GetMaxProcedureNameLength() override { return 128; }
  int GetMaxTableNameLength() override { return 128; }
  int GetMaxUserNameLength() override { return 30; }
  bool DoesMaxRowSizeIncludeBlobs() override { return false; }
  TZTransactIsolationLevel GetDefaultTransactionIsolation() override { return tiReadUncommitted; }

protected:
  Ref<IZResultSet> UncachedGetProcedures(const AnsiString& catalog, const AnsiString& schemaPattern,
                                         const AnsiString& procedureNamePattern) override;
  Ref<IZResultSet> UncachedGetProcedureColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                               const AnsiString& procedureNamePattern,
                                               const AnsiString& columnNamePattern) override;
  Ref<IZResultSet> UncachedGetTables(const AnsiString& catalog, const AnsiString& schemaPattern,
                                     const AnsiString& tableNamePattern, const TZStringDynArray& types) override;
  Ref<IZResultSet> UncachedGetSchemas() override;
  // The server's five kinds of table; no call.
  Ref<IZResultSet> UncachedGetTableTypes() override;
  // Computed columns are marked read-only (and not nullable when declared
  // so), each found by owner, table and position.
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
  // The answer's rows copied into layout: columns by name, every listed
  // one required, then fill.
  Ref<IZVirtualResultSet> CopyProcedure(const AnsiString& sql, const TZMetadataColumnDefs& layout,
                                        const std::vector<TZCatalogueColumn>& columns, const TZRowFiller& fill = {});
};
