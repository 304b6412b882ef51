// TPicture: ownership of its graphic and change forwarding.
#include "platform/gui/picture.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/icon.h"
#include "platform/gui/image_io.h"
#include "platform/rtl/text.h"

namespace {

TGraphic* NewGraphicLike(const TGraphic* g) {
  if (dynamic_cast<const TIcon*>(g)) return new TIcon;
  return new TBitmap;
}

AnsiString Extension(const AnsiString& fileName) {
  const size_t dot = fileName.find_last_of('.');
  const size_t slash = fileName.find_last_of('/');
  if (dot == AnsiString::npos || (slash != AnsiString::npos && dot < slash)) return "";
  return LowerCase(fileName.substr(dot));
}

}  // namespace

TPicture::~TPicture() { delete graphic_; }

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::Replace(TGraphic* graphic) {
  if (graphic_ == graphic) return;
  delete graphic_;
  graphic_ = graphic;
  if (graphic_) graphic_->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::Assign(const TPersistent* source) {
  if (!source) return Replace(nullptr);
  if (auto* p = dynamic_cast<const TPicture*>(source)) return SetGraphic(p->graphic_);
  if (auto* g = dynamic_cast<const TGraphic*>(source)) return SetGraphic(g);
  TPersistent::Assign(source);
}

void TPicture::SetGraphic(const TGraphic* graphic) {
  if (!graphic) return Replace(nullptr);
  if (graphic == graphic_) return;
  TGraphic* copy = NewGraphicLike(graphic);
  copy->Assign(graphic);
  Replace(copy);
}

TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(graphic_)) Replace(new TBitmap);
  return static_cast<TBitmap*>(graphic_);
}

TIcon* TPicture::Icon() {
  if (!dynamic_cast<TIcon*>(graphic_)) Replace(new TIcon);
  return static_cast<TIcon*>(graphic_);
}

int TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }
int TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

void TPicture::LoadFromFile(const AnsiString& fileName) {
  const AnsiString ext = Extension(fileName);
  TGraphic* g = nullptr;
  if (ext == ".bmp") g = new TBitmap;
  else if (ext == ".ico") g = new TIcon;
  else throw EInvalidGraphic("Unknown picture file extension (" + ext + ")");
  try {
    g->LoadFromFile(fileName);
  } catch (...) {
    delete g;
    throw;
  }
  Replace(g);
}

void TPicture::SaveToFile(const AnsiString& fileName) {
  if (graphic_) graphic_->SaveToFile(fileName);
}
