// Property tables and the class registry behind type_info.h.
#include "platform/gui/type_info.h"

#include <algorithm>
#include <map>

#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"

namespace {

struct PropTable {
  AnsiString className;
  std::function<bool(const TObject*)> isA;
  std::vector<TPropInfo> props;
};

std::vector<PropTable>& Tables() {
  static std::vector<PropTable> tables;
  static bool standard = false;
  if (!standard) {
    standard = true;
    RegisterStandardProps();
  }
  return tables;
}

PPropInfo Require(TObject* object, const AnsiString& name, TTypeKinds kinds) {
  PPropInfo p = GetPropInfo(object, name);
  if (!p) throw EPropertyError("Unknown property: " + name);
  if (!(kinds & (1u << p->Kind))) throw EPropertyError("Invalid property type: " + name);
  return p;
}

constexpr TTypeKinds kOrdinal = (1u << tkInteger) | (1u << tkChar) | (1u << tkEnumeration) | (1u << tkSet) |
                                (1u << tkWChar) | (1u << tkInt64);
constexpr TTypeKinds kString = (1u << tkString) | (1u << tkLString) | (1u << tkWString);

}  // namespace

void RegisterPropTable(const char* className, std::function<bool(const TObject*)> isA,
                       std::vector<TPropInfo> props) {
  for (const PropTable& t : Tables())
    if (t.className == className) return;
  Tables().push_back({className, std::move(isA), std::move(props)});
}

std::vector<PPropInfo> GetPropList(const TObject* object, TTypeKinds kinds) {
  std::vector<PPropInfo> list;
  if (!object) return list;
  for (const PropTable& t : Tables()) {
    if (!t.isA(object)) continue;
    for (const TPropInfo& p : t.props) {
      if (!(kinds & (1u << p.Kind))) continue;
      // A derived table may publish a base property anew; its entry wins.
      auto same = std::find_if(list.begin(), list.end(), [&](PPropInfo q) { return SameText(q->Name, p.Name); });
      if (same != list.end()) *same = &p;
      else list.push_back(&p);
    }
  }
  std::sort(list.begin(), list.end(), [](PPropInfo a, PPropInfo b) { return CompareText(a->Name, b->Name) < 0; });
  return list;
}

PPropInfo GetPropInfo(const TObject* object, const AnsiString& name) {
  for (PPropInfo p : GetPropList(object, tkAny))
    if (SameText(p->Name, name)) return p;
  return nullptr;
}

bool IsPublishedProp(const TObject* object, const AnsiString& name) { return GetPropInfo(object, name) != nullptr; }

int64_t GetOrdProp(TObject* object, const AnsiString& name) { return Require(object, name, kOrdinal)->GetOrd(object); }

void SetOrdProp(TObject* object, const AnsiString& name, int64_t value) {
  PPropInfo p = Require(object, name, kOrdinal);
  if (!p->SetOrd) throw EPropertyError("Property " + name + " is read-only");
  p->SetOrd(object, value);
}

AnsiString GetStrProp(TObject* object, const AnsiString& name) { return Require(object, name, kString)->GetStr(object); }

void SetStrProp(TObject* object, const AnsiString& name, const AnsiString& value) {
  Require(object, name, kString)->SetStr(object, value);
}

double GetFloatProp(TObject* object, const AnsiString& name) {
  return Require(object, name, 1u << tkFloat)->GetFloat(object);
}

void SetFloatProp(TObject* object, const AnsiString& name, double value) {
  Require(object, name, 1u << tkFloat)->SetFloat(object, value);
}

TObject* GetObjectProp(TObject* object, const AnsiString& name) {
  return Require(object, name, 1u << tkClass)->GetObj(object);
}

void SetObjectProp(TObject* object, const AnsiString& name, TObject* value) {
  Require(object, name, 1u << tkClass)->SetObj(object, value);
}

int GetEnumValue(PPropInfo prop, const AnsiString& name) {
  for (size_t i = 0; i < prop->Names.size(); ++i)
    if (SameText(prop->Names[i], name)) return int(i);
  return -1;
}

AnsiString GetEnumProp(TObject* object, const AnsiString& name) {
  PPropInfo p = Require(object, name, 1u << tkEnumeration);
  const int64_t v = p->GetOrd(object);
  return v >= 0 && size_t(v) < p->Names.size() ? p->Names[size_t(v)] : IntToStr(v);
}

void SetEnumProp(TObject* object, const AnsiString& name, const AnsiString& value) {
  PPropInfo p = Require(object, name, 1u << tkEnumeration);
  const int v = GetEnumValue(p, Trim(value));
  if (v < 0) throw EPropertyError("Invalid property value: " + value);
  p->SetOrd(object, v);
}

AnsiString GetSetProp(TObject* object, const AnsiString& name) {
  PPropInfo p = Require(object, name, 1u << tkSet);
  const int64_t v = p->GetOrd(object);
  AnsiString text;
  for (size_t bit = 0; bit < p->Names.size() && bit < 32; ++bit)
    if (v & (int64_t(1) << bit)) text += (text.empty() ? "" : ",") + p->Names[bit];
  return "[" + text + "]";
}

void SetSetProp(TObject* object, const AnsiString& name, const AnsiString& value) {
  PPropInfo p = Require(object, name, 1u << tkSet);
  int64_t v = 0;
  AnsiString word;
  for (size_t i = 0; i <= value.size(); ++i) {
    const char c = i < value.size() ? value[i] : ' ';
    if (c == ' ' || c == ',' || c == '[' || c == ']') {
      if (!word.empty()) {
        const int bit = GetEnumValue(p, word);
        if (bit < 0) throw EPropertyError("Invalid property value: " + value);
        v |= int64_t(1) << bit;
      }
      word.clear();
    } else {
      word += c;
    }
  }
  p->SetOrd(object, v);
}

// --- class registry -------------------------------------------------------------------

namespace {
std::vector<std::pair<AnsiString, TComponentFactory>>& Classes() {
  Tables();  // the platform's classes register with their tables
  static std::vector<std::pair<AnsiString, TComponentFactory>> classes;
  return classes;
}
}  // namespace

void RegisterClassFactory(const AnsiString& name, TComponentFactory factory) {
  for (auto& [n, f] : Classes())
    if (SameText(n, name)) return;
  Classes().emplace_back(name, std::move(factory));
}

const TComponentFactory* GetClass(const AnsiString& name) {
  for (auto& [n, f] : Classes())
    if (SameText(n, name)) return &f;
  return nullptr;
}

const TComponentFactory& FindClass(const AnsiString& name) {
  if (const TComponentFactory* f = GetClass(name)) return *f;
  throw EClassNotFound("Class " + name + " not found");
}
