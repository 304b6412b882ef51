// The backup run end to end against the throwaway MariaDB server: a sample
// database with Czech names and data, the real mysqldump (or a recording
// stand-in) beside the program, our zipper, and the archives checked with
// unzip and restored with the mariadb client.
#include "app/run/backup_run.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "app/engine/backup_texts.h"
#include "app/engine/sql_names.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"
#include "tests/app/recording_view.h"
#include "tests/fixtures/mariadb/server.h"
#include "tests/support/file_reader.h"
#include "tests/support/shell_runner.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr const char* kDatabase = "kalmir_run";

// The window with its two folders chosen.
class FolderView : public RecordingView {
public:
  AnsiString work, zip;
  AnsiString WorkFolder() const override { return work; }
  AnsiString ZipFolder() const override { return zip; }
};

// The shell and the file reader for names in Windows-1250.
std::string Shell(const AnsiString& command, int* status = nullptr) {
  ShellResult result = RunShell(AnsiToUtf8(command));
  if (status) *status = result.status;
  return result.output;
}

AnsiString ReadFile(const AnsiString& name) { return FileBytes(AnsiToUtf8(name)); }

void WriteFile(const AnsiString& name, const AnsiString& text, mode_t mode = 0644) {
  std::ofstream(AnsiToUtf8(name), std::ios::binary) << text;
  chmod(AnsiToUtf8(name).c_str(), mode);
}

std::vector<AnsiString> Lines(const AnsiString& text, const char* end = "\r\n") {
  std::vector<AnsiString> lines;
  for (size_t start = 0, stop; start < text.size(); start = stop + std::strlen(end)) {
    stop = text.find(end, start);
    if (stop == AnsiString::npos) stop = text.size();
    lines.push_back(text.substr(start, stop - start));
  }
  return lines;
}

