// Statement generation and parameter binding of the generic resolver (see
// generic_resolver.h).

#include "sql/core/dbc/generic_resolver.h"

#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/dbc/identifier_convertor.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

namespace {

constexpr int kPrimaryKeyColumnName = 4;

AnsiString Join(const std::vector<AnsiString>& parts, const char* separator) {
  AnsiString result;
  for (std::size_t i = 0; i < parts.size(); ++i) result += (i ? separator : "") + parts[i];
  return result;
}

}  // namespace

TZGenericCachedResolver::TZGenericCachedResolver(const Ref<IZStatement>& statement,
                                                 const Ref<IZResultSetMetadata>& metadata)
    : Connection(statement->GetConnection()), Metadata(metadata), DatabaseMetadata(Connection->GetMetadata()) {
  if (DatabaseMetadata) IdentifierConvertor = MakeRef<TZDefaultIdentifierConvertor>(DatabaseMetadata);
  CalcDefaults = StrToBoolEx(GetStatementProperty(statement.get(), "defaults", "true"));
  UpdateAll = UpperCase(GetStatementProperty(statement.get(), "update", "changed")) == "ALL";
  WhereAll = UpperCase(GetStatementProperty(statement.get(), "where", "keyonly")) == "ALL";
}

AnsiString TZGenericCachedResolver::QuoteName(const AnsiString& name) {
  return IdentifierConvertor ? IdentifierConvertor->Quote(name) : name;
}

bool TZGenericCachedResolver::CheckKeyColumn(int columnIndex) {
  TZSQLType type = Metadata->GetColumnType(columnIndex);
  return HasTable(columnIndex) && !Metadata->GetColumnName(columnIndex).empty() &&
         Metadata->IsSearchable(columnIndex) && type != stUnknown && !IsStreamSQLType(type);
}

int TZGenericCachedResolver::FirstAutoIncrementIntegerColumn(IZResultSetMetadata& metadata) {
  for (int i = 1; i <= metadata.GetColumnCount(); ++i) {
    if (!metadata.IsAutoIncrement(i)) continue;
    TZSQLType type = metadata.GetColumnType(i);
    if (type == stByte || type == stShort || type == stInteger || type == stLong) return i;
  }
  return 0;
}

bool TZGenericCachedResolver::InsertLeftColumnEmpty(TZRowUpdateType updateType, int columnIndex,
                                                    TZRowAccessor* newRowAccessor) {
  if (updateType != utInserted || columnIndex <= 0) return false;
  bool isNull = false;
  newRowAccessor->GetLong(columnIndex, isNull);
  return isNull;
}

void TZGenericCachedResolver::FillGeneratedValue(TZRowAccessor* newRowAccessor, int column, const AnsiString& query) {
  // Only a value the caller left empty is the server's to give.
  if (!InsertLeftColumnEmpty(utInserted, column, newRowAccessor)) return;
  Ref<IZStatement> statement = Connection->CreateStatement();
  try {
    Ref<IZResultSet> resultSet = statement->ExecuteQuery(query);
    if (resultSet && resultSet->Next()) newRowAccessor->SetLong(column, resultSet->GetLong(1));
    if (resultSet) resultSet->Close();
  } catch (...) {
    statement->Close();
    throw;
  }
  statement->Close();
}

AnsiString TZGenericCachedResolver::FormCalculateStatement(const TZResolverParameters& columns) {
  if (columns.empty()) return AnsiString();
  std::vector<AnsiString> values;
  for (const TZResolverParameter& column : columns)
    values.push_back(column.DefaultValue.empty() ? AnsiString("NULL") : column.DefaultValue);
  return "SELECT " + Join(values, ",");
}

AnsiString TZGenericCachedResolver::ComposeFullTableName(const AnsiString& catalog, const AnsiString& schema,
                                                         const AnsiString& table) {
  if (table.empty()) return AnsiString();
  AnsiString result = QuoteName(table);
  if (!schema.empty()) result = QuoteName(schema) + "." + result;
  if (!catalog.empty()) result = QuoteName(catalog) + "." + result;
  return result;
}

AnsiString TZGenericCachedResolver::DefineTableName() {
  AnsiString result;
  for (int i = 1; i <= Metadata->GetColumnCount(); ++i) {
    AnsiString name =
        ComposeFullTableName(Metadata->GetCatalogName(i), Metadata->GetSchemaName(i), Metadata->GetTableName(i));
    if (name.empty()) continue;
    if (result.empty())
      result = name;
    else if (name != result)
      throw EZSQLException(SZCanNotUpdateComplexQuery);
  }
  if (result.empty()) throw EZSQLException(SZCanNotUpdateThisQueryType);
  return result;
}

