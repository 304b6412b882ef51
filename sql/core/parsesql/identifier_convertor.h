// The interface through which SQL names are brought to one form: quoting by
// the server's rules and taking quotes off again. The select schema uses it to
// compare names written differently in one statement.
#pragma once

#include "sql/core/abstract_object.h"

class IZIdentifierConvertor : public virtual IZInterface {
public:
  virtual bool NeedsQuoting(const AnsiString& value) = 0;
  virtual bool IsQuoted(const AnsiString& value) = 0;
  virtual AnsiString Quote(const AnsiString& value) = 0;
  virtual AnsiString Unquote(const AnsiString& value) = 0;
};
