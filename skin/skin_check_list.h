// TsuiCheckListBox: the platform check list with a one-pixel border in the
// style's colour, skinned check images and its own selection colours. Item
// storage, check state, selection and scrolling stay the platform's; skinned
// scroll bars can be laid over its own.
#pragma once

#include <memory>

#include "platform/gui/list_boxes.h"
#include "skin/bar_host.h"
#include "skin/store_repaint.h"

class TBitmap;

class TsuiCheckListBox : public TsuiBarHost<TCheckListBox> {
public:
  explicit TsuiCheckListBox(TComponent* owner);
  ~TsuiCheckListBox() override;

  TColor SelectedColor() const { return selectedColor_; }
  void SetSelectedColor(TColor value) { StoreAndRepaint(this, selectedColor_, value); }
  TColor SelectedTextColor() const { return selectedTextColor_; }
  void SetSelectedTextColor(TColor value) { StoreAndRepaint(this, selectedTextColor_, value); }
  TColor DisabledTextColor() const { return disabledTextColor_; }
  void SetDisabledTextColor(TColor value) { StoreAndRepaint(this, disabledTextColor_, value); }
  // The list always has its one-pixel skinned border: these read fixed values and
  // their setters keep them.
  TBorderStyle BorderStyle() const { return bsSingle; }
  void SetBorderStyle(TBorderStyle) { TCheckListBox::SetBorderStyle(bsNone); }
  int BorderWidth() const { return 1; }
  void SetBorderWidth(int) { TCheckListBox::SetBorderWidth(1); }

protected:
  void DrawItem(int index, TRect rect, TOwnerDrawState state) override;
  void ItemsChanged() override;

private:
  // Frame 1..4 of the check strip: enabled checked, enabled unchecked, disabled checked, disabled unchecked.
  void CheckImage(int frame, TBitmap* dest) const;
  TColor selectedTextColor_ = clHighlightText, selectedColor_ = clHighlight, disabledTextColor_ = clGrayText;
};