void TZGenericCachedResolver::CopyResolveParameters(const TZResolverParameters& from, TZResolverParameters& to) {
  for (const TZResolverParameter& param : from)
    if (!param.ColumnName.empty())
      to.push_back({param.ColumnIndex, param.ColumnName, param.ColumnType, param.NewValue, AnsiString()});
}

bool TZGenericCachedResolver::IsWritableColumn(int column) {
  return HasTable(column) && !Metadata->GetColumnName(column).empty() && Metadata->IsWritable(column);
}

void TZGenericCachedResolver::FillWritableColumns(TZResolverParameters& list) {
  for (int i = 1; i <= Metadata->GetColumnCount(); ++i)
    if (IsWritableColumn(i)) list.push_back({i, Metadata->GetColumnName(i), Metadata->GetColumnType(i), true, {}});
}

void TZGenericCachedResolver::DefineInsertColumns(TZResolverParameters& columns) {
  if (InsertColumns.empty()) FillWritableColumns(InsertColumns);
  CopyResolveParameters(InsertColumns, columns);
}

void TZGenericCachedResolver::DefineUpdateColumns(TZResolverParameters& columns, TZRowAccessor* oldRowAccessor,
                                                  TZRowAccessor* newRowAccessor) {
  if (UpdateAll) {
    if (UpdateColumns.empty()) FillWritableColumns(UpdateColumns);
    CopyResolveParameters(UpdateColumns, columns);
    return;
  }
  for (int i = 1; i <= Metadata->GetColumnCount(); ++i) {
    if (!IsWritableColumn(i)) continue;
    if (oldRowAccessor->CompareBuffers(oldRowAccessor->RowBuffer(), newRowAccessor->RowBuffer(), {i}, {true}) == 0)
      continue;
    columns.push_back({i, Metadata->GetColumnName(i), Metadata->GetColumnType(i), true, {}});
  }
}

void TZGenericCachedResolver::DefineWhereKeyColumns(TZResolverParameters& columns) {
  if (!WhereColumns.empty()) {
    CopyResolveParameters(WhereColumns, columns);
    return;
  }
  DefineTableName();
  AnsiString catalog, schema, table;
  for (int i = 1; i <= Metadata->GetColumnCount(); ++i) {
    if (!HasTable(i)) continue;
    catalog = Metadata->GetCatalogName(i);
    schema = Metadata->GetSchemaName(i);
    table = Metadata->GetTableName(i);
    break;
  }
  if (!WhereAll && DatabaseMetadata) {
    Ref<IZResultSet> keys = DatabaseMetadata->GetPrimaryKeys(catalog, schema, table);
    while (keys->Next()) {
      AnsiString keyName = keys->GetString(kPrimaryKeyColumnName);
      int found = 0;
      for (int i = 1; i <= Metadata->GetColumnCount() && !found; ++i)
        if (Metadata->GetColumnName(i) == keyName && Metadata->GetTableName(i) == table) found = i;
      if (!found) {
        // A key the query does not select cannot identify the row.
        WhereColumns.clear();
        break;
      }
      WhereColumns.push_back({found, keyName, stUnknown, false, {}});
    }
    keys->Close();
  }
  if (WhereColumns.empty())
    DefineWhereAllColumns(columns);
  else
    CopyResolveParameters(WhereColumns, columns);
}

void TZGenericCachedResolver::DefineWhereAllColumns(TZResolverParameters& columns) {
  if (WhereColumns.empty())
    for (int i = 1; i <= Metadata->GetColumnCount(); ++i)
      if (CheckKeyColumn(i)) WhereColumns.push_back({i, Metadata->GetColumnName(i), Metadata->GetColumnType(i), false, {}});
  CopyResolveParameters(WhereColumns, columns);
}

void TZGenericCachedResolver::DefineCalcColumns(TZResolverParameters& columns, TZRowAccessor* rowAccessor) {
  for (int i = 1; i <= Metadata->GetColumnCount(); ++i) {
    if (!rowAccessor->IsNull(i) || !HasTable(i)) continue;
    AnsiString defaultValue = Metadata->GetDefaultValue(i);
    if (!defaultValue.empty())
      columns.push_back({i, Metadata->GetColumnName(i), Metadata->GetColumnType(i), true, defaultValue});
  }
}

