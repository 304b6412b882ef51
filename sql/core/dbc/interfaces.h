// The contract between database drivers and everything above them: drivers,
// connections, statements, result sets, their metadata, blobs and sequences.
// The interfaces refer to one another, so they are declared together here;
// the base classes implement them and each driver derives from those bases.
// Column, parameter and row numbers are 1-based throughout.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/datetime.h"
#include "sql/core/sql_types.h"
#include "sql/core/sysutils.h"
#include "sql/core/variant.h"

class TStream;
class TStrings;
class IZTokenizer;
class IZStatementAnalyser;
class IZIdentifierConvertor;

class IZDriver;
class IZConnection;
class IZStatement;
class IZPreparedStatement;
class IZCallableStatement;
class IZResultSet;
class IZResultSetMetadata;
class IZDatabaseMetadata;
class IZBlob;
class IZSequence;

// A chain of server warnings. No driver of this system reports warnings, so
// every GetWarnings answers none; the type exists for the interface's shape.
class EZSQLWarning;

using TZStringDynArray = std::vector<AnsiString>;
using TZIntegerDynArray = std::vector<int>;
using TZBooleanDynArray = std::vector<bool>;
// Post and locate modes of updatable results: stored and passed on, read only
// by the resolvers.
using TZUpdatesMode = std::uint8_t;

// A registered driver: answers for the protocols it lists and opens connections.
class IZDriver : public virtual IZInterface {
public:
  virtual TZStringDynArray GetSupportedProtocols() = 0;
  // properties may be null; the driver copies what it needs.
  virtual Ref<IZConnection> Connect(const AnsiString& url, TStrings* properties) = 0;
  // Packed major * 1000000 + minor * 1000 + sub; 0 when unknown.
  virtual int GetClientVersion(const AnsiString& url) = 0;
  virtual bool AcceptsURL(const AnsiString& url) = 0;
  virtual std::unique_ptr<TStrings> GetPropertyInfo(const AnsiString& url, TStrings* info) = 0;
  virtual int GetMajorVersion() = 0;
  virtual int GetMinorVersion() = 0;
  virtual int GetSubVersion() = 0;
  virtual Ref<IZTokenizer> GetTokenizer() = 0;
  virtual Ref<IZStatementAnalyser> GetStatementAnalyser() = 0;
};

// An open (or openable) session with a server.
class IZConnection : public virtual IZInterface {
public:
  virtual Ref<IZStatement> CreateStatement() = 0;
  virtual Ref<IZPreparedStatement> PrepareStatement(const AnsiString& sql) = 0;
  virtual Ref<IZCallableStatement> PrepareCall(const AnsiString& sql) = 0;
  virtual Ref<IZStatement> CreateStatementWithProperties(TStrings* info) = 0;
  virtual Ref<IZPreparedStatement> PrepareStatementWithProperties(const AnsiString& sql, TStrings* info) = 0;
  virtual Ref<IZCallableStatement> PrepareCallWithProperties(const AnsiString& sql, TStrings* info) = 0;
  virtual Ref<IZInterface> CreateNamedObject(const AnsiString& name) = 0;
  virtual Ref<IZSequence> CreateSequence(const AnsiString& name, int blockSize) = 0;

  virtual AnsiString NativeSQL(const AnsiString& sql) = 0;
  virtual void SetAutoCommit(bool value) = 0;
  virtual bool GetAutoCommit() = 0;
  virtual void Commit() = 0;
  virtual void Rollback() = 0;
  virtual void PrepareTransaction(const AnsiString& transactionId) = 0;
  virtual void CommitPrepared(const AnsiString& transactionId) = 0;
  virtual void RollbackPrepared(const AnsiString& transactionId) = 0;
  // 0 when the server answers.
  virtual int PingServer() = 0;
  virtual AnsiString EscapeString(const AnsiString& value) = 0;

  virtual void Open() = 0;
  virtual void Close() = 0;
  virtual bool IsClosed() = 0;

  virtual Ref<IZDriver> GetDriver() = 0;
  virtual Ref<IZDatabaseMetadata> GetMetadata() = 0;
  // The live list: changes are seen by later readers.
  virtual TStrings* GetProperties() = 0;
  virtual int GetClientVersion() = 0;
  virtual int GetServerVersion() = 0;

