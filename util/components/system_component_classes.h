// The file, tray, single-instance and other system components as stored
// forms name them, with their published properties: registered once each,
// silently skipping names already known (RegisterUtilComponents calls it).
#pragma once

#include <vector>

#include "util/components/app_window_routines.h"

const std::vector<TUtlClassEntry>& SystemComponentClasses();
void RegisterSystemComponentClasses();
