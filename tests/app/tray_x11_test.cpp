// The program's tray icon in a real XEmbed tray: the program itself in
// scheduled mode on an X server of this test's own, with openbox as window
// manager and trayer as the tray (on the shared display they would disturb
// the other display tests). The icon must dock 22 x 22, and a double click on
// it must bring the window back from the tray.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>
#include <vector>

#include "tests/app/x11_input.h"
#include "tests/fixtures/mariadb/server.h"
#include "tests/support/shell_runner.h"
#include "tests/support/temp_folder.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

// The number after "label" in xwininfo's report (0 when it is missing).
int Field(const std::string& report, const std::string& label) {
  const size_t at = report.find(label);
  return at == std::string::npos ? 0 : std::atoi(report.c_str() + at + label.size());
}

class RealTrayTest : public ::testing::Test {
protected:
  void SetUp() override {
    MariaDbServer::Get().Client(
        "drop database if exists vx_tray; create database vx_tray; create table vx_tray.t (i int)");
    fs::create_directories(root_ / "bin");
    fs::create_directories(root_ / "work");
    fs::copy_file(VX_PROGRAM, root_ / "bin/vorbex05");
    fs::create_symlink("/usr/bin/mysqldump", root_ / "bin/mysqldump");
    const MariaDbServer& server = MariaDbServer::Get();
    std::ofstream(root_ / "bin/vorbex05.ini", std::ios::binary)
        << "[LogOn]\r\nIP=127.0.0.1\r\nUser=" << server.user << "\r\nPassword=" << server.password
        << "\r\nSqlport=" << server.port << "\r\nDatabase=vx_tray\r\n[TForm1]\r\nsuiedit2_Text="
        << (root_ / "work").string() << "\r\nlabel3_Text=" << (root_ / "zip").string() << "\r\n";
    StartServer();
    ASSERT_FALSE(HasFatalFailure());
  }
  void TearDown() override {
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
      kill(*it, SIGTERM);
      waitpid(*it, nullptr, 0);
    }
    MariaDbServer::Get().Client("drop database vx_tray");
  }

  pid_t Spawn(std::vector<std::string> args, posix_spawn_file_actions_t* actions = nullptr) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    EXPECT_EQ(posix_spawnp(&pid, argv[0], actions, nullptr, argv.data(), environ), 0) << args[0];
    children_.push_back(pid);
    return pid;
  }

  // Xvfb on a free display that it names through a pipe; the test and
  // everything it starts from here on use it.
  void StartServer() {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
          &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    // The number and its line end may come in two writes; the server ends
    // when the second finds the pipe closed.
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    char c = 0;
    while (c != '\n' && poll(&p, 1, 10000) == 1 && read(fds[0], &c, 1) == 1) number += c;
    close(fds[0]);
    ASSERT_TRUE(number.ends_with('\n')) << "Xvfb did not start";
    setenv("DISPLAY", (":" + number.substr(0, number.size() - 1)).c_str(), 1);
    setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
  }

  static std::string Info(const std::string& arguments) { return RunShell("xwininfo " + arguments + " 2>&1").output; }

  TempFolder temp_;
  fs::path root_ = temp_.path();
  std::vector<pid_t> children_;
};

TEST_F(RealTrayTest, TheIconDocks22By22InTrayerAndADoubleClickRestoresTheWindow) {
  Spawn({"openbox", "--sm-disable"});
  // A 24-pixel panel leaves 22 for the icon inside its border.
  Spawn({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24",
         "--SetDockType", "true"});
  ASSERT_TRUE(WaitFor(TrayManagerRunning, 10000)) << "trayer did not take the tray";
  Spawn({(root_ / "bin/vorbex05").string(), "/A:23:59:59"});

  // The icon is the window named after the icon's hint, inside trayer.
  std::string line;
  ASSERT_TRUE(WaitFor(
      [&] {
        line = RunShell("xwininfo -root -tree | grep '\"Vorbex05\"' | head -1").output;
        return line.find("22x22") != std::string::npos;
      },
      15000))
      << line << Info("-root -tree");
  const std::string icon = Info("-id " + line.substr(line.find("0x"), line.find(' ', line.find("0x")) - line.find("0x")));
  EXPECT_EQ(Field(icon, "Width: "), 22) << icon;
  EXPECT_EQ(Field(icon, "Height: "), 22) << icon;
  EXPECT_NE(icon.find("IsViewable"), std::string::npos) << icon;

  // Three seconds after the start the window goes to the tray.
  const std::string window = "-name 'MySQL - backup Kalmir05'";
  ASSERT_TRUE(WaitFor([&] { return Info(window).find("IsUnMapped") != std::string::npos; }, 10000))
      << Info(window);
  const int x = Field(icon, "Absolute upper-left X: ") + 11, y = Field(icon, "Absolute upper-left Y: ") + 11;
  XClickAt(x, y);
  XClickAt(x, y);
  EXPECT_TRUE(WaitFor([&] { return Info(window).find("IsViewable") != std::string::npos; }, 5000)) << Info(window);
}

}  // namespace
