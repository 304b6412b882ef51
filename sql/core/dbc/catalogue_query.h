// Helpers of the drivers' catalogue builders: a query on the metadata's
// connection whose statement and answer are closed when the builder is done,
// and the optional text column of a catalogue row.
#pragma once

#include <initializer_list>

#include "platform/rtl/format.h"
#include "sql/core/dbc/virtual_result_set.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

// A statement on the metadata's connection and its answer, both closed when
// the builder is done with them.
class TCatalogueQuery {
public:
  TCatalogueQuery(IZConnection& connection, const AnsiString& sql)
      : statement_(connection.CreateStatement()), result_(statement_->ExecuteQuery(sql)) {}
  ~TCatalogueQuery() {
    if (result_) result_->Close();
    statement_->Close();
  }
  TCatalogueQuery(const TCatalogueQuery&) = delete;
  TCatalogueQuery& operator=(const TCatalogueQuery&) = delete;

  IZResultSet& operator*() const { return *result_; }
  IZResultSet* operator->() const { return result_.get(); }
  const Ref<IZResultSet>& ResultSet() const { return result_; }
  bool Next() const { return result_ && result_->Next(); }
  // The 1-based column of name; the first of names the answer has.
  int Column(std::initializer_list<const char*> names) const {
    for (const char* name : names)
      if (int column = result_->FindColumn(name)) return column;
    throw EZSQLException(Format(SZColumnWasNotFound, {*names.begin()}));
  }

private:
  Ref<IZStatement> statement_;
  Ref<IZResultSet> result_;
};

// Sets a text column of the insert row; an empty value leaves it null.
inline void UpdateOptionalString(IZVirtualResultSet& result, int column, const AnsiString& value) {
  if (!value.empty()) result.UpdateString(column, value);
}
