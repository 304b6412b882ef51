// The field classes: native buffer reads and writes per type, text forms,
// range checks and the factory that picks a class for a field type.
#include "platform/db/typed_fields.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/db/dataset.h"
#include "platform/db/db_consts.h"
#include "platform/db/field_buffers.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"

namespace {

char DecimalSeparator() { return FormatSettings().DecimalSeparator; }

AnsiString FloatText(double value) { return FloatToStrGeneral(value, 15, DecimalSeparator()); }

// The integer a text of `field` holds; "'%s' is not a valid integer value ..." otherwise.
int64_t IntegerOf(const TField* field, const AnsiString& text, int64_t min = INT64_MIN,
                  int64_t max = INT64_MAX) {
  int64_t value;
  if (!TryStrToInt64(text, value) || value < min || value > max)
    DatabaseErrorFmt(SNotInteger, {text, field->DisplayName()});
  return value;
}

// A time of a day or more, or below zero, with all its hours: "-838:59:59".
AnsiString TimeSpanText(double value) {
  long long seconds = std::llround(std::fabs(value) * 86400);
  char separator = FormatSettings().TimeSeparator;
  char text[40];
  std::snprintf(text, sizeof text, "%s%lld%c%02lld%c%02lld", value < 0 ? "-" : "", seconds / 3600, separator,
                seconds / 60 % 60, separator, seconds % 60);
  return text;
}

// A string field's record bytes, zeroed: on the stack for the usual widths,
// as a value is read many times per row; wide fields take the heap.
class StringFieldBuffer {
public:
  explicit StringFieldBuffer(int size) {
    if (size > kOnStack) heap_.reset(new char[size]);
    data_ = heap_ ? heap_.get() : onStack_;
    std::memset(data_, 0, static_cast<std::size_t>(size));
  }
  char* get() { return data_; }

private:
  static constexpr int kOnStack = 256;
  char onStack_[kOnStack];
  std::unique_ptr<char[]> heap_;
  char* data_;
};

}  // namespace

// ---- strings ----

TStringField::TStringField(TComponent* owner) : TField(owner) {
  SetDataType(ftString);
  SetSize(20);
}

// The dataset decides whether its stored text is in the OEM code page; its
// TranslateOem converts on the way in and out (or only copies).
AnsiString TStringField::ValueAsString() const {
  StringFieldBuffer buffer(DataSize());
  if (!ReadNative(buffer.get())) return AnsiString();
  buffer.get()[Size()] = '\0';
  const int length = DataSet() ? DataSet()->TranslateOem(buffer.get(), buffer.get(), false)
                               : static_cast<int>(strnlen(buffer.get(), Size()));
  return AnsiString(buffer.get(), length);
}

void TStringField::SetValueAsString(const AnsiString& value) {
  // A value the field cannot hold is refused, never cut to its size.
  if (value.size() > static_cast<size_t>(Size()))
    DatabaseErrorFmt(SFieldValueTooLong, {static_cast<int>(value.size()), DisplayName(), Size()});
  // The record buffer keeps a zero-terminated text: a zero byte would cut it.
  if (value.find('\0') != AnsiString::npos) DatabaseErrorFmt(SFieldValueHoldsZero, {DisplayName()});
  StringFieldBuffer buffer(DataSize());
  value.copy(buffer.get(), value.size());
  if (DataSet()) DataSet()->TranslateOem(buffer.get(), buffer.get(), true);
  SetData(buffer.get());
}

int32_t TStringField::ValueAsInteger() const {
  return static_cast<int32_t>(IntegerOf(this, ValueAsString(), INT32_MIN, INT32_MAX));
}

void TStringField::SetValueAsInteger(int32_t value) { SetValueAsString(IntToStr(value)); }

int64_t TStringField::ValueAsLargeInt() const { return IntegerOf(this, ValueAsString()); }

void TStringField::SetValueAsLargeInt(int64_t value) { SetValueAsString(IntToStr(value)); }

double TStringField::ValueAsFloat() const {
  AnsiString text = ValueAsString();
  double value;
  if (!TryStrToFloat(text, value, DecimalSeparator()))
    DatabaseErrorFmt(SNotFloat, {text, DisplayName()});
  return value;
}

void TStringField::SetValueAsFloat(double value) { SetValueAsString(FloatText(value)); }

bool TStringField::ValueAsBoolean() const {
  AnsiString text = ValueAsString();
  char first = text.empty() ? '\0' : AnsiUpperChar(text[0]);
  return first == 'Y' || first == 'T';
}

void TStringField::SetValueAsBoolean(bool value) { SetValueAsString(value ? "T" : "F"); }

