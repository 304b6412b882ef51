// Variant values and one-dimensional variant arrays. Byte arrays keep their
// elements as plain bytes, so a large binary value costs one byte per byte.
#include "platform/rtl/variant.h"

#include <cmath>
#include <vector>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/text.h"

namespace detail {

struct VarArrayData {
  int low = 0;
  TVarType element = varVariant;
  std::vector<Variant> items;         // varVariant elements
  std::vector<std::uint8_t> bytes;    // varByte elements

  int Count() const {
    return static_cast<int>(element == varByte ? bytes.size() : items.size());
  }
};

VarArrayBox::VarArrayBox(std::unique_ptr<VarArrayData> data) : data_(std::move(data)) {}
VarArrayBox::VarArrayBox(const VarArrayBox& other)
    : data_(std::make_unique<VarArrayData>(*other.data_)) {}
VarArrayBox::VarArrayBox(VarArrayBox&&) noexcept = default;
VarArrayBox& VarArrayBox::operator=(const VarArrayBox& other) {
  data_ = std::make_unique<VarArrayData>(*other.data_);
  return *this;
}
VarArrayBox& VarArrayBox::operator=(VarArrayBox&&) noexcept = default;
VarArrayBox::~VarArrayBox() = default;

}  // namespace detail

namespace {

constexpr char SInvalidVarCast[] = "Invalid variant type conversion";
constexpr char SVarArrayBounds[] = "Variant or safe array index out of bounds";
constexpr char SVarNotArray[] = "Variant is not an array";
constexpr char SVarBadType[] = "Invalid variant type";
constexpr char SVarOverflow[] = "Variant overflow";
// Currency values are whole ten-thousandths.
constexpr double kCurrencyScale = 10000;

[[noreturn]] void InvalidCast() { throw EVariantError(SInvalidVarCast); }
[[noreturn]] void BadIndex() { throw EVariantError(SVarArrayBounds); }

bool IsIntegerType(TVarType type) {
  switch (type) {
    case varSmallint: case varInteger: case varShortInt: case varByte:
    case varWord: case varLongWord: case varInt64:
      return true;
    default:
      return false;
  }
}

bool IsFloatType(TVarType type) {
  return type == varSingle || type == varDouble || type == varDate;
}

std::int64_t CutToWidth(TVarType type, std::int64_t value) {
  switch (type) {
    case varSmallint: return static_cast<std::int16_t>(value);
    case varInteger: return static_cast<std::int32_t>(value);
    case varShortInt: return static_cast<std::int8_t>(value);
    case varByte: return static_cast<std::uint8_t>(value);
    case varWord: return static_cast<std::uint16_t>(value);
    case varLongWord: return static_cast<std::uint32_t>(value);
    default: return value;
  }
}

}  // namespace

detail::VarArrayData& detail::ArrayOf(const Variant& value) {
  if (!VarIsArray(value)) throw EVariantError(SVarNotArray);
  return *std::get<detail::VarArrayBox>(value.value_);
}

Variant::Variant(bool value) : type_(varBoolean), value_(std::int64_t{value}) {}
Variant::Variant(int value) : type_(varInteger), value_(std::int64_t{value}) {}
Variant::Variant(std::int64_t value) : type_(varInt64), value_(value) {}
Variant::Variant(double value) : type_(varDouble), value_(value) {}
Variant::Variant(const char* value) : Variant(AnsiString(value)) {}
Variant::Variant(AnsiString value) : type_(varString), value_(std::move(value)) {}
Variant::Variant(WideString value) : type_(varOleStr), value_(std::move(value)) {}
Variant::Variant(Ref<IInterface> value) : type_(varUnknown), value_(std::move(value)) {}

Variant Variant::OfInteger(TVarType type, std::int64_t value) {
  if (!IsIntegerType(type)) InvalidCast();
  Variant result(CutToWidth(type, value));
  result.type_ = type;
  return result;
}

Variant Variant::OfFloat(TVarType type, double value) {
  Variant result;
  result.type_ = type;
  if (type == varCurrency) {
    result.value_ = static_cast<std::int64_t>(std::nearbyint(value * kCurrencyScale));
  } else if (IsFloatType(type)) {
    result.value_ = type == varSingle ? static_cast<double>(static_cast<float>(value)) : value;
  } else {
    InvalidCast();
  }
  return result;
}

bool Variant::AsBoolean() const {
  if (type_ == varEmpty) return false;
  if (type_ != varBoolean) InvalidCast();
  return std::get<std::int64_t>(value_) != 0;
}

