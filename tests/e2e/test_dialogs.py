"""Modal dialogs through the driver: the queue of answers, the events they
print, the hi-score list with its Reset button, and About."""

import os
import tempfile
import unittest

from parlour_driver import Driver, run_script, scores_file

HI_SCORES, ABOUT = "command 32788", "command 57664"
TABLES = [("Ann", [("Ann", 900, 125), ("Bob", 800, 59)])] + [("", [])] * 6


class DialogsTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)
        self.path = os.path.join(self.dir.name, "Scores.dat")

    def write_scores(self):
        with open(self.path, "wb") as f:
            f.write(scores_file(TABLES))

    def test_hi_scores_on_a_fresh_folder(self):
        status, out = run_script([HI_SCORES, "answer ok", HI_SCORES], data_dir=self.dir.name)
        self.assertEqual(status, 0)
        listing = {"event": "dialog", "template": 131, "caption": "Hi Scores", "rows": [],
                   "selected": -1}
        self.assertEqual(out, [{**listing, "answer": "cancel"}, {**listing, "answer": "ok"}])
        self.assertFalse(os.path.exists(self.path))

    def test_hi_scores_from_the_file(self):
        self.write_scores()
        _, [listing] = run_script([HI_SCORES], data_dir=self.dir.name)
        self.assertEqual(listing["caption"], "HiScores: Solitaire")
        # Times as m:ss; the first row is selected before any entry is made.
        self.assertEqual(listing["rows"], [["1", "Ann", "2:05", "900"], ["2", "Bob", "0:59", "800"]])
        self.assertEqual(listing["selected"], 0)

    def test_reset_clears_the_table_and_the_file_at_once(self):
        self.write_scores()
        with Driver(data_dir=self.dir.name) as driver:
            # Reset asks first; No keeps the table.
            driver.send("answer reset")
            out = driver.send(HI_SCORES)
            self.assertEqual(out[0], {"event": "messagebox", "text": "Reset Hi scores??",
                                      "buttons": "yesno", "answer": "no"})
            self.assertEqual(out[1]["answer"], "cancel")
            self.assertEqual(len(driver.query("scores")["scores"][0]["entries"]), 2)
            with open(self.path, "rb") as f:
                self.assertEqual(f.read(), scores_file(TABLES))
            driver.send("answer reset")
            driver.send("answer yes")
            out = driver.send(HI_SCORES)
            self.assertEqual(out[0]["answer"], "yes")
            self.assertEqual(len(out[1]["rows"]), 2)  # as it was shown
            table = driver.query("scores")["scores"][0]
            self.assertEqual((table["entries"], table["lastName"]), ([], "Ann"))
            self.assertEqual(driver.send(HI_SCORES)[0]["rows"], [])
            # Written before the program ends: the reset holds for the next run.
            with open(self.path, "rb") as f:
                self.assertEqual(f.read(), scores_file([("Ann", [])] + TABLES[1:]))

    def test_about(self):
        status, out = run_script([ABOUT, "answer ok", ABOUT, "state"], data_dir=self.dir.name)
        self.assertEqual(status, 0)
        about = {"event": "dialog", "template": 100, "caption": "About Parlour"}
        self.assertEqual(out[:2], [{**about, "answer": "cancel"}, {**about, "answer": "ok"}])
        self.assertEqual(out[2]["view"], "CSolitaire")

    def test_answers_are_taken_in_order(self):
        status, out = run_script(["answer ok", "answer cancel", ABOUT, HI_SCORES, ABOUT],
                                 data_dir=self.dir.name)
        self.assertEqual(status, 0)
        self.assertEqual([(o["template"], o["answer"]) for o in out],
                         [(100, "ok"), (131, "cancel"), (100, "cancel")])


if __name__ == "__main__":
    unittest.main()
