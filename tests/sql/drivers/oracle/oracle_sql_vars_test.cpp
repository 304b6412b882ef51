// SQL variables: buffers and type codes per column type, parameter values
// loaded into them and read by the client double at execution, the reset
// after it, the release of descriptors, and the two type maps.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/oracle/oracle_sql_vars.h"
#include "sql/drivers/oracle/oracle_utils.h"
#include "tests/sql/drivers/oracle/oracle_test_support.h"

namespace {

using namespace oracle_test;
using oci_probe::EventsStartingWith;
using oci_probe::LiveCount;
using oci_probe::Probe;

class OracleSQLVars : public OracleTest {
protected:
  void SetUp() override {
    OracleTest::SetUp();
    connection = Connect();
    plain = connection->GetPlainDriver().get();
  }
  void TearDown() override {
    FreeVarBlock(plain, block);
    connection = nullptr;
    OracleTest::TearDown();
  }

  // A block of parameters prepared as the prepared statement does: type
  // code 5 unless a LOB, data size 1024.
  void PrepareParams(std::initializer_list<TZSQLType> types) {
    AllocateVarBlock(block, static_cast<int>(types.size()));
    block->ActualNum = block->AllocNum;
    int i = 1;
    for (TZSQLType type : types) PrepareVar(plain, connection.get(), block->Variable(i++), type, SQLT_STR, 1024);
  }
  void BindParams(ClientStatement& statement) {
    for (int i = 1; i <= block->ActualNum; ++i)
      BindParamVar(plain, statement.handle, statement.error, i, block->Variable(i), "INSERT");
  }

  template <class T>
  T BufferValue(int index) {
    T value;
    std::memcpy(&value, block->Variable(index).Data, sizeof value);
    return value;
  }

  TZVariant Value(std::int64_t value) {
    TZVariant v;
    DefaultVarManager()->SetAsInteger(v, value);
    return v;
  }

