#!/usr/bin/env python3
"""Refreshes the folder the game plays in by default from the data set the build made.

    refresh_play_folder.py --data BUILT --play FOLDER --state FILE

The build makes the data set in a folder no game run writes to (the tests copy that one). The
game plays in FOLDER and writes there: the player's saves, the log, the converted pictures, the
byte-code cache and its key. Whenever the built set changed since the last refresh, every one of
its files is copied into FOLDER again (with its times, so that an unchanged script keeps its
cache), and the files that an earlier refresh brought and the set no longer has are removed;
nothing else in FOLDER is touched, so a player's progress survives a rebuild. The copied
"config.ini" asks for the first-run conversion again, which takes in changed pictures.
"""
import argparse
import hashlib
import json
import os
import shutil
import sys


def data_files(root):
    """Relative paths of the regular files under root, sorted."""
    found = []
    for folder, dirs, files in os.walk(root):
        dirs.sort()
        for name in files:
            path = os.path.join(folder, name)
            if os.path.isfile(path) and not os.path.islink(path):
                found.append(os.path.relpath(path, root))
    return sorted(found)


def fingerprint(root, files):
    digest = hashlib.sha256()
    for rel in files:
        st = os.stat(os.path.join(root, rel))
        digest.update(f'{rel}\0{st.st_size}\0{st.st_mtime_ns}\n'.encode())
    return digest.hexdigest()


def read_state(path):
    try:
        with open(path, encoding='utf-8') as f:
            state = json.load(f)
        return state if isinstance(state, dict) else {}
    except (OSError, ValueError):
        return {}


def copy_in(source, target):
    """Copies one file over target by a rename, so a link standing there is replaced, not followed."""
    os.makedirs(os.path.dirname(target), exist_ok=True)
    temporary = target + '.refresh.tmp'
    shutil.copy2(source, temporary)
    os.replace(temporary, target)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--data', required=True)
    parser.add_argument('--play', required=True)
    parser.add_argument('--state', required=True)
    args = parser.parse_args()

    files = data_files(args.data)
    if not files:
        print(f'refresh_play_folder: {args.data} holds no data set', file=sys.stderr)
        return 1
    mark = fingerprint(args.data, files)
    state = read_state(args.state)
    if state.get('fingerprint') == mark and os.path.isfile(os.path.join(args.play, 'sol_max.ini')):
        return 0
    for rel in files:
        copy_in(os.path.join(args.data, rel), os.path.join(args.play, rel))
    kept = set(files)
    for rel in state.get('files', []):
        if isinstance(rel, str) and rel not in kept and not os.path.isabs(rel) and '..' not in rel.split(os.sep):
            try:
                os.remove(os.path.join(args.play, rel))
            except OSError:
                pass
    os.makedirs(os.path.dirname(os.path.abspath(args.state)), exist_ok=True)
    with open(args.state + '.tmp', 'w', encoding='utf-8') as f:
        json.dump({'fingerprint': mark, 'files': files}, f)
    os.replace(args.state + '.tmp', args.state)
    print(f'Play folder {args.play}: {len(files)} files of the data set copied in')
    return 0


if __name__ == '__main__':
    sys.exit(main())
