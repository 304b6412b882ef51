// The field classes per field type. Each knows its native buffer (see
// field_buffers.h) and converts between it and the typed ValueAs... values,
// raising the framework's range and conversion errors.
#pragma once

#include "platform/db/field.h"

class TStringField : public TField {
public:
  explicit TStringField(TComponent* owner);
  int DataSize() const override { return Size() + 1; }
  AnsiString ValueAsString() const override;
  void SetValueAsString(const AnsiString& value) override;
  int32_t ValueAsInteger() const override;
  void SetValueAsInteger(int32_t value) override;
  int64_t ValueAsLargeInt() const override;
  void SetValueAsLargeInt(int64_t value) override;
  double ValueAsFloat() const override;
  void SetValueAsFloat(double value) override;
  bool ValueAsBoolean() const override;
  void SetValueAsBoolean(bool value) override;
};

// Wide text; its native buffer is a WideString object. The narrow forms are
// the text converted to and from Windows-1250.
class TWideStringField : public TStringField {
public:
  explicit TWideStringField(TComponent* owner);
  int DataSize() const override { return sizeof(WideString); }
  WideString ValueAsWideString() const;
  void SetValueAsWideString(const WideString& value);
  AnsiString ValueAsString() const override;
  void SetValueAsString(const AnsiString& value) override;
  Variant ValueAsVariant() const override;
  void SetValueAsVariant(const Variant& value) override;
};

class TNumericField : public TField {
public:
  using TField::TField;
  double ValueAsDateTime() const override { AccessError("DateTime"); }
  void SetValueAsDateTime(double) override { AccessError("DateTime"); }
};

// 32-bit integer field, and the 16-bit and word fields that share its code
// with a narrower buffer and range.
class TIntegerField : public TNumericField {
public:
  explicit TIntegerField(TComponent* owner);
  int DataSize() const override { return byteSize_; }
  int64_t MinRange() const { return min_; }
  int64_t MaxRange() const { return max_; }
  AnsiString ValueAsString() const override;
  void SetValueAsString(const AnsiString& value) override;
  int32_t ValueAsInteger() const override;
  void SetValueAsInteger(int32_t value) override;
  int64_t ValueAsLargeInt() const override { return ValueAsInteger(); }
  void SetValueAsLargeInt(int64_t value) override;
  double ValueAsFloat() const override { return ValueAsInteger(); }
  void SetValueAsFloat(double value) override;
  bool ValueAsBoolean() const override { return ValueAsInteger() != 0; }

protected:
  void SetRange(TFieldType type, int byteSize, int64_t min, int64_t max);

private:
  void StoreChecked(int64_t value);
  int byteSize_ = 4;
  int64_t min_;
  int64_t max_;
};

class TSmallintField : public TIntegerField {
public:
  explicit TSmallintField(TComponent* owner);
};

class TWordField : public TIntegerField {
public:
  explicit TWordField(TComponent* owner);
};

class TAutoIncField : public TIntegerField {
public:
  explicit TAutoIncField(TComponent* owner);
};

class TLargeintField : public TNumericField {
public:
  explicit TLargeintField(TComponent* owner);
  int DataSize() const override { return 8; }
  AnsiString ValueAsString() const override;
  void SetValueAsString(const AnsiString& value) override;
  int32_t ValueAsInteger() const override;
  void SetValueAsInteger(int32_t value) override { SetValueAsLargeInt(value); }
  int64_t ValueAsLargeInt() const override;
  void SetValueAsLargeInt(int64_t value) override;
  double ValueAsFloat() const override { return static_cast<double>(ValueAsLargeInt()); }
  void SetValueAsFloat(double value) override;
};

class TFloatField : public TNumericField {
public:
  explicit TFloatField(TComponent* owner);
  int DataSize() const override { return 8; }
  AnsiString ValueAsString() const override;
  void SetValueAsString(const AnsiString& value) override;
  int32_t ValueAsInteger() const override;
  void SetValueAsInteger(int32_t value) override { SetValueAsFloat(value); }
  int64_t ValueAsLargeInt() const override;
  void SetValueAsLargeInt(int64_t value) override { SetValueAsFloat(static_cast<double>(value)); }
  double ValueAsFloat() const override;
  void SetValueAsFloat(double value) override;

protected:
  virtual double ReadValue(bool& isNull) const;
  virtual void WriteValue(double value);
};

// Money values; the buffer holds the SQL layer's 10-byte extended float.
class TCurrencyField : public TFloatField {
public:
  explicit TCurrencyField(TComponent* owner);
  int DataSize() const override { return kCurrencySize; }

protected:
  double ReadValue(bool& isNull) const override;
  void WriteValue(double value) override;

private:
  static constexpr int kCurrencySize = 10;
};

class TBooleanField : public TField {
public:
  explicit TBooleanField(TComponent* owner);
  int DataSize() const override { return 2; }
  AnsiString ValueAsString() const override;
  void SetValueAsString(const AnsiString& value) override;
  bool ValueAsBoolean() const override;
  void SetValueAsBoolean(bool value) override;
  int32_t ValueAsInteger() const override { return ValueAsBoolean() ? 1 : 0; }
  void SetValueAsInteger(int32_t value) override { SetValueAsBoolean(value != 0); }
};

// Date-time values in the three buffer forms of field_buffers.h.
class TDateTimeField : public TField {
public:
  explicit TDateTimeField(TComponent* owner);
  int DataSize() const override { return DataType() == ftDateTime ? 8 : 4; }
  AnsiString ValueAsString() const override;
  void SetValueAsString(const AnsiString& value) override;
  double ValueAsDateTime() const override;
  void SetValueAsDateTime(double value) override;
  double ValueAsFloat() const override { return ValueAsDateTime(); }
  void SetValueAsFloat(double value) override { SetValueAsDateTime(value); }

protected:
  TDateTimeField(TComponent* owner, TFieldType type);
};

class TDateField : public TDateTimeField {
public:
  explicit TDateField(TComponent* owner);
};

class TTimeField : public TDateTimeField {
public:
  explicit TTimeField(TComponent* owner);
};

// Fixed-size bytes (ftBytes: Size bytes) or counted bytes (ftVarBytes:
// 16-bit count, then up to Size bytes). The string forms carry the raw bytes.
class TBytesField : public TField {
public:
  explicit TBytesField(TComponent* owner);
  int DataSize() const override { return DataType() == ftVarBytes ? Size() + 2 : Size(); }
  AnsiString ValueAsString() const override;
  void SetValueAsString(const AnsiString& value) override;

protected:
  TBytesField(TComponent* owner, TFieldType type);
};

class TVarBytesField : public TBytesField {
public:
  explicit TVarBytesField(TComponent* owner);
};

// Blob values are read and written through the dataset's blob streams.
class TBlobField : public TField {
public:
  explicit TBlobField(TComponent* owner);
  AnsiString ValueAsString() const override;
  void SetValueAsString(const AnsiString& value) override;
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;

protected:
  TBlobField(TComponent* owner, TFieldType type);
};

class TMemoField : public TBlobField {
public:
  explicit TMemoField(TComponent* owner);
};

class TGraphicField : public TBlobField {
public:
  explicit TGraphicField(TComponent* owner);
};

// Creates the field class that serves `type`; none for types without one.
TField* CreateFieldOfType(TFieldType type, TComponent* owner);
