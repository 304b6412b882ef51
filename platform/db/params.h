// Parameters: TParam (a named, typed value with its direction) and TParams,
// the ordered collection that datasets, update objects and script processors
// bind to statements by name.
#pragma once

#include <memory>
#include <vector>

#include "platform/db/db_types.h"
#include "platform/rtl/variant.h"

class TField;

class TParam {
public:
  TParam(const AnsiString& name, TFieldType dataType, TParamType paramType)
      : name_(name), dataType_(dataType), paramType_(paramType) {}

  const AnsiString& Name() const { return name_; }
  void SetName(const AnsiString& name) { name_ = name; }
  TFieldType DataType() const { return dataType_; }
  void SetDataType(TFieldType type) { dataType_ = type; }
  TParamType ParamType() const { return paramType_; }
  void SetParamType(TParamType type) { paramType_ = type; }
  // Set once a value was given (also a null one through Clear).
  bool Bound() const { return bound_; }
  void SetBound(bool value) { bound_ = value; }

  bool IsNull() const { return VarIsNull(value_) || VarIsEmpty(value_); }
  void Clear();

  // The readers convert the stored value; a null value reads as 0, "" or False.
  AnsiString ValueAsString() const;
  AnsiString ValueAsMemo() const { return ValueAsString(); }
  int32_t ValueAsInteger() const;
  int64_t ValueAsLargeInt() const;
  double ValueAsFloat() const;
  double ValueAsCurrency() const { return ValueAsFloat(); }
  bool ValueAsBoolean() const;
  double ValueAsDateTime() const;
  const Variant& ValueAsVariant() const { return value_; }

  // The typed setters also set the data type (ftString, ftInteger ...).
  void SetValueAsString(const AnsiString& value) { Store(ftString, Variant(value)); }
  void SetValueAsMemo(const AnsiString& value) { Store(ftMemo, Variant(value)); }
  void SetValueAsInteger(int32_t value) { Store(ftInteger, Variant(value)); }
  void SetValueAsSmallInt(int32_t value) { Store(ftSmallint, Variant(value)); }
  void SetValueAsLargeInt(int64_t value) { Store(ftLargeint, Variant(value)); }
  void SetValueAsFloat(double value) { Store(ftFloat, Variant(value)); }
  void SetValueAsCurrency(double value) { Store(ftCurrency, Variant::OfFloat(varCurrency, value)); }
  void SetValueAsBoolean(bool value) { Store(ftBoolean, Variant(value)); }
  void SetValueAsDate(double value) { Store(ftDate, Variant::OfFloat(varDate, value)); }
  void SetValueAsTime(double value) { Store(ftTime, Variant::OfFloat(varDate, value)); }
  void SetValueAsDateTime(double value) { Store(ftDateTime, Variant::OfFloat(varDate, value)); }
  // Keeps the data type, or derives it from the variant when it is unknown.
  void SetValueAsVariant(const Variant& value);

  // Takes a field's data type and value; the name and direction stay.
  void AssignFieldValue(const TField* field);
  // Copies name, data type, parameter type and value.
  void Assign(const TParam& source);
  // Copies the data type and value (the name and direction stay).
  void AssignValue(const TParam& source);
  bool IsEqual(const TParam& other) const;

private:
  void Store(TFieldType type, Variant value);

  AnsiString name_;
  TFieldType dataType_;
  TParamType paramType_;
  Variant value_ = Null();
  bool bound_ = false;
};

class TParams {
public:
  TParams() = default;
  TParams(const TParams& other) { Assign(other); }
  TParams& operator=(const TParams& other) {
    if (this != &other) Assign(other);
    return *this;
  }

  int Count() const { return static_cast<int>(items_.size()); }
  TParam* Items(int index) const { return items_.at(index).get(); }
  TParam* operator[](int index) const { return Items(index); }
  TParam* AddParam(TFieldType dataType, const AnsiString& name, TParamType paramType);
  // Case-insensitive lookup: none when absent, or "Parameter '%s' not found".
  TParam* ParamNamed(const AnsiString& name) const;
  TParam* RequireParam(const AnsiString& name) const;
  void Remove(TParam* param);
  void Clear() { items_.clear(); }

  // Replaces the whole list by a copy of `source`.
  void Assign(const TParams& source);
  // For each parameter of `source`, the same-named one here takes its data
  // type and value; none is added or removed.
  void CopyParamValues(const TParams& source);
  // Same names, types and values in the same order.
  bool IsEqual(const TParams& other) const;

private:
  std::vector<std::unique_ptr<TParam>> items_;
};
