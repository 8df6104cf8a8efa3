#!/usr/bin/env python3
"""Writes the resource script "effects/effects.as" from data/effects/effects.as (the shared
declarations) and data/effects/modules/*.as (one graphics module each), in name order, and ends it
with the entry function that calls DeclareShared and then every module's Declare_<file name>.

The result is plain AngelScript, readable as it stands. It is rewritten only when it changes, so
the game's byte-code cache beside it stays valid between builds.
"""

import glob
import os
import re

import sol_data

OUTPUT = "effects/effects.as"


def main():
    args = sol_data.parse_args("Writes the resource script.")
    folder = os.path.join(args.src, "effects")
    with open(os.path.join(folder, "effects.as"), encoding="utf-8") as f:
        parts = [f.read()]
    calls = ["DeclareShared(res);"]
    for path in sorted(glob.glob(os.path.join(folder, "modules", "*.as"))):
        stem = os.path.splitext(os.path.basename(path))[0]
        if not re.fullmatch(r"[A-Za-z_][A-Za-z0-9_]*", stem):
            sol_data.fail("%s: the file name must be a script identifier" % path)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        entry = "void Declare_%s(CFResource@ res)" % stem
        if entry not in text:
            sol_data.fail("%s: expected a function %s" % (path, entry))
        parts.append("// ---- modules/%s.as " % stem + "-" * max(0, 80 - len(stem) - 20) + "\n" + text)
        calls.append("Declare_%s(res);" % stem)
    body = "".join("    %s\n" % call for call in calls)
    parts.append("// ---- Entry (written by tools/gen_script.py) ----------------------------------------\n"
                 "void LoadAnimations(CFResource@ res)\n{\n" + body + "}\n")
    script = "\n".join(p if p.endswith("\n") else p + "\n" for p in parts)
    sol_data.write_if_changed(os.path.join(args.out, OUTPUT), script.encode("utf-8"))


if __name__ == "__main__":
    main()
