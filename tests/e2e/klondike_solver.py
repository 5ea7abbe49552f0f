"""A Klondike solver for the end-to-end tests.

It reads a deal from the driver's `state` (which shows every card, face-down
ones too), plays the game's rules (three cards from the stock at a time, as
many passes as needed, down in alternating colours, kings to empty columns,
home by suit from the ace) and searches for a won game. Each move of the
solution becomes a driver command, and the position after it can be laid out
the way the program lays out its piles, so a replay can check every card.
"""

STOCK, WASTE = 0, 1
COLUMNS = range(2, 9)
FOUNDATIONS = range(9, 13)
FACEDOWN = 0x100
CARD_W, CARD_H = 25, 34
UP_STEP, DOWN_STEP, WASTE_STEP = 9, 2, 5  # column fan, and the waste's fan to the right
DRAW = ("draw",)  # a tap on the stock: three cards turned, or the waste back


def rank(card):
    return card % 13


def suit(card):
    return card // 13


def is_red(card):
    return 13 <= card <= 38


def fits_column(card, column):
    if not column:
        return rank(card) == 12
    top = column[-1]
    return is_red(top) != is_red(card) and rank(top) == rank(card) + 1


class Table:
    """One position: stock and waste bottom first, the waste's fanned card
    count, the columns with their face-down counts, and the foundations in
    pile order. `dim` holds the foundation cards that still carry the
    waste's face-down mark: a card dragged off the waste leaves the card
    below it unfanned, and a drag keeps a card's state."""

    __slots__ = ("stock", "waste", "fan", "cols", "down", "homes", "dim")

    def __init__(self, stock, waste, fan, cols, down, homes, dim=frozenset()):
        self.stock, self.waste, self.fan = stock, waste, fan
        self.cols, self.down, self.homes, self.dim = cols, down, homes, dim

    @classmethod
    def from_state(cls, state):
        piles = [[c[0] for c in p["cards"]] for p in state["piles"]]
        waste_cards = state["piles"][WASTE]["cards"]
        fan = sum(1 for c in waste_cards if not c[1] & FACEDOWN)
        down = []
        for i in COLUMNS:
            cards = state["piles"][i]["cards"]
            # The top card of a column turns face up when it is painted.
            down.append(min(sum(1 for c in cards if c[1] & FACEDOWN), max(len(cards) - 1, 0)))
        dim = frozenset(c[0] for i in FOUNDATIONS for c in state["piles"][i]["cards"]
                        if c[1] & FACEDOWN)
        return cls(tuple(piles[STOCK]), tuple(piles[WASTE]), fan,
                   tuple(tuple(piles[i]) for i in COLUMNS), tuple(down),
                   tuple(tuple(piles[i]) for i in FOUNDATIONS), dim)

    def key(self):
        # Which foundation holds which suit makes no difference to the play.
        return (self.stock, self.waste, self.cols, self.down,
                tuple(sorted(h[-1] if h else -1 for h in self.homes)))

    def won(self):
        return all(len(h) == 13 for h in self.homes)

    def home_for(self, card):
        """The foundation pile that takes the card, or None."""
        for i, home in enumerate(self.homes):
            if (not home and rank(card) == 0) or (home and rank(card) and home[-1] == card - 1):
                return FOUNDATIONS[i]
        return None

    def home_count(self, s):
        return next((len(h) for h in self.homes if h and suit(h[0]) == s), 0)

    def safe_home(self, card):
        """Sending the card home can never hurt: no card of the other colour
        could still need it to build on."""
        r = rank(card)
        others = (1, 2) if suit(card) in (0, 3) else (0, 3)
        return r <= 1 or min(self.home_count(s) for s in others) >= r

    def source(self, pile):
        return self.waste if pile == WASTE else self.cols[pile - 2]

    def apply(self, move):
        """The position after a move of the player."""
        stock, waste, fan, dim = self.stock, self.waste, self.fan, self.dim
        cols, down, homes = list(self.cols), list(self.down), list(self.homes)
        if move == DRAW:
            if stock:
                drawn = stock[-3:][::-1]
                stock, waste, fan = stock[:-len(drawn)], waste + drawn, len(drawn)
            else:
                stock, waste, fan = waste[::-1], (), 0
            return Table(stock, waste, fan, tuple(cols), tuple(down), tuple(homes), dim)
        src, n, dst = move
        if src == WASTE:
            moving, waste = waste[-1:], waste[:-1]
            if dst in FOUNDATIONS and not fan:
                dim |= {moving[0]}
            fan = max(fan - 1, 0)
        else:
            col = cols[src - 2]
            moving, cols[src - 2] = col[-n:], col[:-n]
            down[src - 2] = min(down[src - 2], max(len(col) - n - 1, 0))
        if dst in COLUMNS:
            cols[dst - 2] += moving
        else:
            homes[dst - 9] += moving
        return Table(stock, waste, fan, tuple(cols), tuple(down), tuple(homes), dim)

    def moves(self):
        """Legal moves, the most promising first; a safe move home alone."""
        scored = []
        tops = [(WASTE, self.waste[-1])] if self.waste else []
        tops += [(i, c[-1]) for i, c in zip(COLUMNS, self.cols) if c]
        for src, card in tops:
            home = self.home_for(card)
            if home is not None:
                if self.safe_home(card):
                    return [(src, 1, home)]
                scored.append((100, (src, 1, home)))
        first_empty = next((i for i, c in zip(COLUMNS, self.cols) if not c), None)
        for src, col, down in zip(COLUMNS, self.cols, self.down):
            for start in range(down, len(col)):
                card, n = col[start], len(col) - start
                exposed = col[start - 1] if start else None
                for dst, target in zip(COLUMNS, self.cols):
                    if dst == src or not fits_column(card, target):
                        continue
                    if not target and (dst != first_empty or start == 0):
                        continue  # one empty column is as good as another
                    if start == down and down:
                        score = 80 + down  # turns a face-down card
                    elif start == 0:
                        score = 30  # empties the column for a king
                    elif self.home_for(exposed) is not None:
                        score = 40  # frees a card to go home
                    else:
                        continue
                    scored.append((score, (src, n, dst)))
        if self.waste:
            card = self.waste[-1]
            for dst, target in zip(COLUMNS, self.cols):
                if fits_column(card, target) and (target or dst == first_empty):
                    scored.append((60 if target else 55, (WASTE, 1, dst)))
        if self.stock or self.waste:
            scored.append((10, DRAW))
        scored.sort(key=lambda s: -s[0])
        return [m for _, m in scored]


