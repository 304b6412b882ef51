// Readable English texts for a failed SCSI request: the request block's
// status (or, for an error, the host adapter and target status), the sense
// key of a CHECK CONDITION and the additional sense code pair.
#pragma once

#include <cstdint>

#include "platform/rtl/strings.h"

struct SRB_ExecSCSICmd;

// Text of the status bytes; target_busy is set when the target was busy.
AnsiString SrbStatusText(uint8_t srb_status, uint8_t ha_status, uint8_t target_status, bool& target_busy);
// Text of fixed-format sense data (at least 14 bytes) by its sense key.
AnsiString SenseText(const uint8_t* sense);
// The text of an ASC/ASCQ pair, or the two numbers in decimal ("36,7").
AnsiString AdditionalSenseText(uint8_t asc, uint8_t ascq);
// The whole error text of a finished request, as LastErrorText shows it.
AnsiString ErrorTextOf(const SRB_ExecSCSICmd& srb, bool& target_busy);
