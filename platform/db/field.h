// TField, the base of the dataset's field objects, and TFields, the dataset's
// ordered list of them. A field keeps no value of its own: it reads and writes
// its native buffer (field_buffers.h) through its dataset's FetchFieldData and
// StoreFieldData, which decide which record the current state refers to.
#pragma once

#include <functional>
#include <vector>

#include "platform/db/db_types.h"
#include "platform/rtl/components.h"
#include "platform/rtl/variant.h"

class TDataSet;
class TStream;

class TField : public TComponent {
public:
  using TFieldNotifyEvent = std::function<void(TField* sender)>;

  explicit TField(TComponent* owner);
  ~TField() override;

  // Attaches the field to a dataset (or detaches it with none); the dataset
  // must be closed.
  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);

  const AnsiString& FieldName() const { return fieldName_; }
  void SetFieldName(const AnsiString& name) { fieldName_ = name; }
  const AnsiString& DisplayLabel() const { return displayLabel_; }
  void SetDisplayLabel(const AnsiString& label) { displayLabel_ = label; }
  // The label when one is set, else the field name; error messages use it.
  const AnsiString& DisplayName() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }

  TFieldType DataType() const { return dataType_; }
  TFieldKind FieldKind() const { return fieldKind_; }
  void SetFieldKind(TFieldKind kind) { fieldKind_ = kind; }
  // Data fields read stored columns; the others are computed by the dataset.
  bool IsDataField() const { return fieldKind_ == fkData || fieldKind_ == fkInternalCalc; }
  bool IsCalculated() const { return fieldKind_ == fkCalculated || fieldKind_ == fkLookup; }
  int FieldNo() const { return fieldNo_; }
  void SetFieldNo(int fieldNo) { fieldNo_ = fieldNo; }
  int Size() const { return size_; }
  void SetSize(int size);
  bool Required() const { return required_; }
  void SetRequired(bool value) { required_ = value; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { visible_ = value; }
  int Index() const;

  // Bytes of the field's native buffer; 0 for blobs and wide strings.
  virtual int DataSize() const { return 0; }
  bool IsBlob() const;

  // Raw access to the native buffer of the current record. GetData with no
  // buffer only answers whether the value is not null.
  bool GetData(void* buffer, bool nativeFormat = true) const;
  void SetData(const void* buffer, bool nativeFormat = true);

  bool IsNull() const;
  void Clear() { SetData(nullptr); }
  // Runs OnValidate with `buffer` as the value being stored (none = null), in
  // the form SetData got it; the dataset calls it before it writes a value in
  // the edit and insert states.
  void Validate(const void* buffer, bool nativeFormat = true);
  // The value being validated, seen by ValueAs... while OnValidate runs.
  bool Validating() const { return validating_; }

  virtual AnsiString ValueAsString() const;
  virtual void SetValueAsString(const AnsiString& value);
  virtual int32_t ValueAsInteger() const;
  virtual void SetValueAsInteger(int32_t value);
  virtual int64_t ValueAsLargeInt() const;
  virtual void SetValueAsLargeInt(int64_t value);
  virtual double ValueAsFloat() const;
  virtual void SetValueAsFloat(double value);
  virtual double ValueAsCurrency() const { return ValueAsFloat(); }
  virtual void SetValueAsCurrency(double value) { SetValueAsFloat(value); }
  virtual bool ValueAsBoolean() const;
  virtual void SetValueAsBoolean(bool value);
  virtual double ValueAsDateTime() const;
  virtual void SetValueAsDateTime(double value);
  // The value as a variant of the field's kind (Null when null); setting
  // Null or Unassigned clears the field.
  virtual Variant ValueAsVariant() const;
  virtual void SetValueAsVariant(const Variant& value);

  // The value the record had before editing (old-value state) and the value
  // being written (new-value state); read through the dataset's temporary states.
  Variant PriorValue() const;
  Variant PendingValue() const;
  void SetPendingValue(const Variant& value);

  // Fired after a value was stored (OnChange) and before it is (OnValidate).
  TFieldNotifyEvent OnChange;
  TFieldNotifyEvent OnValidate;
  // The dataset tells the field that its value changed.
  void Change();

  // Names of the type in error messages ("Integer", "String" ...).
  virtual const char* TypeName() const { return FieldTypeName(dataType_); }

protected:
  void SetDataType(TFieldType type) { dataType_ = type; }
  // Reads the value into `buffer` in the form asked for (see GetData); false
  // when the value is null.
  bool ReadValue(void* buffer, bool nativeFormat) const;
  bool ReadNative(void* buffer) const { return ReadValue(buffer, true); }
  const void* ValidatedBuffer() const { return validateBuffer_; }
  [[noreturn]] void AccessError(const char* typeName) const;
  [[noreturn]] void RangeError(const AnsiString& value, const AnsiString& low,
                               const AnsiString& high) const;

private:
  friend class TDataSet;

  TDataSet* dataSet_ = nullptr;
  AnsiString fieldName_;
  AnsiString displayLabel_;
  TFieldType dataType_ = ftUnknown;
  TFieldKind fieldKind_ = fkData;
  int fieldNo_ = 0;
  int size_ = 0;
  bool required_ = false;
  bool readOnly_ = false;
  bool visible_ = true;
  bool validating_ = false;
  const void* validateBuffer_ = nullptr;
  bool validateNative_ = true;
};

// The dataset's fields in order; it does not own them (their owner does).
class TFields {
public:
  int Count() const { return static_cast<int>(list_.size()); }
  TField* operator[](int index) const { return list_.at(index); }
  TField* Fields(int index) const { return list_.at(index); }
  int IndexOf(const TField* field) const;
  // Case-insensitive lookup by name; none when absent.
  TField* FindField(const AnsiString& name) const;
  void Add(TField* field);
  void Remove(TField* field);
  void Clear() { list_.clear(); }
  auto begin() const { return list_.begin(); }
  auto end() const { return list_.end(); }

private:
  std::vector<TField*> list_;
};
