// Form placement and storage: default names, opening the ini file for one
// operation, the window's show/close/destroy chain, the placement keys, the
// stored properties and the size limits enforced through the window hook.
#include "util/components/form_storage.h"

#include <mutex>

#include "platform/gui/application.h"
#include "platform/gui/type_info.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/text.h"
#include "util/components/props_storage.h"
#include "util/routines/program_routines.h"
#include "util/routines/settings_strings.h"

namespace {
void ReportException(TObject* sender, const Exception& e) {
  if (Application) Application->HandleException(sender, e);
}

}  // namespace

// Published so that form data can carry a storage and its settings.
void RegisterFormStorageClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterProps<TWinMinMaxInfo>(
        "TWinMinMaxInfo",
        {IntProp("MaxPosLeft", &TWinMinMaxInfo::MaxPosLeft, &TWinMinMaxInfo::SetMaxPosLeft),
         IntProp("MaxPosTop", &TWinMinMaxInfo::MaxPosTop, &TWinMinMaxInfo::SetMaxPosTop),
         IntProp("MaxSizeHeight", &TWinMinMaxInfo::MaxSizeHeight, &TWinMinMaxInfo::SetMaxSizeHeight),
         IntProp("MaxSizeWidth", &TWinMinMaxInfo::MaxSizeWidth, &TWinMinMaxInfo::SetMaxSizeWidth),
         IntProp("MaxTrackHeight", &TWinMinMaxInfo::MaxTrackHeight, &TWinMinMaxInfo::SetMaxTrackHeight),
         IntProp("MaxTrackWidth", &TWinMinMaxInfo::MaxTrackWidth, &TWinMinMaxInfo::SetMaxTrackWidth),
         IntProp("MinTrackHeight", &TWinMinMaxInfo::MinTrackHeight, &TWinMinMaxInfo::SetMinTrackHeight),
         IntProp("MinTrackWidth", &TWinMinMaxInfo::MinTrackWidth, &TWinMinMaxInfo::SetMinTrackWidth)});
    RegisterProps<TFormPlacement>(
        "TFormPlacement",
        {BoolProp("Active", &TFormPlacement::Active, &TFormPlacement::SetActive),
         StrProp<TFormPlacement>("IniFileName", &TFormPlacement::IniFileName, &TFormPlacement::SetIniFileName),
         StrProp<TFormPlacement>("IniSection", &TFormPlacement::IniSection, &TFormPlacement::SetIniSection),
         ObjectProp("MinMaxInfo", &TFormPlacement::MinMaxInfo),
         SetProp("Options", {"fpState", "fpPosition", "fpActiveControl"}, &TFormPlacement::Options,
                 &TFormPlacement::SetOptions),
         BoolProp("PreventResize", &TFormPlacement::PreventResize, &TFormPlacement::SetPreventResize),
         EnumProp("RegistryRoot",
                  {"prCurrentUser", "prLocalMachine", "prCurrentConfig", "prClassesRoot", "prUsers", "prDynData"},
                  &TFormPlacement::RegistryRoot, &TFormPlacement::SetRegistryRoot),
         BoolProp("UseRegistry", &TFormPlacement::UseRegistry, &TFormPlacement::SetUseRegistry),
         IntProp("Version", &TFormPlacement::Version, &TFormPlacement::SetVersion)});
    RegisterProps<TFormStorage>("TFormStorage", {ObjectProp("StoredProps", &TFormStorage::StoredProps),
                                                 ObjectProp("StoredValues", &TFormStorage::StoredValues)});
    RegisterClass<TFormPlacement>("TFormPlacement");
    RegisterClass<TFormStorage>("TFormStorage");
  });
}

