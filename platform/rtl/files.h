// Files and folders on the local file system: existence tests, attributes in
// the platform's bit form, creation, deletion, renaming, sizes, the program's
// arguments and the temporary and current folders. Names are Windows-1250 and
// cross to the kernel as UTF-8.
//
// Attributes describe the entry itself: a symbolic link is reported as
// faSymLink and never as a folder, so no walker built on these calls (finders,
// tree deletion) can descend through a link into its target or loop on one.
// The existence tests do follow links: a link to a folder is a usable folder.
#pragma once

#include <cstdint>

#include "platform/rtl/paths.h"
#include "platform/rtl/strings.h"

constexpr int faReadOnly = 0x01;   // the owner may not write
constexpr int faHidden = 0x02;     // the name starts with "."
constexpr int faSysFile = 0x04;    // device, FIFO or socket
constexpr int faVolumeID = 0x08;   // never set on this platform
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;    // never set on this platform
constexpr int faSymLink = 0x40;
constexpr int faNormal = 0x80;     // FileSetAttr only: writable, nothing else
constexpr int faAnyFile = 0x3F;

bool FileExists(const AnsiString& name);       // exists and is no folder
bool DirectoryExists(const AnsiString& name);  // exists and is a folder
// Creates the folder with every missing parent. "/" is the only root that
// exists by itself; an empty name gives false.
bool ForceDirectories(const AnsiString& dir);
bool CreateDir(const AnsiString& dir);
bool RemoveDir(const AnsiString& dir);  // empty folders only
bool DeleteFile(const AnsiString& name);  // a link is removed, never its target
bool RenameFile(const AnsiString& old_name, const AnsiString& new_name);

// Attribute bits of the entry, -1 when it cannot be read.
int FileGetAttr(const AnsiString& name);
// Sets or clears faReadOnly (the owner's write bit); other bits are derived
// from the entry and cannot be set. 0 on success, else the system error.
int FileSetAttr(const AnsiString& name, int attributes);
// Size in bytes, -1 when the file cannot be read or is a folder.
int64_t FileSize(const AnsiString& name);

// Deletes a file or a folder with everything below it. Links inside the tree
// (and a link given as the tree itself) are removed as links; their targets
// are never touched. False when anything could not be deleted.
bool DeleteTree(const AnsiString& path);

AnsiString GetCurrentDir();
bool SetCurrentDir(const AnsiString& dir);
// The system's temporary folder ($TMPDIR, else /tmp) with a trailing "/".
AnsiString GetTempDir();
// dir + prefix + four hex digits + ".tmp". With unique 0 a free number is
// chosen and the empty file created (empty text when that fails); otherwise
// the number is unique and nothing is created.
AnsiString GetTempFileName(const AnsiString& dir, const AnsiString& prefix, unsigned unique);

// Program arguments: ParamStr(0) is the program's full path, 1..ParamCount the
// arguments as the process received them, converted to Windows-1250.
int ParamCount();
AnsiString ParamStr(int index);
