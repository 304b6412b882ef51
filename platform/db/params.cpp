// Parameter values and the parameter collection: typed reading of stored
// variants, copying between collections and comparison.
#include "platform/db/params.h"

#include <algorithm>

#include "platform/db/db_consts.h"
#include "platform/db/db_error.h"
#include "platform/db/field.h"
#include "platform/db/variant_values.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"

namespace {

bool IsText(const Variant& value) {
  TVarType type = VarType(value);
  return type == varString || type == varOleStr;
}

TFieldType FieldTypeOfVariant(const Variant& value) {
  if (VarIsArray(value)) return ftBytes;
  switch (VarType(value) & varTypeMask) {
    case varSmallint: return ftSmallint;
    case varShortInt: case varByte: case varInteger: return ftInteger;
    case varWord: return ftWord;
    case varLongWord: case varInt64: return ftLargeint;
    case varSingle: case varDouble: return ftFloat;
    case varCurrency: return ftCurrency;
    case varDate: return ftDateTime;
    case varBoolean: return ftBoolean;
    case varOleStr: return ftWideString;
    case varString: return ftString;
    default: return ftUnknown;
  }
}

}  // namespace

// ---- TParam ----

void TParam::Store(TFieldType type, Variant value) {
  dataType_ = type;
  value_ = std::move(value);
  bound_ = true;
}

void TParam::Clear() {
  value_ = Null();
  bound_ = true;
}

void TParam::SetValueAsVariant(const Variant& value) {
  if (dataType_ == ftUnknown) dataType_ = FieldTypeOfVariant(value);
  value_ = value;
  bound_ = true;
}

AnsiString TParam::ValueAsString() const { return VariantText(value_); }

int32_t TParam::ValueAsInteger() const {
  if (IsNull()) return 0;
  if (IsText(value_)) return StrToInt(value_.AsString());
  return static_cast<int32_t>(value_.AsInteger());
}

int64_t TParam::ValueAsLargeInt() const {
  if (IsNull()) return 0;
  if (IsText(value_)) return StrToInt64(value_.AsString());
  return value_.AsInteger();
}

double TParam::ValueAsFloat() const {
  if (IsNull()) return 0;
  if (IsText(value_)) return StrToFloat(value_.AsString(), FormatSettings().DecimalSeparator);
  return value_.AsFloat();
}

bool TParam::ValueAsBoolean() const { return !IsNull() && value_.AsBoolean(); }

double TParam::ValueAsDateTime() const {
  if (IsNull()) return 0;
  if (IsText(value_)) return StrToDateTime(value_.AsString());
  return value_.AsDateTime();
}

void TParam::AssignFieldValue(const TField* field) {
  dataType_ = field->DataType();
  value_ = field->ValueAsVariant();
  bound_ = true;
}

void TParam::Assign(const TParam& source) {
  name_ = source.name_;
  paramType_ = source.paramType_;
  AssignValue(source);
}

void TParam::AssignValue(const TParam& source) {
  dataType_ = source.dataType_;
  value_ = source.value_;
  bound_ = source.bound_;
}

bool TParam::IsEqual(const TParam& other) const {
  return name_ == other.name_ && dataType_ == other.dataType_ &&
         paramType_ == other.paramType_ && SameVariant(value_, other.value_);
}

// ---- TParams ----

TParam* TParams::AddParam(TFieldType dataType, const AnsiString& name, TParamType paramType) {
  items_.push_back(std::make_unique<TParam>(name, dataType, paramType));
  return items_.back().get();
}

TParam* TParams::ParamNamed(const AnsiString& name) const {
  for (const auto& param : items_)
    if (AnsiSameText(param->Name(), name)) return param.get();
  return nullptr;
}

TParam* TParams::RequireParam(const AnsiString& name) const {
  TParam* param = ParamNamed(name);
  if (!param) DatabaseErrorFmt(SParamNotFound, {name});
  return param;
}

void TParams::Remove(TParam* param) {
  items_.erase(std::remove_if(items_.begin(), items_.end(),
                              [param](const auto& item) { return item.get() == param; }),
               items_.end());
}

void TParams::Assign(const TParams& source) {
  if (&source == this) return;
  items_.clear();
  for (const auto& param : source.items_)
    AddParam(param->DataType(), param->Name(), param->ParamType())->AssignValue(*param);
}

void TParams::CopyParamValues(const TParams& source) {
  for (const auto& param : source.items_)
    if (TParam* target = ParamNamed(param->Name())) target->AssignValue(*param);
}

bool TParams::IsEqual(const TParams& other) const {
  if (Count() != other.Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (!items_[i]->IsEqual(*other.items_[i])) return false;
  return true;
}
