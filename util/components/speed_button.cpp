// The speed button and its picture: state images, layout and drawing of the
// content, the border, painting through an offscreen bitmap, the press with
// its group, repeat and drop-down menu, and hover tracking.
#include "util/components/speed_button.h"

#include <algorithm>
#include <cctype>

#include "platform/gui/actions.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"
#include "platform/gui/gdi.h"
#include "platform/gui/image_list.h"
#include "platform/gui/menus.h"
#include "platform/gui/timer.h"
#include "platform/gui/user.h"
#include "util/components/button_drawing.h"
#include "util/components/glyph_cache.h"
#include "util/drawing/drawing_routines.h"

namespace {

// One cache for the pictures of all speed buttons; it goes with the last list.
TUtlGlyphCache* g_cache = nullptr;

constexpr int kMarkWidth = 9;  // the drop-down mark with its gap
constexpr size_t kMaxCaption = 255;

// Each line shortened to Width, joined again, trailing blanks removed.
AnsiString FitCaption(const AnsiString& caption, TCanvas* canvas, int width, bool wordWrap) {
  AnsiString result = caption;
  if (!wordWrap) {
    result.clear();
    size_t start = 0;
    while (start <= caption.size()) {
      size_t end = caption.find('\n', start);
      if (end == AnsiString::npos) end = caption.size();
      AnsiString line = caption.substr(start, end - start);
      const bool cr = !line.empty() && line.back() == '\r';
      if (cr) line.pop_back();
      result += ShortenTextToWidth(line, canvas, width);
      if (end == caption.size()) break;
      result += cr ? "\r\n" : "\n";
      start = end + 1;
    }
  }
  while (!result.empty() && result.back() == ' ') result.pop_back();
  if (result.size() > kMaxCaption) result.resize(kMaxCaption);
  return result;
}

// Whether Key is the character after "&" in the caption (either case).
bool IsAccelerator(char key, const AnsiString& caption) {
  for (size_t i = caption.find('&'); i != AnsiString::npos && i + 1 < caption.size(); i = caption.find('&', i + 2)) {
    if (caption[i + 1] == '&') continue;
    return std::toupper((unsigned char)caption[i + 1]) == std::toupper((unsigned char)key);
  }
  return false;
}

TColor GrayOf(TColor color, TColor maskColor) {
  const COLORREF rgb = ColorToRGB(color);
  if (color == maskColor || rgb == ColorToRGB(clBtnFace)) return color;
  const int g = (GetRValue(rgb) * 77 + GetGValue(rgb) * 150 + GetBValue(rgb) * 29) >> 8;
  return TColor(RGB(g, g, g));
}

// A downward triangle of 7, 5, 3 and 1 pixels whose widest row is Y - 1.
void DrawMark(TCanvas* c, int x, int y, TColor color) {
  c->Pen()->SetColor(color);
  for (int row = 0; row < 4; ++row) {
    c->MoveTo(x + row, y - 1 + row);
    c->LineTo(x + 7 - row, y - 1 + row);
  }
}

}  // namespace

// --- TUtlButtonGlyph --------------------------------------------------------------------------

TUtlButtonGlyph::TUtlButtonGlyph() : source_(std::make_unique<TBitmap>()), images_(g_cache) {
  source_->OnChange = [this](TObject*) { GlyphBitmapChanged(); };
}

TUtlButtonGlyph::~TUtlButtonGlyph() = default;

void TUtlButtonGlyph::AssignGlyph(TBitmap* bitmap) {
  ReleaseImages();
  source_->Assign(bitmap);
}

void TUtlButtonGlyph::SetImageCount(int count) {
  if (count == numGlyphs_ || count == 0) return;
  ReleaseImages();
  numGlyphs_ = count;
}

void TUtlButtonGlyph::ReleaseImages() { images_.Release(); }

void TUtlButtonGlyph::GlyphBitmapChanged() {
  ReleaseImages();
  if (!source_->Empty() && source_->Height() > 0) {
    maskColor_ = source_->TransparentColor() & ~0x02000000;
    if (source_->Width() % source_->Height() == 0) {
      const int count = source_->Width() / source_->Height();
      SetImageCount(count > 5 ? 1 : count);
    }
  }
  if (OnGlyphChange) OnGlyphChange(nullptr);
}

