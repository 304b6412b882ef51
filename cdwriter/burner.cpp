// TZIDIzizid construction and stored properties (see burner.h). The image
// header starts empty and grows as the layout writes it, so a component that
// never burns costs no memory for it.

#include "cdwriter/burner.h"

#include "cdwriter/cache_thread.h"
#include "cdwriter/writer_thread.h"

TZIDIzizid::TZIDIzizid(TComponent* owner)
    : TSCSIDevice(owner),
      image_header_(std::make_unique<TMemoryStream>()),
      volume_start_(kVolumeStartBytes, 0xFF) {
  ClearTree();
  SetUnderrunProtection(true);
}

void TZIDIzizid::SetCacheSize(int value) {
  cache_size_ = value < kMinCacheBytes ? kMinCacheBytes : value - value % static_cast<int>(kSectorBytes);
}