namespace {

bool Quoted(const AnsiString& v) {
  return !v.empty() && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
}

AnsiString ScreenSizeSuffix() { return Format("(%dx%d)", {Screen->Width(), Screen->Height()}); }

// The four numbers of "MinMaxPos" or "NormPos"; false when the key is missing.
bool ReadFour(TPlacementStore* store, const AnsiString& section, const char* key, const int defaults[4], int out[4]) {
  AnsiString text = StorageReadString(store, section, key + ScreenSizeSuffix(), "");
  if (text.empty()) text = StorageReadString(store, section, key, "");
  if (text.empty()) return false;
  const TCharSet delims = CharSetOf(" ,");
  for (int i = 0; i < 4; ++i) out[i] = StrToIntDef(DelimitedWord(i + 1, text, delims), defaults[i]);
  return true;
}

void WriteSized(TPlacementStore* store, const AnsiString& section, const char* key, const AnsiString& value) {
  StorageWriteString(store, section, key + ScreenSizeSuffix(), value);
  StorageWriteString(store, section, key, value);
}
}  // namespace

// --- free routines ---------------------------------------------------------------------------

AnsiString DefaultIniFileName() { return ExtractFileName(ParamStr(0)) + ".ini"; }

AnsiString DefaultRegistryKey() { return "Software\\" + ChangeFileExt(ExtractFileName(ParamStr(0)), ""); }

AnsiString DefaultStorageSection(const TComponent* component) {
  if (!component) return "";
  if (dynamic_cast<const TCustomForm*>(component)) return component->ClassName();
  const AnsiString name = component->Name();
  if (auto* control = dynamic_cast<const TControl*>(component)) {
    for (TWinControl* p = control->Parent(); p; p = p->Parent())
      if (dynamic_cast<TCustomForm*>(p)) return p->ClassName() + name;
    if (control->Parent()) return control->Parent()->Name() + name;
    return name;
  }
  if (auto* form = dynamic_cast<const TCustomForm*>(component->Owner()))
    return Format("%s.%s", {form->ClassName(), name});
  return name;
}

AnsiString StorageReadString(TPlacementStore* store, const AnsiString& section, const AnsiString& ident,
                             const AnsiString& def) {
  return store ? store->ReadString(section, ident, def) : def;
}

void StorageWriteString(TPlacementStore* store, const AnsiString& section, const AnsiString& ident,
                        const AnsiString& value) {
  if (store) store->WriteString(section, ident, store->UnquotesValues() && Quoted(value) ? '"' + value + '"' : value);
}

int StorageReadInteger(TPlacementStore* store, const AnsiString& section, const AnsiString& ident, int def) {
  return store ? store->ReadInteger(section, ident, def) : def;
}

void StorageWriteInteger(TPlacementStore* store, const AnsiString& section, const AnsiString& ident, int value) {
  if (store) store->WriteInteger(section, ident, value);
}

void SaveWindowPlacement(TCustomForm* form, TPlacementStore* store, const AnsiString& section) {
  WINDOWPLACEMENT wp;
  GetWindowPlacement(form->Handle(), &wp);
  if (Application->MainForm() == form && IsIconic(form->Handle())) wp.showCmd = SW_SHOWMINIMIZED;
  StorageWriteInteger(store, section, "Flags", int(wp.flags));
  StorageWriteInteger(store, section, "ShowCmd", int(wp.showCmd));
  StorageWriteInteger(store, section, "PixelsPerInch", Screen->PixelsPerInch());
  WriteSized(store, section, "MinMaxPos",
             Format("%d,%d,%d,%d", {wp.ptMinPosition.X, wp.ptMinPosition.Y, wp.ptMaxPosition.X, wp.ptMaxPosition.Y}));
  const RECT& r = wp.rcNormalPosition;
  WriteSized(store, section, "NormPos", Format("%d,%d,%d,%d", {r.Left, r.Top, r.Right, r.Bottom}));
}

