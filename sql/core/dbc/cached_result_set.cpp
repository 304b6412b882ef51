// The row cache behind scrollable and updatable results (see
// cached_result_set.h): positioning, reading and editing through one row
// accessor, the pending-change lists and posting through the resolver.

#include "sql/core/dbc/cached_result_set.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/format.h"
#include "sql/core/dbc/column_text.h"
#include "sql/core/dbc/generic_resolver.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

void CopyResultSetColumn(IZResultSet& src, int srcIndex, TZRowAccessor& dest, int destIndex, TZSQLType type) {
  switch (type) {
    case stBoolean: dest.SetBoolean(destIndex, src.GetBoolean(srcIndex)); break;
    case stByte: dest.SetByte(destIndex, src.GetByte(srcIndex)); break;
    case stShort: dest.SetShort(destIndex, src.GetShort(srcIndex)); break;
    case stInteger: dest.SetInt(destIndex, src.GetInt(srcIndex)); break;
    case stLong: dest.SetLong(destIndex, src.GetLong(srcIndex)); break;
    case stFloat: dest.SetFloat(destIndex, src.GetFloat(srcIndex)); break;
    case stDouble: dest.SetDouble(destIndex, src.GetDouble(srcIndex)); break;
    case stBigDecimal: dest.SetBigDecimal(destIndex, src.GetBigDecimal(srcIndex)); break;
    // Whole strings, not C strings: a text holding NUL bytes arrives complete.
    case stString: dest.SetString(destIndex, src.GetString(srcIndex)); break;
    case stUnicodeString: dest.SetUnicodeString(destIndex, src.GetUnicodeString(srcIndex)); break;
    case stBytes: dest.SetBytes(destIndex, src.GetBytes(srcIndex)); break;
    case stDate: dest.SetDate(destIndex, src.GetDate(srcIndex)); break;
    case stTime: dest.SetTime(destIndex, src.GetTime(srcIndex)); break;
    case stTimestamp: dest.SetTimestamp(destIndex, src.GetTimestamp(srcIndex)); break;
    case stAsciiStream:
    case stUnicodeStream:
    case stBinaryStream: dest.SetBlob(destIndex, src.GetBlob(srcIndex)); break;
    default: break;
  }
  if (src.WasNull()) dest.SetNull(destIndex);
}

bool StoreColumnText(const char* text, std::size_t length, TZRowAccessor& dest, int destIndex, TZSQLType type) {
  bool isNull = false;
  switch (type) {
    case stByte: dest.SetByte(destIndex, static_cast<std::int8_t>(ColumnIntegerOrZero<int>(text, length))); return true;
    case stShort:
      dest.SetShort(destIndex, static_cast<std::int16_t>(ColumnIntegerOrZero<int>(text, length)));
      return true;
    case stInteger: dest.SetInt(destIndex, ColumnIntegerOrZero<int>(text, length)); return true;
    case stLong: dest.SetLong(destIndex, ColumnIntegerOrZero<std::int64_t>(text, length)); return true;
    case stDouble: dest.SetDouble(destIndex, static_cast<double>(ColumnFloatOrZero(text, length))); return true;
    case stString: dest.SetPChar(destIndex, text, length); return true;
    case stDate: {
      const TDateTime date = ColumnDate(text, isNull);
      if (!isNull) dest.SetDate(destIndex, date);
      return true;
    }
    case stTime: dest.SetTime(destIndex, ColumnTime(text)); return true;
    case stTimestamp: {
      const TDateTime stamp = ColumnTimestamp(text, isNull);
      if (!isNull) dest.SetTimestamp(destIndex, stamp);
      return true;
    }
    default: return false;
  }
}

// --- construction and life --------------------------------------------------

TZAbstractCachedResultSet::TZAbstractCachedResultSet(const TZColumnInfoList& columnsInfo, const AnsiString& sql)
    : TZAbstractResultSet(nullptr, sql) {
  CopyColumnInfoList(columnsInfo, ColumnsInfo);
}

