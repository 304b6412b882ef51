// Form placement and storage: non-visual components that keep a window's
// state between runs in the program's ini file (or the registry store).
// TFormPlacement restores when the window is shown and saves when it closes
// (or is destroyed unsaved), and can hold the window within size limits
// through a window hook; TFormStorage adds chosen published properties of
// the window's components and named stored values. It takes over the
// window's OnShow, OnCloseQuery and OnDestroy when it is read with the
// window (Loaded): the window's own OnShow runs after the restore, its own
// OnCloseQuery before the save. It is also the program's
// general ini access: ReadString/WriteString work in whatever section
// IniSection names at the moment of the call.
#pragma once

#include <memory>

#include "platform/gui/forms.h"
#include "util/components/placement_store.h"
#include "util/components/stored_values.h"
#include "util/components/window_hook.h"

class TFormPlacement;

enum TPlacementOption : unsigned { fpState = 1, fpPosition = 2, fpActiveControl = 4 };
using TPlacementOptions = unsigned;
enum TPlacementRegRoot { prCurrentUser, prLocalMachine, prCurrentConfig, prClassesRoot, prUsers, prDynData };

// Size limits in the layout of the window's MINMAXINFO; 0 means "not set".
class TWinMinMaxInfo : public TPersistent {
public:
  explicit TWinMinMaxInfo(TFormPlacement* placement) : placement_(placement) {}
  void Assign(const TPersistent* source) override;

  int MaxPosLeft() const { return info_.ptMaxPosition.X; }
  int MaxPosTop() const { return info_.ptMaxPosition.Y; }
  int MaxSizeWidth() const { return info_.ptMaxSize.X; }
  int MaxSizeHeight() const { return info_.ptMaxSize.Y; }
  int MaxTrackWidth() const { return info_.ptMaxTrackSize.X; }
  int MaxTrackHeight() const { return info_.ptMaxTrackSize.Y; }
  int MinTrackWidth() const { return info_.ptMinTrackSize.X; }
  int MinTrackHeight() const { return info_.ptMinTrackSize.Y; }
  void SetMaxPosLeft(int v) { Set(info_.ptMaxPosition.X, v); }
  void SetMaxPosTop(int v) { Set(info_.ptMaxPosition.Y, v); }
  void SetMaxSizeWidth(int v) { Set(info_.ptMaxSize.X, v); }
  void SetMaxSizeHeight(int v) { Set(info_.ptMaxSize.Y, v); }
  void SetMaxTrackWidth(int v) { Set(info_.ptMaxTrackSize.X, v); }
  void SetMaxTrackHeight(int v) { Set(info_.ptMaxTrackSize.Y, v); }
  void SetMinTrackWidth(int v) { Set(info_.ptMinTrackSize.X, v); }
  void SetMinTrackHeight(int v) { Set(info_.ptMinTrackSize.Y, v); }

  bool Empty() const;
  // Writes the set fields over the window's own answer.
  void ApplyTo(MINMAXINFO& info) const;

private:
  void Set(int& field, int value);

  TFormPlacement* placement_;
  MINMAXINFO info_{{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}};
};

class TFormPlacement : public TComponent {
public:
  explicit TFormPlacement(TComponent* owner);
  ~TFormPlacement() override;

  bool Active() const { return active_; }
  void SetActive(bool value) { active_ = value; }
  // Empty: the program's own ini file, beside the program.
  AnsiString IniFileName() const;
  void SetIniFileName(const AnsiString& value) { iniFileName_ = value; }
  // Empty: the owner's default section ("TForm1" for the main window).
  AnsiString IniSection() const;
  void SetIniSection(const AnsiString& value) { iniSection_ = value; }
  TWinMinMaxInfo* MinMaxInfo() const { return minMaxInfo_.get(); }
  void SetMinMaxInfo(TWinMinMaxInfo* value) { minMaxInfo_->Assign(value); }
  TPlacementOptions Options() const { return options_; }
  void SetOptions(TPlacementOptions value) { options_ = value; }
  bool PreventResize() const { return preventResize_; }
  void SetPreventResize(bool value);
  // The registry store instead of the ini file: IniFileName is then the key
  // path (default "Software\<program name>") and IniSection a sub-key.
  bool UseRegistry() const { return useRegistry_; }
  void SetUseRegistry(bool value) { useRegistry_ = value; }
  TPlacementRegRoot RegistryRoot() const { return registryRoot_; }
  void SetRegistryRoot(TPlacementRegRoot value) { registryRoot_ = value; }
  int Version() const { return version_; }
  void SetVersion(int value) { version_ = value; }

