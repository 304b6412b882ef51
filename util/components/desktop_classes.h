// The desktop components' classes as stored forms name them: registered in a
// fixed order, each only when no class of its name is known yet, so a second
// registration (another module with the same names) does nothing and raises
// nothing. RegisterUtilComponents calls it.
#pragma once

#include <vector>

#include "util/components/app_window_routines.h"

// The classes in registration order.
const std::vector<TUtlClassEntry>& DesktopComponentClasses();
void RegisterDesktopComponentClasses();
