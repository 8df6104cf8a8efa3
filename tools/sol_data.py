"""Shared helpers of the data generators (tools/gen_*.py).

Every generator is run as `gen_x.py --src <repo>/data --out <game folder>` and writes its files
under the game folder with lower-case names (the game finds them without regard to case).
Files are rewritten only when their bytes change, so their times stay put between builds: the
resource script's byte-code cache is kept while the script's time is unchanged.
"""

import argparse
import os
import sys


def parse_args(description):
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--src", required=True, help="the repository's data folder")
    parser.add_argument("--out", required=True, help="the game folder to write into")
    return parser.parse_args()


def write_if_changed(path, data):
    """Writes bytes to path (creating its folders) unless the file already holds them."""
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return False
    except OSError:
        pass
    tmp = path + ".tmp"
    with open(tmp, "wb") as f:
        f.write(data)
    os.replace(tmp, path)
    return True


def fail(message):
    print("error: " + message, file=sys.stderr)
    sys.exit(1)


def read_lines(path):
    """Yields (line number, text) of the meaningful lines: '#' comments and blank lines go."""
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            text = line.rstrip("\r\n")
            if text.strip() and not text.lstrip().startswith("#"):
                yield number, text


def png_bytes(image):
    """The PNG file of a Pillow image, written the same way every time."""
    import io
    buffer = io.BytesIO()
    image.save(buffer, format="PNG", optimize=False)
    return buffer.getvalue()


def dejavu(size, bold=True):
    """A DejaVu face (package fonts-dejavu-core) of the pixel size, or Pillow's own when missing."""
    from PIL import ImageFont
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    try:
        return ImageFont.truetype(os.path.join("/usr/share/fonts/truetype/dejavu", name), size)
    except OSError:
        return ImageFont.load_default()
