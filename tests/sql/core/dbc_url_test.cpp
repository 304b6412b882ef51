// Connection URLs as drivers split them, protocol selection, option lookup,
// the quoting helpers and the table of readable type conversions.

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/lists.h"
#include "sql/core/dbc/dbc_utils.h"
#include "sql/core/sql_exception.h"

namespace {

struct UrlCase {
  const char* url;
  const char* properties;  // caller's lines, "\n"-separated
  const char* host;
  int port;
  const char* database;
  const char* user;
  const char* password;
  std::vector<AnsiString> lines;
};

TEST(ConnectionUrl, SplitsIntoPartsAndPropertyLines) {
  const UrlCase cases[] = {
      {"zdbc:fake-1://h:3306/db?UID=u;PWD=p", "x=1", "h", 3306, "db", "u", "p", {"UID=u", "PWD=p", "x=1"}},
      {"zdbc:mysql-4.1://h/db", "", "h", 0, "db", "", "", {}},
      {"zdbc:sqlite-3:c:/data/app.db", "", kLoopbackHostName, 0, "c:/data/app.db", "", "", {}},
      {"zdbc:mysql-5:///shop", "", "", 0, "shop", "", "", {}},
      {"zdbc:fake-1://h/", "", "h", 0, "", "", "", {}},
      {"zdbc:fake-1://h/db?a=1;;b=2;", "", "h", 0, "db", "", "", {"a=1", "b=2"}},
      {"zdbc:fake-1://h/db?flag", "", "h", 0, "db", "", "", {"flag"}},
      {"zdbc:fake-1://h/db?UID=;username=bob", "", "h", 0, "db", "bob", "", {"UID=", "username=bob"}},
      {"zdbc:fake-1://h/db?username=", "username=bob", "h", 0, "db", "", "", {"username=", "username=bob"}},
      {"zdbc:fake-1://h/db?uid=admin;pwd=s", "", "h", 0, "db", "admin", "s", {"uid=admin", "pwd=s"}},
      {"zdbc:fake-1://h/db", "username=ann\npassword=pw", "h", 0, "db", "ann", "pw",
       {"username=ann", "password=pw"}},
      // A database name holding "?" travels as a line; the URL's own name wins.
      {"zdbc:fake-1://h:1/?UID=u", "database=a?UID=x;b", "h", 1, "a?UID=x;b", "u", "", {"UID=u", "database=a?UID=x;b"}},
      {"zdbc:fake-1://h/db", "database=other", "h", 0, "db", "", "", {"database=other"}},
  };
  for (const UrlCase& c : cases) {
    SCOPED_TRACE(c.url);
    TStringList given;
    given.SetText(c.properties);
    TStringList result;
    result.Add("stale line");
    AnsiString host, database, user, password;
    int port = -1;
    ParseDatabaseUrl(c.url, &given, host, port, database, user, password, &result);
    EXPECT_EQ(host, c.host);
    EXPECT_EQ(port, c.port);
    EXPECT_EQ(database, c.database);
    EXPECT_EQ(user, c.user);
    EXPECT_EQ(password, c.password);
    std::vector<AnsiString> lines;
    for (int i = 0; i < result.Count(); ++i) lines.push_back(result[i]);
    EXPECT_EQ(lines, c.lines);
  }
}

TEST(ConnectionUrl, MalformedUrlsAreRefused) {
  const char* incorrect[] = {
      "zdbc:fake-1",              // no protocol separator
      "zdbc:fake-1://h",          // host not followed by "/", ":" or "?"
      "zdbc:fake-1://h:3306",     // port not followed by "/" or "?"
      "zdbc:fake-1://h:3306?x=1", // "/" required after host and port
      "zdbc:fake-1://h?x=1",
  };
  for (const char* url : incorrect) {
    SCOPED_TRACE(url);
    TStringList result;
    AnsiString host, database, user, password;
    int port;
    try {
      ParseDatabaseUrl(url, nullptr, host, port, database, user, password, &result);
      ADD_FAILURE() << "accepted";
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.Message(), AnsiString("Incorrect connection URL: ") + url);
      EXPECT_EQ(e.ErrorCode(), -1);
    }
  }
}

