// TZRowBuffer: one cached row as a flat block of memory, shared by the cached
// result sets and the dataset layer's record buffers. A six-byte header (row
// identity, change state, bookmark flag) is followed by the column area, whose
// layout a TZRowAccessor computes. Little-endian, no alignment, no padding.
#pragma once

#include <bit>
#include <cstdint>

// Change state of a cached row, kept in the buffer header.
enum TZRowUpdateType : std::uint8_t {
  utUnmodified = 0,
  utModified = 1,
  utInserted = 2,
  utDeleted = 3,
};

static_assert(std::endian::native == std::endian::little, "row buffers are little-endian in memory");

#pragma pack(push, 1)
struct TZRowBuffer {
  // Identity of the row inside one cache; 0 after InitBuffer, -1 after ClearBuffer.
  std::int32_t Index;
  // A TZRowUpdateType.
  std::uint8_t UpdateType;
  // Owned by the dataset layer; the accessor only resets and copies it.
  std::uint8_t BookmarkFlag;

  // The column area begins right after the header.
  std::uint8_t* Columns() { return reinterpret_cast<std::uint8_t*>(this) + sizeof(TZRowBuffer); }
  const std::uint8_t* Columns() const {
    return reinterpret_cast<const std::uint8_t*>(this) + sizeof(TZRowBuffer);
  }
};
#pragma pack(pop)

inline constexpr int kRowHeaderSize = 6;
// Highest index of the column area that a column access may reach.
inline constexpr int kColumnAreaLimit = 32767;
static_assert(sizeof(TZRowBuffer) == kRowHeaderSize);
