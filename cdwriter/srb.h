// SCSI request blocks as the drive transport receives them: the field order
// and sizes of the ASPI request blocks, with native pointers where the blocks
// carry addresses, and the command codes, request flags and status values.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint8_t SC_HA_INQUIRY = 0x00;
constexpr uint8_t SC_GET_DEV_TYPE = 0x01;
constexpr uint8_t SC_EXEC_SCSI_CMD = 0x02;
constexpr uint8_t SC_ABORT_SRB = 0x03;
constexpr uint8_t SC_GET_DISK_INFO = 0x06;

constexpr uint8_t SRB_DIR_IN = 0x08;
constexpr uint8_t SRB_DIR_OUT = 0x10;
constexpr uint8_t SRB_EVENT_NOTIFY = 0x40;

constexpr uint8_t SS_PENDING = 0x00;
constexpr uint8_t SS_COMP = 0x01;
constexpr uint8_t SS_ABORTED = 0x02;
constexpr uint8_t SS_ABORT_FAIL = 0x03;
constexpr uint8_t SS_ERR = 0x04;
constexpr uint8_t SS_INVALID_CMD = 0x80;
constexpr uint8_t SS_INVALID_HA = 0x81;
constexpr uint8_t SS_NO_DEVICE = 0x82;
constexpr uint8_t SS_INVALID_SRB = 0xE0;
constexpr uint8_t SS_BUFFER_ALIGN = 0xE1;
constexpr uint8_t SS_NOT_INITIALIZED = 0xE2;  // returned by the device when no transport or device
constexpr uint8_t SS_ASPI_IS_BUSY = 0xE5;
constexpr uint8_t SS_BUFFER_TO_BIG = 0xE6;
constexpr uint8_t SS_NO_ADAPTERS = 0xE8;

constexpr uint8_t HASTAT_OK = 0x00;
constexpr uint8_t HASTAT_TIMEOUT = 0x09;

constexpr uint8_t STATUS_GOOD = 0x00;
constexpr uint8_t STATUS_CHKCOND = 0x02;
constexpr uint8_t STATUS_BUSY = 0x08;

constexpr size_t kSenseAreaBytes = 33;   // sense area the library reserves in every SRB
constexpr uint8_t kRequestSenseBytes = 24;  // sense the library asks for with every command
constexpr size_t kMaxCdbBytes = 16;
constexpr size_t kIdentifierChars = 16;  // manager and adapter identifiers

struct SRB_Header {
  uint8_t SRB_Cmd = 0;
  uint8_t SRB_Status = 0;
  uint8_t SRB_HaId = 0;
  uint8_t SRB_Flags = 0;
  uint32_t SRB_Hdr_Rsvd = 0;
};

struct SRB_HAInquiry : SRB_Header {
  uint8_t HA_Count = 0;
  uint8_t HA_SCSI_ID = 0;
  char HA_ManagerId[kIdentifierChars] = {};
  char HA_Identifier[kIdentifierChars] = {};
  uint8_t HA_Unique[16] = {};  // 0-1 alignment mask, 3 maximum targets, 4-7 maximum transfer bytes
  uint16_t HA_Rsvd1 = 0;
};
static_assert(sizeof(SRB_HAInquiry) == 60);

struct SRB_GDEVBlock : SRB_Header {
  uint8_t SRB_Target = 0;
  uint8_t SRB_Lun = 0;
  uint8_t SRB_DeviceType = 0;
  uint8_t SRB_Rsvd1 = 0;
};

struct SRB_ExecSCSICmd : SRB_Header {
  uint8_t SRB_Target = 0;
  uint8_t SRB_Lun = 0;
  uint16_t SRB_Rsvd1 = 0;
  uint32_t SRB_BufLen = 0;
  uint8_t* SRB_BufPointer = nullptr;
  uint8_t SRB_SenseLen = 0;
  uint8_t SRB_CDBLen = 0;
  uint8_t SRB_HaStat = 0;
  uint8_t SRB_TargStat = 0;
  void* SRB_PostProc = nullptr;  // the TEvent to set on completion (flag SRB_EVENT_NOTIFY)
  // Taken from the reserved area: the command's own time-out, so that a
  // pass-through layer can give the drive as long. Libraries ignore it.
  uint32_t SRB_TimeoutMs = 0;
  uint8_t SRB_Rsvd2[16] = {};
  uint8_t CDBByte[kMaxCdbBytes] = {};
  uint8_t SenseArea[kSenseAreaBytes] = {};
};

struct SRB_Abort : SRB_Header {
  void* SRB_ToAbort = nullptr;
};

struct SRB_GetDiskInfo : SRB_Header {
  uint8_t SRB_Target = 0;
  uint8_t SRB_Lun = 0;
  uint8_t SRB_DriveFlags = 0;
  uint8_t SRB_Int13HDriveInfo = 0;  // BIOS drive number
  uint8_t SRB_Heads = 0;
  uint8_t SRB_Sectors = 0;
  uint8_t SRB_Rsvd1[10] = {};
};

// The transport's two entry points.
using TGetASPI32SupportInfo = uint32_t (*)();
using TSendASPI32Command = uint32_t (*)(void* srb);
