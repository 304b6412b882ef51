// arctool against the tools people use, both ways: archives of zip, 7zz,
// GNU tar and python extract here byte for byte, names and empty files and
// folders included, and ours extract so with them; no two members ever land
// on one file; damaged tar, gzip and bzip2 files that a peer refuses are
// refused here too; passwords typed on this system open in unzip and 7zz.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/rtl/text.h"
#include "tests/archive/ab_zip_test_util.h"
#include "tests/support/temp_folder.h"

using namespace ziptest;

namespace {

using ziptest::kArctool;

// Test texts are compiled in Windows-1250; names reach files and tools in UTF-8.
std::string U(const char* text) { return AnsiToUtf8(text); }
const std::string kNihon = "\xe6\x97\xa5\xe6\x9c\xac.txt";         // "Japan" in Japanese
const std::string kZhongguo = "\xe4\xb8\xad\xe5\x9b\xbd.txt";      // "China" in Chinese, as long

std::string Binary(size_t size) {
  std::mt19937 random(7);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// Names that tell a lossy or colliding extraction apart: Czech and spaces,
// two Japanese and Chinese names of one length (once both "??.txt"), a
// leading '-', ".." inside names (no element of its own), names over 100
// bytes, an empty file and empty folders.
const std::string kLongName = U("dlouhé jméno ") + std::string(100, 'x') + ".txt";
struct SourceFile {
  std::string name;
  std::string bytes;
};
const std::vector<SourceFile> kFlatFiles = {
    {U("příliš žluťoučký kůň.txt"), U("Kůň úpěl ďábelské ódy.")},
    {"-leading dash.txt", "dash"},
    {"..dots..txt", "dots"},
    {kLongName, "long"},
    {"empty.txt", ""},
    {"data.bin", Binary(70000)},
};

class ArctoolPeers : public ::testing::Test {
protected:
  TempFolder dir;

  std::string Src() { return dir / "src"; }

  void WriteFlatFiles() {
    for (const SourceFile& f : kFlatFiles) dir.Write("src/" + f.name, f.bytes);
  }
  // The flat files and a tree: folders (one empty, one Czech, one over 100
  // bytes deep), ".." inside a folder name and the Japanese and Chinese names.
  void WriteTree() {
    WriteFlatFiles();
    dir.Write("src/" + kNihon, "nihon");
    dir.Write("src/" + kZhongguo, "zhongguo");
    dir.Write("src/a..b/c.txt", "c");
    dir.Write(U("src/složka/") + kLongName, "deep");
    dir.Write("src/sub/deeper/data.bin", Binary(5000));
    ASSERT_EQ(Shell("mkdir -p " + Quote(Src() + U("/prázdná složka")) + " " + Quote(Src() + "/sub/empty")).status, 0);
  }
  // Byte for byte, every file and folder, nothing more and nothing less.
  void ExpectSameTree(const std::string& out) {
    ShellResult r = Shell("diff -r " + Quote(Src()) + " " + Quote(out));
    EXPECT_EQ(r.status, 0) << r.output;
  }
};

struct PeerWriter {
  const char* what;
  const char* archive;
  const char* command;  // run in src, writing ../ARCHIVE
};

TEST_F(ArctoolPeers, PeerArchivesExtractWholeHere) {
  WriteTree();
  const PeerWriter peers[] = {
      {"zip", "zip.zip", "zip -qr ../zip.zip ."},
      {"7zz", "7zz.zip", "7zz a -tzip ../7zz.zip . >/dev/null"},
      {"python zipfile", "py.zip",
       "python3 -c \"import zipfile,os\nz=zipfile.ZipFile('../py.zip','w',zipfile.ZIP_DEFLATED)\n"
       "for r,ds,fs in os.walk('.'):\n  for n in ds+fs: z.write(os.path.join(r,n))\nz.close()\""},
      {"GNU tar", "gnu.tar", "tar -cf ../gnu.tar ."},
      {"GNU tar, POSIX headers", "posix.tar", "tar --format=posix -cf ../posix.tar ."},
      {"GNU tar, gzip", "gnu.tar.gz", "tar -czf ../gnu.tar.gz ."},
      {"GNU tar, bzip2", "gnu.tar.bz2", "tar -cjf ../gnu.tar.bz2 ."},
      {"python tarfile", "py.tar",
       "python3 -c \"import tarfile\nt=tarfile.open('../py.tar','w',format=tarfile.GNU_FORMAT)\n"
       "t.add('.')\nt.close()\""},
      {"python tarfile, extended headers", "pax.tar",
       "python3 -c \"import tarfile\nt=tarfile.open('../pax.tar','w',format=tarfile.PAX_FORMAT)\n"
       "t.add('.')\nt.close()\""},
  };
  for (const PeerWriter& peer : peers) {
    SCOPED_TRACE(peer.what);
    ASSERT_EQ(Shell("cd " + Quote(Src()) + " && " + peer.command).status, 0);
    const std::string archive = dir / peer.archive, out = dir / (std::string("out-") + peer.archive);
    ShellResult r = Shell(kArctool + " extract " + Quote(archive) + " " + Quote(out));
    EXPECT_EQ(r.status, 0) << r.output;
    ExpectSameTree(out);
  }
  // GNU tar and we show the same names.
  auto sorted = [](const std::string& lines) {
    std::vector<std::string> names;
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) names.push_back(line.substr(0, line.find('\t')));
    std::sort(names.begin(), names.end());
    return names;
  };
  EXPECT_EQ(sorted(Shell(kArctool + " list " + Quote(dir / "gnu.tar")).output),
            sorted(Shell("tar -tf " + Quote(dir / "gnu.tar")).output));
}

struct PeerReader {
  const char* what;
  const char* archive;
  const char* command;  // ARCHIVE into OUT, both replaced
};

TEST_F(ArctoolPeers, OurArchivesExtractWholeWithPeers) {
  WriteFlatFiles();
  std::string files;
  for (const SourceFile& f : kFlatFiles) files += " " + Quote(Src() + "/" + f.name);
  for (const char* archive : {"our.zip", "our.tar", "our.tar.gz", "our.tar.bz2"}) {
    ShellResult r = Shell(kArctool + " add " + Quote(dir / archive) + files);
    ASSERT_EQ(r.status, 0) << archive << r.output;
  }
  const PeerReader peers[] = {
      {"unzip", "our.zip", "unzip -q ARCHIVE -d OUT"},
      {"7zz", "our.zip", "7zz x -oOUT ARCHIVE >/dev/null"},
      {"GNU tar", "our.tar", "mkdir OUT && tar -xf ARCHIVE -C OUT"},
      {"GNU tar, gzip", "our.tar.gz", "mkdir OUT && tar -xzf ARCHIVE -C OUT"},
      {"GNU tar, bzip2", "our.tar.bz2", "mkdir OUT && tar -xjf ARCHIVE -C OUT"},
      {"python tarfile", "our.tar", "python3 -c \"import tarfile,sys; tarfile.open(sys.argv[1]).extractall(sys.argv[2])\" ARCHIVE OUT"},
  };
  int n = 0;
  for (const PeerReader& peer : peers) {
    SCOPED_TRACE(peer.what);
    std::string command = peer.command;
    const std::string out = dir / ("out" + std::to_string(++n));
    for (size_t at; (at = command.find("ARCHIVE")) != std::string::npos;) command.replace(at, 7, Quote(dir / peer.archive));
    for (size_t at; (at = command.find("OUT")) != std::string::npos;) command.replace(at, 3, Quote(out));
    ShellResult r = Shell(command);
    EXPECT_EQ(r.status, 0) << r.output;
    ExpectSameTree(out);
  }
}

// A name the system's code page cannot hold is refused by name at add, and
// never taken for a wildcard ("??.txt" would match both files).
TEST_F(ArctoolPeers, AddRefusesANameOutsideTheCodePage) {
  dir.Write(kNihon, "nihon");
  dir.Write("ab.txt", "ab");
  ShellResult r = Shell(kArctool + " add " + Quote(dir / "x.zip") + " " + Quote(dir / kNihon));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find(kNihon + ": name has characters outside Windows-1250"), std::string::npos) << r.output;
  EXPECT_FALSE(FileExists(dir / "x.zip"));
}

