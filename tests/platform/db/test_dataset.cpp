// The array-backed test dataset: rows in memory, a cursor index, and a log
// of the hooks the framework calls.
#include "test_dataset.h"

#include <algorithm>
#include <cstring>

#include "platform/db/db_consts.h"
#include "platform/db/field_buffers.h"
#include "platform/rtl/streams.h"

TTestDataSet::TTestDataSet(TComponent* owner, std::vector<TestColumn> columns)
    : TDataSet(owner), columns_(std::move(columns)) {
  SetBookmarkSize(4);
  for (int i = 0; i < static_cast<int>(columns_.size()); ++i) {
    offsets_.push_back(recordSize_);
    recordSize_ += 1 + SlotSize(i);
  }
}

int TTestDataSet::SlotSize(int column) const {
  const TestColumn& c = columns_[column];
  switch (c.type) {
    case ftString: return c.size + 1;
    case ftWideString: return (c.size + 1) * 2;
    case ftSmallint: case ftWord: case ftBoolean: return 2;
    case ftInteger: case ftAutoInc: case ftDate: case ftTime: return 4;
    case ftBlob: case ftMemo: return 4;
    case ftLargeint: case ftFloat: case ftDateTime: return 8;
    case ftCurrency: return 10;
    case ftBytes: return c.size;
    case ftVarBytes: return c.size + 2;
    default: return 0;
  }
}

void TTestDataSet::AddRawRow(const std::vector<RawValue>& values) {
  std::string data(recordSize_ - kHeaderSize, '\0');
  for (size_t i = 0; i < columns_.size(); ++i) {
    char* slot = data.data() + offsets_[i] - kHeaderSize;
    bool null = i >= values.size() || !values[i];
    slot[0] = null ? 1 : 0;
    if (!null) values[i]->copy(slot + 1, std::min<size_t>(values[i]->size(), SlotSize(i)));
  }
  rows_.push_back({nextId_++, data});
}

void TTestDataSet::AddIds(std::initializer_list<int> ids) {
  for (int id : ids) {
    std::string bytes(4, '\0');
    WriteUnaligned<int32_t>(bytes.data(), id);
    AddRawRow({bytes});
  }
}

TTestDataSet::RawValue TTestDataSet::StoredValue(int row, int column) const {
  const char* slot = rows_[row].data.data() + offsets_[column] - kHeaderSize;
  if (slot[0]) return std::nullopt;
  return std::string(slot + 1, SlotSize(column));
}

// ---- buffers and cursor ----

char* TTestDataSet::AcquireRecordBuffer() { return new char[recordSize_](); }

void TTestDataSet::ReleaseRecordBuffer(char*& buffer) {
  delete[] buffer;
  buffer = nullptr;
}

void TTestDataSet::BlankRecordBuffer(char* buffer) {
  std::memset(buffer, 0, kHeaderSize);
  WriteUnaligned<int32_t>(buffer, -1);
  for (size_t i = 0; i < columns_.size(); ++i) buffer[offsets_[i]] = 1;
}

int TTestDataSet::IdOf(const char* buffer) { return ReadUnaligned<int32_t>(buffer); }

int TTestDataSet::IndexOfId(int id) const {
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].id == id) return static_cast<int>(i);
  return -1;
}

void TTestDataSet::LogFill(TGetMode mode, const std::string& what) {
  static const char* const kModes[] = {"current", "next", "prior"};
  log.push_back(std::string(kModes[mode]) + ">" + what);
}

TGetResult TTestDataSet::FillRecordBuffer(char* buffer, TGetMode mode, bool check) {
  int count = RowCount();
  TGetResult result = grOK;
  switch (mode) {
    case gmNext:
      if (cursor_ < count - 1) ++cursor_;
      else cursor_ = count, result = grEOF;
      break;
    case gmPrior:
      if (cursor_ > 0) --cursor_;
      else cursor_ = -1, result = grBOF;
      break;
    case gmCurrent:
      if (cursor_ < 0 || cursor_ >= count) result = grError;
      break;
  }
  if (result != grOK) {
    LogFill(mode, result == grEOF ? "eof" : result == grBOF ? "bof" : "error");
    if (result == grError && check) DatabaseError(SRecordNotFound);
    return result;
  }
  const Row& row = rows_[cursor_];
  WriteUnaligned<int32_t>(buffer, row.id);
  buffer[4] = bfCurrent;
  std::memcpy(buffer + kHeaderSize, row.data.data(), row.data.size());
  LogFill(mode, std::to_string(row.id));
  ComputeCalcFields(buffer);
  return grOK;
}

