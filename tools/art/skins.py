"""Draws the shipped skins into data/Skins/: for every bitmap skin the 21 bitmaps of the
window's frame, title bar, icon, buttons and velocity fader, its pointer and its
"config.txt"; for the windows-style skin only "config.txt".

Usage: skins.py REPOSITORY_ROOT. Change a palette below and run tools/art/make again.

Sizes that belong together: the title bitmaps, the icon and the buttons share the title
height; "FaderV BG.bmp" is as wide as "FaderH BG.bmp" is high (the fader strip); the
border's outer BORDER pixels are what stays visible around the window's content.
"""

import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu/"
TITLE_TEXT = "Zevaver MIDI Keyboard"

BORDER = 4  # BorderSize
CORNER = 16  # CornerSize: corner squares cut out of Border.bmp
TITLE_H = 20  # height of the title row
FADER_W = 24  # thickness of the fader strip
SCALE = 4  # glyphs are drawn this much larger, then scaled down smoothly


# --- Colour helpers -------------------------------------------------------------------


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def lighter(c, t):
    return mix(c, (255, 255, 255), t)


def darker(c, t):
    return mix(c, (0, 0, 0), t)


def vertical_gradient(size, stops):
    """stops: [(position 0..1, colour), ...] from top to bottom."""
    w, h = size
    img = Image.new("RGB", size)
    px = img.load()
    for y in range(h):
        t = y / max(h - 1, 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                colour = mix(c0, c1, (t - p0) / max(p1 - p0, 1e-9))
                break
        for x in range(w):
            px[x, y] = colour
    return img


def horizontal_gradient(size, stops):
    return vertical_gradient((size[1], size[0]), stops).transpose(Image.Transpose.TRANSPOSE)


def bevel(img, box, light, dark, width=1):
    """A raised edge: light along the top and left, dark along the bottom and right."""
    d = ImageDraw.Draw(img)
    x0, y0, x1, y1 = box
    for i in range(width):
        d.line([(x0 + i, y1 - i), (x0 + i, y0 + i), (x1 - i, y0 + i)], fill=light)
        d.line([(x0 + i + 1, y1 - i), (x1 - i, y1 - i), (x1 - i, y0 + i + 1)], fill=dark)


def font(size, bold=True):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    return ImageFont.truetype(FONT_DIR + name, size)


def glyph_layer(size, draw_fn):
    """An antialiased mask drawn at SCALE times the size."""
    w, h = size
    big = Image.new("L", (w * SCALE, h * SCALE), 0)
    draw_fn(ImageDraw.Draw(big), SCALE)
    return big.resize(size, Image.Resampling.LANCZOS)


def paint_glyph(img, draw_fn, colour, offset=(0, 0)):
    mask = glyph_layer(img.size, draw_fn)
    if offset != (0, 0):
        shifted = Image.new("L", img.size, 0)
        shifted.paste(mask, offset)
        mask = shifted
    img.paste(Image.new("RGB", img.size, colour), (0, 0), mask)


# --- The pieces of a bitmap skin -------------------------------------------------------


def title_bar(p, width):
    return vertical_gradient(
        (width, TITLE_H),
        [(0.0, p["bar_top"]), (0.45, p["bar_mid"]), (0.55, p["bar_low"]), (1.0, p["bar_bottom"])],
    )


def border_bitmap(p):
    size = 64
    img = Image.new("RGB", (size, size), p["well"])
    d = ImageDraw.Draw(img)
    # Outer frame: a dark outline, a lit bevel and the frame colour, then a dark step down
    # into the well the content sits in.
    d.rectangle([0, 0, size - 1, size - 1], outline=p["outline"])
    bevel(img, (1, 1, size - 2, size - 2), p["frame_light"], p["frame_dark"])
    d.rectangle([2, 2, size - 3, size - 3], outline=p["frame"])
    d.rectangle([BORDER - 1, BORDER - 1, size - BORDER, size - BORDER], outline=p["frame_dark"])
    d.rectangle([BORDER, BORDER, size - BORDER - 1, size - BORDER - 1], fill=p["well"])
    return img


def title_text_bitmap(p, active):
    f = font(12)
    text_w = round(f.getlength(TITLE_TEXT))
    width = text_w + 16
    img = title_bar(p, width)
    colour = p["title_text"] if active else p["title_text_inactive"]
    d = ImageDraw.Draw(img)
    ascent, descent = f.getmetrics()
    y = (TITLE_H - (ascent + descent)) // 2 + 1
    if active:
        d.text((9, y + 1), TITLE_TEXT, font=f, fill=p["title_shadow"])
    d.text((8, y), TITLE_TEXT, font=f, fill=colour)
    return img


def icon_bitmap(p, state):
    """A small keyboard on a rounded plate; the blink lights its LED. Square: the icon box
    is as wide as the title is high."""
    w = TITLE_H
    img = title_bar(p, w)
    # A blink lights the whole plate as well as the LED, so it shows at a glance.
    plate = {
        "normal": p["icon_plate"],
        "blink": lighter(p["icon_plate"], 0.35),
        "disabled": p["icon_off"],
    }[state]
    led = {"normal": p["led_idle"], "blink": p["led_on"], "disabled": p["led_off"]}[state]
    keys_white = (240, 240, 236) if state != "disabled" else (170, 170, 170)
    keys_black = (30, 30, 34) if state != "disabled" else (95, 95, 95)

    def draw(d, s):
        d.rounded_rectangle([3 * s, 3 * s, (w - 3) * s, (TITLE_H - 3) * s], radius=3 * s, fill=1)

    paint_glyph(img, draw, darker(plate, 0.45))
    inner = Image.new("RGB", img.size)
    inner.paste(img)
    paint_glyph(
        img,
        lambda d, s: d.rounded_rectangle(
            [4 * s, 4 * s, (w - 4) * s, (TITLE_H - 4) * s], radius=2 * s, fill=255
        ),
        plate,
    )
    d = ImageDraw.Draw(img)
    # Five white keys with three black ones, under a strip holding the LED.
    x0, y0, y1 = 5, 9, TITLE_H - 6
    for k in range(4):
        d.rectangle([x0 + k * 3, y0, x0 + k * 3 + 1, y1], fill=keys_white)
    for k in (0, 1):
        d.rectangle([x0 + k * 3 + 2, y0, x0 + k * 3 + 2, y0 + 3], fill=keys_black)
    d.rectangle([w - 8, 6, w - 6, 8], fill=led)
    if state == "blink":
        for dx, dy in ((-1, 0), (3, 0), (1, -1), (1, 3)):
            x, y = w - 7 + dx, 7 + dy
            if 0 <= x < w and 0 <= y < TITLE_H:
                img.putpixel((x, y), mix(img.getpixel((x, y)), p["led_on"], 0.5))
    return img


def button_bitmap(p, kind, down):
    w = 22 if kind == "close" else 20
    face = p["close_face"] if kind == "close" else p["button_face"]
    img = title_bar(p, w)
    box = (1, 2, w - 2, TITLE_H - 3)
    inner = Image.new("RGB", (box[2] - box[0] + 1, box[3] - box[1] + 1))
    top, bottom = (lighter(face, 0.35), darker(face, 0.15))
    if down:
        top, bottom = darker(face, 0.30), darker(face, 0.05)
    inner = vertical_gradient(inner.size, [(0.0, top), (1.0, bottom)])
    img.paste(inner, box[:2])
    d = ImageDraw.Draw(img)
    d.rectangle(box, outline=p["outline"])
    inset = (box[0] + 1, box[1] + 1, box[2] - 1, box[3] - 1)
    if down:
        bevel(img, inset, darker(face, 0.5), lighter(face, 0.1))
    else:
        bevel(img, inset, lighter(face, 0.6), darker(face, 0.35))

    shift = (1, 1) if down else (0, 0)
    cx, cy = (box[0] + box[2] + 1) / 2, (box[1] + box[3] + 1) / 2
    glyph = p["glyph_down"] if down else p["glyph"]

    def cross(d, s):
        r = 3.6
        wd = round(2.1 * s)
        d.line([((cx - r) * s, (cy - r) * s), ((cx + r) * s, (cy + r) * s)], fill=255, width=wd)
        d.line([((cx - r) * s, (cy + r) * s), ((cx + r) * s, (cy - r) * s)], fill=255, width=wd)

    def bar(d, s):
        d.rectangle([(cx - 4) * s, (cy + 2) * s, (cx + 4) * s, (cy + 4) * s], fill=255)

    draw = cross if kind == "close" else bar
    if not down:
        paint_glyph(img, draw, darker(face, 0.55), (1 * 1, 1 * 1))
    paint_glyph(img, draw, glyph, shift)
    return img


def fader_track(p, vertical):
    """One tile of the track: a recessed slot across the strip's middle."""
    length = 8
    across = FADER_W
    stops = [
        (0.0, p["fader_bg_edge"]),
        (0.12, p["fader_bg"]),
        (0.88, p["fader_bg"]),
        (1.0, p["fader_bg_edge"]),
    ]
    img = horizontal_gradient((across, length), stops)
    d = ImageDraw.Draw(img)
    mid = across // 2
    d.line([(mid - 2, 0), (mid - 2, length - 1)], fill=p["slot_dark"])
    d.line([(mid - 1, 0), (mid - 1, length - 1)], fill=darker(p["slot_dark"], 0.4))
    d.line([(mid, 0), (mid, length - 1)], fill=darker(p["slot_dark"], 0.4))
    d.line([(mid + 1, 0), (mid + 1, length - 1)], fill=p["slot_light"])
    # Tick marks every tile, at the strip's edges.
    d.line([(3, 0), (6, 0)], fill=p["tick"])
    d.line([(across - 7, 0), (across - 4, 0)], fill=p["tick"])
    return img if vertical else img.transpose(Image.Transpose.TRANSPOSE)


def fader_cap(p, where):
    """The track's end: a rounded end of the slot."""
    across, length = FADER_W, 6
    stops = [(0.0, p["fader_bg_edge"]), (0.12, p["fader_bg"]), (0.88, p["fader_bg"]), (1.0, p["fader_bg_edge"])]
    img = horizontal_gradient((across, length), stops)
    d = ImageDraw.Draw(img)
    mid = across // 2
    # Slot end at the inner side (bottom of the top cap).
    d.rectangle([mid - 2, 3, mid + 1, length - 1], fill=darker(p["slot_dark"], 0.4))
    d.line([(mid - 2, 3), (mid + 1, 3)], fill=p["slot_dark"])
    d.line([(mid + 1, 4), (mid + 1, length - 1)], fill=p["slot_light"])
    img = {
        "top": img,
        "bottom": img.transpose(Image.Transpose.FLIP_TOP_BOTTOM),
        "left": img.transpose(Image.Transpose.TRANSPOSE),
        "right": img.transpose(Image.Transpose.TRANSPOSE).transpose(Image.Transpose.FLIP_LEFT_RIGHT),
    }[where]
    return img


def fader_thumb(p, vertical, active):
    across, length = 20, 12
    face = p["thumb_active"] if active else p["thumb"]
    img = vertical_gradient(
        (across, length),
        [(0.0, lighter(face, 0.45)), (0.5, face), (0.51, darker(face, 0.12)), (1.0, darker(face, 0.3))],
    )
    d = ImageDraw.Draw(img)
    d.rectangle([0, 0, across - 1, length - 1], outline=p["outline"])
    bevel(img, (1, 1, across - 2, length - 2), lighter(face, 0.7), darker(face, 0.45))
    # The grip line in the middle marks the value.
    d.line([(3, length // 2 - 1), (across - 4, length // 2 - 1)], fill=darker(face, 0.55))
    d.line([(3, length // 2), (across - 4, length // 2)], fill=lighter(face, 0.75))
    return img if vertical else img.transpose(Image.Transpose.TRANSPOSE)


# --- Pointer -------------------------------------------------------------------------


def cursor_image(p, size):
    """One size of the arrow: 32-bit pixels and the mask, bottom-up, with their header."""
    img = Image.new("RGBA", (size * SCALE, size * SCALE), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    s = SCALE * size / 32
    arrow = [(1, 1), (1, 17), (5, 13), (8, 20), (11, 19), (8, 12), (13, 12)]
    pts = [(x * s, y * s) for x, y in arrow]
    d.polygon(pts, fill=p["cursor_fill"] + (255,), outline=(0, 0, 0, 255))
    d.line(pts + [pts[0]], fill=(0, 0, 0, 255), width=round(s))
    img = img.resize((size, size), Image.Resampling.LANCZOS)
    pixels = img.load()
    xor = bytearray()
    for y in range(size - 1, -1, -1):  # bottom-up rows
        for x in range(size):
            r, g, b, a = pixels[x, y]
            xor += bytes((b * a // 255, g * a // 255, r * a // 255, a))
    and_mask = bytearray()
    row_bytes = (size + 31) // 32 * 4
    for y in range(size - 1, -1, -1):
        bits = 0
        for x in range(size):
            bits = (bits << 1) | (1 if pixels[x, y][3] == 0 else 0)
        and_mask += (bits << (row_bytes * 8 - size)).to_bytes(row_bytes, "big")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(and_mask)


def cursor_file(p):
    """The arrow in the skin's colours as a .cur file (hot spot at its tip), at 32 x 32 and at
    the sizes Windows asks for at 150 % and 200 %."""
    sizes = [32, 48, 64]
    images = [cursor_image(p, size) for size in sizes]
    directory = struct.pack("<HHH", 0, 2, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, image in zip(sizes, images):
        hot = round(size / 32)
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, hot, hot, len(image), offset)
        offset += len(image)
    return directory + b"".join(images)


# --- Skins ---------------------------------------------------------------------------

COMMON = {
    "outline": (16, 16, 18),
    "title_shadow": (0, 0, 0),
    "glyph": (250, 250, 250),
    "glyph_down": (225, 225, 225),
    "led_idle": (70, 200, 90),
    "led_on": (255, 210, 60),
    "led_off": (120, 60, 60),
    "tick": (20, 20, 20),
    "cursor_fill": (255, 255, 255),
}

SKINS = {
    "Default": {
        **COMMON,
        "frame": (150, 156, 164),
        "frame_light": (214, 218, 224),
        "frame_dark": (78, 82, 90),
        "well": (40, 42, 46),
        "bar_top": (196, 202, 210),
        "bar_mid": (160, 167, 177),
        "bar_low": (146, 153, 163),
        "bar_bottom": (120, 126, 136),
        "title_text": (20, 24, 30),
        "title_text_inactive": (96, 100, 108),
        "title_shadow": (214, 218, 224),
        "icon_plate": (70, 92, 130),
        "icon_off": (120, 122, 126),
        "button_face": (112, 120, 132),
        "close_face": (180, 60, 52),
        "fader_bg": (136, 142, 150),
        "fader_bg_edge": (100, 106, 114),
        "slot_dark": (50, 52, 58),
        "slot_light": (190, 196, 204),
        "thumb": (200, 204, 210),
        "thumb_active": (236, 200, 120),
        "config": {
            "WindowsStyle": "No",
            "StretchTitle": "No",
            "CenterTitle": "No",
            "BorderSize": BORDER,
            "CornerSize": CORNER,
            "CornerArea": 16,
            "BlackKeysHeight": 62,
            "FaderTicksFrequency": 10,
            "FaderWidth": FADER_W,
            "KeysOutlineWidth": 1,
            "FaderColor": (136, 142, 150),
            "BackgroundColor": (40, 42, 46),
            "WhiteKeyColor": (250, 250, 248),
            "BlackKeyColor": (22, 22, 26),
            "WhiteKeyDownColor": (176, 196, 222),
            "BlackKeyDownColor": (84, 104, 136),
            "KeysOutlineColor": (104, 106, 112),
            "FaderStyle": "skin",
        },
    },
    "Zevizi": {
        **COMMON,
        "frame": (38, 92, 104),
        "frame_light": (112, 178, 188),
        "frame_dark": (12, 40, 48),
        "well": (10, 26, 32),
        "bar_top": (60, 128, 140),
        "bar_mid": (30, 88, 100),
        "bar_low": (22, 72, 84),
        "bar_bottom": (14, 50, 60),
        "title_text": (255, 236, 200),
        "title_text_inactive": (120, 160, 166),
        "icon_plate": (232, 132, 40),
        "icon_off": (90, 110, 114),
        "button_face": (40, 104, 116),
        "close_face": (214, 98, 30),
        "fader_bg": (26, 70, 80),
        "fader_bg_edge": (12, 42, 50),
        "slot_dark": (4, 16, 20),
        "slot_light": (80, 140, 150),
        "tick": (90, 150, 160),
        "thumb": (236, 150, 60),
        "thumb_active": (255, 206, 120),
        "cursor_fill": (255, 214, 160),
        "config": {
            "WindowsStyle": "No",
            "CenterTitle": "Yes",
            "BorderSize": BORDER,
            "CornerSize": CORNER,
            "FaderColor": (26, 70, 80),
            "BackgroundColor": (10, 26, 32),
            "WhiteKeyColor": (252, 250, 244),
            "BlackKeyColor": (16, 24, 28),
            "WhiteKeyDownColor": (255, 190, 120),
            "BlackKeyDownColor": (200, 110, 40),
            "KeysOutlineColor": (70, 90, 96),
            "FaderStyle": "skin",
        },
    },
    "Midnight": {
        **COMMON,
        "frame": (44, 46, 54),
        "frame_light": (92, 96, 110),
        "frame_dark": (12, 12, 16),
        "well": (6, 6, 8),
        "bar_top": (52, 54, 64),
        "bar_mid": (30, 32, 38),
        "bar_low": (22, 23, 28),
        "bar_bottom": (12, 12, 16),
        "title_text": (120, 210, 240),
        "title_text_inactive": (90, 96, 108),
        "icon_plate": (30, 110, 150),
        "icon_off": (60, 62, 70),
        "button_face": (50, 52, 62),
        "close_face": (150, 36, 48),
        "glyph": (200, 230, 245),
        "fader_bg": (28, 29, 34),
        "fader_bg_edge": (12, 12, 16),
        "slot_dark": (0, 0, 0),
        "slot_light": (64, 68, 80),
        "tick": (70, 140, 170),
        "thumb": (84, 88, 100),
        "thumb_active": (60, 170, 215),
        "cursor_fill": (140, 220, 250),
        "config": {
            "WindowsStyle": "No",
            "BorderSize": BORDER,
            "CornerSize": CORNER,
            "FaderColor": (28, 29, 34),
            "BackgroundColor": (6, 6, 8),
            "WhiteKeyColor": (222, 226, 232),
            "BlackKeyColor": (14, 14, 18),
            "WhiteKeyDownColor": (110, 196, 232),
            "BlackKeyDownColor": (36, 124, 166),
            "KeysOutlineColor": (54, 56, 66),
            "KeysOutlineWidth": 1,
            "BlackKeysHeight": 64,
            "FaderStyle": "skin",
        },
    },
}

# The platform's own frame and trackbar: only the keys' colours and sizes are the skin's.
WINDOWS_SKINS = {
    "Classic": {
        "WindowsStyle": "Yes",
        "FaderStyle": "windows",
        "FaderWidth": 36,
        "FaderTicksFrequency": 16,
        "BlackKeysHeight": 60,
        "KeysOutlineWidth": 1,
        "WhiteKeyColor": (255, 250, 236),
        "BlackKeyColor": (44, 32, 26),
        "WhiteKeyDownColor": (226, 204, 158),
        "BlackKeyDownColor": (128, 92, 60),
        "KeysOutlineColor": (150, 138, 118),
    },
}


def config_text(name, values, comment):
    lines = [f"; {name}: {comment}", "; Regenerated by tools/art/make; edit tools/art/skins.py."]
    for key, value in values.items():
        if isinstance(value, tuple):
            value = ", ".join(str(v) for v in value)
        lines.append(f"{key} = {value}")
    return "\r\n".join(lines) + "\r\n"


def save_bmp(img, path):
    img.convert("RGB").save(path, format="BMP")


def write_bitmap_skin(folder, name, p):
    os.makedirs(folder, exist_ok=True)
    pieces = {
        "Border.bmp": border_bitmap(p),
        "Title Active.bmp": title_text_bitmap(p, True),
        "Title Inactive.bmp": title_text_bitmap(p, False),
        "Title Box.bmp": title_bar(p, 8),
        "Icon.bmp": icon_bitmap(p, "normal"),
        "Icon Blink.bmp": icon_bitmap(p, "blink"),
        "Icon Disabled.bmp": icon_bitmap(p, "disabled"),
        "Close Btn.bmp": button_bitmap(p, "close", False),
        "Close Btn Down.bmp": button_bitmap(p, "close", True),
        "Minimize Btn.bmp": button_bitmap(p, "minimize", False),
        "Minimize Btn Down.bmp": button_bitmap(p, "minimize", True),
        "FaderV BG.bmp": fader_track(p, True),
        "FaderH BG.bmp": fader_track(p, False),
        "FaderV.bmp": fader_thumb(p, True, False),
        "FaderH.bmp": fader_thumb(p, False, False),
        "FaderV Active.bmp": fader_thumb(p, True, True),
        "FaderH Active.bmp": fader_thumb(p, False, True),
        "Fader Left.bmp": fader_cap(p, "left"),
        "Fader Right.bmp": fader_cap(p, "right"),
        "Fader Top.bmp": fader_cap(p, "top"),
        "Fader Bottom.bmp": fader_cap(p, "bottom"),
    }
    for file, img in pieces.items():
        save_bmp(img, os.path.join(folder, file))
    with open(os.path.join(folder, "Cursor.cur"), "wb") as f:
        f.write(cursor_file(p))
    comment = "the base skin; every other skin falls back to its files and values"
    if name != "Default":
        comment = "a bitmap skin"
    with open(os.path.join(folder, "config.txt"), "w", newline="") as f:
        f.write(config_text(name, p["config"], comment))


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    skins = os.path.join(root, "data", "Skins")
    for name, palette in SKINS.items():
        write_bitmap_skin(os.path.join(skins, name), name, palette)
    for name, values in WINDOWS_SKINS.items():
        folder = os.path.join(skins, name)
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "config.txt"), "w", newline="") as f:
            f.write(config_text(name, values, "the platform's own frame and trackbar"))


if __name__ == "__main__":
    main()
