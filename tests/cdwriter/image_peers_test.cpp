// Whole images checked by the peer tools: xorriso lists, extracts and
// describes them, isoinfo reads the descriptors, the boot catalog, the path
// table and the Joliet names, 7-Zip and bsdtar list every file. Bad input is
// refused and reported, and the image stays readable.

#include <algorithm>
#include <filesystem>

#include "cdwriter/cd_texts.h"
#include "platform/rtl/files.h"
#include "platform/rtl/format.h"
#include "tests/cdwriter/burner_test_util.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kBootSectors = 1440;
const char* const kTools[] = {"xorriso", "isoinfo", "7zz", "bsdtar"};

class ImagePeersTest : public ::testing::Test {
protected:
  void SetUp() override {
    burner_ = NewBurner(log_);
    src_ = dir_ / "src";
    iso_ = dir_ / "t.iso";
  }

  // Every file below src_ goes into the image folder of the same relative
  // path, folders and files in name order.
  void InsertSourceTree() {
    std::vector<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(src_))
      if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& f : files) {
      const std::string rel = fs::relative(f.parent_path(), src_).string();
      const AnsiString image_rel = StringReplace(Utf8ToAnsi(rel), "/", "\\", rfReplaceAll);
      const AnsiString dest = rel == "." ? AnsiString("\\") : "\\" + image_rel;
      ASSERT_NE(burner_->ForceDirectory(dest), nullptr) << rel;
      EXPECT_EQ(burner_->InsertFile(dest, Utf8ToAnsi(f.string()), false), 1) << f;
    }
  }

  void WriteIso() {
    LayOut(*burner_);
    WriteImage(*burner_, iso_);
  }

  ShellResult Xorriso(const std::string& commands) {
    return Peer("xorriso", "-local_charset UTF-8 -return_with SORRY 32 -indev " + Quote(iso_) + " " + commands);
  }

  // The listing of xorriso, 7-Zip and bsdtar names every file.
  void ExpectEveryToolLists(const std::vector<std::string>& names) {
    const ShellResult xorriso = Xorriso("-find / -exec lsdl --");
    const ShellResult seven = Peer("7zz", "l " + Quote(iso_));
    const ShellResult tar = Peer("bsdtar", "tf " + Quote(iso_));
    const ShellResult isoinfo = Peer("isoinfo", "-J -j cp1250 -f -i " + Quote(iso_));
    for (const ShellResult* r : {&xorriso, &seven, &tar, &isoinfo}) {
      EXPECT_EQ(r->status, 0) << r->output;
      for (const std::string& name : names)
        EXPECT_NE(r->output.find(name), std::string::npos) << name << "\n" << r->output;
    }
  }

  TempFolder dir_;
  std::string src_, iso_;
  std::vector<DebugLine> log_;
  BurnerPtr burner_;
};

}  // namespace

