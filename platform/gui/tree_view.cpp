// TTreeView and its nodes: the visible nodes become the list's rows again
// whenever a shown node expands or collapses.
#include "platform/gui/tree_view.h"

#include "platform/gui/canvas.h"
#include "platform/gui/colors.h"

namespace {
constexpr int kButtonSize = 9;

bool IsBelow(const TTreeNode* node, const TTreeNode* ancestor) {
  for (const TTreeNode* n = node ? node->Parent() : nullptr; n; n = n->Parent())
    if (n == ancestor) return true;
  return false;
}
}  // namespace

// --- TTreeNode -------------------------------------------------------------------------------

TTreeNode* TTreeNode::Find(const AnsiString& text) const {
  for (const auto& child : children_)
    if (child->text_ == text) return child.get();
  return nullptr;
}

void TTreeNode::SetHasChildren(bool value) {
  hasChildren_ = value;
  tree_->Invalidate();
}

void TTreeNode::SetExpanded(bool value) {
  if (value == expanded_) return;
  bool selectionMoved = false;
  if (value) {
    if (!tree_->AskExpanding(this)) return;
    // Nothing came: the node has no children after all and loses its button.
    if (children_.empty()) {
      hasChildren_ = false;
      tree_->Invalidate();
      return;
    }
  } else if (IsBelow(tree_->selected_, this)) {
    tree_->selected_ = this;
    selectionMoved = true;
  }
  expanded_ = value;
  if (Visible()) tree_->Rebuild();
  if (selectionMoved) tree_->SelectionChanged();
}

void TTreeNode::DeleteChildren() {
  const bool selectionMoved = IsBelow(tree_->selected_, this);
  if (selectionMoved) tree_->selected_ = this;
  children_.clear();
  expanded_ = false;
  if (Visible()) tree_->Rebuild();
  if (selectionMoved) tree_->SelectionChanged();
}

// --- TTreeView -------------------------------------------------------------------------------

TTreeView::TTreeView(TComponent* owner) : TCustomListBox(owner) {}

TTreeView::~TTreeView() = default;

TTreeNode* TTreeView::AddChild(TTreeNode* parent, const AnsiString& text) {
  auto& list = parent ? parent->children_ : roots_;
  list.push_back(std::unique_ptr<TTreeNode>(new TTreeNode(this, parent, text)));
  TTreeNode* node = list.back().get();
  if (node->Visible()) Rebuild();
  else if (parent && parent->Visible()) Invalidate();  // its button
  return node;
}

void TTreeView::ClearNodes() {
  const bool hadSelection = selected_;
  selected_ = nullptr;
  roots_.clear();
  Rebuild();
  if (hadSelection) SelectionChanged();
}

TTreeNode* TTreeView::Selected() const { return selected_; }

void TTreeView::SetSelected(TTreeNode* node) {
  std::vector<TTreeNode*> parents;
  for (TTreeNode* p = node ? node->parent_ : nullptr; p; p = p->parent_) parents.insert(parents.begin(), p);
  for (TTreeNode* p : parents) p->Expand();
  const bool changed = node != selected_;
  selected_ = node;
  Rebuild();
  if (changed) SelectionChanged();
}

TTreeNode* TTreeView::NodeAt(int row) const { return static_cast<TTreeNode*>(Items()->Objects(row)); }

void TTreeView::Rebuild() {
  Items()->BeginUpdate();
  Items()->Clear();
  AddRows(roots_);
  Items()->EndUpdate();
  int row = -1;
  for (int i = 0; i < Count() && row < 0; ++i)
    if (NodeAt(i) == selected_) row = i;
  SetItemIndex(row);
}

void TTreeView::AddRows(const std::vector<std::unique_ptr<TTreeNode>>& nodes) {
  for (const auto& node : nodes) {
    Items()->AddObject(node->text_, node.get());
    if (node->expanded_) AddRows(node->children_);
  }
}

