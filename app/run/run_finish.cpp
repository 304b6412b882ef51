// The second half of a backup run: the protocol file, the archives in either
// layout, removal of the archived dumps, the operator's batch transfer and
// the end of the run in each mode; also the run's protocol and status helpers.
#include <cmath>
#include <cstring>

#include "app/engine/backup_engine.h"
#include "app/engine/backup_view.h"
#include "app/run/backup_run.h"
#include "app/run/run_stop.h"
#include "app/run/run_texts.h"
#include "archive/ab_archive.h"
#include "archive/ab_exceptions.h"
#include "archive/ab_item.h"
#include "platform/rtl/files.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/paths.h"
#include "platform/rtl/process.h"
#include "platform/rtl/text.h"
#include "util/routines/program_routines.h"

namespace {

// How long the status line shows each new item name.
constexpr std::uint32_t kItemNameShowMs = 1000;
// How often a batch command's wait looks for a stop of the run.
constexpr std::uint32_t kBatchPollMs = 100;

// A dump's file name without its final ".zal": the archive's name before ".zip".
AnsiString WithoutDumpExtension(const AnsiString& name) {
  return name.substr(0, name.size() - std::strlen(kDumpExtension));
}

}  // namespace

// AbMeter2: the zipper's progress within the item being packed.
class TBackupRun::TItemMeter : public IAbProgressMeter {
public:
  explicit TItemMeter(IBackupView& view) : view_(view) {}
  void DoProgress(uint8_t progress) override { view_.SetMeter(TFormMeter::Item, 0, 100, progress); }
  void Reset() override { DoProgress(0); }

private:
  IBackupView& view_;
};

TBackupRun::TBackupRun(TBackupEngine& engine, IBackupView& view)
    : engine_(engine), view_(view), itemMeter_(std::make_unique<TItemMeter>(view)) {
  MakeZipper();
  SetStopFallback([this] { SaveStoppedProtocol(); });
}

// Every archive was closed or dropped by the run; nothing is left to save.
TBackupRun::~TBackupRun() {
  SetStopFallback({});
  zipper_->SetItemProgressMeter(nullptr);
}

void TBackupRun::MakeZipper() {
  zipper_ = std::make_unique<TAbZipper>(nullptr);
  zipper_->SetItemProgressMeter(itemMeter_.get());
  zipper_->SetAutoSave(true);
  zipper_->SetDOSMode(false);
  zipper_->SetTempDirectory(GetCachedTempDir());
  // Each new item name stays on the status line for a moment before packing
  // goes on, so a person can read it; without a display nobody can.
  zipper_->OnArchiveItemProgress = [this](TObject*, TAbArchiveItem* item, uint8_t, bool&) {
    if (item->GetFileName() == itemLabel_) return;
    itemLabel_ = item->GetFileName();
    view_.SetLabelText(TFormLabel::Label7, itemLabel_);
    if (view_.LabelsSeen()) Delay(kItemNameShowMs);
  };
  zipper_->OnProcessItemFailure = [this](TObject*, TAbArchiveItem*, TAbProcessType, TAbErrorClass, int32_t code) {
    if (!zipping_.empty()) unarchived_.emplace(zipping_, IntToStr(code));
  };
}

void TBackupRun::SaveProtocol() {
  AddLine(" ");
  WriteProtocolFile();
}

bool TBackupRun::WriteProtocolFile() {
  AnsiString error;
  {
    const auto hold = LockStopWatch();
    try {
      protocol_.SaveToFile(protocolFile_);
      return true;
    } catch (const Exception& e) {
      error = e.Message();
    }
  }
  AddStampedLine(kProtocolNotSavedLine + error);
  ++failures_;
  return false;
}

// The stop watch's fallback for a run blocked where it cannot see the stop:
// the protocol so far with the stop line. Runs on the watch's thread.
void TBackupRun::SaveStoppedProtocol() {
  if (!running_ || protocolFile_.empty()) return;
  const TDateTime now = engine_.CurrentTime();
  protocol_.Add(DateToStr(now) + " " + TimeToStr(now) + " " + kStoppedLine);
  try {
    protocol_.SaveToFile(protocolFile_);
  } catch (const Exception&) {
    // Nothing is left to tell it to: the program ends with code 1 either way.
  }
}

