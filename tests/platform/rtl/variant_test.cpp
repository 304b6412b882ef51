// Variant values keep their type codes and read across related kinds; arrays
// keep their bounds, copy by value and refuse indices outside them.
#include "platform/rtl/variant.h"

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/text.h"

namespace {

class TCounted : public TInterfacedObject {};

TEST(Variant, ConstructorsGiveTheirTypeCodes) {
  Ref<IInterface> object = MakeRef<TCounted>();
  struct Case { Variant value; TVarType type; } cases[] = {
      {Variant(), varEmpty}, {Null(), varNull}, {true, varBoolean}, {7, varInteger},
      {std::int64_t{1} << 40, varInt64}, {1.5, varDouble}, {"abc", varString},
      {WideString(u"abc"), varOleStr}, {object, varUnknown},
      {Variant::OfFloat(varDate, 2.5), varDate}, {Variant::OfInteger(varWord, 9), varWord},
  };
  for (const auto& c : cases) EXPECT_EQ(VarType(c.value), c.type);
  EXPECT_TRUE(VarIsNull(Null()));
  EXPECT_FALSE(VarIsNull(Unassigned()));
  EXPECT_TRUE(VarIsEmpty(Unassigned()));
}

TEST(Variant, IntegerKindsAreCutToTheirWidth) {
  struct Case { TVarType type; std::int64_t in, out; } cases[] = {
      {varShortInt, 200, -56}, {varByte, 300, 44}, {varSmallint, 40000, -25536},
      {varWord, -1, 65535}, {varInteger, 1LL << 32, 0}, {varLongWord, -1, 4294967295LL},
      {varInt64, INT64_MIN, INT64_MIN},
  };
  for (const auto& c : cases) EXPECT_EQ(Variant::OfInteger(c.type, c.in).AsInteger(), c.out) << c.type;
  EXPECT_THROW(Variant::OfInteger(varDouble, 1), EVariantError);
  EXPECT_THROW(Variant::OfFloat(varInteger, 1), EVariantError);
}

TEST(Variant, ReadsAcrossRelatedKindsOnly) {
  EXPECT_EQ(Variant::OfFloat(varCurrency, 12.34567).AsFloat(), 12.3457);
  EXPECT_EQ(Variant::OfFloat(varSingle, 0.1).AsFloat(), static_cast<double>(0.1f));
  EXPECT_EQ(Variant(3).AsFloat(), 3.0);
  EXPECT_EQ(Variant(2.5).AsInteger(), 2);  // rounds half to even
  EXPECT_EQ(Variant::OfFloat(varDate, 2.25).AsDateTime(), 2.25);
  EXPECT_EQ(Variant(WideString(u"ř")).AsString(), "ř");
  EXPECT_EQ(Variant("ř").AsWideString(), u"ř");
  EXPECT_EQ(Variant().AsInteger(), 0);
  EXPECT_EQ(Variant().AsString(), "");
  for (const Variant& bad : {Null(), Variant("12"), Variant(true)}) {
    EXPECT_THROW(bad.AsInteger(), EVariantError);
  }
  EXPECT_THROW(Variant(1).AsString(), EVariantError);
  EXPECT_THROW(Variant(1).AsBoolean(), EVariantError);
  EXPECT_THROW(Variant("x").AsInterface(), EVariantError);
}

TEST(VariantArray, ByteArrayKeepsBoundsAndRangeChecksElements) {
  Variant bytes = VarArrayCreate(1, 3, varByte);
  EXPECT_EQ(VarType(bytes), varArray | varByte);
  EXPECT_TRUE(VarIsArray(bytes));
  EXPECT_EQ(VarArrayDimCount(bytes), 1);
  EXPECT_EQ(VarArrayLowBound(bytes, 1), 1);
  EXPECT_EQ(VarArrayHighBound(bytes, 1), 3);
  VarArrayPut(bytes, 255, 3);
  VarArrayPut(bytes, Variant::OfInteger(varWord, 7), 1);
  EXPECT_EQ(static_cast<std::uint8_t*>(VarArrayLock(bytes))[2], 255);
  VarArrayUnlock(bytes);
  Variant element = VarArrayGet(bytes, 1);
  EXPECT_EQ(VarType(element), varByte);
  EXPECT_EQ(element.AsInteger(), 7);
  EXPECT_THROW(VarArrayPut(bytes, 256, 2), EVariantError);
  EXPECT_THROW(VarArrayPut(bytes, -1, 2), EVariantError);
  for (int index : {0, 4}) EXPECT_THROW(VarArrayGet(bytes, index), EVariantError);
  EXPECT_THROW(VarArrayHighBound(bytes, 2), EVariantError);
  EXPECT_THROW(VarArrayCreate(0, 1, varInteger), EVariantError);
}

TEST(VariantArray, EmptyArrayAndNonArrays) {
  Variant empty = VarArrayCreate(0, -1, varByte);
  EXPECT_EQ(VarArrayLowBound(empty, 1), 0);
  EXPECT_EQ(VarArrayHighBound(empty, 1), -1);
  EXPECT_THROW(VarArrayGet(empty, 0), EVariantError);
  EXPECT_THROW(VarArrayCreate(0, -2, varVariant), EVariantError);
  EXPECT_EQ(VarArrayDimCount(Variant(1)), 0);
  EXPECT_THROW(VarArrayLowBound(Variant(1), 1), EVariantError);
  EXPECT_THROW(VarArrayGet(Null(), 0), EVariantError);
}

TEST(VariantArray, VariantElementsKeepTheirKindsAndCopiesAreIndependent) {
  Variant values = VarArrayCreate(0, 2, varVariant);
  VarArrayPut(values, "text", 0);
  VarArrayPut(values, Null(), 1);
  EXPECT_EQ(VarType(VarArrayGet(values, 2)), varEmpty);
  Variant copy = values;
  VarArrayPut(copy, 5, 0);
  EXPECT_EQ(VarArrayGet(values, 0).AsString(), "text");
  EXPECT_EQ(VarArrayGet(copy, 0).AsInteger(), 5);
  EXPECT_TRUE(VarIsNull(VarArrayGet(copy, 1)));
}

}  // namespace
