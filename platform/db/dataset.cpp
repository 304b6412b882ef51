// TDataSet: opening and closing, the record-buffer ring, navigation, editing
// with its error events, states, bookmarks, calculated fields and the data
// events that reach data sources and links.
#include "platform/db/dataset.h"

#include <algorithm>

#include "platform/db/data_source.h"
#include "platform/db/db_consts.h"
#include "platform/rtl/text.h"

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() {
  for (TDataSource* source : std::vector<TDataSource*>(dataSources_)) source->SetDataSet(nullptr);
  // Without the checks of SetDataSet: a dataset freed while open still lets go.
  for (TField* field : fields_) field->dataSet_ = nullptr;
}

void TDataSet::BeforeDestruction() {
  if (!destroying_) {
    destroying_ = true;
    Destroying();
    try {
      Close();
    } catch (...) {
      // A dataset that cannot close cleanly is still freed.
    }
    for (TDataSource* source : std::vector<TDataSource*>(dataSources_)) source->SetDataSet(nullptr);
  }
  TComponent::BeforeDestruction();
}

// ---- opening and closing ----

void TDataSet::SetActive(bool value) {
  if (InState(csLoading)) {
    streamedActive_ = value;
    return;
  }
  if (value == Active()) return;
  if (!value) {
    if (!destroying_) Fire(BeforeClose);
    SetState(dsInactive);
    CloseCursor();
    if (!destroying_) Fire(AfterClose);
    return;
  }
  Fire(BeforeOpen);
  try {
    OpenCursor();
  } catch (...) {
    state_ = dsInactive;
    try {
      CloseCursor();
    } catch (...) {
      // The open error is the one to report.
    }
    throw;
  }
  SetState(dsBrowse);
  Fire(AfterOpen);
  if (!HasNoRecords()) DoAfterScroll();
}

void TDataSet::OpenCursor() {
  state_ = dsOpening;
  defaultFields_ = fields_.Count() == 0;
  OpenCursorData();
  // Record sizes travel in 16 bits; a larger row cannot be buffered.
  int size = RecordBufferSize();
  if (size < 0 || size > 0xFFFF) throw ERangeError(SRangeError);
  ClearBuffers();
  UpdateBufferCount();
  bof_ = true;
}

void TDataSet::CloseCursor() {
  ClearBuffers();
  for (char*& buffer : buffers_) ReleaseRecordBuffer(buffer);
  buffers_.clear();
  bufferCount_ = 0;
  CloseCursorData();
}

void TDataSet::Refresh() {
  EnsureBrowseMode();
  Fire(BeforeRefresh);
  SyncCursorPosition();
  RefreshCursor();
  ResyncBuffers(0);
  Fire(AfterRefresh);
}

// ---- the record-buffer ring ----
// buffers_ holds bufferCount_ record buffers plus one spare at the end. The
// first recordCount_ of them hold consecutive records; activeRecord_ is the
// current one, currentRecord_ the one the descendant's cursor stands on.

char* TDataSet::ActiveBuffer() const {
  return buffers_.empty() ? nullptr : buffers_[activeRecord_];
}

void TDataSet::UpdateBufferCount() {
  int count = 1;
  for (TDataSource* source : dataSources_)
    for (TDataLink* link : source->links_) count = std::max(count, link->BufferCount());
  SetBufferCount(count);
}

void TDataSet::SetBufferCount(int value) {
  if (!Active()) return;
  if (buffers_.empty()) buffers_.push_back(AcquireRecordBuffer());
  while (bufferCount_ < value) {
    buffers_.insert(buffers_.begin() + bufferCount_, AcquireRecordBuffer());
    ++bufferCount_;
  }
  while (bufferCount_ > value) {
    int victim = bufferCount_ - 1;
    if (recordCount_ == bufferCount_) {
      --recordCount_;
      if (activeRecord_ == recordCount_) {
        victim = 0;
        --activeRecord_;
      }
    }
    ReleaseRecordBuffer(buffers_[victim]);
    buffers_.erase(buffers_.begin() + victim);
    --bufferCount_;
    CursorPosChanged();
  }
  // Opening fills the window from the start; in browse mode a larger window
  // is filled around the records it already holds. An edited record stays put.
  if (state_ == dsOpening) {
    GetNextRecords();
  } else if (state_ == dsBrowse && recordCount_ > 0) {
    GetNextRecords();
    if (recordCount_ < bufferCount_) GetPriorRecords();
  }
}

