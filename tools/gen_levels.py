#!/usr/bin/env python3
"""Writes the level file "sol_max.ini" into the game folder from data/levels/levels.txt.

Each line of levels.txt names a section number, a variant and its options; the builders below
turn a variant into places (anchor, fan, type, card tokens and requirement lists) and the level's
scores and gauges. Every value is chosen here from the variants' usual rules.

Requirement codes used (first number of each a:b:c:d tuple):
  pick_req   0 face up, 1 top card only, 3 the run above obeys sort_req, 4 at most 1 + empty cells,
             6 ranks wrap (king below ace)
  drop_req   0 one card, 1 same suit, 2 one rank higher, 3 same colour, 4 one rank lower,
             5 target face up, 6 other colour, 7 one rank higher or lower, 8 ranks wrap,
             11:p:n place p holds n cards, 12:s ranks add up to s, 14:r a lone card of rank r
  empty_drop_req  0 one card, 1:r rank r (1:-1 the level's base rank), 9 anything
  sort_req   0 one suit, 2 falling ranks, 4 alternating colours, 5 one colour
  click_card 1 deal one to the waste, 2 deal three, 3 deal one to every column, 5 turn face up,
             7 deal one to the discard pile
  win_cond   0:n holds n cards, 2:a:b holds a or b cards in sort_req order
Anchors are card centres. At the level's zoom every card must lie below the panel's top bar (y 64)
and above its bottom bar (y 560): a top row of 80-pixel cards stands at y 105 or lower.
Place types: 0 foundation, 1 stock, 2 waste, 3 column, 4 free cell, 5 discard, 7 other pile.
"""

import os
import re

import sol_data

OUTPUT = "sol_max.ini"
CARD_W, CARD_H = 80, 107   # the card picture at zoom 1.0

PLACE_KEYS = ["x", "y", "rotate", "cards", "h_offset", "v_offset", "visible", "invert_angle", "rank",
              "empty_drop_req", "drop_req", "pick_req", "click_req", "win_cond", "click_card",
              "click_empty", "sort_req", "click_empty_limit", "max_bottom_pos", "help_script", "type"]

# Pick and drop rules shared by several variants.
COLUMN_ALT = dict(drop_req="6,4,5", sort_req="4,2")        # other colour, one lower
COLUMN_SUIT = dict(drop_req="1,4,5", sort_req="0,2")       # same suit, one lower
FOUNDATION = dict(empty_drop_req="0,1:0", drop_req="0,1,2", pick_req="1", win_cond="0:13")
TURN_TOP = dict(click_req="0,1", click_card="5")           # a face-down top card turns over


class Level:
    def __init__(self, name, zoom, decks=1, suits=15, visible=(0, 22), hidden=(0, 8)):
        self.name = name
        self.zoom = zoom
        self.decks = decks
        self.suits = suits
        self.visible = visible
        self.hidden = hidden
        self.autofinish = 1
        self.bonuses = "0,12,20,23,24"
        self.combos = "0:0,1:0,3:1,4:1,5:1,8:2,9:2"
        self.places = []
        self.notes = []

    def place(self, x, y, type_, **keys):
        keys.update(x=x, y=y, type=type_, visible=1)
        self.places.append(keys)
        return len(self.places) - 1

    def note(self, text):
        self.notes.append(text)


