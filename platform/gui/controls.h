// The control framework: TControl (bounds, parent, text, colour, font,
// visibility, mouse events, the message method WindowProc), TWinControl (a
// window of the window layer with children, focus, keys and alignment),
// TGraphicControl (drawn by its parent, no window of its own) and
// TCustomControl (a window with a canvas and Paint). Messages reach a
// control as TMessage through WindowProc, which callers may replace to hook
// a control; WndProc is the one place that handles them.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/gui/canvas.h"
#include "platform/gui/user.h"

using WORD = std::uint16_t;

class TWinControl;
class TCustomForm;
class TPopupMenu;
class TBasicAction;
class TControlActionLink;

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};
using TWndMethod = std::function<void(TMessage&)>;

// The component library's own notifications, with their usual numbers.
enum : UINT {
  CM_BASE = 0xB000, CM_ACTIVATE = CM_BASE + 0, CM_DEACTIVATE = CM_BASE + 1, CM_DIALOGKEY = CM_BASE + 5,
  CM_DIALOGCHAR = CM_BASE + 6, CM_FOCUSCHANGED = CM_BASE + 7, CM_PARENTFONTCHANGED = CM_BASE + 8,
  CM_PARENTCOLORCHANGED = CM_BASE + 9, CM_VISIBLECHANGED = CM_BASE + 11, CM_ENABLEDCHANGED = CM_BASE + 12,
  CM_COLORCHANGED = CM_BASE + 13, CM_FONTCHANGED = CM_BASE + 14, CM_TEXTCHANGED = CM_BASE + 18,
  CM_MOUSEENTER = CM_BASE + 19, CM_MOUSELEAVE = CM_BASE + 20, CM_MENUCHANGED = CM_BASE + 21,
  CM_BUTTONPRESSED = CM_BASE + 24, CM_SHOWINGCHANGED = CM_BASE + 25, CM_ENTER = CM_BASE + 26,
  CM_EXIT = CM_BASE + 27, CM_WANTSPECIALKEY = CM_BASE + 30, CM_RELEASE = CM_BASE + 33,
  CM_SHOWHINTCHANGED = CM_BASE + 34, CM_HINTSHOW = CM_BASE + 48, CM_RECREATEWND = CM_BASE + 51
};
// Edit and clipboard messages that edit controls answer.
enum : UINT {
  EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETRECT = 0x00B2, EM_SETRECT = 0x00B3, EM_SETRECTNP = 0x00B4,
  EM_REPLACESEL = 0x00C2, EM_GETFIRSTVISIBLELINE = 0x00CE, WM_CUT = 0x0300, WM_COPY = 0x0301,
  WM_PASTE = 0x0302, WM_CLEAR = 0x0303, WM_UNDO = 0x0304, WM_VSCROLL = 0x0115, WM_HSCROLL = 0x0114,
  WM_CONTEXTMENU = 0x007B, WM_GETDLGCODE = 0x0087
};

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
// Sides a control keeps its distance to when its parent is resized.
enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TCaption = AnsiString;
using TCursor = int;
enum : TCursor { crDefault = 0, crArrow = -2, crCross = -3, crIBeam = -4, crHourGlass = -11, crHandPoint = -21 };

enum TControlStyleFlag : unsigned {
  csAcceptsControls = 1, csCaptureMouse = 2, csClickEvents = 4, csOpaque = 8, csDoubleClicks = 16,
  csReplicatable = 32, csSetCaption = 64
};
// csPaintCopy: the control is painting a copy of itself into another's image.
enum TControlStateFlag : unsigned { csLButtonDown = 1, csClicked = 2, csFocusing = 4, csCreating = 8, csPaintCopy = 16 };

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;

// Button and move messages of the client area (not the wheel).
constexpr bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEMOVE && msg <= WM_MBUTTONDBLCLK; }

// The key state of a mouse message's first parameter or of the keyboard now.
TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyboardShiftState();