  TNotifyEvent OnSavePlacement;
  TNotifyEvent OnRestorePlacement;

  AnsiString ReadString(const AnsiString& ident, const AnsiString& defaultValue);
  void WriteString(const AnsiString& ident, const AnsiString& value);
  int ReadInteger(const AnsiString& ident, int defaultValue);
  void WriteInteger(const AnsiString& ident, int value);

  void SaveToStorage();
  void RestoreFromStorage();

  virtual void SavePlacement();
  virtual void RestorePlacement();
  virtual AnsiString IniReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& def);
  virtual void IniWriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value);

  // Called when the size limits change.
  void MinMaxChanged();

protected:
  void Loaded() override;
  TCustomForm* Form() const { return dynamic_cast<TCustomForm*>(Owner()); }
  TPlacementStore* Store() const { return store_.get(); }
  bool Restored() const { return restored_; }
  void SetRestored() { restored_ = true; }

private:
  void OpenStorage(bool readOnly);
  void CloseStorage() { store_.reset(); }
  template <class F>
  auto WithStorage(bool readOnly, F f);
  void UpdateHookState();
  void ApplyPreventResize();
  void HandleHookedMessage(TMessage& msg);
  void FormShow(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void FormDestroy(TObject* sender);

  bool active_ = true;
  AnsiString iniFileName_;
  AnsiString iniSection_;
  std::unique_ptr<TWinMinMaxInfo> minMaxInfo_;
  TPlacementOptions options_ = 0;
  bool preventResize_ = false;
  int version_ = 0;
  std::unique_ptr<TPlacementStore> store_;  // open only during one operation
  bool useRegistry_ = false;
  TPlacementRegRoot registryRoot_ = prCurrentUser;
  TUtlWindowHook* hook_ = nullptr;
  TNotifyEvent saveShow_;
  TCloseQueryEvent saveCloseQuery_;
  TNotifyEvent saveDestroy_;
  bool chained_ = false;
  bool restored_ = false;
  bool saved_ = false;
  bool destroying_ = false;
  bool defaultMaximize_ = false;
};

class TFormStorage : public TFormPlacement {
public:
  explicit TFormStorage(TComponent* owner);
  ~TFormStorage() override;

  // Entries "Component.Property"; once resolved each carries its component.
  TStrings* StoredProps() const { return storedProps_.get(); }
  void SetStoredProps(TStrings* value);
  // Named free values, saved and restored after the stored properties.
  TStoredValues* StoredValues() const { return storedValues_.get(); }
  void SetStoredValues(TStoredValues* value) { storedValues_->Assign(value); }

  void SavePlacement() override;
  void RestorePlacement() override;
  virtual void SaveProperties();
  virtual void RestoreProperties();

protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  std::unique_ptr<TStrings> storedProps_;
  std::unique_ptr<TStoredValues> storedValues_;
};

// The program file name (no folder) + ".ini": the file the program's
// start-up reads its connection settings from.
AnsiString DefaultIniFileName();
// "Software\" + the program file name without its extension.
AnsiString DefaultRegistryKey();
AnsiString DefaultStorageSection(const TComponent* component);
// Ini writes keep a value that begins and ends with a quote intact by
// wrapping it in one more pair of double quotes.
AnsiString StorageReadString(TPlacementStore* store, const AnsiString& section, const AnsiString& ident,
                             const AnsiString& def);
// The storage classes and their property tables (once).
void RegisterFormStorageClasses();

void StorageWriteString(TPlacementStore* store, const AnsiString& section, const AnsiString& ident,
                        const AnsiString& value);
int StorageReadInteger(TPlacementStore* store, const AnsiString& section, const AnsiString& ident, int def);
void StorageWriteInteger(TPlacementStore* store, const AnsiString& section, const AnsiString& ident, int value);
void SaveWindowPlacement(TCustomForm* form, TPlacementStore* store, const AnsiString& section);
void LoadWindowPlacement(TCustomForm* form, TPlacementStore* store, const AnsiString& section, bool loadPosition,
                         bool loadState);
