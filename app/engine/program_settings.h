// The program ini file as the window's storage sees it: one current section
// (empty = the window's own section "TForm1") and string values with
// defaults. The [LogOn] reader of start-up uses TIniFile directly.
#pragma once

#include "platform/rtl/ini_files.h"

inline constexpr const char* kWindowSection = "TForm1";

class TProgramSettings {
public:
  explicit TProgramSettings(const AnsiString& iniFileName) : ini_(iniFileName) {}

  void SetIniSection(const AnsiString& section) { section_ = section; }

  AnsiString ReadString(const AnsiString& ident, const AnsiString& defaultValue) const;
  // A value enclosed in one kind of quote gets an extra pair of double quotes,
  // so the reader's quote stripping gives it back unchanged.
  void WriteString(const AnsiString& ident, const AnsiString& value);

private:
  AnsiString Section() const { return section_.empty() ? AnsiString(kWindowSection) : section_; }

  TIniFile ini_;
  AnsiString section_;
};
