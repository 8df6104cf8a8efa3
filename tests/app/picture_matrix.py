#!/usr/bin/env python3
"""Ordinary pictures, made as a user would make them, against the game's decoders.

JPEG-2000 files come from opj_compress (the matrix below, and one picture in other layouts and
at higher rates), GIFs from Pillow (one frame of every size; every frame of the animations).
Each is decoded by the reference (opj_decompress, or Pillow) and by the game's calls
(picture_probe), each in a process of its own timed by GNU time. A picture the reference decodes
within 1 s and 1 GB must be decoded by ours with the same pixels, in at most 3 times the
reference's processor time (at least 0.1 s: a short run's time is mostly noise) and 3 times its
memory plus 64 MB. The encodes are made once into CACHE and kept while the generator is unchanged.
--sample takes every row of each kind once at its smallest size (see SAMPLE): a quick check.

    picture_matrix.py --probe PATH/picture_probe --cache DIR [--sample] [--jobs N] [--only TEXT]
"""

import argparse
import collections
import filecmp
import hashlib
import itertools
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor

from PIL import Image, ImageChops

SIZES = [(800, 600), (1024, 768), (1920, 1080), (2048, 2048), (4096, 4096)]
RATES = ["10", "20", "50", "lossless"]
FORMATS = ["j2k", "jp2"]
TILINGS = ["whole", "tiled"]
COMPONENTS = [1, 3, 4]
DEPTHS = [8, 16]
GIFS = [(1, w, h) for (w, h) in SIZES] + [(12, 1920, 1080), (100, 1920, 1080), (12, 800, 600), (100, 800, 600)]
# Beyond the matrix, one 1920 x 1080 colour picture in other ways opj_compress can write it.
LAYOUTS = {"100": ["-r", "100"], "200": ["-r", "200"], "layers": ["-r", "40,20,10"], "rlcp": ["-r", "20", "-p", "RLCP"],
           "rpcl": ["-r", "20", "-p", "RPCL"], "sop-eph": ["-r", "20", "-SOP", "-EPH"],
           "precincts": ["-r", "20", "-c", "[128,128],[64,64]"], "bypass": ["-r", "20", "-M", "1"],
           "irreversible": ["-r", "20", "-I"], "parts": ["-r", "20", "-t", "512,512", "-TP", "R"],
           "pcrl": ["-r", "20", "-p", "PCRL"], "cprl": ["-r", "20", "-p", "CPRL"], "1000": ["-r", "1000"],
           "precincts-1000": ["-r", "1000", "-p", "RPCL", "-c", "[128,128],[64,64]"],
           "parts-1000": ["-r", "1000", "-t", "512,512", "-TP", "R", "-p", "PCRL"]}
# Every progression order, a progression change, every code-block style (bypass, reset, termination
# on every pass, vertically causal, predictable termination, segmentation symbols, all six) and the
# smallest and a non-square code-block, at 200:1 and at 1000:1.
LAYOUTS.update({"%s-%s" % (name, rate): ["-r", rate] + opts for rate in ["200", "1000"] for name, opts in {
    "rlcp": ["-p", "RLCP"], "rpcl": ["-p", "RPCL"], "pcrl": ["-p", "PCRL"], "cprl": ["-p", "CPRL"],
    "poc": ["-POC", "T1=0,0,1,3,3,RPCL/T1=3,0,1,6,3,PCRL"], "bypass": ["-M", "1"], "reset": ["-M", "2"],
    "termall": ["-M", "4"], "causal": ["-M", "8"], "pterm": ["-M", "16"], "segsym": ["-M", "32"],
    "modes": ["-M", "63"], "cb4x4": ["-b", "4,4"], "cb64x16": ["-b", "64,16"]}.items()})
# Pictures of sources of their own: flat ones (one value in every sample; opj_compress's default,
# lossless, makes a few hundred bytes of them), luma with 4:2:0 chroma (which the reference hands
# over as RGB), a large photograph at a high rate, one in the smallest code-blocks at 200:1 (about
# 500 MB of the decoder's structures for 90 KB of data) and one sub-sampled on a reference grid
# twice its size: (width, height, components, kind, options).
PICTURES = {"flat-grey-2048x2048": (2048, 2048, 1, "flat", []), "flat-rgba-1024x768": (1024, 768, 4, "flat", []),
            "flat-rgb-3000x2000": (3000, 2000, 3, "flat", []), "420-1920x1080": (1920, 1080, 3, "420", ["-r", "20"]),
            "photo-5000x3000-1000": (5000, 3000, 3, "photo", ["-r", "1000"]),
            "photo-3000x2000-cb4x4-200": (3000, 2000, 3, "photo", ["-b", "4,4", "-r", "200"]),
            "photo-3000x2000-sub2-20": (3000, 2000, 3, "photo", ["-s", "2,2", "-r", "20"])}
