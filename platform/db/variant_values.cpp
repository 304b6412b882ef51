// Text forms and equality of platform variants for fields and parameters.
#include "platform/db/variant_values.h"

#include "platform/rtl/format_settings.h"
#include "platform/rtl/numbers.h"

AnsiString VariantText(const Variant& value) {
  switch (VarType(value) & varTypeMask) {
    case varEmpty: case varNull:
      return AnsiString();
    case varString: case varOleStr:
      return value.AsString();
    case varBoolean:
      return value.AsBoolean() ? "True" : "False";
    case varSingle: case varDouble: case varCurrency:
      return FloatToStrGeneral(value.AsFloat(), 15, FormatSettings().DecimalSeparator);
    case varDate:
      return DateTimeToStr(value.AsDateTime());
    default:
      return IntToStr(value.AsInteger());
  }
}

bool SameVariant(const Variant& a, const Variant& b) {
  if (VarType(a) != VarType(b)) return false;
  if (VarIsArray(a)) {
    int low = VarArrayLowBound(a, 1), high = VarArrayHighBound(a, 1);
    if (low != VarArrayLowBound(b, 1) || high != VarArrayHighBound(b, 1)) return false;
    for (int i = low; i <= high; ++i)
      if (!SameVariant(VarArrayGet(a, i), VarArrayGet(b, i))) return false;
    return true;
  }
  switch (VarType(a)) {
    case varEmpty: case varNull:
      return true;
    case varString: case varOleStr:
      return a.AsWideString() == b.AsWideString();
    case varSingle: case varDouble: case varCurrency: case varDate:
      return a.AsFloat() == b.AsFloat();
    case varUnknown:
      return a.AsInterface() == b.AsInterface();
    case varBoolean:
      return a.AsBoolean() == b.AsBoolean();
    default:
      return a.AsInteger() == b.AsInteger();
  }
}
