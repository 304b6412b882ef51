// The recycle bin, as the freedesktop.org trash lays it out: an item on the
// file system of the home trash ($XDG_DATA_HOME/Trash, else
// ~/.local/share/Trash) goes there; an item on another file system goes to
// that file system's own trash in its top folder, .Trash/<uid> when an
// administrator made .Trash (a sticky folder, not a link), else .Trash-<uid>.
// Each item lands in files/ with its origin and deletion time in
// info/<name>.trashinfo. An item that cannot be moved to a trash stays where
// it is; nothing is ever deleted outright or copied across file systems.
#pragma once

#include "platform/rtl/strings.h"

// Moves a file or folder (a link is moved as the link) to the trash under a
// name not used there yet. False when it could not be trashed; reason then
// says why (the system's message for the step that failed).
bool MoveToTrash(const AnsiString& path, AnsiString& reason);
bool MoveToTrash(const AnsiString& path);
