// Helpers for the component and control tests: screen positions of
// controls for scripted input, and a modal run driven from its OnShow.
#pragma once

#include <functional>

#include "platform/gui/application.h"
#include "platform/gui/headless_backend.h"
#include "platform/gui/timer.h"
#include "platform/rtl/clock.h"

// The screen point at the centre of a control.
inline TPoint CentreOf(const TControl* c) { return c->ClientToScreen(Point(c->Width() / 2, c->Height() / 2)); }

inline void ClickOn(const TControl* c) {
  const TPoint p = CentreOf(c);
  HeadlessClick(p.X, p.Y);
}

inline void PressKey(int vk, const std::string& chars = "") {
  HeadlessKeyDown(vk, chars);
  HeadlessKeyUp(vk);
}

// A key pressed while a modifier (VK_CONTROL, VK_MENU, VK_SHIFT) is held.
inline void PressKeyWith(int modifier, int vk, const std::string& chars = "") {
  HeadlessKeyDown(modifier);
  PressKey(vk, chars);
  HeadlessKeyUp(modifier);
}

// Shows the form modally; `script` runs once it is on screen and queues
// input. A loop that the input did not end gives up after five seconds with -1.
inline TModalResult ShowModalWith(TCustomForm* form, std::function<void()> script) {
  form->OnShow = [script](TObject*) { script(); };
  TTimer watchdog(nullptr);
  watchdog.SetInterval(VirtualClockActive() ? 600000 : 5000);
  watchdog.OnTimer = [form](TObject*) { form->SetModalResult(-1); };
  return form->ShowModal();
}
