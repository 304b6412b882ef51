// The operator's table choices and their storage, the exclusion mask and its
// dialog, and the help text.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/engine/backup_texts.h"
#include "platform/rtl/ini_files.h"
#include "tests/app/engine_fixture.h"
#include "tests/support/file_reader.h"

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

// The window's save of the ticks over ini files as users keep them: the file
// comes back in its own encoding and line ends with its other lines as they
// were, still 600, still behind its link, and every tick reads back, also of
// tables whose names the plain ini syntax cannot hold.
TEST_F(TableChoicesTest, TheWindowsSaveKeepsTheFileAndEveryAwkwardTick) {
  namespace fs = std::filesystem;
  const std::string cp1250 = "[TForm1]\r\nsuiedit2_Text=/data/\xDA\x9Eina\r\nVsechny=False\r\n";  // "Úžina"
  const std::string utf8 =
      "[Pozn\xC3\xA1mka \xCE\xA9]\n\xE2\x86\x92=\xE6\x97\xA5\n[TForm1]\nsuiedit2_Text=/data/\xC3\x9A\xC5\xBEina\n"
      "Vsechny=False\n";
  std::string utf8Crlf;
  for (char c : utf8) utf8Crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const struct {
    const char* what;
    std::string file;
    bool link;
    const char* uzinaTick;  // in the file's encoding
  } cases[] = {
      {"Windows-1250 whose bytes are also UTF-8, CR LF", cp1250, false, "\xDA\x9Eina=False"},
      {"UTF-8 without BOM, LF", utf8, false, "\xC3\x9A\xC5\xBEina=False"},
      {"UTF-8 with BOM, CR LF, behind a link", "\xEF\xBB\xBF" + utf8Crlf, true, "\xC3\x9A\xC5\xBEina=False"},
  };
  const std::vector<std::pair<AnsiString, bool>> ticks = {
      {"[x]", true}, {"a=b", false}, {";c", true}, {"\"q\"", false}, {"plain", true}, {"\xDA\x9Eina", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const fs::path ini = ProgramIni(), target = c.link ? fs::path(ProgramIni() + ".real") : ini;
    fs::remove(ini);
    if (c.link) fs::create_symlink(target.filename(), ini);
    WriteFile(target.string(), c.file);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);

    SetTables(ticks);
    Engine().suiButton1Click();
    const std::string saved = FileBytes(target);
    EXPECT_EQ(saved.substr(0, c.file.size()), c.file);
    const std::string added = saved.substr(std::min(saved.size(), c.file.size()));
    EXPECT_EQ(added.find('\r') != std::string::npos, c.file.find('\r') != std::string::npos) << added;
    EXPECT_NE(added.find(c.uzinaTick), std::string::npos) << added;
    EXPECT_EQ(fs::is_symlink(ini), c.link);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    std::vector<std::pair<AnsiString, bool>> flipped = ticks;
    for (auto& tick : flipped) tick.second = !tick.second;
    SetTables(flipped);
    TBackupEngine& engine = Engine();
    engine.FormShow();
    EXPECT_EQ(view.tables, ticks);
    EXPECT_EQ(engine.Settings().ReadString("suiedit2_Text", ""), "/data/\xDA\x9Eina");
  }
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
