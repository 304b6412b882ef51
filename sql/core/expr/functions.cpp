// Function lists and the argument-count check shared by the functions.
#include "sql/core/expr/functions.h"

#include "platform/rtl/format.h"
#include "platform/rtl/text.h"
#include "sql/core/messages.h"

int TZAbstractFunction::CheckParamsCount(const TZExecutionStack& stack, int expected) {
  const std::int64_t found = DefaultVarManager()->GetAsInteger(stack.GetParameter(0));
  if (found != expected)
    throw TZExpressionError(Format(SZParametersError, {expected, static_cast<long long>(found)}));
  return expected;
}

Ref<IZFunction> TZFunctionsList::GetFunction(int index) const {
  if (index < 0 || index >= GetCount()) throw EListError(Format(SListIndexError, {index}));
  return Functions[static_cast<std::size_t>(index)];
}

void TZFunctionsList::Add(const Ref<IZFunction>& func) {
  if (FindByName(func->GetName()) < 0) Functions.push_back(func);
}

void TZFunctionsList::Remove(const AnsiString& name) {
  const int index = FindByName(name);
  if (index >= 0) Functions.erase(Functions.begin() + index);
}

int TZFunctionsList::FindByName(const AnsiString& name) const {
  for (std::size_t i = 0; i < Functions.size(); ++i)
    if (SameText(Functions[i]->GetName(), name)) return static_cast<int>(i);
  return -1;
}
