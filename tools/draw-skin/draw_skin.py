#!/usr/bin/env python3
"""Draws the skinned controls' own pictures: the built-in styles' named
bitmaps and the tray icon (skin/resources/, embedded into the program) and the pictures of the
main window's skin with its manifest (skin/main_skin/, packed by mkskin into
skin/resources/main_skin.ssk). Run it again after changing a picture, then
run mkskin on the manifest."""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "draw-resources"))
from draw_resources import bmp24, ico, icon_image, program_icon  # noqa: E402

ROOT = os.path.join(HERE, "..", "..", "skin")
MAGENTA = (255, 0, 255)


class Image:
    def __init__(self, width, height, fill=MAGENTA):
        self.w, self.h = width, height
        self.px = [[fill] * width for _ in range(height)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, w, h, c):
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                self.put(x, y, c)

    def vgrad(self, x0, y0, w, h, top, bottom):
        for y in range(h):
            t = y / max(1, h - 1)
            self.rect(x0, y0 + y, w, 1, mix(top, bottom, t))

    def hgrad(self, x0, y0, w, h, left, right):
        for x in range(w):
            t = x / max(1, w - 1)
            self.rect(x0 + x, y0, 1, h, mix(left, right, t))

    def frame(self, x0, y0, w, h, c):
        self.rect(x0, y0, w, 1, c)
        self.rect(x0, y0 + h - 1, w, 1, c)
        self.rect(x0, y0, 1, h, c)
        self.rect(x0 + w - 1, y0, 1, h, c)

    def round_corners(self, x0, y0, w, h):
        """Cuts the four corner pixels to the transparent colour."""
        for x, y in ((x0, y0), (x0 + w - 1, y0), (x0, y0 + h - 1), (x0 + w - 1, y0 + h - 1)):
            self.put(x, y, MAGENTA)

    def glyph(self, x0, y0, rows, c):
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch == "#":
                    self.put(x0 + dx, y0 + dy, c)

    def save(self, path):
        with open(path, "wb") as f:
            f.write(bmp24(self.w, self.h, lambda x, y: self.px[y][x]))


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def lighter(c, amount=0.45):
    return mix(c, (255, 255, 255), amount)


def darker(c, amount=0.35):
    return mix(c, (0, 0, 0), amount)


# 7 x 7 glyphs of the title buttons, in strip order (control box, help,
# maximize, restore, minimize, close).
GLYPHS = [
    [".......", ".#####.", ".#...#.", ".#...#.", ".#####.", ".......", "......."],
    ["..###..", ".#...#.", "....#..", "...#...", "...#...", ".......", "...#..."],
    ["#######", "#######", "#.....#", "#.....#", "#.....#", "#.....#", "#######"],
    ["..#####", "..#...#", "#####.#", "#...###", "#...#..", "#...#..", "#####.."],
    [".......", ".......", ".......", ".......", ".......", "######.", "######."],
    ["#.....#", ".#...#.", "..#.#..", "...#...", "..#.#..", ".#...#.", "#.....#"],
]
CHECK = ["......#", ".....##", "#...##.", "##.##..", ".###...", "..#...."]
DOT = [".###.", "#####", "#####", "#####", ".###."]
ARROW_UP = ["...#...", "..###..", ".#####.", "#######"]


def state_colour(base, state):
    """Normal, mouse over and pressed looks of one base colour."""
    return [base, lighter(base, 0.3), darker(base, 0.25)][state % 3]


def strip(frames, fw, h, draw):
    img = Image(frames * fw, h)
    for i in range(frames):
        draw(img, i * fw, fw, h, i)
    return img


def button_strip(width, height, base, border):
    fw = width // 3

    def draw(img, x, w, h, state):
        c = state_colour(base, state)
        img.vgrad(x, 0, w, h, lighter(c), c)
        img.frame(x, 0, w, h, border)
        img.round_corners(x, 0, w, h)
    return strip(3, fw, height, draw)


