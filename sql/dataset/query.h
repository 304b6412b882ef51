// TZAbstractDataset asks for updatable results and keeps the cached result
// set (and its resolver) that the driver returns for them, and turns the
// platform's insert, edit, cancel, post and delete into row operations on
// that result set, which writes them to the server through its resolver (at
// once, or when cached updates are switched off). TZQuery is the query
// component applications place on their forms.
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
  void CancelRecordData() override;
  void AddRecordData(char* buffer, bool append) override;
  // Checks required fields, posts the insert or edit, and re-sorts a sorted
  // dataset keeping the posted record current.
  void PostRecordData() override;
  void DeleteRecordData() override;
  // Writes the edited buffer into its row and posts it; a row that no longer
  // passes the filters leaves the visible records.
  void PostModifiedRecord();

private:
  // The visible row at CurrentPosition in the cached result set.
  int MoveToCurrentRow();
  // After the row at CurrentPosition has changed: when it no longer passes
  // the filters it leaves the visible records.
  bool DropCurrentRowUnlessVisible();

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
