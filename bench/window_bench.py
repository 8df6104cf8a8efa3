#!/usr/bin/env python3
"""Times the game in a real window, the way a player meets it, and what a still screen costs.

Run by hand (not by `make test`), on an idle machine if the figures are to mean anything:

    python3 bench/window_bench.py [PROGRAM...] [--still-seconds 15] [--samples 5] [--table-seconds 60]
                                  [--rounds 1]

Several builds of the game and several rounds measure
side by side under the same load; with more than one round it ends with the medians.

It starts its own Xvfb (1024 x 768, 24 bits; Mesa's software renderer draws), and prints
  - seconds from the start of the program to the main menu standing (its fade-in over),
  - seconds from a click on "2. Golf" in the classic selection to a table that stands still with
    its cards dealt, ready for a move, and the frames a second the window showed while it faded in
    and dealt, and while it dealt after the fade-in,
  - the program's CPU, all threads (utime + stime from /proc/PID/stat), in cores: over the still
    main menu, the median of --samples slices of --still-seconds, and their range; over
    --table-seconds of each still table, whole (the idle hint wiggles a card about 26 s after the
    deal and every 20 s after that, so a minute holds it), and the dearest and cheapest third of it:
    the Golf table with its lit move lamp from 1 s after it stands; the same table with the
    rules window opened by its button; "1. Klondike", first played, when its rules window opened
    by itself stands. For each table, the pictures the X server was given and their pixels.
Beside it, `sol` and `kpat` when they are installed (Debian puts them in /usr/games; without a
session bus they run under dbus-run-session): seconds to a still first picture and the CPU of
that still picture over --table-seconds, their process and its children (they are not driven
further), and the pictures they gave the X server.

The program runs on a copy of the data set its build made. A headless run first makes a player,
does the first start's conversion, answers the first classic game's question, meets the move
lamp's two first-time windows and keeps the pictures the window runs are compared with, so that
the window runs meet no first-start window and play on a table that takes moves.
The view is found where the game puts it: scaled evenly to the screen and centred.
"""
import argparse
import ctypes
import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

SCREEN_W, SCREEN_H = 1024, 768
VIEW_W, VIEW_H = 800, 600
CLASSIC_SIGN = (190, 350)
GOLF = (204, 141)         # "2. Golf", the list's second line
KLONDIKE = (204, 113)     # "1. Klondike", never played before the window run
RULES = (60, 580)         # the table's Rules button
MENU_BUTTON = (740, 580)  # the table's game menu
NO_BUTTON = (490, 370)
LAMP_OK = (400, 374)      # the move lamp's first-time windows; on the table without them, empty felt
MENU_QUIT, YES_BUTTON = (398, 316), (310, 370)
MENU_AT = 1400          # headless frame by which either build stands on its main menu
POLL = 0.03             # seconds between looks at the screen
STANDING = 0.5          # seconds without a change that make a table stand: a loaded machine stalls
FADE_IN = 0.6           # seconds of the fade from black (500 alpha a second) as the table shows
PROBES = [(x, y) for x in range(25, VIEW_W, 50) for y in range(25, VIEW_H, 50)]


# ---- Pictures ---------------------------------------------------------------------------------


def built_data(program):
    """The data set as the build made it, never the folder beside the program that a game played in
    (a build of before that split has only the latter)."""
    made = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(program))), 'bundled-data')
    return made if os.path.isdir(made) else os.path.join(os.path.dirname(program), 'data')

def read_png(path):
    """(width, height, rows of (r, g, b)) of an 8-bit RGB or RGBA PNG without interlace."""
    data = open(path, 'rb').read()
    pos, idat, width = 8, b'', 0
    while pos < len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
            channels = {2: 3, 6: 4}[colour]
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b, c = prev[i], prev[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append([tuple(line[x * channels:x * channels + 3]) for x in range(width)])
        prev = line
    return width, height, rows


def probes_of_png(path):
    _, _, rows = read_png(path)
    return [rows[y][x] for x, y in PROBES]


def open_display(display):
    """Xlib through ctypes, a connection of its own to the display, and its root window."""
    x11 = ctypes.CDLL('libX11.so.6')
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display.encode())
    if not dpy:
        raise RuntimeError('cannot open display ' + display)
    return x11, dpy, x11.XDefaultRootWindow(dpy)


