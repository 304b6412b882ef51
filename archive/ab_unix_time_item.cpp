// DOS stamp halves of items that keep Unix times.
#include "archive/ab_unix_time_item.h"

#include "archive/ab_utils.h"

uint16_t TAbUnixTimeItem::GetLastModFileDate() const {
  return static_cast<uint16_t>(static_cast<uint32_t>(DateTimeToDosDateTime(GetLastModTimeAsDateTime())) >> 16);
}

uint16_t TAbUnixTimeItem::GetLastModFileTime() const {
  return static_cast<uint16_t>(DateTimeToDosDateTime(GetLastModTimeAsDateTime()) & 0xFFFF);
}

void TAbUnixTimeItem::SetLastModFileDate(uint16_t value) {
  SetLastModTimeAsDateTime(DosDateTimeToDateTime(value, GetLastModFileTime()));
}

void TAbUnixTimeItem::SetLastModFileTime(uint16_t value) {
  SetLastModTimeAsDateTime(DosDateTimeToDateTime(GetLastModFileDate(), value));
}
