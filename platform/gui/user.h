// The window layer's user32-style interface: window classes and procedures,
// sent and posted messages with their Win32 numbers, geometry and show
// states, painting, input state (capture, focus, activation, caret, cursors),
// window regions, the tray icon and the clipboard. Child windows belong to the
// layer itself; only top-level windows are native windows of a backend.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gui/gdi.h"
#include "platform/rtl/message_loop.h"

using LONG_PTR = std::intptr_t;
using ATOM = std::uint16_t;
using HINSTANCE = void*;
using HMENU = std::uintptr_t;
struct CursorObject;
using HCURSOR = CursorObject*;
using WNDPROC = LRESULT (*)(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

constexpr WPARAM MAKEWPARAM(int lo, int hi) { return WPARAM((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)); }
constexpr LPARAM MAKELPARAM(int lo, int hi) { return LPARAM(std::uint32_t((lo & 0xFFFF) | ((hi & 0xFFFF) << 16))); }
constexpr int LOWORD(std::uintptr_t v) { return int(v & 0xFFFF); }
constexpr int HIWORD(std::uintptr_t v) { return int((v >> 16) & 0xFFFF); }
// Signed coordinates packed into an LPARAM.
constexpr int GET_X_LPARAM(LPARAM v) { return std::int16_t(v & 0xFFFF); }
constexpr int GET_Y_LPARAM(LPARAM v) { return std::int16_t((v >> 16) & 0xFFFF); }

// --- messages -------------------------------------------------------------------
enum : UINT {
  WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003, WM_SIZE = 0x0005, WM_ACTIVATE = 0x0006,
  WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008, WM_ENABLE = 0x000A, WM_SETREDRAW = 0x000B, WM_SETTEXT = 0x000C,
  WM_GETTEXT = 0x000D, WM_GETTEXTLENGTH = 0x000E, WM_PAINT = 0x000F, WM_CLOSE = 0x0010,
  WM_QUERYENDSESSION = 0x0011, WM_ERASEBKGND = 0x0014, WM_ENDSESSION = 0x0016, WM_SHOWWINDOW = 0x0018,
  WM_ACTIVATEAPP = 0x001C, WM_CANCELMODE = 0x001F, WM_SETCURSOR = 0x0020, WM_MOUSEACTIVATE = 0x0021,
  WM_GETMINMAXINFO = 0x0024, WM_WINDOWPOSCHANGING = 0x0046, WM_WINDOWPOSCHANGED = 0x0047,
  WM_NCCREATE = 0x0081, WM_NCDESTROY = 0x0082, WM_NCCALCSIZE = 0x0083, WM_NCHITTEST = 0x0084,
  WM_NCPAINT = 0x0085, WM_NCACTIVATE = 0x0086, WM_NCMOUSEMOVE = 0x00A0, WM_NCLBUTTONDOWN = 0x00A1,
  WM_NCLBUTTONUP = 0x00A2, WM_NCLBUTTONDBLCLK = 0x00A3, WM_NCRBUTTONDOWN = 0x00A4, WM_NCRBUTTONUP = 0x00A5,
  WM_NCRBUTTONDBLCLK = 0x00A6, WM_NCMBUTTONDOWN = 0x00A7, WM_NCMBUTTONUP = 0x00A8,
  WM_NCMBUTTONDBLCLK = 0x00A9, WM_INPUT = 0x00FF, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_CHAR = 0x0102,
  WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105, WM_SYSCHAR = 0x0106, WM_COMMAND = 0x0111,
  WM_SYSCOMMAND = 0x0112, WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202,
  WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205, WM_RBUTTONDBLCLK = 0x0206,
  WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208, WM_MBUTTONDBLCLK = 0x0209, WM_MOUSEWHEEL = 0x020A,
  WM_SIZING = 0x0214, WM_CAPTURECHANGED = 0x0215, WM_MOVING = 0x0216, WM_ENTERSIZEMOVE = 0x0231,
  WM_EXITSIZEMOVE = 0x0232, WM_MOUSELEAVE = 0x02A3, WM_APP = 0x8000
};
// The MDI client window's messages (window parameter: the child, where one is named).
enum : UINT {
  WM_MDIDESTROY = 0x0221, WM_MDIACTIVATE = 0x0222, WM_MDIRESTORE = 0x0223, WM_MDINEXT = 0x0224,
  WM_MDIMAXIMIZE = 0x0225, WM_MDITILE = 0x0226, WM_MDICASCADE = 0x0227, WM_MDIICONARRANGE = 0x0228,
  WM_MDIGETACTIVE = 0x0229, WM_MDISETMENU = 0x0230, WM_MDIREFRESHMENU = 0x0234
};
enum : WPARAM { MDITILE_VERTICAL = 0, MDITILE_HORIZONTAL = 1 };

// --- styles -------------------------------------------------------------------------
enum : DWORD {
  WS_OVERLAPPED = 0x00000000, WS_MAXIMIZEBOX = 0x00010000, WS_MINIMIZEBOX = 0x00020000,
  WS_THICKFRAME = 0x00040000, WS_SYSMENU = 0x00080000, WS_HSCROLL = 0x00100000, WS_VSCROLL = 0x00200000,
  WS_DLGFRAME = 0x00400000, WS_BORDER = 0x00800000, WS_CAPTION = 0x00C00000, WS_MAXIMIZE = 0x01000000,
  WS_CLIPCHILDREN = 0x02000000, WS_CLIPSIBLINGS = 0x04000000, WS_DISABLED = 0x08000000,
  WS_VISIBLE = 0x10000000, WS_MINIMIZE = 0x20000000, WS_CHILD = 0x40000000, WS_POPUP = 0x80000000,
  WS_SIZEBOX = WS_THICKFRAME, WS_TABSTOP = 0x00010000,
  WS_OVERLAPPEDWINDOW = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
  WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU
};
enum : DWORD {
  WS_EX_DLGMODALFRAME = 0x00000001, WS_EX_TOPMOST = 0x00000008, WS_EX_TRANSPARENT = 0x00000020,
  WS_EX_TOOLWINDOW = 0x00000080, WS_EX_WINDOWEDGE = 0x00000100, WS_EX_CLIENTEDGE = 0x00000200,
  WS_EX_APPWINDOW = 0x00040000
};
enum : UINT { CS_VREDRAW = 0x0001, CS_HREDRAW = 0x0002, CS_DBLCLKS = 0x0008, CS_SAVEBITS = 0x0800 };
constexpr int CW_USEDEFAULT = int(0x80000000);

// --- window values, positions, show states -------------------------------------------
enum : int {
  GWL_WNDPROC = -4, GWL_HINSTANCE = -6, GWL_HWNDPARENT = -8, GWL_ID = -12, GWL_STYLE = -16,
  GWL_EXSTYLE = -20, GWL_USERDATA = -21, GWLP_WNDPROC = GWL_WNDPROC, GWLP_USERDATA = GWL_USERDATA,
  GWLP_ID = GWL_ID
};
enum : UINT {
  SWP_NOSIZE = 0x0001, SWP_NOMOVE = 0x0002, SWP_NOZORDER = 0x0004, SWP_NOREDRAW = 0x0008,
  SWP_NOACTIVATE = 0x0010, SWP_FRAMECHANGED = 0x0020, SWP_SHOWWINDOW = 0x0040, SWP_HIDEWINDOW = 0x0080,
  SWP_NOCOPYBITS = 0x0100, SWP_NOOWNERZORDER = 0x0200, SWP_NOSENDCHANGING = 0x0400
};
const HWND HWND_TOP = 0;
const HWND HWND_BOTTOM = 1;
const HWND HWND_TOPMOST = HWND(-1);
const HWND HWND_NOTOPMOST = HWND(-2);
enum : int {
  SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_NORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3, SW_MAXIMIZE = 3,
  SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_MINIMIZE = 6, SW_SHOWMINNOACTIVE = 7, SW_SHOWNA = 8, SW_RESTORE = 9
};
enum : WPARAM { SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2 };
enum : WPARAM { WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2 };
enum : LRESULT { MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3, MA_NOACTIVATEANDEAT = 4 };
enum : UINT { GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3, GW_OWNER = 4, GW_CHILD = 5 };
enum : UINT { GA_PARENT = 1, GA_ROOT = 2, GA_ROOTOWNER = 3 };
enum : WPARAM {
  SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030, SC_CLOSE = 0xF060,
  SC_RESTORE = 0xF120
};

// --- hit-test codes --------------------------------------------------------------------
enum : LRESULT {
  HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2, HTSYSMENU = 3,
  HTMENU = 5, HTHSCROLL = 6, HTVSCROLL = 7, HTMINBUTTON = 8, HTMAXBUTTON = 9, HTLEFT = 10, HTRIGHT = 11,
  HTTOP = 12, HTTOPLEFT = 13, HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17,
  HTBORDER = 18, HTCLOSE = 20, HTHELP = 21
};
enum : WPARAM { WVR_VALIDRECTS = 0x0400 };

// --- input --------------------------------------------------------------------------------
enum : WPARAM { MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8, MK_MBUTTON = 0x10 };
enum : int {
  VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_MBUTTON = 0x04, VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D,
  VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25,
  VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_LWIN = 0x5B,
  VK_APPS = 0x5D, VK_NUMPAD0 = 0x60, VK_MULTIPLY = 0x6A, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E,
  VK_DIVIDE = 0x6F, VK_F1 = 0x70, VK_F12 = 0x7B, VK_NUMLOCK = 0x90, VK_SCROLL = 0x91, VK_OEM_1 = 0xBA,
  VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD, VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF,
  VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB, VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE, VK_PACKET = 0xE7
};
// The first parameter of a mouse message's key state, read from the layer's key table.
constexpr std::uint32_t kDoubleClickTimeMs = 500;

// --- structures ----------------------------------------------------------------------------
struct WNDCLASSEXA {
  UINT cbSize = sizeof(WNDCLASSEXA);
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;  // also accepts (HBRUSH)(COLOR_xxx + 1)
  const char* lpszMenuName = nullptr;
  const char* lpszClassName = nullptr;
  HICON hIconSm = nullptr;
};
using WNDCLASSEX = WNDCLASSEXA;

struct CREATESTRUCTA {
  void* lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  HMENU hMenu = 0;
  HWND hwndParent = 0;
  int cy = 0;
  int cx = 0;
  int y = 0;
  int x = 0;
  DWORD style = 0;
  const char* lpszName = nullptr;
  const char* lpszClass = nullptr;
  DWORD dwExStyle = 0;
};
using CREATESTRUCT = CREATESTRUCTA;

struct WINDOWPOS {
  HWND hwnd = 0;
  HWND hwndInsertAfter = 0;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  UINT flags = 0;
};

// rgrc[0] is the proposed window rectangle in; the client rectangle out.
struct NCCALCSIZE_PARAMS {
  RECT rgrc[3];
  WINDOWPOS* lppos = nullptr;
};

struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = 0;
  RECT rcPaint;
  BOOL fRestore = 0;
  BOOL fIncUpdate = 0;
  std::uint8_t rgbReserved[32] = {};
};

