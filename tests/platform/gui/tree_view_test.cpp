// The tree view on a shown form: nodes filled on their first expansion, the
// keys that expand, collapse and step, the button and the double click, and
// the selection when its branch is folded away.
#include <gtest/gtest.h>

#include "platform/gui/forms.h"
#include "platform/gui/tree_view.h"
#include "tests/platform/gui/comp_test_support.h"

namespace {

using Names = std::vector<AnsiString>;

struct TreeView : ::testing::Test {
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetBounds(50, 50, 300, 300);
    tree = new TTreeView(form);
    tree->SetParent(form);
    tree->SetBounds(10, 10, 200, 200);
    // Every node may have children until it is opened; "a" nodes get two.
    tree->OnExpanding = [this](TObject*, TTreeNode* node, bool& allow) {
      if (node->Text() == "locked") allow = false;
      if (node->Count() || node->Text()[0] != 'a') return;
      for (const char* name : {"1", "2"}) tree->AddChild(node, node->Text() + name)->SetHasChildren(true);
    };
    tree->OnChange = [this](TObject*, TTreeNode* node) { changes.push_back(node ? node->Text() : "<none>"); };
    for (const char* name : {"a", "b", "locked"}) tree->AddChild(nullptr, name)->SetHasChildren(true);
    form->Show();
    tree->SetFocus();
    Application->ProcessMessages();
  }
  void TearDown() override { form->Free(); }
  Names Rows() const {
    Names rows;
    for (int i = 0; i < tree->Count(); ++i) rows.push_back(tree->Items()->Strings(i));
    return rows;
  }
  void Key(int vk) {
    PressKey(vk);
    Application->ProcessMessages();
  }
  // A point in the row, at x pixels from its left edge.
  void ClickRow(int row, int x, bool twice = false) {
    const TPoint p = tree->ClientToScreen(Point(tree->ItemRect(row).Left + x, tree->ItemRect(row).Top + 4));
    HeadlessClick(p.X, p.Y);
    if (twice) HeadlessClick(p.X, p.Y);
    Application->ProcessMessages();
  }

  TForm* form = nullptr;
  TTreeView* tree = nullptr;
  Names changes;
};

TEST_F(TreeView, KeysExpandCollapseAndStepAndNodesFillOnce) {
  tree->SetSelected(tree->Root(0));
  Key(VK_RIGHT);  // opens "a", filled now
  EXPECT_EQ(Rows(), (Names{"a", "a1", "a2", "b", "locked"}));
  Key(VK_RIGHT);  // steps into it
  Key(VK_DOWN);
  Key(VK_RIGHT);  // "a2" opens as well
  EXPECT_EQ(Rows(), (Names{"a", "a1", "a2", "a21", "a22", "b", "locked"}));
  Key(VK_LEFT);   // closes "a2"
  Key(VK_LEFT);   // steps to the parent
  EXPECT_EQ(tree->Selected(), tree->Root(0));
  Key(VK_SUBTRACT);
  Key(VK_ADD);    // opened again without being filled again
  EXPECT_EQ(Rows(), (Names{"a", "a1", "a2", "b", "locked"}));
  EXPECT_EQ(tree->Root(0)->Count(), 2);
  EXPECT_EQ(changes, (Names{"a", "a1", "a2", "a"}));

  // "b" gets nothing and loses its button; "locked" refuses to open.
  tree->SetSelected(tree->Root(1));
  Key(VK_RIGHT);
  EXPECT_FALSE(tree->Root(1)->HasChildren());
  tree->SetSelected(tree->Root(2));
  Key(VK_RIGHT);
  EXPECT_FALSE(tree->Root(2)->Expanded());
  EXPECT_TRUE(tree->Root(2)->HasChildren());
  EXPECT_EQ(Rows(), (Names{"a", "a1", "a2", "b", "locked"}));
}

TEST_F(TreeView, SelectingADeepNodeOpensItsBranchAndFoldingItAwaySelectsTheFold) {
  TTreeNode* a = tree->Root(0);
  a->Expand();
  a->Item(1)->Expand();
  TTreeNode* deep = a->Item(1)->Item(0);
  a->Collapse();
  tree->SetSelected(deep);
  EXPECT_EQ(tree->ItemIndex(), 3);
  EXPECT_EQ(Rows(), (Names{"a", "a1", "a2", "a21", "a22", "b", "locked"}));
  a->Collapse();
  EXPECT_EQ(tree->Selected(), a);
  EXPECT_EQ(tree->ItemIndex(), 0);
  EXPECT_EQ(changes, (Names{"a21", "a"}));
  a->DeleteChildren();
  tree->ClearNodes();
  EXPECT_EQ(tree->Count(), 0);
  EXPECT_EQ(changes.back(), "<none>");
}

TEST_F(TreeView, TheButtonTogglesAClickOnTheTextSelectsAndADoubleClickToggles) {
  ClickRow(0, 8);  // on the button: opens and selects
  EXPECT_EQ(Rows(), (Names{"a", "a1", "a2", "b", "locked"}));
  ClickRow(1, 40);  // on "a1"'s text: selects only
  EXPECT_EQ(tree->Selected(), tree->Root(0)->Item(0));
  EXPECT_FALSE(tree->Root(0)->Item(0)->Expanded());
  ClickRow(2, 40, true);  // a double click on "a2" opens it
  EXPECT_TRUE(tree->Root(0)->Item(1)->Expanded());
  ClickRow(0, 8);  // closes "a", and the selection comes up to it
  EXPECT_EQ(Rows(), (Names{"a", "b", "locked"}));
  EXPECT_EQ(tree->Selected(), tree->Root(0));
}

}  // namespace