TZAbstractCachedResultSet::TZAbstractCachedResultSet(const Ref<IZStatement>& statement, const AnsiString& sql)
    : TZAbstractResultSet(statement, sql) {}

TZAbstractCachedResultSet::~TZAbstractCachedResultSet() = default;

void TZAbstractCachedResultSet::AfterConstruction() {
  TZAbstractResultSet::AfterConstruction();
  Open();
}

void TZAbstractCachedResultSet::Open() {
  if (!Closed) throw EZSQLException(SZResultsetIsAlreadyOpened);
  RowAccessor = std::make_unique<TZRowAccessor>(ColumnsInfo);
  OldRowAccessor = std::make_unique<TZRowAccessor>(ColumnsInfo);
  NewRowAccessor = std::make_unique<TZRowAccessor>(ColumnsInfo);
  RowPool = std::make_unique<TZRowPool>(RowAccessor->RowSize());
  UpdatedRow = NewRow();
  InsertedRow = NewRow();
  SelectedRow = nullptr;
  NextRowIndex = 0;
  // A generic resolver needs a statement to reach the connection through.
  if (!Resolver && GetConcurrency() == rcUpdatable && GetStatement())
    Resolver = MakeRef<TZGenericCachedResolver>(GetStatement(), GetMetadata());
  TZAbstractResultSet::Open();
}

TZRowBuffer* TZAbstractCachedResultSet::NewRow() {
  TZRowBuffer* row = RowPool->Take();
  RowAccessor->InitBuffer(row);
  return row;
}

void TZAbstractCachedResultSet::FreeRow(TZRowBuffer* row) {
  if (!row) return;
  RowAccessor->ClearBuffer(row);
  RowPool->Give(row);
}

// A column of the same type keeps its slot's bytes (a text or bytes slot
// only grows, and blob references move with the row, as the old rows are
// dropped without a release); a text become a stream gets a blob of it.
void TZAbstractCachedResultSet::ChangeColumns(const TZColumnInfoList& columns) {
  auto accessor = std::make_unique<TZRowAccessor>(columns);
  auto pool = std::make_unique<TZRowPool>(accessor->RowSize());
  const TZRowAccessor& old = *RowAccessor;
  auto relaid = [&](TZRowBuffer* row) -> TZRowBuffer* {
    if (!row) return nullptr;
    TZRowBuffer* copy = pool->Take();
    accessor->InitBuffer(copy);
    copy->Index = row->Index;
    copy->UpdateType = row->UpdateType;
    copy->BookmarkFlag = row->BookmarkFlag;
    accessor->SetRowBuffer(copy);
    RowAccessor->SetRowBuffer(row);
    for (int i = 0; i < accessor->ColumnCount(); ++i) {
      const std::uint8_t* from = row->Columns() + old.ColumnOffsets()[i];
      std::uint8_t* to = copy->Columns() + accessor->ColumnOffsets()[i];
      if (accessor->ColumnTypes()[i] == old.ColumnTypes()[i]) {
        std::memcpy(to, from, 1 + std::min(old.ColumnLengths()[i], accessor->ColumnLengths()[i]));
        continue;
      }
      bool isNull = false;
      AnsiString text = RowAccessor->GetString(i + 1, isNull);
      if (!isNull) accessor->SetString(i + 1, text);
    }
    return copy;
  };
  TZRowBuffer* current = RowAccessor->RowBuffer();
  TZRowBuffer* newCurrent = nullptr;
  TZRowBuffer* newSelected = nullptr;
  auto replace = [&](TZRowBuffer*& row) {
    TZRowBuffer* copy = relaid(row);
    if (row && row == current) newCurrent = copy;
    if (row && row == SelectedRow) newSelected = copy;
    row = copy;
  };
  for (TZRowBuffer*& row : RowsList) replace(row);
  replace(UpdatedRow);
  replace(InsertedRow);
  ColumnsInfo.Clear();
  CopyColumnInfoList(columns, ColumnsInfo);
  accessor->SetRowBuffer(newCurrent);
  RowAccessor = std::move(accessor);
  OldRowAccessor = std::make_unique<TZRowAccessor>(ColumnsInfo);
  NewRowAccessor = std::make_unique<TZRowAccessor>(ColumnsInfo);
  RowPool = std::move(pool);
  SelectedRow = newSelected;
}