void BindRowColumn(IZPreparedStatement* statement, int index, TZRowAccessor& row, int column, TZSQLType type,
                   bool emptyBlobAsNull) {
  bool isNull = false;
  switch (type) {
    case stBoolean: statement->SetBoolean(index, row.GetBoolean(column, isNull)); break;
    case stByte: statement->SetByte(index, row.GetByte(column, isNull)); break;
    case stShort: statement->SetShort(index, row.GetShort(column, isNull)); break;
    case stInteger: statement->SetInt(index, row.GetInt(column, isNull)); break;
    case stLong: statement->SetLong(index, row.GetLong(column, isNull)); break;
    case stFloat: statement->SetFloat(index, row.GetFloat(column, isNull)); break;
    case stDouble: statement->SetDouble(index, row.GetDouble(column, isNull)); break;
    case stBigDecimal: statement->SetBigDecimal(index, row.GetBigDecimal(column, isNull)); break;
    case stString: statement->SetString(index, row.GetString(column, isNull)); break;
    case stUnicodeString: statement->SetUnicodeString(index, row.GetUnicodeString(column, isNull)); break;
    case stBytes: statement->SetBytes(index, row.GetBytes(column, isNull)); break;
    case stDate: statement->SetDate(index, row.GetDate(column, isNull)); break;
    case stTime: statement->SetTime(index, row.GetTime(column, isNull)); break;
    case stTimestamp: statement->SetTimestamp(index, row.GetTimestamp(column, isNull)); break;
    case stAsciiStream:
    case stUnicodeStream:
    case stBinaryStream: {
      Ref<IZBlob> blob = row.GetBlob(column, isNull);
      if (emptyBlobAsNull && (!blob || blob->IsEmpty()))
        isNull = true;
      else
        statement->SetBlob(index, type, blob);
      break;
    }
    default: return;  // stUnknown: nothing to read or bind
  }
  if (isNull) statement->SetNull(index, type);
}

void TZGenericCachedResolver::FillStatement(IZPreparedStatement* statement, const TZResolverParameters& columns,
                                            TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor) {
  // Only an INSERT may let the server's default stand in for a NULL.
  bool withDefaults = CalcDefaults && newRowAccessor->RowBuffer()->UpdateType == utInserted;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const TZResolverParameter& param = columns[i];
    TZRowAccessor& row = param.NewValue ? *newRowAccessor : *oldRowAccessor;
    int index = static_cast<int>(i) + 1;
    int column = param.ColumnIndex;
    if (withDefaults) statement->SetDefaultValue(index, Metadata->GetDefaultValue(column));
    // A blob without a value is bound as the blob it is.
    BindRowColumn(statement, index, row, column, Metadata->GetColumnType(column), false);
  }
}

AnsiString TZGenericCachedResolver::FormWhereClause(TZResolverParameters& columns, TZRowAccessor* oldRowAccessor) {
  if (WhereColumns.empty()) throw EZSQLException(SZNoRowCondition);
  std::size_t first = columns.size() - WhereColumns.size();
  TZResolverParameters kept(columns.begin(), columns.begin() + static_cast<std::ptrdiff_t>(first));
  AnsiString condition;
  for (std::size_t i = 0; i < WhereColumns.size(); ++i) {
    const TZResolverParameter& param = columns[first + i];
    if (i > 0) condition += " AND ";
    condition += QuoteName(param.ColumnName);
    if (oldRowAccessor->IsNull(param.ColumnIndex)) {
      condition += " IS NULL ";
    } else {
      condition += "=?";
      kept.push_back(param);
    }
  }
  columns = std::move(kept);
  return " WHERE " + condition;
}

AnsiString TZGenericCachedResolver::FormInsertStatement(TZResolverParameters& columns, TZRowAccessor*) {
  AnsiString table = DefineTableName();
  DefineInsertColumns(columns);
  if (columns.empty()) return AnsiString();
  std::vector<AnsiString> names, marks;
  for (const TZResolverParameter& param : columns) {
    names.push_back(QuoteName(param.ColumnName));
    marks.push_back("?");
  }
  return Format("INSERT INTO %s (%s) VALUES (%s)", {table, Join(names, ","), Join(marks, ",")});
}

AnsiString TZGenericCachedResolver::FormUpdateStatement(TZResolverParameters& columns, TZRowAccessor* oldRowAccessor,
                                                        TZRowAccessor* newRowAccessor) {
  AnsiString table = DefineTableName();
  DefineUpdateColumns(columns, oldRowAccessor, newRowAccessor);
  if (columns.empty()) return AnsiString();
  std::vector<AnsiString> pairs;
  for (const TZResolverParameter& param : columns) pairs.push_back(QuoteName(param.ColumnName) + "=?");
  AnsiString sql = Format("UPDATE %s SET %s", {table, Join(pairs, ",")});
  DefineWhereKeyColumns(columns);
  return sql + FormWhereClause(columns, oldRowAccessor) + SingleRowClause();
}

