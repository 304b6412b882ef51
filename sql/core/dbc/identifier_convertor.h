// TZDefaultIdentifierConvertor: quotes and unquotes SQL names by the rules a
// connection's database metadata states (how the server folds case, which
// characters quote, which words are reserved), so that generated SQL and the
// catalogue agree on how a name is written.
#pragma once

#include "sql/core/dbc/interfaces.h"
#include "sql/core/parsesql/identifier_convertor.h"

class TZDefaultIdentifierConvertor : public TZAbstractObject, public virtual IZIdentifierConvertor {
public:
  // Keeps a counted reference, so the connection stays alive as well.
  explicit TZDefaultIdentifierConvertor(Ref<IZDatabaseMetadata> metadata) : metadata_(std::move(metadata)) {}

  // Digits, "_" and lower-case ASCII letters only.
  static bool IsLowerCase(const AnsiString& value);
  // Digits, "_" and upper-case ASCII letters only.
  static bool IsUpperCase(const AnsiString& value);
  // Starts with a digit or holds a character other than a digit, ASCII letter or "_".
  static bool IsSpecialCase(const AnsiString& value);

  bool NeedsQuoting(const AnsiString& value) override;
  bool IsQuoted(const AnsiString& value) override;
  // A closing quote character inside the name is doubled, so the name always
  // ends where its quotes end.
  AnsiString Quote(const AnsiString& value) override;
  // Takes the quotes off (and undoes the doubling Quote did), then folds case
  // as the server stores names.
  AnsiString Unquote(const AnsiString& value) override;

private:
  bool IsReservedWord(const AnsiString& value);

  Ref<IZDatabaseMetadata> metadata_;
};