  virtual void SetReadOnly(bool value) = 0;
  virtual bool IsReadOnly() = 0;
  virtual void SetCatalog(const AnsiString& catalog) = 0;
  virtual AnsiString GetCatalog() = 0;
  virtual void SetTransactIsolationLevel(TZTransactIsolationLevel level) = 0;
  virtual TZTransactIsolationLevel GetTransactIsolationLevel() = 0;
  virtual EZSQLWarning* GetWarnings() = 0;
  virtual void ClearWarnings() = 0;
};

class IZStatement : public virtual IZInterface {
public:
  virtual Ref<IZResultSet> ExecuteQuery(const AnsiString& sql) = 0;
  // Rows affected.
  virtual int ExecuteUpdate(const AnsiString& sql) = 0;
  virtual void Close() = 0;

  virtual int GetMaxFieldSize() = 0;
  virtual void SetMaxFieldSize(int value) = 0;
  // 0 = no limit.
  virtual int GetMaxRows() = 0;
  virtual void SetMaxRows(int value) = 0;
  virtual void SetEscapeProcessing(bool value) = 0;
  virtual int GetQueryTimeout() = 0;
  virtual void SetQueryTimeout(int value) = 0;
  virtual void Cancel() = 0;
  virtual void SetCursorName(const AnsiString& value) = 0;

  // True when the SQL gave a result set (GetResultSet), false when it gave an
  // update count (GetUpdateCount).
  virtual bool Execute(const AnsiString& sql) = 0;
  virtual Ref<IZResultSet> GetResultSet() = 0;
  // -1 when there is none.
  virtual int GetUpdateCount() = 0;
  virtual bool GetMoreResults() = 0;

  virtual void SetFetchDirection(TZFetchDirection value) = 0;
  virtual TZFetchDirection GetFetchDirection() = 0;
  virtual void SetFetchSize(int value) = 0;
  virtual int GetFetchSize() = 0;
  virtual void SetResultSetConcurrency(TZResultSetConcurrency value) = 0;
  virtual TZResultSetConcurrency GetResultSetConcurrency() = 0;
  virtual void SetResultSetType(TZResultSetType value) = 0;
  virtual TZResultSetType GetResultSetType() = 0;
  virtual void SetPostUpdates(TZUpdatesMode value) = 0;
  virtual TZUpdatesMode GetPostUpdates() = 0;
  virtual void SetLocateUpdates(TZUpdatesMode value) = 0;
  virtual TZUpdatesMode GetLocateUpdates() = 0;

  virtual void AddBatch(const AnsiString& sql) = 0;
  virtual void ClearBatch() = 0;
  virtual TZIntegerDynArray ExecuteBatch() = 0;

  virtual Ref<IZConnection> GetConnection() = 0;
  // The live list, read by GetStatementProperty.
  virtual TStrings* GetProperties() = 0;
  virtual EZSQLWarning* GetWarnings() = 0;
  virtual void ClearWarnings() = 0;
};

class IZPreparedStatement : public virtual IZStatement {
public:
  virtual Ref<IZResultSet> ExecuteQueryPrepared() = 0;
  virtual int ExecuteUpdatePrepared() = 0;
  virtual bool ExecutePrepared() = 0;

  virtual void SetDefaultValue(int parameterIndex, const AnsiString& value) = 0;
  virtual void SetNull(int parameterIndex, TZSQLType sqlType) = 0;
  virtual void SetBoolean(int parameterIndex, bool value) = 0;
  virtual void SetByte(int parameterIndex, std::int8_t value) = 0;
  virtual void SetShort(int parameterIndex, std::int16_t value) = 0;
  virtual void SetInt(int parameterIndex, int value) = 0;
  virtual void SetLong(int parameterIndex, std::int64_t value) = 0;
  virtual void SetFloat(int parameterIndex, float value) = 0;
  virtual void SetDouble(int parameterIndex, double value) = 0;
  virtual void SetBigDecimal(int parameterIndex, long double value) = 0;
  virtual void SetPChar(int parameterIndex, const char* value) = 0;
  virtual void SetString(int parameterIndex, const AnsiString& value) = 0;
  virtual void SetUnicodeString(int parameterIndex, const WideString& value) = 0;
  virtual void SetBytes(int parameterIndex, const TByteDynArray& value) = 0;
  virtual void SetDate(int parameterIndex, TDateTime value) = 0;
  virtual void SetTime(int parameterIndex, TDateTime value) = 0;
  virtual void SetTimestamp(int parameterIndex, TDateTime value) = 0;
  // The streams are copied; the caller keeps them. Null gives an empty value.
  virtual void SetAsciiStream(int parameterIndex, TStream* value) = 0;
  virtual void SetUnicodeStream(int parameterIndex, TStream* value) = 0;
  virtual void SetBinaryStream(int parameterIndex, TStream* value) = 0;
  virtual void SetBlob(int parameterIndex, TZSQLType sqlType, const Ref<IZBlob>& value) = 0;
  virtual void SetValue(int parameterIndex, const TZVariant& value) = 0;
  virtual void ClearParameters() = 0;