std::int64_t Variant::AsInteger() const {
  if (type_ == varEmpty) return 0;
  if (IsIntegerType(type_)) return std::get<std::int64_t>(value_);
  if (type_ == varCurrency || IsFloatType(type_))
    return static_cast<std::int64_t>(std::nearbyint(AsFloat()));
  InvalidCast();
}

double Variant::AsFloat() const {
  if (type_ == varEmpty) return 0;
  if (IsFloatType(type_)) return std::get<double>(value_);
  if (type_ == varCurrency) return static_cast<double>(std::get<std::int64_t>(value_)) / kCurrencyScale;
  if (IsIntegerType(type_)) return static_cast<double>(std::get<std::int64_t>(value_));
  InvalidCast();
}

TDateTime Variant::AsDateTime() const { return AsFloat(); }

AnsiString Variant::AsString() const {
  if (type_ == varEmpty) return {};
  if (type_ == varString) return std::get<AnsiString>(value_);
  if (type_ == varOleStr) return WideToAnsi(std::get<WideString>(value_));
  InvalidCast();
}

WideString Variant::AsWideString() const {
  if (type_ == varEmpty) return {};
  if (type_ == varOleStr) return std::get<WideString>(value_);
  if (type_ == varString) return AnsiToWide(std::get<AnsiString>(value_));
  InvalidCast();
}

Ref<IInterface> Variant::AsInterface() const {
  if (type_ == varEmpty) return nullptr;
  if (type_ != varUnknown) InvalidCast();
  return std::get<Ref<IInterface>>(value_);
}

Variant Null() {
  Variant result;
  result.type_ = varNull;
  return result;
}

Variant Unassigned() { return Variant(); }

TVarType VarType(const Variant& value) { return value.Type(); }
bool VarIsNull(const Variant& value) { return value.Type() == varNull; }
bool VarIsEmpty(const Variant& value) { return value.Type() == varEmpty; }
bool VarIsArray(const Variant& value) { return (value.Type() & varArray) != 0; }

Variant VarArrayCreate(int low, int high, TVarType element_type) {
  if (element_type != varVariant && element_type != varByte)
    throw EVariantError(SVarBadType);
  if (high < low - 1) BadIndex();
  auto data = std::make_unique<detail::VarArrayData>();
  data->low = low;
  data->element = element_type;
  size_t count = static_cast<size_t>(static_cast<std::int64_t>(high) - low + 1);
  if (element_type == varByte)
    data->bytes.resize(count);
  else
    data->items.resize(count);
  Variant result;
  result.type_ = varArray | element_type;
  result.value_ = detail::VarArrayBox(std::move(data));
  return result;
}

int VarArrayDimCount(const Variant& value) { return VarIsArray(value) ? 1 : 0; }

int VarArrayLowBound(const Variant& value, int dim) {
  const detail::VarArrayData& data = detail::ArrayOf(value);
  if (dim != 1) BadIndex();
  return data.low;
}

int VarArrayHighBound(const Variant& value, int dim) {
  const detail::VarArrayData& data = detail::ArrayOf(value);
  if (dim != 1) BadIndex();
  return data.low + data.Count() - 1;
}

namespace {

size_t SlotOf(const detail::VarArrayData& data, int index) {
  std::int64_t slot = static_cast<std::int64_t>(index) - data.low;
  if (slot < 0 || slot >= data.Count()) BadIndex();
  return static_cast<size_t>(slot);
}

}  // namespace

Variant VarArrayGet(const Variant& array, int index) {
  const detail::VarArrayData& data = detail::ArrayOf(array);
  size_t slot = SlotOf(data, index);
  if (data.element == varByte) return Variant::OfInteger(varByte, data.bytes[slot]);
  return data.items[slot];
}

void VarArrayPut(Variant& array, const Variant& value, int index) {
  detail::VarArrayData& data = detail::ArrayOf(array);
  size_t slot = SlotOf(data, index);
  if (data.element != varByte) {
    data.items[slot] = value;
    return;
  }
  std::int64_t byte = value.AsInteger();
  if (byte < 0 || byte > 255) throw EVariantError(SVarOverflow);
  data.bytes[slot] = static_cast<std::uint8_t>(byte);
}

void* VarArrayLock(Variant& array) {
  detail::VarArrayData& data = detail::ArrayOf(array);
  if (data.element == varByte) return data.bytes.data();
  return data.items.data();
}

void VarArrayUnlock(Variant& array) { detail::ArrayOf(array); }
