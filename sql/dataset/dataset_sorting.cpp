// Sorting a dataset's visible rows on the client: the SortedFields,
// SortType and IndexFieldNames properties that describe one sort, and the
// reordering of RowList by result-set columns or, when calculated fields take
// part, by rows read into buffers.
#include <cstdint>
#include <functional>

#include "platform/rtl/text.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/sorted_list.h"
#include "sql/dataset/ro_dataset.h"

namespace {

// The text without its " Desc" and " Asc" words, whatever their case.
AnsiString WithoutDirections(const AnsiString& text) {
  return StringReplace(StringReplace(text, " Desc", "", rfReplaceAll | rfIgnoreCase), " Asc", "",
                       rfReplaceAll | rfIgnoreCase);
}

// Every item of the list followed by the direction word.
AnsiString WithDirection(const AnsiString& names, const char* word) {
  AnsiString result;
  for (char c : names) {
    if (c == ';' || c == ',') result += word;
    result += c;
  }
  return result + word;
}

int RowOf(void* item) { return static_cast<int>(reinterpret_cast<std::intptr_t>(item)); }

// Sorts row numbers by a three-way comparison with the library's quicksort.
// Its scans stop at the pivot, so a comparison that is no strict order (a
// calculated float field holding NaN) cannot carry them past the list.
void SortRows(std::vector<int>& rows, const std::function<int(int, int)>& compare) {
  TZSortedList list;
  list.SetCapacity(static_cast<int>(rows.size()));
  for (int row : rows) list.Add(reinterpret_cast<void*>(static_cast<std::intptr_t>(row)));
  list.Sort([&](void* item1, void* item2) { return compare(RowOf(item1), RowOf(item2)); });
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = RowOf(list[static_cast<int>(i)]);
}

}  // namespace

TSortType TZAbstractRODataset::SortTypeFromIndexFieldNames() const {
  AnsiString items = StringReplace(indexFieldNames_, ";", ",", rfReplaceAll);
  int ascending = 0, descending = 0;
  std::size_t start = 0;
  while (start <= items.size()) {
    std::size_t end = std::min(items.find(',', start), items.size());
    AnsiString item = items.substr(start, end - start);
    bool lastItem = end == items.size();
    if (UpperCase(item).find(" DESC") != AnsiString::npos) ++descending;
    else if (!(lastItem && item.empty())) ++ascending;
    start = end + 1;
  }
  if (ascending > 0 && descending > 0) return stIgnored;
  return descending > 0 ? stDescending : stAscending;
}

void TZAbstractRODataset::SetSortedFields(const AnsiString& value) {
  AnsiString text = Trim(value);
  if (text == sortedFields_ && text == indexFieldNames_) return;
  indexFieldNames_ = text;
  sortType_ = SortTypeFromIndexFieldNames();
  sortedFields_ = sortType_ == stIgnored ? text : WithoutDirections(text);
  ApplySort();
}

void TZAbstractRODataset::SetSortType(TSortType value) {
  if (value == sortType_) return;
  sortType_ = value;
  if (sortType_ != stIgnored) sortedFields_ = WithoutDirections(sortedFields_);
  indexFieldNames_ = IndexFieldNames();
  ApplySort();
}

AnsiString TZAbstractRODataset::IndexFieldNames() const {
  if (sortedFields_.empty() || sortType_ == stIgnored) return sortedFields_;
  return WithDirection(sortedFields_, sortType_ == stAscending ? " Asc" : " Desc");
}

void TZAbstractRODataset::SetIndexFieldNames(const AnsiString& value) {
  AnsiString text = StringReplace(StringReplace(Trim(value), "[", "", rfReplaceAll), "]", "", rfReplaceAll);
  if (text != indexFieldNames_) {
    indexFieldNames_ = text;
    sortType_ = SortTypeFromIndexFieldNames();
    sortedFields_ = sortType_ == stIgnored ? text : WithoutDirections(text);
  }
  ApplySort();
}

// Without a sort the fetch order comes back by running the query again.
void TZAbstractRODataset::ApplySort() {
  if (!Active()) return;
  if (sortedFields_.empty()) RefreshCursor();
  else SortRowList();
}

void TZAbstractRODataset::SortRowList() {
  if (indexFieldNames_.empty() || !resultSet_ || IsUniDirectional()) return;
  std::vector<TField*> fields;
  std::vector<bool> ascending;
  bool onlyDataFields = true;
  ParseSortFieldList(this, Trim(indexFieldNames_), fields, ascending, onlyDataFields);
  int current = CurrentRowNo();
  if (fields.empty()) {
    SortRows(rowList_, [](int row1, int row2) { return row1 - row2; });
  } else {
    FetchRows(0);
    if (onlyDataFields) {
      TZIntegerDynArray columns;
      for (TField* field : fields) columns.push_back(field->FieldNo());
      TZBooleanDynArray directions(ascending.begin(), ascending.end());
      IZResultSet* resultSet = resultSet_.get();
      SortRows(rowList_, [&](int row1, int row2) { return resultSet->CompareRows(row1, row2, columns, directions); });
    } else {
      SortRowsByFields(fields, ascending);
    }
  }
  RestorePosition(current, 0);  // before the first record (as when opening) it stays there
  if (Active()) ResyncBuffers(0);
}

void TZAbstractRODataset::SortRowsByFields(const std::vector<TField*>& fields, const std::vector<bool>& ascending) {
  TZRowBuffer* savedBuffer = rowAccessor_->RowBuffer();
  TZIntegerDynArray columns;
  for (TField* field : fields) columns.push_back(FieldLookupIndex(fieldLookupTable_, field));
  TZBooleanDynArray directions(ascending.begin(), ascending.end());
  {
    ScratchRecord buffer1(this), buffer2(this);
    SortRows(rowList_, [&](int row1, int row2) {
      ReadRecord(buffer1.get(), row1);
      ReadRecord(buffer2.get(), row2);
      return rowAccessor_->CompareBuffers(buffer1.get(), buffer2.get(), columns, directions);
    });
  }
  rowAccessor_->SetRowBuffer(savedBuffer);
}
