// The execution stack: grows in steps of a hundred values.
#include "sql/core/expr/execution_stack.h"

#include "sql/core/messages.h"

void TZExecutionStack::Push(const TZVariant& value) {
  if (Count == GetCapacity()) Values.resize(Values.size() + kCapacityStep);
  DefaultVarManager()->Assign(value, Values[static_cast<std::size_t>(Count)]);
  ++Count;
}

TZVariant TZExecutionStack::Pop() {
  if (Count == 0) throw TZExpressionError(SZStackIsEmpty);
  --Count;
  return DefaultVarManager()->Clone(Values[static_cast<std::size_t>(Count)]);
}

TZVariant TZExecutionStack::GetParameter(int index) const {
  if (index < 0 || index >= Count) throw TZExpressionError(SZStackIsEmpty);
  return DefaultVarManager()->Clone(Values[static_cast<std::size_t>(Count - 1 - index)]);
}
