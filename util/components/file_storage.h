// Embedded file storage: a component that keeps the bytes of a file in its
// stored data ("FileData": a 4-byte little-endian count, then the bytes) and
// writes them out again, at once on request or whenever the form holding it
// is created (AutoSave). The sound component builds on the base.
#pragma once

#include <functional>
#include <memory>

#include "platform/rtl/streams.h"
#include "util/components/desktop_component.h"

VX_DECLARE_EXCEPTION(EUtlFileStorage, Exception)

using TUtlFileStorageOnFileOperation = std::function<void(TObject* sender, bool successful)>;
using TUtlFileStorageOnConfirmOverride = std::function<void(TObject* sender, bool& overrideFile)>;

class TUtlCustomFileStorage : public TUtlComponent {
public:
  explicit TUtlCustomFileStorage(TComponent* owner);
  ~TUtlCustomFileStorage() override;

  bool AutoSave() const { return autoSave_; }
  virtual void SetAutoSave(bool value);
  // The number of bytes held; it cannot be set.
  std::uint32_t DataSize() const { return std::uint32_t(data_->Size()); }
  const AnsiString& FileName() const { return fileName_; }
  // At design time the file's bytes are loaded at once.
  virtual void SetFileName(const AnsiString& value);
  TMemoryStream* Data() const { return data_.get(); }

  TUtlFileStorageOnFileOperation OnLoad;
  TUtlFileStorageOnFileOperation OnSave;
  TUtlFileStorageOnConfirmOverride OnConfirmOverride;

  // False (OnLoad false) for a missing file; EUtlFileStorage when it cannot be read.
  virtual bool LoadFromFile(const AnsiString& name);
  // An existing file is replaced only when OnConfirmOverride agrees (it does
  // unless told otherwise); EUtlFileStorage when the file cannot be written.
  virtual bool SaveToFile(const AnsiString& name);
  virtual bool Load() { return LoadFromFile(fileName_); }
  virtual bool Save() { return SaveToFile(fileName_); }
  // "FileData": the count, then the bytes. Reading raises EReadError when the
  // stream holds fewer bytes than its count says.
  virtual void ReadData(TStream* stream);
  virtual void WriteData(TStream* stream);
  virtual void Clear() { data_->Clear(); }

protected:
  void Loaded() override;

private:
  std::unique_ptr<TMemoryStream> data_;
  bool autoSave_ = false;
  AnsiString fileName_;
};

class TUtlFileStorage : public TUtlCustomFileStorage {
public:
  using TUtlCustomFileStorage::TUtlCustomFileStorage;

  // Where Save writes the bytes.
  const AnsiString& SaveName() const { return saveName_; }
  void SetSaveName(const AnsiString& value);
  // At design time True needs a SaveName that can be created, else a warning
  // and False.
  void SetAutoSave(bool value) override;
  bool Save() override { return SaveToFile(saveName_); }

private:
  AnsiString saveName_;
};
