#!/usr/bin/env python3
"""Writes the particle descriptions of the game screen (data/particles/game.ini) as ".psi" files
under gfx/particles/, in the record layout of gen_psi.py (its encoder is used as it is).
"""
import configparser
import os

import gen_psi
import sol_data


def main():
    args = sol_data.parse_args(__doc__)
    config = configparser.ConfigParser(inline_comment_prefixes=(";", "#"))
    config.read(os.path.join(args.src, "particles", "game.ini"), encoding="utf-8")
    for name in config.sections():
        out = os.path.join(args.out, gen_psi.OUT_DIR, name.lower() + ".psi")
        sol_data.write_if_changed(out, gen_psi.encode(config[name]))


if __name__ == "__main__":
    main()
