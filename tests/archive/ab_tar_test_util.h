// Shared by the tar, gzip and bzip2 tests: opening an archive of any of the
// three kinds over a file, listing it, and the round trip of a compressed tar
// with the peer tools (which run through the ZIP tests' shell helper).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "archive/ab_compressed_tar.h"
#include "platform/rtl/files.h"
#include "platform/rtl/streams.h"
#include "tests/support/temp_folder.h"
#include "tests/archive/ab_zip_test_util.h"

namespace tartest {

using ziptest::Shell;

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

// A compressed tar written by GNU tar (TarFlag "z" or "j") is listed and
// extracted in tar mode, grows by one entry, and the rewritten file is
// accepted by Checker ("gzip -t", "bzip2 -t"), GNU tar, bsdtar and python.
template <class Archive>
void CompressedTarRoundTrip(const std::string& tarFlag, const std::string& checker) {
  TempFolder dir;
  const std::string big(30000, '2');
  dir.Write("src/one.txt", "one");
  dir.Write("src/d/two.txt", big);
  const std::string file = dir / "peer.tar.x";
  ASSERT_EQ(Shell("cd " + dir.name() + "/src && tar -c" + tarFlag + "f " + file + " one.txt d/two.txt").status, 0);
  auto a = Open<Archive>(file, true);
  ASSERT_EQ(Names(*a), (std::vector<std::string>{"one.txt", "d/two.txt"}));
  EXPECT_EQ(ExtractToString(*a, 1), big);
  a->TestItemAt(0);

  a->AddFiles(dir.Write("three.txt", "three"), 0);
  a->Save();
  EXPECT_EQ(Shell(checker + " " + file).status, 0);
  EXPECT_EQ(Shell("tar -t" + tarFlag + "f " + file).output, "one.txt\nd/two.txt\nthree.txt\n");
  EXPECT_EQ(Shell("bsdtar -tvf " + file).status, 0);
  EXPECT_EQ(Shell("tar -x" + tarFlag + "Of " + file + " three.txt").output, "three");
  EXPECT_EQ(Shell("python3 -c \"import tarfile,sys; t=tarfile.open(sys.argv[1]); "
                  "print(t.extractfile('d/two.txt').read().count(b'2'))\" " + file)
                .output,
            "30000\n");
  EXPECT_EQ(Open<Archive>(file, true)->Count(), 3);
}

}  // namespace tartest
