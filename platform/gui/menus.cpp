// Menu items, menus and shortcuts. The popup window is in popup_menu.cpp.
#include "platform/gui/menus.h"

#include <algorithm>

#include "platform/gui/forms.h"
#include "platform/gui/image_list.h"
#include "platform/rtl/numbers.h"
#include "platform/rtl/text.h"

namespace {

struct KeyName {
  WORD key;
  const char* name;
};
constexpr KeyName kKeyNames[] = {
    {VK_BACK, "BkSp"}, {VK_TAB, "Tab"}, {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"}, {VK_HOME, "Home"}, {VK_LEFT, "Left"},
    {VK_UP, "Up"}, {VK_RIGHT, "Right"}, {VK_DOWN, "Down"}, {VK_INSERT, "Ins"}, {VK_DELETE, "Del"}};

AnsiString KeyText(WORD key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return AnsiString(1, char(key));
  if (key >= VK_F1 && key <= VK_F1 + 23) return "F" + IntToStr(key - VK_F1 + 1);
  for (const KeyName& k : kKeyNames)
    if (k.key == key) return k.name;
  return "";
}

}  // namespace

TShortCut ShortCut(WORD key, TShiftState shift) {
  if (key & 0xFF00) return 0;
  TShortCut s = key;
  if (shift & ssShift) s |= scShift;
  if (shift & ssCtrl) s |= scCtrl;
  if (shift & ssAlt) s |= scAlt;
  return s;
}

void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift) {
  key = shortCut & 0xFF;
  shift = 0;
  if (shortCut & scShift) shift |= ssShift;
  if (shortCut & scCtrl) shift |= ssCtrl;
  if (shortCut & scAlt) shift |= ssAlt;
}

AnsiString ShortCutToText(TShortCut shortCut) {
  const AnsiString name = KeyText(shortCut & 0xFF);
  if (name.empty()) return "";
  AnsiString text;
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  return text + name;
}

TShortCut TextToShortCut(const AnsiString& text) {
  for (WORD key = 1; key < 256; ++key)
    for (int mods : {0, int(scShift), int(scCtrl), int(scAlt), scShift | scCtrl, scCtrl | scAlt, scShift | scAlt})
      if (TShortCut s = TShortCut(key | mods); !KeyText(key).empty() && SameText(ShortCutToText(s), text)) return s;
  return 0;
}

char GetHotkey(const AnsiString& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return AnsiUpperChar(caption[i + 1]);
    ++i;
  }
  return 0;
}

AnsiString StripHotkey(const AnsiString& caption) {
  AnsiString out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    out += caption[i];
  }
  return out;
}

// --- TMenuItem ---------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  while (!items_.empty()) {
    TMenuItem* last = items_.back();
    items_.pop_back();
    last->parent_ = nullptr;
    last->Free();
  }
  if (parent_) parent_->Remove(this);
}

void TMenuItem::Changed(bool rebuild) {
  if (TMenu* m = GetParentMenu()) m->MenuChanged(this, this, rebuild);
}

void TMenuItem::SetCaption(const AnsiString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Changed(false);
}

void TMenuItem::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  // Radio items of one group exclude each other.
  if (value && radioItem_ && parent_)
    for (TMenuItem* other : parent_->items_)
      if (other != this && other->radioItem_ && other->groupIndex_ == groupIndex_) other->checked_ = false;
  Changed(false);
}

void TMenuItem::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Changed(false);
}

void TMenuItem::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  Changed(true);
}

void TMenuItem::SetShortCut(TShortCut value) {
  shortCut_ = value;
  Changed(false);
}

int TMenuItem::MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item->parent_) throw EInvalidOperation("Menu inserted twice");
  if (index < 0 || index > Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  Changed(true);
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) throw EInvalidOperation("Sub-menu is not in menu");
  items_.erase(it);
  item->parent_ = nullptr;
  Changed(true);
}

void TMenuItem::Clear() {
  while (!items_.empty()) items_.back()->Free();
}

TMenuItem* TMenuItem::Find(const AnsiString& caption) const {
  for (TMenuItem* i : items_)
    if (SameText(StripHotkey(i->caption_), StripHotkey(caption))) return i;
  return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->parent_) i = i->parent_;
  return i->menu_;
}

void TMenuItem::Click() {
  if (enabled_ && OnClick) OnClick(this);
}

void TMenuItem::MeasureItem(TCanvas* canvas, int& width, int& height) {
  if (IsLine()) {
    width = 20;
    height = 8;
  } else {
    const AnsiString keys = ShortCutToText(shortCut_);
    width = canvas->TextWidth(StripHotkey(caption_)) + (keys.empty() ? 0 : canvas->TextWidth(keys) + 16) + 40;
    height = std::max(19, canvas->TextHeight("W") + 6);
  }
  if (OnMeasureItem) OnMeasureItem(this, canvas, width, height);
}

void TMenuItem::DrawItem(TCanvas* canvas, TRect rect, bool selected) {
  if (OnDrawItem) {
    OnDrawItem(this, canvas, rect, selected);
    return;
  }
  HDC dc = canvas->Handle();
  canvas->Brush()->SetColor(selected && !IsLine() ? clHighlight : clMenu);
  canvas->FillRect(rect);
  if (IsLine()) {
    RECT line{rect.Left + 2, rect.Top + rect.Height() / 2 - 1, rect.Right - 2, rect.Top + rect.Height() / 2 + 1};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(!enabled_ ? clGrayText : selected ? clHighlightText : clMenuText));
  if (checked_) {
    RECT box{rect.Left + 2, rect.Top, rect.Left + 20, rect.Bottom};
    DrawFrameControl(dc, &box, DFC_MENU, radioItem_ ? DFCS_MENUBULLET : DFCS_MENUCHECK);
  }
  RECT text{rect.Left + 22, rect.Top, rect.Right - 8, rect.Bottom};
  DrawTextA(dc, caption_.c_str(), int(caption_.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  const AnsiString keys = ShortCutToText(shortCut_);
  if (!keys.empty()) DrawTextA(dc, keys.c_str(), int(keys.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  if (!items_.empty()) {
    RECT arrow{rect.Right - 16, rect.Top, rect.Right - 2, rect.Bottom};
    DrawFrameControl(dc, &arrow, DFC_MENU, DFCS_MENUARROW);
  }
}

// --- TMenu ---------------------------------------------------------------------------------------

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu() { items_->Free(); }

void TMenu::SetImages(TImageList* images) {
  if (images_) images_->RemoveFreeNotification(this);
  images_ = images;
  if (images) images->FreeNotification(this);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == images_) images_ = nullptr;
}

// A form showing this menu lays its menu bar out anew.
void TMenu::MenuChanged(TObject*, TMenuItem*, bool) {
  if (auto* form = dynamic_cast<TCustomForm*>(Owner()); form && form->Menu() == this) form->MenuBarChanged();
}

TMenuItem* TMenu::FindShortCut(TShortCut shortCut) const {
  std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* item) -> TMenuItem* {
    for (int i = 0; i < item->Count(); ++i) {
      TMenuItem* sub = item->Items(i);
      if (sub->ShortCut() == shortCut) return sub;
      if (TMenuItem* deeper = find(sub)) return deeper;
    }
    return nullptr;
  };
  return shortCut ? find(items_) : nullptr;
}

bool TMenu::IsShortCut(WORD key, TShiftState shift) {
  TMenuItem* item = FindShortCut(::ShortCut(key, shift));
  if (!item || !item->Enabled() || !item->Visible()) return false;
  item->Click();
  return true;
}
