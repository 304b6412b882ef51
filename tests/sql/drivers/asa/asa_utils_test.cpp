// The ASA type tables, the error check and the cursor names, and the
// binding's entry points and fixed arguments as the client double receives
// them.

#include <gtest/gtest.h>

#include "sql/core/sql_exception.h"
#include "sql/drivers/asa/asa_binding.h"
#include "sql/drivers/asa/asa_utils.h"
#include "tests/sql/core/log_recorder.h"
#include "tests/sql/drivers/asa/asa_test_support.h"
#include "tests/sql/drivers/entry_point_table.h"

namespace {

using dblib_probe::CallsOf;

TEST(ASATypes, ClientCodes) {
  struct Case {
    std::int16_t code;
    TZSQLType type;
    const char* name;
  } cases[] = {
      {453, stString, "DT_FIXCHAR"},        {452, stString, "DT_FIXCHAR"},     {484, stDouble, "DT_DECIMAL"},
      {385, stDate, "DT_DATE"},             {389, stTime, "DT_TIME"},          {390, stTimestamp, "DT_TIMESTAMP_STRUCT"},
      {457, stAsciiStream, "DT_LONGVARCHAR"}, {529, stBinaryStream, "DT_LONGBINARY"},
      {612, stInteger, "DT_UNSINT"},        {617, stShort, "DT_UNSSMALLINT"},  {621, stLong, "DT_UNSBIGINT"},
      {625, stBoolean, "DT_BIT"},           {605, stByte, "DT_TINYINT"},       {600, stString, "DT_VARIABLE"},
      {0, stUnknown, "Unknown"},            {1, stUnknown, "Unknown"},         {486, stUnknown, "Unknown"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ConvertASATypeToSQLType(c.code), c.type) << c.code;
    EXPECT_EQ(ConvertASATypeToString(c.code), c.name) << c.code;
  }
}

TEST(ASATypes, CatalogueCodes) {
  const std::pair<std::int16_t, TZSQLType> cases[] = {
      {-1, stAsciiStream}, {-10, stAsciiStream}, {2, stDouble},     {12, stString},  {-9, stString},
      {4, stInteger},      {5, stShort},         {93, stTimestamp}, {91, stDate},    {92, stTime},
      {1111, stBinaryStream}, {-7, stBoolean},   {-6, stByte},      {-5, stLong},    {-3, stBytes},
      {0, stUnknown},      {9, stUnknown},
  };
  for (const auto& [code, type] : cases) EXPECT_EQ(ConvertASAJDBCToSqlType(code), type) << code;
}

TEST(ASAUtils, CheckASAErrorPassesNonNegativeCodesAndRaisesNegativeOnes) {
  Ref<IZASAPlainDriver> plainDriver = MakeRef<TZASA9PlainDriver>();
  plainDriver->Initialize();
  SQLCA sqlca{};
  ASSERT_NE(plainDriver->db_init(&sqlca), 0);
  ScopedLog log;
  dblib_probe::Reset();
  sqlca.sqlcode = 100;
  CheckASAError(plainDriver.get(), &sqlca, lcOther, "fetch");
  EXPECT_TRUE(log->Events.empty());
  EXPECT_TRUE(CallsOf("sqlerror_message").empty());

  // The double answers with its message for the injected code.
  dblib_probe::Inject("dbpp_commit", {-141, "Table 'x' not found"});
  plainDriver->dbpp_commit(&sqlca, 0);
  try {
    CheckASAError(plainDriver.get(), &sqlca, lcTransaction, "the log line");
    FAIL();
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.ErrorCode(), -141);
    EXPECT_STREQ(e.what(), "SQL Error: Table 'x' not found");
  }
  EXPECT_EQ(CallsOf("sqlerror_message"), (std::vector<std::string>{"1025"}));
  ASSERT_EQ(log->Events.size(), 1u);
  EXPECT_EQ(log->Events[0].Category, lcTransaction);
  EXPECT_EQ(log->Events[0].Protocol, "ASA9");
  EXPECT_EQ(log->Events[0].Message, "the log line");
  EXPECT_EQ(log->Events[0].ErrorCode, -141);
  EXPECT_EQ(log->Events[0].ErrorText, "Table 'x' not found");
  plainDriver->db_fini(&sqlca);
}

