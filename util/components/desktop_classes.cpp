// Registration of the desktop component classes and their published properties.
#include "util/components/desktop_classes.h"

#include "util/components/change_monitors.h"
#include "util/components/thread_component.h"
#include "util/components/wndproc_hook.h"

const std::vector<TUtlClassEntry>& DesktopComponentClasses() {
  static const std::vector<TUtlClassEntry> classes = {
      UtlClassEntry<TUtlComponent>("TUtlComponent"),
      UtlClassEntry<TUtlCustomThreadComponent>("TUtlCustomThreadComponent"),
      UtlClassEntry<TUtlCustomTimer>("TUtlCustomTimer"),
      UtlClassEntry<TUtlCustomThreadTimer>("TUtlCustomThreadTimer"),
      UtlClassEntry<TUtlCustomWndProcHook>("TUtlCustomWndProcHook"),
      UtlClassEntry<TUtlWndProcHook>("TUtlWndProcHook"),
      UtlClassEntry<TUtlThreadComponent>("TUtlThreadComponent"),
      UtlClassEntry<TUtlThreadTimer>("TUtlThreadTimer"),
      UtlClassEntry<TUtlCustomFolderMonitor>("TUtlCustomFolderMonitor"),
      UtlClassEntry<TUtlFolderMonitor>("TUtlFolderMonitor"),
      UtlClassEntry<TUtlCustomRegistryMonitor>("TUtlCustomRegistryMonitor"),
      UtlClassEntry<TUtlRegistryMonitor>("TUtlRegistryMonitor"),
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
  RegisterThreadComponentProps();
  RegisterChangeMonitorProps();
  UtlRegisterClassesSafe(DesktopComponentClasses());
}