bool EndsWith(const AnsiString& text, const AnsiString& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

AnsiString Today() { return FormatDateTime("yyyymmdd", Now()); }

// The Czech sample: a large table, an empty one, one without "id", one the
// exclusion mask leaves out, and a small one.
const char* const kSample =
    "drop database if exists kalmir_run; create database kalmir_run character set utf8mb4; use kalmir_run;"
    "create table zákazníci (id int primary key, jméno varchar(60), město varchar(30));"
    "insert into zákazníci select seq, concat('Příliš žluťoučký kůň ', seq), 'Čáslav' from seq_1_to_1000;"
    "create table prázdná (id int primary key);"
    "create table bez_id (kód int, název varchar(20)); insert into bez_id values (1,'Řeřicha'),(2,'Šťovík');"
    "create table tmp_dočasná (id int); insert into tmp_dočasná values (1);"
    "create table objednávky (id int primary key, položka varchar(30));"
    "insert into objednávky values (1,'Žehlička'),(2,'Ďábelská omáčka');";

class BackupRunTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    SetVirtualClock(true);  // the zipper's one-second pacing costs no time
    MariaDbServer::Get().Client(AnsiToUtf8(kSample));
  }
  static void TearDownTestSuite() { SetVirtualClock(false); }

  void SetUp() override {
    for (const AnsiString& dir : {BinDir(), view.work = root_ + "/práce", view.zip = root_ + "/zip"})
      ForceDirectories(dir);
    symlink("/usr/bin/mysqldump", AnsiToUtf8(BinDir() + "mysqldump").c_str());
    const MariaDbServer& server = MariaDbServer::Get();
    WriteFile(BinDir() + "vorbex05.ini",
              Format("[LogOn]\r\nIP=127.0.0.1\r\nUser=%s\r\nPassword=%s\r\nSqlport=%d\r\nDatabase=%s\r\n"
                     "[TForm1]\r\nVsechny=True\r\n",
                     {server.user, server.password, server.port, kDatabase}));
    setenv("XDG_DATA_HOME", (root_ + "/data").c_str(), 1);
    view.mask = kDefaultExclusionMask;
  }
  void TearDown() override {
    run_.reset();
    engine_.reset();
  }

  AnsiString BinDir() const { return root_ + "/bin/"; }
  AnsiString DateFolder() const { return view.zip + "/" + Today(); }

  // Start-up and the window's show, then the run's ticks: all tables the
  // mask lets through, or just the named ones.
  TBackupRun& Start(TParamList params, std::vector<AnsiString> ticked = {}) {
    view.messages.clear();
    view.protocol.clear();
    run_.reset();
    engine_ = std::make_unique<TBackupEngine>(view, ProgramFilesOf(BinDir() + "vorbex05"), std::move(params));
    view.engine = engine_.get();
    engine_->FormCreate();
    EXPECT_TRUE(view.messages.empty()) << view.messages[0].text;
    engine_->FormShow();  // "Vsechny" ticks every table; the run then asks the exclusion mask
    if (!ticked.empty()) {
      engine_->dntabulky1Click();
      for (auto& table : view.tables)
        for (const AnsiString& name : ticked) table.second = table.second || table.first == name;
    }
    run_ = std::make_unique<TBackupRun>(*engine_, view);
    return *run_;
  }
  TBackupRun& Run(TParamList params, std::vector<AnsiString> ticked = {}) {
    TBackupRun& run = Start(std::move(params), std::move(ticked));
    run.suiButton2Click();
    return run;
  }

  // A stand-in for mysqldump that records its arguments, one per line, and
  // leaves an empty result file.
  void RecordingDumpProgram() {
    DeleteFile(BinDir() + "mysqldump");
    WriteFile(BinDir() + "mysqldump",
              "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> \"$(dirname \"$0\")/calls.txt\"\n"
              "echo -- >> \"$(dirname \"$0\")/calls.txt\"\n"
              "for a in \"$@\"; do case \"$a\" in --result-file=*) : > \"${a#--result-file=}\";; esac; done\n",
              0755);
  }

  static std::string Checksum(const AnsiString& database, const AnsiString& table) {
    const std::string out = MariaDbServer::Get().Client(AnsiToUtf8("checksum table " + SqlName(table)), AnsiToUtf8(database));
    return out.substr(out.find('\t') + 1);
  }

  // A fresh database (utf8mb4) holding the named tables, each with an "id"
  // key and rows 1..rows[i] (two when no count is given).
  static void MakeDatabase(const AnsiString& database, const std::vector<AnsiString>& tables,
                           const std::vector<int>& rows = {}) {
    AnsiString sql = "set names utf8mb4; drop database if exists " + SqlName(database) + "; create database " +
                     SqlName(database) + " character set utf8mb4; use " + SqlName(database) + ";";
    for (std::size_t i = 0; i < tables.size(); ++i)
      sql += "create table " + SqlName(tables[i]) + " (id int primary key, v varchar(40));insert into " +
             SqlName(tables[i]) + " select seq, concat('" + IntToStr(static_cast<int>(i)) +
             "-', seq) from seq_1_to_" + IntToStr(i < rows.size() ? rows[i] : 2) + ";";
    MariaDbServer::Get().Client(AnsiToUtf8(sql));
  }

  // unzip reads wildcards in an archive's name, so each archive is looked at
  // under a plain name.
  AnsiString Plain(const AnsiString& zip) const {
    const AnsiString plain = root_ + "/one.zip";
    std::filesystem::copy_file(AnsiToUtf8(zip), AnsiToUtf8(plain), std::filesystem::copy_options::overwrite_existing);
    return plain;
  }
  std::size_t Members(const AnsiString& zip) const {
    return Lines(Shell("unzip -Z1 '" + Plain(zip) + "'"), "\n").size();
  }
  // Restores one archive's dump into a database through the mariadb client.
  void Restore(const AnsiString& zip, const AnsiString& database) const {
    int status = -1;
    Shell("unzip -p '" + Plain(zip) + "' | mariadb --no-defaults -uroot --socket='" + MariaDbServer::Get().socket +
              "' '" + database + "'",
          &status);
    EXPECT_EQ(status, 0) << zip;
  }

  static std::vector<AnsiString> Zips(const AnsiString& folder, const AnsiString& filter = "*.zip") {
    std::vector<AnsiString> zips = FindEntries(folder, filter);
    std::sort(zips.begin(), zips.end());
    return zips;
  }

  static bool HasLine(const std::vector<AnsiString>& lines, const AnsiString& part) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const AnsiString& line) { return line.find(part) != AnsiString::npos; });
  }

  FolderView view;
  TempFolder temp_;
  AnsiString root_ = temp_.name();
  std::unique_ptr<TBackupEngine> engine_;
  std::unique_ptr<TBackupRun> run_;
};

