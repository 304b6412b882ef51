// The client binding against the double: which entry points are bound, the
// one-time start of the client, the orderly error of a missing library or
// function, and the plain driver both protocols reach.

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/rtl/exceptions.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/oracle/oracle_binding.h"
#include "tests/sql/drivers/entry_point_table.h"
#include "tests/sql/drivers/oracle/oracle_test_support.h"

namespace {

using namespace oracle_test;
using OracleBinding = OracleTest;

// The calls the driver makes: the double exports exactly these.
const std::vector<std::string> kCalledEntryPoints = {
    "OCIInitialize", "OCIEnvInit", "OCIHandleAlloc", "OCIHandleFree", "OCIAttrSet", "OCIAttrGet",
    "OCIDescriptorAlloc", "OCIDescriptorFree", "OCIErrorGet", "OCIServerAttach", "OCIServerDetach",
    "OCISessionBegin", "OCISessionEnd", "OCITransStart", "OCITransCommit", "OCITransRollback", "OCIStmtPrepare",
    "OCIStmtExecute", "OCIStmtFetch", "OCIParamGet", "OCIDefineByPos", "OCIBindByPos", "OCILobRead", "OCILobTrim",
    "OCILobWrite", "OCILobCreateTemporary", "OCILobFreeTemporary", "OCILobClose", "OCILobOpen",
    "OCIDateTimeGetDate", "OCIDateTimeGetTime", "OCIDateTimeConstruct",
};

TEST_F(OracleBinding, TheCallTableIsBoundAndTheOtherEntryPointsStayNull) {
  Connect();
  TZOracleNativeLibraryLoader& loader = OracleLibraryLoader();
  ASSERT_TRUE(loader.Loaded());
  EXPECT_EQ(loader.Libraries(), std::vector<AnsiString>{"libclntsh.so"});
  std::vector<std::string> bound, unbound;
  for (int i = 0; i < kOracleEntryCount; ++i) {
    auto entry = static_cast<TZOracleEntry>(i);
    (loader.Entry(entry) ? bound : unbound).push_back(OracleEntryName(entry));
  }
  std::vector<std::string> expected = kCalledEntryPoints;
  std::sort(expected.begin(), expected.end());
  std::sort(bound.begin(), bound.end());
  EXPECT_EQ(bound, expected);
  EXPECT_EQ(unbound.size(), 39u);
  EXPECT_EQ(OracleEntryName(TZOracleEntry::OCIEnvCreate), std::string("OCIEnvCreate"));
  EXPECT_EQ(OracleEntryName(TZOracleEntry::OCIDescribeAny), std::string("OCIDescribeAny"));
}

// Every bound entry point has its operation: the calls the driver makes
// (the double exports them) and the rest, which the double lacks, so each of
// those must fail naming its function instead of calling through null.
TEST_F(OracleBinding, EveryEntryPointHasItsOperationAndAMissingOneIsNamed) {
  Ref<IZOraclePlainDriver> plain = Connect()->GetPlainDriver();
  const EntryPointCalls<IZOraclePlainDriver> notCalled = {
      {"OCIEnvCreate", [](IZOraclePlainDriver& p) { p.OCIEnvCreate({}, {}, {}, {}, {}, {}, {}, {}); }},
      {"OCIServerVersion", [](IZOraclePlainDriver& p) { p.OCIServerVersion({}, {}, {}, {}, {}); }},
      {"OCIBreak", [](IZOraclePlainDriver& p) { p.OCIBreak({}, {}); }},
      {"OCIReset", [](IZOraclePlainDriver& p) { p.OCIReset({}, {}); }},
      {"OCIPasswordChange", [](IZOraclePlainDriver& p) { p.OCIPasswordChange({}, {}, {}, {}, {}, {}, {}, {}, {}); }},
      {"OCITransDetach", [](IZOraclePlainDriver& p) { p.OCITransDetach({}, {}, {}); }},
      {"OCITransPrepare", [](IZOraclePlainDriver& p) { p.OCITransPrepare({}, {}, {}); }},
      {"OCITransForget", [](IZOraclePlainDriver& p) { p.OCITransForget({}, {}, {}); }},
      {"OCIStmtGetPieceInfo", [](IZOraclePlainDriver& p) { p.OCIStmtGetPieceInfo({}, {}, {}, {}, {}, {}, {}, {}); }},
      {"OCIStmtSetPieceInfo", [](IZOraclePlainDriver& p) { p.OCIStmtSetPieceInfo({}, {}, {}, {}, {}, {}, {}, {}); }},
      {"OCIResultSetToStmt", [](IZOraclePlainDriver& p) { p.OCIResultSetToStmt({}, {}); }},
      {"OCIDefineArrayOfStruct", [](IZOraclePlainDriver& p) { p.OCIDefineArrayOfStruct({}, {}, {}, {}, {}, {}); }},
      {"OCIBindByName",
       [](IZOraclePlainDriver& p) { p.OCIBindByName({}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}); }},
      {"OCIBindDynamic", [](IZOraclePlainDriver& p) { p.OCIBindDynamic({}, {}, {}, {}, {}, {}); }},
      {"OCILobAppend", [](IZOraclePlainDriver& p) { p.OCILobAppend({}, {}, {}, {}); }},
      {"OCILobAssign", [](IZOraclePlainDriver& p) { p.OCILobAssign({}, {}, {}, {}); }},
      {"OCILobCopy", [](IZOraclePlainDriver& p) { p.OCILobCopy({}, {}, {}, {}, {}, {}, {}); }},
      {"OCILobEnableBuffering", [](IZOraclePlainDriver& p) { p.OCILobEnableBuffering({}, {}, {}); }},
      {"OCILobDisableBuffering", [](IZOraclePlainDriver& p) { p.OCILobDisableBuffering({}, {}, {}); }},
      {"OCILobErase", [](IZOraclePlainDriver& p) { p.OCILobErase({}, {}, {}, {}, {}); }},
      {"OCILobFileExists", [](IZOraclePlainDriver& p) { p.OCILobFileExists({}, {}, {}, {}); }},
      {"OCILobFileGetName", [](IZOraclePlainDriver& p) { p.OCILobFileGetName({}, {}, {}, {}, {}, {}, {}); }},
      {"OCILobFileSetName", [](IZOraclePlainDriver& p) { p.OCILobFileSetName({}, {}, {}, {}, {}, {}, {}); }},
      {"OCILobFlushBuffer", [](IZOraclePlainDriver& p) { p.OCILobFlushBuffer({}, {}, {}, {}); }},
      {"OCILobGetLength", [](IZOraclePlainDriver& p) { p.OCILobGetLength({}, {}, {}, {}); }},
      {"OCILobIsOpen", [](IZOraclePlainDriver& p) { p.OCILobIsOpen({}, {}, {}, {}); }},
      {"OCILobLoadFromFile", [](IZOraclePlainDriver& p) { p.OCILobLoadFromFile({}, {}, {}, {}, {}, {}, {}); }},
      {"OCILobLocatorIsInit", [](IZOraclePlainDriver& p) { p.OCILobLocatorIsInit({}, {}, {}, {}); }},
      {"OCILobIsTemporary", [](IZOraclePlainDriver& p) { p.OCILobIsTemporary({}, {}, {}, {}); }},
      {"OCIDateTimeAssign", [](IZOraclePlainDriver& p) { p.OCIDateTimeAssign({}, {}, {}, {}); }},
      {"OCIDateTimeCheck", [](IZOraclePlainDriver& p) { p.OCIDateTimeCheck({}, {}, {}, {}); }},
      {"OCIDateTimeCompare", [](IZOraclePlainDriver& p) { p.OCIDateTimeCompare({}, {}, {}, {}, {}); }},
      {"OCIDateTimeConvert", [](IZOraclePlainDriver& p) { p.OCIDateTimeConvert({}, {}, {}, {}); }},
      {"OCIDateTimeFromText",
       [](IZOraclePlainDriver& p) { p.OCIDateTimeFromText({}, {}, {}, {}, {}, {}, {}, {}, {}); }},
      {"OCIDateTimeGetTimeZoneOffset",
       [](IZOraclePlainDriver& p) { p.OCIDateTimeGetTimeZoneOffset({}, {}, {}, {}, {}); }},
      {"OCIDateTimeSysTimeStamp", [](IZOraclePlainDriver& p) { p.OCIDateTimeSysTimeStamp({}, {}, {}); }},
      {"OCIDateTimeToText",
       [](IZOraclePlainDriver& p) { p.OCIDateTimeToText({}, {}, {}, {}, {}, {}, {}, {}, {}, {}); }},
      {"OCIDateTimeGetTimeZoneName", [](IZOraclePlainDriver& p) { p.OCIDateTimeGetTimeZoneName({}, {}, {}, {}, {}); }},
      {"OCIDescribeAny", [](IZOraclePlainDriver& p) { p.OCIDescribeAny({}, {}, {}, {}, {}, {}, {}, {}); }},
  };
  ExpectEveryEntryPointExposed(OracleLibraryLoader(), *plain, kCalledEntryPoints, notCalled);
}