TEST(ASAUtils, RandomStringHasExactlyTheDigitsAsked) {
  for (int i = 0; i < 50; ++i) {
    const AnsiString text = RandomString(12);
    ASSERT_EQ(text.size(), 12u);
    EXPECT_EQ(text.find_first_not_of("0123456789"), AnsiString::npos) << text;
  }
  EXPECT_NE(RandomString(12), RandomString(12));
  EXPECT_EQ(RandomString(0), "");
}

TEST(ASABinding, BindsWhatTheLibraryExportsAndPassesTheFixedArguments) {
  Ref<IZASAPlainDriver> plainDriver = MakeRef<TZASA7PlainDriver>();
  plainDriver->Initialize();
  EXPECT_EQ(plainDriver->GetDescription(), "Native Plain Driver for ASA 7.0 DBLib");
  const TZASANativeLibraryLoader& loader = ASALibraryLoader(7);
  EXPECT_NE(loader.Entry(TZASAEntry::dbpp_get_data), nullptr);
  // Entry points nothing calls are not exported by the double and stay unbound.
  EXPECT_EQ(loader.Entry(TZASAEntry::db_find_engine), nullptr);
  EXPECT_EQ(loader.Entry(TZASAEntry::dbpp_fetch_array), nullptr);
  // A generation whose library was never loaded calls nothing.
  SQLCA unused{};
  try {
    MakeRef<TZASA8PlainDriver>()->db_init(&unused);
    FAIL();
  } catch (const EZSQLException& e) {
    EXPECT_STREQ(e.what(), "The client library has no function db_init");
  }

  const std::string database = asa_test::MakeDatabase("CREATE TABLE t (a INTEGER); INSERT INTO t VALUES (7);");
  Ref<TZASAConnection> connection = asa_test::Connection(database, "ASA7");
  connection->Open();
  SQLCA* handle = connection->GetDBHandle();
  dblib_probe::Reset();
  plainDriver->dbpp_execute_imm(handle, "UPDATE t SET a = 8");
  EXPECT_EQ(CallsOf("dbpp_execute_imm"), (std::vector<std::string>{"UPDATE t SET a = 8 2"}));
  EXPECT_EQ(handle->sqlerrd[2], 1);

  short number = 0;
  SQLDA* area = plainDriver->alloc_sqlda(4);
  plainDriver->dbpp_prepare_describe(handle, nullptr, &number, "SELECT a FROM t", area, kDescribeResult, 0);
  CheckASAError(plainDriver.get(), handle, lcExecute, "");
  EXPECT_NE(number, 0);
  plainDriver->dbpp_open(handle, "c1", nullptr, &number, nullptr, 20, 0, 0x22);
  plainDriver->dbpp_fetch(handle, "c1", 1, 70000, area, kFetchTrailing, 0);
  EXPECT_EQ(handle->sqlcode, kSqlNotFound);
  plainDriver->dbpp_delete(handle, "c1");
  EXPECT_EQ(CallsOf("dbpp_prepare_describe"), (std::vector<std::string>{"nil nil SELECT a FROM t nil 2307 0"}));
  EXPECT_EQ(CallsOf("dbpp_open"), (std::vector<std::string>{"c1 nil nil 20 0 34"}));
  EXPECT_EQ(CallsOf("dbpp_fetch"), (std::vector<std::string>{"c1 1 70000 20 0"}));
  EXPECT_EQ(CallsOf("dbpp_delete"), (std::vector<std::string>{"c1 nil nil"}));
  plainDriver->dbpp_close(handle, "c1");
  plainDriver->dbpp_dropstmt(handle, nullptr, nullptr, &number);
  plainDriver->free_sqlda(area);
  connection->Close();
}

