#!/usr/bin/env python3
"""Writes the sound effects of the card table and the in-game panel under sfx/sounds/, as Ogg
Vorbis, with the synthesis and encoder of gen_sounds.py: short chimes, clicks and swishes made
of decaying tones, so the data set carries no recorded material.
"""
import os
import shutil

import gen_sounds
import sol_data


def chime(*notes, step=0.06, length=0.12):
    return [(freq, i * step, length) for i, freq in enumerate(notes)]


def tick(freq, length=0.05):
    return [(freq, 0.0, length)]


EFFECTS = {
    "game_bonus_active": chime(660.0, 880.0, 1320.0),
    "game_bonus_select": tick(1200.0, 0.04),
    "game_bonus_take": chime(990.0, 1320.0, step=0.05),
    "interface_show": chime(440.0, 550.0, 660.0, step=0.04, length=0.1),
    "interface_button": tick(900.0, 0.05),
    "game_mi_on": chime(700.0, 1050.0),
    "game_mi_off": chime(1050.0, 700.0),
    "game_hint": chime(1320.0, 1760.0, step=0.08, length=0.2),
    "game_card_back": tick(300.0, 0.08),
    "game_card_fix": chime(523.3, 784.0, step=0.03),
    "game_cards_deck": tick(220.0, 0.15),
    "game_text_message": chime(880.0, 1100.0, step=0.05),
    "game_cards_add": chime(330.0, 440.0, step=0.03, length=0.08),
    "game_multicard": chime(400.0, 420.0, 440.0, step=0.02, length=0.06),
    # The result popups' count: a short bright rattle, played once and then looped while it counts.
    "game_scores": chime(1568.0, 1760.0, 1568.0, 1975.5, step=0.03, length=0.04),
}
for i in range(1, 4):
    EFFECTS["game_cards_deal_%d" % i] = chime(*(250.0 + 30 * i + 15 * n for n in range(4)), step=0.03, length=0.05)
    EFFECTS["game_card_get_%d" % i] = tick(500.0 + 60 * i)
    EFFECTS["game_card_put_%d" % i] = tick(350.0 + 40 * i, 0.07)
for i in range(2, 8):
    EFFECTS["game_combo_x%d" % i] = chime(*(523.3 * (2 ** (n / 12.0)) for n in range(0, 2 * i, 2)), step=0.05)


def main():
    args = sol_data.parse_args(__doc__)
    if shutil.which("oggenc") is None:
        sol_data.fail("oggenc not found (install the Debian package vorbis-tools)")
    sounds = os.path.join(args.out, "sfx", "sounds")
    for name, notes in EFFECTS.items():
        gen_sounds.encode(gen_sounds.make_effect(notes), os.path.join(sounds, name + ".ogg"))


if __name__ == "__main__":
    main()
