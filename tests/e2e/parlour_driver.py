"""Plays parlour-headless through its JSON lines, for the end-to-end tests."""

import functools
import json
import os
import queue
import struct
import subprocess
import tempfile
import threading

# How long the driver may print nothing before it counts as hung: the
# longest command of the tests takes a few seconds under the sanitizers.
READ_TIMEOUT = 30


def headless_path():
    return os.environ["PARLOUR_HEADLESS"]


def run_script(lines, tick=None, data_dir=None):
    """Runs a whole script; returns (exit status, list of parsed output lines).
    Without a data folder it runs on an empty temporary one, never on the
    user's own hi scores."""
    if data_dir is None:
        with tempfile.TemporaryDirectory() as own_dir:
            return run_script(lines, tick, own_dir)
    args = [headless_path(), "--data-dir", data_dir]
    if tick is not None:
        args += ["--tick", str(tick)]
    done = subprocess.run(args, input="\n".join(lines) + "\n", capture_output=True,
                          text=True, timeout=READ_TIMEOUT * 10)
    return done.returncode, [json.loads(l) for l in done.stdout.splitlines() if l.strip()]


def archived_string(text):
    """A string as the hi-score file stores it: the UTF-16 mark FF FE FF,
    the length in code units, the code units."""
    units = text.encode("utf-16-le", "surrogatepass")
    n = len(units) // 2
    if n < 0xFF:
        length = bytes([n])
    elif n < 0xFFFE:
        length = b"\xff" + struct.pack("<H", n)
    else:
        length = b"\xff\xff\xff" + struct.pack("<I", n)
    return b"\xff\xfe\xff" + length + units


def scores_file(tables):
    """The bytes of Scores.dat for seven (lastName, [(name, score, seconds),
    ...]) tables."""
    out = struct.pack("<I", len(tables))
    for last_name, entries in tables:
        out += archived_string(last_name) + struct.pack("<I", len(entries))
        for name, score, seconds in entries:
            out += archived_string(name) + struct.pack("<ii", score, seconds)
    return out


class Driver:
    """One running program, driven command by command."""

    def __init__(self, tick=100000, data_dir=None, program=None, read_timeout=READ_TIMEOUT):
        self._own_dir = None
        if data_dir is None:
            self._own_dir = tempfile.TemporaryDirectory()
            data_dir = self._own_dir.name
        self.data_dir = data_dir
        self.proc = subprocess.Popen(
            [program or headless_path(), "--data-dir", data_dir, "--tick", str(tick)],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)
        self.events = []
        self.read_timeout = read_timeout
        self._lines = queue.Queue()
        self._reader = threading.Thread(target=self._read_lines, daemon=True)
        self._reader.start()

    def close(self):
        self.proc.stdin.close()
        self.proc.wait(timeout=self.read_timeout)
        self._reader.join()
        self.proc.stdout.close()
        if self._own_dir:
            self._own_dir.cleanup()
        return self.proc.returncode

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _read_lines(self):
        for line in self.proc.stdout:
            self._lines.put(line)
        self._lines.put("")  # the program ended

    def _read(self):
        # A hung driver fails the test instead of hanging the run.
        try:
            line = self._lines.get(timeout=self.read_timeout)
        except queue.Empty:
            self.proc.kill()
            raise TimeoutError("parlour-headless printed nothing for %g s" % self.read_timeout)
        if not line:
            raise EOFError("parlour-headless ended")
        return json.loads(line)

    def send(self, command):
        """Sends one command; returns every line it printed, ending with the
        state that follows it."""
        self.proc.stdin.write(command + "\nstate\n")
        self.proc.stdin.flush()
        out = []
        while True:
            obj = self._read()
            out.append(obj)
            if "view" in obj:
                break
        self.events += [o for o in out if "event" in o]
        return out

    def state(self):
        return self.send("#")[-1]

    def solve(self):
        """Runs the search of the table to its end; returns the state it prints."""
        self.proc.stdin.write("solve\n")
        self.proc.stdin.flush()
        return self._read()

    def query(self, command):
        """A command that prints one line (menu, scores)."""
        return self.send(command)[0]


# Klondike's piles in their list order.
STOCK, WASTE = 0, 1
TABLEAU = range(2, 9)
FOUNDATIONS = range(9, 13)
FACEDOWN = 0x100


DRAGGED = 0x200


