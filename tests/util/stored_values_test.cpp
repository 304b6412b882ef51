// Stored values of a form storage: the text each kind is stored as, the
// round trip through the window's section (plain and enciphered, with the
// save and restore events), and unique names.
#include <gtest/gtest.h>

#include "platform/gui/forms.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/ini_files.h"
#include "tests/support/temp_folder.h"
#include "util/components/form_storage.h"
#include "util/components/stored_values.h"

namespace {

TEST(StoredValueText, EachKindHasItsText) {
  const struct {
    Variant value;
    AnsiString text;
  } cases[] = {
      {Unassigned(), ""},
      {Null(), ""},
      {Variant::OfInteger(varSmallint, -7), "-7"},
      {Variant(123456), "123456"},
      {Variant::OfInteger(varByte, 200), "200"},
      {Variant(2.5), "2,5"},  // the profile's decimal separator
      {Variant::OfFloat(varCurrency, 12.3456), "12,3456"},
      {Variant::OfFloat(varDate, EncodeDate(2024, 2, 29) + 0.75), "29.2.2024"},
      {Variant(true), "True"},
      {Variant(false), "False"},
      {Variant("Žluťoučký kůň"), "Žluťoučký kůň"},
      {Variant::OfInteger(varInt64, 5), ""},  // kinds without a text of their own
      {VarArrayCreate(0, 1, varVariant), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(StoredValueText(c.value), c.text) << VarType(c.value);
}

struct StoredValues : ::testing::Test {
  // A window with a storage that keeps two values; the second enciphered.
  TForm* NewForm() {
    auto* form = new TForm(nullptr);
    auto* storage = new TFormStorage(form);
    storage->SetIniFileName(Ini());
    storage->SetOptions(0);
    TStoredValue* plain = storage->StoredValues()->Add();
    plain->SetName("Posledni");
    TStoredValue* secret = storage->StoredValues()->Add();
    secret->SetName("Heslo");
    secret->SetKeyString("klic");
    form->BeginLoading();
    form->EndLoading();
    values = storage->StoredValues();
    return form;
  }
  std::string Ini() const { return (tmp.path() / "values.ini").string(); }
  TempFolder tmp;
  TStoredValues* values = nullptr;
};

TEST_F(StoredValues, RoundTripThroughTheWindowsSection) {
  TForm* form = NewForm();
  form->Show();
  EXPECT_EQ(values->Items(0)->Value().AsString(), "");  // first run: nothing stored
  values->Items(0)->SetValue(42);
  values->Items(1)->SetValue(AnsiString("tajné \"heslo\""));
  std::vector<AnsiString> saved;
  values->Items(0)->OnSave = [&](TStoredValue*, Variant& v) {
    saved.push_back(StoredValueText(v));
    v = 43;  // what is written, not what the value holds
  };
  form->Close();
  form->Free();
  EXPECT_EQ(saved, std::vector<AnsiString>{"42"});
  TIniFile ini(Ini());
  EXPECT_EQ(ini.ReadString("TForm", "Posledni", ""), "43");
  const AnsiString cipher = ini.ReadString("TForm", "Heslo", "");
  EXPECT_NE(cipher, "");
  EXPECT_EQ(cipher.find("heslo"), AnsiString::npos);

  form = NewForm();
  std::vector<AnsiString> restored;
  values->Items(1)->OnRestore = [&](TStoredValue*, Variant& v) { restored.push_back(v.AsString()); };
  form->Show();
  EXPECT_EQ(VarType(values->Items(0)->Value()), varString);
  EXPECT_EQ(values->Items(0)->Value().AsString(), "43");
  EXPECT_EQ(restored, std::vector<AnsiString>{"tajné \"heslo\""});
  form->Free();
}

TEST_F(StoredValues, NamesAreUniqueIgnoringCase) {
  TForm* form = NewForm();
  EXPECT_EQ(values->IndexOfName("HESLO"), 1);
  EXPECT_EQ(values->IndexOfName("jine"), -1);
  TStoredValue* third = values->Add();
  try {
    third->SetName("posledni");
    FAIL() << "duplicate accepted";
  } catch (const EStringListError& e) {
    EXPECT_STREQ(e.what(), "String list does not allow duplicates");
  }
  EXPECT_EQ(third->Name(), "");
  values->Items(0)->SetName("POSLEDNI");  // its own name in other letters
  EXPECT_EQ(values->Items(0)->Name(), "POSLEDNI");
  form->Free();
}

}  // namespace