int TUtlButtonGlyph::StateImage(TSpeedButtonState state) {
  if (state == sbDown && numGlyphs_ < 3) state = sbUp;
  int& index = images_.Index(state);
  if (index != -1) return index;
  if (source_->Empty() || source_->Width() == 0 || source_->Height() == 0) return -1;
  const int w = source_->Width() / numGlyphs_, h = source_->Height();
  TUtlGlyphList* store = images_.ListFor(w, h);
  TBitmap image;
  image.SetSize(w, h);
  const int slot = state < numGlyphs_ ? state : 0;
  const TRect from = Bounds(slot * w, 0, w, h);
  if (state == sbDisabled && numGlyphs_ < 2) {
    auto disabled = MakeDisabledGlyph(source_.get(), clBlack);
    index = store->AddMaskedImage(disabled.get(), clBtnFace);
  } else if (state == sbInactive && numGlyphs_ < 5) {
    TCanvas* src = source_->Canvas();
    TCanvas* dst = image.Canvas();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) dst->SetPixels(x, y, GrayOf(src->Pixels(x, y), maskColor_));
    index = store->AddMaskedImage(&image, maskColor_);
  } else {
    image.Canvas()->CopyRect(Rect(0, 0, w, h), source_->Canvas(), from);
    index = store->AddMaskedImage(&image, maskColor_);
  }
  source_->Dormant();
  return index;
}

namespace {
bool ValidImage(TImageList* images, int index) {
  return images && images->Width() > 0 && index >= 0 && index < images->Count();
}

// A monochrome mask of the image: white where drawing it leaves the background.
std::unique_ptr<TBitmap> ImageMask(TImageList* images, int index) {
  const int w = images->Width(), h = images->Height();
  TBitmap onBlack, onWhite;
  for (auto [b, color] : {std::pair{&onBlack, clBlack}, std::pair{&onWhite, clWhite}}) {
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(color);
    b->Canvas()->FillRect(Rect(0, 0, w, h));
    images->Draw(b->Canvas(), 0, 0, index);
  }
  auto mask = std::make_unique<TBitmap>();
  mask->SetMonochrome(true);
  mask->SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      mask->Canvas()->SetPixels(x, y, onBlack.Canvas()->Pixels(x, y) != onWhite.Canvas()->Pixels(x, y) ? clWhite : clBlack);
  return mask;
}
}  // namespace

int TUtlButtonGlyph::StateImageFromList(TSpeedButtonState state, TImageList* images, int index) {
  if (state == sbDown) state = sbUp;
  int& built = images_.Index(state);
  if (built != -1 || !images || images->Width() == 0 || images->Height() == 0 || images->Count() == 0) return built;
  const int w = images->Width(), h = images->Height();
  TUtlGlyphList* store = images_.ListFor(w, h);
  TBitmap image;
  image.SetSize(w, h);
  TCanvas* c = image.Canvas();
  if (state == sbDisabled || state == sbInactive) {
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(Rect(0, 0, w, h));
    if (state == sbDisabled) {
      DrawDisabledImage(images, c, 0, 0, index, clBtnHighlight, clBtnShadow, true);
    } else {
      images->Draw(c, 0, 0, index);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) c->SetPixels(x, y, GrayOf(c->Pixels(x, y), clBtnFace));
    }
    built = store->AddMaskedImage(&image, clBtnFace);
  } else {
    images->Draw(c, 0, 0, index);
    built = store->AddImage(&image, ImageMask(images, index).get());
  }
  return built;
}

TPoint TUtlButtonGlyph::PictureSize(TImageList* images, int index) const {
  if (ValidImage(images, index)) return {images->Width(), images->Height()};
  if (source_->Empty()) return {0, 0};
  return {source_->Width() / numGlyphs_, source_->Height()};
}

TPoint TUtlButtonGlyph::DrawPicture(TCanvas* canvas, TPoint pos, TSpeedButtonState state, TImageList* images,
                                    int index) {
  if (ValidImage(images, index)) {
    if (state == sbDisabled) {
      DrawDisabledImage(images, canvas, pos.X, pos.Y, index, clBtnHighlight, clBtnShadow, true);
    } else if (state == sbInactive) {
      const int built = StateImageFromList(state, images, index);
      if (built != -1) images_.List()->Draw(canvas, pos.X, pos.Y, built);
    } else {
      images->Draw(canvas, pos.X, pos.Y, index);
    }
    return {images->Width(), images->Height()};
  }
  const int built = StateImage(state);
  if (built == -1) return {};
  images_.List()->Draw(canvas, pos.X, pos.Y, built);
  return PictureSize(nullptr, -1);
}