void TDataSet::ClearBuffers() {
  recordCount_ = 0;
  activeRecord_ = 0;
  currentRecord_ = -1;
  bof_ = true;
  eof_ = true;
}

void TDataSet::ActivateBuffers() {
  recordCount_ = 1;
  activeRecord_ = 0;
  currentRecord_ = 0;
  bof_ = false;
  eof_ = false;
}

void TDataSet::MoveBuffer(int from, int to) {
  if (from == to) return;
  char* buffer = buffers_[from];
  buffers_.erase(buffers_.begin() + from);
  buffers_.insert(buffers_.begin() + to, buffer);
}

void TDataSet::SetCurrentRecord(int index) {
  if (currentRecord_ == index) return;
  if (!uniDirectional_) {
    char* buffer = buffers_[index];
    switch (ReadBookmarkFlag(buffer)) {
      case bfCurrent:
      case bfInserted:
        CursorToRecord(buffer);
        break;
      case bfBOF:
        CursorToStart();
        break;
      case bfEOF:
        CursorToEnd();
        break;
    }
  }
  currentRecord_ = index;
}

// Fetches the record after the last buffered one. When the ring is full the
// first record drops out; activeRecord_ keeps pointing at the same record.
bool TDataSet::GetNextRecord() {
  if (recordCount_ > 0) SetCurrentRecord(recordCount_ - 1);
  if (FillRecordBuffer(buffers_[recordCount_], gmNext, true) != grOK) {
    CursorPosChanged();
    return false;
  }
  if (recordCount_ == 0) {
    ActivateBuffers();
  } else if (recordCount_ < bufferCount_) {
    ++recordCount_;
  } else {
    MoveBuffer(0, recordCount_);
    if (activeRecord_ > 0) --activeRecord_;
    --scrollShift_;
  }
  currentRecord_ = recordCount_ - 1;
  return true;
}

// Fetches the record before the first buffered one; the mirror of GetNextRecord.
bool TDataSet::GetPriorRecord() {
  if (recordCount_ > 0) SetCurrentRecord(0);
  if (FillRecordBuffer(buffers_[recordCount_], gmPrior, true) != grOK) {
    CursorPosChanged();
    return false;
  }
  if (recordCount_ == 0) {
    ActivateBuffers();
  } else {
    MoveBuffer(recordCount_, 0);
    if (recordCount_ < bufferCount_) ++recordCount_;
    activeRecord_ = std::min(activeRecord_ + 1, recordCount_ - 1);
    ++scrollShift_;
  }
  currentRecord_ = 0;
  return true;
}

int TDataSet::GetNextRecords() {
  int count = 0;
  while (recordCount_ < bufferCount_ && GetNextRecord()) ++count;
  return count;
}

int TDataSet::GetPriorRecords() {
  int count = 0;
  while (recordCount_ < bufferCount_ && GetPriorRecord()) ++count;
  return count;
}

void TDataSet::ResyncBuffers(unsigned mode) {
  if (buffers_.empty()) return;
  char* spare = buffers_[recordCount_];
  if (mode & rmExact) {
    CursorPosChanged();
    if (FillRecordBuffer(spare, gmCurrent, true) != grOK) DatabaseError(SRecordNotFound);
  } else if (FillRecordBuffer(spare, gmCurrent, false) != grOK &&
             FillRecordBuffer(spare, gmNext, false) != grOK &&
             FillRecordBuffer(spare, gmPrior, false) != grOK) {
    ClearBuffers();
    DataEvent(deDataSetChange);
    return;
  }
  int before = (mode & rmCenter) ? (bufferCount_ - 1) / 2 : activeRecord_;
  MoveBuffer(recordCount_, 0);
  ActivateBuffers();
  try {
    while (before > 0 && GetPriorRecord()) --before;
    GetNextRecords();
    GetPriorRecords();
  } catch (...) {
    DataEvent(deDataSetChange);
    throw;
  }
  DataEvent(deDataSetChange);
}

void TDataSet::SyncCursorPosition() {
  if (recordCount_ > 0 && currentRecord_ != activeRecord_) SetCurrentRecord(activeRecord_);
}

