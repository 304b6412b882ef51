// TCustomListBox and TCheckListBox.
#include "platform/gui/list_boxes.h"

#include <algorithm>

#include "platform/gui/forms.h"

// The list box's items, each with its check state and enabled flag, which
// move with the item when lines are inserted or deleted.
class TListBoxStrings : public TStrings {
public:
  struct Item {
    AnsiString text;
    TObject* object = nullptr;
    TCheckBoxState state = cbUnchecked;
    bool enabled = true;
  };
  explicit TListBoxStrings(TCustomListBox* list) : list_(list) {}

  int Count() const override { return int(items_.size()); }
  void Insert(int index, const AnsiString& s) override {
    if (index < 0 || index > Count()) throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    items_.insert(items_.begin() + index, Item{s});
    list_->ItemsChanged();
  }
  void Delete(int index) override {
    At(index);
    items_.erase(items_.begin() + index);
    list_->ItemsChanged();
  }
  void Clear() override {
    items_.clear();
    list_->ItemsChanged();
  }
  Item& At(int index) {
    if (index < 0 || index >= Count()) throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    return items_[size_t(index)];
  }
  const Item& At(int index) const { return const_cast<TListBoxStrings*>(this)->At(index); }

protected:
  AnsiString Get(int index) const override { return At(index).text; }
  void Put(int index, const AnsiString& s) override {
    At(index).text = s;
    list_->Invalidate();
  }
  TObject* GetObject(int index) const override { return At(index).object; }
  void PutObject(int index, TObject* object) override { At(index).object = object; }

private:
  TCustomListBox* list_;
  std::vector<Item> items_;
};

namespace {
TListBoxStrings* ItemsOf(TStrings* items) { return static_cast<TListBoxStrings*>(items); }
}  // namespace

// --- TCustomListBox ------------------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* owner) : TCustomControl(owner), items_(new TListBoxStrings(this)) {
  SetTabStop(true);
  SetColor(clWindow);
  // OnClick is the user's change of the selection, not the button's release.
  SetControlStyle((ControlStyle() | csOpaque) & ~unsigned(csClickEvents));
  TControl::SetBounds(0, 0, 121, 97);
}

TCustomListBox::~TCustomListBox() { delete items_; }

void TCustomListBox::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  if (borderStyle_ == bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle value) {
  style_ = value;
  Invalidate();
}

void TCustomListBox::SetItemHeight(int value) {
  if (value <= 0 || value == itemHeight_) return;
  itemHeight_ = value;
  ItemsChanged();
}

void TCustomListBox::ItemsChanged() {
  if (itemIndex_ >= Count()) itemIndex_ = -1;
  SetTopIndex(topIndex_);
  PublishScrollInfo();
  Invalidate();
}

// The bar shows only while the items do not fit.
void TCustomListBox::PublishScrollInfo() {
  if (!HandleAllocated()) return;
  const TScrollStrip strip = Strip();
  strip.Publish(Handle(), strip.Active(), Enabled());
}

TScrollStrip TCustomListBox::Strip() const {
  const TRect c = ClientRect();
  TScrollStrip strip;
  strip.total = Count();
  strip.page = std::max(1, c.Height() / itemHeight_);
  strip.top = topIndex_;
  strip.bar = strip.Active() ? Rect(c.Right - TScrollStrip::kWidth, c.Top, c.Right, c.Bottom) : Rect(c.Right, c.Top, c.Right, c.Bottom);
  return strip;
}

TRect TCustomListBox::ItemArea() const {
  TRect r = ClientRect();
  r.Right = Strip().bar.Left;
  return r;
}

int TCustomListBox::PageCount() const { return std::max(1, ClientRect().Height() / itemHeight_); }

void TCustomListBox::SetTopIndex(int index) {
  const int top = std::clamp(index, 0, std::max(0, Count() - PageCount()));
  if (top == topIndex_) return;
  topIndex_ = top;
  PublishScrollInfo();
  Invalidate();
}

