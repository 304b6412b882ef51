// Virtual result sets: cached result sets whose rows exist only in memory and
// are never written anywhere. Catalogue answers are built in them, row by row
// or as copies of a result the server produced.
#pragma once

#include "sql/core/dbc/cached_result_set.h"

class IZVirtualResultSet : public virtual IZCachedResultSet {
public:
  virtual void SetType(TZResultSetType value) = 0;
  virtual void SetConcurrency(TZResultSetConcurrency value) = 0;
};

class TZVirtualResultSet : public TZAbstractCachedResultSet, public virtual IZVirtualResultSet {
public:
  // Open, empty and read-only until the creator says otherwise.
  TZVirtualResultSet(const TZColumnInfoList& columnsInfo, const AnsiString& sql)
      : TZAbstractCachedResultSet(columnsInfo, sql) {}

  void SetType(TZResultSetType value) override { TZAbstractResultSet::SetType(value); }
  void SetConcurrency(TZResultSetConcurrency value) override { TZAbstractResultSet::SetConcurrency(value); }

protected:
  // Nothing to compute and nowhere to write: changes stay in memory.
  void CalculateRowDefaults(TZRowAccessor*) override {}
  void PostRowUpdates(TZRowAccessor*, TZRowAccessor*) override {}
};
