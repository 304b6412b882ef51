// Exception classes are header-only; this unit anchors the library until the
// runtime grows its first source files.
#include "platform/rtl/exceptions.h"