bool TTreeView::AskExpanding(TTreeNode* node) {
  bool allow = true;
  if (OnExpanding) OnExpanding(this, node, allow);
  return allow;
}

void TTreeView::SelectionChanged() {
  if (OnChange) OnChange(this, selected_);
}

TRect TTreeView::ButtonRect(int row) const {
  const TRect r = ItemRect(row);
  const int left = r.Left + NodeAt(row)->Level() * kIndent + (kIndent - kButtonSize) / 2;
  const int top = r.Top + (r.Height() - kButtonSize) / 2;
  return Rect(left, top, left + kButtonSize, top + kButtonSize);
}

void TTreeView::DrawItem(int index, TRect rect, TOwnerDrawState state) {
  if (index < 0) return TCustomListBox::DrawItem(index, rect, state);
  const TTreeNode* node = NodeAt(index);
  const int textLeft = rect.Left + (node->Level() + 1) * kIndent;
  TCanvas* c = Canvas();
  // The indent and the button stand on the list's colour, selected or not.
  const TColor rowColour = c->Brush()->Color();
  c->Brush()->SetColor(Color());
  c->FillRect(Rect(rect.Left, rect.Top, textLeft, rect.Bottom));
  if (node->HasChildren()) {
    const TRect b = ButtonRect(index);
    c->Pen()->SetColor(clBtnShadow);
    c->Rectangle(b);
    c->Pen()->SetColor(clWindowText);
    const int midX = b.Left + kButtonSize / 2, midY = b.Top + kButtonSize / 2;
    c->MoveTo(b.Left + 2, midY);
    c->LineTo(b.Right - 2, midY);
    if (!node->Expanded()) {
      c->MoveTo(midX, b.Top + 2);
      c->LineTo(midX, b.Bottom - 2);
    }
  }
  c->Brush()->SetColor(rowColour);
  rect.Left = textLeft;
  TCustomListBox::DrawItem(index, rect, state);
}

bool TTreeView::WantsKey(WORD key) const {
  return key == VK_LEFT || key == VK_RIGHT || TCustomListBox::WantsKey(key);
}

void TTreeView::KeyDown(WORD& key, TShiftState shift) {
  TTreeNode* node = selected_;
  if (!node || (key != VK_LEFT && key != VK_RIGHT && key != VK_ADD && key != VK_SUBTRACT))
    return TCustomListBox::KeyDown(key, shift);
  TCustomControl::KeyDown(key, shift);  // OnKeyDown may take the key
  if (key == VK_RIGHT) {
    if (!node->Expanded())
      node->Expand();
    else if (node->Count())
      SetSelected(node->Item(0));
  } else if (key == VK_LEFT) {
    if (node->Expanded())
      node->Collapse();
    else if (node->Parent())
      SetSelected(node->Parent());
  } else if (key == VK_ADD) {
    node->Expand();
  } else if (key == VK_SUBTRACT) {
    node->Collapse();
  }
  key = 0;
}

void TTreeView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  const int row = ItemAtPos(Point(x, y), true);
  TTreeNode* onButton = nullptr;
  if (button == mbLeft && !(shift & ssDouble) && row >= 0 && NodeAt(row)->HasChildren()) {
    const int left = ItemRect(row).Left + NodeAt(row)->Level() * kIndent;
    if (x >= left && x < left + kIndent) onButton = NodeAt(row);
  }
  TCustomListBox::MouseDown(button, shift, x, y);
  if (onButton) onButton->SetExpanded(!onButton->Expanded());
}

void TTreeView::DblClick() {
  if (selected_ && selected_->HasChildren()) selected_->SetExpanded(!selected_->Expanded());
  TCustomListBox::DblClick();
}

void TTreeView::Click() {
  TTreeNode* node = ItemIndex() >= 0 ? NodeAt(ItemIndex()) : nullptr;
  if (node != selected_) {
    selected_ = node;
    SelectionChanged();
  }
  TCustomListBox::Click();
}
