// Sound component: plays a WAVE sound from a file, the program's resources,
// its own stored bytes or a named system event, through ALSA's player
// (aplay), at once or waiting for the end, once or in a loop. A sound that
// cannot be found plays nothing: there are no default or event sounds here.
#pragma once

#include "util/components/file_storage.h"

enum TUtlWavPlayFrom { pfFile, pfResource, pfDFM, pfSystemEvent };

class TUtlWav : public TUtlCustomFileStorage {
public:
  explicit TUtlWav(TComponent* owner) : TUtlCustomFileStorage(owner) {}
  ~TUtlWav() override;

  bool AsyncPlay() const { return asyncPlay_; }
  void SetAsyncPlay(bool value) { asyncPlay_ = value; }
  const AnsiString& EventAlias() const { return eventAlias_; }
  void SetEventAlias(const AnsiString& value) { eventAlias_ = value; }
  bool Looped() const { return looped_; }
  void SetLooped(bool value) { looped_ = value; }
  bool NoDefaultSound() const { return noDefaultSound_; }
  void SetNoDefaultSound(bool value) { noDefaultSound_ = value; }
  // Keeps a sound that is playing instead of cutting it off.
  bool NoStopSound() const { return noStopSound_; }
  void SetNoStopSound(bool value) { noStopSound_ = value; }
  bool NoWaitIfBusy() const { return noWaitIfBusy_; }
  void SetNoWaitIfBusy(bool value) { noWaitIfBusy_ = value; }
  TUtlWavPlayFrom PlayFrom() const { return playFrom_; }
  // The stored bytes are loaded from FileName for pfDFM and dropped otherwise.
  void SetPlayFrom(TUtlWavPlayFrom value);
  const AnsiString& ResourceName() const { return resourceName_; }
  void SetResourceName(const AnsiString& value) { resourceName_ = value; }
  bool Playing() const { return playing_; }

  TNotifyEvent OnPlayBefore;
  TNotifyEvent OnPlayAfter;

  // The file the player gets; empty when there is nothing to play.
  virtual AnsiString PrepareSound();
  virtual void Play();
  virtual void Stop();

private:
  bool asyncPlay_ = true;
  AnsiString eventAlias_ = ".Default";
  bool looped_ = false;
  bool noDefaultSound_ = true;
  bool noStopSound_ = false;
  bool noWaitIfBusy_ = true;
  TUtlWavPlayFrom playFrom_ = pfFile;
  AnsiString resourceName_ = "WAVE1";
  bool playing_ = false;
};