void TTestDataSet::LoadFieldDefinitions() {
  FieldDefs().Clear();
  for (size_t i = 0; i < columns_.size(); ++i)
    if (columns_[i].kind == fkData)
      FieldDefs().AddFieldDef(columns_[i].name, columns_[i].type, columns_[i].size, false,
                              static_cast<int>(i) + 1);
}

void TTestDataSet::OpenCursorData() {
  log.push_back("open");
  LoadFieldDefinitions();
  if (DefaultFields()) {
    CreateFields();
    for (const TestColumn& column : columns_) {
      if (column.kind == fkData) continue;
      TField* field = CreateFieldOfType(column.type, this);
      field->SetFieldName(column.name);
      field->SetFieldKind(column.kind);
      if (column.size) field->SetSize(column.size);
      field->SetDataSet(this);
    }
  }
  BindFields(true);
  cursor_ = -1;
  open_ = true;
}

void TTestDataSet::CloseCursorData() {
  log.push_back("close");
  BindFields(false);
  if (DefaultFields()) DestroyFields();
  open_ = false;
}

void TTestDataSet::CursorToStart() {
  log.push_back("start");
  cursor_ = -1;
}

void TTestDataSet::CursorToEnd() {
  log.push_back("end");
  cursor_ = RowCount();
}

void TTestDataSet::CursorToBookmark(const TBookmark& bookmark) {
  int id = ReadUnaligned<int32_t>(bookmark.data());
  log.push_back("goto:" + std::to_string(id));
  int index = IndexOfId(id);
  if (index < 0) DatabaseError(SRecordNotFound);
  cursor_ = index;
}

void TTestDataSet::CursorToRecord(char* buffer) {
  log.push_back("sync:" + std::to_string(IdOf(buffer)));
  int index = IndexOfId(IdOf(buffer));
  if (index >= 0) cursor_ = index;
}

void TTestDataSet::ReadBookmarkData(char* buffer, TBookmark& data) { data.assign(buffer, 4); }

void TTestDataSet::WriteBookmarkData(char* buffer, const TBookmark& data) {
  std::memcpy(buffer, data.data(), 4);
}

TBookmarkFlag TTestDataSet::ReadBookmarkFlag(char* buffer) {
  return static_cast<TBookmarkFlag>(buffer[4]);
}

void TTestDataSet::WriteBookmarkFlag(char* buffer, TBookmarkFlag flag) { buffer[4] = flag; }

int TTestDataSet::ReadRecordNumber() {
  if (HasNoRecords()) return -1;
  return IndexOfId(IdOf(ActiveBuffer())) + 1;
}

// ---- editing ----

void TTestDataSet::CancelRecordData() {
  log.push_back("cancel");
  oldValues_.clear();
}

void TTestDataSet::EditRecordData() {
  log.push_back("edit");
  if (failEdits > 0 && failEdits--) DatabaseError("fail");
  oldValues_.assign(ActiveBuffer(), recordSize_);
}

void TTestDataSet::PostRecordData() {
  if (failPosts > 0 && failPosts--) {
    log.push_back("post:fail");
    DatabaseError("fail");
  }
  oldValues_.clear();
  if (State() == dsInsert) {
    AddRecordData(ActiveBuffer(), ReadBookmarkFlag(ActiveBuffer()) == bfEOF);
    return;
  }
  log.push_back("post:" + std::to_string(rows_[cursor_].id));
  rows_[cursor_].data.assign(ActiveBuffer() + kHeaderSize, recordSize_ - kHeaderSize);
}

void TTestDataSet::AddRecordData(char* buffer, bool append) {
  Row row{nextId_++, std::string(buffer + kHeaderSize, recordSize_ - kHeaderSize)};
  int at = append ? RowCount() : std::clamp(cursor_, 0, RowCount());
  rows_.insert(rows_.begin() + at, row);
  cursor_ = at;
  log.push_back(std::string(append ? "append:" : "insert:") + std::to_string(row.id));
}

