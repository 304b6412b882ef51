// The fixed version block of a program file. On this system a program
// carries it when it is built with VX_EMBED_FILE_VERSION, which puts the
// 52-byte block into an ELF section of its own; ReadFixedFileVersion finds
// that section in any program file.
#pragma once

#include <cstdint>

#include "platform/rtl/strings.h"

struct TFixedFileInfo {
  uint32_t dwSignature = 0xFEEF04BD;
  uint32_t dwStrucVersion = 0x00010000;
  uint32_t dwFileVersionMS = 0;
  uint32_t dwFileVersionLS = 0;
  uint32_t dwProductVersionMS = 0;
  uint32_t dwProductVersionLS = 0;
  uint32_t dwFileFlagsMask = 0x3F;
  uint32_t dwFileFlags = 0;
  uint32_t dwFileOS = 0;
  uint32_t dwFileType = 1;  // an application
  uint32_t dwFileSubtype = 0;
  uint32_t dwFileDateMS = 0;
  uint32_t dwFileDateLS = 0;
};
static_assert(sizeof(TFixedFileInfo) == 52);

inline constexpr const char* kFileVersionSection = ".vx_version";

// Embeds the version a.b.c.d (file and product) in the program being built.
#define VX_EMBED_FILE_VERSION(a, b, c, d)                                                            \
  [[gnu::used, gnu::section(".vx_version")]] constexpr TFixedFileInfo vx_embedded_file_version{     \
      0xFEEF04BD, 0x00010000, ((a) << 16) | (b), ((c) << 16) | (d), ((a) << 16) | (b), ((c) << 16) | (d), \
      0x3F, 0, 0, 1, 0, 0, 0}

// True when FileName is a program file with a version block of exactly 52
// bytes that begins with the block's signature; Info then holds it.
bool ReadFixedFileVersion(const AnsiString& fileName, TFixedFileInfo& info);