TEST(ConnectionUrl, PortMustBeANumber) {
  for (const char* url : {"zdbc:fake-1://h:/db", "zdbc:fake-1://h:33x/db"}) {
    TStringList result;
    AnsiString host, database, user, password;
    int port;
    EXPECT_THROW(ParseDatabaseUrl(url, nullptr, host, port, database, user, password, &result), EConvertError)
        << url;
  }
  try {
    TStringList result;
    AnsiString host, database, user, password;
    int port;
    ParseDatabaseUrl("zdbc:fake-1://h:/db", nullptr, host, port, database, user, password, &result);
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'' is not a valid integer value");
  }
}

TEST(ConnectionUrl, ProtocolIsCheckedCaseSensitively) {
  const std::vector<AnsiString> supported = {"mysql-4.1", "mysql-5"};
  EXPECT_EQ(ExtractUrlProtocol("zdbc:mysql-5://h/db", supported), "mysql-5");
  EXPECT_EQ(ExtractUrlProtocol("zdbc:mysql-4.1:x", supported), "mysql-4.1");

  struct {
    const char* url;
    const char* message;
  } const refused[] = {
      {"zdbc::x", "Incorrect connection URL: zdbc::x"},
      {"zdbc", "Incorrect connection URL: zdbc"},
      {"zdbc:mysql-5", "Incorrect connection URL: zdbc:mysql-5"},
      {"zdbc:MYSQL-4.1:x", "Unsupported protocol: MYSQL-4.1"},
      {"zdbc:mysql:x", "Unsupported protocol: mysql"},
  };
  for (const auto& c : refused) {
    try {
      ExtractUrlProtocol(c.url, supported);
      ADD_FAILURE() << c.url << " accepted";
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.Message(), c.message);
      EXPECT_EQ(e.ErrorCode(), -1);
    }
  }
}

TEST(QuotingHelpers, QuoteEmbeddedCharactersAndDefaultEmptyValues) {
  EXPECT_EQ(QuoteOrDefault("O'Neil", "x", '\''), "'O''Neil'");
  EXPECT_EQ(QuoteOrDefault("", "x", '\''), "x");
  EXPECT_EQ(QuoteOrNull("", '\''), "null");
  EXPECT_EQ(QuoteOrNull("a\"b", '"'), "\"a\"\"b\"");
  EXPECT_EQ(PatternOrAll(""), "%");
  EXPECT_EQ(PatternOrAll("t%"), "t%");
}

// One row per target type; column i says whether source type i reads as it.
TEST(TypeConversion, MatrixOfReadableTypes) {
  const char* const byTarget[] = {
      "000000000000000000",  // stUnknown
      "011111111110000000",  // stBoolean
      "011111111110000000",  // stByte
      "011111111110000000",  // stShort
      "011111111110000000",  // stInteger
      "011111111110000000",  // stLong
      "011111111110000000",  // stFloat
      "011111111110000000",  // stDouble
      "011111111110000000",  // stBigDecimal
      "111111111111111111",  // stString
      "111111111111111111",  // stUnicodeString
      "000000000111000111",  // stBytes
      "000000000110101000",  // stDate
      "000000000110011000",  // stTime
      "000000000110111000",  // stTimestamp
      "000000000000000100",  // stAsciiStream
      "000000000000000010",  // stUnicodeStream
      "000000000000000001",  // stBinaryStream
  };
  for (int to = stUnknown; to <= stBinaryStream; ++to)
    for (int from = stUnknown; from <= stBinaryStream; ++from)
      EXPECT_EQ(CanConvertSQLType(TZSQLType(from), TZSQLType(to)), byTarget[to][from] == '1')
          << GetSQLTypeName(TZSQLType(from)) << " as " << GetSQLTypeName(TZSQLType(to));
}

}  // namespace
