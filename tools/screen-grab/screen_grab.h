// What the screen shows in an area, for the tools that save a window as a
// picture: read back from the X server when the window is a native one, so
// it is what a person would see, else from the headless in-memory screen.
#pragma once

#include "platform/gui/user.h"

// Null when the screen cannot be read; the caller deletes the bitmap.
HBITMAP GrabScreenArea(HWND window, const TRect& area);
// Writes the bitmap as PNG; false when the file cannot be written.
bool SavePng(HBITMAP bitmap, const char* fileName);