void LoadWindowPlacement(TCustomForm* form, TPlacementStore* store, const AnsiString& section, bool loadPosition,
                         bool loadState) {
  if (!loadPosition && !loadState) return;
  WINDOWPLACEMENT wp;
  GetWindowPlacement(form->Handle(), &wp);
  if (!IsWindowVisible(form->Handle())) wp.showCmd = SW_HIDE;
  if (loadPosition) {
    wp.flags = UINT(StorageReadInteger(store, section, "Flags", int(wp.flags)));
    const int zero[4] = {0, 0, 0, 0};
    int mm[4];
    const bool hasMinMax = ReadFour(store, section, "MinMaxPos", zero, mm);
    if (hasMinMax) {
      wp.ptMinPosition = {mm[0], mm[1]};
      wp.ptMaxPosition = {mm[2], mm[3]};
    }
    const int bounds[4] = {form->Left(), form->Top(), form->Left() + form->Width(), form->Top() + form->Height()};
    int np[4];
    const bool hasNorm = ReadFour(store, section, "NormPos", bounds, np);
    if (hasNorm) wp.rcNormalPosition = {np[0], np[1], np[2], np[3]};
    const int ppi = StorageReadInteger(store, section, "PixelsPerInch", Screen->PixelsPerInch());
    if ((hasMinMax || hasNorm) && ppi == Screen->PixelsPerInch()) {
      RECT& r = wp.rcNormalPosition;
      if (form->BorderStyle() != bsSizeable && form->BorderStyle() != bsSizeToolWin)
        r = {r.Left, r.Top, r.Left + form->Width(), r.Top + form->Height()};
      if (r.Right > r.Left) {
        // The stored place wins over centring on show.
        if (form->Position() == poScreenCenter || form->Position() == poDesktopCenter) form->SetPosition(poDesigned);
        SetWindowPlacement(form->Handle(), &wp);
      }
    }
  }
  if (loadState) {
    TWindowState state = wsNormal;
    const bool main = !Application->MainForm() || Application->MainForm() == form;
    if (main && (form->FormStyle() == fsMDIForm || (form->FormStyle() == fsNormal && form->Position() == poDefault)))
      state = wsMaximized;
    switch (StorageReadInteger(store, section, "ShowCmd", 0)) {
      case SW_SHOWNORMAL: case SW_SHOW: case SW_RESTORE: state = wsNormal; break;
      case SW_SHOWMINIMIZED: case SW_MINIMIZE: case SW_SHOWMINNOACTIVE: state = wsMinimized; break;
      case SW_SHOWMAXIMIZED: state = wsMaximized; break;
      default: break;
    }
    if (state == wsMinimized && main) {
      PostMessage(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
      return;
    }
    form->SetWindowState(state);
  }
  form->Update();
}

// --- TWinMinMaxInfo --------------------------------------------------------------------------

void TWinMinMaxInfo::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TWinMinMaxInfo*>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  info_ = other->info_;
  if (placement_) placement_->MinMaxChanged();
}

void TWinMinMaxInfo::Set(int& field, int value) {
  if (field == value) return;
  field = value;
  if (placement_) placement_->MinMaxChanged();
}

bool TWinMinMaxInfo::Empty() const {
  return !MaxPosLeft() && !MaxPosTop() && !MaxSizeWidth() && !MaxSizeHeight() && !MaxTrackWidth() &&
         !MaxTrackHeight() && !MinTrackWidth() && !MinTrackHeight();
}

void TWinMinMaxInfo::ApplyTo(MINMAXINFO& info) const {
  auto put = [](int& target, int value) {
    if (value) target = value;
  };
  put(info.ptMinTrackSize.X, MinTrackWidth());
  put(info.ptMinTrackSize.Y, MinTrackHeight());
  put(info.ptMaxTrackSize.X, MaxTrackWidth());
  put(info.ptMaxTrackSize.Y, MaxTrackHeight());
  put(info.ptMaxSize.X, MaxSizeWidth());
  put(info.ptMaxSize.Y, MaxSizeHeight());
  put(info.ptMaxPosition.X, MaxPosLeft());
  put(info.ptMaxPosition.Y, MaxPosTop());
}

// --- TFormPlacement --------------------------------------------------------------------------

