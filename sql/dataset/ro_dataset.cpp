// TZAbstractRODataset: opening, on-demand fetching, record buffers, positions
// and field access over a row accessor.
#include "sql/dataset/ro_dataset.h"

#include <algorithm>
#include <cstring>

#include "platform/db/db_consts.h"
#include "platform/db/field_buffers.h"
#include "platform/rtl/format.h"
#include "platform/rtl/oem_text.h"
#include "platform/rtl/streams.h"
#include "sql/core/dbc/cached_result_set.h"
#include "sql/core/dbc/column_info.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/expr/expression.h"
#include "sql/core/parsesql/tokenizer.h"
#include "sql/core/messages.h"
#include "sql/dataset/blob_stream.h"
#include "sql/dataset/connection.h"
#include "sql/dataset/dataset_error.h"
#include "sql/dataset/key_values.h"
#include "sql/dataset/param_binding.h"

namespace {

// The kind of value a field type holds, for matching stored fields to columns.
TFieldType BaseFieldType(TFieldType type) {
  switch (type) {
    case ftSmallint: case ftWord: case ftAutoInc: return ftInteger;
    case ftCurrency: return ftFloat;
    case ftDate: case ftTime: return ftDateTime;
    case ftMemo: case ftGraphic: case ftFmtMemo: case ftParadoxOle: case ftDBaseOle: case ftTypedBinary:
    case ftOraBlob: case ftOraClob:
      return ftBlob;
    case ftCursor: return ftUnknown;
    case ftFixedChar: case ftWideString: case ftGuid: return ftString;
    case ftIDispatch: return ftInterface;
    default: return type;
  }
}

bool IsBlobType(TFieldType type) { return type == ftBlob || type == ftMemo || type == ftGraphic || type == ftFmtMemo; }

// The time-valued fields whose non-native form the cached row serves itself.
bool IsExactTimeField(TFieldType type) { return type == ftTime || type == ftDateTime; }

}  // namespace

TZAbstractRODataset::TZAbstractRODataset(TComponent* owner) : TDataSet(owner) {
  SetBookmarkSize(sizeof(int32_t));
  filterExpression_ = MakeRef<TZExpression>();
  filterExpression_->SetTokenizer(SharedSQLTokenizer());
  sql_.SetMultiStatements(false);
  sql_.SetDataset(this);
  sql_.OnTextChanged = [this](TObject*) { SQLTextChanged(); };
  dataLink_ = std::make_unique<TZDataLink>(this);
  masterLink_ = std::make_unique<TMasterDataLink>(this);
  masterLink_->OnMasterChange = [this](TMasterDataLink*) { MasterRecordChanged(); };
  masterLink_->OnMasterDisable = [this](TMasterDataLink*) { RebuildRowList(); };
}

TZAbstractRODataset::~TZAbstractRODataset() { TZAbstractRODataset::BeforeDestruction(); }

// The framework closes the dataset first, without firing its events, so
// leaving the connection afterwards has nothing left to close.
void TZAbstractRODataset::BeforeDestruction() {
  TDataSet::BeforeDestruction();
  if (!connection_) return;
  try {
    SetConnection(nullptr);
  } catch (...) {
    // Leaving the connection must not stop the dataset from going away.
  }
}

void TZAbstractRODataset::SetConnection(TZConnection* value) {
  if (value == connection_) return;
  if (Active()) Close();
  statement_ = nullptr;
  if (connection_) {
    connection_->UnregisterDataSet(this);
    connection_->RemoveFreeNotification(this);
  }
  connection_ = value;
  if (connection_) {
    connection_->RegisterDataSet(this);
    connection_->FreeNotification(this);
  }
}

void TZAbstractRODataset::Notification(TComponent* component, TOperation operation) {
  TDataSet::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == connection_) {
    Close();
    connection_ = nullptr;
  }
  if (component == DataSource()) dataLink_->SetDataSource(nullptr);
  if (component == MasterSource()) {
    masterLink_->SetDataSource(nullptr);
    RebuildRowList();
  }
}

void TZAbstractRODataset::SetParamCheck(bool value) {
  sql_.SetParamCheck(value);
  SQLTextChanged();
}

void TZAbstractRODataset::SetShowRecordTypes(TZUpdateStatusSet value) {
  if (value == showRecordTypes_) return;
  showRecordTypes_ = value;
  RebuildRowList();
}

