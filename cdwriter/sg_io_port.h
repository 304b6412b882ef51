// The Linux drive port: optical drives are the block nodes /dev/sr0 ...
// /dev/sr23 and take SCSI commands through ioctl(SG_IO). Filling and reading
// the sg_io_hdr are pure functions, testable without a drive.
#pragma once

#include "cdwriter/drive_port.h"

struct sg_io_hdr;

// The SG_IO header for a request; the sense bytes land in request.sense.
void FillSgIoHdr(TPassThroughRequest& request, sg_io_hdr& header);
// Copies the outcome into request; false when the command did not complete
// on the device (a host or driver failure, a time-out included).
bool ReadSgIoHdr(const sg_io_hdr& header, TPassThroughRequest& request);

class TSgIoPort : public IDrivePort {
public:
  bool IsOpticalNode(int node) override;
  AnsiString NodePath(int node) override;
  int Open(int node) override;
  bool Close(int handle) override;
  bool SendCommand(int handle, TPassThroughRequest& request) override;
  bool GetAddress(int handle, TScsiAddress& address) override;
};
