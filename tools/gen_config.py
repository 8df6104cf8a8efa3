#!/usr/bin/env python3
"""Writes the game's "config.ini" into the game folder.

[System] cnv=1 asks the first start to convert the effect images (JPEG-2000 colour plus GIF
alpha into one image with alpha); the game writes 0 once that has run. 32bits=0 picks a 16-bit
colour depth (1: 32 bits, 2: the desktop's depth).
"""
import os

import sol_data

CONFIG = b"[System]\r\ncnv=1\r\n32bits=0\r\n"


def main():
    args = sol_data.parse_args(__doc__)
    sol_data.write_if_changed(os.path.join(args.out, "config.ini"), CONFIG)


if __name__ == "__main__":
    main()
