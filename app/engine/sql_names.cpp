// Quoting of names in the program's statements.
#include "app/engine/sql_names.h"

AnsiString SqlName(const AnsiString& name) {
  AnsiString quoted = "`";
  for (char c : name) {
    if (c == '`') quoted += '`';
    quoted += c;
  }
  return quoted + "`";
}

AnsiString ShowTablesLike(const AnsiString& table) {
  AnsiString pattern;
  for (char c : table) {
    if (c == '\\') pattern += "\\\\\\";
    else if (c == '"' || c == '_' || c == '%') pattern += '\\';
    pattern += c;
  }
  return "show tables like \"" + pattern + "\"";
}
