// Key values of rows: reading them from a result set or a row buffer,
// preparing the keys of a search once, and matching them against rows, as
// locating records and following a master dataset need it.
#pragma once

#include <vector>

#include "sql/core/dbc/interfaces.h"
#include "sql/dataset/dataset_utils.h"

class TField;
class TZRowAccessor;

// FieldLookupIndex of each field, in order.
std::vector<int> FieldLookupIndices(const TZFieldLookupTable& table, const std::vector<TField*>& fields);

// Value i is field i's accessor column columns[i] (null when null).
void ReadKeyValuesFromRowAccessor(const std::vector<TField*>& fields, const std::vector<int>& columns,
                                  TZRowAccessor* rowAccessor, TZVariantDynArray& values);

// Brings every non-null key into the kind its column compares in (texts for
// partial keys, upper-cased when the case does not count).
void NormalizeKeyValues(const std::vector<TField*>& fields, TZVariantDynArray& keys, IZResultSet* resultSet,
                        bool partialKey, bool caseInsensitive);
// Whether the result set's current row holds the normalised keys.
bool MatchKeyValuesInResultSet(const std::vector<TField*>& fields, const TZVariantDynArray& keys,
                               IZResultSet* resultSet, bool partialKey, bool caseInsensitive);
// Whether values read from a row buffer hold the keys.
bool MatchKeyValues(const TZVariantDynArray& keys, const TZVariantDynArray& rowValues, bool partialKey,
                    bool caseInsensitive);
// Whether the detail field's column in the current row equals the master
// field's value.
bool MasterFieldMatches(const TField* detail, IZResultSet* resultSet, const TField* master);
