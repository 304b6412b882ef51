// Cached result sets: rows held in memory as row buffers, so that a result can
// be scrolled both ways, compared row against row and changed. Changes go back
// to the database through a resolver, at once or, with cached updates, when
// posted. TZCachedResultSet fills the cache on demand from a driver's native
// result set; the virtual result sets of the catalogue fill it directly.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "sql/core/dbc/abstract_result_set.h"
#include "sql/core/dbc/row_buffer.h"
#include "sql/core/dbc/row_pool.h"

class TZRowAccessor;
class IZCachedResolver;

class IZCachedResultSet : public virtual IZResultSet {
public:
  virtual Ref<IZCachedResolver> GetResolver() = 0;
  // The first resolver ever set also becomes the native one.
  virtual void SetResolver(const Ref<IZCachedResolver>& resolver) = 0;
  virtual Ref<IZCachedResolver> GetNativeResolver() = 0;
  virtual bool IsCachedUpdates() = 0;
  // Switching cached updates off posts what is pending.
  virtual void SetCachedUpdates(bool value) = 0;
  virtual bool IsPendingUpdates() = 0;
  virtual void PostUpdates() = 0;
  virtual void CancelUpdates() = 0;
  // Undoes the pending change of the current row.
  virtual void RevertRecord() = 0;
  // Shows the current row as it was before its pending change.
  virtual void MoveToInitialRow() = 0;
};

// Writes the changes of a cached result set back to the database.
class IZCachedResolver : public virtual IZInterface {
public:
  // Fills the default values of a new row before it is posted.
  virtual void CalculateDefaults(IZCachedResultSet* sender, TZRowAccessor* rowAccessor) = 0;
  // oldRowAccessor is over the saved version of the row, newRowAccessor over
  // the current one.
  virtual void PostUpdates(IZCachedResultSet* sender, TZRowUpdateType updateType, TZRowAccessor* oldRowAccessor,
                           TZRowAccessor* newRowAccessor) = 0;
  virtual void UpdateAutoIncrementFields(IZCachedResultSet* sender, TZRowUpdateType updateType,
                                         TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor,
                                         IZCachedResolver* resolver) = 0;
};

class TZAbstractCachedResultSet : public TZAbstractResultSet, public virtual IZCachedResultSet {
public:
  // Copies the descriptions (without defaults); opens once constructed.
  TZAbstractCachedResultSet(const TZColumnInfoList& columnsInfo, const AnsiString& sql);
  ~TZAbstractCachedResultSet() override;

  void AfterConstruction() override;

  // Creators that need another cursor kind or concurrency set it after creation.
  using TZAbstractResultSet::SetConcurrency;
  using TZAbstractResultSet::SetType;

  void Open() override;
  void Close() override;

  bool IsNull(int columnIndex) override;
  const char* GetPChar(int columnIndex) override;
  AnsiString GetString(int columnIndex) override;
  WideString GetUnicodeString(int columnIndex) override;
  bool GetBoolean(int columnIndex) override;
  std::int8_t GetByte(int columnIndex) override;
  std::int16_t GetShort(int columnIndex) override;
  int GetInt(int columnIndex) override;
  std::int64_t GetLong(int columnIndex) override;
  float GetFloat(int columnIndex) override;
  double GetDouble(int columnIndex) override;
  long double GetBigDecimal(int columnIndex) override;
  TByteDynArray GetBytes(int columnIndex) override;
  TDateTime GetDate(int columnIndex) override;
  TDateTime GetTime(int columnIndex) override;
  TDateTime GetTimestamp(int columnIndex) override;
  // A null stream column receives an empty blob in the current row.
  Ref<IZBlob> GetBlob(int columnIndex) override;

  // The accessor of the rows, standing on the row the getters read; a
  // change of the columns' layout makes a new one.
  const TZRowAccessor* RowLayout() const { return RowAccessor.get(); }

  bool MoveAbsolute(int row) override;
  bool RowUpdated() override;
  bool RowInserted() override;
  bool RowDeleted() override;

