// TZAbstractDataset: update and where modes as statement properties, and the
// cached result set that updatable results come in.
#include "sql/dataset/query.h"

#include "sql/core/dbc/cached_result_set.h"

TZAbstractDataset::TZAbstractDataset(TComponent* owner) : TZAbstractRODataset(owner) { requestLive_ = true; }

void TZAbstractDataset::SetCachedUpdates(bool value) {
  if (value == cachedUpdates_) return;
  cachedUpdates_ = value;
  if (Active() && cachedResultSet_) cachedResultSet_->SetCachedUpdates(value);
}

void TZAbstractDataset::SetUpdateMode(TZUpdateMode value) {
  if (value == updateMode_) return;
  updateMode_ = value;
  if (Active()) Close();
}

void TZAbstractDataset::SetWhereMode(TZWhereMode value) {
  if (value == whereMode_) return;
  whereMode_ = value;
  if (Active()) Close();
}

Ref<IZPreparedStatement> TZAbstractDataset::CreateStatement(const AnsiString& sql, TStrings* properties) {
  TStringList lines;
  if (properties) lines.AddStrings(properties);
  lines.SetValues("update", updateMode_ == umUpdateAll ? "all" : "changed");
  lines.SetValues("where", whereMode_ == wmWhereAll ? "all" : "keyonly");
  return TZAbstractRODataset::CreateStatement(sql, &lines);
}

Ref<IZResultSet> TZAbstractDataset::CreateResultSet(const AnsiString& sql, int maxRows) {
  Ref<IZResultSet> resultSet = TZAbstractRODataset::CreateResultSet(sql, maxRows);
  if (!resultSet) return resultSet;
  cachedResultSet_ = Query<IZCachedResultSet>(resultSet);
  cachedResolver_ = nullptr;
  if (cachedResultSet_) {
    cachedResolver_ = cachedResultSet_->GetResolver();
    cachedResultSet_->SetCachedUpdates(cachedUpdates_);
  }
  return resultSet;
}

void TZAbstractDataset::CloseCursorData() {
  TZAbstractRODataset::CloseCursorData();
  if (cachedResultSet_) cachedResultSet_->Close();
  cachedResultSet_ = nullptr;
  cachedResolver_ = nullptr;
}
