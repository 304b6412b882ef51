// The database metadata of an Interbase/Firebird connection: fixed
// capabilities, the keyword list, the server version text (asked once),
// the conditions a caller's name pattern becomes in SQL over the system
// tables, and the catalogue builders (interbase_metadata_catalogue.cpp).
#pragma once

#include "sql/core/dbc/abstract_database_metadata.h"

class IZInterbase6Connection;

class TZInterbase6DatabaseMetadata : public TZAbstractDatabaseMetadata {
public:
  // connection is not counted: the metadata lives inside it.
  TZInterbase6DatabaseMetadata(IZInterbase6Connection* connection, const AnsiString& url, TStrings* info);

  AnsiString GetDatabaseProductName() override { return "Interbase/Firebird"; }
  AnsiString GetDatabaseProductVersion() override { return "6.0+"; }
  AnsiString GetDriverName() override { return "Database Connectivity Driver for Interbase and Firebird"; }
  int GetDriverMajorVersion() override { return 1; }
  int GetDriverMinorVersion() override { return 0; }
  AnsiString GetSQLKeywords() override;
  AnsiString GetNumericFunctions() override { return AnsiString(); }
  AnsiString GetStringFunctions() override { return AnsiString(); }
  AnsiString GetSystemFunctions() override { return AnsiString(); }
  AnsiString GetTimeDateFunctions() override { return AnsiString(); }
  AnsiString GetSearchStringEscape() override { return "\\"; }
  AnsiString GetExtraNameCharacters() override { return "$"; }
  AnsiString GetSchemaTerm() override { return AnsiString(); }
  AnsiString GetCatalogTerm() override { return AnsiString(); }
  AnsiString GetCatalogSeparator() override { return AnsiString(); }
  AnsiString GetProcedureTerm() override { return "PROCEDURE"; }

  int GetMaxBinaryLiteralLength() override { return 0; }
  int GetMaxCharLiteralLength() override { return 1024; }
  int GetMaxColumnNameLength() override { return 31; }
  int GetMaxColumnsInGroupBy() override { return 16; }
  int GetMaxColumnsInIndex() override { return 16; }
  int GetMaxColumnsInOrderBy() override { return 16; }
  int GetMaxColumnsInSelect() override { return 32767; }
  int GetMaxColumnsInTable() override { return 32767; }
  int GetMaxConnections() override { return 0; }
  int GetMaxCursorNameLength() override { return 31; }
  int GetMaxIndexLength() override { return 198; }
  int GetMaxSchemaNameLength() override { return 0; }
  int GetMaxProcedureNameLength() override { return 0; }
  int GetMaxCatalogNameLength() override { return 27; }
  int GetMaxRowSize() override { return 32664; }
  int GetMaxStatementLength() override { return 640; }
  int GetMaxStatements() override { return 0; }
  int GetMaxTableNameLength() override { return 31; }
  int GetMaxTablesInSelect() override { return 16; }
  int GetMaxUserNameLength() override { return 31; }
  TZTransactIsolationLevel GetDefaultTransactionIsolation() override { return tiSerializable; }

  bool SupportsMixedCaseIdentifiers() override { return true; }
  bool StoresUpperCaseIdentifiers() override { return true; }
  bool SupportsMixedCaseQuotedIdentifiers() override { return true; }
  bool StoresMixedCaseQuotedIdentifiers() override { return true; }
  bool SupportsOrderByUnrelated() override { return true; }
  bool SupportsGroupBy() override { return true; }
  bool SupportsGroupByUnrelated() override { return true; }
  bool SupportsGroupByBeyondSelect() override { return true; }
  bool SupportsPositionedDelete() override { return true; }
  bool SupportsPositionedUpdate() override { return true; }
  bool SupportsSelectForUpdate() override { return true; }
  bool SupportsStoredProcedures() override { return true; }
  bool SupportsSubqueriesInComparisons() override { return true; }
  bool SupportsSubqueriesInExists() override { return true; }
  bool SupportsSubqueriesInQuantifieds() override { return true; }
  bool SupportsCorrelatedSubqueries() override { return true; }
  bool SupportsUnion() override { return true; }
  bool SupportsUnionAll() override { return true; }
  bool SupportsOpenStatementsAcrossCommit() override { return true; }
  bool SupportsOpenStatementsAcrossRollback() override { return true; }
  bool SupportsTransactions() override { return true; }
  bool SupportsDataDefinitionAndDataManipulationTransactions() override { return true; }
  bool DataDefinitionCausesTransactionCommit() override { return true; }

