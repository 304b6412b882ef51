// Type translations and parameter literals of the DB-Library driver.

#include "sql/drivers/dblib/dblib_utils.h"

#include <cstdio>

#include "platform/rtl/datetime.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/interfaces.h"
#include "sql/core/sysutils.h"

namespace {

AnsiString HexLiteral(const AnsiString& bytes) { return bytes.empty() ? AnsiString("NULL") : HexText(bytes, "0x"); }

}  // namespace

AnsiString DBLibDateText(TDateTime value) {
  int year, month, day;
  DecodeDate(value, year, month, day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
  return text;
}

AnsiString DBLibTimeText(TDateTime value) {
  int hour, minute, second, msec;
  DecodeTime(value, hour, minute, second, msec);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d:%03d", hour, minute, second, msec);
  return text;
}

namespace {

// The content of a stream parameter: a blob's bytes, or a plain value's text.
AnsiString StreamContent(const TZVariant& value) {
  if (value.VType != vtInterface) return SoftVarManager()->GetAsString(value);
  Ref<IZBlob> blob = Query<IZBlob>(value.VInterface);
  return blob && !blob->IsEmpty() ? blob->GetString() : AnsiString();
}

AnsiString WithoutNuls(AnsiString text) {
  std::erase(text, '\0');
  return text;
}

}  // namespace

TZSQLType ConvertODBCToSqlType(std::int16_t odbcType) {
  switch (odbcType) {
    case 1: case 12: case -8: case -9:
      return stString;
    case 2: case 3: case 6: case 7: case 8:
      return stDouble;
    case 4:
      return stInteger;
    case 5: case -6:
      return stShort;
    case 11: case 93:
      return stTimestamp;
    case -1: case -10:
      return stAsciiStream;
    case -3: case -4: case -11:
      return stBinaryStream;
    case -2:
      return stBytes;
    case -7:
      return stBoolean;
    default:
      return stUnknown;
  }
}

TZSQLType ConvertDBLibToSqlType(std::int16_t dbLibType) {
  switch (dbLibType) {
    case kDBLibImage: case kDBLibBinary:
      return stBinaryStream;
    case kDBLibText:
      return stAsciiStream;
    case kDBLibChar:
      return stString;
    case kDBLibInt1: case kDBLibInt2:
      return stShort;
    case kDBLibBit:
      return stBoolean;
    case kDBLibInt4:
      return stInteger;
    case kDBLibInt8:
      return stLong;
    case kDBLibDateTime4: case kDBLibDateTime:
      return stTimestamp;
    case kDBLibReal: case kDBLibMoney: case kDBLibFloat: case kDBLibMoney4:
    case kDBLibDecimal: case kDBLibNumeric:
      return stDouble;
    default:
      return stString;
  }
}

int ConvertSqlTypeToDBLibType(TZSQLType sqlType) {
  switch (sqlType) {
    case stBoolean: return kDBLibBit;
    case stByte: return kDBLibInt1;
    case stShort: return kDBLibInt2;
    case stInteger: return kDBLibInt4;
    case stLong: case stFloat: case stDouble: case stBigDecimal: return kDBLibFloat;
    case stString: return kDBLibChar;
    case stBytes: return kDBLibBinary;
    case stDate: case stTime: case stTimestamp: return kDBLibDateTime;
    case stAsciiStream: return kDBLibText;
    case stUnicodeStream: case stBinaryStream: return kDBLibImage;
    default: return -1;
  }
}

AnsiString PrepareSQLParameter(const TZVariant& value, TZSQLType sqlType) {
  if (DefaultVarManager()->IsNull(value)) return "NULL";
  const IZVariantManager& manager = *SoftVarManager();
  switch (sqlType) {
    case stBoolean:
      return manager.GetAsBoolean(value) ? "1" : "0";
    case stByte: case stShort: case stInteger: case stLong:
      return IntToStr(manager.GetAsInteger(value));
    case stFloat: case stDouble: case stBigDecimal:
      return FloatToSqlStr(manager.GetAsFloat(value));
    // Wide texts travel in the system's code page like any other text; a
    // NULL in their place would lose the value without a word.
    case stString: case stUnicodeString:
      return QuotedStr(manager.GetAsString(value));
    case stBytes:
      return HexLiteral(manager.GetAsString(value));
    case stDate:
      return QuotedStr(DBLibDateText(manager.GetAsDateTime(value)));
    case stTime:
      return QuotedStr(DBLibTimeText(manager.GetAsDateTime(value)));
    case stTimestamp: {
      const TDateTime stamp = manager.GetAsDateTime(value);
      return QuotedStr(DBLibDateText(stamp) + " " + DBLibTimeText(stamp));
    }
    case stAsciiStream: case stUnicodeStream: {
      const AnsiString text = StreamContent(value);
      return text.empty() ? AnsiString("NULL") : QuotedStr(WithoutNuls(text));
    }
    case stBinaryStream:
      return HexLiteral(StreamContent(value));
    default:
      return "NULL";
  }
}
