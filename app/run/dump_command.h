// What one table dump consists of: how many parts a table is cut into, the
// argument string the command file records, the argument vector the dump
// child gets, and the file names of a run's dumps.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "platform/rtl/strings.h"

// The connection values and options a dump command is built from.
struct TDumpTarget {
  AnsiString HostName;
  AnsiString User;
  AnsiString Password;
  int Port = 0;
  AnsiString Database;
  AnsiString ExtraOptions;  // " --quick ..." or empty
};

// One dump: the table, where its result goes and, when paged, its row range.
struct TDumpPart {
  AnsiString Table;
  AnsiString ResultFile;  // full path of the ".zal" file
  bool Paged = false;
  std::int64_t Offset = 0;  // first row of the part (paged only)
  std::int64_t Rows = 0;    // rows per part (paged only)
};

// Parts of a paged table: rows / rowsPerPart + 1, so an exact multiple gets
// one more, empty part, and an empty table gets one.
std::int64_t PartCount(std::int64_t rows, std::int64_t rowsPerPart);

// The argument string in the form the command file "backup<n>.txt" keeps it.
AnsiString DumpArgumentString(const TDumpTarget& target, const TDumpPart& part);

// The same dump as separate arguments for the child (the program first), so
// no value is ever split or interpreted by a shell.
std::vector<AnsiString> DumpArguments(const AnsiString& program, const TDumpTarget& target, const TDumpPart& part);

// A name made safe as a file or folder name: "/", "\" and control
// characters become "_", and a leading "-" or "." (so also "..") gets a "_"
// in front.
AnsiString SafeFileName(const AnsiString& name);

// The dump file names of one run: a part name made safe, and made unique
// within the run, letter case counting, the protocol's name included; a later
// name that is taken gets "~2", "~3", ... appended.
class TDumpNames {
public:
  TDumpNames();
  // The file name (with ".zal") under which this part's dump is saved.
  AnsiString Claim(const AnsiString& partName);

private:
  std::set<AnsiString> used_;
};

// The folder names of the all-databases backup inside the date folder: a
// database name made safe, and unique whatever the letter case, as a backup
// disk may not tell "Db" from "db"; a later name that is taken gets "~2", ...
class TFolderNames {
public:
  AnsiString Claim(const AnsiString& database);

private:
  std::set<AnsiString> used_;  // upper-cased
};
