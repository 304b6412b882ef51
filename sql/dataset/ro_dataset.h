// TZAbstractRODataset: the reading half of the SQL library's dataset. It runs
// the single statement of its SQL text on a TZConnection, derives field
// definitions from the result's columns, fetches rows only as far as the
// platform's cursor asks, and serves field values from row buffers that a
// row accessor fills from the current result-set row.
#pragma once

#include <memory>
#include <vector>

#include "platform/db/data_source.h"
#include "platform/db/dataset.h"
#include "platform/db/params.h"
#include "sql/core/dbc/interfaces.h"
#include "sql/core/expr/execution_stack.h"
#include "sql/dataset/dataset_utils.h"
#include "sql/dataset/sql_strings.h"

class IZExpression;
class TZAbstractRODataset;
class TZConnection;
class TZRowAccessor;
struct TZRowBuffer;

enum TZDatasetOption : unsigned { doOemTranslate = 1, doCalcDefaults = 2, doAlwaysDetailResync = 4, doSmartOpen = 8 };
using TZDatasetOptions = unsigned;

// A set of TUpdateStatus values, one bit each.
using TZUpdateStatusSet = unsigned;
inline constexpr TZUpdateStatusSet StatusBit(TUpdateStatus status) { return 1u << status; }

// The direction of a sort; stIgnored when the fields' directions are mixed.
enum TSortType { stAscending, stDescending, stIgnored };

// The link to a parameter source: when the source opens or moves to another
// record, the dataset runs its query again with the source's field values.
class TZDataLink : public TDataLink {
public:
  explicit TZDataLink(TZAbstractRODataset* dataset) : dataset_(dataset) {}
  TZAbstractRODataset* Dataset() const { return dataset_; }

protected:
  void LinkActiveChanged() override;
  void LinkRecordChanged(TField* field) override;

private:
  TZAbstractRODataset* dataset_;
};

class TZAbstractRODataset : public TDataSet {
public:
  explicit TZAbstractRODataset(TComponent* owner);
  ~TZAbstractRODataset() override;
  void BeforeDestruction() override;

  TZConnection* Connection() const { return connection_; }
  // Closes the dataset, drops the statement and moves the registration.
  void SetConnection(TZConnection* value);

  TZSQLStrings& SQL() { return sql_; }
  void SetSQL(const TStrings* value) { sql_.SetText(value ? value->Text() : AnsiString()); }
  bool ParamCheck() const { return sql_.ParamCheck(); }
  void SetParamCheck(bool value);
  TParams& Params() { return params_; }
  // Copies only the values of same-named parameters.
  void SetParams(const TParams& value) { params_.CopyParamValues(value); }
  TStrings* Properties() { return &properties_; }
  void SetProperties(const TStrings* value) { properties_.SetText(value ? value->Text() : AnsiString()); }
  int FetchRow() const { return fetchRow_; }
  void SetFetchRow(int value) { fetchRow_ = value; }
  TZUpdateStatusSet ShowRecordTypes() const { return showRecordTypes_; }
  void SetShowRecordTypes(TZUpdateStatusSet value);
  TZDatasetOptions Options() const { return options_; }
  void SetOptions(TZDatasetOptions value) { options_ = value; }
  bool ReadOnly() const { return !requestLive_; }
  void SetReadOnly(bool value) { requestLive_ = !value; }

  // Sorting on the client: SortedFields holds the names (with the direction
  // words only when directions are mixed), IndexFieldNames the names with
  // their directions. Changing either re-sorts an open dataset; emptying it
  // runs the query again.
  const AnsiString& SortedFields() const { return sortedFields_; }
  void SetSortedFields(const AnsiString& value);
  TSortType SortType() const { return sortType_; }
  void SetSortType(TSortType value);
  AnsiString IndexFieldNames() const;
  void SetIndexFieldNames(const AnsiString& value);

  // The parameter source, whose fields give same-named parameters their values.
  TDataSource* DataSource() const;
  void SetDataSource(TDataSource* value);
  // The master: a detail shows only its fetched rows whose LinkedFields equal
  // the master's MasterFields.
  TDataSource* MasterSource() const;
  void SetMasterSource(TDataSource* value);
  const AnsiString& MasterFields() const;
  void SetMasterFields(const AnsiString& value);
  const AnsiString& LinkedFields() const { return linkedFields_; }
  void SetLinkedFields(const AnsiString& value);
  // Runs the query again with the parameter source's current values.
  virtual void RefreshParams();

  // The open statement and result set, or none.
  const Ref<IZPreparedStatement>& Statement() const { return statement_; }
  const Ref<IZResultSet>& ResultSet() const { return resultSet_; }
  int CurrentPosition() const { return currentPosition_; }
  int FetchCount() const { return fetchCount_; }

