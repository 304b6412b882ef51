// The drawing layer's gdi32-style interface: constants, structures and free
// functions with their Win32 names, so that controls drawing through handles
// read as they would on the original platform. Everything works on our own
// 32-bit BGRA bitmaps; fonts come from FreeType at a fixed 96 dpi.
#pragma once

#include <cstdint>

#include "platform/gui/gdi_types.h"

using RECT = TRect;
using POINT = TPoint;
using SIZE = TSize;

// --- object kinds, stock objects -------------------------------------------
enum : int { OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_FONT = 6, OBJ_BITMAP = 7, OBJ_REGION = 8, OBJ_MEMDC = 10 };
enum : int {
  WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4, NULL_BRUSH = 5,
  HOLLOW_BRUSH = NULL_BRUSH, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8, SYSTEM_FONT = 13, DEFAULT_GUI_FONT = 17,
  DC_BRUSH = 18, DC_PEN = 19
};

// --- pens, brushes, background ----------------------------------------------
enum : int { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5, PS_INSIDEFRAME = 6 };
enum : UINT { BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = BS_NULL, BS_HATCHED = 2, BS_PATTERN = 3 };
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
enum : int {
  R2_BLACK = 1, R2_NOTMERGEPEN, R2_MASKNOTPEN, R2_NOTCOPYPEN, R2_MASKPENNOT, R2_NOT, R2_XORPEN, R2_NOTMASKPEN,
  R2_MASKPEN, R2_NOTXORPEN, R2_NOP, R2_MERGENOTPEN, R2_COPYPEN, R2_MERGEPENNOT, R2_MERGEPEN, R2_WHITE
};
enum : int { BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4 };
enum : int { ALTERNATE = 1, WINDING = 2 };

struct LOGBRUSH {
  UINT lbStyle = BS_SOLID;
  COLORREF lbColor = 0;
  uintptr_t lbHatch = 0;
};

// --- raster operations (index bits: pattern 4, source 2, destination 1) -----
enum : DWORD {
  SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
  SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6, MERGECOPY = 0x00C000CA,
  MERGEPAINT = 0x00BB0226, PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049,
  DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062
};

constexpr DWORD MAKEROP4(DWORD fore, DWORD back) { return ((back << 8) & 0xFF000000) | fore; }

// --- regions ------------------------------------------------------------------
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
enum : int { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
constexpr int ERROR = RGN_ERROR;
enum : DWORD { RDH_RECTANGLES = 1 };

struct RGNDATAHEADER {
  DWORD dwSize = sizeof(RGNDATAHEADER);
  DWORD iType = RDH_RECTANGLES;
  DWORD nCount = 0;
  DWORD nRgnSize = 0;
  RECT rcBound;
};
// Header followed by nCount rectangles.
struct RGNDATA {
  RGNDATAHEADER rdh;
  RECT Buffer[1];
};

// --- fonts and text -----------------------------------------------------------
enum : int { FW_NORMAL = 400, FW_BOLD = 700 };
enum : uint8_t { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, EASTEUROPE_CHARSET = 238 };
constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
  int32_t lfHeight = 0;  // < 0: em height in pixels; > 0: cell height; 0: default
  int32_t lfWidth = 0;
  int32_t lfEscapement = 0;
  int32_t lfOrientation = 0;
  int32_t lfWeight = FW_NORMAL;
  uint8_t lfItalic = 0;
  uint8_t lfUnderline = 0;
  uint8_t lfStrikeOut = 0;
  uint8_t lfCharSet = DEFAULT_CHARSET;
  uint8_t lfOutPrecision = 0;
  uint8_t lfClipPrecision = 0;
  uint8_t lfQuality = 0;
  uint8_t lfPitchAndFamily = 0;
  char lfFaceName[LF_FACESIZE] = {};
};
using LOGFONT = LOGFONTA;

struct TEXTMETRICA {
  int32_t tmHeight = 0;
  int32_t tmAscent = 0;
  int32_t tmDescent = 0;
  int32_t tmInternalLeading = 0;
  int32_t tmExternalLeading = 0;
  int32_t tmAveCharWidth = 0;
  int32_t tmMaxCharWidth = 0;
  int32_t tmWeight = 0;
  uint8_t tmItalic = 0;
  uint8_t tmUnderlined = 0;
  uint8_t tmStruckOut = 0;
  uint8_t tmCharSet = 0;
};
using TEXTMETRIC = TEXTMETRICA;

