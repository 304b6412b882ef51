// Typed access through the row accessor: one table over (stored type x
// operation) with the value read back or the error raised, and the few
// behaviours a table cannot show (raw slot bytes, pointer lifetime, variants).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/sql_exception.h"
#include "tests/sql/core/row_test_columns.h"

namespace {

using Action = std::function<void(TZRowAccessor&)>;
using Reader = std::function<std::string(TZRowAccessor&)>;

std::string Real(long double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.10Lg", value);
  return text;
}

// Getters give their value as text; a null column reads "null".
template <class Getter, class Show>
Reader Get(Getter getter, Show show) {
  return [getter, show](TZRowAccessor& a) -> std::string {
    bool isNull;
    auto value = (a.*getter)(1, isNull);
    return isNull ? "null" : show(value);
  };
}
std::string ShowInt(std::int64_t v) { return std::to_string(v); }
std::string ShowBool(bool v) { return v ? "true" : "false"; }
std::string ShowText(const AnsiString& v) { return v; }
std::string ShowWide(const WideString& v) { return WideToAnsi(v); }
std::string ShowBytes(const TByteDynArray& v) { return std::to_string(v.size()) + ":" + std::string(v.begin(), v.end()); }

const Reader kBoolean = Get(&TZRowAccessor::GetBoolean, ShowBool);
const Reader kByte = Get(&TZRowAccessor::GetByte, ShowInt);
const Reader kShort = Get(&TZRowAccessor::GetShort, ShowInt);
const Reader kInt = Get(&TZRowAccessor::GetInt, ShowInt);
const Reader kLong = Get(&TZRowAccessor::GetLong, ShowInt);
const Reader kFloat = Get(&TZRowAccessor::GetFloat, Real);
const Reader kDouble = Get(&TZRowAccessor::GetDouble, Real);
const Reader kBigDecimal = Get(&TZRowAccessor::GetBigDecimal, Real);
const Reader kString = Get(&TZRowAccessor::GetString, ShowText);
const Reader kUnicode = Get(&TZRowAccessor::GetUnicodeString, ShowWide);
const Reader kBytes = Get(&TZRowAccessor::GetBytes, ShowBytes);
const Reader kDate = Get(&TZRowAccessor::GetDate, Real);
const Reader kTime = Get(&TZRowAccessor::GetTime, Real);
const Reader kTimestamp = Get(&TZRowAccessor::GetTimestamp, Real);

Action Text(AnsiString v) { return [v](TZRowAccessor& a) { a.SetString(1, v); }; }
Action Int(int v) { return [v](TZRowAccessor& a) { a.SetInt(1, v); }; }
Action Long(std::int64_t v) { return [v](TZRowAccessor& a) { a.SetLong(1, v); }; }
Action Double(double v) { return [v](TZRowAccessor& a) { a.SetDouble(1, v); }; }
Action Bool(bool v) { return [v](TZRowAccessor& a) { a.SetBoolean(1, v); }; }
Action Date(double v) { return [v](TZRowAccessor& a) { a.SetDate(1, v); }; }
Action Stamp(double v) { return [v](TZRowAccessor& a) { a.SetTimestamp(1, v); }; }
Action Nothing() { return [](TZRowAccessor&) {}; }

struct ConversionCase {
  const char* name;
  TZSQLType type;
  int precision;
  Action write;
  Reader read;
  std::string expected;  // the value read, or the error message
};

const ConversionCase kCases[] = {
    // Integers read and written across widths.
    {"text above int32 reads 0 as int", stString, 20, Text("2147483648"), kInt, "0"},
    {"text above int32 reads as long", stString, 20, Text("2147483648"), kLong, "2147483648"},
    {"text -128 reads as byte", stString, 20, Text("-128"), kByte, "-128"},
    {"text 300 does not fit a byte", stString, 20, Text("300"), kByte, "Range check error"},
    {"text that is no number reads 0", stString, 20, Text("12abc"), kInt, "0"},
    {"short 200 does not fit a byte", stShort, 0, Int(200), kByte, "Range check error"},
    {"long text into long column", stLong, 0, Text("2147483648"), kString, "2147483648"},
    {"negative long as text", stLong, 0, Long(-9223372036854775807LL - 1), kString, "-9223372036854775808"},
    {"int column refuses a long beyond it", stInteger, 0, Long(2147483648LL), kInt, "Range check error"},
    {"byte column refuses text 128", stByte, 0, Text("128"), kByte, "Range check error"},
    {"short column takes text -32768", stShort, 0, Text("-32768"), kShort, "-32768"},
    {"int column takes unparsable text as 0", stInteger, 0, Text("x"), kInt, "0"},
    {"bytes cannot be read as integer", stBytes, 4, Text("ab"), kInt,
     "Convertion is not possible for column 1 from Bytes to Integer"},
    // Floats.
    {"double truncates toward zero", stDouble, 0, Double(-1.9), kInt, "-1"},
    {"double beyond int32", stDouble, 0, Double(3e9), kInt, "Range check error"},
    {"double beyond int64", stDouble, 0, Double(1e300), kLong, "Invalid floating point operation"},
    {"double too large for float", stDouble, 0, Double(1e300), kFloat, "Floating point overflow"},
    {"float column refuses a huge double", stFloat, 0, Double(1e300), kFloat, "Floating point overflow"},
    {"double rounds to float", stDouble, 0, Double(0.1), kFloat, "0.1000000015"},
    {"double as SQL text", stDouble, 0, Double(2.5), kString, "2.5"},
    {"double read as itself", stDouble, 0, Double(-1e300), kDouble, "-1e+300"},
    {"SQL text as double", stString, 20, Text("-2.5e3"), kDouble, "-2500"},
    {"unreadable text as double", stString, 20, Text("abc"), kBigDecimal, "0"},
    {"int column stores a truncated double", stInteger, 0, Double(7.99), kInt, "7"},
    {"int column refuses a double beyond it", stInteger, 0, Double(1e10), kInt, "Range check error"},
    {"extended keeps its precision", stBigDecimal, 0, Text("0.1"), kBigDecimal, "0.1"},
    // Flags.
    {"true as text", stBoolean, 0, Bool(true), kString, "True"},
    {"false as number", stBoolean, 0, Bool(false), kDouble, "0"},
    {"true as integer", stBoolean, 0, Bool(true), kLong, "1"},
    {"non-zero integer into a flag", stBoolean, 0, Int(5), kBoolean, "true"},
    {"text yes is true", stString, 10, Text("yEs"), kBoolean, "true"},
    {"text 1 is not true", stString, 10, Text("1"), kBoolean, "false"},
    {"flag column takes text T", stBoolean, 0, Text("t"), kBoolean, "true"},
    {"flag column takes text 1 as false", stBoolean, 0, Text("1"), kBoolean, "false"},
    {"flag into text column", stString, 10, Bool(true), kString, "True"},
    {"integer zero is false", stInteger, 0, Int(0), kBoolean, "false"},
    {"date cannot be read as flag", stDate, 0, Stamp(1), kBoolean,
     "Convertion is not possible for column 1 from Date to Boolean"},
    // Text.
    {"text longer than the precision is refused, not cut", stString, 5, Text("abcdefgh"), kString,
     "Value of 8 characters is too long for column 1 () of size 5"},
    {"text of the precision fits", stString, 5, Text("abcde"), kString, "abcde"},
    {"text holding a zero byte is refused, not cut", stString, 5, Text(AnsiString("a\0b", 3)), kString,
     "Value for column 1 () holds a zero character, which ends a text"},
    {"text as wide text", stString, 10, Text("p\xF8\xEDli\x9A"), kUnicode, "p\xF8\xEDli\x9A"},
    {"wide column stores narrowed text", stUnicodeString, 10, Text("\x9Alut\xFD"), kString, "\x9Alut\xFD"},
    {"number into wide column", stUnicodeString, 10, Int(-42), kInt, "-42"},
    {"wide column refuses a zero character", stUnicodeString, 10, Text(AnsiString("a\0b", 3)), kUnicode,
     "Value for column 1 () holds a zero character, which ends a text"},
    {"bytes as text", stBytes, 10, Text("ab"), kString, "ab"},
    {"unset column reads null", stInteger, 0, Nothing(), kString, "null"},
    // Bytes.
    {"bytes longer than the precision are refused, not cut", stBytes, 4, Text("abcdefghij"), kBytes,
     "Value of 10 characters is too long for column 1 () of size 4"},
    {"bytes of the precision fit", stBytes, 4, Text("abcd"), kBytes, "4:abcd"},
    {"empty text makes empty bytes", stBytes, 4, Text(""), kBytes, "0:"},
    {"text as bytes", stString, 10, Text("xyz"), kBytes, "3:xyz"},
    {"date cannot be read as bytes", stDate, 0, Stamp(1), kBytes,
     "Convertion is not possible for column 1 from Date to Bytes"},
    // Dates and times (36526 is 2000-01-01).
    {"date as text", stDate, 0, Stamp(36526.75), kString, "2000-01-01"},
    {"time as text", stTime, 0, Stamp(36526.5), kString, "12:00:00"},
    {"timestamp as text", stTimestamp, 0, Stamp(36526.5), kString, "2000-01-01 12:00:00"},
    {"timestamp into date keeps whole days", stDate, 0, Stamp(36526.75), kTimestamp, "36526"},
    {"timestamp into time keeps the fraction", stTime, 0, Stamp(36526.75), kTimestamp, "0.75"},
    {"date of a timestamp", stTimestamp, 0, Stamp(36526.75), kDate, "36526"},
    {"time of a timestamp", stTimestamp, 0, Stamp(36526.75), kTime, "0.75"},
    {"time of a date is refused", stDate, 0, Stamp(1), kTime,
     "Convertion is not possible for column 1 from Date to Time"},
    {"date of a time is refused", stTime, 0, Stamp(0.5), kDate,
     "Convertion is not possible for column 1 from Time to Date"},
    {"date into a time column is refused", stTime, 0, Date(36526.5), kTime,
     "Convertion is not possible for column 1 from Time to Date"},
    {"date into text", stString, 20, Date(36526.5), kString, "2000-01-01"},
    {"date into timestamp keeps whole days", stTimestamp, 0, Date(36526.5), kTimestamp, "36526"},
    {"SQL date text as date", stString, 20, Text("2000-01-01 18:00:00"), kDate, "36526"},
    {"SQL date text as time", stString, 20, Text("2000-01-01 18:00:00"), kTime, "0.75"},
    {"timestamp into text", stString, 20, Stamp(36526.5), kString, "2000-01-01 12:00:00"},
    {"text into timestamp", stTimestamp, 0, Text("2000-01-01 06:00:00"), kTimestamp, "36526.25"},
    {"text into date", stDate, 0, Text("2000-01-01 06:00:00"), kTimestamp, "36526"},
    {"date cannot be read as integer", stTimestamp, 0, Stamp(1), kInt,
     "Convertion is not possible for column 1 from Timestamp to Integer"},
    // Streams.
    {"text into ascii stream", stAsciiStream, 0, Text("memo"), kString, "memo"},
    {"text into unicode stream", stUnicodeStream, 0, Text("\x9Alut\xFD"), kUnicode, "\x9Alut\xFD"},
    {"binary stream as bytes", stBinaryStream, 0, Text("\x01\x02"), kBytes, "2:\x01\x02"},
    {"stream refuses integer reading", stAsciiStream, 0, Text("1"), kInt,
     "Convertion is not possible for column 1 from AsciiStream to Integer"},
    {"stream refuses integer writing", stBinaryStream, 0, Int(1), kString,
     "Convertion is not possible for column 1 from BinaryStream to Integer"},
};

TEST(RowConversions, StoredTypeByOperation) {
  for (const ConversionCase& c : kCases) {
    TZRowAccessor accessor(Columns({{c.type, c.precision}}));
    TZRowBuffer* buffer = accessor.AllocBuffer();
    accessor.SetRowBuffer(buffer);
    std::string actual;
    try {
      c.write(accessor);
      actual = c.read(accessor);
    } catch (const Exception& e) {
      actual = e.Message();
    }
    EXPECT_EQ(actual, c.expected) << c.name;
    accessor.DisposeBuffer(buffer);
  }
}

class OneRow : public ::testing::Test {
protected:
  void Open(std::initializer_list<std::pair<TZSQLType, int>> columns) {
    accessor = std::make_unique<TZRowAccessor>(Columns(columns));
    buffer = accessor->AllocBuffer();
    accessor->SetRowBuffer(buffer);
  }
  ~OneRow() override { accessor->DisposeBuffer(buffer); }
  const std::uint8_t* Data(int column) { return buffer->Columns() + accessor->ColumnOffsets()[column - 1] + 1; }

