// Published properties and the class registry. A class lists the properties
// it publishes in a table registered once (RegisterProps); an object's
// properties are those of every registered class it is an instance of, so a
// derived class inherits its bases' tables. Values are read and written by
// property name through typed accessors (ordinal, float, string, object,
// variant), which is what form builders and the property storage use.
// Classes registered by name (RegisterClass) can be created from that name.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/components.h"
#include "platform/rtl/variant.h"

enum TTypeKind {
  tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod, tkWChar,
  tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray
};
using TTypeKinds = unsigned;  // bit (1 << kind)
constexpr TTypeKinds tkAny = 0x3FFFF;
constexpr TTypeKinds tkProperties = tkAny & ~((1u << tkUnknown) | (1u << tkMethod));
enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };

VX_DECLARE_EXCEPTION(EPropertyError, Exception)
VX_DECLARE_EXCEPTION(EClassNotFound, Exception)

struct TPropInfo {
  AnsiString Name;
  TTypeKind Kind = tkUnknown;
  // Enumerations: the value names from 0; sets: the member names by bit.
  std::vector<AnsiString> Names;
  TFloatType FloatType = ftDouble;
  // Class properties: whether the value is a component reference (fixed up
  // after loading) rather than an owned sub-object.
  bool IsReference = false;
  std::function<int64_t(TObject*)> GetOrd;
  std::function<void(TObject*, int64_t)> SetOrd;
  std::function<double(TObject*)> GetFloat;
  std::function<void(TObject*, double)> SetFloat;
  std::function<AnsiString(TObject*)> GetStr;
  std::function<void(TObject*, const AnsiString&)> SetStr;
  std::function<TObject*(TObject*)> GetObj;
  std::function<void(TObject*, TObject*)> SetObj;
  std::function<Variant(TObject*)> GetVar;
  std::function<void(TObject*, const Variant&)> SetVar;
};
using PPropInfo = const TPropInfo*;

// Registers the table of class C (once; later calls for C are ignored).
// `isA` tells whether an object is a C.
void RegisterPropTable(const char* className, std::function<bool(const TObject*)> isA,
                       std::vector<TPropInfo> props);
template <class C>
void RegisterProps(const char* className, std::vector<TPropInfo> props) {
  RegisterPropTable(className, [](const TObject* o) { return dynamic_cast<const C*>(o) != nullptr; },
                    std::move(props));
}

// The object's published properties of the given kinds, sorted by name.
std::vector<PPropInfo> GetPropList(const TObject* object, TTypeKinds kinds = tkProperties);
// Found case-insensitively; null when the object has no such property.
PPropInfo GetPropInfo(const TObject* object, const AnsiString& name);
bool IsPublishedProp(const TObject* object, const AnsiString& name);

// Typed access by name; an unknown name or a kind that does not fit raises EPropertyError.
int64_t GetOrdProp(TObject* object, const AnsiString& name);
void SetOrdProp(TObject* object, const AnsiString& name, int64_t value);
AnsiString GetStrProp(TObject* object, const AnsiString& name);
void SetStrProp(TObject* object, const AnsiString& name, const AnsiString& value);
double GetFloatProp(TObject* object, const AnsiString& name);
void SetFloatProp(TObject* object, const AnsiString& name, double value);
TObject* GetObjectProp(TObject* object, const AnsiString& name);
void SetObjectProp(TObject* object, const AnsiString& name, TObject* value);
// Enumerations by value name (case-insensitive); an unknown name raises EPropertyError.
AnsiString GetEnumProp(TObject* object, const AnsiString& name);
void SetEnumProp(TObject* object, const AnsiString& name, const AnsiString& value);
// Sets as "[a,b]".
AnsiString GetSetProp(TObject* object, const AnsiString& name);
void SetSetProp(TObject* object, const AnsiString& name, const AnsiString& value);
// The index of a name in an enumeration's names (case-insensitive), or -1.
int GetEnumValue(PPropInfo prop, const AnsiString& name);

// --- table entries ------------------------------------------------------------------
namespace detail {
template <class C, class T>
TPropInfo OrdProp(const char* name, TTypeKind kind, T (C::*get)() const, void (C::*set)(T)) {
  TPropInfo p;
  p.Name = name;
  p.Kind = kind;
  p.GetOrd = [get](TObject* o) { return int64_t((static_cast<C*>(o)->*get)()); };
  if (set) p.SetOrd = [set](TObject* o, int64_t v) { (static_cast<C*>(o)->*set)(T(v)); };
  return p;
}
}  // namespace detail

