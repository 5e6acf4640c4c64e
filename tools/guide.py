"""Renders the user guide (Markdown) into one self-contained HTML file: pictures are
embedded, so the guide is a single file beside the program that opens anywhere.

Usage: guide.py GUIDE.md OUT.html VERSION"""
import base64
import re
import sys
from pathlib import Path

import markdown

source, target, version = Path(sys.argv[1]), Path(sys.argv[2]), sys.argv[3]
text = source.read_text(encoding="utf-8").replace("{{version}}", version)
# fenced_code: the layout example and the command line are code blocks, not text whose
# "#" lines would become headings.
body = markdown.markdown(text, extensions=["tables", "toc", "attr_list", "fenced_code"])


def embed(match):
    path = source.parent / match.group(2)
    if not path.exists():
        # A picture not taken yet (tools/screenshots makes them) leaves its alt text.
        print(f"guide: picture not found, left out: {path}", file=sys.stderr)
        return f'{match.group(1)}""'
    data = base64.b64encode(path.read_bytes()).decode("ascii")
    return f'{match.group(1)}"data:image/png;base64,{data}"'


body = re.sub(r'(<img[^>]*?src=)"([^":]+\.png)"', embed, body)

STYLE = """
body { font: 15px/1.55 "Segoe UI", Tahoma, sans-serif; color: #222; margin: 0; background: #f4f4f2; }
main { max-width: 820px; margin: 0 auto; padding: 24px 40px 60px; background: #fff;
       box-shadow: 0 0 12px rgba(0,0,0,.08); }
h1 { font-size: 28px; margin-bottom: 0; }
h2 { border-bottom: 2px solid #e3e3e0; padding-bottom: 4px; margin-top: 36px; }
h3 { margin-top: 24px; }
code, kbd { font-family: Consolas, monospace; font-size: 13px; background: #f0f0ee;
            padding: 1px 4px; border-radius: 3px; }
kbd { border: 1px solid #ccc; box-shadow: 0 1px 0 #bbb; }
pre { background: #f6f6f4; padding: 10px 14px; border-radius: 4px; overflow-x: auto; }
pre code { background: none; padding: 0; }
table { border-collapse: collapse; margin: 12px 0; }
th, td { border: 1px solid #ddd; padding: 5px 10px; text-align: left; vertical-align: top; }
th { background: #f3f3f1; }
img { max-width: 100%; border: 1px solid #ddd; }
.version { color: #777; margin-top: 2px; }
"""

page = f"""<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Zevaver MIDI Keyboard {version}: User guide</title>
<style>{STYLE}</style>
</head>
<body><main>
{body}
</main></body>
</html>
"""
target.write_text(page, encoding="utf-8")
