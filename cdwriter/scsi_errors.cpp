// Error texts of failed requests (see scsi_errors.h).

#include "cdwriter/scsi_errors.h"

#include <algorithm>

#include "cdwriter/sense_texts.h"
#include "cdwriter/srb.h"
#include "platform/rtl/format.h"

namespace {

constexpr char kCheckCondition[] = "CHECK CONDITION";
constexpr char kUnknown[] = "UNKNOWN";

struct CodeText {
  uint8_t code;
  const char* text;
};

template <size_t N>
const char* Lookup(const CodeText (&table)[N], uint8_t code) {
  for (const CodeText& entry : table)
    if (entry.code == code) return entry.text;
  return kUnknown;
}

constexpr CodeText kSrbStatus[] = {
    {SS_PENDING, ""}, {SS_COMP, ""}, {SS_ABORTED, "OPERATION ABORTED BY USER"},
    {SS_ABORT_FAIL, "OPERATION ABORTED BY USER"}, {SS_INVALID_CMD, "INVALID REQUEST"},
    {SS_INVALID_HA, "INVALID HOST ADAPTER"}, {SS_NO_DEVICE, "NO DEVICE"},
    {SS_INVALID_SRB, "INVALID SRB"}, {SS_BUFFER_ALIGN, "BUFFER ALIGNMENT"},
    {SS_ASPI_IS_BUSY, "ASPI IS BUSY"}, {SS_BUFFER_TO_BIG, "BUFFER TOO BIG"}};

constexpr CodeText kHostStatus[] = {
    {0x09, "COMMAND TIMEOUT"}, {0x0B, "SRB TIMEOUT"}, {0x0D, "MESSAGE REJECT"},
    {0x0E, "BUS RESET"}, {0x0F, "PARITY ERROR"}, {0x10, "REQUEST SENSE FAILED"},
    {0x11, "SELECTION TIMEOUT"}, {0x12, "DATA OVERRUN"}, {0x13, "UNEXPECTED BUS FREE"}};

constexpr CodeText kTargetStatus[] = {
    {0x00, kCheckCondition}, {STATUS_CHKCOND, kCheckCondition}, {STATUS_BUSY, "TARGET BUSY"},
    {0x18, "TARGET RESERVATION CONFLICT"}, {0x28, "TARGET QUEUE FULL"}};

// Keys 0, 9 and 0Ch are handled apart.
constexpr CodeText kSenseKey[] = {
    {0x1, "RECOVERED ERROR"}, {0x2, "NOT READY"}, {0x3, "MEDIUM ERROR"},
    {0x4, "HARDWARE ERROR"}, {0x5, "ILLEGAL REQUEST"}, {0x6, "UNIT ATTENTION"},
    {0x7, "DATA PROTECT"}, {0x8, "ERASE CHECK"}, {0xA, "COPYABORTED"},
    {0xB, "ABORTED COMMAND"}, {0xD, "VOLUME OVERFLOW"}, {0xE, "MISCOMPARE"},
    {0xF, "RESERVED"}};

constexpr uint8_t kResponseCodeMask = 0x7F;  // bit 7 is the VALID bit, not part of the code
constexpr uint8_t kFixedCurrent = 0x70;
constexpr uint8_t kFixedDeferred = 0x71;
constexpr uint8_t kFilemark = 0x80;
constexpr uint8_t kEndOfMedia = 0x40;
constexpr uint8_t kIllegalLength = 0x20;

AnsiString NoSenseText(uint8_t flags) {
  if (flags & kFilemark) return "FILEMARK";
  if (flags & kEndOfMedia) return "END OF MEDIA";
  if (flags & kIllegalLength) return "ILLEGAL LENGTH";
  return "NO ADDITIONAL SENSE INFORMATION";
}

}  // namespace

AnsiString SrbStatusText(uint8_t srb_status, uint8_t ha_status, uint8_t target_status, bool& target_busy) {
  if (srb_status != SS_ERR) return Lookup(kSrbStatus, srb_status);
  if (ha_status != HASTAT_OK) return Lookup(kHostStatus, ha_status);
  if (target_status == STATUS_BUSY) target_busy = true;
  return Lookup(kTargetStatus, target_status);
}

AnsiString SenseText(const uint8_t* sense) {
  const uint8_t code = sense[0] & kResponseCodeMask;
  if (code == 0) return "";
  if (code != kFixedCurrent && code != kFixedDeferred) return kUnknown;
  const uint8_t key = sense[2] & 0x0F;
  if (key == 0) return NoSenseText(sense[2]);
  if (key == 0x9 || key == 0xC) return kCheckCondition;
  return Lookup(kSenseKey, key);
}

AnsiString AdditionalSenseText(uint8_t asc, uint8_t ascq) {
  const TSenseText* end = kSenseTexts + kSenseTextCount;
  const TSenseText* it = std::lower_bound(kSenseTexts, end, std::pair{asc, ascq}, [](const TSenseText& e, auto key) {
    return std::pair{e.asc, e.ascq} < key;
  });
  if (it != end && it->asc == asc && it->ascq == ascq) return it->text;
  return Format("%d,%d", {int{asc}, int{ascq}});
}

AnsiString ErrorTextOf(const SRB_ExecSCSICmd& srb, bool& target_busy) {
  AnsiString text = SrbStatusText(srb.SRB_Status, srb.SRB_HaStat, srb.SRB_TargStat, target_busy);
  const uint8_t* sense = srb.SenseArea;
  if (text == kCheckCondition) text = SenseText(sense);
  constexpr int kAdditionalLength = 7, kAsc = 12, kAscq = 13;
  if (sense[kAdditionalLength] != 0) text += " (" + AdditionalSenseText(sense[kAsc], sense[kAscq]) + ")";
  return text;
}
