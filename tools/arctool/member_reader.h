// Reads one member's data back out of a ZIP archive: decrypts it with the
// traditional cipher when it is encrypted, inflates or copies it, and checks
// the CRC-32. The archive library itself has no extraction; the tool does it
// here so that checks of written archives are plain shell commands.
#pragma once

#include "platform/rtl/strings.h"

class TStream;
class TAbZipItem;

// Why the member cannot be read at all (unsupported method or encryption, no
// password), known before any output is made; empty when it can be tried.
AnsiString UnreadableReason(const TAbZipItem& item, const AnsiString& password);
// Writes the member's uncompressed data to Out. Returns an empty text on
// success, else what went wrong (wrong password, bad data, CRC or size
// mismatch). Decoding stops as soon as the data outgrows the header's size.
AnsiString ReadMember(TStream& archive, const TAbZipItem& item, const AnsiString& password, TStream& out);