void TZAbstractRODataset::SQLTextChanged() {
  FieldDefs().Clear();
  if (Active()) Close();
  else statement_ = nullptr;
  TParams saved = params_;
  params_.Clear();
  for (int i = 0; i < sql_.ParamCount(); ++i) params_.AddParam(ftUnknown, sql_.ParamNames(i), ptUnknown);
  params_.CopyParamValues(saved);
}

// ---- checks ----

void TZAbstractRODataset::CheckSQLQuery() {
  if (sql_.StatementCount() < 1) throw EZDatabaseError(SZQueryIsEmpty);
  if (sql_.StatementCount() > 1) throw EZDatabaseError(SZCanNotExecuteMoreQueries);
}

void TZAbstractRODataset::EnsureConnected() {
  if (!connection_) throw EZDatabaseError(SZConnectionIsNotAssigned);
  connection_->Connect();
}

void TZAbstractRODataset::RequireActive() {
  if (!Active()) DatabaseError(SZOperationIsNotAllowed3);
}

void TZAbstractRODataset::RequireBidirectional() {
  if (IsUniDirectional()) throw EZDatabaseError(SZOperationIsNotAllowed1);
}

void TZAbstractRODataset::RejectReadOnly() { throw EZDatabaseError(SZOperationIsNotAllowed2); }

AnsiString TZAbstractRODataset::FirstStatementSQL() const { return sql_.Statements(0).SQL(); }

// ---- statements ----

Ref<IZPreparedStatement> TZAbstractRODataset::CreateStatement(const AnsiString& sql, TStrings* properties) {
  TStringList lines;
  if (properties) lines.AddStrings(properties);
  lines.SetValues("defaults", (options_ & doCalcDefaults) ? "true" : "false");
  return connection_->DbcConnection()->PrepareStatementWithProperties(sql, &lines);
}

Ref<IZResultSet> TZAbstractRODataset::CreateResultSet(const AnsiString&, int maxRows) {
  return WithSQLHourGlass(connection_, [&]() -> Ref<IZResultSet> {
    if (statement_) statement_->ClearParameters();
    else statement_ = CreateStatement(FirstStatementSQL(), &properties_);
    SetStatementParams(statement_.get(), sql_.Statements(0).AllParamNames(), params_, dataLink_.get());
    statement_->SetResultSetConcurrency(requestLive_ ? rcUpdatable : rcReadOnly);
    statement_->SetFetchDirection(fdForward);
    statement_->SetResultSetType(IsUniDirectional() ? rtForwardOnly : rtScrollInsensitive);
    if (maxRows > 0) statement_->SetMaxRows(maxRows);
    if (!(options_ & doSmartOpen)) return statement_->ExecuteQueryPrepared();
    return statement_->ExecutePrepared() ? statement_->GetResultSet() : nullptr;
  });
}

void TZAbstractRODataset::ExecuteSQL() {
  EnsureConnected();
  WithSQLHourGlass(connection_, [&] {
    if (Active()) Close();
    CheckSQLQuery();
    RequireInactiveState();
    if (statement_ && !statement_->GetConnection()->IsClosed()) statement_->ClearParameters();
    else statement_ = CreateStatement(FirstStatementSQL(), &properties_);
    SetStatementParams(statement_.get(), sql_.Statements(0).AllParamNames(), params_, dataLink_.get());
    statement_->ExecuteUpdatePrepared();
  });
}

// ---- opening and closing ----

void TZAbstractRODataset::OpenCursorData() {
  CheckSQLQuery();
  EnsureConnected();
  currentPosition_ = 0;
  fetchCount_ = 0;
  rowList_.clear();
  WithSQLHourGlass(connection_, [&] {
    resultSet_ = CreateResultSet(FirstStatementSQL(), -1);
    if (!resultSet_) {
      if (options_ & doSmartOpen) return;
      throw Exception(SZCanNotOpenResultSet);
    }
    if (!refreshInProgress_) {
      LoadFieldDefinitions();
      if (DefaultFields()) CreateFields();
    }
    BindFields(true);
    rowAccessor_ = std::make_unique<TZRowAccessor>(*FieldsToColumnInfos(Fields()));
    oldValuesBuffer_ = reinterpret_cast<TZRowBuffer*>(AcquireRecordBuffer());
    newValuesBuffer_ = reinterpret_cast<TZRowBuffer*>(AcquireRecordBuffer());
    fieldLookupTable_ = BuildFieldLookupTable(Fields());
    rowCopyList_ = BuildRowCopyList(resultSet_->GetMetadata()->GetColumnCount(), fieldLookupTable_, Fields());
    slotCopies_ = PlanSlotCopies(resultSet_.get(), rowCopyList_, *rowAccessor_);
    filterFieldsReady_ = false;
    linkedFieldList_ = FieldList(linkedFields_);
    if (!sortedFields_.empty()) SortRowList();
  });
}

