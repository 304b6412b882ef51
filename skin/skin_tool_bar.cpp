// The skinned tool bar; see skin_tool_bar.h.
#include "skin/skin_tool_bar.h"

#include "platform/gui/image_list.h"
#include "platform/gui/menus.h"
#include "skin/builtin_styles.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"
#include "skin/skin_props.h"
#include "skin/store_repaint.h"

namespace {
enum : uint8_t { kSkinStart = 16, kSkinEnd = 17, kSkinBorder = 19, kSkinDown = 20 };
enum : int { kElControlColor = 15, kElButtonBorder = 35, kElButton = 36, kElButtonDown = 37 };
// Width of a drop-down button's arrow part.
constexpr int kArrowWidth = 14;
}  // namespace

TsuiToolBar::TsuiToolBar(TComponent* owner) : TToolBar(owner) {
  RegisterSkinProps();
  if (!(ComponentState() & csDesigning))
    OnCustomDrawButton = [this](TToolBar*, TToolButton* b, TCustomDrawState state, bool& defaultDraw) {
      DrawSkinnedButton(b, state, defaultDraw);
    };
  OnCustomDraw = [this](TToolBar*, TRect r, bool& defaultDraw) { DrawBackground(r, defaultDraw); };
  SetFlat(true);
  SetTransparent(false);
  SetUIStyle(GetOwnerUIStyle(owner));
}

void TsuiToolBar::SetButtonColor(TColor value) { StoreAndRepaint(this, buttonColor_, value); }

void TsuiToolBar::SetButtonBorderColor(TColor value) { StoreAndRepaint(this, buttonBorderColor_, value); }

void TsuiToolBar::SetButtonDownColor(TColor value) { StoreAndRepaint(this, buttonDownColor_, value); }

void TsuiToolBar::SetUIStyle(TsuiUIStyle value) {
  uiStyle_ = value;
  TsuiUIStyle style;
  if (TsuiFileTheme::ResolveStyle(fileTheme_, value, style)) {
    buttonBorderColor_ = fileTheme_->GetColor(kSkinBorder);
    buttonColor_ = fileTheme_->GetColor(kSkinStart);
    buttonDownColor_ = fileTheme_->GetColor(kSkinDown);
    gradientTop_ = fileTheme_->GetColor(kSkinStart);
    gradientBottom_ = fileTheme_->GetColor(kSkinEnd);
    SetColor(gradientTop_);
  } else {
    buttonBorderColor_ = GetBuiltInColor(style, kElButtonBorder);
    buttonColor_ = GetBuiltInColor(style, kElButton);
    buttonDownColor_ = GetBuiltInColor(style, kElButtonDown);
    SetColor(GetBuiltInColor(style, kElControlColor));
    gradientTop_ = gradientBottom_ = Color();
  }
  // On a skinned frame the lighter styles let the frame show through.
  SetTransparent((value == MacOS || value == Protein) && Parent() && Parent()->ClassName() == "TsuiForm");
  Invalidate();
}

void TsuiToolBar::SetFileTheme(TsuiFileTheme* value) {
  if (fileTheme_) fileTheme_->RemoveFreeNotification(this);
  fileTheme_ = value;
  if (value) value->FreeNotification(this);
  SetUIStyle(uiStyle_);
}

void TsuiToolBar::Notification(TComponent* component, TOperation operation) {
  TToolBar::Notification(component, operation);
  if (operation == opRemove && component == fileTheme_) {
    fileTheme_ = nullptr;
    SetUIStyle(DeepBlue);
  }
}

void TsuiToolBar::DrawBackground(const TRect& rect, bool&) {
  if (Transparent()) DrawParentBackground(Canvas(), this);
  else if (gradientTop_ != gradientBottom_) DrawVerticalGradient(Canvas(), rect, gradientTop_, gradientBottom_);
}

void TsuiToolBar::DrawSkinnedButton(TToolButton* button, TCustomDrawState state, bool& defaultDraw) {
  TCanvas* canvas = button->Canvas();
  const TRect r = button->ClientRect();
  const bool pressed = state & cdsSelected;
  if (state & cdsHot) {
    TImageList* images = HotImages() ? HotImages() : Images();
    DrawToolButton(canvas, r, button, images, pressed);
    if (button->Style() == tbsDropDown) {
      canvas->Brush()->SetStyle(bsSolid);
      canvas->Brush()->SetColor(clBlack);
      canvas->Pen()->SetColor(clBlack);
      const int y = r.Top + r.Height() / 2;
      canvas->Polygon({Point(r.Right - 9, y), Point(r.Right - 5, y), Point(r.Right - 7, y + 2)});
      canvas->Polygon({Point(r.Right - 8, y), Point(r.Right - 6, y), Point(r.Right - 7, y + 1)});
      canvas->MoveTo(r.Right - kArrowWidth, r.Top);
      canvas->LineTo(r.Right - kArrowWidth, r.Bottom);
    }
    defaultDraw = false;
  } else if (pressed || (state & cdsChecked)) {
    DrawToolButton(canvas, r, button, Images(), false);
    defaultDraw = false;
  }
}

void TsuiToolBar::DrawToolButton(TCanvas* canvas, const TRect& r, TToolButton* button, TImageList* images,
                                 bool pressedFace) {
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(pressedFace ? buttonDownColor_ : buttonColor_);
  canvas->Pen()->SetColor(buttonBorderColor_);
  canvas->Rectangle(r);
  const int right = button->Style() == tbsDropDown ? r.Right - kArrowWidth : r.Right;
  const AnsiString& caption = button->Caption();
  canvas->Brush()->SetStyle(bsClear);
  canvas->SetFont(Font());
  const int centredX = r.Left + (right - r.Left - canvas->TextWidth(StripHotkey(caption))) / 2;
  if (images) {
    if (List()) images->Draw(canvas, r.Left + 5, r.Top + 3, button->ImageIndex());
    else images->Draw(canvas, r.Left + (right - r.Left - images->Width()) / 2, r.Top + 3, button->ImageIndex());
    if (!ShowCaptions()) return;
    if (List()) canvas->TextOut(r.Left + images->Width() + 7, r.Top + (images->Height() - 16) / 2 + 4, caption);
    else canvas->TextOut(centredX, r.Top + images->Height() + 4, caption);
  } else if (ShowCaptions()) {
    if (List()) canvas->TextOut(r.Left + 8, r.Top + 3, caption);
    else canvas->TextOut(centredX, r.Top + (pressedFace ? 5 : 4), caption);
  }
}
