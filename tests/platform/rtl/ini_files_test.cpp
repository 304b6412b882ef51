#include "platform/rtl/ini_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/rtl/lists.h"
#include "tests/support/file_reader.h"
#include "tests/support/temp_folder.h"

namespace {

class IniFile : public ::testing::Test {
protected:
  std::string Read() { return FileBytes(name); }
  void Write(const std::string& text) { std::ofstream(name, std::ios::binary) << text; }

  TempFolder tmp;
  std::string name = tmp.name() + "/vorbex05.ini";
  TIniFile ini{name};
};

}  // namespace

TEST_F(IniFile, WritesGiveByteExactFilesInFirstWriteOrder) {
  ini.WriteString("LogOn", "IP", "1.2.3.4");
  ini.WriteString("Checked", "tabulka", "True");
  ini.WriteString("logon", "User", "root");        // section found without regard to case
  ini.WriteString("LOGON", "ip", "10.0.0.1");      // replaced in place, key spelling kept
  ini.WriteInteger("LogOn", "Sqlport", 3306);
  ini.WriteBool("Checked", "jiná", false);
  EXPECT_EQ(Read(),
            "[LogOn]\r\nIP=10.0.0.1\r\nUser=root\r\nSqlport=3306\r\n"
            "[Checked]\r\ntabulka=True\r\njiná=0\r\n");
}

TEST_F(IniFile, ReadingTrimsBlanksAndDropsOnePairOfQuotes) {
  Write("[S]\nplain=abc\nquoted=\"abc\"\nsingle='x'\ndoubled=\"\"abc\"\"\nmixed=\"abc'\n"
        "blanks =  spaced out  \none=\"\nempty=\n");
  struct {
    const char* key;
    const char* value;
  } cases[] = {{"plain", "abc"},      {"quoted", "abc"},           {"single", "x"},
               {"doubled", "\"abc\""}, {"mixed", "\"abc'"},         {"BLANKS", "spaced out"},
               {"one", "\""},          {"empty", ""}};
  for (const auto& c : cases) EXPECT_EQ(ini.ReadString("s", c.key, "default"), c.value) << c.key;
}

