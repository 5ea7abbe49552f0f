"""Plans a Freecell game from the driver's state: a depth-first search with
the positions seen kept, and cards sent home as soon as nothing can need
them. A run in alternating colours of any length moves as one; only a king
opens an empty column."""

COLUMNS = range(0, 8)
FOUNDATIONS = range(8, 12)
CELLS = range(12, 16)
KING = 12


def rank(card):
    return card % 13


def suit(card):
    return card // 13


def red(card):
    return suit(card) in (1, 2)


def on(card, below):
    """Whether card goes on below in a column."""
    return rank(card) + 1 == rank(below) and red(card) != red(below)


def run_start(column):
    """Where the alternating run at the top of a column starts."""
    i = len(column) - 1
    while i > 0 and on(column[i], column[i - 1]):
        i -= 1
    return i


class Position:
    def __init__(self, columns, cells, home):
        self.columns, self.cells, self.home = columns, cells, home  # home: cards home per suit

    @classmethod
    def from_state(cls, state):
        piles = state["piles"]
        home = [0] * 4
        for f in FOUNDATIONS:
            for card in piles[f]["cards"]:
                home[suit(card[0])] += 1
        return cls(tuple(tuple(c[0] for c in piles[p]["cards"]) for p in COLUMNS),
                   tuple(sorted(piles[p]["cards"][0][0] for p in CELLS if piles[p]["cards"])),
                   tuple(home))

    def key(self):
        return tuple(sorted(self.columns)), self.cells, self.home

    def goes_home(self, card):
        return self.home[suit(card)] == rank(card)

    def safe_home(self, card):
        # No card left out can want it as its place in a column.
        others = [self.home[s] for s in range(4) if (s in (1, 2)) != red(card)]
        return self.goes_home(card) and (rank(card) <= 1 or min(others) >= rank(card))

    def apply(self, move):
        kind = move[0]
        columns, cells, home = list(self.columns), list(self.cells), list(self.home)
        if kind == "run":  # ("run", from column, card index, to column)
            _, src, index, dst = move
            columns[dst] += columns[src][index:]
            columns[src] = columns[src][:index]
        elif kind == "cell":  # ("cell", column): its top card into a free cell
            cells.append(columns[move[1]][-1])
            columns[move[1]] = columns[move[1]][:-1]
        elif kind == "uncell":  # ("uncell", card, to column)
            cells.remove(move[1])
            columns[move[2]] += (move[1],)
        else:  # ("home", card), from a column's top or a free cell
            card = move[1]
            if card in cells:
                cells.remove(card)
            else:
                src = next(i for i, c in enumerate(columns) if c and c[-1] == card)
                columns[src] = columns[src][:-1]
            home[suit(card)] += 1
        return Position(tuple(columns), tuple(sorted(cells)), tuple(home))

    def tops(self):
        return [c[-1] for c in self.columns if c] + list(self.cells)

    def moves(self):
        found = [("home", card) for card in self.tops() if self.goes_home(card)]
        for dst, target in enumerate(self.columns):
            for src, column in enumerate(self.columns):
                if src == dst or not column:
                    continue
                for index in range(run_start(column), len(column)):
                    card = column[index]
                    if target and on(card, target[-1]) or \
                            not target and rank(card) == KING and index > 0:
                        found.append(("run", src, index, dst))
            for card in self.cells:
                if target and on(card, target[-1]) or not target and rank(card) == KING:
                    found.append(("uncell", card, dst))
        # Runs that empty a column or go onto longer columns first.
        found.sort(key=lambda m: m[0] != "home" and (m[0] != "run" or m[2] != 0))
        if len(self.cells) < 4:
            found += [("cell", src) for src, column in enumerate(self.columns) if column]
        return found

    def won(self):
        return self.home == (13, 13, 13, 13)


def with_safe_moves(position, moves):
    while True:
        card = next((c for c in position.tops() if position.safe_home(c)), None)
        if card is None:
            return position
        moves.append(("home", card))
        position = position.apply(("home", card))


def solve(position, limit=200000, depth=300):
    """The moves that win from position, or None when none were found within
    limit positions."""
    seen = set()
    moves = []
    stack = [(with_safe_moves(position, moves), moves)]
    while stack and len(seen) < limit:
        position, moves = stack.pop()
        if position.won():
            return moves
        if position.key() in seen or len(moves) > depth:
            continue
        seen.add(position.key())
        # The first move tried last on the stack, so it comes off first.
        for move in reversed(position.moves()):
            after = moves + [move]
            stack.append((with_safe_moves(position.apply(move), after), after))
    return None