TUtlGlyphLayout TUtlButtonGlyph::ComputeLayout(TCanvas* canvas, const TRect& client, const AnsiString& caption,
                                               TButtonLayout layout, int margin, int spacing, bool popupMark,
                                               unsigned textFlags, TImageList* images, int index) {
  const TPoint c{client.Width(), client.Height()};
  const TPoint p = PictureSize(images, index);
  const bool across = layout == blGlyphLeft || layout == blGlyphRight;
  // The room left for the text.
  TPoint room = c;
  int& along = across ? room.X : room.Y;
  along -= across ? p.X : p.Y;
  if (margin != -1) along -= margin;
  if (spacing != -1) along -= spacing;
  if (across && popupMark) along -= kMarkWidth;
  room = {std::max(room.X, 0), std::max(room.Y, 0)};

  TUtlGlyphLayout out;
  out.Caption = FitCaption(caption, canvas, room.X, wordWrap_);
  TRect& t = out.Text;
  if (!out.Caption.empty()) {
    t = Rect(0, 0, room.X, 0);
    DrawCanvasText(canvas, out.Caption, t, (wordWrap_ ? UINT(DT_WORDBREAK) : 0u) | DT_VCENTER | DT_CENTER | DT_CALCRECT |
                                               textFlags);
    t.Bottom = std::max(t.Top, t.Top + std::min(room.Y, t.Height()));
    t.Right = std::max(t.Left, t.Left + std::min(room.X, t.Width()));
  }
  TPoint s{t.Width(), t.Height()};
  TPoint pic = p;
  if (popupMark) {
    if (p.X == 0 || p.Y == 0 || layout == blGlyphLeft)
      s.X += kMarkWidth;
    else if (p.X > 0)
      pic.X += 6;
  }
  TPoint picPos, textPos;
  if (across) {
    picPos.Y = c.Y / 2 - p.Y / 2;
    textPos.Y = c.Y / 2 - s.Y / 2;
  } else {
    picPos.X = c.X / 2 - p.X / 2;
    textPos.X = c.X / 2 - s.X / 2;
  }
  if (s.X == 0 || p.X == 0) spacing = 0;
  // Along the layout direction.
  const int cAlong = across ? c.X : c.Y, pAlong = across ? pic.X : pic.Y, sAlong = across ? s.X : s.Y;
  if (margin == -1) {
    if (spacing == -1) {
      margin = (cAlong - (pAlong + sAlong)) / 3;
      spacing = margin;
    } else {
      margin = cAlong / 2 - (pAlong + spacing + sAlong) / 2;
    }
  } else if (spacing == -1) {
    spacing = (cAlong - (margin + pAlong)) / 2 - sAlong / 2;
  }
  int& picAlong = across ? picPos.X : picPos.Y;
  int& textAlong = across ? textPos.X : textPos.Y;
  if (layout == blGlyphLeft || layout == blGlyphTop) {
    picAlong = margin;
    textAlong = picAlong + pAlong + spacing;
  } else {
    picAlong = cAlong - margin - pAlong;
    textAlong = picAlong - spacing - sAlong;
  }
  out.Picture = {picPos.X + client.Left, picPos.Y + client.Top};
  t = Bounds(textPos.X + client.Left, textPos.Y + client.Top, t.Width(), t.Height());
  return out;
}

TRect TUtlButtonGlyph::DrawContentEx(TCanvas* canvas, const TRect& client, const AnsiString& caption,
                                     TButtonLayout layout, int margin, int spacing, bool popupMark,
                                     TSpeedButtonState state, unsigned textFlags, TImageList* images, int index) {
  TUtlGlyphLayout l = ComputeLayout(canvas, client, caption, layout, margin, spacing, popupMark, textFlags, images, index);
  const TPoint p = DrawPicture(canvas, l.Picture, state, images, index);
  TRect& t = l.Text;
  if (!l.Caption.empty()) {
    canvas->Brush()->SetStyle(bsClear);
    const UINT flags = (wordWrap_ ? UINT(DT_WORDBREAK) : 0u) | DT_VCENTER | textFlags;
    if (state == sbDisabled) {
      canvas->Font()->SetColor(clBtnHighlight);
      TRect shifted = Rect(t.Left + 1, t.Top + 1, t.Right + 1, t.Bottom + 1);
      DrawCanvasText(canvas, l.Caption, shifted, flags);
      canvas->Font()->SetColor(clBtnShadow);
    }
    DrawCanvasText(canvas, l.Caption, t, flags);
  }
  if (popupMark) {
    TPoint at;
    if (layout != blGlyphLeft && p.X > 0)
      at = {l.Picture.X + p.X + 1, l.Picture.Y + p.Y / 2};
    else
      at = {l.Caption.empty() ? (client.Left + client.Right - 7) / 2 : t.Right + 3, t.Top + t.Height() / 2};
    if (state == sbDisabled) {
      DrawMark(canvas, at.X + 1, at.Y + 1, clBtnHighlight);
      DrawMark(canvas, at.X, at.Y, clBtnShadow);
    } else {
      DrawMark(canvas, at.X, at.Y, clBtnText);
    }
  }
  return t;
}

