#!/usr/bin/env python3
"""A rebuild's refresh of the play folder, as a player meets it: what the game wrote there stays,
the player's settings in "config.ini" stay, what the data set adds comes in, and the first-run
conversion is asked for again after the set changed."""
import os
import shutil
import subprocess
import sys
import tempfile

SOURCE = sys.argv[1]
SCRIPT = os.path.join(SOURCE, 'tools', 'refresh_play_folder.py')
failures = 0


def expect(what, cond, detail=''):
    global failures
    if not cond:
        failures += 1
        print(f'FAILED: {what}\n{detail}')


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)


def read(path):
    with open(path, 'rb') as f:
        return f.read()


root = tempfile.mkdtemp(prefix='refresh test ')  # a space, as a clone's folder may have
data, play, state = (os.path.join(root, name) for name in ('bundled data', 'play', 'state.json'))


def refresh():
    run = subprocess.run([sys.executable, SCRIPT, '--data', data, '--play', play, '--state', state],
                         capture_output=True, text=True)
    expect('the refresh ends well', run.returncode == 0, run.stderr)


write(os.path.join(data, 'config.ini'), b'[System]\r\ncnv=1\r\n32bits=0\r\n')
write(os.path.join(data, 'sol_max.ini'), b'[Level1]\r\n')
write(os.path.join(data, 'gfx', 'card.png'), b'old picture')
refresh()
expect('the first refresh copies the set', read(os.path.join(play, 'config.ini')) == b'[System]\r\ncnv=1\r\n32bits=0\r\n')

# The game converts the pictures (cnv=0) and saves; the player asks for 32 bits and a note.
write(os.path.join(play, 'config.ini'), b'[System]\r\ncnv=0\r\n32bits=1\r\n; mine\r\n')
write(os.path.join(play, 'data', 'save.dat'), b'progress')
refresh()
expect('an unchanged set touches nothing', read(os.path.join(play, 'config.ini')) == b'[System]\r\ncnv=0\r\n32bits=1\r\n; mine\r\n')

# The set changes: a picture, and a key its configuration adds in a section of its own.
write(os.path.join(data, 'gfx', 'card.png'), b'new picture')
write(os.path.join(data, 'config.ini'), b'[System]\r\ncnv=1\r\n32bits=0\r\n[Sound]\r\nmusic=1\r\n')
refresh()
expect('the player keeps their keys, the conversion is asked for again, the added key comes in',
       read(os.path.join(play, 'config.ini')) == b'[System]\r\ncnv=1\r\n32bits=1\r\n; mine\r\n[Sound]\r\nmusic=1\r\n',
       read(os.path.join(play, 'config.ini')))
expect('the changed picture comes in', read(os.path.join(play, 'gfx', 'card.png')) == b'new picture')
expect('the progress stays', read(os.path.join(play, 'data', 'save.dat')) == b'progress')

# A link at the configuration's name is replaced by the set's, never followed.
elsewhere = os.path.join(root, 'elsewhere.ini')
write(elsewhere, b'[System]\r\nsecret=1\r\n')
os.remove(os.path.join(play, 'config.ini'))
os.symlink(elsewhere, os.path.join(play, 'config.ini'))
write(os.path.join(data, 'gfx', 'card.png'), b'newer picture')
refresh()
expect('a link at config.ini is replaced', not os.path.islink(os.path.join(play, 'config.ini')) and
       read(os.path.join(play, 'config.ini')) == read(os.path.join(data, 'config.ini')))
expect('and what it led to is as it was', read(elsewhere) == b'[System]\r\nsecret=1\r\n')

shutil.rmtree(root)
print('refresh_play_folder: ' + ('FAILED' if failures else 'all checks passed'))
sys.exit(1 if failures else 0)
