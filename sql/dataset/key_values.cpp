// Reading, normalising and matching key values.
#include "sql/dataset/key_values.h"

#include <cmath>

#include "platform/db/typed_fields.h"
#include "platform/rtl/text.h"
#include "sql/core/dbc/row_accessor.h"

namespace {

// Floats within this distance count as equal.
constexpr long double kFloatTolerance = 0.00001;

bool SameFloat(long double a, long double b) { return std::fabs(a - b) < kFloatTolerance; }

// Whether the first n characters of text equal key (n = the key's length),
// by the locale's comparison.
bool PrefixMatches(const AnsiString& text, const AnsiString& key) {
  return AnsiCompareStr(std::string_view(text).substr(0, key.size()), key) == 0;
}

TZVariant KeyOf(TFieldType type, TZRowAccessor* accessor, int column, bool& isNull) {
  const IZVariantManager* manager = DefaultVarManager().get();
  TZVariant value;
  switch (type) {
    case ftSmallint: case ftInteger: case ftAutoInc: manager->SetAsInteger(value, accessor->GetInt(column, isNull)); break;
    case ftLargeint: manager->SetAsInteger(value, accessor->GetLong(column, isNull)); break;
    case ftBoolean: manager->SetAsBoolean(value, accessor->GetBoolean(column, isNull)); break;
    case ftFloat: manager->SetAsFloat(value, accessor->GetDouble(column, isNull)); break;
    case ftCurrency: manager->SetAsFloat(value, accessor->GetBigDecimal(column, isNull)); break;
    case ftDate: case ftTime: case ftDateTime:
      manager->SetAsDateTime(value, accessor->GetTimestamp(column, isNull));
      break;
    case ftWideString: manager->SetAsUnicodeString(value, accessor->GetUnicodeString(column, isNull)); break;
    default: manager->SetAsString(value, accessor->GetString(column, isNull)); break;
  }
  return value;
}

void NormalizePartialKey(TZVariant& key, TZSQLType type, bool caseInsensitive) {
  const IZVariantManager* soft = SoftVarManager().get();
  if (type == stUnicodeString) {
    key = soft->Convert(key, vtUnicodeString);
    if (caseInsensitive) key.VUnicodeString = WideUpperCase(key.VUnicodeString);
    return;
  }
  key = soft->Convert(key, vtString);
  if (caseInsensitive) key.VString = AnsiUpperCase(key.VString);
}

void NormalizeWholeKey(TZVariant& key, TZSQLType type, bool caseInsensitive) {
  const IZVariantManager* soft = SoftVarManager().get();
  switch (type) {
    case stBoolean: key = soft->Convert(key, vtBoolean); return;
    case stByte: case stShort: case stInteger: case stLong: key = soft->Convert(key, vtInteger); return;
    case stFloat: case stDouble: case stBigDecimal: key = soft->Convert(key, vtFloat); return;
    case stDate: case stTime: case stTimestamp: key = soft->Convert(key, vtDateTime); return;
    case stUnicodeString:
      if (!caseInsensitive) {
        key = soft->Convert(key, vtUnicodeString);
      } else if (key.VType == vtString) {
        key.VString = UpperCase(key.VString);
        key.VUnicodeString = AnsiToWide(key.VString);
      } else {
        key.VUnicodeString = WideUpperCase(soft->GetAsUnicodeString(key));
      }
      return;
    default:
      key = soft->Convert(key, vtString);
      if (caseInsensitive) key.VString = AnsiUpperCase(key.VString);
  }
}

bool MatchPartialKey(const TZVariant& key, IZResultSet* resultSet, int column, TZSQLType type,
                     bool caseInsensitive) {
  bool wide = type == stUnicodeString;
  AnsiString keyText = wide ? WideToAnsi(key.VUnicodeString) : key.VString;
  AnsiString rowText = wide ? WideToAnsi(resultSet->GetUnicodeString(column)) : resultSet->GetString(column);
  if (caseInsensitive) rowText = AnsiUpperCase(rowText);
  return PrefixMatches(rowText, keyText);
}

bool MatchWholeKey(const TZVariant& key, IZResultSet* resultSet, int column, TZSQLType type,
                   bool caseInsensitive) {
  const IZVariantManager* soft = SoftVarManager().get();
  switch (type) {
    case stBoolean: return soft->GetAsBoolean(key) == resultSet->GetBoolean(column);
    case stByte: case stShort: case stInteger: case stLong:
      return soft->GetAsInteger(key) == resultSet->GetLong(column);
    case stFloat: case stDouble: case stBigDecimal:
      return SameFloat(soft->GetAsFloat(key), resultSet->GetBigDecimal(column));
    case stDate: case stTime: case stTimestamp: return soft->GetAsDateTime(key) == resultSet->GetTimestamp(column);
    case stUnicodeString: {
      WideString row = resultSet->GetUnicodeString(column);
      return key.VUnicodeString == (caseInsensitive ? WideUpperCase(row) : row);
    }
    default: {
      AnsiString row = resultSet->GetString(column);
      return key.VString == (caseInsensitive ? AnsiUpperCase(row) : row);
    }
  }
}

}  // namespace

