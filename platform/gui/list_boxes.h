// List boxes: TCustomListBox and TListBox (items of fixed height, one
// selected, keyboard and mouse selection, owner drawing through DrawItem and
// OnDrawItem, a vertical scroll bar of its own, the wheel) and TCheckListBox
// (a check column left of each item's text: a click in it or Space toggles
// the item and fires OnClickCheck; setting Checked from code fires nothing).
#pragma once

#include "platform/gui/controls.h"
#include "platform/gui/scroll_strip.h"
#include "platform/rtl/lists.h"

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
enum TOwnerDrawStateFlag : unsigned {
  odSelected = 1, odGrayed = 2, odDisabled = 4, odChecked = 8, odFocused = 16, odDefault = 32
};
using TOwnerDrawState = unsigned;
using TDrawItemEvent = std::function<void(TWinControl* control, int index, TRect rect, TOwnerDrawState state)>;
enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCustomListBox : public TCustomControl {
public:
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;

  TStrings* Items() const { return items_; }
  void SetItems(const TStrings* items) { items_->Assign(items); }
  int Count() const { return items_->Count(); }
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int value);
  int TopIndex() const { return topIndex_; }
  void SetTopIndex(int index);
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  void Clear() { items_->Clear(); }
  // The item's rectangle in client coordinates (also for items out of view).
  TRect ItemRect(int index) const;
  // The item at a client point; with existing, -1 below the last item,
  // otherwise the count.
  int ItemAtPos(TPoint p, bool existing) const;

  TDrawItemEvent OnDrawItem;

protected:
  void CreateParams(TCreateParams& params) override;
  void WndProc(TMessage& message) override;
  void Paint() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  bool WantsKey(WORD key) const override;
  // Draws one item on Canvas, whose brush and font colours are already set
  // for its state; index -1 is the focus place of an empty list.
  virtual void DrawItem(int index, TRect rect, TOwnerDrawState state);
  // Items came, went or changed.
  virtual void ItemsChanged();
  // The area items are drawn in (the client area less the scroll bar).
  TRect ItemArea() const;

private:
  friend class TListBoxStrings;
  TScrollStrip Strip() const;
  int PageCount() const;
  // The list's scroll state and bar, for those who follow it.
  void PublishScrollInfo();
  void CreateHandleDone() override { PublishScrollInfo(); }
  // Selects as the user does: OnClick when the selection changes.
  void SelectByUser(int index);

  TStrings* items_;
  int itemIndex_ = -1;
  int itemHeight_ = 16;
  int topIndex_ = 0;
  TListBoxStyle style_ = lbStandard;
  TBorderStyle borderStyle_ = bsSingle;
  int dragOffset_ = -1;  // where the scroll thumb was taken, while dragged
};

class TListBox : public TCustomListBox {
public:
  using TCustomListBox::TCustomListBox;
};

class TCheckListBox : public TCustomListBox {
public:
  explicit TCheckListBox(TComponent* owner);

  bool Checked(int index) const { return State(index) == cbChecked; }
  void SetChecked(int index, bool value) { SetState(index, value ? cbChecked : cbUnchecked); }
  TCheckBoxState State(int index) const;
  void SetState(int index, TCheckBoxState state);
  bool ItemEnabled(int index) const;
  void SetItemEnabled(int index, bool value);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool value) { allowGrayed_ = value; }
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  // The width of the check column left of the text.
  static int GetCheckWidth() { return 15; }

  TNotifyEvent OnClickCheck;

protected:
  void DrawItem(int index, TRect rect, TOwnerDrawState state) override;
  void KeyPress(char& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  virtual void ClickCheck();

private:
  // The user toggles an item: unchecked, checked (and grayed when allowed).
  void Toggle(int index);
  bool allowGrayed_ = false;
  bool flat_ = true;
};
