// Damaged and hostile ZIP archives: the library refuses what is damaged with a
// message that says why, arctool's exit codes follow, and every verdict is
// held against unzip and 7zz. Samples are made here from one small archive.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "archive/ab_exceptions.h"
#include "archive/ab_utils.h"
#include "archive/ab_zip_archive.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/text.h"
#include "tests/support/temp_folder.h"
#include "tests/archive/ab_zip_test_util.h"

using namespace ziptest;

namespace {

using ziptest::kArctool;
constexpr int kMembers = 5;

void Put16(std::string& b, size_t at, uint16_t v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& b, size_t at, uint32_t v) {
  Put16(b, at, static_cast<uint16_t>(v & 0xFFFF));
  Put16(b, at + 2, static_cast<uint16_t>(v >> 16));
}

// Where the records of an archive without comment lie.
struct Layout {
  size_t end;                   // the end record
  std::vector<size_t> central;  // each central header
};

Layout Parse(const std::string& zip) {
  Layout l{zip.size() - 22, {}};
  for (size_t at = U32(zip, l.end + 16); at < l.end;) {
    l.central.push_back(at);
    at += 46 + U16(zip, at + 28) + U16(zip, at + 30) + U16(zip, at + 32);
  }
  return l;
}

// Both entry counts of the end record.
void SetCount(std::string& zip, const Layout& l, uint16_t count) {
  Put16(zip, l.end + 8, count);
  Put16(zip, l.end + 10, count);
}

// The good archive with the two end records of Zip64 in front of its own,
// whose offset and counts then point at them, as Zip64 writers do.
std::string WithZip64EndRecords(const std::string& zip, const Layout& l) {
  std::string z64(56, '\0');
  Put32(z64, 0, 0x06064B50);
  Put32(z64, 4, 44);
  Put16(z64, 12, 45);
  Put16(z64, 14, 45);
  Put32(z64, 24, kMembers);
  Put32(z64, 32, kMembers);
  Put32(z64, 40, U32(zip, l.end + 12));
  Put32(z64, 48, U32(zip, l.end + 16));
  std::string locator(20, '\0');
  Put32(locator, 0, 0x07064B50);
  Put32(locator, 8, static_cast<uint32_t>(l.end));
  Put32(locator, 16, 1);
  std::string end = zip.substr(l.end);
  Put16(end, 8, 0xFFFF);
  Put16(end, 10, 0xFFFF);
  Put32(end, 16, 0xFFFFFFFF);
  return zip.substr(0, l.end) + z64 + locator + end;
}

class ZipDamage : public ::testing::Test {
protected:
  void SetUp() override {
    std::vector<std::string> files;
    for (int i = 1; i <= kMembers; ++i) {
      std::string text;
      for (int line = 0; line < 10 * i; ++line) text += "INSERT INTO t VALUES (" + std::to_string(line) + ");\n";
      files.push_back(dir.Write("m" + std::to_string(i) + ".txt", text));
    }
    std::string zip = dir / "good.zip";
    {
      auto a = OpenZip(zip);
      for (const std::string& f : files) a->AddFiles(f, AbAttrAnyFile);
      a->Save();
    }
    good = FileBytes(zip);
    layout = Parse(good);
    ASSERT_EQ(layout.central.size(), static_cast<size_t>(kMembers));
  }

public:  // the sample makers of the case table read these
  std::string Save(const std::string& name, const std::string& bytes) { return dir.Write(name, bytes); }

