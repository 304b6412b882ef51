// What the window test does on the X server itself, kept out of the files
// that see the program's headers (Xlib's names clash with the runtime's):
// pointer clicks through XTest and a tray manager played by the test.
#pragma once

#include <memory>

// A click (button 1 left, 3 right) at a screen point.
void XClickAt(int x, int y, int button = 1);
// Some program owns the screen's system tray selection.
bool TrayManagerRunning();

class TrayHost {
public:
  TrayHost();
  ~TrayHost();
  // Waits for the program's icon to ask for docking and embeds it.
  bool DockIcon();
  // The middle of the docked icon on the screen.
  static int IconX();
  static int IconY();

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
