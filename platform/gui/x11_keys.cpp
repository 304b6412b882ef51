// Key translation of the X11 backend. Letters, digits, function and editing
// keys map onto the virtual keys of the platform; characters come from the
// key symbol (Latin-1, Latin-2 and Unicode symbols) and are typed in
// Windows-1250, the system's text encoding.

#include "platform/gui/x11_keys.h"

#include <X11/keysym.h>

#include "platform/gui/user.h"
#include "platform/rtl/text.h"

namespace {

// ISO 8859-2 characters 0xA1-0xFF, which the Latin-2 key symbols 0x1A1-0x1FF name.
constexpr char16_t kLatin2High[95] = {
    0x0104, 0x02D8, 0x0141, 0x00A4, 0x013D, 0x015A, 0x00A7, 0x00A8, 0x0160, 0x015E, 0x0164, 0x0179, 0x00AD,
    0x017D, 0x017B, 0x00B0, 0x0105, 0x02DB, 0x0142, 0x00B4, 0x013E, 0x015B, 0x02C7, 0x00B8, 0x0161, 0x015F,
    0x0165, 0x017A, 0x02DD, 0x017E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4,
    0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1,
    0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE,
    0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, 0x0159, 0x016F, 0x00FA, 0x0171,
    0x00FC, 0x00FD, 0x0163, 0x02D9};

struct KeyPair {
  unsigned long keysym;
  int vk;
};

constexpr KeyPair kKeys[] = {
    {XK_BackSpace, VK_BACK}, {XK_Tab, VK_TAB}, {XK_ISO_Left_Tab, VK_TAB}, {XK_Return, VK_RETURN},
    {XK_KP_Enter, VK_RETURN}, {XK_Pause, VK_PAUSE}, {XK_Escape, VK_ESCAPE}, {XK_space, VK_SPACE},
    {XK_Prior, VK_PRIOR}, {XK_Next, VK_NEXT}, {XK_End, VK_END}, {XK_Home, VK_HOME}, {XK_Left, VK_LEFT},
    {XK_Up, VK_UP}, {XK_Right, VK_RIGHT}, {XK_Down, VK_DOWN}, {XK_Insert, VK_INSERT}, {XK_Delete, VK_DELETE},
    {XK_Shift_L, VK_SHIFT}, {XK_Shift_R, VK_SHIFT}, {XK_Control_L, VK_CONTROL}, {XK_Control_R, VK_CONTROL},
    {XK_Alt_L, VK_MENU}, {XK_Alt_R, VK_MENU}, {XK_Meta_L, VK_MENU},
    {XK_Caps_Lock, VK_CAPITAL}, {XK_Num_Lock, VK_NUMLOCK}, {XK_Scroll_Lock, VK_SCROLL}, {XK_Super_L, VK_LWIN},
    {XK_Menu, VK_APPS}, {XK_KP_Multiply, VK_MULTIPLY}, {XK_KP_Add, VK_ADD}, {XK_KP_Subtract, VK_SUBTRACT},
    {XK_KP_Decimal, VK_DECIMAL}, {XK_KP_Divide, VK_DIVIDE}, {XK_semicolon, VK_OEM_1}, {XK_equal, VK_OEM_PLUS},
    {XK_comma, VK_OEM_COMMA}, {XK_minus, VK_OEM_MINUS}, {XK_period, VK_OEM_PERIOD}, {XK_slash, VK_OEM_2},
    {XK_grave, VK_OEM_3}, {XK_bracketleft, VK_OEM_4}, {XK_backslash, VK_OEM_5}, {XK_bracketright, VK_OEM_6},
    {XK_apostrophe, VK_OEM_7}};

}  // namespace

int KeysymToVirtualKey(unsigned long keysym) {
  if (keysym >= XK_a && keysym <= XK_z) return int('A' + (keysym - XK_a));
  if (keysym >= XK_A && keysym <= XK_Z) return int(keysym);
  if (keysym >= XK_0 && keysym <= XK_9) return int(keysym);
  if (keysym >= XK_F1 && keysym <= XK_F12) return int(VK_F1 + (keysym - XK_F1));
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return int(VK_NUMPAD0 + (keysym - XK_KP_0));
  for (const KeyPair& k : kKeys)
    if (k.keysym == keysym) return k.vk;
  return 0;
}

char32_t KeysymToUnicode(unsigned long keysym) {
  if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF)) return char32_t(keysym);
  if (keysym >= 0x1A1 && keysym <= 0x1FF) return kLatin2High[keysym - 0x1A1];
  if (keysym >= 0x1000100 && keysym <= 0x110FFFF) return char32_t(keysym - 0x1000000);
  if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return U'0' + char32_t(keysym - XK_KP_0);
  return 0;
}

std::string KeysymToAnsi(unsigned long keysym) {
  const char32_t c = KeysymToUnicode(keysym);
  if (c == 0 || c > 0xFFFF) return {};
  const char ansi = AnsiCharFromWide(char16_t(c), 0);
  return ansi ? std::string(1, ansi) : std::string();
}
