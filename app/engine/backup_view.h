// What the backup engine asks of its window: the protocol memo, the table
// check list, the labels, the progress bars, the time edit, the timers, the
// message and input dialogs and the application's life. The window implements
// it over its controls; tests implement it by recording.
#pragma once

#include "platform/rtl/datetime.h"
#include "platform/rtl/strings.h"

enum class TMessageIcon { Information, Stop };

// The labels the engine writes: archive name, item name, the schedule's
// captions and the last and next backup days.
enum class TFormLabel { Label6, Label7, Label8, Label9, Label10, Label11 };

// Timer1 moves the window to the tray once; Timer2 is the scheduler's tick.
enum class TFormTimer { Timer1, Timer2 };
inline constexpr unsigned kTrayDelayMs = 3000;
inline constexpr unsigned kSchedulerTickMs = 1000;

// abmeter1 counts archives and commands; AbMeter2 shows progress within one item.
enum class TFormMeter { Archives, Item };

class IBackupView {
public:
  virtual ~IBackupView() = default;

  // Modal message dialog with one button.
  virtual void ShowMessage(const AnsiString& text, TMessageIcon icon) = 0;
  // The exclusion mask lives in the input dialog; EditMask shows it modally
  // and returns true when it was closed with OK (the edited text is kept then).
  virtual AnsiString MaskText() const = 0;
  virtual void SetMaskText(const AnsiString& text) = 0;
  virtual bool EditMask() = 0;

  // Protocol memo.
  virtual void ClearProtocol() = 0;
  virtual void AddProtocolLine(const AnsiString& line) = 0;

  // Table check list; the program's own tick changes raise no click event.
  virtual void ClearTables() = 0;
  virtual void AddTable(const AnsiString& name) = 0;
  virtual int TableCount() const = 0;
  virtual AnsiString TableName(int index) const = 0;
  virtual bool TableChecked(int index) const = 0;
  virtual void SetTableChecked(int index, bool checked) = 0;

  virtual void SetLabelText(TFormLabel label, const AnsiString& text) = 0;
  virtual void SetLabelVisible(TFormLabel label, bool visible) = 0;
  virtual void SetMeter(TFormMeter meter, int minimum, int maximum, int position) = 0;
  virtual void SetMeterVisible(TFormMeter meter, bool visible) = 0;
  // False when nobody can see the labels (no display): pauses meant for
  // reading them are skipped then.
  virtual bool LabelsSeen() const = 0;

  // The folders chosen in the window (kept by the window's own storage).
  virtual AnsiString WorkFolder() const = 0;
  virtual AnsiString ZipFolder() const = 0;

  // Time edit: setting the value raises its change event like any change of
  // its text. ShowScheduleControls paints it white and shows it together with
  // the schedule's labels (Label8 to Label11).
  virtual void SetTimeEditValue(TDateTime time) = 0;
  virtual void ShowScheduleControls() = 0;
  // Caption of the "konec" button.
  virtual void SetCloseButtonCaption(const AnsiString& caption) = 0;
  // Clicks the "zálohovat" button: runs the backup and returns when it ended.
  virtual void ClickBackupButton() = 0;
  virtual void SetTimerEnabled(TFormTimer timer, bool enabled) = 0;

  virtual void ToggleHints() = 0;
  virtual void CloseWindow() = 0;
  virtual void MinimizeApplication() = 0;
  virtual void RestoreApplication() = 0;
  virtual void TerminateApplication() = 0;
  // Dispatches the pending window messages once.
  virtual void ProcessMessages() = 0;
};
