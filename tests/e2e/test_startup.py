"""The program as it starts: the first Klondike table, the menu, and the hi
scores read from the data folder."""

import os
import tempfile
import unittest

import parlour_driver
from parlour_driver import (FACEDOWN, FOUNDATIONS, STOCK, TABLEAU, WASTE, game_id, run_script,
                            scores_file)

TITLES = ["HiScores: Solitaire", "HiScores: Cruel", "HiScores: Golf", "HiScores: Spider",
          "HiScores: Freecell", "HiScores: Gemfield", "HiScores: Paintpot"]


def item(id, text, enabled=True, checked=False):
    return {"id": id, "text": text, "enabled": enabled, "checked": checked}


SEPARATOR = {"separator": True}
# The handheld's menu, its numbers and texts pinned here on purpose, and only
# here; a game added after the handheld's joins its group.
HANDHELD_MENU = [item(57664, "About Parlour..."), SEPARATOR,
                 item(32778, "Klondike", checked=True), item(32779, "Cruel"), item(32780, "Golf"),
                 item(32781, "Spider"), item(32782, "Freecell"), SEPARATOR,
                 item(32783, "Gemfield"), item(32784, "Paintpot"),
                 item(32793, "Bol settings", False), SEPARATOR,
                 item(32777, "Undo move", False), SEPARATOR, item(32788, "Hi scores"), SEPARATOR,
                 item(57665, "Exit"), SEPARATOR, item(32791, "AutoFlip cards", False)]


def scores_with_file(data):
    """The `scores` output of a program started on a Scores.dat holding data."""
    with tempfile.TemporaryDirectory() as data_dir:
        with open(os.path.join(data_dir, "Scores.dat"), "wb") as f:
            f.write(data)
        status, out = run_script(["scores", "state"], data_dir=data_dir)
    return status, out


class StartupTest(unittest.TestCase):
    def test_first_table(self):
        status, [state] = run_script(["state"])
        self.assertEqual(status, 0)
        expected = {"view": "CSolitaire", "title": "Klondike", "caption": "Klondike - Parlour",
                    "currentGame": game_id("Klondike"), "client": [0, 0, 240, 268], "tick": 100000,
                    "score": 0, "startTick": 0, "gameOver": False, "dragging": False,
                    "undo": [], "status": ""}
        self.assertEqual({k: state[k] for k in expected}, expected)
        piles = state["piles"]
        self.assertEqual([p["kind"] for p in piles], [1, 2] + [3] * 7 + [4] * 4)
        # Where the piles lie is the layout's own test (Klondike's unit tests).
        for i, c in enumerate(TABLEAU):
            # Column i: i face-down cards, then one face up.
            self.assertEqual([card[1] for card in piles[c]["cards"]],
                             [FACEDOWN if j < i else 0 for j in range(i + 1)])
        for f in FOUNDATIONS:
            self.assertEqual(piles[f]["cards"], [])
        self.assertEqual(len(piles[STOCK]["cards"]), 24)
        self.assertEqual(piles[WASTE]["cards"], [])
        deck = sorted(card[0] for p in piles for card in p["cards"])
        self.assertEqual(deck, list(range(52)))

    def test_the_tick_picks_the_deal(self):
        _, [a] = run_script(["state"], tick=123456)
        _, [b] = run_script(["state"], tick=123456)
        _, [c] = run_script(["state"], tick=123457)
        self.assertEqual(a["tick"], 123456)
        self.assertEqual(a["piles"], b["piles"])
        self.assertNotEqual(a["piles"], c["piles"])

    def test_menu(self):
        _, [menu] = run_script(["menu"])
        items = menu["menu"]
        pinned = [i["id"] for i in HANDHELD_MENU if "id" in i]
        self.assertEqual([i for i in items if i.get("id") in pinned or "separator" in i],
                         HANDHELD_MENU)
        # Any other item is a game, among the card games or the ball games,
        # or one of the desktop's own commands, each in its group.
        games = [game["id"] for game in parlour_driver.games()]
        bol_settings = items.index(HANDHELD_MENU[10])  # games come before it
        texts = [i.get("text") for i in items]
        desktop = {"Redo move": "Undo move", "Restart deal": "Redo move",
                   "Choose deal...": "Restart deal", "Statistics": "Hi scores",
                   "Rules": "Statistics", "Hint": "Choose deal...",
                   "Winnable deals": "Hint"}
        for text, after in desktop.items():
            self.assertEqual(texts.index(text), texts.index(after) + 1, text)
        for at, i in enumerate(items):
            if "id" in i and i["id"] not in pinned and i["text"] not in desktop:
                self.assertIn(i["id"], games)
                self.assertLess(at, bol_settings)

    def test_scores_without_a_file(self):
        # No file: the tables stay empty under their constructed caption.
        _, [scores] = run_script(["scores"])
        self.assertEqual(scores["scores"], [{"title": "Hi Scores", "lastName": "",
                                             "highlight": 0, "entries": []}] * 7)

    def test_scores_from_a_file(self):
        # Beyond 8 bits, a surrogate pair, and a unit outside a pair (escaped).
        names = ["Zo\u00eb", "\U0001F600 \u00e9t\u00e9", "x\udc00"]
        tables = [("Ann", [("Ann", 900, 125), (names[0], 800, 59)]), ("", []),
                  ("Bob", [(names[1], 7, 0), (names[2], 6, 0)])] + [("", [])] * 4
        status, [scores, state] = scores_with_file(scores_file(tables))
        self.assertEqual(status, 0)
        self.assertEqual(scores["scores"][0], {"title": TITLES[0], "lastName": "Ann", "highlight": 0,
                                               "entries": [["Ann", 900, 125], [names[0], 800, 59]]})
        self.assertEqual(scores["scores"][2]["entries"], [[names[1], 7, 0], [names[2], 6, 0]])
        self.assertEqual([t["title"] for t in scores["scores"]], TITLES)
        self.assertEqual(state["view"], "CSolitaire")

    def test_an_empty_or_damaged_file_starts_cleanly(self):
        # An empty file still names the tables; a cut-off one reads what it can.
        whole = scores_file([("Ann", [("Ann", 900, 125)])] + [("", [])] * 6)
        for data in [b"", whole[:3], whole[:20], b"\x07\x00\x00\x00\xff\xfe\xff\xff\xff\xff"]:
            status, out = scores_with_file(data)
            self.assertEqual(status, 0, data)
            self.assertEqual([t["title"] for t in out[0]["scores"]], TITLES, data)
            self.assertTrue(all(t["entries"] == [] for t in out[0]["scores"][1:]), data)
            self.assertEqual(out[1]["view"], "CSolitaire")


if __name__ == "__main__":
    unittest.main()