TEST_F(IniFile, MissingKeysSectionsAndFilesGiveTheDefault) {
  EXPECT_EQ(ini.ReadString("LogOn", "IP", "127.0.0.1"), "127.0.0.1");  // no file at all
  Write("[LogOn]\r\nSqlport=0x1F\r\nbad=12abc\r\nflag=1\r\n[Other]\r\nIP=x\r\n");
  EXPECT_EQ(ini.ReadString("LogOn", "IP", "dflt"), "dflt");  // key of another section
  EXPECT_EQ(ini.ReadString("Nowhere", "IP", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadInteger("LogOn", "Sqlport", 3306), 31);
  EXPECT_EQ(ini.ReadInteger("LogOn", "bad", 3306), 3306);
  EXPECT_EQ(ini.ReadInteger("LogOn", "missing", -5), -5);
  EXPECT_TRUE(ini.ReadBool("LogOn", "flag", false));
  EXPECT_TRUE(ini.ReadBool("LogOn", "missing", true));
}

TEST_F(IniFile, EditsKeepTheRestOfAHandWrittenFile) {
  Write("; settings\n[A]\nk1=v1\n\n[B]\nx=1\n");
  ini.WriteString("A", "k2", "v2");  // after the last key, before the blank line
  ini.WriteString("C", "y", "2");
  EXPECT_EQ(Read(), "; settings\n[A]\nk1=v1\nk2=v2\n\n[B]\nx=1\n[C]\ny=2\n");  // LF kept
  ini.DeleteKey("a", "K1");
  ini.EraseSection("b");
  EXPECT_EQ(Read(), "; settings\n[A]\nk2=v2\n\n[C]\ny=2\n");
}

TEST_F(IniFile, SectionListsAndExistence) {
  Write("[A]\nk1=v1\nk2=\"v2\"\n[Empty]\n[B]\nx=1\n");
  TStringList list;
  list.Add("stale");
  ini.ReadSection("a", list);
  EXPECT_EQ(list.Text(), "k1\r\nk2\r\n");
  ini.ReadSections(list);
  EXPECT_EQ(list.Text(), "A\r\nEmpty\r\nB\r\n");
  ini.ReadSectionValues("A", list);
  EXPECT_EQ(list.Text(), "k1=v1\r\nk2=v2\r\n");
  EXPECT_TRUE(ini.SectionExists("b"));
  EXPECT_FALSE(ini.SectionExists("Empty"));  // a section without keys does not count
  EXPECT_TRUE(ini.ValueExists("A", "K2"));
  EXPECT_FALSE(ini.ValueExists("B", "k1"));
}

TEST_F(IniFile, AFileThatCannotBeWrittenRaises) {
  TIniFile nowhere(tmp.name() + "/missing/folder/x.ini");
  EXPECT_THROW(nowhere.WriteString("S", "k", "v"), EIniFileException);
}

// "Zálohy" as UTF-8 bytes, and as Windows-1250 bytes (the literal below).
TEST_F(IniFile, TheEncodingIsGuessedAndAWriteKeepsIt) {
  const std::string utf8 = "Z\xC3\xA1lohy";
  const struct {
    std::string file;
    const char* expected;
  } cases[] = {
      {"[S]\r\nk=" + utf8 + "\r\n", "Zálohy"},                    // multi-byte sequences
      {"\xEF\xBB\xBF[S]\r\nk=plain\r\n", "plain"},                // a BOM alone, the first section still found
      {"[S]\r\nk=Z\xE1lohy\r\n", "Zálohy"},                      // Windows-1250 stays as it was
      {"[S]\r\nk=" + utf8 + " \xE1\r\n", "Z\xC3\xA1lohy \xE1"},  // not valid UTF-8: read byte for byte
      // Windows-1250 "Úžina" is also valid UTF-8 (an Arabic letter before "ina")
      {"[S]\nk=/data/\xDA\x9Eina\n", "/data/Úžina"},
      {"[S]\nk=\xC2\x80\n", "\xC2\x80"},                         // a C1 control: Windows-1250 "Â€"
      {"[S]\nk=\xCE\xA9 \xD0\x96\xD0\xB8\n", "? ??"},             // Greek and Cyrillic words: UTF-8
  };
  for (const auto& c : cases) {
    Write(c.file);
    EXPECT_EQ(ini.ReadString("S", "k", ""), c.expected) << c.file;
  }

  // A write keeps the encoding, the line ends and what Windows-1250 cannot hold.
  const struct {
    std::string file, written;
  } writes[] = {
      {"[S]\r\nk=" + utf8 + "\r\n", "[S]\r\nk=" + utf8 + "\r\nother=\xC5\xBE\r\n"},
      {"\xEF\xBB\xBF[S]\nk=\xE2\x86\x92\n[\xCE\xA9]\n\xCE\xA9=1\n",
       "\xEF\xBB\xBF[S]\nk=\xE2\x86\x92\nother=\xC5\xBE\n[\xCE\xA9]\n\xCE\xA9=1\n"},
      {"[S]\nk=/\xDA\x9Eina\n", "[S]\nk=/\xDA\x9Eina\nother=\x9E\n"},
  };
  for (const auto& w : writes) {
    Write(w.file);
    ini.WriteString("S", "other", "\x9E");  // "ž"
    EXPECT_EQ(Read(), w.written);
  }
  // A name with a character Windows-1250 lacks matches nothing, not a "?".
  Write("[S]\n\xCE\xA9=1\n");
  ini.WriteString("S", "?", "2");
  EXPECT_EQ(Read(), "[S]\n\xCE\xA9=1\n?=2\n");
  EXPECT_EQ(ini.SectionKeys("S"), std::vector<AnsiString>{"?"});
}

TEST_F(IniFile, NamesAndValuesThePlainSyntaxCannotHoldReadBackAsWritten) {
  Write("[Checked]\r\nplain=True\r\n");
  const char* names[] = {"[x]", "a=b", ";c", "\"q\"", " blank ", "line\nbreak", "back\\slash\"", "plain"};
  for (const char* name : names) ini.WriteString("Checked", name, name + AnsiString("!"));
  ini.WriteString("Checked", "folder", "C:\\a\r\nb \"q\"");
  ini.WriteString("Checked", "quoted", "\"x\"");  // one pair of quotes dropped, as always
  for (const char* name : names) EXPECT_EQ(ini.ReadString("checked", name, "<missing>"), name + AnsiString("!"));
  EXPECT_EQ(ini.ReadString("Checked", "folder", ""), "C:\\a\r\nb \"q\"");
  EXPECT_EQ(ini.ReadString("Checked", "quoted", ""), "x");
  EXPECT_EQ(ini.SectionNames(), std::vector<AnsiString>{"Checked"});
  EXPECT_EQ(ini.SectionKeys("Checked").size(), std::size(names) + 2);
  EXPECT_NE(Read().find("\r\nplain=plain!\r\n\"[x]\"=\"[x]!\"\r\n"), std::string::npos) << Read();
}

TEST_F(IniFile, AWriteKeepsThePermissionBitsAndFollowsASymbolicLink) {
  namespace fs = std::filesystem;
  const fs::path real = tmp.path() / "real" / "settings.ini";
  fs::create_directories(real.parent_path());
  std::ofstream(real) << "[LogOn]\nPassword=tajne\n";
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("real/settings.ini", name);
  ini.WriteString("LogOn", "User", "root");
  EXPECT_TRUE(fs::is_symlink(name));
  EXPECT_EQ(FileBytes(real), "[LogOn]\nPassword=tajne\nUser=root\n");
  EXPECT_EQ(fs::status(real).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(std::distance(fs::directory_iterator(real.parent_path()), fs::directory_iterator()), 1);

  // A link to a file that is not there yet makes the file.
  fs::remove(real);
  ini.WriteString("LogOn", "IP", "1.2.3.4");
  EXPECT_TRUE(fs::is_symlink(name));
  EXPECT_EQ(FileBytes(real), "[LogOn]\r\nIP=1.2.3.4\r\n");
}
