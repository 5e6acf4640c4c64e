"""Draws each shipped layout as a picture of a US computer keyboard, every mapped key
labelled with the note it plays (base octave C4, no transposition), and the Piano layout
on a German keyboard as keys by position play it: the pictures of the user guide.
Usage: layouts.py REPOSITORY_ROOT"""
import sys
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

ROOT = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parents[2]
NAMES = ["C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"]

# The rows of a US keyboard: (label, virtual-key code, width in key units). Codes 1 and
# 2 are how layouts name the left and the right Shift key.
ROWS = [
    [("`", 0xC0, 1)] + [(c, ord(c), 1) for c in "1234567890"]
    + [("-", 0xBD, 1), ("=", 0xBB, 1), ("Back", 0x08, 2)],
    [("Tab", 0x09, 1.5)] + [(c, ord(c), 1) for c in "QWERTYUIOP"]
    + [("[", 0xDB, 1), ("]", 0xDD, 1), ("\\", 0xDC, 1.5)],
    [("Caps", 0x14, 1.75)] + [(c, ord(c), 1) for c in "ASDFGHJKL"]
    + [(";", 0xBA, 1), ("'", 0xDE, 1), ("Enter", 0x0D, 2.25)],
    [("Shift", 1, 2.25)] + [(c, ord(c), 1) for c in "ZXCVBNM"]
    + [(",", 0xBC, 1), (".", 0xBE, 1), ("/", 0xBF, 1), ("Shift", 2, 2.75)],
    [("Ctrl", 0x11, 1.5), ("Win", 0x5B, 1.25), ("Alt", 0x12, 1.25), ("Space", 0x20, 6.25),
     ("Alt", 0x12, 1.25), ("Ctrl", 0x11, 1.5)],
]


def read_number(text):
    """A layout value: leading spaces, optional sign, decimal or $/x/0x hexadecimal."""
    text = text.lstrip(" ")
    sign = 1
    if text[:1] in "+-":
        sign = -1 if text[0] == "-" else 1
        text = text[1:]
    base = 10
    for prefix in ("0x", "0X", "$", "x", "X"):
        if text.startswith(prefix):
            base, text = 16, text[len(prefix):]
            break
    digits = ""
    for ch in text:
        if ch in "0123456789abcdefABCDEF"[: 10 if base == 10 else 22]:
            digits += ch
        else:
            break
    return sign * int(digits, base) if digits else 0


def read_layout(path):
    table = {}
    for raw in path.read_bytes().split(b"\x1a")[0].split(b"\n"):
        line = raw.decode("latin-1").rstrip("\r")
        at = line.find(" = ")
        if at < 0:
            continue
        key, value = line[: at + 1], line[at + 3:]
        code = read_number(key[1:]) if key.startswith("#") else ord(key[0])
        if 0 <= code <= 255:
            table[code] = read_number(value) & 0xFF
    return {code: note for code, note in table.items() if note}


def font(size, bold=False):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    try:
        return ImageFont.truetype(f"/usr/share/fonts/truetype/dejavu/{name}", size)
    except OSError:
        return ImageFont.load_default()


# What a German keyboard prints in the places whose US English code differs.
GERMAN = {0xC0: "^", 0xBD: "ß", 0xBB: "´", ord("Y"): "Z", 0xDB: "Ü", 0xDD: "+", 0xDC: "#",
          0xBA: "Ö", 0xDE: "Ä", ord("Z"): "Y", 0xBF: "-"}


def draw(layout, target, legends=None):
    """legends: what the keyboard prints in a place, where it differs from the US one; the
    US name then stands small in the key's lower right corner."""
    unit, gap, pad = 52, 5, 14
    width = int(15 * unit + pad * 2)
    height = len(ROWS) * unit + pad * 2
    image = Image.new("RGB", (width, height), (238, 238, 234))
    ink = ImageDraw.Draw(image)
    label_font, note_font = font(12), font(15, bold=True)
    for r, row in enumerate(ROWS):
        x = pad
        y = pad + r * unit
        for label, code, span in row:
            w = span * unit
            box = [x + 1, y + 1, x + w - gap, y + unit - gap]
            note = layout.get(code)
            if code == 0x10:
                note = note or layout.get(0x10)
            if note:
                sharp = "#" in NAMES[note % 12]
                face = (52, 58, 66) if sharp else (255, 255, 255)
                text_colour = (255, 255, 255) if sharp else (30, 30, 30)
                edge = (30, 34, 40) if sharp else (150, 150, 150)
            else:
                face, text_colour, edge = (214, 214, 210), (120, 120, 118), (190, 190, 186)
            ink.rounded_rectangle(box, radius=6, fill=face, outline=edge, width=1)
            printed = (legends or {}).get(code)
            if printed:
                ink.text((box[0] + 6, box[1] + 2), printed, font=font(16, bold=True),
                         fill=text_colour)
                tw = ink.textlength(label, font=label_font)
                ink.text((box[2] - tw - 6, box[3] - 18), label, font=label_font,
                         fill=(150, 150, 150) if not note or "#" not in NAMES[note % 12]
                         else (150, 156, 166))
            else:
                ink.text((box[0] + 6, box[1] + 4), label, font=label_font, fill=text_colour)
            if note:
                name = f"{NAMES[note % 12]}"
                ink.text((box[0] + 6, box[3] - 22), name, font=note_font, fill=text_colour)
                small = str(note)
                tw = ink.textlength(small, font=label_font)
                ink.text((box[2] - tw - 6, box[1] + 4), small, font=label_font,
                         fill=(200, 120, 40) if not "#" in name else (255, 190, 110))
            x += w
    image.save(target, optimize=True)


def main():
    out = ROOT / "docs" / "images"
    out.mkdir(parents=True, exist_ok=True)
    for path in sorted((ROOT / "data" / "Layouts").glob("*.txt")):
        slug = path.stem.lower().replace(" ", "-")
        draw(read_layout(path), out / f"layout-{slug}.png")
    draw(read_layout(ROOT / "data" / "Layouts" / "Piano.txt"), out / "national-keyboard.png",
         GERMAN)


main()
