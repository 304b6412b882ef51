// The skinned push buttons; see skin_button.h.
#include "skin/skin_button.h"

#include <algorithm>

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "platform/gui/image_list.h"
#include "platform/gui/menus.h"
#include "platform/gui/timer.h"
#include "platform/rtl/text.h"
#include "skin/builtin_styles.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"
#include "skin/skin_props.h"
#include "skin/store_repaint.h"

namespace {

// Skin keys and built-in elements of the buttons.
enum : uint8_t { kSkinButton = 15, kSkinButtonTrans = 5, kSkinButtonFontColor = 24 };
enum : int { kElButton = 1, kElButtonTransparent = 2 };
constexpr int kEmptyPicWidth = 74, kEmptyPicHeight = 21;

// Draws cell (cellX, 0, w, h) of picture at (x, y), its top-left pixel's colour
// transparent when masked, greyed when disabled.
void DrawCell(TCanvas* canvas, TBitmap* picture, int cellX, int w, int h, int x, int y, bool masked, bool enabled) {
  if (w <= 0 || h <= 0) return;
  TBitmap cell;
  cell.SetSize(w, h);
  cell.Canvas()->Draw(-cellX, 0, picture);
  TImageList list(nullptr, w, h);
  if (masked) list.AddMasked(&cell, picture->Canvas()->Pixels(cellX, 0));
  else list.Add(&cell, nullptr);
  list.Draw(canvas, x, y, 0, enabled);
}

bool IsBlank(const AnsiString& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

}  // namespace

// --- TsuiCustomButton -----------------------------------------------------------------------------

TsuiCustomButton::TsuiCustomButton(TComponent* owner) : TCustomControl(owner) {
  RegisterSkinProps();
  SetControlStyle(ControlStyle() & ~unsigned(csAcceptsControls | csDoubleClicks));
  SetTabStop(true);
  SetUIStyle(GetOwnerUIStyle(owner));
}

TsuiCustomButton::~TsuiCustomButton() = default;

void TsuiCustomButton::SetCaption(const AnsiString& value) {
  SetText(value);
  Invalidate();
}

void TsuiCustomButton::SetAutoSize(bool value) {
  autoSize_ = value;
  UpdateAutoSize();
  Invalidate();
}

void TsuiCustomButton::SetDefault(bool value) {
  default_ = value;
  if (!HandleAllocated()) return;
  if (TCustomForm* form = GetParentForm(this)) form->Perform(CM_FOCUSCHANGED, 0, LPARAM(form->ActiveControl()));
}

void TsuiCustomButton::SetTransparent(bool value) {
  transparent_ = value;
  picTransparent_ = value;
  Invalidate();
}

void TsuiCustomButton::SetUIStyle(TsuiUIStyle value) {
  uiStyle_ = value;
  UIStyleChanged();
  Invalidate();
}

void TsuiCustomButton::SetFileTheme(TsuiFileTheme* value) {
  if (fileTheme_) fileTheme_->RemoveFreeNotification(this);
  fileTheme_ = value;
  if (value) value->FreeNotification(this);
  SetUIStyle(uiStyle_);
}

void TsuiCustomButton::SetFocusedRectMargin(int value) { StoreAndRepaint(this, focusMargin_, value); }

void TsuiCustomButton::SetEnabled(bool value) {
  TCustomControl::SetEnabled(value);
  Invalidate();
}

void TsuiCustomButton::Notification(TComponent* component, TOperation operation) {
  TCustomControl::Notification(component, operation);
  if (operation == opRemove && component == fileTheme_) {
    fileTheme_ = nullptr;
    SetUIStyle(DeepBlue);
  }
}

void TsuiCustomButton::EndPress() {
  repeatTimer_.reset();
  pressed_ = false;
  Invalidate();
}

void TsuiCustomButton::SetPressed(bool value) { StoreAndRepaint(this, pressed_, value); }

void TsuiCustomButton::Click() {
  EndPress();
  if (Parent())
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  TCustomControl::Click();
}

void TsuiCustomButton::UpdateAutoSize() {
  if (!autoSize_) return;
  TBitmap strip;
  if (UIStyle() != FromThemeFile) GetBuiltInBitmap(UIStyle(), kElButton, &strip, 0, 0);
  const int h = strip.Height() ? strip.Height() : kEmptyPicHeight;
  const int w = strip.Width() ? strip.Width() : kEmptyPicWidth;
  SetBounds(Left(), Top(), w / 3, h);
}

void TsuiCustomButton::GetButtonPic(TBitmap* dest, int frameIndex) const {
  TsuiUIStyle style;
  if (TsuiFileTheme::ResolveStyle(fileTheme_, UIStyle(), style)) fileTheme_->GetBitmapFrame(kSkinButton, dest, 3, frameIndex);
  else GetBuiltInBitmap(style, kElButton, dest, 3, frameIndex);
}

void TsuiCustomButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    pressed_ = true;
    if (!repeatTimer_) {
      repeatTimer_ = std::make_unique<TTimer>(nullptr);
      repeatTimer_->SetInterval(unsigned(std::max(repeatInterval_, 0)));
      repeatTimer_->OnTimer = [this](TObject*) {
        if (OnMouseContinuouslyDown) OnMouseContinuouslyDown(this);
      };
    }
    if (TabStop() && CanFocus()) SetFocus();
    Invalidate();
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TsuiCustomButton::MouseMove(TShiftState shift, int x, int y) {
  TCustomControl::MouseMove(shift, x, y);
  if (x < 0 || y < 0 || x > Width() || y > Height()) {
    mouseIn_ = false;
    SetPressed(false);
  }
}

void TsuiCustomButton::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if ((key == VK_SPACE || key == VK_RETURN) && Focused() && Enabled()) SetPressed(true);
}

