// Format: the directives, widths and precisions, argument indexes and the
// errors for missing or mismatched arguments.
#include "platform/rtl/format.h"

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/format_settings.h"

namespace {

// Directive tests read the floats with "."; the Czech "," has its own test.
TFormatSettings PointSettings() {
  TFormatSettings s = CzechFormatSettings();
  s.DecimalSeparator = '.';
  return s;
}

}  // namespace

TEST(Format, Directives) {
  TScopedFormatSettings point(PointSettings());
  const AnsiString name = "tab";
  int value = 0;
  struct Case {
    AnsiString got;
    const char* expected;
  } cases[] = {
      {Format("List index out of bounds (%d)", {5}), "List index out of bounds (5)"},
      {Format("zdbc:%s://%s:%d/%s", {"mysql", "127.0.0.1", 3306, name}),
       "zdbc:mysql://127.0.0.1:3306/tab"},
      {Format("%5d|%-5d|%.3d|%d", {42, 42, 7, -12}), "   42|42   |007|-12"},
      {Format("%u %u", {7u, -1}), "7 4294967295"},
      {Format("%x %4x %X", {255, 10, int64_t{-1}}), "FF    A FFFFFFFFFFFFFFFF"},
      {Format("%d", {~uint64_t{0}}), "18446744073709551615"},
      {Format("%s|%6s|%-4s|%.2s", {"a", "bc", "d", "xyz"}), "a|    bc|d   |xy"},
      {Format("%s%s", {'c', AnsiString("ž")}), "cž"},
      {Format("%f %.1f %.0f", {1.0, 2.25, 2.5}), "1.00 2.3 3"},
      {Format("%g %g", {1e20, 0.5}), "1E20 0.5"},
      {Format("%e", {1500.0}), "1.50000000000000E+003"},
      {Format("%.2f", {3}), "3.00"},
      {Format("100%% %d", {1}), "100% 1"},
      {Format("%1:s %0:s %s", {"a", "b"}), "b a b"},
      {Format("%*d|%.*f", {4, 1, 2, 1.0}), "   1|1.00"},
      {Format("%p", {static_cast<const void*>(&value)}).size() == 2 * sizeof(void*) ? "ok" : "bad",
       "ok"},
      {Format("PKBACK# %3.3d", {7}), "PKBACK# 007"},
      {Format("(%dx%d)", {1920, 1080}), "(1920x1080)"},
      {Format("no directives", {}), "no directives"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.expected);
}

TEST(Format, FloatsUseTheDecimalSeparatorInForce) {
  EXPECT_EQ(Format("%.2f|%g|%e", {1.5, 0.25, 2.0}), "1,50|0,25|2,00000000000000E+000");
  TScopedFormatSettings point(PointSettings());
  EXPECT_EQ(Format("%.2f", {1.5}), "1.50");
}

TEST(Format, TextArgumentsMayHoldAnyByte) {
  EXPECT_EQ(Format("[%s]", {AnsiString("a\0b", 3)}), AnsiString("[a\0b]", 5));
  EXPECT_EQ(Format("%s", {static_cast<const char*>(nullptr)}), "");
}

TEST(Format, MissingOrMismatchedArgumentsRaise) {
  try {
    Format("%d %d", {1});
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "No argument for format '%d %d'");
  }
  try {
    Format("%d", {"x"});
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Format '%d' invalid or incompatible with argument");
  }
  EXPECT_THROW(Format("%s", {1}), EConvertError);
  EXPECT_THROW(Format("%d", {1.5}), EConvertError);
  EXPECT_THROW(Format("%f", {"1"}), EConvertError);
  EXPECT_THROW(Format("%q", {1}), EConvertError);
  EXPECT_THROW(Format("abc %", {1}), EConvertError);
  EXPECT_THROW(Format("%5", {1}), EConvertError);
}

TEST(Format, VectorArguments) {
  std::vector<TVarRec> args{1, "two"};
  EXPECT_EQ(Format("%d-%s", args), "1-two");
}
