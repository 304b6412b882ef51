// A dataset's links to other datasets: the parameter source whose record
// feeds the query's parameters (the query runs again when it moves), the
// master whose key fields filter the fetched rows of a detail, the key copied
// into a new detail record, and refreshing, which runs the query again and
// returns to the record with the same key.
#include "platform/db/typed_fields.h"
#include "platform/rtl/numbers.h"
#include "sql/core/dbc/column_info.h"
#include "sql/core/dbc/row_accessor.h"
#include "sql/core/messages.h"
#include "sql/core/variant_bridge.h"
#include "sql/dataset/dataset_error.h"
#include "sql/dataset/key_values.h"
#include "sql/dataset/ro_dataset.h"

namespace {

// Deep enough for any real chain of links; a longer one is taken as a loop.
constexpr int kMaxLinkDepth = 64;

// Whether following source's dataset through its parameter and master
// sources leads back to target. Both kinds count: a loop of either makes
// each dataset's change refresh the next one without end.
bool LinksBackTo(const TDataSet* target, TDataSource* source, int depth = 0) {
  if (!source) return false;
  if (depth > kMaxLinkDepth) return true;
  TDataSet* dataSet = source->DataSet();
  if (!dataSet) return false;
  if (dataSet == target) return true;
  if (LinksBackTo(target, dataSet->DataSourceOfDataset(), depth + 1)) return true;
  auto* linked = dynamic_cast<TZAbstractRODataset*>(dataSet);
  return linked && LinksBackTo(target, linked->MasterSource(), depth + 1);
}

// Runs body with the dataset's controls suspended, resuming them also on error.
template <class Body>
void WithControlsSuspended(TDataSet* dataSet, Body&& body) {
  dataSet->SuspendControls();
  try {
    body();
  } catch (...) {
    dataSet->ResumeControls();
    throw;
  }
  dataSet->ResumeControls();
}

}  // namespace

void TZDataLink::LinkActiveChanged() {
  if (dataset_->Active()) dataset_->RefreshParams();
}

void TZDataLink::LinkRecordChanged(TField* field) {
  if (!field && dataset_->Active()) dataset_->RefreshParams();
}

TDataSource* TZAbstractRODataset::DataSource() const { return dataLink_->DataSource(); }

void TZAbstractRODataset::AttachSource(TDataLink& link, TDataSource* value) {
  if (LinksBackTo(this, value)) throw EZDatabaseError(SZCircularLink);
  if (link.DataSource()) link.DataSource()->RemoveFreeNotification(this);
  link.SetDataSource(value);
  if (value) value->FreeNotification(this);
}

void TZAbstractRODataset::SetDataSource(TDataSource* value) {
  if (value != DataSource()) AttachSource(*dataLink_, value);
}

TDataSource* TZAbstractRODataset::MasterSource() const { return masterLink_->DataSource(); }

void TZAbstractRODataset::SetMasterSource(TDataSource* value) {
  if (value == MasterSource()) return;
  AttachSource(*masterLink_, value);
  RebuildRowList();
}

const AnsiString& TZAbstractRODataset::MasterFields() const { return masterLink_->FieldNames(); }

void TZAbstractRODataset::SetMasterFields(const AnsiString& value) {
  if (value == MasterFields()) return;
  masterLink_->SetFieldNames(value);
  RebuildRowList();
}

void TZAbstractRODataset::SetLinkedFields(const AnsiString& value) {
  if (value == linkedFields_) return;
  linkedFields_ = value;
  linkedFieldList_.clear();
  if (!Active()) return;
  linkedFieldList_ = FieldList(value);
  RebuildRowList();
}

void TZAbstractRODataset::RefreshParams() {
  WithControlsSuspended(this, [&] {
    TDataSet* source = dataLink_->DataSet();
    if (source && source->Active() && source->State() != dsEdit && source->State() != dsSetKey) Refresh();
  });
}

void TZAbstractRODataset::MasterRecordChanged() {
  EnsureBrowseMode();
  TDataSet* master = masterLink_->DataSet();
  bool masterEditing = master && (master->State() == dsEdit || master->State() == dsInsert);
  if ((Options() & doAlwaysDetailResync) || !masterEditing) RebuildRowList();
}

// A 64-bit key on either side is copied whole: through a 32-bit variant a
// master key such as 5000000000 would be cut down.
void TZAbstractRODataset::FireNewRecord() {
  const std::vector<TField*>& masters = masterLink_->Fields();
  if (masterLink_->Active()) {
    for (std::size_t i = 0; i < masters.size() && i < linkedFieldList_.size(); ++i) {
      TField* master = masters[i];
      TField* detail = linkedFieldList_[i];
      bool masterLarge = dynamic_cast<TLargeintField*>(master) != nullptr;
      bool detailLarge = dynamic_cast<TLargeintField*>(detail) != nullptr;
      if (!masterLarge && !detailLarge) {
        detail->SetValueAsVariant(master->ValueAsVariant());
        continue;
      }
      std::int64_t value = masterLarge ? master->ValueAsLargeInt() : master->ValueAsInteger();
      if (detailLarge) detail->SetValueAsLargeInt(value);
      else detail->SetValueAsString(IntToStr(value));
    }
  }
  TDataSet::FireNewRecord();
}

void TZAbstractRODataset::CloseAfterFailedRefresh() {
  // The record buffers were laid out by the accessor that the refresh
  // dropped; one made from the same fields gives them back.
  if (!rowAccessor_) rowAccessor_ = std::make_unique<TZRowAccessor>(*FieldsToColumnInfos(Fields()));
  try {
    Close();
  } catch (...) {
    // The error of the refresh is the one to report.
  }
}

void TZAbstractRODataset::RefreshCursor() {
  if (!Active()) return;
  AnsiString keyFields;
  Variant keyValues;
  if (currentPosition_ >= 1 && currentPosition_ <= static_cast<int>(rowList_.size())) {
    resultSet_->MoveAbsolute(rowList_[currentPosition_ - 1]);
    keyFields = properties_.Values("KeyFields");
    if (keyFields.empty()) keyFields = DataFieldNameList(Fields());
    bool onlyDataFields = true;
    std::vector<TField*> fields = ParseFieldList(this, keyFields, onlyDataFields);
    TZVariantDynArray values(fields.size());
    ReadKeyValuesFromResultSet(fields, resultSet_.get(), values);
    if (!values.empty()) keyValues = values.size() == 1 ? EncodeVariant(values[0]) : EncodeVariantArray(values);
    else keyFields.clear();
  }
  bool found = false;
  WithControlsSuspended(this, [&] {
    refreshInProgress_ = true;
    try {
      CloseCursorData();
      OpenCursorData();
    } catch (...) {
      // Without a result the dataset cannot stay open.
      refreshInProgress_ = false;
      CloseAfterFailedRefresh();
      throw;
    }
    refreshInProgress_ = false;
    DoBeforeScroll();
    if (!keyFields.empty()) found = LocateRecords(keyFields, keyValues, 0);
  });
  if (!found) {
    DoBeforeScroll();
    DoAfterScroll();
  }
}