// ---- navigation ----

void TDataSet::First() { RefillFromEnd(true); }

void TDataSet::Last() {
  if (uniDirectional_) DatabaseError(SUniDirectional);
  RefillFromEnd(false);
}

// Refills the buffers from the start (First) or the end (Last) of the cursor;
// Bof or Eof is set even when fetching fails.
void TDataSet::RefillFromEnd(bool atStart) {
  EnsureBrowseMode();
  DoBeforeScroll();
  ClearBuffers();
  bool& edge = atStart ? bof_ : eof_;
  try {
    if (atStart) {
      CursorToStart();
      GetNextRecord();
      GetNextRecords();
    } else {
      CursorToEnd();
      GetPriorRecord();
      GetPriorRecords();
    }
  } catch (...) {
    edge = true;
    DataEvent(deDataSetChange);
    throw;
  }
  edge = true;
  DataEvent(deDataSetChange);
  DoAfterScroll();
}

int TDataSet::MoveBy(int distance) {
  EnsureBrowseMode();
  DoBeforeScroll();
  if (!((distance > 0 && !eof_) || (distance < 0 && !bof_))) return 0;
  bof_ = false;
  eof_ = false;
  int oldActive = activeRecord_;
  int moved = 0;
  scrollShift_ = 0;
  auto announce = [&] {
    if (scrollShift_ <= -bufferCount_ || scrollShift_ >= bufferCount_)
      DataEvent(deDataSetChange);
    else if (scrollShift_ != 0 || activeRecord_ != oldActive)
      DataEvent(deDataSetScroll, scrollShift_);
  };
  try {
    for (; distance > 0; --distance, ++moved) {
      if (activeRecord_ < recordCount_ - 1) {
        ++activeRecord_;
      } else if (GetNextRecord()) {
        activeRecord_ = recordCount_ - 1;
      } else {
        eof_ = true;
        break;
      }
    }
    for (; distance < 0; ++distance, --moved) {
      if (uniDirectional_) DatabaseError(SUniDirectional);
      if (activeRecord_ > 0) {
        --activeRecord_;
      } else if (GetPriorRecord()) {
        activeRecord_ = 0;
      } else {
        bof_ = true;
        break;
      }
    }
  } catch (...) {
    announce();
    throw;
  }
  announce();
  DoAfterScroll();
  return moved;
}

bool TDataSet::HasNoRecords() const { return activeRecord_ >= recordCount_; }

int TDataSet::RecordTotal() {
  RequireActiveState();
  return ReadRecordTotal();
}

int TDataSet::RecordNumber() { return ReadRecordNumber(); }

void TDataSet::SetRecordNumber(int value) { WriteRecordNumber(value); }

void TDataSet::DoBeforeScroll() { Fire(BeforeScroll); }
void TDataSet::DoAfterScroll() { Fire(AfterScroll); }

// ---- states ----

void TDataSet::SetState(TDataSetState value) {
  if (state_ == value) return;
  state_ = value;
  modified_ = false;
  DataEvent(deUpdateState);
}

TDataSet::SavedState TDataSet::SetTempState(TDataSetState state, char* buffer) {
  SavedState saved{state_, calcBuffer_};
  state_ = state;
  if (state == dsCalcFields || state == dsInternalCalc) calcBuffer_ = buffer;
  ++disableCount_;
  return saved;
}

void TDataSet::RestoreState(const SavedState& saved) {
  state_ = saved.state;
  calcBuffer_ = saved.buffer;
  --disableCount_;
}

void TDataSet::RequireActiveState() const {
  if (!Active()) DatabaseError(SDataSetClosed);
}

void TDataSet::RequireInactiveState() const {
  if (Active() && state_ != dsOpening) DatabaseError(SDataSetOpen);
}

void TDataSet::EnsureBrowseMode() {
  RequireActiveState();
  DataEvent(deCheckBrowseMode);
  switch (state_) {
    case dsEdit:
    case dsInsert:
      UpdateRecord();
      if (modified_) Post();
      else Cancel();
      break;
    default:
      break;
  }
}

// ---- editing ----

