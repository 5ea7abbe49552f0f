"""The hi-score file through the driver, with things in a save's way: each
run ends a Paintpot game short enough for the list, and the result must be
in the file, or the player told it is not."""

import fcntl
import json
import os
import resource
import shutil
import signal
import stat
import subprocess
import tempfile
import threading
import unittest

from paintpot_player import PAINTPOT, after_step, choose, tap_command
from parlour_driver import READ_TIMEOUT, Driver, headless_path, scores_file

SHORT_GAME_TICK = 100003  # the greedy player needs 22 steps and scores 3
EMPTY = [("", [])] * 6
EVE = scores_file(EMPTY + [("Eve", [("Eve", 3, 21)])])
CANT_WRITE = {"event": "messagebox", "text": "can't write scores!", "buttons": "ok",
              "answer": "ok"}
_steps = []


def short_game(answers):
    """The script of the short game, with answers queued before its last step."""
    if not _steps:
        with Driver(tick=SHORT_GAME_TICK) as driver:
            state = driver.send("command %d" % PAINTPOT)[-1]
            while True:
                cell = choose(state)
                _steps.append(tap_command(state, cell))
                if len(after_step(state, state["cells"][cell[0]][cell[1]])[1]) == 14 * 14:
                    break
                driver.send(_steps[-1])
                state = driver.send("wait 1000")[-1]
                _steps.append("wait 1000")
    return (["command %d" % PAINTPOT] + _steps[:-1] + ["answer " + a for a in answers] +
            _steps[-1:])


def run(data_dir, lines, preexec_fn=None, program=None):
    """Runs a script; returns the exit status and the modals' lines."""
    done = subprocess.run(
        [program or headless_path(), "--data-dir", data_dir, "--tick", str(SHORT_GAME_TICK)],
        input="\n".join(lines) + "\n", capture_output=True, text=True,
        timeout=READ_TIMEOUT * 10, preexec_fn=preexec_fn)
    lines = [json.loads(l) for l in done.stdout.splitlines()]
    return done.returncode, [l for l in lines if "event" in l or "error" in l]


def read(path):
    with open(path, "rb") as f:
        return f.read()



def without_statistics(names):
    """The folder's names but the statistics' own files, which a game begun
    writes beside the hi scores."""
    return [name for name in names if not name.startswith("Statistics.dat")]

class HiScoreFileTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)
        self.data = self.dir.name
        self.scores = os.path.join(self.data, "Scores.dat")

    def play(self, answers=("name Eve",), preexec_fn=None, program=None):
        status, modals = run(self.data, short_game(answers), preexec_fn, program)
        self.assertEqual(status, 0)
        return modals

    def assert_saved(self, modals):
        self.assertEqual([m.get("template") for m in modals], [132, 131])
        self.assertEqual(read(self.scores), EVE)

    def test_every_damaged_file_is_kept(self):
        # Whatever holds the first name already is left as it is.
        os.makedirs(os.path.join(self.data, "Scores.dat.bad", "inside"))
        for damaged in (b"\x09\x09\x09\x09", b"\x0a\x00\x00\x00"):
            with open(self.scores, "wb") as f:
                f.write(damaged)
            self.assert_saved(self.play())
        self.assertEqual(read(self.scores + ".bad.1"), b"\x09\x09\x09\x09")
        self.assertEqual(read(self.scores + ".bad.2"), b"\x0a\x00\x00\x00")
        self.assertEqual(os.listdir(self.scores + ".bad"), ["inside"])

    def test_a_name_is_at_most_32_characters_and_the_file_reads_back(self):
        longest = "n" * 32
        modals = self.play(["name " + "n" * 2100000, "ok", "name " + longest])
        self.assertEqual(modals[0]["text"], "Enter no more than 32 characters.")
        self.assertEqual((modals[1]["template"], modals[1]["answer"]), (132, "name " + longest))
        self.assertEqual(read(self.scores),
                         scores_file(EMPTY + [(longest, [(longest, 3, 21)])]))
        status, modals = run(self.data, ["command %d" % PAINTPOT, "command 32788"])
        self.assertEqual(modals[0]["rows"], [["1", longest, "0:21", "3"]])

    def test_a_shot_replaces_only_a_plain_file_and_follows_no_link(self):
        victim = os.path.join(self.data, "victim")
        with open(victim, "wb") as f:
            f.write(b"mine")
        odd = {"link": lambda p: os.symlink(victim, p),
               "folder": os.mkdir,
               "fifo": os.mkfifo}
        if os.geteuid() == 0:  # a device as /dev/full is, made here
            odd["device"] = lambda p: os.mknod(p, stat.S_IFCHR | 0o666, os.makedev(1, 3))
        for name, make in odd.items():
            make(os.path.join(self.data, name))
        # A leftover of the old temporary name, leading to the victim.
        shot = os.path.join(self.data, "table.png")
        os.symlink(victim, shot + ".part")
        with open(shot, "wb") as f:
            f.write(b"old")
        os.chmod(shot, 0o600)
        status, lines = run(self.data, ["shot %s" % os.path.join(self.data, n) for n in odd] +
                            ["shot " + shot])
        self.assertEqual(status, 1)
        self.assertEqual([list(l) for l in lines], [["error"]] * len(odd))
        self.assertIn("not a plain file", lines[0]["error"])
        kinds = {"link": stat.S_ISLNK, "folder": stat.S_ISDIR, "fifo": stat.S_ISFIFO,
                 "device": stat.S_ISCHR}
        for name in odd:
            self.assertTrue(kinds[name](os.lstat(os.path.join(self.data, name)).st_mode), name)
        self.assertEqual(read(victim), b"mine")
        self.assertEqual(read(shot)[:4], b"\x89PNG")
        self.assertEqual(stat.S_IMODE(os.stat(shot).st_mode), 0o600)
        self.assertEqual(sorted(os.listdir(self.data)),
                         sorted(list(odd) + ["victim", "table.png", "table.png.part"]))

    def test_whatever_holds_the_lock_name_saves_still_work(self):
        def read_only(lock):
            # Left by a run as root: the player may read it, not write it.
            open(lock, "wb").close()
            os.chmod(lock, 0o444)
            if os.geteuid() == 0:
                os.chmod(os.path.dirname(lock), 0o777)

        def as_player():
            if os.geteuid() == 0:  # root writes any file: play as nobody
                os.setgid(65534)
                os.setuid(65534)
        cases = [(lambda lock: os.makedirs(os.path.join(lock, "inside")), None),
                 (lambda lock: os.symlink("nowhere", lock), None),
                 (read_only, as_player)]
        os.chmod(self.dir.name, 0o755)
        # The build folder may be closed to other users (a clone in a private
        # temporary folder): the player runs a copy of the driver from here.
        program = os.path.join(self.dir.name, "parlour-headless")
        shutil.copy(headless_path(), program)
        os.chmod(program, 0o755)
        for i, (make, preexec_fn) in enumerate(cases):
            with self.subTest(case=i):
                self.data = os.path.join(self.dir.name, str(i))
                self.scores = os.path.join(self.data, "Scores.dat")
                os.mkdir(self.data)
                make(self.scores + ".lock")
                self.assert_saved(self.play(preexec_fn=preexec_fn, program=program))

    def test_a_slow_peer_never_costs_a_result(self):
        lock = self.scores + ".lock"
        with Driver(tick=SHORT_GAME_TICK, data_dir=self.data) as driver:
            with open(lock, "wb") as peer:
                fcntl.flock(peer, fcntl.LOCK_EX)
                for line in short_game(["name Eve"]):
                    driver.send(line)
                # Told it was entered, with nothing else said: it is.
                self.assertEqual([e.get("template") for e in driver.events], [132, 131])
                self.assertEqual(driver.query("scores")["scores"][6]["entries"], [["Eve", 3, 21]])
                driver.send("wait 2000")
                self.assertFalse(os.path.exists(self.scores))
            driver.send("wait 1000")  # the retry once the peer is done
            self.assertEqual(read(self.scores), EVE)

        # At the end of the run the save waits for the peer.
        os.remove(self.scores)
        peer = open(lock, "wb")
        fcntl.flock(peer, fcntl.LOCK_EX)
        threading.Timer(2, peer.close).start()
        status, modals = run(self.data, short_game(["name Eve"]))
        self.assertEqual(status, 0)
        self.assert_saved(modals)

    def test_a_file_size_limit_fails_the_save_and_tells_the_player(self):
        def small_files():
            signal.signal(signal.SIGXFSZ, signal.SIG_DFL)
            resource.setrlimit(resource.RLIMIT_FSIZE, (50, 50))
        modals = self.play(preexec_fn=small_files)
        self.assertEqual(modals[1], CANT_WRITE)
        self.assertEqual(modals[2]["rows"], [["1", "Eve", "0:21", "3"]])
        self.assertEqual(without_statistics(os.listdir(self.data)), ["Scores.dat.lock"])

    def test_a_save_keeps_the_mode_and_saves_through_a_link(self):
        synced = os.path.join(self.data, "synced")
        os.mkdir(synced)
        target = os.path.join(synced, "Scores.dat")
        with open(target, "wb") as f:
            f.write(scores_file(EMPTY + [("", [])]))
        os.chmod(target, 0o600)
        os.symlink(target, self.scores)
        self.assert_saved(self.play())
        self.assertEqual(os.readlink(self.scores), target)
        self.assertEqual(stat.S_IMODE(os.stat(target).st_mode), 0o600)
        self.assertEqual(os.listdir(synced), ["Scores.dat"])
        self.assertEqual(sorted(without_statistics(os.listdir(self.data))),
                         ["Scores.dat", "Scores.dat.lock", "synced"])


if __name__ == "__main__":
    unittest.main()
