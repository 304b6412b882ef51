// Published-property storage: the text form of each property kind, the
// stored-props walk and the nested steps for string lists, collections,
// component references and sub-objects.
#include "util/components/props_storage.h"

#include <map>
#include <memory>

#include "platform/gui/application.h"
#include "platform/gui/collections.h"
#include "platform/gui/forms.h"
#include "platform/rtl/format.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "util/routines/settings_strings.h"

namespace {
constexpr TTypeKinds Kinds(std::initializer_list<TTypeKind> kinds) {
  TTypeKinds k = 0;
  for (TTypeKind t : kinds) k |= 1u << t;
  return k;
}
// Kinds whose empty text is a value in its own right.
bool EmptyIsValue(TTypeKind kind) { return kind == tkString || kind == tkWChar || kind == tkLString; }

int Digits(TFloatType type) {
  switch (type) {
    case ftSingle: return 7;
    case ftDouble: return 15;
    case ftCurr: return 19;
    default: return 18;
  }
}

AnsiString ReplaceChar(AnsiString s, char from, char to) {
  if (from != to)
    for (char& c : s)
      if (c == from) c = to;
  return s;
}

struct LessText {
  bool operator()(const AnsiString& a, const AnsiString& b) const { return AnsiCompareText(a, b) < 0; }
};
}  // namespace

// --- TPropInfoList ---------------------------------------------------------------------------

TPropInfoList::TPropInfoList(const TObject* object, TTypeKinds kinds) {
  if (object) list_ = GetPropList(object, kinds);
}

PPropInfo TPropInfoList::Find(const AnsiString& name) const {
  for (PPropInfo p : list_)
    if (AnsiSameText(p->Name, name)) return p;
  return nullptr;
}

// --- stored-props lists ----------------------------------------------------------------------

bool SplitStoredItem(const AnsiString& item, AnsiString& compName, AnsiString& propName) {
  const auto dot = item.find('.');
  if (dot == AnsiString::npos) return false;
  compName = Trim(std::string_view(item).substr(0, dot));
  propName = Trim(std::string_view(item).substr(dot + 1));
  return !compName.empty() && !propName.empty();
}

AnsiString JoinStoredItem(const AnsiString& compName, const AnsiString& propName) {
  if (compName.empty() || propName.empty()) return "";
  return compName + "." + propName;
}

AnsiString RenameStoredItem(const AnsiString& item, const AnsiString& newCompName) {
  AnsiString comp, prop;
  if (!SplitStoredItem(item, comp, prop)) return "";
  return JoinStoredItem(newCompName, prop);
}

TCustomForm* FindFormByName(const AnsiString& name) {
  if (!Screen) return nullptr;
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (AnsiSameText(Screen->Forms(i)->Name(), name)) return Screen->Forms(i);
  return nullptr;
}

namespace {
TComponent* FindChild(const TComponent* owner, const AnsiString& name) {
  for (int i = 0; i < owner->ComponentCount(); ++i)
    if (AnsiSameText(owner->Components(i)->Name(), name)) return owner->Components(i);
  return nullptr;
}
}  // namespace

void ResolveStoredList(TComponent* component, TStrings* list, bool fromForm) {
  for (int i = list->Count() - 1; i >= 0; --i) {
    AnsiString comp, prop;
    if (!SplitStoredItem(list->Strings(i), comp, prop)) {
      list->Delete(i);
    } else if (fromForm) {
      if (TComponent* found = component ? FindChild(component, comp) : nullptr)
        list->SetObjects(i, found);
      else
        list->Delete(i);
    } else if (auto* bound = dynamic_cast<TComponent*>(list->Objects(i))) {
      list->SetStrings(i, JoinStoredItem(bound->Name(), prop));
      list->SetObjects(i, bound);
    } else {
      list->Delete(i);
    }
  }
}

// --- TPropsStorage ---------------------------------------------------------------------------

AnsiString TPropsStorage::ReadKeyValue(const AnsiString& section, const AnsiString& key, const AnsiString& def) {
  return OnReadKeyValue ? OnReadKeyValue(section, key, def) : AnsiString();
}

void TPropsStorage::WriteKeyValue(const AnsiString& section, const AnsiString& key, const AnsiString& value) {
  if (OnWriteKeyValue) OnWriteKeyValue(section, key, value);
}

void TPropsStorage::EraseKeySection(const AnsiString& section) {
  if (OnEraseSection) OnEraseSection(section);
}

template <class Step>
void TPropsStorage::WalkStoredProps(TComponent* component, TStrings* storedList, Step step) {
  ResolveStoredList(component, storedList, false);
  // Entries of one component share its property list.
  std::map<AnsiString, std::unique_ptr<TPropInfoList>, LessText> lists;
  for (int i = 0; i < storedList->Count(); ++i) {
    auto* comp = static_cast<TComponent*>(storedList->Objects(i));
    auto& slot = lists[comp->Name()];
    if (!slot) slot = std::make_unique<TPropInfoList>(comp, tkProperties);
  }
  struct OwnerScope {
    TComponent*& owner;
    ~OwnerScope() { owner = nullptr; }
  } scope{owner_ = component};
  for (int i = 0; i < storedList->Count(); ++i) {
    AnsiString compName, propName;
    if (!SplitStoredItem(storedList->Strings(i), compName, propName)) continue;
    auto* comp = static_cast<TComponent*>(storedList->Objects(i));
    AObject = comp;
    Prefix = comp->Name();
    auto found = lists.find(comp->Name());
    if (found == lists.end()) continue;
    Prefix += "_";
    if (PPropInfo prop = found->second->Find(propName)) (this->*step)(prop);
  }
}

