// TZAbstractDatabaseMetadata: the base of every driver's database metadata. It
// gives each capability question its default answer, each catalogue query an
// empty answer of the query's layout, builds the best row identifier from the
// other queries, and caches catalogue answers per connection: a query is asked
// of the server once per distinct set of arguments and every caller gets a
// copy of its own. Drivers change answers by overriding the Uncached builders.
#pragma once

#include <bitset>
#include <functional>
#include <initializer_list>
#include <map>
#include <vector>

#include "sql/core/dbc/catalogue_layouts.h"
#include "sql/core/dbc/interfaces.h"

class IZVirtualResultSet;

// One column of a catalogue answer copied from the server's row: Dest of
// the layout from the server's column Source (the same name when null), read
// as Dest's type.
struct TZCatalogueColumn {
  const char* Dest;
  const char* Source = nullptr;
};

// Sets what a plain copy of a catalogue row does not give.
using TZRowFiller = std::function<void(IZResultSet& source, IZVirtualResultSet& result)>;

class TZAbstractDatabaseMetadata : public TContainedObject, public virtual IZDatabaseMetadata {
public:
  // The connection is the controller and is not counted; info is its property
  // list, read by GetUserName and not owned.
  TZAbstractDatabaseMetadata(IZConnection* connection, const AnsiString& url, TStrings* info);
  ~TZAbstractDatabaseMetadata() override;