// The protocol goes after the run's archives (and again after its batch
// commands when they failed), so it holds each of their failures; once
// packed it leaves the work folder. One that cannot be packed stays there.
void TBackupRun::PackProtocol(const AnsiString& folder) {
  if (!WriteProtocolFile()) return;
  unarchived_.erase(protocolFile_);
  ZipOne(folder + PathDelim + WithoutDumpExtension(kProtocolFile) + kArchiveExtension, protocolFile_,
         {soStripPath, soReplace});
  const auto failed = unarchived_.find(protocolFile_);
  if (failed == unarchived_.end()) {
    DeleteFile(protocolFile_);
    return;
  }
  AddStampedLine(UpperCase(kProtocolFile) + kNotArchivedSuffix + " (" + failed->second + ")");
  ++failures_;
  WriteProtocolFile();
}

void TBackupRun::ShowZipStatus() {
  meterMaximum_ = meterPosition_ = 0;
  view_.SetMeter(TFormMeter::Archives, 0, 0, 0);
  view_.SetMeterVisible(TFormMeter::Archives, true);
  view_.SetMeterVisible(TFormMeter::Item, true);
  Pump();
  itemLabel_.clear();
  view_.SetLabelText(TFormLabel::Label7, "");
  view_.SetLabelText(TFormLabel::Label6, "");
  view_.SetLabelVisible(TFormLabel::Label7, true);
}

void TBackupRun::HideZipStatus(bool keepArchiveMeter) {
  view_.SetLabelVisible(TFormLabel::Label6, false);
  view_.SetLabelVisible(TFormLabel::Label7, false);
  if (!keepArchiveMeter) view_.SetMeterVisible(TFormMeter::Archives, false);
  view_.SetMeterVisible(TFormMeter::Item, false);
}

// One archive per dump this run made, named like the dump with ".zip"; a
// second run on the same day replaces the members it finds. The protocol
// follows them (PackProtocol).
void TBackupRun::ZipIntoFolder(const AnsiString& folder, int extraSteps) {
  CreateFolderChain(folder);
  Pump();
  std::vector<AnsiString> files;
  for (const AnsiString& file : FindEntries(WorkDir(), AnsiString("*") + kDumpExtension))
    if (ownDumps_.count(ExtractFileName(file))) files.push_back(file);
  SetArchiveMeter(static_cast<int>(files.size()) + 1 + extraSteps, 0);
  for (std::size_t r = 0; r < files.size(); ++r) {
    ZipOne(folder + PathDelim + WithoutDumpExtension(ExtractFileName(files[r])) + kArchiveExtension, files[r],
           {soStripPath, soReplace});
    SetArchiveMeter(meterMaximum_, static_cast<int>(r));
    Pump();
  }
  Pump();
}

// Paged dumps: one archive per part, named by the date and the part, directly
// in the ZIP folder; the members keep their folder path.
void TBackupRun::ZipPartsWithDatedNames() {
  for (const AnsiString& entry : partNames_) {
    ZipOne(AddBackslash(ZipDir()) + Today() + "_" + WithoutDumpExtension(entry) + kArchiveExtension,
           AddBackslash(WorkDir()) + entry, {soStripDrive, soRemoveDots, soReplace});
    Pump();
    HideZipStatus(false);
  }
}

// A save that fails drops the archive: a new one is removed again, an
// existing one was only ever replaced whole, so it stays as it was. The dump
// stays in the work folder either way.
void TBackupRun::ZipOne(const AnsiString& archive, const AnsiString& file, TAbStoreOptions options) {
  const bool existed = FileExists(archive);
  zipping_ = file;
  view_.SetLabelText(TFormLabel::Label6, archive);
  view_.SetLabelVisible(TFormLabel::Label6, true);
  try {
    zipper_->SetFileName(archive);
    zipper_->SetStoreOptions(options);
    AddExactFile(file);
    zipper_->CloseArchive();
  } catch (const Exception& e) {
    MakeZipper();
    unarchived_.emplace(file, e.Message());
  }
  if (unarchived_.count(file) && !existed) DeleteFile(archive);
  zipping_.clear();
}

// The zipper's AddFiles reads its argument as a list of masks; a dump file
// name may hold ";", "*" or "\" and has case twins, so the one file goes in
// as an item of its own.
void TBackupRun::AddExactFile(const AnsiString& file) {
  TAbArchive* archive = zipper_->Archive();
  if (!archive) throw EAbNoArchive();
  archive->Add(archive->CreateItem(file));
}

// Dumps that could not be archived stay in the work folder; the protocol
// file names them.
void TBackupRun::ReportUnarchived() {
  if (unarchived_.empty()) return;
  for (const auto& [file, reason] : unarchived_) {
    AddStampedLine(UpperCase(ExtractFileName(file)) + kNotArchivedSuffix + " (" + reason + ")");
    ++failures_;
  }
  WriteProtocolFile();
}

