// TDataSet's editing: insert, append, edit, post, cancel and delete, with
// the error events that may retry or abort a step.
#include "platform/db/dataset.h"

#include <algorithm>

#include "platform/db/data_source.h"
#include "platform/db/db_consts.h"
#include "platform/rtl/text.h"

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
