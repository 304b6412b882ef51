// The published properties and registered classes of the track bar, the
// scroll bar and the database navigator.
#include "platform/gui/picture.h"
#include "platform/gui/type_info.h"
#include "platform/rtl/lists.h"
#include "skin/db_navigator.h"
#include "skin/file_theme.h"
#include "skin/skin_props.h"
#include "skin/skin_scroll_bar.h"
#include "skin/themed_props.h"
#include "skin/track_bar.h"

namespace {

const std::vector<AnsiString> kOrientationNames = {"suiHorizontal", "suiVertical"};

}  // namespace

void RegisterBarProps() {
  using T = TsuiTrackBar;
  RegisterProps<T>("TsuiTrackBar",
                   Themed<T>({EnumProp("Orientation", kOrientationNames, &T::Orientation, &T::SetOrientation),
                              ObjectProp("BarImage", &T::BarImage), ObjectProp("SliderImage", &T::SliderImage),
                              IntProp("Max", &T::Max, &T::SetMax), IntProp("Min", &T::Min, &T::SetMin),
                              IntProp("SlidingMax", &T::SlidingMax, &T::SetSlidingMax),
                              IntProp("SlidingMin", &T::SlidingMin, &T::SetSlidingMin),
                              IntProp("Position", &T::Position, &T::SetPosition),
                              IntProp("PageSize", &T::PageSize, &T::SetPageSize),
                              IntProp("LineSize", &T::LineSize, &T::SetLineSize),
                              BoolProp("ShowTick", &T::ShowTick, &T::SetShowTick),
                              BoolProp("Transparent", &T::Transparent, &T::SetTransparent),
                              IntProp("Frequency", &T::Frequency, &T::SetFrequency)}));
  using S = TsuiScrollBar;
  RegisterProps<S>("TsuiScrollBar",
                   Themed<S>({IntProp("LineButton", &S::LineButton, &S::SetLineButton),
                              EnumProp("Orientation", kOrientationNames, &S::Orientation, &S::SetOrientation),
                              IntProp("Max", &S::Max, &S::SetMax), IntProp("Min", &S::Min, &S::SetMin),
                              IntProp("Position", &S::Position, &S::SetPosition),
                              IntProp("SmallChange", &S::SmallChange, &S::SetSmallChange),
                              IntProp("LargeChange", &S::LargeChange, &S::SetLargeChange),
                              IntProp("PageSize", &S::PageSize, &S::SetPageSize)}));
  using N = TsuiDBNavigator;
  RegisterProps<N>(
      "TsuiDBNavigator",
      Themed<N>({RefProp("DataSource", &N::DataSource, &N::SetDataSource),
                 SetProp("VisibleButtons",
                         {"nbFirst", "nbPrior", "nbNext", "nbLast", "nbInsert", "nbDelete", "nbEdit", "nbPost",
                          "nbCancel", "nbRefresh"},
                         &N::VisibleButtons, &N::SetVisibleButtons),
                 ObjectProp("Hints", &N::Hints), BoolProp("ConfirmDelete", &N::ConfirmDelete, &N::SetConfirmDelete)}));
  RegisterClass<TsuiTrackBar>("TsuiTrackBar");
  RegisterClass<TsuiScrollBar>("TsuiScrollBar");
  RegisterClass<TsuiDBNavigator>("TsuiDBNavigator");
}
