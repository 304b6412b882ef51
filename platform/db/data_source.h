// TDataSource connects a dataset to data links; TDataLink is the receiving
// end that controls, parameter sources and detail datasets derive from; the
// master data link follows a master dataset's key fields for a detail.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/db/db_types.h"
#include "platform/rtl/components.h"

class TDataSet;
class TDataLink;
class TField;

class TDataSource : public TComponent {
public:
  using TNotifyEvent = std::function<void(TObject* sender)>;
  using TDataChangeEvent = std::function<void(TObject* sender, TField* field)>;

  explicit TDataSource(TComponent* owner);
  ~TDataSource() override;
  void BeforeDestruction() override;

  TDataSet* DataSet() const { return dataSet_; }
  // Raises "Circular datalinks are not allowed" when the dataset reads this source.
  void SetDataSet(TDataSet* dataSet);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  // The dataset's state, or inactive while disabled or without a dataset.
  TDataSetState State() const { return state_; }
  int LinkCount() const { return static_cast<int>(links_.size()); }

  TNotifyEvent OnStateChange;
  TDataChangeEvent OnDataChange;
  TNotifyEvent OnUpdateData;

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TDataSet;
  friend class TDataLink;

  void DataEvent(TDataEvent event, intptr_t info);
  void UpdateState();
  void AddLink(TDataLink* link);
  void RemoveLink(TDataLink* link);

  TDataSet* dataSet_ = nullptr;
  bool enabled_ = true;
  TDataSetState state_ = dsInactive;
  std::vector<TDataLink*> links_;
};

// Receives a data source's events. Descendants override the Link... hooks;
// events are delivered only while the link is active (its source's dataset
// open) and, through the dataset, only while controls are not suspended.
class TDataLink : public TObject {
public:
  TDataLink() = default;
  ~TDataLink() override;
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const { return dataSource_; }
  void SetDataSource(TDataSource* source);
  TDataSet* DataSet() const;
  bool Active() const { return active_; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  bool Editing() const { return editing_; }
  // Puts the dataset into edit mode for a control; false when it cannot.
  bool Edit();
  // Asks the control behind the link to store its value (LinkUpdateData).
  void UpdateRecord();

  // How many records the link shows at once; the dataset buffers at least
  // the largest BufferCount of its links.
  int BufferCount() const { return bufferCount_; }
  void SetBufferCount(int value);
  // Index of the dataset's current record within the link's window.
  int ActiveRecord() const;
  void SetActiveRecord(int value);
  int RecordCount() const;

protected:
  virtual void LinkActiveChanged() {}
  virtual void LinkCheckBrowseMode() {}
  virtual void LinkDataSetChanged() { LinkRecordChanged(nullptr); }
  virtual void LinkDataSetScrolled(int) { LinkDataSetChanged(); }
  virtual void LinkEditingChanged() {}
  virtual void LinkLayoutChanged() { LinkDataSetChanged(); }
  // `field` is the changed field, or none when the record as a whole changed.
  virtual void LinkRecordChanged(TField*) {}
  virtual void LinkUpdateData() {}

private:
  friend class TDataSource;

  void DataEvent(TDataEvent event, intptr_t info);
  void SetActive(bool value);
  void UpdateRange();
  void SetEditing(bool value);

  TDataSource* dataSource_ = nullptr;
  int bufferCount_ = 1;
  int firstRecord_ = 0;
  bool active_ = false;
  bool readOnly_ = false;
  bool editing_ = false;
  bool updating_ = false;
};

// A detail dataset's link to its master: resolves FieldNames in the master
// dataset and reports master moves (OnMasterChange) and loss of the master
// (OnMasterDisable) while the detail dataset is open.
class TMasterDataLink : public TDataLink {
public:
  using TLinkEvent = std::function<void(TMasterDataLink* link)>;

  explicit TMasterDataLink(TDataSet* detail) : detail_(detail) {}

  TDataSet* Detail() const { return detail_; }
  const AnsiString& FieldNames() const { return fieldNames_; }
  void SetFieldNames(const AnsiString& names);
  // The master's fields named by FieldNames while the link is active.
  const std::vector<TField*>& Fields() const { return fields_; }

  TLinkEvent OnMasterChange;
  TLinkEvent OnMasterDisable;

protected:
  void LinkActiveChanged() override;
  void LinkCheckBrowseMode() override;
  void LinkLayoutChanged() override { LinkActiveChanged(); }
  void LinkRecordChanged(TField* field) override;

private:
  TDataSet* detail_;
  AnsiString fieldNames_;
  std::vector<TField*> fields_;
};
