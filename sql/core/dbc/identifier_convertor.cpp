// Identifier quoting and case folding over the capability answers of a
// database metadata object (see identifier_convertor.h).

#include "sql/core/dbc/identifier_convertor.h"

#include "platform/rtl/text.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }

// Words every server reserves; a driver adds its own through GetSQLKeywords.
constexpr char kReservedWords[] =
    ",insert,update,delete,select,drop,create,from,set,values,where,order,group,by,having,into,as,table,index,"
    "primary,key,on,is,null,char,varchar,integer,number,";

// The closing quote character of a quote string (its second character when
// it has two, else its only one).
char ClosingQuote(const AnsiString& quote) { return quote.size() >= 2 ? quote[1] : quote[0]; }

// The inner text with every doubled closing quote made single again.
AnsiString UndoubleQuotes(const AnsiString& inner, char closing) {
  AnsiString result;
  for (size_t i = 0; i < inner.size(); ++i) {
    result += inner[i];
    if (inner[i] == closing && i + 1 < inner.size() && inner[i + 1] == closing) ++i;
  }
  return result;
}

}  // namespace

bool TZDefaultIdentifierConvertor::IsLowerCase(const AnsiString& value) {
  for (char c : value)
    if (!IsDigit(c) && c != '_' && !IsLower(c)) return false;
  return true;
}

bool TZDefaultIdentifierConvertor::IsUpperCase(const AnsiString& value) {
  for (char c : value)
    if (!IsDigit(c) && c != '_' && !IsUpper(c)) return false;
  return true;
}

bool TZDefaultIdentifierConvertor::IsSpecialCase(const AnsiString& value) {
  if (!value.empty() && IsDigit(value[0])) return true;
  for (char c : value)
    if (!IsDigit(c) && c != '_' && !IsLower(c) && !IsUpper(c)) return true;
  return false;
}

bool TZDefaultIdentifierConvertor::IsReservedWord(const AnsiString& value) {
  AnsiString words = kReservedWords + LowerCase(metadata_->GetSQLKeywords()) + ",";
  return words.find("," + LowerCase(value) + ",") != AnsiString::npos;
}

bool TZDefaultIdentifierConvertor::NeedsQuoting(const AnsiString& value) {
  if (value.empty()) return false;
  if (IsSpecialCase(value)) return true;
  bool needs;
  if (IsLowerCase(value))
    needs = metadata_->StoresUpperCaseIdentifiers();
  else if (IsUpperCase(value))
    needs = metadata_->StoresLowerCaseIdentifiers();
  else
    needs = !metadata_->StoresMixedCaseIdentifiers();
  return needs || IsReservedWord(value);
}

bool TZDefaultIdentifierConvertor::IsQuoted(const AnsiString& value) {
  AnsiString quote = metadata_->GetIdentifierQuoteString();
  return !value.empty() && !quote.empty() && value[0] == quote[0];
}

AnsiString TZDefaultIdentifierConvertor::Quote(const AnsiString& value) {
  AnsiString quote = metadata_->GetIdentifierQuoteString();
  if (quote.empty() || !NeedsQuoting(value)) return value;
  char closing = ClosingQuote(quote);
  AnsiString result(1, quote[0]);
  for (char c : value) {
    result += c;
    if (c == closing) result += c;
  }
  return result + closing;
}

AnsiString TZDefaultIdentifierConvertor::Unquote(const AnsiString& value) {
  if (IsQuoted(value)) {
    AnsiString quote = metadata_->GetIdentifierQuoteString();
    AnsiString inner = value.size() >= 2 ? value.substr(1, value.size() - 2) : AnsiString();
    AnsiString result = UndoubleQuotes(inner, ClosingQuote(quote));
    if (metadata_->StoresMixedCaseQuotedIdentifiers()) return result;
    if (metadata_->StoresLowerCaseQuotedIdentifiers()) return LowerCase(result);
    if (metadata_->StoresUpperCaseQuotedIdentifiers()) return UpperCase(result);
    return result;
  }
  if (metadata_->StoresMixedCaseIdentifiers()) return value;
  if (metadata_->StoresLowerCaseIdentifiers()) return LowerCase(value);
  if (metadata_->StoresUpperCaseIdentifiers()) return UpperCase(value);
  return value;
}
