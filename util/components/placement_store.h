// Where a form placement keeps its values: the program's ini file, or the
// registry store, where a section is a sub-key of the placement's key and an
// ident a value name. A read-only registry store never creates or writes.
#pragma once

#include <memory>

#include "platform/rtl/ini_files.h"
#include "util/routines/registry_store.h"

class TPlacementStore {
public:
  virtual ~TPlacementStore() = default;
  virtual AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& def) = 0;
  virtual void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) = 0;
  virtual int ReadInteger(const AnsiString& section, const AnsiString& ident, int def) = 0;
  virtual void WriteInteger(const AnsiString& section, const AnsiString& ident, int value) = 0;
  virtual void WriteBool(const AnsiString& section, const AnsiString& ident, bool value) = 0;
  virtual void EraseSection(const AnsiString& section) = 0;
  // Ini files drop one pair of enclosing quotes when they read a value.
  virtual bool UnquotesValues() const { return false; }
};

class TPlacementIniStore : public TPlacementStore {
public:
  explicit TPlacementIniStore(const AnsiString& fileName) : ini_(fileName) {}
  AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& def) override {
    return ini_.ReadString(section, ident, def);
  }
  void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) override {
    ini_.WriteString(section, ident, value);
  }
  int ReadInteger(const AnsiString& section, const AnsiString& ident, int def) override {
    return ini_.ReadInteger(section, ident, def);
  }
  void WriteInteger(const AnsiString& section, const AnsiString& ident, int value) override {
    ini_.WriteInteger(section, ident, value);
  }
  void WriteBool(const AnsiString& section, const AnsiString& ident, bool value) override {
    ini_.WriteBool(section, ident, value);
  }
  void EraseSection(const AnsiString& section) override { ini_.EraseSection(section); }
  bool UnquotesValues() const override { return true; }

private:
  TIniFile ini_;
};

class TPlacementRegistryStore : public TPlacementStore {
public:
  // Key: the placement's key path below root. Writable stores create it.
  TPlacementRegistryStore(TRegistryRoot root, const AnsiString& key, bool readOnly);
  AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& def) override;
  void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) override;
  int ReadInteger(const AnsiString& section, const AnsiString& ident, int def) override;
  void WriteInteger(const AnsiString& section, const AnsiString& ident, int value) override;
  void WriteBool(const AnsiString& section, const AnsiString& ident, bool value) override {
    WriteInteger(section, ident, value ? 1 : 0);
  }
  void EraseSection(const AnsiString& section) override;

private:
  AnsiString KeyOf(const AnsiString& section) const;
  void Write(const AnsiString& section, const AnsiString& ident, const TRegistryValue& value);

  TRegistryRoot root_;
  AnsiString key_;
  bool readOnly_;
};