class XScreen:
    """Reads pixels of the X screen through Xlib (ctypes), and clicks through XTest."""

    def __init__(self, display):
        self.x11, self.dpy, self.root = open_display(display)
        self.xtst = ctypes.CDLL('libXtst.so.6')
        self.x11.XGetImage.restype = ctypes.c_void_p
        self.x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                       ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        self.x11.XGetPixel.restype = ctypes.c_ulong
        self.x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        self.x11.XDestroyImage.argtypes = [ctypes.c_void_p]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                                   ctypes.c_ulong]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        scale = min(SCREEN_W / VIEW_W, SCREEN_H / VIEW_H)
        self.scale = scale
        self.left = int((SCREEN_W - VIEW_W * scale) / 2)
        self.top = int((SCREEN_H - VIEW_H * scale) / 2)

    def to_screen(self, x, y):
        return self.left + int(x * self.scale), self.top + int(y * self.scale)

    def probes(self):
        return self.look()[0]

    def look(self, below=0):
        """The probes' colours, and the screen's bytes from view row `below` down."""
        image = self.x11.XGetImage(self.dpy, self.root, 0, 0, SCREEN_W, SCREEN_H, 0xFFFFFFFF, 2)  # ZPixmap
        if not image:
            return None, b''
        out = []
        for x, y in PROBES:
            sx, sy = self.to_screen(x, y)
            p = self.x11.XGetPixel(image, sx, sy)
            out.append((p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF))
        # XImage: data pointer at byte 16, bytes_per_line at byte 44 (LP64).
        data = ctypes.c_void_p.from_address(image + 16).value
        stride = ctypes.c_int.from_address(image + 44).value
        first = self.to_screen(0, below)[1]
        rows = ctypes.string_at(data + first * stride, (SCREEN_H - first) * stride)
        self.x11.XDestroyImage(image)
        return out, rows

    def click(self, x, y):
        sx, sy = self.to_screen(x, y)
        self.xtst.XTestFakeMotionEvent(self.dpy, -1, sx, sy, 0)
        self.x11.XFlush(self.dpy)
        time.sleep(0.05)
        self.xtst.XTestFakeButtonEvent(self.dpy, 1, 1, 0)
        self.x11.XFlush(self.dpy)
        time.sleep(0.05)
        self.xtst.XTestFakeButtonEvent(self.dpy, 1, 0, 0)
        self.x11.XFlush(self.dpy)


class PresentCounter:
    """Counts the pictures the X server was given (the game's every present puts one) and their
    pixels, through the DAMAGE extension on the root window, on a connection of its own."""

    # XDamageNotifyEvent: type, serial, send_event, display, drawable, damage, level, more,
    # timestamp, then the area (x, y: 16 bits each; width, height: 16 bits each, unsigned).
    NOTIFY_TIMESTAMP = 56
    NOTIFY_AREA = 64

    def __init__(self, display):
        self.x11, self.dpy, root = open_display(display)
        self.damage = ctypes.CDLL('libXdamage.so.1')
        self.x11.XPending.argtypes = [ctypes.c_void_p]
        self.x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        self.x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.damage.XDamageQueryExtension.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                                      ctypes.POINTER(ctypes.c_int)]
        self.damage.XDamageCreate.restype = ctypes.c_ulong
        self.damage.XDamageCreate.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int]
        event_base, error_base = ctypes.c_int(), ctypes.c_int()
        if not self.damage.XDamageQueryExtension(self.dpy, ctypes.byref(event_base),
                                                                 ctypes.byref(error_base)):
            raise RuntimeError('no DAMAGE extension on ' + display)
        self.notify = event_base.value
        self.damage.XDamageCreate(self.dpy, root, 0)  # raw rectangles
        self.x11.XSync(self.dpy, 0)
        self.event = (ctypes.c_long * 24)()
        self.pictures = 0
        self.first = None    # server milliseconds of the current picture's first rectangle
        self.pixels = 0
        self.whole = 0       # rectangles that cover the whole screen

    # A picture shown in several boxes puts a rectangle for each, a few milliseconds apart at most;
    # pictures follow each other at least a 60th of a second apart.
    SAME_PICTURE_MS = 5

    def count(self):
        while self.x11.XPending(self.dpy):
            self.x11.XNextEvent(self.dpy, self.event)
            raw = bytes(self.event)
            if int.from_bytes(raw[0:4], 'little') == self.notify:
                stamp = int.from_bytes(raw[self.NOTIFY_TIMESTAMP:self.NOTIFY_TIMESTAMP + 8], 'little')
                if self.first is None or abs(stamp - self.first) > self.SAME_PICTURE_MS:
                    self.first = stamp
                    self.pictures += 1
                at = self.NOTIFY_AREA
                width = int.from_bytes(raw[at + 4:at + 6], 'little')
                height = int.from_bytes(raw[at + 6:at + 8], 'little')
                self.pixels += width * height
                self.whole += width * height >= SCREEN_W * SCREEN_H
        return self.pictures

    def totals(self):
        """(pictures, rectangles covering the whole screen, pixels) so far."""
        return self.count(), self.whole, self.pixels


