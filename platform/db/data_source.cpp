// Data sources, data links and the master data link: how a dataset's events
// reach the objects that show or follow its records.
#include "platform/db/data_source.h"

#include <algorithm>

#include "platform/db/dataset.h"

// ---- TDataSource ----

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
  if (dataSet_) {
    auto& sources = dataSet_->dataSources_;
    sources.erase(std::remove(sources.begin(), sources.end(), this), sources.end());
  }
  for (TDataLink* link : links_) link->dataSource_ = nullptr;
}

void TDataSource::BeforeDestruction() {
  if (!InState(csDestroying)) {
    SetDataSet(nullptr);
    for (TDataLink* link : std::vector<TDataLink*>(links_)) link->SetDataSource(nullptr);
  }
  TComponent::BeforeDestruction();
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_) {
    auto& sources = dataSet_->dataSources_;
    sources.erase(std::remove(sources.begin(), sources.end(), this), sources.end());
    dataSet_->RemoveFreeNotification(this);
  }
  dataSet_ = dataSet;
  if (dataSet_) {
    dataSet_->dataSources_.push_back(this);
    dataSet_->FreeNotification(this);
    if (dataSet_->Active()) dataSet_->UpdateBufferCount();
  }
  UpdateState();
}

void TDataSource::SetEnabled(bool value) {
  enabled_ = value;
  UpdateState();
}

void TDataSource::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == dataSet_) SetDataSet(nullptr);
}

void TDataSource::UpdateState() {
  TDataSetState state = enabled_ && dataSet_ ? dataSet_->State() : dsInactive;
  if (state == state_) return;
  state_ = state;
  for (TDataLink* link : std::vector<TDataLink*>(links_)) link->DataEvent(deUpdateState, 0);
  if (OnStateChange) OnStateChange(this);
}

void TDataSource::DataEvent(TDataEvent event, intptr_t info) {
  if (event == deUpdateState) {
    UpdateState();
    return;
  }
  if (state_ == dsInactive) return;
  for (TDataLink* link : std::vector<TDataLink*>(links_)) link->DataEvent(event, info);
  switch (event) {
    case deFieldChange: case deRecordChange: case deDataSetChange: case deDataSetScroll:
    case deLayoutChange:
      if (OnDataChange)
        OnDataChange(this, event == deFieldChange ? reinterpret_cast<TField*>(info) : nullptr);
      break;
    case deUpdateRecord:
      if (OnUpdateData) OnUpdateData(this);
      break;
    default:
      break;
  }
}

void TDataSource::AddLink(TDataLink* link) {
  links_.push_back(link);
  if (dataSet_ && dataSet_->Active()) dataSet_->UpdateBufferCount();
}

void TDataSource::RemoveLink(TDataLink* link) {
  links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
  if (dataSet_ && dataSet_->Active()) dataSet_->UpdateBufferCount();
}

// ---- TDataLink ----

TDataLink::~TDataLink() {
  // No hooks from here on: the derived parts of the link are gone.
  if (dataSource_) dataSource_->RemoveLink(this);
}

TDataSet* TDataLink::DataSet() const { return dataSource_ ? dataSource_->DataSet() : nullptr; }

void TDataLink::SetDataSource(TDataSource* source) {
  if (source == dataSource_) return;
  if (dataSource_) dataSource_->RemoveLink(this);
  dataSource_ = source;
  if (dataSource_) dataSource_->AddLink(this);
  DataEvent(deUpdateState, 0);
}

