// The skinned check list; see skin_check_list.h.
#include "skin/skin_check_list.h"

#include "platform/gui/bitmap.h"

namespace {
enum : uint8_t { kSkinCheckList = 17 };
enum : int { kElCheckList = 34 };
constexpr int kCheckFrames = 4;
constexpr int kCheckHeight = 11;
// The image stands this far left of the item's text.
constexpr int kCheckOffset = 13;
}  // namespace

TsuiCheckListBox::TsuiCheckListBox(TComponent* owner)
    : TsuiBarHost<TCheckListBox>(owner, TsuiAttachedBars::kList) {
  SetFlat(true);
  TCheckListBox::SetBorderStyle(bsNone);
  TCheckListBox::SetBorderWidth(1);
  drawInnerBorder_ = false;
  SetUIStyle(GetOwnerUIStyle(owner));
}

TsuiCheckListBox::~TsuiCheckListBox() = default;

void TsuiCheckListBox::ItemsChanged() {
  TCheckListBox::ItemsChanged();
  SyncBars();
}

void TsuiCheckListBox::CheckImage(int frame, TBitmap* dest) const {
  TsuiUIStyle style;
  if (TsuiFileTheme::ResolveStyle(FileTheme(), UIStyle(), style))
    FileTheme()->GetBitmapFrame(kSkinCheckList, dest, kCheckFrames, frame);
  else GetBuiltInBitmap(style, kElCheckList, dest, kCheckFrames, frame);
}

void TsuiCheckListBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
  TCanvas* c = Canvas();
  if (index >= 0) {
    if (state & odSelected) {
      c->Brush()->SetColor(selectedColor_);
      c->Font()->SetColor(selectedTextColor_);
    }
    if ((state & (odGrayed | odDisabled)) || !Enabled()) c->Font()->SetColor(disabledTextColor_);
  } else {
    c->FillRect(rect);
  }
  TCheckListBox::DrawItem(index, rect, state);
  if (index < 0) return;
  const bool checked = Checked(index);
  TBitmap image;
  CheckImage(Enabled() ? (checked ? 1 : 2) : (checked ? 3 : 4), &image);
  if (image.Empty()) return;
  // Some styles key the box's outside in magenta: it shows the item's background.
  ReplaceBitmapColor(&image, kSkinMagenta, c->Brush()->Color());
  if (c->TextHeight("W") < 12) rect.Bottom += 1;
  const int textLeft = rect.Left + GetCheckWidth();
  c->Draw(textLeft - kCheckOffset, rect.Top + (rect.Height() - kCheckHeight) / 2, &image);
}
