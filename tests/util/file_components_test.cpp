// The file components on temp trees: the file operation's lists, flags,
// collisions, undoable deletes (seen by trash-list) and failed copies to a
// small second file system; associations written and read back through the
// registry store; the embedded file's "FileData" round trip and its damaged
// forms.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "tests/support/file_reader.h"
#include "tests/support/shell_runner.h"
#include "tests/support/temp_folder.h"
#include "util/components/file_association.h"
#include "util/components/file_operation.h"
#include "util/components/file_storage.h"
#include "util/routines/registry_writing.h"

namespace {

namespace fs = std::filesystem;

// Registry and trash inside the test's folder.
struct FileComponents : ::testing::Test {
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", (tmp / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (tmp / "data").c_str(), 1);
  }
  void TearDown() override {
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_DATA_HOME");
  }
  TempFolder tmp;
};

TEST_F(FileComponents, PairedListsTakeTheirTargetsFromMasksAndFolders) {
  TUtlFileOperation op(nullptr);
  const std::string a = tmp.Write("src/a.txt", "A"), c = tmp.Write("src/c.doc", "C");
  op.FileList()->Add(AnsiString(a) + "=b.*");
  op.FileList()->Add(AnsiString(c) + "=" + tmp / "out/");
  op.SetDestFolder(tmp / "base");
  AnsiString sources, targets;
  bool pairs = false;
  op.BuildLists(sources, targets, pairs);
  EXPECT_TRUE(pairs);
  EXPECT_EQ(sources, a + '\0' + c + '\0');
  EXPECT_EQ(targets, tmp / "base/b.txt" + '\0' + tmp / "out/c.doc" + '\0');
  EXPECT_EQ(TUtlFileOperation::ShellFlags(op.Options(), pairs), 0x0001 | 0x0040 | 0x0080 | 0x0008);
  EXPECT_TRUE(op.Execute());
  EXPECT_EQ(FileBytes(tmp / "base/b.txt"), "A");
  EXPECT_EQ(FileBytes(tmp / "out/c.doc"), "C");
  EXPECT_TRUE(fs::exists(a));  // copied, not moved
}

TEST_F(FileComponents, AnExistingTargetIsKeptRenamedOrReplacedAsTheOptionsSay) {
  const struct {
    TUtlFileOperationFlags options;
    bool ok;
    const char* target;     // what the target holds afterwards
    bool renamedCopy;       // "x (2).txt" appeared
  } cases[] = {
      {fofFilesOnly, false, "old", false},
      {fofFilesOnly | fofNoConfirmation, true, "new", false},
      {fofFilesOnly | fofRenameCollision, true, "old", true},
  };
  for (const auto& c : cases) {
    TempFolder t;
    const std::string src = t.Write("in/x.txt", "new");
    t.Write("out/x.txt", "old");
    TUtlFileOperation op(nullptr);
    op.FileList()->Add(src);
    op.SetDestFolder(t / "out");
    op.SetOptions(c.options);
    std::vector<AnsiString> errors;
    op.OnError = [&](TObject*, const AnsiString& text, bool& handled) {
      errors.push_back(text);
      handled = true;
    };
    EXPECT_EQ(op.Execute(), c.ok) << c.options;
    EXPECT_EQ(errors.size(), c.ok ? 0u : 1u) << c.options;
    if (!errors.empty()) {
      EXPECT_EQ(errors[0], "File exists");
    }
    EXPECT_EQ(FileBytes(t / "out/x.txt"), c.target) << c.options;
    EXPECT_EQ(fs::exists(t / "out/x (2).txt"), c.renamedCopy) << c.options;
  }
}

// A small tmpfs mounted on a folder in a mount namespace of this process
// only, so the copies to it cross file systems and run out of room. False
// (with the reason) where mounting is refused.
bool MountSmallTmpfs(const std::string& folder, const char* size, std::string& why) {
  fs::create_directories(folder);
  if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      ::mount("tmpfs", folder.c_str(), "tmpfs", 0, (std::string("size=") + size).c_str()) != 0) {
    why = std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
    return false;
  }
  return true;
}

std::string Bytes(size_t n, char seed) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = char(seed + i * 7 % 251);
  return s;
}

