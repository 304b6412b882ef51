// TZAbstractDataset: update and where modes as statement properties, the
// cached result set that updatable results come in, and editing through it.
#include "sql/dataset/query.h"

#include <algorithm>

#include "sql/core/dbc/row_accessor.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/dataset/connection.h"
#include "sql/dataset/dataset_error.h"
#include "sql/dataset/sequence.h"
#include "sql/dataset/update_sql.h"

TZAbstractDataset::TZAbstractDataset(TComponent* owner) : TZAbstractRODataset(owner) { requestLive_ = true; }

void TZAbstractDataset::SetCachedUpdates(bool value) {
  if (value == cachedUpdates_) return;
  cachedUpdates_ = value;
  if (Active() && cachedResultSet_) cachedResultSet_->SetCachedUpdates(value);
}

void TZAbstractDataset::SetUpdateMode(TZUpdateMode value) {
  if (value == updateMode_) return;
  updateMode_ = value;
  if (Active()) Close();
}

void TZAbstractDataset::SetWhereMode(TZWhereMode value) {
  if (value == whereMode_) return;
  whereMode_ = value;
  if (Active()) Close();
}

void TZAbstractDataset::SetUpdateObject(TZUpdateSQL* value) {
  if (value == updateObject_) return;
  // The previous object keeps its reference to this dataset, so it keeps
  // hearing of this dataset's removal too.
  updateObject_ = value;
  if (value) {
    value->FreeNotification(this);
    value->SetDataSet(this);
  }
  if (Active() && cachedResultSet_) cachedResultSet_->SetResolver(ActiveResolver());
}

void TZAbstractDataset::SetSequence(TZSequence* value) {
  if (value == sequence_) return;
  sequence_ = value;
  if (value) value->FreeNotification(this);
}

Ref<IZCachedResolver> TZAbstractDataset::ActiveResolver() const {
  return updateObject_ ? Ref<IZCachedResolver>(updateObject_) : cachedResolver_;
}

void TZAbstractDataset::Notification(TComponent* component, TOperation operation) {
  TZAbstractRODataset::Notification(component, operation);
  if (operation != opRemove || !component) return;
  if (component == updateObject_) {
    Close();
    updateObject_ = nullptr;
  }
  if (component == sequence_) sequence_ = nullptr;
}

Ref<IZPreparedStatement> TZAbstractDataset::CreateStatement(const AnsiString& sql, TStrings* properties) {
  TStringList lines;
  if (properties) lines.AddStrings(properties);
  lines.SetValues("update", updateMode_ == umUpdateAll ? "all" : "changed");
  lines.SetValues("where", whereMode_ == wmWhereAll ? "all" : "keyonly");
  return TZAbstractRODataset::CreateStatement(sql, &lines);
}

Ref<IZResultSet> TZAbstractDataset::CreateResultSet(const AnsiString& sql, int maxRows) {
  Ref<IZResultSet> resultSet = TZAbstractRODataset::CreateResultSet(sql, maxRows);
  if (!resultSet) return resultSet;
  cachedResultSet_ = Query<IZCachedResultSet>(resultSet);
  cachedResolver_ = nullptr;
  if (cachedResultSet_) {
    cachedResolver_ = cachedResultSet_->GetResolver();
    cachedResultSet_->SetCachedUpdates(cachedUpdates_);
    if (updateObject_) cachedResultSet_->SetResolver(ActiveResolver());
  }
  return resultSet;
}

void TZAbstractDataset::CloseCursorData() {
  TZAbstractRODataset::CloseCursorData();
  if (cachedResultSet_) {
    cachedResultSet_->Close();
    // A result set kept alive elsewhere must not hold on to the update object.
    if (updateObject_ && cachedResolver_) cachedResultSet_->SetResolver(cachedResolver_);
  }
  cachedResultSet_ = nullptr;
  cachedResolver_ = nullptr;
}

// ---- editing ----

namespace {

// Runs a row operation of the cached result set; its errors come back as the
// dataset's error, keeping the server's code and status.
template <class Body>
void RowOperation(Body&& body) {
  try {
    body();
  } catch (const EZSQLThrowable& error) {
    throw EZDatabaseError::CreateFromException(error);
  }
}

}  // namespace