// The pool's memory goes at once; only blob references need a visit per row.
void TZAbstractCachedResultSet::DisposeRows() {
  if (RowAccessor->HasBlobs()) {
    for (TZRowBuffer* row : RowsList) RowAccessor->ClearBuffer(row);
    for (TZRowBuffer* row : InitialRowsList) RowAccessor->ClearBuffer(row);
    RowAccessor->ClearBuffer(UpdatedRow);
    RowAccessor->ClearBuffer(InsertedRow);
  }
  RowPool.reset();
  RowsList.clear();
  InitialRowsList.clear();
  CurrentRowsList.clear();
  UpdatedRow = InsertedRow = SelectedRow = nullptr;
}

void TZAbstractCachedResultSet::Close() {
  TZAbstractResultSet::Close();
  if (!RowAccessor) return;
  DisposeRows();
  RowAccessor.reset();
  OldRowAccessor.reset();
  NewRowAccessor.reset();
}

// --- checks -------------------------------------------------------------------

void TZAbstractCachedResultSet::CheckAvailable() {
  CheckClosed();
  if (!RowAccessor || !RowAccessor->RowBuffer()) throw EZSQLException(SZRowDataIsNotAvailable);
}

void TZAbstractCachedResultSet::CheckUpdatable() {
  CheckAvailable();
  if (ResultSetConcurrency != rcUpdatable) RaiseReadOnlyException();
}

TZRowBuffer* TZAbstractCachedResultSet::RowAt(int row) const {
  if (row < 1 || row > static_cast<int>(RowsList.size()))
    throw EListError(Format(SZListIndexOutOfBounds, {row - 1}));
  return RowsList[row - 1];
}

// --- reading ------------------------------------------------------------------

bool TZAbstractCachedResultSet::IsNull(int columnIndex) {
  CheckAvailable();
  return RowAccessor->IsNull(columnIndex);
}

#define VX_CACHED_GETTER(Type, Name)                          \
  Type TZAbstractCachedResultSet::Name(int columnIndex) {     \
    CheckAvailable();                                         \
    return RowAccessor->Name(columnIndex, LastWasNull);       \
  }
VX_CACHED_GETTER(const char*, GetPChar)
VX_CACHED_GETTER(AnsiString, GetString)
VX_CACHED_GETTER(WideString, GetUnicodeString)
VX_CACHED_GETTER(bool, GetBoolean)
VX_CACHED_GETTER(std::int8_t, GetByte)
VX_CACHED_GETTER(std::int16_t, GetShort)
VX_CACHED_GETTER(int, GetInt)
VX_CACHED_GETTER(std::int64_t, GetLong)
VX_CACHED_GETTER(float, GetFloat)
VX_CACHED_GETTER(double, GetDouble)
VX_CACHED_GETTER(long double, GetBigDecimal)
VX_CACHED_GETTER(TByteDynArray, GetBytes)
VX_CACHED_GETTER(TDateTime, GetDate)
VX_CACHED_GETTER(TDateTime, GetTime)
VX_CACHED_GETTER(TDateTime, GetTimestamp)
VX_CACHED_GETTER(Ref<IZBlob>, GetBlob)
#undef VX_CACHED_GETTER

// --- updating columns ---------------------------------------------------------

void TZAbstractCachedResultSet::PrepareRowForUpdates() {
  if (RowAccessor->RowBuffer() != SelectedRow || SelectedRow == UpdatedRow) return;
  SelectedRow = UpdatedRow;
  RowAccessor->SetRowBuffer(UpdatedRow);
  RowAccessor->CloneFrom(RowAt(RowNo));
}

