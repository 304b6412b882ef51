// ZIP archives against the tools people use: what we write must pass unzip,
// 7zz and python's zipfile; what zip, 7zz and python write must list right
// here, and keep its members' bytes when we add to it.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "archive/ab_utils.h"
#include "archive/ab_zip_archive.h"
#include "platform/rtl/text.h"
#include "tests/support/temp_folder.h"
#include "tests/archive/ab_zip_test_util.h"

using namespace ziptest;

namespace {

// One line per member as python sees it, in the form of "arctool list".
const char kListScript[] = R"(import sys, zipfile
for i in zipfile.ZipFile(sys.argv[1]).infolist():
    method = {0: 'stored', 8: 'deflated'}.get(i.compress_type, 'other')
    print("%s\t%d\t%d\t%08x\t%04d-%02d-%02d %02d:%02d:%02d\t" % ((i.filename, i.file_size, i.compress_size, i.CRC) + i.date_time)
          + method + ("\tencrypted" if i.flag_bits & 1 else ""))
)";

using ziptest::kArctool;

// One line per member: its name and a digest of its stored data bytes.
const char kRawScript[] = R"(import sys, zipfile, hashlib
f = open(sys.argv[1], 'rb')
for i in zipfile.ZipFile(sys.argv[1]).infolist():
    f.seek(i.header_offset); h = f.read(30)
    f.seek(i.header_offset + 30 + int.from_bytes(h[26:28], 'little') + int.from_bytes(h[28:30], 'little'))
    print(i.filename, hashlib.sha1(f.read(i.compress_size)).hexdigest())
)";

// testzip() with an optional password; names printed for the caller to check.
const char kTestScript[] = R"(import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
if len(sys.argv) > 2: z.setpassword(sys.argv[2].encode())
bad = z.testzip()
print('\n'.join(z.namelist()))
sys.exit(1 if bad else 0)
)";

class ZipPeers : public ::testing::Test {
protected:
  void SetUp() override {
    dir.Write("list.py", kListScript);
    dir.Write("raw.py", kRawScript);
    dir.Write("test.py", kTestScript);
  }
  void TearDown() override { SetAbZipCodePages({}); }

  std::string Python(const std::string& script, const std::string& zip, const std::string& extra = "") {
    ShellResult r = Shell("python3 " + Quote(dir / script) + " " + Quote(zip) + extra);
    EXPECT_EQ(r.status, 0) << script << " " << zip << "\n" << r.output;
    return r.output;
  }

  // unzip, 7zz and python all accept the archive (with the password, if any).
  void ExpectPeersAccept(const std::string& zip, const std::string& password = "") {
    std::string u = password.empty() ? "" : " -P " + Quote(password);
    std::string s = password.empty() ? "" : " -p" + Quote(password);
    ShellResult unzip = Shell("unzip -tq" + u + " " + Quote(zip));
    EXPECT_EQ(unzip.status, 0) << unzip.output;
    ShellResult sevenzip = Shell("7zz t" + s + " " + Quote(zip));
    EXPECT_EQ(sevenzip.status, 0) << sevenzip.output;
    Python("test.py", zip, password.empty() ? "" : " " + Quote(password));
  }

  void Write(const std::string& zip, const std::vector<std::string>& files, TAbZipSupportedMethod method,
             TAbZipDeflationOption option, const AnsiString& password = "") {
    std::remove(zip.c_str());
    auto a = OpenZip(zip);
    a->SetCompressionMethodToUse(method);
    a->SetDeflationOption(option);
    a->SetPassword(password);
    for (const std::string& f : files) a->AddFiles(f, AbAttrAnyFile);
    a->Save();
    ASSERT_EQ(a->Count(), static_cast<int>(files.size()));
  }

  // Our view of an archive, through the command-line tool.
  std::string OurListing(const std::string& zip) {
    ShellResult r = Shell(kArctool + " list " + Quote(zip));
    EXPECT_EQ(r.status, 0) << r.output;
    return r.output;
  }

  std::string SqlText(size_t bytes) {
    std::string s;
    s.reserve(bytes + 200);
    std::mt19937 rng(11);
    for (int i = 0; s.size() < bytes; ++i)
      s += "INSERT INTO faktury (id, cislo, castka) VALUES (" + std::to_string(i) + ", '" +
           std::to_string(rng() % 100000000) + "', " + std::to_string(rng() % 100000) + ".50);\n";
    s.resize(bytes);
    return s;
  }

