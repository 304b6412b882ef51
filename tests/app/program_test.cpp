// The backup program as a user runs it, with its windows on the headless
// backend, against the throwaway MariaDB server with the real mysqldump
// beside it: each mode and switch with its exit code, archives and a restore;
// start-up refusals; the ini file as the window's storage writes it (also in
// UTF-8); folders that cannot take the archives (a read-only date folder, a
// full disk: mounted in a private mount namespace of a small tmpfs); a
// one-shot run that cannot start; and SIGTERM mid-dump.
#include "tests/app/program_fixture.h"

namespace {

const std::string kDumps[] = {"_protokol.zal", Utf8("zboží.zal")};

TEST_F(ProgramTest, UTF8IniNamesTheFoldersAndAReadOnlyDateFolderKeepsArchivesAndDumps) {
  work_ = root_ / Utf8("práce");
  zip_ = root_ / Utf8("zálohy");
  fs::create_directories(work_);
  WriteIni(Folders());  // UTF-8: the folder names hold Czech letters
  ASSERT_EQ(Run(""), 0) << err_;
  const fs::path dated = DateFolder(zip_);
  ASSERT_EQ(Names(dated), (std::vector<std::string>{"_protokol.zip", Utf8("zboží.zip")}));
  const std::string archive = FileBytes(dated / Utf8("zboží.zip"));

  // A second run the same day cannot replace the archives.
  EXPECT_EQ(RunMounted("", "mount --bind '" + dated.string() + "' '" + dated.string() + "'\nmount -o remount,bind,ro '" +
                               dated.string() + "'"),
            1)
      << err_;
  // The zipper's reason ends the one protocol line, its line break joined.
  const size_t failed = err_.find(Utf8("ZBOží.ZAL - CHYBA: nezabaleno"));
  ASSERT_NE(failed, std::string::npos) << err_;
  const std::string line = err_.substr(failed, err_.find('\n', failed) - failed);
  EXPECT_TRUE(line.ends_with(")")) << line;
  EXPECT_FALSE(Contains(line, "\r")) << line;
  EXPECT_EQ(FileBytes(dated / Utf8("zboží.zip")), archive);
  EXPECT_EQ(Names(dated).size(), 2u);
  EXPECT_EQ(EmptyFiles(zip_), 0);
  EXPECT_EQ(Names(work_), std::vector<std::string>(std::begin(kDumps), std::end(kDumps)));

  // The next run moves what was left to the trash before it dumps anew.
  EXPECT_EQ(Run(""), 0) << err_;
  EXPECT_EQ(Names(Trash()), std::vector<std::string>(std::begin(kDumps), std::end(kDumps)));
  EXPECT_TRUE(Names(work_).empty());
}

TEST_F(ProgramTest, AFullZipFolderLeavesNoEmptyArchiveAndKeepsTheDumps) {
  WriteIni(Folders());
  fs::create_directories(zip_);
  const std::string zip = "'" + zip_.string() + "'";
  EXPECT_EQ(RunMounted("", "mount -t tmpfs -o size=64k tmpfs " + zip + "\ndd if=/dev/zero of=" + zip +
                               "/fill bs=4096 2>/dev/null || true",
                       "find " + zip + " -type f -size 0 | wc -l >'" + (root_ / "empty").string() + "'"),
            1)
      << err_;
  EXPECT_FALSE(Contains(err_, "Aborted")) << err_;
  EXPECT_EQ(FileBytes(root_ / "empty"), "0\n");
  EXPECT_TRUE(Contains(err_, Utf8("ZBOží.ZAL - CHYBA: nezabaleno"))) << err_;
  EXPECT_TRUE(Contains(err_, Utf8("Záloha databáze skončila s chybami"))) << err_;
  EXPECT_EQ(Names(work_), std::vector<std::string>(std::begin(kDumps), std::end(kDumps)));

  EXPECT_EQ(Run(""), 0) << err_;
  EXPECT_EQ(Names(Trash()), std::vector<std::string>(std::begin(kDumps), std::end(kDumps)));
  EXPECT_EQ(Names(DateFolder(zip_)), (std::vector<std::string>{"_protokol.zip", Utf8("zboží.zip")}));
}

TEST_F(ProgramTest, AOneShotRunWithoutFoldersEndsAtOnce) {
  WriteIni("");  // no [TForm1]
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Run("/A:"), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
  EXPECT_TRUE(Contains(err_, Utf8("Vyberte složky pro zálohování!"))) << err_;
}

// Ticks of tables whose names the plain ini syntax cannot hold, in a UTF-8
// ini file that holds characters Windows-1250 lacks, kept 600 behind a link:
// the one-shot run backs up exactly the ticked tables, and the window's save
// at its end keeps the file, its rights, its link and every tick.
TEST_F(ProgramTest, AOneShotRunBacksUpExactlyTheTickedTablesOfAnAwkwardIni) {
  MariaDbServer::Get().Client(
      "drop database if exists vx_ini; create database vx_ini character set utf8mb4;"
      "create table vx_ini.`[x]` (i int); create table vx_ini.`a=b` (i int); create table vx_ini.`;c` (i int);"
      "create table vx_ini.plain (i int); create table vx_ini.`\"q\"` (i int); insert into vx_ini.`[x]` values (7)");
  const std::string untouched = "[Pozn\xC3\xA1mka \xCE\xA9]\r\n\xE2\x86\x92=\xE6\x97\xA5\r\n";
  fs::create_directories(root_ / "etc");
  WriteIni(Folders() + untouched, "etc/vorbex05.ini", "vx_ini");
  fs::permissions(root_ / "etc/vorbex05.ini", fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(root_ / "etc/vorbex05.ini", root_ / "bin/vorbex05.ini");
  const std::pair<const char*, bool> ticks[] = {
      {"[x]", true}, {"a=b", false}, {";c", true}, {"plain", false}, {"\"q\"", true}};
  TIniFile ini(Utf8ToAnsi((root_ / "bin/vorbex05.ini").string()));
  for (const auto& [table, ticked] : ticks) ini.WriteString("Checked", table, ticked ? "True" : "False");
  ini.WriteString("TForm1", "Vsechny", "False");

  ASSERT_EQ(Run("/A:"), 0) << err_;
  EXPECT_EQ(Names(DateFolder(zip_)), (std::vector<std::string>{"\"q\".zip", ";c.zip", "[x].zip", "_protokol.zip"}));
  EXPECT_TRUE(fs::is_symlink(root_ / "bin/vorbex05.ini"));
  EXPECT_EQ(fs::status(root_ / "etc/vorbex05.ini").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  const std::string after = FileBytes(root_ / "etc/vorbex05.ini");
  EXPECT_TRUE(Contains(after, untouched)) << after;
  for (const auto& [table, ticked] : ticks) EXPECT_EQ(ini.ReadString("Checked", table, ""), ticked ? "True" : "False");
}

// A stand-in for mysqldump that never ends by itself: the real one is too
// quick to be caught mid-dump.
TEST_F(ProgramTest, SigtermDuringADumpStopsTheChildAndSavesTheProtocol) {
  WriteIni(Folders());
  const fs::path dump = root_ / "bin/mysqldump";
  fs::remove(dump);
  WriteFile(dump, "#!/bin/sh\necho $$ >\"$(dirname \"$0\")/dump.pid\"\nexec sleep 60\n");
  fs::permissions(dump, fs::perms::owner_all);
  const fs::path pidFile = root_ / "bin/dump.pid";
  const int rc = Shell(Program("") + " &\np=$!\nfor i in $(seq 100); do [ -s '" + pidFile.string() +
                       "' ] && break; sleep 0.1; done\nkill -TERM $p\nwait $p");
  EXPECT_EQ(rc, 1) << err_;
  const pid_t child = std::atoi(FileBytes(pidFile).c_str());
  ASSERT_GT(child, 0);
  EXPECT_EQ(kill(child, 0), -1);  // stopped and reaped
  EXPECT_EQ(errno, ESRCH);
  const std::string protocol = FileBytes(work_ / "_protokol.zal");
  // The protocol file is Windows-1250, like the literals here.
  EXPECT_TRUE(Contains(protocol, "ZBOží - CHYBA: mysqldump skončil s kódem 143")) << protocol;
  EXPECT_TRUE(Contains(protocol, "CHYBA: záloha přerušena")) << protocol;
  EXPECT_TRUE(Names(work_) == std::vector<std::string>{"_protokol.zal"});
}

// The daily schedule waits in the tray; SIGINT ends it as the tray's menu does.
TEST_F(ProgramTest, SigintEndsTheWaitingSchedule) {
  WriteIni(Folders());
  const auto start = std::chrono::steady_clock::now();
  // A shell's background job starts with SIGINT ignored: the signal is sent
  // once the program catches it, as it would be by a person at a terminal.
  const int rc = Shell(Program("/A:23:59:59") +
                       " &\np=$!\nfor i in $(seq 200); do m=$(sed -n 's/^SigCgt:\\t//p' /proc/$p/status); "
                       "[ $((0x${m:-0} >> 1 & 1)) = 1 ] && break; sleep 0.05; done\nkill -INT $p\nwait $p");
  EXPECT_EQ(rc, 1) << err_;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(Names(DateFolder(zip_)).empty());
}

}  // namespace

namespace {

class ProgramRunsTest;

// One run of the program per case: what is prepared beside it, its switches,
// and what it must leave. Archive paths are relative to the ZIP folder with
// "D" for today's date; each must pass `unzip -t` and restore to the rows named.
struct RunCase {
  const char* name;
  const char* arguments;
  std::function<void(ProgramRunsTest&)> prepare;
  int exitCode;
  std::string complaint;  // on stderr
  std::vector<std::pair<std::string, int>> archives;  // archive, rows its dump restores
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class ProgramRunsTest : public ProgramTest, public ::testing::WithParamInterface<RunCase> {
public:
  using ProgramTest::root_;
  using ProgramTest::work_;
  using ProgramTest::zip_;
  using ProgramTest::WriteIni;
  using ProgramTest::Folders;
  using ProgramTest::Checksum;

  // A dump program that complains and fails.
  void FailingDump() {
    const fs::path dump = root_ / "bin/mysqldump";
    fs::remove(dump);
    WriteFile(dump, "#!/bin/sh\necho 'mysqldump: Got error: 1044: Access denied' >&2\nexit 2\n");
    fs::permissions(dump, fs::perms::owner_all);
  }

protected:
  std::string Expand(const std::string& archive) const {
    std::string path = archive;
    const std::string today = Utf8(FormatDateTime("yyyymmdd", Now()).c_str());
    for (std::size_t at; (at = path.find('D')) != std::string::npos;) path.replace(at, 1, today);
    return (zip_ / path).string();
  }
};

// The rows of every data archive, restored one by one and gathered in one
// table, must equal the table backed up; a protocol archive must hold the
// complaint line.
TEST_P(ProgramRunsTest, LeavesItsArchivesAndExitCode) {
  const RunCase& c = GetParam();
  WriteIni(Folders());
  if (c.prepare) c.prepare(*this);
  EXPECT_EQ(Run(c.arguments), c.exitCode) << err_;
  const std::string programErr = err_;
  EXPECT_TRUE(Contains(programErr, c.complaint)) << programErr;
  const MariaDbServer& server = MariaDbServer::Get();
  server.Client(Utf8("drop database if exists vx_prog_all; create database vx_prog_all character set utf8mb4;"
                     "create table vx_prog_all.zboží like vx_prog.zboží"));
  bool restored = false;
  for (const auto& [archive, rows] : c.archives) {
    const std::string path = Expand(archive);
    ASSERT_TRUE(fs::exists(path)) << path << "\n" << programErr;
    EXPECT_EQ(Shell("unzip -tq '" + path + "' >/dev/null"), 0) << path;
    if (rows < 0) {
      const ShellResult protocol = RunShell("unzip -p '" + path + "'");
      EXPECT_TRUE(Contains(protocol.output, Utf8ToAnsi(c.complaint))) << path;
      continue;
    }
    EXPECT_EQ(Restore(path), rows) << path;
    server.Client(Utf8("insert into vx_prog_all.zboží select * from vx_prog_back.zboží"));
    restored = true;
  }
  if (restored) {
    EXPECT_EQ(Checksum("vx_prog_all"), Checksum("vx_prog"));
  }
}

const RunCase kRunCases[] = {
    {"OneShot", "/A:", nullptr, 0, "", {{Utf8("D/zboží.zip"), 3}, {"D/_protokol.zip", -1}}},
    {"Interactive", "", nullptr, 0, Utf8("Záloha databáze vytvořena!"), {{Utf8("D/zboží.zip"), 3}}},
    // The dated-names layout puts its archives into the ZIP folder as it is.
    {"AllDatabases", "/B:* /A:", nullptr, 0, "", {{Utf8("D/vx_prog/zboží.zip"), 3}}},
    {"NoDumpProgram", "", [](ProgramRunsTest& t) { fs::remove(t.root_ / "bin/mysqldump"); }, 1,
     Utf8("Není soubor mysqldump.exe! Dohraj podle typu SQL!"), {}},
    {"WrongPassword", "/A:",
     [](ProgramRunsTest& t) {
       const MariaDbServer& server = MariaDbServer::Get();
       WriteFile(t.root_ / "bin/vorbex05.ini", "[LogOn]\r\nIP=127.0.0.1\r\nUser=" + server.user +
                                                  "\r\nPassword=nesprávné\r\nSqlport=" + std::to_string(server.port) +
                                                  "\r\nDatabase=vx_prog\r\n" + t.Folders());
     },
     1, Utf8("Chyba připojení k serveru SQL! Program ukončen!"), {}},
    // An error start-up cannot handle is reported under the program's name.
    {"BadRowsSwitch", "/M:abc", nullptr, 1, "vorbex05: 'abc' is not a valid integer value", {}},
    {"FailingDump", "", [](ProgramRunsTest& t) { t.FailingDump(); }, 1,
     Utf8("ZBOží - CHYBA: mysqldump skončil s kódem 2"), {{"D/_protokol.zip", -1}}},
    // Unattended, the failed run still ends the program.
    {"OneShotFailingDump", "/A:", [](ProgramRunsTest& t) { t.FailingDump(); }, 1,
     Utf8("ZBOží - CHYBA: mysqldump skončil s kódem 2"), {{"D/_protokol.zip", -1}}},
};

INSTANTIATE_TEST_SUITE_P(Modes, ProgramRunsTest, ::testing::ValuesIn(kRunCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgramTest, NoZipThenPruningAndTheBatchTransfer) {
  WriteIni(Folders());
  for (const char* old : {"20000101", "20000102", "20000103"}) fs::create_directories(zip_ / old);
  ASSERT_EQ(Run("/Z:NE"), 0) << err_;
  EXPECT_EQ(Names(work_), std::vector<std::string>(std::begin(kDumps), std::end(kDumps)));
  EXPECT_EQ(Names(zip_).size(), 3u);
  EXPECT_EQ(Restore(work_ / Utf8("zboží.zal")), 3);
  EXPECT_EQ(Checksum("vx_prog_back"), Checksum("vx_prog"));

  WriteFile(root_ / "bin/bck_uloz.bat", "echo \"$@\" >\"$(dirname \"$0\")/uloz.txt\"\n");
  WriteFile(root_ / "bin/bck_smaz.bat", "echo \"$@\" >>\"$(dirname \"$0\")/smaz.txt\"\n");
  ASSERT_EQ(Run("/P:2 /BAT"), 0) << err_;
  // One old dated folder stays beside today's; the older ones and the dumps
  // left by the first run went to the trash.
  const std::string today = Utf8(FormatDateTime("yyyymmdd", Now()).c_str());
  EXPECT_EQ(Names(zip_), (std::vector<std::string>{"20000103", today}));
  const std::vector<std::string> trash = Names(Trash());
  for (const char* gone : {"20000101", "20000102", "_protokol.zal"})
    EXPECT_NE(std::find(trash.begin(), trash.end(), gone), trash.end()) << gone;
  EXPECT_EQ(RunShell("unzip -tq '" + (DateFolder(zip_) / Utf8("zboží.zip")).string() + "'").status, 0);
  EXPECT_EQ(Restore(DateFolder(zip_) / Utf8("zboží.zip")), 3);
  EXPECT_EQ(Checksum("vx_prog_back"), Checksum("vx_prog"));
  // The upload batch got the ZIP folder, today's date and its script.
  EXPECT_TRUE(Contains(FileBytes(root_ / "bin/uloz.txt"), zip_.string() + " " + today)) << FileBytes(root_ / "bin/uloz.txt");
  EXPECT_TRUE(fs::exists(root_ / "bin/povel.txt"));
  // The deletion batch: one call a day for the ten days before the kept ones.
  const std::string deletions = FileBytes(root_ / "bin/smaz.txt");
  EXPECT_EQ(std::count(deletions.begin(), deletions.end(), '\n'), 10) << deletions;
}

}  // namespace