void TPropsStorage::WriteStoredProps(TComponent* component, TStrings* storedList) {
  WalkStoredProps(component, storedList, &TPropsStorage::SavePropertyValue);
}

void TPropsStorage::ReadStoredProps(TComponent* component, TStrings* storedList) {
  WalkStoredProps(component, storedList, &TPropsStorage::LoadPropertyValue);
}

AnsiString TPropsStorage::ComponentText(TComponent* value) const {
  if (!value) return "(null)";
  TComponent* owner = value->Owner();
  if (!owner || owner == owner_) return value->Name();
  AnsiString ownerName = owner->Name();
  if (ownerName.empty()) {
    ownerName = owner->ClassName();
    if (!ownerName.empty() && (ownerName[0] == 'T' || ownerName[0] == 't')) ownerName.erase(0, 1);
  }
  return ownerName + "." + value->Name();
}

AnsiString TPropsStorage::ValueText(PPropInfo prop) {
  TObject* o = AObject;
  switch (prop->Kind) {
    case tkInteger:
    case tkInt64:
      return IntToStr(prop->GetOrd(o));
    case tkChar:
    case tkWChar:
      return AnsiString(1, char(prop->GetOrd(o)));
    case tkEnumeration: {
      const int64_t v = prop->GetOrd(o);
      return v >= 0 && v < int64_t(prop->Names.size()) ? prop->Names[size_t(v)] : AnsiString();
    }
    case tkFloat:
      // Stored with "." whatever the locale, so files travel between settings.
      return ReplaceChar(FloatToStrGeneral(prop->GetFloat(o), Digits(prop->FloatType), FormatSettings().DecimalSeparator),
                         FormatSettings().DecimalSeparator, '.');
    case tkString:
    case tkLString:
      return prop->GetStr(o);
    case tkSet: {
      const int64_t v = prop->GetOrd(o);
      AnsiString text;
      for (int bit = 0; bit < 32; ++bit)
        if (v & (int64_t(1) << bit)) {
          if (!text.empty()) text += ",";
          text += bit < int(prop->Names.size()) ? prop->Names[size_t(bit)] : IntToStr(bit);
        }
      return "[" + text + "]";
    }
    case tkVariant:
      return prop->GetVar(o).AsString();
    case tkClass:
      if (prop->IsReference) return ComponentText(dynamic_cast<TComponent*>(prop->GetObj(o)));
      return "";
    default:
      return "";
  }
}

void TPropsStorage::SavePropertyValue(PPropInfo prop) {
  if (prop->Kind == tkClass) {
    WriteClassProp(prop);
    return;
  }
  const AnsiString text = ValueText(prop);
  if (text.empty() && !EmptyIsValue(prop->Kind)) return;
  WriteKeyValue(Section, ItemKey(prop->Name), Trim(text));
}

void TPropsStorage::LoadPropertyValue(PPropInfo prop) {
  try {
    if (prop->Kind == tkClass) {
      ReadClassProp(prop);
      return;
    }
    const AnsiString current = ValueText(prop);
    AnsiString text;
    if (!current.empty() || EmptyIsValue(prop->Kind)) text = Trim(ReadKeyValue(Section, ItemKey(prop->Name), current));
    ApplyText(prop, text);
  } catch (...) {
    // A value that cannot be applied leaves the property as it was.
  }
}

void TPropsStorage::ApplyText(PPropInfo prop, const AnsiString& text) {
  TObject* o = AObject;
  switch (prop->Kind) {
    case tkInteger:
    case tkInt64:
      prop->SetOrd(o, StrToInt64Def(text, 0));
      break;
    case tkChar:
    case tkWChar:
      if (!text.empty()) prop->SetOrd(o, static_cast<unsigned char>(text[0]));
      break;
    case tkEnumeration:
      for (size_t v = 0; v < prop->Names.size(); ++v)
        if (AnsiSameText(prop->Names[v], text)) {
          prop->SetOrd(o, int64_t(v));
          break;
        }
      break;
    case tkFloat: {
      const char sep = FormatSettings().DecimalSeparator;
      double value;
      if (TryStrToFloat(ReplaceChar(text, '.', sep), value, sep)) prop->SetFloat(o, value);
      break;
    }
    case tkString:
    case tkLString:
      prop->SetStr(o, text);
      break;
    case tkSet: {
      const TCharSet delims = CharSetOf(" ,[]");
      int64_t value = 0;
      for (int i = 1, n = CountDelimitedWords(text, delims); i <= n; ++i) {
        const AnsiString word = DelimitedWord(i, text, delims);
        for (size_t bit = 0; bit < prop->Names.size() && bit < 32; ++bit)
          if (AnsiSameText(prop->Names[bit], word)) value |= int64_t(1) << bit;
      }
      prop->SetOrd(o, value);
      break;
    }
    case tkVariant:
      prop->SetVar(o, Variant(text));
      break;
    default:
      break;
  }
}