def share_matching(a, b, tolerance=40):
    same = sum(1 for p, q in zip(a, b) if all(abs(u - v) <= tolerance for u, v in zip(p, q)))
    return same / len(a)


def wait_for(screen, done, limit, shown=None):
    """The time done(probes, previous probes) holds, or None after limit seconds. `shown`, a list,
    gets the time the picture last came out of black before that."""
    start, previous, dark = time.monotonic(), None, True
    while time.monotonic() - start < limit:
        now = screen.probes()
        t = time.monotonic()
        if now is not None and previous is not None and done(now, previous):
            return t
        if now is not None:
            black = sum(sum(p) for p in now) < 4 * 3 * len(now)
            if dark and not black and shown is not None:
                shown[:] = [t]
            dark = black
        previous = now
        time.sleep(POLL)
    return None


# ---- CPU --------------------------------------------------------------------------------------

def proc_stat(pid):
    """(parent pid, CPU seconds of all its threads: utime + stime), or None once it is gone."""
    try:
        with open('/proc/%d/stat' % pid) as stat:
            fields = stat.read().rsplit(')', 1)[1].split()
    except OSError:
        return None
    return int(fields[1]), (int(fields[11]) + int(fields[12])) / os.sysconf('SC_CLK_TCK')


def tree_cpu_seconds(pid):
    """The CPU of a process and its descendants: a peer may run under a session-bus wrapper."""
    children = {}
    for name in os.listdir('/proc'):
        if name.isdigit():
            stat = proc_stat(int(name))
            if stat is not None:
                children.setdefault(stat[0], []).append(int(name))
    total, todo = 0.0, [pid]
    while todo:
        current = todo.pop()
        stat = proc_stat(current)
        total += stat[1] if stat is not None else 0.0
        todo += children.get(current, [])
    return total