void TZAbstractCachedResultSet::UpdateNull(int columnIndex) {
  CheckUpdatable();
  PrepareRowForUpdates();
  RowAccessor->SetNull(columnIndex);
}

#define VX_CACHED_UPDATER(Type, Name, Setter)                          \
  void TZAbstractCachedResultSet::Name(int columnIndex, Type value) {  \
    CheckUpdatable();                                                  \
    PrepareRowForUpdates();                                            \
    RowAccessor->Setter(columnIndex, value);                           \
  }
VX_CACHED_UPDATER(bool, UpdateBoolean, SetBoolean)
VX_CACHED_UPDATER(std::int8_t, UpdateByte, SetByte)
VX_CACHED_UPDATER(std::int16_t, UpdateShort, SetShort)
VX_CACHED_UPDATER(int, UpdateInt, SetInt)
VX_CACHED_UPDATER(std::int64_t, UpdateLong, SetLong)
VX_CACHED_UPDATER(float, UpdateFloat, SetFloat)
VX_CACHED_UPDATER(double, UpdateDouble, SetDouble)
VX_CACHED_UPDATER(long double, UpdateBigDecimal, SetBigDecimal)
VX_CACHED_UPDATER(const char*, UpdatePChar, SetPChar)
VX_CACHED_UPDATER(const AnsiString&, UpdateString, SetString)
VX_CACHED_UPDATER(const WideString&, UpdateUnicodeString, SetUnicodeString)
VX_CACHED_UPDATER(const TByteDynArray&, UpdateBytes, SetBytes)
VX_CACHED_UPDATER(TDateTime, UpdateDate, SetDate)
VX_CACHED_UPDATER(TDateTime, UpdateTime, SetTime)
VX_CACHED_UPDATER(TDateTime, UpdateTimestamp, SetTimestamp)
VX_CACHED_UPDATER(TStream*, UpdateAsciiStream, SetAsciiStream)
VX_CACHED_UPDATER(TStream*, UpdateUnicodeStream, SetUnicodeStream)
VX_CACHED_UPDATER(TStream*, UpdateBinaryStream, SetBinaryStream)
#undef VX_CACHED_UPDATER

// --- position -----------------------------------------------------------------

bool TZAbstractCachedResultSet::MoveAbsolute(int row) {
  CheckClosed();
  if (ResultSetType == rtForwardOnly && row < RowNo) RaiseForwardOnlyException();
  if (row < 0 || row > LastRowNo + 1) return false;
  RowNo = row;
  SelectedRow = HasCurrentRow() ? RowsList[row - 1] : nullptr;
  RowAccessor->SetRowBuffer(SelectedRow);
  return SelectedRow != nullptr;
}

bool TZAbstractCachedResultSet::RowUpdated() { return HasCurrentRow() && RowsList[RowNo - 1]->UpdateType == utModified; }
bool TZAbstractCachedResultSet::RowInserted() { return HasCurrentRow() && RowsList[RowNo - 1]->UpdateType == utInserted; }
bool TZAbstractCachedResultSet::RowDeleted() { return HasCurrentRow() && RowsList[RowNo - 1]->UpdateType == utDeleted; }

void TZAbstractCachedResultSet::MoveToInsertRow() {
  CheckClosed();
  RowAccessor->SetRowBuffer(InsertedRow);
}

void TZAbstractCachedResultSet::MoveToCurrentRow() {
  CheckClosed();
  RowAccessor->SetRowBuffer(HasCurrentRow() ? SelectedRow : nullptr);
}

void TZAbstractCachedResultSet::CancelRowUpdates() { MoveAbsolute(RowNo); }

int TZAbstractCachedResultSet::CompareRows(int row1, int row2, const TZIntegerDynArray& columnIndices,
                                           const TZBooleanDynArray& columnDirs) {
  if (ResultSetType == rtForwardOnly) RaiseForwardOnlyException();
  return RowAccessor->CompareBuffers(RowAt(row1), RowAt(row2), columnIndices, columnDirs);
}

