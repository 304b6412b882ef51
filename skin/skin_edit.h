// TsuiEdit: the platform's one-line edit with a one-pixel border in the
// style's border colour (and a second one in the edit's colour inside it).
// TsuiMemo: the platform memo with the same border, and skinned scroll bars
// laid over its own when they are attached.
#pragma once

#include "platform/gui/edits.h"
#include "skin/bar_host.h"
#include "skin/skin_bordered.h"

class TsuiEdit : public TsuiBordered<TEdit> {
public:
  explicit TsuiEdit(TComponent* owner);
};

class TsuiMemo : public TsuiBarHost<TMemo> {
public:
  explicit TsuiMemo(TComponent* owner);

protected:
  void WndProc(TMessage& message) override;
  // The memo shows its own bars where skinned ones are attached.
  void BarsChanged() override;
};
