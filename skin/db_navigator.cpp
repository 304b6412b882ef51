// The database navigator; see db_navigator.h.
#include "skin/db_navigator.h"

#include <algorithm>

#include "platform/db/dataset.h"
#include "platform/gui/application.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/timer.h"
#include "platform/rtl/lists.h"
#include "skin/builtin_styles.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"
#include "skin/skin_props.h"
#include "skin/theme_ref.h"
#include "skin/skin_texts.h"

namespace {

constexpr int kMinButtonWidth = 20, kMinButtonHeight = 18;
constexpr int kInitialWidth = 250, kInitialHeight = 30;
constexpr unsigned kFirstRepeatMs = 400, kRepeatMs = 100;
// The focus mark stands this far inside a button.
constexpr int kFocusInset = 3;

}  // namespace

// --- TsuiNavButton ------------------------------------------------------------------------------------

TsuiNavButton::TsuiNavButton(TComponent* owner) : TsuiButton(owner) { SetTabStop(false); }

TsuiNavButton::~TsuiNavButton() = default;

TsuiDBNavigator* TsuiNavButton::Navigator() const { return dynamic_cast<TsuiDBNavigator*>(Parent()); }

void TsuiNavButton::Paint() {
  TsuiButton::Paint();
  TsuiDBNavigator* nav = Navigator();
  if (!nav || !nav->Focused() || nav->FocusedButton() != index_) return;
  TRect r = ClientRect();
  InflateRect(&r, -kFocusInset, -kFocusInset);
  if (Pressed()) OffsetRect(&r, 1, 1);
  Canvas()->Font()->SetColor(clBtnShadow);
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->DrawFocusRect(r);
}

void TsuiNavButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TsuiButton::MouseDown(button, shift, x, y);
  if (!repeats_) return;
  if (!repeatTimer_) {
    repeatTimer_ = std::make_unique<TTimer>(nullptr);
    repeatTimer_->OnTimer = [this](TObject*) { RepeatTick(); };
  }
  repeatTimer_->SetEnabled(false);
  repeatTimer_->SetInterval(kFirstRepeatMs);
  repeatTimer_->SetEnabled(true);
}

void TsuiNavButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (repeatTimer_) repeatTimer_->SetEnabled(false);
  TsuiButton::MouseUp(button, shift, x, y);
}

void TsuiNavButton::RepeatTick() {
  repeatTimer_->SetInterval(kRepeatMs);
  if (!Pressed() || !MouseCapture()) return;
  try {
    if (TsuiDBNavigator* nav = Navigator()) nav->BtnClick(index_);
  } catch (...) {
    repeatTimer_->SetEnabled(false);
    throw;
  }
}

// --- TsuiNavDataLink ----------------------------------------------------------------------------------

void TsuiNavDataLink::LinkActiveChanged() {
  if (navigator_) navigator_->ActiveChanged();
}

void TsuiNavDataLink::LinkDataSetChanged() {
  if (navigator_) navigator_->DataChanged();
}

void TsuiNavDataLink::LinkEditingChanged() {
  if (navigator_) navigator_->EditingChanged();
}

// --- TsuiDBNavigator ----------------------------------------------------------------------------------

TsuiDBNavigator::TsuiDBNavigator(TComponent* owner)
    : TCustomPanel(owner),
      link_(std::make_unique<TsuiNavDataLink>(this)),
      hints_(std::make_unique<TStringList>()) {
  RegisterSkinProps();
  SetControlStyle((ControlStyle() & ~unsigned(csAcceptsControls | csSetCaption)) | csOpaque);
  SetBevelOuter(bvNone);
  SetBevelInner(bvNone);
  SetTabStop(false);
  TControl::SetBounds(0, 0, kInitialWidth, kInitialHeight);
  uiStyle_ = GetOwnerUIStyle(owner);
  TBitmap strip;
  strip.LoadFromResourceName(0, "DBNAV_BUTTON");
  for (int i = 0; i < kNavButtonCount; ++i) {
    const auto kind = TNavigateBtn(i);
    auto* b = new TsuiNavButton(this);
    b->SetSpacing(-1);
    b->SetIndex(kind);
    b->SetVisible(visibleButtons_ & NavButton(kind));
    b->SetBounds(i * kMinButtonWidth, 0, kMinButtonWidth, kMinButtonHeight);
    TBitmap glyph;
    CopyBitmapFrame(&strip, &glyph, kNavButtonCount, i + 1);
    b->SetGlyph(&glyph);
    b->SetUIStyle(uiStyle_);
    b->OnClick = [this, kind](TObject*) { BtnClick(kind); };
    b->OnMouseDown = [this, b](TObject*, TMouseButton, TShiftState, int, int) { ButtonMouseDown(b); };
    b->SetRepeatsWhileHeld(kind == nbPrior || kind == nbNext);
    b->SetParent(this);
    buttons_[i] = b;
  }
  InitHints();
  int w = Width(), h = Height();
  SetSize(w, h);
  ActiveChanged();
}