TFormPlacement::TFormPlacement(TComponent* owner)
    : TComponent(owner), minMaxInfo_(std::make_unique<TWinMinMaxInfo>(this)) {
  RegisterFormStorageClasses();
  if (dynamic_cast<TCustomForm*>(owner)) options_ = fpState | fpPosition;
  hook_ = new TUtlWindowHook(nullptr);
  hook_->AfterMessage = [this](TObject*, TMessage& msg, bool&) { HandleHookedMessage(msg); };
}

TFormPlacement::~TFormPlacement() {
  CloseStorage();
  hook_->Free();
  hook_ = nullptr;
  if (chained_)
    if (TCustomForm* form = Form()) {
      form->OnShow = saveShow_;
      form->OnCloseQuery = saveCloseQuery_;
      form->OnDestroy = saveDestroy_;
    }
}

AnsiString TFormPlacement::IniFileName() const {
  if (!iniFileName_.empty() || InState(csDesigning)) return iniFileName_;
  return useRegistry_ ? DefaultRegistryKey() : GetProgramDir() + DefaultIniFileName();
}

AnsiString TFormPlacement::IniSection() const {
  if (!iniSection_.empty() || InState(csDesigning)) return iniSection_;
  return DefaultStorageSection(Owner());
}

void TFormPlacement::SetPreventResize(bool value) {
  if (!Form() || value == preventResize_) return;
  preventResize_ = value;
  ApplyPreventResize();
}

void TFormPlacement::OpenStorage(bool readOnly) {
  if (store_) return;
  if (!useRegistry_) {
    store_ = std::make_unique<TPlacementIniStore>(IniFileName());
    return;
  }
  static constexpr TRegistryRoot kRoots[] = {rkCurrentUser, rkLocalMachine, rkCurrentConfig,
                                             rkClassesRoot, rkUsers,        rkDynData};
  store_ = std::make_unique<TPlacementRegistryStore>(kRoots[registryRoot_], IniFileName(), readOnly);
}

// Runs f with the storage open: the one of a save or restore in progress,
// or one opened (and closed again, also on an exception) for this call.
template <class F>
auto TFormPlacement::WithStorage(bool readOnly, F f) {
  const bool own = !store_;
  OpenStorage(readOnly);
  struct Close {
    TFormPlacement* self;
    bool own;
    ~Close() {
      if (own) self->CloseStorage();
    }
  } close{this, own};
  return f(store_.get());
}

AnsiString TFormPlacement::IniReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& def) {
  return WithStorage(true, [&](TPlacementStore* s) { return StorageReadString(s, section, ident, def); });
}

void TFormPlacement::IniWriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) {
  WithStorage(false, [&](TPlacementStore* s) { StorageWriteString(s, section, ident, value); });
}

AnsiString TFormPlacement::ReadString(const AnsiString& ident, const AnsiString& defaultValue) {
  return IniReadString(IniSection(), ident, defaultValue);
}

void TFormPlacement::WriteString(const AnsiString& ident, const AnsiString& value) {
  IniWriteString(IniSection(), ident, value);
}

int TFormPlacement::ReadInteger(const AnsiString& ident, int defaultValue) {
  return WithStorage(true, [&](TPlacementStore* s) { return StorageReadInteger(s, IniSection(), ident, defaultValue); });
}

void TFormPlacement::WriteInteger(const AnsiString& ident, int value) {
  WithStorage(false, [&](TPlacementStore* s) { StorageWriteInteger(s, IniSection(), ident, value); });
}

void TFormPlacement::RestoreFromStorage() {
  saved_ = false;
  WithStorage(true, [&](TPlacementStore* s) {
    struct MarkRestored {
      bool& restored;
      ~MarkRestored() { restored = true; }
    } mark{restored_};
    if (StorageReadInteger(s, IniSection(), "FormVersion", 0) < version_) return;
    RestorePlacement();
    restored_ = true;
    if (OnRestorePlacement) OnRestorePlacement(this);
    TCustomForm* form = Form();
    if ((options_ & fpActiveControl) && form) {
      TComponent* found = form->FindComponent(StorageReadString(s, IniSection(), "ActiveControl", ""));
      auto* control = dynamic_cast<TWinControl*>(found);
      if (control && control->CanFocus()) form->SetActiveControl(control);
    }
  });
}

