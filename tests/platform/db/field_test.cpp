// Typed access to every field buffer format: the bytes a column holds and
// what the field makes of them, what it writes for a value, and the range
// and conversion errors of the integer fields.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/db/field_buffers.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/streams.h"
#include "test_dataset.h"

namespace {

template <class T>
std::string Bytes(T value) {
  std::string bytes(sizeof value, '\0');
  std::memcpy(bytes.data(), &value, sizeof value);
  return bytes;
}

std::string Extended(long double value) {
  std::string bytes(10, '\0');
  DoubleToExtended(value, bytes.data());
  return bytes;
}

std::string Utf16(const WideString& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

// Each typed reader's answer, or "ERR" when it raises.
template <class Read>
std::string Try(Read read) {
  try {
    return read();
  } catch (const Exception&) {
    return "ERR";
  }
}

std::string Describe(TField* f) {
  return Try([&] { return f->ValueAsString(); }) + " | " +
         Try([&] { return std::to_string(f->ValueAsInteger()); }) + " | " +
         Try([&] { return FloatToStrGeneral(f->ValueAsFloat()); }) + " | " +
         Try([&] { return std::string(f->ValueAsBoolean() ? "true" : "false"); }) + " | " +
         Try([&] { return FloatToStrGeneral(f->ValueAsDateTime()); });
}

struct BufferCase {
  TestColumn column;
  std::string bytes;
  const char* expected;  // string | integer | float | boolean | date-time
};

}  // namespace

TEST(FieldBuffers, TypedReadsOfEveryBufferFormat) {
  const BufferCase cases[] = {
      {{"F", ftSmallint}, Bytes<int16_t>(-2), "-2 | -2 | -2 | true | ERR"},
      {{"F", ftWord}, Bytes<uint16_t>(65535), "65535 | 65535 | 65535 | true | ERR"},
      {{"F", ftInteger}, Bytes<int32_t>(123456), "123456 | 123456 | 123456 | true | ERR"},
      {{"F", ftAutoInc}, Bytes<int32_t>(0), "0 | 0 | 0 | false | ERR"},
      {{"F", ftLargeint}, Bytes<int64_t>(5000000000), "5000000000 | ERR | 5000000000 | ERR | ERR"},
      {{"F", ftBoolean}, Bytes<int16_t>(1), "True | 1 | ERR | true | ERR"},
      {{"F", ftBoolean}, Bytes<int16_t>(0), "False | 0 | ERR | false | ERR"},
      {{"F", ftFloat}, Bytes<double>(2.5), "2,5 | 2 | 2.5 | ERR | ERR"},
      {{"F", ftCurrency}, Extended(12.25L), "12,25 | 12 | 12.25 | ERR | ERR"},
      {{"F", ftDate}, Bytes<int32_t>(693596), "1.1.1900 | ERR | 2 | ERR | 2"},
      {{"F", ftTime}, Bytes<int32_t>(43200000), "12:00:00 | ERR | 0.5 | ERR | 0.5"},
      {{"F", ftDateTime}, Bytes<double>(693595.0 * 86400000 + 21600000),
       "31.12.1899 6:00:00 | ERR | 1.25 | ERR | 1.25"},
      {{"F", ftDateTime}, Bytes<double>(0), "ERR | ERR | ERR | ERR | ERR"},
      {{"F", ftString, 5}, std::string("abc\0\0\0", 6), "abc | ERR | ERR | false | ERR"},
      {{"F", ftString, 5}, std::string("42\0", 3), "42 | 42 | 42 | false | ERR"},
      {{"F", ftWideString, 4}, Utf16(u"Ř\u0161"), "Řš | ERR | ERR | false | ERR"},
      {{"F", ftBytes, 3}, std::string("\x01\x02\x03", 3), "\x01\x02\x03 | ERR | ERR | ERR | ERR"},
      {{"F", ftVarBytes, 4}, std::string("\x02\x00" "ab", 4), "ab | ERR | ERR | ERR | ERR"},
  };
  for (const auto& c : cases) {
    TTestDataSet* ds = new TTestDataSet(nullptr, {c.column});
    ds->AddRawRow({c.bytes});
    ds->Open();
    EXPECT_EQ(Describe(ds->FieldNamed("F")), c.expected) << FieldTypeName(c.column.type);
    ds->Free();
  }
}

TEST(FieldBuffers, NullValuesReadAsEmpty) {
  TTestDataSet* ds = new TTestDataSet(nullptr, {{"I", ftInteger}, {"S", ftString, 4}});
  ds->AddRawRow({std::nullopt, std::nullopt});
  ds->Open();
  for (const char* name : {"I", "S"}) {
    TField* f = ds->FieldNamed(name);
    EXPECT_TRUE(f->IsNull());
    EXPECT_EQ(f->ValueAsString(), "");
    EXPECT_TRUE(VarIsNull(f->ValueAsVariant()));
  }
  ds->Free();
}

// What the typed setters write into the column, byte for byte.
TEST(FieldBuffers, TypedWritesProduceTheBufferBytes) {
  struct Case {
    TestColumn column;
    void (*write)(TField*);
    std::string bytes;
  };
  const Case cases[] = {
      {{"F", ftSmallint}, [](TField* f) { f->SetValueAsInteger(-7); }, Bytes<int16_t>(-7)},
      {{"F", ftWord}, [](TField* f) { f->SetValueAsString("65535"); }, Bytes<uint16_t>(65535)},
      {{"F", ftInteger}, [](TField* f) { f->SetValueAsFloat(2.6); }, Bytes<int32_t>(3)},
      {{"F", ftLargeint}, [](TField* f) { f->SetValueAsString("-9000000000"); }, Bytes<int64_t>(-9000000000)},
      {{"F", ftBoolean}, [](TField* f) { f->SetValueAsBoolean(true); }, Bytes<int16_t>(-1)},
      {{"F", ftBoolean}, [](TField* f) { f->SetValueAsString("f"); }, Bytes<int16_t>(0)},
      {{"F", ftFloat}, [](TField* f) { f->SetValueAsString("12,5"); }, Bytes<double>(12.5)},
      {{"F", ftCurrency}, [](TField* f) { f->SetValueAsFloat(0.75); }, Extended(0.75L)},
      {{"F", ftDate}, [](TField* f) { f->SetValueAsDateTime(2.75); }, Bytes<int32_t>(693596)},
      {{"F", ftTime}, [](TField* f) { f->SetValueAsDateTime(2.75); }, Bytes<int32_t>(64800000)},
      {{"F", ftDateTime}, [](TField* f) { f->SetValueAsDateTime(-1.25); },
       Bytes<double>(693593.0 * 86400000 + 21600000)},
      {{"F", ftString, 4}, [](TField* f) { f->SetValueAsString("abcd"); }, std::string("abcd\0", 5)},
      {{"F", ftWideString, 2}, [](TField* f) { f->SetValueAsString("č"); }, Utf16(u"č") + std::string(4, '\0')},
      {{"F", ftBytes, 3}, [](TField* f) { f->SetValueAsString("xy"); }, std::string("xy\0", 3)},
      {{"F", ftVarBytes, 3}, [](TField* f) { f->SetValueAsVariant(Variant("z")); }, std::string("\x01\x00z\0\0", 5)},
  };
  for (const auto& c : cases) {
    TTestDataSet* ds = new TTestDataSet(nullptr, {c.column});
    ds->AddRawRow({std::nullopt});
    ds->Open();
    ds->Edit();
    c.write(ds->FieldNamed("F"));
    ds->Post();
    EXPECT_EQ(ds->StoredValue(0, 0), c.bytes) << FieldTypeName(c.column.type);
    ds->Free();
  }
}

TEST(FieldBuffers, OutOfRangeAndMalformedValuesRaise) {
  struct Case {
    TestColumn column;
    void (*write)(TField*);
    const char* message;
  };
  const Case cases[] = {
      {{"S", ftSmallint}, [](TField* f) { f->SetValueAsInteger(40000); },
       "40000 is not a valid value for field 'S'. The allowed range is -32768 to 32767"},
      {{"S", ftSmallint}, [](TField* f) { f->SetValueAsVariant(Variant(-40000)); },
       "-40000 is not a valid value for field 'S'. The allowed range is -32768 to 32767"},
      {{"S", ftWord}, [](TField* f) { f->SetValueAsInteger(-1); },
       "-1 is not a valid value for field 'S'. The allowed range is 0 to 65535"},
      {{"S", ftInteger}, [](TField* f) { f->SetValueAsLargeInt(3000000000); },
       "3000000000 is not a valid value for field 'S'. The allowed range is -2147483648 to 2147483647"},
      {{"S", ftInteger}, [](TField* f) { f->SetValueAsString("12a"); },
       "'12a' is not a valid integer value for field 'S'"},
      {{"S", ftFloat}, [](TField* f) { f->SetValueAsString("1.5"); },
       "'1.5' is not a valid floating point value for field 'S'"},
      {{"S", ftBoolean}, [](TField* f) { f->SetValueAsString("ano"); },
       "'ano' is not a valid boolean value for field 'S'"},
      {{"S", ftBoolean}, [](TField* f) { f->SetValueAsDateTime(1); },
       "Cannot access field 'S' as type DateTime"},
      {{"S", ftString, 4}, [](TField* f) { f->SetValueAsString("abcdef"); },
       "Value of 6 characters is too long for field 'S' of size 4"},
      {{"S", ftString, 4}, [](TField* f) { f->SetValueAsString(AnsiString("a\0b", 3)); },
       "Value for field 'S' holds a zero character, which ends a text"},
  };
  for (const auto& c : cases) {
    TTestDataSet* ds = new TTestDataSet(nullptr, {c.column});
    ds->AddRawRow({std::nullopt});
    ds->Open();
    ds->Edit();
    try {
      c.write(ds->FieldNamed("S"));
      ADD_FAILURE() << "no error for " << c.message;
    } catch (const EDatabaseError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_TRUE(ds->FieldNamed("S")->IsNull()) << "a refused value must not be stored";
    ds->Free();
  }
}

TEST(FieldBuffers, ValidationSeesTheNewValueBeforeItIsStored) {
  TTestDataSet* ds = new TTestDataSet(nullptr, {{"I", ftInteger}});
  ds->AddIds({1});
  ds->Open();
  TField* f = ds->FieldNamed("I");
  f->OnValidate = [](TField* field) {
    if (field->ValueAsInteger() < 0) DatabaseError("negative");
  };
  ds->Edit();
  EXPECT_THROW(f->SetValueAsInteger(-5), EDatabaseError);
  EXPECT_EQ(f->ValueAsInteger(), 1);
  f->SetValueAsInteger(5);
  EXPECT_EQ(f->ValueAsInteger(), 5);
  ds->Free();
}

TEST(FieldBuffers, DateTimeBufferConversionsAroundDayZero) {
  char buffer[8];
  DateTimeToNative(ftDateTime, -0.25, buffer);
  EXPECT_DOUBLE_EQ(NativeToDateTime(ftDateTime, buffer), 0.25);
  DateTimeToNative(ftDateTime, -1.25, buffer);
  EXPECT_DOUBLE_EQ(NativeToDateTime(ftDateTime, buffer), -1.25);
  WriteUnaligned<int32_t>(buffer, 0);
  try {
    NativeToDateTime(ftDate, buffer);
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'0.0' is not a valid timestamp");
  }
}

TEST(FieldValues, BlobsGoThroughTheDatasetsStreams) {
  TTestDataSet* ds = new TTestDataSet(nullptr, {{"M", ftMemo}, {"B", ftBlob}});
  ds->AddRawRow({std::nullopt, std::nullopt});
  ds->Open();
  TField* memo = ds->FieldNamed("M");
  EXPECT_TRUE(memo->IsBlob());
  EXPECT_TRUE(memo->IsNull());
  EXPECT_EQ(memo->ValueAsString(), "");
  ds->Edit();
  memo->SetValueAsString("Záloha databáze");
  TStringStream data(std::string("\0\x01\x02", 3));
  static_cast<TBlobField*>(ds->FieldNamed("B"))->LoadFromStream(data);
  ds->Post();
  EXPECT_EQ(memo->ValueAsString(), "Záloha databáze");
  EXPECT_EQ(VarType(memo->ValueAsVariant()), varString);
  TStringStream copy;
  static_cast<TBlobField*>(ds->FieldNamed("B"))->SaveToStream(copy);
  EXPECT_EQ(copy.DataString(), std::string("\0\x01\x02", 3));
  ds->Free();
}

TEST(FieldValues, VariantsAndFieldValueNamed) {
  TTestDataSet* ds = new TTestDataSet(nullptr, {{"I", ftSmallint}, {"S", ftString, 8}, {"B", ftBytes, 2}});
  ds->AddRawRow({Bytes<int16_t>(3), std::string("ab\0", 3), std::string("\x05\x06", 2)});
  ds->Open();
  EXPECT_EQ(VarType(ds->FieldValueNamed("I")), varSmallint);
  EXPECT_EQ(ds->FieldValueNamed("s").AsString(), "ab");
  Variant bytes = ds->FieldValueNamed("B");
  ASSERT_TRUE(VarIsArray(bytes));
  EXPECT_EQ(VarArrayGet(bytes, 1).AsInteger(), 6);
  Variant both = ds->FieldValueNamed("I;S");
  EXPECT_EQ(VarArrayHighBound(both, 1), 1);
  EXPECT_EQ(VarArrayGet(both, 1).AsString(), "ab");
  ds->Edit();
  ds->SetFieldValueNamed("I", Null());
  EXPECT_TRUE(ds->FieldNamed("I")->IsNull());
  ds->Free();
}