  // Runs the single statement of SQL as an update.
  virtual void ExecuteSQL();
  // Fetches every remaining row.
  virtual void FetchAll();

  // Provider support: transactions of the connection, the SQL text, the
  // parameters and the table of the query, and SQL run on the connection.
  void ProviderEndTransaction(bool commit) override;
  void ProviderExecute() override { ExecuteSQL(); }
  // Binds params by position; the result-set slot is never filled.
  int ProviderExecuteStatement(const AnsiString& sql, TParams* params, TDataSet** resultSet) override;
  TParams* ProviderParams() override { return &params_; }
  AnsiString ProviderQuoteChar() override;
  AnsiString ProviderTableName() override;
  std::unique_ptr<EUpdateError> ProviderUpdateException(const std::exception& error,
                                                        const EUpdateError* previous) override;
  bool ProviderInTransaction() override;
  bool ProviderIsSQLBased() override { return true; }
  bool ProviderIsSQLSupported() override { return true; }
  void ProviderReset() override;
  void ProviderSetParams(TParams* params) override;
  void ProviderSetCommandText(const AnsiString& text) override { sql_.SetText(text); }
  void ProviderStartTransaction() override;

  // The stored form of Params ("ParamData").
  bool ParamDataStored(const TParams* ancestorParams) const;
  void StoreParamData(TStream& stream) const;
  void LoadParamData(TStream& stream);

  bool FetchFieldData(TField* field, void* buffer) override;
  void StoreFieldData(TField* field, const void* buffer) override;
  // Times and date-times in their non-native form go to and from the cached
  // row unchanged: a span beyond a day, a negative time, microseconds.
  bool FetchFieldData(TField* field, void* buffer, bool nativeFormat) override;
  void StoreFieldData(TField* field, const void* buffer, bool nativeFormat) override;
  TStream* MakeBlobStream(TField* field, TBlobStreamMode mode) override;
  TUpdateStatus UpdateStatus() override;
  bool HasSequenceNumbers() override { return !Filtered(); }
  bool LocateRecords(const AnsiString& keyFields, const Variant& keyValues, unsigned options) override;
  Variant LookupValues(const AnsiString& keyFields, const Variant& keyValues,
                       const AnsiString& resultFields) override;
  bool IsValidBookmark(const TBookmark& bookmark) override;
  int OrderOfBookmarks(const TBookmark& a, const TBookmark& b) override;
  // With doOemTranslate, Windows-1250 to code page 852 (toOem) or back;
  // otherwise a copy. Returns the length of the source text.
  int TranslateOem(const char* source, char* dest, bool toOem) override;
  TDataSource* DataSourceOfDataset() override { return DataSource(); }

protected:
  // Cursor hooks of the platform's dataset.
  char* AcquireRecordBuffer() override;
  void ReleaseRecordBuffer(char*& buffer) override;
  void BlankRecordBuffer(char* buffer) override;
  int RecordBufferSize() override;
  TGetResult FillRecordBuffer(char* buffer, TGetMode mode, bool check) override;
  void OpenCursorData() override;
  void CloseCursorData() override;
  bool HasOpenCursor() override { return static_cast<bool>(resultSet_); }
  void LoadFieldDefinitions() override;
  void CursorToStart() override;
  void CursorToEnd() override;
  void CursorToBookmark(const TBookmark& bookmark) override;
  void CursorToRecord(char* buffer) override;
  void ReadBookmarkData(char* buffer, TBookmark& data) override;
  void WriteBookmarkData(char* buffer, const TBookmark& data) override;
  TBookmarkFlag ReadBookmarkFlag(char* buffer) override;
  void WriteBookmarkFlag(char* buffer, TBookmarkFlag flag) override;
  void AddRecordData(char* buffer, bool append) override;
  void DeleteRecordData() override;
  void PostRecordData() override;
  int ReadRecordTotal() override;
  int ReadRecordNumber() override;
  void WriteRecordNumber(int value) override;
  void ApplyFiltered(bool value) override;
  // A filter text that does not parse raises the expression parser's error.
  void ApplyFilterText(const AnsiString& text) override;
  bool AllowsModify() override { return requestLive_; }
  void ResetCalcFields(char* buffer) override;
  // Compares kinds rather than exact types, so a stored wide-string field
  // fits a string column and a date field a date-time one.
  void VerifyFieldType(TField* field, TFieldDef* fieldDef) override;
  void Notification(TComponent* component, TOperation operation) override;
  bool SeekRecord(bool restart, bool forward) override;
  // Runs the query again and returns to the record with the same key values.
  void RefreshCursor() override;
  // Copies the master's key values into a new detail record.
  void FireNewRecord() override;