// Members that would meet on one path: the first one is written, every other
// one is refused by name; nothing lands outside the folder; a second run
// overwrites nothing unless asked with -f.
TEST_F(ArctoolPeers, NoTwoMembersOnOneFileAndNoSilentOverwrite) {
  const std::string names = "['a.txt','./a.txt','../a.txt','sub/../a.txt','/a.txt','" + kNihon + "','" + kZhongguo + "']";
  ASSERT_EQ(Shell(std::string("cd ") + Quote(dir.name()) + " && python3 -c \"import zipfile,tarfile,io\n"
                  "names=" + names + "\n"
                  "z=zipfile.ZipFile('m.zip','w')\n"
                  "for i,n in enumerate(names): z.writestr(n, 'member %d' % i)\n"
                  "z.close()\n"
                  "t=tarfile.open('m.tar','w',format=tarfile.GNU_FORMAT)\n"
                  "for i,n in enumerate(names):\n"
                  "  b=('member %d' % i).encode(); ti=tarfile.TarInfo(n); ti.size=len(b); t.addfile(ti, io.BytesIO(b))\n"
                  "t.close()\"")
                .status,
            0);
  for (const char* archive : {"m.zip", "m.tar"}) {
    SCOPED_TRACE(archive);
    const std::string out = dir / (std::string("out-") + archive);
    ShellResult r = Shell(kArctool + " extract " + Quote(dir / archive) + " " + Quote(out));
    EXPECT_EQ(r.status, 1) << r.output;
    for (const char* refused : {"./a.txt: another member", "../a.txt: name climbs out", "sub/../a.txt: name climbs out",
                                "/a.txt: absolute name"})
      EXPECT_NE(r.output.find(refused), std::string::npos) << refused << "\n" << r.output;
    EXPECT_EQ(FileBytes(out + "/a.txt"), "member 0");
    EXPECT_EQ(FileBytes(out + "/" + kNihon), "member 5");
    EXPECT_EQ(FileBytes(out + "/" + kZhongguo), "member 6");
    EXPECT_EQ(Shell("find " + Quote(dir.name()) + " -name a.txt -not -path '*/out-*'").output, "");

    dir.Write(std::string("out-") + archive + "/" + kNihon, "mine");
    r = Shell(kArctool + " extract " + Quote(dir / archive) + " " + Quote(out));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find(kNihon + ": file exists, not overwritten"), std::string::npos) << r.output;
    EXPECT_EQ(FileBytes(out + "/" + kNihon), "mine");
    r = Shell(kArctool + " extract -f " + Quote(dir / archive) + " " + Quote(out));
    EXPECT_EQ(r.status, 1);  // the colliding and climbing names are still refused
    EXPECT_EQ(FileBytes(out + "/" + kNihon), "member 5");
    EXPECT_EQ(FileBytes(out + "/a.txt"), "member 0");
    EXPECT_EQ(Shell("ls -A " + Quote(out) + " | LC_ALL=C sort").output,
              "a.txt\n" + kZhongguo + "\n" + kNihon + "\n");  // no scratch file left
  }
}