  std::string RandomBytes(size_t n) {
    std::mt19937 rng(5);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(rng());
    return s;
  }

  TempFolder dir;
};

TEST_F(ZipPeers, EveryMethodAndPresetIsReadByPeers) {
  std::vector<std::string> files = {dir.Write("dump.sql", SqlText(200000)), dir.Write("random.bin", RandomBytes(50000)),
                                    dir.Write("empty.txt", "")};
  struct Case {
    TAbZipSupportedMethod method;
    TAbZipDeflationOption option;
  } cases[] = {{smStored, doNormal},   {smDeflated, doNormal},    {smDeflated, doMaximum},
               {smDeflated, doFast},   {smDeflated, doSuperFast}, {smBestMethod, doNormal}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.method * 10 + c.option);
    std::string zip = dir / "m.zip";
    Write(zip, files, c.method, c.option);
    ExpectPeersAccept(zip);
  }
}

TEST_F(ZipPeers, EncryptedMembersOpenWithThePassword) {
  std::vector<std::string> files = {dir.Write("dump.sql", SqlText(100000)), dir.Write("random.bin", RandomBytes(3000))};
  std::string zip = dir / "e.zip";
  Write(zip, files, smBestMethod, doNormal, "heslo123");
  ExpectPeersAccept(zip, "heslo123");
  EXPECT_NE(Shell("unzip -tq -P wrong " + Quote(zip)).status, 0);
}

TEST_F(ZipPeers, CzechNamesInBothStoredForms) {
  // Created on disk under its UTF-8 name; the library takes Windows-1250.
  std::string file = dir / "Účetní kniha.sql";
  dir.Write(AnsiToUtf8("Účetní kniha.sql"), "SELECT 1;\n");
  std::string zip = dir / "n.zip";

  Write(zip, {file}, smBestMethod, doNormal);  // the OEM form with a Unicode block
  ExpectPeersAccept(zip);
  std::string b = FileBytes(zip);
  EXPECT_EQ(U16(b, 6) & 0x0800, 0);
  EXPECT_EQ(OurListing(zip).substr(0, AnsiToUtf8("Účetní kniha.sql").size() + 1), AnsiToUtf8("Účetní kniha.sql") + "\t");

  SetAbZipCodePages({437, 437});  // neither page holds the name: UTF-8 flag
  Write(zip, {file}, smBestMethod, doNormal);
  ExpectPeersAccept(zip);
  b = FileBytes(zip);
  EXPECT_EQ(U16(b, 6) & 0x0800, 0x0800);
  EXPECT_EQ(Python("test.py", zip), AnsiToUtf8("Účetní kniha.sql") + "\n");
}

// Encrypted, a Czech name is stored in UTF-8 rather than with a Unicode
// block, so the entry's header is shorter than before it was compressed.
TEST_F(ZipPeers, EncryptedMemberWithACzechNameOpensUnderItsName) {
  std::string file = dir / "Účetní kniha.sql";
  dir.Write(AnsiToUtf8("Účetní kniha.sql"), SqlText(200000));
  std::string zip = dir / "en.zip";
  Write(zip, {file, dir.Write("b.sql", SqlText(1000))}, smBestMethod, doNormal, "heslo123");
  ExpectPeersAccept(zip, "heslo123");
  EXPECT_EQ(U16(FileBytes(zip), 6) & 0x0800, 0x0800);
  EXPECT_EQ(Python("test.py", zip, " heslo123"), AnsiToUtf8("Účetní kniha.sql") + "\nb.sql\n");
}

TEST_F(ZipPeers, HundredMegabyteDumpIsReadByPeers) {
  std::string dump = dir.Write("zaloha.sql", SqlText(100u << 20));
  std::string zip = dir / "big.zip";
  Write(zip, {dump}, smBestMethod, doNormal);
  ExpectPeersAccept(zip);
  EXPECT_EQ(Python("list.py", zip), OurListing(zip));
}

