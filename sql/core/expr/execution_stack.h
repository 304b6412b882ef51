// The value stack that expressions are evaluated on, and the evaluation error.
// Callers that evaluate one expression many times (a filter over every record)
// keep one stack and pass it each time.
#pragma once

#include <vector>

#include "platform/rtl/exceptions.h"
#include "sql/core/variant.h"

VX_DECLARE_EXCEPTION(TZExpressionError, Exception)

class TZExecutionStack {
public:
  static constexpr int kCapacityStep = 100;

  TZExecutionStack() : Values(kCapacityStep) {}

  void Push(const TZVariant& value);
  // Raises TZExpressionError "Stack is empty" on an empty stack.
  TZVariant Pop();
  // A copy of the value index places below the top (0 is the top).
  TZVariant GetParameter(int index) const;
  // The slots keep their old values until overwritten.
  void Clear() { Count = 0; }

  int GetCount() const { return Count; }
  int GetCapacity() const { return static_cast<int>(Values.size()); }

private:
  std::vector<TZVariant> Values;
  int Count = 0;
};