AnsiString TZGenericCachedResolver::FormDeleteStatement(TZResolverParameters& columns, TZRowAccessor* oldRowAccessor) {
  AnsiString sql = Format("DELETE FROM %s", {DefineTableName()});
  DefineWhereKeyColumns(columns);
  return sql + FormWhereClause(columns, oldRowAccessor) + SingleRowClause();
}

void TZGenericCachedResolver::PostUpdates(IZCachedResultSet* sender, TZRowUpdateType updateType,
                                          TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor) {
  // An insert deleted before it was posted never reached the server.
  if (updateType == utDeleted && oldRowAccessor->RowBuffer()->UpdateType == utInserted) return;
  TZResolverParameters columns;
  AnsiString sql;
  switch (updateType) {
    case utInserted: sql = FormInsertStatement(columns, newRowAccessor); break;
    case utModified: sql = FormUpdateStatement(columns, oldRowAccessor, newRowAccessor); break;
    case utDeleted: sql = FormDeleteStatement(columns, oldRowAccessor); break;
    default: return;
  }
  if (sql.empty()) return;
  Ref<IZPreparedStatement> statement = Connection->PrepareStatement(sql);
  FillStatement(statement.get(), columns, oldRowAccessor, newRowAccessor);
  // A posted row is one row: a condition that matched none (a value that
  // does not read back as written) or several (equal rows without a key)
  // is an error, not a success. A driver that cannot count answers -1;
  // "ValidateUpdateCount" set to true holds it to the count all the same.
  Ref<IZStatement> owner = sender->GetStatement();
  const AnsiString setting = owner ? owner->GetProperties()->Values("ValidateUpdateCount") : AnsiString();
  const bool validate = setting.empty() || StrToBoolEx(setting);
  const TZRowGuard guard = validate && updateType != utInserted ? SingleRowGuard() : TZRowGuard();
  Ref<IZStatement> control = guard.open.empty() ? nullptr : Connection->CreateStatement();
  if (control) control->ExecuteUpdate(guard.open);
  int count;
  try {
    count = statement->ExecuteUpdatePrepared();
  } catch (...) {
    try {
      if (control) control->ExecuteUpdate(guard.undo);
    } catch (...) {
      // The statement's own error is the one to report.
    }
    throw;
  }
  const bool wrongCount = validate && count != 1 && (count >= 0 || !setting.empty());
  if (control) control->ExecuteUpdate(wrongCount ? guard.undo : guard.keep);
  if (wrongCount) throw EZSQLException(Format(SZUpdateRecordCount, {count}));
}

void TZGenericCachedResolver::CalculateDefaults(IZCachedResultSet*, TZRowAccessor* rowAccessor) {
  if (!CalcDefaults) return;
  TZResolverParameters columns;
  DefineCalcColumns(columns, rowAccessor);
  AnsiString sql = FormCalculateStatement(columns);
  if (sql.empty()) return;
  Ref<IZStatement> statement = Connection->CreateStatement();
  try {
    Ref<IZResultSet> result = statement->ExecuteQuery(sql);
    if (result->Next()) {
      int count = std::min(result->GetMetadata()->GetColumnCount(), static_cast<int>(columns.size()));
      for (int c = 1; c <= count; ++c) {
        const TZResolverParameter& param = columns[c - 1];
        try {
          if (param.ColumnType == stAsciiStream) {
            rowAccessor->SetString(param.ColumnIndex, result->GetString(c));
            if (result->WasNull()) rowAccessor->SetNull(param.ColumnIndex);
          } else if (param.ColumnType != stUnicodeStream && param.ColumnType != stBinaryStream) {
            CopyResultSetColumn(*result, c, *rowAccessor, param.ColumnIndex, param.ColumnType);
          }
        } catch (const std::exception&) {
          // A default the row cannot hold leaves the column as it was.
        }
      }
    }
    result->Close();
  } catch (...) {
    statement->Close();
    throw;
  }
  statement->Close();
}

void TZGenericCachedResolver::UpdateAutoIncrementFields(IZCachedResultSet*, TZRowUpdateType, TZRowAccessor*,
                                                        TZRowAccessor*, IZCachedResolver*) {}
