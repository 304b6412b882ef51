// Start-up against the throwaway MariaDB server: the switches and their run
// modes, the table list in the server's order, the reload command and the
// refused login.
#include <gtest/gtest.h>

#include "app/engine/backup_texts.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/format.h"
#include "sql/dataset/connection.h"
#include "sql/dataset/query.h"
#include "tests/app/engine_fixture.h"
#include "tests/fixtures/mariadb/server.h"

namespace {

// Thursday 10 December 2026, 13:30:15.250.
const TDateTime kStartTime = EncodeDate(2026, 12, 10) + EncodeTime(13, 30, 15, 250);

class StartupServerTest : public EngineFixture {
protected:
  void SetUp() override {
    EngineFixture::SetUp();
    WriteLogOn("vxpass", "kalmir");
  }

  void WriteLogOn(const AnsiString& password, const AnsiString& database) {
    const MariaDbServer& server = MariaDbServer::Get();
    WriteFile(ProgramIni(), Format("[LogOn]\r\nIP=127.0.0.1\r\nUser=%s\r\nPassword=%s\r\nSqlport=%d\r\n"
                                   "Database=%s\r\n",
                                   {server.user, password, server.port, database}));
  }

  TBackupEngine& Start(TParamList params) {
    TBackupEngine& engine = Engine(std::move(params));
    engine.SetClock([] { return kStartTime; });
    engine.FormCreate();
    return engine;
  }
};

std::vector<AnsiString> Lines(const std::string& text) {
  std::vector<AnsiString> lines;
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

struct SwitchCase {
  TParamList params;
  int rowsPerPart;
  bool zip, quick, scheduled, oneShot, allDatabases;
  const char* dayMask;  // these three are checked only with a schedule
  TDateTime backupTime;
  const char* nextDay = "čt";  // the start is on a Thursday
};

void PrintTo(const SwitchCase& c, std::ostream* out) { *out << testing::PrintToString(c.params); }

const TDateTime kNow = EncodeTime(13, 30, 15, 0);
const TDateTime k20 = EncodeTime(20, 0, 0, 0);

class SwitchTest : public StartupServerTest, public testing::WithParamInterface<SwitchCase> {};

TEST_P(SwitchTest, GivesModeScheduleAndDumpSettings) {
  const SwitchCase& c = GetParam();
  TBackupEngine& engine = Start(c.params);
  const TAppState& state = engine.State();
  ASSERT_TRUE(view.messages.empty()) << view.messages[0].text;
  EXPECT_EQ(state.RowsPerPart, c.rowsPerPart);
  EXPECT_EQ(state.ZipDumps, c.zip);
  EXPECT_EQ(state.ExtraDumpOptions, c.quick ? kQuickDumpOptions : "");
  EXPECT_EQ(state.ScheduledMode, c.scheduled);
  EXPECT_EQ(state.OneShotMode, c.oneShot);
  EXPECT_EQ(state.AllDatabases, c.allDatabases);
  EXPECT_EQ(view.scheduleShown, c.scheduled);
  EXPECT_EQ(view.timers[TFormTimer::Timer1], c.scheduled);
  if (!c.scheduled) return;
  EXPECT_EQ(state.DayMask, c.dayMask);
  EXPECT_EQ(state.BackupTime, c.backupTime);
  EXPECT_NEAR(view.timeEdit, c.backupTime, 1.0 / kSecsPerDay);  // the edit shows whole seconds
  EXPECT_EQ(view.closeCaption, kMinimizeCaption);
  EXPECT_EQ(view.labels[TFormLabel::Label11], c.nextDay);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, SwitchTest,
    testing::Values(SwitchCase{{}, 0, true, false, false, false, false, "", 0},
                    SwitchCase{{"/m:500"}, 500, true, false, false, false, false, "", 0},
                    SwitchCase{{"/M: 500 "}, 500, true, false, false, false, false, "", 0},
                    SwitchCase{{"/M:7", "/M:9"}, 7, true, false, false, false, false, "", 0},
                    SwitchCase{{"/z:ne"}, 0, false, false, false, false, false, "", 0},
                    SwitchCase{{"/Z:NEIN"}, 0, true, false, false, false, false, "", 0},
                    SwitchCase{{"/q:"}, 0, true, true, false, false, false, "", 0},
                    SwitchCase{{"/Q:xyz"}, 0, true, true, false, false, false, "", 0},
                    SwitchCase{{"/A:20:00:00"}, 0, true, false, true, false, false, "AAAAAAA", k20},
                    SwitchCase{{"/A:"}, 0, true, false, true, true, false, "AAAAAAA", kNow},
                    SwitchCase{{"/A:now"}, 0, true, false, true, true, false, "AAAAAAA", kNow},
                    SwitchCase{{"/A:20:00:00", "/D:ana"}, 0, true, false, true, false, false, "ANANNNN", k20, "po"},
                    SwitchCase{{"/a:20:00:00", "/D:"}, 0, true, false, true, false, false, "AAAAAAA", k20},
                    SwitchCase{{"/D:ANANA"}, 0, true, false, false, false, false, "", 0},
                    SwitchCase{{"/B:*", "/A:", "/M:500"}, 0, true, false, true, true, true, "AAAAAAA", kNow},
                    SwitchCase{{"/B:*", "/A:20:00:00", "/M:500"}, 500, true, false, true, false, false, "AAAAAAA",
                               k20},
                    SwitchCase{{"/B:*"}, 0, true, false, false, false, false, "", 0}));

TEST_F(StartupServerTest, RowsPerPartThatIsNoNumberEndsStartUpBeforeConnecting) {
  for (const char* param : {"/M:abc", "/M:"}) {
    TBackupEngine& engine = Engine({param});
    EXPECT_THROW(engine.FormCreate(), EConvertError) << param;
    EXPECT_FALSE(engine.Connection().Connected());
    EXPECT_TRUE(view.tables.empty());
  }
}

TEST_F(StartupServerTest, TableListKeepsTheServersOrderAndReloadUnticks) {
  const MariaDbServer& server = MariaDbServer::Get();
  server.Client("drop database if exists vx_app_list; create database vx_app_list");
  server.Client("create table zeta (id int); create table Alpha (id int); create table mid_1 (id int)",
                "vx_app_list");
  WriteLogOn("vxpass", "vx_app_list");
  TBackupEngine& engine = Start({});
  ASSERT_TRUE(view.messages.empty()) << view.messages[0].text;
  std::vector<AnsiString> expected = Lines(server.Client("show tables", "vx_app_list"));
  ASSERT_EQ(expected.size(), 3u);
  EXPECT_EQ(view.TableNames(), expected);

  view.tables[0].second = true;
  server.Client("create table b_new (id int)", "vx_app_list");
  engine.obnovit1Click();
  expected = Lines(server.Client("show tables", "vx_app_list"));
  ASSERT_EQ(expected.size(), 4u);
  EXPECT_EQ(view.TableNames(), expected);
  EXPECT_EQ(view.Ticks(), std::vector<bool>(4, false));
  server.Client("drop database vx_app_list");
}

TEST_F(StartupServerTest, RefusedLoginShowsTheMessageAndEndsTheProgram) {
  WriteLogOn("wrong-password", "kalmir");
  Start({});
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].text, kConnectFailedMessage);
  EXPECT_EQ(view.messages[0].icon, TMessageIcon::Information);
  EXPECT_TRUE(view.terminated);
  EXPECT_TRUE(view.closed);
  EXPECT_TRUE(view.tables.empty());
}

TEST_F(StartupServerTest, DatabaseSwitchTakesTheWholeLongName) {
  const AnsiString name(64, 'd');
  MariaDbServer::Get().Client("create database if not exists " + name + "; create table " + name + ".t1 (id int)");
  TBackupEngine& engine = Start({"/B:" + name});
  ASSERT_TRUE(view.messages.empty()) << view.messages[0].text;
  EXPECT_EQ(engine.Connection().Database(), name);
  EXPECT_EQ(view.TableNames(), std::vector<AnsiString>{"t1"});
  MariaDbServer::Get().Client("drop database " + name);
}

}  // namespace
