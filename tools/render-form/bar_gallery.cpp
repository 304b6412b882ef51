// One row per built-in style: a lying and an upright track bar, a lying and
// an upright scroll bar and a database navigator; see bar_gallery.h.
#include "tools/render-form/bar_gallery.h"

#include "platform/gui/forms.h"
#include "platform/gui/std_controls.h"
#include "skin/db_navigator.h"
#include "skin/skin_scroll_bar.h"
#include "skin/track_bar.h"

namespace {

constexpr int kRowHeight = 76, kTop = 8;

template <class Control>
Control* Put(TForm* form, TsuiUIStyle style, int left, int top, int width, int height) {
  auto* control = new Control(form);
  control->SetParent(form);
  control->SetUIStyle(style);
  control->SetBounds(left, top, width, height);
  return control;
}

}  // namespace

void BuildBarGallery(TForm* form) {
  form->SetBorderStyle(bsSingle);
  form->SetCaption("Vorbex05 – posuvníky a navigátor");
  form->SetBounds(40, 40, 0, 0);
  form->SetClientWidth(760);
  form->SetClientHeight(kTop + 5 * kRowHeight);
  const std::pair<TsuiUIStyle, const char*> styles[] = {
      {MacOS, "MacOS"}, {WinXP, "WinXP"}, {DeepBlue, "DeepBlue"}, {Protein, "Protein"}, {BlueGlass, "BlueGlass"}};
  int top = kTop;
  for (auto [style, name] : styles) {
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetBounds(8, top + 4, 80, 16);
    label->SetCaption(name);
    auto* across = Put<TsuiTrackBar>(form, style, 90, top, 150, 30);
    across->SetPosition(3);
    across->SetTabStop(false);
    auto* upright = Put<TsuiTrackBar>(form, style, 250, top, 30, 68);
    upright->SetOrientation(suiVertical);
    upright->SetHeight(68);
    upright->SetPosition(7);
    upright->SetTabStop(false);
    auto* lying = Put<TsuiScrollBar>(form, style, 296, top + 4, 170, 16);
    lying->SetPageSize(25);
    lying->SetPosition(30);
    auto* standing = Put<TsuiScrollBar>(form, style, 476, top, 16, 68);
    standing->SetOrientation(suiVertical);
    standing->SetHeight(68);
    standing->SetLineButton(16);
    standing->SetPosition(60);
    auto* nav = Put<TsuiDBNavigator>(form, style, 502, top + 4, 250, 25);
    // As on an open dataset in the middle of its rows, not editing.
    for (int i = 0; i < kNavButtonCount; ++i) nav->Button(TNavigateBtn(i))->SetEnabled(i != nbPost && i != nbCancel);
    top += kRowHeight;
  }
}
