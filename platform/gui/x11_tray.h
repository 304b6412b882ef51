// Tray icons of the X11 backend: each icon is a small window that asks the
// freedesktop tray manager to embed it (XEmbed), paints its icon, and turns
// button presses on it into the owner's callback message. When a new manager
// announces itself, every icon docks again and windows hear "TaskbarCreated".
#pragma once

#include <map>

#include "platform/gui/user.h"
#include "platform/gui/x11_connection.h"

class X11Tray {
public:
  explicit X11Tray(X11Connection& x);
  bool Notify(DWORD message, const NOTIFYICONDATAA& data);
  // The icon window's place on the screen; false when the icon is not there.
  bool IconRect(UINT id, TRect& screen);
  // True when the event belonged to the tray.
  bool Handle(const XEvent& ev);

private:
  struct Icon {
    Window xid = 0;
    NOTIFYICONDATAA data;
    int lastButton = 0;
    std::uint32_t lastTime = 0;
    // The tray manager it asked to dock it (None when there was none).
    Window manager = 0;
    unsigned long askedSerial = 0;  // of the request that asked who the manager is
  };
  Window CreateIconWindow();
  void SetTip(const Icon& icon);
  bool Dock(Icon& icon);
  void ManagerAnnounced(Window manager);
  void Paint(const Icon& icon);
  void Button(Icon& icon, const XButtonEvent& b, bool press);
  void Callback(const Icon& icon, UINT mouseMessage);

  X11Connection& x_;
  Atom selection_ = 0;
  std::map<UINT, Icon> icons_;
  std::map<Window, UINT> byXid_;
};
