#!/usr/bin/env python3
"""Makes the README's pictures in docs/ from a build, by playing the game headless as a player.

Run by hand after a change that shows in them (the build does not run it):

    python3 tools/make_docs_pictures.py [--program build/bin/solitaire] [--out docs] [--keep DIR]

Each picture is one headless run on a fresh copy of the data set the build made, driven by
an input script (mouse and keys only, see the README), from a new player's first start:
  game.png       the first island's Klondike in progress: its second game (the first opened the
                 big rules window; this one explains the move lamp, OK), three cards turned from
                 the stock; scaled to 400 x 300.
  klondike.png   the classic tables "1. Klondike", "5. Pyramid" and "4. FreeCell" as a new player
  pyramid.png    first sees them: "Play with bonuses?" answered No, the cards dealt, the rules
  freecell.png   window that a table's first game opens; 800 x 600.
They are written as palette PNGs (128 colours for the small one, 256 for the others). The deals
are random, so two runs give other cards. A run that logs an error or a warning is reported;
--keep DIR keeps every run's folder (its log, its input and the pictures it took on the way,
step-*.png) for a look.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

from PIL import Image

MENU_AT = 1400          # a frame by which the main menu stands (about 230 headless)
CLASSIC_SIGN, STORY_SIGN = (190, 350), (190, 240)
CLASSIC_ROW_1, CLASSIC_ROW_PITCH = (204, 113), 28   # "1. Klondike", the next line 28 lower
NO_BUTTON, YES_BUTTON = (490, 370), (310, 370)
MAP_PLAY = (676, 456)
LAMP_OK = (400, 374)    # the window that explains the move lamp, in the second game
MENU_QUIT = (398, 316)  # the game menu's way back to the map or the tables
STOCK = (70, 110)       # the first island's Klondike



def built_data(program):
    """The data set as the build made it, never the folder beside the program that a game played in
    (a build of before that split has only the latter)."""
    made = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(program))), 'bundled-data')
    return made if os.path.isdir(made) else os.path.join(os.path.dirname(program), 'data')

def key(frame, vk):
    return '%d keydown %d\n%d keyup %d\n' % (frame, vk, frame + 1, vk)


def click(frame, at):
    return '%d move %d %d\n%d down 1\n%d up 1\n' % (frame, at[0], at[1], frame + 1, frame + 2)


def shot(frame, name):
    return '%d shot %s\n' % (frame, name)


def new_player(frame):
    """Types the name the first start asks for."""
    script = ''
    for letter in 'ANNA':
        script += key(frame, ord(letter))
        frame += 3
    return script + key(frame, 13)


def classic_table(row):
    """Script and last frame: a new player's first game of that line of the classic list."""
    m = MENU_AT
    table = (CLASSIC_ROW_1[0], CLASSIC_ROW_1[1] + CLASSIC_ROW_PITCH * (row - 1))
    script = new_player(m) + click(m + 130, CLASSIC_SIGN) + click(m + 240, table)
    script += shot(m + 630, 'step-question') + click(m + 640, NO_BUTTON) + shot(m + 820, 'picture')
    return script, m + 830


def story_game_in_progress():
    """Script and last frame: the first island's first level, left once, then played a little."""
    m = MENU_AT
    script = new_player(m) + click(m + 90, STORY_SIGN) + shot(m + 560, 'step-map') + click(m + 570, MAP_PLAY)
    script += shot(m + 910, 'step-first-game') + key(m + 920, 27) + shot(m + 975, 'step-menu')
    script += click(m + 980, MENU_QUIT) + click(m + 1030, YES_BUTTON) + shot(m + 1490, 'step-map-again')
    script += click(m + 1500, MAP_PLAY) + shot(m + 1890, 'step-second-game') + click(m + 1900, LAMP_OK)
    for turn in range(3):
        script += click(m + 1960 + 30 * turn, STOCK)
    script += shot(m + 2110, 'picture')
    return script, m + 2120


PICTURES = [
    # name, (script, frames), size, colours
    ('game.png', story_game_in_progress, (400, 300), 128),
    ('klondike.png', lambda: classic_table(1), (800, 600), 256),
    ('pyramid.png', lambda: classic_table(5), (800, 600), 256),
    ('freecell.png', lambda: classic_table(4), (800, 600), 256),
]


def problem_lines(log_path):
    if not os.path.exists(log_path):
        return ['no log written']
    with open(log_path, errors='replace') as log:
        return [line.rstrip() for line in log if line.startswith(('[E]', '[W]', '[Fatal Error]'))]


def make_picture(program, folder, make_script, size, colours, out_path):
    """One headless run in `folder`; False when the run failed or took no picture."""
    root = os.path.join(folder, 'game')
    shutil.copytree(built_data(program), root)
    script, frames = make_script()
    input_path = os.path.join(folder, 'input.txt')
    with open(input_path, 'w') as out:
        out.write(script)
    run = os.path.join(folder, 'run')
    os.makedirs(run, exist_ok=True)
    env = dict(os.environ, XDG_RUNTIME_DIR=run)  # the one-window-per-user lock lives there
    result = subprocess.run([program, '--headless', '--frames', str(frames), '--root', root, '--input', input_path,
                             '--screenshot', os.path.join(folder, 'last.png')],
                            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    taken = os.path.join(folder, 'picture.png')
    if result.returncode != 0 or not os.path.exists(taken):
        print('  the run failed (exit %d): %s' % (result.returncode, result.stderr.strip()[-500:]))
        return False
    for line in problem_lines(os.path.join(root, 'Palmora.log')):
        print('  logged: ' + line)
    picture = Image.open(taken).convert('RGB')
    if picture.size != size:
        picture = picture.resize(size, Image.LANCZOS)
    picture.quantize(colors=colours).save(out_path, optimize=True)
    return True


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--program', default='build/bin/solitaire')
    parser.add_argument('--out', default='docs')
    parser.add_argument('--keep', help='keep each run\'s folder under this one')
    parser.add_argument('names', nargs='*', help='only these pictures (e.g. game.png)')
    args = parser.parse_args()
    program = os.path.abspath(args.program)
    if not os.path.isfile(program):
        print('no program at %s: build first' % program)
        return 1
    os.makedirs(args.out, exist_ok=True)
    failed = 0
    for name, make_script, size, colours in PICTURES:
        if args.names and name not in args.names:
            continue
        print(name)
        folder = tempfile.mkdtemp(prefix='palmora-docs-')
        try:
            if not make_picture(program, folder, make_script, size, colours, os.path.join(args.out, name)):
                failed += 1
        finally:
            if args.keep:
                shutil.copytree(folder, os.path.join(args.keep, os.path.splitext(name)[0]), dirs_exist_ok=True,
                                ignore=shutil.ignore_patterns('gfx', 'sfx'))
            shutil.rmtree(folder, ignore_errors=True)
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
