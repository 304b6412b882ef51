// Storage of the login-dialog hook and the screen-cursor service.
#include "platform/db/db_hooks.h"

namespace {

TLoginDialogHook& LoginHookSlot() {
  static TLoginDialogHook hook;
  return hook;
}

TScreenCursorService* screenCursor = nullptr;

}  // namespace

const TLoginDialogHook& LoginDialogHook() { return LoginHookSlot(); }
void SetLoginDialogHook(TLoginDialogHook hook) { LoginHookSlot() = std::move(hook); }

TScreenCursorService* ScreenCursorService() { return screenCursor; }
void SetScreenCursorService(TScreenCursorService* service) { screenCursor = service; }