TEST_F(OracleBinding, TheClientStartsOnceForTwoConnections) {
  Ref<IZOracleConnection> first = Connect();
  Ref<IZOracleConnection> second = Connect();
  EXPECT_EQ(oci_probe::Probe().calls["OCIInitialize"], 1);
  EXPECT_NE(first->GetEnvironmentHandle(), second->GetEnvironmentHandle());
}

TEST_F(OracleBinding, AMissingLibraryFailsTheConnectUntilItIsThere) {
  const std::filesystem::path library = folder_ / "libclntsh.so";
  OracleLibraryLoader().SetLibraries({library.string()});
  try {
    Connect();
    ADD_FAILURE() << "connected without a client library";
  } catch (const EZSQLException& e) {
    ADD_FAILURE() << "loader error expected, got " << e.Message();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "None of the dynamic libraries can be found: " + library.string());
  }
  EXPECT_FALSE(OracleLibraryLoader().Loaded());

  std::filesystem::copy_file(std::filesystem::path(VX_OCI_DOUBLE_DIR) / "libclntsh.so", library);
  Ref<IZOracleConnection> connection = Connect();
  EXPECT_FALSE(connection->IsClosed());
  EXPECT_EQ(oci_probe::Probe().calls["OCIInitialize"], 1);
}

