// The port through which the built-in pass-through layer reaches drives: a
// fixed row of device nodes, each opened by handle, that take one SCSI
// command at a time. The Linux port speaks SG_IO to /dev/srN; the software
// drive (soft_drive/) is a port as well, so tests reach the layer unchanged.
#pragma once

#include <cstdint>

#include "platform/rtl/strings.h"

constexpr int kDriveNodeCount = 24;      // /dev/sr0 ... /dev/sr23
constexpr int kInvalidDriveHandle = -1;
constexpr uint32_t kPassThroughMinTimeoutMs = 120000;
constexpr int kPassThroughSenseBytes = 32;

enum class TDataDirection : uint8_t { Out = 0, In = 1, None = 2 };

// One command and, after the port ran it, its outcome.
struct TPassThroughRequest {
  uint8_t cdb[16] = {};
  uint8_t cdb_length = 0;
  uint8_t sense_length = 0;          // bytes of sense the caller wants, at most kPassThroughSenseBytes
  TDataDirection direction = TDataDirection::None;
  uint8_t* data = nullptr;
  uint32_t data_length = 0;
  uint32_t timeout_ms = 0;           // the command's own time-out
  // Outcome.
  uint8_t scsi_status = 0;           // the full status byte
  bool host_timeout = false;         // the command never finished in time
  uint32_t residual = 0;             // bytes asked for but not transferred
  uint8_t sense[kPassThroughSenseBytes] = {};
};

// SCSI address of a node, when the port knows one.
struct TScsiAddress {
  uint8_t port_number = 0;
  uint8_t path_id = 0;
  uint8_t target_id = 0;
  uint8_t lun = 0;
};

class IDrivePort {
public:
  virtual ~IDrivePort() = default;
  // True when the node is an optical drive that may be probed.
  virtual bool IsOpticalNode(int node) = 0;
  virtual AnsiString NodePath(int node) = 0;
  // A handle, or kInvalidDriveHandle.
  virtual int Open(int node) = 0;
  virtual bool Close(int handle) = 0;
  // False when the command could not be delivered at all.
  virtual bool SendCommand(int handle, TPassThroughRequest& request) = 0;
  virtual bool GetAddress(int handle, TScsiAddress& address) = 0;
};
