// Column descriptions served to callers, and the unique labels that lookups
// by name match against (see result_set_metadata.h).

#include "sql/core/dbc/result_set_metadata.h"

#include "platform/rtl/text.h"
#include "sql/core/dbc/abstract_result_set.h"
#include "sql/core/dbc/catalogue_layouts.h"
#include "sql/core/dbc/identifier_convertor.h"
#include "sql/core/parsesql/select_schema.h"
#include "sql/core/parsesql/statement_analyser.h"
#include "sql/core/parsesql/tokenizer.h"

namespace {

// Columns of the catalogue's column listing.
using namespace catalogue_column::columns;

// The listing's row whose column name equals fieldName (exactly, or when
// exact is false, after upper-casing both); 0 when none does.
int FindListingRow(IZResultSet& listing, const AnsiString& fieldName, bool exact) {
  AnsiString wanted = exact ? fieldName : AnsiUpperCase(fieldName);
  listing.BeforeFirst();
  while (listing.Next()) {
    AnsiString name = listing.GetString(kName);
    if ((exact ? name : AnsiUpperCase(name)) == wanted) return listing.GetRow();
  }
  return 0;
}

void ReadBoolean(IZResultSet& listing, int column, bool& target) {
  bool value = listing.GetBoolean(column);
  if (!listing.WasNull()) target = value;
}

}  // namespace

TZAbstractResultSetMetadata::TZAbstractResultSetMetadata(Ref<IZDatabaseMetadata> metadata, const AnsiString& sql,
                                                         TZAbstractResultSet* parentResultSet)
    : TContainedObject(parentResultSet),
      Loaded(!metadata),
      metadata_(std::move(metadata)),
      sql_(sql),
      resultSet_(parentResultSet) {
  if (metadata_) identifierConvertor_ = MakeRef<TZDefaultIdentifierConvertor>(metadata_);
}

void TZAbstractResultSetMetadata::LoadColumns() {
  Loaded = true;
  Ref<IZDriver> driver = metadata_->GetConnection()->GetDriver();
  Ref<IZTokenizer> tokenizer = driver->GetTokenizer();
  Ref<IZSelectSchema> schema = driver->GetStatementAnalyser()->DefineSelectSchemaFromQuery(tokenizer.get(), sql_);
  // Not a SELECT the analyser understands: the driver's descriptions stand.
  if (!schema) return;
  schema->LinkReferences(identifierConvertor_.get());
  ReplaceStarColumns(schema.get());
  TZColumnInfoList& columns = resultSet_->GetColumnsInfo();
  bool byPosition = schema->GetFieldCount() == columns.Count();
  for (int i = 0; i < columns.Count(); ++i) LoadColumn(byPosition ? i + 1 : -1, columns[i], schema.get());
}

void TZAbstractResultSetMetadata::LoadColumn(int columnIndex, TZColumnInfo& columnInfo,
                                             IZSelectSchema* selectSchema) {
  TZFieldRef* fieldRef = selectSchema->LinkFieldByIndexAndShortName(columnIndex, columnInfo.ColumnLabel);
  bool found = ReadColumnByRef(fieldRef, columnInfo);
  const AnsiString& name = fieldRef ? fieldRef->Field : columnInfo.ColumnLabel;
  for (int i = 0; i < selectSchema->GetTableCount() && columnInfo.ColumnName.empty() && !found; ++i)
    found = ReadColumnByName(name, selectSchema->GetTable(i), columnInfo);
}

void TZAbstractResultSetMetadata::ReplaceStarColumns(IZSelectSchema* selectSchema) {
  for (int i = 0; i < selectSchema->GetFieldCount();) {
    TZFieldRef* star = selectSchema->GetField(i);
    TZTableRef* table = star->TableRef;
    if (star->Field != "*" || !table) {
      ++i;
      continue;
    }
    Ref<IZResultSet> listing = GetTableColumns(table);
    listing->BeforeFirst();
    while (listing->Next())
      selectSchema->InsertField(i++, std::make_unique<TZFieldRef>(true, table->Catalog, table->Schema, table->Table,
                                                                  listing->GetString(kName), AnsiString(),
                                                                  table));
    selectSchema->DeleteField(star);
  }
}

Ref<IZResultSet> TZAbstractResultSetMetadata::GetTableColumns(TZTableRef* tableRef) {
  AnsiString key = tableRef->FullName();
  auto found = tableColumns_.find(key);
  if (found != tableColumns_.end()) return found->second;
  // The table name is a pattern to the catalogue: escape its wildcards so
  // "a_b" never lists the columns of "aXb".
  Ref<IZResultSet> listing = metadata_->GetColumns(tableRef->Catalog, tableRef->Schema,
                                                   metadata_->AddEscapeCharToWildcards(tableRef->Table), "");
  tableColumns_[key] = listing;
  return listing;
}

void TZAbstractResultSetMetadata::ClearColumn(TZColumnInfo& columnInfo) {
  columnInfo.ReadOnly = true;
  columnInfo.Writable = false;
  columnInfo.DefinitelyWritable = false;
  columnInfo.CatalogName.clear();
  columnInfo.SchemaName.clear();
  columnInfo.TableName.clear();
  columnInfo.ColumnName.clear();
}

bool TZAbstractResultSetMetadata::ReadColumnByRef(TZFieldRef* fieldRef, TZColumnInfo& columnInfo) {
  ClearColumn(columnInfo);
  if (!fieldRef || !fieldRef->IsField || !fieldRef->TableRef) return false;
  return ReadColumnByName(fieldRef->Field, fieldRef->TableRef, columnInfo);
}

bool TZAbstractResultSetMetadata::ReadColumnByName(const AnsiString& fieldName, TZTableRef* tableRef,
                                                   TZColumnInfo& columnInfo) {
  Ref<IZResultSet> listing = GetTableColumns(tableRef);
  if (!listing) return false;
  int row = FindListingRow(*listing, fieldName, true);
  if (!row) row = FindListingRow(*listing, fieldName, false);
  if (!row) return false;
  listing->MoveAbsolute(row);
  columnInfo.CatalogName = listing->GetString(kCat);
  columnInfo.SchemaName = listing->GetString(kSchem);
  columnInfo.TableName = listing->GetString(kTable);
  columnInfo.ColumnName = fieldName;
  int dataType = listing->GetInt(kDataType);
  if (!listing->WasNull()) columnInfo.ColumnType = static_cast<TZSQLType>(dataType);
  int nullable = listing->GetInt(kNullable);
  if (!listing->WasNull()) columnInfo.Nullable = static_cast<TZColumnNullableType>(nullable);
  ReadBoolean(*listing, kAutoIncrement, columnInfo.AutoIncrement);
  ReadBoolean(*listing, kCaseSensitive, columnInfo.CaseSensitive);
  ReadBoolean(*listing, kSearchable, columnInfo.Searchable);
  ReadBoolean(*listing, kWritable, columnInfo.Writable);
  ReadBoolean(*listing, kDefinitelyWritable, columnInfo.DefinitelyWritable);
  ReadBoolean(*listing, kReadOnly, columnInfo.ReadOnly);
  AnsiString defaultValue = listing->GetString(kDefault);
  if (!listing->WasNull()) columnInfo.DefaultValue = defaultValue;
  return true;
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
