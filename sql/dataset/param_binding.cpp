// BindParamValue: the one table from parameter data types to statement setters.
#include "sql/dataset/param_binding.h"

#include "platform/db/params.h"
#include "platform/rtl/streams.h"
#include "sql/core/dbc/interfaces.h"
#include "sql/core/sysutils.h"
#include "sql/dataset/dataset_utils.h"

void BindParamValue(IZPreparedStatement* statement, int index, const TParam& param) {
  if (param.IsNull()) {
    statement->SetNull(index, FieldTypeToSQLType(param.DataType()));
    return;
  }
  switch (param.DataType()) {
    case ftString: case ftFixedChar: case ftWideString:
      statement->SetString(index, param.ValueAsString());
      break;
    // Bytes are no text: the driver sends them so that no character set applies.
    case ftBytes: case ftVarBytes:
      statement->SetBytes(index, StrToBytes(param.ValueAsString()));
      break;
    case ftSmallint: {
      int32_t value = param.ValueAsInteger();
      if (value < -32768 || value > 32767) throw ERangeError(SRangeError);
      statement->SetShort(index, static_cast<int16_t>(value));
      break;
    }
    case ftInteger: case ftAutoInc: case ftWord: statement->SetInt(index, param.ValueAsInteger()); break;
    case ftLargeint: statement->SetLong(index, param.ValueAsLargeInt()); break;
    case ftBoolean: statement->SetBoolean(index, param.ValueAsBoolean()); break;
    case ftFloat: statement->SetDouble(index, param.ValueAsFloat()); break;
    case ftCurrency: statement->SetBigDecimal(index, param.ValueAsCurrency()); break;
    case ftDate: statement->SetDate(index, param.ValueAsDateTime()); break;
    case ftTime: statement->SetTime(index, param.ValueAsDateTime()); break;
    case ftDateTime: case ftTimeStamp: statement->SetTimestamp(index, param.ValueAsDateTime()); break;
    case ftMemo: {
      TStringStream stream(param.ValueAsMemo());
      statement->SetAsciiStream(index, &stream);
      break;
    }
    case ftBlob: case ftGraphic: {
      TStringStream stream(param.ValueAsString());
      statement->SetBinaryStream(index, &stream);
      break;
    }
    default: break;
  }
}