  // --- capabilities
  bool AllProceduresAreCallable() override { return true; }
  bool AllTablesAreSelectable() override { return true; }
  AnsiString GetURL() override { return url_; }
  // "UID" of the property list, else "username".
  AnsiString GetUserName() override;
  bool IsReadOnly() override { return false; }
  bool NullsAreSortedHigh() override { return false; }
  bool NullsAreSortedLow() override { return false; }
  bool NullsAreSortedAtStart() override { return false; }
  bool NullsAreSortedAtEnd() override { return false; }
  AnsiString GetDatabaseProductName() override { return AnsiString(); }
  AnsiString GetDatabaseProductVersion() override { return AnsiString(); }
  AnsiString GetDriverName() override { return "Database Connectivity Driver"; }
  AnsiString GetDriverVersion() override;
  int GetDriverMajorVersion() override { return 1; }
  int GetDriverMinorVersion() override { return 0; }
  bool UsesLocalFiles() override { return true; }
  bool UsesLocalFilePerTable() override { return false; }
  bool SupportsMixedCaseIdentifiers() override { return false; }
  bool StoresUpperCaseIdentifiers() override { return false; }
  bool StoresLowerCaseIdentifiers() override { return false; }
  bool StoresMixedCaseIdentifiers() override { return true; }
  bool SupportsMixedCaseQuotedIdentifiers() override { return true; }
  bool StoresUpperCaseQuotedIdentifiers() override { return false; }
  bool StoresLowerCaseQuotedIdentifiers() override { return false; }
  bool StoresMixedCaseQuotedIdentifiers() override { return false; }
  AnsiString GetIdentifierQuoteString() override { return "\""; }
  AnsiString GetSQLKeywords() override { return AnsiString(); }
  AnsiString GetNumericFunctions() override { return AnsiString(); }
  AnsiString GetStringFunctions() override { return AnsiString(); }
  AnsiString GetSystemFunctions() override { return AnsiString(); }
  AnsiString GetTimeDateFunctions() override { return AnsiString(); }
  AnsiString GetSearchStringEscape() override { return "%"; }
  AnsiString GetExtraNameCharacters() override { return AnsiString(); }
  bool SupportsAlterTableWithAddColumn() override { return true; }
  bool SupportsAlterTableWithDropColumn() override { return true; }
  bool SupportsColumnAliasing() override { return true; }
  bool NullPlusNonNullIsNull() override { return true; }
  bool SupportsConvert() override { return false; }
  bool SupportsConvertForTypes(TZSQLType, TZSQLType) override { return false; }
  bool SupportsTableCorrelationNames() override { return true; }
  bool SupportsDifferentTableCorrelationNames() override { return false; }
  bool SupportsExpressionsInOrderBy() override { return true; }
  bool SupportsOrderByUnrelated() override { return true; }
  bool SupportsGroupBy() override { return true; }
  bool SupportsGroupByUnrelated() override { return true; }
  bool SupportsGroupByBeyondSelect() override { return false; }
  bool SupportsLikeEscapeClause() override { return true; }
  bool SupportsMultipleResultSets() override { return true; }
  bool SupportsMultipleTransactions() override { return true; }
  bool SupportsNonNullableColumns() override { return true; }
  bool SupportsMinimumSQLGrammar() override { return true; }
  bool SupportsCoreSQLGrammar() override { return true; }
  bool SupportsExtendedSQLGrammar() override { return true; }
  bool SupportsANSI92EntryLevelSQL() override { return true; }
  bool SupportsANSI92IntermediateSQL() override { return true; }
  bool SupportsANSI92FullSQL() override { return true; }
  bool SupportsIntegrityEnhancementFacility() override { return false; }
  bool SupportsOuterJoins() override { return true; }
  bool SupportsFullOuterJoins() override { return true; }
  bool SupportsLimitedOuterJoins() override { return true; }
  AnsiString GetSchemaTerm() override { return "Schema"; }
  AnsiString GetProcedureTerm() override { return "Procedure"; }
  AnsiString GetCatalogTerm() override { return "Catalog"; }
  bool IsCatalogAtStart() override { return false; }
  AnsiString GetCatalogSeparator() override { return "."; }
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
  bool SupportsPositionedDelete() override { return false; }
  bool SupportsPositionedUpdate() override { return false; }
  bool SupportsSelectForUpdate() override { return false; }
  bool SupportsStoredProcedures() override { return false; }
  bool SupportsSubqueriesInComparisons() override { return false; }
  bool SupportsSubqueriesInExists() override { return false; }
  bool SupportsSubqueriesInIns() override { return false; }
  bool SupportsSubqueriesInQuantifieds() override { return false; }
  bool SupportsCorrelatedSubqueries() override { return false; }
  bool SupportsUnion() override { return false; }
  bool SupportsUnionAll() override { return false; }
  bool SupportsOpenCursorsAcrossCommit() override { return false; }
  bool SupportsOpenCursorsAcrossRollback() override { return false; }
  bool SupportsOpenStatementsAcrossCommit() override { return true; }
  bool SupportsOpenStatementsAcrossRollback() override { return true; }
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
  bool DoesMaxRowSizeIncludeBlobs() override { return true; }
  int GetMaxStatementLength() override { return 0; }
  int GetMaxStatements() override { return 0; }
  int GetMaxTableNameLength() override { return 0; }
  int GetMaxTablesInSelect() override { return 0; }
  int GetMaxUserNameLength() override { return 0; }
  TZTransactIsolationLevel GetDefaultTransactionIsolation() override { return tiReadCommitted; }
  bool SupportsTransactions() override { return true; }
  bool SupportsTransactionIsolationLevel(TZTransactIsolationLevel) override { return true; }
  bool SupportsDataDefinitionAndDataManipulationTransactions() override { return true; }
  bool SupportsDataManipulationTransactionsOnly() override { return false; }
  bool DataDefinitionCausesTransactionCommit() override { return true; }
  bool DataDefinitionIgnoredInTransactions() override { return false; }
  bool SupportsResultSetType(TZResultSetType) override { return true; }
  bool SupportsResultSetConcurrency(TZResultSetType, TZResultSetConcurrency) override { return true; }
  bool SupportsBatchUpdates() override { return true; }