LAYOUT_SIZE = (1920, 1080)

# What --sample makes and measures: all rates, tilings, formats, components and depths at the
# smallest size, every layout at that size too, a still GIF and the shorter animation at it, the
# smallest flat picture and the 4:2:0 one (the photograph's high rate is the layouts' 1000:1).
Plan = collections.namedtuple("Plan", "sizes layout_size gifs pictures")
FULL = Plan(SIZES, LAYOUT_SIZE, GIFS, list(PICTURES))
SAMPLE = Plan(SIZES[:1], SIZES[0], [(1, 800, 600), (12, 800, 600)], ["flat-rgba-1024x768", "420-1920x1080"])

REF_SECONDS = 1.0
REF_MB = 1024.0
TIME_FLOOR = 0.1
STAMP = hashlib.sha1(open(__file__, "rb").read().split(b"# ---- Measuring")[0]).hexdigest()[:12]


# ---- Making the pictures ---------------------------------------------------------------------

def photo_plane(w, h, seed):
    """A smooth picture with a little grain, like a photograph: 8-bit grey."""
    rnd = random.Random(seed)
    sw, sh = max(2, w // 48), max(2, h // 48)
    small = Image.frombytes("L", (sw, sh), bytes(rnd.randrange(256) for _ in range(sw * sh)))
    grain = Image.effect_noise((w, h), 24).convert("L")
    return Image.blend(small.resize((w, h), Image.BICUBIC), grain, 0.12)


def write_raw(path, w, h, comps, bits):
    """Planar samples as opj_compress reads them (-F): 16-bit ones big-endian."""
    with open(path, "wb") as out:
        for c in range(comps):
            plane = photo_plane(w, h, 7 * c + w)
            if bits == 8:
                out.write(plane.tobytes())
            else:
                low = Image.effect_noise((w, h), 64).convert("L")
                out.write(Image.merge("LA", (plane, low)).tobytes())


def make_picture(cache, name):
    """One of PICTURES, from a source of its own."""
    w, h, comps, kind, opts = PICTURES[name]
    out = os.path.join(cache, name + ".j2k")
    if os.path.exists(out):
        return
    form = "%d,%d,%d,8,u" % (w, h, comps)
    with tempfile.TemporaryDirectory(dir=cache) as tmp:
        raw = os.path.join(tmp, "source.raw")
        if kind == "420":
            form += "@1x1:2x2:2x2"
            cw, ch = (w + 1) // 2, (h + 1) // 2
            with open(raw, "wb") as f:
                f.write(photo_plane(w, h, 1).tobytes() + photo_plane(cw, ch, 2).tobytes() + photo_plane(cw, ch, 3).tobytes())
        elif kind == "flat":
            with open(raw, "wb") as f:
                f.write(bytes([60 + 40 * comps]) * (w * h * comps))
        else:
            write_raw(raw, w, h, comps, 8)
        subprocess.run(["opj_compress", "-i", raw, "-o", os.path.join(tmp, "part.j2k"), "-F", form] + opts,
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.replace(os.path.join(tmp, "part.j2k"), out)


def j2k_name(w, h, comps, bits, rate, tiling, fmt):
    return "%dx%d-%dc-%db-%s-%s.%s" % (w, h, comps, bits, rate, tiling, fmt)


def layout_name(w, h, name):
    return "layout-%s.j2k" % name if (w, h) == LAYOUT_SIZE else "layout-%dx%d-%s.j2k" % (w, h, name)


def encode_group(cache, w, h, comps, bits, layouts=False):
    """Every rate, tiling and format of one source (or every layout); the source is not kept."""
    def options(rate, tiling):
        return (["-r", rate] if rate != "lossless" else []) + (["-t", "512,512"] if tiling == "tiled" else [])
    if layouts:
        jobs = [(opts, layout_name(w, h, name)) for name, opts in LAYOUTS.items()]
    else:
        jobs = [(options(r, t), j2k_name(w, h, comps, bits, r, t, f)) for r, t, f in itertools.product(RATES, TILINGS, FORMATS)]
    todo = [(opts, out) for opts, out in jobs if not os.path.exists(os.path.join(cache, out))]
    if not todo:
        return
    with tempfile.TemporaryDirectory(dir=cache) as tmp:
        raw = os.path.join(tmp, "source.raw")
        write_raw(raw, w, h, comps, bits)
        for opts, out in todo:
            part = os.path.join(tmp, "part" + os.path.splitext(out)[1])
            cmd = ["opj_compress", "-i", raw, "-o", part, "-F", "%d,%d,%d,%d,u" % (w, h, comps, bits)] + opts
            subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.replace(part, os.path.join(cache, out))


def palette_picture(w, h, seed):
    """A photograph-like colour picture in 256 colours."""
    rgb = Image.merge("RGB", [photo_plane(w, h, seed + c) for c in range(3)])
    return rgb.quantize(256, method=Image.Quantize.MEDIANCUT)


def gif_name(frames, w, h):
    return "one-%dx%d.gif" % (w, h) if frames == 1 else "anim-%d-%dx%d.gif" % (frames, w, h)


def make_gif(cache, frames, w, h):
    """Every later frame the first one moved across the screen: each changes the whole picture,
    so Pillow writes every frame whole, with the one shared colour table."""
    path = os.path.join(cache, gif_name(frames, w, h))
    if os.path.exists(path):
        return
    first = palette_picture(w, h, 3 if frames == 1 else 5)
    moved = [ImageChops.offset(first, 37 * i, 23 * i) for i in range(1, frames)]
    more = dict(save_all=True, append_images=moved, duration=40, loop=0) if moved else {}
    first.save(path + ".part", format="GIF", **more)
    os.replace(path + ".part", path)


def make_all(cache, jobs, plan):
    stamp = os.path.join(cache, "stamp")
    if os.path.exists(cache) and (not os.path.exists(stamp) or open(stamp).read() != STAMP):
        shutil.rmtree(cache)
    os.makedirs(cache, exist_ok=True)
    work = [(encode_group, (cache, w, h, c, b)) for (w, h), c, b in itertools.product(reversed(plan.sizes), COMPONENTS, DEPTHS)]
    work += [(encode_group, (cache,) + plan.layout_size + (3, 8, True))]
    work += [(make_gif, (cache,) + a) for a in plan.gifs]
    with ThreadPoolExecutor(jobs) as pool:
        for f in [pool.submit(fn, *args) for fn, args in work]:
            f.result()
        for f in [pool.submit(make_picture, cache, name) for name in plan.pictures]:
            f.result()
    with open(stamp, "w") as out:
        out.write(STAMP)


# ---- Measuring --------------------------------------------------------------------------------

Run = collections.namedtuple("Run", "status text seconds wall mb")


def measured(cmd, report):
    """One process: its exit status, output, processor and wall seconds and peak memory. GNU time
    starts it: a process forked from this (large) one would keep this one's peak across exec."""
    proc = subprocess.run(["/usr/bin/time", "-f", "%e %U %S %M", "-o", report] + cmd,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    with open(report) as f:
        wall, user, system, kb = f.read().split()[-4:]
    return Run(proc.returncode, proc.stdout.decode(errors="replace").strip(), float(user) + float(system),
               float(wall), float(kb) / 1024.0)


PILLOW_FRAME = ("import sys\nfrom PIL import Image\nim = Image.open(sys.argv[1])\nim.seek(int(sys.argv[2]))\n"
                "open(sys.argv[3], 'wb').write(im.convert('RGBA').tobytes())\n")


class Case:
    def __init__(self, kind, label, path, frame=None, comps=0, bits=8):
        self.kind, self.label, self.path, self.frame, self.comps, self.bits = kind, label, path, frame, comps, bits
        self.ref = self.ours = None
        self.same = False
        self.note = ""

    @property
    def eligible(self):
        return self.ref.status == 0 and self.ref.seconds <= REF_SECONDS and self.ref.mb <= REF_MB

    @property
    def accepted(self):
        return self.ours.status == 0

    def failures(self):
        if not self.eligible:
            return []
        out = []
        if not self.accepted:
            out.append(self.ours.text or "refused")
        elif not self.same:
            out.append("pixels " + self.note)
        if self.ours.seconds > 3 * max(self.ref.seconds, TIME_FLOOR):
            out.append("time %.2f s > 3 x %.2f s" % (self.ours.seconds, self.ref.seconds))
        if self.ours.mb > 3 * self.ref.mb + 64:
            out.append("memory %.0f MB > 3 x %.0f MB + 64" % (self.ours.mb, self.ref.mb))
        return out


def measure(case, probe, tmp):
    """Both decodes; a case over the time or memory bound is measured twice more and keeps the
    least of each side's runs, so that one run slowed by the machine's other work does not decide."""
    def least(a, b):
        return Run(a.status, a.text, *map(min, a[2:], b[2:]))
    measure_once(case, probe, tmp)
    for _ in range(2):
        if not case.failures() or not case.accepted or not case.same:
            break
        ref, ours = case.ref, case.ours
        measure_once(case, probe, tmp)
        case.ref, case.ours = least(ref, case.ref), least(ours, case.ours)
    return case


def measure_once(case, probe, tmp):
    with tempfile.TemporaryDirectory(dir=tmp) as own:
        base = os.path.join(own, "picture")
        if case.kind == "gif":
            ref = [sys.executable, "-c", PILLOW_FRAME, case.path, str(case.frame), base + ".ref"]
            ours = [probe, "gif", case.path, str(case.frame), base + ".ours"]
        else:
            ref = ["opj_decompress", "-i", case.path, "-o", base + ".rawl"]
            ours = [probe, "j2k", case.path, base + ".ours"]
        case.ref, case.ours = measured(ref, base + ".time"), measured(ours, base + ".time")
        if case.ref.status != 0 or case.ours.status != 0:
            return
        if case.kind == "gif":
            case.same = filecmp.cmp(base + ".ref", base + ".ours", shallow=False)
            case.note = "" if case.same else "differ from Pillow's"
        else:
            check = subprocess.run([probe, "same-j2k", base + ".ours", base + ".rawl", str(case.comps), str(case.bits)],
                                   capture_output=True, text=True)
            case.same, case.note = check.returncode == 0, check.stdout.strip()


def all_cases(cache, plan):
    cases = []
    for (w, h), c, b, r, t, f in itertools.product(plan.sizes, COMPONENTS, DEPTHS, RATES, TILINGS, FORMATS):
        name = j2k_name(w, h, c, b, r, t, f)
        cases.append(Case("j2k", name[:-4] + " " + f, os.path.join(cache, name), comps=c, bits=b))
    cases += [Case("j2k", name, os.path.join(cache, name + ".j2k"), comps=PICTURES[name][2]) for name in plan.pictures]
    w, h = plan.layout_size
    for name in LAYOUTS:
        cases.append(Case("j2k", "%dx%d-3c-8b layout %s" % (w, h, name), os.path.join(cache, layout_name(w, h, name)),
                          comps=3, bits=8))
    for (frames, w, h) in plan.gifs:
        name = gif_name(frames, w, h)
        cases += [Case("gif", name if frames == 1 else "%s frame %d" % (name, i), os.path.join(cache, name), frame=i)
                  for i in range(frames)]
    return cases


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--probe", required=True)
    parser.add_argument("--cache", required=True)
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--only", default="")
    parser.add_argument("--sample", action="store_true")
    args = parser.parse_args()
    plan = SAMPLE if args.sample else FULL

    args.cache, args.probe = os.path.abspath(args.cache), os.path.abspath(args.probe)
    started = time.monotonic()
    make_all(args.cache, args.jobs, plan)
    made = time.monotonic() - started
    cases = [c for c in all_cases(args.cache, plan) if args.only in c.label]
    with tempfile.TemporaryDirectory() as tmp, ThreadPoolExecutor(args.jobs) as pool:
        cases = list(pool.map(lambda c: measure(c, args.probe, tmp), cases))

    print("%-44s %9s %8s  %-15s  %-15s" % ("picture", "file KB", "accepted", "ours s / MB", "reference s / MB"))
    failed = 0
    for c in cases:
        mark = "" if c.eligible else "  (reference over 1 s or 1 GB)"
        problems = c.failures()
        failed += 1 if problems else 0
        print("%-44s %9.0f %8s  %6.2f / %6.0f  %6.2f / %6.0f%s%s" % (
            c.label, os.path.getsize(c.path) / 1024.0, "yes" if c.accepted else "no", c.ours.seconds, c.ours.mb,
            c.ref.seconds, c.ref.mb, mark, "  FAILED: " + "; ".join(problems) if problems else ""))
    eligible = [c for c in cases if c.eligible]
    accepted = [c for c in cases if c.accepted]
    print("%d pictures; the reference decodes %d within 1 s and 1 GB; ours accepts %d" % (
        len(cases), len(eligible), len(accepted)))
    print("encodes made or found in %.0f s, measured in %.0f s" % (made, time.monotonic() - started - made))
    print("%d passed, %d failed" % (len(cases) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
