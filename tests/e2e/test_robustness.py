"""The program under input a person would not give on purpose: presses with
no lift between them, numbers out of every range, malformed commands."""

import os
import resource
import signal
import subprocess
import tempfile
import unittest

from parlour_driver import (Driver, FACEDOWN, card_faults, card_game_ids, headless_path,
                            run_script)


class PressDuringDragTest(unittest.TestCase):
    def test_the_reported_press_during_a_drag(self):
        status, out = run_script(["down 52 60", "tap 22 6", "state"], tick=3260623)
        self.assertEqual(status, 0)
        self.assertFalse(out[-1]["dragging"])
        self.assertEqual(card_faults(out[-1]), [])

    def test_every_card_game_drops_the_run_before_the_next_press(self):
        with Driver() as driver:
            for game in card_game_ids():
                state = driver.send("command %d" % game)[-1]
                points = [(c[2] + 3, c[3] + 3) for pile in state["piles"] for c in pile["cards"]
                          if not c[1] & FACEDOWN][:12]
                for i, (x, y) in enumerate(points):
                    state = driver.send("down %d %d" % (x, y))[-1]
                    driver.send("move %d %d" % (x + 40, y + 30))
                    nx, ny = points[(i * 5 + 3) % len(points)]
                    state = driver.send("dblclk %d %d" % (nx, ny) if i % 3 == 2
                                        else "down %d %d" % (nx, ny))[-1]
                    self.assertEqual(card_faults(state), [], (game, i))
                    state = driver.send("up %d %d" % (nx, ny))[-1]
                    self.assertFalse(state["dragging"])
                    self.assertEqual(card_faults(state), [], (game, i))


class DriverInputTest(unittest.TestCase):
    def assert_refused(self, lines):
        status, out = run_script(lines + ["state"])
        self.assertEqual(status, 1)
        self.assertEqual([list(o) for o in out[:-1]], [["error"]] * len(lines), lines)
        self.assertEqual(out[-1]["tick"], 100000)
        self.assertEqual(out[-1]["undo"], [])

    def test_numbers_out_of_range_or_not_plain_are_refused(self):
        self.assert_refused([
            "wait -5", "wait 4294967296", "wait 18446744073709551615", "wait 1e3", "wait +5",
            "tap 2147483647 5", "tap 5 -32769", "down 32768 0", "move -2147483648 0",
            "drag 20 20 2147483647 -2147483648", "dblclk 0x10 5", "up 5 5abc",
            "size 4097 10", "size -1 10", "command 65536", "command -1", "command 3.5e4",
            "answer choice -1", "answer choice 64"])
        # The edges of each range are taken.
        status, out = run_script(["wait 0", "tap -32768 32767", "drag 32767 -32768 -32768 32767",
                                  "size 0 0", "size 4096 4096", "command 0", "state"])
        self.assertEqual(status, 1)  # command 0 is disabled, and says so
        self.assertEqual(out[0], {"error": "disabled", "command": 0})

    def test_the_longest_waits_end(self):
        # Each wait is a whole turn of the tick count: millions of clock ticks,
        # past the first ten thousand merged into one.
        status, out = run_script(["tap 20 20", "wait 9000"] + ["wait 4294967295"] * 20 +
                                 ["state"])
        self.assertEqual(status, 0)
        self.assertEqual(out[-1]["tick"], (100000 + 9000 + 20 * 4294967295) % 2 ** 32)
        self.assertEqual(out[-1]["status"], "Time:%d  Score:0" % ((9000 - 20) % 2 ** 32 // 1000))

    def test_the_command_line_is_checked(self):
        for tick in ("-5", "18446744073709551610", "4294967296", "12x", ""):
            done = subprocess.run([headless_path(), "--tick", tick], input="state\n",
                                  capture_output=True, text=True, timeout=30)
            self.assertEqual(done.returncode, 2, tick)
            self.assertIn("--tick", done.stderr)
        done = subprocess.run([headless_path(), "--data-dir", ""], input="state\n",
                              capture_output=True, text=True, timeout=30)
        self.assertEqual((done.returncode, done.stdout), (2, ""))
        status, out = run_script(["state"], tick=4294967295)
        self.assertEqual((status, out[0]["tick"]), (0, 4294967295))

    def test_extra_arguments_are_errors(self):
        self.assert_refused(["state now", "menu x", "scores y", "autopaint on off", "answer yes no",
                             "quit please"])

    def test_a_name_that_is_not_utf8_is_refused(self):
        with tempfile.TemporaryDirectory() as tmp:
            done = subprocess.run([headless_path(), "--data-dir", tmp],
                                  input=b"answer name Jos\xe9\nanswer name \xc0\xaf\nstate\n",
                                  capture_output=True, timeout=30)
        lines = done.stdout.decode().splitlines()
        self.assertEqual(done.returncode, 1)
        self.assertEqual(len(lines), 3)
        self.assertTrue(all(line.startswith('{"error"') for line in lines[:2]))

    def test_a_shot_that_fails_leaves_no_file(self):
        def small_files():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (300, 300))
        with tempfile.TemporaryDirectory() as tmp:
            shot = os.path.join(tmp, "table.png")
            done = subprocess.run([headless_path(), "--data-dir", tmp], input="shot %s\n" % shot,
                                  capture_output=True, text=True, timeout=30,
                                  preexec_fn=small_files)
            self.assertEqual(done.returncode, 1)
            self.assertIn("error", done.stdout)
            self.assertEqual(os.listdir(tmp), [])


if __name__ == "__main__":
    unittest.main()