  // --- catalogue queries, answered from the cache (keys below)
  Ref<IZResultSet> GetProcedures(const AnsiString& catalog, const AnsiString& schemaPattern,
                                 const AnsiString& procedureNamePattern) final;
  Ref<IZResultSet> GetProcedureColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                       const AnsiString& procedureNamePattern,
                                       const AnsiString& columnNamePattern) final;
  Ref<IZResultSet> GetTables(const AnsiString& catalog, const AnsiString& schemaPattern,
                             const AnsiString& tableNamePattern, const TZStringDynArray& types) final;
  Ref<IZResultSet> GetSchemas() final;
  Ref<IZResultSet> GetCatalogs() final;
  Ref<IZResultSet> GetTableTypes() final;
  Ref<IZResultSet> GetColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                              const AnsiString& tableNamePattern, const AnsiString& columnNamePattern) final;
  Ref<IZResultSet> GetColumnPrivileges(const AnsiString& catalog, const AnsiString& schema, const AnsiString& table,
                                       const AnsiString& columnNamePattern) final;
  Ref<IZResultSet> GetTablePrivileges(const AnsiString& catalog, const AnsiString& schemaPattern,
                                      const AnsiString& tableNamePattern) final;
  Ref<IZResultSet> GetBestRowIdentifier(const AnsiString& catalog, const AnsiString& schema, const AnsiString& table,
                                        int scope, bool nullable) final;
  Ref<IZResultSet> GetVersionColumns(const AnsiString& catalog, const AnsiString& schema,
                                     const AnsiString& table) final;
  Ref<IZResultSet> GetPrimaryKeys(const AnsiString& catalog, const AnsiString& schema,
                                  const AnsiString& table) final;
  Ref<IZResultSet> GetImportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                   const AnsiString& table) final;
  Ref<IZResultSet> GetExportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                   const AnsiString& table) final;
  Ref<IZResultSet> GetCrossReference(const AnsiString& primaryCatalog, const AnsiString& primarySchema,
                                     const AnsiString& primaryTable, const AnsiString& foreignCatalog,
                                     const AnsiString& foreignSchema, const AnsiString& foreignTable) final;
  Ref<IZResultSet> GetTypeInfo() final;
  Ref<IZResultSet> GetIndexInfo(const AnsiString& catalog, const AnsiString& schema, const AnsiString& table,
                                bool unique, bool approximate) final;
  Ref<IZResultSet> GetSequences(const AnsiString& catalog, const AnsiString& schemaPattern,
                                const AnsiString& sequenceNamePattern) final;
  Ref<IZResultSet> GetUDTs(const AnsiString& catalog, const AnsiString& schemaPattern,
                           const AnsiString& typeNamePattern, const TZIntegerDynArray& types) final;

  Ref<IZConnection> GetConnection() override;
  // A new convertor over this metadata on every call.
  Ref<IZIdentifierConvertor> GetIdentifierConvertor() override;
  void ClearCache() override;
  // key is the text a query files its answer under: the query's name and its
  // arguments joined by ":", e.g. "get-columns:cat:schema:table:" (an empty
  // column pattern last). A "\" or ":" inside an argument is written "\\" or
  // "\:", so arguments holding ":" never meet another query's entry.
  void ClearCacheEntry(const AnsiString& key) override;
  // Escapes the escape string, then every wildcard, with GetSearchStringEscape.
  AnsiString AddEscapeCharToWildcards(const AnsiString& pattern) final;
  std::bitset<256> GetWildcardsSet();

  // --- for builders: results of the fixed layouts
  // Empty, scroll-insensitive and updatable, so rows can be inserted.
  static Ref<IZVirtualResultSet> ConstructVirtualResultSet(const TZMetadataColumnDefs& columnsDefs);
  // Appends the source's rows from its current position, then rewinds the
  // destination and makes it read-only.
  static Ref<IZVirtualResultSet> CopyToVirtualResultSet(const Ref<IZResultSet>& srcResultSet,
                                                       const Ref<IZVirtualResultSet>& destResultSet);
  // The closing answers of a columns row being built: searchable, and either
  // writable (definitely so) or read-only.
  static void UpdateColumnAccess(IZResultSet& row, bool writable);
  // A table-types answer of the fixed types, in order, before its first row.
  static Ref<IZVirtualResultSet> ConstructTableTypes(const std::vector<const char*>& types);
  // A read-only copy of all rows; the source is left before its first row.
  static Ref<IZResultSet> CloneCachedResultSet(const Ref<IZResultSet>& resultSet);
  // The rows of a catalogue query on the connection, copied into a result of
  // layout (the query's statement closed again).
  Ref<IZResultSet> CopyQuery(const AnsiString& sql, const TZMetadataColumnDefs& layout);
  // The rows of sql copied into a result of layout: the listed columns by
  // the layout's types (texts, shorts, ints; a flag is the value 1), then
  // fill for what a plain copy does not give. A column the answer lacks
  // stays null, or with required raises "Column with name ... was not
  // found". Left before its first row.
  Ref<IZVirtualResultSet> CopyCatalogue(const AnsiString& sql, const TZMetadataColumnDefs& layout,
                                        const std::vector<TZCatalogueColumn>& columns, const TZRowFiller& fill = {},
                                        bool required = false);

