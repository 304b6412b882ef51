// TThWrite: the writer thread of a burn. It runs the burner's write process
// (write_process.cpp): drive set-up, the image in WRITE(10) commands, closing
// by disc type and the drive reset; OnWriteDone reaches the message loop's
// thread through Synchronize. The burner owns it and joins it.
#pragma once

#include <functional>

#include "platform/rtl/thread.h"

class TZIDIzizid;

class TThWrite final : public TThread {
public:
  explicit TThWrite(TZIDIzizid& burner) : burner_(burner) {}
  ~TThWrite() override { WaitFor(); }

  void RunOnMainThread(const std::function<void()>& method) { Synchronize(method); }

protected:
  void Execute() override;

private:
  TZIDIzizid& burner_;
};
