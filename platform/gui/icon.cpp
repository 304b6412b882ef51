// TIcon over the drawing layer's icon images.
#include "platform/gui/icon.h"

#include <cstdlib>

#include "platform/gui/canvas.h"
#include "platform/gui/image_io.h"
#include "platform/rtl/streams.h"

namespace {

constexpr int kStandardIconSize = 32;

size_t BestImage(const std::vector<GdiIcon>& icons) {
  size_t best = 0;
  auto distance = [](const GdiIcon& i) { return std::abs(i.width - kStandardIconSize); };
  for (size_t i = 1; i < icons.size(); ++i) {
    const int d = distance(icons[i]), bestD = distance(icons[best]);
    if (d < bestD || (d == bestD && icons[i].hasAlpha && !icons[best].hasAlpha)) best = i;
  }
  return best;
}

}  // namespace

TIcon::TIcon() { transparent_ = true; }

TIcon::~TIcon() { DestroyIcon(handle_); }

void TIcon::Assign(const TPersistent* source) {
  auto* icon = dynamic_cast<const TIcon*>(source);
  if (!source || icon) {
    SetHandle(icon && icon->handle_ ? new GdiIcon(*icon->handle_) : nullptr);
    data_ = icon ? icon->data_ : std::string();
    return;
  }
  TPersistent::Assign(source);
}

int TIcon::Width() const { return handle_ ? handle_->width : 0; }
int TIcon::Height() const { return handle_ ? handle_->height : 0; }

void TIcon::LoadFromStream(TStream* stream) {
  std::string data = ReadAll(stream);
  std::vector<GdiIcon> icons = ReadIco(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  SetHandle(new GdiIcon(std::move(icons[BestImage(icons)])));
  data_ = std::move(data);
}

void TIcon::SaveToStream(TStream* stream) {
  if (data_.empty()) throw EInvalidGraphic("Icon image is not valid");
  stream->WriteBuffer(data_.data(), int64_t(data_.size()));
}

void TIcon::SetHandle(HICON icon) {
  if (icon == handle_) return;
  DestroyIcon(handle_);
  handle_ = icon;
  data_.clear();
  Changed();
}

void TIcon::Draw(TCanvas* canvas, const TRect& r) {
  if (!handle_ || !canvas) return;
  DrawIconEx(canvas->Handle(), r.Left, r.Top, handle_, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}
