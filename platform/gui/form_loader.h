// The form-building protocol that builder functions follow in place of a
// form-file reader: every component is created marked csLoading; plain
// properties are set at once, in the order given; component references are
// collected and fixed up by name once everything exists; then each
// component, the root first and the rest in creation order, gets Loaded.
//
//   TFormLoader load(form);
//   auto* ok = load.Create<TButton>("OKBtn", form);
//   load.Set(ok, {{"Left", "8"}, {"Caption", "OK"}});
//   load.Ref(form, "ActiveControl", "OKBtn");
//   load.Finish();
#pragma once

#include <initializer_list>
#include <utility>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/type_info.h"

class TFormLoader {
public:
  // Marks the root as loading.
  explicit TFormLoader(TComponent* root);
  // Unfinished loading (an exception while building) leaves nothing marked loading.
  ~TFormLoader();
  TFormLoader(const TFormLoader&) = delete;
  TFormLoader& operator=(const TFormLoader&) = delete;

  // A component of class T owned by the root (its AfterConstruction run),
  // named, under parent when it is a control.
  template <class T>
  T* Create(const AnsiString& name, TWinControl* parent = nullptr) {
    T* c = new T(root_);
    Adopt(c, name, parent);
    return c;
  }
  // The same for a class registered by name.
  TComponent* CreateByClassName(const AnsiString& className, const AnsiString& name, TWinControl* parent = nullptr);
  // Sets a property from its text: integers and floats as numbers, enumerations
  // by value name, sets as "[a,b]", characters as their first byte, strings as they are.
  void Set(TObject* object, const AnsiString& property, const AnsiString& value);
  // Several properties in the order given, as a form's stored data lists them.
  void Set(TObject* object, std::initializer_list<std::pair<const char*, AnsiString>> values);
  // A reference to the component named `target` (of the root, or "Form.Name" of
  // another open form), fixed up in Finish; an empty name sets none.
  void Ref(TObject* object, const AnsiString& property, const AnsiString& target);
  // Fixes up the references, then calls Loaded.
  void Finish();

private:
  void Adopt(TComponent* component, const AnsiString& name, TWinControl* parent);
  struct Fixup {
    TObject* object;
    AnsiString property;
    AnsiString target;
  };
  TComponent* root_;
  std::vector<TComponent*> created_;
  std::vector<Fixup> fixups_;
  bool finished_ = false;
};

// Sets a property from its text by its kind (see TFormLoader::Set).
void SetPropertyText(TObject* object, PPropInfo prop, const AnsiString& value);
