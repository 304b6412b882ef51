// Actions and the controls linked to them: the control takes the action's
// properties (only onto its defaults while the action loads), a click runs
// the action unless the control has its own OnClick, and freeing an action,
// its list or the list's images leaves nothing pointing at them.
#include <gtest/gtest.h>

#include "platform/gui/actions.h"
#include "platform/gui/image_list.h"

namespace {

TEST(Actions, ALinkedControlTakesTheActionsPropertiesAndFollowsThem) {
  TOwned<TCustomAction> action(new TCustomAction(nullptr));
  action->SetCaption("Uložit \"vše\"");
  action->SetEnabled(false);
  action->SetHint("Uloží zálohu");
  action->SetVisible(false);
  TOwned<TGraphicControl> control(new TGraphicControl(nullptr));
  control->SetCaption("Vlastní");
  control->SetAction(action.get());
  EXPECT_EQ(control->Action(), action.get());
  EXPECT_EQ(control->Caption(), "Uložit \"vše\"");
  EXPECT_FALSE(control->Enabled());
  EXPECT_EQ(control->Hint(), "Uloží zálohu");
  EXPECT_FALSE(control->Visible());
  action->SetEnabled(true);
  action->SetCaption("Znovu");
  EXPECT_TRUE(control->Enabled());
  EXPECT_EQ(control->Caption(), "Znovu");

  // While the action loads, the control keeps what it set itself.
  TOwned<TGraphicControl> own(new TGraphicControl(nullptr));
  own->SetCaption("Vlastní");
  own->SetEnabled(false);
  action->BeginLoading();
  own->SetAction(action.get());
  action->EndLoading();
  EXPECT_EQ(own->Caption(), "Vlastní");
  EXPECT_FALSE(own->Enabled());
  EXPECT_EQ(own->Hint(), "Uloží zálohu");

  own->SetAction(nullptr);
  action->SetCaption("Jen první");
  EXPECT_EQ(own->Action(), nullptr);
  EXPECT_EQ(own->Caption(), "Vlastní");
  EXPECT_EQ(control->Caption(), "Jen první");
}

TEST(Actions, AClickRunsTheActionUnlessTheControlHasItsOwnOnClick) {
  TOwned<TCustomAction> action(new TCustomAction(nullptr));
  int executed = 0, clicked = 0;
  action->OnExecute = [&](TObject* sender) {
    EXPECT_EQ(sender, action.get());
    ++executed;
  };
  TOwned<TGraphicControl> control(new TGraphicControl(nullptr));
  control->SetAction(action.get());
  control->Click();
  EXPECT_EQ(executed, 1);
  control->OnClick = [&](TObject*) { ++clicked; };
  control->Click();
  EXPECT_EQ(executed, 1);
  EXPECT_EQ(clicked, 1);
  TOwned<TBasicAction> bare(new TBasicAction(nullptr));
  EXPECT_FALSE(bare->Execute());  // nothing to run
}

TEST(Actions, FreedActionsListsAndImagesLeaveNoReferenceBehind) {
  TOwned<TImageList> images(new TImageList(nullptr));
  TOwned<TActionList> list(new TActionList(nullptr));
  list->SetImages(images.get());
  TOwned<TCustomAction> action(new TCustomAction(nullptr));
  TOwned<TCustomAction> other(new TCustomAction(nullptr));
  action->SetActionList(list.get());
  other->SetActionList(list.get());
  ASSERT_EQ(list->ActionCount(), 2);
  other.reset();
  EXPECT_EQ(list->ActionCount(), 1);
  EXPECT_EQ(list->Actions(0), action.get());
  images.reset();
  EXPECT_EQ(list->Images(), nullptr);
  list.reset();
  EXPECT_EQ(action->ActionList(), nullptr);

  TOwned<TGraphicControl> control(new TGraphicControl(nullptr));
  {
    TOwned<TGraphicControl> gone(new TGraphicControl(nullptr));
    gone->SetAction(action.get());
    control->SetAction(action.get());
  }
  action->SetCaption("Po odpojení");  // the freed control's link is gone from the action
  EXPECT_EQ(control->Caption(), "Po odpojení");
  action.reset();
  EXPECT_EQ(control->Action(), nullptr);
  control->Click();  // nothing to run, nothing touched
}

}  // namespace
