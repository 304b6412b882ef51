// The program where backups really live, run as a user runs it: work and ZIP
// folders on small file systems of their own (tmpfs in a private mount
// namespace) and their trashes, two instances on the same folders, a server
// that stops answering (a private server stopped with SIGSTOP), paged dumps
// and the all-databases mode restored into empty databases and compared by
// CHECKSUM TABLE, and a protocol archive that holds every failure.
#include <signal.h>

#include <chrono>
#include <map>
#include <set>
#include <sstream>

#include "tests/app/program_fixture.h"

namespace {

const MariaDbServer& Server() { return MariaDbServer::Get(); }

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class HoldsTest : public ProgramTest {
protected:
  static void SetUpTestSuite() {
    Server().Client(
        Utf8("set names utf8mb4; drop database if exists vx_hold; create database vx_hold character set "
             "utf8mb4; create table vx_hold.zboží (id int primary key, název varchar(20));"
             "insert into vx_hold.zboží values (1, 'Šroub'), (2, 'Matice'), (3, 'Podložka')"));
  }
  static void TearDownTestSuite() { Server().Client("drop database vx_hold; drop database if exists vx_hold_back"); }

  void SetUp() override {
    ProgramTest::SetUp();
    WriteIni(Folders(), "bin/vorbex05.ini", "vx_hold");
  }

  // A stand-in for mysqldump: a shell script with this body.
  void StandInDump(const std::string& body) {
    const fs::path dump = root_ / "bin/mysqldump";
    fs::remove(dump);
    WriteFile(dump, "#!/bin/sh\n" + body + "\n");
    fs::permissions(dump, fs::perms::owner_all);
  }
  // Waits for the stand-in's "started" file, then runs more.
  std::string AfterDumpStarted(const std::string& more) const {
    return "for i in $(seq 300); do [ -e " + Quoted(root_ / "bin/started") + " ] && break; sleep 0.05; done\n" + more;
  }

  // Loads the archives in the order given into a new empty database, each
  // first through unzip -t.
  void LoadInOrder(const std::vector<fs::path>& zips, const std::string& database,
                   const std::string& socket = Server().socket) {
    RunShell("mariadb --no-defaults -uroot --socket='" + socket + "' -e 'drop database if exists `" + database +
             "`; create database `" + database + "` character set utf8mb4'");
    for (const fs::path& zip : zips) {
      const fs::path plain = root_ / "one.zip";  // unzip reads wildcards in names
      ASSERT_TRUE(fs::exists(zip)) << zip;
      fs::copy_file(zip, plain, fs::copy_options::overwrite_existing);
      EXPECT_EQ(RunShell("unzip -tq " + Quoted(plain) + " >/dev/null").status, 0) << zip;
      EXPECT_EQ(RunShell("unzip -p " + Quoted(plain) + " | mariadb --no-defaults -uroot --socket='" + socket + "' '" +
                         database + "'")
                    .status,
                0)
          << zip;
    }
  }
  static std::string TableChecksum(const std::string& database, const std::string& table) {
    const std::string line = Server().Client("checksum table `" + database + "`.`" + table + "`");
    return line.substr(line.find('\t') + 1);
  }
  // The part archives of a paged table, in part order, restore equal.
  void ExpectPartsRestoreEqual(const std::string& database, const std::string& table, int parts) {
    std::vector<fs::path> zips;
    for (int n = 1; n <= parts; ++n)
      zips.push_back(zip_ /
                     (Utf8(FormatDateTime("yyyymmdd", Now()).c_str()) + "_" + table + std::to_string(n) + ".zip"));
    LoadInOrder(zips, "vx_hold_back");
    EXPECT_EQ(TableChecksum("vx_hold_back", table), TableChecksum(database, table)) << table;
  }
  // Lines of the protocol archive in a date folder.
  std::string PackedProtocol(const fs::path& dateFolder) const {
    return RunShell("unzip -p " + Quoted(dateFolder / "_protokol.zip")).output;
  }

  std::string Today() const { return Utf8(FormatDateTime("yyyymmdd", Now()).c_str()); }
};

// Both folders on a tmpfs of their own: the old dump and the pruned folder go
// to the trash of their file system with their info files; then, with those
// trashes read-only, the run names what stays, exits 1, and archives only
// the table it dumped.
TEST_F(HoldsTest, OldDumpsAndPrunedFoldersGoToTheTrashOfTheirOwnFileSystem) {
  fs::create_directories(zip_);
  const std::string work = Quoted(work_), zip = Quoted(zip_);
  const std::string disks = "mount -t tmpfs -o size=4m tmpfs " + work + "\nmount -t tmpfs -o size=4m tmpfs " + zip +
                            "\necho old >" + work + "/stara.zal\nmkdir " + zip + "/20000101 " + zip + "/20000102\n";
  auto copyOut = [&](const std::string& to) {
    return "cp -a " + work + " " + Quoted(root_ / (to + "_work")) + "\ncp -a " + zip + " " +
           Quoted(root_ / (to + "_zip"));
  };
  ASSERT_EQ(RunMounted("/P:2", disks, copyOut("first")), 0) << err_;
  for (const auto& [disk, item] :
       {std::pair<std::string, std::string>{"first_work", "stara.zal"}, {"first_zip", "20000101"}}) {
    const fs::path trash = root_ / disk / ".Trash-0";
    EXPECT_TRUE(fs::exists(trash / "files" / item)) << disk;
    const std::string info = FileBytes(trash / "info" / (item + ".trashinfo"));
    EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + item + "\nDeletionDate=", 0), 0u) << info;
  }
  EXPECT_FALSE(fs::exists(root_ / "data/Trash"));  // the home trash is on another file system
  EXPECT_TRUE(Contains(out_, "/20000101 - " + Utf8("výmaz souborů"))) << out_;
  EXPECT_EQ(Names(root_ / "first_zip" / Today()), (std::vector<std::string>{"_protokol.zip", Utf8("zboží.zip")}));
  LoadInOrder({root_ / "first_zip" / Today() / Utf8("zboží.zip")}, "vx_hold_back");
  EXPECT_EQ(TableChecksum("vx_hold_back", Utf8("zboží")), TableChecksum("vx_hold", Utf8("zboží")));

  // Read-only trashes: root passes permission bits, not a read-only mount.
  std::string readOnly;
  for (const std::string& folder : {work, zip})
    readOnly += "mkdir " + folder + "/.Trash-0\nmount --bind " + folder + "/.Trash-0 " + folder +
                "/.Trash-0\nmount -o remount,bind,ro " + folder + "/.Trash-0\n";
  EXPECT_EQ(RunMounted("/P:2", disks + readOnly, copyOut("second")), 1) << err_;
  EXPECT_TRUE(Contains(err_, "STARA.ZAL - CHYBA: " + Utf8("starý soubor nelze přesunout do koše"))) << err_;
  EXPECT_TRUE(Contains(err_, "/20000101 - CHYBA: " + Utf8("nelze přesunout do koše"))) << err_;
  EXPECT_FALSE(Contains(out_, "/20000101 - " + Utf8("výmaz"))) << out_;
  EXPECT_EQ(FileBytes(root_ / "second_work/stara.zal"), "old\n");
  EXPECT_TRUE(fs::is_directory(root_ / "second_zip/20000101"));
  const fs::path dated = root_ / "second_zip" / Today();
  EXPECT_EQ(Names(dated), (std::vector<std::string>{"_protokol.zip", Utf8("zboží.zip")}));
  EXPECT_TRUE(Contains(PackedProtocol(dated), "STARA.ZAL - CHYBA"));
}

