// TsuiTitleBar: the painted caption strip of a skinned window. It composes
// its background from picture sections, draws the caption buttons in three
// mouse states, the program's icon and the caption, moves the window when
// dragged, maximizes on a double click and opens a system menu. On a
// skinned frame it also hands the frame its full-width title picture.
#pragma once

#include <memory>
#include <vector>

#include "platform/gui/std_controls.h"
#include "skin/skin_menus.h"

class TBitmap;
class TsuiFileTheme;
class TsuiTitleBar;

enum TsuiTitleBarBtnType { suiMax, suiMin, suiClose, suiHelp, suiControlBox, suiCustom };
enum TsuiTitleBarAlign { suiLeft, suiRight, suiClient };

using TsuiTitleBarButtonClickEvent = std::function<void(TObject* sender, int buttonIndex)>;
using TsuiTitleBarButtonClickEvent2 = std::function<void(TObject* sender, bool& allow)>;

class TsuiTitleBarButton {
public:
  explicit TsuiTitleBarButton(TsuiTitleBar* bar);
  ~TsuiTitleBarButton();

  bool Visible = true;
  bool Transparent = false;
  int Top = 2;
  TPopupMenu* ControlBoxMenu = nullptr;
  TsuiTitleBarBtnType ButtonType() const { return type_; }
  // A second control box is refused with a message box.
  void SetButtonType(TsuiTitleBarBtnType type);
  TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TsuiUIStyle style);
  TBitmap* PicNormal() const { return pics_[0].get(); }
  TBitmap* PicMouseOn() const { return pics_[1].get(); }
  TBitmap* PicMouseDown() const { return pics_[2].get(); }
  // All three pictures hold an image.
  bool HasPictures() const;
  void UpdateGlyphs();
  void UpdateMaxGlyphs();
  void Execute();
  void Assign(const TsuiTitleBarButton& other);

private:
  void LoadFrames(int first);
  TsuiTitleBar* bar_;
  TsuiTitleBarBtnType type_ = suiCustom;
  TsuiUIStyle uiStyle_ = DeepBlue;
  std::unique_ptr<TBitmap> pics_[3];
};

// One picture piece of the bar's background; any change repaints the bar.
// Width, Stretch and AutoSize are kept for stored data: drawing goes by the
// picture's size and the alignment.
class TsuiTitleBarSection {
public:
  explicit TsuiTitleBarSection(TsuiTitleBar* bar);
  ~TsuiTitleBarSection();

  int Width() const { return width_; }
  void SetWidth(int value);
  TsuiTitleBarAlign Align() const { return align_; }
  // A second client section is refused with a message box.
  void SetAlign(TsuiTitleBarAlign value);
  // Always set for a client section.
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool AutoSize() const { return autoSize_; }
  // Either value takes the picture's width, when there is a picture.
  void SetAutoSize(bool value);
  bool CapSec() const { return capSec_; }
  void SetCapSec(bool value);
  TBitmap* Picture() const { return picture_.get(); }
  void SetPicture(const TBitmap* value);
  // Width, alignment, picture, stretch and auto size.
  void Assign(const TsuiTitleBarSection& other);

private:
  void Changed();
  TsuiTitleBar* bar_;
  int width_ = 10;
  TsuiTitleBarAlign align_ = suiLeft;
  bool stretch_ = false, autoSize_ = false, capSec_ = false;
  std::unique_ptr<TBitmap> picture_;
};

// The system menu: minimize, maximize or restore, close.
class TsuiTitleBarPopupMenu : public TsuiPopupMenu {
public:
  explicit TsuiTitleBarPopupMenu(TsuiTitleBar* bar);
  TMenuItem* Popup(int x, int y) override;

private:
  TsuiTitleBar* bar_;
  TMenuItem *minimize_, *maximize_, *close_;
};

class TsuiTitleBar : public TCustomPanel {
public:
  explicit TsuiTitleBar(TComponent* owner);
  ~TsuiTitleBar() override;