// Archives written by the peers list alike here and there; adding a member
// leaves the old members' bytes as they were.
TEST_F(ZipPeers, PeerArchivesListAndKeepTheirBytesWhenAddedTo) {
  dir.Write("a.sql", SqlText(30000));
  dir.Write("b.bin", RandomBytes(2000));
  // Literals are Windows-1250 here; python and the shell want UTF-8.
  dir.Write("mkpy.py", AnsiToUtf8(R"(import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    z.write('a.sql', compress_type=zipfile.ZIP_DEFLATED)
    z.write('b.bin', compress_type=zipfile.ZIP_STORED)
    i = zipfile.ZipInfo('složka/kůň.txt', (2020, 5, 17, 13, 45, 10))
    i.comment = b'member comment'
    z.writestr(i, 'hi')
)"));
  struct Case {
    const char* name;
    const char* make;
    const char* password;
  } cases[] = {
      {"zip.zip", "zip -q zip.zip a.sql b.bin", ""},
      {"zipe.zip", "zip -q -e -P tajne zipe.zip a.sql b.bin", "tajne"},
      {"zipc.zip", "echo 'archive comment' | zip -q -z zipc.zip a.sql b.bin", ""},
      {"7z.zip", "7zz a -tzip 7z.zip a.sql b.bin >/dev/null", ""},
      {"py.zip", "python3 mkpy.py py.zip", ""},
  };
  std::string added = dir.Write("added.txt", "new member");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string zip = dir / c.name;
    ShellResult made = Shell("cd " + Quote(dir.name()) + " && " + c.make);
    ASSERT_EQ(made.status, 0) << made.output;
    EXPECT_EQ(OurListing(zip), Python("list.py", zip));
    std::string p = *c.password ? std::string(" -p ") + c.password : "";
    ShellResult ours = Shell(kArctool + " test" + p + " " + Quote(zip));
    EXPECT_EQ(ours.status, 0) << ours.output;
    std::string before = Python("raw.py", zip);
    {
      auto a = OpenZip(zip);
      a->AddFiles(added, AbAttrAnyFile);
      a->Save();
    }
    std::string after = Python("raw.py", zip);
    EXPECT_EQ(after.substr(0, before.size()), before);
    EXPECT_NE(after.find("added.txt"), std::string::npos);
    std::string u = *c.password ? std::string(" -P ") + c.password : "";
    ShellResult test = Shell("unzip -tq" + u + " " + Quote(zip));
    EXPECT_EQ(test.status, 0) << test.output;
  }
  EXPECT_EQ(Shell("unzip -z " + Quote(dir / "zipc.zip") + " | grep -c 'archive comment'").output, "1\n");
  EXPECT_EQ(Shell(AnsiToUtf8("python3 -c \"import zipfile; print(zipfile.ZipFile('" + dir / "py.zip" +
                             "').getinfo('složka/kůň.txt').comment)\"")).output,
            "b'member comment'\n");
}

// The tool's own reader: wrong passwords fail, and names that climb out of
// the target folder are kept inside it.
TEST_F(ZipPeers, ArctoolExtractsInsideTheTargetFolderOnly) {
  dir.Write("evil.py", R"(import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('../../escaped.txt', 'out')
    z.writestr('/abs.txt', 'abs')
    z.writestr('sub/ok.txt', 'ok' * 100)
)");
  std::string zip = dir / "evil.zip";
  ASSERT_EQ(Shell("python3 " + Quote(dir / "evil.py") + " " + Quote(zip)).status, 0);
  std::string target = dir / "out/inner";
  // The two names that leave the folder are refused by name, not written
  // under a shortened name where another member may belong.
  ShellResult r = Shell(kArctool + " extract " + Quote(zip) + " " + Quote(target) + " 2>&1");
  EXPECT_EQ(r.status, 1) << r.output;
  EXPECT_NE(r.output.find("../../escaped.txt: name climbs out of the folder"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("/abs.txt: absolute name"), std::string::npos) << r.output;
  EXPECT_EQ(FileBytes(target + "/sub/ok.txt").size(), 200u);
  EXPECT_EQ(Shell("find " + Quote(dir.name()) + " -name escaped.txt -o -name abs.txt").output, "");

  std::string secret = dir / "secret.zip";
  ASSERT_EQ(Shell(kArctool + " add -p right " + Quote(secret) + " " + Quote(dir / "evil.py")).status, 0);
  EXPECT_EQ(Shell(kArctool + " test -p right " + Quote(secret)).status, 0);
  EXPECT_EQ(Shell(kArctool + " test -p wrong " + Quote(secret)).status, 1);
}

}  // namespace
