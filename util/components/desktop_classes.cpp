// Registration of the desktop component classes and their published properties.
#include "util/components/desktop_classes.h"

#include "util/components/wndproc_hook.h"

const std::vector<TUtlClassEntry>& DesktopComponentClasses() {
  static const std::vector<TUtlClassEntry> classes = {
      UtlClassEntry<TUtlComponent>("TUtlComponent"),
      UtlClassEntry<TUtlCustomTimer>("TUtlCustomTimer"),
      UtlClassEntry<TUtlCustomWndProcHook>("TUtlCustomWndProcHook"),
      UtlClassEntry<TUtlWndProcHook>("TUtlWndProcHook"),
  };
  return classes;
}

void RegisterDesktopComponentClasses() {
  RegisterProps<TUtlComponent>("TUtlComponent",
                               {StrProp<TUtlComponent>("About", &TUtlComponent::About, &TUtlComponent::SetAbout)});
  RegisterProps<TUtlWndProcHook>(
      "TUtlWndProcHook",
      {BoolProp("Active", &TUtlWndProcHook::Active, &TUtlWndProcHook::SetActive),
       BoolProp("AutoDrag", &TUtlWndProcHook::AutoDrag, &TUtlWndProcHook::SetAutoDrag),
       RefProp("WinControl", &TUtlWndProcHook::WinControl, &TUtlWndProcHook::SetWinControl)});
  UtlRegisterClassesSafe(DesktopComponentClasses());
}
