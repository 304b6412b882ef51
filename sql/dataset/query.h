// TZAbstractDataset asks for updatable results and keeps the cached result
// set (and its resolver) that the driver returns for them, and turns the
// platform's insert, edit, cancel, post and delete into row operations on
// that result set, which writes them to the server through its resolver (at
// once, or when cached updates are switched off). TZQuery is the query
// component applications place on their forms. An update SQL component can
// take the driver's resolver's place, a sequence can fill a key before an
// insert is posted, and a provider's change set is applied record by record.
#pragma once

#include <cstdint>

#include "sql/core/dbc/cached_result_set.h"
#include "sql/dataset/ro_dataset.h"

enum TZUpdateMode : std::uint8_t { umUpdateChanged, umUpdateAll };
enum TZWhereMode : std::uint8_t { wmWhereKeyOnly, wmWhereAll };

class TZSequence;
class TZUpdateSQL;

class TZAbstractDataset : public TZAbstractRODataset {
public:
  explicit TZAbstractDataset(TComponent* owner);

  TZUpdateSQL* UpdateObject() const { return updateObject_; }
  // Takes effect on an open result set at once; none brings back the
  // driver's resolver.
  void SetUpdateObject(TZUpdateSQL* value);
  // Fills SequenceField, when it is null, before an insert is posted.
  TZSequence* Sequence() const { return sequence_; }
  void SetSequence(TZSequence* value);
  const AnsiString& SequenceField() const { return sequenceField_; }
  void SetSequenceField(const AnsiString& value) { sequenceField_ = value; }

  bool CachedUpdates() const { return cachedUpdates_; }
  void SetCachedUpdates(bool value);
  TZUpdateMode UpdateMode() const { return updateMode_; }
  // A change closes the dataset, so the next open prepares with the new mode.
  void SetUpdateMode(TZUpdateMode value);
  TZWhereMode WhereMode() const { return whereMode_; }
  void SetWhereMode(TZWhereMode value);

  const Ref<IZCachedResultSet>& CachedResultSet() const { return cachedResultSet_; }
  const Ref<IZCachedResolver>& CachedResolver() const { return cachedResolver_; }

  // Applies one record of a provider's change set (modify, insert, delete)
  // found by the old values of its key fields; false when the record is not
  // found or the change fails. A closed dataset is opened for it and closed
  // again.
  bool ProviderUpdateRecord(TUpdateKind kind, TDataSet* delta) override;

  // Stored with the component; nothing here raises them.
  TDataSetErrorEvent OnApplyUpdateError;
  TUpdateRecordEvent OnUpdateRecord;
  TDataSetNotifyEvent BeforeApplyUpdates, AfterApplyUpdates;

protected:
  void Notification(TComponent* component, TOperation operation) override;
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
  // Moves to the record whose key fields ("KeyFields" of Properties, else
  // every plain data field) hold the delta's old values.
  bool LocateDeltaRecord(TDataSet* delta);
  // Copies the delta's new values (only those it carries) into the record.
  void CopyDeltaFields(TDataSet* delta);
  bool ApplyDeltaRecord(TUpdateKind kind, TDataSet* delta);
  // The resolver the open result set should use now.
  Ref<IZCachedResolver> ActiveResolver() const;

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
  TZUpdateSQL* updateObject_ = nullptr;
  TZSequence* sequence_ = nullptr;
  AnsiString sequenceField_;
};

class TZQuery : public TZAbstractDataset {
public:
  using TZAbstractDataset::TZAbstractDataset;
};