struct WINDOWPLACEMENT {
  UINT length = sizeof(WINDOWPLACEMENT);
  UINT flags = 0;
  UINT showCmd = 0;
  POINT ptMinPosition{-1, -1};
  POINT ptMaxPosition{-1, -1};
  RECT rcNormalPosition;  // screen coordinates
};

// --- classes and windows ---------------------------------------------------------------------
ATOM RegisterClassExA(const WNDCLASSEXA* wc);
BOOL UnregisterClassA(const char* name, HINSTANCE instance);
BOOL GetClassInfoExA(HINSTANCE instance, const char* name, WNDCLASSEXA* wc);
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
LRESULT DefWindowProcA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
// The move and size loops that WM_SYSCOMMAND (SC_MOVE, SC_SIZE) starts do not
// block: the call returns at once, the window follows the pointer as input
// arrives, and WM_EXITSIZEMOVE tells when the button was released.
// Runs the window procedure at once, on the calling (user-interface) thread.
LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
// Handles of 0 or dead windows give 0.
LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
// GWL_WNDPROC subclasses: the value returned is the procedure to chain to.
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
inline LONG_PTR GetWindowLongA(HWND hwnd, int index) { return GetWindowLongPtrA(hwnd, index); }
inline LONG_PTR SetWindowLongA(HWND hwnd, int index, LONG_PTR value) { return SetWindowLongPtrA(hwnd, index, value); }
UINT RegisterWindowMessageA(const char* name);
BOOL SetWindowTextA(HWND hwnd, const char* text);
int GetWindowTextA(HWND hwnd, char* buffer, int size);
int GetWindowTextLengthA(HWND hwnd);
int GetClassNameA(HWND hwnd, char* buffer, int size);

