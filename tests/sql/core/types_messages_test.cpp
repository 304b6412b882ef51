// The shared vocabulary of the SQL library: type names, the message table and
// the library's error class with its passing-on of foreign errors.
#include <gtest/gtest.h>

#include <string_view>

#include "platform/rtl/exceptions.h"
#include "sql/core/messages.h"
#include "sql/core/sql_exception.h"
#include "sql/core/sql_types.h"

namespace {

TEST(SQLTypes, EveryTypeHasItsDisplayNameAndOthersAreUnknown) {
  const char* const expected[] = {"Unknown", "Boolean", "Byte", "Short", "Integer", "Long",
                                  "Float", "Double", "BigDecimal", "String", "UnicodeString",
                                  "Bytes", "Date", "Time", "Timestamp", "AsciiStream",
                                  "UnicodeStream", "BinaryStream"};
  for (int t = 0; t <= 17; ++t) EXPECT_EQ(GetSQLTypeName(static_cast<TZSQLType>(t)), expected[t]) << t;
  for (int t : {18, 100, 255}) EXPECT_EQ(GetSQLTypeName(static_cast<TZSQLType>(t)), "Unknown") << t;
}

// The texts are compared with a copy kept here on purpose: callers and users
// see them, so a changed text (even a fixed typo) is a visible change.
TEST(Messages, AllTextsAreKeptVerbatim) {
  struct {
    std::string_view actual, expected;
  } const cases[] = {
      {SZDriverWasNotFound, R"(Requested database driver was not found)"},
      {SZIncorrectConnectionURL, R"(Incorrect connection URL: %s)"},
      {SZUnsupportedProtocol, R"(Unsupported protocol: %s)"},
      {SZLibraryNotFound, R"(None of the dynamic libraries can be found: %s)"},
      {SZUnsupportedOperation, R"(Unsupported operation)"},
      {SZSQLError1, R"(SQL Error: %s)"},
      {SZUnknownError, R"(Unknown error)"},
      {SZCanNotConnectToServer, R"(Cannot connect to SQL server)"},
      {SZIsolationIsNotSupported, R"(Transaction isolation level is not supported)"},
      {SZCommitInAutoCommit, R"(You cannot use COMMIT in AUTOCOMMIT mode)"},
      {SZRollbackInAutoCommit, R"(You cannot use ROLLBACK in AUTOCOMMIT mode)"},
      {SZConnectionIsNotOpened, R"(Connection is not opened yet)"},
      {SZInvalidOpInAutoCommitMode, R"(Invalid operation in AutoCommit mode)"},
      {SZInvalidOpInNonAutoCommitMode, R"(Invalid operation in non AutoCommit mode)"},
      {SZInvalidOpInExplicitTransaction, R"(Invalid operation in explicit transaction mode)"},
      {SZInvalidOpPrepareTransaction, R"(Prepare transaction only possible on matching first(!) Starttransaction)"},
      {SZConnectionIsNotAssigned, R"(Database connection component is not assigned)"},
      {SZLoginPromptFailure, R"(Can not find default login prompt dialog. Please add DBLogDlg to the uses section of your main file.)"},
      {SZInvalidInputParameterCount, R"(Input parameter count is less then expected)"},
      {SZWrongTypeForBlobParameter, R"(Wrong type for Blob parameter)"},
      {SZUnsupportedParameterType, R"(Unsupported parameter type)"},
      {SZUnsupportedDataType, R"(Unsupported data type)"},
      {SZStatementIsNotAllowed, R"(Statement is not allowed)"},
      {SZInvalidState, R"(Invalid state)"},
      {SZConvertionError, R"(Convertion error)"},
      {SZConvertionErrorForField, R"(Conversion error for field "%s" to SQLType "%s")"},
      {SZFieldNotFound1, R"(Field "%s" was not found)"},
      {SZPatternIsTooLong, R"(Pattern is too long)"},
      {SZUnsupportedEncodeSqlDate, R"(This version does not support isc_encode_sql_date)"},
      {SZUnsupportedEncodeSqlTime, R"(This version does not support isc_encode_sql_time)"},
      {SZUnsupportedEncodeSqlTimestamp, R"(This version does not support isc_encode_sql_timestamp)"},
      {SZUnsupportedDecodeSqlDate, R"(This version does not support isc_decode_sql_date)"},
      {SZUnsupportedDecodeSqlTime, R"(This version does not support isc_decode_sql_time)"},
      {SZUnsupportedDecodeSqlTimestamp, R"(This version does not support isc_decode_sql_timestamp)"},
      {SZOperationIsNotAllowed1, R"(Operation is not allowed in FORWARD ONLY mode)"},
      {SZOperationIsNotAllowed2, R"(Operation is not allowed in READ ONLY mode)"},
      {SZOperationIsNotAllowed3, R"(Operation is not allowed for closed dataset)"},
      {SZColumnIsNotAccessable, R"(Column with index %d is not accessable)"},
      {SZConvertionIsNotPossible, R"(Convertion is not possible for column %d from %s to %s)"},
      {SZCanNotAccessBlobRecord, R"(Cannot access blob record in column %d with type %s)"},
      {SZColumnWasNotFound, R"(Column with name "%s" was not found)"},
      {SZCanNotRetrieveResultSetData, R"(Cannot retrieve Resultset data)"},
      {SZRowDataIsNotAvailable, R"(Row data is not available)"},
      {SZLiveResultSetsAreNotSupported, R"(Live query is not supported by this class)"},
      {SZCanNotOpenResultSet, R"(Can not open a Resultset)"},
      {SZNoMoreRecords, R"(No more records in the Resultset)"},
      {SZRowBufferIsNotAssigned, R"(Row buffer is not assigned)"},
      {SZResolverIsNotSpecified, R"(Resolver is not specified for this ResultSet)"},
      {SZResultsetIsAlreadyOpened, R"(Resultset is already open)"},
      {SZCanNotUpdateEmptyRow, R"(Cannot update an empty row)"},
      {SZCanNotUpdateDeletedRow, R"(Cannot update a deleted row)"},
      {SZCanNotDeleteEmptyRow, R"(Cannot delete an empty row)"},
      {SZCanNotUpdateComplexQuery, R"(Cannot update a complex query with more then one table)"},
      {SZCanNotUpdateThisQueryType, R"(Cannot update this query type)"},
      {SZUpdateRecordCount, R"(%d record(s) updated. Only one record should have been updated.)"},
      {SZTableIsNotSpecified, R"(Table is not specified)"},
      {SZQueryIsEmpty, R"(SQL Query is empty)"},
      {SZCanNotExecuteMoreQueries, R"(Cannot execute more then one query)"},
      {SZCircularLink, R"(Datasource makes a circular link)"},
      {SZBookmarkWasNotFound, R"(Bookmark was not found)"},
      {SZIncorrectSearchFieldsNumber, R"(Incorrect number of search field values)"},
      {SZNeedField, R"(Field %s is required, but not supplied.)"},
      {SZUpdateSQLNoResult, R"(Update Refresh SQL delivered no resultset)"},
      {SZIncorrectSymbolInFieldList, R"(Incorrect symbol in field list "%s".)"},
      {SZIncorrectToken, R"(Incorrect token followed by ":")"},
      {SZListCapacityOutOfBounds, R"(List capacity out of bounds (%d))"},
      {SZListCountOutOfBounds, R"(List count out of bounds (%d))"},
      {SZListIndexOutOfBounds, R"(List index out of bounds (%d))"},
      {SZClonningIsNotSupported, R"(Clonning is not supported by this class)"},
      {SZImmutableOpIsNotAllowed, R"(The operation is not allowed on not changeable collections)"},
      {SZInvalidVarByteArray, R"(Invalid VarByte array)"},
      {SZTypesMismatch, R"(Types mismatch)"},
      {SZStackIsEmpty, R"(Stack is empty)"},
      {SZVariableWasNotFound, R"(Variable "%s" was not found)"},
      {SZFunctionWasNotFound, R"(Function "%s" was not found)"},
      {SZVariableAlreadyExists, R"(Variable "%s" already exists)"},
      {SZInternalError, R"(Internal error)"},
      {SZSyntaxErrorNear, R"(Syntax error near "%s")"},
      {SZSyntaxError, R"(Syntax error)"},
      {SZUnknownSymbol, R"(Unknown symbol "%s")"},
      {SZUnexpectedExprEnd, R"(Unexpected end of expression)"},
      {SZRightBraceExpected, R"() expected)"},
      {SZParametersError, R"(%d parameters were expected but %d were found)"},
      {SZExpectedMoreParams, R"(More than two parameters are expected)"},
  };
  EXPECT_EQ(std::size(cases), 84u);
  for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected);
}

