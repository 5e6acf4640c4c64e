#!/usr/bin/python3
"""Draws the program's six icons into resources/icons/, the installer's icon
(resources/MIDIKeyboard.ico) and the Linux program's icons in the sizes of the desktops' icon
theme (resources/linux/icons/hicolor/); argument: the repository root.

A small piano motif on a rounded body: deep blue while playing is enabled, grey when it is
off, bright amber for the blink after each MIDI message. Every size is drawn on its own
pixel grid (keys and gaps on whole pixels) rather than scaled from a large picture, so the
16-pixel tray icon stays crisp.
"""
import io
import os
import struct
import sys

from PIL import Image, ImageDraw

TRAY_SIZES = [16, 20, 24, 32]
# The window's icons at every scale up to 200 %: 16 and 32 pixels, and 20 and 40, 24 and
# 48, 32 and 64 (small and large) at 125, 150 and 200 %.
WINDOW_SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
# The sizes desktops look for in the hicolor theme; panels take their tray icons from the
# smaller ones, menus and launchers from the larger.
THEME_SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
THEME_NAME = "zevaver-midi-keyboard"
# The state's icon name: the program's own name for the enabled state.
THEME_STATES = {"enabled": THEME_NAME, "disabled": THEME_NAME + "-disabled",
                "blink": THEME_NAME + "-blink"}

# Per state: body top and bottom colour, body outline, white key, white key shade, black
# key, and the lit key (None: no key lit).
STATES = {
    "enabled": dict(top=(58, 104, 204), bottom=(24, 48, 120), outline=(12, 24, 64),
                    white=(255, 255, 255), shade=(196, 204, 222), black=(16, 20, 32),
                    lit=None),
    "disabled": dict(top=(150, 150, 150), bottom=(118, 118, 118), outline=(84, 84, 84),
                     white=(214, 214, 214), shade=(180, 180, 180), black=(104, 104, 104),
                     lit=None),
    "blink": dict(top=(255, 228, 64), bottom=(255, 150, 0), outline=(150, 70, 0),
                  white=(255, 255, 255), shade=(255, 224, 160), black=(80, 36, 0),
                  lit=(255, 96, 0)),
}

FILES = [
    ("TrayEnabled.ico", "enabled", TRAY_SIZES),
    ("TrayDisabled.ico", "disabled", TRAY_SIZES),
    ("TrayBlink.ico", "blink", TRAY_SIZES),
    ("MainEnabled.ico", "enabled", WINDOW_SIZES),
    ("MainDisabled.ico", "disabled", WINDOW_SIZES),
    ("MainBlink.ico", "blink", WINDOW_SIZES),
]

# Black keys after these white keys (C D E F G A B), as on a piano.
BLACK_AFTER = {0, 1, 3, 4, 5}
SUPERSAMPLE = 8


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def geometry(size):
    """Whole-pixel layout of one size: body, key row and key widths."""
    unit = size / 16
    margin = 0 if size <= 24 else round(unit)
    border = max(1, round(unit))
    keys_count = 3 if size <= 20 else 4 if size <= 32 else 5 if size <= 48 else 7
    gap = max(1, round(unit / 3))
    left, right = margin + border, size - margin - border
    key_width = (right - left - (keys_count - 1) * gap) // keys_count
    used = keys_count * key_width + (keys_count - 1) * gap
    left += (right - left - used) // 2
    top_band = max(3, round(size * 0.25))
    return dict(margin=margin, border=border, keys=keys_count, gap=gap, left=left,
                key_width=key_width, key_top=margin + top_band, key_bottom=size - margin - border,
                radius=max(2, round(size * 0.16)))


def body(size, g, colours):
    """The rounded body with its vertical gradient, drawn large and reduced for soft corners."""
    big = size * SUPERSAMPLE
    mask = Image.new("L", (big, big), 0)
    m = g["margin"] * SUPERSAMPLE
    ImageDraw.Draw(mask).rounded_rectangle(
        [m, m, big - m - 1, big - m - 1], radius=g["radius"] * SUPERSAMPLE, fill=255)
    inner = Image.new("L", (big, big), 0)
    b = m + g["border"] * SUPERSAMPLE
    ImageDraw.Draw(inner).rounded_rectangle(
        [b, b, big - b - 1, big - b - 1],
        radius=max(1, g["radius"] - g["border"]) * SUPERSAMPLE, fill=255)
    fill = Image.new("RGBA", (size, size))
    for y in range(size):
        t = (y - g["margin"]) / max(1, size - 2 * g["margin"] - 1)
        colour = mix(colours["top"], colours["bottom"], min(1, max(0, t)))
        for x in range(size):
            fill.putpixel((x, y), colour + (255,))
    outline = Image.new("RGBA", (size, size), colours["outline"] + (255,))
    image = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    image.paste(outline, (0, 0), mask.reduce(SUPERSAMPLE))
    image.paste(fill, (0, 0), inner.reduce(SUPERSAMPLE))
    return image


