// TsuiAttachedBars: how a skinned memo or check list follows the skinned
// scroll bars attached to it — laid over its own scroll bars, fed with their
// range, page and thumb, and scrolling the control when they move. The bars
// are separate components on the same parent; the control only refers to them.
#pragma once

#include "platform/gui/user.h"
#include "skin/skin_keys.h"

class TComponent;
class TWinControl;
class TsuiFileTheme;
class TsuiScrollBar;

class TsuiAttachedBars {
public:
  // The memo and the list differ in where the bars go and in what a bar
  // does when the control's own bar cannot be read or is not in use.
  enum Kind { kMemo, kList };
  enum Which { kHorizontal = 0, kVertical = 1 };

  TsuiAttachedBars(TWinControl* control, Kind kind) : control_(control), kind_(kind) {}
  TsuiAttachedBars(const TsuiAttachedBars&) = delete;
  TsuiAttachedBars& operator=(const TsuiAttachedBars&) = delete;

  TsuiScrollBar* Bar(Which which) const { return bars_[which]; }
  // Releases the old bar, takes the new one on and places both.
  void Set(Which which, TsuiScrollBar* bar);
  // A component going away: true when it was one of the bars (now forgotten).
  bool Forget(TComponent* component);
  void Place();
  void Sync();
  void HideAll();
  // Both bars take the control's skin and resolved style.
  void ApplyStyle(TsuiFileTheme* theme, TsuiUIStyle style);
  // The messages after which the control's scroll state may have moved.
  static bool MovesScrollState(UINT msg, WPARAM wparam);

private:
  void Scroll(Which which);
  void SyncOne(Which which);
  void PlaceMemo();
  void PlaceList();

  TWinControl* control_;
  Kind kind_;
  TsuiScrollBar* bars_[2] = {nullptr, nullptr};
  bool syncing_ = false, scrolling_ = false;
};
