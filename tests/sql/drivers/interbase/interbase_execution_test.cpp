// The execution routines on the embedded engine: statement kinds, changed
// row counts, typed parameter binding, whole blobs written and read, and the
// server's version text.

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "sql/core/dbc/blobs.h"
#include "sql/core/sql_exception.h"
#include "tests/sql/drivers/interbase/interbase_test_support.h"

namespace {

using namespace interbase_test;
using InterbaseExecution = AttachedTest;

constexpr char kFiveRows[] =
    "CREATE TABLE T (A INTEGER, B VARCHAR(10));\n"
    "INSERT INTO T VALUES (1, 'a');\nINSERT INTO T VALUES (2, 'b');\nINSERT INTO T VALUES (3, 'c');\n"
    "INSERT INTO T VALUES (4, 'd');\nINSERT INTO T VALUES (5, 'e');\n";

TEST_F(InterbaseExecution, ChangedRowsByStatementKind) {
  Attach(kFiveRows);
  const struct {
    const char* sql;
    int type;
    int rows;
  } cases[] = {
      {"UPDATE T SET A = A + 10", kStmtUpdate, 5},
      {"INSERT INTO T VALUES (6, 'f')", kStmtInsert, 1},
      {"DELETE FROM T WHERE A > 13", kStmtDelete, 2},
      {"UPDATE T SET A = 0 WHERE A < 0", kStmtUpdate, 0},
      {"SELECT A FROM T", kStmtSelect, -1},
      {"CREATE TABLE X (A INTEGER)", kStmtDdl, -1},
  };
  for (const auto& c : cases) {
    Prepared statement(this, c.sql);
    EXPECT_EQ(statement.type, c.type) << c.sql;
    Execute(statement);
    EXPECT_EQ(GetAffectedRows(Plain(), statement.handle, statement.type), c.rows) << c.sql;
  }
}

TEST_F(InterbaseExecution, AStatementKindNotRunIsRefusedAndFreed) {
  Attach("");
  auto statementsOfOthers = [&] {
    Ref<IZInterbase6Connection> other = Connection();
    other->Open();
    return QueryInteger(other.get(), "SELECT CAST(COUNT(*) AS BIGINT) FROM MON$STATEMENTS "
                                     "WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION");
  };
  {
    Prepared held(this, "SELECT 1 FROM RDB$DATABASE");
    EXPECT_EQ(statementsOfOthers(), 1);
  }
  isc_stmt_handle handle = 0;
  try {
    PrepareStatement(Plain(), Db(), Tr(), Dialect(), "SET TRANSACTION", handle);
    ADD_FAILURE() << "SET TRANSACTION prepared";
  } catch (const EZSQLException& e) {
    EXPECT_EQ(e.Message(), "Statement is not allowed");
  }
  EXPECT_EQ(handle, 0u);
  EXPECT_EQ(statementsOfOthers(), 0);
  // A statement the server refuses leaves no handle either.
  EXPECT_THROW(PrepareStatement(Plain(), Db(), Tr(), Dialect(), "SELECT FROM", handle), EZSQLException);
  EXPECT_EQ(handle, 0u);
  EXPECT_EQ(statementsOfOthers(), 0);
}

TEST_F(InterbaseExecution, ParameterValuesMustMatchTheMarkers) {
  Attach(kFiveRows);
  Prepared insert(this, "INSERT INTO T VALUES (?, ?)");
  for (int count : {1, 3}) {
    Ref<TZParamsSQLDA> params = ParamsArea();
    try {
      PrepareParameters(Plain(), "", TZVariantDynArray(count), TZSQLTypeArray(count, stInteger), count, Dialect(),
                        insert.handle, params.get());
      ADD_FAILURE() << count << " values for two markers";
    } catch (const EZSQLException& e) {
      EXPECT_EQ(e.Message(), "Input parameter count is less then expected");
    }
  }
}

TZVariant Value(const char* text) {
  TZVariant value;
  SoftVarManager()->SetAsString(value, text);
  return value;
}

TEST_F(InterbaseExecution, ParametersAreBoundByTheirTypes) {
  Attach("CREATE TABLE R (ID INTEGER, A INTEGER, S VARCHAR(20), T TIMESTAMP, X BLOB SUB_TYPE 0, N INTEGER);\n");
  TZVariant blob;
  DefaultVarManager()->SetAsInterface(blob, TZAbstractBlob::CreateWithData("blob!", 5));
  TZVariant emptyBlob;
  DefaultVarManager()->SetAsInterface(emptyBlob, MakeRef<TZAbstractBlob>());
  const struct {
    TZVariant x;
  } rows[] = {{blob}, {emptyBlob}};
  for (int id = 0; id < 2; ++id) {
    Prepared insert(this, "INSERT INTO R VALUES (?, ?, ?, ?, ?, ?)");
    Ref<TZParamsSQLDA> params = ParamsArea();
    TZVariant idValue;
    SoftVarManager()->SetAsInteger(idValue, id);
    PrepareParameters(Plain(), "", {idValue, Value("42"), Value("text"), Value("2007-03-04 05:06:07"), rows[id].x,
                                    TZVariant()},
                      {stInteger, stLong, stUnicodeString, stTimestamp, stBinaryStream, stString}, 6, Dialect(),
                      insert.handle, params.get());
    Execute(insert, params.get());
  }
  Prepared unknown(this, "INSERT INTO R (ID) VALUES (?)");
  Ref<TZParamsSQLDA> params = ParamsArea();
  try {
    PrepareParameters(Plain(), "", {Value("1")}, {stUnknown}, 1, Dialect(), unknown.handle, params.get());
    ADD_FAILURE() << "an unknown type bound";
  } catch (const EZIBConvertError& e) {
    EXPECT_EQ(e.Message(), "Unsupported parameter type");
  }
  const std::string output = Outside(
      "SELECT 'r' || ID || '=' || A || '/' || S || '/' || T || '/' || COALESCE(CAST(X AS VARCHAR(10)), 'null') || "
      "'/' || COALESCE(N, 'null') || ';' FROM R;\n");
  EXPECT_NE(output.find("r0=42/text/2007-03-04 05:06:07.0000/blob!/null;"), std::string::npos) << output;
  EXPECT_NE(output.find("r1=42/text/2007-03-04 05:06:07.0000/"), std::string::npos) << output;
}

AnsiString Pattern(int size) {
  AnsiString bytes(static_cast<std::size_t>(size), '\0');
  for (int i = 0; i < size; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>(i % 251);
  return bytes;
}

TEST_F(InterbaseExecution, BlobsAreWrittenInSegmentsAndReadWhole) {
  Attach("CREATE TABLE B (ID INTEGER, X BLOB SUB_TYPE 0);\n"
         "INSERT INTO B VALUES (3, 'first');\nINSERT INTO B VALUES (4, 'second');\n");
  const AnsiString big = Pattern(40000);
  for (const auto& [id, bytes] : {std::pair<int, AnsiString>{1, big}, {2, ""}}) {
    Prepared insert(this, Format("INSERT INTO B VALUES (%d, ?)", {id}));
    Ref<TZParamsSQLDA> params = ParamsArea();
    DescribeParameters(insert, params.get(), 1);
    params->UpdateNull(0, false);
    TStringStream stream(bytes);
    params->WriteBlob(0, &stream);
    EXPECT_EQ(stream.Position(), 0);
    Execute(insert, params.get());
  }
  const AnsiString sql = "SELECT X FROM B ORDER BY ID";
  Prepared select(this, sql);
  Ref<TZResultSQLDA> row = Row(select, sql);
  ISC_QUAD id = row->GetQuad(0);
  isc_blob_handle blob = 0;
  ISC_STATUS_VECTOR status = {};
  Plain()->isc_open_blob2(status, Db(), Tr(), &blob, &id, 0, nullptr);
  CheckInterbase6Error(Plain(), status, lcOther);
  TZBlobInfo info;
  GetBlobInfo(Plain(), blob, info);
  Plain()->isc_close_blob(status, &blob);
  EXPECT_EQ(info.NumSegments, 3);
  EXPECT_EQ(info.MaxSegmentSize, 16384);
  EXPECT_EQ(info.TotalSize, 40000);
  EXPECT_EQ(ReadBlobBuffer(Plain(), Db(), Tr(), id), big);
  TMemoryStream stream;
  row->ReadBlobFromStream(0, &stream);
  EXPECT_EQ(stream.Size(), 40000);

  ASSERT_TRUE(Fetch(select, row.get()));
  EXPECT_FALSE(row->IsNull(0));
  EXPECT_EQ(ReadBlobBuffer(Plain(), Db(), Tr(), row->GetQuad(0)), "");
  EXPECT_EQ(row->GetString(0), "");

  ASSERT_TRUE(Fetch(select, row.get()));
  EXPECT_EQ(row->GetString(0), "first");
  const Variant bytes = row->GetValue(0);
  EXPECT_EQ(VarArrayHighBound(bytes, 1), 4);
  EXPECT_EQ(VarArrayGet(bytes, 0).AsInteger(), 'f');
  ASSERT_TRUE(Fetch(select, row.get()));
  EXPECT_EQ(row->GetString(0), "second");
  EXPECT_EQ(VarArrayHighBound(row->GetValue(0), 1), 5);

  const std::string output = Outside("SELECT 'len' || ID || ':' || OCTET_LENGTH(X) FROM B;\n");
  EXPECT_NE(output.find("len1:40000"), std::string::npos) << output;
  EXPECT_NE(output.find("len2:0"), std::string::npos) << output;
}

// More segments than 16 bits count are still one blob to read.
TEST_F(InterbaseExecution, ABlobOfManySmallSegmentsReadsWhole) {
  Attach("");
  ISC_STATUS_VECTOR status = {};
  isc_blob_handle blob = 0;
  ISC_QUAD id = {};
  Plain()->isc_create_blob2(status, Db(), Tr(), &blob, &id, 0, nullptr);
  const AnsiString bytes = Pattern(70000);
  for (char c : bytes) Plain()->isc_put_segment(status, &blob, 1, &c);
  Plain()->isc_close_blob(status, &blob);
  CheckInterbase6Error(Plain(), status, lcOther);
  EXPECT_EQ(ReadBlobBuffer(Plain(), Db(), Tr(), id), bytes);
}

// The real client, except that segments come back empty or fail.
class FaultySegments : public TZFirebirdD21PlainDriver {
public:
  explicit FaultySegments(bool fail) : fail_(fail) {}
  ISC_STATUS isc_get_segment(ISC_STATUS* status, isc_blob_handle*, unsigned short* actualLength, unsigned short,
                             ISC_SCHAR*) override {
    ++segmentCalls;
    *actualLength = 0;
    status[0] = 1;
    status[1] = fail_ ? isc_io_error : 0;
    status[2] = isc_arg_end;
    return status[1];
  }
  ISC_STATUS isc_cancel_blob(ISC_STATUS* status, isc_blob_handle* blob) override {
    ++cancelled;
    return TZFirebirdD21PlainDriver::isc_cancel_blob(status, blob);
  }
  int segmentCalls = 0;
  int cancelled = 0;

private:
  bool fail_;
};

TEST_F(InterbaseExecution, ABlobReadThatFailsOrStallsCancelsTheBlob) {
  Attach("CREATE TABLE B (X BLOB);\nINSERT INTO B VALUES ('abc');\n");
  const AnsiString sql = "SELECT X FROM B";
  Prepared select(this, sql);
  const ISC_QUAD id = Row(select, sql)->GetQuad(0);
  for (bool fail : {false, true}) {
    Ref<FaultySegments> faulty = MakeRef<FaultySegments>(fail);
    faulty->Initialize();
    EXPECT_THROW(ReadBlobBuffer(faulty.get(), Db(), Tr(), id), EZSQLException) << fail;
    EXPECT_EQ(faulty->segmentCalls, fail ? 1 : 100);
    EXPECT_EQ(faulty->cancelled, 1);
  }
  // Nothing was left open: the blob reads again.
  EXPECT_EQ(ReadBlobBuffer(Plain(), Db(), Tr(), id), "abc");
}

TEST_F(InterbaseExecution, TheServerVersionText) {
  Attach("");
  EXPECT_EQ(GetDatabaseVersionString(Plain(), Db()), "LI-V6.3.11.33637 Firebird 3.0");
}

}  // namespace
