#!/usr/bin/env python3
"""Writes the game's text file "data/texts/game.txt" (UTF-16 little-endian with a byte order mark)
from the UTF-8 sources data/texts/*.txt.

Source lines are "<number> <text>"; the game's lines are "$" + five digits + "= " + text, one per
line feed. The game reads the text from the ninth character on and turns a backslash followed by n
into a line break, so sources keep that pair as it is.
"""

import glob
import os
import re

import sol_data

OUTPUT = "data/texts/game.txt"
LINE = re.compile(r"^\s*(\d{1,5})\s+(.*)$")


def collect(src):
    texts = {}
    for path in sorted(glob.glob(os.path.join(src, "texts", "*.txt"))):
        for number, line in sol_data.read_lines(path):
            match = LINE.match(line)
            if not match:
                sol_data.fail("%s:%d: expected <number> <text>" % (path, number))
            key = int(match.group(1))
            if key in texts:
                sol_data.fail("%s:%d: text %d is defined twice" % (path, number, key))
            if "\n" in match.group(2) or "\r" in match.group(2):
                sol_data.fail("%s:%d: a text must stay on one line" % (path, number))
            texts[key] = match.group(2)
    return texts


def encode(texts):
    lines = ["$%05d= %s\n" % (key, texts[key]) for key in sorted(texts)]
    return b"\xff\xfe" + "".join(lines).encode("utf-16-le")


def main():
    args = sol_data.parse_args("Writes the game's UTF-16 text file.")
    sol_data.write_if_changed(os.path.join(args.out, OUTPUT), encode(collect(args.src)))


if __name__ == "__main__":
    main()
