// The shared type-information builder (see catalogue_type_info.h).

#include "sql/core/dbc/catalogue_type_info.h"

#include "sql/core/dbc/abstract_database_metadata.h"
#include "sql/core/dbc/virtual_result_set.h"

bool TypeHasQuotedLiterals(TZSQLType type) {
  switch (type) {
    case stString:
    case stBytes:
    case stDate:
    case stTime:
    case stTimestamp:
    case stAsciiStream:
    case stBinaryStream:
      return true;
    default:
      return false;
  }
}

Ref<IZResultSet> BuildTypeInfoResultSet(const std::vector<TZTypeInfoRow>& rows) {
  constexpr int kTypeName = 1, kDataType = 2, kPrecision = 3, kLiteralPrefix = 4, kLiteralSuffix = 5,
                kNullable = 7, kCaseSensitive = 8, kSearchable = 9, kFixedPrecScale = 11, kAutoIncrement = 12,
                kNumPrecRadix = 18;
  constexpr int kTypeNullable = 1, kDecimalRadix = 10;
  Ref<IZVirtualResultSet> result = TZAbstractDatabaseMetadata::ConstructVirtualResultSet(TypeInfoColumnDefs);
  for (const TZTypeInfoRow& type : rows) {
    result->MoveToInsertRow();
    result->UpdateString(kTypeName, type.Name);
    result->UpdateShort(kDataType, type.Type);
    if (type.Precision != kNoTypePrecision) result->UpdateInt(kPrecision, type.Precision);
    if (TypeHasQuotedLiterals(type.Type)) {
      result->UpdateString(kLiteralPrefix, "'");
      result->UpdateString(kLiteralSuffix, "'");
    }
    result->UpdateShort(kNullable, kTypeNullable);
    result->UpdateBoolean(kCaseSensitive, false);
    result->UpdateShort(kSearchable, 0);
    result->UpdateBoolean(kFixedPrecScale, false);
    result->UpdateBoolean(kAutoIncrement, AnsiString(type.Name) == "INTEGER");
    result->UpdateInt(kNumPrecRadix, kDecimalRadix);
    result->InsertRow();
  }
  result->BeforeFirst();
  return result;
}