  std::unique_ptr<TZRowAccessor> accessor;
  TZRowBuffer* buffer = nullptr;
  bool isNull = false;
};

TEST_F(OneRow, SlotsHoldTheDocumentedBytes) {
  Open({{stBoolean, 0}, {stBytes, 4}, {stUnicodeString, 5}, {stInteger, 0}});
  accessor->SetBoolean(1, true);
  EXPECT_EQ(Data(1)[0], 0xFF);
  EXPECT_EQ(Data(1)[1], 0xFF);
  accessor->SetBytes(2, TByteDynArray(4, 7));
  EXPECT_EQ(Data(2)[0], 4);
  EXPECT_EQ(Data(2)[1], 0);
  accessor->SetUnicodeString(3, u"abcde");
  EXPECT_EQ(accessor->GetUnicodeString(3, isNull), u"abcde");
  // A value longer than its slot is refused whole and the old one stays.
  EXPECT_THROW(accessor->SetBytes(2, TByteDynArray(5, 8)), EZSQLException);
  EXPECT_THROW(accessor->SetUnicodeString(3, u"abcdef"), EZSQLException);
  EXPECT_EQ(Data(2)[2], 7);
  EXPECT_EQ(accessor->GetUnicodeString(3, isNull), u"abcde");
  accessor->SetInt(4, 0x01020304);
  EXPECT_EQ(Data(4)[0], 4);
  EXPECT_EQ(Data(4)[3], 1);
  // A refused or out-of-range write leaves the old value.
  EXPECT_THROW(accessor->SetLong(4, INT64_MAX), ERangeError);
  EXPECT_EQ(accessor->GetInt(4, isNull), 0x01020304);
  // No bytes is a value, not NULL.
  accessor->SetBytes(2, {});
  EXPECT_FALSE(accessor->IsNull(2));
  EXPECT_TRUE(accessor->GetBytes(2, isNull).empty());
}

TEST_F(OneRow, PCharOfOtherTypesLivesUntilTheNextCall) {
  Open({{stInteger, 0}, {stString, 8}, {stDouble, 0}});
  accessor->SetInt(1, 123);
  accessor->SetString(2, "direct");
  accessor->SetDouble(3, 0.5);
  const char* number = accessor->GetPChar(1, isNull);
  EXPECT_STREQ(number, "123");
  EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(accessor->GetPChar(2, isNull)), Data(2));
  EXPECT_STREQ(number, "123");
  EXPECT_STREQ(accessor->GetPChar(3, isNull), "0.5");
  accessor->SetPChar(2, nullptr);
  EXPECT_EQ(accessor->GetPChar(2, isNull), nullptr);
  EXPECT_TRUE(isNull);
  // A text column made non-null without a text still gives a terminated text.
  std::uint8_t* slot = accessor->GetColumnData(2, isNull);
  std::memset(slot, 'x', accessor->GetColumnDataSize(2));
  accessor->SetNotNull(2);
  EXPECT_EQ(std::string(accessor->GetPChar(2, isNull)), "xxxxxxxx");
  accessor->SetPChar(1, nullptr);
  EXPECT_EQ(accessor->GetInt(1, isNull), 0);
  EXPECT_FALSE(isNull);
}