void TDataLink::DataEvent(TDataEvent event, intptr_t info) {
  if (event == deUpdateState) {
    SetActive(dataSource_ && dataSource_->State() != dsInactive);
    TDataSetState state = dataSource_ ? dataSource_->State() : dsInactive;
    SetEditing(active_ && (state == dsEdit || state == dsInsert || state == dsSetKey));
    return;
  }
  if (!active_) return;
  switch (event) {
    case deFieldChange:
    case deRecordChange:
      if (!updating_) LinkRecordChanged(reinterpret_cast<TField*>(info));
      break;
    case deDataSetChange:
      UpdateRange();
      LinkDataSetChanged();
      break;
    case deDataSetScroll:
      firstRecord_ += static_cast<int>(info);
      UpdateRange();
      LinkDataSetScrolled(static_cast<int>(info));
      break;
    case deLayoutChange:
      UpdateRange();
      LinkLayoutChanged();
      break;
    case deUpdateRecord:
      UpdateRecord();
      break;
    case deCheckBrowseMode:
      LinkCheckBrowseMode();
      break;
    default:
      break;
  }
}

void TDataLink::SetActive(bool value) {
  if (active_ == value) return;
  active_ = value;
  firstRecord_ = 0;
  if (active_) UpdateRange();
  LinkActiveChanged();
}

void TDataLink::SetEditing(bool value) {
  if (editing_ == value) return;
  editing_ = value;
  LinkEditingChanged();
}

void TDataLink::UpdateRecord() {
  updating_ = true;
  try {
    LinkUpdateData();
  } catch (...) {
    updating_ = false;
    throw;
  }
  updating_ = false;
}

bool TDataLink::Edit() {
  TDataSet* dataSet = DataSet();
  if (!readOnly_ && dataSet && dataSource_->State() == dsBrowse) dataSet->Edit();
  return editing_;
}

void TDataLink::SetBufferCount(int value) {
  if (value < 1) value = 1;
  if (value == bufferCount_) return;
  bufferCount_ = value;
  TDataSet* dataSet = DataSet();
  if (dataSet && dataSet->Active()) dataSet->UpdateBufferCount();
  if (active_) UpdateRange();
}

// Keeps the link's window inside the dataset's buffers and around the
// dataset's current record.
void TDataLink::UpdateRange() {
  TDataSet* dataSet = DataSet();
  if (!dataSet) return;
  int active = dataSet->ActiveRecord();
  int low = std::max(0, active - bufferCount_ + 1);
  int high = std::max(low, std::min(active, dataSet->BufferCount() - bufferCount_));
  firstRecord_ = std::clamp(firstRecord_, low, high);
}

int TDataLink::ActiveRecord() const {
  TDataSet* dataSet = DataSet();
  return active_ && dataSet ? dataSet->ActiveRecord() - firstRecord_ : 0;
}

void TDataLink::SetActiveRecord(int value) {
  TDataSet* dataSet = DataSet();
  if (active_ && dataSet) dataSet->activeRecord_ = value + firstRecord_;
}

int TDataLink::RecordCount() const {
  TDataSet* dataSet = DataSet();
  if (!active_ || !dataSet) return 0;
  return std::min(dataSet->BufferedRecordCount() - firstRecord_, bufferCount_);
}

// ---- TMasterDataLink ----

void TMasterDataLink::SetFieldNames(const AnsiString& names) {
  if (names == fieldNames_) return;
  fieldNames_ = names;
  LinkActiveChanged();
}

void TMasterDataLink::LinkActiveChanged() {
  fields_.clear();
  if (Active()) fields_ = DataSet()->FieldList(fieldNames_);
  if (!detail_->Active() || detail_->InState(csDestroying)) return;
  if (Active() && !fields_.empty()) {
    if (OnMasterChange) OnMasterChange(this);
  } else if (OnMasterDisable) {
    OnMasterDisable(this);
  }
}

void TMasterDataLink::LinkCheckBrowseMode() {
  if (detail_->Active()) detail_->EnsureBrowseMode();
}

void TMasterDataLink::LinkRecordChanged(TField* field) {
  if (DataSource()->State() == dsSetKey || !detail_->Active() || fields_.empty()) return;
  if (field && std::find(fields_.begin(), fields_.end(), field) == fields_.end()) return;
  if (OnMasterChange) OnMasterChange(this);
}
