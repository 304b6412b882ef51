// The skin engine's own user-visible texts.
#pragma once

inline constexpr const char* kSkinReadFailed = "Failed to read skin file!";