void TTestDataSet::DeleteRecordData() {
  if (failDeletes > 0 && failDeletes--) {
    log.push_back("delete:fail");
    DatabaseError("fail");
  }
  log.push_back("delete:" + std::to_string(rows_[cursor_].id));
  rows_.erase(rows_.begin() + cursor_);
  if (cursor_ >= RowCount()) cursor_ = RowCount() - 1;
}

// ---- field data ----

int TTestDataSet::Offset(TField* field) const {
  for (size_t i = 0; i < columns_.size(); ++i)
    if (field->FieldName() == columns_[i].name) return offsets_[i];
  DatabaseError("no column " + field->FieldName());
}

// The buffer the current state reads: the old-value state reads the record
// as it was before editing; the new- and current-value states the edited one.
char* TTestDataSet::ActiveRowBuffer() {
  switch (State()) {
    case dsCalcFields:
      return CalcBuffer();
    case dsOldValue:
      return oldValues_.empty() ? ActiveBuffer() : oldValues_.data();
    case dsBrowse:
      return HasNoRecords() ? nullptr : ActiveBuffer();
    default:
      return ActiveBuffer();
  }
}

bool TTestDataSet::FetchFieldData(TField* field, void* buffer) {
  char* row = ActiveRowBuffer();
  if (!row) return false;
  int offset = Offset(field);
  if (row[offset]) return false;
  if (!buffer) return true;
  const char* slot = row + offset + 1;
  if (field->DataType() == ftWideString) {
    WideString text;
    for (int i = 0; i <= field->Size(); ++i) {
      auto unit = ReadUnaligned<char16_t>(slot + 2 * i);
      if (!unit) break;
      text += unit;
    }
    *static_cast<WideString*>(buffer) = text;
    return true;
  }
  std::memcpy(buffer, slot, field->DataSize());
  return true;
}

void TTestDataSet::StoreFieldData(TField* field, const void* buffer) {
  RequireActiveState();
  TDataSetState state = State();
  if (field->ReadOnly() && state != dsCalcFields) DatabaseErrorFmt(SFieldReadOnly, {field->DisplayName()});
  if (state != dsEdit && state != dsInsert && state != dsCalcFields && state != dsNewValue)
    DatabaseError(SNotEditing);
  char* row = ActiveRowBuffer();
  if (state == dsEdit || state == dsInsert) field->Validate(buffer);
  int offset = Offset(field);
  row[offset] = buffer ? 0 : 1;
  if (buffer && field->DataType() == ftWideString) {
    const WideString& text = *static_cast<const WideString*>(buffer);
    std::memset(row + offset + 1, 0, (field->Size() + 1) * 2);
    for (size_t i = 0; i < text.size() && i < static_cast<size_t>(field->Size()); ++i)
      WriteUnaligned<char16_t>(row + offset + 1 + 2 * i, text[i]);
  } else if (buffer) {
    std::memcpy(row + offset + 1, buffer, field->DataSize());
  }
  if (state != dsCalcFields && state != dsNewValue)
    DataEvent(deFieldChange, reinterpret_cast<intptr_t>(field));
}

// Stores what was written into a new blob entry of the record when freed.
class BlobWriter : public TStringStream {
public:
  BlobWriter(TTestDataSet* dataSet, TField* field) : dataSet_(dataSet), field_(field) {}
  ~BlobWriter() override {
    char* slot = dataSet_->ActiveRowBuffer() + dataSet_->Offset(field_);
    dataSet_->blobs.push_back(DataString());
    slot[0] = 0;
    WriteUnaligned<int32_t>(slot + 1, static_cast<int32_t>(dataSet_->blobs.size()) - 1);
    dataSet_->DataEvent(deFieldChange, reinterpret_cast<intptr_t>(field_));
  }

private:
  TTestDataSet* dataSet_;
  TField* field_;
};

TStream* TTestDataSet::MakeBlobStream(TField* field, TBlobStreamMode mode) {
  if (mode != bmRead) return new BlobWriter(this, field);
  const char* row = ActiveRowBuffer();
  if (!row || row[Offset(field)]) return new TStringStream();
  return new TStringStream(blobs.at(ReadUnaligned<int32_t>(row + Offset(field) + 1)));
}

void TTestDataSet::ResetCalcFields(char* buffer) {
  for (size_t i = 0; i < columns_.size(); ++i)
    if (columns_[i].kind != fkData) buffer[offsets_[i]] = 1;
}
