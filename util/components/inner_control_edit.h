// A one-line edit with a control of its own inside its right edge (the
// folder edit's browse button, the spin edit's arrows): the control is
// placed again on every size change, the text rectangle keeps text clear of
// it, and Paste and Cut reach the edit only while its text may be edited.
#pragma once

#include "platform/gui/edits.h"

class TUtlInnerControlEdit : public TCustomEdit {
public:
  using TCustomEdit::TCustomEdit;

protected:
  // Places the inner control, then calls LimitTextRect.
  virtual void PlaceInner() = 0;
  virtual void LimitTextRect() = 0;
  virtual bool ClipboardEditable() const = 0;

  void WndProc(TMessage& message) override;
  void Resize() override;
};