int TZAbstractDataset::MoveToCurrentRow() {
  int rowNo = rowList_[currentPosition_ - 1];
  cachedResultSet_->MoveAbsolute(rowNo);
  return rowNo;
}

bool TZAbstractDataset::DropCurrentRowUnlessVisible() {
  if (RowPassesFilters(rowList_[currentPosition_ - 1])) return false;
  rowList_.erase(rowList_.begin() + (currentPosition_ - 1));
  return true;
}

void TZAbstractDataset::CancelRecordData() {
  TZRowBuffer* buffer = FindActiveRowBuffer();
  if (!cachedResultSet_ || !buffer || currentPosition_ < 1 || State() != dsEdit) return;
  MoveToCurrentRow();
  rowAccessor_->SetRowBuffer(buffer);
  ReadRowFromResultSet(cachedResultSet_.get(), rowCopyList_, rowAccessor_.get());
}

void TZAbstractDataset::PostRecordData() {
  if (!sequenceField_.empty() && sequence_) {
    TField* field = FieldNamed(sequenceField_);
    if (field->IsNull()) field->SetValueAsLargeInt(sequence_->GetNextValue());
  }
  CheckRequiredFields();
  TZRowBuffer* buffer = FindActiveRowBuffer();
  if (!buffer) throw EZDatabaseError(SZInternalError);
  WithSQLHourGlass(Connection(), [&] {
    if (State() == dsInsert) AddRecordData(reinterpret_cast<char*>(buffer), false);
    else PostModifiedRecord();
  });
  if (SortedFields().empty()) return;
  SetState(dsBrowse);
  ResyncBuffers(0);
  TBookmark posted = Bookmark();
  SuspendControls();
  try {
    SortRowList();
    ReturnToBookmark(posted);
    SyncCursorPosition();
  } catch (...) {
    ResumeControls();
    throw;
  }
  ResumeControls();
}

void TZAbstractDataset::PostModifiedRecord() {
  TZRowBuffer* buffer = FindActiveRowBuffer();
  if (!cachedResultSet_ || !buffer) return;
  RowOperation([&] {
    MoveToCurrentRow();
    rowAccessor_->SetRowBuffer(buffer);
    WriteRowToResultSet(cachedResultSet_.get(), rowCopyList_, rowAccessor_.get());
    cachedResultSet_->UpdateRow();
  });
  if (DropCurrentRowUnlessVisible())
    currentPosition_ = std::min(currentPosition_, static_cast<int>(rowList_.size()));
}

void TZAbstractDataset::AddRecordData(char* buffer, bool append) {
  TZRowBuffer* active = FindActiveRowBuffer();
  if (!active || reinterpret_cast<char*>(active) != buffer) throw EZDatabaseError(SZInternalError);
  if (append) FetchRows(0);
  if (!cachedResultSet_) return;
  int rowNo = 0;
  RowOperation([&] {
    cachedResultSet_->MoveToInsertRow();
    rowAccessor_->SetRowBuffer(active);
    WriteRowToResultSet(cachedResultSet_.get(), rowCopyList_, rowAccessor_.get());
    cachedResultSet_->InsertRow();
    rowNo = cachedResultSet_->GetRow();
  });
  ++fetchCount_;
  if (!RowPassesFilters(rowNo)) return;
  if (append) {
    rowList_.push_back(rowNo);
    currentPosition_ = static_cast<int>(rowList_.size());
    return;
  }
  currentPosition_ = std::max(currentPosition_, 1);
  rowList_.insert(rowList_.begin() + (currentPosition_ - 1), rowNo);
}

void TZAbstractDataset::DeleteRecordData() {
  if (!cachedResultSet_ || !FindActiveRowBuffer()) return;
  WithSQLHourGlass(Connection(), [&] {
    RowOperation([&] {
      MoveToCurrentRow();
      cachedResultSet_->DeleteRow();
    });
    if (DropCurrentRowUnlessVisible() && !FetchRows(currentPosition_))
      currentPosition_ = std::min(currentPosition_, static_cast<int>(rowList_.size()));
  });
}