void TDataSet::UpdateRecord() {
  switch (state_) {
    case dsEdit: case dsInsert: case dsSetKey: case dsCalcFields: case dsFilter:
    case dsNewValue: case dsInternalCalc:
      DataEvent(deUpdateRecord);
      return;
    default:
      DatabaseError(SNotEditing);
  }
}

void TDataSet::CheckOperation(void (TDataSet::*operation)(), const TDataSetErrorEvent& errorEvent) {
  for (;;) {
    try {
      SyncCursorPosition();
      (this->*operation)();
      return;
    } catch (EDatabaseError& error) {
      TDataAction action = daFail;
      if (errorEvent) errorEvent(this, error, action);
      if (action == daFail) throw;
      if (action == daAbort) throw EAbort(SOperationAborted);
    }
  }
}

void TDataSet::Edit() {
  if (state_ == dsEdit || state_ == dsInsert) return;
  if (recordCount_ == 0) {
    Insert();
    return;
  }
  EnsureBrowseMode();
  if (!AllowsModify()) DatabaseError(SDataSetReadOnly);
  Fire(BeforeEdit);
  CheckOperation(&TDataSet::DoEdit, OnEditError);
  ComputeCalcFields(ActiveBuffer());
  SetState(dsEdit);
  DataEvent(deRecordChange);
  Fire(AfterEdit);
}

void TDataSet::BeginInsertAppend() {
  EnsureBrowseMode();
  if (!AllowsModify()) DatabaseError(SDataSetReadOnly);
  Fire(BeforeInsert);
  DoBeforeScroll();
}

void TDataSet::InitRecord(char* buffer) {
  BlankRecordBuffer(buffer);
  ResetCalcFields(buffer);
  WriteBookmarkFlag(buffer, bfInserted);
}

void TDataSet::Insert() {
  BeginInsertAppend();
  TBookmark current;
  if (recordCount_ > 0) ReadBookmarkData(ActiveBuffer(), current);
  // The free buffer takes the active slot; the records from there on move
  // down by one, the last falling out when the ring is full.
  MoveBuffer(recordCount_, activeRecord_);
  if (currentRecord_ >= activeRecord_) ++currentRecord_;
  char* buffer = ActiveBuffer();
  InitRecord(buffer);
  if (recordCount_ == 0) WriteBookmarkFlag(buffer, bfBOF);
  else WriteBookmarkData(buffer, current);
  if (recordCount_ < bufferCount_) ++recordCount_;
  if (currentRecord_ >= recordCount_) currentRecord_ = -1;
  appending_ = false;
  EndInsertAppend();
}

void TDataSet::Append() {
  BeginInsertAppend();
  ClearBuffers();
  char* buffer = buffers_[0];
  InitRecord(buffer);
  WriteBookmarkFlag(buffer, bfEOF);
  recordCount_ = 1;
  bof_ = false;
  GetPriorRecords();
  CursorToEnd();
  appending_ = true;
  EndInsertAppend();
}

void TDataSet::EndInsertAppend() {
  SetState(dsInsert);
  try {
    FireNewRecord();
  } catch (...) {
    SyncCursorPosition();
    FreeFieldBuffers();
    SetState(dsBrowse);
    ResyncBuffers(0);
    throw;
  }
  modified_ = false;
  DataEvent(deDataSetChange);
  Fire(AfterInsert);
  DoAfterScroll();
}

void TDataSet::FireNewRecord() { Fire(OnNewRecord); }

void TDataSet::FinishEdit() {
  FreeFieldBuffers();
  SetState(dsBrowse);
  ResyncBuffers(0);
}

void TDataSet::Post() {
  UpdateRecord();
  if (state_ != dsEdit && state_ != dsInsert) return;
  DataEvent(deCheckBrowseMode);
  Fire(BeforePost);
  CheckOperation(&TDataSet::DoPost, OnPostError);
  FinishEdit();
  Fire(AfterPost);
}

void TDataSet::Cancel() {
  if (state_ != dsEdit && state_ != dsInsert) return;
  DataEvent(deCheckBrowseMode);
  Fire(BeforeCancel);
  SyncCursorPosition();
  CancelRecordData();
  FinishEdit();
  Fire(AfterCancel);
}