  bool Custom() const { return custom_; }
  void SetCustom(bool value) { custom_ = value; }
  TsuiUIStyle UIStyle() const { return uiStyle_; }
  void SetUIStyle(TsuiUIStyle value);
  TsuiFileTheme* FileTheme() const { return fileTheme_; }
  void SetFileTheme(TsuiFileTheme* value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  int ButtonCount() const { return int(buttons_.size()); }
  TsuiTitleBarButton* Buttons(int index) const { return buttons_.at(size_t(index)).get(); }
  TsuiTitleBarButton* AddButton();
  void ClearButtons() { buttons_.clear(); }
  int SectionCount() const { return int(sections_.size()); }
  TsuiTitleBarSection* Sections(int index) const { return sections_.at(size_t(index)).get(); }
  TsuiTitleBarSection* AddSection();
  void ClearSections() { sections_.clear(); }
  int ButtonInterval() const { return buttonInterval_; }
  void SetButtonInterval(int value);
  bool FormActive() const { return formActive_; }
  void SetFormActive(bool value);
  int LeftBtnXOffset() const { return leftBtnXOffset_; }
  int RightBtnXOffset() const { return rightBtnXOffset_; }
  bool DrawAppIcon() const { return drawAppIcon_; }
  void SetDrawAppIcon(bool value);
  int RoundCorner() const { return roundCorner_; }
  void SetRoundCorner(int value) { roundCorner_ = value; }
  int RoundCornerBottom() const { return roundCornerBottom_; }
  void SetRoundCornerBottom(int value) { roundCornerBottom_ = value; }
  TColor InactiveCaptionColor() const { return inactiveCaptionColor_; }
  void SetInactiveCaptionColor(TColor value);

  // -1: the full title picture; -2: the same over the form colour; else the
  // section's picture when there are more than two sections.
  void GetSectionBitmap(int index, TBitmap*& bitmap) const;
  bool HasFrameSections() const { return sections_.size() == 3 || sections_.size() == 5; }
  bool IsOnSkinnedForm() const;
  void PaintNow() { Paint(); }
  // The hot button after the last paint (-1 for none).
  int HotButton() const { return hotButton_; }
  const AnsiString& CaptionSectionText() const { return captionSectionText_; }
  TsuiTitleBarPopupMenu* SystemMenu() const { return systemMenu_; }
  // Where caption buttons were drawn in the last paint, by button index
  // (empty for those not drawn): what the mouse is tested against.
  const std::vector<TRect>& ButtonRects() const { return buttonRects_; }
  // The caption as drawn in the last paint.
  const AnsiString& DrawnCaption() const { return drawnCaption_; }
  // Runs the first visible button of the type; false when there is none.
  bool ExecuteButtonOf(TsuiTitleBarBtnType type);
  bool HasVisibleButton(TsuiTitleBarBtnType type) const;
  TCustomForm* ParentForm() const;
  // The system menu at a screen point.
  void PopupSystemMenu(int x, int y);

  TsuiTitleBarButtonClickEvent OnCustomBtnsClick;
  TsuiTitleBarButtonClickEvent OnHelpBtnClick;
  TsuiTitleBarButtonClickEvent2 OnMinClick;
  TsuiTitleBarButtonClickEvent2 OnMaxClick;

protected:
  virtual void DrawSections(TBitmap* bitmap);
  virtual void DrawButtonsAndCaption(TBitmap* bitmap);
  void WndProc(TMessage& message) override;
  void Paint() override;
  void DblClick() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void BuildSkinSections();
  void BuildBuiltInSections(TsuiUIStyle style);
  int BorderQuery() const;
  void DrawCaption(TCanvas* canvas, int x, int right);

  bool custom_ = false;
  TsuiFileTheme* fileTheme_ = nullptr;
  TsuiUIStyle uiStyle_ = DeepBlue;
  bool autoSize_ = false;
  std::vector<std::unique_ptr<TsuiTitleBarSection>> sections_;
  std::vector<std::unique_ptr<TsuiTitleBarButton>> buttons_;
  int buttonInterval_ = 0;
  bool formActive_ = true;
  int leftBtnXOffset_ = 0, rightBtnXOffset_ = 0;
  bool drawAppIcon_ = true;
  int roundCorner_ = 0, roundCornerBottom_ = 0;
  TColor inactiveCaptionColor_ = clInactiveCaption;

  bool applyingTheme_ = false;
  TsuiTitleBarPopupMenu* systemMenu_;
  bool fiveSections_ = false;
  AnsiString captionSectionText_;
  std::unique_ptr<TBitmap> fullTitle_, fullTitleOnColor_;
  TColor titleBackColor_ = 0, titleTransColor_ = 0;
  bool pressed_ = false;
  int hotButton_ = -1;
  int buttonTop_ = 0, iconTop_ = 0, captionTop_ = 0;
  std::vector<TRect> buttonRects_;
  AnsiString drawnCaption_;
};