// --- TUtlSpeedButton --------------------------------------------------------------------------

TUtlSpeedButton::TUtlSpeedButton(TComponent* owner)
    : TGraphicControl(owner), glyph_(std::make_unique<TUtlButtonGlyph>()), offscreen_(std::make_unique<TBitmap>()) {
  SetBounds(0, 0, 25, 25);
  SetControlStyle(csCaptureMouse | csOpaque | csDoubleClicks | csReplicatable);
  glyph_->OnGlyphChange = [this](TObject*) { Invalidate(); };
  SetParentFont(true);
}

TUtlSpeedButton::~TUtlSpeedButton() = default;

void TUtlSpeedButton::SetGlyph(TBitmap* value) {
  glyph_->AssignGlyph(value);
  Invalidate();
}

void TUtlSpeedButton::SetNumGlyphs(int value) {
  value = std::clamp(value, 1, 5);
  if (value == glyph_->NumGlyphs()) return;
  glyph_->SetImageCount(value);
  Invalidate();
}

void TUtlSpeedButton::SetMargin(int value) {
  if (value >= -1) Store(margin_, value);
}

void TUtlSpeedButton::SetGroupIndex(int value) {
  if (value == groupIndex_) return;
  groupIndex_ = value;
  NotifyGroup();
}

void TUtlSpeedButton::SetAllowAllUp(bool value) {
  if (value == allowAllUp_) return;
  allowAllUp_ = value;
  NotifyGroup();
}

void TUtlSpeedButton::SetAllowTimer(bool value) {
  allowTimer_ = value;
  if (!value) repeatTimer_.reset();
}

void TUtlSpeedButton::SetDropDownMenu(TPopupMenu* value) {
  if (dropDownMenu_) dropDownMenu_->RemoveFreeNotification(this);
  dropDownMenu_ = value;
  if (value) value->FreeNotification(this);
  if (markDropDown_) Invalidate();
}

void TUtlSpeedButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == dropDownMenu_) dropDownMenu_ = nullptr;
}

void TUtlSpeedButton::ActionChange(TObject* sender, bool checkDefaults) {
  TGraphicControl::ActionChange(sender, checkDefaults);
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  if (groupIndex_ != 0 && (!checkDefaults || !down_)) SetDown(action->Checked());
  if (!Glyph()->Empty()) return;
  if (const auto picture = ActionPicture(action)) SetGlyph(picture.get());
}

void TUtlSpeedButton::SetDown(bool value) {
  if (groupIndex_ == 0) value = false;
  if (value == down_ || (down_ && !allowAllUp_)) return;
  down_ = value;
  state_ = value ? sbLatched : sbUp;
  Invalidate();
  if (value) NotifyGroup();
}

void TUtlSpeedButton::SetEnabled(bool value) {
  TGraphicControl::SetEnabled(value);
  BuildCurrentImage();
  RefreshHover();
  Invalidate();
}

void TUtlSpeedButton::BuildCurrentImage() {
  glyph_->StateImage(!Enabled() ? sbDisabled : flat_ ? sbInactive : sbUp);
}

void TUtlSpeedButton::Click() {
  if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  TGraphicControl::Click();
}

void TUtlSpeedButton::NotifyGroup() {
  if (groupIndex_ == 0 || !Parent()) return;
  TMessage m{kGroupNotice, WPARAM(groupIndex_), LPARAM(this), 0};
  Parent()->Broadcast(m);
}