protected:
  // Sets the LIKE wildcard characters; "_" and "%" here.
  virtual void FillWildcards();

  virtual Ref<IZResultSet> UncachedGetTables(const AnsiString& catalog, const AnsiString& schemaPattern,
                                             const AnsiString& tableNamePattern, const TZStringDynArray& types);
  virtual Ref<IZResultSet> UncachedGetSchemas();
  virtual Ref<IZResultSet> UncachedGetCatalogs();
  virtual Ref<IZResultSet> UncachedGetTableTypes();
  virtual Ref<IZResultSet> UncachedGetColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                              const AnsiString& tableNamePattern,
                                              const AnsiString& columnNamePattern);
  virtual Ref<IZResultSet> UncachedGetTablePrivileges(const AnsiString& catalog, const AnsiString& schemaPattern,
                                                      const AnsiString& tableNamePattern);
  virtual Ref<IZResultSet> UncachedGetColumnPrivileges(const AnsiString& catalog, const AnsiString& schema,
                                                       const AnsiString& table, const AnsiString& columnNamePattern);
  virtual Ref<IZResultSet> UncachedGetPrimaryKeys(const AnsiString& catalog, const AnsiString& schema,
                                                  const AnsiString& table);
  virtual Ref<IZResultSet> UncachedGetImportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                                   const AnsiString& table);
  virtual Ref<IZResultSet> UncachedGetExportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                                   const AnsiString& table);
  virtual Ref<IZResultSet> UncachedGetCrossReference(const AnsiString& primaryCatalog,
                                                     const AnsiString& primarySchema, const AnsiString& primaryTable,
                                                     const AnsiString& foreignCatalog,
                                                     const AnsiString& foreignSchema, const AnsiString& foreignTable);
  virtual Ref<IZResultSet> UncachedGetIndexInfo(const AnsiString& catalog, const AnsiString& schema,
                                                const AnsiString& table, bool unique, bool approximate);
  virtual Ref<IZResultSet> UncachedGetSequences(const AnsiString& catalog, const AnsiString& schemaPattern,
                                                const AnsiString& sequenceNamePattern);
  virtual Ref<IZResultSet> UncachedGetProcedures(const AnsiString& catalog, const AnsiString& schemaPattern,
                                                 const AnsiString& procedureNamePattern);
  virtual Ref<IZResultSet> UncachedGetProcedureColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                                       const AnsiString& procedureNamePattern,
                                                       const AnsiString& columnNamePattern);
  // The primary key's columns, else those of the first unique index, else
  // every column that is not binary or a large object.
  virtual Ref<IZResultSet> UncachedGetBestRowIdentifier(const AnsiString& catalog, const AnsiString& schema,
                                                        const AnsiString& table, int scope, bool nullable);
  virtual Ref<IZResultSet> UncachedGetVersionColumns(const AnsiString& catalog, const AnsiString& schema,
                                                     const AnsiString& table);
  virtual Ref<IZResultSet> UncachedGetTypeInfo();
  virtual Ref<IZResultSet> UncachedGetUDTs(const AnsiString& catalog, const AnsiString& schemaPattern,
                                           const AnsiString& typeNamePattern, const TZIntegerDynArray& types);

  std::vector<char> Wildcards;

private:
  // The stored answer's copy, or the builder's answer with a copy stored.
  Ref<IZResultSet> Cached(const AnsiString& key, const std::function<Ref<IZResultSet>()>& build);
  const std::vector<char>& GetWildcards();

  IZConnection* connection_;  // the controller, not counted
  AnsiString url_;
  TStrings* info_;
  std::map<AnsiString, Ref<IZResultSet>> cachedResultSets_;
  bool wildcardsFilled_ = false;
};
