// The skin components; see file_theme.h.
#include "skin/file_theme.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/type_info.h"
#include "platform/gui/user.h"
#include "platform/rtl/files.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/streams.h"
#include "skin/draw_helpers.h"
#include "skin/skin_reader.h"
#include "skin/skin_props.h"

TsuiFileThemeMgr::TsuiFileThemeMgr() = default;
TsuiFileThemeMgr::~TsuiFileThemeMgr() = default;

void TsuiFileThemeMgr::Unload() { reader_.reset(); }

bool TsuiFileThemeMgr::LoadSkin(const AnsiString& fileName, const AnsiString& password) {
  if (!FileExists(fileName)) return false;
  reader_.reset();
  try {
    auto reader = std::make_unique<Tsk2SkinFileReader>(fileName, password);
    if (reader->Ready()) reader_ = std::move(reader);
  } catch (const std::exception&) {
    // A damaged skin leaves no reader: the theme is simply not ready.
  }
  return reader_ != nullptr;
}

TColor TsuiFileThemeMgr::GetColor(uint8_t n) const {
  return reader_ ? reader_->GetInteger(SkinKeyName(kSkinColorBase, n)) : 0;
}

TBitmap* TsuiFileThemeMgr::GetBitmap(uint8_t n) const {
  return reader_ ? reader_->GetBitmap(SkinKeyName(kSkinBitmapBase, n)) : nullptr;
}

int32_t TsuiFileThemeMgr::GetInteger(uint8_t n) const {
  return reader_ ? reader_->GetInteger(SkinKeyName(kSkinIntegerBase, n)) : 0;
}

bool TsuiFileThemeMgr::GetBool(uint8_t n) const {
  return reader_ && reader_->GetBool(SkinKeyName(kSkinBoolBase, n));
}

TsuiFileTheme::TsuiFileTheme(TComponent* owner) : TComponent(owner) { RegisterSkinProps(); }

TsuiFileTheme::~TsuiFileTheme() = default;

namespace {

// The name itself when it exists, else the program's folder with its file name.
AnsiString FindThemeFile(const AnsiString& value) {
  if (FileExists(value)) return value;
  AnsiString inProgramFolder = ExtractFilePath(ParamStr(0)) + ExtractFileName(value);
  return FileExists(inProgramFolder) ? inProgramFolder : AnsiString();
}

bool IsSkinnedFrame(TComponent* c) { return c->ClassName() == "TsuiForm" || c->ClassName() == "TsuiMDIForm"; }

bool UsesTheme(TComponent* c, const TsuiFileTheme* theme) {
  return IsPublishedProp(c, "FileTheme") && GetObjectProp(c, "FileTheme") == theme;
}

}  // namespace

void TsuiFileTheme::SetThemeFile(const AnsiString& value) {
  const bool hadThemeFile = !themeFile_.empty();
  const AnsiString found = FindThemeFile(value);
  if (found.empty()) return;
  themeFile_ = found;
  ready_ = mgr_.LoadSkin(found, password_);
  if (ready_) RefreshUsers(hadThemeFile);
}

void TsuiFileTheme::RefreshUsers(bool hadThemeFile) {
  auto* form = dynamic_cast<TCustomForm*>(Owner());
  if (!form) return;
  bool frameNoted = false;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    TComponent* c = form->Components(i);
    if (!UsesTheme(c, this)) continue;
    if (IsSkinnedFrame(c)) frameNoted = true;
    if (c->ClassName().rfind("Tsui", 0) == 0) {
      SetObjectProp(c, "FileTheme", nullptr);
      SetObjectProp(c, "FileTheme", this);
    }
  }
  if (frameNoted && hadThemeFile && form->HandleAllocated())
    SetWindowPos(form->Handle(), 0, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_NOACTIVATE);
}

void TsuiFileTheme::Unload() {
  mgr_.Unload();
  ready_ = false;
}

void TsuiFileTheme::SetPassword(const AnsiString& value) {
  password_ = value;
  if (!value.empty()) SetThemeFile(themeFile_);
}

void TsuiFileTheme::GetBitmapFrame(uint8_t n, TBitmap* dest, int frameCount, int frameIndex) const {
  if (!dest) return;
  TBitmap* bitmap = GetBitmap(n);
  if (!bitmap) {
    dest->SetSize(0, 0);
    return;
  }
  if (frameCount == 0 || frameIndex == 0)
    dest->Assign(bitmap);
  else
    CopyBitmapFrame(bitmap, dest, frameCount, frameIndex);
}

bool TsuiFileTheme::ResolveStyle(const TsuiFileTheme* theme, TsuiUIStyle uiStyle, TsuiUIStyle& style) {
  style = uiStyle;
  if (uiStyle != FromThemeFile) return false;
  if (theme && theme->Ready()) return true;
  style = DeepBlue;
  return false;
}

TsuiBuiltInFileTheme::TsuiBuiltInFileTheme(TComponent* owner) : TsuiFileTheme(owner) {}

void TsuiBuiltInFileTheme::SetThemeFile(const AnsiString& value) {
  designThemeFile_ = value;
  TsuiFileTheme::SetThemeFile(value);
}

void TsuiBuiltInFileTheme::ReadSkinData(TStream* stream) {
  TMemoryStream bytes;
  bytes.LoadFromStream(stream);
  for (int attempt = 0; attempt < kSkinDataSaveAttempts; ++attempt) {
    // A fresh GUID name; a number before the extension while the name is taken.
    const AnsiString base = NewTempGuidName("");
    AnsiString name = base + ".ssk";
    for (int n = 1; FileExists(name); ++n) name = base + std::to_string(n) + ".ssk";
    try {
      bytes.SaveToFile(name);
    } catch (const std::exception&) {
      DeleteFile(name);
      continue;
    }
    TsuiFileTheme::SetThemeFile(name);
    DeleteFile(name);
    return;
  }
  Unload();
}

void TsuiBuiltInFileTheme::SetSkinData(const AnsiString& bytes) {
  TStringStream stream(bytes);
  ReadSkinData(&stream);
}

bool TsuiBuiltInFileTheme::SkinDataStored() const { return FileExists(designThemeFile_); }

void TsuiBuiltInFileTheme::WriteSkinData(TStream* stream) const {
  TFileStream file(designThemeFile_, fmOpenRead | fmShareDenyWrite);
  stream->CopyFrom(&file, 0);
}
