// TFormLoader: the loading protocol of forms built in code.
#include "platform/gui/form_loader.h"

#include "platform/gui/application.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"

TFormLoader::TFormLoader(TComponent* root) : root_(root) {
  root->BeginReading();
  created_.push_back(root);
}

TFormLoader::~TFormLoader() {
  if (finished_) return;
  for (TComponent* c : created_) c->FinishReading();
}

void TFormLoader::Adopt(TComponent* component, const AnsiString& name, TWinControl* parent) {
  component->AfterConstruction();
  component->BeginReading();
  created_.push_back(component);
  component->SetName(name);
  if (auto* control = dynamic_cast<TControl*>(component); control && parent) control->SetParent(parent);
}

TComponent* TFormLoader::CreateByClassName(const AnsiString& className, const AnsiString& name, TWinControl* parent) {
  TComponent* c = FindClass(className)(root_);
  Adopt(c, name, parent);
  return c;
}

void SetPropertyText(TObject* object, PPropInfo p, const AnsiString& value) {
  switch (p->Kind) {
    case tkInteger:
    case tkInt64: p->SetOrd(object, StrToInt64(Trim(value))); return;
    case tkChar:
    case tkWChar:
      if (!value.empty()) p->SetOrd(object, static_cast<unsigned char>(value[0]));
      return;
    case tkEnumeration: SetEnumProp(object, p->Name, value); return;
    case tkSet: SetSetProp(object, p->Name, value); return;
    case tkFloat: p->SetFloat(object, StrToFloat(Trim(value))); return;
    case tkString:
    case tkLString:
    case tkWString: p->SetStr(object, value); return;
    case tkVariant: p->SetVar(object, Variant(value)); return;
    default: throw EPropertyError("Property " + p->Name + " cannot be set from text");
  }
}

void TFormLoader::Set(TObject* object, const AnsiString& property, const AnsiString& value) {
  PPropInfo p = GetPropInfo(object, property);
  if (!p) throw EPropertyError("Unknown property: " + property);
  SetPropertyText(object, p, value);
}

void TFormLoader::Set(TObject* object, std::initializer_list<std::pair<const char*, AnsiString>> values) {
  for (const auto& [property, value] : values) Set(object, property, value);
}

void TFormLoader::Ref(TObject* object, const AnsiString& property, const AnsiString& target) {
  PPropInfo p = GetPropInfo(object, property);
  if (!p || p->Kind != tkClass) throw EPropertyError("Unknown property: " + property);
  fixups_.push_back({object, property, target});
}

namespace {
TComponent* FindReference(TComponent* root, const AnsiString& target) {
  const size_t dot = target.find('.');
  if (dot == AnsiString::npos) return SameText(target, root->Name()) ? root : root->FindComponent(target);
  const AnsiString formName = Trim(target.substr(0, dot));
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (SameText(Screen->Forms(i)->Name(), formName))
      return Screen->Forms(i)->FindComponent(Trim(target.substr(dot + 1)));
  return nullptr;
}
}  // namespace

void TFormLoader::Finish() {
  for (const Fixup& f : fixups_) {
    TComponent* target = f.target.empty() ? nullptr : FindReference(root_, f.target);
    if (!f.target.empty() && !target) throw EPropertyError("Invalid property value: " + f.target);
    SetObjectProp(f.object, f.property, target);
  }
  finished_ = true;
  for (TComponent* c : created_) c->FinishReading();
}
