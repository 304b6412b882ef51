// The speed button: a windowless push button with a picture and a caption
// that can stay down in a group, be flat (raised only under the mouse), be
// transparent, open a drop-down menu and repeat its click while held. Its
// picture (TUtlButtonGlyph) turns one source bitmap into the images of the
// five states, kept in lists shared by all pictures of the same size.
#pragma once

#include <memory>

#include "platform/gui/controls.h"
#include "platform/gui/forms.h"
#include "platform/gui/std_controls.h"
#include "util/components/glyph_cache.h"

class TBitmap;
class TCanvas;
class TPopupMenu;
class TTimer;

// The arrow part of a menu-style button (styled_speed_button.h) uses the fifth value as sbMenuDown.
enum TSpeedButtonState { sbUp, sbDisabled, sbDown, sbLatched, sbInactive, sbMenuDown = sbInactive };
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum TUtlDropDownMenuPos { dmpBottom, dmpRight };

// Where ComputeLayout puts the picture and the caption.
struct TUtlGlyphLayout {
  TPoint Picture;
  TRect Text;
  AnsiString Caption;
};

class TUtlButtonGlyph {
public:
  TUtlButtonGlyph();
  ~TUtlButtonGlyph();
  TUtlButtonGlyph(const TUtlButtonGlyph&) = delete;
  TUtlButtonGlyph& operator=(const TUtlButtonGlyph&) = delete;

  TBitmap* Glyph() const { return source_.get(); }
  // Takes a copy; a source whose width is a multiple of its height sets
  // NumGlyphs (1 when the quotient exceeds 5).
  void AssignGlyph(TBitmap* bitmap);
  int NumGlyphs() const { return numGlyphs_; }
  void SetImageCount(int count);
  TColor MaskColor() const { return maskColor_; }
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value) { wordWrap_ = value; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value) { alignment_ = value; }
  void ReleaseImages();

  // The position of the state's image in ImageStore, built on first need; -1 without a picture.
  int StateImage(TSpeedButtonState state);
  TUtlGlyphList* ImageStore() const { return images_.List(); }
  // The same for image Index of Images, in the list of that image size; -1
  // when the list is empty or has no size. A pressed button shows it as up.
  int StateImageFromList(TSpeedButtonState state, TImageList* images, int index);
  // The picture is image Index of Images when that is a valid image of a
  // sized list, else the glyph.
  TUtlGlyphLayout ComputeLayout(TCanvas* canvas, const TRect& client, const AnsiString& caption, TButtonLayout layout,
                                int margin, int spacing, bool popupMark, unsigned textFlags,
                                TImageList* images = nullptr, int index = -1);
  // Picture, caption and drop-down mark; returns the caption's rectangle.
  TRect DrawContent(TCanvas* canvas, const TRect& client, const AnsiString& caption, TButtonLayout layout, int margin,
                    int spacing, bool popupMark, TSpeedButtonState state, unsigned textFlags) {
    return DrawContentEx(canvas, client, caption, layout, margin, spacing, popupMark, state, textFlags, nullptr, -1);
  }
  TRect DrawContentEx(TCanvas* canvas, const TRect& client, const AnsiString& caption, TButtonLayout layout,
                      int margin, int spacing, bool popupMark, TSpeedButtonState state, unsigned textFlags,
                      TImageList* images, int index);

  TNotifyEvent OnGlyphChange;

private:
  void GlyphBitmapChanged();
  TPoint PictureSize(TImageList* images, int index) const;
  // Draws the picture of the state at Pos: from the list when it is valid, else the glyph; returns its size.
  TPoint DrawPicture(TCanvas* canvas, TPoint pos, TSpeedButtonState state, TImageList* images, int index);

  std::unique_ptr<TBitmap> source_;
  TUtlStateImages images_;
  TColor maskColor_ = clFuchsia;
  int numGlyphs_ = 1;
  bool wordWrap_ = false;
  TAlignment alignment_ = taCenter;
};

class TUtlSpeedButton : public TGraphicControl {
public:
  explicit TUtlSpeedButton(TComponent* owner);
  ~TUtlSpeedButton() override;