  void UpdateNull(int columnIndex) override;
  void UpdateBoolean(int columnIndex, bool value) override;
  void UpdateByte(int columnIndex, std::int8_t value) override;
  void UpdateShort(int columnIndex, std::int16_t value) override;
  void UpdateInt(int columnIndex, int value) override;
  void UpdateLong(int columnIndex, std::int64_t value) override;
  void UpdateFloat(int columnIndex, float value) override;
  void UpdateDouble(int columnIndex, double value) override;
  void UpdateBigDecimal(int columnIndex, long double value) override;
  void UpdatePChar(int columnIndex, const char* value) override;
  void UpdateString(int columnIndex, const AnsiString& value) override;
  void UpdateUnicodeString(int columnIndex, const WideString& value) override;
  void UpdateBytes(int columnIndex, const TByteDynArray& value) override;
  void UpdateDate(int columnIndex, TDateTime value) override;
  void UpdateTime(int columnIndex, TDateTime value) override;
  void UpdateTimestamp(int columnIndex, TDateTime value) override;
  void UpdateAsciiStream(int columnIndex, TStream* value) override;
  void UpdateUnicodeStream(int columnIndex, TStream* value) override;
  void UpdateBinaryStream(int columnIndex, TStream* value) override;

  void InsertRow() override;
  void UpdateRow() override;
  void DeleteRow() override;
  // Drops an edit in progress.
  void CancelRowUpdates() override;
  void MoveToInsertRow() override;
  void MoveToCurrentRow() override;
  int CompareRows(int row1, int row2, const TZIntegerDynArray& columnIndices,
                  const TZBooleanDynArray& columnDirs) override;

  Ref<IZCachedResolver> GetResolver() override { return Resolver; }
  void SetResolver(const Ref<IZCachedResolver>& resolver) override;
  Ref<IZCachedResolver> GetNativeResolver() override { return NativeResolver; }
  bool IsCachedUpdates() override { return CachedUpdates; }
  void SetCachedUpdates(bool value) override;
  bool IsPendingUpdates() override { return !InitialRowsList.empty(); }
  void PostUpdates() override;
  void CancelUpdates() override;
  void RevertRecord() override;
  void MoveToInitialRow() override;

  // Room for the rows a stored result is known to hold (MaxRows at most), so
  // that caching a large result does not move the row list again and again.
  void ReserveRows(int count) { RowsList.reserve(MaxRows > 0 ? std::min(count, MaxRows) : count); }

protected:
  // Subclasses whose constructor fills nothing themselves (the native result
  // set's cache) start with no columns.
  TZAbstractCachedResultSet(const Ref<IZStatement>& statement, const AnsiString& sql);

  // Hooks of posting; both need a resolver.
  virtual void CalculateRowDefaults(TZRowAccessor* rowAccessor);
  virtual void PostRowUpdates(TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor);

  void CheckAvailable();
  void CheckUpdatable();
  // Begins an edit of the current row on a private clone of it.
  void PrepareRowForUpdates();
  // Takes a saved copy of a row at its first pending change; null when the
  // row was pending already.
  TZRowBuffer* AddPendingRow(TZRowBuffer* row);
  static int LocateRow(const std::vector<TZRowBuffer*>& list, int rowIndex);
  int GetNextRowIndex() { return NextRowIndex++; }
  // Appends a fetched or built row to the cache.
  void AppendRow(TZRowBuffer* row);
  // Every row of the cache, saved copies and edit rows included, comes from
  // and goes back to RowPool: a fresh row is initialised, a freed one cleared.
  TZRowBuffer* NewRow();
  void FreeRow(TZRowBuffer* row);
  // Lays the rows out anew for columns: the same columns, some texts or
  // bytes wider or a text become a stream. Every row keeps its values. Only
  // while no change is pending, as a fetch does before a longer value.
  void ChangeColumns(const TZColumnInfoList& columns);

