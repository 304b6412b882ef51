// Embedded file storage: loading and saving the bytes, the "FileData" form
// and the design-time checks of the save name.
#include "util/components/file_storage.h"

#include "platform/gui/dialogs.h"
#include "platform/rtl/byte_order.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "util/routines/text_slicing.h"

namespace {
constexpr char SCannotLoad[] = "Can not load data from the \"%s\" file";
constexpr char SCannotSave[] = "Can not save data to the \"%s\" file";
constexpr char SAutoSaveWrongName[] = "AutoSave can not be set because the SaveName property contains a wrong file name";
}  // namespace

TUtlCustomFileStorage::TUtlCustomFileStorage(TComponent* owner)
    : TUtlComponent(owner), data_(std::make_unique<TMemoryStream>()) {}

TUtlCustomFileStorage::~TUtlCustomFileStorage() = default;

void TUtlCustomFileStorage::SetAutoSave(bool value) { autoSave_ = value; }

void TUtlCustomFileStorage::SetFileName(const AnsiString& value) {
  fileName_ = value;
  if (InState(csDesigning)) Load();
}

bool TUtlCustomFileStorage::LoadFromFile(const AnsiString& name) {
  Clear();
  if (!FileExists(name)) {
    if (OnLoad) OnLoad(this, false);
    return false;
  }
  try {
    TFileStream file(name, fmOpenRead | fmShareDenyWrite);
    data_->SetSize(file.Size());
    data_->SetPosition(0);
    data_->CopyFrom(&file, 0);
  } catch (const Exception&) {
    Clear();
    if (OnLoad) OnLoad(this, false);
    throw EUtlFileStorage(Format(SCannotLoad, {name}));
  }
  if (OnLoad) OnLoad(this, true);
  return true;
}

bool TUtlCustomFileStorage::SaveToFile(const AnsiString& name) {
  bool overrideFile = true;
  if (FileExists(name) && OnConfirmOverride) OnConfirmOverride(this, overrideFile);
  if (!overrideFile) {
    if (OnSave) OnSave(this, false);
    return false;
  }
  try {
    TFileStream file(name, fmCreate);
    file.WriteBuffer(data_->Memory(), data_->Size());
  } catch (const Exception&) {
    if (OnSave) OnSave(this, false);
    throw EUtlFileStorage(Format(SCannotSave, {name}));
  }
  if (OnSave) OnSave(this, true);
  return true;
}

void TUtlCustomFileStorage::ReadData(TStream* stream) {
  std::uint8_t count[4];
  stream->ReadBuffer(count, sizeof count);
  const std::uint32_t n = GetLE32(count);
  // A damaged count must not make us take gigabytes the stream does not hold.
  if (std::int64_t(n) > stream->Size() - stream->Position()) throw EReadError(SReadError);
  Clear();
  if (n == 0) return;
  data_->SetSize(n);
  stream->ReadBuffer(data_->Memory(), n);
}

void TUtlCustomFileStorage::WriteData(TStream* stream) {
  std::uint8_t count[4];
  PutLE32(count, DataSize());
  stream->WriteBuffer(count, sizeof count);
  if (DataSize()) stream->WriteBuffer(data_->Memory(), DataSize());
}

void TUtlCustomFileStorage::Loaded() {
  TUtlComponent::Loaded();
  if (autoSave_ && !InState(csDesigning)) Save();
}

void TUtlFileStorage::SetSaveName(const AnsiString& value) {
  if (value == saveName_) return;
  saveName_ = value;
  if (InState(csDesigning) && !UtlCanCreateFile(saveName_)) SetAutoSave(false);
}

void TUtlFileStorage::SetAutoSave(bool value) {
  if (value && InState(csDesigning) && !UtlCanCreateFile(saveName_)) {
    MessageBox(0, SAutoSaveWrongName, "Warning", MB_ICONWARNING | MB_OK);
    value = false;
  }
  TUtlCustomFileStorage::SetAutoSave(value);
}
