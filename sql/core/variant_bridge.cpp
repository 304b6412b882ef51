// Conversions between TZVariant and the platform's variant. Integers outside
// the 32-bit range the receiving side handles travel as decimal text; pointers
// travel as 64-bit integers because addresses are 64 bits wide here.
#include "sql/core/variant_bridge.h"

#include <cstring>

#include "platform/rtl/numbers.h"
#include "sql/core/messages.h"

namespace {

constexpr std::int64_t kMaxEncodedInteger = 2147483646;

}  // namespace

Variant EncodeVariant(const TZVariant& value) {
  switch (value.VType) {
    case vtBoolean: return Variant(value.VBoolean);
    case vtInteger:
      if (value.VInteger < -kMaxEncodedInteger || value.VInteger > kMaxEncodedInteger)
        return Variant(IntToStr(value.VInteger));
      return Variant(static_cast<int>(value.VInteger));
    case vtFloat: return Variant(static_cast<double>(value.VFloat));
    case vtString: return Variant(value.VString);
    case vtUnicodeString: return Variant(value.VUnicodeString);
    case vtDateTime: return Variant::OfFloat(varDate, value.VDateTime);
    case vtPointer:
      return Variant(static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(value.VPointer)));
    case vtInterface: return Variant(value.VInterface);
    case vtNull: break;
  }
  return Null();
}

Variant EncodeVariantArray(const TZVariantDynArray& values) {
  const int count = static_cast<int>(values.size());
  Variant array = VarArrayCreate(0, count - 1, varVariant);
  for (int i = 0; i < count; ++i) VarArrayPut(array, EncodeVariant(values[i]), i);
  return array;
}

TZVariant DecodeVariant(const Variant& value) {
  const IZVariantManager& m = *DefaultVarManager();
  TZVariant result;
  switch (VarType(value)) {
    case varSmallint:
    case varInteger:
    case varByte:
    case varShortInt:
    case varWord:
    case varLongWord:
    case varInt64: m.SetAsInteger(result, value.AsInteger()); break;
    case varSingle:
    case varDouble:
    case varCurrency: m.SetAsFloat(result, value.AsFloat()); break;
    case varDate: m.SetAsDateTime(result, value.AsDateTime()); break;
    case varOleStr: m.SetAsUnicodeString(result, value.AsWideString()); break;
    case varBoolean: m.SetAsBoolean(result, value.AsBoolean()); break;
    case varUnknown: m.SetAsInterface(result, value.AsInterface()); break;
    case varString: m.SetAsString(result, value.AsString()); break;
    default: m.SetNull(result); break;
  }
  return result;
}

TZVariantDynArray DecodeVariantArray(const Variant& value) {
  if (!VarIsArray(value)) return {DecodeVariant(value)};
  TZVariantDynArray result;
  const int low = VarArrayLowBound(value, 1);
  const int high = VarArrayHighBound(value, 1);
  for (int i = low; i <= high; ++i) result.push_back(DecodeVariant(VarArrayGet(value, i)));
  return result;
}

Variant BytesToVar(const TByteDynArray& value) {
  Variant array = VarArrayCreate(0, static_cast<int>(value.size()) - 1, varByte);
  if (!value.empty()) {
    std::memcpy(VarArrayLock(array), value.data(), value.size());
    VarArrayUnlock(array);
  }
  return array;
}

TByteDynArray VarToBytes(const Variant& value) {
  if (VarType(value) != (varArray | varByte) || VarArrayDimCount(value) != 1)
    throw Exception(SZInvalidVarByteArray);
  const int high = VarArrayHighBound(value, 1);
  if (high < 0) return {};
  // Elements 0 .. high; an array that does not start at 0 fails at the platform's bound check.
  TByteDynArray result(static_cast<size_t>(high) + 1);
  if (VarArrayLowBound(value, 1) == 0) {
    Variant array = value;  // locking needs a variant of our own
    std::memcpy(result.data(), VarArrayLock(array), result.size());
    VarArrayUnlock(array);
    return result;
  }
  for (int i = 0; i <= high; ++i) result[i] = static_cast<std::uint8_t>(VarArrayGet(value, i).AsInteger());
  return result;
}