def card_faults(state):
    """What is wrong with the cards of a card game's state: every card must lie
    in exactly one pile (a game of several decks holds each of its cards
    equally often), and only a run being dragged is marked as dragged."""
    if "piles" not in state:
        return []
    faults = []
    counts = {}
    for p, pile in enumerate(state["piles"]):
        for card in pile["cards"]:
            index, card_state = card[0], card[1]
            if not 0 <= index < 52:
                faults.append("pile %d holds card %d" % (p, index))
            counts[index] = counts.get(index, 0) + 1
            if card_state & DRAGGED and not state["dragging"]:
                faults.append("card %d in pile %d is dragged with no drag" % (index, p))
    if counts:
        if len(set(counts.values())) != 1 or len(counts) not in (13, 26, 52):
            faults.append("cards lost or doubled: %s" % sorted(counts.items()))
    return faults


@functools.lru_cache(maxsize=None)
def menu():
    """The program's menu as it starts, as the `menu` command prints it."""
    _, [out] = run_script(["menu"])
    return tuple(out["menu"])


@functools.lru_cache(maxsize=None)
def games():
    """The games the program offers, in menu order, as {"id", "text",
    "cards"}: the menu's items that make themselves the current game when
    picked; "cards" tells a card game."""
    found = []
    for item in menu():
        if item.get("enabled"):
            _, out = run_script(["command %d" % item["id"], "state"])
            if out and out[-1].get("currentGame") == item["id"]:
                found.append({"id": item["id"], "text": item["text"], "cards": "piles" in out[-1]})
    return tuple(found)


def game_id(text):
    """The command of the menu item text: the game of that name."""
    return next(item["id"] for item in menu() if item.get("text") == text)


def card_game_ids():
    """The card games the program offers."""
    return [game["id"] for game in games() if game["cards"]]


# Playing with the keyboard alone: the focus moved to a pile, card or ball
# with the keys while reading the state's "focus", and a press there.
def send_key(driver, name):
    return driver.send("key " + name)[-1]


def focus_card(driver, state, pile, card=None):
    """Moves the focus to card `card` of pile (counted from the bottom; the
    top card when None) by Tab or Backtab, whichever is shorter, and then Up
    or Down. Returns the state."""
    count = len(state["piles"])
    while state["focus"]["pile"] != pile:
        before = state["focus"]["pile"]
        step = 1 if (pile - before) % count <= count // 2 else -1
        state = send_key(driver, "Tab" if step == 1 else "Backtab")
        # Tab lands on the next pile's top card, whatever that pile holds.
        top = len(state["piles"][(before + step) % count]["cards"]) - 1
        if state["focus"] != {"pile": (before + step) % count, "card": top}:
            raise AssertionError("Tab from pile %d went to %s" % (before, state["focus"]))
    while card is not None and state["focus"]["card"] != card:
        before = state["focus"]["card"]
        state = send_key(driver, "Up" if card < before else "Down")
        now = state["focus"]
        if now["pile"] != pile or (now["card"] - before) * (card - before) <= 0:
            raise AssertionError("Up/Down from card %d of pile %d towards %d went to %s"
                                 % (before, pile, card, now))
    return state


def press_card(driver, state, pile, card=None, double=False):
    """Focuses the card and presses Return (Shift+Return for a double tap);
    returns every line the press printed, the state last."""
    focus_card(driver, state, pile, card)
    return driver.send("key Shift+Return" if double else "key Return")


def move_run(driver, state, pile, card, to):
    """Picks the run from card of pile and drops it on pile `to`; returns the
    lines the drop printed."""
    state = press_card(driver, state, pile, card)[-1]
    count = len(state["piles"][pile]["cards"]) - card
    if state["picked"] != {"pile": pile, "card": card, "count": count}:
        raise AssertionError("Return on card %d of pile %d picked %s" % (card, pile, state["picked"]))
    return press_card(driver, state, to)


def focus_cell(driver, state, col, row):
    """Moves a ball game's focus to the cell with the arrow keys."""
    while state["focus"] != {"col": col, "row": row}:
        before = state["focus"]
        dc, dr = col - before["col"], row - before["row"]
        if dc:
            key, want = ("Right", 1) if dc > 0 else ("Left", -1)
            expected = {"col": before["col"] + want, "row": before["row"]}
        else:
            key, want = ("Down", 1) if dr > 0 else ("Up", -1)
            expected = {"col": before["col"], "row": before["row"] + want}
        state = send_key(driver, key)
        if state["focus"] != expected:
            raise AssertionError("%s from %s went to %s" % (key, before, state["focus"]))
    return state