// A copy that fails part way, to a file system that fills up or from an item
// that cannot be read, leaves every source and old target byte for byte.
TEST_F(FileComponents, AFailedCopyOrMoveKeepsSourcesAndOldTargets) {
  const std::string small = tmp / "small";
  std::string why;
  if (!MountSmallTmpfs(small, "64k", why)) GTEST_SKIP() << why;
  struct Mount {
    std::string at;
    ~Mount() { ::umount2(at.c_str(), MNT_DETACH); }
  } mounted{small};
  const std::string a = Bytes(4000, 'a'), b = Bytes(200000, 'b'), old = Bytes(30000, 'o');
  tmp.Write("src/folder/a.txt", a);
  tmp.Write("src/folder/sub/b.bin", b);
  tmp.Write("src/big.bin", b);
  tmp.Write("small/big.bin", old);
  // An entry no copy can read: a pipe (root reads any file whatever its mode).
  tmp.Write("src/odd/a.txt", a);
  ASSERT_EQ(::mkfifo((tmp / "src/odd/pipe").c_str(), 0600), 0);

  const struct {
    TUtlFileOperationType operation;
    const char* source;
    TUtlFileOperationFlags options;
  } cases[] = {
      {fotMove, "src/folder", fofNoConfirmation},  // no room
      {fotMove, "src/odd", fofNoConfirmation},     // unreadable entry
      {fotCopy, "src/big.bin", fofNoConfirmation}, // over the old file, no room
      {fotMove, "src/big.bin", fofNoConfirmation},
  };
  for (const auto& c : cases) {
    TUtlFileOperation op(nullptr);
    op.SetOperation(c.operation);
    op.SetOptions(c.options);
    op.FileList()->Add(tmp / c.source);
    op.SetDestFolder(small);
    AnsiString error;
    op.OnError = [&](TObject*, const AnsiString& text, bool& handled) { error = text, handled = true; };
    EXPECT_FALSE(op.Execute()) << c.source;
    EXPECT_NE(error, "") << c.source;
    EXPECT_EQ(FileBytes(tmp / "src/folder/a.txt"), a) << c.source;
    EXPECT_EQ(FileBytes(tmp / "src/folder/sub/b.bin"), b) << c.source;
    EXPECT_EQ(FileBytes(tmp / "src/odd/a.txt"), a) << c.source;
    EXPECT_TRUE(fs::is_fifo(tmp / "src/odd/pipe")) << c.source;
    EXPECT_EQ(FileBytes(tmp / "src/big.bin"), b) << c.source;
    // Nothing half-made is left on the small file system; the old file stays.
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(small)) left.push_back(e.path().filename());
    EXPECT_EQ(left, std::vector<std::string>{"big.bin"}) << c.source;
    EXPECT_EQ(FileBytes(small + "/big.bin"), old) << c.source;
  }

  // With room, the move crosses file systems and the copy replaces the old file.
  TUtlFileOperation op(nullptr);
  op.SetOperation(fotMove);
  op.SetOptions(fofNoConfirmation);
  op.FileList()->Add(tmp / "src/folder/a.txt");
  op.SetDestFolder(small);
  EXPECT_TRUE(op.Execute());
  EXPECT_FALSE(fs::exists(tmp / "src/folder/a.txt"));
  EXPECT_EQ(FileBytes(small + "/a.txt"), a);
  tmp.Write("src/big.bin", a);
  op.SetOperation(fotCopy);
  op.FileList()->Clear();
  op.FileList()->Add(tmp / "src/big.bin");
  EXPECT_TRUE(op.Execute());
  EXPECT_EQ(FileBytes(small + "/big.bin"), a);
  EXPECT_EQ(FileBytes(tmp / "src/big.bin"), a);
}

TEST_F(FileComponents, UndoableDeletesGoToTheTrashAndMissingSourcesReportAnError) {
  tmp.Write("work/sub/y.txt", "y");
  std::ofstream(tmp.path() / u8"work/zpráva 1.txt") << "x";  // on disk in UTF-8
  const AnsiString doc = tmp / "work/zpráva 1.txt";         // the runtime's Windows-1250 name
  TUtlFileOperation op(nullptr);
  op.SetOperation(fotDelete);
  op.SetOptions(fofAllowUndo | fofNoConfirmation | fofSilent);
  op.FileList()->Add(doc);
  op.FileList()->Add(tmp / "work/sub");
  EXPECT_TRUE(op.Execute());
  EXPECT_FALSE(fs::exists(tmp.path() / u8"work/zpráva 1.txt"));
  EXPECT_FALSE(fs::exists(tmp / "work/sub"));
  const ShellResult listed = RunShell("trash-list");
  ASSERT_EQ(listed.status, 0);
  EXPECT_NE(listed.output.find(reinterpret_cast<const char*>(u8"zpráva 1.txt")), std::string::npos) << listed.output;
  EXPECT_NE(listed.output.find(tmp / "work/sub"), std::string::npos) << listed.output;

  op.FileList()->Clear();
  op.FileList()->Add(tmp / "work/nothing.txt");
  AnsiString error;
  op.OnError = [&](TObject*, const AnsiString& text, bool&) { error = text; };
  EXPECT_FALSE(op.Execute());
  EXPECT_EQ(error, "No such file or directory");
  op.FileList()->Clear();
  EXPECT_TRUE(op.Execute());  // nothing to do
}

