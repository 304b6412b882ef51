// Registers the desktop components with the class registry and publishes
// their properties, so that form data can create the folder edit, the time
// spin edit, the tray icon and the form storage by class name and set their
// values. The program calls it once at start-up, before reading any form.
#pragma once

void RegisterUtilComponents();
