// Streams: file modes and errors, the read/write error rules, 64-bit
// positions, CopyFrom, and the in-memory streams.
#include "platform/rtl/streams.h"

#include <gtest/gtest.h>

#include "platform/rtl/exceptions.h"
#include "tests/support/file_reader.h"
#include "tests/support/temp_folder.h"

namespace {

class StreamFiles : public ::testing::Test {
protected:
  AnsiString Name(const char* leaf) const { return folder_.name() + "/" + leaf; }

  TempFolder folder_;
};

}  // namespace

TEST_F(StreamFiles, CreateWriteReopenAndRead) {
  {
    TFileStream out(Name("záloha.zal"), fmCreate);
    out.WriteBuffer("hello world", 11);
    EXPECT_EQ(out.Size(), 11);
  }
  // The Windows-1250 name reaches the disk as UTF-8.
  EXPECT_EQ(FileBytes(folder_.path() / u8"záloha.zal"), "hello world");

  TFileStream in(Name("záloha.zal"), fmOpenRead | fmShareDenyWrite);
  char buf[5];
  in.SetPosition(6);
  in.ReadBuffer(buf, 5);
  EXPECT_EQ(std::string(buf, 5), "world");
  EXPECT_EQ(in.Read(buf, 5), 0);  // at the end: nothing, no error
  EXPECT_THROW(in.ReadBuffer(buf, 1), EReadError);
  EXPECT_THROW(in.WriteBuffer("x", 1), EWriteError);  // opened for reading only
}

TEST_F(StreamFiles, OpenAndCreateErrorsNameTheFile) {
  try {
    TFileStream missing(Name("missing.txt"), fmOpenRead);
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + Name("missing.txt") + "\"");
  }
  EXPECT_THROW(TFileStream(folder_.name(), fmOpenRead), EFOpenError);  // a folder
  try {
    TFileStream bad(Name("no/such/folder.txt"), fmCreate);
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message(), "Cannot create file \"" + Name("no/such/folder.txt") + "\"");
  }
}

TEST_F(StreamFiles, ReadWriteModeAndSizePastFourGigabytes) {
  TFileStream f(Name("big.bin"), fmCreate);
  const int64_t far = (int64_t{1} << 32) + 10;  // sparse on the disk
  f.SetPosition(far);
  f.WriteBuffer("z", 1);
  EXPECT_EQ(f.Size(), far + 1);
  EXPECT_EQ(f.Position(), far + 1);
  f.SetSize(3);
  EXPECT_EQ(f.Size(), 3);
  EXPECT_EQ(f.Position(), 3);
}

TEST(MemoryStream, GrowsSeeksAndCopies) {
  TMemoryStream m;
  m.WriteBuffer("abc", 3);
  m.SetPosition(5);
  m.WriteBuffer("z", 1);  // the gap fills with zeros
  EXPECT_EQ(m.Size(), 6);
  EXPECT_EQ(std::string(static_cast<char*>(m.Memory()), 6), std::string("abc\0\0z", 6));
  EXPECT_EQ(m.Seek(-2, soEnd), 4);
  char c;
  m.ReadBuffer(&c, 1);
  EXPECT_EQ(c, '\0');

  TStringStream s;
  EXPECT_EQ(s.CopyFrom(&m, 0), 6);  // 0 copies the whole source from its start
  EXPECT_EQ(s.DataString(), std::string("abc\0\0z", 6));
  m.SetPosition(1);
  TMemoryStream part;
  EXPECT_EQ(part.CopyFrom(&m, 2), 2);
  EXPECT_EQ(std::string(static_cast<char*>(part.Memory()), 2), "bc");
  m.SetPosition(5);
  EXPECT_THROW(part.CopyFrom(&m, 3), EReadError);  // source too short
  m.Clear();
  EXPECT_EQ(m.Size(), 0);
  EXPECT_EQ(m.Position(), 0);
}

TEST(MemoryStream, NegativePositionsMoveNothing) {
  TMemoryStream m;
  m.WriteBuffer("abc", 3);
  m.Seek(-10, soCurrent);
  char buf[3];
  EXPECT_EQ(m.Read(buf, 3), 0);
  EXPECT_EQ(m.Write("x", 1), 0);
  EXPECT_THROW(m.SetSize(-1), EStreamError);
}

TEST(StringStream, WritingInTheMiddleKeepsTheRest) {
  TStringStream s("hello world");
  s.SetPosition(6);
  EXPECT_EQ(s.ReadString(100), "world");
  s.SetPosition(0);
  s.WriteString("J");
  EXPECT_EQ(s.DataString(), "Jello world");
  s.Seek(0, soEnd);
  s.WriteString("!");
  EXPECT_EQ(s.DataString(), "Jello world!");
}

TEST_F(StreamFiles, MemoryStreamFileRoundTrip) {
  TMemoryStream m;
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  m.WriteBuffer(bytes.data(), 256);
  m.SaveToFile(Name("bytes.bin"));
  TMemoryStream back;
  back.LoadFromFile(Name("bytes.bin"));
  EXPECT_EQ(std::string(static_cast<char*>(back.Memory()), 256), bytes);
  EXPECT_EQ(back.Position(), 0);
}
