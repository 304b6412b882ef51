// The one pair of entry points every SCSI command of the library goes
// through, bound either to an ASPI library loaded by file name or to the
// built-in pass-through layer (spti_layer.h). One transport per process.
#pragma once

#include <cstdint>

#include "cdwriter/srb.h"
#include "platform/rtl/strings.h"

constexpr char kAspiLibraryName[] = "WNASPI32.DLL";

// True once a transport is bound.
bool ASPIInitialized();
// kBuiltInTransportName, kAspiLibraryName, or "" when nothing is bound.
const AnsiString& TransportName();
// The mode argument of the last LoadTransport.
bool PreferPassThrough();

// Binds the built-in layer (when it finds drives) or the library, the mode
// saying which comes first; dll_name, when not empty, is the first library
// name tried. A library lacking an entry point raises EAssertionFailed.
bool LoadTransport(bool prefer_pass_through, const AnsiString& dll_name);
// Binds a pair of entry points directly, as a loaded library would be bound.
void BindTransport(TGetASPI32SupportInfo support_info, TSendASPI32Command send_command,
                   const AnsiString& name);
// What process exit does: frees the library, forgets the built-in layer's
// drives and leaves nothing bound.
void ShutdownTransport();

// The bound entry points; unbound they report no adapters and SS_NOT_INITIALIZED.
uint32_t GetASPI32SupportInfo();
uint32_t SendASPI32Command(void* srb);
