// What the device reads of the drive's capabilities and how it sets up the
// write parameters page for each disc type, and short or garbage answers.

#include <cstring>

#include "cdwriter/byte_order.h"
#include "cdwriter/cd_texts.h"
#include "tests/cdwriter/soft_drive_fixture.h"

namespace {

using CapabilitiesTest = SoftDriveTest;


TEST_F(CapabilitiesTest, CapabilityBitsFromPageAndFeatures) {
  SelectWriter();
  ASSERT_TRUE(Device().ReadCapabilities());
  // Page 3Fh/17h/C0h; DVD+RW feature writable; DVD-R feature present but not
  // reported as exactly 1; no DVD+R DL feature.
  const uint32_t expected = dcReadCDR | dcReadCDRW | dcReadMethod2 | dcReadDVD | dcReadDVDR | dcReadDVDRW |
                            dcReadDVDRAM | dcWriteCDR | dcWriteCDRW | dcWriteTest | dcWriteDVDR | dcWriteDVDRW |
                            dcUnderrunProtection | dcReadDVDPlusRW | dcReadDVDPlusR | dcWriteDVDPlusRW |
                            dcWriteDVDPlusR;
  EXPECT_EQ(Device().DeviceCapabilities(), expected);
  EXPECT_EQ(Device().DeviceMaxWriteSpeed(), 7056);
  EXPECT_EQ(Device().DeviceMaxReadSpeed(), 7056);
  EXPECT_EQ(NativeAt<uint16_t>(Device().CapabilitiesPage() + 12), 2048);
  EXPECT_EQ(Device().GetMaxReadSpeed(), 7056);
  EXPECT_EQ(Device().GetCurrentWriteSpeed(), 7056);
}

TEST_F(CapabilitiesTest, UnderrunProtectionFromVendorPageOrModel) {
  struct Case {
    const char* product;
    bool vendor_page;
    bool protected_;
  } cases[] = {{"SOFT WRITER", false, false}, {"SOFT WRITER", true, true}, {"CD-W512EB", false, true}};
  for (const Case& c : cases) {
    ShutdownTransport();
    TSoftDrive& drive = AddDrive(0, "SOFTVEND", c.product);
    drive.capabilities_page[4] = 0x40;  // multi-session only
    if (c.vendor_page) drive.vendor_page = {0x30, 0x02, 0x00, 0x00};
    Start().SelectDevice(Device().DeviceList()->Strings(0));
    ASSERT_TRUE(Device().ReadCapabilities());  // the model is known once selected
    EXPECT_EQ((Device().DeviceCapabilities() & dcUnderrunProtection) != 0, c.protected_) << c.product;
  }
}

TEST_F(CapabilitiesTest, ZeroWriteSpeedCountsAs1385) {
  TSoftDrive& drive = AddDrive(0, "SOFTVEND", "SOFT WRITER");
  std::memset(drive.capabilities_page.data() + 18, 0, 4);
  Start().SelectDevice(Device().DeviceList()->Strings(0));
  EXPECT_EQ(Device().GetCurrentWriteSpeed(), 1385);
  EXPECT_EQ(Device().DeviceMaxWriteSpeed(), 1385);
}

TEST_F(CapabilitiesTest, ShortOrGarbagePageIsAFailureWithAText) {
  struct Case {
    const char* name;
    std::vector<uint8_t> page;
  } cases[] = {
      {"page header only", {0x2A, 0x00}},
      {"too short for the speeds", {0x2A, 0x06, 0x3F, 0x17, 0xC0, 0, 0, 0}},
      {"another page", std::vector<uint8_t>(30, 0x05)},
      {"nothing", {}},
  };
  for (const Case& c : cases) {
    ShutdownTransport();
    TSoftDrive& drive = AddDrive(0, "SOFTVEND", "SOFT WRITER");
    drive.capabilities_page = c.page;
    Start().SelectDevice(Device().DeviceList()->Strings(0));
    EXPECT_FALSE(Device().ReadCapabilities()) << c.name;
    EXPECT_EQ(Device().LastErrorText(), SInvalidAnswer) << c.name;
  }
}

TEST_F(CapabilitiesTest, PageCopyHoldsOnlyWhatArrived) {
  // A long page is cut to the 128 bytes asked; nothing beyond is invented.
  TSoftDrive& drive = AddDrive(0, "SOFTVEND", "SOFT WRITER");
  drive.capabilities_page.resize(300, 0xAB);
  drive.capabilities_page[1] = 0xFF;
  Start().SelectDevice(Device().DeviceList()->Strings(0));
  ASSERT_TRUE(Device().ReadCapabilities());
  const uint8_t* page = Device().CapabilitiesPage();
  EXPECT_EQ(page[119], 0xAB);  // the last byte of a 128-byte answer: 8 header bytes, 120 page bytes
  for (size_t i = 120; i < kCapabilitiesPageBytes; ++i) ASSERT_EQ(page[i], 0) << i;
}

struct PageCase {
  const char* name;
  uint16_t disc_type;
  bool test_write;
  bool session_at_once;
  std::vector<uint8_t> bytes_2_to_6;
  uint32_t packet_size;
};

TEST_F(CapabilitiesTest, WriteParametersPagePerDiscType) {
  const PageCase cases[] = {
      {"CD-R", 2, false, false, {0x41, 0xC4, 0x08, 0x00, 0x00}, 0},
      {"CD-R test write", 2, true, false, {0x51, 0x04, 0x08, 0x00, 0x00}, 0},
      {"CD-R session at once", 2, false, true, {0x42, 0xC4, 0x00, 0x00, 0x00}, 0},
      {"DVD-R", 5, false, false, {0x60, 0xE5, 0x08, 0x10, 0x00}, 16},
      {"DVD-RW sequential", 9, false, false, {0x60, 0xC5, 0x08, 0x10, 0x00}, 0},
      {"DVD+RW", 10, false, false, {0x62, 0x04, 0x08, 0x10, 0x00}, 0},
      {"DVD+R", 11, false, false, {0x62, 0xC4, 0x08, 0x00, 0x00}, 16},
      {"DVD+R DL", 12, false, false, {0x62, 0x04, 0x08, 0x00, 0x00}, 0},
  };
  TSoftDrive& drive = SelectWriter();
  for (const PageCase& c : cases) {
    SessionAtOnceMode = c.session_at_once;
    drive.ClearLog();
    ASSERT_TRUE(Device().SetWriteParameters(c.test_write, true, c.disc_type, false)) << c.name;
    const TSoftCommand& select = drive.Log().back();
    ASSERT_EQ(select.cdb[0], 0x55) << c.name;
    ASSERT_EQ(select.data_out.size(), 60u) << c.name;
    const uint8_t* page = select.data_out.data() + 8;
    EXPECT_EQ(page[0], 0x05) << c.name;
    EXPECT_EQ(page[1], 50) << c.name;
    EXPECT_EQ(std::vector<uint8_t>(page + 2, page + 7), c.bytes_2_to_6) << c.name;
    EXPECT_EQ(GetBE32(page + 10), c.packet_size) << c.name;
    EXPECT_EQ(page[14] * 256 + page[15], 150) << c.name;
    // The drive took the page.
    EXPECT_EQ(std::vector<uint8_t>(drive.write_parameters_page.begin() + 2, drive.write_parameters_page.begin() + 7),
              c.bytes_2_to_6) << c.name;
  }
  drive.ClearLog();
  EXPECT_TRUE(Device().SetWriteParameters(false, true, 6, false));  // DVD-RAM: nothing to set
  EXPECT_TRUE(drive.Log().empty());
}

TEST_F(CapabilitiesTest, FinalizingAndClosingClearMultiSession) {
  TSoftDrive& drive = SelectWriter();
  Device().SetFinalizeDisc(true);
  ASSERT_TRUE(Device().SetWriteParameters(false, false, 2, false));
  EXPECT_EQ(drive.write_parameters_page[3], 0x04);
  ASSERT_TRUE(Device().SetWriteParameters(false, false, 12, true));
  EXPECT_EQ(drive.write_parameters_page[3], 0xC4);
}

TEST_F(CapabilitiesTest, ProbeWriteModesFindsWhatTheDriveAccepts) {
  TSoftDrive& drive = SelectWriter();
  EXPECT_EQ(Device().SupportedWriteModes(), 7);
  drive.write_types = 0x07;  // no raw writing
  Device().ProbeWriteModes();
  EXPECT_EQ(Device().SupportedWriteModes(), 6);
  EXPECT_EQ(drive.write_parameters_page[2], 0x01);  // left at the last mode tried: track at once
  drive.write_types = 0x0F;
  drive.AddFault({0x5A, 2, 0x02, {2, 0x3A, 0x00}, false});  // session at once cannot be tried
  Device().ProbeWriteModes();
  EXPECT_EQ(Device().SupportedWriteModes(), 1 | 4);
}

TEST_F(CapabilitiesTest, RefusedPageKeepsTheDrivesSetting) {
  TSoftDrive& drive = SelectWriter();
  drive.capabilities_page[3] &= ~0x04;  // the drive cannot test-write
  const std::vector<uint8_t> before = drive.write_parameters_page;
  uint8_t list[60] = {};
  std::memcpy(list + 8, before.data(), 52);
  list[8 + 2] = 0x11;  // test write
  EXPECT_FALSE(Device().ModeSelect10(list, sizeof list));
  EXPECT_EQ(Device().LastErrorText(), "ILLEGAL REQUEST (INVALID FIELD IN PARAMETER LIST)");
  list[8 + 2] = 0x01;
  list[8 + 4] = 0x05;  // a reserved data block type
  EXPECT_FALSE(Device().ModeSelect10(list, sizeof list));
  list[8 + 4] = 0x08;
  EXPECT_FALSE(Device().ModeSelect10(list, 9));
  EXPECT_EQ(Device().LastErrorText(), "ILLEGAL REQUEST (PARAMETER LIST LENGTH ERROR)");
  EXPECT_EQ(drive.write_parameters_page, before);
}

}  // namespace