void TZAbstractRODataset::LoadFieldDefinitions() {
  FieldDefs().Clear();
  Ref<IZResultSet> resultSet = resultSet_;
  bool ownResultSet = !resultSet;
  if (ownResultSet) {
    CheckSQLQuery();
    EnsureConnected();
    resultSet = CreateResultSet(FirstStatementSQL(), 0);
    if (!resultSet) throw Exception(SZCanNotOpenResultSet);
  }
  auto closeOwn = [&] {
    if (!ownResultSet) return;
    resultSet->Close();
    if (statement_) statement_->Close();
    statement_ = nullptr;
  };
  try {
    Ref<IZResultSetMetadata> metadata = resultSet->GetMetadata();
    for (int i = 1; i <= metadata->GetColumnCount(); ++i) {
      TFieldType type = SQLTypeToFieldType(metadata->GetColumnType(i));
      bool sized = type == ftString || type == ftBytes || type == ftVarBytes || type == ftWideString;
      int size = sized ? metadata->GetPrecision(i) : 0;
      AnsiString label = metadata->GetColumnLabel(i);
      AnsiString name = label;
      // Definition names compare without letter case, labels do not: ID and id
      // become ID and id_1.
      for (int n = 1; FieldDefs().IndexOf(name) >= 0; ++n) name = Format("%s_%d", {label, n});
      bool required = metadata->IsWritable(i) && metadata->IsNullable(i) == ntNoNulls;
      TFieldDef* def = FieldDefs().AddFieldDef(name, type, size, required, i);
      if (metadata->IsReadOnly(i)) def->SetAttributes(def->Attributes() | faReadonly);
      def->SetPrecision(metadata->GetPrecision(i));
    }
  } catch (...) {
    closeOwn();
    throw;
  }
  closeOwn();
}

void TZAbstractRODataset::CloseCursorData() {
  if (resultSet_) resultSet_->Close();
  resultSet_ = nullptr;
  if (statement_) statement_->Close();
  statement_ = nullptr;
  if (rowAccessor_) {
    for (TZRowBuffer** buffer : {&oldValuesBuffer_, &newValuesBuffer_}) {
      char* raw = reinterpret_cast<char*>(*buffer);
      if (raw) ReleaseRecordBuffer(raw);
      *buffer = nullptr;
    }
  }
  rowAccessor_.reset();
  BindFields(false);
  if (!refreshInProgress_ && DefaultFields()) DestroyFields();
  rowList_.clear();
  fieldLookupTable_.clear();
  rowCopyList_.clear();
  slotCopies_ = {};
  linkedFieldList_.clear();
}

// ---- record buffers ----

char* TZAbstractRODataset::AcquireRecordBuffer() {
  if (!rowAccessor_) return new char[kRowHeaderSize]();
  rowAccessor_->Alloc();
  return reinterpret_cast<char*>(rowAccessor_->RowBuffer());
}

void TZAbstractRODataset::ReleaseRecordBuffer(char*& buffer) {
  if (rowAccessor_) rowAccessor_->DisposeBuffer(reinterpret_cast<TZRowBuffer*>(buffer));
  else delete[] buffer;
  buffer = nullptr;
}

void TZAbstractRODataset::BlankRecordBuffer(char* buffer) {
  if (rowAccessor_) rowAccessor_->ClearBuffer(reinterpret_cast<TZRowBuffer*>(buffer));
}

TZAbstractRODataset::ScratchRecord::ScratchRecord(TZAbstractRODataset* dataset)
    : dataset_(dataset), buffer_(dataset->AcquireRecordBuffer()) {}

TZAbstractRODataset::ScratchRecord::~ScratchRecord() { dataset_->ReleaseRecordBuffer(buffer_); }

int TZAbstractRODataset::RecordBufferSize() { return rowAccessor_ ? rowAccessor_->RowSize() : kRowHeaderSize; }

// ---- fetching ----

bool TZAbstractRODataset::FetchOneRow() {
  if (!resultSet_) return false;
  bool positioned = fetchCount_ == 0 || resultSet_->GetRow() == fetchCount_ || resultSet_->MoveAbsolute(fetchCount_);
  if (!positioned || !resultSet_->Next()) return false;
  ++fetchCount_;
  int rowNo = resultSet_->GetRow();
  if (RowPassesFilters(rowNo)) rowList_.push_back(rowNo);
  return true;
}

