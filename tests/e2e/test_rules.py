"""The rules of every game: the Rules dialog of the game on view names the
game's own ways, and the README tells the very same rules."""

import os
import re
import unittest

from parlour_driver import Driver, game_id

RULES = "command 32843"
# What only that game's rules can tell.
OWN_WAYS = {
    "Klondike": ["three cards onto the waste", "as often as you like", "only a king"],
    "Cruel": ["DEAL", "in fours", "as often as you like", "aces, which start at home"],
    "Golf": ["the stock is turned out too", "An ace and a king are not neighbours",
             "nothing goes onto a king"],
    "Spider": ["1 Type", "2 Types", "4 Types", "cannot be undone", "keep the suits"],
    "Freecell": ["An empty column takes only a king", "however long", "free cell"],
    "Gemfield": ["Bol settings", "n times (n - 1)", "three times as much", "taken back"],
    "Paintpot": ["Bol settings", "25 less the steps", "top-left ball"],
}
CLOCK = "Every 10 seconds of play cost 2 points"
README = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "README.md")


def readme_rules(name):
    with open(README, encoding="utf-8") as f:
        text = f.read()
    found = re.search(r"^### %s\n(.*?)(?=^##)" % name, text, re.S | re.M)
    return found and found.group(1)


def words(text):
    return " ".join(text.split())


class RulesTest(unittest.TestCase):
    def test_each_game_tells_its_own_rules_as_the_readme_does(self):
        texts = {}
        with Driver() as driver:
            for name, ways in OWN_WAYS.items():
                with self.subTest(game=name):
                    driver.send("command %d" % game_id(name))
                    out = driver.send(RULES)
                    self.assertEqual((out[0]["event"], out[0]["caption"]),
                                     ("dialog", name + " rules"))
                    text = texts[name] = out[0]["text"]
                    for way in ways:
                        self.assertIn(way, text)
                    self.assertEqual(CLOCK in text, "piles" in out[-1])
                    self.assertEqual(words(readme_rules(name) or ""), words(text))
        self.assertEqual(len(set(texts.values())), len(OWN_WAYS))


if __name__ == "__main__":
    unittest.main()
