// An item whose header keeps a Unix time (tar and gzip): the DOS date and
// time halves that the archive model works with are derived from that time,
// and setting one half keeps the other.
#pragma once

#include <cstdint>

#include "archive/ab_item.h"

class TAbUnixTimeItem : public TAbArchiveItem {
public:
  uint16_t GetLastModFileDate() const override;
  uint16_t GetLastModFileTime() const override;
  void SetLastModFileDate(uint16_t value) override;
  void SetLastModFileTime(uint16_t value) override;
};
