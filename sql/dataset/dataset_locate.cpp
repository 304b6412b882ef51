// Finding records among a dataset's rows: locating and looking up by key
// values, the platform's FindFirst/FindNext search over the filter, and the
// order and validity of bookmarks. Everything runs over fetched rows, fetching
// more only as far as the search needs.
#include <algorithm>
#include <memory>

#include "platform/db/field_buffers.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/messages.h"
#include "sql/core/variant_bridge.h"
#include "sql/dataset/dataset_error.h"
#include "sql/dataset/key_values.h"
#include "sql/dataset/ro_dataset.h"

namespace {

// The result-set row number a bookmark holds; -1 for a malformed one.
int BookmarkRow(const TBookmark& bookmark) {
  return bookmark.size() < sizeof(int32_t) ? -1 : ReadUnaligned<int32_t>(bookmark.data());
}

}  // namespace

int TZAbstractRODataset::LocatePosition(const AnsiString& keyFields, const Variant& keyValues, unsigned options) {
  EnsureBrowseMode();
  bool partialKey = options & loPartialKey;
  bool caseInsensitive = options & loCaseInsensitive;
  bool onlyDataFields = true;
  std::vector<TField*> fields = ParseFieldList(this, keyFields, onlyDataFields);
  if (fields.empty()) return -1;
  TZVariantDynArray keys = DecodeVariantArray(keyValues);
  if (keys.size() != fields.size()) throw EZDatabaseError(SZIncorrectSearchFieldsNumber);

  // Calculated key fields are read from a buffer per row; data fields are
  // compared in the result set itself.
  std::unique_ptr<ScratchRecord> searchBuffer;
  std::vector<int> columns;
  if (onlyDataFields) {
    NormalizeKeyValues(fields, keys, resultSet_.get(), partialKey, caseInsensitive);
  } else {
    searchBuffer = std::make_unique<ScratchRecord>(this);
    columns = FieldLookupIndices(fieldLookupTable_, fields);
  }
  auto matches = [&](int rowNo) {
    if (onlyDataFields) {
      resultSet_->MoveAbsolute(rowNo);
      return MatchKeyValuesInResultSet(fields, keys, resultSet_.get(), partialKey, caseInsensitive);
    }
    TZVariantDynArray rowValues;
    ReadRecord(searchBuffer->get(), rowNo);
    rowAccessor_->SetRowBuffer(searchBuffer->get());
    ReadKeyValuesFromRowAccessor(fields, columns, rowAccessor_.get(), rowValues);
    return MatchKeyValues(keys, rowValues, partialKey, caseInsensitive);
  };
  for (std::size_t i = 0;; ++i) {
    while (i >= rowList_.size() && FetchOneRow()) {
    }
    if (i >= rowList_.size()) return -1;
    if (matches(rowList_[i])) return static_cast<int>(i) + 1;
  }
}

bool TZAbstractRODataset::LocateRecords(const AnsiString& keyFields, const Variant& keyValues, unsigned options) {
  DoBeforeScroll();
  int position = LocatePosition(keyFields, keyValues, options);
  bool found = position >= 1;
  if (found) {
    MoveToPosition(position);
    DoAfterScroll();
  }
  SetFound(found);
  return found;
}

Variant TZAbstractRODataset::LookupValues(const AnsiString& keyFields, const Variant& keyValues,
                                          const AnsiString& resultFields) {
  int position = LocatePosition(keyFields, keyValues, 0);
  if (position < 1) return Null();
  bool onlyDataFields = true;
  std::vector<TField*> fields = ParseFieldList(this, resultFields, onlyDataFields);
  std::vector<int> columns = FieldLookupIndices(fieldLookupTable_, fields);
  ScratchRecord buffer(this);
  ReadRecord(buffer.get(), rowList_[position - 1]);
  rowAccessor_->SetRowBuffer(buffer.get());
  TZVariantDynArray values;
  ReadKeyValuesFromRowAccessor(fields, columns, rowAccessor_.get(), values);
  return values.size() == 1 ? EncodeVariant(values[0]) : EncodeVariantArray(values);
}

// Tests the rows in display order against the filter, switched on for the
// search. Rows the search has to fetch are taken in under the dataset's own
// filter state, so an unfiltered dataset still shows them afterwards.
bool TZAbstractRODataset::SeekRecord(bool restart, bool forward) {
  EnsureBrowseMode();
  DoBeforeScroll();
  const bool filtered = Filtered();
  auto fetchOne = [&] {
    StoreFiltered(filtered);
    FetchOneRow();
    StoreFiltered(true);
  };
  int position;
  if (restart && forward) {
    position = 1;
  } else if (restart) {
    FetchRows(0);
    position = static_cast<int>(rowList_.size());
  } else {
    position = forward ? currentPosition_ + 1 : currentPosition_ - 1;
  }
  bool found = false;
  StoreFiltered(true);
  try {
    if (forward && position > static_cast<int>(rowList_.size())) fetchOne();
    while (position >= 1 && position <= static_cast<int>(rowList_.size())) {
      if (RowPassesFilters(rowList_[position - 1])) {
        found = true;
        break;
      }
      position += forward ? 1 : -1;
      if (forward && position > static_cast<int>(rowList_.size())) fetchOne();
    }
  } catch (...) {
    StoreFiltered(filtered);
    throw;
  }
  StoreFiltered(filtered);
  SetFound(found);
  if (found) {
    MoveToPosition(position);
    DoAfterScroll();
  }
  return found;
}

void TZAbstractRODataset::CursorToBookmark(const TBookmark& bookmark) {
  auto found = std::find(rowList_.begin(), rowList_.end(), BookmarkRow(bookmark));
  if (found == rowList_.end()) throw EZDatabaseError(SZBookmarkWasNotFound);
  int position = static_cast<int>(found - rowList_.begin());
  if (position < currentPosition_) RequireBidirectional();
  currentPosition_ = position + 1;
}

int TZAbstractRODataset::OrderOfBookmarks(const TBookmark& a, const TBookmark& b) {
  if (a.empty() || b.empty()) return 0;
  auto positionOf = [&](const TBookmark& bookmark) {
    auto found = std::find(rowList_.begin(), rowList_.end(), BookmarkRow(bookmark));
    return found == rowList_.end() ? -1 : static_cast<int>(found - rowList_.begin());
  };
  int positionA = positionOf(a), positionB = positionOf(b);
  return positionA < positionB ? -1 : positionA > positionB ? 1 : 0;
}

bool TZAbstractRODataset::IsValidBookmark(const TBookmark& bookmark) {
  if (!Active() || bookmark.empty() || !resultSet_) return false;
  return std::find(rowList_.begin(), rowList_.end(), BookmarkRow(bookmark)) != rowList_.end();
}