TEST_F(BackupRunTest, CommandsOfPagedAndUnpagedDumpsAsTheChildGetsThem) {
  RecordingDumpProgram();
  const MariaDbServer& server = MariaDbServer::Get();
  const AnsiString port = IntToStr(server.port);
  Run({"/M:500", "/Q:", "/Z:NE"}, {"zákazníci", "prázdná"});

  // 1000 rows by 500 give three parts from 0, 500 and 1000; the empty table one.
  std::vector<AnsiString> expected;
  auto call = [&](const AnsiString& table, int part, int offset) {
    for (const AnsiString& arg :
         {AnsiString("--compress"), AnsiString("--quick"), AnsiString("--max-allowed-packet=64M"),
          AnsiString("--extended-insert"), AnsiString("--no-create-info"),
          "--where=1 ORDER BY id limit " + IntToStr(offset) + ",500", AnsiString("--host=127.0.0.1"),
          AnsiString("--user=vx"), AnsiString("--password=vxpass"), "--port=" + port,
          "--result-file=" + view.work + "/" + table + IntToStr(part) + ".zal", AnsiString("--"), AnsiString(kDatabase),
          table})
      if (offset > 0 || arg != "--no-create-info") expected.push_back(AnsiToUtf8(arg));
    expected.push_back("--");
  };
  call("prázdná", 1, 0);  // the server lists the tables by name
  call("zákazníci", 1, 0);
  call("zákazníci", 2, 500);
  call("zákazníci", 3, 1000);
  EXPECT_EQ(Lines(ReadFile(BinDir() + "calls.txt"), "\n"), expected);

  EXPECT_EQ(ReadFile(BinDir() + "backup1.txt"),
            "--compress --quick --max-allowed-packet=64M --extended-insert --where=\"1 ORDER BY id limit 0,500\""
            " --host=127.0.0.1 --user=vx --password=vxpass --port=" +
                port + " --result-file=\"" + view.work + "/zákazníci1.zal\" kalmir_run zákazníci\r\n");
  EXPECT_NE(ReadFile(BinDir() + "backup3.txt").find("limit 1000,500"), AnsiString::npos);
  struct stat info {};
  ASSERT_EQ(stat(AnsiToUtf8(BinDir() + "backup1.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);  // it holds the password

  const auto& p = view.protocol;
  ASSERT_EQ(p.size(), 13u);
  EXPECT_TRUE(EndsWith(p[4], " ZáKAZNíCI")) << p[4];  // a to z alone are upper-cased
  EXPECT_EQ(p[5], "Zálohování...");
  EXPECT_TRUE(EndsWith(p[6], " ZáKAZNíCI1 - hotovo - od 0,500 vět")) << p[6];
  EXPECT_EQ(p[7], " ");
  EXPECT_TRUE(EndsWith(p[10], " ZáKAZNíCI3 - hotovo - od 1000,500 vět")) << p[10];

  // Unpaged: one command file, the whole table.
  Run({}, {"objednávky"});
  EXPECT_EQ(ReadFile(BinDir() + "backup1.txt"),
            "--compress --host=127.0.0.1 --user=vx --password=vxpass --port=" + port + " --result-file=\"" + view.work +
                "/objednávky.zal\" kalmir_run objednávky\r\n");
}

TEST_F(BackupRunTest, RealRunArchivesEveryTickedTableRestorably) {
  TBackupRun& run = Run({});
  EXPECT_EQ(run.FailureCount(), 0);
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, "Záloha databáze vytvořena!");

  // The protocol, in Windows-1250 with CR LF, archived like the dumps.
  const AnsiString protocolText = Shell("unzip -p '" + DateFolder() + "/_protokol.zip'");
  const std::vector<AnsiString> protocol = Lines(protocolText);
  ASSERT_EQ(protocol.size(), 17u);  // four tables, four lines each, and the closing blank
  const AnsiString stamp = DateToStr(Now()) + " ";
  EXPECT_EQ(protocol[12].substr(0, stamp.size()), stamp);
  EXPECT_TRUE(EndsWith(protocol[12], " ZáKAZNíCI")) << protocol[12];
  EXPECT_EQ(protocol[13], "Zálohování...");
  EXPECT_TRUE(EndsWith(protocol[14], " ZáKAZNíCI - hotovo - 1000 vět")) << protocol[14];
  EXPECT_EQ(protocol[15], " ");
  EXPECT_NE(protocolText.find(" PRáZDNá - hotovo - 0 vět"), AnsiString::npos);
  EXPECT_EQ(protocolText.find("TMP_DOčASNá"), AnsiString::npos);  // the mask leaves it out

  MariaDbServer::Get().Client("drop database if exists kalmir_run_back; create database kalmir_run_back");
  for (const char* table : {"zákazníci", "prázdná", "bez_id", "objednávky"}) {
    const AnsiString zip = DateFolder() + "/" + table + ".zip";
    int status = -1;
    Shell("unzip -tq '" + zip + "'", &status);
    EXPECT_EQ(status, 0) << table;
    Shell("unzip -p '" + zip + "' | mariadb --no-defaults -uroot --socket='" + MariaDbServer::Get().socket +
          "' kalmir_run_back");
    EXPECT_EQ(Checksum("kalmir_run_back", table), Checksum(kDatabase, table)) << table;
  }
  EXPECT_FALSE(FileExists(DateFolder() + "/tmp_dočasná.zip"));
  EXPECT_TRUE(FindEntries(view.work, "*.zal").empty());
  MariaDbServer::Get().Client("drop database kalmir_run_back");
}

TEST_F(BackupRunTest, PagedRunReportsTheTableWithoutIdAndArchivesTheOthers) {
  TBackupRun& run = Run({"/M:500"});
  EXPECT_EQ(run.FailureCount(), 1);
  const auto& p = view.protocol;
  auto failed = std::find_if(p.begin(), p.end(), [](const AnsiString& line) {
    return line.find(" BEZ_ID1 - CHYBA: mysqldump skončil s kódem ") != AnsiString::npos;
  });
  ASSERT_NE(failed, p.end());
  ASSERT_NE(failed + 1, p.end());
  EXPECT_NE((failed + 1)->find("id"), AnsiString::npos) << *(failed + 1);  // the child's own complaint

  for (const char* part : {"zákazníci1", "zákazníci2", "zákazníci3", "prázdná1", "objednávky1"}) {
    int status = -1;
    Shell("unzip -tq '" + view.zip + "/" + Today() + "_" + part + ".zip'", &status);
    EXPECT_EQ(status, 0) << part;
  }
  EXPECT_FALSE(FileExists(view.zip + "/" + Today() + "_bez_id1.zip"));
  // This layout has no archive for the protocol: it stays in the work folder.
  EXPECT_EQ(FindEntries(view.work, "*.zal"), std::vector<AnsiString>{view.work + "/_protokol.zal"});
}

// Both runs count a table's rows after its dump, on a new session. A table
// gone by then keeps its archived dump; its line says the count failed, and
// the run does not count it as a failure.
TEST_F(BackupRunTest, ACountThatFailsAfterTheDumpMarksTheLineAndKeepsTheArchive) {
  MariaDbServer::Get().Client("drop table if exists kalmir_run.mizi; create table kalmir_run.mizi (id int primary key)");
  DeleteFile(BinDir() + "mysqldump");
  WriteFile(BinDir() + "mysqldump",
            "#!/bin/sh\nfor a in \"$@\"; do case \"$a\" in --result-file=*) echo '-- dump' > \"${a#--result-file=}\";; "
            "esac; done\nmariadb --no-defaults -uroot --socket='" + MariaDbServer::Get().socket +
                "' -e 'drop table kalmir_run.mizi'\n",
            0755);
  TBackupRun& run = Run({}, {"mizi"});
  EXPECT_EQ(run.FailureCount(), 0);
  EXPECT_TRUE(HasLine(view.protocol, " MIZI - hotovo - ERROR"));
  EXPECT_TRUE(FileExists(DateFolder() + "/mizi.zip"));
}

TEST_F(BackupRunTest, WithoutZippingTheDumpsStay) {
  Run({"/Z:NE"}, {"objednávky"});
  EXPECT_TRUE(FileExists(view.work + "/objednávky.zal"));
  EXPECT_TRUE(FileExists(view.work + "/_protokol.zal"));
  EXPECT_FALSE(DirectoryExists(DateFolder()));
}

// Each new item name waits a second so a person can read it; without a
// display nobody can, and the run does not wait. Of the two archives only
// the table's dump is long enough to report progress, which shows the name.
TEST_F(BackupRunTest, ItemNamePauseOnlyWhenSomeoneCanSeeIt) {
  for (bool seen : {true, false}) {
    SCOPED_TRACE(seen ? "display" : "headless");
    view.labelsSeen = seen;
    const uint64_t start = GetTickCount64();
    EXPECT_EQ(Run({}, {"zákazníci"}).FailureCount(), 0);
    const uint64_t waited = GetTickCount64() - start;
    EXPECT_EQ(Zips(DateFolder()).size(), 2u);
    if (seen) EXPECT_GE(waited, 1000u);
    else EXPECT_LT(waited, 1000u);
  }
}

TEST_F(BackupRunTest, PruningTrashesTheOldestDatedFoldersOnly) {
  for (const char* name : {"20200105", "20200101", "20200103", "20200102", "20200104", "archiv", "0000000x"})
    ForceDirectories(view.zip + "/" + name);
  WriteFile(view.zip + "/20200104/stará.zip", "x");
  Run({"/P:3"}, {"nic takového"});
  for (const char* name : {"20200101", "20200102", "20200103"}) {
    EXPECT_FALSE(DirectoryExists(view.zip + "/" + name)) << name;
    EXPECT_TRUE(DirectoryExists(root_ + "/data/Trash/files/" + name)) << name;
  }
  for (const char* name : {"20200104", "20200105", "archiv", "0000000x"})
    EXPECT_TRUE(DirectoryExists(view.zip + "/" + name)) << name;
  ASSERT_EQ(view.protocol.size(), 6u);
  EXPECT_TRUE(EndsWith(view.protocol[0], UpperCase(view.zip) + "/20200101 - výmaz souborů")) << view.protocol[0];
  EXPECT_EQ(view.protocol[1], " ");
  ASSERT_EQ(view.messages.size(), 1u);  // nothing ticked still ends with the message
  EXPECT_EQ(view.messages[0].text, "Záloha databáze vytvořena!");
}

TEST_F(BackupRunTest, SecondRunOnTheSameDayReplacesTheArchivedDump) {
  const MariaDbServer& server = MariaDbServer::Get();
  Run({}, {"objednávky"});
  server.Client(AnsiToUtf8("insert into objednávky values (3,'Druhý běh')"), kDatabase);
  Run({}, {"objednávky"});
  server.Client(AnsiToUtf8("delete from objednávky where id = 3"), kDatabase);
  const AnsiString zip = DateFolder() + "/objednávky.zip";
  EXPECT_NE(Utf8ToAnsi(Shell("unzip -p '" + zip + "'")).find("Druhý běh"), AnsiString::npos);
  EXPECT_EQ(Lines(Shell("unzip -Z1 '" + zip + "'"), "\n").size(), 1u);  // the member was replaced, not added
}

TEST_F(BackupRunTest, MissingFoldersStopTheRunBeforeAnything) {
  view.work.clear();
  for (bool allDatabases : {false, true}) {
    TBackupRun& run = Start(allDatabases ? TParamList{"/B:*", "/A:"} : TParamList{});
    allDatabases ? run.vsechno() : run.suiButton2Click();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Vyberte složky pro zálohování!");
    EXPECT_EQ(view.messages[0].icon, TMessageIcon::Stop);
    EXPECT_TRUE(view.protocol.empty());
    EXPECT_TRUE(FindEntries(view.zip, "*").empty());
    EXPECT_EQ(view.terminated, allDatabases);  // the one-shot backup has nothing left to wait for
  }
}

TEST_F(BackupRunTest, BatchTransferRunsTheOperatorsCommands) {
  const AnsiString log = BinDir() + "batch.log";
  for (const char* batch : {"bck_uloz.bat", "bck_smaz.bat"})
    WriteFile(BinDir() + batch,
              "printf '%s|' \"$(basename \"$0\")\" \"$@\" >> \"$(dirname \"$0\")/batch.log\"; echo >> \"$(dirname "
              "\"$0\")/batch.log\"\n");
  auto date = [](int back) { return FormatDateTime("yyyymmdd", Date() - back); };
  auto quoted = [](const AnsiString& s) { return "\"" + s + "\""; };

  Run({"/BAT"}, {"nic takového"});
  EXPECT_EQ(ReadFile(log), "bck_uloz.bat|" + view.zip + "|" + Today() + "|" + BinDir() + "bck_ftp.txt|\n");

  DeleteFile(log);
  Run({"/BAT", "/P:2"}, {"nic takového"});
  AnsiString commands = quoted(BinDir() + "bck_uloz.bat") + " " + quoted(view.zip) + " " + quoted(Today()) + " " +
                        quoted(BinDir() + "bck_ftp.txt") + "\r\n";
  AnsiString calls = "bck_uloz.bat|" + view.zip + "|" + Today() + "|" + BinDir() + "bck_ftp.txt|\n";
  for (int back = 3; back <= 12; ++back) {
    commands +=
        quoted(BinDir() + "bck_smaz.bat") + " " + quoted(date(back)) + " " + quoted(BinDir() + "smaz_ftp.txt") + "\r\n";
    calls += "bck_smaz.bat|" + date(back) + "|" + BinDir() + "smaz_ftp.txt|\n";
  }
  EXPECT_EQ(ReadFile(BinDir() + "povel.txt"), commands);
  EXPECT_EQ(Utf8ToAnsi(ReadFile(log)), calls);

  // A batch that fails, or is missing (the shell then fails), is named and
  // makes the run a failure.
  WriteFile(BinDir() + "bck_uloz.bat", "exit 3\n");
  EXPECT_EQ(Run({"/BAT"}, {"nic takového"}).FailureCount(), 1);
  EXPECT_TRUE(HasLine(view.protocol, " BCK_ULOZ.BAT - CHYBA: dávka skončila s kódem 3"));
  DeleteFile(BinDir() + "bck_uloz.bat");
  EXPECT_EQ(Run({"/BAT"}, {"nic takového"}).FailureCount(), 1);
  EXPECT_TRUE(HasLine(view.protocol, " BCK_ULOZ.BAT - CHYBA: dávka skončila s kódem "));
}

TEST_F(BackupRunTest, AllDatabasesGetAFolderEachExceptSkippedOnes) {
  const MariaDbServer& server = MariaDbServer::Get();
  server.Client(
      AnsiToUtf8("drop database if exists vx_all_a; create database vx_all_a character set utf8mb4;"
                 "create table vx_all_a.účty (id int, název varchar(20));"
                 "insert into vx_all_a.účty values (1, 'Úvěr');"
                 "drop database if exists vx_all_b; create database vx_all_b;"
                 "create table vx_all_b.t (id int);"
                 "create database if not exists test; create table if not exists test.t (id int);"));
  ForceDirectories(DateFolder() + "/vx_all_b");  // already backed up today
  TBackupRun& run = Start({"/B:*", "/A:"});
  run.vsechno();
  EXPECT_TRUE(view.terminated);
  int status = -1;
  Shell("unzip -tq '" + DateFolder() + "/vx_all_a/účty.zip'", &status);
  EXPECT_EQ(status, 0);
  const AnsiString protocol = Shell("unzip -p '" + DateFolder() + "/vx_all_a/_protokol.zip'");
  EXPECT_NE(protocol.find(" ***** VX_ALL_A *****\r\n\r\n"), AnsiString::npos);
  EXPECT_NE(protocol.find(" účTY - hotovo - 1 vět\r\n"), AnsiString::npos);
  EXPECT_TRUE(FindEntries(DateFolder() + "/vx_all_b", "*").empty());
  for (const char* skipped : {"mysql", "test", "information_schema"})
    EXPECT_FALSE(DirectoryExists(DateFolder() + "/" + skipped)) << skipped;
  server.Client("drop database vx_all_a; drop database vx_all_b; drop database test");
}

// Names that are keywords, numbers, Windows-1250 letters, wildcards, quotes,
// path and option look-alikes, case twins and the protocol's own name.
const std::vector<AnsiString> kAwkwardTables = {
    "order", "select", "1e5", "tašky", "ceník_žádostí", "µ",        "my table", "a;b",  "a*",   "a\\b",  "-x",
    "--no-data", "Tab", "tab",  "_protokol", "a`b",        "a\"b", "a'b",      "a.b",  "zákazníci", "plain",
};

TEST_F(BackupRunTest, AwkwardNamesAreEachArchivedOnceAndRestoreEqual) {
  const MariaDbServer& server = MariaDbServer::Get();
  // A name with "?" once cut the connection URL short.
  int round = 0;
  for (const AnsiString database : {"my-db", "zálohy", "vx?db"}) {
    SCOPED_TRACE(AnsiToUtf8(database));
    MakeDatabase(database, kAwkwardTables);
    view.zip = root_ + "/zip" + IntToStr(++round);
    TBackupRun& run = Run({"/A:", "/B:" + database});
    EXPECT_EQ(run.FailureCount(), 0);
    EXPECT_TRUE(view.terminated);
    EXPECT_EQ(view.tables.size(), kAwkwardTables.size());
    EXPECT_TRUE(HasLine(view.protocol, " _PROTOKOL - uloženo jako _protokol~2.zal"));

    // One archive per table and the protocol's, each holding one dump.
    const std::vector<AnsiString> zips = Zips(DateFolder());
    EXPECT_EQ(zips.size(), kAwkwardTables.size() + 1);
    server.Client("drop database if exists vx_back; create database vx_back character set utf8mb4");
    for (const AnsiString& zip : zips) {
      EXPECT_EQ(Members(zip), 1u) << zip;
      if (ExtractFileName(zip) != "_protokol.zip") Restore(zip, "vx_back");
    }
    for (const AnsiString& table : kAwkwardTables)
      EXPECT_EQ(Checksum("vx_back", table), Checksum(database, table)) << AnsiToUtf8(table);
    server.Client(AnsiToUtf8("drop database vx_back; drop database " + SqlName(database)));
  }
}

TEST_F(BackupRunTest, ATableWithoutAWindows1250NameIsNamedAsAFailure) {
  MakeDatabase("vx_cyr", {"dobrá"});
  // "данные" in UTF-8: Windows-1250 has no letter of it.
  MariaDbServer::Get().Client("create table vx_cyr.`\xD0\xB4\xD0\xB0\xD0\xBD\xD0\xBD\xD1\x8B\xD0\xB5` (id int)");
  TBackupRun& run = Run({"/B:vx_cyr"});
  EXPECT_EQ(run.FailureCount(), 1);
  EXPECT_TRUE(HasLine(view.protocol, "?????? - CHYBA: tabulka nenalezena"));
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].icon, TMessageIcon::Stop);
  EXPECT_EQ(view.messages[0].text, "Záloha databáze skončila s chybami, viz CHYBA v protokolu!");
  EXPECT_EQ(Zips(DateFolder()), (std::vector<AnsiString>{DateFolder() + "/_protokol.zip", DateFolder() + "/dobrá.zip"}));
  MariaDbServer::Get().Client("drop database vx_cyr");
}