class TSizeConstraints : public TPersistent {
public:
  int MinWidth() const { return minWidth_; }
  void SetMinWidth(int v) { minWidth_ = v; }
  int MinHeight() const { return minHeight_; }
  void SetMinHeight(int v) { minHeight_ = v; }
  int MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int v) { maxWidth_ = v; }
  int MaxHeight() const { return maxHeight_; }
  void SetMaxHeight(int v) { maxHeight_ = v; }
  // Applies the limits (0 = none) to a proposed size.
  void Constrain(int& width, int& height) const;
  void Assign(const TPersistent* source) override;

private:
  int minWidth_ = 0, minHeight_ = 0, maxWidth_ = 0, maxHeight_ = 0;
};

class TControl : public TComponent {
public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  // --- messages
  TWndMethod WindowProc;
  LRESULT Perform(UINT msg, WPARAM wparam, LPARAM lparam);

  // --- place
  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  virtual TRect ClientRect() const { return Rect(0, 0, width_, height_); }
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  virtual void SetClientWidth(int v) { SetWidth(width_ - ClientWidth() + v); }
  virtual void SetClientHeight(int v) { SetHeight(height_ - ClientHeight() + v); }
  // Screen coordinates of a client point and back.
  virtual TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors anchors) { anchors_ = anchors; }
  TSizeConstraints* Constraints() const { return constraints_; }
  // Kept for the controls that read it; text here always runs left to right.
  TBiDiMode BiDiMode() const { return biDiMode_; }
  void SetBiDiMode(TBiDiMode mode) { biDiMode_ = mode; }

  // --- look
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible with every parent up to a shown form.
  virtual bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  const AnsiString& Text() const { return text_; }
  void SetText(const AnsiString& text);
  const TCaption& Caption() const { return text_; }
  void SetCaption(const TCaption& caption) { SetText(caption); }
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TFont* Font() const { return font_; }
  void SetFont(const TFont* font) { font_->Assign(font); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor) { cursor_ = cursor; }
  const AnsiString& Hint() const { return hint_; }
  void SetHint(const AnsiString& hint) { hint_ = hint; }
  bool ShowHint() const;
  void SetShowHint(bool value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool value);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }
  unsigned ControlStyle() const { return controlStyle_; }
  void SetControlStyle(unsigned style) { controlStyle_ = style; }
  unsigned ControlState() const { return controlState_; }
  void SetControlState(unsigned state) { controlState_ = state; }

  // Whether the control holds the mouse (a graphic control through its parent).
  bool MouseCapture() const;
  void SetMouseCapture(bool value);

  virtual void Invalidate();
  void Repaint();
  void Refresh() { Repaint(); }
  virtual void Update();
  void BringToFront();

  // Click runs OnClick, or the action when OnClick is not set.
  virtual void Click();
  virtual void DblClick();

  // The action whose caption, enabled state, hint and visibility the control
  // shows (actions.cpp).
  TBasicAction* Action() const;
  void SetAction(TBasicAction* action);

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

protected:
  friend class TWinControl;
  virtual void WndProc(TMessage& message);
  // What no handler took: the window's own procedure, or nothing.
  virtual void DefaultHandler(TMessage& message) { (void)message; }
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void Resize();
  void Notification(TComponent* component, TOperation operation) override;
  // The font changed: CM_FONTCHANGED goes out (controls repaint on it).
  virtual void FontChanged();
  // Stores the bounds the window reports, without moving anything.
  void UpdateBoundsRect(const TRect& r);
  friend class TControlActionLink;
  // Takes the action's properties; when checkDefaults (a loading action),
  // only onto those the control still has at their defaults.
  virtual void ActionChange(TObject* sender, bool checkDefaults);

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;

private:
  void HandleMouse(TMessage& message);

  TAlign align_ = alNone;
  TAnchors anchors_ = akLeft | akTop;
  TBiDiMode biDiMode_ = bdLeftToRight;
  TSizeConstraints* constraints_;
  bool visible_ = true;
  bool enabled_ = true;
  AnsiString text_;
  TColor color_ = clBtnFace;
  TFont* font_;
  bool parentFont_ = true;
  TCursor cursor_ = crDefault;
  AnsiString hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TPopupMenu* popupMenu_ = nullptr;
  int tag_ = 0;
  unsigned controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  unsigned controlState_ = 0;
  std::unique_ptr<TControlActionLink> actionLink_;
};