def draw(size, state):
    colours = STATES[state]
    g = geometry(size)
    image = body(size, g, colours)
    d = ImageDraw.Draw(image)
    w, gap, top, bottom = g["key_width"], g["gap"], g["key_top"], g["key_bottom"]
    lit_key = g["keys"] // 2 if colours["lit"] else None
    shade = max(1, size // 16) if size >= 24 else 0
    for k in range(g["keys"]):
        x = g["left"] + k * (w + gap)
        colour = colours["white"]
        d.rectangle([x, top, x + w - 1, bottom - 1], fill=colour)
        if k == lit_key:
            # The pressed key glows from its lower half up.
            d.rectangle([x, top + (bottom - top) // 3, x + w - 1, bottom - 1], fill=colours["lit"])
        elif shade:
            d.rectangle([x, bottom - shade, x + w - 1, bottom - 1], fill=colours["shade"])
    black_width = max(gap + 2, round(w * 0.6))
    if (black_width - gap) % 2:
        black_width += 1  # centred on the gap
    black_bottom = top + round((bottom - top) * 0.58)
    for k in range(g["keys"] - 1):
        if k % 7 not in BLACK_AFTER:
            continue
        centre_left = g["left"] + (k + 1) * (w + gap) - gap
        x = centre_left - (black_width - gap) // 2
        d.rectangle([x, top, x + black_width - 1, black_bottom - 1], fill=colours["black"])
        if size >= 48:
            # A thin light edge makes the black keys read as keys on the large icons.
            edge = mix(colours["black"], (255, 255, 255), 0.35)
            d.rectangle([x + 1, black_bottom - 1 - size // 48, x + black_width - 2,
                         black_bottom - 1], fill=edge)
    return image


def dib(image):
    """One icon image as a 32-bit DIB with its AND mask (read by every Windows version)."""
    size = image.width
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    mask_rows = []
    stride = ((size + 31) // 32) * 4
    for y in reversed(range(size)):
        row = bytearray()
        bits = bytearray(stride)
        for x in range(size):
            r, g, b, a = image.getpixel((x, y))
            row += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
        mask_rows.append(bytes(bits))
    return header + b"".join(rows) + b"".join(mask_rows)


def png(image):
    out = io.BytesIO()
    image.save(out, format="PNG", optimize=True)
    return out.getvalue()


def write_ico(path, images):
    entries = []
    blobs = []
    offset = 6 + 16 * len(images)
    for image in images:
        blob = png(image) if image.width >= 256 else dib(image)
        side = 0 if image.width >= 256 else image.width
        entries.append(struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)))
        f.write(b"".join(entries))
        f.write(b"".join(blobs))


def write_theme(folder):
    """The hicolor sizes as PNG files, and the index that lets a program that adds the
    folder to its icon search path (a panel showing the tray icon) find them by name."""
    directories = []
    for size in THEME_SIZES:
        directory = f"{size}x{size}/apps"
        directories.append(directory)
        os.makedirs(os.path.join(folder, directory), exist_ok=True)
        for state, name in THEME_STATES.items():
            draw(size, state).save(os.path.join(folder, directory, name + ".png"),
                                   format="PNG", optimize=True)
    lines = ["[Icon Theme]", "Name=Hicolor", "Comment=Zevaver MIDI Keyboard's icons",
             "Directories=" + ",".join(directories), ""]
    for size, directory in zip(THEME_SIZES, directories):
        lines += [f"[{directory}]", f"Size={size}", "Context=Applications", "Type=Fixed", ""]
    with open(os.path.join(folder, "index.theme"), "w") as f:
        f.write("\n".join(lines))


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    folder = os.path.join(root, "resources", "icons")
    os.makedirs(folder, exist_ok=True)
    for name, state, sizes in FILES:
        write_ico(os.path.join(folder, name), [draw(size, state) for size in sizes])
    # The installer's icon: the program's own.
    write_ico(os.path.join(root, "resources", "MIDIKeyboard.ico"),
              [draw(size, "enabled") for size in WINDOW_SIZES])
    write_theme(os.path.join(root, "resources", "linux", "icons", "hicolor"))


if __name__ == "__main__":
    main()
