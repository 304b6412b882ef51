// SG_IO drive port (see sg_io_port.h).

#include "cdwriter/sg_io_port.h"

#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/rtl/format.h"

namespace {

constexpr unsigned char kHostTimeout = 0x03;     // DID_TIME_OUT
constexpr unsigned short kDriverTimeout = 0x06;  // DRIVER_TIMEOUT, low nibble of driver_status
constexpr unsigned short kDriverStatusMask = 0x0F;

int SgDirection(TDataDirection direction) {
  switch (direction) {
    case TDataDirection::In: return SG_DXFER_FROM_DEV;
    case TDataDirection::Out: return SG_DXFER_TO_DEV;
    case TDataDirection::None: break;
  }
  return SG_DXFER_NONE;
}

}  // namespace

void FillSgIoHdr(TPassThroughRequest& request, sg_io_hdr& header) {
  header = sg_io_hdr{};
  header.interface_id = 'S';
  header.dxfer_direction = request.data_length ? SgDirection(request.direction) : SG_DXFER_NONE;
  header.cmd_len = std::min<uint8_t>(request.cdb_length, sizeof request.cdb);
  header.mx_sb_len = std::min<uint8_t>(request.sense_length, sizeof request.sense);
  header.dxfer_len = request.data ? request.data_length : 0;
  header.dxferp = request.data;
  header.cmdp = request.cdb;
  header.sbp = request.sense;
  header.timeout = std::max(request.timeout_ms, kPassThroughMinTimeoutMs);
}

bool ReadSgIoHdr(const sg_io_hdr& header, TPassThroughRequest& request) {
  request.scsi_status = header.status;
  request.residual = header.resid > 0 ? static_cast<uint32_t>(header.resid) : 0;
  // The kernel reports how much sense it wrote; never trust more than was room.
  const size_t written = std::min<size_t>(header.sb_len_wr, header.mx_sb_len);
  if (written < sizeof request.sense) std::fill(request.sense + written, request.sense + sizeof request.sense, 0);
  request.host_timeout = header.host_status == kHostTimeout ||
                         (header.driver_status & kDriverStatusMask) == kDriverTimeout;
  return header.host_status == 0 && !request.host_timeout;
}

bool TSgIoPort::IsOpticalNode(int node) {
  struct stat st {};
  return stat(NodePath(node).c_str(), &st) == 0 && S_ISBLK(st.st_mode);
}

AnsiString TSgIoPort::NodePath(int node) { return Format("/dev/sr%d", {node}); }

int TSgIoPort::Open(int node) {
  const AnsiString path = NodePath(node);
  int fd = open(path.c_str(), O_RDWR | O_NONBLOCK);
  if (fd < 0) fd = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  return fd < 0 ? kInvalidDriveHandle : fd;
}

bool TSgIoPort::Close(int handle) { return close(handle) == 0; }

bool TSgIoPort::SendCommand(int handle, TPassThroughRequest& request) {
  sg_io_hdr header;
  FillSgIoHdr(request, header);
  if (ioctl(handle, SG_IO, &header) != 0) return false;
  return ReadSgIoHdr(header, request);
}

// Linux gives optical drives no SCSI address a caller could select by.
bool TSgIoPort::GetAddress(int, TScsiAddress&) { return false; }