TWideStringField::TWideStringField(TComponent* owner) : TStringField(owner) {
  SetDataType(ftWideString);
}

WideString TWideStringField::ValueAsWideString() const {
  if (Validating()) return IsNull() ? WideString() : *static_cast<const WideString*>(ValidatedBuffer());
  WideString value;
  if (!GetData(&value)) return WideString();
  return value;
}

void TWideStringField::SetValueAsWideString(const WideString& value) { SetData(&value); }

AnsiString TWideStringField::ValueAsString() const { return WideToAnsi(ValueAsWideString()); }

void TWideStringField::SetValueAsString(const AnsiString& value) {
  SetValueAsWideString(AnsiToWide(value));
}

Variant TWideStringField::ValueAsVariant() const {
  return IsNull() ? Null() : Variant(ValueAsWideString());
}

void TWideStringField::SetValueAsVariant(const Variant& value) {
  if (VarIsNull(value) || VarIsEmpty(value)) Clear();
  else SetValueAsWideString(value.AsWideString());
}

// ---- integers ----

TIntegerField::TIntegerField(TComponent* owner) : TNumericField(owner) {
  SetRange(ftInteger, 4, INT32_MIN, INT32_MAX);
}

void TIntegerField::SetRange(TFieldType type, int byteSize, int64_t min, int64_t max) {
  SetDataType(type);
  byteSize_ = byteSize;
  min_ = min;
  max_ = max;
}

int32_t TIntegerField::ValueAsInteger() const {
  char buffer[4] = {};
  if (!ReadNative(buffer)) return 0;
  switch (byteSize_) {
    case 2:
      return min_ < 0 ? ReadUnaligned<int16_t>(buffer) : ReadUnaligned<uint16_t>(buffer);
    default:
      return ReadUnaligned<int32_t>(buffer);
  }
}

void TIntegerField::StoreChecked(int64_t value) {
  if (value < min_ || value > max_) RangeError(IntToStr(value), IntToStr(min_), IntToStr(max_));
  char buffer[4];
  if (byteSize_ == 2) WriteUnaligned<int16_t>(buffer, static_cast<int16_t>(value));
  else WriteUnaligned<int32_t>(buffer, static_cast<int32_t>(value));
  SetData(buffer);
}

void TIntegerField::SetValueAsInteger(int32_t value) { StoreChecked(value); }
void TIntegerField::SetValueAsLargeInt(int64_t value) { StoreChecked(value); }

void TIntegerField::SetValueAsFloat(double value) {
  double rounded = std::nearbyint(value);
  if (rounded < static_cast<double>(min_) || rounded > static_cast<double>(max_))
    RangeError(FloatText(value), IntToStr(min_), IntToStr(max_));
  StoreChecked(static_cast<int64_t>(rounded));
}

AnsiString TIntegerField::ValueAsString() const {
  return IsNull() ? AnsiString() : IntToStr(ValueAsInteger());
}

void TIntegerField::SetValueAsString(const AnsiString& value) {
  if (value.empty()) {
    Clear();
    return;
  }
  StoreChecked(IntegerOf(this, value));
}

TSmallintField::TSmallintField(TComponent* owner) : TIntegerField(owner) {
  SetRange(ftSmallint, 2, INT16_MIN, INT16_MAX);
}

TWordField::TWordField(TComponent* owner) : TIntegerField(owner) {
  SetRange(ftWord, 2, 0, UINT16_MAX);
}

TAutoIncField::TAutoIncField(TComponent* owner) : TIntegerField(owner) {
  SetRange(ftAutoInc, 4, INT32_MIN, INT32_MAX);
}

TLargeintField::TLargeintField(TComponent* owner) : TNumericField(owner) {
  SetDataType(ftLargeint);
}

int64_t TLargeintField::ValueAsLargeInt() const {
  char buffer[8];
  return ReadNative(buffer) ? ReadUnaligned<int64_t>(buffer) : 0;
}

void TLargeintField::SetValueAsLargeInt(int64_t value) {
  char buffer[8];
  WriteUnaligned<int64_t>(buffer, value);
  SetData(buffer);
}

int32_t TLargeintField::ValueAsInteger() const {
  int64_t value = ValueAsLargeInt();
  if (value < INT32_MIN || value > INT32_MAX)
    RangeError(IntToStr(value), IntToStr(INT32_MIN), IntToStr(INT32_MAX));
  return static_cast<int32_t>(value);
}

void TLargeintField::SetValueAsFloat(double value) {
  SetValueAsLargeInt(static_cast<int64_t>(std::nearbyint(value)));
}