void TUtlSpeedButton::GroupNoticeArrived(TUtlSpeedButton* sender) {
  if (!sender || sender == this) return;
  if (sender->down_ && down_) {
    down_ = false;
    state_ = sbUp;
    Invalidate();
  }
  allowAllUp_ = sender->allowAllUp_;
}

// --- hover ------------------------------------------------------------------------------------

void TUtlSpeedButton::MouseEntered() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TUtlSpeedButton::MouseLeft() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TUtlSpeedButton::SetHovered(bool value) {
  if (value == hovered_) return;
  hovered_ = value;
  if (flat_) Invalidate();
  if (value)
    MouseEntered();
  else
    MouseLeft();
}

void TUtlSpeedButton::RefreshHover() {
  TPoint p;
  GetCursorPos(&p);
  SetHovered(Enabled() && Visible() && FindDragTarget(p, true) == this && IsActiveWindowOfThisThread());
}

// --- mouse ------------------------------------------------------------------------------------

TPoint TUtlSpeedButton::MenuAnchor() const {
  if (!dropDownMenu_) return {0, 0};
  return menuPosition_ == dmpBottom ? TPoint{-1, Height()} : TPoint{Width(), -1};
}

bool TUtlSpeedButton::TryDropDownMenu(TPoint anchor, bool manual) {
  if (!dropDownMenu_ || (!manual && !dropDownMenu_->AutoPopup())) return false;
  dropDownMenu_->SetPopupComponent(this);
  const TPoint at = ClientToScreen(anchor);
  dropDownMenu_->Popup(at.X, at.Y);
  return true;
}

void TUtlSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (menuShowing_) return;
  TGraphicControl::MouseDown(button, shift, x, y);
  if (!hovered_ && Enabled()) {
    hovered_ = true;
    Invalidate();
  }
  if (button != mbLeft || !Enabled()) return;
  if (!down_) {
    state_ = sbDown;
    Invalidate();
  }
  dragging_ = true;
  menuShowing_ = true;
  try {
    if (TryDropDownMenu(MenuAnchor(), false)) FinishPress(button, x, y);
  } catch (...) {
    menuShowing_ = false;
    throw;
  }
  menuShowing_ = false;
  // The press that closed the menu must not press the button again.
  MSG pending;
  if (Parent() && PeekMessage(pending, 0, 0, 0, PM_NOREMOVE) &&
      (pending.message == WM_LBUTTONDOWN || pending.message == WM_LBUTTONDBLCLK)) {
    const TPoint at = ScreenToClient(Parent()->ClientToScreen(Point(GET_X_LPARAM(pending.lParam),
                                                                        GET_Y_LPARAM(pending.lParam))));
    if (pending.hwnd == Parent()->Handle() && Inside(at.X, at.Y)) DropPendingMessage(pending.hwnd, pending.message);
  }
  if (allowTimer_) {
    if (!repeatTimer_) repeatTimer_ = std::make_unique<TTimer>(nullptr);
    repeatTimer_->SetInterval(initPause_);
    repeatTimer_->OnTimer = [this](TObject*) { RepeatTimerFired(); };
    repeatTimer_->SetEnabled(true);
  }
}

void TUtlSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!dragging_) return;
  const TSpeedButtonState now = down_ ? sbLatched : Inside(x, y) ? sbDown : sbUp;
  if (now == state_) return;
  state_ = now;
  Invalidate();
}

void TUtlSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  FinishPress(button, x, y);
  StopRepeat();
}

void TUtlSpeedButton::FinishPress(TMouseButton button, int x, int y) {
  if (!dragging_ || button != mbLeft) return;
  dragging_ = false;
  const bool inside = Inside(x, y);
  if (groupIndex_ == 0) {
    state_ = sbUp;
    hovered_ = false;
    Invalidate();
  } else if (inside) {
    SetDown(!down_);
  } else {
    if (down_) state_ = sbLatched;
    Invalidate();
  }
  if (inside && !menuShowing_) Click();
  RefreshHover();
}

void TUtlSpeedButton::StopRepeat() {
  if (repeatTimer_) repeatTimer_->SetEnabled(false);
}

void TUtlSpeedButton::RepeatTimerFired() {
  repeatTimer_->SetInterval(repeatInterval_);
  if (state_ != sbDown || !MouseCapture()) return;
  try {
    Click();
  } catch (...) {
    StopRepeat();
    throw;
  }
}

// --- messages ---------------------------------------------------------------------------------

void TUtlSpeedButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case kGroupNotice:
      if (int(m.WParam) == groupIndex_ && Parent() && Parent()->HandleAllocated())
        GroupNoticeArrived(dynamic_cast<TUtlSpeedButton*>(reinterpret_cast<TObject*>(m.LParam)));
      return;
    case CM_MOUSEENTER:
      TGraphicControl::WndProc(m);
      if (!hovered_ && Enabled() && IsActiveWindowOfThisThread()) SetHovered(true);
      return;
    case CM_MOUSELEAVE:
      TGraphicControl::WndProc(m);
      if (hovered_ && Enabled() && !dragging_) SetHovered(false);
      return;
    case CM_DIALOGCHAR:
      if (Enabled() && IsAccelerator(char(m.WParam), Caption())) {
        Click();
        m.Result = 1;
        return;
      }
      TGraphicControl::WndProc(m);
      return;
    case WM_LBUTTONDBLCLK:
      if (menuShowing_) return;
      TGraphicControl::WndProc(m);
      if (down_ && OnDblClick) OnDblClick(this);
      return;
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
      TGraphicControl::WndProc(m);
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      TGraphicControl::WndProc(m);
      RefreshHover();
      return;
    default:
      TGraphicControl::WndProc(m);
  }
}

// --- painting ---------------------------------------------------------------------------------

TRect TUtlSpeedButton::DrawBorder(TCanvas* c, const TRect& client, bool isDown) const {
  // This platform's controls always have the new look unless the old one is asked for.
  const bool newLook = style_ != bsWin31;
  TRect r = client;
  if (isDown) {
    if (newLook || flat_) {
      Frame3D(c, r, clWindowFrame, clBtnHighlight);
      if (newLook && !flat_) Frame3D(c, r, clBtnShadow, clBtnFace);
    } else {
      Frame3D(c, r, clWindowFrame, clWindowFrame);
      c->Pen()->SetColor(clBtnShadow);
      c->MoveTo(r.Left, r.Bottom - 1);
      c->LineTo(r.Left, r.Top);
      c->LineTo(r.Right, r.Top);
    }
  } else if (flat_) {
    Frame3D(c, r, clBtnHighlight, newLook ? clBtnShadow : clWindowFrame);
  } else if (newLook) {
    Frame3D(c, r, clBtnHighlight, clWindowFrame);
    Frame3D(c, r, clBtnFace, clBtnShadow);
  } else {
    Frame3D(c, r, clWindowFrame, clWindowFrame);
    Frame3D(c, r, clBtnHighlight, clBtnShadow);
  }
  return Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
}

void TUtlSpeedButton::PaintContent(TCanvas* canvas, const TRect& r, TSpeedButtonState state, bool drawMark) {
  static constexpr unsigned kAlignFlags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  glyph_->DrawContent(canvas, r, Caption(), layout_, margin_, spacing_, drawMark, state,
                      kAlignFlags[glyph_->Alignment()]);
}

void TUtlSpeedButton::Paint() {
  if (!Enabled()) {
    state_ = sbDisabled;
    dragging_ = false;
  } else if (state_ == sbDisabled) {
    state_ = down_ && groupIndex_ != 0 ? sbLatched : sbUp;
  }
  const TSpeedButtonState paintState = flat_ && !hovered_ && !(ComponentState() & csDesigning) ? sbInactive : state_;
  offscreen_->SetSize(Width(), Height());
  TCanvas* c = offscreen_->Canvas();
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(ClientRect());
  if (transparent_) PaintParentBackground(this, c);
  const bool isDown = state_ == sbDown || state_ == sbLatched;
  TRect r = ClientRect();
  if (paintState != sbInactive || state_ == sbLatched)
    r = DrawBorder(c, r, isDown);
  else if (flat_)
    r = Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
  if (state_ == sbLatched && !transparent_ && (!flat_ || paintState == sbInactive)) {
    c->Brush()->SetBitmap(AllocPatternBitmap(clBtnFace, clBtnHighlight));
    c->FillRect(Rect(r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1));
    c->Brush()->SetBitmap(nullptr);
  }
  if (isDown) r = Rect(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
  const TSpeedButtonState drawState = grayedInactive_ && state_ != sbDisabled ? paintState : state_;
  PaintContent(c, r, drawState, markDropDown_ && dropDownMenu_);
  Canvas()->Draw(0, 0, offscreen_.get());
}
