// A column list for row accessor tests, written as (type, precision) pairs.
#pragma once

#include <initializer_list>
#include <utility>

#include "sql/core/dbc/column_info.h"

inline TZColumnInfoList Columns(std::initializer_list<std::pair<TZSQLType, int>> columns) {
  TZColumnInfoList list;
  for (const auto& [type, precision] : columns) {
    TZColumnInfo& info = list.Add();
    info.ColumnType = type;
    info.Precision = precision;
  }
  return list;
}