def cores_over(pid, seconds, samples):
    """The median of `samples` slices of `seconds` of CPU, in cores, and the lowest and highest."""
    figures = []
    for _ in range(samples):
        before, start = tree_cpu_seconds(pid), time.monotonic()
        time.sleep(seconds / samples)
        figures.append((tree_cpu_seconds(pid) - before) / (time.monotonic() - start))
    figures.sort()
    return figures[len(figures) // 2], figures[0], figures[-1]


def cpu_line(label, figures):
    return '  %-29s%6.2f cores (%.2f-%.2f)' % (label + ', CPU:', figures[0], figures[1], figures[2])


def cores_and_pictures(pid, seconds, presents=None, parts=3):
    """The CPU of `seconds` in cores, whole and in `parts` slices (dearest, cheapest), and the
    pictures given to the X server over it: (cores, dearest, cheapest, pictures, whole, pixels)."""
    slices = []
    first = presents.totals() if presents is not None else (0, 0, 0)
    start_cpu, start = tree_cpu_seconds(pid), time.monotonic()
    for _ in range(parts):
        before, begun = tree_cpu_seconds(pid), time.monotonic()
        while time.monotonic() - begun < seconds / parts:
            time.sleep(min(0.1, max(0.0, begun + seconds / parts - time.monotonic())))
            if presents is not None:
                presents.count()  # unread, the server's events for this connection are lost
        slices.append((tree_cpu_seconds(pid) - before) / (time.monotonic() - begun))
    whole = (tree_cpu_seconds(pid) - start_cpu) / (time.monotonic() - start)
    last = presents.totals() if presents is not None else (0, 0, 0)
    return (whole, max(slices), min(slices)) + tuple(b - a for a, b in zip(first, last))


def stretch_line(label, seconds, figures):
    line = '  %-29s%6.2f cores over %d s (its thirds %.2f-%.2f)' % (label + ', CPU:', figures[0], seconds,
                                                                     figures[2], figures[1])
    if figures[3]:
        line += '; %d pictures, %d whole, %.1f Mpixels' % (figures[3], figures[4], figures[5] / 1e6)
    return line + '; load %s' % open('/proc/loadavg').read().split()[0]


# ---- The game ---------------------------------------------------------------------------------

def key(frame, vk):
    return '%d keydown %d\n%d keyup %d\n' % (frame, vk, frame + 1, vk)


def click(frame, at):
    return '%d move %d %d\n%d down 1\n%d up 1\n' % (frame, at[0], at[1], frame + 1, frame + 2)


def prepare(program, root):
    """A headless run that makes a player, meets the first classic game and the move lamp's
    first-time windows (the second and third table shows them), and keeps the pictures."""
    m = MENU_AT
    script = key(m, 65) + key(m + 3, 78) + key(m + 6, 13) + '%d shot menu\n' % (m + 120)
    script += click(m + 130, CLASSIC_SIGN) + '%d shot classic\n' % (m + 230) + click(m + 240, GOLF)
    script += click(m + 640, NO_BUTTON) + leave_table(m + 770)
    at = m + 1000
    for table in range(2):
        script += click(at, GOLF) + click(at + 460, LAMP_OK)
        if table == 1:
            script += '%d shot table\n' % (at + 520)
        script += leave_table(at + 530)
        at += 760
    with open(os.path.join(root, 'input.txt'), 'w') as out:
        out.write(script)
    subprocess.run([program, '--headless', '--frames', str(at), '--root', root, '--input',
                    os.path.join(root, 'input.txt'), '--screenshot', os.path.join(root, 'last.png')],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return {name: probes_of_png(os.path.join(root, name + '.png')) for name in ('menu', 'classic', 'table')}


def leave_table(frame):
    """Escape, then the game menu's way back to the tables, confirmed."""
    return key(frame, 27) + click(frame + 60, MENU_QUIT) + click(frame + 110, YES_BUTTON)


def follow_the_deal(screen, table, presents, limit=60):
    """Times after a click on a level: the view black, the table showing, and the table standing:
    below the top bar (whose lamp sparkles) nothing moved for STANDING seconds; and the pictures
    shown a second from showing to standing (the fade-in and the deal), and from the end of the
    fade-in (FADE_IN seconds after showing) to standing (the deal alone)."""
    start = time.monotonic()
    black = shown = None
    last_rows, same_since = None, None
    counted = {}
    while time.monotonic() - start < limit:
        now, rows = screen.look(below=70)
        t = time.monotonic()
        counted[t] = presents.count()
        if now is None:
            continue
        bright = sum(sum(p) for p in now) / (3 * len(now))
        if black is None and bright < 4:
            black = t
        elif black is not None and shown is None and bright >= 4:
            shown = t
        if shown is not None and share_matching(now, table) >= 0.7:
            if rows == last_rows:
                if same_since is not None and t - same_since >= STANDING:
                    rate = (counted[same_since] - counted[shown]) / max(same_since - shown, 1e-3)
                    faded = min((s for s in counted if s >= shown + FADE_IN), default=same_since)
                    dealt = (counted[same_since] - counted[faded]) / max(same_since - faded, 1e-3)
                    return black, shown, same_since, rate, dealt
            else:
                same_since = t
            last_rows = rows
        time.sleep(POLL)
    return None


def wait_standing(screen, limit, after=0.0):
    """The time the view below the top bar (whose lamp sparkles) stood STANDING seconds without a
    change, looked at from `after` seconds on; None after limit seconds."""
    start = time.monotonic()
    last_rows, same_since = None, None
    while time.monotonic() - start < limit:
        _, rows = screen.look(below=70)
        t = time.monotonic()
        if t - start >= after and rows:
            if rows == last_rows:
                if t - same_since >= STANDING:
                    return t
            else:
                same_since = t
            last_rows = rows
        time.sleep(POLL)
    return None


def still(now, previous):
    return share_matching(now, previous, 6) >= 0.95


def bench_game(program, args, results):
    work = tempfile.mkdtemp(prefix='palmora-bench-')
    try:
        root = os.path.join(work, 'game')
        shutil.copytree(built_data(program), root)
        ref = prepare(program, root)
        with Xvfb() as display:
            window_run(program, root, display, ref, args, results)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def report(results, name, label, value, text):
    results.setdefault(name, {}).setdefault(label, []).append(value)
    if text:
        print(text)


def window_run(program, root, display, ref, args, results):
    env = dict(os.environ, DISPLAY=display)
    screen, presents = XScreen(display), PresentCounter(display)
    start = time.monotonic()
    game = subprocess.Popen([program, '--root', root], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        shown = []
        menu = wait_for(screen, lambda now, prev: share_matching(now, ref['menu']) >= 0.9 and still(now, prev), 120,
                        shown)
        if menu is None:
            print('  the main menu did not show within 120 s')
            return
        report(results, program, 'start to main menu, s', menu - start,
               '  start to main menu:          %6.2f s (standing; it begins to fade in at %.2f s)' %
               (menu - start, shown[0] - start if shown else float('nan')))
        time.sleep(1.0)
        cpu = cores_over(game.pid, args.still_seconds, args.samples)
        report(results, program, 'still main menu, cores', cpu[0], cpu_line('still main menu', cpu))
        screen.click(*CLASSIC_SIGN)
        if wait_for(screen, lambda now, prev: share_matching(now, ref['classic']) >= 0.9 and still(now, prev), 60) is None:
            print('  the classic selection did not show')
            return
        time.sleep(0.5)
        clicked = time.monotonic()
        screen.click(*GOLF)
        steps = follow_the_deal(screen, ref['table'], presents)
        if steps is None:
            print('  the table did not stand still within 60 s')
            return
        black, shown, standing = (t - clicked for t in steps[:3])
        report(results, program, 'click on Golf to table, s', standing,
               '  click on Golf to table:      %6.2f s (dealt, standing still)' % standing)
        print('    fade-out ends (black)      %6.2f s' % black)
        print('    the table begins to show   %6.2f s' % shown)
        report(results, program, 'showing to standing, fps', steps[3],
               '    showing to standing        %6.1f pictures a second' % steps[3])
        report(results, program, 'the deal after the fade, fps', steps[4],
               '    the deal after the fade-in %6.1f pictures a second' % steps[4])
        time.sleep(1.0)
        still_stretch(results, program, 'still table', game.pid, presents, args.table_seconds)
        screen.click(*RULES)
        if wait_standing(screen, 30, after=1.0) is None:
            print('  the rules window did not stand')
            return
        still_stretch(results, program, 'rules window, its button', game.pid, presents, args.table_seconds)
        screen.click(*MENU_BUTTON)
        time.sleep(1.5)
        screen.click(*MENU_QUIT)
        time.sleep(1.0)
        screen.click(*YES_BUTTON)
        if wait_for(screen, lambda now, prev: share_matching(now, ref['classic']) >= 0.9 and still(now, prev), 60) is None:
            print('  the classic selection did not show again')
            return
        time.sleep(0.5)
        screen.click(*KLONDIKE)
        # The deal, then the rules window's slide: it stands when nothing below the top bar moves.
        if wait_standing(screen, 60, after=6.0) is None:
            print('  Klondike with its rules window did not stand')
            return
        still_stretch(results, program, 'rules window, by itself', game.pid, presents, args.table_seconds)
    finally:
        game.kill()
        game.wait()


def still_stretch(results, name, label, pid, presents, seconds):
    figures = cores_and_pictures(pid, seconds, presents)
    report(results, name, label + ', cores', figures[0], stretch_line(label, seconds, figures))
    if presents is not None:
        report(results, name, label + ', pictures', figures[3], '')


def find_peer(name):
    return shutil.which(name, path=os.environ.get('PATH', os.defpath) + os.pathsep + '/usr/games')


def bench_other(name, args, results):
    program = find_peer(name)
    if program is None:
        print('%s: not installed, skipped' % name)
        return
    print('%s (%s):' % (name, program))
    with Xvfb() as display:
        other_run(name, program, display, args, results)


def other_run(name, program, display, args, results):
    screen, presents = XScreen(display), PresentCounter(display)
    command = [program]
    if 'DBUS_SESSION_BUS_ADDRESS' not in os.environ and shutil.which('dbus-run-session'):
        command = ['dbus-run-session', '--'] + command  # KDE's programs need a session bus
    start = time.monotonic()
    other = subprocess.Popen(command, env=dict(os.environ, DISPLAY=display), stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        shown = wait_for(screen, lambda now, prev: any(sum(p) > 30 for p in now) and still(now, prev), 60)
        if shown is None:
            print('  no still picture within 60 s')
            return
        print('  start to a still picture:    %6.2f s' % (shown - start))
        time.sleep(1.0)
        still_stretch(results, name, 'still picture', other.pid, presents, args.table_seconds)
    finally:
        os.killpg(other.pid, signal.SIGKILL)  # the wrapper, the bus and the program
        other.wait()


def print_medians(results):
    print('medians of the rounds:')
    for name, figures in results.items():
        for label, values in figures.items():
            values = sorted(values)
            print('  %-40s %-28s %7.2f (%d)' % (name, label, values[len(values) // 2], len(values)))


class Xvfb:
    """An X server of our own for one program's run, on the first free display."""

    def __enter__(self):
        read, write = os.pipe()
        self.server = subprocess.Popen(['Xvfb', '-displayfd', str(write), '-screen', '0',
                                        '%dx%dx24' % (SCREEN_W, SCREEN_H), '-nolisten', 'tcp'],
                                       pass_fds=(write,), stderr=subprocess.DEVNULL)
        os.close(write)
        number = b''
        while not number.endswith(b'\n'):  # the server writes the newline apart; closing early kills it
            chunk = os.read(read, 16)
            if not chunk:
                break
            number += chunk
        os.close(read)
        self.display = ':' + number.decode().strip()
        return self.display

    def __exit__(self, *_):
        self.server.terminate()
        self.server.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('programs', nargs='*', default=['build/bin/solitaire'],
                        help='builds of the game, each with its data folder beside it')
    parser.add_argument('--still-seconds', type=float, default=15.0)
    parser.add_argument('--samples', type=int, default=5, help='slices of a still measurement')
    parser.add_argument('--table-seconds', type=float, default=60.0,
                        help='each still table, and the peers, measured whole over this')
    parser.add_argument('--rounds', type=int, default=1, help='every program and peer, again and again')
    args = parser.parse_args()
    run = tempfile.mkdtemp(prefix='palmora-bench-run-')
    os.environ['XDG_RUNTIME_DIR'] = run
    results = {}
    try:
        for round_number in range(args.rounds):
            load = open('/proc/loadavg').read().split()[:3]
            print('round %d; machine load (1, 5, 15 min): %s; %d cores' %
                  (round_number + 1, ' '.join(load), os.cpu_count()))
            for program in args.programs:
                print('%s:' % program)
                bench_game(os.path.abspath(program), args, results)
            for other in ('sol', 'kpat'):
                bench_other(other, args, results)
        if args.rounds > 1:
            print_medians(results)
    finally:
        shutil.rmtree(run, ignore_errors=True)


if __name__ == '__main__':
    sys.exit(main())
