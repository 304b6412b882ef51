// The skin components: TsuiFileThemeMgr holds the reader of the loaded skin
// and translates key numbers into record names; TsuiFileTheme is the
// component controls take their skin from (ThemeFile, Password, Ready);
// TsuiBuiltInFileTheme carries a whole skin file in the window's form data.
// A skin that cannot be read leaves the theme not ready, never an exception.
#pragma once

#include <memory>

#include "platform/rtl/components.h"
#include "skin/skin_keys.h"
#include "platform/gui/gdi_types.h"

class TBitmap;
class TStream;
class Tsk2SkinFileReader;

class TsuiFileThemeMgr {
public:
  TsuiFileThemeMgr();
  ~TsuiFileThemeMgr();
  TsuiFileThemeMgr(const TsuiFileThemeMgr&) = delete;
  TsuiFileThemeMgr& operator=(const TsuiFileThemeMgr&) = delete;

  // Only for an existing file: replaces the reader by one for the file, kept
  // when ready. A missing file keeps the current reader and returns False.
  bool LoadSkin(const AnsiString& fileName, const AnsiString& password);
  // Without a reader: 0, nullptr, 0, False; with a reader lacking the key:
  // -1, nullptr, -1, False.
  TColor GetColor(uint8_t n) const;
  TBitmap* GetBitmap(uint8_t n) const;
  int32_t GetInteger(uint8_t n) const;
  bool GetBool(uint8_t n) const;
  void Unload();

private:
  std::unique_ptr<Tsk2SkinFileReader> reader_;
};

class TsuiFileTheme : public TComponent {
public:
  explicit TsuiFileTheme(TComponent* owner);
  ~TsuiFileTheme() override;

  const AnsiString& ThemeFile() const { return themeFile_; }
  virtual void SetThemeFile(const AnsiString& value);
  const AnsiString& Password() const { return password_; }
  // A non-empty password reloads the current theme file.
  void SetPassword(const AnsiString& value);
  bool Ready() const { return ready_; }
  void SetReady(bool) {}  // read-only in effect

  TColor GetColor(uint8_t n) const { return mgr_.GetColor(n); }
  TBitmap* GetBitmap(uint8_t n) const { return mgr_.GetBitmap(n); }
  int32_t GetInteger(uint8_t n) const { return mgr_.GetInteger(n); }
  bool GetBool(uint8_t n) const { return mgr_.GetBool(n); }
  // frameCount or frameIndex 0: the whole bitmap; else that frame of the
  // strip. A key the skin lacks leaves dest empty.
  void GetBitmapFrame(uint8_t n, TBitmap* dest, int frameCount, int frameIndex) const;

  // True: draw from the theme; False: draw built-in style `style` (UIStyle,
  // or DeepBlue for FromThemeFile without a ready theme).
  static bool ResolveStyle(const TsuiFileTheme* theme, TsuiUIStyle uiStyle, TsuiUIStyle& style);

private:
  // Controls on the owning form that use this theme load their pictures anew.
  void RefreshUsers(bool hadThemeFile);
  friend class TsuiBuiltInFileTheme;
  void Unload();
  AnsiString themeFile_;
  AnsiString password_;
  bool ready_ = false;
  TsuiFileThemeMgr mgr_;
};

class TsuiBuiltInFileTheme : public TsuiFileTheme {
public:
  explicit TsuiBuiltInFileTheme(TComponent* owner);

  // The design-time skin file name, kept besides loading it.
  const AnsiString& DesignThemeFile() const { return designThemeFile_; }
  void SetThemeFile(const AnsiString& value) override;

  // "SkinData": the bytes of a whole skin file. Reading saves them to a new
  // temporary ".ssk" file (a few names are tried), loads it and deletes it;
  // when no file can be saved the theme is left not ready.
  void ReadSkinData(TStream* stream);
  void SetSkinData(const AnsiString& bytes);
  // Writing copies the design-time file; stored only when that file exists.
  bool SkinDataStored() const;
  void WriteSkinData(TStream* stream) const;

private:
  AnsiString designThemeFile_;
};

// How many temporary names a "SkinData" read tries before it gives up.
inline constexpr int kSkinDataSaveAttempts = 8;
