// The image panel; see image_panel.h.
#include "skin/image_panel.h"

#include <algorithm>

#include "platform/gui/bitmap.h"
#include "platform/gui/picture.h"
#include "skin/draw_helpers.h"
#include "skin/skin_props.h"

TsuiCustomPanel::TsuiCustomPanel(TComponent* owner) : TCustomPanel(owner), picture_(std::make_unique<TPicture>()) {
  RegisterSkinProps();
  SetBevelOuter(bvNone);
  SetBevelInner(bvNone);
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
}

TsuiCustomPanel::~TsuiCustomPanel() {
  picture_->OnChange = nullptr;
}

bool TsuiCustomPanel::HasGraphic() const { return picture_->Graphic() && !picture_->Graphic()->Empty(); }

void TsuiCustomPanel::SetPicture(TPicture* value) {
  picture_->Assign(value);
  UpdateBackground();
  Invalidate();
}

void TsuiCustomPanel::PictureChanged() {
  if (HasGraphic()) {
    ApplyAutoSize();
    picture_->Graphic()->SetTransparent(transparent_);
  }
  UpdateBackground();
  Invalidate();
}

void TsuiCustomPanel::SetTransparent(bool value) {
  transparent_ = value;
  if (HasGraphic()) picture_->Graphic()->SetTransparent(value);
  Invalidate();
}

void TsuiCustomPanel::SetAutoSize(bool value) {
  autoSize_ = value;
  if (HasGraphic()) ApplyAutoSize();
}

void TsuiCustomPanel::ApplyAutoSize() {
  if (!autoSize_) return;
  const TAlign a = Align();
  const int w = a == alTop || a == alBottom || a == alClient ? Width() : picture_->Width();
  const int h = a == alLeft || a == alRight || a == alClient ? Height() : picture_->Height();
  SetBounds(Left(), Top(), w, h);
}

void TsuiCustomPanel::SetDrawStyle(TsuiDrawStyle value) {
  drawStyle_ = value;
  UpdateBackground();
  Invalidate();
}

void TsuiCustomPanel::UpdateBackground() {
  // Painting is off-screen and covers the whole panel; only the brush follows the colour.
  Canvas()->Brush()->SetColor(Color());
}

void TsuiCustomPanel::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND: m.Result = 1; return;
    case CM_TEXTCHANGED:
      TCustomPanel::WndProc(m);
      CaptionRectChanged(captionRect_);
      Invalidate();
      return;
    default: TCustomPanel::WndProc(m);
  }
}

void TsuiCustomPanel::Paint() {
  const TRect client = ClientRect();
  TBitmap buffer;
  buffer.SetSize(Width(), Height());
  TCanvas* c = buffer.Canvas();
  if (transparent_) DrawParentBackground(c, this);
  if (HasGraphic()) {
    switch (drawStyle_) {
      case suiStretch: c->StretchDraw(client, picture_->Graphic()); break;
      case suiTile: TileImage(c, picture_.get(), client); break;
      case suiNormal: c->Draw(0, 0, picture_->Graphic()); break;
    }
  } else if (!transparent_) {
    c->Brush()->SetColor(Color());
    c->FillRect(client);
  }
  c->Brush()->SetStyle(bsClear);
  const AnsiString& text = Caption();
  if (std::any_of(text.begin(), text.end(), [](char ch) { return static_cast<unsigned char>(ch) > ' '; })) {
    c->SetFont(Font());
    const UINT align = Alignment() == taLeftJustify ? DT_LEFT : Alignment() == taRightJustify ? DT_RIGHT : DT_CENTER;
    captionRect_ = client;
    DrawTextA(c->Handle(), text.c_str(), int(text.size()), &captionRect_, align | DT_VCENTER | DT_SINGLELINE);
  }
  Canvas()->Draw(0, 0, &buffer);
}
