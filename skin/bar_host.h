// TsuiBarHost: a bordered skinned control that can carry skinned scroll bars
// (VScrollBar, HScrollBar) over its own — the memo and the check list. It
// places them when it moves, resizes, loads or shows, hides them when it is
// hidden, hands them its style and keeps them in step (TsuiAttachedBars).
#pragma once

#include "skin/attached_bars.h"
#include "skin/skin_bordered.h"
#include "skin/skin_scroll_bar.h"

template <class Base>
class TsuiBarHost : public TsuiBordered<Base> {
public:
  TsuiBarHost(TComponent* owner, TsuiAttachedBars::Kind kind) : TsuiBordered<Base>(owner), bars_(this, kind) {}
  // The bars outlive the control: they must not call back into it.
  ~TsuiBarHost() override {
    bars_.Set(TsuiAttachedBars::kHorizontal, nullptr);
    bars_.Set(TsuiAttachedBars::kVertical, nullptr);
  }

  TsuiScrollBar* VScrollBar() const { return bars_.Bar(TsuiAttachedBars::kVertical); }
  void SetVScrollBar(TsuiScrollBar* bar) { SetBar(TsuiAttachedBars::kVertical, bar); }
  TsuiScrollBar* HScrollBar() const { return bars_.Bar(TsuiAttachedBars::kHorizontal); }
  void SetHScrollBar(TsuiScrollBar* bar) { SetBar(TsuiAttachedBars::kHorizontal, bar); }

  void SetBounds(int left, int top, int width, int height) override {
    Base::SetBounds(left, top, width, height);
    bars_.Place();
  }

protected:
  // The set of attached bars changed (the memo follows it with its own bars).
  virtual void BarsChanged() {}
  void SyncBars() { bars_.Sync(); }

  void WndProc(TMessage& m) override {
    TsuiBordered<Base>::WndProc(m);
    if (m.Msg == CM_VISIBLECHANGED || m.Msg == CM_SHOWINGCHANGED) {
      if (this->Visible()) bars_.Place();
      else bars_.HideAll();
    } else if (TsuiAttachedBars::MovesScrollState(m.Msg, m.WParam)) {
      bars_.Sync();
    }
  }
  void Loaded() override {
    TsuiBordered<Base>::Loaded();
    bars_.Place();
  }
  void Notification(TComponent* component, TOperation operation) override {
    TsuiBordered<Base>::Notification(component, operation);
    if (operation == opRemove && bars_.Forget(component)) BarsChanged();
  }
  void UIStyleChanged() override {
    TsuiUIStyle style;
    const bool fromTheme = TsuiFileTheme::ResolveStyle(this->FileTheme(), this->UIStyle(), style);
    bars_.ApplyStyle(this->FileTheme(), fromTheme ? FromThemeFile : style);
  }

private:
  void SetBar(TsuiAttachedBars::Which which, TsuiScrollBar* bar) {
    bars_.Set(which, bar);
    BarsChanged();
    bars_.Place();
  }
  TsuiAttachedBars bars_;
};