bool TZAbstractRODataset::FetchRows(int rowCount) {
  return WithSQLHourGlass(connection_, [&] {
    if (rowCount == 0) {
      while (FetchOneRow()) {
      }
      return true;
    }
    while (static_cast<int>(rowList_.size()) < rowCount && FetchOneRow()) {
    }
    return static_cast<int>(rowList_.size()) >= rowCount;
  });
}

void TZAbstractRODataset::FetchAll() {
  WithSQLHourGlass(connection_, [&] {
    FetchRows(0);
    if (Active()) SyncCursorPosition();
  });
}

bool TZAbstractRODataset::RowPassesFilters(int rowNo) {
  if (resultSet_->GetRow() != rowNo && !resultSet_->MoveAbsolute(rowNo)) return false;
  TUpdateStatus status = resultSet_->RowUpdated()    ? usModified
                         : resultSet_->RowInserted() ? usInserted
                         : resultSet_->RowDeleted()  ? usDeleted
                                                     : usUnmodified;
  if (!(showRecordTypes_ & StatusBit(status))) return false;
  if (masterLink_->Active() && !PassesMasterLink()) return false;
  if (!Filtered()) return true;
  if (OnFilterRecord && !PassesFilterEvent(rowNo)) return false;
  return filterExpression_->GetExpression().empty() || PassesFilterExpression();
}