// Table a's part 11 and table a1's part 1 share a name; the later one gets a
// suffix, so no archive replaces another.
TEST_F(BackupRunTest, PagedPartsOfTwinNamesKeepArchivesOfTheirOwn) {
  const MariaDbServer& server = MariaDbServer::Get();
  MakeDatabase("vx_paged", {"a", "a1"}, {12, 2});
  TBackupRun& run = Run({"/M:1", "/B:vx_paged"});
  EXPECT_EQ(run.FailureCount(), 0);
  // 12 rows by 1 give 13 parts, 2 rows give 3.
  const std::vector<AnsiString> zips = Zips(view.zip, Today() + "_*.zip");
  EXPECT_EQ(zips.size(), 16u);
  for (const char* twin : {"a11~2", "a12~2", "a13~2"})
    EXPECT_TRUE(FileExists(view.zip + "/" + Today() + "_" + twin + ".zip")) << twin;
  EXPECT_TRUE(HasLine(view.protocol, " A11 - uloženo jako a11~2.zal"));

  // Only a table's first part makes it: the parts, loaded in order into an
  // empty database, give the tables back.
  server.Client("drop database if exists vx_back; create database vx_back");
  std::vector<AnsiString> order;
  for (int part = 1; part <= 13; ++part) order.push_back("a" + IntToStr(part));
  for (const char* part : {"a11~2", "a12~2", "a13~2"}) order.push_back(part);
  for (const AnsiString& part : order) Restore(view.zip + "/" + Today() + "_" + part + ".zip", "vx_back");
  for (const char* table : {"a", "a1"}) EXPECT_EQ(Checksum("vx_back", table), Checksum("vx_paged", table)) << table;
  server.Client("drop database vx_back; drop database vx_paged");
}