  TempFolder dir;
  std::string good;
  Layout layout;
};

// What one sample must give: the library's load error (empty: it loads), the
// error of "arctool test" (empty: it passes), and whether unzip and 7zz accept it.
struct DamageCase {
  const char* name;
  std::function<std::string(ZipDamage&)> make;
  const char* loadError;
  const char* testError;
  bool unzipAccepts;
  bool sevenAccepts;
  const char* password;
};

TEST_F(ZipDamage, DamagedArchivesAreRefusedWithTheReasonAsThePeersRefuseThem) {
  auto patched = [](std::function<void(std::string&, const Layout&)> damage) {
    return [damage](ZipDamage& t) {
      std::string b = t.good;
      damage(b, t.layout);
      return b;
    };
  };
  const DamageCase cases[] = {
      {"intact", [](ZipDamage& t) { return t.good; }, "", "", true, true, ""},
      {"directory cut short",
       [](ZipDamage& t) {
         std::string b = t.good.substr(0, t.layout.central[4]) + t.good.substr(t.layout.end);
         Put32(b, b.size() - 22 + 12, static_cast<uint32_t>(t.layout.central[4] - U32(t.good, t.layout.end + 16)));
         return b;
       },
       "holds 4 entries, the end record counts 5", "holds 4 entries", false, false, ""},
      {"name length swallows two headers",
       patched([](std::string& b, const Layout& l) {
         Put16(b, l.central[1] + 28, static_cast<uint16_t>(l.central[4] - l.central[1] - 46));
       }),
       "holds 3 entries, the end record counts 5", "holds 3 entries", false, false, ""},
      {"directory offset moved on one header",
       patched([](std::string& b, const Layout& l) { Put32(b, l.end + 16, static_cast<uint32_t>(l.central[1])); }),
       "holds 4 entries, the end record counts 5", "holds 4 entries", false, false, ""},
      {"count lowered", patched([](std::string& b, const Layout& l) { SetCount(b, l, 4); }),
       "holds 5 entries, the end record counts 4", "counts 4", false, false, ""},
      {"count raised", patched([](std::string& b, const Layout& l) { SetCount(b, l, 6); }),
       "holds 5 entries, the end record counts 6", "counts 6", false, false, ""},
      {"last header runs into the end record",
       patched([](std::string& b, const Layout& l) { Put16(b, l.central[4] + 32, 4); }),
       "does not end where the end record begins", "does not end where", false, false, ""},
      {"two entries share one member",
       patched([](std::string& b, const Layout& l) { Put32(b, l.central[1] + 42, U32(b, l.central[0] + 42)); }),
       "members overlap: m1.txt and m2.txt", "members overlap", false, false, ""},
      // unzip inflates up to the end of the Deflate stream and reads past a
      // compressed size that is too large; 7zz refuses it as we do.
      {"member runs into the directory",
       patched([](std::string& b, const Layout& l) { Put32(b, l.central[4] + 20, U32(b, l.central[4] + 20) + 1000); }),
       "member m5.txt runs into the central directory", "runs into", true, false, ""},
      // Zip64 is not read here; the peers read these well-formed archives.
      {"Zip64 end records", [](ZipDamage& t) { return WithZip64EndRecords(t.good, t.layout); },
       "Zip64 archive - not supported", "Zip64", true, true, ""},
      {"Zip64 entries (zip -fz)",
       [](ZipDamage& t) {
         ShellResult r = Shell("cd " + Quote(t.dir.name()) + " && zip -q -fz z64.zip m1.txt m2.txt");
         EXPECT_EQ(r.status, 0) << r.output;
         return FileBytes(t.dir / "z64.zip");
       },
       "Zip64 archive - not supported", "Zip64", true, true, ""},
      // unzip checks no size of a deflated member, only its CRC.
      {"uncompressed size lie",
       patched([](std::string& b, const Layout& l) {
         Put32(b, l.central[0] + 24, 4294967280u);
         Put32(b, U32(b, l.central[0] + 42) + 22, 4294967280u);
       }),
       "", "m1.txt: size error: the header says 4294967280 bytes", true, false, ""},
      // An empty file is how the library starts a new archive; the tool that
      // reads archives refuses it.
      {"0-byte file", [](ZipDamage&) { return std::string(); }, "", "(empty file)", false, false, ""},
      {"encrypted, Czech name",
       [](ZipDamage& t) {
         std::string file = t.dir.Write(AnsiToUtf8("čeština.txt"), "Příliš žluťoučký kůň úpěl ďábelské ódy.\n");
         ShellResult r = Shell(kArctool + " add -p Heslo123 " + Quote(t.dir / "cz.zip") + " " + Quote(file));
         EXPECT_EQ(r.status, 0) << r.output;
         // Stored as UTF-8 beside the data descriptor; the name reads back the same.
         auto back = OpenZip(t.dir / "cz.zip");
         EXPECT_EQ(back->ZipItems(0)->GeneralPurposeBitFlag() & kAbZipFlagUtf8, kAbZipFlagUtf8);
         EXPECT_EQ(back->Items(0)->GetFileName(), "čeština.txt");
         return FileBytes(t.dir / "cz.zip");
       },
       "", "", true, true, "Heslo123"},
  };
  int row = 0;
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::string zip = Save("case" + std::to_string(++row) + ".zip", c.make(*this));

    TFileStream in(zip, fmOpenRead | fmShareDenyWrite);
    TAbZipArchive archive(&in, zip);
    try {
      archive.Load();
      EXPECT_EQ(*c.loadError, '\0') << "loaded";
    } catch (const EAbZipInvalid& e) {
      EXPECT_NE(e.Message().find(c.loadError), std::string::npos) << e.Message();
      EXPECT_NE(*c.loadError, '\0') << e.Message();
    }

    std::string p = *c.password ? std::string(" -p ") + c.password : "";
    bool listFails = *c.loadError || std::string(c.testError) == "(empty file)";
    bool testFails = *c.loadError || *c.testError;
    ShellResult list = Shell(kArctool + " list " + Quote(zip));
    EXPECT_EQ(list.status, listFails ? 1 : 0) << list.output;
    ShellResult test = Shell(kArctool + " test" + p + " " + Quote(zip));
    EXPECT_EQ(test.status, testFails ? 1 : 0) << test.output;
    if (testFails) {
      EXPECT_NE(test.output.find(*c.loadError ? c.loadError : c.testError), std::string::npos) << test.output;
    }
    std::string target = dir / ("out" + std::to_string(row));
    ShellResult extract = Shell(kArctool + " extract" + p + " " + Quote(zip) + " " + Quote(target));
    EXPECT_EQ(extract.status, testFails ? 1 : 0) << extract.output;
    if (std::filesystem::exists(target)) {
      for (const auto& f : std::filesystem::recursive_directory_iterator(target)) {
        EXPECT_GT(f.file_size(), 0u) << f.path();
      }
    }

    std::string u = *c.password ? std::string(" -P ") + c.password : "";
    ShellResult unzip = Shell("unzip -tq" + u + " " + Quote(zip));
    EXPECT_EQ(unzip.status == 0, c.unzipAccepts) << unzip.output;
    std::string s = *c.password ? std::string(" -p") + c.password : "";
    ShellResult seven = Shell("7zz t" + s + " " + Quote(zip));
    EXPECT_EQ(seven.status == 0, c.sevenAccepts) << seven.output;
  }
}