  bool CachedUpdates = false;
  std::vector<TZRowBuffer*> RowsList;
  std::vector<TZRowBuffer*> InitialRowsList;
  std::vector<TZRowBuffer*> CurrentRowsList;
  TZRowBuffer* SelectedRow = nullptr;
  TZRowBuffer* UpdatedRow = nullptr;
  TZRowBuffer* InsertedRow = nullptr;
  std::unique_ptr<TZRowAccessor> RowAccessor;
  std::unique_ptr<TZRowAccessor> NewRowAccessor;
  std::unique_ptr<TZRowAccessor> OldRowAccessor;
  std::unique_ptr<TZRowPool> RowPool;
  int NextRowIndex = 0;
  Ref<IZCachedResolver> Resolver;
  Ref<IZCachedResolver> NativeResolver;

private:
  // Row n (1-based) of the cache, or the platform's list-index error.
  TZRowBuffer* RowAt(int row) const;
  bool HasCurrentRow() const { return RowNo >= 1 && RowNo <= LastRowNo; }
  // Undoes pending entry i: the current row gets its saved copy back.
  void RevertEntry(std::size_t i);
  // Frees the saved copy of pending entry i and forgets the entry.
  void DropEntry(std::size_t i);
  // After a failed immediate post: row n gets back the saved copy this
  // operation took, and nothing of the operation stays pending.
  void RestoreRow(int row, TZRowBuffer* savedCopy);
  // Unless updates are cached: posts, and after a failure restores the
  // current row from savedCopy (when this operation took one) and raises.
  void PostAtOnce(TZRowBuffer* savedCopy);
  void DisposeRows();
};

// Caches the rows of a driver's native result set, reading it only as far as
// a move needs.
class TZCachedResultSet : public TZAbstractCachedResultSet {
public:
  TZCachedResultSet(const Ref<IZResultSet>& resultSet, const AnsiString& sql, const Ref<IZCachedResolver>& resolver);

  void Open() override;
  void Close() override;
  // The native result set's metadata: tables and writability come from the driver.
  Ref<IZResultSetMetadata> GetMetadata() override;
  bool IsAfterLast() override;
  bool IsLast() override;
  void AfterLast() override;
  bool Last() override;
  // Negative rows count from the end (-1 is the last row); MaxRows limits.
  bool MoveAbsolute(int row) override;

  // Reads one more native row; a row beyond MaxRows is read and dropped.
  virtual bool Fetch();
  virtual void FetchAll();

protected:
  // Fetch's steps once the native result set stands on its next row: a
  // subclass may change the columns for that row before a buffer is taken,
  // and fill the fresh buffer (RowAccessor's) its own way. The default fill
  // copies each column through the native getters.
  virtual void PrepareFetchedRow() {}
  virtual void FillFetchedRow();

private:
  Ref<IZResultSet> ResultSet;
  // ResultSet's metadata, kept from Open: the dataset asks for it once a row.
  Ref<IZResultSetMetadata> NativeMetadata;
};

// The cache of a driver cursor that writes each row into the cache itself
// (Native::StoreRow), in place of the copy through the getters.
template <class Native>
class TZNativeCachedResultSet : public TZCachedResultSet {
public:
  TZNativeCachedResultSet(const Ref<Native>& resultSet, const AnsiString& sql, const Ref<IZCachedResolver>& resolver)
      : TZCachedResultSet(resultSet, sql, resolver), native_(resultSet) {}

  void Close() override {
    TZCachedResultSet::Close();
    native_ = nullptr;
  }

protected:
  void FillFetchedRow() override { native_->StoreRow(*RowAccessor, ColumnsInfo); }

  Ref<Native> native_;
};

// Copies column srcIndex of the source's current row into column destIndex of
// the accessor's buffer, by the given type: text through strings, streams by
// sharing the source's blob. NULL stays NULL.
void CopyResultSetColumn(IZResultSet& src, int srcIndex, TZRowAccessor& dest, int destIndex, TZSQLType type);

// Stores the non-null column text of a text-protocol driver into column
// destIndex of a fresh (all null) row, read as that driver's getter of type
// reads it: whole numbers, doubles, texts and the date kinds (a zero date
// stays null). False, storing nothing, for any other type.
bool StoreColumnText(const char* text, std::size_t length, TZRowAccessor& dest, int destIndex, TZSQLType type);
