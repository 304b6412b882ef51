// The attach and transaction option blocks, the status check with its log
// event, and the small maps of the driver.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/lists.h"
#include "sql/core/sql_exception.h"
#include "tests/sql/drivers/interbase/interbase_test_support.h"

namespace {

using namespace interbase_test;

AnsiString Bytes(std::initializer_list<int> bytes) {
  AnsiString text;
  for (int b : bytes) text += static_cast<char>(b);
  return text;
}

std::unique_ptr<TStringList> Lines(std::initializer_list<const char*> lines) {
  auto list = std::make_unique<TStringList>();
  for (const char* line : lines) list->Add(line);
  return list;
}

TEST(InterbaseBlocks, DatabaseParameterBlocks) {
  const AnsiString longName(256, 'X');
  const struct {
    std::vector<AnsiString> lines;
    AnsiString block;  // after the version byte
    int dialect;
  } cases[] = {
      {{"isc_dpb_lc_ctype=WIN1250", "isc_dpb_num_buffers=100"},
       Bytes({48, 7}) + "WIN1250" + Bytes({5, 1, 100}), 3},
      {{"isc_dpb_force_write=0", "isc_dpb_sql_role_name=R"}, Bytes({24, 1, 0, 60, 1, 'R'}), 3},
      // An integer above 255 takes four bytes, least significant first.
      {{"isc_dpb_num_buffers=1000"}, Bytes({5, 4, 232, 3, 0, 0}), 3},
      {{"isc_dpb_sweep_interval=70000"}, Bytes({22, 4, 0x70, 0x11, 0x01, 0}), 3},
      {{"isc_dpb_sweep=whatever", "isc_dpb_quit_log=7"}, Bytes({10, 1, 2, 26, 1, 0}), 3},
      {{"ISC_DPB_LC_CTYPE WIN1250"}, Bytes({48, 7}) + "WIN1250", 3},
      // No separator, an unknown name, a handled-elsewhere option: nothing.
      {{"isc_dpb_lc_ctype", "isc_dpb_nonsense=1", "codepage=x", "isc_dpb_sql_dialect=1", "isc_dpb_version1=1"},
       "", 3},
      {{"isc_dpb_set_db_sql_dialect=1"}, "", 1},
      {{"isc_dpb_set_db_sql_dialect=abc"}, "", 0},
      {{"isc_dpb_username=", "isc_dpb_password=p w"}, Bytes({28, 0, 29, 3}) + "p w", 3},
      {{"isc_dpb_lc_ctype=" + AnsiString(255, 'Y')}, Bytes({48, 255}) + AnsiString(255, 'Y'), 3},
  };
  for (const auto& c : cases) {
    TStringList list;
    for (const AnsiString& line : c.lines) list.Add(line);
    std::uint16_t dialect = 3;
    EXPECT_EQ(GenerateDPB(&list, dialect), Bytes({1}) + c.block) << list.Text();
    EXPECT_EQ(dialect, c.dialect) << list.Text();
  }
}

TEST(InterbaseBlocks, DatabaseParameterValuesThatCannotBeWrittenRaise) {
  std::uint16_t dialect = 3;
  EXPECT_THROW(GenerateDPB(Lines({"isc_dpb_num_buffers=abc"}).get(), dialect), EConvertError);
  EXPECT_THROW(GenerateDPB(Lines({"isc_dpb_set_db_sql_dialect=70000"}).get(), dialect), ERangeError);
  TStringList list;
  list.Add("isc_dpb_lc_ctype=" + AnsiString(256, 'X'));
  try {
    GenerateDPB(&list, dialect);
    ADD_FAILURE() << "a 256-byte value went into the block";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "The value of isc_dpb_lc_ctype is longer than 255 bytes");
  }
  // 300 clusters of 250 bytes pass the 16-bit length.
  TStringList big;
  for (int i = 0; i < 300; ++i) big.Add("isc_dpb_lc_messages=" + AnsiString(250, 'm'));
  EXPECT_THROW(GenerateDPB(&big, dialect), EIntOverflow);
}