TEST(SQLException, ConstructorsSetCodeAndStatus) {
  const EZSQLException own("own");
  EXPECT_EQ(own.ErrorCode(), -1);
  EXPECT_EQ(own.StatusCode(), "");
  const EZSQLException coded(1045, "denied");
  EXPECT_EQ(coded.ErrorCode(), 1045);
  EXPECT_EQ(coded.Message(), "denied");
  const EZSQLException withStatus(AnsiString("28000"), "denied");
  EXPECT_EQ(withStatus.ErrorCode(), 0);
  EXPECT_EQ(withStatus.StatusCode(), "28000");
}

// Catches what RaiseSQLException throws for the given error.
template <class E>
EZSQLException PassedOn(const E& error) {
  try {
    RaiseSQLException(error);
  } catch (const EZSQLException& e) {
    return e;
  }
  ADD_FAILURE() << "RaiseSQLException returned";
  return EZSQLException("none");
}

TEST(SQLException, RaiseSQLExceptionKeepsTheMessageOfForeignErrors) {
  const EZSQLException e = PassedOn(EConvertError("'x' is not a valid integer value"));
  EXPECT_EQ(e.Message(), "'x' is not a valid integer value");
  EXPECT_EQ(e.ErrorCode(), -1);
  EXPECT_EQ(e.StatusCode(), "");
}

TEST(SQLException, RaiseSQLExceptionKeepsCodeAndStatusOfOwnErrors) {
  const EZSQLException e = PassedOn(EZSQLException(1045, "28000", "Access denied"));
  EXPECT_EQ(e.Message(), "Access denied");
  EXPECT_EQ(e.ErrorCode(), 1045);
  EXPECT_EQ(e.StatusCode(), "28000");
}

}  // namespace
