// Turning any error into the library's own error class, so that callers of the
// SQL library only ever have to catch EZSQLException.
#include "sql/core/sql_exception.h"

void RaiseSQLException(const std::exception& e) {
  if (const auto* sql = dynamic_cast<const EZSQLException*>(&e)) throw EZSQLException(*sql);
  if (const auto* platform = dynamic_cast<const Exception*>(&e)) throw EZSQLException(platform->Message());
  throw EZSQLException(AnsiString(e.what()));
}