def title_buttons(width, height, base, border, ink, back=None):
    """With back (title top and bottom colours) the strip is opaque: the
    styles that draw their buttons without a transparent colour."""
    fw = width // 18

    def draw(img, x, w, h, i):
        c = state_colour(base, i % 3)
        if back:
            img.vgrad(x, 0, w, h, back[0], back[1])
        img.vgrad(x + 1, 1, w - 2, h - 2, lighter(c), c)
        img.frame(x + 1, 1, w - 2, h - 2, border)
        if not back:
            img.round_corners(x + 1, 1, w - 2, h - 2)
        img.glyph(x + (w - 7) // 2, (h - 7) // 2, GLYPHS[i // 3], ink)
    return strip(18, fw, height, draw)


def check_strip(width, height, frames, back, border, ink, mark=CHECK):
    """Frames alternate checked / unchecked; the second half is disabled."""
    fw = width // frames

    def draw(img, x, w, h, i):
        disabled = i >= frames // 2
        size = min(w, h)
        y = (h - size) // 2
        img.rect(x, y, size, size, (236, 236, 236) if disabled else back)
        img.frame(x, y, size, size, mix(border, (200, 200, 200), 0.6) if disabled else border)
        if i % 2 == 0:
            img.glyph(x + (size - len(mark[0])) // 2, y + (size - len(mark)) // 2, mark, (150, 150, 150) if disabled else ink)
    return strip(frames, fw, height, draw)


def scroll_button_strip(width, height, frames, base, border, ink, down=False):
    """Half the frames point up and half down; a three-frame strip points
    one way (down with `down`)."""
    fw = width // frames

    def draw(img, x, w, h, i):
        c = state_colour(base, i % 3)
        img.vgrad(x, 0, w, h, lighter(c), c)
        img.frame(x, 0, w, h, border)
        up = not down if frames == 3 else i < frames // 2
        rows = ARROW_UP if up else list(reversed(ARROW_UP))
        img.glyph(x + (w - 7) // 2, (h - 4) // 2, rows, ink)
    return strip(frames, fw, height, draw)


def plain(width, height, top, bottom, border=None, horizontal=False):
    img = Image(width, height)
    (img.hgrad if horizontal else img.vgrad)(0, 0, width, height, top, bottom)
    if border and width > 2 and height > 2:
        img.frame(0, 0, width, height, border)
    return img


def title_piece(width, height, top, bottom, edge, cut_left=False, cut_right=False):
    img = plain(width, height, top, bottom)
    img.rect(0, 0, width, 1, edge)
    if cut_left:
        img.put(0, 0, MAGENTA)
        img.put(1, 0, MAGENTA)
        img.put(0, 1, MAGENTA)
    if cut_right:
        img.put(width - 1, 0, MAGENTA)
        img.put(width - 2, 0, MAGENTA)
        img.put(width - 1, 1, MAGENTA)
    return img


def slider(width, height, base, border):
    img = plain(width, height, lighter(base), base, border)
    img.round_corners(0, 0, width, height)
    return img


# Built-in styles: (title top, title bottom, accent, border, glyph ink, face).
STYLES = {
    "MACOS": ((232, 232, 232), (178, 178, 178), (57, 115, 196), (127, 127, 127), (40, 40, 40), (231, 231, 231)),
    "WINXP": ((99, 150, 244), (0, 70, 214), (49, 105, 198), (0, 44, 200), (255, 255, 255), (239, 235, 222)),
    "DEEPBLUE": ((96, 102, 190), (40, 46, 130), (68, 74, 160), (0, 0, 0), (255, 255, 255), (232, 232, 232)),
    "PROTEIN": ((180, 182, 236), (45, 48, 196), (45, 48, 196), (0, 0, 0), (255, 255, 255), (251, 251, 251)),
    "BLUEGLASS": ((170, 170, 250), (94, 94, 236), (94, 94, 236), (0, 0, 0), (255, 255, 255), (231, 231, 231)),
}

SIZES = {  # part: sizes per style in the order of STYLES
    "BUTTON": [(252, 23), (54, 21), (222, 21), (222, 21), (231, 27)],
    "CHECKBOX": [(60, 17), (52, 13), (52, 13), (52, 13), (52, 13)],
    "RADIOBUTTON": [(64, 17), (52, 13), (52, 13), (52, 13), (52, 13)],
    "TITLEBTN": [(306, 17), (378, 21), (342, 19), (342, 19), (342, 19)],
    "TITLE_LEFT": [(48, 23), (35, 29), (97, 32), (441, 23), (162, 33)],
    "TITLE_CLIENT": [(49, 23), (37, 29), (98, 32), (1, 23), (179, 33)],
    "TITLE_RIGHT": [(48, 23), (35, 29), (97, 32), (1, 23), (101, 33)],
    "PROGRESSBAR": [(13, 10), (6, 10), (1, 10), (1, 10), (1, 10)],
    "TRACKBAR_BAR": [(45, 5), (45, 8), (45, 4), (45, 4), (45, 4)],
    "TRACKBAR_SLIDER": [(11, 20), (11, 21), (11, 20), (11, 20), (11, 20)],
    "TRACKBAR_SLIDER_V": [(19, 11), (22, 11), (18, 11), (18, 11), (18, 11)],
    "SCROLLBAR_BUTTON": [(96, 22), (96, 17), (96, 16), (96, 16), (102, 16)],
    "SCROLLBAR_TRACK": [(33, 16), (21, 16), (21, 16), (21, 16), (21, 16)],
    "CHECKLIST": [(40, 11), (44, 11), (44, 11), (44, 11), (44, 11)],
    "SCROLLBUTTON": [(72, 18), (72, 18), None, None, None],
    "TAB": [(36, 27), (18, 18), (12, 17), (18, 17), (18, 17)],
    "TAB_LINE": [(17, 7), (8, 1), (5, 5), (10, 5), (10, 5)],
    "SIDECHENNEL_HANDLE": [(7, 84), (8, 86), (8, 83), (8, 83), (8, 86)],
    "SIDECHENNEL_BAR": [(1, 21), (1, 21), (1, 20), (1, 21), (1, 21)],
}


# Styles whose title buttons are drawn without a transparent colour.
OPAQUE_TITLE_BUTTONS = {"MACOS", "WINXP", "DEEPBLUE"}


def draw_part(part, size, palette, opaque=False):
    w, h = size
    top, bottom, accent, border, ink, face = palette
    if part == "BUTTON":
        return button_strip(w, h, lighter(accent, 0.7), border)
    if part == "CHECKBOX":
        return check_strip(w, h, 4, (255, 255, 255), border, accent)
    if part == "RADIOBUTTON":
        return check_strip(w, h, 4, (255, 255, 255), border, accent, DOT)
    if part == "CHECKLIST":
        return check_strip(w, h, 4, (255, 255, 255), border, accent)
    if part == "TITLEBTN":
        return title_buttons(w, h, accent, border, ink, (top, bottom) if opaque else None)
    if part == "TITLE_LEFT":
        return title_piece(w, h, top, bottom, lighter(top), cut_left=True)
    if part == "TITLE_CLIENT":
        return title_piece(w, h, top, bottom, lighter(top))
    if part == "TITLE_RIGHT":
        return title_piece(w, h, top, bottom, lighter(top), cut_right=w > 2)
    if part == "PROGRESSBAR":
        return plain(w, h, lighter(accent), accent)
    if part == "TRACKBAR_BAR":
        return plain(w, h, darker(face, 0.3), lighter(face, 0.5), darker(face, 0.5))
    if part == "TRACKBAR_SLIDER":
        return slider(w, h, accent, border)
    if part == "TRACKBAR_SLIDER_V":
        return plain(w, h, lighter(accent), accent, border, horizontal=True)
    if part == "SCROLLBAR_BUTTON":
        return scroll_button_strip(w, h, 6, lighter(accent, 0.6), border, ink if ink != (255, 255, 255) else accent)
    if part == "SCROLLBAR_TRACK":
        return strip(3, w // 3, h, lambda img, x, fw, fh, i: img.vgrad(x, 0, fw, fh, lighter(accent, 0.6), lighter(accent, 0.2)))
    if part == "SCROLLBUTTON":
        return scroll_button_strip(w, h, 4, lighter(accent, 0.6), border, accent)
    if part == "TAB":
        return button_strip(w, h, face, border)
    if part == "TAB_LINE":
        return plain(w, h, border, border)
    if part == "SIDECHENNEL_HANDLE":
        return plain(w, h, lighter(accent), accent, border, horizontal=True)
    if part == "SIDECHENNEL_BAR":
        return plain(w, h, top, bottom)
    raise ValueError(part)


def draw_builtin_styles(out):
    for index, (style, palette) in enumerate(STYLES.items()):
        for part, sizes in SIZES.items():
            if sizes[index]:
                draw_part(part, sizes[index], palette, style in OPAQUE_TITLE_BUTTONS).save(os.path.join(out, f"{style}_{part}.bmp".lower()))
    draw_part("SCROLLBUTTON", (72, 17), STYLES["DEEPBLUE"]).save(os.path.join(out, "more_scrollbutton.bmp"))
    navigator_glyphs().save(os.path.join(out, "dbnav_button.bmp"))
    for name, image in shared_pictures():
        image.save(os.path.join(out, name.lower() + ".bmp"))


def stripes(width, height, colours, vertical=False):
    """Rows (or columns) repeating the colours in turn: a tiled form background."""
    img = Image(width, height)
    for y in range(height):
        for x in range(width):
            img.put(x, y, colours[(x if vertical else y) % len(colours)])
    return img


def shared_pictures():
    """The menus' check mark (black on white, white is transparent), the
    MacOS menu pictures and the two patterned form backgrounds."""
    check = Image(16, 16, (255, 255, 255))
    check.glyph(4, 5, CHECK, (0, 0, 0))
    mac = STYLES["MACOS"]
    return [
        ("MENU_CHECKED", check),
        ("MACOS_MENU_BAR", plain(10, 22, (246, 246, 246), (222, 222, 222))),
        ("MACOS_MENU_SELECT", plain(10, 22, lighter(mac[2], 0.3), mac[2])),
        ("MACOS_FORM_BACKGROUND", stripes(8, 4, [(238, 238, 238), (238, 238, 238), (228, 228, 228), (238, 238, 238)])),
        ("PROTEIN_FORM_BACKGROUND", stripes(4, 8, [(251, 251, 251), (241, 242, 250)], vertical=True)),
    ]


# --- the main window's skin: the green of the window's menu bar and borders ---------------
GREEN_DARK = (48, 117, 86)
GREEN_MID = (54, 143, 101)
GREEN_LIGHT = (84, 170, 130)
MENU_GREEN = (0, 201, 0)
MENU_BACK = (155, 255, 155)
TEXT_GREEN = (44, 99, 74)
WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


def rgb(c):
    """The platform colour value 0x00BBGGRR."""
    return c[0] | c[1] << 8 | c[2] << 16


MAIN_COLOURS = [
    ("SKIN2_TRANSCOLOR", MAGENTA), ("SKIN2_TITLEFONTCOLOR", WHITE), ("SKIN2_FORMCOLOR", WHITE),
    ("SKIN2_MENUBARSTARTCOLOR", GREEN_DARK), ("SKIN2_MENUBARENDCOLOR", GREEN_MID),
    ("SKIN2_TOPSELECTEDMENUCOLOR", MENU_GREEN), ("SKIN2_TOPSELECTEDMENUBORDERCOLOR", MENU_GREEN),
    ("SKIN2_TOPSELECTEDMENUFONTCOLOR", WHITE), ("SKIN2_TOPMENUFONTCOLOR", WHITE),
    ("SKIN2_LEFTBARSTARTCOLOR", MENU_GREEN), ("SKIN2_LEFTBARENDCOLOR", MENU_GREEN),
    ("SKIN2_MENUITEMCOLOR", MENU_BACK), ("SKIN2_MENUITEMFONTCOLOR", TEXT_GREEN),
    ("SKIN2_SELECTEDMENUCOLOR", MENU_GREEN), ("SKIN2_SELECTEDMENUBORDERCOLOR", MENU_GREEN),
    ("SKIN2_SELECTEDMENUFONTCOLOR", WHITE), ("SKIN2_TOOLBARSTARTCOLOR", GREEN_DARK),
    ("SKIN2_TOOLBARENDCOLOR", GREEN_MID), ("SKIN2_TOOLBARONCOLOR", MENU_BACK),
    ("SKIN2_TOOLBARBORDERCOLOR", GREEN_LIGHT), ("SKIN2_TOOLBARDOWNCOLOR", MENU_GREEN),
    ("SKIN2_CONTROLCOLOR", WHITE), ("SKIN2_CONTROLBORDERCOLOR", GREEN_LIGHT),
    ("SKIN2_CONTROLFONTCOLOR", TEXT_GREEN), ("SKIN2_BUTTONFONTCOLOR", TEXT_GREEN),
    ("SKIN2_SCROLLBARCOLOR", (230, 245, 236)), ("SKIN2_TABCONTROLCOLOR", WHITE),
    ("SKIN2_TABCONTROLBORDERCOLOR", GREEN_LIGHT), ("SKIN2_TABCONTROLACTIVEFONTCOLOR", TEXT_GREEN),
    ("SKIN2_TABCONTROLINACTIVEFONTCOLOR", (132, 130, 132)), ("SKIN2_SIDECHANNELCOLOR", WHITE),
    ("SKIN2_SIDECHANNELBORDERCOLOR", GREEN_LIGHT),
]
TITLE_HEIGHT = 30
MAIN_INTEGERS = [
    ("SKIN2_TITLEBARICONPOSX", 6), ("SKIN2_TITLEBARICONPOSY", 7), ("SKIN2_TITLEBARCAPTIONTOP", 8),
    ("SKIN2_TITLEBARBUTTONPOSX", 4), ("SKIN2_TITLEBARBUTTONPOSY", 6), ("SKIN2_TITLEBARREGIONMINY", 0),
    ("SKIN2_TITLEBARREGIONMAXY", 3), ("SKIN2_BOTTOMREGIONMINY", 0), ("SKIN2_BOTTOMREGIONMAXY", 0),
    # Kept by readers, asked for by no control: the skin's own bookkeeping.
    ("SKIN_FORMAT_VERSION", 2), ("SKIN_REVISION", 1),
]
MAIN_BOOLEANS = [
    ("SKIN2_TITLEFIVESECT", 0), ("SKIN2_BOTTOMBORDERTHREESECT", 1), ("SKIN2_TITLEBARNEEDREGION", 1),
    ("SKIN2_BOTTOMBORDERNEEDREGION", 0), ("SKIN2_TITLEBTNTRANS", 1), ("SKIN2_BUTTONTRANS", 1),
    ("SKIN2_CHECKBOXTRANS", 1), ("SKIN2_RADIOBUTTONTRANS", 1), ("SKIN2_TABCONTROLTRANS", 1),
]


def scroll_thumb_pieces(width, piece, light, mid, border):
    """A skin's scroll thumb as an upright strip: top cap, grip, bottom cap,
    each `piece` rows high (the thumb turns it to lie across)."""
    img = Image(width, 3 * piece)
    img.hgrad(0, 0, width, 3 * piece, light, mid)
    img.rect(0, 0, 1, 3 * piece, border)
    img.rect(width - 1, 0, 1, 3 * piece, border)
    img.rect(0, 0, width, 1, border)
    img.rect(0, 3 * piece - 1, width, 1, border)
    for y in (piece + 1, piece + 3, piece + 5):
        img.rect(4, y, width - 8, 1, border)
    return img


def navigator_glyphs():
    """The database navigator's ten 16 x 16 glyphs side by side: first, prior,
    next, last, insert, delete, edit, post, cancel, refresh."""
    img = Image(160, 16)
    ink, green, red = (0, 0, 0), (0, 128, 0), (192, 0, 0)

    def triangle(x0, right):
        """A 5-column triangle pointing left or right, centred on row 7.5."""
        for i in range(5):
            half = 4 - i if right else i
            img.rect(x0 + i, 7 - half, 1, 2 * half + 2, ink)

    triangle(6, False)                      # first: a bar and a left triangle
    img.rect(3, 3, 2, 10, ink)
    triangle(16 + 5, False)                 # prior
    triangle(16 * 2 + 6, True)              # next
    triangle(16 * 3 + 5, True)              # last: a right triangle and a bar
    img.rect(16 * 3 + 11, 3, 2, 10, ink)
    img.rect(16 * 4 + 7, 3, 2, 10, ink)     # insert: a plus
    img.rect(16 * 4 + 3, 7, 10, 2, ink)
    img.rect(16 * 5 + 3, 7, 10, 2, ink)     # delete: a minus
    for i in range(8):                      # edit: a pencil stroke
        img.rect(16 * 6 + 4 + i, 11 - i, 2, 2, ink)
    img.rect(16 * 6 + 3, 12, 2, 1, ink)
    img.glyph(16 * 7 + 4, 5, CHECK, green)  # post: a check mark
    img.glyph(16 * 7 + 5, 5, CHECK, green)
    for i in range(8):                      # cancel: a cross
        img.rect(16 * 8 + 4 + i, 4 + i, 1, 1, red)
        img.rect(16 * 8 + 4 + i, 11 - i, 1, 1, red)
        img.rect(16 * 8 + 5 + i, 4 + i, 1, 1, red)
        img.rect(16 * 8 + 5 + i, 11 - i, 1, 1, red)
    x0 = 16 * 9                             # refresh: a broken ring with an arrow head
    for y in range(16):
        for x in range(16):
            d = ((x - 7.5) ** 2 + (y - 7.5) ** 2) ** 0.5
            if 3.5 <= d <= 5.5 and not (x > 8 and y < 7):
                img.put(x0 + x, y, ink)
    img.rect(x0 + 9, 2, 4, 1, ink)
    img.rect(x0 + 12, 2, 1, 4, ink)
    return img


def main_bitmaps():
    palette = (GREEN_MID, GREEN_DARK, GREEN_LIGHT, BLACK, WHITE, WHITE)
    title = lambda w, **cut: title_piece(w, TITLE_HEIGHT, GREEN_LIGHT, GREEN_DARK, lighter(GREEN_LIGHT), **cut)  # noqa: E731
    return [
        ("SKIN2_TITLEBAR1", title(32, cut_left=True)),
        ("SKIN2_TITLEBAR2", title(10)),
        ("SKIN2_TITLEBAR3", title(34, cut_right=True)),
        ("SKIN2_FORMLEFTBORDER", plain(4, 10, GREEN_DARK, GREEN_LIGHT, horizontal=True)),
        ("SKIN2_FORMRIGHTBORDER", plain(4, 10, GREEN_LIGHT, GREEN_DARK, horizontal=True)),
        ("SKIN2_FORMBOTTOMBORDER1", plain(4, 4, GREEN_LIGHT, GREEN_DARK)),
        ("SKIN2_FORMBOTTOMBORDER2", plain(10, 4, GREEN_LIGHT, GREEN_DARK)),
        ("SKIN2_FORMBOTTOMBORDER3", plain(4, 4, GREEN_LIGHT, GREEN_DARK)),
        ("SKIN2_MINIMIZEDTITLE", title(160, cut_left=True, cut_right=True)),
        ("SKIN2_TITLEBUTTONS", title_buttons(306, 17, GREEN_MID, BLACK, WHITE)),
        ("SKIN2_CHECKEDMENUICON", check_strip(16, 16, 2, MENU_BACK, MENU_BACK, TEXT_GREEN)),
        ("SKIN2_MENUBAR", plain(10, 22, GREEN_DARK, GREEN_MID)),
        ("SKIN2_BUTTON", button_strip(222, 23, (220, 244, 230), GREEN_LIGHT)),
        ("SKIN2_CHECKBOX", check_strip(52, 13, 4, WHITE, GREEN_LIGHT, TEXT_GREEN)),
        ("SKIN2_CHECKBOXLIST", check_strip(44, 11, 4, WHITE, GREEN_LIGHT, TEXT_GREEN)),
        ("SKIN2_RADIOBUTTON", check_strip(52, 13, 4, WHITE, GREEN_LIGHT, TEXT_GREEN, DOT)),
        ("SKIN2_PROGRESSBAR1", plain(3, 12, GREEN_LIGHT, GREEN_DARK)),
        ("SKIN2_PROGRESSBAR2", plain(1, 12, GREEN_LIGHT, GREEN_MID)),
        ("SKIN2_PROGRESSBAR3", plain(1, 12, WHITE, (230, 245, 236))),
        ("SKIN2_PROGRESSBAR4", plain(3, 12, GREEN_LIGHT, GREEN_DARK)),
        ("SKIN2_TRACKBAR", draw_part("TRACKBAR_BAR", (45, 4), palette)),
        ("SKIN2_TRACKBARSLIDER", slider(11, 20, GREEN_MID, BLACK)),
        ("SKIN2_TRACKBARVSLIDER", plain(18, 11, GREEN_LIGHT, GREEN_MID, BLACK, horizontal=True)),
        ("SKIN2_SCROLLBARUPBUTTON", scroll_button_strip(48, 16, 3, (200, 235, 215), GREEN_LIGHT, TEXT_GREEN)),
        ("SKIN2_SCROLLBAR", scroll_thumb_pieces(16, 7, GREEN_LIGHT, GREEN_MID, GREEN_DARK)),
        ("SKIN2_SCROLLBARDOWNBUTTON", scroll_button_strip(48, 16, 3, (200, 235, 215), GREEN_LIGHT, TEXT_GREEN, down=True)),
        ("SKIN2_TABCONTROL", button_strip(18, 17, WHITE, GREEN_LIGHT)),
        ("SKIN2_TABCONTROLLINE", plain(10, 5, GREEN_LIGHT, GREEN_LIGHT)),
        ("SKIN2_SIDECHANNELBAR", plain(1, 21, GREEN_LIGHT, GREEN_DARK)),
        ("SKIN2_SIDECHANNELTITLE", plain(8, 83, GREEN_LIGHT, GREEN_MID, BLACK, horizontal=True)),
        ("SKIN2_SCROLLBUTTON", scroll_button_strip(72, 18, 4, (200, 235, 215), GREEN_LIGHT, TEXT_GREEN)),
    ]


def draw_main_skin(out):
    lines = ["# The main window's skin: key, type, value (bitmaps are files beside this one).",
             "# Written by tools/draw-skin/draw_skin.py; packed by mkskin into skin/resources/main_skin.ssk."]
    for name, image in main_bitmaps():
        image.save(os.path.join(out, name.lower() + ".bmp"))
        lines.append(f"{name} bitmap {name.lower()}.bmp")
    lines += [f"{name} integer 0x{rgb(c):06X}" for name, c in MAIN_COLOURS]
    lines += [f"{name} integer {value}" for name, value in MAIN_INTEGERS]
    lines += [f"{name} boolean {value}" for name, value in MAIN_BOOLEANS]
    with open(os.path.join(out, "main_skin.manifest"), "w") as f:
        f.write("\n".join(lines) + "\n")


def draw_tray_icon(out):
    """The program's picture in the sizes a notification area asks for."""
    with open(os.path.join(out, "trayicon.ico"), "wb") as f:
        f.write(ico([(size, icon_image(size, program_icon(size))) for size in (48, 32, 16)]))


def draw_message_icons(out):
    """The message dialog's icons, 42 x 42 side by side: warning, stop,
    information, help."""
    img = Image(168, 42)
    size = 42

    def disc(x0, colour):
        r = size / 2 - 2
        for y in range(size):
            for x in range(size):
                d = ((x + 0.5 - size / 2) ** 2 + (y + 0.5 - size / 2) ** 2) ** 0.5
                if d <= r:
                    img.put(x0 + x, y, darker(colour, 0.3) if d > r - 2 else colour)

    # Warning: a yellow triangle with a black "!".
    for y in range(4, 38):
        half = (y - 4) * 18 // 34
        img.rect(21 - half, y, 2 * half + 1, 1, (0, 0, 0) if half < 1 or y == 37 else (250, 210, 40))
        img.put(21 - half, y, (0, 0, 0))
        img.put(21 + half, y, (0, 0, 0))
    img.rect(20, 14, 3, 14, (0, 0, 0))
    img.rect(20, 31, 3, 3, (0, 0, 0))
    # Stop: a red disc with a white cross.
    disc(42, (210, 30, 30))
    for i in range(14):
        img.rect(42 + 14 + i, 14 + i, 2, 2, (255, 255, 255))
        img.rect(42 + 27 - i, 14 + i, 2, 2, (255, 255, 255))
    # Information: a blue disc with a white "i".
    disc(84, (40, 90, 200))
    img.rect(84 + 19, 10, 4, 4, (255, 255, 255))
    img.rect(84 + 19, 17, 4, 15, (255, 255, 255))
    # Help: a blue disc with a white "?".
    disc(126, (40, 90, 200))
    img.glyph(126 + 15, 10, ["  ####  ", " ##  ## ", " ##  ## ", "     ## ", "    ##  ", "   ##   ",
                             "   ##   ", "        ", "   ##   ", "   ##   "], (255, 255, 255))
    for dy in range(10):
        for dx in range(8):
            if img.px[10 + dy][126 + 15 + dx] == (255, 255, 255):
                img.rect(126 + 15 + 2 * dx - 8, 10 + 2 * dy, 2, 2, (255, 255, 255))
    img.save(os.path.join(out, "msgdlg.bmp"))


def main():
    draw_builtin_styles(os.path.join(ROOT, "resources"))
    draw_message_icons(os.path.join(ROOT, "resources"))
    draw_tray_icon(os.path.join(ROOT, "resources"))
    draw_main_skin(os.path.join(ROOT, "main_skin"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
