// TField's plumbing: attaching to a dataset, raw data access through the
// dataset, validation and change events, and the base conversions that raise
// "Cannot access field" for types a field class does not serve.
#include "platform/db/field.h"

#include <algorithm>

#include "platform/db/dataset.h"
#include "platform/db/field_buffers.h"
#include "platform/db/variant_values.h"
#include "platform/db/db_consts.h"
#include "platform/rtl/text.h"

TField::TField(TComponent* owner) : TComponent(owner) {}

TField::~TField() {
  if (dataSet_) dataSet_->Fields().Remove(this);
}

void TField::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_) dataSet_->RequireInactiveState();
  if (dataSet) {
    dataSet->RequireInactiveState();
    if (dataSet->Fields().FindField(fieldName_))
      DatabaseErrorFmt(SDuplicateFieldName, {fieldName_});
  }
  if (dataSet_) dataSet_->Fields().Remove(this);
  dataSet_ = dataSet;
  if (dataSet_) dataSet_->Fields().Add(this);
}

void TField::SetSize(int size) { size_ = size; }

int TField::Index() const { return dataSet_ ? dataSet_->Fields().IndexOf(this) : -1; }

bool TField::IsBlob() const {
  switch (dataType_) {
    case ftBlob: case ftMemo: case ftGraphic: case ftFmtMemo: case ftParadoxOle:
    case ftDBaseOle: case ftTypedBinary: case ftOraBlob: case ftOraClob:
      return true;
    default:
      return false;
  }
}

bool TField::GetData(void* buffer, bool nativeFormat) const {
  if (!dataSet_) DatabaseErrorFmt(SFieldNoDataSet, {DisplayName()});
  return dataSet_->FetchFieldData(const_cast<TField*>(this), buffer, nativeFormat);
}

void TField::SetData(const void* buffer, bool nativeFormat) {
  if (!dataSet_) DatabaseErrorFmt(SFieldNoDataSet, {DisplayName()});
  dataSet_->StoreFieldData(this, buffer, nativeFormat);
}

bool TField::ReadValue(void* buffer, bool nativeFormat) const {
  if (!validating_) return GetData(buffer, nativeFormat);
  if (!validateBuffer_) return false;
  if (nativeFormat != validateNative_) {
    // Only dates and times have two forms.
    ConvertDateTimeForm(dataType_, validateBuffer_, buffer, nativeFormat);
    return true;
  }
  int size = nativeFormat ? DataSize() : static_cast<int>(sizeof(double));
  std::copy_n(static_cast<const char*>(validateBuffer_), size, static_cast<char*>(buffer));
  return true;
}

bool TField::IsNull() const {
  if (validating_) return validateBuffer_ == nullptr;
  return !GetData(nullptr);
}

void TField::Validate(const void* buffer, bool nativeFormat) {
  if (!OnValidate) return;
  validating_ = true;
  validateBuffer_ = buffer;
  validateNative_ = nativeFormat;
  try {
    OnValidate(this);
  } catch (...) {
    validating_ = false;
    throw;
  }
  validating_ = false;
}

void TField::Change() {
  if (OnChange) OnChange(this);
}

void TField::AccessError(const char* typeName) const {
  DatabaseErrorFmt(SFieldAccessError, {DisplayName(), typeName});
}

void TField::RangeError(const AnsiString& value, const AnsiString& low,
                        const AnsiString& high) const {
  DatabaseErrorFmt(SFieldRangeError, {value, DisplayName(), low, high});
}

AnsiString TField::ValueAsString() const { AccessError("String"); }
void TField::SetValueAsString(const AnsiString&) { AccessError("String"); }
int32_t TField::ValueAsInteger() const { AccessError("Integer"); }
void TField::SetValueAsInteger(int32_t) { AccessError("Integer"); }
int64_t TField::ValueAsLargeInt() const { AccessError("Largeint"); }
void TField::SetValueAsLargeInt(int64_t) { AccessError("Largeint"); }
double TField::ValueAsFloat() const { AccessError("Float"); }
void TField::SetValueAsFloat(double) { AccessError("Float"); }
bool TField::ValueAsBoolean() const { AccessError("Boolean"); }
void TField::SetValueAsBoolean(bool) { AccessError("Boolean"); }
double TField::ValueAsDateTime() const { AccessError("DateTime"); }
void TField::SetValueAsDateTime(double) { AccessError("DateTime"); }

