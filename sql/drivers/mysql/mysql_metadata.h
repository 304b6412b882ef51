// What a MySQL connection's metadata answers without asking for the catalogue:
// fixed capabilities (some by server version), the keyword and function
// lists, the mapping of column type texts to TZSQLType and the type table.
//
// The core has no database metadata base class yet (the one with the result
// cache and virtual result sets). Until it has, this class stands alone and
// the connection hands out no metadata object; once the base exists, this
// class derives from it, its answers become overrides, and UncachedGetTypeInfo
// builds its rows from MySQLTypeInfoTable().
#pragma once

#include <vector>

#include "sql/core/dbc/interfaces.h"

class TZMySQLDatabaseMetadata {
public:
  // connection is not counted: the metadata lives inside it.
  TZMySQLDatabaseMetadata(IZConnection* connection, const AnsiString& url, TStrings* info);

  // The database named in the connection URL.
  const AnsiString& Database() const { return database_; }

  AnsiString GetDatabaseProductName() { return "MySQL"; }
  AnsiString GetDatabaseProductVersion() { return "3+"; }
  AnsiString GetDriverName() { return "Database Connectivity Driver for MySQL"; }
  int GetDriverMajorVersion() { return 1; }
  int GetDriverMinorVersion() { return 1; }
  bool UsesLocalFilePerTable() { return true; }
  bool StoresMixedCaseIdentifiers() { return true; }
  AnsiString GetIdentifierQuoteString() { return "`"; }
  AnsiString GetSearchStringEscape() { return "\\"; }
  AnsiString GetExtraNameCharacters() { return AnsiString(); }
  AnsiString GetSchemaTerm() { return AnsiString(); }
  AnsiString GetProcedureTerm() { return AnsiString(); }
  AnsiString GetCatalogTerm() { return "Database"; }
  bool SupportsOrderByUnrelated();
  bool SupportsGroupByUnrelated() { return false; }
  bool SupportsGroupByBeyondSelect() { return true; }
  bool SupportsIntegrityEnhancementFacility() { return false; }
  bool SupportsCatalogsInDataManipulation();
  bool SupportsCatalogsInTableDefinitions() { return false; }
  bool SupportsSubqueriesInComparisons() { return true; }
  bool SupportsUnionAll();
  bool SupportsOpenStatementsAcrossCommit() { return false; }
  bool SupportsOpenStatementsAcrossRollback() { return false; }
  int GetMaxBinaryLiteralLength() { return 16777208; }
  int GetMaxCharLiteralLength() { return 16777208; }
  int GetMaxColumnNameLength() { return 64; }
  int GetMaxColumnsInGroupBy() { return 16; }
  int GetMaxColumnsInIndex() { return 16; }
  int GetMaxColumnsInOrderBy() { return 16; }
  int GetMaxColumnsInSelect() { return 256; }
  int GetMaxColumnsInTable() { return 512; }
  int GetMaxConnections() { return 0; }
  int GetMaxCursorNameLength() { return 64; }
  int GetMaxIndexLength() { return 128; }
  int GetMaxCatalogNameLength() { return 32; }
  int GetMaxRowSize() { return 2147483639; }
  bool DoesMaxRowSizeIncludeBlobs() { return true; }
  int GetMaxStatementLength() { return 65531; }
  int GetMaxStatements() { return 0; }
  int GetMaxTableNameLength() { return 64; }
  int GetMaxTablesInSelect() { return 256; }
  int GetMaxUserNameLength() { return 16; }
  TZTransactIsolationLevel GetDefaultTransactionIsolation() { return tiNone; }
  bool SupportsDataDefinitionAndDataManipulationTransactions() { return true; }
  // True once the connection has an isolation level other than tiNone.
  bool SupportsDataManipulationTransactionsOnly();

  // Comma-separated lists without blanks; repeated words are kept.
  AnsiString GetSQLKeywords();
  AnsiString GetNumericFunctions();
  AnsiString GetStringFunctions();
  AnsiString GetSystemFunctions();
  AnsiString GetTimeDateFunctions();

  // The server's major and minor version; servers before 4.1 are asked with
  // "SELECT VERSION()", as the packed number of old libraries is unreliable.
  void GetServerVersionParts(int& major, int& minor);

private:
  IZConnection* connection_;
  AnsiString database_;
};

// The type of a column from its type name and full type text (as in
// "int" / "int(11) unsigned"); names the mapping does not know (newer server
// types such as uuid, inet4, inet6) read as stString.
TZSQLType ConvertMySQLTypeNameToSQLType(const AnsiString& typeName, const AnsiString& typeText);

// One row of the type-information catalogue.
struct TZMySQLTypeInfo {
  const char* Name;
  TZSQLType Type;
  int Precision;  // kNoTypePrecision where the type has none
};
inline constexpr int kNoTypePrecision = -1;

// The 33 types in catalogue order.
const std::vector<TZMySQLTypeInfo>& MySQLTypeInfoTable();
// Whether the type's literals are written between single quotes.
bool MySQLTypeHasQuotedLiterals(TZSQLType type);
