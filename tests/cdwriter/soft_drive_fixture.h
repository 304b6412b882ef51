// Shared set-up of the CD writing tests: software drives on the built-in
// transport's port, the virtual clock, and a device that has loaded the
// transport. Every test leaves the process-wide transport unbound again.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "cdwriter/aspi_transport.h"
#include "cdwriter/scsi_device.h"
#include "cdwriter/soft_drive/soft_drive.h"
#include "cdwriter/spti_layer.h"
#include "platform/rtl/clock.h"

struct DeviceDeleter {
  void operator()(TSCSIDevice* device) const { device->Free(); }
};
using DevicePtr = std::unique_ptr<TSCSIDevice, DeviceDeleter>;

// A field the device has turned to native byte order.
template <typename T>
T NativeAt(const uint8_t* p) {
  T value;
  std::memcpy(&value, p, sizeof value);
  return value;
}

inline TSoftMediumSetup Disc(uint16_t type, uint32_t capacity = 359847,
                             std::vector<std::vector<uint32_t>> sessions = {}, bool closed = false) {
  TSoftMediumSetup setup;
  setup.disc_type = type;
  setup.capacity = capacity;
  setup.sessions = std::move(sessions);
  setup.closed = closed;
  return setup;
}

class SoftDriveTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetVirtualClock(true);
    SptiSetPort(&port_);
  }

  void TearDown() override {
    device_.reset();
    ShutdownTransport();
    SptiSetPort(nullptr);
    SetVirtualClock(false);
    CurrentDiscType = 0;
    SessionAtOnceMode = false;
    GlobalWaitReadyQuirk = false;
    WriteQuirk = false;
  }

  TSoftDrive& AddDrive(int node, const AnsiString& vendor, const AnsiString& product, uint8_t peripheral = 0x05) {
    return port_.Add(node, std::make_unique<TSoftDrive>(vendor, product, "1.00", peripheral));
  }

  // One writer on node 0 holding a medium; the device has it selected.
  TSoftDrive& SelectWriter(const TSoftMediumSetup& medium = {}) {
    TSoftDrive& drive = AddDrive(0, "SOFTVEND", "SOFT WRITER");
    drive.Insert(medium);
    Start();
    device_->SelectDevice(device_->DeviceList()->Strings(0));
    drive.ClearLog();
    return drive;
  }

  // Loads the built-in transport over the port as the application does.
  TSCSIDevice& Start() {
    device_.reset(new TSCSIDevice(nullptr));
    EXPECT_TRUE(device_->InitializeASPI(true, ""));
    return *device_;
  }

  TSCSIDevice& Device() { return *device_; }
  TSoftDrivePort port_;
  DevicePtr device_;
};