  virtual void AddBatchPrepared() = 0;
  virtual Ref<IZResultSetMetadata> GetMetadata() = 0;
};

class IZCallableStatement : public virtual IZPreparedStatement {
public:
  // sqlType holds a TZSQLType.
  virtual void RegisterOutParameter(int parameterIndex, int sqlType) = 0;
  virtual bool WasNull() = 0;
  virtual bool IsNull(int parameterIndex) = 0;

  // Valid until the next GetPChar or the statement's release.
  virtual const char* GetPChar(int parameterIndex) = 0;
  virtual AnsiString GetString(int parameterIndex) = 0;
  virtual WideString GetUnicodeString(int parameterIndex) = 0;
  virtual bool GetBoolean(int parameterIndex) = 0;
  virtual std::int8_t GetByte(int parameterIndex) = 0;
  virtual std::int16_t GetShort(int parameterIndex) = 0;
  virtual int GetInt(int parameterIndex) = 0;
  virtual std::int64_t GetLong(int parameterIndex) = 0;
  virtual float GetFloat(int parameterIndex) = 0;
  virtual double GetDouble(int parameterIndex) = 0;
  virtual long double GetBigDecimal(int parameterIndex) = 0;
  virtual TByteDynArray GetBytes(int parameterIndex) = 0;
  virtual TDateTime GetDate(int parameterIndex) = 0;
  virtual TDateTime GetTime(int parameterIndex) = 0;
  virtual TDateTime GetTimestamp(int parameterIndex) = 0;
  virtual TZVariant GetValue(int parameterIndex) = 0;
};

// A cursor over rows. The by-name forms look the column up with
// GetColumnIndex and call the by-number form, so an implementation provides
// the by-number operations only and the two can never disagree.
class IZResultSet : public virtual IZInterface {
public:
  virtual bool Next() = 0;
  virtual void Close() = 0;
  // Whether the last value read was NULL.
  virtual bool WasNull() = 0;

  // --- getters by column number
  virtual bool IsNull(int columnIndex) = 0;
  // Valid until the next GetPChar or the result set's release.
  virtual const char* GetPChar(int columnIndex) = 0;
  virtual AnsiString GetString(int columnIndex) = 0;
  virtual WideString GetUnicodeString(int columnIndex) = 0;
  virtual bool GetBoolean(int columnIndex) = 0;
  virtual std::int8_t GetByte(int columnIndex) = 0;
  virtual std::int16_t GetShort(int columnIndex) = 0;
  virtual int GetInt(int columnIndex) = 0;
  virtual std::int64_t GetLong(int columnIndex) = 0;
  virtual float GetFloat(int columnIndex) = 0;
  virtual double GetDouble(int columnIndex) = 0;
  virtual long double GetBigDecimal(int columnIndex) = 0;
  virtual TByteDynArray GetBytes(int columnIndex) = 0;
  virtual TDateTime GetDate(int columnIndex) = 0;
  virtual TDateTime GetTime(int columnIndex) = 0;
  virtual TDateTime GetTimestamp(int columnIndex) = 0;
  // A new stream owned by the caller, or null.
  virtual std::unique_ptr<TStream> GetAsciiStream(int columnIndex) = 0;
  virtual std::unique_ptr<TStream> GetUnicodeStream(int columnIndex) = 0;
  virtual std::unique_ptr<TStream> GetBinaryStream(int columnIndex) = 0;
  virtual Ref<IZBlob> GetBlob(int columnIndex) = 0;
  virtual TZVariant GetValue(int columnIndex) = 0;

