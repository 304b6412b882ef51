// The ASA descriptor area: the buffers a describe and the setters give,
// the conversions of the getters with their range and conversion errors,
// and long values read through the cursor in pieces.

#include <cstring>

#include <gtest/gtest.h>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "sql/core/sql_exception.h"
#include "sql/drivers/asa/asa_sqlda.h"
#include "sql/drivers/asa/asa_utils.h"
#include "tests/sql/drivers/asa/asa_test_support.h"

namespace {

using dblib_probe::CallsOf;

// An area of count variables in use, as a describe leaves it.
struct Area {
  explicit Area(int count) { sqlda->GetData()->sqld = static_cast<std::uint16_t>(count); }
  static Ref<IZASAPlainDriver> Loaded() {
    Ref<IZASAPlainDriver> plainDriver = MakeRef<TZASA9PlainDriver>();
    plainDriver->Initialize();
    return plainDriver;
  }
  SQLVAR& Var(int index) { return sqlda->GetData()->sqlvar[index]; }

  Ref<IZASAPlainDriver> plainDriver = Loaded();
  SQLCA sqlca{};
  Ref<TZASASQLDA> sqlda = MakeRef<TZASASQLDA>(plainDriver, &sqlca, "cur", 4);
};

TEST(ASASQLDA, DescribedTextsAndBinariesBecomeLongFrom256Bytes) {
  struct Case {
    std::int16_t described;
    std::uint16_t length;
    std::int16_t type;
    std::uint16_t sqllen;
  } cases[] = {
      {DT_VARCHAR + 1, 255, DT_VARCHAR + 1, 259},  {DT_VARCHAR + 1, 256, DT_LONGVARCHAR + 1, 16},
      {DT_FIXCHAR, 10, DT_VARCHAR, 14},            {DT_STRING + 1, 300, DT_LONGVARCHAR + 1, 16},
      {DT_BINARY + 1, 255, DT_BINARY + 1, 259},    {DT_LONGBINARY, 100, DT_BINARY, 104},
      {DT_LONGBINARY + 1, 32767, DT_LONGBINARY + 1, 16},
      {DT_DATE + 1, 4, DT_TIMESTAMP_STRUCT + 1, 14}, {DT_DECIMAL, 30 | 6 << 8, DT_DOUBLE, 8},
      {DT_INT + 1, 4, DT_INT + 1, 4},
  };
  for (const Case& c : cases) {
    Area area(1);
    area.Var(0).sqltype = c.described;
    area.Var(0).sqllen = c.length;
    area.sqlda->InitFields();
    EXPECT_EQ(area.Var(0).sqltype, c.type) << c.described << "/" << c.length;
    EXPECT_EQ(area.Var(0).sqllen, c.sqllen) << c.described << "/" << c.length;
    EXPECT_TRUE(area.sqlda->IsAssigned(0));
    if ((c.type & ~1) == DT_LONGVARCHAR || (c.type & ~1) == DT_LONGBINARY) {
      EXPECT_EQ(static_cast<LONGVARCHAR*>(area.Var(0).sqldata)->array_len, 0u);
    }
  }
  Area decimal(1);
  decimal.Var(0).sqltype = DT_DECIMAL;
  decimal.Var(0).sqllen = 30 | 6 << 8;
  decimal.sqlda->InitFields();
  EXPECT_EQ(decimal.sqlda->GetFieldLength(0), 16);
  EXPECT_EQ(decimal.sqlda->GetFieldScale(0), 6);
  EXPECT_EQ(decimal.sqlda->GetFieldSqlType(0), stDouble);
}

TEST(ASASQLDA, SetTextsAndBytesByLength) {
  struct Case {
    std::size_t size;
    std::int16_t type;  // 0: a range error
  } cases[] = {{0, DT_VARCHAR + 1}, {255, DT_VARCHAR + 1}, {256, DT_LONGVARCHAR + 1},
               {65519, DT_LONGVARCHAR + 1}, {65520, 0}};
  for (const Case& c : cases) {
    Area area(1);
    const AnsiString text(c.size, 'x');
    if (!c.type) {
      EXPECT_THROW(area.sqlda->UpdateString(0, text), ERangeError);
      EXPECT_THROW(area.sqlda->UpdateBytes(0, TByteDynArray(c.size, 1)), ERangeError);
      TMemoryStream stream;
      stream.SetSize(static_cast<std::int64_t>(c.size));
      EXPECT_THROW(area.sqlda->WriteBlob(0, &stream), ERangeError);
      EXPECT_FALSE(area.sqlda->IsAssigned(0)) << "a refused value leaves nothing behind";
      continue;
    }
    area.sqlda->UpdateString(0, text);
    EXPECT_EQ(area.Var(0).sqltype, c.type) << c.size;
    EXPECT_EQ(area.sqlda->IsNull(0), false);
    if (c.type == DT_VARCHAR + 1) {
      EXPECT_EQ(area.sqlda->GetString(0), text);
      area.sqlda->UpdateBytes(0, TByteDynArray(c.size, 7));
      EXPECT_EQ(area.Var(0).sqltype, DT_BINARY + 1);
      EXPECT_EQ(area.sqlda->GetBytes(0), TByteDynArray(c.size, 7));
      continue;
    }
    const auto* header = static_cast<LONGVARCHAR*>(area.Var(0).sqldata);
    EXPECT_EQ(header->stored_len, c.size);
    EXPECT_EQ(header->untrunc_len, c.size);
    EXPECT_EQ(area.Var(0).sqllen, c.size + 16);
    // A value a setter filled is read back from the buffer, not the cursor.
    EXPECT_EQ(area.sqlda->ReadBlobToString(0), text);
    TMemoryStream stream;
    stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
    area.sqlda->WriteBlob(0, &stream);
    EXPECT_EQ(area.Var(0).sqltype, DT_LONGBINARY + 1);
    EXPECT_EQ(stream.Position(), 0);
    EXPECT_EQ(area.sqlda->ReadBlobToMem(0).size(), c.size);
  }
}

TEST(ASASQLDA, RangeErrors) {
  Area area(1);
  EXPECT_THROW(area.sqlda->UpdateByte(0, -1), ERangeError);
  area.sqlda->UpdateByte(0, 200);
  EXPECT_EQ(area.Var(0).sqltype, DT_TINYINT + 1);
  EXPECT_EQ(area.sqlda->GetShort(0), 200);
  EXPECT_THROW(area.sqlda->GetByte(0), ERangeError);

  area.sqlda->SetFieldType(0, DT_UNSSMALLINT, 2, true);
  const std::uint16_t big = 40000;
  std::memcpy(area.Var(0).sqldata, &big, 2);
  EXPECT_THROW(area.sqlda->GetShort(0), ERangeError);
  EXPECT_EQ(area.sqlda->GetInt(0), 40000);

  area.sqlda->SetFieldType(0, DT_UNSINT, 4, true);
  const std::uint32_t huge = 3000000000u;
  std::memcpy(area.Var(0).sqldata, &huge, 4);
  EXPECT_THROW(area.sqlda->GetInt(0), ERangeError);
  EXPECT_EQ(area.sqlda->GetLong(0), 3000000000LL);

  area.sqlda->UpdateDouble(0, 1e30);
  EXPECT_THROW(area.sqlda->GetLong(0), ERangeError);
  area.sqlda->UpdateDouble(0, -2.9);
  EXPECT_EQ(area.sqlda->GetInt(0), -2);
}

TEST(ASASQLDA, GettersConvert) {
  Area area(1);
  const std::pair<const char*, int> booleans[] = {{"1", 1}, {"2", 0}, {"0", 0}, {"yes", -1}};
  for (const auto& [text, expected] : booleans) {
    area.sqlda->UpdateString(0, text);
    if (expected < 0)
      EXPECT_THROW(area.sqlda->GetBoolean(0), EConvertError) << text;
    else
      EXPECT_EQ(area.sqlda->GetBoolean(0), expected == 1) << text;
  }
  area.sqlda->UpdateString(0, "2.5");
  EXPECT_DOUBLE_EQ(area.sqlda->GetDouble(0), 2.5);
  EXPECT_THROW(area.sqlda->GetInt(0), EConvertError);

  area.sqlda->UpdateBoolean(0, true);
  EXPECT_EQ(area.sqlda->GetString(0), "True");
  area.sqlda->UpdateBoolean(0, false);
  EXPECT_EQ(area.sqlda->GetString(0), "False");
  area.sqlda->UpdateDouble(0, 0.25);
  EXPECT_EQ(area.sqlda->GetString(0), "0.25");
  area.sqlda->UpdateLong(0, -1234567890123LL);
  EXPECT_EQ(area.sqlda->GetString(0), "-1234567890123");

  const TDateTime stamp = EncodeDate(2024, 2, 29) + EncodeTime(13, 45, 6, 789);
  area.sqlda->UpdateTimestamp(0, stamp);
  EXPECT_EQ(area.sqlda->GetString(0), DateToStr(EncodeDate(2024, 2, 29)));
  EXPECT_NEAR(area.sqlda->GetTimestamp(0), stamp, 1e-9);
  EXPECT_EQ(area.sqlda->GetDate(0), EncodeDate(2024, 2, 29));
  EXPECT_EQ(area.sqlda->GetFieldSqlType(0), stTimestamp);
  area.sqlda->UpdateDate(0, stamp);
  EXPECT_EQ(area.sqlda->GetFieldSqlType(0), stDate);
  area.sqlda->UpdateTime(0, stamp);
  EXPECT_EQ(area.sqlda->GetFieldSqlType(0), stTime);

  // A type without the conversion names the field and its client type.
  area.Var(0).sqlname = {4, "abc"};
  area.sqlda->UpdateInt(0, 5);
  try {
    area.sqlda->GetTimestamp(0);
    FAIL();
  } catch (const EZSQLException& e) {
    EXPECT_STREQ(e.what(), "SQL Error: Conversion error for field \"abc\" to SQLType \"DT_INT\"");
    EXPECT_EQ(e.ErrorCode(), -1);
  }

  area.sqlda->UpdateNull(0, true);
  EXPECT_TRUE(area.sqlda->IsNull(0));
  EXPECT_TRUE(VarIsEmpty(area.sqlda->GetValue(0)));
  EXPECT_EQ(area.sqlda->GetInt(0), 0);
  EXPECT_EQ(area.sqlda->GetString(0), "");
  EXPECT_EQ(area.sqlda->GetPChar(0), nullptr);
}

TEST(ASASQLDA, VariantsTravelInTheirOwnClientTypes) {
  Area area(1);
  struct Case {
    Variant value;
    std::int16_t type;
    TVarType back;
  } cases[] = {
      {Variant::OfInteger(varSmallint, -5), DT_SMALLINT + 1, varSmallint},
      {Variant(42), DT_INT + 1, varInteger},
      {Variant::OfFloat(varSingle, 1.5), DT_FLOAT + 1, varDouble},
      {Variant(2.25), DT_DOUBLE + 1, varDouble},
      {Variant::OfFloat(varDate, EncodeDate(2020, 1, 2)), DT_TIMESTAMP_STRUCT + 1, varDate},
      {Variant(AnsiString("text")), DT_VARCHAR + 1, varString},
      {Variant(true), DT_BIT + 1, varBoolean},
      {Variant::OfInteger(varByte, 9), DT_TINYINT + 1, varByte},
  };
  for (const Case& c : cases) {
    area.sqlda->UpdateValue(0, c.value);
    EXPECT_EQ(area.Var(0).sqltype, c.type) << c.value.Type();
    const Variant back = area.sqlda->GetValue(0);
    EXPECT_EQ(back.Type(), c.back) << c.value.Type();
    if (c.back == varString)
      EXPECT_EQ(back.AsString(), c.value.AsString());
    else if (c.back == varBoolean)
      EXPECT_EQ(back.AsBoolean(), c.value.AsBoolean());
    else
      EXPECT_DOUBLE_EQ(back.AsFloat(), c.value.AsFloat()) << c.value.Type();
  }
  Variant bytes = VarArrayCreate(0, 2, varByte);
  for (int i = 0; i < 3; ++i) VarArrayPut(bytes, Variant(i + 1), i);
  area.sqlda->UpdateValue(0, bytes);
  EXPECT_EQ(area.sqlda->GetBytes(0), (TByteDynArray{1, 2, 3}));
  area.sqlda->UpdateValue(0, Null());
  EXPECT_TRUE(area.sqlda->IsNull(0));
  EXPECT_THROW(area.sqlda->UpdateValue(0, Variant::OfInteger(varInt64, 1)), EZSQLException);

  area.sqlda->UpdateString(0, AnsiString(300, 'q'));
  const Variant blob = area.sqlda->GetValue(0);
  EXPECT_EQ(VarArrayHighBound(blob, 1), 299);
  EXPECT_EQ(VarArrayGet(blob, 299).AsInteger(), 'q');
}

TEST(ASASQLDA, NamesAndChecks) {
  Area area(2);
  area.Var(0).sqlname = {3, "ID"};
  area.Var(1).sqlname = {5, "NAME"};
  EXPECT_EQ(area.sqlda->GetFieldName(0), "ID");
  EXPECT_EQ(area.sqlda->GetFieldIndex("name"), 1);
  EXPECT_THROW(area.sqlda->GetFieldIndex("NAM"), EZSQLException);
  try {
    area.sqlda->GetFieldIndex("other");
  } catch (const EZSQLException& e) {
    EXPECT_STREQ(e.what(), "SQL Error: Field \"other\" was not found");
  }
  EXPECT_THROW(area.sqlda->IsNullable(2), EAssertionFailed);
  EXPECT_THROW(area.sqlda->GetInt(0), EAssertionFailed);  // no buffer yet
  area.sqlda->FreeSQLDA();
  EXPECT_EQ(area.sqlda->GetFieldCount(), 0);
  EXPECT_THROW(area.sqlda->IsNull(0), EAssertionFailed);
}

TEST(ASASQLDA, FetchedColumnsAndLongValuesThroughTheCursor) {
  const std::string database = asa_test::MakeDatabase(
      "CREATE TABLE t (big BLOB, short_text VARCHAR(255), long_text VARCHAR(256), day DATE);"
      "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 69999)"
      " INSERT INTO t SELECT (SELECT group_concat(char(65 + i % 26), '') FROM n),"
      " 'short', (SELECT group_concat(char(97 + i % 7), '') FROM n WHERE i < 300), '2023-07-14';");
  Ref<TZASAConnection> connection = asa_test::Connection(database);
  connection->Open();
  Ref<IZASAPlainDriver> plainDriver = connection->GetPlainDriver();
  SQLCA* handle = connection->GetDBHandle();
  const AnsiString cursor = RandomString(12);
  auto sqlda = MakeRef<TZASASQLDA>(plainDriver, handle, cursor, 20);
  short number = 0;
  plainDriver->dbpp_prepare_describe(handle, nullptr, &number, "SELECT * FROM t", sqlda->GetData(), kDescribeResult,
                                     0);
  CheckASAError(plainDriver.get(), handle, lcExecute, "");
  sqlda->InitFields();
  ASSERT_EQ(sqlda->GetFieldCount(), 4);
  EXPECT_EQ(sqlda->GetFieldSqlType(0), stBinaryStream);
  EXPECT_TRUE(sqlda->IsBlob(0));
  EXPECT_EQ(sqlda->GetFieldSqlType(1), stString);
  EXPECT_EQ(sqlda->GetFieldSqlType(2), stAsciiStream);
  EXPECT_EQ(sqlda->GetFieldSqlType(3), stDate);
  EXPECT_EQ(sqlda->GetFieldName(3), "day");

  plainDriver->dbpp_open(handle, cursor.c_str(), nullptr, &number, nullptr, 20, 0, 0x22);
  plainDriver->dbpp_fetch(handle, cursor.c_str(), 1, 1, sqlda->GetData(), kFetchTrailing, 0);
  CheckASAError(plainDriver.get(), handle, lcOther, "");
  EXPECT_EQ(sqlda->GetString(1), "short");
  EXPECT_EQ(sqlda->GetDate(3), EncodeDate(2023, 7, 14));

  dblib_probe::Reset();
  const TByteDynArray big = sqlda->ReadBlobToMem(0);
  EXPECT_EQ(CallsOf("dbpp_get_data"),
            (std::vector<std::string>{cursor + " 1 0 0", cursor + " 1 32700 0", cursor + " 1 65400 0"}));
  ASSERT_EQ(big.size(), 70000u);
  for (std::size_t i = 0; i < big.size(); i += 6997) ASSERT_EQ(big[i], 'A' + i % 26) << i;
  EXPECT_EQ(big.back(), 'A' + 69999 % 26);

  dblib_probe::Reset();
  const AnsiString text = sqlda->GetString(2);
  ASSERT_EQ(text.size(), 300u);
  EXPECT_EQ(text.substr(0, 8), "abcdefga");
  EXPECT_EQ(CallsOf("dbpp_get_data"), (std::vector<std::string>{cursor + " 3 0 0"}));

  // A client that ends a piece early leaves the value incomplete: an error,
  // never a short value taken for the whole.
  dblib_probe::Inject("dbpp_get_data", {-1, "lost"});
  EXPECT_THROW(sqlda->ReadBlobToMem(0), EZSQLException);

  plainDriver->dbpp_close(handle, cursor.c_str());
  plainDriver->dbpp_dropstmt(handle, nullptr, nullptr, &number);
  connection->Close();
}

}  // namespace

namespace {

// A client that keeps calling every piece truncated, however much it gave.
class EndlessPieces : public TZASA9PlainDriver {
public:
  void dbpp_get_data(SQLCA*, const char*, short, int, SQLDA* descriptor) override {
    ++calls;
    *descriptor->sqlvar[0].sqlind = 1;
  }
  int calls = 0;
};

TEST(ASASQLDA, LongReadEndsWhenNothingRemainsToAskFor) {
  auto plainDriver = MakeRef<EndlessPieces>();
  plainDriver->Initialize();
  SQLCA sqlca{};
  auto sqlda = MakeRef<TZASASQLDA>(Ref<IZASAPlainDriver>(plainDriver), &sqlca, "cur", 1);
  sqlda->GetData()->sqld = 1;
  sqlda->SetFieldType(0, DT_LONGBINARY, 0, false);
  static_cast<LONGVARCHAR*>(sqlda->GetData()->sqlvar[0].sqldata)->untrunc_len = 40000;
  EXPECT_EQ(sqlda->ReadBlobToMem(0).size(), 40000u);
  EXPECT_EQ(plainDriver->calls, 2);
}

}  // namespace
