// Two services the dataset layer asks of the user interface: a login dialog
// and the screen cursor. The framework only holds the hooks; the GUI installs
// them. Without them a login cannot be asked and the cursor is left alone.
#pragma once

#include <functional>

#include "platform/rtl/strings.h"

// Asks for the user name and password of `database`; false when cancelled.
using TLoginDialogHook =
    std::function<bool(const AnsiString& database, AnsiString& userName, AnsiString& password)>;

const TLoginDialogHook& LoginDialogHook();
void SetLoginDialogHook(TLoginDialogHook hook);

// The cursor kinds the screen shows, in the service's order.
enum TScreenCursorKind { crDefault, crHourGlass, crSQLWait, crOther };

class TScreenCursorService {
public:
  virtual ~TScreenCursorService() = default;
  virtual TScreenCursorKind Cursor() const = 0;
  virtual void SetCursor(TScreenCursorKind kind) = 0;
};

// The installed service, or none; the caller keeps the service alive.
TScreenCursorService* ScreenCursorService();
void SetScreenCursorService(TScreenCursorService* service);
