// The classic system colour scheme and metric values, fixed so that drawing
// never depends on the machine it runs on.
#include "platform/gui/colors.h"

#include "platform/gui/gdi_objects.h"

namespace {

constexpr int kSysColorCount = 31;

constexpr COLORREF kSysColors[kSysColorCount] = {
    RGB(192, 192, 192),  // scroll bar
    RGB(0, 128, 128),    // desktop
    RGB(0, 0, 128),      // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(192, 192, 192),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(192, 192, 192),  // active border
    RGB(192, 192, 192),  // inactive border
    RGB(128, 128, 128),  // application work space
    RGB(0, 0, 128),      // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(192, 192, 192),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(192, 192, 192),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(0, 0, 0),        // 3-D dark shadow
    RGB(223, 223, 223),  // 3-D light
    RGB(0, 0, 0),        // tooltip text
    RGB(255, 255, 225),  // tooltip background
    RGB(181, 181, 181),  // unused slot
    RGB(0, 0, 255),      // hot-tracked item
    RGB(16, 132, 208),   // active caption gradient
    RGB(181, 181, 181),  // inactive caption gradient
    RGB(0, 0, 128),      // menu highlight
    RGB(192, 192, 192),  // menu bar
};

int g_screenWidth = 1024;
int g_screenHeight = 768;

}  // namespace

COLORREF GetSysColor(int index) {
  return index >= 0 && index < kSysColorCount ? kSysColors[index] : 0;
}

HBRUSH GetSysColorBrush(int index) {
  static HBRUSH brushes[kSysColorCount] = {};
  if (index < 0 || index >= kSysColorCount) return nullptr;
  if (!brushes[index]) {
    brushes[index] = CreateSolidBrush(kSysColors[index]);
    brushes[index]->stock = true;  // shared; DeleteObject leaves it alone
  }
  return brushes[index];
}

void SetScreenSize(int width, int height) {
  g_screenWidth = width;
  g_screenHeight = height;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: case SM_CXFULLSCREEN: case SM_CXMAXTRACK: case SM_CXMAXIMIZED: case SM_CXVIRTUALSCREEN:
      return g_screenWidth;
    case SM_CYSCREEN: case SM_CYMAXTRACK: case SM_CYMAXIMIZED: case SM_CYVIRTUALSCREEN:
      return g_screenHeight;
    case SM_CYFULLSCREEN: return g_screenHeight - 19;
    case SM_CXBORDER: case SM_CYBORDER: case SM_CXFOCUSBORDER: case SM_CYFOCUSBORDER: case SM_MOUSEPRESENT:
    case SM_CMONITORS:
      return 1;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME: case SM_CYFRAME: case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: case SM_CXDRAG: case SM_CYDRAG:
      return 4;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVTHUMB: case SM_CXHTHUMB: case SM_CYVSCROLL:
    case SM_CXHSCROLL: case SM_CXSMICON: case SM_CYSMICON:
      return 16;
    case SM_CXMENUCHECK: case SM_CYMENUCHECK: return 13;
    case SM_CYCAPTION: case SM_CXSIZE: case SM_CYSIZE: case SM_CXMENUSIZE: case SM_CYMENUSIZE: return 18;
    case SM_CYMENU: return 19;
    case SM_CYSMCAPTION: case SM_CXSMSIZE: case SM_CYSMSIZE: return 15;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXICONSPACING: case SM_CYICONSPACING: return 75;
    case SM_CXMIN: case SM_CXMINTRACK: return 112;
    case SM_CYMIN: case SM_CYMINTRACK: return 27;
  }
  return 0;
}

COLORREF ColorToRGB(TColor color) {
  if (color < 0) return GetSysColor(int(unsigned(color) & 0xFF));
  if (color == clNone || color == clDefault) return 0;
  return COLORREF(color) & 0xFFFFFF;
}
