// Raising of the dataset framework's errors, and the names of field types.
#include "platform/db/db_error.h"

#include "platform/db/db_types.h"

void DatabaseError(const AnsiString& message) { throw EDatabaseError(message); }

void DatabaseErrorFmt(const char* pattern, std::initializer_list<TVarRec> args) {
  throw EDatabaseError(Format(pattern, args));
}

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