enum : UINT {
  DT_TOP = 0, DT_LEFT = 0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
  DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_TABSTOP = 0x80, DT_NOCLIP = 0x100,
  DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_INTERNAL = 0x1000,
  DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000, DT_END_ELLIPSIS = 0x8000, DT_MODIFYSTRING = 0x10000,
  DT_RTLREADING = 0x20000, DT_WORD_ELLIPSIS = 0x40000, DT_NOFULLWIDTHCHARBREAK = 0x80000,
  DT_HIDEPREFIX = 0x100000, DT_PREFIXONLY = 0x200000
};
enum : UINT { ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4 };

// --- 3-D edges and frame controls ---------------------------------------------
enum : UINT {
  BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8,
  BDR_OUTER = 0x3, BDR_INNER = 0xC, BDR_RAISED = 0x5, BDR_SUNKEN = 0xA,
  EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER, EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
  EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER, EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER
};
enum : UINT {
  BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_TOPLEFT = 0x3, BF_TOPRIGHT = 0x6,
  BF_BOTTOMLEFT = 0x9, BF_BOTTOMRIGHT = 0xC, BF_RECT = 0xF, BF_MIDDLE = 0x800, BF_SOFT = 0x1000,
  BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000
};
enum : UINT { DFC_CAPTION = 1, DFC_MENU = 2, DFC_SCROLL = 3, DFC_BUTTON = 4 };
enum : UINT {
  DFCS_CAPTIONCLOSE = 0x0, DFCS_CAPTIONMIN = 0x1, DFCS_CAPTIONMAX = 0x2, DFCS_CAPTIONRESTORE = 0x3,
  DFCS_CAPTIONHELP = 0x4,
  DFCS_MENUARROW = 0x0, DFCS_MENUCHECK = 0x1, DFCS_MENUBULLET = 0x2,
  DFCS_SCROLLUP = 0x0, DFCS_SCROLLDOWN = 0x1, DFCS_SCROLLLEFT = 0x2, DFCS_SCROLLRIGHT = 0x3,
  DFCS_SCROLLCOMBOBOX = 0x5,
  DFCS_BUTTONCHECK = 0x0, DFCS_BUTTONRADIO = 0x4, DFCS_BUTTON3STATE = 0x8, DFCS_BUTTONPUSH = 0x10,
  DFCS_INACTIVE = 0x100, DFCS_PUSHED = 0x200, DFCS_CHECKED = 0x400, DFCS_ADJUSTRECT = 0x2000,
  DFCS_FLAT = 0x4000, DFCS_MONO = 0x8000
};

// --- bitmaps and icons --------------------------------------------------------
struct BITMAP {
  int32_t bmType = 0;
  int32_t bmWidth = 0;
  int32_t bmHeight = 0;
  int32_t bmWidthBytes = 0;
  uint16_t bmPlanes = 1;
  uint16_t bmBitsPixel = 0;
  void* bmBits = nullptr;
};
enum : UINT { DI_MASK = 1, DI_IMAGE = 2, DI_NORMAL = 3 };

// --- objects --------------------------------------------------------------------
HGDIOBJ GetStockObject(int index);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);
// The handle types convert to HGDIOBJ only where their objects are complete,
// so callers get one overload per type.
HGDIOBJ SelectObject(HDC dc, HPEN object);
HGDIOBJ SelectObject(HDC dc, HBRUSH object);
HGDIOBJ SelectObject(HDC dc, HFONT object);
HGDIOBJ SelectObject(HDC dc, HBITMAP object);
int SelectObject(HDC dc, HRGN object);
BOOL DeleteObject(HPEN object);
BOOL DeleteObject(HBRUSH object);
BOOL DeleteObject(HFONT object);
BOOL DeleteObject(HBITMAP object);
BOOL DeleteObject(HRGN object);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
int GetObjectType(HGDIOBJ object);
// Fills a BITMAP, LOGBRUSH, LOGFONTA or (for pens) LOGBRUSH-like description.
int GetObject(HGDIOBJ object, int size, void* buffer);

HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
// A bitmap with 1, 4, 8, 24 or 32 bits per pixel; bits (rows of 32-bit BGRA
// pixels, top-down) may be null for a black bitmap.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreatePatternBrush(HBITMAP pattern);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);
HPEN CreatePen(int style, int width, COLORREF color);
HFONT CreateFontIndirectA(const LOGFONTA* font);
inline HFONT CreateFontIndirect(const LOGFONTA* font) { return CreateFontIndirectA(font); }

// --- device context state -----------------------------------------------------
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int savedDC);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int mode);
int GetROP2(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
int SetPolyFillMode(HDC dc, int mode);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetBrushOrgEx(HDC dc, POINT* org);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC dc, POINT* org);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC dc, POINT* org);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old);

