"""Plans a Golf game from the driver's state: a depth-first search over the
deal, which is all face up."""

import sys

STOCK, WASTE = 0, 1
COLUMNS = range(2, 9)
DEAL = "deal"
KING = 12


def fits(top, card):
    # Ranks one apart, nothing on a king, ace and king not neighbours.
    return top != KING and abs(top - card) == 1


def solve(state):
    """The moves that turn every card onto the waste: DEAL or a column's
    pile index; None when the deal cannot be won."""
    columns = [[c[0] % 13 for c in state["piles"][p]["cards"]] for p in COLUMNS]
    stock = [c[0] % 13 for c in state["piles"][STOCK]["cards"]]
    dead = set()

    def search(heights, left, top, moves):
        if not any(heights):
            return moves + [DEAL] * left
        if (heights, left, top) in dead:
            return None
        for i, h in enumerate(heights):
            if h and fits(top, columns[i][h - 1]):
                after = heights[:i] + (h - 1,) + heights[i + 1:]
                found = search(after, left, columns[i][h - 1], moves + [COLUMNS[i]])
                if found:
                    return found
        if left:
            found = search(heights, left - 1, stock[left - 1], moves + [DEAL])
            if found:
                return found
        dead.add((heights, left, top))
        return None

    limit = sys.getrecursionlimit()
    sys.setrecursionlimit(max(limit, 1000))
    try:
        return search(tuple(len(c) for c in columns), len(stock),
                      state["piles"][WASTE]["cards"][-1][0] % 13, [])
    finally:
        sys.setrecursionlimit(limit)
