#!/usr/bin/env python3
"""Checks that the product folders form one chain: a file may include its own folder and the
folders below it, never one above. The chain is read from layers.txt beside this script.

Usage: check_layers.py [ROOT]   (ROOT defaults to the repository holding this script)
Prints every offending include as FILE:LINE and exits 1 when there is one."""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([A-Za-z0-9_]+)/')
SOURCE_SUFFIXES = ('.h', '.hpp', '.cpp', '.cc', '.inl')


def read_chain(path):
    chain = []
    with open(path, encoding='utf-8') as f:
        for line in f:
            line = line.split('#', 1)[0].strip()
            if line:
                chain.append(line)
    return chain


def check(root, chain):
    rank = {folder: i for i, folder in enumerate(chain)}
    faults = []
    for folder in chain:
        top = os.path.join(root, folder)
        for dirpath, _, files in os.walk(top):
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(dirpath, name)
                with open(path, encoding='utf-8', errors='replace') as f:
                    for number, text in enumerate(f, 1):
                        m = INCLUDE.match(text)
                        if not m:
                            continue
                        target = m.group(1)
                        rel = os.path.relpath(path, root)
                        if target in rank:
                            if rank[target] > rank[folder]:
                                faults.append(f'{rel}:{number}: {folder}/ includes {target}/, '
                                              f'which stands above it in the chain')
                        elif os.path.isdir(os.path.join(root, target)):
                            # tests/, tools/, bench/...: the product is never built from them
                            faults.append(f'{rel}:{number}: {folder}/ includes {target}/, '
                                          f'which is not part of the product')
    return faults


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    root = argv[1] if len(argv) > 1 else os.path.normpath(os.path.join(here, '..', '..'))
    chain = read_chain(os.path.join(here, 'layers.txt'))
    faults = check(root, chain)
    for fault in faults:
        print(fault)
    if faults:
        print(f'{len(faults)} include(s) point up the chain: ' + ' < '.join(chain))
        return 1
    print('layers ok: ' + ' < '.join(chain))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
