// The owning list of column descriptions (see column_info.h).

#include "sql/core/dbc/column_info.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format.h"
#include "sql/core/messages.h"

void TZColumnInfoList::RaiseOutOfBounds(int index) {
  throw EListError(Format(SZListIndexOutOfBounds, {index}));
}

TZColumnInfo& TZColumnInfoList::Add() {
  items_.push_back(std::make_unique<TZColumnInfo>());
  return *items_.back();
}

void TZColumnInfoList::Add(std::unique_ptr<TZColumnInfo> columnInfo) { items_.push_back(std::move(columnInfo)); }

void CopyColumnInfoList(const TZColumnInfoList& from, TZColumnInfoList& to) {
  for (int i = 0; i < from.Count(); ++i) {
    TZColumnInfo& copy = to.Add();
    copy = from[i];
    copy.DefaultValue.clear();
  }
}
