// TsuiEdit: the platform's one-line edit with a one-pixel border in the
// style's border colour (and a second one in the edit's colour inside it).
// TsuiMemo: the platform memo with the same border.
#pragma once

#include "platform/gui/edits.h"
#include "skin/skin_bordered.h"

class TsuiEdit : public TsuiBordered<TEdit> {
public:
  explicit TsuiEdit(TComponent* owner);
};

class TsuiMemo : public TsuiBordered<TMemo> {
public:
  explicit TsuiMemo(TComponent* owner);
};
