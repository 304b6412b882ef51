// The expression object: an expression text parsed once, evaluated any number
// of times over named variables with a list of functions and a variant manager.
// Dataset filters keep one per dataset.
#pragma once

#include <memory>

#include "sql/core/expr/execution_stack.h"
#include "sql/core/expr/functions.h"
#include "sql/core/expr/variables.h"

class IZTokenizer;
class TZExpressionParser;

class IZExpression : public virtual IZInterface {
public:
  virtual Ref<IZTokenizer> GetTokenizer() const = 0;
  virtual void SetTokenizer(const Ref<IZTokenizer>& value) = 0;
  virtual AnsiString GetExpression() const = 0;
  // Raises TZParseError for bad text.
  virtual void SetExpression(const AnsiString& value) = 0;
  virtual Ref<IZVariantManager> GetVariantManager() const = 0;
  virtual void SetVariantManager(const Ref<IZVariantManager>& value) = 0;
  virtual Ref<IZVariablesList> GetDefaultVariables() const = 0;
  virtual void SetDefaultVariables(const Ref<IZVariablesList>& value) = 0;
  virtual Ref<IZFunctionsList> GetDefaultFunctions() const = 0;
  virtual void SetDefaultFunctions(const Ref<IZFunctionsList>& value) = 0;
  virtual bool GetAutoVariables() const = 0;
  virtual void SetAutoVariables(bool value) = 0;

  virtual TZVariant Evaluate() = 0;
  virtual TZVariant EvaluateWithVariables(const Ref<IZVariablesList>& variables) = 0;
  virtual TZVariant EvaluateWithFunctions(const Ref<IZVariablesList>& variables,
                                          const Ref<IZFunctionsList>& functions) = 0;
  virtual TZVariant EvaluateWithStack(const Ref<IZVariablesList>& variables,
                                      const Ref<IZFunctionsList>& functions, TZExecutionStack& stack) = 0;
  // Adds every name of the text that variables lacks, with a null value.
  virtual void CreateVariables(const Ref<IZVariablesList>& variables) = 0;
  virtual void Clear() = 0;
};

// Starts with the expression tokenizer, no variables, the built-in functions,
// a lenient variant manager of its own and automatic variables on.
class TZExpression : public TInterfacedObject, public virtual IZExpression {
public:
  TZExpression();
  ~TZExpression() override;

  Ref<IZTokenizer> GetTokenizer() const override;
  void SetTokenizer(const Ref<IZTokenizer>& value) override;
  AnsiString GetExpression() const override;
  void SetExpression(const AnsiString& value) override;
  Ref<IZVariantManager> GetVariantManager() const override { return VariantManager; }
  void SetVariantManager(const Ref<IZVariantManager>& value) override { VariantManager = value; }
  Ref<IZVariablesList> GetDefaultVariables() const override { return DefaultVariables; }
  void SetDefaultVariables(const Ref<IZVariablesList>& value) override { DefaultVariables = value; }
  Ref<IZFunctionsList> GetDefaultFunctions() const override { return DefaultFunctions; }
  void SetDefaultFunctions(const Ref<IZFunctionsList>& value) override { DefaultFunctions = value; }
  bool GetAutoVariables() const override { return AutoVariables; }
  void SetAutoVariables(bool value) override { AutoVariables = value; }

  TZVariant Evaluate() override;
  TZVariant EvaluateWithVariables(const Ref<IZVariablesList>& variables) override;
  TZVariant EvaluateWithFunctions(const Ref<IZVariablesList>& variables,
                                  const Ref<IZFunctionsList>& functions) override;
  TZVariant EvaluateWithStack(const Ref<IZVariablesList>& variables, const Ref<IZFunctionsList>& functions,
                              TZExecutionStack& stack) override;
  void CreateVariables(const Ref<IZVariablesList>& variables) override;
  void Clear() override;

private:
  Ref<IZVariablesList> DefaultVariables;
  Ref<IZFunctionsList> DefaultFunctions;
  Ref<IZVariantManager> VariantManager;
  std::unique_ptr<TZExpressionParser> Parser;
  bool AutoVariables = true;
};