AnsiString TLargeintField::ValueAsString() const {
  return IsNull() ? AnsiString() : IntToStr(ValueAsLargeInt());
}

void TLargeintField::SetValueAsString(const AnsiString& value) {
  if (value.empty()) {
    Clear();
    return;
  }
  SetValueAsLargeInt(IntegerOf(this, value));
}

// ---- floats ----

TFloatField::TFloatField(TComponent* owner) : TNumericField(owner) { SetDataType(ftFloat); }

double TFloatField::ReadValue(bool& isNull) const {
  char buffer[8];
  isNull = !ReadNative(buffer);
  return isNull ? 0.0 : ReadUnaligned<double>(buffer);
}

void TFloatField::WriteValue(double value) {
  char buffer[8];
  WriteUnaligned<double>(buffer, value);
  SetData(buffer);
}

double TFloatField::ValueAsFloat() const {
  bool isNull;
  return ReadValue(isNull);
}

void TFloatField::SetValueAsFloat(double value) { WriteValue(value); }

int32_t TFloatField::ValueAsInteger() const {
  double value = std::nearbyint(ValueAsFloat());
  if (value < INT32_MIN || value > INT32_MAX)
    RangeError(FloatText(value), IntToStr(INT32_MIN), IntToStr(INT32_MAX));
  return static_cast<int32_t>(value);
}

int64_t TFloatField::ValueAsLargeInt() const {
  return static_cast<int64_t>(std::nearbyint(ValueAsFloat()));
}

AnsiString TFloatField::ValueAsString() const {
  bool isNull;
  double value = ReadValue(isNull);
  return isNull ? AnsiString() : FloatText(value);
}

void TFloatField::SetValueAsString(const AnsiString& value) {
  if (value.empty()) {
    Clear();
    return;
  }
  double number;
  if (!TryStrToFloat(value, number, DecimalSeparator()))
    DatabaseErrorFmt(SNotFloat, {value, DisplayName()});
  WriteValue(number);
}

TCurrencyField::TCurrencyField(TComponent* owner) : TFloatField(owner) { SetDataType(ftCurrency); }

double TCurrencyField::ReadValue(bool& isNull) const {
  char buffer[kCurrencySize];
  isNull = !ReadNative(buffer);
  return isNull ? 0.0 : static_cast<double>(ExtendedToDouble(buffer));
}

void TCurrencyField::WriteValue(double value) {
  char buffer[kCurrencySize];
  DoubleToExtended(value, buffer);
  SetData(buffer);
}

// ---- booleans ----

TBooleanField::TBooleanField(TComponent* owner) : TField(owner) { SetDataType(ftBoolean); }

bool TBooleanField::ValueAsBoolean() const {
  char buffer[2];
  return ReadNative(buffer) && ReadUnaligned<int16_t>(buffer) != 0;
}

void TBooleanField::SetValueAsBoolean(bool value) {
  char buffer[2];
  WriteUnaligned<int16_t>(buffer, value ? -1 : 0);
  SetData(buffer);
}

AnsiString TBooleanField::ValueAsString() const {
  if (IsNull()) return AnsiString();
  return ValueAsBoolean() ? "True" : "False";
}

// A prefix of "True" or "False" in any letter case; empty text clears.
void TBooleanField::SetValueAsString(const AnsiString& value) {
  if (value.empty()) {
    Clear();
    return;
  }
  for (bool candidate : {false, true}) {
    AnsiString word = candidate ? "True" : "False";
    if (value.size() <= word.size() && AnsiSameText(value, word.substr(0, value.size()))) {
      SetValueAsBoolean(candidate);
      return;
    }
  }
  DatabaseErrorFmt(SNotBoolean, {value, DisplayName()});
}

// ---- dates and times ----

TDateTimeField::TDateTimeField(TComponent* owner) : TDateTimeField(owner, ftDateTime) {}

TDateTimeField::TDateTimeField(TComponent* owner, TFieldType type) : TField(owner) {
  SetDataType(type);
}

// Through the non-native form, so a span of more than a day, a negative time
// and microseconds reach the dataset as they are.
double TDateTimeField::ValueAsDateTime() const {
  double value = 0;
  return ReadValue(&value, false) ? value : 0.0;
}

void TDateTimeField::SetValueAsDateTime(double value) { SetData(&value, false); }

AnsiString TDateTimeField::ValueAsString() const {
  if (IsNull()) return AnsiString();
  double value = ValueAsDateTime();
  switch (DataType()) {
    case ftDate:
      return DateToStr(value);
    case ftTime:
      return value >= 0 && value < 1 ? TimeToStr(value) : TimeSpanText(value);
    default:
      return DateTimeToStr(value);
  }
}

