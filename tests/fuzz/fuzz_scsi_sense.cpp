// Fuzzes the reading of what a drive answers about a failed command: the
// request block's status bytes and the sense data. Any bytes must give a
// text, never a crash or a read past the sense area.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstring>

#include "cdwriter/scsi_errors.h"
#include "cdwriter/srb.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kStatusBytes = 3;
  if (size < kStatusBytes) return 0;
  SRB_ExecSCSICmd srb{};
  srb.SRB_Status = data[0];
  srb.SRB_HaStat = data[1];
  srb.SRB_TargStat = data[2];
  std::memcpy(srb.SenseArea, data + kStatusBytes, std::min(size - kStatusBytes, sizeof srb.SenseArea));
  bool busy = false;
  ErrorTextOf(srb, busy);
  SenseText(srb.SenseArea);
  return 0;
}
