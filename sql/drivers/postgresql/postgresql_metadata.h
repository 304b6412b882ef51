// The database metadata of a PostgreSQL connection: fixed capabilities (some
// by server version), the server-version test, the quoting of catalogue
// values, and the catalogue builders. The simpler lists live in
// postgresql_metadata.cpp; tables, columns, privileges, keys and indexes in
// postgresql_metadata_catalogue.cpp. Each builder has a form for servers
// before 7.3, which have no schemas.
#pragma once

#include "sql/core/dbc/abstract_database_metadata.h"
#include "sql/drivers/postgresql/postgresql_client_types.h"

class IZPostgreSQLConnection;

class TZPostgreSQLDatabaseMetadata : public TZAbstractDatabaseMetadata {
public:
  // connection is not counted: the metadata lives inside it.
  TZPostgreSQLDatabaseMetadata(IZConnection* connection, const AnsiString& url, TStrings* info);

  // Capabilities not named here have the base's answers.

  AnsiString GetDatabaseProductName() override { return "PostgreSQL"; }
  AnsiString GetDriverName() override { return "Database Connectivity Driver for PostgreSQL"; }
  int GetDriverMajorVersion() override { return 1; }
  int GetDriverMinorVersion() override { return 1; }
  bool StoresLowerCaseIdentifiers() override { return true; }
  bool StoresMixedCaseIdentifiers() override { return false; }
  bool StoresMixedCaseQuotedIdentifiers() override { return true; }
  AnsiString GetSQLKeywords() override;
  AnsiString GetSearchStringEscape() override { return "\\"; }
  bool SupportsOrderByUnrelated() override;
  bool SupportsGroupByUnrelated() override;
  bool SupportsGroupByBeyondSelect() override;
  AnsiString GetSchemaTerm() override { return "schema"; }
  AnsiString GetProcedureTerm() override { return "function"; }
  AnsiString GetCatalogTerm() override { return "database"; }
  bool SupportsSchemasInDataManipulation() override;
  bool SupportsSchemasInProcedureCalls() override;
  bool SupportsSchemasInTableDefinitions() override;
  bool SupportsSchemasInIndexDefinitions() override;
  bool SupportsSchemasInPrivilegeDefinitions() override;
  bool SupportsSelectForUpdate() override;
  bool SupportsSubqueriesInComparisons() override { return true; }
  bool SupportsSubqueriesInExists() override { return true; }
  bool SupportsSubqueriesInIns() override { return true; }
  bool SupportsSubqueriesInQuantifieds() override { return true; }
  bool SupportsCorrelatedSubqueries() override;
  bool SupportsUnion() override { return true; }
  bool SupportsUnionAll() override;
  int GetMaxColumnNameLength() override { return GetNameTypeLength(); }
  int GetMaxColumnsInIndex() override;
  int GetMaxColumnsInTable() override { return 1600; }
  int GetMaxConnections() override { return 8192; }
  int GetMaxCursorNameLength() override { return GetNameTypeLength(); }
  int GetMaxSchemaNameLength() override { return GetNameTypeLength(); }
  int GetMaxProcedureNameLength() override { return GetNameTypeLength(); }
  int GetMaxCatalogNameLength() override { return GetNameTypeLength(); }
  int GetMaxRowSize() override;
  int GetMaxStatementLength() override;
  int GetMaxStatements() override { return 1; }
  int GetMaxTableNameLength() override { return GetNameTypeLength(); }
  int GetMaxUserNameLength() override { return GetNameTypeLength(); }
  bool SupportsTransactionIsolationLevel(TZTransactIsolationLevel level) override;
  bool DataDefinitionCausesTransactionCommit() override { return false; }
  bool SupportsResultSetType(TZResultSetType type) override { return type == rtScrollInsensitive; }
  bool SupportsResultSetConcurrency(TZResultSetType type, TZResultSetConcurrency concurrency) override {
    return type == rtScrollInsensitive && concurrency == rcReadOnly;
  }

  // The server's version (opening a closed connection) is major.minor or later.
  bool HasMinimumServerVersion(int major, int minor);
  // Value in single quotes with a backslash before each quote and backslash;
  // an escape-string literal (E'...') from server 8.1 on.
  AnsiString QuoteMetadataString(const AnsiString& value);
  AnsiString GetTypeNameOfOid(Oid oid);
  TZSQLType GetSQLTypeOfOid(Oid oid);
  TZSQLType GetSQLTypeOfName(const AnsiString& name);

protected:
  Ref<IZResultSet> UncachedGetProcedures(const AnsiString& catalog, const AnsiString& schemaPattern,
                                         const AnsiString& procedureNamePattern) override;
  Ref<IZResultSet> UncachedGetProcedureColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                               const AnsiString& procedureNamePattern,
                                               const AnsiString& columnNamePattern) override;
  Ref<IZResultSet> UncachedGetSchemas() override;
  Ref<IZResultSet> UncachedGetCatalogs() override;
  Ref<IZResultSet> UncachedGetTableTypes() override;
  Ref<IZResultSet> UncachedGetTypeInfo() override;
  Ref<IZResultSet> UncachedGetVersionColumns(const AnsiString& catalog, const AnsiString& schema,
                                             const AnsiString& table) override;
  Ref<IZResultSet> UncachedGetSequences(const AnsiString& catalog, const AnsiString& schemaPattern,
                                        const AnsiString& sequenceNamePattern) override;

  // postgresql_metadata_catalogue.cpp
  Ref<IZResultSet> UncachedGetTables(const AnsiString& catalog, const AnsiString& schemaPattern,
                                     const AnsiString& tableNamePattern, const TZStringDynArray& types) override;
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

private:
  IZPostgreSQLConnection& PgConnection();
  // The length of the type "name" (identifiers); "Unknown error" without it.
  int GetNameTypeLength();
  // The one-column integer answer of sql; "Unknown error" without a row.
  int QueryInteger(const AnsiString& sql, const char* column);
  // The foreign keys read from the constraint catalogue (servers from 9.0)
  // or from the trigger catalogue (older ones).
  Ref<IZResultSet> ConstraintKeys(const AnsiString& primarySchema, const AnsiString& primaryTable,
                                  const AnsiString& foreignSchema, const AnsiString& foreignTable);
  Ref<IZResultSet> TriggerKeys(const AnsiString& primarySchema, const AnsiString& primaryTable,
                               const AnsiString& foreignSchema, const AnsiString& foreignTable);
};

// The items of an ACL text "{a=r/b,"x y"=arw/b}", quotes removed.
void SplitAclItems(TStrings* list, const AnsiString& acl);
// "SELECT" for "r" and so on; "UNKNOWN" for letters of no privilege.
AnsiString AclPrivilegeName(char letter);
