// Published-property storage: turns chosen published properties of the
// components on a window into text values under keys of one section, and
// back, through read, write and erase hooks its user supplies. The form
// storage keeps its stored properties with it; each entry "Comp.Prop" lands
// under the key "Comp_Prop".
#pragma once

#include <functional>
#include <vector>

#include "platform/gui/type_info.h"
#include "platform/rtl/lists.h"

class TCustomForm;

// The published properties of one object of the given kinds, sorted by name.
class TPropInfoList : public TObject {
public:
  TPropInfoList(const TObject* object, TTypeKinds kinds);
  int Count() const { return static_cast<int>(list_.size()); }
  PPropInfo Items(int index) const { return list_.at(index); }
  // The first property of that name (case-insensitive), or null.
  PPropInfo Find(const AnsiString& name) const;

private:
  std::vector<PPropInfo> list_;
};

using TReadKeyValueEvent =
    std::function<AnsiString(const AnsiString& section, const AnsiString& key, const AnsiString& defaultValue)>;
using TWriteKeyValueEvent =
    std::function<void(const AnsiString& section, const AnsiString& key, const AnsiString& value)>;
using TEraseSectionEvent = std::function<void(const AnsiString& section)>;

class TPropsStorage : public TObject {
public:
  TObject* AObject = nullptr;  // whose properties are handled
  AnsiString Prefix;           // put before every property name to form a key
  AnsiString Section;
  TReadKeyValueEvent OnReadKeyValue;
  TWriteKeyValueEvent OnWriteKeyValue;
  TEraseSectionEvent OnEraseSection;

  // Component: the window owning the listed components.
  void WriteStoredProps(TComponent* component, TStrings* storedList);
  void ReadStoredProps(TComponent* component, TStrings* storedList);

  void SavePropertyValue(PPropInfo prop);
  // Never raises: a value that cannot be read or applied leaves the property.
  void LoadPropertyValue(PPropInfo prop);

protected:
  virtual AnsiString ReadKeyValue(const AnsiString& section, const AnsiString& key, const AnsiString& def);
  virtual void WriteKeyValue(const AnsiString& section, const AnsiString& key, const AnsiString& value);
  virtual void EraseKeySection(const AnsiString& section);
  virtual AnsiString ItemKey(const AnsiString& propName) const { return Prefix + propName; }
  virtual TPropsStorage* NewStorage() const { return new TPropsStorage; }

private:
  template <class Step>
  void WalkStoredProps(TComponent* component, TStrings* storedList, Step step);
  AnsiString ValueText(PPropInfo prop);
  void ApplyText(PPropInfo prop, const AnsiString& text);
  AnsiString ComponentText(TComponent* value) const;
  void ApplyComponentText(PPropInfo prop, const AnsiString& text);
  void WriteClassProp(PPropInfo prop);
  void ReadClassProp(PPropInfo prop);
  // Nested objects get a storage of their own with the same section.
  TPropsStorage* Nested(TObject* object, const AnsiString& prefix) const;

  TComponent* owner_ = nullptr;  // only during Write/ReadStoredProps
};

// Normalises a stored-props list: invalid entries are dropped; FromForm binds
// each entry to its component of Component (dropping unknown ones), otherwise
// entries are renamed after their bound component (dropping unbound ones).
void ResolveStoredList(TComponent* component, TStrings* list, bool fromForm);
// Cut at the first "."; both parts trimmed and non-empty.
bool SplitStoredItem(const AnsiString& item, AnsiString& compName, AnsiString& propName);
AnsiString JoinStoredItem(const AnsiString& compName, const AnsiString& propName);
AnsiString RenameStoredItem(const AnsiString& item, const AnsiString& newCompName);
// The first open form of that name (case-insensitive), or null.
TCustomForm* FindFormByName(const AnsiString& name);