def spread(count, left, right):
    """x of count anchors spread evenly from left to right."""
    if count == 1:
        return [(left + right) // 2]
    return [round(left + (right - left) * i / (count - 1)) for i in range(count)]


def house_token(suit):
    """The token that deals the ace of a suit face up (the deal reads the suit as |b - 3|)."""
    return "0:%d:1" % (3 - suit)


# ---- Variants ----------------------------------------------------------------------------------

def klondike(o):
    draw, passes = int(o["draw"]), int(o["passes"])
    lv = Level(o["name"], 0.8)
    lv.place(70, 110, 1, cards="-1:24:0", click_req="1", click_card="1" if draw == 1 else "2",
                     click_empty="0", click_empty_limit=passes)
    lv.place(175, 110, 2, pick_req="1")
    for x in spread(4, 400, 730):
        lv.place(x, 110, 0, **FOUNDATION)
    for c, x in enumerate(spread(7, 70, 730)):
        cards = ("-1:%d:0," % c if c else "") + "-1:1:1"
        lv.place(x, 235, 3, v_offset=1.0, cards=cards, empty_drop_req="1:12", pick_req="0,3", **COLUMN_ALT,
                 **TURN_TOP)
    lv.note("Draw %s, %s." % ("one" if draw == 1 else "three",
                              "unlimited passes" if passes < 0 else "%d passes" % (passes + 1)))
    return lv


def golf(o):
    lv = Level(o["name"], 0.8, visible=(0, 24))
    for x in spread(7, 80, 720):
        lv.place(x, 120, 3, v_offset=1.0, cards="-1:5:1", pick_req="1", win_cond="0:0")
    lv.place(250, 450, 1, cards="-1:16:0", click_req="1", click_card="7")
    lv.place(400, 450, 5, cards="-1:1:1", drop_req="0,7")
    lv.autofinish = 0
    lv.bonuses = "12,19,20,21,24"
    lv.combos = "1:0,9:2"
    lv.note("A queen may go on a king: ranks run one up or down without turning the corner.")
    return lv


def spider(o):
    suits = int(o["suits"])
    tarantula = o.get("tarantula") == "1"
    decks, mask = {2: (4, 10), 4: (2, 15)}[suits]   # two suits: clubs and hearts
    lv = Level(o["name"], 0.72, decks=decks, suits=mask, visible=(0, 20), hidden=(0, 7))
    lv.place(60, 105, 1, cards="-1:50:0", click_req="1", click_card="3")
    for x in spread(8, 190, 740):
        lv.place(x, 105, 5, win_cond="0:13")
    sort = "5,2" if tarantula else "0,2"
    for c, x in enumerate(spread(10, 50, 750)):
        down = 5 if c < 4 else 4
        lv.place(x, 225, 3, v_offset=1.0, cards="-1:%d:0,-1:1:1" % down, drop_req="4,5", empty_drop_req="9",
                 pick_req="0,3", sort_req=sort, help_script="Spider", **TURN_TOP)
    lv.autofinish = 0
    lv.bonuses = "12,14,20,22,23"
    lv.combos = "0:0,1:0,1:1"
    lv.note("The stock may be dealt while a column is empty.")
    if tarantula:
        lv.note("Tarantula: runs of one colour move together; a suit leaves when it runs king to ace.")
    return lv


def spiderette(o):
    suits = int(o["suits"])
    decks, mask = {1: (4, 8), 4: (1, 15)}[suits]
    lv = Level(o["name"], 0.8, decks=decks, suits=mask, visible=(0, 22), hidden=(0, 8))
    lv.place(70, 110, 1, cards="-1:24:0", click_req="1", click_card="3")
    for x in spread(4, 400, 730):
        lv.place(x, 110, 5, win_cond="0:13")
    for c, x in enumerate(spread(7, 70, 730)):
        cards = ("-1:%d:0," % c if c else "") + "-1:1:1"
        lv.place(x, 235, 3, v_offset=1.0, cards=cards, drop_req="4,5", empty_drop_req="9", pick_req="0,3",
                 sort_req="0,2", help_script="Spider", **TURN_TOP)
    lv.autofinish = 0
    lv.bonuses = "12,14,20,22,23"
    lv.combos = "0:0,1:0,1:1"
    if suits == 1:
        lv.note("One suit: four decks of clubs (the easy form).")
    lv.note("The stock may be dealt while a column is empty.")
    return lv


def freecell(o):
    cells = int(o["cells"])
    same = o.get("samesuit") == "1"
    lv = Level(o["name"], 0.8, visible=(0, 24))
    for x in spread(cells, 55, 55 + 82 * (cells - 1)):
        lv.place(x, 110, 4, empty_drop_req="0", pick_req="1")
    for x in spread(4, 480, 735):
        lv.place(x, 110, 0, **FOUNDATION)
    rules = COLUMN_SUIT if same else COLUMN_ALT
    for c, x in enumerate(spread(8, 65, 735)):
        lv.place(x, 235, 3, v_offset=1.0, cards="-1:%d:1" % (7 if c < 4 else 6), empty_drop_req="9",
                 pick_req="0,3,4", **rules)
    lv.bonuses = "0,12,19,20,21"
    lv.note("A run moves when it has at most one card more than the empty free cells.")
    return lv


def eightoff(o):
    lv = Level(o["name"], 0.75, visible=(0, 24))
    xs = spread(12, 40, 760)
    for i in range(8):
        lv.place(xs[i], 105, 4, empty_drop_req="0", pick_req="1", cards="-1:1:1" if i < 4 else "")
    for x in xs[8:]:
        lv.place(x, 105, 0, **FOUNDATION)
    for x in spread(8, 65, 735):
        lv.place(x, 225, 3, v_offset=1.0, cards="-1:6:1", empty_drop_req="1:12", pick_req="0,3,4", **COLUMN_SUIT)
    lv.bonuses = "0,12,19,20,21"
    lv.note("A run moves when it has at most one card more than the empty free cells.")
    return lv


def seahaven(o):
    lv = Level(o["name"], 0.72, visible=(0, 22))
    for i, x in enumerate(spread(4, 50, 290)):
        lv.place(x, 105, 4, empty_drop_req="0", pick_req="1", cards="-1:1:1" if i in (1, 2) else "")
    for x in spread(4, 500, 740):
        lv.place(x, 105, 0, **FOUNDATION)
    for x in spread(10, 50, 750):
        lv.place(x, 220, 3, v_offset=1.0, cards="-1:5:1", empty_drop_req="1:12", pick_req="0,3,4", **COLUMN_SUIT)
    lv.bonuses = "0,12,19,20,21"
    lv.note("A run moves when it has at most one card more than the empty free cells.")
    return lv


def yukon(o):
    same = o.get("samesuit") == "1"
    alaska = o.get("alaska") == "1"
    lv = Level(o["name"], 0.75, visible=(0, 20), hidden=(0, 7))
    for x in spread(4, 430, 740):
        lv.place(x, 105, 0, **FOUNDATION)
    drop = "1,7,5" if alaska else ("1,4,5" if same else "6,4,5")
    for c, x in enumerate(spread(7, 60, 740)):
        cards = "-1:1:1" if c == 0 else "-1:%d:0,-1:5:1" % c
        lv.place(x, 215, 3, v_offset=1.0, cards=cards, drop_req=drop, empty_drop_req="1:12", pick_req="0",
                 **TURN_TOP)
    lv.bonuses = "0,12,14,20,23"
    if alaska:
        lv.note("Alaska: build in suit, one rank up or down.")
    return lv


def gypsy(o):
    milligan = o.get("milligan") == "1"
    lv = Level(o["name"], 0.7, decks=2, visible=(0, 20), hidden=(0, 7))
    lv.place(50, 105, 1, cards="-1:%d:0" % (96 if milligan else 72), click_req="1", click_card="3")
    for x in spread(8, 180, 745):
        lv.place(x, 105, 0, **FOUNDATION)
    for x in spread(8, 60, 740):
        cards = "-1:1:1" if milligan else "-1:3:0,-1:1:1"
        lv.place(x, 215, 3, v_offset=1.0, cards=cards, empty_drop_req="1:12" if milligan else "9",
                 pick_req="0,3", **COLUMN_ALT, **TURN_TOP)
    lv.bonuses = "0,12,14,20,24"
    if milligan:
        lv.note("Miss Milligan without waiving: no card may be set aside from a column.")
    return lv


def castle(o):
    aces = o.get("acesout") == "1"
    lv = Level(o["name"], 0.7, visible=(18, 0))
    ys = [125, 225, 325, 425]
    if aces:
        for s, y in enumerate(ys):
            lv.place(400, y, 0, cards=house_token(s), **FOUNDATION)
    else:
        for y in ys:
            lv.place(400, y, 0, **FOUNDATION)
    # Rows count as ordered only when they fall by rank: with no order at all the automatic
    # finish would take over from the first frame.
    for side, x in ((0, 50), (1, 480)):
        for r, y in enumerate(ys):
            n = 6 if aces else (7 if side == 0 else 6)
            lv.place(x, y, 3, h_offset=1.0, cards="-1:%d:1" % n, drop_req="0,4", empty_drop_req="0", pick_req="1",
                     sort_req="2")
    lv.bonuses = "0,12,19,20,21"
    lv.combos = "1:0,3:1,4:1,5:1"
    if aces:
        lv.note("The aces start on the foundations; rows build down whatever the suit.")
    return lv


def fortress(o):
    lv = Level(o["name"], 0.65, visible=(16, 0))
    ys = [110, 200, 290, 380, 470]
    for s, y in enumerate(ys[:4]):
        lv.place(400, y + 45, 0, **FOUNDATION)
    for side, x in ((0, 45), (1, 475)):
        for r, y in enumerate(ys):
            n = 6 if r == 0 else 5
            lv.place(x, y, 3, h_offset=1.0, cards="-1:%d:1" % n, drop_req="0,1,7", empty_drop_req="0",
                     pick_req="1", sort_req="2")
    lv.bonuses = "0,12,19,20,21"
    lv.combos = "1:0,3:1,4:1,5:1"
    return lv


def penguin(o):
    lv = Level(o["name"], 0.75, visible=(0, 24))
    xs = spread(11, 40, 760)
    for x in xs[:7]:
        lv.place(x, 105, 4, empty_drop_req="0", pick_req="1")
    # The first card of column 0 is the beak: its rank is the level's base rank, and the other
    # three cards of that rank start on the foundations.
    first_column = 11
    for i, x in enumerate(xs[7:]):
        base = "1:-1:-1:1" if i < 3 else "1:-1:%d:0" % first_column
        lv.place(x, 105, 0, empty_drop_req=base + ",0", drop_req="0,1,8,2", pick_req="1", win_cond="0:13")
    for c, x in enumerate(spread(7, 60, 740)):
        lv.place(x, 225, 3, v_offset=1.0, cards="-1:%d:1" % (6 if c == 0 else 7), drop_req="1,8,4,5",
                 pick_req="6,0,3,4", sort_req="0,2")
    lv.bonuses = "0,12,19,20,21"
    lv.note("A run moves when it has at most one card more than the empty cells; an empty column "
            "takes only a card one rank below the beak.")
    return lv


def canfield(o):
    lv = Level(o["name"], 0.8, visible=(0, 24))
    # The foundations come first: the base card must be dealt before the stock takes its cards.
    for i, x in enumerate(spread(4, 400, 730)):
        base = "1:-1:-1:1" if i == 0 else "1:-1:-1:0"
        lv.place(x, 110, 0, empty_drop_req=base + ",0", drop_req="0,1,8,2", pick_req="1", win_cond="0:13")
    lv.place(70, 110, 1, cards="-1:34:0", click_req="1", click_card="2", click_empty="0", click_empty_limit=-1)
    lv.place(175, 110, 2, pick_req="1")
    lv.place(90, 250, 3, v_offset=0.15, cards="-1:12:0,-1:1:1", pick_req="0,1", **TURN_TOP)
    for x in spread(4, 290, 730):
        lv.place(x, 250, 3, v_offset=1.0, cards="-1:1:1", drop_req="6,8,4,5", empty_drop_req="9",
                 pick_req="6,0,3", sort_req="4,2")
    lv.note("Draw three, unlimited passes. An empty column takes any card instead of the reserve's "
            "top card alone.")
    return lv


def easthaven(o):
    lv = Level(o["name"], 0.8)
    lv.place(70, 110, 1, cards="-1:31:0", click_req="1", click_card="3")
    for x in spread(4, 400, 730):
        lv.place(x, 110, 0, **FOUNDATION)
    for x in spread(7, 70, 730):
        lv.place(x, 235, 3, v_offset=1.0, cards="-1:2:0,-1:1:1", empty_drop_req="9", pick_req="0,3",
                 **COLUMN_ALT, **TURN_TOP)
    lv.bonuses = "0,12,14,20,23"
    return lv


def whitehead(o):
    lv = Level(o["name"], 0.8)
    lv.place(70, 110, 1, cards="-1:24:0", click_req="1", click_card="1")
    lv.place(175, 110, 2, pick_req="1")
    for x in spread(4, 400, 730):
        lv.place(x, 110, 0, **FOUNDATION)
    for c, x in enumerate(spread(7, 70, 730)):
        lv.place(x, 235, 3, v_offset=1.0, cards="-1:%d:1" % (c + 1), drop_req="3,4,5", empty_drop_req="9",
                 pick_req="0,3", sort_req="0,2")
    lv.bonuses = "0,12,19,20,21"
    lv.note("Draw one, one pass; columns build down in colour, runs of one suit move together.")
    return lv


def scorpion(o):
    lv = Level(o["name"], 0.8, visible=(0, 22), hidden=(0, 8))
    lv.place(60, 110, 1, cards="-1:3:0", click_req="1", click_card="3")
    for c, x in enumerate(spread(7, 180, 740)):
        cards = "-1:3:0,-1:4:1" if c < 4 else "-1:7:1"
        # The stock deals one card to each place of type 3: the three left columns. The other four
        # have their own type 7 so that they get nothing; their hidden cards turn by a click.
        lv.place(x, 110, 3 if c < 3 else 7, v_offset=1.0, cards=cards, drop_req="1,4,5", empty_drop_req="1:12",
                 pick_req="0", sort_req="0,2", win_cond="2:0:13", **TURN_TOP)
    lv.autofinish = 0
    lv.bonuses = "12,14,19,20,23"
    lv.combos = "0:0,1:0,1:1"
    lv.note("Won when every suit lies king to ace in a column of its own.")
    return lv


def pyramid(o):
    passes = int(o["passes"])
    lv = Level(o["name"], 0.75)
    rows = 7
    for r in range(rows):
        for i in range(r + 1):
            p = r * (r + 1) // 2 + i
            pick, drop = "1", "0,12:13"
            if r < rows - 1:
                below = (r + 1) * (r + 2) // 2 + i
                pick += ",2:%d:0,2:%d:0" % (below, below + 1)
                drop += ",11:%d:0,11:%d:0" % (below, below + 1)
            lv.place(400 - 34 * r + 68 * i, 110 + 42 * r, 7, cards="-1:1:1", pick_req=pick, drop_req=drop,
                     win_cond="0:0", help_script="Pyramid")
    lv.place(110, 470, 1, cards="-1:24:0", click_req="1", click_card="1", click_empty="0",
             click_empty_limit=passes)
    lv.place(215, 470, 2, pick_req="1")
    lv.place(690, 470, 5, empty_drop_req="0,1:12", drop_req="0,14:12")
    lv.autofinish = 0
    lv.bonuses = "12,19,20,21,24"
    lv.combos = "8:2,9:2"
    lv.note("Pairs that add up to 13 leave; a king leaves alone onto the discard pile. A waste "
            "card pairs with a card of the pyramid, not with the next stock card.")
    return lv


def fortythieves(o):
    lv = Level(o["name"], 0.68, decks=2, visible=(0, 20))
    lv.place(45, 100, 1, cards="-1:64:0", click_req="1", click_card="1")
    lv.place(120, 100, 2, pick_req="1")
    for x in spread(8, 235, 750):
        lv.place(x, 100, 0, **FOUNDATION)
    for x in spread(10, 50, 750):
        lv.place(x, 215, 3, v_offset=1.0, cards="-1:4:1", drop_req="0,1,4", empty_drop_req="0", pick_req="1")
    lv.bonuses = "0,12,19,20,24"
    lv.note("Draw one, one pass; one card moves at a time.")
    return lv


# ---- Bonus levels ------------------------------------------------------------------------------
# Each location's bonus level is played by a script, not by the rules above: places keep only a
# type and, in help_script, the number of the set they belong to (1 the playing field, 0 the deck,
# 2 where finished cards go, 3 the card to find). The in-game controller makes the cards: location
# 0 half of each deck, location 1 aces only, locations 2 to 4 each rank once per deck (no two for
# location 2, no aces for 3 and 4). The win conditions only end the levels whose script stops
# without winning by itself (0, 1 and 2); elsewhere they hold once the script has gathered the cards.

def bonus_level(o, zoom, decks, suits=15):
    lv = Level(o["name"], zoom, decks=decks, suits=suits)
    lv.autofinish = 0
    return lv


def bonus_grid(lv, columns, rows, left, top, step_x, step_y, cards):
    for r in range(rows):
        for c in range(columns):
            lv.place(left + step_x * c, top + step_y * r, 7, cards=cards(c + columns * r), help_script="1")


def findcard(o):
    columns = int(o["columns"])
    # One deck more than columns: whatever the columns hold, the house keeps a twin of each card.
    # Clubs and diamonds only (level_suits 9): a deck is then thirteen cards, one of each rank
    # in alternating colours, and the decks stay within the table's card limit.
    decks = columns + 1
    lv = bonus_level(o, 0.8, decks, suits=9)
    for x in spread(columns, 160, 640):
        lv.place(x, 200, 3, cards="-1:1:0", win_cond="0:0", help_script="1")
    lv.place(400, 400, 0, cards="-1:%d:0" % (13 * decks - columns), help_script="0")
    lv.note("The columns show their cards, turn them over, and the house shows one of them: find it.")
    return lv


def threecards(o):
    lv = bonus_level(o, 1.0, 2)
    # Eight aces: each game deals three and takes two out, so the deck ends with six.
    lv.place(110, 470, 1, cards="-1:8:0", win_cond="0:6", help_script="0")
    for x in spread(3, 250, 550):
        lv.place(x, 330, 3, win_cond="0:0", help_script="1")
    lv.place(400, 140, 3, win_cond="0:0", help_script="3")
    lv.note("Follow the red ace while the cups shuffle, then point at it.")
    return lv


def pairs(o):
    lv = bonus_level(o, 0.7, 2)
    bonus_grid(lv, 8, 3, 90, 150, 80, 100, lambda i: "-1:1:1")
    for p in lv.places:
        p["win_cond"] = "0:0"
    lv.place(740, 250, 0, help_script="2")
    lv.note("Two decks of twelve ranks with the same suits: turn two cards, keep the twins.")
    return lv


def sequence(o):
    lv = bonus_level(o, 0.7, 2)
    bonus_grid(lv, 8, 3, 90, 150, 80, 100, lambda i: "-1:1:1")
    lv.place(740, 250, 0, win_cond="0:24", help_script="2")
    lv.note("Turn down Two to King in one run of alternating colours.")
    return lv


def slidingpuzzle(o):
    lv = bonus_level(o, 0.8, 1)
    # Dealt in order (Two to Nine, the last cell empty) so that the scramble, made of legal
    # slides, always leaves a puzzle that can be solved.
    bonus_grid(lv, 3, 3, 300, 160, 100, 110, lambda i: "%d:-1:1" % (i + 1) if i < 8 else "")
    lv.place(680, 270, 0, cards="-1:4:0", win_cond="0:12", help_script="2")
    lv.note("Slide the cards back into order, Two to Nine, the empty cell last.")
    return lv


VARIANTS = {
    "klondike": klondike, "golf": golf, "spider": spider, "spiderette": spiderette, "freecell": freecell,
    "eightoff": eightoff, "seahaven": seahaven, "yukon": yukon, "gypsy": gypsy, "castle": castle,
    "fortress": fortress, "penguin": penguin, "canfield": canfield, "easthaven": easthaven,
    "whitehead": whitehead, "scorpion": scorpion, "pyramid": pyramid, "fortythieves": fortythieves,
    "findcard": findcard, "threecards": threecards, "pairs": pairs, "sequence": sequence,
    "slidingpuzzle": slidingpuzzle,
}


# ---- Scores and gauges -------------------------------------------------------------------------

def level_values(lv, tier):
    """The level keys in the loader's order. Harder tiers fill the gauges more slowly and pay more."""
    return [
        ("level_zoom", "%.2f" % lv.zoom),
        ("level_name", lv.name),
        ("level_difficulty", tier),
        ("level_skill", min(5, tier)),
        ("level_chance", max(1, 6 - tier)),
        ("level_h_offset_visible", lv.visible[0]),
        ("level_v_offset_visible", lv.visible[1]),
        ("level_h_offset_hidden", lv.hidden[0]),
        ("level_v_offset_hidden", lv.hidden[1]),
        ("level_decks_count", lv.decks),
        ("level_suits", lv.suits),
        ("level_place_count", len(lv.places)),
        ("level_autofinish", lv.autofinish),
        ("level_bonuses", lv.bonuses),
        ("level_combos", lv.combos),
        ("bar_length", 100),
        ("bar_bonus_length", 150 + 50 * tier),
        ("bar_undo_length", 50),
        ("bar_result_turn", 10),
        ("bar_hint_length", -10 - 5 * tier),
        ("bar_combo_3", 40),
        ("bar_combo_2", 25),
        ("bar_combo_1", 15),
        ("score_max_combo", 250 * tier),
        ("score_undo", -5 * tier),
        ("score_bonus_1", -20 * tier),
        ("score_bonus_2", -20 * tier),
        ("score_bonus_3", -30 * tier),
        ("score_bonus_4", -30 * tier),
        ("score_bonus_5", -40 * tier),
        ("score_place_to_house", 10 + 5 * tier),
        ("score_place_to_place", 2 + tier),
        ("score_open_card", 5),
        ("score_popdeck_to_place", 5),
        ("score_popdeck_to_house", 10 + 5 * tier),
        ("score_combo_3", 50 + 25 * tier),
        ("score_combo_2", 30 + 15 * tier),
        ("score_combo_1", 15 + 5 * tier),
        ("score_level_inc", 500 * tier),
    ]


def format_value(value):
    if isinstance(value, float):
        text = ("%.2f" % value).rstrip("0")
        return text + "0" if text.endswith(".") else text
    return str(value)


def write_section(number, variant, options, lv):
    lines = ["", "; ---- Solitaire%d: %s (%s)" % (number, lv.name, variant)]
    for text in lv.notes:
        lines.append("; " + text)
    lines.append("[Solitaire%d]" % number)
    for key, value in level_values(lv, int(options.get("tier", "1"))):
        lines.append("%s=%s" % (key, format_value(value)))
    for i, place in enumerate(lv.places):
        for key in PLACE_KEYS:
            value = place.get(key)
            if value is None or value == "" or (key in ("h_offset", "v_offset") and value == 0):
                continue
            lines.append("place%d_%s=%s" % (i, key, format_value(value)))
    return lines


OPTION = re.compile(r"(\w+)=(.*?)(?=\s+\w+=|\s*$)")


def parse(path):
    levels = []
    for number, line in sol_data.read_lines(path):
        parts = line.split(None, 2)
        if len(parts) < 2 or not parts[0].isdigit():
            sol_data.fail("%s:%d: expected <section> <variant> [options]" % (path, number))
        if parts[1] not in VARIANTS:
            sol_data.fail("%s:%d: unknown variant %s" % (path, number, parts[1]))
        options = dict(OPTION.findall(parts[2] if len(parts) > 2 else ""))
        levels.append((int(parts[0]), parts[1], options))
    numbers = [n for n, _, _ in levels]
    if sorted(numbers) != list(range(35)):
        sol_data.fail("%s: sections must be 0..34, each once" % path)
    return sorted(levels)


def build(src):
    lines = ["; sol_max.ini: the levels of the game, one section per level.",
             "; Written by tools/gen_levels.py from data/levels/levels.txt: edit those, not this file.",
             "; Sections 0-24 story levels (five per location), 25-29 bonus levels, 30-34 hardcore levels."]
    for number, variant, options in parse(os.path.join(src, "levels", "levels.txt")):
        lines += write_section(number, variant, options, VARIANTS[variant](options))
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def main():
    args = sol_data.parse_args(__doc__)
    sol_data.write_if_changed(os.path.join(args.out, OUTPUT), build(args.src))


if __name__ == "__main__":
    main()
