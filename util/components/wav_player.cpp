// Sound component: the sound's bytes put where the player can read them, and
// the player's command line.
#include "util/components/wav_player.h"

#include <unistd.h>

#include "platform/gui/resources.h"
#include "platform/rtl/files.h"
#include "platform/rtl/paths.h"
#include "util/routines/system_commands.h"

namespace {
// Bytes that are not a file of their own go to one file per process.
AnsiString SoundFile(const void* data, std::int64_t size) {
  const AnsiString name = IncludeTrailingPathDelimiter(GetTempDir()) + "vx-sound-" + std::to_string(getpid()) + ".wav";
  TFileStream file(name, fmCreate);
  file.WriteBuffer(data, size);
  return name;
}
}  // namespace

TUtlWav::~TUtlWav() { Stop(); }

void TUtlWav::SetPlayFrom(TUtlWavPlayFrom value) {
  if (value == playFrom_) return;
  playFrom_ = value;
  if (playFrom_ == pfDFM)
    Load();
  else
    Clear();
}

AnsiString TUtlWav::PrepareSound() {
  switch (playFrom_) {
    case pfFile: return FileExists(FileName()) ? FileName() : AnsiString();
    case pfDFM: return DataSize() ? SoundFile(Data()->Memory(), DataSize()) : AnsiString();
    case pfResource: {
      const ResourceEntry* entry = FindResourceEntry(resourceName_);
      return entry ? SoundFile(entry->data, std::int64_t(entry->size)) : AnsiString();
    }
    case pfSystemEvent: return {};  // no event sounds here
  }
  return {};
}

void TUtlWav::Play() {
  const AnsiString sound = PrepareSound();
  playing_ = true;
  struct Done {
    bool& playing;
    ~Done() { playing = false; }
  } done{playing_};
  if (OnPlayBefore) OnPlayBefore(this);
  if (!sound.empty()) {
    if (!noStopSound_) UtlStopSystemCommands();
    // A loop can only end by Stop, so it never runs while we wait.
    const bool wait = !asyncPlay_ && !looped_;
    if (looped_)
      UtlRunSystemCommand({"sh", "-c", "while aplay -q \"$1\"; do :; done", "sh", sound}, false);
    else
      UtlRunSystemCommand({"aplay", "-q", sound}, wait);
  }
  if (OnPlayAfter) OnPlayAfter(this);
}

void TUtlWav::Stop() {
  playing_ = false;
  UtlStopSystemCommands();
}