// Every bound entry point has its operation: the calls the driver makes
// (the double exports them) and the rest, which the double lacks, so each of
// those must fail naming its function instead of calling through null. Each
// generation also answers to its own interface.
TEST(ASABinding, EveryEntryPointHasItsOperationAndAMissingOneIsNamed) {
  Ref<IZASAPlainDriver> plain = MakeRef<TZASA9PlainDriver>();
  plain->Initialize();
  const EntryPointCalls<IZASAPlainDriver> notCalled = {
      {"db_find_engine", [](IZASAPlainDriver& p) { p.db_find_engine({}, {}); }},
      {"db_start_engine", [](IZASAPlainDriver& p) { p.db_start_engine({}, {}); }},
      {"db_stop_engine", [](IZASAPlainDriver& p) { p.db_stop_engine({}, {}); }},
      {"db_start_database", [](IZASAPlainDriver& p) { p.db_start_database({}, {}); }},
      {"db_stop_database", [](IZASAPlainDriver& p) { p.db_stop_database({}, {}); }},
      {"fill_sqlda", [](IZASAPlainDriver& p) { p.fill_sqlda({}); }},
      {"fill_s_sqlda", [](IZASAPlainDriver& p) { p.fill_s_sqlda({}, {}); }},
      {"free_sqlda_noind", [](IZASAPlainDriver& p) { p.free_sqlda_noind({}); }},
      {"free_filled_sqlda", [](IZASAPlainDriver& p) { p.free_filled_sqlda({}); }},
      {"dbpp_setconnect", [](IZASAPlainDriver& p) { p.dbpp_setconnect({}, {}); }},
      {"dbpp_disconnect", [](IZASAPlainDriver& p) { p.dbpp_disconnect({}, {}); }},
      {"dbpp_prepare_into", [](IZASAPlainDriver& p) { p.dbpp_prepare_into({}, {}, {}, {}, {}, {}, {}); }},
      {"dbpp_declare", [](IZASAPlainDriver& p) { p.dbpp_declare({}, {}, {}, {}, {}, {}); }},
      {"dbpp_fetch_array", [](IZASAPlainDriver& p) { p.dbpp_fetch_array({}, {}, {}, {}, {}, {}, {}, {}); }},
      {"dbpp_put_array", [](IZASAPlainDriver& p) { p.dbpp_put_array({}, {}, {}, {}, {}); }},
      {"dbpp_select", [](IZASAPlainDriver& p) { p.dbpp_select({}, {}, {}, {}, {}); }},
      {"dbpp_explain", [](IZASAPlainDriver& p) { p.dbpp_explain({}, {}, {}); }},
      {"db_register_a_callback", [](IZASAPlainDriver& p) { p.db_register_a_callback({}, {}, {}); }},
  };
  const std::vector<std::string> called = {
      "sqlerror_message", "db_init", "db_fini", "db_string_connect", "db_string_disconnect", "alloc_sqlda",
      "free_sqlda", "dbpp_setoption", "dbpp_describe_cursor", "dbpp_prepare_describe", "dbpp_describe",
      "dbpp_dropstmt", "dbpp_open", "dbpp_close", "dbpp_fetch", "dbpp_get_data", "dbpp_delete", "dbpp_update",
      "dbpp_put_into", "dbpp_execute_into", "dbpp_execute_imm", "dbpp_commit", "dbpp_rollback", "dbpp_resume",
      "db_cancel_request",
  };
  ExpectEveryEntryPointExposed(ASALibraryLoader(9), *plain, called, notCalled);

  Ref<IZASAPlainDriver> asa7 = MakeRef<TZASA7PlainDriver>(), asa8 = MakeRef<TZASA8PlainDriver>();
  EXPECT_TRUE(Query<IZASA7PlainDriver>(asa7) && Query<IZASA8PlainDriver>(asa8) && Query<IZASA9PlainDriver>(plain));
  EXPECT_FALSE(Query<IZASA8PlainDriver>(asa7) || Query<IZASA9PlainDriver>(asa8) || Query<IZASA7PlainDriver>(plain));
}

}  // namespace
