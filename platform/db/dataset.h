// TDataSet: the framework's dataset. It keeps a ring of record buffers over a
// cursor that a descendant implements through the protected hooks below
// (open, close, fill a record buffer, move the cursor, read and write field
// data, bookmarks, add/post/delete), and turns them into the public
// navigation, editing, state and event model that fields and data sources see.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/db/db_error.h"
#include "platform/db/field_defs.h"
#include "platform/db/typed_fields.h"

class TDataSource;
class TParams;
class TStream;

// A bookmark is the descendant's bookmark bytes (BookmarkSize of them).
using TBookmark = AnsiString;

class TDataSet : public TComponent {
public:
  using TDataSetNotifyEvent = std::function<void(TDataSet* dataSet)>;
  using TDataSetErrorEvent =
      std::function<void(TDataSet* dataSet, EDatabaseError& error, TDataAction& action)>;
  using TFilterRecordEvent = std::function<void(TDataSet* dataSet, bool& accept)>;
  using TUpdateRecordEvent =
      std::function<void(TDataSet* dataSet, TUpdateKind kind, TUpdateAction& action)>;

  explicit TDataSet(TComponent* owner);
  ~TDataSet() override;
  void BeforeDestruction() override;

  // Opening and closing.
  bool Active() const { return state_ != dsInactive; }
  // While the owner is being loaded, only remembered; Loaded opens then.
  void SetActive(bool value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState State() const { return state_; }

  // Navigation.
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Moves by `distance` records; returns how many it moved (signed).
  int MoveBy(int distance);
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  bool HasNoRecords() const { return activeRecord_ >= recordCount_; }
  // The number of records and the current one's number, as the descendant
  // counts them (-1 when it cannot tell).
  int RecordTotal();
  int RecordNumber();
  void SetRecordNumber(int value);
  // Re-reads the buffer window around the current record: rmExact raises
  // "Record not found" when it is gone, rmCenter puts it in the middle.
  void ResyncBuffers(unsigned mode);
  // Moves the descendant's cursor to the active record, only when it is
  // elsewhere; CursorPosChanged forgets where the cursor is.
  void SyncCursorPosition();
  void CursorPosChanged() { currentRecord_ = -1; }
  void Refresh();

  // Editing.
  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  // "Cannot perform this operation on a closed (an open) dataset".
  void RequireActiveState() const;
  void RequireInactiveState() const;
  // Posts or cancels a pending edit and requires an open dataset.
  void EnsureBrowseMode();
  // Asks data links to write their pending control values into fields.
  void UpdateRecord();
  bool Modified() const { return modified_; }
  bool CanModify() { return AllowsModify(); }
  void ClearFields();

  // Searching.
  bool FindFirst() { return SeekRecord(true, true); }
  bool FindLast() { return SeekRecord(true, false); }
  bool FindNext() { return SeekRecord(false, true); }
  bool FindPrior() { return SeekRecord(false, false); }
  bool Found() const { return found_; }

  // Fields.
  TFields& Fields() { return fields_; }
  const TFields& Fields() const { return fields_; }
  TFieldDefs& FieldDefs() { return fieldDefs_; }
  // Raises "Field '%s' not found".
  TField* FieldNamed(const AnsiString& name) const;
  TField* FieldNamedOrNone(const AnsiString& name) const;
  // The value of one field, or a variant array of the values of a
  // ";"-separated list of fields; setting takes the same forms.
  Variant FieldValueNamed(const AnsiString& names) const;
  void SetFieldValueNamed(const AnsiString& names, const Variant& value);
  // Fields named in a ";"-separated list, raising for an unknown name.
  std::vector<TField*> FieldList(const AnsiString& names) const;
  bool DefaultFields() const { return defaultFields_; }
  bool AutoCalcFields() const { return autoCalcFields_; }
  void SetAutoCalcFields(bool value) { autoCalcFields_ = value; }
  // Fields computed by the dataset (calculated, lookup, internal), counted
  // when the fields are bound; their values come from ComputeCalcFields.
  int CalcFieldCount() const { return calcFieldCount_; }

  // Bookmarks.
  int BookmarkSize() const { return bookmarkSize_; }
  TBookmark Bookmark();
  void SetBookmark(const TBookmark& bookmark) { ReturnToBookmark(bookmark); }
  TBookmark TakeBookmark() { return Bookmark(); }
  void ReturnToBookmark(const TBookmark& bookmark);
  void DropBookmark(TBookmark& bookmark) { bookmark.clear(); }
  bool BookmarkAvailable();

  // Filters.
  bool Filtered() const { return filtered_; }
  void SetFiltered(bool value) { ApplyFiltered(value); }
  const AnsiString& Filter() const { return filterText_; }
  void SetFilter(const AnsiString& text) { ApplyFilterText(text); }

  // Data links and controls.
  void SuspendControls();
  void ResumeControls();
  bool ControlsDisabled() const { return disableCount_ > 0; }
  // Whether `source` (or a source behind its dataset) reads this dataset.
  bool IsLinkedWith(TDataSource* source);
  bool IsUniDirectional() const { return uniDirectional_; }
  void SetUniDirectional(bool value) { uniDirectional_ = value; }
  // Broadcasts a data event to the data sources (and so to their links).
  void DataEvent(TDataEvent event, intptr_t info = 0);

  // Ring and record buffers, for data links and descendants.
  int BufferCount() const { return bufferCount_; }
  int BufferedRecordCount() const { return recordCount_; }
  int ActiveRecord() const { return activeRecord_; }
  char* ActiveBuffer() const { return buffers_.empty() ? nullptr : buffers_[activeRecord_]; }
  char* CalcBuffer() const { return calcBuffer_; }
  char* TempBuffer() const { return buffers_.empty() ? nullptr : buffers_[bufferCount_]; }

  // Runs `body` with the state switched to `state` (data events held back);
  // for the calculation states `buffer` becomes CalcBuffer. Restores both.
  template <class Body>
  void WithTempState(TDataSetState state, char* buffer, Body&& body) {
    auto saved = SetTempState(state, buffer);
    try {
      body();
    } catch (...) {
      RestoreState(saved);
      throw;
    }
    RestoreState(saved);
  }

  // Events.
  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
  TDataSetNotifyEvent BeforeRefresh, AfterRefresh, OnCalcFields, OnNewRecord;
  TDataSetErrorEvent OnPostError, OnEditError, OnDeleteError;
  TFilterRecordEvent OnFilterRecord;

  // Provider support: what the platform's data providers ask of a dataset.
  virtual void ProviderEndTransaction(bool commit);
  virtual void ProviderExecute();
  virtual int ProviderExecuteStatement(const AnsiString& sql, TParams* params,
                                       TDataSet** resultSet);
  virtual AnsiString ProviderKeyFields();
  virtual TParams* ProviderParams();
  virtual AnsiString ProviderQuoteChar();
  virtual AnsiString ProviderTableName();
  virtual std::unique_ptr<EUpdateError> ProviderUpdateException(const std::exception& error,
                                                                const EUpdateError* previous);
  virtual bool ProviderInTransaction();
  virtual bool ProviderIsSQLBased();
  virtual bool ProviderIsSQLSupported();
  virtual void ProviderReset();
  virtual void ProviderSetParams(TParams* params);
  virtual void ProviderSetCommandText(const AnsiString& text);
  virtual void ProviderStartTransaction();
  virtual bool ProviderUpdateRecord(TUpdateKind kind, TDataSet* delta);
  // Whether the current record carries a new value for the field: a
  // provider's change set gives none for fields it leaves alone. A plain
  // dataset always does.
  virtual bool HasNewValue(TField* field);

  // Record-level services that fields and data links use.
  virtual bool FetchFieldData(TField* field, void* buffer) = 0;
  virtual bool FetchFieldData(TField* field, void* buffer, bool nativeFormat);
  virtual void StoreFieldData(TField* field, const void* buffer) = 0;
  virtual void StoreFieldData(TField* field, const void* buffer, bool nativeFormat);
  // A stream over a blob field of the current record; the caller frees it.
  virtual TStream* MakeBlobStream(TField* field, TBlobStreamMode mode);
  virtual void ReleaseBlob(TField* field);
  virtual TUpdateStatus UpdateStatus();
  // Moves to the first record whose key fields (";"-separated) hold the key
  // values (one value, or a variant array for several fields).
  virtual bool LocateRecords(const AnsiString& keyFields, const Variant& keyValues,
                             unsigned options);
  // The result fields' values of the record with those keys; the cursor stays.
  virtual Variant LookupValues(const AnsiString& keyFields, const Variant& keyValues,
                               const AnsiString& resultFields);
  virtual bool IsValidBookmark(const TBookmark& bookmark);
  virtual int OrderOfBookmarks(const TBookmark& a, const TBookmark& b);
  virtual bool HasSequenceNumbers();
  virtual int TranslateOem(const char* source, char* dest, bool toOem);
  virtual TDataSource* DataSourceOfDataset();

protected:
  // Cursor hooks a descendant implements.
  virtual char* AcquireRecordBuffer() = 0;
  virtual void ReleaseRecordBuffer(char*& buffer) = 0;
  virtual void BlankRecordBuffer(char* buffer);
  virtual int RecordBufferSize() = 0;
  virtual TGetResult FillRecordBuffer(char* buffer, TGetMode mode, bool check) = 0;
  virtual void OpenCursorData() = 0;
  virtual void CloseCursorData() = 0;
  virtual bool HasOpenCursor() = 0;
  virtual void LoadFieldDefinitions() = 0;
  virtual void CursorToStart() = 0;
  virtual void CursorToEnd() = 0;
  virtual void CursorToBookmark(const TBookmark& bookmark) = 0;
  virtual void CursorToRecord(char* buffer) = 0;
  virtual void ReadBookmarkData(char* buffer, TBookmark& data) = 0;
  virtual void WriteBookmarkData(char* buffer, const TBookmark& data) = 0;
  virtual TBookmarkFlag ReadBookmarkFlag(char* buffer) = 0;
  virtual void WriteBookmarkFlag(char* buffer, TBookmarkFlag flag) = 0;
  virtual void AddRecordData(char* buffer, bool append) = 0;
  virtual void DeleteRecordData() = 0;
  virtual void PostRecordData() = 0;
  virtual void CancelRecordData() {}
  virtual void EditRecordData() {}
  virtual void ReportHandledException() {}
  virtual int ReadRecordTotal() { return -1; }
  virtual int ReadRecordNumber() { return -1; }
  virtual void WriteRecordNumber(int) {}
  virtual void ApplyFiltered(bool value);
  virtual void ApplyFilterText(const AnsiString& text);
  virtual bool SeekRecord(bool restart, bool forward);
  virtual void RefreshCursor() {}
  virtual bool AllowsModify() { return true; }
  virtual void ResetCalcFields(char* buffer);
  virtual void FireNewRecord();
  // Raises the type or size mismatch error when a stored field does not fit
  // its definition.
  virtual void VerifyFieldType(TField* field, TFieldDef* fieldDef);
  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

  // Services for descendants.
  void SetBookmarkSize(int size) { bookmarkSize_ = size; }
  void SetDefaultFields(bool value) { defaultFields_ = value; }
  void CreateFields();
  void DestroyFields();
  void BindFields(bool binding);
  void FreeFieldBuffers() {}
  // Computes the calculated fields of `buffer` in the calc state: clears them
  // (ResetCalcFields), then OnCalcFields.
  void ComputeCalcFields(char* buffer);
  void SetFound(bool value) { found_ = value; }
  void SetState(TDataSetState value);
  void StoreFilterText(const AnsiString& text) { filterText_ = text; }
  void StoreFiltered(bool value) { filtered_ = value; }
  void DoBeforeScroll();
  void DoAfterScroll();
  // Runs an editing step; on EDatabaseError asks `errorEvent` whether to
  // fail, abort (EAbort) or retry.
  void CheckOperation(void (TDataSet::*operation)(), const TDataSetErrorEvent& errorEvent);

  // A state switch for the length of one read or write: data events are held
  // back meanwhile. Prefer WithTempState, which also restores on errors.
  struct SavedState {
    TDataSetState state;
    char* buffer;
  };
  SavedState SetTempState(TDataSetState state, char* buffer);
  void RestoreState(const SavedState& saved);

private:
  friend class TDataSource;
  friend class TDataLink;

  void OpenCursor();
  void CloseCursor();
  void SetBufferCount(int value);
  void UpdateBufferCount();
  void ClearBuffers();
  void ActivateBuffers();
  void MoveBuffer(int from, int to);
  void SetCurrentRecord(int index);
  bool GetNextRecord();
  bool GetPriorRecord();
  int GetNextRecords();
  int GetPriorRecords();
  void RefillFromEnd(bool atStart);
  void BeginInsertAppend();
  void EndInsertAppend();
  void InitRecord(char* buffer);
  void DoAddRecord() { AddRecordData(ActiveBuffer(), appending_); }
  void DoDelete() { DeleteRecordData(); }
  void DoPost() { PostRecordData(); }
  void DoEdit() { EditRecordData(); }
  void Fire(const TDataSetNotifyEvent& event) {
    if (event) event(this);
  }
  void FinishEdit();

  TDataSetState state_ = dsInactive;
  TDataSetState disableState_ = dsInactive;
  TDataEvent enableEvent_ = deDataSetChange;
  std::vector<char*> buffers_;
  int bufferCount_ = 0;
  int recordCount_ = 0;
  int activeRecord_ = 0;
  int currentRecord_ = -1;
  // How far records moved inside the ring during one scroll (for data links).
  int scrollShift_ = 0;
  char* calcBuffer_ = nullptr;
  int bookmarkSize_ = 0;
  int disableCount_ = 0;
  bool bof_ = true;
  bool eof_ = true;
  bool found_ = false;
  bool modified_ = false;
  bool filtered_ = false;
  bool defaultFields_ = false;
  bool autoCalcFields_ = true;
  bool uniDirectional_ = false;
  bool appending_ = false;
  bool destroying_ = false;
  bool streamedActive_ = false;
  int calcFieldCount_ = 0;
  AnsiString filterText_;
  TFields fields_;
  TFieldDefs fieldDefs_;
  std::vector<TDataSource*> dataSources_;
};