TEST_F(FileComponents, AnAssociationWrittenReadsBackAndGoesAway) {
  TUtlFileAssociation writer(nullptr);
  writer.SetExtension("vxb");  // the dot is added
  EXPECT_EQ(writer.Extension(), ".vxb");
  writer.SetFileDescription("Záloha vorbex");  // read-only: nothing written yet
  EXPECT_FALSE(TUtlFileAssociation(nullptr).Refresh());
  writer.SetReadOnly(false);
  writer.SetIconFile("/opt/vorbex/vorbex05");
  writer.SetIconIndex(3);
  writer.SetVerbDescription(TUtlFileAssociation::vbOpen, "&Obnovit");
  writer.SetVerbCommand(TUtlFileAssociation::vbOpen, "/opt/vorbex/vorbex05 \"%1\"");
  ASSERT_TRUE(writer.Apply());

  TUtlFileAssociation reader(nullptr);
  reader.SetExtension(".VXB");
  EXPECT_EQ(reader.ExtDescription(), "vxbfile");
  EXPECT_EQ(reader.FileDescription(), "Záloha vorbex");
  EXPECT_EQ(reader.IconFile(), "/opt/vorbex/vorbex05");
  EXPECT_EQ(reader.IconIndex(), 3);
  EXPECT_EQ(reader.VerbDescription(TUtlFileAssociation::vbOpen), "&Obnovit");
  EXPECT_EQ(reader.VerbCommand(TUtlFileAssociation::vbOpen), "/opt/vorbex/vorbex05 \"%1\"");
  EXPECT_EQ(reader.VerbCommand(TUtlFileAssociation::vbPrint), "");

  const struct {
    const char* stored;
    const char* file;
    int index;
  } icons[] = {{"/a/app,7", "/a/app", 7}, {"/a/app", "/a/app", 0}, {"/a/x,y", "/a/x,y", 0},
               {"/a/x,2,z", "/a/x", 2}, {"/a/x,q,z", "/a/x,q", 0}};
  for (const auto& i : icons) {
    UtlWriteRegistryText(rkClassesRoot, "vxbfile\\DefaultIcon", "", i.stored);
    ASSERT_TRUE(reader.Refresh());
    EXPECT_EQ(reader.IconFile(), i.file) << i.stored;
    EXPECT_EQ(reader.IconIndex(), i.index) << i.stored;
  }
  EXPECT_TRUE(reader.Unregister());
  EXPECT_EQ(reader.ExtDescription(), "");
  EXPECT_TRUE(reader.Unregister());  // nothing left: still fine
}

TEST_F(FileComponents, StoredFileBytesRoundTripAndADamagedStreamRaises) {
  TUtlFileStorage empty(nullptr);
  TMemoryStream none;
  empty.WriteData(&none);
  EXPECT_EQ(std::string(static_cast<char*>(none.Memory()), size_t(none.Size())), std::string(4, '\0'));

  const std::string bytes("PK\x03\x04\0\xFF data", 12);
  const std::string source = tmp.Write("in.zip", bytes);
  TUtlFileStorage storage(nullptr);
  std::vector<bool> loads;
  storage.OnLoad = [&](TObject*, bool ok) { loads.push_back(ok); };
  EXPECT_FALSE(storage.LoadFromFile(tmp / "missing.zip"));
  storage.SetFileName(source);
  ASSERT_TRUE(storage.Load());
  EXPECT_EQ(loads, (std::vector<bool>{false, true}));
  TMemoryStream data;
  storage.WriteData(&data);
  EXPECT_EQ(data.Size(), 4 + 12);

  TUtlFileStorage copy(nullptr);
  data.SetPosition(0);
  copy.ReadData(&data);
  copy.SetSaveName(tmp / "out.zip");
  ASSERT_TRUE(copy.Save());
  EXPECT_EQ(FileBytes(tmp / "out.zip"), bytes);
  copy.OnConfirmOverride = [](TObject*, bool& overrideFile) { overrideFile = false; };
  copy.Clear();
  EXPECT_FALSE(copy.Save());
  EXPECT_EQ(FileBytes(tmp / "out.zip"), bytes);  // kept

  // A count beyond the stream's end: refused before anything is taken.
  for (const std::string& damaged : {std::string("\x10\0\0\0PK", 6), std::string("\xFF\xFF\xFF\xFF", 4),
                                     std::string("\x01\0", 2)}) {
    TMemoryStream s;
    s.WriteBuffer(damaged.data(), int64_t(damaged.size()));
    s.SetPosition(0);
    EXPECT_THROW(copy.ReadData(&s), EReadError);
  }
  EXPECT_THROW(copy.SaveToFile(tmp / "no/such/folder/x.zip"), EUtlFileStorage);
}

}  // namespace