  // --- getters by column name
  virtual bool IsNullByName(const AnsiString& columnName);
  virtual const char* GetPCharByName(const AnsiString& columnName);
  virtual AnsiString GetStringByName(const AnsiString& columnName);
  virtual WideString GetUnicodeStringByName(const AnsiString& columnName);
  virtual bool GetBooleanByName(const AnsiString& columnName);
  virtual std::int8_t GetByteByName(const AnsiString& columnName);
  virtual std::int16_t GetShortByName(const AnsiString& columnName);
  virtual int GetIntByName(const AnsiString& columnName);
  virtual std::int64_t GetLongByName(const AnsiString& columnName);
  virtual float GetFloatByName(const AnsiString& columnName);
  virtual double GetDoubleByName(const AnsiString& columnName);
  virtual long double GetBigDecimalByName(const AnsiString& columnName);
  virtual TByteDynArray GetBytesByName(const AnsiString& columnName);
  virtual TDateTime GetDateByName(const AnsiString& columnName);
  virtual TDateTime GetTimeByName(const AnsiString& columnName);
  virtual TDateTime GetTimestampByName(const AnsiString& columnName);
  virtual std::unique_ptr<TStream> GetAsciiStreamByName(const AnsiString& columnName);
  virtual std::unique_ptr<TStream> GetUnicodeStreamByName(const AnsiString& columnName);
  virtual std::unique_ptr<TStream> GetBinaryStreamByName(const AnsiString& columnName);
  virtual Ref<IZBlob> GetBlobByName(const AnsiString& columnName);
  virtual TZVariant GetValueByName(const AnsiString& columnName);

  virtual EZSQLWarning* GetWarnings() = 0;
  virtual void ClearWarnings() = 0;
  virtual AnsiString GetCursorName() = 0;
  virtual Ref<IZResultSetMetadata> GetMetadata() = 0;
  // Column number, 0 when no column has that name.
  virtual int FindColumn(const AnsiString& columnName) = 0;

  // --- position
  virtual bool IsBeforeFirst() = 0;
  virtual bool IsAfterLast() = 0;
  virtual bool IsFirst() = 0;
  virtual bool IsLast() = 0;
  virtual void BeforeFirst() = 0;
  virtual void AfterLast() = 0;
  virtual bool First() = 0;
  virtual bool Last() = 0;
  // Current row number, 0 before the first row.
  virtual int GetRow() = 0;
  // True when positioned on a row.
  virtual bool MoveAbsolute(int row) = 0;
  virtual bool MoveRelative(int rows) = 0;
  virtual bool Previous() = 0;

  virtual void SetFetchDirection(TZFetchDirection value) = 0;
  virtual TZFetchDirection GetFetchDirection() = 0;
  virtual void SetFetchSize(int value) = 0;
  virtual int GetFetchSize() = 0;
  virtual TZResultSetType GetType() = 0;
  virtual TZResultSetConcurrency GetConcurrency() = 0;
  virtual TZUpdatesMode GetPostUpdates() = 0;
  virtual TZUpdatesMode GetLocateUpdates() = 0;

  virtual bool RowUpdated() = 0;
  virtual bool RowInserted() = 0;
  virtual bool RowDeleted() = 0;

  // --- updaters by column number; the streams are read, the caller keeps them
  virtual void UpdateNull(int columnIndex) = 0;
  virtual void UpdateBoolean(int columnIndex, bool value) = 0;
  virtual void UpdateByte(int columnIndex, std::int8_t value) = 0;
  virtual void UpdateShort(int columnIndex, std::int16_t value) = 0;
  virtual void UpdateInt(int columnIndex, int value) = 0;
  virtual void UpdateLong(int columnIndex, std::int64_t value) = 0;
  virtual void UpdateFloat(int columnIndex, float value) = 0;
  virtual void UpdateDouble(int columnIndex, double value) = 0;
  virtual void UpdateBigDecimal(int columnIndex, long double value) = 0;
  virtual void UpdatePChar(int columnIndex, const char* value) = 0;
  virtual void UpdateString(int columnIndex, const AnsiString& value) = 0;
  virtual void UpdateUnicodeString(int columnIndex, const WideString& value) = 0;
  virtual void UpdateBytes(int columnIndex, const TByteDynArray& value) = 0;
  virtual void UpdateDate(int columnIndex, TDateTime value) = 0;
  virtual void UpdateTime(int columnIndex, TDateTime value) = 0;
  virtual void UpdateTimestamp(int columnIndex, TDateTime value) = 0;
  virtual void UpdateAsciiStream(int columnIndex, TStream* value) = 0;
  virtual void UpdateUnicodeStream(int columnIndex, TStream* value) = 0;
  virtual void UpdateBinaryStream(int columnIndex, TStream* value) = 0;
  virtual void UpdateValue(int columnIndex, const TZVariant& value) = 0;