TsuiDBNavigator::~TsuiDBNavigator() = default;

void TsuiDBNavigator::SetUIStyle(TsuiUIStyle value) {
  uiStyle_ = value;
  for (TsuiNavButton* b : buttons_) {
    b->SetFileTheme(fileTheme_);
    b->SetUIStyle(value);
  }
  Invalidate();
}

void TsuiDBNavigator::SetFileTheme(TsuiFileTheme* value) {
  SetThemeRef(this, fileTheme_, value);
  SetUIStyle(uiStyle_);
}

void TsuiDBNavigator::SetDataSource(TDataSource* value) {
  if (TDataSource* old = link_->DataSource()) old->RemoveFreeNotification(this);
  link_->SetDataSource(value);
  if (!InState(csLoading)) ActiveChanged();
  if (value) value->FreeNotification(this);
}

void TsuiDBNavigator::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation != opRemove) return;
  if (link_ && component == link_->DataSource()) {
    link_->SetDataSource(nullptr);
    ActiveChanged();
  }
  if (component == fileTheme_) {
    fileTheme_ = nullptr;
    SetUIStyle(DeepBlue);
  }
  for (TsuiNavButton*& b : buttons_)
    if (b == component) b = nullptr;
}

void TsuiDBNavigator::SetVisibleButtons(TButtonSet value) {
  visibleButtons_ = value & kAllNavButtons;
  for (TsuiNavButton* b : buttons_) b->SetVisible(visibleButtons_ & NavButton(b->Index()));
  int w = Width(), h = Height();
  SetSize(w, h);
  if (w != Width() || h != Height()) TCustomPanel::SetBounds(Left(), Top(), w, h);
  Invalidate();
}

TStrings* TsuiDBNavigator::Hints() const { return hints_.get(); }

void TsuiDBNavigator::SetHints(const TStrings* value) {
  if (defaultHints_ && value->Text() == defaultHints_->Text()) hints_->Clear();
  else hints_->Assign(value);
  InitHints();
}

void TsuiDBNavigator::InitHints() {
  if (!defaultHints_) {
    defaultHints_ = std::make_unique<TStringList>();
    for (const char* hint : kNavHints) defaultHints_->Add(hint);
  }
  for (int i = 0; i < kNavButtonCount; ++i) buttons_[i]->SetHint(defaultHints_->Strings(i));
  for (int i = 0; i < std::min(hints_->Count(), kNavButtonCount); ++i)
    if (!hints_->Strings(i).empty()) buttons_[i]->SetHint(hints_->Strings(i));
}

void TsuiDBNavigator::SetCursor(TCursor value) {
  TCustomPanel::SetCursor(value);
  for (TsuiNavButton* b : buttons_) b->SetCursor(value);
}

void TsuiDBNavigator::SetEnabled(bool value) {
  TCustomPanel::SetEnabled(value);
  if (!InState(csLoading)) ActiveChanged();
}

void TsuiDBNavigator::Loaded() {
  TCustomPanel::Loaded();
  int w = Width(), h = Height();
  SetSize(w, h);
  if (w != Width() || h != Height()) TCustomPanel::SetBounds(Left(), Top(), w, h);
  InitHints();
  ActiveChanged();
}