// The first run's dump writes half, waits until a second run started
// meanwhile on the same folders has ended (it touches nothing and names the
// first), then finishes.
TEST_F(HoldsTest, ASecondInstanceNamesTheRunThatHoldsTheFolders) {
  StandInDump(
      "echo $$ >\"$(dirname \"$0\")/dump.pid\"\n"
      "for a; do case \"$a\" in --result-file=*) out=\"${a#--result-file=}\";; esac; done\n"
      "/usr/bin/mysqldump \"$@\" || exit $?\nmv \"$out\" \"$out.full\"\n"
      "head -c $(($(wc -c <\"$out.full\") / 2)) \"$out.full\" >\"$out\"\n"
      "touch \"$(dirname \"$0\")/started\"\n"
      "for i in $(seq 600); do [ -e \"$(dirname \"$0\")/../rc2\" ] && break; sleep 0.1; done\n"
      "mv \"$out.full\" \"$out\"");
  const std::string program = Quoted(root_ / "bin/vorbex05");
  const int rc = Shell(program + " >" + Quoted(root_ / "out") + " 2>" + Quoted(root_ / "err") +
                       " &\nfirst=$!\necho $first >" + Quoted(root_ / "first.pid") + "\n" +
                       AfterDumpStarted(program + " /A: >" + Quoted(root_ / "out2") + " 2>" + Quoted(root_ / "err2") +
                                        "\necho $? >" + Quoted(root_ / "rc2") + "\nwait $first"));
  EXPECT_EQ(rc, 0) << err_;
  const std::string second = FileBytes(root_ / "err2");
  EXPECT_EQ(FileBytes(root_ / "rc2"), "1\n") << second;
  const std::string firstPid = FileBytes(root_ / "first.pid");
  EXPECT_TRUE(Contains(second, Utf8("CHYBA: složku právě zálohuje jiný běh programu (pid ") +
                                   firstPid.substr(0, firstPid.size() - 1) + ": " + (root_ / "bin/vorbex05").string()))
      << second;
  EXPECT_EQ(Names(DateFolder(zip_)), (std::vector<std::string>{"_protokol.zip", Utf8("zboží.zip")}));
  EXPECT_TRUE(Names(work_).empty());
  LoadInOrder({DateFolder(zip_) / Utf8("zboží.zip")}, "vx_hold_back");
  EXPECT_EQ(TableChecksum("vx_hold_back", Utf8("zboží")), TableChecksum("vx_hold", Utf8("zboží")));

  // A run killed mid-dump leaves no lock behind: the next one backs up.
  fs::remove(root_ / "bin/started");
  fs::remove(root_ / "rc2");
  EXPECT_EQ(Shell(program + " >/dev/null 2>&1 &\np=$!\n" +
                  AfterDumpStarted("kill -9 $p $(cat " + Quoted(root_ / "bin/dump.pid") +
                                   ")\nwait $p\nln -sf /usr/bin/mysqldump " + Quoted(root_ / "bin/mysqldump") + "\n" +
                                   Program(""))),
            0)
      << err_;
  EXPECT_FALSE(Contains(err_, Utf8("jiný běh"))) << err_;
}