void TDateTimeField::SetValueAsString(const AnsiString& value) {
  if (value.empty()) {
    Clear();
    return;
  }
  switch (DataType()) {
    case ftDate:
      SetValueAsDateTime(StrToDate(value));
      break;
    case ftTime:
      SetValueAsDateTime(StrToTime(value));
      break;
    default:
      SetValueAsDateTime(StrToDateTime(value));
      break;
  }
}

TDateField::TDateField(TComponent* owner) : TDateTimeField(owner, ftDate) {}
TTimeField::TTimeField(TComponent* owner) : TDateTimeField(owner, ftTime) {}

// ---- bytes ----

TBytesField::TBytesField(TComponent* owner) : TBytesField(owner, ftBytes) {}

TBytesField::TBytesField(TComponent* owner, TFieldType type) : TField(owner) {
  SetDataType(type);
  SetSize(16);
}

TVarBytesField::TVarBytesField(TComponent* owner) : TBytesField(owner, ftVarBytes) {}

AnsiString TBytesField::ValueAsString() const {
  AnsiString buffer(DataSize(), '\0');
  if (!ReadNative(buffer.data())) return AnsiString();
  if (DataType() != ftVarBytes) return buffer;
  int count = std::clamp<int>(ReadUnaligned<uint16_t>(buffer.data()), 0, Size());
  return buffer.substr(2, count);
}

void TBytesField::SetValueAsString(const AnsiString& value) {
  // Bytes the field cannot hold are refused, never cut to its size.
  if (value.size() > static_cast<size_t>(Size()))
    DatabaseErrorFmt(SFieldValueTooLong, {static_cast<int>(value.size()), DisplayName(), Size()});
  AnsiString buffer(DataSize(), '\0');
  size_t count = value.size();
  if (DataType() == ftVarBytes) {
    WriteUnaligned<uint16_t>(buffer.data(), static_cast<uint16_t>(count));
    value.copy(buffer.data() + 2, count);
  } else {
    value.copy(buffer.data(), count);
  }
  SetData(buffer.data());
}

// ---- blobs ----

TBlobField::TBlobField(TComponent* owner) : TBlobField(owner, ftBlob) {}
TBlobField::TBlobField(TComponent* owner, TFieldType type) : TField(owner) { SetDataType(type); }
TMemoField::TMemoField(TComponent* owner) : TBlobField(owner, ftMemo) {}
TGraphicField::TGraphicField(TComponent* owner) : TBlobField(owner, ftGraphic) {}

void TBlobField::SaveToStream(TStream& stream) const {
  std::unique_ptr<TStream> blob(DataSet()->MakeBlobStream(const_cast<TBlobField*>(this), bmRead));
  if (blob) stream.CopyFrom(blob.get(), 0);
}

void TBlobField::LoadFromStream(TStream& stream) {
  std::unique_ptr<TStream> blob(DataSet()->MakeBlobStream(this, bmWrite));
  // A dataset without blob streams cannot take the value; say so rather than drop it.
  if (!blob) AccessError(TypeName());
  blob->CopyFrom(&stream, 0);
}

AnsiString TBlobField::ValueAsString() const {
  TStringStream text;
  SaveToStream(text);
  return text.DataString();
}

void TBlobField::SetValueAsString(const AnsiString& value) {
  TStringStream text(value);
  LoadFromStream(text);
}

// ---- factory ----

TField* CreateFieldOfType(TFieldType type, TComponent* owner) {
  switch (type) {
    case ftString: case ftFixedChar: return new TStringField(owner);
    case ftWideString: return new TWideStringField(owner);
    case ftSmallint: return new TSmallintField(owner);
    case ftInteger: return new TIntegerField(owner);
    case ftWord: return new TWordField(owner);
    case ftAutoInc: return new TAutoIncField(owner);
    case ftLargeint: return new TLargeintField(owner);
    case ftFloat: return new TFloatField(owner);
    case ftCurrency: return new TCurrencyField(owner);
    case ftBoolean: return new TBooleanField(owner);
    case ftDate: return new TDateField(owner);
    case ftTime: return new TTimeField(owner);
    case ftDateTime: return new TDateTimeField(owner);
    case ftBytes: return new TBytesField(owner);
    case ftVarBytes: return new TVarBytesField(owner);
    case ftBlob: return new TBlobField(owner);
    case ftMemo: return new TMemoField(owner);
    case ftGraphic: return new TGraphicField(owner);
    default: return nullptr;
  }
}
