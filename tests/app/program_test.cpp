// The backup program as a user runs it, against the throwaway MariaDB server
// with the real mysqldump beside it: exit codes, the ini file as the window's
// storage writes it (also in UTF-8), folders that cannot take the archives
// (a read-only date folder, a full disk: mounted in a private mount namespace
// of a small tmpfs), a one-shot run that cannot start, and SIGTERM mid-dump.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "platform/rtl/text.h"
#include "tests/fixtures/mariadb/server.h"
#include "tests/support/file_reader.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;

// Paths and texts here are UTF-8, as the program sees them on disk.
void WriteFile(const fs::path& name, const std::string& text) { std::ofstream(name, std::ios::binary) << text; }

std::string Utf8(const char* ansi) { return AnsiToUtf8(ansi); }

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class ProgramTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    MariaDbServer::Get().Client(
        Utf8("set names utf8mb4; drop database if exists vx_prog; create database vx_prog character set utf8mb4;"
             "create table vx_prog.zboží (id int primary key, název varchar(20));"
             "insert into vx_prog.zboží values (1, 'Šroub'), (2, 'Matice'), (3, 'Podložka')"));
  }
  static void TearDownTestSuite() { MariaDbServer::Get().Client("drop database vx_prog"); }

  void SetUp() override {
    fs::create_directories(root_ / "bin");
    fs::copy_file(VX_PROGRAM, root_ / "bin/vorbex05");
    fs::create_symlink("/usr/bin/mysqldump", root_ / "bin/mysqldump");
    work_ = root_ / "work";
    zip_ = root_ / "zip";
    fs::create_directories(work_);
  }

  // The program ini file: [LogOn] for the server and database, then more.
  void WriteIni(const std::string& more) {
    const MariaDbServer& server = MariaDbServer::Get();
    WriteFile(root_ / "bin/vorbex05.ini",
              "[LogOn]\r\nIP=127.0.0.1\r\nUser=" + server.user + "\r\nPassword=" + server.password +
                  "\r\nSqlport=" + std::to_string(server.port) + "\r\nDatabase=vx_prog\r\n" + more);
  }
  std::string Folders() const {
    return "[TForm1]\r\nsuiedit2_Text=" + work_.string() + "\r\nlabel3_Text=" + zip_.string() + "\r\n";
  }

  // Runs a shell script with the trash in the test's folder; keeps what the
  // program wrote to stdout and stderr.
  int Shell(const std::string& script) {
    const fs::path file = root_ / "run.sh";
    WriteFile(file, "export XDG_DATA_HOME='" + (root_ / "data").string() + "'\n" + script + "\n");
    const int status = std::system(("sh '" + file.string() + "'").c_str());
    out_ = FileBytes(root_ / "out");
    err_ = FileBytes(root_ / "err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Program(const std::string& arguments) const {
    return "'" + (root_ / "bin/vorbex05").string() + "' " + arguments + " >'" + (root_ / "out").string() + "' 2>'" +
           (root_ / "err").string() + "'";
  }
  int Run(const std::string& arguments) { return Shell(Program(arguments)); }
  // The same in a mount namespace of its own, after the mount commands; the
  // namespace's mounts end with the run, so checks that must see the mounted
  // folder run inside it too.
  int RunMounted(const std::string& arguments, const std::string& mounts, const std::string& checks = "") {
    const fs::path inner = root_ / "inner.sh";
    WriteFile(inner, "set -e\n" + mounts + "\ntouch '" + (root_ / "mounted").string() + "'\nset +e\n" +
                         Program(arguments) + "\nrc=$?\n" + checks + "\nexit $rc\n");
    const int rc = Shell("unshare -rm sh '" + inner.string() + "'");
    EXPECT_TRUE(fs::exists(root_ / "mounted")) << "cannot mount: " << err_;
    fs::remove(root_ / "mounted");
    return rc;
  }

  fs::path Trash() const { return root_ / "data/Trash/files"; }
  fs::path DateFolder(const fs::path& zip) const { return zip / Utf8(FormatDateTime("yyyymmdd", Now()).c_str()); }
  std::vector<std::string> Names(const fs::path& folder) const {
    std::vector<std::string> names;
    if (fs::exists(folder))
      for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // Zero-byte files anywhere below a folder.
  static int EmptyFiles(const fs::path& folder) {
    int count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
      count += entry.is_regular_file() && entry.file_size() == 0;
    return count;
  }

  TempFolder temp_;
  fs::path root_ = temp_.path(), work_, zip_;
  std::string out_, err_;
};

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
  EXPECT_TRUE(Contains(err_, Utf8("ZBOží.ZAL - CHYBA: nezabaleno"))) << err_;
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

}  // namespace