// The shared server, stopped with SIGSTOP: this test program runs alone
// (RUN_SERIAL), so no other test waits on it meanwhile. The connect time
// limit (10 s) is what the stopped server costs the first run.
TEST_F(HoldsTest, AServerThatStopsAnsweringEndsInANamedFailureAndSigtermEndsTheWait) {
  const std::string pid = FileBytes(fs::path(Server().dir) / "pid");
  ASSERT_FALSE(pid.empty());
  struct Resume {
    std::string pid;
    ~Resume() { RunShell("kill -CONT " + pid); }
  } resume{pid};
  // The dump itself needs no server: the run's own calls meet the stopped one.
  StandInDump(
      "for a; do case \"$a\" in --result-file=*) out=\"${a#--result-file=}\";; esac; done\n"
      "touch \"$(dirname \"$0\")/started\"\nsleep 1\necho '-- stand-in' >\"$out\"");
  const std::string stopServer = "kill -STOP " + pid;

  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Shell(Program("/A:") + " &\np=$!\n" + AfterDumpStarted(stopServer + "\nwait $p")), 1) << err_;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  EXPECT_TRUE(Contains(err_, Utf8("ZBOží - CHYBA: "))) << err_;

  fs::remove(root_ / "bin/started");
  RunShell("kill -CONT " + pid);
  const fs::path ms = root_ / "ms";
  EXPECT_EQ(
      Shell(Program("/A:") + " &\np=$!\n" +
            AfterDumpStarted(
                stopServer +
                "\nsleep 2\nkill -TERM $p\ns=$(date +%s%N)\nwait $p\nrc=$?\necho $((($(date +%s%N) - s) / 1000000)) >" +
                Quoted(ms) + "\nexit $rc")),
      1)
      << err_;
  EXPECT_LT(std::atoi(FileBytes(ms).c_str()), 5000);
  EXPECT_TRUE(Contains(FileBytes(work_ / "_protokol.zal"), "CHYBA: záloha přerušena"));
}

// Only part 1 makes the table, so the parts loaded in order into an empty
// database give it back: a table of 200,000 rows in five parts (the last
// one empty) and the three-row table in two.
TEST_F(HoldsTest, PagedPartsLoadedInOrderRestoreEqual) {
  Server().Client(
      "drop database if exists vx_hold_big; create database vx_hold_big;"
      "create table vx_hold_big.velka (id int primary key, v varchar(32));"
      "insert into vx_hold_big.velka select seq, md5(seq) from vx_hold_big.seq_1_to_200000");
  fs::create_directories(zip_);
  WriteIni(Folders(), "bin/vorbex05.ini", "vx_hold_big");
  ASSERT_EQ(Run("/M:50000"), 0) << err_;
  ExpectPartsRestoreEqual("vx_hold_big", "velka", 5);
  Server().Client("drop database vx_hold_big");

  WriteIni(Folders(), "bin/vorbex05.ini", "vx_hold");
  ASSERT_EQ(Run("/M:2"), 0) << err_;
  ExpectPartsRestoreEqual("vx_hold", Utf8("zboží"), 2);
}

