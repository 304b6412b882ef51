// Connection URL splitting, option lookup, quoting helpers and the type
// conversion table (see dbc_utils.h).

#include "sql/core/dbc/dbc_utils.h"

#include <algorithm>
#include <string_view>

#include "platform/rtl/format.h"
#include "platform/rtl/lists.h"
#include "platform/rtl/numbers.h"
#include "sql/core/dbc/interfaces.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"

namespace {

constexpr std::size_t kUrlPrefixLength = 5;  // "zdbc:"

[[noreturn]] void RaiseIncorrectUrl(const AnsiString& url) {
  throw EZSQLException(Format(SZIncorrectConnectionURL, {url}));
}

// Cuts the URL's parameter text at ";" into lines, dropping empty pieces.
void AddUrlParameters(std::string_view parameters, TStrings* list) {
  while (!parameters.empty()) {
    std::size_t end = parameters.find(';');
    std::string_view piece = parameters.substr(0, end);
    if (!piece.empty()) list->Add(AnsiString(piece));
    if (end == std::string_view::npos) break;
    parameters.remove_prefix(end + 1);
  }
}

// The value of the first of two names that is not empty.
AnsiString ValueOrFallback(const TStrings* list, std::string_view name, std::string_view fallback) {
  AnsiString value = list->Values(name);
  return value.empty() ? list->Values(fallback) : value;
}

}  // namespace

AnsiString ExtractUrlProtocol(const AnsiString& url, const std::vector<AnsiString>& supportedProtocols) {
  std::size_t first = url.find(':');
  std::size_t second = first == AnsiString::npos ? AnsiString::npos : url.find(':', first + 1);
  if (second == AnsiString::npos || second == first + 1) RaiseIncorrectUrl(url);
  AnsiString protocol = url.substr(first + 1, second - first - 1);
  for (const AnsiString& supported : supportedProtocols)
    if (supported == protocol) return protocol;
  throw EZSQLException(Format(SZUnsupportedProtocol, {protocol}));
}

void ParseDatabaseUrl(const AnsiString& url, TStrings* properties, AnsiString& hostName, int& port,
                      AnsiString& database, AnsiString& user, AnsiString& password, TStrings* resultProperties) {
  hostName = kLoopbackHostName;
  port = 0;
  database.clear();
  user.clear();
  password.clear();
  resultProperties->Clear();

  std::string_view rest(url);
  rest.remove_prefix(std::min(kUrlPrefixLength, rest.size()));
  std::size_t colon = rest.find(':');
  if (colon == std::string_view::npos) RaiseIncorrectUrl(url);
  rest.remove_prefix(colon + 1);

  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    std::size_t end = rest.find_first_of("/:?");
    if (end == std::string_view::npos) RaiseIncorrectUrl(url);
    hostName = AnsiString(rest.substr(0, end));
    rest.remove_prefix(end);
    if (rest.starts_with(':')) {
      rest.remove_prefix(1);
      end = rest.find_first_of("/?");
      if (end == std::string_view::npos) RaiseIncorrectUrl(url);
      port = StrToInt(rest.substr(0, end));
      rest.remove_prefix(end);
    }
    if (!rest.starts_with('/')) RaiseIncorrectUrl(url);
    rest.remove_prefix(1);
  }

  std::size_t question = rest.find('?');
  database = AnsiString(rest.substr(0, question));
  if (question != std::string_view::npos) AddUrlParameters(rest.substr(question + 1), resultProperties);
  if (properties) resultProperties->AddStrings(properties);

  if (database.empty()) database = resultProperties->Values("database");
  user = ValueOrFallback(resultProperties, "UID", "username");
  password = ValueOrFallback(resultProperties, "PWD", "password");
}

AnsiString GetStatementProperty(IZStatement* statement, const AnsiString& name, const AnsiString& defaultValue) {
  AnsiString value = statement->GetProperties()->Values(name);
  if (value.empty()) value = statement->GetConnection()->GetProperties()->Values(name);
  return value.empty() ? defaultValue : value;
}

AnsiString QuoteOrDefault(const AnsiString& value, const AnsiString& defaultValue, char quoteChar) {
  if (value.empty()) return defaultValue;
  AnsiString result(1, quoteChar);
  for (char c : value) {
    result += c;
    if (c == quoteChar) result += c;
  }
  return result + quoteChar;
}

AnsiString QuoteOrNull(const AnsiString& value, char quoteChar) { return QuoteOrDefault(value, "null", quoteChar); }

AnsiString PatternOrAll(const AnsiString& value) { return value.empty() ? AnsiString("%") : value; }

bool CanConvertSQLType(TZSQLType fromType, TZSQLType toType) {
  auto isTextual = [](TZSQLType t) { return t == stString || t == stUnicodeString; };
  switch (toType) {
    case stBoolean:
    case stByte:
    case stShort:
    case stInteger:
    case stLong:
    case stFloat:
    case stDouble:
    case stBigDecimal:
      return IsNumericSQLType(fromType) || isTextual(fromType);
    case stString:
    case stUnicodeString:
      return true;
    case stBytes:
      return isTextual(fromType) || fromType == stBytes || IsStreamSQLType(fromType);
    case stDate:
      return isTextual(fromType) || fromType == stDate || fromType == stTimestamp;
    case stTime:
      return isTextual(fromType) || fromType == stTime || fromType == stTimestamp;
    case stTimestamp:
      return isTextual(fromType) || IsDateTimeSQLType(fromType);
    case stAsciiStream:
    case stUnicodeStream:
    case stBinaryStream:
      return fromType == toType;
    default:
      return false;
  }
}
