// A window stand-in for the backup engine's tests: it keeps what the engine
// shows (messages, list, labels, protocol, timers) and answers the dialogs
// from a script. Its timers run on the message loop, so tests drive the
// scheduler on the virtual clock.
#pragma once

#include <functional>
#include <map>
#include <vector>

#include "app/engine/backup_engine.h"
#include "app/engine/backup_view.h"
#include "platform/rtl/message_loop.h"

struct RecordedMessage {
  AnsiString text;
  TMessageIcon icon;
};

class RecordingView : public IBackupView {
public:
  RecordingView() { current_ = this; }
  ~RecordingView() override {
    for (auto [timer, id] : timerIds_) KillTimer(0, id);
    current_ = nullptr;
  }

  // Set once the engine exists: the time edit's change and the timers call it.
  TBackupEngine* engine = nullptr;

  std::vector<RecordedMessage> messages;
  std::vector<AnsiString> protocol;
  std::vector<std::pair<AnsiString, bool>> tables;
  std::map<TFormLabel, AnsiString> labels;
  std::map<TFormTimer, bool> timers;
  AnsiString mask;
  bool maskDialogAnswer = true;  // OK, or Cancel when false
  AnsiString maskTypedInDialog;  // replaces the mask when answered with OK, unless empty
  AnsiString closeCaption;
  TDateTime timeEdit = -1;
  bool labelsSeen = true;  // false: a run without a display
  bool scheduleShown = false, terminated = false, closed = false;
  int hintToggles = 0, minimized = 0, restored = 0;
  // What the backup button does; by default it only records the click time.
  std::function<void()> onBackup;
  std::vector<TDateTime> backupClicks;

  std::vector<AnsiString> TableNames() const {
    std::vector<AnsiString> names;
    for (const auto& table : tables) names.push_back(table.first);
    return names;
  }
  std::vector<bool> Ticks() const {
    std::vector<bool> ticks;
    for (const auto& table : tables) ticks.push_back(table.second);
    return ticks;
  }

  void ShowMessage(const AnsiString& text, TMessageIcon icon) override { messages.push_back({text, icon}); }
  AnsiString MaskText() const override { return mask; }
  void SetMaskText(const AnsiString& text) override { mask = text; }
  bool EditMask() override {
    if (maskDialogAnswer && !maskTypedInDialog.empty()) mask = maskTypedInDialog;
    return maskDialogAnswer;
  }
  void ClearProtocol() override { protocol.clear(); }
  void AddProtocolLine(const AnsiString& line) override { protocol.push_back(line); }
  void ClearTables() override { tables.clear(); }
  void AddTable(const AnsiString& name) override { tables.emplace_back(name, false); }
  int TableCount() const override { return static_cast<int>(tables.size()); }
  AnsiString TableName(int index) const override { return tables.at(index).first; }
  bool TableChecked(int index) const override { return tables.at(index).second; }
  void SetTableChecked(int index, bool checked) override { tables.at(index).second = checked; }
  void SetLabelText(TFormLabel label, const AnsiString& text) override { labels[label] = text; }
  void SetLabelVisible(TFormLabel, bool) override {}
  void SetMeter(TFormMeter, int, int, int) override {}
  void SetMeterVisible(TFormMeter, bool) override {}
  bool LabelsSeen() const override { return labelsSeen; }
  AnsiString WorkFolder() const override { return {}; }
  AnsiString ZipFolder() const override { return {}; }
  void SetTimeEditValue(TDateTime time) override {
    timeEdit = time;
    if (engine) engine->rmTimeSpinEdit1Change(time);
  }
  void ShowScheduleControls() override { scheduleShown = true; }
  void SetCloseButtonCaption(const AnsiString& caption) override { closeCaption = caption; }
  void ClickBackupButton() override {
    backupClicks.push_back(engine->CurrentTime());
    if (onBackup) onBackup();
  }
  void SetTimerEnabled(TFormTimer timer, bool enabled) override {
    timers[timer] = enabled;
    if (!enabled) {
      KillTimer(0, timerIds_[timer]);
      return;
    }
    const unsigned interval = timer == TFormTimer::Timer1 ? kTrayDelayMs : kSchedulerTickMs;
    timerIds_[timer] = SetTimer(0, timerIds_[timer], interval, &TimerProc);
  }
  void ToggleHints() override { ++hintToggles; }
  void CloseWindow() override { closed = true; }
  void MinimizeApplication() override { ++minimized; }
  void RestoreApplication() override { ++restored; }
  void TerminateApplication() override { terminated = true; }
  void ProcessMessages() override { ::ProcessMessages(); }

private:
  static void TimerProc(HWND, UINT, UINT_PTR id, std::uint32_t) {
    if (!current_ || !current_->engine) return;
    if (id == current_->timerIds_[TFormTimer::Timer1]) current_->engine->Timer1Timer();
    if (id == current_->timerIds_[TFormTimer::Timer2]) current_->engine->Timer2Timer();
  }

  static inline RecordingView* current_ = nullptr;
  std::map<TFormTimer, UINT_PTR> timerIds_;
};