void TFormPlacement::SaveToStorage() {
  // A window that was never restored does not overwrite what is stored.
  if (!restored_ && active_) return;
  WithStorage(false, [&](TPlacementStore* s) {
    StorageWriteInteger(s, IniSection(), "FormVersion", version_);
    SavePlacement();
    if (OnSavePlacement) OnSavePlacement(this);
    saved_ = true;
  });
}

void TFormPlacement::SavePlacement() {
  TCustomForm* form = Form();
  if (!form) return;
  if (options_ & (fpState | fpPosition)) {
    SaveWindowPlacement(form, store_.get(), IniSection());
    store_->WriteBool(IniSection(), "Visible", destroying_);
  }
  if ((options_ & fpActiveControl) && form->ActiveControl())
    StorageWriteString(store_.get(), IniSection(), "ActiveControl", form->ActiveControl()->Name());
}

void TFormPlacement::RestorePlacement() {
  if (TCustomForm* form = Form())
    LoadWindowPlacement(form, store_.get(), IniSection(), options_ & fpPosition, options_ & fpState);
}

void TFormPlacement::Loaded() {
  const bool wasLoading = InState(csLoading);
  TComponent::Loaded();
  if (InState(csDesigning)) return;
  TCustomForm* form = Form();
  // Chained once: a second load must not make the storage its own handler.
  if (wasLoading && form && !chained_) {
    saveShow_ = form->OnShow;
    saveCloseQuery_ = form->OnCloseQuery;
    saveDestroy_ = form->OnDestroy;
    form->OnShow = [this](TObject* sender) { FormShow(sender); };
    form->OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
    form->OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
    chained_ = true;
    defaultMaximize_ = form->BorderIcons() & biMaximize;
    if (preventResize_) ApplyPreventResize();
  }
  UpdateHookState();
}

void TFormPlacement::FormShow(TObject* sender) {
  if (active_) {
    try {
      RestoreFromStorage();
    } catch (const Exception& e) {
      ReportException(this, e);
    }
  }
  if (saveShow_) saveShow_(sender);
}

void TFormPlacement::FormCloseQuery(TObject* sender, bool& canClose) {
  if (saveCloseQuery_) saveCloseQuery_(sender, canClose);
  if (canClose && active_ && Form() && Form()->HandleAllocated()) {
    try {
      SaveToStorage();
    } catch (const Exception& e) {
      ReportException(this, e);
    }
  }
}

void TFormPlacement::FormDestroy(TObject* sender) {
  if (active_ && !saved_) {
    destroying_ = true;
    try {
      SaveToStorage();
    } catch (const Exception& e) {
      ReportException(this, e);
    }
    destroying_ = false;
  }
  if (saveDestroy_) saveDestroy_(sender);
}

void TFormPlacement::MinMaxChanged() {
  if (!InState(csLoading)) UpdateHookState();
}

void TFormPlacement::UpdateHookState() {
  if (!hook_) return;
  const bool wanted = (!minMaxInfo_->Empty() || preventResize_) && !InState(csDesigning) && Form();
  if (wanted) {
    hook_->SetWinControl(Form());
    hook_->SetActive(true);
  } else {
    hook_->SetActive(false);
  }
}

