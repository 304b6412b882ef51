// TZGenericCachedResolver: writes the changes of a cached result set back to
// its one table as INSERT, UPDATE and DELETE statements with bound parameters,
// and fills the default values of new rows. Drivers derive their resolvers
// from it and change the parts their server needs differently.
#pragma once

#include <vector>

#include "sql/core/dbc/cached_result_set.h"

class IZIdentifierConvertor;

// An UPDATE or DELETE whose row condition would have no column: sent, it would
// change every row of the table, so it is refused instead.
inline constexpr char SZNoRowCondition[] =
    "Cannot identify the row: no key or comparable column for the WHERE clause";

// Binds column `column` of row to parameter `index` by the column's SQL type;
// a null value binds NULL of that type. A blob without a value (empty, which
// a value of length 0 is not) binds NULL when emptyBlobAsNull, else the blob
// as it is.
void BindRowColumn(IZPreparedStatement* statement, int index, TZRowAccessor& row, int column, TZSQLType type,
                   bool emptyBlobAsNull);

// One column of a generated statement.
struct TZResolverParameter {
  int ColumnIndex = 0;
  AnsiString ColumnName;
  TZSQLType ColumnType = stUnknown;
  // Bound from the current version of the row (true) or the saved one (false).
  bool NewValue = false;
  // The column's default expression, for the defaults query.
  AnsiString DefaultValue;
};

using TZResolverParameters = std::vector<TZResolverParameter>;

class TZGenericCachedResolver : public TZAbstractObject, public virtual IZCachedResolver {
public:
  // Reads "defaults", "update" and "where" from the statement's properties,
  // then its connection's.
  TZGenericCachedResolver(const Ref<IZStatement>& statement, const Ref<IZResultSetMetadata>& metadata);

  void CalculateDefaults(IZCachedResultSet* sender, TZRowAccessor* rowAccessor) override;
  void PostUpdates(IZCachedResultSet* sender, TZRowUpdateType updateType, TZRowAccessor* oldRowAccessor,
                   TZRowAccessor* newRowAccessor) override;
  void UpdateAutoIncrementFields(IZCachedResultSet* sender, TZRowUpdateType updateType,
                                 TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor,
                                 IZCachedResolver* resolver) override;

protected:
  // Whether a column may identify the row in a condition.
  virtual bool CheckKeyColumn(int columnIndex);
  // The first integer column the metadata marks auto-increment (1-based);
  // 0 when there is none. The column whose value the server may give.
  static int FirstAutoIncrementIntegerColumn(IZResultSetMetadata& metadata);
  // Whether a posted insert left that column (0: none) empty, so that the
  // value the server generated is to be read back into the new row.
  static bool InsertLeftColumnEmpty(TZRowUpdateType updateType, int columnIndex, TZRowAccessor* newRowAccessor);
  // When column of an inserted row was left null: runs query on a new
  // statement and writes the first column of its first row, read as a
  // 64-bit integer, into that column (the value the server gave the row).
  void FillGeneratedValue(TZRowAccessor* newRowAccessor, int column, const AnsiString& query);
  // "SELECT " and the default expressions; empty for no columns.
  virtual AnsiString FormCalculateStatement(const TZResolverParameters& columns);
  // What the dialect appends to an UPDATE or DELETE so that it reaches one
  // row at most (" LIMIT 1"); empty where it has no such clause.
  virtual AnsiString SingleRowClause() { return AnsiString(); }
  // Where the dialect has no such clause: the statements that open a guard
  // before a posted UPDATE or DELETE, keep its work, and undo it when it did
  // not reach exactly one row or failed. None (all empty): no guard.
  struct TZRowGuard {
    AnsiString open, keep, undo;
  };
  virtual TZRowGuard SingleRowGuard() { return {}; }

  // The quoted full name of the query's one table; "Cannot update a complex
  // query ..." for two tables, "Cannot update this query type" for none.
  AnsiString DefineTableName();
  AnsiString ComposeFullTableName(const AnsiString& catalog, const AnsiString& schema, const AnsiString& table);
  AnsiString QuoteName(const AnsiString& name);
  static void CopyResolveParameters(const TZResolverParameters& from, TZResolverParameters& to);

  void DefineInsertColumns(TZResolverParameters& columns);
  void DefineUpdateColumns(TZResolverParameters& columns, TZRowAccessor* oldRowAccessor,
                           TZRowAccessor* newRowAccessor);
  void DefineWhereKeyColumns(TZResolverParameters& columns);
  void DefineWhereAllColumns(TZResolverParameters& columns);
  void DefineCalcColumns(TZResolverParameters& columns, TZRowAccessor* rowAccessor);
  // Binds the parameters; default expressions go only with an inserted row,
  // so that an UPDATE to NULL writes NULL.
  void FillStatement(IZPreparedStatement* statement, const TZResolverParameters& columns,
                     TZRowAccessor* oldRowAccessor, TZRowAccessor* newRowAccessor);
  // " WHERE " and the row condition; drops the parameters of columns that are
  // NULL in the saved row. Refuses a row condition without any column, which
  // would reach every row of the table.
  AnsiString FormWhereClause(TZResolverParameters& columns, TZRowAccessor* oldRowAccessor);
  AnsiString FormInsertStatement(TZResolverParameters& columns, TZRowAccessor* newRowAccessor);
  AnsiString FormUpdateStatement(TZResolverParameters& columns, TZRowAccessor* oldRowAccessor,
                                 TZRowAccessor* newRowAccessor);
  AnsiString FormDeleteStatement(TZResolverParameters& columns, TZRowAccessor* oldRowAccessor);

  Ref<IZConnection> Connection;
  Ref<IZResultSetMetadata> Metadata;
  Ref<IZDatabaseMetadata> DatabaseMetadata;
  Ref<IZIdentifierConvertor> IdentifierConvertor;
  TZResolverParameters InsertColumns;
  TZResolverParameters UpdateColumns;
  TZResolverParameters WhereColumns;
  bool CalcDefaults = true;
  bool WhereAll = false;
  bool UpdateAll = false;

private:
  bool HasTable(int column) { return !Metadata->GetTableName(column).empty(); }
  // Has a table, a name and may be written.
  bool IsWritableColumn(int column);
  // One parameter per writable column, from the new row.
  void FillWritableColumns(TZResolverParameters& list);
};

// A statement's result: the native result set itself when the statement asked
// for a read-only, forward-only one; otherwise its rows cached with a
// Resolver made over the statement, in the statement's concurrency.
template <class Resolver>
Ref<IZResultSet> CachedUnlessForwardReadOnly(const AnsiString& sql, const Ref<IZStatement>& statement,
                                             const Ref<IZResultSet>& nativeResultSet) {
  if (statement->GetResultSetConcurrency() == rcReadOnly && statement->GetResultSetType() == rtForwardOnly)
    return nativeResultSet;
  auto cached = MakeRef<TZCachedResultSet>(nativeResultSet, sql,
                                           MakeRef<Resolver>(statement, nativeResultSet->GetMetadata()));
  cached->SetConcurrency(statement->GetResultSetConcurrency());
  return cached;
}