void TCustomListBox::SetItemIndex(int index) {
  if (index < -1 || index >= Count()) index = -1;
  if (index == itemIndex_) return;
  itemIndex_ = index;
  if (index >= 0) {
    if (index < topIndex_) SetTopIndex(index);
    if (index >= topIndex_ + PageCount()) SetTopIndex(index - PageCount() + 1);
  }
  Invalidate();
}

void TCustomListBox::SelectByUser(int index) {
  const int before = itemIndex_;
  SetItemIndex(std::clamp(index, Count() ? 0 : -1, Count() - 1));
  if (itemIndex_ != before) Click();
}

TRect TCustomListBox::ItemRect(int index) const {
  const TRect area = ItemArea();
  const int top = area.Top + (index - topIndex_) * itemHeight_;
  return Rect(area.Left, top, area.Right, top + itemHeight_);
}

int TCustomListBox::ItemAtPos(TPoint p, bool existing) const {
  const TRect area = ItemArea();
  if (p.X < area.Left || p.X >= area.Right || p.Y < area.Top) return existing ? -1 : Count();
  const int index = topIndex_ + (p.Y - area.Top) / itemHeight_;
  if (index < Count()) return index;
  return existing ? -1 : Count();
}

void TCustomListBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
  if (OnDrawItem && style_ != lbStandard) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  TCanvas* c = Canvas();
  c->FillRect(rect);
  if (index < 0) return;
  c->TextOut(rect.Left + 2, rect.Top + (rect.Height() - c->TextHeight("W")) / 2, Items()->Strings(index));
}

void TCustomListBox::Paint() {
  TCanvas* c = Canvas();
  const TRect area = ItemArea();
  c->Brush()->SetColor(Enabled() ? Color() : clBtnFace);
  c->FillRect(ClientRect());
  const bool focused = Focused();
  const int saved = SaveDC(c->Handle());
  IntersectClipRect(c->Handle(), area.Left, area.Top, area.Right, area.Bottom);
  for (int i = topIndex_; i < Count(); ++i) {
    const TRect r = ItemRect(i);
    if (r.Top >= area.Bottom) break;
    TOwnerDrawState state = 0;
    if (i == itemIndex_) state |= odSelected | (focused ? odFocused : 0u);
    if (!Enabled()) state |= odDisabled;
    const bool selected = state & odSelected;
    c->Brush()->SetColor(selected ? clHighlight : Color());
    c->Font()->Assign(Font());
    c->Font()->SetColor(selected ? clHighlightText : Enabled() ? Font()->Color() : clGrayText);
    DrawItem(i, r, state);
    if (state & odFocused) c->DrawFocusRect(r);
  }
  if (Count() == 0 && focused) {
    c->Brush()->SetColor(Color());
    DrawItem(-1, ItemRect(0), odFocused);
    c->DrawFocusRect(ItemRect(0));
  }
  RestoreDC(c->Handle(), saved);
  const TScrollStrip strip = Strip();
  if (strip.Active()) strip.Paint(c->Handle(), Enabled());
}

bool TCustomListBox::WantsKey(WORD key) const { return key == VK_UP || key == VK_DOWN; }

void TCustomListBox::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  switch (key) {
    case VK_UP: SelectByUser(itemIndex_ - 1); break;
    case VK_DOWN: SelectByUser(itemIndex_ + 1); break;
    case VK_HOME: SelectByUser(0); break;
    case VK_END: SelectByUser(Count() - 1); break;
    case VK_PRIOR: SelectByUser(itemIndex_ - PageCount()); break;
    case VK_NEXT: SelectByUser(itemIndex_ + PageCount()); break;
    default: return;
  }
  key = 0;
}

void TCustomListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    const TScrollStrip strip = Strip();
    if (strip.Active() && x >= strip.bar.Left) {
      const TScrollStrip::Part part = strip.HitTest(y);
      if (part == TScrollStrip::Thumb) dragOffset_ = y - strip.ThumbRect().Top;
      else SetTopIndex(strip.TopAfterPress(part));
      return;
    }
    const int index = ItemAtPos(Point(x, y), true);
    if (index >= 0) SelectByUser(index);
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomListBox::MouseMove(TShiftState shift, int x, int y) {
  if (dragOffset_ >= 0) SetTopIndex(Strip().TopFromThumb(y - dragOffset_));
  TCustomControl::MouseMove(shift, x, y);
}

void TCustomListBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  dragOffset_ = -1;
  TCustomControl::MouseUp(button, shift, x, y);
}

void TCustomListBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEWHEEL: SetTopIndex(topIndex_ - std::int16_t(HIWORD(m.WParam)) / 120 * 3); return;
    case WM_VSCROLL: SetTopIndex(Strip().TopForRequest(Handle(), m.WParam)); return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TCustomControl::WndProc(m);
      Invalidate();
      return;
    case WM_SIZE:
    case CM_ENABLEDCHANGED:
      TCustomControl::WndProc(m);
      SetTopIndex(topIndex_);
      PublishScrollInfo();
      return;
    default: TCustomControl::WndProc(m);
  }
}

// --- TCheckListBox ---------------------------------------------------------------------------------

TCheckListBox::TCheckListBox(TComponent* owner) : TCustomListBox(owner) {}

TCheckBoxState TCheckListBox::State(int index) const { return ItemsOf(Items())->At(index).state; }

void TCheckListBox::SetState(int index, TCheckBoxState state) {
  ItemsOf(Items())->At(index).state = state;
  Invalidate();
}

bool TCheckListBox::ItemEnabled(int index) const { return ItemsOf(Items())->At(index).enabled; }

void TCheckListBox::SetItemEnabled(int index, bool value) {
  ItemsOf(Items())->At(index).enabled = value;
  Invalidate();
}

void TCheckListBox::SetFlat(bool value) {
  flat_ = value;
  Invalidate();
}

void TCheckListBox::Toggle(int index) {
  if (index < 0 || index >= Count() || !ItemEnabled(index) || !Enabled()) return;
  const TCheckBoxState s = State(index);
  SetState(index, s == cbUnchecked ? cbChecked : s == cbChecked && allowGrayed_ ? cbGrayed : cbUnchecked);
  ClickCheck();
}

void TCheckListBox::ClickCheck() {
  if (OnClickCheck) OnClickCheck(this);
}

void TCheckListBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
  if (index >= 0) {
    const TCheckBoxState s = State(index);
    RECT box = Bounds(rect.Left + (GetCheckWidth() - 13) / 2, rect.Top + (rect.Height() - 13) / 2, 13, 13);
    TCanvas* c = Canvas();
    const TColor brush = c->Brush()->Color();
    c->Brush()->SetColor(Color());
    c->FillRect(Rect(rect.Left, rect.Top, rect.Left + GetCheckWidth(), rect.Bottom));
    c->Brush()->SetColor(brush);
    UINT flags = DFCS_BUTTONCHECK | (s != cbUnchecked ? UINT(DFCS_CHECKED) : 0u) | (flat_ ? UINT(DFCS_FLAT) : 0u);
    if (s == cbGrayed || !ItemEnabled(index) || !Enabled()) flags |= DFCS_INACTIVE;
    DrawFrameControl(c->Handle(), &box, DFC_BUTTON, flags);
    rect.Left += GetCheckWidth();
  }
  TCustomListBox::DrawItem(index, rect, state);
}

void TCheckListBox::KeyPress(char& key) {
  TCustomListBox::KeyPress(key);
  if (key == ' ') {
    Toggle(ItemIndex());
    key = 0;
  }
}

void TCheckListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomListBox::MouseDown(button, shift, x, y);
  if (button != mbLeft) return;
  const int index = ItemAtPos(Point(x, y), true);
  if (index >= 0 && x - ItemRect(index).Left < GetCheckWidth()) Toggle(index);
}