  // --- updaters by column name
  virtual void UpdateNullByName(const AnsiString& columnName);
  virtual void UpdateBooleanByName(const AnsiString& columnName, bool value);
  virtual void UpdateByteByName(const AnsiString& columnName, std::int8_t value);
  virtual void UpdateShortByName(const AnsiString& columnName, std::int16_t value);
  virtual void UpdateIntByName(const AnsiString& columnName, int value);
  virtual void UpdateLongByName(const AnsiString& columnName, std::int64_t value);
  virtual void UpdateFloatByName(const AnsiString& columnName, float value);
  virtual void UpdateDoubleByName(const AnsiString& columnName, double value);
  virtual void UpdateBigDecimalByName(const AnsiString& columnName, long double value);
  virtual void UpdatePCharByName(const AnsiString& columnName, const char* value);
  virtual void UpdateStringByName(const AnsiString& columnName, const AnsiString& value);
  virtual void UpdateUnicodeStringByName(const AnsiString& columnName, const WideString& value);
  virtual void UpdateBytesByName(const AnsiString& columnName, const TByteDynArray& value);
  virtual void UpdateDateByName(const AnsiString& columnName, TDateTime value);
  virtual void UpdateTimeByName(const AnsiString& columnName, TDateTime value);
  virtual void UpdateTimestampByName(const AnsiString& columnName, TDateTime value);
  virtual void UpdateAsciiStreamByName(const AnsiString& columnName, TStream* value);
  virtual void UpdateUnicodeStreamByName(const AnsiString& columnName, TStream* value);
  virtual void UpdateBinaryStreamByName(const AnsiString& columnName, TStream* value);
  virtual void UpdateValueByName(const AnsiString& columnName, const TZVariant& value);

  // --- row changes
  virtual void InsertRow() = 0;
  virtual void UpdateRow() = 0;
  virtual void DeleteRow() = 0;
  virtual void RefreshRow() = 0;
  virtual void CancelRowUpdates() = 0;
  virtual void MoveToInsertRow() = 0;
  virtual void MoveToCurrentRow() = 0;
  // Negative, zero or positive as row1 sorts before, with or after row2;
  // columnDirs holds one flag per column, true = ascending.
  virtual int CompareRows(int row1, int row2, const TZIntegerDynArray& columnIndices,
                          const TZBooleanDynArray& columnDirs) = 0;
  virtual Ref<IZStatement> GetStatement() = 0;

  // FindColumn, or EZSQLException "Column with name "%s" was not found".
  int GetColumnIndex(const AnsiString& columnName);
};

// The description of a result's columns; column numbers are 1-based.
class IZResultSetMetadata : public virtual IZInterface {
public:
  virtual int GetColumnCount() = 0;
  virtual bool IsAutoIncrement(int column) = 0;
  virtual bool IsCaseSensitive(int column) = 0;
  virtual bool IsSearchable(int column) = 0;
  virtual bool IsCurrency(int column) = 0;
  virtual TZColumnNullableType IsNullable(int column) = 0;
  virtual bool IsSigned(int column) = 0;
  virtual int GetColumnDisplaySize(int column) = 0;
  virtual AnsiString GetColumnLabel(int column) = 0;
  virtual AnsiString GetColumnName(int column) = 0;
  virtual AnsiString GetSchemaName(int column) = 0;
  virtual int GetPrecision(int column) = 0;
  virtual int GetScale(int column) = 0;
  virtual AnsiString GetTableName(int column) = 0;
  virtual AnsiString GetCatalogName(int column) = 0;
  virtual TZSQLType GetColumnType(int column) = 0;
  virtual AnsiString GetColumnTypeName(int column) = 0;
  virtual bool IsReadOnly(int column) = 0;
  virtual bool IsWritable(int column) = 0;
  virtual bool IsDefinitelyWritable(int column) = 0;
  virtual AnsiString GetDefaultValue(int column) = 0;
  virtual bool HasDefaultValue(int column) = 0;
};

