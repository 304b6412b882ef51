// The CD writing library's own texts, verbatim: upper-case English, as the
// library reports them in LastErrorText and debug messages.
#pragma once

inline constexpr char SInvalidDeviceId[] = "INVALID DEVICE ID / NOT A CD OR DVD DRIVE";
// A drive answered with data too short or not of the kind asked for.
inline constexpr char SInvalidAnswer[] = "INVALID DATA RECEIVED FROM DEVICE";
inline constexpr char SNotSupportedSuffix[] = " (not supported)";
inline constexpr char SDebugPrefix[] = ">>> ";

// Names of the disc type codes that GetDiscType returns.
inline constexpr const char* DiscTypeNames[] = {
    "UNKNOWN", "CD-ROM", "CD-R", "CD-RW", "DVD-ROM", "DVD-R", "DVD-RAM", "DVD-RW",
    "DVD-RW", "DVD-RW", "DVD+RW", "DVD+R", "DVD+R DL", "DDCD-ROM", "DDCD-R", "DDCD-RW"};

// File tree and image layout.
inline constexpr char SInvalidDestinationPath[] = "INVALID DESTINATION PATH";
inline constexpr char SMaxDirectories[] = "MAXIMUM DIRECTORIES CAN BE %d";
inline constexpr char SMaxFiles[] = "MAXIMUM FILES CAN BE %d";
inline constexpr char SFileTooLarge[] = "FILE TOO LARGE FOR ISO 9660: ";
inline constexpr char SFileNameTaken[] = "FILE NAME ALREADY IN THE FOLDER: ";
inline constexpr char SFileNameTooLong[] = "FILE NAME TOO LONG FOR JOLIET: ";
inline constexpr char SNameOutsideUcs2[] = "NAME HAS A CHARACTER OUTSIDE JOLIET'S UCS-2: ";
inline constexpr char SVolumeIdCharacters[] = "VOLUME ID \"%s\" HAS CHARACTERS OUTSIDE A-Z, 0-9 AND _";
inline constexpr char SVolumeIdCut[] = "VOLUME ID \"%s\" CUT TO %d CHARACTERS IN %s";
inline constexpr char SNextWritableError[] = "ERROR GETTING NEXT WRITABLE ADDRESS";
inline constexpr char SRootShortName[] = "CD_ROOT";
inline constexpr char SRootLongName[] = "CD Root Directory";
// The boot record's system identifier, byte for byte as disc readers look
// for it to find the boot catalogue.
inline constexpr char SElToritoId[] = "EL TORITO SPECIFICATION";
inline constexpr char SBootCatalogId[] = "Zozov AD/UDU Zeziri";

// Burning.
inline constexpr char SCantOpenFile[] = "CAN'T OPEN FILE \"%s\" OR FILE IS IN USES BY OTHER SOFTWARE";
inline constexpr char SCantReadFile[] = "CAN'T READ FILE \"%s\"";
inline constexpr char SFileShrank[] = "FILE \"%s\" IS SHORTER THAN WHEN IT WAS ADDED";
inline constexpr char SFileGrew[] = "FILE \"%s\" IS LONGER THAN WHEN IT WAS ADDED";
inline constexpr char SAbortedByUser[] = "OPERATION ABORTED BY USER";
inline constexpr char STooMuchData[] = "TOO MUCH DATA FOR THIS MODE";
inline constexpr char SSessionAtOnceNotPossible[] = "SESSION AT ONCE NOT POSSIBLE ON THIS DISC";
inline constexpr char SSendCueSheetFailed[] = "SEND CUE SHEET FAILED";
inline constexpr char SWriterBusy[] = "WRITER BUSY/BUFFER FULL";
inline constexpr char SWriterError[] = "WRITER ERROR";
inline constexpr char SFlushFailed[] = "SYNCHRONIZE CACHE FAILED";
inline constexpr char SCloseFailed[] = "CLOSE TRACK/SESSION FAILED";
inline constexpr char SStartingWrite[] = "STARTING WRITE PROCESS ON %s AT %s";
inline constexpr char STestWriteMessage[] = "TEST/DUMMY WRITE";

// Session import.
inline constexpr char SImportingSession[] = "IMPORTING SESSION # %d";
inline constexpr char SErrorImportingSession[] = "ERROR IMPORTING SESSION";
inline constexpr char SIsoImageNotFound[] = "ERROR IMPORTING SESSION %d (ISO IMAGE NOT FOUND)";
inline constexpr char SImportNameTooLong[] = "ERROR IMPORTING SESSION, FILE NAME LENGTH EXCEEDS 120 CHARS";