def solve(table, budget=200000):
    """A winning list of moves from the table, or None when the search gives
    up after `budget` positions."""
    parents = {table.key(): None}
    stack = [table]
    for _ in range(budget):
        if not stack:
            return None
        t = stack.pop()
        if t.won():
            path, key = [], t.key()
            while parents[key]:
                key, move = parents[key]
                path.append(move)
            return path[::-1]
        children = []
        for move in t.moves():
            child = t.apply(move)
            k = child.key()
            if k not in parents:
                parents[k] = (t.key(), move)
                children.append(child)
        stack.extend(reversed(children))
    return None


def layout(table, state):
    """The cards of every pile as `state` shows them, [index, state, left,
    top] each, for the table laid out in the piles' rectangles."""
    rects = [p["rect"] for p in state["piles"]]
    out = [[[c, 0, rects[STOCK][0], rects[STOCK][1]] for c in table.stock]]
    left, top = rects[WASTE][:2]
    waste = []
    for i, c in enumerate(table.waste):
        fanned = i >= len(table.waste) - table.fan
        waste.append([c, 0 if fanned else FACEDOWN, left, top])
        left += WASTE_STEP if fanned else 0
    out.append(waste)
    for i, (col, down) in enumerate(zip(table.cols, table.down)):
        left, top = rects[COLUMNS[i]][:2]
        cards = []
        for j, c in enumerate(col):
            cards.append([c, FACEDOWN if j < down else 0, left, top])
            top += DOWN_STEP if j < down else UP_STEP
        out.append(cards)
    for i, home in enumerate(table.homes):
        out.append([[c, FACEDOWN if c in table.dim else 0, *rects[FOUNDATIONS[i]][:2]]
                    for c in home])
    return out


def command_for(move, state):
    """The driver command that plays the move on the table `state` shows:
    a tap on the stock, or a drag from a visible corner of the first moved
    card that lays it exactly where it will lie on the target pile."""
    piles = state["piles"]
    if move == DRAW:
        l, t = piles[STOCK]["rect"][:2]
        return "tap %d %d" % (l + CARD_W // 2, t + CARD_H // 2)
    src, n, dst = move
    _, _, left, top = piles[src]["cards"][-n]
    target = piles[dst]["cards"]
    if dst in COLUMNS and target:
        x, y = target[-1][2], target[-1][3] + UP_STEP
    else:
        x, y = piles[dst]["rect"][:2]
    return "drag %d %d %d %d" % (left + 3, top + 3, x + 3, y + 3)


def points(move):
    """What a move scores: 10 for a card sent home, nothing else (a column's
    new top card is turned by the paint, which scores nothing)."""
    return 10 if move != DRAW and move[2] in FOUNDATIONS else 0
