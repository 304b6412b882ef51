// TZAbstractDataset: applying one record of a data provider's change set.
// The record is found by the old values of its key fields and changed
// through the dataset's own editing, so the resolver writes it as any edit.
#include <exception>

#include "platform/rtl/variant.h"
#include "sql/dataset/dataset_utils.h"
#include "sql/dataset/query.h"

bool TZAbstractDataset::ProviderUpdateRecord(TUpdateKind kind, TDataSet* delta) {
  bool wasActive = Active();
  bool wasLive = requestLive_;
  bool result = false;
  auto restore = [&] {
    requestLive_ = wasLive;
    SetActive(wasActive);
  };
  try {
    requestLive_ = true;
    if (!Active()) Open();
    EnsureBrowseMode();
    SuspendControls();
    try {
      TBookmark bookmark = TakeBookmark();
      result = ApplyDeltaRecord(kind, delta);
      try {
        ReturnToBookmark(bookmark);
      } catch (const std::exception&) {
        First();
      }
      DropBookmark(bookmark);
    } catch (...) {
      ResumeControls();
      throw;
    }
    ResumeControls();
  } catch (...) {
    restore();
    throw;
  }
  restore();
  return result;
}

// Any failure of the change itself is the provider's "not applied"; a record
// left half-edited by it is cancelled, so nothing of it stays behind.
bool TZAbstractDataset::ApplyDeltaRecord(TUpdateKind kind, TDataSet* delta) {
  try {
    switch (kind) {
      case ukModify:
        if (!LocateDeltaRecord(delta)) return false;
        Edit();
        CopyDeltaFields(delta);
        Post();
        return true;
      case ukInsert:
        Append();
        CopyDeltaFields(delta);
        Post();
        return true;
      case ukDelete:
        if (!LocateDeltaRecord(delta)) return false;
        Delete();
        return true;
    }
  } catch (const std::exception&) {
    if (State() == dsEdit || State() == dsInsert) Cancel();
  }
  return false;
}

bool TZAbstractDataset::LocateDeltaRecord(TDataSet* delta) {
  AnsiString keyList = Properties()->Values("KeyFields");
  if (keyList.empty()) keyList = DataFieldNameList(Fields());
  bool onlyDataFields = true;
  std::vector<TField*> keys = ParseFieldList(this, keyList, onlyDataFields);
  if (keys.empty()) return false;
  // Old values keep their whole width: a 64-bit key finds its own record.
  Variant values = VarArrayCreate(0, static_cast<int>(keys.size()) - 1, varVariant);
  for (std::size_t i = 0; i < keys.size(); ++i)
    VarArrayPut(values, delta->FieldNamed(keys[i]->FieldName())->PriorValue(), static_cast<int>(i));
  return LocateRecords(keyList, keys.size() == 1 ? VarArrayGet(values, 0) : values, 0);
}

void TZAbstractDataset::CopyDeltaFields(TDataSet* delta) {
  for (TField* field : Fields()) {
    if (field->FieldKind() != fkData) continue;  // computed here, never written
    TField* source = delta->FieldNamed(field->FieldName());
    if (!delta->HasNewValue(source)) continue;
    Variant value = source->PendingValue();
    if (VarIsNull(value)) field->Clear();
    else field->SetValueAsVariant(value);
  }
}