// 200 central entries over one member that inflates to 64 MiB: the load
// refuses it before anything is inflated.
TEST_F(ZipDamage, OverlapBombIsRefusedAtOnce) {
  dir.Write("bomb.py", R"(import sys, zlib, struct
data = zlib.compress(b'\0' * (64 << 20), 9)[2:-4]
crc = zlib.crc32(b'\0' * (64 << 20))
local = struct.pack('<IHHHHHIIIHH', 0x04034b50, 20, 0, 8, 0, 0x21, crc, len(data), 64 << 20, 1, 0) + b'z'
central = b''
for i in range(200):
    name = b'%03d' % i
    central += struct.pack('<IHHHHHHIIIHHHHHII', 0x02014b50, 20, 20, 0, 8, 0, 0x21, crc, len(data), 64 << 20,
                           len(name), 0, 0, 0, 0, 0, 0) + name
body = local + data
end = struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, 200, 200, len(central), len(body), 0)
open(sys.argv[1], 'wb').write(body + central + end)
)");
  std::string bomb = dir / "bomb.zip";
  ShellResult made = Shell("python3 " + Quote(dir / "bomb.py") + " " + Quote(bomb));
  ASSERT_EQ(made.status, 0) << made.output;
  auto start = std::chrono::steady_clock::now();
  ShellResult r = Shell(kArctool + " test " + Quote(bomb));
  auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.output.find("members overlap"), std::string::npos) << r.output;
  EXPECT_LT(took, std::chrono::seconds(1));
  EXPECT_NE(Shell("unzip -tq " + Quote(bomb)).status, 0);
  EXPECT_NE(Shell("7zz t " + Quote(bomb)).status, 0);
}

