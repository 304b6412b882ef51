// The archive component base: settings that outlive any one archive, the
// binding of an archive's callbacks to the component's events, and the meter
// properties that forget a meter when it is freed.
#include "archive/ab_base_component.h"

TAbBaseBrowser::TAbBaseBrowser(TComponent* owner) : TAbBaseComponent(owner) {}

// The archive goes unsaved: a program that wants its changes calls CloseArchive.
TAbBaseBrowser::~TAbBaseBrowser() = default;

// --- Settings ------------------------------------------------------------------

void TAbBaseBrowser::SetSpanningThreshold(int32_t value) {
  spanningThreshold_ = value;
  if (archive_) archive_->SetSpanningThreshold(value);
}

void TAbBaseBrowser::SetBaseDirectory(const AnsiString& value) {
  if (!archive_) {
    baseDirectory_ = value;
    return;
  }
  archive_->SetBaseDirectory(value);
  baseDirectory_ = archive_->BaseDirectory();
}

void TAbBaseBrowser::SetLogFile(const AnsiString& value) {
  logFile_ = value;
  if (InState(csDesigning)) return;
  if (archive_) archive_->SetLogFile(value);
  SetLogging(!value.empty());
}

void TAbBaseBrowser::SetLogging(bool value) {
  logging_ = value;
  if (InState(csDesigning)) return;
  if (archive_) archive_->SetLogging(value);
}

void TAbBaseBrowser::SetOnRequestImage(const TAbRequestImageEvent& handler) {
  onRequestImage_ = handler;
  if (archive_) archive_->OnRequestImage = handler;
}

void TAbBaseBrowser::SetTempDirectory(const AnsiString& value) {
  tempDirectory_ = value;
  if (archive_) archive_->SetTempDirectory(value);
}

TAbArchiveStatus TAbBaseBrowser::Status() const { return archive_ ? archive_->Status() : arInvalid; }

void TAbBaseBrowser::CloseArchive() {
  if (!fileName_.empty()) SetFileName(AnsiString());
}

// --- Meters ----------------------------------------------------------------------

void TAbBaseBrowser::SetMeter(MeterRef& ref, IAbProgressMeter* value) {
  if (ref.component) RemoveFreeNotification(ref.component);
  ref.meter = value;
  ref.component = dynamic_cast<TComponent*>(value);
  if (ref.component) FreeNotification(ref.component);
}

void TAbBaseBrowser::Report(const MeterRef& ref, uint8_t progress) {
  if (ref.meter) ref.meter->DoProgress(progress);
}

void TAbBaseBrowser::ResetMeter(const MeterRef& ref) {
  if (ref.meter) ref.meter->Reset();
}

void TAbBaseBrowser::Notification(TComponent* component, TOperation operation) {
  // The meter's own class may already be gone, so it is known by its component.
  if (operation == opRemove && component) {
    for (MeterRef* ref : {&itemMeter_, &archiveMeter_})
      if (ref->component == component) *ref = MeterRef();
  }
  TAbBaseComponent::Notification(component, operation);
}

void TAbBaseBrowser::Loaded() {
  TAbBaseComponent::Loaded();
  DoChange();
}

// --- Events ----------------------------------------------------------------------

void TAbBaseBrowser::ResetMeters() {
  ResetMeter(archiveMeter_);
  ResetMeter(itemMeter_);
}

void TAbBaseBrowser::DoArchiveItemProgress(TAbArchiveItem* item, uint8_t progress, bool& abort) {
  abort = false;
  Report(itemMeter_, progress);
  if (OnArchiveItemProgress) OnArchiveItemProgress(this, item, progress, abort);
}

void TAbBaseBrowser::DoArchiveProgress(uint8_t progress, bool& abort) {
  abort = false;
  Report(archiveMeter_, progress);
  if (OnArchiveProgress) OnArchiveProgress(this, progress, abort);
}

void TAbBaseBrowser::DoChange() {
  if (OnChange) OnChange(this);
}

void TAbBaseBrowser::DoConfirmProcessItem(TAbArchiveItem* item, TAbProcessType processType, bool& confirm) {
  confirm = true;
  ResetMeter(itemMeter_);
  if (OnConfirmProcessItem) OnConfirmProcessItem(this, item, processType, confirm);
}

void TAbBaseBrowser::DoLoad() {
  if (OnLoad) OnLoad(this);
}

void TAbBaseBrowser::DoProcessItemFailure(TAbArchiveItem* item, TAbProcessType processType,
                                          TAbErrorClass errorClass, int32_t errorCode) {
  if (OnProcessItemFailure) OnProcessItemFailure(this, item, processType, errorClass, errorCode);
}

// --- Opening -----------------------------------------------------------------------

void TAbBaseBrowser::InitArchive() {
  ResetMeters();
  TAbArchive& a = *archive_;
  a.SetSpanningThreshold(spanningThreshold_);
  a.SetLogFile(logFile_);
  a.SetLogging(logging_);
  a.SetTempDirectory(tempDirectory_);
  SetBaseDirectory(baseDirectory_);
  // The archive names itself as sender; the component's events name the component.
  a.OnArchiveProgress = [this](TObject*, uint8_t p, bool& abort) { DoArchiveProgress(p, abort); };
  a.OnArchiveItemProgress = [this](TObject*, TAbArchiveItem* item, uint8_t p, bool& abort) {
    DoArchiveItemProgress(item, p, abort);
  };
  a.OnConfirmProcessItem = [this](TObject*, TAbArchiveItem* item, TAbProcessType type, bool& confirm) {
    DoConfirmProcessItem(item, type, confirm);
  };
  a.OnLoad = [this](TObject*) { DoLoad(); };
  a.OnProcessItemFailure = [this](TObject*, TAbArchiveItem* item, TAbProcessType type, TAbErrorClass ec,
                                  int32_t code) { DoProcessItemFailure(item, type, ec, code); };
  a.OnRequestImage = onRequestImage_;
}

void TAbBaseBrowser::Install(std::unique_ptr<TAbArchive> archive, bool load) {
  archive_ = std::move(archive);
  try {
    InitArchive();
  } catch (...) {
    archive_.reset();
    throw;
  }
  if (load) archive_->Load();
}
