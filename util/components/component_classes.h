// Registers the desktop components with the class registry and publishes
// their properties, so that form data can create the folder edit, the time
// spin edit, the tray icon and the form storage by class name and set their
// values. The program calls it once at start-up, before reading any form.
// Each class is also known by the name the components' other edition stores.
#pragma once

#include <utility>
#include <vector>

void RegisterUtilComponents();
// The other names with the class each creates here.
const std::vector<std::pair<const char*, const char*>>& UtilComponentOtherNames();
