// Desktop component routines that need the window layer: the keyboard shift
// state, the colour under the mouse pointer, showing and hiding the
// application, finding another instance's application window, and class
// registration that tolerates names already registered.
#pragma once

#include <utility>
#include <vector>

#include "platform/gui/controls.h"
#include "platform/gui/type_info.h"

// ssShift, ssAlt and ssCtrl from the keys' present states.
TShiftState UtlGetShiftState();
TColor UtlColorUnderCursor();

// The application's hidden window: shown normally, or hidden when visible.
void UtlShowAppWindow();
void UtlHideAppWindow();
// The same, then the main form (when there is one) made visible or invisible.
void UtlShowApplication();
void UtlHideApplication();

// A top-level window of the application window's class with the
// application's title, never this application's own; 0 when there is none.
HWND UtlFindPrevInstanceWindow();
// Restores that window when minimised, else brings it to the front; false
// when there is none.
bool UtlActivatePrevInstance();

using TUtlClassEntry = std::pair<const char*, TComponentFactory>;
template <class C>
TUtlClassEntry UtlClassEntry(const char* name) {
  return {name, [](TComponent* owner) -> TComponent* { return new C(owner); }};
}
// Registers the class unless a class of that name is known; never raises.
void UtlRegisterClassSafe(const TUtlClassEntry& entry);
void UtlRegisterClassesSafe(const std::vector<TUtlClassEntry>& entries);