TEST(InterbaseBlocks, TransactionParameterBlocks) {
  const struct {
    std::vector<AnsiString> lines;
    AnsiString tpb;  // empty: no parameters at all
  } cases[] = {
      {{"isc_tpb_version3", "isc_tpb_read_committed", "isc_tpb_rec_version", "isc_tpb_nowait"}, Bytes({3, 15, 17, 7})},
      // The version byte comes first even when the lines lack it or put it later.
      {{"isc_tpb_concurrency", "isc_tpb_wait"}, Bytes({3, 2, 6})},
      {{"ISC_TPB_CONSISTENCY", "isc_tpb_read", "isc_tpb_version3"}, Bytes({3, 1, 8})},
      // Without an isolation option the server's defaults apply.
      {{"isc_tpb_version3", "isc_tpb_write"}, ""},
      {{}, ""},
      // A reservation names its table; the bare option is skipped.
      {{"isc_tpb_version3", "isc_tpb_concurrency", "isc_tpb_lock_write=T1", "isc_tpb_protected", "isc_tpb_lock_read"},
       Bytes({3, 2, 11, 2, 'T', '1', 4})},
      {{"isc_tpb_version1", "isc_tpb_concurrency", "isc_tpb_wait=1", "hard_commit=yes"}, Bytes({3, 2})},
  };
  isc_db_handle db = 7;
  for (const auto& c : cases) {
    TStringList list;
    for (const AnsiString& line : c.lines) list.Add(line);
    std::unique_ptr<TZTransactionBlock> block = GenerateTPB(&list, &db);
    EXPECT_EQ(block->Tpb(), c.tpb) << list.Text();
    EXPECT_EQ(block->Teb()->db_ptr, &db);
    EXPECT_EQ(block->Teb()->tpb_len, static_cast<int>(c.tpb.size()));
    EXPECT_EQ(block->Teb()->tpb_ptr == nullptr, c.tpb.empty());
  }
}

TEST(InterbaseBlocks, OptionNamesAreTheClientsOwn) {
  EXPECT_EQ(GetInterbase6DatabaseParamNumber("isc_dpb_username"), isc_dpb_user_name);
  EXPECT_EQ(GetInterbase6DatabaseParamNumber("Isc_Dpb_Gstat_Attach"), isc_dpb_gstat_attach);
  EXPECT_EQ(GetInterbase6DatabaseParamNumber("isc_dpb_version1"), 0);
  EXPECT_EQ(GetInterbase6DatabaseParamNumber("dpb_lc_ctype"), 0);
  EXPECT_EQ(GetInterbase6TransactionParamNumber("isc_tpb_no_rec_version"), isc_tpb_no_rec_version);
  EXPECT_EQ(GetInterbase6TransactionParamNumber("isc_tpb_version1"), 0);
}

// A Firebird 2.1 plain driver whose interpretation calls answer as told.
class ScriptedErrorDriver : public TZFirebird21PlainDriver {
public:
  ISC_LONG isc_interprete(ISC_SCHAR* buffer, const ISC_STATUS** status) override {
    ++calls;
    if (next >= lines.size()) return 0;
    std::snprintf(buffer, 1024, "%s", lines[next++].c_str());
    ++*status;
    return static_cast<ISC_LONG>(std::strlen(buffer));
  }
  ISC_LONG isc_sqlcode(const ISC_STATUS*) override {
    ++calls;
    return sqlCode;
  }
  void isc_sql_interprete(short, ISC_SCHAR* buffer, short) override {
    ++calls;
    std::snprintf(buffer, 1024, "%s", sqlMessage.c_str());
  }

  std::vector<std::string> lines;
  std::size_t next = 0;
  ISC_LONG sqlCode = -902;
  std::string sqlMessage = "Unsuccessful";
  int calls = 0;
};

TEST(InterbaseErrors, AVectorWithoutFailureReturnsWithoutAskingTheClient) {
  Ref<ScriptedErrorDriver> plain = MakeRef<ScriptedErrorDriver>();
  const ISC_STATUS noError[ISC_STATUS_LENGTH] = {1, 0};
  const ISC_STATUS empty[ISC_STATUS_LENGTH] = {};
  const ISC_STATUS warning[ISC_STATUS_LENGTH] = {0, 335544721};
  for (const ISC_STATUS* status : {noError, empty, warning}) CheckInterbase6Error(plain.get(), status, lcExecute);
  EXPECT_EQ(plain->calls, 0);
}