TPropsStorage* TPropsStorage::Nested(TObject* object, const AnsiString& prefix) const {
  TPropsStorage* s = NewStorage();
  s->AObject = object;
  s->Prefix = prefix;
  s->Section = Section;
  s->OnReadKeyValue = OnReadKeyValue;
  s->OnWriteKeyValue = OnWriteKeyValue;
  s->OnEraseSection = OnEraseSection;
  return s;
}

void TPropsStorage::WriteClassProp(PPropInfo prop) {
  TObject* value = prop->GetObj(AObject);
  if (prop->IsReference) {
    WriteKeyValue(Section, ItemKey(prop->Name), ComponentText(dynamic_cast<TComponent*>(value)));
    return;
  }
  const AnsiString listSection = Format("%s.%s", {Section, ItemKey(prop->Name)});
  if (auto* strings = dynamic_cast<TStrings*>(value)) {
    EraseKeySection(listSection);
    if (strings->Count() > 0) {
      WriteKeyValue(listSection, "Count", IntToStr(strings->Count()));
      for (int i = 0; i < strings->Count(); ++i)
        WriteKeyValue(listSection, Format("Item%d", {i}), strings->Strings(i));
    }
  } else if (auto* collection = dynamic_cast<TCollection*>(value)) {
    EraseKeySection(listSection);
    WriteKeyValue(Section, ItemKey(prop->Name) + ".Count", IntToStr(collection->Count()));
    for (int i = 0; i < collection->Count(); ++i) {
      std::unique_ptr<TPropsStorage> item(Nested(collection->Items(i), Format("Item%d_", {i})));
      const TPropInfoList props(collection->Items(i), tkProperties);
      for (int p = 0; p < props.Count(); ++p) item->SavePropertyValue(props.Items(p));
    }
    return;
  }
  std::unique_ptr<TPropsStorage> nested(Nested(value, ItemKey(prop->Name)));
  const TPropInfoList props(value, tkProperties);
  for (int p = 0; p < props.Count(); ++p) nested->SavePropertyValue(props.Items(p));
}

void TPropsStorage::ApplyComponentText(PPropInfo prop, const AnsiString& text) {
  if (text.empty()) return;
  if (AnsiSameText(text, "(null)")) {
    prop->SetObj(AObject, nullptr);
    return;
  }
  TComponent* holder = owner_;
  AnsiString name = text;
  if (const auto dot = text.find('.'); dot != AnsiString::npos) {
    holder = FindFormByName(Trim(std::string_view(text).substr(0, dot)));
    name = Trim(std::string_view(text).substr(dot + 1));
  }
  if (holder) prop->SetObj(AObject, FindChild(holder, name));
}

void TPropsStorage::ReadClassProp(PPropInfo prop) {
  if (prop->IsReference) {
    ApplyComponentText(prop, Trim(ReadKeyValue(Section, ItemKey(prop->Name), "")));
    return;
  }
  TObject* value = prop->GetObj(AObject);
  const AnsiString listSection = Format("%s.%s", {Section, ItemKey(prop->Name)});
  if (auto* strings = dynamic_cast<TStrings*>(value)) {
    const int count = StrToIntDef(Trim(ReadKeyValue(listSection, "Count", "0")), 0);
    if (count <= 0) return;
    TStringList lines;
    for (int i = 0; i < count; ++i) lines.Add(ReadKeyValue(listSection, Format("Item%d", {i}), ""));
    strings->Assign(&lines);
    return;
  }
  if (auto* collection = dynamic_cast<TCollection*>(value)) {
    const int count = StrToIntDef(
        Trim(ReadKeyValue(Section, ItemKey(prop->Name) + ".Count", IntToStr(collection->Count()))), 0);
    collection->BeginUpdate();
    struct EndUpdate {
      TCollection* c;
      ~EndUpdate() { c->EndUpdate(); }
    } end{collection};
    if (count != collection->Count()) {
      collection->Clear();
      for (int i = 0; i < count; ++i) collection->Add();
    }
    for (int i = 0; i < collection->Count(); ++i) {
      std::unique_ptr<TPropsStorage> item(Nested(collection->Items(i), Format("Item%d_", {i})));
      const TPropInfoList props(collection->Items(i), tkProperties);
      for (int p = 0; p < props.Count(); ++p) item->LoadPropertyValue(props.Items(p));
    }
    return;
  }
  std::unique_ptr<TPropsStorage> nested(Nested(value, ItemKey(prop->Name)));
  const TPropInfoList props(value, tkProperties);
  for (int p = 0; p < props.Count(); ++p) nested->LoadPropertyValue(props.Items(p));
}
