#!/usr/bin/env python3
"""Refreshes the folder the game plays in by default from the data set the build made.

    refresh_play_folder.py --data BUILT --play FOLDER --state FILE

The build makes the data set in a folder no game run writes to (the tests copy that one). The
game plays in FOLDER and writes there: the player's saves, the log, the converted pictures, the
byte-code cache and its key. Whenever the built set changed since the last refresh, every one of
its files is copied into FOLDER again (with its times, so that an unchanged script keeps its
cache), and the files that an earlier refresh brought and the set no longer has are removed;
nothing else in FOLDER is touched, so a player's progress survives a rebuild.

"config.ini" is the player's too (the colour depth, say): the one in FOLDER keeps its keys and
values, takes in the keys the set adds, and takes the set's value of the keys that ask for work
to be done again, such as [System] cnv, the first-run conversion that takes in changed pictures.
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


CONFIG = 'config.ini'
REDONE = {('system', 'cnv')}  # (section, key), in lower case: INI names are found in any case
MAX_CONFIG_BYTES = 1 << 20     # a larger one is no player's settings: the set's replaces it


def ini_lines(text):
    """(line, section, key) for each line; key is None where the line sets none, names in lower case."""
    section = ''
    for line in text.splitlines(keepends=True):
        stripped = line.strip()
        if stripped.startswith('[') and ']' in stripped:
            section = stripped[1:stripped.index(']')].strip().lower()
            yield line, section, None
        elif '=' in stripped and not stripped.startswith((';', '#')):
            yield line, section, stripped.split('=', 1)[0].strip().lower()
        else:
            yield line, section, None


def merge_config(shipped, kept):
    """The player's configuration with the keys the shipped one adds and the values it redoes.

    Both are bytes, taken as Latin-1 so that every byte comes back as it was; the player's line
    breaks are kept, and an added key goes after the last line of its section."""
    kept_text, shipped_text = kept.decode('latin-1'), shipped.decode('latin-1')
    newline = '\n' if '\n' in kept_text and '\r\n' not in kept_text else '\r\n'
    lines = [[line, section, key] for line, section, key in ini_lines(kept_text)]
    if lines and not lines[-1][0].endswith('\n'):
        lines[-1][0] += newline
    headers = {section: line.strip() for line, section, key in ini_lines(shipped_text)
               if key is None and line.strip().startswith('[')}
    for line, section, key in ini_lines(shipped_text):
        if key is None:
            continue
        own = line.strip() + newline
        found = [entry for entry in lines if entry[1] == section and entry[2] == key]
        for entry in found if (section, key) in REDONE else []:
            entry[0] = own
        if found:
            continue
        inside = [i for i, entry in enumerate(lines) if entry[1] == section and entry[0].strip()]
        if not inside:
            lines.append([headers.get(section, '') + newline, section, None])
            inside = [len(lines) - 1]
        lines.insert(inside[-1] + 1, [own, section, key])
    return ''.join(entry[0] for entry in lines).encode('latin-1')


def refresh_config(source, target):
    """Merges the set's configuration into the player's, or copies it where there is none of theirs."""
    kept = None
    if os.path.isfile(target) and not os.path.islink(target):
        with open(target, 'rb') as f:
            kept = f.read(MAX_CONFIG_BYTES + 1)
    if kept is None or len(kept) > MAX_CONFIG_BYTES:
        copy_in(source, target)
        return
    with open(source, 'rb') as f:
        shipped = f.read()
    temporary = target + '.refresh.tmp'
    with open(temporary, 'wb') as f:
        f.write(merge_config(shipped, kept))
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
        refresh = refresh_config if rel == CONFIG else copy_in
        refresh(os.path.join(args.data, rel), os.path.join(args.play, rel))
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
