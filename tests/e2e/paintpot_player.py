"""Plays Paintpot from the driver's state: the flooded area worked out by the
player itself, and the choice of the next colour."""

from parlour_driver import game_id

PAINTPOT = game_id("Paintpot")
FLOODED = 1


def flooded_area(cells, start):
    """The cells of start's colour connected to the cells of start, as a set
    of (column, row); the board is cells[column][row]."""
    cols, rows = len(cells), len(cells[0])
    colour = cells[start[0][0]][start[0][1]]
    area, todo = set(start), list(start)
    while todo:
        c, r = todo.pop()
        for n in ((c, r - 1), (c - 1, r), (c + 1, r), (c, r + 1)):
            if 0 <= n[0] < cols and 0 <= n[1] < rows and n not in area \
                    and cells[n[0]][n[1]] == colour:
                area.add(n)
                todo.append(n)
    return area


def area_of(state):
    return {(c, r) for c, col in enumerate(state["regions"])
            for r, label in enumerate(col) if label == FLOODED}


def after_step(state, colour):
    """The board and the area after painting the area in colour."""
    cells = [list(col) for col in state["cells"]]
    area = area_of(state)
    for c, r in area:
        cells[c][r] = colour
    return cells, flooded_area(cells, sorted(area))


def touching(state):
    """The balls next to the area, column by column."""
    area = area_of(state)
    return [(c, r) for c in range(state["cols"]) for r in range(state["rows"])
            if (c, r) not in area and any(n in area for n in
                                          ((c, r - 1), (c - 1, r), (c + 1, r), (c, r + 1)))]


def choose(state):
    """The ball to tap next: the first ball of the colour that floods the
    most (on a tie the lowest colour), or None when nothing touches the area."""
    best = None
    for c, r in touching(state):
        colour = state["cells"][c][r]
        gain = (len(after_step(state, colour)[1]), -colour)
        if best is None or gain > best[0]:
            best = (gain, (c, r))
    return best and best[1]


def tap_command(state, cell):
    c, r = cell
    return "tap %d %d" % (c * state["cellWidth"] + state["cellWidth"] // 2,
                          r * state["cellHeight"] + state["cellHeight"] // 2)