  bool UsesLocalFilePerTable() override { return false; }
  bool StoresLowerCaseIdentifiers() override { return false; }
  bool StoresMixedCaseIdentifiers() override { return false; }
  bool StoresUpperCaseQuotedIdentifiers() override { return false; }
  bool StoresLowerCaseQuotedIdentifiers() override { return false; }
  bool SupportsExpressionsInOrderBy() override { return false; }
  bool SupportsIntegrityEnhancementFacility() override { return false; }
  bool SupportsSchemasInDataManipulation() override { return false; }
  bool SupportsSchemasInProcedureCalls() override { return false; }
  bool SupportsSchemasInTableDefinitions() override { return false; }
  bool SupportsSchemasInIndexDefinitions() override { return false; }
  bool SupportsSchemasInPrivilegeDefinitions() override { return false; }
  bool SupportsCatalogsInDataManipulation() override { return false; }
  bool SupportsCatalogsInProcedureCalls() override { return false; }
  bool SupportsCatalogsInTableDefinitions() override { return false; }
  bool SupportsCatalogsInIndexDefinitions() override { return false; }
  bool SupportsCatalogsInPrivilegeDefinitions() override { return false; }
  bool SupportsSubqueriesInIns() override { return false; }
  bool SupportsOpenCursorsAcrossCommit() override { return false; }
  bool SupportsOpenCursorsAcrossRollback() override { return false; }
  bool DoesMaxRowSizeIncludeBlobs() override { return false; }
  bool SupportsDataManipulationTransactionsOnly() override { return false; }
  bool DataDefinitionIgnoredInTransactions() override { return false; }

  bool SupportsTransactionIsolationLevel(TZTransactIsolationLevel level) override {
    return level == tiReadCommitted || level == tiRepeatableRead || level == tiSerializable;
  }
  bool SupportsResultSetType(TZResultSetType type) override { return type == rtScrollInsensitive; }
  bool SupportsResultSetConcurrency(TZResultSetType type, TZResultSetConcurrency concurrency) override {
    return type == rtScrollInsensitive && concurrency == rcReadOnly;
  }

  // The SQL condition that pattern puts on column: none for "" and "%",
  // an equality for a pattern without unescaped wildcards, else a LIKE with
  // "\" as its escape and "%" appended (names are blank-padded). Single
  // quotes are doubled. "Pattern is too long" above 62 characters.
  AnsiString ConstructNameCondition(const AnsiString& pattern, const AnsiString& column);
  // No "_" or "%" that is not preceded by "\".
  bool HasNoWildcards(const AnsiString& pattern);
  // The pattern with each "\" dropped that escapes the character after it.
  AnsiString StripEscape(const AnsiString& pattern);
  // "SELECT" for "S", "INSERT", "UPDATE", "DELETE", "REFERENCE"; else empty.
  static AnsiString GetPrivilege(const AnsiString& code);
  // The server's version text, asked once (again while it is empty).
  AnsiString GetVersionText();

protected:
  Ref<IZResultSet> UncachedGetTableTypes() override;
  // interbase_metadata_catalogue.cpp
  Ref<IZResultSet> UncachedGetProcedures(const AnsiString& catalog, const AnsiString& schemaPattern,
                                         const AnsiString& procedureNamePattern) override;
  Ref<IZResultSet> UncachedGetProcedureColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                               const AnsiString& procedureNamePattern,
                                               const AnsiString& columnNamePattern) override;
  Ref<IZResultSet> UncachedGetTables(const AnsiString& catalog, const AnsiString& schemaPattern,
                                     const AnsiString& tableNamePattern, const TZStringDynArray& types) override;
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
  Ref<IZResultSet> UncachedGetTypeInfo() override;
  Ref<IZResultSet> UncachedGetIndexInfo(const AnsiString& catalog, const AnsiString& schema, const AnsiString& table,
                                        bool unique, bool approximate) override;
  Ref<IZResultSet> UncachedGetSequences(const AnsiString& catalog, const AnsiString& schemaPattern,
                                        const AnsiString& sequenceNamePattern) override;

private:
  // Servers that need the older forms of the column queries.
  bool IsInterbase5();
  // The keys of sql's rows, foreign or exported alike.
  Ref<IZResultSet> Keys(const AnsiString& sql, const TZMetadataColumnDefs& layout);

  IZInterbase6Connection* ibConnection_;
  AnsiString versionText_;
};