// The handler reads the candidate row through the new-value state, with a row
// list that holds only that row.
bool TZAbstractRODataset::PassesFilterEvent(int rowNo) {
  bool accept = true;
  std::vector<int> savedRows = std::move(rowList_);
  int savedPosition = currentPosition_;
  rowList_ = {rowNo};
  currentPosition_ = 1;
  auto restore = [&] {
    rowList_ = std::move(savedRows);
    currentPosition_ = savedPosition;
  };
  try {
    WithTempState(dsNewValue, nullptr, [&] {
      try {
        OnFilterRecord(this, accept);
      } catch (const std::exception&) {
        // A failing handler does not stop filtering; the flag stands as it is.
      }
    });
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return accept;
}

bool TZAbstractRODataset::PassesFilterExpression() {
  if (!filterFieldsReady_) {
    filterFieldRefs_ = FieldsOfExpressionVariables(this, filterExpression_.get());
    filterFieldsReady_ = true;
  }
  Ref<IZVariablesList> variables = filterExpression_->GetDefaultVariables();
  LoadVariablesFromResultSet(filterFieldRefs_, resultSet_.get(), variables.get());
  TZVariant result =
      filterExpression_->EvaluateWithStack(variables, filterExpression_->GetDefaultFunctions(), filterStack_);
  return filterExpression_->GetVariantManager()->GetAsBoolean(result);
}

bool TZAbstractRODataset::PassesMasterLink() {
  const std::vector<TField*>& masters = masterLink_->Fields();
  for (std::size_t i = 0; i < masters.size() && i < linkedFieldList_.size(); ++i)
    if (!MasterFieldMatches(linkedFieldList_[i], resultSet_.get(), masters[i])) return false;
  return true;
}

int TZAbstractRODataset::CurrentRowNo() const {
  bool inList = currentPosition_ >= 1 && currentPosition_ <= static_cast<int>(rowList_.size());
  return inList ? rowList_[currentPosition_ - 1] : -1;
}

void TZAbstractRODataset::RestorePosition(int rowNo, int lowest) {
  auto found = std::find(rowList_.begin(), rowList_.end(), rowNo);
  int count = static_cast<int>(rowList_.size());
  currentPosition_ = found == rowList_.end() ? 0 : static_cast<int>(found - rowList_.begin()) + 1;
  currentPosition_ = count == 0 ? 0 : std::clamp(currentPosition_, lowest, count);
}

void TZAbstractRODataset::RebuildRowList() {
  if (!Active() || IsUniDirectional() || !resultSet_) return;
  int current = CurrentRowNo();
  rowList_.clear();
  for (int rowNo = 1; rowNo <= fetchCount_; ++rowNo)
    if (RowPassesFilters(rowNo)) rowList_.push_back(rowNo);
  RestorePosition(current, 1);
  if (!sortedFields_.empty()) SortRowList();
  else ResyncBuffers(0);
}

void TZAbstractRODataset::ApplyFiltered(bool value) {
  if (value == Filtered()) return;
  StoreFiltered(value);
  RebuildRowList();
}

void TZAbstractRODataset::ApplyFilterText(const AnsiString& text) {
  StoreFilterText(text);
  filterExpression_->GetDefaultVariables()->Clear();
  filterExpression_->SetExpression(text);
  filterFieldsReady_ = false;
  if (Filtered()) RebuildRowList();
}

void TZAbstractRODataset::ReadRecord(TZRowBuffer* buffer, int rowNo) {
  if (resultSet_->GetRow() != rowNo) resultSet_->MoveAbsolute(rowNo);
  rowAccessor_->SetRowBuffer(buffer);
  ReadRowFromResultSet(resultSet_.get(), rowCopyList_, rowAccessor_.get(), slotCopies_);
  buffer->Index = rowNo;
  buffer->BookmarkFlag = bfCurrent;
  ComputeCalcFields(reinterpret_cast<char*>(buffer));
}

TGetResult TZAbstractRODataset::FillRecordBuffer(char* buffer, TGetMode mode, bool check) {
  TGetResult result = grOK;
  int count = static_cast<int>(rowList_.size());
  switch (mode) {
    case gmNext:
      if (FetchRows(currentPosition_ + 1)) ++currentPosition_;
      else result = grEOF;
      break;
    case gmPrior:
      RequireBidirectional();
      if (currentPosition_ > 1 && count > 0) --currentPosition_;
      else result = grBOF;
      break;
    case gmCurrent:
      if (currentPosition_ < count) RequireBidirectional();
      if (currentPosition_ == 0) {
        if (rowList_.empty()) FetchRows(1);
        currentPosition_ = std::min(static_cast<int>(rowList_.size()), 1);
      } else if (!FetchRows(currentPosition_)) {
        currentPosition_ = std::max(1, std::min(static_cast<int>(rowList_.size()), currentPosition_));
      }
      if (rowList_.empty()) result = grError;
      break;
  }
  if (result == grOK) {
    ReadRecord(reinterpret_cast<TZRowBuffer*>(buffer), rowList_[currentPosition_ - 1]);
  }
  if (result == grError && check) throw EZDatabaseError(SZNoMoreRecords);
  return result;
}

// ---- positions and bookmarks ----

void TZAbstractRODataset::CursorToStart() {
  if (currentPosition_ > 0) RequireBidirectional();
  currentPosition_ = 0;
}

void TZAbstractRODataset::CursorToEnd() {
  FetchRows(0);
  currentPosition_ = rowList_.empty() ? 0 : static_cast<int>(rowList_.size()) + 1;
}

int TZAbstractRODataset::ReadRecordTotal() {
  RequireActiveState();
  if (!IsUniDirectional()) FetchRows(fetchRow_);
  return static_cast<int>(rowList_.size());
}

int TZAbstractRODataset::ReadRecordNumber() {
  if (Active()) SyncCursorPosition();
  return currentPosition_;
}

void TZAbstractRODataset::WriteRecordNumber(int value) {
  RequireActive();
  value = std::max(1, value);
  if (value < currentPosition_) RequireBidirectional();
  DoBeforeScroll();
  MoveToPosition(value);
  DoAfterScroll();
}

void TZAbstractRODataset::MoveToPosition(int position) {
  position = std::max(1, position);
  if (position < currentPosition_) RequireBidirectional();
  currentPosition_ = FetchRows(position) ? position : static_cast<int>(rowList_.size());
  if (Active()) {
    int kept = currentPosition_;
    try {
      ResyncBuffers(0);
    } catch (...) {
      currentPosition_ = kept;
      throw;
    }
    currentPosition_ = kept;
  }
  SyncCursorPosition();
}

void TZAbstractRODataset::CursorToRecord(char* buffer) {
  TBookmark bookmark;
  ReadBookmarkData(buffer, bookmark);
  CursorToBookmark(bookmark);
}

void TZAbstractRODataset::ReadBookmarkData(char* buffer, TBookmark& data) {
  data.assign(buffer, sizeof(int32_t));
}

void TZAbstractRODataset::WriteBookmarkData(char* buffer, const TBookmark& data) {
  std::memcpy(buffer, data.data(), sizeof(int32_t));
}

TBookmarkFlag TZAbstractRODataset::ReadBookmarkFlag(char* buffer) {
  return static_cast<TBookmarkFlag>(reinterpret_cast<TZRowBuffer*>(buffer)->BookmarkFlag);
}

void TZAbstractRODataset::WriteBookmarkFlag(char* buffer, TBookmarkFlag flag) {
  reinterpret_cast<TZRowBuffer*>(buffer)->BookmarkFlag = flag;
}

// ---- field access ----

TZRowBuffer* TZAbstractRODataset::ValuesBuffer() {
  if (currentPosition_ < 1 || currentPosition_ > static_cast<int>(rowList_.size())) return nullptr;
  int rowNo = rowList_[currentPosition_ - 1];
  if (resultSet_->GetRow() != rowNo) RequireBidirectional();
  TZRowBuffer* buffer = State() == dsOldValue ? oldValuesBuffer_ : newValuesBuffer_;
  if (buffer->Index == rowNo) return buffer;
  rowAccessor_->ClearBuffer(buffer);
  if (resultSet_->GetRow() != rowNo && !resultSet_->MoveAbsolute(rowNo)) return nullptr;
  if (State() == dsOldValue)
    if (Ref<IZCachedResultSet> cached = Query<IZCachedResultSet>(resultSet_)) cached->MoveToInitialRow();
  rowAccessor_->SetRowBuffer(buffer);
  ReadRowFromResultSet(resultSet_.get(), rowCopyList_, rowAccessor_.get(), slotCopies_);
  buffer->Index = rowNo;
  resultSet_->MoveToCurrentRow();
  return buffer;
}

TZRowBuffer* TZAbstractRODataset::FindActiveRowBuffer() {
  if (!rowAccessor_) return nullptr;
  switch (State()) {
    case dsBrowse:
    case dsBlockRead:
      return HasNoRecords() ? nullptr : reinterpret_cast<TZRowBuffer*>(ActiveBuffer());
    case dsEdit:
    case dsInsert:
      return reinterpret_cast<TZRowBuffer*>(ActiveBuffer());
    case dsCalcFields:
      return reinterpret_cast<TZRowBuffer*>(CalcBuffer());
    case dsOldValue:
    case dsNewValue:
    case dsCurValue:
      return ValuesBuffer();
    default:
      return nullptr;
  }
}

bool TZAbstractRODataset::FetchFieldData(TField* field, void* buffer, bool nativeFormat) {
  // Every read of a field comes this way: the native form needs no detour.
  if (nativeFormat || !buffer) return FetchFieldData(field, buffer);
  if (!IsExactTimeField(field->DataType())) return TDataSet::FetchFieldData(field, buffer, nativeFormat);
  TZRowBuffer* row = FindActiveRowBuffer();
  if (!row) return false;
  int column = FieldLookupIndex(fieldLookupTable_, field);
  rowAccessor_->SetRowBuffer(row);
  bool isNull = false;
  TDateTime value = field->DataType() == ftTime ? rowAccessor_->GetTime(column, isNull)
                                                : rowAccessor_->GetTimestamp(column, isNull);
  WriteUnaligned<double>(buffer, value);
  return !isNull;
}

bool TZAbstractRODataset::FetchFieldData(TField* field, void* buffer) {
  TZRowBuffer* row = FindActiveRowBuffer();
  if (!row) return false;
  int column = FieldLookupIndex(fieldLookupTable_, field);
  rowAccessor_->SetRowBuffer(row);
  TFieldType type = field->DataType();
  bool isNull = false;
  if (IsBlobType(type)) {
    // An empty value is a value: only the null flag makes a blob null.
    Ref<IZBlob> blob = rowAccessor_->GetBlob(column, isNull);
    return !isNull && blob;
  }
  if (!buffer) return !rowAccessor_->IsNull(column);
  switch (type) {
    case ftDate:
    case ftDateTime:
      DateTimeToNative(type, rowAccessor_->GetTimestamp(column, isNull), buffer);
      break;
    case ftTime:
      DateTimeToNative(type, rowAccessor_->GetTime(column, isNull), buffer);
      break;
    case ftBytes: {
      // The slot keeps stale bytes behind a shorter value; the field shows
      // zeros there instead, as a fixed-size binary value is padded.
      const std::uint8_t* data = rowAccessor_->GetColumnData(column, isNull);
      int size = rowAccessor_->GetColumnDataSize(column) - 2;
      int stored = std::clamp<int>(ReadUnaligned<std::int16_t>(data), 0, size);
      std::memcpy(buffer, data + 2, stored);
      std::memset(static_cast<char*>(buffer) + stored, 0, size - stored);
      break;
    }
    case ftWideString:
      *static_cast<WideString*>(buffer) = rowAccessor_->GetUnicodeString(column, isNull);
      break;
    default: {
      const std::uint8_t* data = rowAccessor_->GetColumnData(column, isNull);
      std::memcpy(buffer, data, rowAccessor_->GetColumnDataSize(column));
    }
  }
  return !isNull;
}

void TZAbstractRODataset::StoreFieldData(TField* field, const void* buffer) { StoreFieldData(field, buffer, true); }

void TZAbstractRODataset::StoreFieldData(TField* field, const void* buffer, bool nativeFormat) {
  if (!nativeFormat && buffer && !IsExactTimeField(field->DataType()))
    return TDataSet::StoreFieldData(field, buffer, nativeFormat);
  if (!Active()) throw EZDatabaseError(SZOperationIsNotAllowed3);
  if (!requestLive_ && field->FieldKind() == fkData) RejectReadOnly();
  TDataSetState state = State();
  bool internalState = state == dsSetKey || state == dsCalcFields || state == dsFilter || state == dsBlockRead ||
                       state == dsInternalCalc || state == dsOpening;
  if (field->ReadOnly() && field->FieldKind() != fkLookup && !internalState)
    DatabaseErrorFmt(SFieldReadOnly, {field->DisplayName()});
  bool writable = state == dsEdit || state == dsInsert || state == dsSetKey || state == dsCalcFields ||
                  state == dsFilter || state == dsNewValue || state == dsInternalCalc;
  if (!writable) DatabaseError(SNotEditing);
  TZRowBuffer* row = FindActiveRowBuffer();
  if (!row) throw EZDatabaseError(SZRowDataIsNotAvailable);
  int column = FieldLookupIndex(fieldLookupTable_, field);
  rowAccessor_->SetRowBuffer(row);
  if (state == dsEdit || state == dsInsert) field->Validate(buffer, nativeFormat);
  if (!buffer) {
    rowAccessor_->SetNull(column);
  } else {
    switch (field->DataType()) {
      case ftDate:
        rowAccessor_->SetTimestamp(column, NativeToDateTime(ftDate, buffer));
        break;
      case ftDateTime: {
        TDateTime value = nativeFormat ? NativeToDateTime(ftDateTime, buffer) : ReadUnaligned<double>(buffer);
        ValidateTimeStamp(DateTimeToTimeStamp(value));
        rowAccessor_->SetTimestamp(column, value);
        break;
      }
      case ftTime:
        // A time is a span: more than a day, or below zero.
        rowAccessor_->SetTime(column, nativeFormat ? NativeToDateTime(ftTime, buffer) : ReadUnaligned<double>(buffer));
        break;
      case ftBytes: {
        auto bytes = static_cast<const std::uint8_t*>(buffer);
        rowAccessor_->SetBytes(column, TByteDynArray(bytes, bytes + field->Size()));
        break;
      }
      case ftWideString:
        rowAccessor_->SetUnicodeString(column, *static_cast<const WideString*>(buffer));
        break;
      default: {
        bool isNull = false;
        std::uint8_t* data = rowAccessor_->GetColumnData(column, isNull);
        int size = rowAccessor_->GetColumnDataSize(column);
        // A shorter text keeps the bytes behind its terminating zero.
        if (field->DataType() == ftString && field->IsDataField())
          size = std::min(size, static_cast<int>(std::strlen(static_cast<const char*>(buffer))) + 1);
        std::memcpy(data, buffer, size);
        rowAccessor_->SetNotNull(column);
      }
    }
  }
  if (state != dsCalcFields && state != dsFilter && state != dsNewValue)
    DataEvent(deFieldChange, reinterpret_cast<intptr_t>(field));
  if (field->FieldKind() == fkData) {
    oldValuesBuffer_->Index = -1;
    newValuesBuffer_->Index = -1;
  }
}

TStream* TZAbstractRODataset::MakeBlobStream(TField* field, TBlobStreamMode mode) {
  RequireActiveState();
  TZRowBuffer* row = IsBlobType(field->DataType()) ? FindActiveRowBuffer() : nullptr;
  if (!row) return new TMemoryStream();
  int column = FieldLookupIndex(fieldLookupTable_, field);
  rowAccessor_->SetRowBuffer(row);
  bool isNull = false;
  if (mode == bmRead) {
    bool memo = field->DataType() == ftMemo || field->DataType() == ftFmtMemo;
    std::unique_ptr<TStream> stream =
        memo ? rowAccessor_->GetAsciiStream(column, isNull) : rowAccessor_->GetBinaryStream(column, isNull);
    return stream ? stream.release() : new TMemoryStream();
  }
  Ref<IZBlob> blob = rowAccessor_->GetBlob(column, isNull);
  if (blob) blob = blob->Clone();
  rowAccessor_->SetBlob(column, blob);
  return new TZBlobStream(field, blob, mode);
}

int TZAbstractRODataset::TranslateOem(const char* source, char* dest, bool toOem) {
  if (!source) return 0;
  std::size_t length = std::strlen(source);
  if (dest && (options_ & doOemTranslate)) {
    if (toOem) CharToOemBuff(source, dest, length);
    else OemToCharBuff(source, dest, length);
    dest[length] = '\0';
  } else if (dest && dest != source) {
    std::memcpy(dest, source, length + 1);
  }
  return static_cast<int>(length);
}

void TZAbstractRODataset::ResetCalcFields(char* buffer) {
  if (!rowAccessor_) return;
  rowAccessor_->SetRowBuffer(reinterpret_cast<TZRowBuffer*>(buffer));
  for (TField* field : Fields())
    if (field->FieldKind() == fkCalculated || field->FieldKind() == fkLookup)
      rowAccessor_->SetNull(FieldLookupIndex(fieldLookupTable_, field));
}

void TZAbstractRODataset::VerifyFieldType(TField* field, TFieldDef* fieldDef) {
  if (BaseFieldType(field->DataType()) != BaseFieldType(fieldDef->DataType()))
    DatabaseErrorFmt(SFieldTypeMismatch, {field->DisplayName(), FieldTypeName(field->DataType()),
                                          FieldTypeName(fieldDef->DataType())});
  // Same kind and same type: the framework's size check still applies.
  if (field->DataType() == fieldDef->DataType()) TDataSet::VerifyFieldType(field, fieldDef);
}

TUpdateStatus TZAbstractRODataset::UpdateStatus() {
  if (!resultSet_ || rowList_.empty() || currentPosition_ < 1) return usUnmodified;
  int rowNo = rowList_[std::min<std::size_t>(currentPosition_, rowList_.size()) - 1];
  if (resultSet_->GetRow() != rowNo) resultSet_->MoveAbsolute(rowNo);
  if (resultSet_->RowInserted()) return usInserted;
  if (resultSet_->RowUpdated()) return usModified;
  if (resultSet_->RowDeleted()) return usDeleted;
  return usUnmodified;
}

void TZAbstractRODataset::CheckRequiredFields() {
  for (TField* field : Fields()) {
    if (!field->Required() || field->ReadOnly() || field->FieldKind() != fkData || !field->IsNull()) continue;
    if (State() == dsInsert && resultSet_) {
      int column = resultSet_->FindColumn(field->FieldName());
      Ref<IZResultSetMetadata> metadata = resultSet_->GetMetadata();
      if (column > 0 && (metadata->HasDefaultValue(column) || metadata->IsAutoIncrement(column))) continue;
    }
    throw EZDatabaseError(Format(SZNeedField, {field->DisplayName()}));
  }
}

void TZAbstractRODataset::AddRecordData(char*, bool) { RejectReadOnly(); }
void TZAbstractRODataset::DeleteRecordData() { RejectReadOnly(); }
void TZAbstractRODataset::PostRecordData() { RejectReadOnly(); }

// Parameters are taken by name from the parameter source's fields or from
// Params; a parameter without a value (or an output parameter) leaves its
// position untouched.
void TZAbstractRODataset::SetStatementParams(IZPreparedStatement* statement,
                                             const std::vector<AnsiString>& paramNames, TParams& params,
                                             TDataLink* dataLink) {
  TDataSet* source = dataLink && dataLink->Active() ? dataLink->DataSet() : nullptr;
  TParam fromField("", ftUnknown, ptInput);
  for (std::size_t i = 0; i < paramNames.size(); ++i) {
    int index = static_cast<int>(i) + 1;
    TParam* param = nullptr;
    if (TField* field = source ? source->FieldNamedOrNone(paramNames[i]) : nullptr) {
      fromField.AssignFieldValue(field);
      param = &fromField;
    } else {
      param = params.ParamNamed(paramNames[i]);
    }
    if (!param || param->ParamType() == ptOutput || param->ParamType() == ptResult) continue;
    BindParamValue(statement, index, *param);
  }
}