std::vector<int> FieldLookupIndices(const TZFieldLookupTable& table, const std::vector<TField*>& fields) {
  std::vector<int> indices;
  for (const TField* field : fields) indices.push_back(FieldLookupIndex(table, field));
  return indices;
}

void ReadKeyValuesFromRowAccessor(const std::vector<TField*>& fields, const std::vector<int>& columns,
                                  TZRowAccessor* rowAccessor, TZVariantDynArray& values) {
  values.resize(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) {
    bool isNull = false;
    values[i] = KeyOf(fields[i]->DataType(), rowAccessor, columns[i], isNull);
    if (isNull) values[i] = NullVariant();
  }
}

void NormalizeKeyValues(const std::vector<TField*>& fields, TZVariantDynArray& keys, IZResultSet* resultSet,
                        bool partialKey, bool caseInsensitive) {
  Ref<IZResultSetMetadata> metadata = resultSet->GetMetadata();
  for (std::size_t i = 0; i < fields.size() && i < keys.size(); ++i) {
    if (keys[i].VType == vtNull) continue;
    TZSQLType type = metadata->GetColumnType(fields[i]->FieldNo());
    if (partialKey) NormalizePartialKey(keys[i], type, caseInsensitive);
    else NormalizeWholeKey(keys[i], type, caseInsensitive);
  }
}

bool MatchKeyValuesInResultSet(const std::vector<TField*>& fields, const TZVariantDynArray& keys,
                               IZResultSet* resultSet, bool partialKey, bool caseInsensitive) {
  Ref<IZResultSetMetadata> metadata = resultSet->GetMetadata();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    int column = fields[i]->FieldNo();
    if (keys[i].VType == vtNull) {
      if (!resultSet->IsNull(column)) return false;
      continue;
    }
    TZSQLType type = metadata->GetColumnType(column);
    bool matches = partialKey ? MatchPartialKey(keys[i], resultSet, column, type, caseInsensitive)
                              : MatchWholeKey(keys[i], resultSet, column, type, caseInsensitive);
    if (!matches || resultSet->WasNull()) return false;
  }
  return true;
}

bool MatchKeyValues(const TZVariantDynArray& keys, const TZVariantDynArray& rowValues, bool partialKey,
                    bool caseInsensitive) {
  const IZVariantManager* soft = SoftVarManager().get();
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (!caseInsensitive && !partialKey) {
      if (soft->Compare(keys[i], rowValues[i]) != 0) return false;
      continue;
    }
    AnsiString key = soft->GetAsString(keys[i]);
    AnsiString row = soft->GetAsString(rowValues[i]);
    if (caseInsensitive) {
      key = AnsiUpperCase(key);
      row = AnsiUpperCase(row);
    }
    if (partialKey ? !PrefixMatches(row, key) : key != row) return false;
  }
  return true;
}

bool MasterFieldMatches(const TField* detail, IZResultSet* resultSet, const TField* master) {
  int column = detail->FieldNo();
  if (column < 1) return false;
  switch (detail->DataType()) {
    case ftSmallint: case ftInteger: case ftAutoInc: return resultSet->GetInt(column) == master->ValueAsInteger();
    case ftBoolean: return resultSet->GetBoolean(column) == master->ValueAsBoolean();
    // In double precision: through a float, a detail value such as 1234.5678
    // is off by more than the tolerance and never matches its master.
    case ftFloat: return SameFloat(resultSet->GetDouble(column), master->ValueAsFloat());
    case ftCurrency: return SameFloat(resultSet->GetBigDecimal(column), master->ValueAsCurrency());
    case ftDate: return resultSet->GetDate(column) == master->ValueAsDateTime();
    case ftTime: return resultSet->GetTime(column) == master->ValueAsDateTime();
    case ftDateTime: return resultSet->GetTimestamp(column) == master->ValueAsDateTime();
    case ftWideString: {
      Variant value = master->ValueAsVariant();
      return !VarIsNull(value) && !VarIsEmpty(value) && value.AsWideString() == resultSet->GetUnicodeString(column);
    }
    case ftLargeint:
      if (dynamic_cast<const TLargeintField*>(master)) return resultSet->GetLong(column) == master->ValueAsLargeInt();
      return resultSet->GetInt(column) == master->ValueAsInteger();
    default: return resultSet->GetString(column) == master->ValueAsString();
  }
}