  // Query steps that descendants extend.
  virtual void CheckSQLQuery();
  virtual Ref<IZPreparedStatement> CreateStatement(const AnsiString& sql, TStrings* properties);
  virtual Ref<IZResultSet> CreateResultSet(const AnsiString& sql, int maxRows);
  // Values come from the parameter source's fields when the link is active
  // and the source has a field of the name, else from params.
  virtual void SetStatementParams(IZPreparedStatement* statement, const std::vector<AnsiString>& paramNames,
                                  TParams& params, TDataLink* dataLink);

  void EnsureConnected();
  void RequireActive();
  void RequireBidirectional();
  [[noreturn]] void RejectReadOnly();
  bool FetchRows(int rowCount);
  bool FetchOneRow();
  void MoveToPosition(int position);
  // Whether the result-set row passes the record-type, event and expression
  // filters.
  bool RowPassesFilters(int rowNo);
  void RebuildRowList();
  // Puts RowList into the order of IndexFieldNames (fetching every row), or
  // back into fetch order when it names no field.
  void SortRowList();
  // The 1-based position of the first row holding the keys, or -1.
  int LocatePosition(const AnsiString& keyFields, const Variant& keyValues, unsigned options);
  // "Field %s is required, but not supplied." for the first required data
  // field left null; on insert a column with a default or auto-increment may be.
  void CheckRequiredFields();
  // The result-set row number at CurrentPosition, or -1.
  int CurrentRowNo() const;
  // CurrentPosition := the position of rowNo + 1 (0 when gone), kept within
  // lowest..count (0 for an empty list).
  void RestorePosition(int rowNo, int lowest);
  // The row buffer the current state refers to, or none.
  TZRowBuffer* FindActiveRowBuffer();
  void SQLTextChanged();

  bool requestLive_ = false;
  std::vector<int> rowList_;
  int currentPosition_ = 0;
  int fetchCount_ = 0;
  std::unique_ptr<TZRowAccessor> rowAccessor_;
  TZFieldLookupTable fieldLookupTable_;
  TZRowCopyList rowCopyList_;
  TZSlotCopySource slotCopies_;

private:
  // A record buffer for reading rows beside the platform's ring; given back
  // when it goes out of scope.
  class ScratchRecord {
  public:
    explicit ScratchRecord(TZAbstractRODataset* dataset);
    ~ScratchRecord();
    ScratchRecord(const ScratchRecord&) = delete;
    ScratchRecord& operator=(const ScratchRecord&) = delete;
    TZRowBuffer* get() const { return reinterpret_cast<TZRowBuffer*>(buffer_); }

  private:
    TZAbstractRODataset* dataset_;
    char* buffer_;
  };

  // The buffer of an old-, new- or current-value state, filled on demand.
  TZRowBuffer* ValuesBuffer();
  // Fills buffer from result-set row rowNo and computes its calculated fields.
  void ReadRecord(TZRowBuffer* buffer, int rowNo);
  AnsiString FirstStatementSQL() const;
  bool PassesFilterEvent(int rowNo);
  bool PassesFilterExpression();
  bool PassesMasterLink();
  void CloseAfterFailedRefresh();
  // Connects link to value, refusing a source that leads back to this dataset.
  void AttachSource(TDataLink& link, TDataSource* value);
  void MasterRecordChanged();
  // SortType from the direction words of IndexFieldNames.
  TSortType SortTypeFromIndexFieldNames() const;
  // After a change of the sort: refresh for no sort, else re-sort.
  void ApplySort();
  // Sorts the rows when a sort field is calculated: both rows of each
  // comparison are read into buffers.
  void SortRowsByFields(const std::vector<TField*>& fields, const std::vector<bool>& ascending);

  TZConnection* connection_ = nullptr;
  TZSQLStrings sql_;
  TParams params_;
  TStringList properties_;
  int fetchRow_ = 0;
  TZUpdateStatusSet showRecordTypes_ =
      StatusBit(usUnmodified) | StatusBit(usModified) | StatusBit(usInserted);
  TZDatasetOptions options_ = doCalcDefaults;
  Ref<IZPreparedStatement> statement_;
  Ref<IZResultSet> resultSet_;
  TZRowBuffer* oldValuesBuffer_ = nullptr;
  TZRowBuffer* newValuesBuffer_ = nullptr;
  bool refreshInProgress_ = false;
  Ref<IZExpression> filterExpression_;
  TZExecutionStack filterStack_;
  std::vector<TField*> filterFieldRefs_;
  bool filterFieldsReady_ = false;
  AnsiString sortedFields_;
  AnsiString indexFieldNames_;
  TSortType sortType_ = stAscending;
  std::unique_ptr<TZDataLink> dataLink_;
  std::unique_ptr<TMasterDataLink> masterLink_;
  AnsiString linkedFields_;
  std::vector<TField*> linkedFieldList_;
};