template <class C, class T>
TPropInfo IntProp(const char* name, T (C::*get)() const, void (C::*set)(T)) {
  return detail::OrdProp(name, tkInteger, get, set);
}
template <class C>
TPropInfo BoolProp(const char* name, bool (C::*get)() const, void (C::*set)(bool)) {
  TPropInfo p = detail::OrdProp(name, tkEnumeration, get, set);
  p.Names = {"False", "True"};
  return p;
}
template <class C>
TPropInfo CharProp(const char* name, char (C::*get)() const, void (C::*set)(char)) {
  return detail::OrdProp(name, tkChar, get, set);
}
template <class C, class E>
TPropInfo EnumProp(const char* name, std::vector<AnsiString> names, E (C::*get)() const, void (C::*set)(E)) {
  TPropInfo p = detail::OrdProp(name, tkEnumeration, get, set);
  p.Names = std::move(names);
  return p;
}
template <class C, class S>
TPropInfo SetProp(const char* name, std::vector<AnsiString> members, S (C::*get)() const, void (C::*set)(S)) {
  TPropInfo p = detail::OrdProp(name, tkSet, get, set);
  p.Names = std::move(members);
  return p;
}
template <class C>
TPropInfo FloatProp(const char* name, TFloatType type, double (C::*get)() const, void (C::*set)(double)) {
  TPropInfo p;
  p.Name = name;
  p.Kind = tkFloat;
  p.FloatType = type;
  p.GetFloat = [get](TObject* o) { return (static_cast<C*>(o)->*get)(); };
  p.SetFloat = [set](TObject* o, double v) { (static_cast<C*>(o)->*set)(v); };
  return p;
}
// Getters may return by value or by reference.
template <class C, class G>
TPropInfo StrProp(const char* name, G get, void (C::*set)(const AnsiString&)) {
  TPropInfo p;
  p.Name = name;
  p.Kind = tkLString;
  p.GetStr = [get](TObject* o) { return AnsiString((static_cast<C*>(o)->*get)()); };
  p.SetStr = [set](TObject* o, const AnsiString& v) { (static_cast<C*>(o)->*set)(v); };
  return p;
}
template <class C>
TPropInfo VariantProp(const char* name, Variant (C::*get)() const, void (C::*set)(const Variant&)) {
  TPropInfo p;
  p.Name = name;
  p.Kind = tkVariant;
  p.GetVar = [get](TObject* o) { return (static_cast<C*>(o)->*get)(); };
  p.SetVar = [set](TObject* o, const Variant& v) { (static_cast<C*>(o)->*set)(v); };
  return p;
}
// An owned sub-object (a font, a string list): set copies through Assign.
template <class C, class T>
TPropInfo ObjectProp(const char* name, T* (C::*get)() const) {
  TPropInfo p;
  p.Name = name;
  p.Kind = tkClass;
  p.GetObj = [get](TObject* o) -> TObject* { return (static_cast<C*>(o)->*get)(); };
  p.SetObj = [get](TObject* o, TObject* v) {
    if (auto* target = dynamic_cast<TPersistent*>((static_cast<C*>(o)->*get)()))
      target->Assign(dynamic_cast<TPersistent*>(v));
  };
  return p;
}
// A reference to another component; a value of the wrong class raises EPropertyError.
template <class C, class T>
TPropInfo RefProp(const char* name, T* (C::*get)() const, void (C::*set)(T*)) {
  TPropInfo p;
  p.Name = name;
  p.Kind = tkClass;
  p.IsReference = true;
  p.GetObj = [get](TObject* o) -> TObject* { return (static_cast<C*>(o)->*get)(); };
  p.SetObj = [set, name](TObject* o, TObject* v) {
    T* typed = dynamic_cast<T*>(v);
    if (v && !typed) throw EPropertyError(AnsiString("Invalid property value for ") + name);
    (static_cast<C*>(o)->*set)(typed);
  };
  return p;
}

// The tables and classes of the platform's own components, registered on
// first use of the tables (published_props.cpp).
void RegisterStandardProps();

// --- class registry -------------------------------------------------------------------
using TComponentFactory = std::function<TComponent*(TComponent* owner)>;
void RegisterClassFactory(const AnsiString& name, TComponentFactory factory);
template <class C>
void RegisterClass(const char* name) {
  RegisterClassFactory(name, [](TComponent* owner) -> TComponent* { return new C(owner); });
}
// The factory of a registered class (case-insensitive); null when none.
const TComponentFactory* GetClass(const AnsiString& name);
// As GetClass, but an unknown name raises EClassNotFound "Class <name> not found".
const TComponentFactory& FindClass(const AnsiString& name);
