// Functions that expressions call by name, and the lists that hold them. A
// function reads its arguments from the execution stack without removing them;
// the evaluator removes them afterwards.
#pragma once

#include <vector>

#include "sql/core/expr/execution_stack.h"

class IZFunction : public virtual IZInterface {
public:
  virtual AnsiString GetName() const = 0;
  // On entry GetParameter(0) is the argument count n and GetParameter(n) the
  // first argument, GetParameter(1) the last.
  virtual TZVariant Execute(TZExecutionStack& stack, const Ref<IZVariantManager>& variantManager) = 0;
};

class TZAbstractFunction : public TInterfacedObject, public virtual IZFunction {
public:
  explicit TZAbstractFunction(AnsiString name) : Name(std::move(name)) {}

  AnsiString GetName() const override { return Name; }

protected:
  // The argument count; raises TZExpressionError unless it is expected.
  static int CheckParamsCount(const TZExecutionStack& stack, int expected);

  AnsiString Name;
};

class IZFunctionsList : public virtual IZInterface {
public:
  virtual int GetCount() const = 0;
  virtual AnsiString GetName(int index) const = 0;
  virtual Ref<IZFunction> GetFunction(int index) const = 0;
  // A function whose name is present already is ignored.
  virtual void Add(const Ref<IZFunction>& func) = 0;
  virtual void Remove(const AnsiString& name) = 0;
  // Case-insensitive (plain ASCII); -1 when absent.
  virtual int FindByName(const AnsiString& name) const = 0;
  virtual void Clear() = 0;
};

class TZFunctionsList : public TInterfacedObject, public virtual IZFunctionsList {
public:
  int GetCount() const override { return static_cast<int>(Functions.size()); }
  AnsiString GetName(int index) const override { return GetFunction(index)->GetName(); }
  Ref<IZFunction> GetFunction(int index) const override;
  void Add(const Ref<IZFunction>& func) override;
  void Remove(const AnsiString& name) override;
  int FindByName(const AnsiString& name) const override;
  void Clear() override { Functions.clear(); }

protected:
  std::vector<Ref<IZFunction>> Functions;
};

// The 34 built-in functions, TIME to RIGHT.
class TZDefaultFunctionsList : public TZFunctionsList {
public:
  TZDefaultFunctionsList();
};