void TFormPlacement::ApplyPreventResize() {
  TCustomForm* form = Form();
  if (!form || InState(csDesigning)) return;
  if (preventResize_) defaultMaximize_ = form->BorderIcons() & biMaximize;
  const bool wasActive = active_;
  active_ = false;
  struct Restore {
    bool& active;
    bool value;
    ~Restore() { active = value; }
  } restore{active_, wasActive};
  if (preventResize_ || !defaultMaximize_ || form->BorderStyle() == bsDialog)
    form->SetBorderIcons(form->BorderIcons() & ~unsigned(biMaximize));
  else
    form->SetBorderIcons(form->BorderIcons() | biMaximize);
  if (!InState(csLoading)) UpdateHookState();
  // A shown window tells the window manager its new size limits at once.
  if (form->HandleAllocated())
    SetWindowPos(form->Handle(), 0, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TFormPlacement::HandleHookedMessage(TMessage& msg) {
  TCustomForm* form = Form();
  if (preventResize_ && form) {
    if (msg.Msg == WM_GETMINMAXINFO && form->HandleAllocated() && IsWindowVisible(form->Handle())) {
      auto* info = reinterpret_cast<MINMAXINFO*>(msg.LParam);
      info->ptMinTrackSize = info->ptMaxTrackSize = {form->Width(), form->Height()};
      msg.Result = 1;
    } else if (msg.Msg == WM_NCHITTEST && msg.Result >= HTLEFT && msg.Result <= HTBOTTOMRIGHT) {
      msg.Result = HTNOWHERE;
    }
    return;
  }
  if (msg.Msg != WM_GETMINMAXINFO) return;
  auto* info = reinterpret_cast<MINMAXINFO*>(msg.LParam);
  if (!minMaxInfo_->Empty())
    minMaxInfo_->ApplyTo(*info);
  else
    info->ptMaxPosition = {0, 0};
  msg.Result = 1;
}

// --- TFormStorage ----------------------------------------------------------------------------

TFormStorage::TFormStorage(TComponent* owner)
    : TFormPlacement(owner),
      storedProps_(std::make_unique<TStringList>()),
      storedValues_(std::make_unique<TStoredValues>(this)) {}

TFormStorage::~TFormStorage() {
  storedProps_.reset();
  storedValues_.reset();
}

void TFormStorage::SetStoredProps(TStrings* value) {
  storedProps_->Assign(value);
  for (int i = 0; i < storedProps_->Count(); ++i)
    if (auto* c = dynamic_cast<TComponent*>(storedProps_->Objects(i))) c->FreeNotification(this);
}

void TFormStorage::Loaded() {
  TFormPlacement::Loaded();
  if (!InState(csDesigning) && Owner()) {
    ResolveStoredList(Owner(), storedProps_.get(), true);
    for (int i = 0; i < storedProps_->Count(); ++i)
      static_cast<TComponent*>(storedProps_->Objects(i))->FreeNotification(this);
  }
}

void TFormStorage::Notification(TComponent* component, TOperation operation) {
  TFormPlacement::Notification(component, operation);
  if (operation != opRemove || InState(csDestroying) || !storedProps_) return;
  for (int i = storedProps_->Count() - 1; i >= 0; --i)
    if (storedProps_->Objects(i) == component) storedProps_->Delete(i);
}

void TFormStorage::SavePlacement() {
  TFormPlacement::SavePlacement();
  SaveProperties();
  storedValues_->WriteAll();
}

void TFormStorage::RestorePlacement() {
  TFormPlacement::RestorePlacement();
  SetRestored();
  RestoreProperties();
  storedValues_->ReadAll();
}

void TFormStorage::SaveProperties() {
  TPropsStorage props;
  props.Section = IniSection();
  props.OnWriteKeyValue = [this](const AnsiString& s, const AnsiString& k, const AnsiString& v) {
    IniWriteString(s, k, v);
  };
  props.OnEraseSection = [this](const AnsiString& s) {
    if (Store()) Store()->EraseSection(s);
  };
  props.WriteStoredProps(Owner(), storedProps_.get());
}

void TFormStorage::RestoreProperties() {
  TPropsStorage props;
  props.Section = IniSection();
  props.OnReadKeyValue = [this](const AnsiString& s, const AnsiString& k, const AnsiString& d) {
    return IniReadString(s, k, d);
  };
  try {
    props.ReadStoredProps(Owner(), storedProps_.get());
  } catch (...) {
    // A property that cannot be restored keeps its designed value.
  }
}
