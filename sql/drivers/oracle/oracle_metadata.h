// What an Oracle connection answers about its server: fixed answers about
// the SQL it speaks, and catalogue result sets read from the data
// dictionary views through ordinary statements of the connection.
#pragma once

#include "sql/core/dbc/abstract_database_metadata.h"

class TZOracleDatabaseMetadata : public TZAbstractDatabaseMetadata {
public:
  using TZAbstractDatabaseMetadata::TZAbstractDatabaseMetadata;

  // The answers that differ from the base's.
  AnsiString GetDatabaseProductName() override { return "Oracle"; }
  AnsiString GetDriverName() override { return "Database Connectivity Driver for Oracle"; }
  bool StoresUpperCaseIdentifiers() override { return true; }
  bool StoresMixedCaseIdentifiers() override { return false; }
  bool StoresMixedCaseQuotedIdentifiers() override { return true; }
  AnsiString GetSQLKeywords() override;
  AnsiString GetNumericFunctions() override;
  AnsiString GetStringFunctions() override;
  AnsiString GetSystemFunctions() override { return "USER"; }
  AnsiString GetTimeDateFunctions() override;
  AnsiString GetSearchStringEscape() override { return "//"; }
  AnsiString GetExtraNameCharacters() override { return "$#"; }
  bool SupportsGroupByBeyondSelect() override { return true; }
  bool SupportsIntegrityEnhancementFacility() override { return true; }
  AnsiString GetSchemaTerm() override { return "schema"; }
  AnsiString GetProcedureTerm() override { return "procedure"; }
  AnsiString GetCatalogTerm() override { return AnsiString(); }
  AnsiString GetCatalogSeparator() override { return AnsiString(); }
  bool SupportsSchemasInDataManipulation() override { return true; }
  bool SupportsSchemasInProcedureCalls() override { return true; }
  bool SupportsSchemasInTableDefinitions() override { return true; }
  bool SupportsSchemasInIndexDefinitions() override { return true; }
  bool SupportsSchemasInPrivilegeDefinitions() override { return true; }
  bool SupportsSelectForUpdate() override { return true; }
  bool SupportsStoredProcedures() override { return true; }
  bool SupportsSubqueriesInComparisons() override { return true; }
  bool SupportsSubqueriesInExists() override { return true; }
  bool SupportsSubqueriesInIns() override { return true; }
  bool SupportsSubqueriesInQuantifieds() override { return true; }
  bool SupportsCorrelatedSubqueries() override { return true; }
  bool SupportsUnion() override { return true; }
  bool SupportsUnionAll() override { return true; }
  bool SupportsOpenStatementsAcrossCommit() override { return false; }
  bool SupportsOpenStatementsAcrossRollback() override { return false; }
  int GetMaxBinaryLiteralLength() override { return 1000; }
  int GetMaxCharLiteralLength() override { return 2000; }
  int GetMaxColumnNameLength() override { return 30; }
  int GetMaxColumnsInIndex() override { return 32; }
  int GetMaxColumnsInTable() override { return 1000; }
  int GetMaxSchemaNameLength() override { return 30; }
  int GetMaxProcedureNameLength() override { return 30; }
  int GetMaxRowSize() override { return 2000; }
  int GetMaxStatementLength() override { return 65535; }
  int GetMaxTableNameLength() override { return 30; }
  int GetMaxUserNameLength() override { return 30; }
  bool SupportsDataManipulationTransactionsOnly() override { return true; }
  bool SupportsResultSetType(TZResultSetType type) override { return type == rtForwardOnly; }
  bool SupportsResultSetConcurrency(TZResultSetType type, TZResultSetConcurrency concurrency) override {
    return type == rtForwardOnly && concurrency == rcReadOnly;
  }

protected:
  // Names and patterns go into the texts as quoted literals, quotes doubled.
  Ref<IZResultSet> UncachedGetTables(const AnsiString& catalog, const AnsiString& schemaPattern,
                                     const AnsiString& tableNamePattern, const TZStringDynArray& types) override;
  Ref<IZResultSet> UncachedGetSchemas() override;
  Ref<IZResultSet> UncachedGetTableTypes() override;
  Ref<IZResultSet> UncachedGetColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                      const AnsiString& tableNamePattern,
                                      const AnsiString& columnNamePattern) override;
  Ref<IZResultSet> UncachedGetTablePrivileges(const AnsiString& catalog, const AnsiString& schemaPattern,
                                              const AnsiString& tableNamePattern) override;
  Ref<IZResultSet> UncachedGetColumnPrivileges(const AnsiString& catalog, const AnsiString& schema,
                                               const AnsiString& table, const AnsiString& columnNamePattern) override;
  Ref<IZResultSet> UncachedGetPrimaryKeys(const AnsiString& catalog, const AnsiString& schema,
                                          const AnsiString& table) override;
  Ref<IZResultSet> UncachedGetIndexInfo(const AnsiString& catalog, const AnsiString& schema, const AnsiString& table,
                                        bool unique, bool approximate) override;
};