void TDataSet::Delete() {
  RequireActiveState();
  if (state_ == dsInsert || state_ == dsSetKey) {
    Cancel();
    return;
  }
  if (recordCount_ == 0) DatabaseError(SDataSetEmpty);
  DataEvent(deCheckBrowseMode);
  Fire(BeforeDelete);
  DoBeforeScroll();
  CheckOperation(&TDataSet::DoDelete, OnDeleteError);
  FinishEdit();
  Fire(AfterDelete);
  DoAfterScroll();
}

void TDataSet::ClearFields() {
  if (state_ != dsEdit && state_ != dsInsert) DatabaseError(SNotEditing);
  char* buffer = ActiveBuffer();
  BlankRecordBuffer(buffer);
  ResetCalcFields(buffer);
  DataEvent(deRecordChange);
}

void TDataSet::BlankRecordBuffer(char*) {}

// ---- fields ----

TField* TDataSet::FieldNamedOrNone(const AnsiString& name) const { return fields_.FindField(name); }

TField* TDataSet::FieldNamed(const AnsiString& name) const {
  TField* field = fields_.FindField(name);
  if (!field) DatabaseErrorFmt(SFieldNotFound, {name});
  return field;
}

std::vector<TField*> TDataSet::FieldList(const AnsiString& names) const {
  std::vector<TField*> result;
  size_t start = 0;
  while (start <= names.size()) {
    size_t end = names.find(';', start);
    if (end == AnsiString::npos) end = names.size();
    AnsiString name = Trim(std::string_view(names).substr(start, end - start));
    if (!name.empty()) result.push_back(FieldNamed(name));
    start = end + 1;
  }
  return result;
}

Variant TDataSet::FieldValueNamed(const AnsiString& names) const {
  std::vector<TField*> fields = FieldList(names);
  if (fields.size() == 1) return fields[0]->ValueAsVariant();
  Variant values = VarArrayCreate(0, static_cast<int>(fields.size()) - 1, varVariant);
  for (size_t i = 0; i < fields.size(); ++i)
    VarArrayPut(values, fields[i]->ValueAsVariant(), static_cast<int>(i));
  return values;
}

void TDataSet::SetFieldValueNamed(const AnsiString& names, const Variant& value) {
  std::vector<TField*> fields = FieldList(names);
  if (fields.size() == 1) {
    fields[0]->SetValueAsVariant(value);
    return;
  }
  for (size_t i = 0; i < fields.size(); ++i)
    fields[i]->SetValueAsVariant(VarArrayGet(value, VarArrayLowBound(value, 1) + static_cast<int>(i)));
}


void TDataSet::CreateFields() {
  for (int i = 0; i < fieldDefs_.Count(); ++i) fieldDefs_.Items(i)->CreateField(this, this);
}

void TDataSet::DestroyFields() {
  for (TField* field : std::vector<TField*>(fields_.begin(), fields_.end()))
    if (field->Owner() == this) field->Free();
}

void TDataSet::BindFields(bool binding) {
  calcFieldCount_ = 0;
  for (TField* field : fields_) {
    if (binding && field->FieldKind() != fkData) ++calcFieldCount_;
    if (!binding) {
      if (field->FieldKind() == fkData) field->SetFieldNo(0);
      continue;
    }
    if (field->FieldKind() != fkData) {
      field->SetFieldNo(-1);
      continue;
    }
    TFieldDef* def = fieldDefs_.Find(field->FieldName());
    if (!def) DatabaseErrorFmt(SFieldNotFound, {field->DisplayName()});
    VerifyFieldType(field, def);
    field->SetFieldNo(def->FieldNo());
  }
}

void TDataSet::VerifyFieldType(TField* field, TFieldDef* fieldDef) {
  if (field->DataType() != fieldDef->DataType())
    DatabaseErrorFmt(SFieldTypeMismatch, {field->DisplayName(), FieldTypeName(field->DataType()),
                                          FieldTypeName(fieldDef->DataType())});
  switch (field->DataType()) {
    case ftBCD: case ftBytes: case ftVarBytes: case ftReference:
      if (field->Size() != fieldDef->Size())
        DatabaseErrorFmt(SFieldSizeMismatch,
                         {field->DisplayName(), field->Size(), fieldDef->Size()});
      break;
    default:
      break;
  }
}

void TDataSet::ResetCalcFields(char*) {}