  Ref<IZOracleConnection> connection;
  IZOraclePlainDriver* plain = nullptr;
  std::unique_ptr<TZSQLVars> block;
};

TEST_F(OracleSQLVars, EachTypeGetsItsCodeAndBuffer) {
  const int kPointer = static_cast<int>(sizeof(void*));
  const struct {
    TZSQLType type;
    ub2 typeCode;
    int dataSize;
    ub2 expectedCode;
    int expectedLength;
    unsigned descriptor;
  } cases[] = {
      {stByte, 0, 0, 3, 4, 0},
      {stShort, 0, 0, 3, 4, 0},
      {stInteger, 0, 0, 3, 4, 0},
      {stLong, 0, 0, 3, 8, 0},
      {stFloat, 0, 0, 4, 8, 0},
      {stDouble, 0, 0, 4, 8, 0},
      {stString, 0, 30, 5, 31, 0},
      {stDate, 0, 0, 187, kPointer, OCI_DTYPE_TIMESTAMP},
      {stTime, 0, 0, 187, kPointer, OCI_DTYPE_TIMESTAMP},
      {stTimestamp, 0, 0, 187, kPointer, OCI_DTYPE_TIMESTAMP},
      {stAsciiStream, 0, 0, 94, 131076, 0},
      {stAsciiStream, 0, 100, 94, 104, 0},
      {stAsciiStream, 112, 0, 112, kPointer, OCI_DTYPE_LOB},
      {stBinaryStream, 0, 10, 95, 14, 0},
      {stBinaryStream, 113, 0, 113, kPointer, OCI_DTYPE_LOB},
      {stBoolean, 5, 1024, 5, 0, 0},
      {stUnicodeString, 5, 1024, 5, 0, 0},
  };
  const int count = static_cast<int>(std::size(cases));
  AllocateVarBlock(block, count);
  block->ActualNum = count;
  for (int i = 1; i <= count; ++i) {
    const auto& c = cases[i - 1];
    TZSQLVar& variable = block->Variable(i);
    PrepareVar(plain, connection.get(), variable, c.type, c.typeCode, c.dataSize);
    EXPECT_EQ(variable.ColType, c.type) << i;
    EXPECT_EQ(variable.TypeCode, c.expectedCode) << i;
    EXPECT_EQ(variable.Length, c.expectedLength) << i;
    EXPECT_EQ(variable.Data != nullptr, c.expectedLength > 0) << i;
    if (c.descriptor) {
      void* descriptor;
      std::memcpy(&descriptor, variable.Data, sizeof descriptor);
      EXPECT_EQ(Probe().live[descriptor], c.descriptor) << i;
    }
  }
  EXPECT_EQ(LiveCount(OCI_DTYPE_TIMESTAMP), 3);
  EXPECT_EQ(LiveCount(OCI_DTYPE_LOB), 2);

  // A NULL parameter still owns its descriptor when the block goes.
  block->Variable(8).Data = nullptr;
  FreeVarBlock(plain, block);
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(EventsStartingWith("free descriptor").size(), 5u);
  EXPECT_EQ(LiveCount(OCI_DTYPE_TIMESTAMP) + LiveCount(OCI_DTYPE_LOB), 0);
}

TEST_F(OracleSQLVars, UnknownColumnsGetNoBufferAndSizesAreBounded) {
  AllocateVarBlock(block, 2);
  block->ActualNum = 2;
  PrepareVar(plain, connection.get(), block->Variable(1), stUnknown, 0, 10);
  EXPECT_EQ(block->Variable(1).Data, nullptr);
  EXPECT_EQ(block->Variable(1).Length, 0);
  EXPECT_THROW(PrepareVar(plain, connection.get(), block->Variable(2), stString, 0, 65536), ERangeError);
  EXPECT_THROW(block->Variable(0), ERangeError);
  EXPECT_THROW(block->Variable(3), ERangeError);

  std::unique_ptr<TZSQLVars> large;
  EXPECT_THROW(AllocateVarBlock(large, kMaxSQLVars + 1), ERangeError);
  AllocateVarBlock(large, kMaxSQLVars);
  EXPECT_NO_THROW(large->Variable(kMaxSQLVars));

  // An empty block loads and resets nothing.
  std::unique_ptr<TZSQLVars> empty;
  AllocateVarBlock(empty, 0);
  LoadParamVars(plain, connection.get(), nullptr, nullptr, {}, *empty);
  ResetParamVars(*empty);
  FreeVarBlock(plain, empty);
  FreeVarBlock(plain, empty);
  EXPECT_EQ(empty, nullptr);
}

TEST_F(OracleSQLVars, ValuesReachTheClientInTheirBuffers) {
  Outside("CREATE TABLE t (i NUMBER(9,0), l NUMBER(10,0), d FLOAT, s VARCHAR2(4000), ts TIMESTAMP)");
  ClientStatement statement(connection.get());
  ASSERT_EQ(statement.Prepare("INSERT INTO t VALUES (:P1, :P2, :P3, :P4, :P5)"), OCI_SUCCESS);
  PrepareParams({stInteger, stLong, stDouble, stString, stTimestamp});
  BindParams(statement);

  const std::int64_t kBig = std::int64_t{1} << 40;
  const AnsiString text(3000, 'x');
  TZVariantDynArray values(5);
  values[0] = Value(42);
  values[1] = Value(kBig);
  DefaultVarManager()->SetAsFloat(values[2], 2.5);
  DefaultVarManager()->SetAsString(values[3], text);
  DefaultVarManager()->SetAsDateTime(values[4], EncodeDate(2024, 5, 6) + EncodeTime(7, 8, 9, 890));
  const std::size_t before = Probe().events.size();
  LoadParamVars(plain, connection.get(), statement.handle, statement.error, values, *block);

  EXPECT_EQ(block->Variable(1).Length, 4);
  EXPECT_EQ(BufferValue<std::int32_t>(1), 42);
  EXPECT_EQ(block->Variable(2).Length, 8);
  EXPECT_EQ(BufferValue<std::int64_t>(2), kBig);
  EXPECT_EQ(BufferValue<double>(3), 2.5);
  EXPECT_EQ(block->Variable(4).Length, 3001);
  EXPECT_EQ(std::strlen(block->Variable(4).Data), 3000u);
  // The longer text was bound again before the execution.
  EXPECT_EQ(std::vector<std::string>(Probe().events.begin() + static_cast<std::ptrdiff_t>(before), Probe().events.end()),
            std::vector<std::string>{"bind 4 type 5 size 3001"});
  void* descriptor;
  std::memcpy(&descriptor, block->Variable(5).Data, sizeof descriptor);
  ub1 hour, minute, second;
  ub4 fraction;
  ASSERT_EQ(plain->OCIDateTimeGetTime(connection->GetEnvironmentHandle(), statement.error,
                                      static_cast<OCIDateTime*>(descriptor), &hour, &minute, &second, &fraction),
            OCI_SUCCESS);
  EXPECT_EQ(fraction, 890000000u);

  ASSERT_EQ(statement.Execute(connection.get()), OCI_SUCCESS);
  ResetParamVars(*block);
  connection->Commit();
  EXPECT_EQ(Outside("SELECT i || '|' || l || '|' || d || '|' || length(s) || '|' || ts FROM t"),
            std::vector<std::string>{"42|1099511627776|2.5|3000|2024-05-06 07:08:09.890000000"});
}

TEST_F(OracleSQLVars, AWideNumberColumnIsReadWhole) {
  Outside("CREATE TABLE t (l NUMBER(10,0))");
  Outside("INSERT INTO t VALUES (1099511627776)");
  ClientStatement statement(connection.get());
  ASSERT_EQ(statement.Prepare("SELECT l FROM t"), OCI_SUCCESS);
  AllocateVarBlock(block, 1);
  block->ActualNum = 1;
  TZSQLVar& column = block->Variable(1);
  column.DataType = 2;
  column.Precision = 10;
  DescribeOracleColumnType(column);
  ASSERT_EQ(column.ColType, stLong);
  PrepareVar(plain, connection.get(), column, column.ColType, column.TypeCode, 22);
  ASSERT_EQ(plain->OCIDefineByPos(statement.handle, &column.Define, statement.error, 1, column.Data, column.Length,
                                  column.TypeCode, &column.Indicator, nullptr, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(statement.Execute(connection.get()), OCI_SUCCESS);
  EXPECT_EQ(column.Indicator, 0);
  EXPECT_EQ(BufferValue<std::int64_t>(1), std::int64_t{1} << 40);
}

TEST_F(OracleSQLVars, ANullLeavesNoBufferUntilTheReset) {
  Outside("CREATE TABLE t (i NUMBER(9,0), s VARCHAR2(10))");
  ClientStatement statement(connection.get());
  ASSERT_EQ(statement.Prepare("INSERT INTO t VALUES (:P1, :P2)"), OCI_SUCCESS);
  PrepareParams({stInteger, stString});
  BindParams(statement);
  TZVariantDynArray values(2);
  LoadParamVars(plain, connection.get(), statement.handle, statement.error, values, *block);
  for (int i = 1; i <= 2; ++i) {
    EXPECT_EQ(block->Variable(i).Data, nullptr) << i;
    EXPECT_EQ(block->Variable(i).Indicator, -1) << i;
  }
  ASSERT_EQ(statement.Execute(connection.get()), OCI_SUCCESS);
  ResetParamVars(*block);
  EXPECT_NE(block->Variable(1).Data, nullptr);
  EXPECT_NE(block->Variable(2).Data, nullptr);

  values[0] = Value(7);
  DefaultVarManager()->SetAsString(values[1], "seven");
  LoadParamVars(plain, connection.get(), statement.handle, statement.error, values, *block);
  ASSERT_EQ(statement.Execute(connection.get()), OCI_SUCCESS);
  ResetParamVars(*block);
  connection->Commit();
  EXPECT_EQ(Outside("SELECT coalesce(i, 'NULL') || '|' || coalesce(s, 'NULL') FROM t ORDER BY rowid"),
            (std::vector<std::string>{"NULL|NULL", "7|seven"}));
}

TEST_F(OracleSQLVars, BadValuesFailBeforeTheClientIsCalled) {
  PrepareParams({stInteger, stString});
  TZVariantDynArray values(2);
  values[0] = Value(std::int64_t{1} << 31);
  DefaultVarManager()->SetAsString(values[1], AnsiString(2000, 'y'));
  const int binds = Probe().calls["OCIBindByPos"];
  EXPECT_THROW(LoadParamVars(plain, connection.get(), nullptr, nullptr, values, *block), ERangeError);
  EXPECT_EQ(Probe().calls["OCIBindByPos"], binds);
  values[0] = Value(-(std::int64_t{1} << 31) - 1);
  EXPECT_THROW(LoadParamVars(plain, connection.get(), nullptr, nullptr, values, *block), ERangeError);

  // Values of types without a buffer are refused rather than sent empty;
  // too few values likewise.
  const struct {
    TZSQLType type;
    ub2 typeCode;
  } refused[] = {{stBoolean, SQLT_STR}, {stBytes, SQLT_STR}, {stUnicodeStream, SQLT_STR}};
  for (const auto& c : refused) {
    std::unique_ptr<TZSQLVars> one;
    AllocateVarBlock(one, 1);
    one->ActualNum = 1;
    PrepareVar(plain, connection.get(), one->Variable(1), c.type, c.typeCode, 1024);
    try {
      LoadParamVars(plain, connection.get(), nullptr, nullptr, {Value(1)}, *one);
      ADD_FAILURE() << GetSQLTypeName(c.type) << " accepted";
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.Message(), "Unsupported parameter type");
    }
    FreeVarBlock(plain, one);
  }
  EXPECT_THROW(LoadParamVars(plain, connection.get(), nullptr, nullptr, {Value(1)}, *block), EZSQLException);
}

TEST(OracleTypeMaps, CatalogueTypeNames) {
  const struct {
    const char* name;
    int precision;
    int scale;
    TZSQLType expected;
  } cases[] = {
      {"CHAR", 0, 0, stString},          {"varchar2", 0, 0, stString},        {"NCHAR", 0, 0, stUnicodeString},
      {"NVARCHAR2", 0, 0, stUnicodeString}, {"FLOAT", 0, 0, stDouble},      {"DATE", 0, 0, stDate},
      {"BLOB", 0, 0, stBinaryStream},    {"RAW", 0, 0, stBinaryStream},       {"LONG RAW", 0, 0, stBinaryStream},
      {"CLOB", 0, 0, stAsciiStream},     {"LONG", 0, 0, stAsciiStream},       {"NCLOB", 0, 0, stUnicodeStream},
      {"TIMESTAMP(6)", 0, 0, stTimestamp}, {"timestamp with time zone", 0, 0, stTimestamp},
      {"NUMBER", 10, 2, stDouble},       {"NUMBER", 0, 0, stLong},            {"NUMBER", 2, 0, stByte},
      {"NUMBER", 4, 0, stShort},         {"NUMBER", 5, 0, stInteger},         {"NUMBER", 9, 0, stInteger},
      {"NUMBER", 10, 0, stLong},         {"XMLTYPE", 0, 0, stUnknown},        {"", 0, 0, stUnknown},
  };
  for (const auto& c : cases)
    EXPECT_EQ(OracleTypeNameToSQLType(c.name, c.precision, c.scale), c.expected) << c.name << " " << c.precision;
}

TEST(OracleTypeMaps, DescribedColumnTypes) {
  const struct {
    ub2 dataType;
    int precision;
    int scale;
    TZSQLType expected;
    ub2 typeCode;
    ub2 dataSize;
  } cases[] = {
      {1, 0, 0, stString, 0, 50},     {96, 0, 0, stString, 0, 50},     {155, 0, 0, stString, 0, 50},
      {11, 0, 0, stString, 0, 20},    {104, 0, 0, stString, 0, 20},    {2, 0, 0, stDouble, 0, 50},
      {2, 8, 2, stDouble, 0, 50},     {2, 2, 0, stByte, 0, 50},        {2, 4, 0, stShort, 0, 50},
      {2, 9, 0, stInteger, 0, 50},    {2, 10, 0, stLong, 0, 50},       {3, 0, 0, stInteger, 0, 50},
      {29, 0, 0, stInteger, 0, 50},   {8, 0, 0, stAsciiStream, 0, 50}, {94, 0, 0, stAsciiStream, 0, 50},
      {12, 0, 0, stDate, 0, 50},      {184, 0, 0, stDate, 0, 50},      {185, 0, 0, stTime, 0, 50},
      {186, 0, 0, stTime, 0, 50},     {187, 0, 0, stTimestamp, 0, 50}, {232, 0, 0, stTimestamp, 0, 50},
      {23, 0, 0, stBinaryStream, 0, 50}, {24, 0, 0, stBinaryStream, 0, 50},
      {112, 0, 0, stAsciiStream, 112, 50}, {113, 0, 0, stBinaryStream, 113, 50},
      {4, 0, 0, stUnknown, 0, 50},    {999, 0, 0, stUnknown, 0, 50},
  };
  for (const auto& c : cases) {
    TZSQLVar variable;
    variable.DataType = c.dataType;
    variable.DataSize = 50;
    variable.Precision = c.precision;
    variable.Scale = c.scale;
    DescribeOracleColumnType(variable);
    EXPECT_EQ(variable.ColType, c.expected) << c.dataType << " " << c.precision;
    EXPECT_EQ(variable.TypeCode, c.typeCode) << c.dataType;
    EXPECT_EQ(variable.DataSize, c.dataSize) << c.dataType;
  }
}

}  // namespace
