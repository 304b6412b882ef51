// A fixture for the component tests: a form on screen and the virtual clock,
// which Tick advances before it lets the queued messages and timers run.
#pragma once

#include <gtest/gtest.h>

#include "platform/gui/application.h"
#include "platform/gui/forms.h"
#include "platform/rtl/clock.h"

struct ShownForm : ::testing::Test {
  void SetUp() override {
    SetVirtualClock(true);
    form = new TForm(nullptr);
    form->SetBounds(100, 100, 300, 200);
    form->Show();
  }
  void TearDown() override {
    form->Free();
    Application->ProcessMessages();
    SetVirtualClock(false);
  }
  void Tick(unsigned ms) {
    AdvanceVirtualClock(ms);
    Application->ProcessMessages();
  }
  TForm* form = nullptr;
};
