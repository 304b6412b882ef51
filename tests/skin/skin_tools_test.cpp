// mkskin and skin-dump: the authored main skin is rebuilt byte for byte from
// its manifest, and its records list with their types in chain order.
#include <gtest/gtest.h>

#include <map>

#include "tests/skin/skin_fixtures.h"

using namespace skintest;

namespace {

TEST(SkinTools, TheMainSkinIsRebuiltFromItsManifest) {
  TempFolder dir;
  ASSERT_EQ(Shell(kMkSkin + " " + kMainManifest + " " + (dir / "main.ssk")), 0);
  EXPECT_EQ(FileBytes(dir / "main.ssk"), FileBytes(kMainSkin));
}

TEST(SkinTools, SkinDumpListsTheMainSkinsRecordsAndTypes) {
  const std::string listing = RunShell(kSkinDump + " " + kMainSkin).output;
  std::map<std::string, int> types;
  std::vector<std::string> names;
  size_t start = 0;
  for (size_t end; (end = listing.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = listing.substr(start, end - start);
    const size_t tab = line.find('\t');
    names.push_back(line.substr(0, tab));
    ++types[line.substr(tab + 1, line.find('\t', tab + 1) - tab - 1)];
  }
  ASSERT_EQ(names.size(), 83u);
  EXPECT_EQ(types["bitmap"], 31);
  EXPECT_EQ(types["integer"], 43);
  EXPECT_EQ(types["boolean"], 9);
  EXPECT_EQ(names.front(), "SKIN2_TITLEBAR1");
  EXPECT_NE(listing.find("SKIN2_TITLEBUTTONS\tbitmap\t306 x 17, 24 bits\n"), std::string::npos);
  EXPECT_NE(listing.find("SKIN2_MENUBARSTARTCOLOR\tinteger\t5666096\n"), std::string::npos);
  EXPECT_NE(listing.find("SKIN2_BOTTOMBORDERTHREESECT\tboolean\tTrue\n"), std::string::npos);
}

TEST(SkinTools, TextRecordsAndPasswordsRoundTrip) {
  TempFolder dir;
  const std::string skin = MakeSkin(dir, "t", "NOTE text two words\nN integer -5\n", "pw");
  EXPECT_EQ(RunShell(kSkinDump + " -p pw " + skin).output, "NOTE\ttext\ttwo words\nN\tinteger\t-5\n");
  EXPECT_EQ(Shell(kSkinDump + " " + skin + " 2>/dev/null"), 2);
  EXPECT_EQ(Shell(kSkinDump + " " + (dir / "none.ssk") + " 2>/dev/null"), 1);
  for (const char* bad : {"X number 1\n", "X bitmap\n", "X integer 12abc\n", "X boolean maybe\n"})
    EXPECT_NE(Shell(kMkSkin + " " + dir.Write("bad.manifest", bad) + " " + (dir / "bad.ssk") + " 2>/dev/null"), 0)
        << bad;
}

}  // namespace

namespace {

// Each headless picture of render-form is written and larger than the form's
// client area: the main window's mock-up, the MDI parent with its children
// (client 500 x 300) and the gallery of bars (client 760 x 388).
TEST(SkinTools, RenderFormDrawsItsHeadlessPictures) {
  TempFolder dir;
  const std::string tool = std::string(VX_BINARY_DIR) + "/tools/render-form/render-form";
  struct Case {
    const char* mode;
    uint32_t width, height;  // the picture is wider and higher than these
  };
  for (const Case& c : {Case{"main-window", 599, 466}, Case{"mdi-parent", 500, 300}, Case{"bars", 760, 388}}) {
    SCOPED_TRACE(c.mode);
    const std::string png = dir / (std::string(c.mode) + ".png");
    ASSERT_EQ(Shell("env -u DISPLAY " + tool + " " + c.mode + " " + png), 0);
    const std::string bytes = FileBytes(png);
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    auto be32 = [&](size_t at) {
      return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
             uint32_t(uint8_t(bytes[at + 2])) << 8 | uint8_t(bytes[at + 3]);
    };
    EXPECT_GT(be32(16), c.width);
    EXPECT_GT(be32(20), c.height);
  }
}

}  // namespace
