// System colours and metrics as fixed tables with the classic values, and the
// named colours of the graphics classes. Nothing here reads the host desktop,
// so every machine draws the same pixels.
#pragma once

#include "platform/gui/gdi_types.h"

enum : int {
  COLOR_SCROLLBAR = 0, COLOR_BACKGROUND, COLOR_ACTIVECAPTION, COLOR_INACTIVECAPTION, COLOR_MENU, COLOR_WINDOW,
  COLOR_WINDOWFRAME, COLOR_MENUTEXT, COLOR_WINDOWTEXT, COLOR_CAPTIONTEXT, COLOR_ACTIVEBORDER,
  COLOR_INACTIVEBORDER, COLOR_APPWORKSPACE, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE,
  COLOR_BTNSHADOW, COLOR_GRAYTEXT, COLOR_BTNTEXT, COLOR_INACTIVECAPTIONTEXT, COLOR_BTNHIGHLIGHT,
  COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_INFOTEXT, COLOR_INFOBK, COLOR_HOTLIGHT = 26,
  COLOR_GRADIENTACTIVECAPTION, COLOR_GRADIENTINACTIVECAPTION, COLOR_MENUHILIGHT, COLOR_MENUBAR,
  COLOR_DESKTOP = COLOR_BACKGROUND, COLOR_3DFACE = COLOR_BTNFACE, COLOR_3DSHADOW = COLOR_BTNSHADOW,
  COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT, COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT
};

enum : int {
  SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4, SM_CXBORDER = 5,
  SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8, SM_CYVTHUMB = 9, SM_CXHTHUMB = 10, SM_CXICON = 11,
  SM_CYICON = 12, SM_CXCURSOR = 13, SM_CYCURSOR = 14, SM_CYMENU = 15, SM_CXFULLSCREEN = 16,
  SM_CYFULLSCREEN = 17, SM_MOUSEPRESENT = 19, SM_CYVSCROLL = 20, SM_CXHSCROLL = 21, SM_SWAPBUTTON = 23,
  SM_CXMIN = 28, SM_CYMIN = 29, SM_CXSIZE = 30, SM_CYSIZE = 31, SM_CXFRAME = 32, SM_CYFRAME = 33,
  SM_CXMINTRACK = 34, SM_CYMINTRACK = 35, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_CXICONSPACING = 38,
  SM_CYICONSPACING = 39, SM_MENUDROPALIGNMENT = 40, SM_CXEDGE = 45, SM_CYEDGE = 46, SM_CXSMICON = 49,
  SM_CYSMICON = 50, SM_CYSMCAPTION = 51, SM_CXSMSIZE = 52, SM_CYSMSIZE = 53, SM_CXMENUSIZE = 54,
  SM_CYMENUSIZE = 55, SM_CXMAXTRACK = 59, SM_CYMAXTRACK = 60, SM_CXMAXIMIZED = 61, SM_CYMAXIMIZED = 62,
  SM_CXDRAG = 68, SM_CYDRAG = 69, SM_CXMENUCHECK = 71, SM_CYMENUCHECK = 72, SM_CXVIRTUALSCREEN = 78,
  SM_CYVIRTUALSCREEN = 79, SM_CMONITORS = 80, SM_CXFOCUSBORDER = 83, SM_CYFOCUSBORDER = 84,
  SM_CXFIXEDFRAME = SM_CXDLGFRAME, SM_CYFIXEDFRAME = SM_CYDLGFRAME, SM_CXSIZEFRAME = SM_CXFRAME,
  SM_CYSIZEFRAME = SM_CYFRAME
};

COLORREF GetSysColor(int index);
HBRUSH GetSysColorBrush(int index);
int GetSystemMetrics(int index);
// The window layer sets the screen size it emulates; 1024 x 768 until then.
void SetScreenSize(int width, int height);

// Named colours of the graphics classes ($00BBGGRR; system colours are
// $80000000 + index, as the platform defines them).
constexpr TColor clSystemColor = TColor(0x80000000u);
constexpr TColor SysColor(int index) { return TColor(0x80000000u | unsigned(index)); }
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF,
                 clMoneyGreen = 0xC0DCC0, clSkyBlue = 0xF0CAA6, clCream = 0xF0FBFF, clMedGray = 0xA4A0A0,
                 clNone = 0x1FFFFFFF, clDefault = 0x20000000;
constexpr TColor clScrollBar = SysColor(COLOR_SCROLLBAR), clBackground = SysColor(COLOR_BACKGROUND),
                 clActiveCaption = SysColor(COLOR_ACTIVECAPTION),
                 clInactiveCaption = SysColor(COLOR_INACTIVECAPTION), clMenu = SysColor(COLOR_MENU),
                 clWindow = SysColor(COLOR_WINDOW), clWindowFrame = SysColor(COLOR_WINDOWFRAME),
                 clMenuText = SysColor(COLOR_MENUTEXT), clWindowText = SysColor(COLOR_WINDOWTEXT),
                 clCaptionText = SysColor(COLOR_CAPTIONTEXT), clActiveBorder = SysColor(COLOR_ACTIVEBORDER),
                 clInactiveBorder = SysColor(COLOR_INACTIVEBORDER), clAppWorkSpace = SysColor(COLOR_APPWORKSPACE),
                 clHighlight = SysColor(COLOR_HIGHLIGHT), clHighlightText = SysColor(COLOR_HIGHLIGHTTEXT),
                 clBtnFace = SysColor(COLOR_BTNFACE), clBtnShadow = SysColor(COLOR_BTNSHADOW),
                 clGrayText = SysColor(COLOR_GRAYTEXT), clBtnText = SysColor(COLOR_BTNTEXT),
                 clInactiveCaptionText = SysColor(COLOR_INACTIVECAPTIONTEXT),
                 clBtnHighlight = SysColor(COLOR_BTNHIGHLIGHT), cl3DDkShadow = SysColor(COLOR_3DDKSHADOW),
                 cl3DLight = SysColor(COLOR_3DLIGHT), clInfoText = SysColor(COLOR_INFOTEXT),
                 clInfoBk = SysColor(COLOR_INFOBK), clHotLight = SysColor(COLOR_HOTLIGHT),
                 clGradientActiveCaption = SysColor(COLOR_GRADIENTACTIVECAPTION),
                 clGradientInactiveCaption = SysColor(COLOR_GRADIENTINACTIVECAPTION),
                 clMenuHighlight = SysColor(COLOR_MENUHILIGHT), clMenuBar = SysColor(COLOR_MENUBAR);

// A colour as an RGB value: system colours are looked up, clNone and
// clDefault give black.
COLORREF ColorToRGB(TColor color);