void TDataSet::ComputeCalcFields(char* buffer) {
  if (calcFieldCount_ == 0) return;
  WithTempState(dsCalcFields, buffer, [&] {
    ResetCalcFields(buffer);
    Fire(OnCalcFields);
  });
}

// ---- bookmarks ----

bool TDataSet::BookmarkAvailable() {
  return Active() && recordCount_ > 0 && bookmarkSize_ > 0 &&
         ReadBookmarkFlag(ActiveBuffer()) == bfCurrent;
}

TBookmark TDataSet::Bookmark() {
  TBookmark bookmark;
  if (BookmarkAvailable()) ReadBookmarkData(ActiveBuffer(), bookmark);
  return bookmark;
}

void TDataSet::ReturnToBookmark(const TBookmark& bookmark) {
  if (bookmark.empty()) return;
  EnsureBrowseMode();
  DoBeforeScroll();
  CursorToBookmark(bookmark);
  ResyncBuffers(rmExact | rmCenter);
  DoAfterScroll();
}

bool TDataSet::LocateRecords(const AnsiString&, const Variant&, unsigned) { return false; }

Variant TDataSet::LookupValues(const AnsiString&, const Variant&, const AnsiString&) {
  return Null();
}

bool TDataSet::IsValidBookmark(const TBookmark&) { return false; }
int TDataSet::OrderOfBookmarks(const TBookmark&, const TBookmark&) { return 0; }
bool TDataSet::HasSequenceNumbers() { return false; }

// ---- filters and searching ----

void TDataSet::ApplyFiltered(bool value) { filtered_ = value; }
void TDataSet::ApplyFilterText(const AnsiString& text) { filterText_ = text; }
bool TDataSet::SeekRecord(bool, bool) { return false; }

// ---- data events ----

void TDataSet::DataEvent(TDataEvent event, intptr_t info) {
  if (event == deFieldChange) {
    auto* field = reinterpret_cast<TField*>(info);
    if (field->IsDataField()) {
      modified_ = true;
      if (state_ != dsSetKey && autoCalcFields_ && calcFieldCount_ > 0)
        ComputeCalcFields(ActiveBuffer());
    }
    field->Change();
  }
  if (!ControlsDisabled() && state_ != dsBlockRead) {
    for (TDataSource* source : std::vector<TDataSource*>(dataSources_))
      source->DataEvent(event, info);
  } else if ((event == deUpdateState && state_ == dsInactive) || event == deLayoutChange) {
    enableEvent_ = deLayoutChange;
  }
}

void TDataSet::SuspendControls() {
  if (disableCount_ == 0) {
    disableState_ = state_;
    enableEvent_ = deDataSetChange;
  }
  ++disableCount_;
}

void TDataSet::ResumeControls() {
  if (disableCount_ == 0 || --disableCount_ > 0) return;
  if (disableState_ != state_) DataEvent(deUpdateState);
  if (disableState_ != dsInactive && state_ != dsInactive) DataEvent(enableEvent_);
}

bool TDataSet::IsLinkedWith(TDataSource* source) {
  for (int depth = 0; source && depth < 1000; ++depth) {
    TDataSet* dataSet = source->DataSet();
    if (!dataSet) return false;
    if (dataSet == this) return true;
    source = dataSet->DataSourceOfDataset();
  }
  return source != nullptr;
}

TDataSource* TDataSet::DataSourceOfDataset() { return nullptr; }

void TDataSet::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
}

void TDataSet::Loaded() {
  TComponent::Loaded();
  if (streamedActive_) SetActive(true);
}

// ---- record-level defaults ----

bool TDataSet::FetchFieldData(TField* field, void* buffer, bool) {
  return FetchFieldData(field, buffer);
}

void TDataSet::StoreFieldData(TField* field, const void* buffer, bool) {
  StoreFieldData(field, buffer);
}

TStream* TDataSet::MakeBlobStream(TField*, TBlobStreamMode) { return nullptr; }
void TDataSet::ReleaseBlob(TField*) {}
TUpdateStatus TDataSet::UpdateStatus() { return usUnmodified; }

int TDataSet::TranslateOem(const char* source, char* dest, bool) {
  if (!source) return 0;
  size_t length = std::char_traits<char>::length(source);
  if (dest && dest != source) std::char_traits<char>::copy(dest, source, length + 1);
  return static_cast<int>(length);
}
