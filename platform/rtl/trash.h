// The recycle bin: the freedesktop.org home trash ($XDG_DATA_HOME/Trash, else
// ~/.local/share/Trash), with each item in files/ and its origin and deletion
// time in info/<name>.trashinfo. An item that cannot be moved there stays
// where it is; nothing is ever deleted outright.
#pragma once

#include "platform/rtl/strings.h"

// Moves a file or folder (a link is moved as the link) to the trash under a
// name not used there yet. False when it could not be trashed.
bool MoveToTrash(const AnsiString& path);