// A large value. Empty means NULL; a value of length 0 is not empty.
class IZBlob : public virtual IZInterface {
public:
  virtual bool IsEmpty() = 0;
  virtual bool IsUpdated() = 0;
  // Bytes, -1 when empty.
  virtual int GetLength() = 0;
  virtual AnsiString GetString() = 0;
  virtual void SetString(const AnsiString& value) = 0;
  virtual WideString GetUnicodeString() = 0;
  virtual void SetUnicodeString(const WideString& value) = 0;
  virtual TByteDynArray GetBytes() = 0;
  virtual void SetBytes(const TByteDynArray& value) = 0;
  // A new stream owned by the caller.
  virtual std::unique_ptr<TStream> GetStream() = 0;
  // Reads the stream; null clears the value.
  virtual void SetStream(TStream* value) = 0;
  virtual void Clear() = 0;
  virtual Ref<IZBlob> Clone() = 0;
};

// A server-side sequence of numbers.
class IZSequence : public virtual IZInterface {
public:
  virtual AnsiString GetName() = 0;
  virtual int GetBlockSize() = 0;
  virtual void SetName(const AnsiString& value) = 0;
  virtual void SetBlockSize(int value) = 0;
  virtual std::int64_t GetCurrentValue() = 0;
  virtual std::int64_t GetNextValue() = 0;
  // SQL expressions that yield the current and the next value.
  virtual AnsiString GetCurrentValueSQL() = 0;
  virtual AnsiString GetNextValueSQL() = 0;
  virtual Ref<IZConnection> GetConnection() = 0;
};