TEST_F(OneRow, ValuesAsVariants) {
  Open({{stInteger, 0}, {stBytes, 4}, {stUnicodeString, 4}, {stTimestamp, 0}, {stShort, 0}, {stBoolean, 0}});
  EXPECT_EQ(accessor->GetValue(1).VType, vtNull);
  accessor->SetString(2, "ab");
  TZVariant bytes = accessor->GetValue(2);
  EXPECT_EQ(bytes.VType, vtString);
  EXPECT_EQ(bytes.VString, "ab");
  accessor->SetString(3, "wide");
  EXPECT_EQ(accessor->GetValue(3).VUnicodeString, u"wide");
  accessor->SetTimestamp(4, 2.25);
  TZVariant stamp = accessor->GetValue(4);
  EXPECT_EQ(stamp.VType, vtDateTime);
  EXPECT_EQ(stamp.VDateTime, 2.25);
  accessor->SetShort(5, -7);
  TZVariant number = accessor->GetValue(5);
  EXPECT_EQ(number.VType, vtInteger);
  EXPECT_EQ(number.VInteger, -7);
  accessor->SetBoolean(6, true);
  EXPECT_TRUE(accessor->GetValue(6).VBoolean);
}

TEST_F(OneRow, StreamsAreCopiedInAndOut) {
  Open({{stAsciiStream, 0}, {stBinaryStream, 0}});
  EXPECT_EQ(accessor->GetAsciiStream(1, isNull), nullptr);
  EXPECT_TRUE(isNull);
  TStringStream source("streamed");
  accessor->SetAsciiStream(1, &source);
  source.WriteString("more");
  std::unique_ptr<TStream> copy = accessor->GetAsciiStream(1, isNull);
  ASSERT_TRUE(copy);
  EXPECT_FALSE(isNull);
  EXPECT_EQ(copy->Size(), 8);
  EXPECT_EQ(accessor->GetString(1, isNull), "streamed");
  EXPECT_THROW(accessor->GetBinaryStream(1, isNull), EZSQLException);
  EXPECT_THROW(accessor->SetUnicodeStream(2, &source), EZSQLException);
}

}  // namespace
