"""Plays parlour-headless through its JSON lines, for the end-to-end tests."""

import json
import os
import struct
import subprocess
import tempfile


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
                          text=True, timeout=300)
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

    def __init__(self, tick=100000, data_dir=None):
        self._own_dir = None
        if data_dir is None:
            self._own_dir = tempfile.TemporaryDirectory()
            data_dir = self._own_dir.name
        self.data_dir = data_dir
        self.proc = subprocess.Popen(
            [headless_path(), "--data-dir", data_dir, "--tick", str(tick)],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)
        self.events = []

    def close(self):
        self.proc.stdin.close()
        self.proc.wait(timeout=60)
        self.proc.stdout.close()
        if self._own_dir:
            self._own_dir.cleanup()
        return self.proc.returncode

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _read(self):
        line = self.proc.stdout.readline()
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

    def query(self, command):
        """A command that prints one line (menu, scores)."""
        return self.send(command)[0]


# Klondike's piles in their list order.
STOCK, WASTE = 0, 1
TABLEAU = range(2, 9)
FOUNDATIONS = range(9, 13)
FACEDOWN = 0x100


def rank(index):
    return index % 13


def is_red(index):
    return 13 <= index <= 38


def centre_of(pile):
    l, t, r, b = pile["rect"]
    return (l + 12, t + 17)


def card_point(card):
    """A point on the visible corner of a card."""
    _, _, left, top = card
    return (left + 3, top + 3)


def drop_point(pile):
    if pile["cards"]:
        _, _, left, top = pile["cards"][-1]
        return (left + 12, top + 17)
    return centre_of(pile)


def fits_foundation(card, foundation):
    if not foundation["cards"]:
        return rank(card[0]) == 0
    return card[0] == foundation["cards"][-1][0] + 1 and rank(card[0]) != 0


def fits_column(card, column):
    if not column["cards"]:
        return rank(card[0]) == 12
    top = column["cards"][-1]
    return is_red(top[0]) != is_red(card[0]) and rank(top[0]) == rank(card[0]) + 1


def next_klondike_move(state):
    """The next move of a simple greedy player, as a driver command, or None."""
    piles = state["piles"]
    # Anything that can go home goes home.
    for src in [WASTE, *TABLEAU]:
        if piles[src]["cards"]:
            card = piles[src]["cards"][-1]
            for f in FOUNDATIONS:
                if fits_foundation(card, piles[f]):
                    return "drag %d %d %d %d" % (*card_point(card), *drop_point(piles[f]))
    # Move a column's face-up run when that uncovers a card or frees a column
    # for a king that is waiting on a face-down card.
    for src in TABLEAU:
        cards = piles[src]["cards"]
        face_up = [i for i, c in enumerate(cards) if not c[1] & FACEDOWN]
        if not face_up:
            continue
        first = face_up[0]
        run_start = cards[first]
        for dst in TABLEAU:
            if dst == src or not fits_column(run_start, piles[dst]):
                continue
            if not piles[dst]["cards"] and first == 0:
                continue  # a king from an empty column's bottom gains nothing
            return "drag %d %d %d %d" % (*card_point(run_start), *drop_point(piles[dst]))
    # The waste's top card onto a column.
    if piles[WASTE]["cards"]:
        card = piles[WASTE]["cards"][-1]
        for dst in TABLEAU:
            if fits_column(card, piles[dst]):
                return "drag %d %d %d %d" % (*card_point(card), *drop_point(piles[dst]))
    return None


def play_klondike_greedily(driver, max_moves=2000):
    """Plays until the game is over or the player is stuck; returns the last state."""
    state = driver.state()
    idle_turns = 0
    for _ in range(max_moves):
        if state["gameOver"]:
            return state
        move = next_klondike_move(state)
        if move is None:
            # Nothing to do: turn the stock; a whole round of turns without a
            # move means the player is stuck.
            cards_in_hand = len(state["piles"][STOCK]["cards"]) + len(state["piles"][WASTE]["cards"])
            idle_turns += 1
            if idle_turns > cards_in_hand // 3 + 3:
                return state
            move = "tap %d %d" % centre_of(state["piles"][STOCK])
        else:
            idle_turns = 0
        state = driver.send(move)[-1]
    return state


DRAGGED = 0x200
CARD_GAMES = range(32778, 32783)  # Klondike, Cruel, Golf, Spider, Freecell


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


def card_game_ids(driver):
    """The card games this build offers (a game not built yet says so)."""
    ids = []
    for game in CARD_GAMES:
        out = driver.send("command %d" % game)
        if not any("error" in o for o in out) and "piles" in out[-1]:
            ids.append(game)
    return ids