// Capability questions and catalogue queries of a connection's server. The
// base class of the metadata gives every capability its default answer; a
// driver overrides what its server does differently. Limits are 0 when none
// is known. Catalogue results have fixed layouts; an argument named ...Pattern
// may hold LIKE wildcards.
class IZDatabaseMetadata : public virtual IZInterface {
public:
  // --- capabilities
  virtual bool AllProceduresAreCallable() = 0;
  virtual bool AllTablesAreSelectable() = 0;
  virtual AnsiString GetURL() = 0;
  virtual AnsiString GetUserName() = 0;
  virtual bool IsReadOnly() = 0;
  virtual bool NullsAreSortedHigh() = 0;
  virtual bool NullsAreSortedLow() = 0;
  virtual bool NullsAreSortedAtStart() = 0;
  virtual bool NullsAreSortedAtEnd() = 0;
  virtual AnsiString GetDatabaseProductName() = 0;
  virtual AnsiString GetDatabaseProductVersion() = 0;
  virtual AnsiString GetDriverName() = 0;
  virtual AnsiString GetDriverVersion() = 0;
  virtual int GetDriverMajorVersion() = 0;
  virtual int GetDriverMinorVersion() = 0;
  virtual bool UsesLocalFiles() = 0;
  virtual bool UsesLocalFilePerTable() = 0;
  virtual bool SupportsMixedCaseIdentifiers() = 0;
  virtual bool StoresUpperCaseIdentifiers() = 0;
  virtual bool StoresLowerCaseIdentifiers() = 0;
  virtual bool StoresMixedCaseIdentifiers() = 0;
  virtual bool SupportsMixedCaseQuotedIdentifiers() = 0;
  virtual bool StoresUpperCaseQuotedIdentifiers() = 0;
  virtual bool StoresLowerCaseQuotedIdentifiers() = 0;
  virtual bool StoresMixedCaseQuotedIdentifiers() = 0;
  // The opening quote and, when it differs, the closing one.
  virtual AnsiString GetIdentifierQuoteString() = 0;
  // Comma-separated lists.
  virtual AnsiString GetSQLKeywords() = 0;
  virtual AnsiString GetNumericFunctions() = 0;
  virtual AnsiString GetStringFunctions() = 0;
  virtual AnsiString GetSystemFunctions() = 0;
  virtual AnsiString GetTimeDateFunctions() = 0;
  virtual AnsiString GetSearchStringEscape() = 0;
  virtual AnsiString GetExtraNameCharacters() = 0;
  virtual bool SupportsAlterTableWithAddColumn() = 0;
  virtual bool SupportsAlterTableWithDropColumn() = 0;
  virtual bool SupportsColumnAliasing() = 0;
  virtual bool NullPlusNonNullIsNull() = 0;
  virtual bool SupportsConvert() = 0;
  virtual bool SupportsConvertForTypes(TZSQLType fromType, TZSQLType toType) = 0;
  virtual bool SupportsTableCorrelationNames() = 0;
  virtual bool SupportsDifferentTableCorrelationNames() = 0;
  virtual bool SupportsExpressionsInOrderBy() = 0;
  virtual bool SupportsOrderByUnrelated() = 0;
  virtual bool SupportsGroupBy() = 0;
  virtual bool SupportsGroupByUnrelated() = 0;
  virtual bool SupportsGroupByBeyondSelect() = 0;
  virtual bool SupportsLikeEscapeClause() = 0;
  virtual bool SupportsMultipleResultSets() = 0;
  virtual bool SupportsMultipleTransactions() = 0;
  virtual bool SupportsNonNullableColumns() = 0;
  virtual bool SupportsMinimumSQLGrammar() = 0;
  virtual bool SupportsCoreSQLGrammar() = 0;
  virtual bool SupportsExtendedSQLGrammar() = 0;
  virtual bool SupportsANSI92EntryLevelSQL() = 0;
  virtual bool SupportsANSI92IntermediateSQL() = 0;
  virtual bool SupportsANSI92FullSQL() = 0;
  virtual bool SupportsIntegrityEnhancementFacility() = 0;
  virtual bool SupportsOuterJoins() = 0;
  virtual bool SupportsFullOuterJoins() = 0;
  virtual bool SupportsLimitedOuterJoins() = 0;
  virtual AnsiString GetSchemaTerm() = 0;
  virtual AnsiString GetProcedureTerm() = 0;
  virtual AnsiString GetCatalogTerm() = 0;
  virtual bool IsCatalogAtStart() = 0;
  virtual AnsiString GetCatalogSeparator() = 0;
  virtual bool SupportsSchemasInDataManipulation() = 0;
  virtual bool SupportsSchemasInProcedureCalls() = 0;
  virtual bool SupportsSchemasInTableDefinitions() = 0;
  virtual bool SupportsSchemasInIndexDefinitions() = 0;
  virtual bool SupportsSchemasInPrivilegeDefinitions() = 0;
  virtual bool SupportsCatalogsInDataManipulation() = 0;
  virtual bool SupportsCatalogsInProcedureCalls() = 0;
  virtual bool SupportsCatalogsInTableDefinitions() = 0;
  virtual bool SupportsCatalogsInIndexDefinitions() = 0;
  virtual bool SupportsCatalogsInPrivilegeDefinitions() = 0;
  virtual bool SupportsPositionedDelete() = 0;
  virtual bool SupportsPositionedUpdate() = 0;
  virtual bool SupportsSelectForUpdate() = 0;
  virtual bool SupportsStoredProcedures() = 0;
  virtual bool SupportsSubqueriesInComparisons() = 0;
  virtual bool SupportsSubqueriesInExists() = 0;
  virtual bool SupportsSubqueriesInIns() = 0;
  virtual bool SupportsSubqueriesInQuantifieds() = 0;
  virtual bool SupportsCorrelatedSubqueries() = 0;
  virtual bool SupportsUnion() = 0;
  virtual bool SupportsUnionAll() = 0;
  virtual bool SupportsOpenCursorsAcrossCommit() = 0;
  virtual bool SupportsOpenCursorsAcrossRollback() = 0;
  virtual bool SupportsOpenStatementsAcrossCommit() = 0;
  virtual bool SupportsOpenStatementsAcrossRollback() = 0;
  virtual int GetMaxBinaryLiteralLength() = 0;
  virtual int GetMaxCharLiteralLength() = 0;
  virtual int GetMaxColumnNameLength() = 0;
  virtual int GetMaxColumnsInGroupBy() = 0;
  virtual int GetMaxColumnsInIndex() = 0;
  virtual int GetMaxColumnsInOrderBy() = 0;
  virtual int GetMaxColumnsInSelect() = 0;
  virtual int GetMaxColumnsInTable() = 0;
  virtual int GetMaxConnections() = 0;
  virtual int GetMaxCursorNameLength() = 0;
  virtual int GetMaxIndexLength() = 0;
  virtual int GetMaxSchemaNameLength() = 0;
  virtual int GetMaxProcedureNameLength() = 0;
  virtual int GetMaxCatalogNameLength() = 0;
  virtual int GetMaxRowSize() = 0;
  virtual bool DoesMaxRowSizeIncludeBlobs() = 0;
  virtual int GetMaxStatementLength() = 0;
  virtual int GetMaxStatements() = 0;
  virtual int GetMaxTableNameLength() = 0;
  virtual int GetMaxTablesInSelect() = 0;
  virtual int GetMaxUserNameLength() = 0;
  virtual TZTransactIsolationLevel GetDefaultTransactionIsolation() = 0;
  virtual bool SupportsTransactions() = 0;
  virtual bool SupportsTransactionIsolationLevel(TZTransactIsolationLevel level) = 0;
  virtual bool SupportsDataDefinitionAndDataManipulationTransactions() = 0;
  virtual bool SupportsDataManipulationTransactionsOnly() = 0;
  virtual bool DataDefinitionCausesTransactionCommit() = 0;
  virtual bool DataDefinitionIgnoredInTransactions() = 0;

