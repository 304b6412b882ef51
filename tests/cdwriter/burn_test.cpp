// Burns on the software drive, read back with xorriso: every writable disc
// type, the stream the cache thread hands over, the texts OnWriteDone gets
// when something fails, and a burn that is aborted or whose burner goes away.

#include <cstring>
#include <fstream>
#include <functional>

#include "cdwriter/byte_order.h"
#include "cdwriter/cd_texts.h"
#include "platform/rtl/format.h"
#include "platform/rtl/format_settings.h"
#include "tests/cdwriter/burn_fixture.h"

namespace {

constexpr uint8_t kWrite = 0x2A, kClose = 0x5B, kTestUnitReady = 0x00, kStartStop = 0x1B, kSetSpeed = 0xBB,
                  kPreventAllow = 0x1E, kModeSelect = 0x55, kFormat = 0x04;

// CLOSE TRACK/SESSION as (function, byte 5).
using Close = std::pair<uint8_t, uint8_t>;

struct DiscCase {
  uint16_t type;
  const char* name;
  std::vector<Close> closes;
};

std::vector<uint8_t> Opcodes(const TSoftDrive& drive) {
  std::vector<uint8_t> ops;
  for (const TSoftCommand& c : drive.Log()) ops.push_back(c.cdb[0]);
  return ops;
}

std::vector<Close> Closes(const TSoftDrive& drive) {
  std::vector<Close> closes;
  for (const TSoftCommand& c : drive.Log())
    if (c.cdb[0] == kClose) closes.emplace_back(c.cdb[2], c.cdb[5]);
  return closes;
}

// Sectors of every WRITE(10) at or after the first one to the address.
std::vector<uint16_t> WriteBlocks(const TSoftDrive& drive) {
  std::vector<uint16_t> blocks;
  for (const TSoftCommand& c : drive.Log())
    if (c.cdb[0] == kWrite) blocks.push_back(GetBE16(c.cdb.data() + 7));
  return blocks;
}

// The drive reset that ends every good burn: default write page, speed, load, ready.
void ExpectSetUpAndReset(const TSoftDrive& drive) {
  const std::vector<uint8_t> ops = Opcodes(drive);
  const auto first_write = std::find(ops.begin(), ops.end(), kWrite);
  ASSERT_NE(first_write, ops.end());
  for (uint8_t op : {kStartStop, kSetSpeed})
    EXPECT_NE(std::find(ops.begin(), first_write, op), first_write) << "set-up lacks " << int{op};
  const auto last_write = std::find(ops.rbegin(), ops.rend(), kWrite).base();
  for (uint8_t op : {kModeSelect, kSetSpeed, kPreventAllow, kStartStop})
    EXPECT_NE(std::find(last_write, ops.end(), op), ops.end()) << "reset lacks " << int{op};
  EXPECT_EQ(ops.back(), kTestUnitReady);
}

void PrintTo(const DiscCase& c, std::ostream* os) { *os << c.name; }

class BurnEachDiscTest : public BurnTest, public ::testing::WithParamInterface<DiscCase> {};

TEST_P(BurnEachDiscTest, BurnsTheTreeAndReadsBack) {
  TSoftDrive& drive = Insert(Disc(GetParam().type));
  Source("a.txt", "alpha\n");
  Source("docs/b.bin", std::string(70000, 'b'));
  Source("docs/deep/c.txt", std::string(3000, 'c'));
  InsertSources();
  const BurnResult r = Burn();
  ASSERT_TRUE(r.started);
  EXPECT_TRUE(r.done);
  EXPECT_TRUE(r.on_test_thread);
  EXPECT_EQ(r.error, "");
  ExpectDiscEqualsSources();
  ExpectSetUpAndReset(drive);
  EXPECT_EQ(Closes(drive), GetParam().closes);
  // A CD takes chunks of 27 sectors (the files' last piece and the post-gap's
  // may be shorter), a DVD always 32.
  const std::vector<uint16_t> blocks = WriteBlocks(drive);
  const bool cd = GetParam().type == 2 || GetParam().type == 3;
  ASSERT_FALSE(blocks.empty());
  EXPECT_EQ(blocks[0], cd ? 27 : 32);
  for (uint16_t b : blocks) EXPECT_TRUE(cd ? b <= 27 : b == 32) << b;
  EXPECT_EQ(burner_->BytesWritten(), burner_->TrackLength() * kSectorBytes);
  const AnsiString start = AnsiString(">>> STARTING WRITE PROCESS ON ") + DiscTypeNames[GetParam().type] + " AT ";
  EXPECT_TRUE(std::any_of(log_.begin(), log_.end(), [&](const DebugLine& l) { return l.text.starts_with(start); }));
}

TEST_F(BurnTest, TestWriteClosesNothingAndResets) {
  TSoftDrive& drive = Insert(Disc(2));
  drive.capabilities_page.at(3) |= 0x04;  // the drive can test-write
  burner_->SelectDevice(burner_->DeviceString());
  Source("a.txt", "alpha\n");
  InsertSources();
  burner_->SetTestWrite(true);
  EXPECT_EQ(Burn().error, "");
  EXPECT_TRUE(Closes(drive).empty());
  ExpectSetUpAndReset(drive);
  EXPECT_NE(std::find(log_.begin(), log_.end(), DebugLine{">>> TEST/DUMMY WRITE", 1}), log_.end());
  // 7056 KB/s: 40 times the CD speed, the thousands grouped as the locale groups them.
  const AnsiString start = AnsiString(">>> STARTING WRITE PROCESS ON CD-R AT 40X (7") +
                           FormatSettings().ThousandSeparator + "056 KB/s)";
  EXPECT_NE(std::find(log_.begin(), log_.end(), DebugLine{start, 1}), log_.end());
}

INSTANTIATE_TEST_SUITE_P(Types, BurnEachDiscTest,
                         ::testing::Values(DiscCase{2, "CdR", {{2, 0}}}, DiscCase{3, "CdRw", {{2, 0}}},
                                           DiscCase{5, "DvdR", {{1, 1}, {1, 2}, {2, 3}}}, DiscCase{6, "DvdRam", {}},
                                           DiscCase{8, "DvdRwRestricted", {{2, 0}}},
                                           DiscCase{9, "DvdRwSequential", {{2, 0}}},
                                           DiscCase{10, "DvdPlusRw", {{3, 0xFF}}},
                                           DiscCase{11, "DvdPlusR", {{1, 1}, {2, 0xFF}}},
                                           DiscCase{12, "DvdPlusRDl", {{1, 1}, {2, 0}}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// --- what OnWriteDone receives when something goes wrong

void Faults(TSoftDrive& drive, uint8_t opcode, int count, TSoftSense sense, uint8_t status = 0x02) {
  for (int nth = 1; nth <= count; ++nth) drive.AddFault({opcode, nth, status, sense});
}

struct FailCase {
  const char* name;
  uint16_t disc;
  std::function<void(BurnTest&, TSoftDrive&, TZIDIzizid&)> arrange;
  std::string error;  // "" for a burn that recovers; "%s" stands for the source path
  bool reset = true;   // the drive reset that ends a good burn
};

void PrintTo(const FailCase& c, std::ostream* os) { *os << c.name; }

constexpr uint8_t kSendCueSheet = 0x5D, kSynchronizeCache = 0x35, kCloseTrack = 0x5B;

class BurnFailureTest : public BurnTest, public ::testing::WithParamInterface<FailCase> {};

TEST_P(BurnFailureTest, ReportsTheText) {
  const FailCase& c = GetParam();
  TSoftDrive& drive = Insert(Disc(c.disc));
  const std::string source = Source("a.txt", std::string(5000, 'a'));
  InsertSources();
  c.arrange(*this, drive, *burner_);
  const BurnResult r = Burn();
  ASSERT_TRUE(r.done);
  const AnsiString expected = StringReplace(c.error, "%s", Utf8ToAnsi(source), rfReplaceAll);
  EXPECT_EQ(r.error, expected);
  EXPECT_EQ(burner_->LastWriteError(), expected);
  EXPECT_FALSE(burner_->Burning());
  const std::vector<uint8_t> ops = Opcodes(drive);
  EXPECT_EQ(std::find(ops.begin(), ops.end(), kPreventAllow) != ops.end(), c.reset);
  if (c.error.empty()) ExpectDiscEqualsSources();
}

const FailCase kFailures[] = {
    {"UnreadableSource", 2, [](BurnTest&, TSoftDrive&, TZIDIzizid& b) {
       std::filesystem::remove(AnsiToUtf8(b.File(b.FileCount() - 1)->SourcePath));
     }, SCantOpenFile, false},
    // A source changed since it was added would leave its sectors unlike its record.
    {"SourceShrank", 2, [](BurnTest&, TSoftDrive&, TZIDIzizid& b) {
       std::filesystem::resize_file(AnsiToUtf8(b.File(b.FileCount() - 1)->SourcePath), 4999);
     }, SFileShrank, false},
    {"SourceGrew", 2, [](BurnTest&, TSoftDrive&, TZIDIzizid& b) {
       std::ofstream(AnsiToUtf8(b.File(b.FileCount() - 1)->SourcePath), std::ios::app) << "more";
     }, SFileGrew, false},
    // What the drive refuses at the end fails the burn with its text.
    {"FlushRefused", 2, [](BurnTest&, TSoftDrive& d, TZIDIzizid&) { Faults(d, kSynchronizeCache, 2, {3, 0x0C, 0}); },
     "SYNCHRONIZE CACHE FAILED [MEDIUM ERROR (WRITE ERROR)]", false},
    {"FlushRefusedOnceIsRetried", 2,
     [](BurnTest&, TSoftDrive& d, TZIDIzizid&) { Faults(d, kSynchronizeCache, 1, {3, 0x0C, 0}); }, ""},
    {"DvdFlushRefused", 5, [](BurnTest&, TSoftDrive& d, TZIDIzizid&) { Faults(d, kSynchronizeCache, 1, {3, 0x0C, 0}); },
     "SYNCHRONIZE CACHE FAILED [MEDIUM ERROR (WRITE ERROR)]", false},
    {"TrackCloseRefused", 11, [](BurnTest&, TSoftDrive& d, TZIDIzizid&) { Faults(d, kCloseTrack, 1, {3, 0x0C, 0}); },
     "CLOSE TRACK/SESSION FAILED [MEDIUM ERROR (WRITE ERROR)]", false},
    {"SessionCloseRefused", 2, [](BurnTest&, TSoftDrive& d, TZIDIzizid&) { Faults(d, kCloseTrack, 2, {3, 0x0C, 0}); },
     "CLOSE TRACK/SESSION FAILED [MEDIUM ERROR (WRITE ERROR)]", false},
    {"NoAnswer", 2, [](BurnTest&, TSoftDrive& d, TZIDIzizid&) { d.AddFault({kWrite, 1, 0, {}, true}); },
     "WRITER ERROR [COMMAND TIMEOUT]", false},
    {"NoSense", 2, [](BurnTest&, TSoftDrive& d, TZIDIzizid&) { Faults(d, kWrite, 1, {0, 0, 0}); },
     "WRITER ERROR [NO ADDITIONAL SENSE INFORMATION (NO ADDITIONAL SENSE INFORMATION)]", false},
    {"MediumError", 2, [](BurnTest&, TSoftDrive& d, TZIDIzizid&) { Faults(d, kWrite, 1, {3, 0x0C, 0}); },
     "WRITER ERROR [MEDIUM ERROR (WRITE ERROR)]", false},
    {"BusyThenAccepted", 2, [](BurnTest&, TSoftDrive& d, TZIDIzizid&) { Faults(d, kWrite, 100, {2, 4, 8}); }, ""},
    {"BusyForever", 2, [](BurnTest&, TSoftDrive& d, TZIDIzizid&) { Faults(d, kWrite, 10000, {2, 4, 8}); },
     "WRITER BUSY/BUFFER FULL", false},
    {"SessionAtOnceTooLong", 2, [](BurnTest& t, TSoftDrive&, TZIDIzizid& b) {
       b.UseSessionAtOnce = true;
       const std::string big = t.Source("big.bin", "");
       std::filesystem::resize_file(big, int64_t{450001} * kSectorBytes);
       b.InsertFile("\\", Utf8ToAnsi(big), false);
     }, "TOO MUCH DATA FOR THIS MODE", false},
    {"CueSheetRefused", 2, [](BurnTest&, TSoftDrive& d, TZIDIzizid& b) {
       b.UseSessionAtOnce = true;
       Faults(d, kSendCueSheet, 1, {5, 0x24, 0});
     }, "SEND CUE SHEET FAILED", false},
    {"AbortedByUser", 11, [](BurnTest&, TSoftDrive&, TZIDIzizid& b) {
       // The start message comes on the writer thread before any data.
       b.OnDebugMessage = [&b](TObject*, const AnsiString& text, uint8_t) {
         if (text.find("STARTING WRITE PROCESS") != AnsiString::npos) b.AbortWrite();
       };
     }, "OPERATION ABORTED BY USER", false},
    {"DvdPlusRwUnformatted", 10, [](BurnTest&, TSoftDrive& d, TZIDIzizid&) { Faults(d, kWrite, 1, {2, 0x30, 0x10}); },
     ""},
};

INSTANTIATE_TEST_SUITE_P(Texts, BurnFailureTest, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

// However often the count would allow, a drive that stays busy, or never
// answers, is given up on within the time limit: with 600 ms (writes) or 1 s
// (closes) of virtual time between tries, ten minutes hold the first try and
// at most 1000 or 600 more. The counts alone
// would allow 10000 writes and 1000 closes. (Other threads' polls move the
// shared virtual clock too, so only fewer tries are possible.)
struct EndlessCase {
  const char* name;
  TSoftFault fault;
  const char* error;
  int max_tries;
};

void PrintTo(const EndlessCase& c, std::ostream* os) { *os << c.name; }

class EndlessFaultTest : public BurnTest, public ::testing::WithParamInterface<EndlessCase> {};

TEST_P(EndlessFaultTest, EndsWithinTheTimeLimit) {
  const EndlessCase& c = GetParam();
  TSoftDrive& drive = Insert(Disc(2));
  Source("a.txt", "alpha\n");
  InsertSources();
  drive.AddFault(c.fault);
  const BurnResult r = Burn();
  EXPECT_EQ(r.error.substr(0, std::strlen(c.error)), c.error);
  const std::vector<uint8_t> ops = Opcodes(drive);
  const auto tries = std::count(ops.begin(), ops.end(), c.fault.opcode);
  EXPECT_GE(tries, 1);
  EXPECT_LE(tries, c.max_tries);
}

constexpr int kForever = 1 << 30;

INSTANTIATE_TEST_SUITE_P(
    Faults, EndlessFaultTest,
    ::testing::Values(EndlessCase{"BusyWrite", {kWrite, 1, 0x02, {2, 4, 8}, false, kForever},
                                  "WRITER BUSY/BUFFER FULL", 1001},
                      EndlessCase{"BusyClose", {kCloseTrack, 1, 0x02, {2, 4, 8}, false, kForever},
                                  "CLOSE TRACK/SESSION FAILED", 601},
                      EndlessCase{"SilentWrite", {kWrite, 1, 0, {}, true, kForever}, "WRITER ERROR [COMMAND TIMEOUT]", 1}),
    [](const auto& info) { return std::string(info.param.name); });

// Session at once sends the track's 150-sector pre-gap first, so the volume
// starts at sector 0 and its descriptor is at sector 16 as readers look for it.
TEST_F(BurnTest, SessionAtOnceImageIsReadable) {
  Insert(Disc(2));
  Source("a.txt", std::string(70000, 'a'));
  Source("sub/b.txt", "b\n");
  InsertSources();
  burner_->UseSessionAtOnce = true;
  EXPECT_EQ(Burn().error, "");
  const std::string disc = ReadAll(disc_file_);
  ASSERT_GE(disc.size(), 17u * kSectorBytes);
  EXPECT_EQ(disc.substr(16 * kSectorBytes, 6), "\x01" "CD001");
  const uint8_t* pvd = reinterpret_cast<const uint8_t*>(disc.data()) + 16 * kSectorBytes;
  EXPECT_EQ(GetLE32(pvd + 80), burner_->Layout().VolumeSpaceSize - 150);
  ExpectDiscEqualsSources();
}

// A disc that is not written session at once cannot take the pre-gap.
TEST_F(BurnTest, SessionAtOnceOnDvdIsRefused) {
  TSoftDrive& drive = Insert(Disc(11));
  Source("a.txt", "a\n");
  InsertSources();
  burner_->UseSessionAtOnce = true;
  EXPECT_EQ(Burn().error, "SESSION AT ONCE NOT POSSIBLE ON THIS DISC");
  const std::vector<uint8_t> ops = Opcodes(drive);
  EXPECT_EQ(std::count(ops.begin(), ops.end(), kWrite), 0);
}

TEST_F(BurnTest, SourceThatCannotBeReadFailsByName) {
  Insert(Disc(2));
  // A folder opens but cannot be read, like a file on a failing disk.
  const std::string folder = dir_ / "folder.bin";
  std::filesystem::create_directory(folder);
  TTreeRecord record;
  record.Name = "folder.bin";
  record.Size = 10;
  ASSERT_EQ(burner_->AddFileEntry(burner_->Root(), record, 0, 0, Utf8ToAnsi(folder)), 1);
  EXPECT_EQ(Burn().error, "CAN'T READ FILE \"" + folder + "\"");
}

TEST_F(BurnTest, UnformattedDvdPlusRwIsFormattedOnce) {
  TSoftDrive& drive = Insert(Disc(10));
  Source("a.txt", "alpha\n");
  InsertSources();
  Faults(drive, kWrite, 1, {2, 0x30, 0x10});
  EXPECT_EQ(Burn().error, "");
  const std::vector<uint8_t> ops = Opcodes(drive);
  EXPECT_EQ(std::count(ops.begin(), ops.end(), kFormat), 1);
  ExpectDiscEqualsSources();
}

// --- a running burn keeps the tree and can be stopped

TEST_F(BurnTest, RunningBurnRefusesTreeChangesAndASecondBurn) {
  TSoftDrive& drive = Insert(Disc(11));
  Source("a.txt", "alpha\n");
  InsertSources();
  const std::string later = dir_.Write("later.txt", "later\n");
  Faults(drive, kWrite, 50, {2, 4, 8});  // keeps the writer busy for a while
  bool checked = false;
  burner_->OnFinalizingTrack = [&](TObject*) { checked = true; };
  ASSERT_TRUE(burner_->WriteDisc());
  EXPECT_FALSE(burner_->WriteDisc());
  EXPECT_EQ(burner_->InsertFile("\\", Utf8ToAnsi(later), false), 0);
  EXPECT_FALSE(burner_->ClearTree());
  EXPECT_EQ(burner_->PrepareImage(true, nullptr), 0);
  EXPECT_EQ(burner_->FileCount(), 1);
  while (!result_.done) {
    WaitMessage();
    ProcessMessages();
  }
  EXPECT_TRUE(checked);
  EXPECT_EQ(result_.error, "");
  ExpectDiscEqualsSources();
  EXPECT_EQ(burner_->InsertFile("\\", Utf8ToAnsi(later), false), 1);
}

TEST_F(BurnTest, DestroyedMidBurnStopsBothThreads) {
  TSoftDrive& drive = Insert(Disc(11));
  Source("a.txt", std::string(300000, 'a'));
  InsertSources();
  Faults(drive, kWrite, 10000, {2, 4, 8});
  ASSERT_TRUE(burner_->WriteDisc());
  EXPECT_TRUE(burner_->Burning());
  burner_.reset();  // aborts and joins; the handler is not called on a dying burner
  EXPECT_FALSE(result_.done);
}

TEST_F(BurnTest, DeadDriveAfterDvdFlushIsGivenUp) {
  TSoftDrive& drive = Insert(Disc(5));
  Source("a.txt", "alpha\n");
  InsertSources();
  constexpr uint8_t kReadDiscInformation = 0x51;
  burner_->OnFinalizingTrack = [&](TObject*) { Faults(drive, kReadDiscInformation, 2000, {2, 4, 1}); };
  const BurnResult r = Burn();
  EXPECT_EQ(r.error, "WRITER ERROR [" + burner_->LastErrorText() + "]");
  EXPECT_NE(burner_->LastErrorText(), "");
  EXPECT_EQ(burner_->DeviceFreeBufferSize(), 0u);
  EXPECT_TRUE(Closes(drive).empty());
}

TEST_F(BurnTest, LastWriteErrorIsSetWithoutAHandler) {
  TSoftDrive& drive = Insert(Disc(2));
  Source("a.txt", "alpha\n");
  InsertSources();
  burner_->OnWriteDone = nullptr;
  Faults(drive, kWrite, 1, {3, 0x0C, 0});
  ASSERT_TRUE(burner_->WriteDisc());
  while (burner_->Burning()) std::this_thread::yield();
  EXPECT_EQ(burner_->LastWriteError(), "WRITER ERROR [MEDIUM ERROR (WRITE ERROR)]");
}
