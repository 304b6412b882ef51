// Damaged tar, gzip and bzip2 files: each one is refused by GNU tar, gzip,
// bzip2 or python, and arctool list, test and extract refuse it too, with
// exit 1 and no file left behind. A list that said OK or an extraction of
// a 0-byte file in place of the stored one would lose data unnoticed.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "tests/archive/ab_zip_test_util.h"
#include "tests/support/temp_folder.h"

using namespace ziptest;

namespace {

using ziptest::kArctool;

// Writes every damaged file beside one intact archive of two members, each
// header's checksum made right again where the damage is elsewhere.
const char kMakeDamage[] = R"(import tarfile, io, gzip, bz2
def tar(members):
    b = io.BytesIO(); t = tarfile.open(fileobj=b, mode='w', format=tarfile.GNU_FORMAT)
    for n, data in members:
        i = tarfile.TarInfo(n); i.size = len(data); i.mtime = 1700000000; t.addfile(i, io.BytesIO(data))
    t.close(); return bytearray(b.getvalue())
def fix(b, at):
    h = bytearray(b[at:at + 512]); h[148:156] = b' ' * 8
    b[at + 148:at + 156] = b'%06o\0 ' % sum(h)
    return b
def put(b, at, text, header):
    b = bytearray(b); b[at:at + len(text)] = text; return fix(b, header)
def flip(b, at, bits=1):
    b = bytearray(b); b[at] ^= bits; return b
def save(name, data): open(name, 'wb').write(bytes(data))
good = tar([('first.txt', b'A' * 1000), ('second.txt', b'B' * 600)])
second = 512 + 1024
long = tar([('d/' + 'x' * 150 + '.txt', b'L' * 10)])
save('checksum-first.tar', flip(good, 150))
save('checksum-second.tar', flip(good, second + 150))
save('name-byte-second.tar', flip(good, second + 3, 0x20))
save('size-letters.tar', put(good, 124, b'0000001x750\0', 0))
save('size-garbage-second.tar', put(good, second + 124, b'garbagegarb\0', second))
save('size-past-end.tar', put(good, 124, b'77777777777\0', 0))
save('cut-in-data.tar', good[:1000])
save('cut-in-header.tar', good[:second + 300])
save('cut-after-header.tar', good[:second + 512])
save('garbage-block.tar', good[:second] + b'G' * 512 + good[second:])
save('long-name-size.tar', put(long, 124, b'0000000z231\0', 0))
save('long-name-cut.tar', long[:700])
g = gzip.compress(b'hello gzip ' * 1000, mtime=0)
save('crc.gz', flip(g, len(g) - 8))
save('size.gz', flip(g, len(g) - 4))
save('cut-data.gz', g[:len(g) // 2])
save('cut-trailer.gz', g[:-4])
save('method.gz', flip(g, 2, 0x0f))
save('inner-checksum.tgz', gzip.compress(bytes(flip(good, second + 150)), mtime=0))
tgz = gzip.compress(bytes(good), mtime=0)
save('cut.tgz', tgz[:len(tgz) // 2])
bz = bz2.compress(b'hello bzip2 ' * 1000)
save('cut.bz2', bz[:len(bz) // 2])
save('flipped.bz2', flip(bz, len(bz) // 2, 0x10))
save('inner-cut.tbz', bz2.compress(bytes(good[:1000])))
)";

// For each file, whether python's reader of its kind refuses it.
const char kPythonVerdicts[] = R"(import tarfile, gzip, bz2, sys, tempfile
for f in sys.argv[1:]:
    try:
        if f.endswith('.gz'): gzip.open(f).read()
        elif f.endswith('.bz2'): bz2.open(f).read()
        else: tarfile.open(f).extractall(tempfile.mkdtemp())
        print(f, 'accepts')
    except Exception:
        print(f, 'refuses')
)";

// The GNU tool that reads each kind, FILE in its place.
const std::map<std::string, std::string> kGnuCheck = {
    {".tar", "tar -tf FILE && tar -xf FILE -C \"$(mktemp -d)\""},
    {".gz", "gzip -t FILE"},
    {".tgz", "tar -tzf FILE"},
    {".bz2", "bzip2 -t FILE"},
    {".tbz", "tar -tjf FILE"},
};

std::string Extension(const std::string& name) { return name.substr(name.rfind('.')); }

TEST(ArctoolDamage, DamagedFilesThatPeersRefuseAreRefusedByListTestAndExtract) {
  TempFolder dir;
  dir.Write("make.py", kMakeDamage);
  dir.Write("verdicts.py", kPythonVerdicts);
  ASSERT_EQ(Shell("cd " + Quote(dir.name()) + " && python3 make.py").status, 0);
  std::istringstream listing(Shell("cd " + Quote(dir.name()) + " && ls | grep -v '\\.py$'").output);
  std::vector<std::string> files;
  for (std::string f; std::getline(listing, f);) files.push_back(f);
  ASSERT_EQ(files.size(), 22u);

  std::string all;
  for (const std::string& f : files) all += " " + f;
  std::map<std::string, std::string> python;
  std::istringstream verdicts(Shell("cd " + Quote(dir.name()) + " && python3 verdicts.py" + all).output);
  for (std::string f, verdict; verdicts >> f >> verdict;) python[f] = verdict;

  for (const std::string& f : files) {
    SCOPED_TRACE(f);
    std::string gnu = kGnuCheck.at(Extension(f));
    for (size_t at; (at = gnu.find("FILE")) != std::string::npos;) gnu.replace(at, 4, Quote(f));
    const bool gnuRefuses = Shell("cd " + Quote(dir.name()) + " && (" + gnu + ")").status != 0;
    // A header cut off at the end passes GNU tar and python as the end of the
    // archive, and the entry it began is gone; it is refused here as well.
    if (f != "cut-in-header.tar") {
      ASSERT_TRUE(gnuRefuses || python[f] == "refuses") << "no peer refuses it";
    }

    const std::string path = dir / f, out = dir / ("out-" + f);
    for (const std::string& command : {"list " + Quote(path), "test " + Quote(path),
                                      "extract " + Quote(path) + " " + Quote(out)}) {
      ShellResult r = Shell(kArctool + " " + command);
      EXPECT_EQ(r.status, 1) << command << "\n" << r.output;
      EXPECT_EQ(r.output.rfind("arctool: ", 0), 0u) << r.output;
    }
    EXPECT_EQ(Shell("find " + Quote(dir.name()) + " -path '*/out-*' -type f").output, "");
  }
}

}  // namespace