void TsuiCustomButton::KeyUp(WORD& key, TShiftState shift) {
  TCustomControl::KeyUp(key, shift);
  if ((key == VK_SPACE || key == VK_RETURN) && Focused() && pressed_ && Enabled()) {
    SetPressed(false);
    Click();
  }
}

void TsuiCustomButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND: m.Result = 1; return;
    case kSkinnedButtonQuery: m.Result = 1; return;
    case CM_MOUSEENTER:
      TCustomControl::WndProc(m);
      mouseIn_ = true;
      Invalidate();
      return;
    case CM_MOUSELEAVE:
    case WM_CANCELMODE:
      TCustomControl::WndProc(m);
      mouseIn_ = false;
      EndPress();
      if (m.Msg == CM_MOUSELEAVE && OnMouseExit) OnMouseExit(this);
      return;
    case CM_FOCUSCHANGED: {
      auto* focused = reinterpret_cast<TWinControl*>(m.LParam);
      active_ = dynamic_cast<TsuiButton*>(focused) ? focused == this : default_;
      Invalidate();
      return;
    }
    case CM_DIALOGKEY:
      if (((m.WParam == VK_RETURN && active_) || (m.WParam == VK_ESCAPE && cancel_)) && CanFocus() &&
          !(TShiftState(m.LParam) & (ssShift | ssCtrl | ssAlt))) {
        Click();
        m.Result = 1;
        return;
      }
      break;
    case CM_DIALOGCHAR: {
      const char hot = GetHotkey(Caption());
      const bool viaButton = SendMessageA(GetFocus(), kSkinnedButtonQuery, 0, 0) == 1;
      if (hot && hot == AnsiUpperChar(char(m.WParam)) && (GetKeyState(VK_MENU) < 0 || viaButton) &&
          Parent() && Parent()->Enabled() && Enabled() && Visible()) {
        Click();
        m.Result = 1;
        return;
      }
      break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_TEXTCHANGED:
      TCustomControl::WndProc(m);
      Invalidate();
      return;
    case WM_CREATE:
      active_ = default_;
      break;
    default: break;
  }
  TCustomControl::WndProc(m);
}

void TsuiCustomButton::Paint() {
  TBitmap picture;
  try {
    if (!Enabled()) GetDisabledPic(&picture);
    else if (pressed_) GetMouseDownPic(&picture);
    else if (mouseIn_) GetMouseOnPic(&picture);
    else GetNormalPic(&picture);
  } catch (const Exception&) {
    picture.SetSize(kEmptyPicWidth, kEmptyPicHeight);
  }
  if (picTransparent_ && !picture.Empty()) {
    picture.SetTransparentColor(picture.Canvas()->Pixels(0, 0));
    picture.SetTransparent(true);
  }
  TBitmap buffer;
  buffer.SetSize(Width(), Height());
  if (transparent_) {
    TWinControl* parent = Parent();
    const bool behindParent = parent && (parent->ClassName() == "TTabSheet" || parent->ClassName() == "TsuiDBNavigator" ||
                                         parent->ClassName() == "TsuiToolBar");
    DrawParentBackground(buffer.Canvas(), behindParent ? static_cast<TControl*>(parent) : this);
  } else {
    buffer.Canvas()->Brush()->SetColor(Color());
    buffer.Canvas()->FillRect(ClientRect());
  }
  PaintPic(buffer.Canvas(), &picture);
  if (Focused() && TabStop()) PaintFocus(buffer.Canvas());
  buffer.Canvas()->SetFont(Font());
  Canvas()->SetFont(Font());
  if (!IsBlank(Caption())) PaintText(buffer.Canvas(), Caption());
  Canvas()->Draw(0, 0, &buffer);
}