// The server closes the start-up connection while the program waits for the
// backup time; the run checks it and connects again.
TEST_F(BackupRunTest, ScheduledRunReconnectsAfterTheServerClosedTheConnection) {
  const MariaDbServer& server = MariaDbServer::Get();
  MakeDatabase("vx_sched", {"t"});
  const TDateTime start = Date() + EncodeTime(10, 0, 0, 0);
  TDateTime now = start;
  server.Client("set global wait_timeout = 2; set global interactive_timeout = 2");
  TBackupRun& run = Start({"/A:10:00:05", "/B:vx_sched"});
  server.Client("set global wait_timeout = default; set global interactive_timeout = default");
  engine_->SetClock([&] { return now; });
  usleep(3'000'000);  // the server's idle timeout: real time on its side
  engine_->Timer1Timer();
  view.onBackup = [&] { run.suiButton2Click(); };
  engine_->Timer2Timer();  // 10:00:00: not yet
  EXPECT_TRUE(view.protocol.empty());
  now = start + EncodeTime(0, 0, 5, 0);
  engine_->Timer2Timer();
  EXPECT_EQ(run.FailureCount(), 0);
  EXPECT_TRUE(FileExists(DateFolder() + "/t.zip"));
  EXPECT_TRUE(HasLine(view.protocol, " T - hotovo - 2 vět"));
  server.Client("drop database vx_sched");
}

}  // namespace
