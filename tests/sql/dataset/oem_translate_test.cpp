// The dataset's OEM translation: a plain copy without doOemTranslate, and
// with it Windows-1250 to code page 852 and back exactly as iconv converts
// every byte both code pages hold; string fields read through it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/sql/dataset/fake_fixture.h"
#include "tests/support/shell_runner.h"

namespace {

// Every byte 128..255 on a line of its own, converted by iconv; a byte
// without a counterpart leaves its line empty.
std::string IconvHighBytes(const char* from, const char* to) {
  std::string input;
  for (int byte = 128; byte < 256; ++byte) input += {static_cast<char>(byte), '\n'};
  std::string path = testing::TempDir() + "oem_bytes.txt";
  if (FILE* file = std::fopen(path.c_str(), "wb")) {
    std::fwrite(input.data(), 1, input.size(), file);
    std::fclose(file);
  }
  std::string command = std::string("iconv -c -f ") + from + " -t " + to + " '" + path + "' 2>/dev/null";
  return RunShell(command).output;
}

class OemTranslateTest : public FakeDatasetTest {};

TEST_F(OemTranslateTest, WithoutTheOptionTextIsCopied) {
  char text[] = "Čáp a ďábel";
  const std::string original = text;
  EXPECT_EQ(query->TranslateOem(text, text, true), static_cast<int>(original.size()));
  EXPECT_EQ(text, original);
  char copy[sizeof text] = {};
  EXPECT_EQ(query->TranslateOem(text, copy, false), static_cast<int>(original.size()));
  EXPECT_EQ(copy, original);
  EXPECT_EQ(query->TranslateOem(nullptr, copy, false), 0);
}

TEST_F(OemTranslateTest, WithTheOptionBytesConvertAsIconvDoes) {
  query->SetOptions(query->Options() | doOemTranslate);
  const struct {
    const char* from;
    const char* to;
    bool toOem;
  } directions[] = {{"CP1250", "CP852", true}, {"CP852", "CP1250", false}};
  for (const auto& d : directions) {
    std::string expected = IconvHighBytes(d.from, d.to);
    ASSERT_FALSE(expected.empty()) << "iconv did not run";
    int converted = 0;
    std::size_t line = 0;
    for (int byte = 128; byte < 256; ++byte) {
      std::size_t end = expected.find('\n', line);
      ASSERT_NE(end, std::string::npos);
      std::string counterpart = expected.substr(line, end - line);
      line = end + 1;
      char text[] = {static_cast<char>(byte), 'x', '\0'};
      EXPECT_EQ(query->TranslateOem(text, text, d.toOem), 2);
      std::string want = counterpart.empty() ? "?" : counterpart;
      EXPECT_EQ(std::string(text), want + "x") << d.from << " byte " << byte;
      converted += !counterpart.empty();
    }
    EXPECT_GT(converted, 90) << d.from;
  }
}

TEST_F(OemTranslateTest, StringFieldsReadOemTextAsWindows1250) {
  TZVariant oem;
  DefaultVarManager()->SetAsString(oem, "\xAC\xA0p");  // "Čáp" in code page 852
  AddResult("select oem", {{{"t", stString}}, {{oem}}});
  query->SetOptions(query->Options() | doOemTranslate);
  OpenQuery("select oem");
  EXPECT_EQ(query->FieldNamed("t")->ValueAsString(), "Čáp");
}

}  // namespace
