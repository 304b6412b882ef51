// Tree view: nodes with texts under a root or more, shown as the rows of a
// list box (indented by level, a +/- button before a node that has or may
// have children), so scrolling, selection and the up/down keys are the list
// box's own. A node marked HasChildren shows its button before it has any:
// OnExpanding fills it on its first expansion, and a node still empty then
// loses its button. Right/Left (and + / -) expand and collapse or step to the
// first child or the parent; a click on the button or a double click on the
// row toggles a node. The list's rows belong to the tree: use the nodes.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/list_boxes.h"

class TTreeView;

class TTreeNode : public TObject {
public:
  const AnsiString& Text() const { return text_; }
  TTreeNode* Parent() const { return parent_; }
  int Count() const { return int(children_.size()); }
  TTreeNode* Item(int index) const { return children_.at(size_t(index)).get(); }
  // The child with this text, or null.
  TTreeNode* Find(const AnsiString& text) const;
  int Level() const { return parent_ ? parent_->Level() + 1 : 0; }
  bool HasChildren() const { return hasChildren_ || !children_.empty(); }
  void SetHasChildren(bool value);
  bool Expanded() const { return expanded_; }
  // Expanding asks OnExpanding first (which may fill the node or refuse);
  // collapsing a node that holds the selection selects the node itself.
  void Expand() { SetExpanded(true); }
  void Collapse() { SetExpanded(false); }
  void SetExpanded(bool value);
  void DeleteChildren();

private:
  friend class TTreeView;
  TTreeNode(TTreeView* tree, TTreeNode* parent, const AnsiString& text) : tree_(tree), parent_(parent), text_(text) {}
  bool Visible() const { return !parent_ || (parent_->expanded_ && parent_->Visible()); }

  TTreeView* tree_;
  TTreeNode* parent_;
  AnsiString text_;
  std::vector<std::unique_ptr<TTreeNode>> children_;
  bool hasChildren_ = false;
  bool expanded_ = false;
};

// allowExpansion false keeps the node collapsed.
using TTVExpandingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowExpansion)>;
using TTVChangedEvent = std::function<void(TObject* sender, TTreeNode* node)>;

class TTreeView : public TCustomListBox {
public:
  explicit TTreeView(TComponent* owner);
  ~TTreeView() override;

  // A new last child of parent (a new root without one).
  TTreeNode* AddChild(TTreeNode* parent, const AnsiString& text);
  int RootCount() const { return int(roots_.size()); }
  TTreeNode* Root(int index) const { return roots_.at(size_t(index)).get(); }
  void ClearNodes();
  TTreeNode* Selected() const;
  // Expands the node's parents and scrolls it into view.
  void SetSelected(TTreeNode* node);

  TTVExpandingEvent OnExpanding;
  // The selection changed, by the user or the program.
  TTVChangedEvent OnChange;

protected:
  void DrawItem(int index, TRect rect, TOwnerDrawState state) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void DblClick() override;
  void Click() override;
  bool WantsKey(WORD key) const override;

private:
  friend class TTreeNode;
  static constexpr int kIndent = 16;
  TTreeNode* NodeAt(int row) const;
  // Lays the visible nodes out as rows again, keeping the selected node.
  void Rebuild();
  void AddRows(const std::vector<std::unique_ptr<TTreeNode>>& nodes);
  // The +/- box of a row's node.
  TRect ButtonRect(int row) const;
  bool AskExpanding(TTreeNode* node);
  void SelectionChanged();

  std::vector<std::unique_ptr<TTreeNode>> roots_;
  TTreeNode* selected_ = nullptr;
};
