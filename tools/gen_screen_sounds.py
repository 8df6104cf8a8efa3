#!/usr/bin/env python3
"""Writes the sound effects of the story map under sfx/sounds/, as Ogg Vorbis, with the
synthesis and encoder of gen_sounds.py: "level_selecting" (a slot is chosen) and
"level_preview_show" (a preview slides in), short chimes of decaying tones.
"""
import os
import shutil

import gen_sounds
import sol_data

EFFECTS = {
    "level_selecting": [(784.0, 0.0, 0.08), (1175.0, 0.05, 0.14)],
    "level_preview_show": [(523.3, 0.0, 0.1), (659.3, 0.04, 0.1), (784.0, 0.08, 0.16)],
}


def main():
    args = sol_data.parse_args(__doc__)
    if shutil.which("oggenc") is None:
        sol_data.fail("oggenc not found (install the Debian package vorbis-tools)")
    sounds = os.path.join(args.out, "sfx", "sounds")
    for name, notes in EFFECTS.items():
        gen_sounds.encode(gen_sounds.make_effect(notes), os.path.join(sounds, name + ".ogg"))


if __name__ == "__main__":
    main()