TEST(InterbaseErrors, AFailureIsLoggedAndRaisedWithEveryLineAndTheSql) {
  const struct {
    std::vector<std::string> lines;
    AnsiString sql;
    AnsiString message;
  } cases[] = {
      {{"first", "second"}, "", "SQL Error:  first second. Error Code: -902. Unsuccessful"},
      {{"only"}, "SELECT 1", "SQL Error:  only. Error Code: -902. Unsuccessful The SQL: SELECT 1; "},
      // A failure the client cannot put into words still raises.
      {{}, "", "SQL Error: . Error Code: -902. Unsuccessful"},
  };
  for (const auto& c : cases) {
    Ref<ScriptedErrorDriver> plain = MakeRef<ScriptedErrorDriver>();
    plain->lines = c.lines;
    const ISC_STATUS status[ISC_STATUS_LENGTH] = {1, 335544344};
    ScopedLog log;
    try {
      CheckInterbase6Error(plain.get(), status, lcTransaction, c.sql);
      ADD_FAILURE() << "no error raised for " << c.message;
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.Message(), c.message);
      EXPECT_EQ(e.ErrorCode(), -902);
    }
    ASSERT_EQ(log->Events.size(), 1u);
    EXPECT_EQ(log->Events[0].Category, lcTransaction);
    EXPECT_EQ(log->Events[0].Protocol, "firebird-2.1");
    EXPECT_EQ(log->Events[0].ErrorCode, -902);
  }
}

TEST(InterbaseErrors, AnSqlCodeBeyondSixteenBitsIsARangeError) {
  Ref<ScriptedErrorDriver> plain = MakeRef<ScriptedErrorDriver>();
  plain->sqlCode = 40000;
  const ISC_STATUS status[ISC_STATUS_LENGTH] = {1, 335544344};
  EXPECT_THROW(CheckInterbase6Error(plain.get(), status, lcExecute), ERangeError);
}

TEST(InterbaseTypes, CatalogueFieldTypesMapOntoColumnTypes) {
  const struct {
    int type, subType;
    TZSQLType expected;
  } cases[] = {
      {7, 0, stShort},          {7, 1, stDouble},       {7, 3, stUnknown},        {8, 0, stInteger},
      {8, 2, stBigDecimal},     {16, 0, stLong},        {16, 1, stDouble},        {16, 2, stBigDecimal},
      {16, 4, stUnknown},       {14, 0, stString},      {14, 1, stBytes},         {37, 0, stString},
      {15, 3, stUnicodeString}, {15, 9, stString},      {261, 0, stBinaryStream}, {261, 1, stAsciiStream},
      {261, 4, stUnknown},      {261, 6, stAsciiStream}, {261, 7, stUnknown},     {9, 5, stLong},
      {27, 0, stDouble},        {12, 0, stDate},        {13, 0, stTime},          {35, 0, stTimestamp},
      {17, 0, stBoolean},       {23, 0, stBoolean},     {99, 0, stUnknown},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ConvertInterbase6ToSqlType(c.type, c.subType), c.expected) << c.type << "/" << c.subType;
}

TEST(InterbaseTypes, DescriptorTypeNamesAndCursorNames) {
  EXPECT_EQ(GetNameSqlType(SQL_VARYING), "SQL_VARYING");
  EXPECT_EQ(GetNameSqlType(SQL_INT64), "SQL_INT64");
  EXPECT_EQ(GetNameSqlType(SQL_BOOLEAN), "SQL_BOOLEAN");
  EXPECT_EQ(GetNameSqlType(590), "SQL_BOOLEAN");
  EXPECT_EQ(GetNameSqlType(SQL_LONG + 1), "Unknown");
  std::set<AnsiString> names;
  for (int i = 0; i < 20; ++i) {
    const AnsiString name = RandomString(12);
    EXPECT_EQ(name.size(), 12u);
    EXPECT_EQ(name.find_first_not_of("0123456789"), AnsiString::npos) << name;
    names.insert(name);
  }
  EXPECT_GT(names.size(), 15u);
  EXPECT_EQ(RandomString(0), "");
}

}  // namespace
