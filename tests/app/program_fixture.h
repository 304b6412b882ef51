// The fixture of the program's end-to-end tests: a copy of vorbex05 with the
// real mysqldump beside it in a temp folder, its ini file, runs of it as a
// user starts it (also in a mount namespace of their own), and restores of
// its dumps through the mariadb client.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "platform/rtl/ini_files.h"
#include "platform/rtl/text.h"
#include "tests/fixtures/mariadb/server.h"
#include "tests/support/file_reader.h"
#include "tests/support/shell_runner.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

// Paths and texts here are UTF-8, as the program sees them on disk.
inline void WriteFile(const fs::path& name, const std::string& text) { std::ofstream(name, std::ios::binary) << text; }

inline std::string Utf8(const char* ansi) { return AnsiToUtf8(ansi); }

inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class ProgramTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    MariaDbServer::Get().Client(
        Utf8("set names utf8mb4; drop database if exists vx_prog; create database vx_prog character set utf8mb4;"
             "create table vx_prog.zboží (id int primary key, název varchar(20));"
             "insert into vx_prog.zboží values (1, 'Šroub'), (2, 'Matice'), (3, 'Podložka')"));
  }
  static void TearDownTestSuite() {
    MariaDbServer::Get().Client(
        "drop database vx_prog; drop database if exists vx_prog_back; drop database if exists vx_prog_all;"
        "drop database if exists vx_ini");
  }

  void SetUp() override {
    fs::create_directories(root_ / "bin");
    fs::copy_file(VX_PROGRAM, root_ / "bin/vorbex05");
    fs::create_symlink("/usr/bin/mysqldump", root_ / "bin/mysqldump");
    work_ = root_ / "work";
    zip_ = root_ / "zip";
    fs::create_directories(work_);
  }

  // The program ini file: [LogOn] for the server and database, then more.
  void WriteIni(const std::string& more, const fs::path& file = "bin/vorbex05.ini",
                const std::string& database = "vx_prog") {
    const MariaDbServer& server = MariaDbServer::Get();
    WriteFile(root_ / file, "[LogOn]\r\nIP=127.0.0.1\r\nUser=" + server.user + "\r\nPassword=" + server.password +
                                "\r\nSqlport=" + std::to_string(server.port) + "\r\nDatabase=" + database + "\r\n" +
                                more);
  }
  std::string Folders() const {
    return "[TForm1]\r\nsuiedit2_Text=" + work_.string() + "\r\nlabel3_Text=" + zip_.string() + "\r\n";
  }

  // Runs a shell script with the trash in the test's folder and no display,
  // so the program's windows are headless whoever runs the test; keeps what
  // the program wrote to stdout and stderr.
  int Shell(const std::string& script) {
    const fs::path file = root_ / "run.sh";
    WriteFile(file, "unset DISPLAY\nexport XDG_DATA_HOME='" + (root_ / "data").string() + "'\n" + script + "\n");
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

  // Restores a dump (the file itself, or the one inside a ZIP archive) into
  // the scratch database vx_prog_back, made anew; its rows there.
  int Restore(const fs::path& dump) {
    const MariaDbServer& server = MariaDbServer::Get();
    server.Client("drop database if exists vx_prog_back; create database vx_prog_back character set utf8mb4");
    std::string source = "cat '" + dump.string() + "'";
    if (dump.extension() == ".zip") {
      const fs::path plain = root_ / "one.zip";  // unzip reads wildcards in names
      fs::copy_file(dump, plain, fs::copy_options::overwrite_existing);
      source = "unzip -p '" + plain.string() + "'";
    }
    EXPECT_EQ(Shell(source + " | mariadb --no-defaults -uroot --socket='" + server.socket + "' vx_prog_back"), 0)
        << dump;
    return std::atoi(server.Client(Utf8("select count(*) from vx_prog_back.zboží")).c_str());
  }
  static std::string Checksum(const std::string& database) {
    const std::string line = MariaDbServer::Get().Client(Utf8("checksum table ") + database + Utf8(".zboží"));
    return line.substr(line.find('\t') + 1);
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