// Clipping: regions are in device coordinates, rectangles in logical ones.
int SelectClipRgn(HDC dc, HRGN region);
int ExtSelectClipRgn(HDC dc, HRGN region, int mode);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC dc, int dx, int dy);
int GetClipBox(HDC dc, RECT* rect);
// 1 and a copy in region when the DC has a clip region, 0 without one.
int GetClipRgn(HDC dc, HRGN region);
BOOL PtVisible(HDC dc, int x, int y);
BOOL RectVisible(HDC dc, const RECT* rect);

// --- pixels, lines, shapes ------------------------------------------------------
COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
BOOL MoveToEx(HDC dc, int x, int y, POINT* old);
BOOL GetCurrentPositionEx(HDC dc, POINT* pos);
// Draws from the current position up to, not including, (x, y).
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL Polygon(HDC dc, const POINT* points, int count);
// Pen frame on the rectangle's inside edge, interior filled with the brush.
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width, int height);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
// Counter-clockwise from the start radial to the end radial.
BOOL Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* rect);
BOOL DrawFocusRect(HDC dc, const RECT* rect);
BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush);
BOOL FrameRgn(HDC dc, HRGN region, HBRUSH brush, int width, int height);
BOOL DrawEdge(HDC dc, RECT* rect, UINT edge, UINT flags);
BOOL DrawFrameControl(HDC dc, RECT* rect, UINT type, UINT state);

// --- block transfers --------------------------------------------------------------
BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, DWORD rop);
// Negative extents mirror; the stretch mode chooses nearest (default) or a
// box-filtered smooth stretch (HALFTONE).
BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop);
// Copies every source pixel except those of the transparent colour.
BOOL TransparentBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, int wSrc,
                    int hSrc, UINT transparent);
// Where the monochrome mask is 1 the foreground code (low 24 bits of rop)
// applies, elsewhere the background code (MAKEROP4).
BOOL MaskBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc, int ySrc, HBITMAP mask,
             int xMask, int yMask, DWORD rop);

// --- text ---------------------------------------------------------------------------
// Text is Windows-1250 bytes; count -1 means up to the terminating NUL.
BOOL TextOutA(HDC dc, int x, int y, const char* text, int count);
BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, const char* text, int count,
                 const int* dx);
BOOL GetTextExtentPoint32A(HDC dc, const char* text, int count, SIZE* size);
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);
int GetTextFaceA(HDC dc, int size, char* name);
// Returns the text height; with DT_CALCRECT only measures into rect.
int DrawTextA(HDC dc, const char* text, int count, RECT* rect, UINT format);
inline BOOL TextOut(HDC dc, int x, int y, const char* text, int count) { return TextOutA(dc, x, y, text, count); }
inline int DrawText(HDC dc, const char* text, int count, RECT* rect, UINT format) {
  return DrawTextA(dc, text, count, rect, format);
}
inline BOOL GetTextExtentPoint32(HDC dc, const char* text, int count, SIZE* size) {
  return GetTextExtentPoint32A(dc, text, count, size);
}
inline BOOL GetTextMetrics(HDC dc, TEXTMETRICA* metrics) { return GetTextMetricsA(dc, metrics); }

// --- regions ---------------------------------------------------------------------------
HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width, int height);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN region, int dx, int dy);
BOOL PtInRegion(HRGN region, int x, int y);
BOOL RectInRegion(HRGN region, const RECT* rect);
BOOL EqualRgn(HRGN a, HRGN b);
int GetRgnBox(HRGN region, RECT* rect);
BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
// Bytes needed when size is too small or data is null; else bytes written.
DWORD GetRegionData(HRGN region, DWORD size, RGNDATA* data);
HRGN ExtCreateRegion(const void* transform, DWORD size, const RGNDATA* data);

// --- icons ----------------------------------------------------------------------------
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH flicker, UINT flags);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
BOOL DestroyIcon(HICON icon);

// --- rectangles ----------------------------------------------------------------------
BOOL SetRect(RECT* rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* rect);
BOOL CopyRect(RECT* dest, const RECT* src);
BOOL InflateRect(RECT* rect, int dx, int dy);
BOOL OffsetRect(RECT* rect, int dx, int dy);
BOOL IntersectRect(RECT* dest, const RECT* a, const RECT* b);
BOOL UnionRect(RECT* dest, const RECT* a, const RECT* b);
BOOL IsRectEmpty(const RECT* rect);
BOOL PtInRect(const RECT* rect, POINT point);
BOOL EqualRect(const RECT* a, const RECT* b);
