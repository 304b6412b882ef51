// The platform's variant: a value tagged with an OLE-style type code, or a
// one-dimensional array of such values or of bytes. It is the form in which
// dataset fields and key lookups hand values around; the SQL library's own
// tagged value converts to and from it.
#pragma once

#include <cstdint>
#include <memory>
#include <variant>

#include "platform/rtl/datetime.h"
#include "platform/rtl/objects.h"
#include "platform/rtl/strings.h"

using TVarType = std::uint16_t;

constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varOleStr = 0x0008;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varUnknown = 0x000D;
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varString = 0x0100;
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;

class Variant;

namespace detail {
struct VarArrayData;
// Owns an array's elements; copying a variant copies them.
class VarArrayBox {
public:
  explicit VarArrayBox(std::unique_ptr<VarArrayData> data);
  VarArrayBox(const VarArrayBox& other);
  VarArrayBox(VarArrayBox&&) noexcept;
  VarArrayBox& operator=(const VarArrayBox& other);
  VarArrayBox& operator=(VarArrayBox&&) noexcept;
  ~VarArrayBox();
  VarArrayData& operator*() const { return *data_; }
  VarArrayData* operator->() const { return data_.get(); }

private:
  std::unique_ptr<VarArrayData> data_;
};
// The elements of an array variant; EVariantError for any other variant.
VarArrayData& ArrayOf(const Variant& value);
}  // namespace detail

// Reading a value as a kind it cannot give raises EVariantError "Invalid
// variant type conversion"; numbers read across the integer and float kinds,
// texts across single-byte and wide.
class Variant {
public:
  Variant() = default;
  Variant(bool value);
  Variant(int value);
  Variant(std::int64_t value);
  Variant(double value);
  Variant(const char* value);
  Variant(AnsiString value);
  Variant(WideString value);
  Variant(Ref<IInterface> value);

  // A value of one of the integer kinds, cut to that kind's width.
  static Variant OfInteger(TVarType type, std::int64_t value);
  // varSingle, varDouble, varCurrency (four decimals kept) or varDate.
  static Variant OfFloat(TVarType type, double value);

  // The type code; an array has varArray plus its element type.
  TVarType Type() const { return type_; }

  bool AsBoolean() const;
  std::int64_t AsInteger() const;
  double AsFloat() const;
  TDateTime AsDateTime() const;
  AnsiString AsString() const;
  WideString AsWideString() const;
  Ref<IInterface> AsInterface() const;

private:
  friend Variant Null();
  friend Variant VarArrayCreate(int low, int high, TVarType element_type);
  friend detail::VarArrayData& detail::ArrayOf(const Variant& value);

  TVarType type_ = varEmpty;
  // Integer kinds, booleans and currency (in ten-thousandths) use the integer.
  std::variant<std::monostate, std::int64_t, double, AnsiString, WideString, Ref<IInterface>,
               detail::VarArrayBox>
      value_;
};

Variant Null();
Variant Unassigned();

TVarType VarType(const Variant& value);
bool VarIsNull(const Variant& value);
bool VarIsEmpty(const Variant& value);
bool VarIsArray(const Variant& value);

// One-dimensional arrays with the bounds low .. high (high = low - 1 makes an
// empty one) of varVariant or varByte elements; other element types raise
// EVariantError. Indices outside the bounds raise EVariantError too.
Variant VarArrayCreate(int low, int high, TVarType element_type);
int VarArrayDimCount(const Variant& value);
int VarArrayLowBound(const Variant& value, int dim);
int VarArrayHighBound(const Variant& value, int dim);
Variant VarArrayGet(const Variant& array, int index);
// A byte element takes a number from 0 to 255 ("Variant overflow" otherwise).
void VarArrayPut(Variant& array, const Variant& value, int index);
// Direct access to the elements: bytes for a byte array, Variants otherwise.
void* VarArrayLock(Variant& array);
void VarArrayUnlock(Variant& array);
