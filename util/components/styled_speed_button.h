// The styled speed button: a windowless button in one of three looks - the
// system push button, a combo-box arrow button, or a button with a separate
// drop-down arrow part that opens a menu - flat or not, in a group or not,
// with a picture (TUtlStyledButtonGlyph) whose state images live in lists of
// this family's own cache. The spin arrows are buttons of this kind.
#pragma once

#include <memory>

#include "util/components/speed_button.h"

enum TUtlSpeedButtonStyle { sbsNormal, sbsComboButton, sbsMenu };

class TUtlStyledButtonGlyph {
public:
  TUtlStyledButtonGlyph();
  ~TUtlStyledButtonGlyph();
  TUtlStyledButtonGlyph(const TUtlStyledButtonGlyph&) = delete;
  TUtlStyledButtonGlyph& operator=(const TUtlStyledButtonGlyph&) = delete;

  TBitmap* Glyph() const { return source_.get(); }
  // Takes a copy; a source whose width is a multiple of its height sets
  // NumGlyphs (1 when the quotient exceeds 4).
  void AssignGlyph(TBitmap* bitmap);
  int NumGlyphs() const { return numGlyphs_; }
  void SetImageCount(int count);
  void ReleaseImages();
  int StateImage(TSpeedButtonState state);
  TUtlGlyphList* ImageStore() const { return images_.List(); }
  // Picture position and caption rectangle inside Client, moved by (Offset, Offset).
  void ComputeLayout(TCanvas* canvas, const TRect& client, int offset, const AnsiString& caption,
                     TButtonLayout layout, int margin, int spacing, unsigned textFlags, TPoint& picture,
                     TRect& text) const;
  void DrawAll(TCanvas* canvas, const TRect& client, int offset, const AnsiString& caption, TButtonLayout layout,
               int margin, int spacing, TSpeedButtonState state, TUtlSpeedButtonStyle style, unsigned textFlags);

  TNotifyEvent OnGlyphChange;

private:
  void SourceChanged();

  std::unique_ptr<TBitmap> source_;
  TUtlStateImages images_;
  TColor maskColor_ = clOlive;
  int numGlyphs_ = 1;
};

class TUtlStyledSpeedButton : public TGraphicControl {
public:
  explicit TUtlStyledSpeedButton(TComponent* owner);
  ~TUtlStyledSpeedButton() override;

  TUtlStyledButtonGlyph* ButtonGlyph() const { return glyph_.get(); }
  TBitmap* Glyph() const { return glyph_->Glyph(); }
  void SetGlyph(TBitmap* value);
  int NumGlyphs() const { return glyph_->NumGlyphs(); }
  void SetNumGlyphs(int value);
  TUtlSpeedButtonStyle Style() const { return style_; }
  void SetStyle(TUtlSpeedButtonStyle value);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);
  bool Down() const { return down_; }
  void SetDown(bool value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value) { Store(layout_, value); }
  int Spacing() const { return spacing_; }
  void SetSpacing(int value) { Store(spacing_, value); }
  int Margin() const { return margin_; }
  void SetMargin(int value);
  int MenuButtonWidth() const { return menuButtonWidth_; }
  void SetMenuButtonWidth(int value) { Store(menuButtonWidth_, value); }
  TPopupMenu* DropDownMenu() const { return dropDownMenu_; }
  void SetDropDownMenu(TPopupMenu* value);
  TSpeedButtonState State() const { return state_; }
  bool Hovered() const { return hovered_; }
  void SetEnabled(bool value) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void WndProc(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;
  // A button without a glyph takes the action's picture from its list.
  void ActionChange(TObject* sender, bool checkDefaults) override;

private:
  template <class T>
  void Store(T& field, T value) {
    if (field == value) return;
    field = value;
    Invalidate();
  }
  bool FixedLook() const { return style_ == sbsComboButton || style_ == sbsMenu; }
  bool InArrowPart(int x) const { return style_ == sbsMenu && x >= Width() - menuButtonWidth_; }
  void NotifyGroup();
  void RefreshHover();
  void PaintButton();
  void PaintMenuButton();
  void DrawEdges(TCanvas* c, TRect r, bool sunken) const;

  std::unique_ptr<TUtlStyledButtonGlyph> glyph_;
  TPopupMenu* dropDownMenu_ = nullptr;
  int groupIndex_ = 0;
  TButtonLayout layout_ = blGlyphLeft;
  int spacing_ = 4;
  int margin_ = -1;
  int menuButtonWidth_ = 11;
  TUtlSpeedButtonStyle style_ = sbsNormal;
  TSpeedButtonState state_ = sbUp;
  bool down_ = false;
  bool dragging_ = false;
  bool allowAllUp_ = false;
  bool transparent_ = true;
  bool flat_ = false;
  bool hovered_ = false;
  bool menuPartPressed_ = false;
};