TEST_F(ImagePeersTest, PeersReadTheWholeImage) {
  dir_.Write("src/a.txt", std::string(3000, 'a'));
  dir_.Write("src/empty.txt", "");
  dir_.Write("src/.hidden", "dot file\n");
  dir_.Write(AnsiToUtf8("src/Účetnictví/žluťoučký kůň.txt"), "Příliš žluťoučký kůň úpěl ďábelské ódy.\n");
  dir_.Write("src/docs/2024/leden/report.txt", std::string(70000, 'r'));
  dir_.Write("src/docs/b.txt", "b\n");
  dir_.Write("src/zeta/x.txt", "x\n");
  dir_.Write("src/alfa/1.txt", "1\n");
  dir_.Write("src/Beta/2.txt", "2\n");
  std::string boot(kBootSectors * 2048, '\0');
  boot.replace(0, 9, "BOOTIMAGE");
  burner_->Bootable = true;
  burner_->BootImage = Utf8ToAnsi(dir_.Write("boot.img", boot));
  burner_->IdVolume = "Vorbex zaloha";
  burner_->IdSystem = "Linux";
  burner_->IdPublisher = "Kalmir s.r.o.";
  burner_->IdPreparer = "vorbex05";
  burner_->IdApplication = "vorbex05 backup";
  InsertSourceTree();
  WriteIso();
  ASSERT_EQ(log_, (std::vector<DebugLine>{{Format(SVolumeIdCharacters, {burner_->IdVolume}), 3}}));

  const ShellResult list = Xorriso("-find / -exec lsdl --");
  ASSERT_EQ(list.status, 0) << list.output;
  for (const char* line : {" 3000 ", "'/a.txt'", " 0 ", "'/empty.txt'", " 9 ", "'/.hidden'", " 70000 ",
                           "'/docs/2024/leden/report.txt'", "'/docs/b.txt'", "'/zeta/x.txt'",
                           "'/Účetnictví/žluťoučký kůň.txt'"})
    EXPECT_NE(list.output.find(AnsiToUtf8(line)), std::string::npos) << line << "\n" << list.output;

  const ShellResult extract = Xorriso("-osirrox on -extract / " + Quote(dir_ / "out"));
  ASSERT_EQ(extract.status, 0) << extract.output;
  const ShellResult diff = Peer("diff", "-r " + Quote(src_) + " " + Quote(dir_ / "out"));
  EXPECT_EQ(diff.status, 0) << diff.output;

  const ShellResult pvd = Xorriso("-pvd_info");
  EXPECT_EQ(pvd.status, 0) << pvd.output;
  const std::string stamp = ReadAll(iso_).substr(16 * 2048 + 813, 12);  // yyyymmddhhnn
  const std::vector<std::string> pvd_lines = {
      "Volume Id    : VORBEX ZALOHA", "System Id    : LINUX",  "Publisher Id : KALMIR S.R.O.",
      "Preparer Id  : VORBEX05",      "App Id       : VORBEX05 BACKUP", "Creation Time: " + stamp,
      "Modif. Time  : " + stamp};
  for (const std::string& line : pvd_lines)
    EXPECT_NE(pvd.output.find(line), std::string::npos) << line << "\n" << pvd.output;

  const TImageLayout& l = burner_->Layout();
  const ShellResult torito = Xorriso("-report_el_torito plain");
  EXPECT_EQ(torito.status, 0) << torito.output;
  EXPECT_NE(torito.output.find("El Torito catalog  : " + std::to_string(l.BootCatalog) + "  1"), std::string::npos)
      << torito.output;
  EXPECT_NE(torito.output.find("BIOS  y  fd2.8  0x0000  0x00      1          " + std::to_string(l.BootImageSector)),
            std::string::npos)
      << torito.output;

  const ShellResult info = Peer("isoinfo", "-d -i " + Quote(iso_));
  EXPECT_EQ(info.status, 0) << info.output;
  const std::vector<std::string> info_lines = {
      "El Torito VD version 1 found, boot catalog is in sector " + std::to_string(l.BootCatalog),
      "ID 'Zozov AD/UDU Zeziri'", "Bootid 88 (bootable)", "Boot media 3 (2.88MB Floppy)",
      "Bootoff " + Format("%x", {l.BootImageSector}) + " " + std::to_string(l.BootImageSector),
      "Joliet with UCS level 1 found"};
  for (const std::string& line : info_lines)
    EXPECT_NE(info.output.find(line), std::string::npos) << line << "\n" << info.output;
  EXPECT_EQ(ReadAll(iso_).substr(size_t{l.BootImageSector} * 2048, 9), "BOOTIMAGE");

  // The order of the Joliet names, level by level, in both tables: "Beta"
  // before "alfa", and "__ETNICTV_" last for its long name "Účetnictví".
  const ShellResult paths = Peer("isoinfo", "-p -i " + Quote(iso_));
  EXPECT_EQ(paths.status, 0) << paths.output;
  const char* order[] = {"BETA", "ALFA", "DOCS", "ZETA", "__ETNICTV_", "2024", "LEDEN"};
  size_t at = 0;
  for (const char* name : order) {
    at = paths.output.find(std::string(" ") + name, at);
    EXPECT_NE(at, std::string::npos) << name << "\n" << paths.output;
  }

  const ShellResult joliet = Peer("isoinfo", "-J -j cp1250 -l -i " + Quote(iso_));
  EXPECT_EQ(joliet.status, 0) << joliet.output;
  for (const char* name : {"Účetnictví", "žluťoučký kůň.txt"})
    EXPECT_NE(joliet.output.find(name), std::string::npos) << name << "\n" << joliet.output;

  ExpectEveryToolLists({"a.txt", "empty.txt", ".hidden", "report.txt", "b.txt", "x.txt"});
}

TEST_F(ImagePeersTest, BadInputIsRefusedAndTheImageStaysReadable) {
  const std::string name255(251, 'n');
  const AnsiString ok = Utf8ToAnsi(dir_.Write("src/ok.txt", "ok\n"));
  const AnsiString long_name = Utf8ToAnsi(dir_.Write("src/" + name255 + ".txt", "long\n"));
  const std::string big = dir_.Write("src/big.bin", "");
  fs::resize_file(big, uintmax_t{4} << 30);  // sparse

  // 90 folders of 90 folders and the root fill the tree's 8191 folders.
  for (int i = 0; i < 90; ++i)
    for (int j = 0; j < 90; ++j) ASSERT_NE(burner_->ForceDirectory(Format("\\d%.2d\\e%.2d", {i, j})), nullptr);
  ASSERT_EQ(burner_->DirCount(), 8191);
  EXPECT_EQ(burner_->InsertFile("\\d89\\e89", ok, false), 1);
  EXPECT_EQ(burner_->InsertFile("\\", ok, false), 1);
  EXPECT_EQ(burner_->ForceDirectory("\\d89\\e89\\full"), nullptr);
  EXPECT_EQ(burner_->InsertFile("\\d89\\e89\\full", ok, false), 0);
  EXPECT_EQ(burner_->ForceDirectory("\\" + std::string(255, 'f')), nullptr);
  EXPECT_EQ(burner_->InsertFile("\\", long_name, false), 2);
  EXPECT_EQ(burner_->InsertFile("\\", Utf8ToAnsi(big), false), 2);
  EXPECT_EQ(log_, (std::vector<DebugLine>{{">>> MAXIMUM DIRECTORIES CAN BE 8191", 3},
                                          {"INVALID DESTINATION PATH", 4},
                                          {"FILE NAME TOO LONG FOR JOLIET: " + name255 + ".txt", 4},
                                          {"FILE TOO LARGE FOR ISO 9660: big.bin", 4}}));
  EXPECT_EQ(burner_->FileCount(), 8190 + 2);

  WriteIso();
  ExpectEveryToolLists({"ok.txt", "d89", "e89"});
  const ShellResult last = Xorriso("-lsl /d89/e89");
  EXPECT_NE(last.output.find(" 3 "), std::string::npos) << last.output;
  EXPECT_EQ(Xorriso("-find / -name " + Quote(name255 + ".txt")).output.find(name255), std::string::npos);
}
