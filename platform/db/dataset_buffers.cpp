// TDataSet's record-buffer ring, the window of records it keeps around the
// current one, and navigation over it.
#include "platform/db/dataset.h"

#include <algorithm>

#include "platform/db/data_source.h"
#include "platform/db/db_consts.h"
#include "platform/rtl/text.h"

// ---- the record-buffer ring ----
// buffers_ holds bufferCount_ record buffers plus one spare at the end. The
// first recordCount_ of them hold consecutive records; activeRecord_ is the
// current one, currentRecord_ the one the descendant's cursor stands on.

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
  const auto at = buffers_.begin();
  if (from < to) std::rotate(at + from, at + from + 1, at + to + 1);
  else std::rotate(at + to, at + from, at + from + 1);
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

int TDataSet::RecordTotal() {
  RequireActiveState();
  return ReadRecordTotal();
}

int TDataSet::RecordNumber() { return ReadRecordNumber(); }

void TDataSet::SetRecordNumber(int value) { WriteRecordNumber(value); }

void TDataSet::DoBeforeScroll() { Fire(BeforeScroll); }
void TDataSet::DoAfterScroll() { Fire(AfterScroll); }
