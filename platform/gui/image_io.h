// Image files of the drawing layer: Windows bitmaps (1, 4, 8, 16, 24 and 32
// bits per pixel) read and written, icons (with AND mask and 32-bit alpha)
// read, PNG written through libpng for tests and people to look at.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gui/gdi_objects.h"
#include "platform/rtl/exceptions.h"

VX_DECLARE_EXCEPTION(EInvalidGraphic, Exception)

using Bytes = std::vector<uint8_t>;

// A new bitmap from BMP file bytes; raises EInvalidGraphic for bad data.
// A two-colour black-and-white bitmap becomes monochrome; other palettes are
// kept so the file can be written back with its colours.
HBITMAP ReadBmp(const uint8_t* data, size_t size);
// BMP file bytes in the bitmap's logical format (24 bits for a 16-bit one).
Bytes WriteBmp(const GdiBitmap& bitmap);

// Every image of an ICO file; raises EInvalidGraphic for bad data.
std::vector<GdiIcon> ReadIco(const uint8_t* data, size_t size);

// PNG bytes (RGB, 8 bits per channel); raises EInvalidGraphic on failure.
Bytes WritePng(const GdiBitmap& bitmap);
