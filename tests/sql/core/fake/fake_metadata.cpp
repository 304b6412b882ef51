// The fake connection's database metadata: the base's capability answers and
// cache, with tables, columns and primary keys taken from the server's
// catalogue. Every builder call is counted, so tests see what the cache saved.

#include "platform/rtl/lists.h"
#include "sql/core/dbc/abstract_database_metadata.h"
#include "sql/core/dbc/virtual_result_set.h"
#include "tests/sql/core/fake/fake_driver.h"

namespace {

constexpr int kTextColumnSize = 255;

// An empty pattern or "%" matches every name; anything else matches exactly.
bool Matches(const AnsiString& pattern, const AnsiString& name) {
  return pattern.empty() || pattern == "%" || pattern == name;
}

class TZFakeDatabaseMetadata : public TZAbstractDatabaseMetadata {
public:
  TZFakeDatabaseMetadata(TZFakeConnection* connection, const AnsiString& url, TStrings* info)
      : TZAbstractDatabaseMetadata(connection, url, info), server_(connection->Server()) {}

protected:
  Ref<IZResultSet> UncachedGetTables(const AnsiString&, const AnsiString&, const AnsiString& tableNamePattern,
                                     const TZStringDynArray&) override {
    ++server_.CatalogueRequests;
    Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(TablesColumnDefs);
    for (const TZFakeTable& table : server_.Catalogue) {
      if (!Matches(tableNamePattern, table.Name)) continue;
      result->MoveToInsertRow();
      result->UpdateString(3, table.Name);
      result->UpdateString(4, "TABLE");
      result->InsertRow();
    }
    result->BeforeFirst();
    return result;
  }

  Ref<IZResultSet> UncachedGetColumns(const AnsiString&, const AnsiString&, const AnsiString& tableNamePattern,
                                      const AnsiString& columnNamePattern) override {
    ++server_.CatalogueRequests;
    Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(ColumnsColumnDefs);
    for (const TZFakeTable& table : server_.Catalogue) {
      if (!Matches(tableNamePattern, table.Name)) continue;
      const std::map<AnsiString, AnsiString>& defaults = server_.ColumnDefaults[table.Name];
      int position = 0;
      for (const TZFakeColumn& column : table.Data.Columns) {
        ++position;
        if (!Matches(columnNamePattern, column.Name)) continue;
        result->MoveToInsertRow();
        result->UpdateString(3, table.Name);
        result->UpdateString(4, column.Name);
        result->UpdateInt(5, column.Type);
        result->UpdateString(6, GetSQLTypeName(column.Type));
        result->UpdateInt(7, column.Type == stString ? kTextColumnSize : 0);
        result->UpdateInt(11, ntNullable);
        if (auto found = defaults.find(column.Name); found != defaults.end()) result->UpdateString(13, found->second);
        result->UpdateInt(17, position);
        result->UpdateString(18, "YES");
        result->UpdateBoolean(19, false);
        result->UpdateBoolean(20, true);
        result->UpdateBoolean(21, true);
        result->UpdateBoolean(22, true);
        result->UpdateBoolean(23, true);
        result->UpdateBoolean(24, false);
        result->InsertRow();
      }
    }
    result->BeforeFirst();
    return result;
  }

  Ref<IZResultSet> UncachedGetPrimaryKeys(const AnsiString&, const AnsiString&, const AnsiString& table) override {
    ++server_.CatalogueRequests;
    Ref<IZVirtualResultSet> result = ConstructVirtualResultSet(PrimaryKeysColumnDefs);
    int sequence = 0;
    for (const AnsiString& column : server_.PrimaryKeys[table]) {
      result->MoveToInsertRow();
      result->UpdateString(3, table);
      result->UpdateString(4, column);
      result->UpdateInt(5, ++sequence);
      result->InsertRow();
    }
    result->BeforeFirst();
    return result;
  }

private:
  TZFakeServer& server_;
};

}  // namespace

std::unique_ptr<TContainedObject> MakeFakeDatabaseMetadata(TZFakeConnection* connection, const AnsiString& url,
                                                           TStrings* info) {
  return std::make_unique<TZFakeDatabaseMetadata>(connection, url, info);
}
