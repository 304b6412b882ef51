// Where extracted members land. Member names arrive in UTF-8 and reach the
// file system whole, so names outside the system's code page survive. Each
// member gets its own file: a name that climbs out of the folder is refused,
// a second member on a path already written is refused, and an existing file
// is replaced only when the caller asked for it. Data goes to a scratch file
// in the folder first and takes its name only once it is complete.
#pragma once

#include <sys/types.h>

#include <set>
#include <string>

#include "platform/rtl/strings.h"

class ExtractTarget {
public:
  // Folder is created when missing.
  ExtractTarget(const AnsiString& folder, bool overwrite);

  // The member's path under the folder, with its parent folders made; empty
  // when the name leads to the folder itself. Raises Exception naming why
  // the member cannot be placed.
  std::string PlaceFile(const std::string& name);
  void PlaceFolder(const std::string& name);
  // A new empty scratch file in the folder, in the system's code page as the
  // archive library takes names. With Handle the file stays open for
  // writing and the caller closes *Handle.
  AnsiString NewScratchFile(int* handle = nullptr) const;
  // Gives the finished scratch file its path; refuses, removing the scratch
  // file, when a file appeared there meanwhile and overwriting is off.
  void Commit(const AnsiString& scratch, const std::string& path);

private:
  std::string PathOf(const std::string& name) const;
  void MakeFolders(const std::string& path, const std::string& name);

  std::string root_;
  bool overwrite_;
  std::set<std::string> written_;
  std::set<std::string> folders_;
  mode_t fileMode_ = 0;
};
