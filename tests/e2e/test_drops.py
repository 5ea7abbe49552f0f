"""Where a dragged card lands: on the pile under the stylus, even when its
image also covers a pile before it in the table's order; another pile it
touches takes it only when that one refuses."""

import unittest

from parlour_driver import Driver

SPIDER = "command 32781"


def rank(index):
    return index % 13


def tops(state):
    return [p["cards"][-1][0] if p["cards"] else None for p in state["piles"]]


class DropTest(unittest.TestCase):
    def spider(self, driver):
        # A one-suit deal at a known tick: column 1's top card is a nine, and
        # columns 2 and 3 both show a ten.
        driver.send("wait 38")
        driver.send("answer choice 0")
        state = driver.send(SPIDER)[-1]
        top = tops(state)
        self.assertEqual([rank(top[3]), rank(top[4]), rank(top[5])], [8, 9, 9])
        return state

    def test_a_card_lands_where_the_stylus_lifts(self):
        with Driver() as driver:
            before = self.spider(driver)
            nine = before["piles"][3]["cards"][-1]
            # The card's image overlaps both tens; the stylus is over column 3.
            state = driver.send("drag 37 31 83 31")[-1]
            self.assertEqual(state["undo"], [[1, 1, 3, 5]])
            self.assertEqual(state["piles"][5]["cards"][-1][0], nine[0])
            self.assertEqual(state["piles"][4]["cards"], before["piles"][4]["cards"])

    def test_where_columns_overlap_the_card_lands_on_the_one_that_shows(self):
        with Driver() as driver:
            before = self.spider(driver)
            column2, column3 = before["piles"][4]["rect"], before["piles"][5]["rect"]
            # On the narrow table column 3's cards lie over column 2's right edge.
            self.assertLess(column3[0], column2[2])
            for x in range(column3[0], column2[2]):
                state = driver.send("drag 37 31 %d 31" % x)[-1]
                self.assertEqual(state["undo"], [[1, 1, 3, 5]], "stylus at x %d" % x)
                driver.send("command 32777")

    def test_a_pile_the_card_touches_stands_in_when_the_pointed_one_refuses(self):
        with Driver() as driver:
            before = self.spider(driver)
            self.assertEqual(rank(tops(before)[6]), 12)  # a king: no nine on it
            # The stylus over column 4's king, the image over column 3 as well.
            state = driver.send("drag 37 31 97 31")[-1]
            self.assertEqual(state["undo"], [[1, 1, 3, 5]])


if __name__ == "__main__":
    unittest.main()
