// Named values of an expression. Names are kept upper-cased (plain ASCII) and
// found regardless of letter case.
#pragma once

#include <vector>

#include "sql/core/variant.h"

class TZVariable {
public:
  TZVariable(AnsiString name, TZVariant value) : Name(std::move(name)), Value(std::move(value)) {}

  AnsiString Name;
  TZVariant Value;
};

class IZVariablesList : public virtual IZInterface {
public:
  virtual int GetCount() const = 0;
  virtual AnsiString GetName(int index) const = 0;
  virtual TZVariant GetValue(int index) const = 0;
  virtual void SetValue(int index, const TZVariant& value) = 0;
  // A null value when the name is absent.
  virtual TZVariant GetValueByName(const AnsiString& name) const = 0;
  // Adds the variable when the name is absent.
  virtual void SetValueByName(const AnsiString& name, const TZVariant& value) = 0;
  // Raises Exception "Variable \"%s\" already exists" for a known name.
  virtual void Add(const AnsiString& name, const TZVariant& value) = 0;
  virtual void Remove(const AnsiString& name) = 0;
  virtual int FindByName(const AnsiString& name) const = 0;
  virtual void ClearValues() = 0;
  virtual void Clear() = 0;
};

class TZVariablesList : public TInterfacedObject, public virtual IZVariablesList {
public:
  int GetCount() const override { return static_cast<int>(Variables.size()); }
  AnsiString GetName(int index) const override;
  TZVariant GetValue(int index) const override;
  void SetValue(int index, const TZVariant& value) override;
  TZVariant GetValueByName(const AnsiString& name) const override;
  void SetValueByName(const AnsiString& name, const TZVariant& value) override;
  void Add(const AnsiString& name, const TZVariant& value) override;
  void Remove(const AnsiString& name) override;
  int FindByName(const AnsiString& name) const override;
  void ClearValues() override;
  void Clear() override { Variables.clear(); }

private:
  std::size_t CheckedIndex(int index) const;

  std::vector<TZVariable> Variables;
};
