// Shared by the gzip and bzip2 fuzz targets: a compressed archive is loaded
// from the input as a plain and as a tar-mode archive, and what it lists is
// tested; any failure must be the library's own exception.
#pragma once

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

template <class Archive>
void LoadAndTest(TStream& input, const char* name, bool tarMode) {
  input.SetPosition(0);
  Archive archive(&input, name);
  archive.SetOpenInnerTar(tarMode);
  archive.SetIsCompressedTar(tarMode);
  try {
    archive.Load();
    for (int i = 0; i < archive.Count(); ++i) archive.TestItemAt(i);
  } catch (const Exception&) {
  }
}