void TZAbstractCachedResultSet::AppendRow(TZRowBuffer* row) {
  RowsList.push_back(row);
  LastRowNo = static_cast<int>(RowsList.size());
}

// --- pending changes ------------------------------------------------------------

TZRowBuffer* TZAbstractCachedResultSet::AddPendingRow(TZRowBuffer* row) {
  if (LocateRow(InitialRowsList, row->Index) >= 0) return nullptr;
  TZRowBuffer* copy = NewRow();
  RowAccessor->CopyBuffer(row, copy);
  InitialRowsList.push_back(copy);
  CurrentRowsList.push_back(row);
  return copy;
}

int TZAbstractCachedResultSet::LocateRow(const std::vector<TZRowBuffer*>& list, int rowIndex) {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i]->Index == rowIndex) return static_cast<int>(i);
  return -1;
}

void TZAbstractCachedResultSet::DropEntry(std::size_t i) {
  TZRowBuffer* saved = InitialRowsList[i];
  TZRowBuffer* current = CurrentRowsList[i];
  // A row shown as it was (MoveToInitialRow) goes back to showing its current
  // version before the saved copy is freed.
  if (SelectedRow == saved) SelectedRow = current;
  if (RowAccessor->RowBuffer() == saved) RowAccessor->SetRowBuffer(current);
  FreeRow(saved);
  InitialRowsList.erase(InitialRowsList.begin() + static_cast<std::ptrdiff_t>(i));
  CurrentRowsList.erase(CurrentRowsList.begin() + static_cast<std::ptrdiff_t>(i));
}

void TZAbstractCachedResultSet::RevertEntry(std::size_t i) {
  TZRowBuffer* saved = InitialRowsList[i];
  TZRowBuffer* current = CurrentRowsList[i];
  if (current->UpdateType == utInserted) saved->UpdateType = utDeleted;
  if (saved != current) RowAccessor->CopyBuffer(saved, current);
  if (SelectedRow == UpdatedRow && UpdatedRow->Index == saved->Index) RowAccessor->CopyBuffer(saved, UpdatedRow);
  DropEntry(i);
}

void TZAbstractCachedResultSet::RestoreRow(int row, TZRowBuffer* savedCopy) {
  int entry = LocateRow(InitialRowsList, savedCopy->Index);
  if (entry < 0 || InitialRowsList[entry] != savedCopy) return;
  TZRowBuffer* failed = RowsList[row - 1];
  InitialRowsList.erase(InitialRowsList.begin() + entry);
  CurrentRowsList.erase(CurrentRowsList.begin() + entry);
  RowsList[row - 1] = savedCopy;
  SelectedRow = savedCopy;
  RowAccessor->SetRowBuffer(savedCopy);
  FreeRow(failed);
}

void TZAbstractCachedResultSet::SetResolver(const Ref<IZCachedResolver>& resolver) {
  Resolver = resolver;
  if (!NativeResolver) NativeResolver = resolver;
}

void TZAbstractCachedResultSet::SetCachedUpdates(bool value) {
  if (value == CachedUpdates) return;
  CachedUpdates = value;
  if (!value) PostUpdates();
}

void TZAbstractCachedResultSet::CalculateRowDefaults(TZRowAccessor* rowAccessor) {
  if (!Resolver) throw EZSQLException(SZResolverIsNotSpecified);
  Resolver->CalculateDefaults(this, rowAccessor);
}

void TZAbstractCachedResultSet::PostRowUpdates(TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor) {
  if (!Resolver) throw EZSQLException(SZResolverIsNotSpecified);
  auto updateType = static_cast<TZRowUpdateType>(newRowAccessor->RowBuffer()->UpdateType);
  Resolver->PostUpdates(this, updateType, oldRowAccessor, newRowAccessor);
}

