// Shared by the tar, gzip and bzip2 tests: opening an archive of any of the
// three kinds over a file, listing it, and running peer tools.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "archive/ab_compressed_tar.h"
#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"

namespace tartest {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

struct CommandResult {
  int status;
  std::string output;
};

// Runs a shell command, collecting stdout and stderr.
inline CommandResult Shell(const std::string& command) {
  CommandResult r{-1, {}};
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
  int status = pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

// Opens (or creates) an archive file and loads it; Tar sets the tar mode of
// the compressed kinds.
template <class Archive>
std::unique_ptr<Archive> Open(const std::string& path, bool tar = false) {
  const bool exists = FileExists(path);
  auto a = std::make_unique<Archive>(path, exists ? fmOpenReadWrite | fmShareDenyWrite : fmCreate);
  if constexpr (std::is_base_of_v<TAbCompressedTarArchive, Archive>) {
    a->SetOpenInnerTar(tar);
    a->SetIsCompressedTar(tar);
  }
  a->SetStoreOptions({soStripDrive, soStripPath});
  a->Load();
  return a;
}

inline std::vector<std::string> Names(TAbArchive& a) {
  std::vector<std::string> names;
  for (int i = 0; i < a.Count(); ++i) names.push_back(a.Items(i)->GetFileName());
  return names;
}

inline std::string ExtractToString(TAbArchive& a, int index) {
  TStringStream out;
  a.ExtractItemToStreamAt(index, &out);
  return out.DataString();
}

// Adds the files (full paths) and saves.
inline void AddAndSave(TAbArchive& a, const std::vector<std::string>& files) {
  for (const std::string& f : files) a.AddFiles(f, 0);
  a.Save();
}

}  // namespace tartest