// Translation of key messages happens when input arrives (WM_CHAR follows its
// key-down in the queue), so TranslateMessage only reports key messages.
BOOL TranslateMessage(const MSG* msg);

// --- relations -------------------------------------------------------------------------------
HWND GetParent(HWND hwnd);
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND SetParent(HWND child, HWND parent);
BOOL IsChild(HWND parent, HWND hwnd);
HWND GetDesktopWindow();
// A top-level window by class name and/or title (null matches any); 0 when none.
HWND FindWindowA(const char* className, const char* windowName);
// Asks a top-level window of another program, found by class and title, to
// come back (its owner restores or raises it); false when there is none or
// the display cannot reach other programs.
BOOL ActivateForeignWindow(const char* className, const char* title);
HWND WindowFromPoint(POINT screen);
HWND ChildWindowFromPoint(HWND parent, POINT client);

// --- geometry and show states ------------------------------------------------------------------
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
BOOL ShowWindow(HWND hwnd, int cmd);
BOOL IsWindowVisible(HWND hwnd);
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
// showCmd is SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED or SW_SHOWNORMAL (also for hidden windows).
BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement);
BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement);
BOOL EnableWindow(HWND hwnd, BOOL enable);
BOOL IsWindowEnabled(HWND hwnd);
// Screen coordinates for top-level windows and for children alike.
BOOL GetWindowRect(HWND hwnd, RECT* rect);
BOOL GetClientRect(HWND hwnd, RECT* rect);
BOOL ClientToScreen(HWND hwnd, POINT* point);
BOOL ScreenToClient(HWND hwnd, POINT* point);
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
// The window owns the region it is given (window coordinates); 0 removes it.
int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw);
// Copies the window's region into region; ERROR when it has none.
int GetWindowRgn(HWND hwnd, HRGN region);
BOOL GetCursorPos(POINT* point);
BOOL SetCursorPos(int x, int y);
// The area maximized windows fill: the screen of the backend.
BOOL GetWorkArea(RECT* rect);
enum : UINT { SPI_GETWORKAREA = 0x0030 };
// Only SPI_GETWORKAREA (value: a RECT) is answered; other actions fail.
BOOL SystemParametersInfoA(UINT action, UINT param, void* value, UINT winIni);

