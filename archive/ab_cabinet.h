// Recognising cabinet files. No cabinet archive class exists, so a cabinet is
// only ever detected, never opened; the check reads the cabinet header itself
// (signature, version and the plausibility of its size fields) instead of
// relying on an operating-system cabinet library.
#pragma once

#include "archive/ab_zip_records.h"

class TStream;

// akCabinet when a plausible cabinet header starts at the stream's position,
// akUnknown otherwise (also for a stream too short to hold one). The stream
// position is left as it was.
TAbArchiveKind DetectCabinet(TStream& stream);
