// Console implementation of the window interface.
#include "app/program/console_view.h"

#include <cstdio>

#include "app/engine/backup_engine.h"
#include "app/engine/backup_texts.h"
#include "app/run/run_texts.h"
#include "platform/rtl/message_loop.h"
#include "platform/rtl/text.h"

namespace {

void PrintLine(std::FILE* stream, const AnsiString& line) {
  const std::string text = AnsiToUtf8(line);
  std::fprintf(stream, "%s\n", text.c_str());
  std::fflush(stream);
}

}  // namespace

void TConsoleView::ShowMessage(const AnsiString& text, TMessageIcon icon) {
  if (icon == TMessageIcon::Stop) stopShown_ = true;
  PrintLine(stderr, text + " [OK]");
}

// A failure in the protocol is also a complaint on stderr.
void TConsoleView::AddProtocolLine(const AnsiString& line) {
  PrintLine(stdout, line);
  if (line.find(kFailureMark) != AnsiString::npos) PrintLine(stderr, line);
}

// The folder edits keep their texts in the window's own ini section.
AnsiString TConsoleView::Stored(const char* property) const {
  return engine_ ? engine_->Settings().ReadString(property, "") : AnsiString();
}

void TConsoleView::RestoreStored() { mask_ = Stored(kExclusionMaskKey); }

AnsiString TConsoleView::WorkFolder() const { return Stored(kWorkFolderKey); }
AnsiString TConsoleView::ZipFolder() const { return Stored(kZipFolderKey); }

void TConsoleView::SetTimeEditValue(TDateTime time) {
  if (engine_) engine_->rmTimeSpinEdit1Change(time);
}

void TConsoleView::ClickBackupButton() {
  if (OnBackupClick) OnBackupClick();
}

void TConsoleView::ProcessMessages() { ::ProcessMessages(); }
