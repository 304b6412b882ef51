// The operator's table choices and their storage, the exclusion mask and its
// dialog, and the help text.
#include <gtest/gtest.h>

#include "app/engine/backup_texts.h"
#include "platform/rtl/ini_files.h"
#include "tests/app/engine_fixture.h"

namespace {

class TableChoicesTest : public EngineFixture {
protected:
  void SetTables(std::vector<std::pair<AnsiString, bool>> tables) { view.tables = std::move(tables); }
  AnsiString Stored(const char* section, const AnsiString& key) const {
    return TIniFile(ProgramIni()).ReadString(section, key, "<missing>");
  }
};

TEST_F(TableChoicesTest, ExclusionMaskDecidesByAnyMatchingPiece) {
  struct {
    const char* mask;
    const char* table;
    bool included;
  } cases[] = {
      {"tmp_*", "TMP_LOG", false},     {"tmp_*", "tmp_x", false},        {"tmp_*", "tmp", true},
      {"c??_*", "CEN_2020", false},    {"c??_*", "CE_2020", true},       {";;", "tmp_x", true},
      {"", "anything", true},          {kDefaultExclusionMask, "_x", false},
      {kDefaultExclusionMask, "r12_a", false}, {kDefaultExclusionMask, "orders", true},
      {"a*;;b*;", "B1", false},        {"a*;;b*;", "c1", true},
  };
  TBackupEngine& engine = Engine();
  for (const auto& c : cases) {
    view.mask = c.mask;
    EXPECT_EQ(engine.Kontrola_vylouceni(c.table), c.included) << c.mask << " / " << c.table;
  }
}

TEST_F(TableChoicesTest, TicksRoundTripThroughTheCheckedSection) {
  SetTables({{"a", true}, {"b", false}, {"c", true}});
  Engine().suiButton1Click();
  EXPECT_TRUE(view.closed);
  EXPECT_EQ(Stored("Checked", "a"), "True");
  EXPECT_EQ(Stored("Checked", "b"), "False");
  EXPECT_EQ(Stored("Checked", "c"), "True");

  // Next program start: "Vsechny" is False, so the stored ticks come back and
  // a table that is new since then starts unticked.
  TIniFile(ProgramIni()).WriteString("TForm1", "Vsechny", "False");
  SetTables({{"a", false}, {"b", true}, {"c", false}, {"d", true}});
  Engine().FormShow();
  EXPECT_EQ(view.Ticks(), (std::vector<bool>{true, false, true, false}));
}

TEST_F(TableChoicesTest, AllTablesFlagFollowsTheOperator) {
  TBackupEngine& engine = Engine();
  engine.FormShow();  // first start: nothing stored
  EXPECT_EQ(Stored("TForm1", "Vsechny"), "<missing>");
  engine.vechnytabulky1Click();  // empty list: nothing stored
  EXPECT_EQ(Stored("TForm1", "Vsechny"), "<missing>");

  SetTables({{"a", false}, {"b", false}});
  engine.FormShow();
  EXPECT_EQ(view.Ticks(), (std::vector<bool>{true, true}));
  engine.dntabulky1Click();
  EXPECT_EQ(view.Ticks(), (std::vector<bool>{false, false}));
  EXPECT_EQ(Stored("TForm1", "Vsechny"), "False");

  view.tables[0].second = true;
  engine.suiCheckListBox1ClickCheck();
  EXPECT_EQ(Stored("TForm1", "Vsechny"), "False");
  view.tables[1].second = true;
  engine.suiCheckListBox1ClickCheck();
  EXPECT_EQ(Stored("TForm1", "Vsechny"), "True");
}

TEST_F(TableChoicesTest, MaskDialogKeepsThePreviousMaskWhenCancelled) {
  struct {
    const char* before;
    bool ok;
    const char* typed;
    const char* after;
  } cases[] = {
      {"", false, "", ""},
      {"", true, "", kDefaultExclusionMask},
      {"x*", false, "y*", "x*"},
      {"x*", true, "y*", "y*"},
  };
  TBackupEngine& engine = Engine();
  for (const auto& c : cases) {
    view.mask = c.before;
    view.maskDialogAnswer = c.ok;
    view.maskTypedInDialog = c.typed;
    engine.Maskaproignorovat1Click();
    EXPECT_EQ(view.mask, c.after) << c.before << " " << c.ok << " " << c.typed;
  }
}

TEST_F(TableChoicesTest, HelpReplacesTheProtocolAndTogglesHints) {
  TBackupEngine& engine = Engine();
  view.protocol = {"old protocol"};
  engine.suiForm1TitleBarHelpBtnClick();
  engine.suiForm1TitleBarHelpBtnClick();
  EXPECT_EQ(view.hintToggles, 2);
  ASSERT_EQ(view.protocol.size(), 13u);
  // Windows-1250 bytes of the Czech lines and the exact indentation.
  EXPECT_EQ(view.protocol[0], "Parametry p\xF8i spu\x9At\xECn\xED:");
  EXPECT_EQ(view.protocol[1], "");
  EXPECT_EQ(view.protocol[2], "/a:   - samotn\xE9, spust\xED,");
  EXPECT_EQ(view.protocol[6], "    usad\xED do systemli\x9Aty,");
  EXPECT_EQ(view.protocol[11], "    P\xC1. P\xF8i neuveden\xED param.");
  EXPECT_EQ(view.protocol[12], "    /d prov\xE1\x64\xED ka\x9E\x64\xFD den");
}

TEST_F(TableChoicesTest, QuotedValuesSurviveTheIniFile) {
  TBackupEngine& engine = Engine();
  for (const char* value : {"\"quoted\"", "'single'", "plain"}) {
    engine.Settings().WriteString("Key", value);
    EXPECT_EQ(engine.Settings().ReadString("Key", ""), value);
  }
}

}  // namespace
