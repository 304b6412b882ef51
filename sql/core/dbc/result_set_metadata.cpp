// Column descriptions served to callers, and the unique labels that lookups
// by name match against (see result_set_metadata.h).

#include "sql/core/dbc/result_set_metadata.h"

#include "sql/core/dbc/abstract_result_set.h"

TZAbstractResultSetMetadata::TZAbstractResultSetMetadata(Ref<IZDatabaseMetadata> metadata, const AnsiString& sql,
                                                         TZAbstractResultSet* parentResultSet)
    : TContainedObject(parentResultSet),
      Loaded(!metadata),
      metadata_(std::move(metadata)),
      sql_(sql),
      resultSet_(parentResultSet) {}

void TZAbstractResultSetMetadata::LoadColumns() {
  // Tracing result columns back to catalogue tables belongs to the catalogue
  // layer; until a driver's metadata does it, the driver's descriptions stand.
  Loaded = true;
}

TZColumnInfo& TZAbstractResultSetMetadata::Column(int column) const {
  return resultSet_->GetColumnsInfo().Get(column - 1);
}

TZColumnInfo& TZAbstractResultSetMetadata::LoadedColumn(int column) {
  if (!Loaded) LoadColumns();
  return Column(column);
}

int TZAbstractResultSetMetadata::GetColumnCount() { return resultSet_->GetColumnsInfo().Count(); }

bool TZAbstractResultSetMetadata::IsAutoIncrement(int column) { return LoadedColumn(column).AutoIncrement; }
bool TZAbstractResultSetMetadata::IsCaseSensitive(int column) { return LoadedColumn(column).CaseSensitive; }
bool TZAbstractResultSetMetadata::IsSearchable(int column) { return LoadedColumn(column).Searchable; }
bool TZAbstractResultSetMetadata::IsCurrency(int column) { return Column(column).Currency; }
TZColumnNullableType TZAbstractResultSetMetadata::IsNullable(int column) { return LoadedColumn(column).Nullable; }
bool TZAbstractResultSetMetadata::IsSigned(int column) { return Column(column).Signed; }
int TZAbstractResultSetMetadata::GetColumnDisplaySize(int column) { return Column(column).ColumnDisplaySize; }

AnsiString TZAbstractResultSetMetadata::GetColumnLabel(int column) {
  const TZColumnInfoList& columns = resultSet_->GetColumnsInfo();
  // Built for all columns at once, anew when the result set's columns changed
  // in number (a result set that reopened).
  if (static_cast<int>(columnsLabels_.size()) != columns.Count()) {
    columnsLabels_.clear();
    for (int i = 0; i < columns.Count(); ++i) {
      const AnsiString& label = columns[i].ColumnLabel;
      int count = 0;
      for (int j = 0; j < i; ++j)
        if (columns[j].ColumnLabel == label) ++count;
      AnsiString unique = label.empty() ? AnsiString("Column") : label;
      if (count > 0) unique += "_" + std::to_string(count);
      columnsLabels_.push_back(std::move(unique));
    }
  }
  Column(column);  // the list's index check
  return columnsLabels_[column - 1];
}

AnsiString TZAbstractResultSetMetadata::GetColumnName(int column) { return LoadedColumn(column).ColumnName; }
AnsiString TZAbstractResultSetMetadata::GetSchemaName(int column) { return LoadedColumn(column).SchemaName; }
int TZAbstractResultSetMetadata::GetPrecision(int column) { return Column(column).Precision; }
int TZAbstractResultSetMetadata::GetScale(int column) { return Column(column).Scale; }
AnsiString TZAbstractResultSetMetadata::GetTableName(int column) { return LoadedColumn(column).TableName; }
AnsiString TZAbstractResultSetMetadata::GetCatalogName(int column) { return LoadedColumn(column).CatalogName; }
TZSQLType TZAbstractResultSetMetadata::GetColumnType(int column) { return Column(column).ColumnType; }
AnsiString TZAbstractResultSetMetadata::GetColumnTypeName(int column) { return Column(column).GetColumnTypeName(); }
bool TZAbstractResultSetMetadata::IsReadOnly(int column) { return LoadedColumn(column).ReadOnly; }
bool TZAbstractResultSetMetadata::IsWritable(int column) { return LoadedColumn(column).Writable; }
bool TZAbstractResultSetMetadata::IsDefinitelyWritable(int column) { return LoadedColumn(column).DefinitelyWritable; }
AnsiString TZAbstractResultSetMetadata::GetDefaultValue(int column) { return LoadedColumn(column).DefaultValue; }
bool TZAbstractResultSetMetadata::HasDefaultValue(int column) { return !LoadedColumn(column).DefaultValue.empty(); }
