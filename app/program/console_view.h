// The backup program's window as a console: messages go to stderr, the
// protocol to stdout, a modal message is answered with OK at once, and the
// folders and the mask come from what the window stores in the ini file.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "app/engine/backup_view.h"

class TBackupEngine;

class TConsoleView : public IBackupView {
public:
  // The engine is attached once it exists (it needs the view to be made).
  void Attach(TBackupEngine* engine) { engine_ = engine; }
  // What the window's storage restores before the window is shown: the mask.
  void RestoreStored();
  std::function<void()> OnBackupClick;

  bool Terminated() const { return terminated_; }
  // A stop message was shown: the run could not do its job.
  bool StopShown() const { return stopShown_; }
  bool TimerEnabled(TFormTimer timer) const { return timers_[static_cast<int>(timer)]; }

  void ShowMessage(const AnsiString& text, TMessageIcon icon) override;
  AnsiString MaskText() const override { return mask_; }
  void SetMaskText(const AnsiString& text) override { mask_ = text; }
  bool EditMask() override { return false; }

  void ClearProtocol() override {}
  void AddProtocolLine(const AnsiString& line) override;

  void ClearTables() override { tables_.clear(); }
  void AddTable(const AnsiString& name) override { tables_.emplace_back(name, false); }
  int TableCount() const override { return static_cast<int>(tables_.size()); }
  AnsiString TableName(int index) const override { return tables_.at(index).first; }
  bool TableChecked(int index) const override { return tables_.at(index).second; }
  void SetTableChecked(int index, bool checked) override { tables_.at(index).second = checked; }

  void SetLabelText(TFormLabel, const AnsiString&) override {}
  void SetLabelVisible(TFormLabel, bool) override {}
  void SetMeter(TFormMeter, int, int, int) override {}
  void SetMeterVisible(TFormMeter, bool) override {}
  bool LabelsSeen() const override { return false; }

  AnsiString WorkFolder() const override;
  AnsiString ZipFolder() const override;

  void SetTimeEditValue(TDateTime time) override;
  void ShowScheduleControls() override {}
  void SetCloseButtonCaption(const AnsiString&) override {}
  void ClickBackupButton() override;
  void SetTimerEnabled(TFormTimer timer, bool enabled) override { timers_[static_cast<int>(timer)] = enabled; }

  void ToggleHints() override {}
  void CloseWindow() override {}
  void MinimizeApplication() override {}
  void RestoreApplication() override {}
  void TerminateApplication() override { terminated_ = true; }
  void ProcessMessages() override;

private:
  AnsiString Stored(const char* property) const;

  TBackupEngine* engine_ = nullptr;
  std::vector<std::pair<AnsiString, bool>> tables_;
  AnsiString mask_;
  bool timers_[2] = {false, false};
  bool terminated_ = false;
  bool stopShown_ = false;
};
