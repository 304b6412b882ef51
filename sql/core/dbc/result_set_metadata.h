// TZAbstractResultSetMetadata: serves a result set's column descriptions
// through IZResultSetMetadata and gives every column a unique label for
// lookups by name. What only the catalogue knows (a column's table, default,
// writability) is completed on first demand by tracing the result set's SELECT
// back to its tables. It lives inside its result set and has no count of its
// own: references to it keep the result set alive.
#pragma once

#include <map>
#include <vector>

#include "sql/core/dbc/column_info.h"
#include "sql/core/dbc/interfaces.h"
#include "sql/core/parsesql/identifier_convertor.h"

class TZAbstractResultSet;
class IZSelectSchema;
class TZFieldRef;
class TZTableRef;

class TZAbstractResultSetMetadata : public TContainedObject, public virtual IZResultSetMetadata {
public:
  // metadata may be null (no catalogue to consult); it counts on its
  // connection, so the connection stays alive as long as this does.
  TZAbstractResultSetMetadata(Ref<IZDatabaseMetadata> metadata, const AnsiString& sql,
                              TZAbstractResultSet* parentResultSet);

  int GetColumnCount() override;
  bool IsAutoIncrement(int column) override;
  bool IsCaseSensitive(int column) override;
  bool IsSearchable(int column) override;
  bool IsCurrency(int column) override;
  TZColumnNullableType IsNullable(int column) override;
  bool IsSigned(int column) override;
  int GetColumnDisplaySize(int column) override;
  // The column's label made unique: a label seen n times before gets "_n"
  // appended, an empty one reads "Column".
  AnsiString GetColumnLabel(int column) override;
  AnsiString GetColumnName(int column) override;
  AnsiString GetSchemaName(int column) override;
  int GetPrecision(int column) override;
  int GetScale(int column) override;
  AnsiString GetTableName(int column) override;
  AnsiString GetCatalogName(int column) override;
  TZSQLType GetColumnType(int column) override;
  AnsiString GetColumnTypeName(int column) override;
  bool IsReadOnly(int column) override;
  bool IsWritable(int column) override;
  bool IsDefinitelyWritable(int column) override;
  AnsiString GetDefaultValue(int column) override;
  bool HasDefaultValue(int column) override;

protected:
  // Completes one description from the select schema; columnIndex is -1 when
  // columns can only be matched by name.
  virtual void LoadColumn(int columnIndex, TZColumnInfo& columnInfo, IZSelectSchema* selectSchema);

  // Once, before the first answer that only the catalogue can give; without
  // database metadata there is nothing to load. Whatever happens inside, it is
  // not tried again.
  void LoadColumns();
  // The table's column listing, asked of the catalogue once per result set.
  Ref<IZResultSet> GetTableColumns(TZTableRef* tableRef);
  // Makes a description read-only and without table or column name.
  static void ClearColumn(TZColumnInfo& columnInfo);
  // Copies the catalogue's facts of fieldName (matched exactly, else ignoring
  // case) into the description; false, changing nothing, when not found.
  bool ReadColumnByName(const AnsiString& fieldName, TZTableRef* tableRef, TZColumnInfo& columnInfo);
  // Clears the description, then reads it when fieldRef is a table's column.
  bool ReadColumnByRef(TZFieldRef* fieldRef, TZColumnInfo& columnInfo);
  // Expands each "*" bound to a table into that table's columns.
  void ReplaceStarColumns(IZSelectSchema* selectSchema);
  // The description of a 1-based column as the driver filled it.
  TZColumnInfo& Column(int column) const;
  // The same, completed from the catalogue first.
  TZColumnInfo& LoadedColumn(int column);

  const Ref<IZDatabaseMetadata>& Metadata() const { return metadata_; }
  const AnsiString& SQL() const { return sql_; }
  TZAbstractResultSet* ResultSet() const { return resultSet_; }
  bool Loaded;

private:
  Ref<IZDatabaseMetadata> metadata_;
  AnsiString sql_;
  TZAbstractResultSet* resultSet_;  // the owner, not counted
  std::vector<AnsiString> columnsLabels_;
  // Column listings by the table's full name.
  std::map<AnsiString, Ref<IZResultSet>> tableColumns_;
  Ref<IZIdentifierConvertor> identifierConvertor_;
};