struct TCreateParams {
  AnsiString Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = 0;
};

class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // The window, created on first use (after its parent's).
  HWND Handle();
  bool HandleAllocated() const { return handle_ != 0; }
  void HandleNeeded() { Handle(); }
  void RecreateWnd();
  // The control that owns a window of the layer, or null.
  static TWinControl* FindControl(HWND hwnd);

  int ControlCount() const { return int(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(size_t(index)); }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  // The child (graphic or windowed) at a client point, topmost first; null when none.
  TControl* ControlAtPos(TPoint p, bool allowDisabled = false) const;
  // Sends the message to each child until one answers with a non-zero result.
  void Broadcast(TMessage& message);
  bool ContainsControl(const TControl* control) const;

  // --- focus and keys
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value) { tabStop_ = value; }
  int TabOrder() const;
  void SetTabOrder(int order);
  // Tab-stop children in tab order, nested containers included.
  void GetTabOrderList(std::vector<TWinControl*>& list);
  virtual bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  // The next (or previous) tab stop after current among this control's children.
  TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop);
  void SelectNext(TWinControl* current, bool forward, bool checkTabStop);

  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int width);
  TRect ClientRect() const override;
  TPoint ClientToScreen(TPoint p) const override;
  void ScrollBy(int dx, int dy);
  void AlignControls();
  void DisableAlign() { ++alignDisabled_; }
  void EnableAlign();

  void SetBounds(int left, int top, int width, int height) override;
  void Invalidate() override;
  void Update() override;
  // Paints the control's client area (background, itself, graphic children)
  // into dc with its top-left corner at (x, y), as WM_PAINT with a DC does.
  void PaintTo(HDC dc, int x, int y);

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

protected:
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWnd();
  virtual void DestroyWnd();
  // Called once the window exists (children are created after it).
  virtual void CreateHandleDone() {}
  // Called after the aligned children were placed, with the space they left.
  virtual void ControlsAligned(const TRect& rest) { (void)rest; }
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  // Paints the client area; the base paints the graphic children only.
  virtual void PaintWindow(HDC dc);
  void PaintControls(HDC dc);
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(char& key);
  // Whether the control takes this key itself rather than letting the form
  // use it (Tab, Enter, Esc and arrows are dialog keys by default).
  virtual bool WantsKey(WORD key) const;
  virtual void DoEnter();
  virtual void DoExit();
  void FontChanged() override;
  void Notification(TComponent* component, TOperation operation) override;

  void DestroyHandle();

private:
  friend class TControl;
  static LRESULT StaticProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  void CreateHandle();
  void UpdateShowing();
  bool DoKeyDown(TMessage& message);
  void AlignChild(TControl* c, TRect& space);
  // Moves or stretches anchored children by the change of this control's size.
  void ApplyAnchors();
  void ForwardMouse(TMessage& message);

  HWND handle_ = 0;
  std::vector<TControl*> controls_;
  std::vector<TWinControl*> tabList_;
  bool tabStop_ = false;
  int borderWidth_ = 0;
  int alignDisabled_ = 0;
  int anchorWidth_ = -1, anchorHeight_ = -1;  // the size anchored children were placed for
  TControl* mouseControl_ = nullptr;  // the graphic child holding the mouse
};

// A control drawn on its parent's window, with no window of its own.
class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return canvas_; }
  // The parent draws the control with the canvas on dc (client origin at 0, 0).
  void PaintOn(HDC dc);

protected:
  virtual void Paint() {}

private:
  TCanvas* canvas_;
};

// A windowed control that paints itself on a canvas.
class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return canvas_; }

protected:
  virtual void Paint() {}
  void PaintWindow(HDC dc) override;

private:
  TCanvas* canvas_;
};

// The form a control sits on (its top-most parent that is a form), or null.
TCustomForm* GetParentForm(const TControl* control);
// The control at a screen point: the window's control, or its graphic child
// there; null over windows that are not controls.
TControl* FindDragTarget(TPoint screen, bool allowDisabled);