void TZAbstractCachedResultSet::PostUpdates() {
  CheckClosed();
  while (!InitialRowsList.empty()) {
    TZRowBuffer* current = CurrentRowsList.front();
    OldRowAccessor->SetRowBuffer(InitialRowsList.front());
    NewRowAccessor->SetRowBuffer(current);
    if (current->UpdateType == utInserted) CalculateRowDefaults(NewRowAccessor.get());
    PostRowUpdates(OldRowAccessor.get(), NewRowAccessor.get());
    if (current->UpdateType != utDeleted) {
      current->UpdateType = utUnmodified;
      if (SelectedRow && SelectedRow->Index == current->Index) SelectedRow->UpdateType = utUnmodified;
    }
    OldRowAccessor->SetRowBuffer(nullptr);
    DropEntry(0);
  }
}

void TZAbstractCachedResultSet::CancelUpdates() {
  CheckClosed();
  while (!InitialRowsList.empty()) RevertEntry(0);
}

void TZAbstractCachedResultSet::RevertRecord() {
  CheckClosed();
  if (!HasCurrentRow() || !SelectedRow) return;
  int entry = LocateRow(InitialRowsList, SelectedRow->Index);
  if (entry >= 0) RevertEntry(entry);
}

void TZAbstractCachedResultSet::MoveToInitialRow() {
  CheckClosed();
  if (!HasCurrentRow() || !SelectedRow) {
    RowAccessor->SetRowBuffer(nullptr);
    return;
  }
  int entry = LocateRow(InitialRowsList, SelectedRow->Index);
  if (entry < 0) return;
  SelectedRow = InitialRowsList[entry];
  RowAccessor->SetRowBuffer(SelectedRow);
}

// --- row changes ------------------------------------------------------------------

void TZAbstractCachedResultSet::InsertRow() {
  CheckClosed();
  TZRowBuffer* remembered = RowAccessor->RowBuffer();
  TZRowBuffer* row = NewRow();
  RowAccessor->MoveBuffer(InsertedRow, row);
  row->UpdateType = utInserted;
  row->Index = GetNextRowIndex();
  AddPendingRow(row);
  if (!CachedUpdates) {
    try {
      PostUpdates();
    } catch (const std::exception& e) {
      int entry = LocateRow(InitialRowsList, row->Index);
      if (entry >= 0) DropEntry(entry);
      FreeRow(row);
      RowAccessor->SetRowBuffer(remembered);
      RaiseSQLException(e);
    }
  }
  AppendRow(row);
  MoveAbsolute(LastRowNo);
}

void TZAbstractCachedResultSet::UpdateRow() {
  CheckUpdatable();
  if (!HasCurrentRow()) throw EZSQLException(SZCanNotUpdateEmptyRow);
  TZRowBuffer* row = RowsList[RowNo - 1];
  if (row->UpdateType == utDeleted) throw EZSQLException(SZCanNotUpdateDeletedRow);
  if (SelectedRow != UpdatedRow) return;
  TZRowBuffer* savedCopy = AddPendingRow(row);
  SelectedRow = row;
  RowAccessor->CopyBuffer(UpdatedRow, SelectedRow);
  RowAccessor->SetRowBuffer(SelectedRow);
  if (SelectedRow->UpdateType == utUnmodified) SelectedRow->UpdateType = utModified;
  PostAtOnce(savedCopy);
}

void TZAbstractCachedResultSet::DeleteRow() {
  CheckUpdatable();
  if (!HasCurrentRow() || !SelectedRow) throw EZSQLException(SZCanNotDeleteEmptyRow);
  if (SelectedRow->UpdateType == utInserted) {
    RevertRecord();
    return;
  }
  TZRowBuffer* row = RowsList[RowNo - 1];
  TZRowBuffer* savedCopy = AddPendingRow(row);
  SelectedRow->UpdateType = utDeleted;
  if (SelectedRow == UpdatedRow) RowAccessor->CopyBuffer(UpdatedRow, row);
  PostAtOnce(savedCopy);
}