void TsuiDBNavigator::BtnClick(TNavigateBtn index) {
  TDataSource* source = DataSource();
  if (source && source->State() != dsInactive) {
    if (BeforeAction && !InState(csDesigning)) BeforeAction(this, index);
    TDataSet* data = source->DataSet();
    switch (index) {
      case nbFirst: data->First(); break;
      case nbPrior: data->Prior(); break;
      case nbNext: data->Next(); break;
      case nbLast: data->Last(); break;
      case nbInsert: data->Insert(); break;
      case nbDelete:
        if (!confirmDelete_ || Application->MessageBox(kDeleteRecordQuestion, "", MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
          data->Delete();
        break;
      case nbEdit: data->Edit(); break;
      case nbPost: data->Post(); break;
      case nbCancel: data->Cancel(); break;
      case nbRefresh: data->Refresh(); break;
    }
  }
  if (OnClick && !InState(csDesigning)) OnClick(this, index);
}

void TsuiDBNavigator::DataChanged() {
  const bool live = Enabled() && link_->Active();
  TDataSet* data = link_->DataSet();
  const bool up = live && !data->Bof(), down = live && !data->Eof();
  buttons_[nbFirst]->SetEnabled(up);
  buttons_[nbPrior]->SetEnabled(up);
  buttons_[nbNext]->SetEnabled(down);
  buttons_[nbLast]->SetEnabled(down);
  buttons_[nbDelete]->SetEnabled(live && data->CanModify() && !(data->Bof() && data->Eof()));
}

void TsuiDBNavigator::EditingChanged() {
  const bool modify = Enabled() && link_->Active() && link_->DataSet()->CanModify();
  const bool editing = link_->Editing();
  buttons_[nbInsert]->SetEnabled(modify);
  buttons_[nbEdit]->SetEnabled(modify && !editing);
  buttons_[nbPost]->SetEnabled(modify && editing);
  buttons_[nbCancel]->SetEnabled(modify && editing);
  buttons_[nbRefresh]->SetEnabled(modify);
}

void TsuiDBNavigator::ActiveChanged() {
  if (Enabled() && link_->Active()) {
    DataChanged();
    EditingChanged();
    return;
  }
  for (TsuiNavButton* b : buttons_) b->SetEnabled(false);
}

int TsuiDBNavigator::VisibleCount() const {
  int n = 0;
  for (int i = 0; i < kNavButtonCount; ++i) n += (visibleButtons_ >> i) & 1;
  return std::max(n, 1);
}

void TsuiDBNavigator::CalcMinSize(int& width, int& height) const {
  const int n = VisibleCount();
  width = std::max(width, n * kMinButtonWidth);
  height = std::max(height, kMinButtonHeight);
  if (Align() == alNone) width = width / n * n;
}

void TsuiDBNavigator::SetSize(int& width, int& height) {
  if (InState(csLoading) || !buttons_[kNavButtonCount - 1] || sizing_) return;
  sizing_ = true;
  CalcMinSize(width, height);
  const int n = VisibleCount();
  buttonWidth_ = width / n;
  if (Align() == alNone) width = n * buttonWidth_;
  // The pixels left over go one by one to buttons spread along the row.
  const int rest = width - n * buttonWidth_;
  int counter = n / 2, x = 0;
  for (TsuiNavButton* b : buttons_) {
    if (!(visibleButtons_ & NavButton(b->Index()))) {
      b->SetBounds(width + 1, 0, buttonWidth_, height);
      continue;
    }
    int extra = 0;
    if (rest != 0) {
      counter -= rest;
      if (counter < 0) {
        counter += n;
        extra = 1;
      }
    }
    b->SetBounds(x, 0, buttonWidth_ + extra, height);
    x += buttonWidth_ + extra;
  }
  sizing_ = false;
}

void TsuiDBNavigator::SetBounds(int left, int top, int width, int height) {
  // The requested size is raised to whole buttons before it is taken.
  if (width != Width() || height != Height()) SetSize(width, height);
  TCustomPanel::SetBounds(left, top, width, height);
}

void TsuiDBNavigator::Resize() {
  TCustomPanel::Resize();
  int w = Width(), h = Height();
  SetSize(w, h);
}

void TsuiDBNavigator::ButtonMouseDown(TsuiNavButton* button) {
  const TNavigateBtn old = focusedButton_;
  focusedButton_ = button->Index();
  if (TabStop() && !Focused() && CanFocus()) {
    SetFocus();
  } else if (Focused() && old != focusedButton_) {
    buttons_[old]->Invalidate();
    buttons_[focusedButton_]->Invalidate();
  }
}

void TsuiDBNavigator::MoveFocusMark(int step) {
  int i = focusedButton_ + step;
  while (i >= 0 && i < kNavButtonCount && !buttons_[i]->Visible()) i += step;
  if (i < 0 || i >= kNavButtonCount) return;
  buttons_[focusedButton_]->Invalidate();
  focusedButton_ = TNavigateBtn(i);
  buttons_[focusedButton_]->Invalidate();
}

void TsuiDBNavigator::KeyDown(WORD& key, TShiftState shift) {
  TCustomPanel::KeyDown(key, shift);
  switch (key) {
    case VK_SPACE:
      if (buttons_[focusedButton_]->Enabled()) buttons_[focusedButton_]->Click();
      break;
    case VK_LEFT: MoveFocusMark(-1); break;
    case VK_RIGHT: MoveFocusMark(1); break;
    default: break;
  }
}

bool TsuiDBNavigator::WantsKey(WORD key) const {
  return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN || TCustomPanel::WantsKey(key);
}

void TsuiDBNavigator::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TCustomPanel::WndProc(m);
      if (buttons_[focusedButton_]) buttons_[focusedButton_]->Invalidate();
      return;
    default: TCustomPanel::WndProc(m);
  }
}
