#!/usr/bin/env python3
"""The layering check passes on the tree and fails, naming file and line, on an upward include
or an include of the tests from the product."""
import os
import shutil
import subprocess
import sys
import tempfile

SOURCE = sys.argv[1]
SCRIPT = os.path.join(SOURCE, 'tools', 'layers', 'check_layers.py')


def run(root):
    return subprocess.run([sys.executable, SCRIPT, root], capture_output=True, text=True)


def tree_with(files):
    root = tempfile.mkdtemp()
    for rel, text in files.items():
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'w') as f:
            f.write(text)
    return root


failures = 0
checks = 0


def expect(what, cond, detail=''):
    global failures, checks
    checks += 1
    if not cond:
        failures += 1
        print(f'FAILED: {what}\n{detail}')


tree = run(SOURCE)
expect('the tree passes', tree.returncode == 0, tree.stdout)

upward = tree_with({'table/CCard.cpp': '#include "table/CCard.h"\n#include "framework/CSprite.h"\n',
                    'framework/CSprite.cpp': '// sprite\n#include "screens/CMenuScreen.h"\n',
                    'screens/CMenuScreen.h': '#pragma once\n'})
r = run(upward)
expect('an upward include fails', r.returncode == 1, r.stdout)
expect('it names file and line', 'framework/CSprite.cpp:2:' in r.stdout, r.stdout)
expect('a downward include is not named', 'table/CCard.cpp' not in r.stdout, r.stdout)
shutil.rmtree(upward)

from_tests = tree_with({'app/Tool.cpp': '#include "tests/support/FakeEngine.h"\n',
                        'tests/support/FakeEngine.h': '#pragma once\n'})
r = run(from_tests)
expect('an include of tests/ fails', r.returncode == 1 and 'app/Tool.cpp:1:' in r.stdout, r.stdout)
shutil.rmtree(from_tests)

print(f'{checks - failures} passed, {failures} failed')
sys.exit(1 if failures else 0)