TEST_F(OracleBinding, ACallWithoutItsEntryPointRaisesAnOrderlyError) {
  // A library that exports none of the client's calls.
  OracleLibraryLoader().SetLibraries({"libz.so.1"});
  try {
    Connect();
    ADD_FAILURE() << "connected through a library without client calls";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "The client library has no function OCIInitialize");
    EXPECT_EQ(e.ErrorCode(), -1);
  }
  auto plain = MakeRef<TZOracle9iPlainDriver>();
  EXPECT_THROW(plain->OCIHandleFree(nullptr, OCI_HTYPE_ENV), EZSQLException);
}

TEST_F(OracleBinding, BothProtocolsReachTheOnePlainDriver) {
  Ref<TZOracleDriver> driver = OracleDriver();
  EXPECT_EQ(driver->GetSupportedProtocols(), (TZStringDynArray{"oracle", "oracle-9i"}));
  Ref<IZOraclePlainDriver> plain = driver->GetPlainDriverForUrl(Url("oracle"));
  EXPECT_EQ(driver->GetPlainDriverForUrl(Url("oracle-9i")).get(), plain.get());
  EXPECT_EQ(plain->GetProtocol(), "oracle-9i");
  EXPECT_EQ(plain->GetDescription(), "Native Plain Driver for Oracle 9i");
  EXPECT_EQ(driver->GetMajorVersion(), 1);
  EXPECT_EQ(driver->GetMinorVersion(), 0);
  EXPECT_THROW(driver->GetPlainDriverForUrl("zdbc:mysql://h/db"), EZSQLException);
  EXPECT_EQ(DriverManager()->GetDriver(Url("oracle-9i")).get(), static_cast<IZDriver*>(driver.get()));

  Ref<IZOracleConnection> connection = Query<IZOracleConnection>(DriverManager()->GetConnection(Url("oracle-9i")));
  EXPECT_EQ(connection->GetPlainDriver()->GetProtocol(), "oracle-9i");
}

}  // namespace

namespace {

using namespace oracle_test;
using OracleDouble = OracleTest;

// The guard every test's tear-down relies on: the double refuses, and
// records, a value the driver's calls must not pass.
TEST_F(OracleDouble, RefusesValuesTheCallsMustNotReceive) {
  Ref<IZOracleConnection> connection = Connect();
  Ref<IZOraclePlainDriver> plain = connection->GetPlainDriver();
  void* handle = nullptr;
  EXPECT_EQ(plain->OCIHandleAlloc(connection->GetEnvironmentHandle(), &handle, 99, 0, nullptr), OCI_INVALID_HANDLE);
  EXPECT_EQ(plain->OCITransStart(connection->GetContextHandle(), connection->GetErrorHandle(), 0, 256),
            OCI_INVALID_HANDLE);
  EXPECT_EQ(plain->OCIHandleFree(connection->GetEnvironmentHandle(), OCI_HTYPE_ERROR), OCI_INVALID_HANDLE);
  EXPECT_EQ(oci_probe::EventsStartingWith("refused"),
            (std::vector<std::string>{"refused OCIHandleAlloc type 99", "refused OCITransStart flags 256",
                                      "refused OCIHandleFree handle of type 2"}));
  oci_probe::Probe().events.clear();
}

}  // namespace
