// The type-information catalogue that every driver answers from a fixed
// table of its types: one row per type with the common flags filled alike.
#pragma once

#include <vector>

#include "sql/core/dbc/interfaces.h"

// One row of a driver's type table.
struct TZTypeInfoRow {
  const char* Name;
  TZSQLType Type;
  int Precision;  // kNoTypePrecision where the type has none
};
inline constexpr int kNoTypePrecision = -1;

// Whether the type's literals are written between single quotes.
bool TypeHasQuotedLiterals(TZSQLType type);

// A result of the type-information layout with one row per entry, in order:
// literal quotes for quoted types, nullable, not case sensitive, searchable
// 0, no fixed scale, radix 10, and auto-increment only for "INTEGER".
Ref<IZResultSet> BuildTypeInfoResultSet(const std::vector<TZTypeInfoRow>& rows);
