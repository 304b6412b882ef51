// How the ADO object layer describes an ODBC result column as a field (its
// DataTypeEnum code, defined size and properties) and reads one value of it
// into a Variant.
#pragma once

#include <string>

#include "sql/drivers/ado/ado_objects.h"
#include "sql/drivers/ado/ado_odbc.h"

// How a column's values are fetched and held.
enum class AdoValueKind { Integer, Boolean, Float, Date, Time, Timestamp, Text, WideText, Binary, Guid };

struct Recordset15::Column {
  AnsiString name;
  int type = adVarChar;
  // Never below the longest value held, in characters for text and bytes
  // for binary values.
  int definedSize = 0;
  AdoValueKind kind = AdoValueKind::Text;
  TVarType varType = varString;  // of integer and float values
  unsigned flags = 0;              // DBCOLUMNFLAGS_*
  Ref<::Properties> properties;
};

namespace ado_odbc {

// The DataTypeEnum code of an ODBC SQL type; text for types ADO lacks.
int DataTypeOfOdbc(SQLSMALLINT sqlType, bool isUnsigned);

Recordset15::Column DescribeColumn(SQLHSTMT statement, SQLUSMALLINT number);
// The properties of a field: BASECOLUMNNAME, BASETABLENAME and ISAUTOINCREMENT.
Ref<Properties> FieldProperties(Variant baseColumnName, Variant baseTableName, bool autoIncrement);
// Whether values of the type are long (DBCOLUMNFLAGS_ISLONG).
bool IsLongType(int adoType);

// The value of column number in the current row (Null for SQL NULL); text and
// binary values widen the column's defined size when longer. buffer is
// scratch space kept between calls.
Variant ReadValue(SQLHSTMT statement, SQLUSMALLINT number, Recordset15::Column& column, std::string& buffer);

}  // namespace ado_odbc