// Every command says what failed and exits 1 after doing all it could:
// extraction goes on past a member it cannot decode or write and leaves no
// empty file for it.
TEST_F(ZipDamage, ArctoolGoesOnAfterAFailureAndExitsWithOne) {
  std::string zip = dir / "good.zip";
  std::string b = good;
  Put16(b, layout.central[1] + 10, 9);                             // m2: Deflate64
  Put16(b, U32(b, layout.central[1] + 42) + 8, 9);
  Put32(b, layout.central[2] + 16, U32(b, layout.central[2] + 16) ^ 1);  // m3: CRC
  Put16(b, layout.central[3] + 10, 99);                            // m4: AES
  Put16(b, layout.central[3] + 8, 1);
  std::string damaged = Save("damaged.zip", b);
  std::string target = dir / "out";
  std::filesystem::create_directories(target + "/m5.txt");  // m5 cannot be written
  ShellResult r = Shell(kArctool + " extract " + Quote(damaged) + " " + Quote(target));
  EXPECT_EQ(r.status, 1);
  for (const char* expected : {"m2.txt: unsupported compression method 9 (Deflate64)", "m3.txt: CRC error",
                               "m4.txt: unsupported encryption (AES)", "m5.txt: "})
    EXPECT_NE(r.output.find(std::string("damaged.zip: ") + expected), std::string::npos)
        << expected << "\n" << r.output;
  EXPECT_EQ(FileBytes(target + "/m1.txt"), FileBytes(dir / "m1.txt"));
  for (const char* absent : {"/m2.txt", "/m3.txt", "/m4.txt"}) EXPECT_FALSE(std::filesystem::exists(target + absent));

  std::string big = dir.Write("big.bin", std::string(200000, 'b'));
  struct AddCase {
    const char* name;
    std::string limits;  // shell commands run first
    std::vector<std::string> files;
    const char* message;
    int members;  // in the archive afterwards; -1: no archive left
  } adds[] = {
      {"missing file", "", {dir / "nothing.txt"}, "nothing.txt: File not found", -1},
      {"folder", "", {dir.name()}, "is a folder", -1},
      {"good file and missing file", "", {dir / "m1.txt", dir / "nothing.txt"}, "File not found", 1},
      {"archive cannot be written", "trap '' XFSZ; ulimit -f 64; ", {big}, "add4.zip: Stream write error", -1},
  };
  int row = 0;
  for (const AddCase& c : adds) {
    SCOPED_TRACE(c.name);
    std::string archive = dir / ("add" + std::to_string(++row) + ".zip");
    std::string args;
    for (const std::string& f : c.files) args += " " + Quote(f);
    ShellResult add = Shell("bash -c \"" + c.limits + kArctool + " add -m stored " + Quote(archive) + args + "\"");
    EXPECT_EQ(add.status, 1) << add.output;
    EXPECT_NE(add.output.find(c.message), std::string::npos) << add.output;
    if (c.members < 0) {
      EXPECT_FALSE(std::filesystem::exists(archive));
    } else {
      EXPECT_EQ(Shell("unzip -tq " + Quote(archive)).status, 0);
      EXPECT_EQ(OpenZip(archive)->Count(), c.members);
    }
  }
}

}  // namespace