// Database names that are no safe folder names, and two that differ only in
// letter case: each gets a folder of its own inside the date folder, and its
// archives restore equal.
TEST_F(HoldsTest, AllDatabasesGetSafeFoldersInsideTheDateFolder) {
  const std::vector<std::string> databases = {"..", "a/b", "-x", "Db", "db"};
  for (const std::string& database : databases)
    Server().Client("drop database if exists `" + database + "`; create database `" + database + "`; create table `" +
                    database +
                    "`.t (id int primary key, v varchar(10));"
                    "insert into `" +
                    database + "`.t values (1, '" + database + "'), (2, 'x')");
  // The server's other databases count as backed up today already, so
  // the run skips them.
  for (const std::string& other : Lines(Server().Client("show databases")))
    if (std::find(databases.begin(), databases.end(), other) == databases.end())
      fs::create_directories(DateFolder(zip_) / other);
  ASSERT_EQ(Run("/B:* /A:"), 0) << err_;
  EXPECT_EQ(Names(zip_), std::vector<std::string>{Today()});  // nothing beside the date folder
  // Each folder's table restores equal to exactly one of the databases.
  std::map<std::string, std::string> databaseOf;
  for (const std::string& database : databases) databaseOf[TableChecksum(database, "t")] = database;
  std::set<std::string> restored;
  const std::set<std::string> safe = {"_..", "a_b", "_-x", "Db", "db", "Db~2", "db~2"};
  for (const std::string& folder : Names(DateFolder(zip_))) {
    if (!fs::exists(DateFolder(zip_) / folder / "t.zip")) continue;  // the server's other databases
    EXPECT_TRUE(safe.count(folder)) << folder;
    LoadInOrder({DateFolder(zip_) / folder / "t.zip"}, "vx_hold_back");
    const auto match = databaseOf.find(TableChecksum("vx_hold_back", "t"));
    ASSERT_NE(match, databaseOf.end()) << folder;
    EXPECT_TRUE(restored.insert(match->second).second) << folder;
  }
  EXPECT_EQ(restored, std::set<std::string>(databases.begin(), databases.end()));
  // A second start the same day finds every folder by its safe name.
  EXPECT_EQ(Run("/B:* /A:"), 0) << err_;
  for (const char* upper : {"..", "A/B", "-X", "DB"})
    EXPECT_FALSE(Contains(out_, std::string("***** ") + upper + " *****")) << out_;
  for (const std::string& database : databases) Server().Client("drop database `" + database + "`");
}

// A ZIP folder too small for the table's archive and an upload batch that
// fails: the protocol archive, packed last, holds both failures.
TEST_F(HoldsTest, TheProtocolArchiveHoldsEveryFailureOfItsRun) {
  Server().Client(
      "drop database if exists vx_hold_full; create database vx_hold_full;"
      "create table vx_hold_full.hodne (id int primary key, v varchar(128));"
      "insert into vx_hold_full.hodne select seq, sha2(rand(), 512) from vx_hold_full.seq_1_to_3000");
  WriteIni(Folders(), "bin/vorbex05.ini", "vx_hold_full");
  WriteFile(root_ / "bin/bck_uloz.bat", "exit 3\n");
  fs::create_directories(zip_);
  const fs::path copy = root_ / "dated";
  EXPECT_EQ(RunMounted("/BAT", "mount -t tmpfs -o size=64k tmpfs " + Quoted(zip_),
                       "cp -a " + Quoted(DateFolder(zip_)) + " " + Quoted(copy)),
            1)
      << err_;
  Server().Client("drop database vx_hold_full");
  EXPECT_EQ(Names(copy), std::vector<std::string>{"_protokol.zip"});
  EXPECT_EQ(RunShell("unzip -tq " + Quoted(copy / "_protokol.zip")).status, 0);
  const std::string protocol = PackedProtocol(copy);
  EXPECT_TRUE(Contains(protocol, "HODNE.ZAL - CHYBA: nezabaleno")) << protocol;
  EXPECT_TRUE(Contains(protocol, "BCK_ULOZ.BAT - CHYBA: ")) << protocol;
  EXPECT_TRUE(fs::exists(work_ / "hodne.zal"));  // the dump that was not archived stays
}

}  // namespace
