// TZAbstractDataset asks for updatable results and keeps the cached result
// set (and its resolver) that the driver returns for them; TZQuery is the
// query component applications place on their forms. Editing through the
// cached result set is built on top of these.
#pragma once

#include <cstdint>

#include "sql/core/dbc/cached_result_set.h"
#include "sql/dataset/ro_dataset.h"

enum TZUpdateMode : std::uint8_t { umUpdateChanged, umUpdateAll };
enum TZWhereMode : std::uint8_t { wmWhereKeyOnly, wmWhereAll };

class TZAbstractDataset : public TZAbstractRODataset {
public:
  explicit TZAbstractDataset(TComponent* owner);

  bool CachedUpdates() const { return cachedUpdates_; }
  void SetCachedUpdates(bool value);
  TZUpdateMode UpdateMode() const { return updateMode_; }
  // A change closes the dataset, so the next open prepares with the new mode.
  void SetUpdateMode(TZUpdateMode value);
  TZWhereMode WhereMode() const { return whereMode_; }
  void SetWhereMode(TZWhereMode value);

  const Ref<IZCachedResultSet>& CachedResultSet() const { return cachedResultSet_; }
  const Ref<IZCachedResolver>& CachedResolver() const { return cachedResolver_; }

protected:
  Ref<IZPreparedStatement> CreateStatement(const AnsiString& sql, TStrings* properties) override;
  Ref<IZResultSet> CreateResultSet(const AnsiString& sql, int maxRows) override;
  void CloseCursorData() override;

private:
  bool cachedUpdates_ = false;
  TZUpdateMode updateMode_ = umUpdateChanged;
  TZWhereMode whereMode_ = wmWhereKeyOnly;
  Ref<IZCachedResultSet> cachedResultSet_;
  Ref<IZCachedResolver> cachedResolver_;
};

class TZQuery : public TZAbstractDataset {
public:
  using TZAbstractDataset::TZAbstractDataset;
};
