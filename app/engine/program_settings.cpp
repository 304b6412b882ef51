// Section-relative reading and writing of the program ini file.
#include "app/engine/program_settings.h"

AnsiString TProgramSettings::ReadString(const AnsiString& ident, const AnsiString& defaultValue) const {
  return ini_.ReadString(Section(), ident, defaultValue);
}

void TProgramSettings::WriteString(const AnsiString& ident, const AnsiString& value) {
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                      value.back() == value.front();
  ini_.WriteString(Section(), ident, quoted ? '"' + value + '"' : value);
}