// ---- TFields ----

int TFields::IndexOf(const TField* field) const {
  auto it = std::find(list_.begin(), list_.end(), field);
  return it == list_.end() ? -1 : static_cast<int>(it - list_.begin());
}

TField* TFields::FindField(const AnsiString& name) const {
  for (TField* field : list_)
    if (AnsiSameText(field->FieldName(), name)) return field;
  return nullptr;
}

void TFields::Add(TField* field) { list_.push_back(field); }

void TFields::Remove(TField* field) {
  list_.erase(std::remove(list_.begin(), list_.end(), field), list_.end());
}

// ---- variants ----

Variant TField::ValueAsVariant() const {
  if (IsNull()) return Null();
  switch (dataType_) {
    case ftSmallint: return Variant::OfInteger(varSmallint, ValueAsInteger());
    case ftWord: return Variant::OfInteger(varWord, ValueAsInteger());
    case ftInteger: case ftAutoInc: return Variant(ValueAsInteger());
    case ftLargeint: return Variant(ValueAsLargeInt());
    case ftBoolean: return Variant(ValueAsBoolean());
    case ftFloat: return Variant(ValueAsFloat());
    case ftCurrency: return Variant::OfFloat(varCurrency, ValueAsCurrency());
    case ftDate: case ftTime: case ftDateTime:
      return Variant::OfFloat(varDate, ValueAsDateTime());
    case ftBytes: case ftVarBytes: {
      AnsiString bytes = ValueAsString();
      Variant array = VarArrayCreate(0, static_cast<int>(bytes.size()) - 1, varByte);
      std::copy(bytes.begin(), bytes.end(), static_cast<char*>(VarArrayLock(array)));
      VarArrayUnlock(array);
      return array;
    }
    default:
      return Variant(ValueAsString());
  }
}

namespace {

AnsiString BytesOf(const Variant& value) {
  if (!VarIsArray(value)) return VariantText(value);
  AnsiString bytes;
  for (int i = VarArrayLowBound(value, 1); i <= VarArrayHighBound(value, 1); ++i)
    bytes += static_cast<char>(VarArrayGet(value, i).AsInteger());
  return bytes;
}

}  // namespace

void TField::SetValueAsVariant(const Variant& value) {
  if (VarIsNull(value) || VarIsEmpty(value)) {
    Clear();
    return;
  }
  switch (dataType_) {
    case ftSmallint: case ftWord: case ftInteger: case ftAutoInc: case ftLargeint:
      SetValueAsLargeInt(value.AsInteger());
      break;
    case ftBoolean: SetValueAsBoolean(value.AsBoolean()); break;
    case ftFloat: case ftCurrency: SetValueAsFloat(value.AsFloat()); break;
    case ftDate: case ftTime: case ftDateTime: SetValueAsDateTime(value.AsDateTime()); break;
    case ftBytes: case ftVarBytes: SetValueAsString(BytesOf(value)); break;
    default: SetValueAsString(VariantText(value)); break;
  }
}

Variant TField::PriorValue() const {
  Variant value;
  dataSet_->WithTempState(dsOldValue, nullptr, [&] { value = ValueAsVariant(); });
  return value;
}

Variant TField::PendingValue() const {
  Variant value;
  dataSet_->WithTempState(dsNewValue, nullptr, [&] { value = ValueAsVariant(); });
  return value;
}

void TField::SetPendingValue(const Variant& value) {
  dataSet_->WithTempState(dsNewValue, nullptr, [&] { SetValueAsVariant(value); });
}
