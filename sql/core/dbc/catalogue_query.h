// Helpers of the drivers' catalogue builders: TZCatalogueQuery, a statement
// on a metadata object's connection and its answer, both closed when the
// builder is done with them; and the optional text column of a catalogue row.
#pragma once

#include <initializer_list>

#include "sql/core/dbc/interfaces.h"
#include "sql/core/dbc/virtual_result_set.h"

class TZCatalogueQuery {
public:
  TZCatalogueQuery(IZConnection& connection, const AnsiString& sql);
  ~TZCatalogueQuery();
  TZCatalogueQuery(const TZCatalogueQuery&) = delete;
  TZCatalogueQuery& operator=(const TZCatalogueQuery&) = delete;

  IZResultSet& operator*() const { return *result_; }
  IZResultSet* operator->() const { return result_.get(); }
  const Ref<IZResultSet>& ResultSet() const { return result_; }
  bool Next() const { return result_ && result_->Next(); }
  // The 1-based column of name; the first of names the answer has. None of
  // them: EZSQLException "Column with name ... was not found".
  int Column(std::initializer_list<const char*> names) const;

private:
  Ref<IZStatement> statement_;
  Ref<IZResultSet> result_;
};

// Sets a text column of the insert row; an empty value leaves it null.
inline void UpdateOptionalString(IZVirtualResultSet& result, int column, const AnsiString& value) {
  if (!value.empty()) result.UpdateString(column, value);
}

// The type list of a catalogue procedure call: each entry in single quotes
// (quotes inside doubled), joined by "," without blanks, the whole in double
// quotes; the word null for none.
AnsiString CatalogueTypeList(const TZStringDynArray& types);
