// Where start-up takes the connection settings from: developer mode, the
// program ini file and the second ini file one folder up, and the refusal to
// start without the dump program. Logins are refused here (no server on the
// ports used), so each test inspects the settings the connection was given.
#include <gtest/gtest.h>

#include "app/engine/backup_texts.h"
#include "platform/rtl/net_info.h"
#include "sql/dataset/connection.h"
#include "sql/dataset/query.h"
#include "tests/app/engine_fixture.h"

namespace {

class SettingsTest : public EngineFixture {
protected:
  struct Login {
    AnsiString host, user, password;
    int port;
    AnsiString database;
  };

  Login StartAndRead(TParamList params = {}) {
    TBackupEngine& engine = Engine(std::move(params));
    engine.FormCreate();
    TZConnection& c = engine.Connection();
    return {c.HostName(), c.User(), c.Password(), c.Port(), c.Database()};
  }

  static void ExpectLogin(const Login& actual, const Login& expected) {
    EXPECT_EQ(actual.host, expected.host);
    EXPECT_EQ(actual.user, expected.user);
    EXPECT_EQ(actual.password, expected.password);
    EXPECT_EQ(actual.port, expected.port);
    EXPECT_EQ(actual.database, expected.database);
  }
};

const char* kFirstIni =
    "[LogOn]\r\nIP=127.0.0.1\r\nUser=first\r\nPassword=pw1\r\nSqlport=1\r\nDatabase=db1\r\n";

TEST_F(SettingsTest, DeveloperModeIgnoresBothIniFiles) {
  WriteFile(ProgramIni(), kFirstIni);
  WriteFile(SecondIni(), "[LogOn]\nUser=second\n");
  WriteFile(BinDir() + "vorbex05.dpr", "");
  ExpectLogin(StartAndRead(), {"127.0.0.1", "root", "tobrek", 3306, "kalmir"});
}

TEST_F(SettingsTest, SecondFileAloneFallsBackOnTheComponentsValues) {
  WriteFile(SecondIni(), "[LogOn]\nUser=second\n");
  ExpectLogin(StartAndRead(), {"", "second", "", 3306, "kalmir"});
}

TEST_F(SettingsTest, KeyMissingFromTheSecondFileKeepsTheFirstsValue) {
  WriteFile(ProgramIni(), kFirstIni);
  WriteFile(SecondIni(), "[LogOn]\r\nPassword=pw2\r\nDatabase=db2\r\n");
  ExpectLogin(StartAndRead(), {"127.0.0.1", "first", "pw2", 1, "db2"});
}

TEST_F(SettingsTest, ProgramFileDefaultsAndDatabaseSwitch) {
  WriteFile(ProgramIni(), "[LogOn]\r\nSqlport=1\r\n");
  ExpectLogin(StartAndRead({"/B:other"}),
              {IPAddressToStr(GetLocalIPAddress()), "root", "tobrek", 1, "other"});
}

TEST_F(SettingsTest, PortIsDecimalOrHexAndFallsBackOnItsFilesDefault) {
  struct {
    const char* first;
    const char* second;
    int port;
  } cases[] = {
      {"0x10", nullptr, 16}, {"12a", nullptr, 3306}, {"", nullptr, 3306}, {"7", "x7", 7}, {"7", "0x1F", 31},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.first) + " / " + (c.second ? c.second : "-"));
    WriteFile(ProgramIni(), AnsiString("[LogOn]\r\nIP=127.0.0.1\r\nSqlport=") + c.first + "\r\n");
    if (c.second) WriteFile(SecondIni(), AnsiString("[LogOn]\r\nSqlport=") + c.second + "\r\n");
    EXPECT_EQ(StartAndRead().port, c.port);
  }
}

TEST_F(SettingsTest, MissingDumpProgramEndsStartUpBeforeAnythingElse) {
  DeleteFile(BinDir() + "mysqldump");
  WriteFile(ProgramIni(), kFirstIni);
  ExpectLogin(StartAndRead(), {"", "", "", 3306, "kalmir"});
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, kNoDumpProgramMessage);
  EXPECT_TRUE(view.terminated);
}

}  // namespace
