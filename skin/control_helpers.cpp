// The window and control queries of the shared helpers: a parent's background
// under a control, an edit box border, the work area, active-form checks and
// handing a theme to a frame's children. See draw_helpers.h.
#include "platform/gui/application.h"
#include "platform/gui/controls.h"
#include "platform/gui/forms.h"
#include "platform/gui/gdi.h"
#include "platform/gui/colors.h"
#include "platform/gui/scroll_info.h"
#include "platform/gui/type_info.h"
#include "platform/gui/user.h"
#include "skin/draw_helpers.h"
#include "skin/file_theme.h"

void DrawParentBackground(TCanvas* canvas, TControl* control) {
  TWinControl* parent = control->Parent();
  if (!parent) return;
  HDC dc = canvas->Handle();
  const int saved = SaveDC(dc);
  OffsetViewportOrgEx(dc, -control->Left(), -control->Top(), nullptr);
  const TRect client = parent->ClientRect();
  IntersectClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
  parent->Perform(WM_ERASEBKGND, WPARAM(dc), 0);
  parent->Perform(WM_PAINT, WPARAM(dc), 0);
  RestoreDC(dc, saved);
}

TRect GetWorkAreaRect() {
  // One screen: the main form's monitor is the primary one.
  RECT area{};
  GetWorkArea(&area);
  return area;
}

void SetControlPos(TControl* control, const TPoint& point) {
  control->SetLeft(point.X);
  control->SetTop(point.Y);
}

void SetControlBounds(TControl* control, const TRect& rect) {
  control->SetLeft(rect.Left);
  control->SetTop(rect.Top);
  control->SetWidth(rect.Right - rect.Left);
  control->SetHeight(rect.Bottom - rect.Top);
}

void DrawEditBorder(TWinControl* edit, TColor color, TColor innerColor, bool drawInner) {
  HWND window = edit->Handle();
  HDC dc = GetWindowDC(window);
  RECT r{};
  GetWindowRect(window, &r);
  RECT frame = Rect(0, 0, r.Width(), r.Height());
  HBRUSH outer = CreateSolidBrush(ColorToRGB(color));
  FrameRect(dc, &frame, outer);
  DeleteObject(outer);
  if (drawInner) {
    RECT inner = Rect(1, 1, frame.Right - 1, frame.Bottom - 1);
    HBRUSH brush = CreateSolidBrush(ColorToRGB(innerColor));
    FrameRect(dc, &inner, brush);
    DeleteObject(brush);
  }
  ReleaseDC(window, dc);
}

bool HasPublishedProperty(TComponent* component, const AnsiString& name) {
  return component && IsPublishedProp(component, name);
}

bool IsFormActive(TCustomForm* form) {
  TCustomForm* mainForm = Application ? Application->MainForm() : nullptr;
  if (!mainForm) return form && form->Active();
  const bool mdiFrame = mainForm->FormStyle() == fsMDIForm;
  if (mdiFrame && form == mainForm) return true;
  if (!Application->Active()) return false;
  if (!form || form == mainForm) return true;
  // An MDI child's active state follows its client window's activation.
  return form->Active();
}

void ApplyThemeToChildren(TWinControl* skinForm, TsuiUIStyle style, TsuiFileTheme* fileTheme) {
  if (!skinForm) return;
  for (int i = 0; i < skinForm->ControlCount(); ++i) {
    TControl* child = skinForm->Controls(i);
    if (!IsPublishedProp(child, "FileTheme") || !IsPublishedProp(child, "UIStyle")) continue;
    SetObjectProp(child, "FileTheme", fileTheme);
    SetOrdProp(child, "UIStyle", style);
  }
}

bool GetScrollBarInfoDyn(HWND window, int object, SCROLLBARINFO* info) {
  // The platform layer always has the entry point; nothing to look up.
  return GetScrollBarInfo(window, object, info) != 0;
}