// --- painting ----------------------------------------------------------------------------------
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN region, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* rect);
BOOL GetUpdateRect(HWND hwnd, RECT* rect, BOOL erase);
// Paints every pending part of the window's top-level tree now.
BOOL UpdateWindow(HWND hwnd);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* paint);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* paint);
// A DC on the client area (GetDC) or the whole window (GetWindowDC), drawing
// into the top-level window's backing bitmap.
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
// The window a DC from GetDC, GetWindowDC or BeginPaint draws on; 0 for others.
HWND WindowFromDC(HDC dc);
// The top-level window's backing bitmap (window size), for tests and tools.
HBITMAP GetWindowBackingBitmap(HWND hwnd);

// --- input state ---------------------------------------------------------------------------------
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
HWND GetCapture();
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND SetActiveWindow(HWND hwnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND hwnd);
HWND GetForegroundWindow();
std::int16_t GetKeyState(int virtualKey);
std::int16_t GetAsyncKeyState(int virtualKey);
UINT GetDoubleClickTime();

// --- caret ---------------------------------------------------------------------------------------
BOOL CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(POINT* point);
BOOL ShowCaret(HWND hwnd);
BOOL HideCaret(HWND hwnd);
UINT GetCaretBlinkTime();

// --- cursors -------------------------------------------------------------------------------------
// Cursor names are small numbers in a name pointer, as the platform has them.
inline const char* CursorName(std::uintptr_t id) { return reinterpret_cast<const char*>(id); }
inline const char* const IDC_ARROW = CursorName(32512);
inline const char* const IDC_IBEAM = CursorName(32513);
inline const char* const IDC_WAIT = CursorName(32514);
inline const char* const IDC_CROSS = CursorName(32515);
inline const char* const IDC_SIZENWSE = CursorName(32642);
inline const char* const IDC_SIZENESW = CursorName(32643);
inline const char* const IDC_SIZEWE = CursorName(32644);
inline const char* const IDC_SIZENS = CursorName(32645);
inline const char* const IDC_SIZEALL = CursorName(32646);
inline const char* const IDC_NO = CursorName(32648);
inline const char* const IDC_HAND = CursorName(32649);
// The shared system cursors by IDC_ value; other names give a null cursor.
HCURSOR LoadCursorA(HINSTANCE instance, const char* name);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// The IDC_ number of a system cursor (0 for none).
int CursorId(HCURSOR cursor);

