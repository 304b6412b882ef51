// Stored values: naming rules, the text each variant kind is stored as, and
// the round trip through the owning storage's current section.
#include "util/components/stored_values.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/format_settings.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/strings.h"
#include "platform/rtl/text.h"
#include "util/components/form_storage.h"
#include "util/routines/settings_strings.h"

namespace {
constexpr double kCurrencyScale = 10000.0;  // currency counts ten-thousandths

AnsiString FloatText(double value) { return FloatToStrGeneral(value, 15, FormatSettings().DecimalSeparator); }
}  // namespace

AnsiString StoredValueText(const Variant& value) {
  if (VarIsArray(value)) return "";
  switch (VarType(value)) {
    case varSmallint:
    case varInteger:
    case varByte:
      return IntToStr(value.AsInteger());
    case varSingle:
    case varDouble:
    case varCurrency:
      return FloatText(value.AsFloat());
    case varDate:
      return DateToStr(value.AsDateTime());
    case varBoolean:
      return value.AsBoolean() ? "True" : "False";
    case varString:
    case varOleStr:
      return value.AsString();
    default:
      return "";
  }
}

void TStoredValue::SetName(const AnsiString& value) {
  if (SameText(value, name_)) {
    name_ = value;
    return;
  }
  if (auto* values = dynamic_cast<TStoredValues*>(Collection()); values && values->IndexOfName(value) >= 0)
    throw EStringListError(SDuplicateString);
  name_ = value;
}

AnsiString TStoredValue::DisplayName() const { return name_.empty() ? TCollectionItem::DisplayName() : name_; }

void TStoredValue::Assign(const TPersistent* source) {
  auto* other = dynamic_cast<const TStoredValue*>(source);
  if (!other) return TCollectionItem::Assign(source);
  value_ = other->value_;
  SetName(other->name_);
  keyString_ = other->keyString_;
}

TFormPlacement* TStoredValue::Storage() const {
  return Collection() ? dynamic_cast<TFormPlacement*>(Collection()->Owner()) : nullptr;
}

void TStoredValue::WriteToStorage() {
  TFormPlacement* storage = Storage();
  if (!storage) return;
  Variant saved = value_;
  if (OnSave) OnSave(this, saved);
  AnsiString text = StoredValueText(saved);
  if (!keyString_.empty()) text = HexXorEncode(keyString_, text);
  storage->WriteString(name_, text);
}

void TStoredValue::ReadFromStorage() {
  TFormPlacement* storage = Storage();
  if (!storage) return;
  AnsiString text = StoredValueText(value_);
  if (!keyString_.empty()) text = HexXorEncode(keyString_, text);
  text = storage->ReadString(name_, text);
  if (!keyString_.empty()) text = HexXorDecode(keyString_, text);
  Variant restored = text;
  if (OnRestore) OnRestore(this, restored);
  value_ = restored;
}

int TStoredValues::IndexOfName(const AnsiString& name) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(Items(i)->Name(), name)) return i;
  return -1;
}

void TStoredValues::WriteAll() {
  for (int i = 0; i < Count(); ++i) Items(i)->WriteToStorage();
}

void TStoredValues::ReadAll() {
  for (int i = 0; i < Count(); ++i) Items(i)->ReadFromStorage();
}
