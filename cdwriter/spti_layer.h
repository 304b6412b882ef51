// The built-in transport "VUVERO32": answers the ASPI entry points by itself
// over a drive port. Drives are found once, at the first scan; drives without
// a SCSI address (every drive on Linux) sit on one virtual adapter numbered
// after the real ones, with targets 0, 1, 2 ... in node order.
#pragma once

#include <cstdint>

#include "platform/rtl/strings.h"

class IDrivePort;

constexpr char kBuiltInTransportName[] = "VUVERO32";
constexpr char kBuiltInManagerId[] = "VORBEX05 BUILTIN";  // 16 characters

// The port the layer scans; nullptr restores the Linux SG_IO port. The port
// is not owned and must outlive the layer's use of it (ShutdownTransport).
void SptiSetPort(IDrivePort* port);
// Number of drives found; 0 when the table was already scanned.
int SptiScanDrives();
// Closes every open drive and forgets the table.
void SptiShutdown();

uint32_t SptiSupportInfo();
uint32_t SptiSendCommand(void* srb);

void SetCloseHandleAfterCommand(bool value);
bool CloseHandleAfterCommand();
// The device node of a present drive, "" for none.
AnsiString SptiDevicePathOf(uint8_t ha_id, uint8_t target, uint8_t lun);