  TUtlButtonGlyph* ButtonGlyph() const { return glyph_.get(); }
  TBitmap* Glyph() const { return glyph_->Glyph(); }
  void SetGlyph(TBitmap* value);
  int NumGlyphs() const { return glyph_->NumGlyphs(); }
  void SetNumGlyphs(int value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);
  bool Down() const { return down_; }
  void SetDown(bool value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value) { Store(flat_, value); }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value) { Store(transparent_, value); }
  bool GrayedInactive() const { return grayedInactive_; }
  void SetGrayedInactive(bool value) { Store(grayedInactive_, value); }
  bool MarkDropDown() const { return markDropDown_; }
  void SetMarkDropDown(bool value) { Store(markDropDown_, value); }
  TButtonStyle Style() const { return style_; }
  void SetStyle(TButtonStyle value) { Store(style_, value); }
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value) { Store(layout_, value); }
  int Spacing() const { return spacing_; }
  void SetSpacing(int value) { Store(spacing_, value); }
  int Margin() const { return margin_; }
  void SetMargin(int value);
  TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
  void SetDropDownMenu(TPopupMenu* value);
  TUtlDropDownMenuPos MenuPosition() const { return menuPosition_; }
  void SetMenuPosition(TUtlDropDownMenuPos value) { menuPosition_ = value; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }
  bool AllowTimer() const { return allowTimer_; }
  void SetAllowTimer(bool value);
  unsigned InitPause() const { return initPause_; }
  void SetInitPause(unsigned ms) { initPause_ = ms; }
  unsigned RepeatInterval() const { return repeatInterval_; }
  void SetRepeatInterval(unsigned ms) { repeatInterval_ = ms; }
  TSpeedButtonState State() const { return state_; }
  bool Hovered() const { return hovered_; }
  void SetEnabled(bool value) override;

  void Click() override;
  // Shows the drop-down menu at the anchor (client coordinates); false when
  // there is none, or it neither pops up by itself nor was asked for.
  bool TryDropDownMenu(TPoint anchor, bool manual);

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  // The notice the buttons of a group send each other.
  static constexpr UINT kGroupNotice = 45137;

protected:
  void Paint() override;
  virtual void PaintContent(TCanvas* canvas, const TRect& r, TSpeedButtonState state, bool drawMark);
  virtual void MouseEntered();
  virtual void MouseLeft();
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;
  // In a group Down follows the action's check mark; a button without a
  // glyph takes the action's picture from its list.
  void ActionChange(TObject* sender, bool checkDefaults) override;

private:
  template <class T>
  void Store(T& field, T value) {
    if (field == value) return;
    field = value;
    Invalidate();
  }
  bool Inside(int x, int y) const { return x >= 0 && x < Width() && y >= 0 && y <= Height(); }
  void NotifyGroup();
  void GroupNoticeArrived(TUtlSpeedButton* sender);
  void FinishPress(TMouseButton button, int x, int y);
  void RepeatTimerFired();
  void StopRepeat();
  void RefreshHover();
  void SetHovered(bool value);
  TPoint MenuAnchor() const;
  TRect DrawBorder(TCanvas* canvas, const TRect& client, bool isDown) const;
  void BuildCurrentImage();

  std::unique_ptr<TUtlButtonGlyph> glyph_;
  std::unique_ptr<TBitmap> offscreen_;
  std::unique_ptr<TTimer> repeatTimer_;
  TPopupMenu* dropDownMenu_ = nullptr;
  int groupIndex_ = 0;
  TButtonStyle style_ = bsAutoDetect;
  TButtonLayout layout_ = blGlyphTop;
  TUtlDropDownMenuPos menuPosition_ = dmpBottom;
  int spacing_ = 1;
  int margin_ = -1;
  TModalResult modalResult_ = mrNone;
  unsigned initPause_ = 500;
  unsigned repeatInterval_ = 100;
  TSpeedButtonState state_ = sbUp;
  bool down_ = false;
  bool dragging_ = false;
  bool flat_ = false;
  bool hovered_ = false;
  bool allowAllUp_ = false;
  bool transparent_ = false;
  bool markDropDown_ = true;
  bool grayedInactive_ = true;
  bool menuShowing_ = false;
  bool allowTimer_ = false;
};
