// The platform's names of the field types, as type-mismatch and access
// errors show them.
#include "platform/db/db_types.h"

const char* FieldTypeName(TFieldType type) {
  static const char* const kNames[] = {
      "Unknown", "String", "SmallInt", "Integer", "Word", "Boolean", "Float", "Currency",
      "BCD", "Date", "Time", "DateTime", "Bytes", "VarBytes", "AutoInc", "Blob", "Memo",
      "Graphic", "FmtMemo", "ParadoxOle", "dBaseOle", "TypedBinary", "Cursor", "FixedChar",
      "WideString", "Largeint", "ADT", "Array", "Reference", "DataSet", "OraBlob", "OraClob",
      "Variant", "Interface", "IDispatch", "Guid", "TimeStamp", "FMTBcd"};
  auto index = static_cast<unsigned>(type);
  return index < sizeof(kNames) / sizeof(kNames[0]) ? kNames[index] : "Unknown";
}
