// The daily schedule on the virtual clock: which ticks start a backup on which
// dates, the next-day label, the time edit pausing the schedule, the
// all-databases start and the close and tray commands.
#include <gtest/gtest.h>

#include "app/engine/backup_texts.h"
#include "platform/rtl/clock.h"
#include "platform/rtl/ini_files.h"
#include "tests/app/engine_fixture.h"

namespace {

constexpr const char* kStamp = "yyyy-mm-dd hh:nn:ss";

TDateTime At(int day, int hour, int minute, int second) {
  return EncodeDate(2026, 12, day) + EncodeTime(hour, minute, second, 0);  // 7 December 2026 is a Monday
}

class SchedulerTest : public EngineFixture {
protected:
  void SetUp() override {
    EngineFixture::SetUp();
    SetVirtualClock(true);
  }
  void TearDown() override {
    EngineFixture::TearDown();
    SetVirtualClock(false);
  }

  // A scheduled engine whose wall clock starts at `start` and runs with the
  // virtual ticks; the schedule starts as after start-up (Timer1 first).
  TBackupEngine& Schedule(TDateTime start, const char* mask, TDateTime backupTime, bool allDatabases = false) {
    TBackupEngine& engine = Engine();
    const uint64_t origin = GetTickCount64();
    engine.SetClock([=] { return start + double(GetTickCount64() - origin) / kMSecsPerDay; });
    TAppState& state = engine.State();
    state.ScheduledMode = true;
    state.AllDatabases = allDatabases;
    state.DayMask = mask;
    state.BackupTime = backupTime;
    view.SetTimerEnabled(TFormTimer::Timer1, true);
    return engine;
  }

  void RunFor(TDateTime days) { ProcessMessagesFor(static_cast<uint32_t>(days * kMSecsPerDay)); }

