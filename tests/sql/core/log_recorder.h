// A recorder of the driver manager's log for driver tests: while a ScopedLog
// lives, every logging event is kept, so a test can check what a driver
// reported and under which category.
#pragma once

#include <vector>

#include "sql/core/dbc/driver_manager.h"

class LogRecorder : public TZAbstractObject, public virtual IZLoggingListener {
public:
  void HandleLoggingEvent(const TZLoggingEvent& event) override { Events.push_back(event); }

  std::vector<AnsiString> Messages(TZLoggingCategory category) const {
    std::vector<AnsiString> messages;
    for (const TZLoggingEvent& event : Events)
      if (event.Category == category) messages.push_back(event.Message);
    return messages;
  }

  std::vector<TZLoggingEvent> Events;
};

struct ScopedLog {
  ScopedLog() { DriverManager()->AddLoggingListener(recorder); }
  ~ScopedLog() { DriverManager()->RemoveLoggingListener(recorder); }
  LogRecorder* operator->() const { return recorder.get(); }
  Ref<LogRecorder> recorder = MakeRef<LogRecorder>();
};
