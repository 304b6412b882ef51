// The catalogue query's statement and answer (see catalogue_query.h).

#include "sql/core/dbc/catalogue_query.h"

#include "platform/rtl/format.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

TZCatalogueQuery::TZCatalogueQuery(IZConnection& connection, const AnsiString& sql)
    : statement_(connection.CreateStatement()), result_(statement_->ExecuteQuery(sql)) {}

TZCatalogueQuery::~TZCatalogueQuery() {
  try {
    if (result_) result_->Close();
    statement_->Close();
  } catch (...) {
    // Nothing throws from a destructor.
  }
}

int TZCatalogueQuery::Column(std::initializer_list<const char*> names) const {
  for (const char* name : names)
    if (int column = result_->FindColumn(name)) return column;
  throw EZSQLException(Format(SZColumnWasNotFound, {*names.begin()}));
}

AnsiString CatalogueTypeList(const TZStringDynArray& types) {
  AnsiString list;
  for (const AnsiString& type : types) {
    if (!list.empty()) list += ",";
    list += QuoteOrNull(type, '\'');
  }
  return QuoteOrNull(list, '"');
}