  std::vector<AnsiString> Clicks() const {
    std::vector<AnsiString> stamps;
    for (TDateTime click : view.backupClicks) stamps.push_back(FormatDateTime(kStamp, click));
    return stamps;
  }
};

TEST_F(SchedulerTest, WeeklyMaskRunsEveryWeek) {
  // Start 09:59:57, so Timer2 ticks on whole seconds from 10:00:00 on.
  Schedule(At(7, 9, 59, 57), "ANNNNNN", EncodeTime(20, 0, 0, 0));
  RunFor(15);
  EXPECT_EQ(view.minimized, 1);
  EXPECT_EQ(Clicks(), (std::vector<AnsiString>{"2026-12-07 20:00:00", "2026-12-14 20:00:00",
                                               "2026-12-21 20:00:00"}));
}

TEST_F(SchedulerTest, RunEndingAfterMidnightLeavesTheNextDayDue) {
  Schedule(At(7, 23, 57, 57), "AAAAAAA", EncodeTime(23, 59, 0, 0));
  view.onBackup = [] { AdvanceVirtualClock(10 * 60 * 1000); };
  RunFor(2);
  EXPECT_EQ(Clicks(), (std::vector<AnsiString>{"2026-12-07 23:59:00", "2026-12-08 23:59:00"}));
  EXPECT_TRUE(view.timers[TFormTimer::Timer2]);
}

TEST_F(SchedulerTest, StartJustBeforeMidnightWaitsForTheTimeNextDay) {
  const TDateTime start = At(7, 23, 59, 58);
  Schedule(start, "AAAAAAA", start - At(7, 0, 0, 0));  // one-shot: the backup time is the start time
  RunFor(1.5);
  EXPECT_EQ(Clicks(), std::vector<AnsiString>{"2026-12-08 23:59:58"});
}

TEST_F(SchedulerTest, StoredAllTablesFlagTicksEveryTableBeforeTheRun) {
  for (const char* stored : {"", "True", "False"}) {
    if (*stored) TIniFile(ProgramIni()).WriteString("TForm1", "Vsechny", stored);
    view.tables = {{"a", false}, {"b", true}};
    std::vector<bool> ticksAtRun;
    view.onBackup = [&] { ticksAtRun = view.Ticks(); };
    Schedule(At(7, 19, 59, 57), "AAAAAAA", EncodeTime(20, 0, 0, 0));
    RunFor(0.01);
    const bool all = std::string(stored) != "False";
    EXPECT_EQ(ticksAtRun, (std::vector<bool>{all, true})) << stored;
  }
}

TEST_F(SchedulerTest, EditingTheTimePausesTheSchedule) {
  TBackupEngine& engine = Schedule(At(7, 19, 59, 0), "AAAAAAA", EncodeTime(20, 0, 0, 0));
  RunFor(10.0 / kSecsPerDay);
  engine.rmTimeSpinEdit1Enter();
  RunFor(120.0 / kSecsPerDay);
  EXPECT_TRUE(view.backupClicks.empty());
  engine.rmTimeSpinEdit1Change(EncodeTime(20, 5, 0, 400));
  engine.rmTimeSpinEdit1Exit();
  RunFor(3.0 / kSecsPerDay);
  EXPECT_TRUE(view.backupClicks.empty());  // 20:01:13 is before the new time
  RunFor(240.0 / kSecsPerDay);
  ASSERT_EQ(view.backupClicks.size(), 1u);
  EXPECT_EQ(FormatDateTime(kStamp, view.backupClicks[0]), "2026-12-07 20:05:00");
}

TEST_F(SchedulerTest, FailedRunStopsTheScheduleUntilTheTimeEditIsLeft) {
  TBackupEngine& engine = Schedule(At(7, 19, 59, 57), "AAAAAAA", EncodeTime(20, 0, 0, 0));
  view.onBackup = [] { throw Exception("dump failed"); };
  EXPECT_THROW(RunFor(10.0 / kSecsPerDay), Exception);
  EXPECT_FALSE(view.timers[TFormTimer::Timer2]);
  view.onBackup = nullptr;
  engine.rmTimeSpinEdit1Enter();
  engine.rmTimeSpinEdit1Exit();
  RunFor(2.0 / kSecsPerDay);
  EXPECT_EQ(view.backupClicks.size(), 2u);  // the day was not booked, so it runs again
}

TEST_F(SchedulerTest, AllDatabasesStartsOnceAtTheFirstDueTick) {
  TBackupEngine& engine = Schedule(At(7, 9, 59, 57), "NNNNNNN", EncodeTime(10, 0, 0, 0), true);
  int started = 0;
  engine.OnAllDatabasesBackup = [&] { ++started; };
  RunFor(1);
  EXPECT_EQ(started, 1);
  EXPECT_FALSE(view.timers[TFormTimer::Timer2]);
  EXPECT_TRUE(view.backupClicks.empty());
}

TEST_F(SchedulerTest, NextBackupDayLabel) {
  struct {
    int startDay;
    const char* mask;
    const char* label;
  } cases[] = {
      {7, "NNNNNNA", "ne"}, {7, "ANNNNNN", "po"}, {4, "nnnnann", "pá"}, {2, "NNNNNNN", "<none>"},
  };
  TBackupEngine& engine = Engine();
  for (const auto& c : cases) {
    view.labels[TFormLabel::Label11] = "<none>";
    engine.State().DayMask = c.mask;
    engine.ShowNextBackupDay(c.startDay);
    EXPECT_EQ(view.labels[TFormLabel::Label11], c.label) << c.mask;
  }
}

TEST_F(SchedulerTest, ClosingMinimisesOnlyInScheduledMode) {
  TBackupEngine& engine = Engine();
  EXPECT_TRUE(engine.FormClose());
  EXPECT_EQ(view.minimized, 0);
  engine.State().ScheduledMode = true;
  EXPECT_FALSE(engine.FormClose());
  EXPECT_EQ(view.minimized, 1);
  engine.ZobrazitVorbex051Click();
  EXPECT_EQ(view.restored, 1);
  engine.Konecprogramu1Click();
  EXPECT_TRUE(view.terminated);
}

}  // namespace
