// MDI forms: the client window below the parent's aligned controls, the
// children's activation (shown, clicked, next, gone) with the menu refresh
// that follows it, a child dragged by its caption, maximized and minimized
// children, and the client's own tile and cascade.
#include <gtest/gtest.h>

#include "platform/gui/std_controls.h"
#include "tests/platform/gui/comp_test_support.h"

namespace {

class MDITest : public ::testing::Test {
protected:
  void SetUp() override {
    previousMain_ = Application->MainForm();
    parent_ = new TForm(Application);
    parent_->SetFormStyle(fsMDIForm);
    parent_->SetBounds(40, 40, 520, 400);
    auto* band = new TPanel(parent_);
    band->SetParent(parent_);
    band->SetAlign(alTop);
    band->SetHeight(30);
    Application->SetMainForm(parent_);
    parent_->Show();
    client_ = parent_->ClientHandle();
    // Counts the menu refreshes a hook on the client would see.
    refreshes_ = 0;
    ownProc_ = WNDPROC(SetWindowLongPtrA(client_, GWLP_WNDPROC, LONG_PTR(&Counting)));
  }
  void TearDown() override {
    for (TForm* child : children_) child->Free();
    parent_->Free();
    Application->SetMainForm(previousMain_);
  }
  static LRESULT Counting(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_MDIREFRESHMENU) ++refreshes_;
    return CallWindowProcA(ownProc_, h, msg, w, l);
  }
  TForm* Child(int left) {
    auto* child = new TForm(Application);
    child->SetFormStyle(fsMDIChild);
    child->SetBounds(left, 20, 200, 120);
    child->Show();
    Application->ProcessMessages();
    children_.push_back(child);
    return child;
  }
  RECT ClientArea() const {
    RECT r;
    GetClientRect(client_, &r);
    return r;
  }

  TForm* parent_ = nullptr;
  HWND client_ = 0;
  std::vector<TForm*> children_;
  TCustomForm* previousMain_ = nullptr;
  static inline WNDPROC ownProc_ = nullptr;
  static inline int refreshes_ = 0;
};

TEST(MDI, AChildNeedsAnMDIMainForm) {
  TForm form(nullptr);
  EXPECT_THROW(form.SetFormStyle(fsMDIChild), EInvalidOperation);
  EXPECT_EQ(form.FormStyle(), fsNormal);
  EXPECT_EQ(form.ClientHandle(), HWND(0));
}

TEST_F(MDITest, ClientWindowFillsWhatTheAlignedControlsLeave) {
  RECT r;
  GetWindowRect(client_, &r);
  const TPoint origin = parent_->ClientToScreen(Point(0, 30));
  EXPECT_EQ(r.Left, origin.X);
  EXPECT_EQ(r.Top, origin.Y);
  EXPECT_EQ(r.Width(), parent_->ClientWidth());
  EXPECT_EQ(r.Height(), parent_->ClientHeight() - 30);
}

TEST_F(MDITest, ActivationFollowsShowingClickingNextAndGoing) {
  TForm* first = Child(10);
  TForm* second = Child(250);
  EXPECT_EQ(parent_->MDIChildCount(), 2);
  EXPECT_EQ(parent_->ActiveMDIChild(), second);
  EXPECT_EQ(HWND(SendMessageA(client_, WM_MDIGETACTIVE, 0, 0)), second->Handle());
  EXPECT_TRUE(second->Active());
  EXPECT_FALSE(first->Active());
  EXPECT_EQ(refreshes_, 2);

  ClickOn(first);
  Application->ProcessMessages();
  EXPECT_EQ(parent_->ActiveMDIChild(), first);
  EXPECT_EQ(parent_->MDIChildren(0), first);
  EXPECT_TRUE(first->Active());
  EXPECT_FALSE(second->Active());
  EXPECT_EQ(refreshes_, 3);

  parent_->Next();
  EXPECT_EQ(parent_->ActiveMDIChild(), second);
  EXPECT_EQ(parent_->MDIChildren(1), first);

  children_.pop_back();
  second->Free();
  EXPECT_EQ(parent_->MDIChildCount(), 1);
  EXPECT_EQ(parent_->ActiveMDIChild(), first);
  EXPECT_TRUE(first->Active());
}

TEST_F(MDITest, DraggingTheCaptionMovesAChildInsideTheClient) {
  TForm* child = Child(10);
  const TPoint caption = child->ClientToScreen(Point(40, -8));
  HeadlessMouseDown(caption.X, caption.Y);
  HeadlessMouseMove(caption.X + 30, caption.Y + 20);
  HeadlessMouseUp(caption.X + 30, caption.Y + 20);
  Application->ProcessMessages();
  EXPECT_EQ(child->BoundsRect(), Rect(40, 40, 240, 160));
}

TEST_F(MDITest, MaximizedChildCoversTheClientAndMinimizedOnesLineTheBottom) {
  TForm* child = Child(10);
  TForm* other = Child(250);
  child->SetWindowState(wsMaximized);
  EXPECT_EQ(child->WindowState(), wsMaximized);
  EXPECT_EQ(child->ClientWidth(), ClientArea().Right);
  EXPECT_EQ(child->ClientHeight(), ClientArea().Bottom);
  EXPECT_TRUE(HWND(SendMessageA(client_, WM_MDIGETACTIVE, 0, 0)) == child->Handle());
  child->SetWindowState(wsNormal);
  EXPECT_EQ(child->BoundsRect(), Rect(10, 20, 210, 140));

  other->SetWindowState(wsMinimized);
  child->SetWindowState(wsMinimized);
  const int bottom = ClientArea().Bottom;
  EXPECT_EQ(other->BoundsRect(), Rect(0, bottom - 25, 160, bottom));
  EXPECT_EQ(child->BoundsRect(), Rect(160, bottom - 25, 320, bottom));
  other->SetWindowState(wsNormal);
  EXPECT_EQ(other->BoundsRect(), Rect(250, 20, 450, 140));
}

TEST_F(MDITest, ClientTilesAboveTheIconRowAndCascades) {
  TForm* minimized = Child(10);
  TForm* lower = Child(20);
  TForm* upper = Child(30);
  minimized->SetWindowState(wsMinimized);
  const RECT area = ClientArea();
  const int height = area.Bottom - 25;
  parent_->SetTileMode(tbVertical);
  parent_->Tile();
  EXPECT_EQ(lower->BoundsRect(), Rect(0, 0, area.Right / 2, height));
  EXPECT_EQ(upper->BoundsRect(), Rect(area.Right / 2, 0, area.Right, height));
  parent_->SetTileMode(tbHorizontal);
  parent_->Tile();
  EXPECT_EQ(lower->BoundsRect(), Rect(0, 0, area.Right, height / 2));
  EXPECT_EQ(upper->BoundsRect(), Rect(0, height / 2, area.Right, height));
  parent_->Cascade();
  const int step = GetSystemMetrics(SM_CYCAPTION) + 4;
  EXPECT_EQ(lower->BoundsRect(), Rect(0, 0, area.Right * 3 / 4, area.Bottom * 3 / 4));
  EXPECT_EQ(upper->BoundsRect().Left, step);
  EXPECT_EQ(minimized->WindowState(), wsMinimized);
}

}  // namespace
