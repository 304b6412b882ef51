// The variables list of expressions.
#include "sql/core/expr/variables.h"

#include "platform/rtl/format.h"
#include "platform/rtl/text.h"
#include "sql/core/messages.h"

std::size_t TZVariablesList::CheckedIndex(int index) const {
  if (index < 0 || index >= GetCount()) throw EListError(Format(SListIndexError, {index}));
  return static_cast<std::size_t>(index);
}

AnsiString TZVariablesList::GetName(int index) const { return Variables[CheckedIndex(index)].Name; }

TZVariant TZVariablesList::GetValue(int index) const { return Variables[CheckedIndex(index)].Value; }

void TZVariablesList::SetValue(int index, const TZVariant& value) { Variables[CheckedIndex(index)].Value = value; }

int TZVariablesList::FindByName(const AnsiString& name) const {
  const AnsiString key = UpperCase(name);
  for (std::size_t i = 0; i < Variables.size(); ++i)
    if (Variables[i].Name == key) return static_cast<int>(i);
  return -1;
}

TZVariant TZVariablesList::GetValueByName(const AnsiString& name) const {
  const int index = FindByName(name);
  return index < 0 ? NullVariant() : Variables[static_cast<std::size_t>(index)].Value;
}

void TZVariablesList::SetValueByName(const AnsiString& name, const TZVariant& value) {
  const int index = FindByName(name);
  if (index < 0)
    Add(name, value);
  else
    Variables[static_cast<std::size_t>(index)].Value = value;
}

void TZVariablesList::Add(const AnsiString& name, const TZVariant& value) {
  if (FindByName(name) >= 0) throw Exception(Format(SZVariableAlreadyExists, {name}));
  Variables.emplace_back(UpperCase(name), value);
}

void TZVariablesList::Remove(const AnsiString& name) {
  const int index = FindByName(name);
  if (index >= 0) Variables.erase(Variables.begin() + index);
}

void TZVariablesList::ClearValues() {
  for (TZVariable& variable : Variables) variable.Value = NullVariant();
}
