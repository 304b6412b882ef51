// Field definitions and the creation of default fields from them.
#include "platform/db/field_defs.h"

#include "platform/db/dataset.h"
#include "platform/rtl/text.h"

TFieldDef::TFieldDef(const AnsiString& name, TFieldType type, int size, bool required,
                     int fieldNo)
    : name_(name), dataType_(type), size_(size), fieldNo_(fieldNo) {
  SetRequired(required);
}

void TFieldDef::SetRequired(bool value) {
  if (value) attributes_ |= faRequired;
  else attributes_ &= ~unsigned(faRequired);
}

TField* TFieldDef::CreateField(TComponent* owner, TDataSet* dataSet) const {
  TField* field = CreateFieldOfType(dataType_, owner);
  if (!field) return nullptr;
  try {
    field->SetFieldName(name_);
    if (size_ > 0) field->SetSize(size_);
    field->SetRequired(Required());
    field->SetReadOnly((attributes_ & faReadonly) != 0);
    field->SetDataSet(dataSet);
  } catch (...) {
    field->Free();
    throw;
  }
  return field;
}

TFieldDef* TFieldDefs::Add(const AnsiString& name, TFieldType type, int size, bool required) {
  return AddFieldDef(name, type, size, required, Count() + 1);
}

TFieldDef* TFieldDefs::AddFieldDef(const AnsiString& name, TFieldType type, int size,
                                   bool required, int fieldNo) {
  items_.push_back(std::make_unique<TFieldDef>(name, type, size, required, fieldNo));
  return items_.back().get();
}

int TFieldDefs::IndexOf(const AnsiString& name) const {
  for (int i = 0; i < Count(); ++i)
    if (AnsiSameText(items_[i]->Name(), name)) return i;
  return -1;
}

TFieldDef* TFieldDefs::Find(const AnsiString& name) const {
  int index = IndexOf(name);
  return index < 0 ? nullptr : items_[index].get();
}