// The upload command, then, with a "/P:" keep count k, one deletion command
// for each of the ten days from k + 1 to k + 10 days back. povel.txt always
// holds the commands run so far. A command that cannot start or ends with a
// code other than 0 is named in the protocol.
void TBackupRun::RunBatches(int keepEntries) {
  const AnsiString dir = engine_.Files().Dir;
  auto quoted = [](const AnsiString& piece) { return "\"" + piece + "\""; };
  TStringList commands;
  Pump();
  auto run = [&](const char* batch, const AnsiString& arguments) {
    const AnsiString commandLine = quoted(dir + batch) + " " + arguments;
    commands.Add(commandLine);
    commands.SaveToFile(dir + kBatchListFile);
    TChildProcess child;
    if (child.Start(commandLine)) {
      while (!child.WaitFor(kBatchPollMs)) {
        if (!RunStopRequested()) continue;
        child.Terminate();
        child.Wait();
        break;
      }
    }
    if (child.ExitCode() != 0) {
      AddStampedLine(UpperCase(batch) + kBatchFailedInfix + IntToStr(child.ExitCode()));
      ++failures_;
    }
    SetArchiveMeter(meterMaximum_, meterPosition_ + 1);
    Pump();
  };
  run(kUploadBatch, quoted(view_.ZipFolder()) + " " + quoted(Today()) + " " + quoted(dir + kUploadScript));
  if (keepEntries > 0) {
    const TDateTime today = std::trunc(engine_.CurrentTime());
    for (int back = keepEntries + 1; back <= keepEntries + 10; ++back)
      run(kDeleteBatch, quoted(FormatDateTime(kDateFormat, today - back)) + " " + quoted(dir + kDeleteScript));
  }
  view_.SetMeterVisible(TFormMeter::Archives, false);
}

void TBackupRun::EndRun() {
  const TAppState& state = engine_.State();
  if (!state.ScheduledMode) {
    if (failures_ > 0)
      view_.ShowMessage(kBackupFailedMessage, TMessageIcon::Stop);
    else
      view_.ShowMessage(kBackupDoneMessage, TMessageIcon::Information);
    return;
  }
  if (state.OneShotMode) view_.TerminateApplication();
  const TDateTime now = engine_.CurrentTime();
  view_.SetLabelText(TFormLabel::Label10, FormatDateTime("ddd hh:nn:ss", now));
  view_.SetLabelText(TFormLabel::Label11, "");
  engine_.ShowNextBackupDay(DayOfTheWeek(now) % 7 + 1);
  TDateTime backupTime = 0;
  if (!TryStrToTime(FindSwitch(engine_.Params(), "/A:", kTimeValueChars).value, backupTime))
    backupTime = now - std::trunc(now);
  view_.SetTimeEditValue(backupTime);
}

void TBackupRun::ClearProtocol() {
  {
    const auto hold = LockStopWatch();
    protocol_.Clear();
    protocolFile_ = AddBackslash(WorkDir()) + kProtocolFile;
  }
  view_.ClearProtocol();
}

// A reason with line breaks (the zipper's, a server's) would split one
// protocol entry over several lines; each break becomes one blank.
void TBackupRun::AddLine(const AnsiString& line) {
  AnsiString joined;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\r' && i + 1 < line.size() && line[i + 1] == '\n') continue;
    joined += line[i] == '\r' || line[i] == '\n' ? ' ' : line[i];
  }
  {
    const auto hold = LockStopWatch();
    protocol_.Add(joined);
  }
  view_.AddProtocolLine(joined);
}

void TBackupRun::AddStampedLine(const AnsiString& text) {
  const TDateTime now = engine_.CurrentTime();
  AddLine(DateToStr(now) + " " + TimeToStr(now) + " " + text);
}

AnsiString TBackupRun::Today() const { return FormatDateTime(kDateFormat, engine_.CurrentTime()); }
AnsiString TBackupRun::WorkDir() const { return view_.WorkFolder(); }
AnsiString TBackupRun::ZipDir() const { return view_.ZipFolder(); }
void TBackupRun::Pump() { view_.ProcessMessages(); }

void TBackupRun::SetArchiveMeter(int maximum, int position) {
  meterMaximum_ = maximum;
  meterPosition_ = position;
  view_.SetMeter(TFormMeter::Archives, 0, maximum, position);
}