void TZAbstractCachedResultSet::PostAtOnce(TZRowBuffer* savedCopy) {
  if (CachedUpdates) return;
  try {
    PostUpdates();
  } catch (const std::exception& e) {
    // A row that was pending before keeps its state; only a copy this
    // operation took may restore it.
    if (savedCopy) RestoreRow(RowNo, savedCopy);
    RaiseSQLException(e);
  }
}

// --- the native result set's cache ------------------------------------------------

TZCachedResultSet::TZCachedResultSet(const Ref<IZResultSet>& resultSet, const AnsiString& sql,
                                     const Ref<IZCachedResolver>& resolver)
    : TZAbstractCachedResultSet(resultSet->GetStatement(), sql), ResultSet(resultSet) {
  Resolver = resolver;
  NativeResolver = resolver;
}

void TZCachedResultSet::Open() {
  ColumnsInfo.Clear();
  NativeMetadata = ResultSet->GetMetadata();
  const Ref<IZResultSetMetadata>& metadata = NativeMetadata;
  for (int i = 1; i <= metadata->GetColumnCount(); ++i) {
    TZColumnInfo& column = ColumnsInfo.Add();
    column.Currency = metadata->IsCurrency(i);
    column.Signed = metadata->IsSigned(i);
    column.ColumnDisplaySize = metadata->GetColumnDisplaySize(i);
    column.ColumnLabel = metadata->GetColumnLabel(i);
    column.Precision = metadata->GetPrecision(i);
    column.Scale = metadata->GetScale(i);
    column.ColumnType = metadata->GetColumnType(i);
  }
  TZAbstractCachedResultSet::Open();
}

void TZCachedResultSet::Close() {
  TZAbstractCachedResultSet::Close();
  ColumnsInfo.Clear();
  ResultSet = nullptr;
  NativeMetadata = nullptr;
}

Ref<IZResultSetMetadata> TZCachedResultSet::GetMetadata() {
  if (NativeMetadata) return NativeMetadata;
  return ResultSet ? ResultSet->GetMetadata() : TZAbstractCachedResultSet::GetMetadata();
}

bool TZCachedResultSet::IsAfterLast() {
  FetchAll();
  return TZAbstractCachedResultSet::IsAfterLast();
}

bool TZCachedResultSet::IsLast() {
  FetchAll();
  return TZAbstractCachedResultSet::IsLast();
}

void TZCachedResultSet::AfterLast() {
  FetchAll();
  TZAbstractCachedResultSet::AfterLast();
}

bool TZCachedResultSet::Last() {
  FetchAll();
  return TZAbstractCachedResultSet::Last();
}

bool TZCachedResultSet::MoveAbsolute(int row) {
  if (MaxRows > 0 && row > MaxRows) return false;
  if (row < 0) {
    FetchAll();
    row = std::max(LastRowNo + row + 1, 0);
  } else {
    while (LastRowNo < row && Fetch()) {
    }
  }
  return TZAbstractCachedResultSet::MoveAbsolute(row);
}

bool TZCachedResultSet::Fetch() {
  if (!ResultSet || !ResultSet->Next()) return false;
  if (MaxRows > 0 && LastRowNo >= MaxRows) return true;
  PrepareFetchedRow();
  TZRowBuffer* remembered = RowAccessor->RowBuffer();
  TZRowBuffer* row = NewRow();
  try {
    row->Index = GetNextRowIndex();
    row->UpdateType = utUnmodified;
    RowAccessor->SetRowBuffer(row);
    FillFetchedRow();
  } catch (...) {
    RowAccessor->SetRowBuffer(remembered);
    FreeRow(row);
    throw;
  }
  RowAccessor->SetRowBuffer(remembered);
  AppendRow(row);
  return true;
}

void TZCachedResultSet::FillFetchedRow() {
  for (int i = 1; i <= ColumnsInfo.Count(); ++i)
    CopyResultSetColumn(*ResultSet, i, *RowAccessor, i, ColumnsInfo[i - 1].ColumnType);
}

void TZCachedResultSet::FetchAll() {
  while (Fetch()) {
  }
}