TEST_F(ArctoolPeers, AGzipOrBzip2FileTakesOneFileAndRefusesTheRestByName) {
  dir.Write("a.txt", "first");
  dir.Write("b.txt", "second");
  dir.Write("c.txt", "third");
  for (const char* archive : {"t.gz", "t.bz2"}) {
    SCOPED_TRACE(archive);
    const std::string path = dir / archive;
    ShellResult r = Shell(kArctool + " add " + Quote(path) + " " + Quote(dir / "a.txt") + " " + Quote(dir / "b.txt") +
                          " " + Quote(dir / "c.txt"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("b.txt: not added, a gzip or bzip2 file holds one file"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("c.txt: not added"), std::string::npos) << r.output;
    EXPECT_EQ(Shell((path.back() == 'z' ? "gzip -dc " : "bzip2 -dc ") + Quote(path)).output, "first");
    // A second add to the file that holds one is refused as well.
    r = Shell(kArctool + " add " + Quote(path) + " " + Quote(dir / "b.txt"));
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_EQ(Shell(kArctool + " extract " + Quote(path) + " " + Quote(dir / "out")).status, 0);
  }
  EXPECT_EQ(FileBytes(dir / "out/a.txt"), "first");
  EXPECT_EQ(FileBytes(dir / "out/t"), "first");
}

// A gzip member's name travels in UTF-8 both ways, as gzip keeps it.
TEST_F(ArctoolPeers, GzipNamesAgreeWithGzip) {
  const std::string name = U("žluťoučký kůň.txt");
  dir.Write("theirs/" + name, "peer");
  ASSERT_EQ(Shell("gzip " + Quote(dir / ("theirs/" + name))).status, 0);
  ShellResult r = Shell(kArctool + " extract " + Quote(dir / ("theirs/" + name + ".gz")) + " " + Quote(dir / "out"));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(FileBytes(dir / ("out/" + name)), "peer");

  dir.Write("ours/" + name, "ours");
  ASSERT_EQ(Shell(kArctool + " add " + Quote(dir / "ours/our.gz") + " " + Quote(dir / ("ours/" + name))).status, 0);
  ASSERT_EQ(Shell("cd " + Quote(dir / "ours") + " && rm " + Quote(name) + " && gzip -dN our.gz").status, 0);
  EXPECT_EQ(FileBytes(dir / ("ours/" + name)), "ours");
}

// The password goes into the cipher as the UTF-8 bytes typed, as unzip and
// 7zz use it; an encrypted entry says "version made by" as a plain one does.
TEST_F(ArctoolPeers, ACzechPasswordOpensInUnzipAnd7zz) {
  const std::string password = U("heslíčko Ř");
  const std::string file = dir.Write(U("tajné.txt"), U("tajemství ") + Binary(3000));
  const std::string locked = dir / "locked.zip", open = dir / "open.zip";
  ASSERT_EQ(Shell(kArctool + " add -p " + Quote(password) + " " + Quote(locked) + " " + Quote(file)).status, 0);
  ASSERT_EQ(Shell(kArctool + " add " + Quote(open) + " " + Quote(file)).status, 0);
  EXPECT_EQ(Shell("unzip -P " + Quote(password) + " -p " + Quote(locked)).output, FileBytes(file));
  ShellResult r = Shell("7zz t -p" + Quote(password) + " " + Quote(locked));
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(Shell("unzip -P heslicko -t " + Quote(locked)).status, 0);

  const std::string theirs = dir / "theirs.zip";
  ASSERT_EQ(Shell("cd " + Quote(dir.name()) + " && zip -q -P " + Quote(password) + " theirs.zip " + U("tajné.txt")).status, 0);
  EXPECT_EQ(Shell(kArctool + " test -p " + Quote(password) + " " + Quote(theirs)).status, 0);
  EXPECT_EQ(Shell(kArctool + " test -p heslicko " + Quote(theirs)).status, 1);

  const char* madeBy = "python3 -c \"import zipfile,sys; i=zipfile.ZipFile(sys.argv[1]).infolist()[0]; "
                       "print(i.create_system, i.create_version, i.flag_bits & 1)\" ";
  EXPECT_EQ(Shell(madeBy + Quote(locked)).output, "0 20 1\n");
  EXPECT_EQ(Shell(madeBy + Quote(open)).output, "0 20 0\n");
}

// Whatever makes the add fail, a new archive is not left behind.
TEST_F(ArctoolPeers, AFailedAddLeavesNoArchive) {
  const std::string big = dir / "big.bin";
  ASSERT_EQ(Shell("truncate -s 4500M " + Quote(big)).status, 0);  // sparse: no disk, no reading
  ShellResult r = Shell(kArctool + " add " + Quote(dir / "big.zip") + " " + Quote(big));
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("big.bin: File size is too big"), std::string::npos) << r.output;
  r = Shell(kArctool + " add " + Quote(dir / "none.tar") + " " + Quote(dir / "missing.txt"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(Shell("ls -A " + Quote(dir.name())).output, "big.bin\n");
}

}  // namespace
