// The description of one result column (label, type, size, nullability, and
// the table column it comes from where that is known) and the owning list of
// them that every result set keeps. Drivers fill the descriptions when a
// result opens; the result-set metadata serves and completes them.
#pragma once

#include <memory>
#include <vector>

#include "sql/core/sql_types.h"

struct TZColumnInfo {
  bool AutoIncrement = false;
  bool CaseSensitive = false;
  bool Searchable = false;
  bool Currency = false;
  TZColumnNullableType Nullable = ntNullableUnknown;
  bool Signed = false;
  int ColumnDisplaySize = 0;
  // The name the server reports for the result column (an alias when given).
  AnsiString ColumnLabel;
  // The name of the underlying table column.
  AnsiString ColumnName;
  AnsiString SchemaName;
  int Precision = 0;
  int Scale = 0;
  AnsiString TableName;
  AnsiString CatalogName;
  TZSQLType ColumnType = stUnknown;
  bool ReadOnly = true;
  bool Writable = false;
  bool DefinitelyWritable = false;
  // The column's default expression as the catalogue gives it.
  AnsiString DefaultValue;

  AnsiString GetColumnTypeName() const { return GetSQLTypeName(ColumnType); }
};

// Owns its descriptions. Indexes are 0-based; a bad one raises the platform's
// EListError "List index out of bounds (%d)".
class TZColumnInfoList {
public:
  int Count() const { return static_cast<int>(items_.size()); }
  TZColumnInfo& Get(int index) const {
    if (index < 0 || index >= Count()) RaiseOutOfBounds(index);
    return *items_[index];
  }
  TZColumnInfo& operator[](int index) const { return Get(index); }
  // Appends a fresh description and returns it for filling.
  TZColumnInfo& Add();
  void Add(std::unique_ptr<TZColumnInfo> columnInfo);
  void Clear() { items_.clear(); }

private:
  [[noreturn]] static void RaiseOutOfBounds(int index);

  std::vector<std::unique_ptr<TZColumnInfo>> items_;
};

// Appends to `to` a copy of every description of `from`, in order, each with
// an empty DefaultValue: the copies describe a result that computes no
// defaults of its own.
void CopyColumnInfoList(const TZColumnInfoList& from, TZColumnInfoList& to);
