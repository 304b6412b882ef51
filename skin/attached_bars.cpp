// The skinned bars of a memo or check list; see attached_bars.h.
#include "skin/attached_bars.h"

#include "platform/gui/controls.h"
#include "platform/gui/scroll_info.h"
#include "skin/draw_helpers.h"
#include "skin/skin_scroll_bar.h"

namespace {

// A released bar goes back to its own defaults.
constexpr int kReleasedMax = 100;
// A memo's horizontal bar steps three pages per arrow step.
constexpr int kMemoHorizontalSteps = 3;

struct NativeBar {
  bool readable = false, inUse = false;
  int thumb = 0;
  SCROLLINFO range;
};

NativeBar ReadNative(TWinControl* control, bool vertical) {
  NativeBar n;
  SCROLLBARINFO info;
  n.readable = GetScrollBarInfoDyn(control->Handle(), vertical ? OBJID_VSCROLL : OBJID_HSCROLL, &info);
  n.inUse = n.readable && !(info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE));
  n.thumb = info.xyThumbBottom - info.xyThumbTop;
  n.range.fMask = SIF_ALL;
  GetScrollInfo(control->Handle(), vertical ? SB_VERT : SB_HORZ, &n.range);
  return n;
}

}  // namespace

void TsuiAttachedBars::Set(Which which, TsuiScrollBar* bar) {
  TsuiScrollBar*& slot = bars_[which];
  if (bar == slot) return;
  if (TsuiScrollBar* old = slot) {
    old->RemoveFreeNotification(control_);
    old->OnChange = nullptr;
    old->SetLineButton(0);
    old->SetMax(kReleasedMax);
    old->SetEnabled(true);
  }
  slot = bar;
  if (!bar) return;
  bar->FreeNotification(control_);
  bar->SetOrientation(which == kVertical ? suiVertical : suiHorizontal);
  bar->OnChange = [this, which](TObject*) { Scroll(which); };
  bar->BringToFront();
  Place();
}

bool TsuiAttachedBars::Forget(TComponent* component) {
  for (TsuiScrollBar*& bar : bars_)
    if (bar && bar == component) {
      bar = nullptr;
      return true;
    }
  return false;
}

void TsuiAttachedBars::ApplyStyle(TsuiFileTheme* theme, TsuiUIStyle style) {
  for (TsuiScrollBar* bar : bars_)
    if (bar) {
      bar->SetFileTheme(theme);
      bar->SetUIStyle(style);
    }
}

void TsuiAttachedBars::HideAll() {
  for (TsuiScrollBar* bar : bars_)
    if (bar) bar->SetVisible(false);
}

bool TsuiAttachedBars::MovesScrollState(UINT msg, WPARAM wparam) {
  switch (msg) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case CM_ENABLEDCHANGED: return true;
    case WM_MOUSEMOVE: return wparam & MK_LBUTTON;
    default: return false;
  }
}

void TsuiAttachedBars::Scroll(Which which) {
  if (syncing_) return;
  const UINT msg = which == kVertical ? WM_VSCROLL : WM_HSCROLL;
  // The memo's own request must not sync the bar back while it runs.
  scrolling_ = kind_ == kMemo;
  // The request holds 16 bits; the whole position goes as the track position.
  const int position = bars_[which]->Position();
  SCROLLINFO track;
  track.fMask = SIF_TRACKPOS;
  track.nTrackPos = position;
  SetScrollInfo(control_->Handle(), which == kVertical ? SB_VERT : SB_HORZ, &track, 0);
  control_->Perform(msg, MAKEWPARAM(SB_THUMBPOSITION, WORD(position)), 0);
  scrolling_ = false;
  control_->Invalidate();
}

void TsuiAttachedBars::Sync() {
  if (scrolling_ || !control_->HandleAllocated()) return;
  syncing_ = true;
  // The memo syncs its horizontal bar first, the list its vertical one.
  const Which order[2] = {kind_ == kMemo ? kHorizontal : kVertical, kind_ == kMemo ? kVertical : kHorizontal};
  for (Which which : order)
    if (bars_[which]) SyncOne(which);
  syncing_ = false;
}

void TsuiAttachedBars::SyncOne(Which which) {
  TsuiScrollBar* bar = bars_[which];
  const NativeBar native = ReadNative(control_, which == kVertical);
  const bool enabled = control_->Enabled();
  if (kind_ == kMemo) {
    if (!native.readable) {
      bar->SetVisible(false);
    } else if (native.inUse && enabled) {
      bar->SetLineButton(native.thumb);
      if (which == kHorizontal) bar->SetSmallChange(int16_t(bar->PageSize() * kMemoHorizontalSteps));
      bar->SetEnabled(true);
      bar->ShowThumb(true);
    } else {
      bar->SetLineButton(0);
      bar->SetEnabled(false);
      bar->ShowThumb(false);
    }
  } else if (!native.inUse) {
    bar->SetLineButton(0);
    bar->SetEnabled(false);
    bar->SetVisible(false);
  } else if (enabled) {
    bar->SetLineButton(native.thumb);
    bar->SetEnabled(true);
    bar->SetVisible(true);
  } else {
    bar->SetEnabled(false);
  }
  bar->SetMax(native.range.nMax - int(native.range.nPage) + 1);
  bar->SetMin(native.range.nMin);
  bar->SetPosition(native.range.nPos);
}

void TsuiAttachedBars::Place() {
  if (kind_ == kMemo) PlaceMemo();
  else PlaceList();
  Sync();
}

// Left to right only: the right-to-left layout needs a Middle-East system
// locale, which this platform never reports.
void TsuiAttachedBars::PlaceMemo() {
  const TControl* c = control_;
  TsuiScrollBar* h = bars_[kHorizontal];
  TsuiScrollBar* v = bars_[kVertical];
  if (h) {
    h->SetVisible(c->Height() >= h->Height());
    h->SetBounds(c->Left() + 1, c->Top() + c->Height() - h->Height() - 2, c->Width() - 1 - (v ? v->Width() : 0),
                 h->Height());
  }
  if (v) {
    v->SetVisible(c->Width() >= v->Width());
    v->SetBounds(c->Left() + c->Width() - v->Width() - 2, c->Top() + 1, v->Width(),
                 c->Height() - 2 - (h ? h->Height() : 0));
  }
}

void TsuiAttachedBars::PlaceList() {
  const TControl* c = control_;
  TsuiScrollBar* h = bars_[kHorizontal];
  TsuiScrollBar* v = bars_[kVertical];
  if (h) {
    if (c->Height() < h->Height()) {
      h->SetTop(c->Top());
    } else {
      const int beside = v && v->Visible() ? v->Width() : 0;
      h->SetBounds(c->Left() + 1, c->Top() + c->Height() - h->Height() - 1, c->Width() - 2 - beside, h->Height());
    }
  }
  if (v) {
    if (c->Width() < v->Width()) {
      v->SetLeft(c->Left());
    } else {
      const int below = h && h->Visible() ? h->Height() : 0;
      v->SetBounds(c->Left() + c->Width() - v->Width() - 1, c->Top() + 1, v->Width(), c->Height() - 2 - below);
    }
  }
}
