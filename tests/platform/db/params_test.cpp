// Parameter lists: copying values and types, lookup by name, typed readers
// and what a parameter takes from a field.
#include <gtest/gtest.h>

#include "platform/db/params.h"
#include "test_dataset.h"

TEST(Params, BooleanValuesCompareAsBooleans) {
  TParams a, b;
  a.AddParam(ftBoolean, "flag", ptInput)->SetValueAsBoolean(true);
  b.Assign(a);
  EXPECT_TRUE(a.IsEqual(b));
  b[0]->SetValueAsBoolean(false);
  EXPECT_FALSE(a.IsEqual(b));
}

TEST(Params, AssignCopiesEverythingAndCopyParamValuesOnlySameNames) {
  TParams source;
  source.AddParam(ftUnknown, "id", ptInput)->SetValueAsInteger(7);
  source.AddParam(ftUnknown, "Name", ptOutput)->SetValueAsString("abc");

  TParams copy;
  copy.Assign(source);
  ASSERT_EQ(copy.Count(), 2);
  EXPECT_TRUE(copy.IsEqual(source));
  EXPECT_EQ(copy[1]->ParamType(), ptOutput);
  copy[0]->SetValueAsInteger(8);
  EXPECT_EQ(source[0]->ValueAsInteger(), 7) << "a copy, not shared";
  EXPECT_FALSE(copy.IsEqual(source));

  TParams target;
  target.AddParam(ftUnknown, "NAME", ptInput);
  target.AddParam(ftUnknown, "other", ptInput)->SetValueAsFloat(1.5);
  target.CopyParamValues(source);
  ASSERT_EQ(target.Count(), 2);
  EXPECT_EQ(target[0]->DataType(), ftString);
  EXPECT_EQ(target[0]->ValueAsString(), "abc");
  EXPECT_EQ(target[0]->ParamType(), ptInput) << "the direction stays";
  EXPECT_EQ(target[0]->Name(), "NAME");
  EXPECT_EQ(target[1]->ValueAsFloat(), 1.5);
}

TEST(Params, LookupByNameIgnoresCase) {
  TParams params;
  TParam* p = params.AddParam(ftInteger, "Amount", ptInput);
  EXPECT_EQ(params.ParamNamed("AMOUNT"), p);
  EXPECT_EQ(params.ParamNamed("none"), nullptr);
  try {
    params.RequireParam("none");
    ADD_FAILURE();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Parameter 'none' not found");
  }
}

TEST(Params, TypedValuesAndNulls) {
  TParam p("p", ftUnknown, ptInput);
  EXPECT_TRUE(p.IsNull());
  EXPECT_FALSE(p.Bound());
  EXPECT_EQ(p.ValueAsInteger(), 0);
  EXPECT_EQ(p.ValueAsString(), "");

  p.SetValueAsString("5000000000");
  EXPECT_EQ(p.ValueAsLargeInt(), 5000000000);
  p.SetValueAsSmallInt(12);
  EXPECT_EQ(p.DataType(), ftSmallint);
  p.SetValueAsDateTime(1.5);
  EXPECT_EQ(p.DataType(), ftDateTime);
  EXPECT_DOUBLE_EQ(p.ValueAsDateTime(), 1.5);
  p.Clear();
  EXPECT_TRUE(p.IsNull());
  EXPECT_TRUE(p.Bound());
  EXPECT_EQ(p.DataType(), ftDateTime) << "clearing keeps the type";

  TParam q("q", ftUnknown, ptInput);
  q.SetValueAsVariant(Variant(int64_t{3}));
  EXPECT_EQ(q.DataType(), ftLargeint);
  TParam text("r", ftUnknown, ptInput);
  text.SetValueAsString("x");
  EXPECT_THROW(text.ValueAsInteger(), EConvertError);
  text.SetValueAsFloat(2.5);
  EXPECT_EQ(text.ValueAsString(), "2,5");
}

TEST(Params, AssignFieldValueTakesTypeAndValue) {
  TTestDataSet* ds = new TTestDataSet(nullptr, {{"ID", ftInteger}});
  ds->AddIds({42});
  ds->Open();
  TParam p("key", ftString, ptInput);
  p.AssignFieldValue(ds->FieldNamed("ID"));
  EXPECT_EQ(p.DataType(), ftInteger);
  EXPECT_EQ(p.ValueAsInteger(), 42);
  EXPECT_EQ(p.Name(), "key");
  ds->Free();
}