void TsuiCustomButton::PaintPic(TCanvas* canvas, TBitmap* picture) {
  if (picture->Empty()) return;
  DrawCell(canvas, picture, 0, picture->Width(), picture->Height(), 0, 0, picTransparent_, Enabled());
}

void TsuiCustomButton::DrawCenteredText(TCanvas* canvas, TRect r, const AnsiString& text) {
  TRect measured = r;
  DrawTextA(canvas->Handle(), text.c_str(), int(text.size()), &measured, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
  OffsetRect(&measured, (r.Width() - measured.Width()) / 2, (r.Height() - measured.Height()) / 2);
  DrawTextA(canvas->Handle(), text.c_str(), int(text.size()), &measured, DT_WORDBREAK | DT_EXPANDTABS);
}

void TsuiCustomButton::PaintText(TCanvas* canvas, const AnsiString& text) {
  canvas->Brush()->SetStyle(bsClear);
  canvas->SetFont(Font());
  if (boldOnce_) canvas->Font()->SetStyle(canvas->Font()->Style() | fsBold);
  TRect r = ClientRect();
  if (!Enabled()) {
    OffsetRect(&r, 1, 1);
    canvas->Font()->SetColor(clWhite);
    DrawCenteredText(canvas, r, text);
    r = ClientRect();
    canvas->Font()->SetColor(TColor(0x808080));
  } else if (pressed_) {
    OffsetRect(&r, 1, 1);
  }
  DrawCenteredText(canvas, r, text);
  boldOnce_ = false;
}

void TsuiCustomButton::PaintFocus(TCanvas* canvas) {
  TRect r = ClientRect();
  InflateRect(&r, -focusMargin_, -focusMargin_);
  canvas->DrawFocusRect(r);
}

// --- TsuiButton -------------------------------------------------------------------------------------

TsuiButton::TsuiButton(TComponent* owner) : TsuiCustomButton(owner), glyph_(std::make_unique<TBitmap>()) {
  TControl::SetBounds(0, 0, 80, 27);
  UIStyleChanged();
}

TsuiButton::~TsuiButton() = default;

void TsuiButton::SetGlyph(TBitmap* value) {
  glyph_->Assign(value);
  Invalidate();
}

void TsuiButton::SetLayout(TButtonLayout value) { StoreAndRepaint(this, layout_, value); }

void TsuiButton::SetSpacing(int value) { StoreAndRepaint(this, spacing_, value); }

void TsuiButton::UIStyleChanged() {
  // The base constructor runs this before the glyph exists: nothing to do yet.
  if (!glyph_) return;
  TsuiUIStyle style;
  if (TsuiFileTheme::ResolveStyle(FileTheme(), UIStyle(), style)) {
    SetTransparent(FileTheme()->GetBool(kSkinButtonTrans));
    Font()->SetColor(FileTheme()->GetColor(kSkinButtonFontColor));
  } else {
    SetTransparent(GetBuiltInBool(style, kElButtonTransparent));
    Font()->SetColor(clBlack);
  }
}

void TsuiButton::PaintPic(TCanvas* canvas, TBitmap* picture) {
  canvas->SetFont(Font());
  // The face's corners are key-coloured: they always show the background
  // (the parent's or Color), never the key colour itself.
  DrawNineSliceBitmap(picture, canvas, ClientRect(), true);
  if (glyph_->Empty()) return;
  const int tw = canvas->TextWidth(Caption()), th = canvas->TextHeight(Caption());
  int gw = glyph_->Width();
  const int gh = glyph_->Height();
  const bool twoImages = gw == 2 * gh;
  if (twoImages) gw = gh;
  const int w = Width(), h = Height();
  int gx = 0, gy = 0;
  switch (layout_) {
    case blGlyphLeft:
      gx = (w - (tw + gw + spacing_)) / 2, gy = (h - gh) / 2;
      textPos_ = Point(gx + gw + spacing_, (h - th) / 2);
      break;
    case blGlyphRight:
      gx = (w + tw + spacing_ - gw) / 2, gy = (h - gh) / 2;
      textPos_ = Point(gx - tw - spacing_, (h - th) / 2);
      break;
    case blGlyphTop:
      gx = (w - gw) / 2, gy = (h - (th + gh + spacing_)) / 2;
      textPos_ = Point((w - tw) / 2, gy + gh + spacing_);
      break;
    case blGlyphBottom:
      gx = (w - gw) / 2, gy = (h + th + spacing_ - gh) / 2;
      textPos_ = Point((w - tw) / 2, gy - th - spacing_);
      break;
  }
  if (Pressed()) ++gx, ++gy;
  // A two-image glyph carries its own disabled look in the right half.
  const int cellX = twoImages && !Enabled() ? gw : 0;
  DrawCell(canvas, glyph_.get(), cellX, gw, gh, gx, gy, true, twoImages || Enabled());
}

void TsuiButton::PaintText(TCanvas* canvas, const AnsiString& text) {
  if (glyph_->Empty()) return TsuiCustomButton::PaintText(canvas, text);
  canvas->Brush()->SetStyle(bsClear);
  canvas->SetFont(Font());
  TPoint p = textPos_;
  if (!Enabled()) {
    canvas->Font()->SetColor(clWhite);
    TRect r = Rect(p.X + 1, p.Y + 1, Width(), Height());
    DrawTextA(canvas->Handle(), text.c_str(), int(text.size()), &r, DT_SINGLELINE);
    canvas->Font()->SetColor(TColor(0x808080));
  } else if (Pressed()) {
    ++p.X, ++p.Y;
  }
  TRect r = Rect(p.X, p.Y, Width(), Height());
  DrawTextA(canvas->Handle(), text.c_str(), int(text.size()), &r, DT_SINGLELINE);
}

void TsuiButton::PaintFocus(TCanvas* canvas) {
  if (UIStyle() == MacOS || UIStyle() == BlueGlass) boldOnce_ = true;
  else TsuiCustomButton::PaintFocus(canvas);
}

// --- TsuiImageButton --------------------------------------------------------------------------------

TsuiImageButton::TsuiImageButton(TComponent* owner) : TsuiCustomButton(owner) {
  for (auto& pic : pics_) pic = std::make_unique<TBitmap>();
}

TsuiImageButton::~TsuiImageButton() = default;

void TsuiImageButton::SetPic(int index, TBitmap* value) {
  pics_[index]->Assign(value);
  UpdateAutoSize();
  Invalidate();
}

void TsuiImageButton::SetStretch(bool value) { StoreAndRepaint(this, stretch_, value); }

void TsuiImageButton::SetDrawFocused(bool value) { StoreAndRepaint(this, drawFocused_, value); }

void TsuiImageButton::CopyPic(int index, TBitmap* dest) const {
  TBitmap* source = pics_[index]->Empty() ? pics_[0].get() : pics_[index].get();
  if (!source->Empty()) dest->Assign(source);
}

void TsuiImageButton::UpdateAutoSize() {
  if (Parent() && AutoSize() && !pics_[0]->Empty()) SetBounds(Left(), Top(), pics_[0]->Width(), pics_[0]->Height());
}

void TsuiImageButton::PaintPic(TCanvas* canvas, TBitmap* picture) {
  if (picture->Empty()) return;
  picture->SetTransparentColor(picture->Canvas()->Pixels(0, 0));
  picture->SetTransparent(true);
  if (stretch_) canvas->StretchDraw(ClientRect(), picture);
  else canvas->Draw(0, 0, picture);
}

void TsuiImageButton::PaintFocus(TCanvas* canvas) {
  if (drawFocused_) TsuiCustomButton::PaintFocus(canvas);
}

// --- TsuiToolBarSpeedButton -------------------------------------------------------------------------

TsuiToolBarSpeedButton::TsuiToolBarSpeedButton(TComponent* owner)
    : TCustomPanel(owner), glyph_(std::make_unique<TBitmap>()), toColor_(Color()) {
  TControl::SetBounds(0, 0, 18, 18);
}

TsuiToolBarSpeedButton::~TsuiToolBarSpeedButton() = default;

void TsuiToolBarSpeedButton::SetGlyph(TBitmap* value) {
  glyph_->Assign(value);
  Invalidate();
}

void TsuiToolBarSpeedButton::SetToColor(TColor value) { StoreAndRepaint(this, toColor_, value); }

void TsuiToolBarSpeedButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND: m.Result = 1; return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      mouseIn_ = m.Msg == CM_MOUSEENTER;
      Invalidate();
      break;
    default: break;
  }
  TCustomPanel::WndProc(m);
}

void TsuiToolBarSpeedButton::Paint() {
  TBitmap buffer;
  buffer.SetSize(Width(), Height());
  TCanvas* c = buffer.Canvas();
  if (Color() == toColor_) {
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
  } else {
    DrawVerticalGradient(c, ClientRect(), Color(), toColor_);
  }
  if (!glyph_->Empty()) {
    if (mouseIn_) {
      c->Brush()->SetColor(clBlack);
      c->FrameRect(ClientRect());
    }
    glyph_->SetTransparent(true);
    c->Draw(1, 1, glyph_.get());
  }
  Canvas()->Draw(0, 0, &buffer);
}
