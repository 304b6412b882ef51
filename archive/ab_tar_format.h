// The tar header's layout and entry type flags, shared by the entry reader
// and writer (ab_tar.cpp) and the archive (ab_tar_archive.cpp). Internal to
// the archive library.
#pragma once

#include <cstdint>
#include <cstring>

#include "archive/ab_tar.h"
#include "platform/rtl/strings.h"

namespace detail {

// Header field offsets and widths.
inline constexpr int kNameAt = 0;
inline constexpr int kModeAt = 100;
inline constexpr int kUidAt = 108;
inline constexpr int kGidAt = 116;
inline constexpr int kSizeAt = 124;
inline constexpr int kMTimeAt = 136;
inline constexpr int kChecksumAt = 148;
inline constexpr int kTypeFlagAt = 156;
inline constexpr int kLinkNameAt = 157;
inline constexpr int kMagicAt = 257;
inline constexpr int kVersionAt = 263;
inline constexpr int kUserNameAt = 265;
inline constexpr int kGroupNameAt = 297;
inline constexpr int kDevMajorAt = 329;
inline constexpr int kDevMinorAt = 337;
inline constexpr int kPrefixAt = 345;
inline constexpr int kIdWidth = 8;
inline constexpr int kNumberWidth = 12;
inline constexpr int kOwnerNameWidth = 32;
inline constexpr int kMagicWidth = 6;
// The longest name a ustar prefix and name field hold together, with the "/".
inline constexpr size_t kUstarMaxName = 256;
// Long names and extended headers beyond this are no real archive's.
inline constexpr int64_t kMaxMetaDataBytes = 1 << 20;
inline constexpr uint32_t kNewItemMode = 0644;
inline constexpr uint32_t kFolderModeBit = 0x4000;

inline constexpr char kUstarMagic[8] = {'u', 's', 't', 'a', 'r', 0, '0', '0'};
inline constexpr char kGnuMagic[8] = {'u', 's', 't', 'a', 'r', ' ', ' ', 0};

inline bool IsMetaFlag(char f) { return f == 'K' || f == 'L' || f == 'X' || f == 'g' || f == 'x'; }
inline bool IsExtendedFlag(char f) { return f == 'X' || f == 'g' || f == 'x'; }
inline bool IsEntryFlag(char f) { return f == 0 || f == '0' || f == '1' || f == '2' || f == '5'; }
inline bool IsReadOnlyFlag(char f) { return f && std::strchr("3467DMSV", f) != nullptr; }
// Entries whose size field counts data blocks that follow the header.
inline bool HasData(char f) { return f == 0 || (f && std::strchr("07DMSV", f) != nullptr); }
inline bool NeedsChecksum(char f) { return IsEntryFlag(f) || IsMetaFlag(f); }

inline AnsiString FieldText(const uint8_t* field, int width) {
  const uint8_t* end = static_cast<const uint8_t*>(std::memchr(field, 0, width));
  return AnsiString(reinterpret_cast<const char*>(field), end ? end - field : width);
}

inline int64_t BlocksFor(int64_t size) { return RoundUpToBlock(size) / kAbTarBlockSize; }

inline int64_t MetaDataSize(const TAbTarBlock& block) {
  int64_t size = 0;
  if (!ParseTarSize(block.data() + kSizeAt, kNumberWidth, size)) throw EAbTarInvalid("size field is not a number");
  if (size > kMaxMetaDataBytes) throw EAbTarInvalid();
  return size;
}

// A block of zeros ends the archive.
inline bool IsZeroBlock(const TAbTarBlock& block) {
  for (uint8_t b : block)
    if (b) return false;
  return true;
}

}  // namespace detail
