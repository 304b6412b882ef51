// The compression engine's entry points: Deflate compresses the rest of a source
// stream into raw Deflate data, Inflate decodes raw Deflate data; both return the
// checksum (CRC-32, or Adler-32 with kDfUseAdler32) of the uncompressed bytes.
// A null helper means the defaults; a given helper receives the two byte counts.
#pragma once

#include <cstdint>

#include "archive/deflate/df_base.h"

uint32_t Deflate(TStream* aSource, TStream* aDest, TAbDeflateHelper* aHelper);
uint32_t Inflate(TStream* aSource, TStream* aDest, TAbDeflateHelper* aHelper);