  // --- catalogue queries
  virtual Ref<IZResultSet> GetProcedures(const AnsiString& catalog, const AnsiString& schemaPattern,
                                         const AnsiString& procedureNamePattern) = 0;
  virtual Ref<IZResultSet> GetProcedureColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                               const AnsiString& procedureNamePattern,
                                               const AnsiString& columnNamePattern) = 0;
  virtual Ref<IZResultSet> GetTables(const AnsiString& catalog, const AnsiString& schemaPattern,
                                     const AnsiString& tableNamePattern, const TZStringDynArray& types) = 0;
  virtual Ref<IZResultSet> GetSchemas() = 0;
  virtual Ref<IZResultSet> GetCatalogs() = 0;
  virtual Ref<IZResultSet> GetTableTypes() = 0;
  virtual Ref<IZResultSet> GetColumns(const AnsiString& catalog, const AnsiString& schemaPattern,
                                      const AnsiString& tableNamePattern, const AnsiString& columnNamePattern) = 0;
  virtual Ref<IZResultSet> GetColumnPrivileges(const AnsiString& catalog, const AnsiString& schema,
                                               const AnsiString& table, const AnsiString& columnNamePattern) = 0;
  virtual Ref<IZResultSet> GetTablePrivileges(const AnsiString& catalog, const AnsiString& schemaPattern,
                                              const AnsiString& tableNamePattern) = 0;
  virtual Ref<IZResultSet> GetBestRowIdentifier(const AnsiString& catalog, const AnsiString& schema,
                                                const AnsiString& table, int scope, bool nullable) = 0;
  virtual Ref<IZResultSet> GetVersionColumns(const AnsiString& catalog, const AnsiString& schema,
                                             const AnsiString& table) = 0;
  virtual Ref<IZResultSet> GetPrimaryKeys(const AnsiString& catalog, const AnsiString& schema,
                                          const AnsiString& table) = 0;
  virtual Ref<IZResultSet> GetImportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                           const AnsiString& table) = 0;
  virtual Ref<IZResultSet> GetExportedKeys(const AnsiString& catalog, const AnsiString& schema,
                                           const AnsiString& table) = 0;
  virtual Ref<IZResultSet> GetCrossReference(const AnsiString& primaryCatalog, const AnsiString& primarySchema,
                                             const AnsiString& primaryTable, const AnsiString& foreignCatalog,
                                             const AnsiString& foreignSchema, const AnsiString& foreignTable) = 0;
  virtual Ref<IZResultSet> GetTypeInfo() = 0;
  virtual Ref<IZResultSet> GetIndexInfo(const AnsiString& catalog, const AnsiString& schema,
                                        const AnsiString& table, bool unique, bool approximate) = 0;
  virtual Ref<IZResultSet> GetSequences(const AnsiString& catalog, const AnsiString& schemaPattern,
                                        const AnsiString& sequenceNamePattern) = 0;

  virtual bool SupportsResultSetType(TZResultSetType type) = 0;
  virtual bool SupportsResultSetConcurrency(TZResultSetType type, TZResultSetConcurrency concurrency) = 0;
  virtual bool SupportsBatchUpdates() = 0;
  virtual Ref<IZResultSet> GetUDTs(const AnsiString& catalog, const AnsiString& schemaPattern,
                                   const AnsiString& typeNamePattern, const TZIntegerDynArray& types) = 0;
  virtual Ref<IZConnection> GetConnection() = 0;
  virtual Ref<IZIdentifierConvertor> GetIdentifierConvertor() = 0;
  virtual void ClearCache() = 0;
  virtual void ClearCacheEntry(const AnsiString& key) = 0;
  virtual AnsiString AddEscapeCharToWildcards(const AnsiString& pattern) = 0;
};
