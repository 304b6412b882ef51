// Menus: TMenuItem trees held by TMainMenu (a form's menu, whose shortcuts
// the form routes) and TPopupMenu (shown at a point; Popup runs until an
// item is chosen or the menu is dismissed). Every item measures and draws
// itself, through OnMeasureItem and OnDrawItem when they are set, so owner-
// drawn menus need nothing else. Shortcuts are key codes with modifier bits.
#pragma once

#include <vector>

#include "platform/gui/controls.h"

class TMenu;
class TImageList;

using TShortCut = WORD;
enum : TShortCut { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0 };
TShortCut ShortCut(WORD key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift);
// "Ctrl+S", "Shift+F5", "Del"; empty for none.
AnsiString ShortCutToText(TShortCut shortCut);
// The reverse; 0 for a text that is not a shortcut.
TShortCut TextToShortCut(const AnsiString& text);
// The letter after a single "&" in a caption, upper-cased; 0 when none.
char GetHotkey(const AnsiString& caption);
// The caption without its "&" marks ("&&" stays one "&").
AnsiString StripHotkey(const AnsiString& caption);

using TMenuMeasureItemEvent = std::function<void(TObject* sender, TCanvas* canvas, int& width, int& height)>;
using TMenuDrawItemEvent = std::function<void(TObject* sender, TCanvas* canvas, TRect rect, bool selected)>;

class TMenuItem : public TComponent {
public:
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  const AnsiString& Caption() const { return caption_; }
  void SetCaption(const AnsiString& caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  bool Default() const { return default_; }
  void SetDefault(bool value) { default_ = value; }
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool value) { radioItem_ = value; }
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value) { groupIndex_ = value; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int value) { imageIndex_ = value; }
  TShortCut ShortCut() const { return shortCut_; }
  void SetShortCut(TShortCut value);
  const AnsiString& Hint() const { return hint_; }
  void SetHint(const AnsiString& hint) { hint_ = hint; }
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }
  // A caption of "-" makes a separator line.
  bool IsLine() const { return caption_ == "-"; }

  int Count() const { return int(items_.size()); }
  TMenuItem* Items(int index) const { return items_.at(size_t(index)); }
  TMenuItem* Parent() const { return parent_; }
  int MenuIndex() const;
  int IndexOf(const TMenuItem* item) const;
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  // Takes the item out of this one (it is not freed).
  void Remove(TMenuItem* item);
  void Delete(int index) { Remove(Items(index)); }
  // Frees every sub-item.
  void Clear();
  // A sub-item by caption without "&" marks (case-insensitive); null when none.
  TMenuItem* Find(const AnsiString& caption) const;
  TMenu* GetParentMenu() const;

  virtual void Click();
  virtual void MeasureItem(TCanvas* canvas, int& width, int& height);
  virtual void DrawItem(TCanvas* canvas, TRect rect, bool selected);

  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TMenuDrawItemEvent OnDrawItem;

private:
  friend class TMenu;
  void Changed(bool rebuild);

  AnsiString caption_;
  bool checked_ = false, enabled_ = true, visible_ = true, default_ = false, radioItem_ = false;
  int groupIndex_ = 0, imageIndex_ = -1, tag_ = 0;
  TShortCut shortCut_ = 0;
  AnsiString hint_;
  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on the root item of a menu
};

class TMenu : public TComponent {
public:
  explicit TMenu(TComponent* owner);
  ~TMenu() override;
  TMenuItem* Items() const { return items_; }
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool value) { ownerDraw_ = value; }
  // Clicks the enabled item with this shortcut; false when there is none.
  virtual bool IsShortCut(WORD key, TShiftState shift);
  // The item with this shortcut anywhere in the tree, or null.
  TMenuItem* FindShortCut(TShortCut shortCut) const;

protected:
  friend class TMenuItem;
  // An item of the menu changed (rebuild: items came or went).
  virtual void MenuChanged(TObject* sender, TMenuItem* source, bool rebuild);
  void Notification(TComponent* component, TOperation operation) override;

private:
  TMenuItem* items_;
  TImageList* images_ = nullptr;
  bool ownerDraw_ = false;
};

// Shows the sub-items of parent as a popup list at the screen point and
// handles the mouse and keys until one is chosen (returned, not clicked) or
// the list is dismissed (null). Popup and the tool bar's drop-downs use it.
TMenuItem* TrackMenu(TMenuItem* parent, int x, int y);

class TMainMenu : public TMenu {
public:
  using TMenu::TMenu;
};

class TPopupMenu : public TMenu {
public:
  explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}
  bool AutoPopup() const { return autoPopup_; }
  void SetAutoPopup(bool value) { autoPopup_ = value; }
  TComponent* PopupComponent() const { return popupComponent_; }
  void SetPopupComponent(TComponent* component) { popupComponent_ = component; }
  // Shows the menu with its top-left corner at the screen point and handles
  // the mouse and keys until an item is chosen (it is clicked and returned)
  // or the menu is dismissed (null).
  virtual TMenuItem* Popup(int x, int y);

  TNotifyEvent OnPopup;

private:
  bool autoPopup_ = true;
  TComponent* popupComponent_ = nullptr;
};
