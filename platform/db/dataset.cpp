// TDataSet: opening and closing, states, fields, bookmarks, calculated
// fields and the data events that reach data sources and links. The
// record-buffer ring with navigation and the editing live in files of their
// own (dataset_buffers.cpp, dataset_editing.cpp).
#include "platform/db/dataset.h"

#include <algorithm>

#include "platform/db/data_source.h"
#include "platform/db/db_consts.h"
#include "platform/db/field_buffers.h"
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

// A dataset that keeps only native buffers converts the other form of dates
// and times on the way.
bool TDataSet::FetchFieldData(TField* field, void* buffer, bool nativeFormat) {
  if (nativeFormat || !buffer || !HasDateTimeForms(field->DataType())) return FetchFieldData(field, buffer);
  char native[8];
  if (!FetchFieldData(field, native)) return false;
  ConvertDateTimeForm(field->DataType(), native, buffer, false);
  return true;
}

void TDataSet::StoreFieldData(TField* field, const void* buffer, bool nativeFormat) {
  if (nativeFormat || !buffer || !HasDateTimeForms(field->DataType())) return StoreFieldData(field, buffer);
  char native[8];
  ConvertDateTimeForm(field->DataType(), buffer, native, true);
  StoreFieldData(field, native);
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
