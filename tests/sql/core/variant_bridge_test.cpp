// Conversions between the library's values and the platform's variant.
#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "sql/core/variant_bridge.h"

namespace {

TZVariant Int(std::int64_t x) {
  TZVariant v;
  DefaultVarManager()->SetAsInteger(v, x);
  return v;
}

TEST(VariantBridge, LargeIntegersTravelAsText) {
  struct {
    std::int64_t value;
    TVarType type;
  } const cases[] = {
      {2147483646, varInteger}, {-2147483646, varInteger}, {2147483647, varString},
      {-2147483647, varString}, {9999999999, varString},
  };
  for (const auto& c : cases) {
    const Variant encoded = EncodeVariant(Int(c.value));
    EXPECT_EQ(VarType(encoded), c.type) << c.value;
    // Either way the value comes back through the lenient manager.
    EXPECT_EQ(SoftVarManager()->GetAsInteger(DecodeVariant(encoded)), c.value);
  }
  EXPECT_EQ(EncodeVariant(Int(2147483647)).AsString(), "2147483647");
}

TEST(VariantBridge, EveryKindRoundTrips) {
  const IZVariantManager& m = *DefaultVarManager();
  TZVariant values[8];
  m.SetAsBoolean(values[0], true);
  m.SetAsInteger(values[1], -5);
  m.SetAsFloat(values[2], 2.5L);
  m.SetAsString(values[3], "text");
  m.SetAsUnicodeString(values[4], u"wide");
  m.SetAsDateTime(values[5], 38017.25);
  m.SetAsInterface(values[6], Ref<IZInterface>(TZAnyValue::CreateWithString("x")));
  const TVarType types[] = {varBoolean, varInteger, varDouble, varString, varOleStr, varDate, varUnknown, varNull};
  const TZVariantDynArray decoded = DecodeVariantArray(EncodeVariantArray(TZVariantDynArray(values, values + 8)));
  ASSERT_EQ(decoded.size(), 8u);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(VarType(EncodeVariant(values[i])), types[i]) << i;
    EXPECT_EQ(decoded[i].VType, values[i].VType) << i;
    if (values[i].VType != vtNull) {
      EXPECT_EQ(m.Compare(decoded[i], values[i]), 0) << i;
    }
  }
}

TEST(VariantBridge, ArraysArePlacedFromZero) {
  Variant array = VarArrayCreate(1, 3, varVariant);
  for (int i = 1; i <= 3; ++i) VarArrayPut(array, Variant(i * 10), i);
  const TZVariantDynArray values = DecodeVariantArray(array);
  ASSERT_EQ(values.size(), 3u);
  EXPECT_EQ(values[0].VInteger, 10);
  EXPECT_EQ(values[2].VInteger, 30);
  EXPECT_EQ(DecodeVariantArray(Variant(7)).size(), 1u);
  EXPECT_EQ(DecodeVariant(Unassigned()).VType, vtNull);
  EXPECT_EQ(DecodeVariant(Variant::OfInteger(varByte, 200)).VInteger, 200);
}

TEST(VariantBridge, BytesRoundTripAndOtherVariantsAreRefused) {
  const TByteDynArray bytes = {0, 1, 255, 128};
  const Variant array = BytesToVar(bytes);
  EXPECT_EQ(VarType(array), varArray | varByte);
  EXPECT_EQ(VarArrayLowBound(array, 1), 0);
  EXPECT_EQ(VarArrayHighBound(array, 1), 3);
  EXPECT_EQ(VarToBytes(array), bytes);
  EXPECT_TRUE(VarToBytes(BytesToVar({})).empty());
  for (const Variant& bad : {Variant(5), Variant("abc"), VarArrayCreate(0, 1, varVariant)}) {
    try {
      VarToBytes(bad);
      ADD_FAILURE() << "accepted";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Invalid VarByte array");
    }
  }
}

}  // namespace