// --- tray icon ----------------------------------------------------------------------------------
enum : DWORD { NIM_ADD = 0, NIM_MODIFY = 1, NIM_DELETE = 2 };
enum : UINT { NIF_MESSAGE = 0x1, NIF_ICON = 0x2, NIF_TIP = 0x4, NIF_INFO = 0x10 };
// Balloon kinds (dwInfoFlags) and the balloon's notices to the icon's owner.
enum : DWORD { NIIF_NONE = 0, NIIF_INFO = 1, NIIF_WARNING = 2, NIIF_ERROR = 3 };
enum : UINT { NIN_BALLOONSHOW = 1026, NIN_BALLOONHIDE = 1027, NIN_BALLOONTIMEOUT = 1028, NIN_BALLOONUSERCLICK = 1029 };
// The record in its two sizes, as callers state them in cbSize: the first
// form (a tip of 63 characters, no balloon) and the second (a tip of 127
// characters and the balloon fields). A size below the second's is the first form.
constexpr DWORD NOTIFYICONDATAA_V1_SIZE = 88;
constexpr DWORD NOTIFYICONDATAA_V2_SIZE = 488;
struct NOTIFYICONDATAA {
  DWORD cbSize = NOTIFYICONDATAA_V2_SIZE;
  HWND hWnd = 0;
  UINT uID = 0;
  UINT uFlags = 0;
  UINT uCallbackMessage = 0;
  HICON hIcon = nullptr;
  char szTip[128] = {};
  DWORD dwState = 0;
  DWORD dwStateMask = 0;
  char szInfo[256] = {};
  UINT uTimeout = 0;  // milliseconds the balloon stays
  char szInfoTitle[64] = {};
  DWORD dwInfoFlags = 0;
};
// Mouse events on the icon reach hWnd as uCallbackMessage (wParam uID,
// lParam the mouse message). When a tray appears anew, every top-level window
// receives the registered message "TaskbarCreated". A modify changes only the
// fields its flags name. NIF_INFO with a text shows a balloon by the icon (a
// popup window of ours, replacing the icon's previous one) that closes after
// uTimeout or on a click, with the NIN_BALLOON... notices as mouse messages;
// NIF_INFO without a text closes it.
BOOL Shell_NotifyIconA(DWORD message, NOTIFYICONDATAA* data);
// Hides the desktop's panels, the taskbar among them, or shows again those it
// hid; FALSE when there was none.
BOOL ShowDesktopPanels(BOOL show);

// --- clipboard (text in Windows-1250) ---------------------------------------------------------------
BOOL SetClipboardText(const std::string& text);
// Empty when the clipboard holds no text.
std::string GetClipboardText();
