"""A staged install holds the program, its desktop entry, metainfo and icons,
and the desktop's validators accept them; the program's command line answers
as users expect."""

import configparser
import os
import re
import struct
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ET
import zlib

APP_ID = "nl.vantorel.Parlour"
SIZES = [16, 24, 32, 48, 64, 128, 256]


def read_png(path):
    """(width, height, rows of (r, g, b)) of an 8-bit RGB PNG without filters."""
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path
    at, idat, header = 8, b"", None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        crc, = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        assert zlib.crc32(kind + body) == crc, (path, kind)
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    assert (depth, colour, interlace) == (8, 2, 0), path
    raw = zlib.decompress(idat)
    rows, stride = [], 1 + 3 * width
    for y in range(height):
        line = raw[y * stride:(y + 1) * stride]
        assert line[0] == 0, "filter"
        rows.append([tuple(line[1 + 3 * x:4 + 3 * x]) for x in range(width)])
    return width, height, rows


def read_bmp24(path):
    data = open(path, "rb").read()
    offset, = struct.unpack("<I", data[10:14])
    width, height = struct.unpack("<ii", data[18:26])
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in range(height):
        line = data[offset + (height - 1 - y) * stride:]
        rows.append([(line[3 * x + 2], line[3 * x + 1], line[3 * x]) for x in range(width)])
    return rows


def rasterise_svg(path):
    """The pixels of the icon's SVG: whole-pixel runs given as paths
    'Mx yhNv1h-Nz', one path per colour."""
    root = ET.parse(path).getroot()
    width, height = int(root.get("width")), int(root.get("height"))
    assert root.get("viewBox") == f"0 0 {width} {height}"
    rows = [[None] * width for _ in range(height)]
    for p in root.iter("{http://www.w3.org/2000/svg}path"):
        colour = tuple(int(p.get("fill")[i:i + 2], 16) for i in (1, 3, 5))
        for x, y, n, back in re.findall(r"M(\d+) (\d+)h(\d+)v1h-(\d+)z", p.get("d")):
            assert n == back
            for i in range(int(n)):
                rows[int(y)][int(x) + i] = colour
    return rows


class StagedInstall(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        env = dict(os.environ, DESTDIR=cls.tmp.name)
        subprocess.run([os.environ["CMAKE_COMMAND"], "--install", os.environ["PARLOUR_BUILD_DIR"],
                        "--prefix", "/usr"], env=env, check=True, capture_output=True)
        cls.root = os.path.join(cls.tmp.name, "usr")

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def path(self, *parts):
        return os.path.join(self.root, *parts)

    def program(self, *args):
        return subprocess.run([self.path("bin", "parlour"), *args], capture_output=True,
                              text=True, timeout=60, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))

    def games(self):
        """The games as the program's --help lists them."""
        listed = re.search(r"--game NAME +start on the game NAME: ([^\n]+)",
                           self.program("--help").stdout).group(1)
        return re.split(r", | or ", listed)

    def test_validators_accept_the_desktop_entry_and_metainfo(self):
        for command in ([os.environ["DESKTOP_FILE_VALIDATE"],
                         self.path("share", "applications", APP_ID + ".desktop")],
                        [os.environ["APPSTREAMCLI"], "validate", "--no-net",
                         self.path("share", "metainfo", APP_ID + ".metainfo.xml")]):
            done = subprocess.run(command, capture_output=True, text=True)
            self.assertEqual(done.returncode, 0, done.stdout + done.stderr)

    def test_desktop_entry_offers_every_game_and_starts_it(self):
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(self.path("share", "applications", APP_ID + ".desktop"))
        main = entry["Desktop Entry"]
        self.assertEqual(main["Exec"], "parlour")
        self.assertEqual(main["Icon"], APP_ID)
        self.assertEqual(main["Categories"], "Game;CardGame;")
        actions = [a for a in main["Actions"].split(";") if a]
        # Every game the program knows has its action, in the program's order.
        self.assertEqual(actions, self.games())
        for game in actions:
            action = entry["Desktop Action " + game]
            self.assertEqual(action["Exec"], "parlour --game " + game)
            self.assertEqual(action["Name"].lower(), game)
            self.assertIn(game + ";", main["Keywords"])

    def test_icons_are_the_programs_icon_at_every_size(self):
        icon = read_bmp24(os.path.join(os.environ["PARLOUR_SOURCE_DIR"], "res", "images",
                                       "ICON128.bmp"))
        for size in SIZES:
            width, height, rows = read_png(self.path(
                "share", "icons", "hicolor", f"{size}x{size}", "apps", APP_ID + ".png"))
            self.assertEqual((width, height), (size, size))
            if size % 32 == 0:  # whole multiples keep the drawing's pixels
                k = size // 32
                self.assertEqual([r[::k] for r in rows[::k]], icon, size)
            if size == 16:  # smaller: each pixel the mean of the four it covers
                block = [icon[2 * 5 + j][2 * 7 + i] for j in (0, 1) for i in (0, 1)]
                self.assertEqual(rows[5][7], tuple((sum(c[n] for c in block) + 2) // 4
                                                   for n in range(3)))
        svg = rasterise_svg(self.path("share", "icons", "hicolor", "scalable", "apps",
                                      APP_ID + ".svg"))
        self.assertEqual(svg, icon)

    def test_metainfo_names_the_program_and_its_release(self):
        root = ET.parse(self.path("share", "metainfo", APP_ID + ".metainfo.xml")).getroot()
        self.assertEqual(root.findtext("id"), APP_ID)
        self.assertEqual(root.find("launchable").text, APP_ID + ".desktop")
        self.assertGreaterEqual(len(root.findall("screenshots/screenshot")), 1)
        games = [li.text.split(":")[0].lower() for li in root.findall("description/ul")[0]]
        self.assertEqual(games, self.games())
        version = root.find("releases/release").get("version")
        self.assertEqual(self.program("--version").stdout, f"Parlour {version}\n")

    def test_command_line(self):
        done = self.program("--help")
        self.assertEqual(done.returncode, 0)
        self.assertIn("--game NAME", done.stdout)
        for args, complaint in ((["--game", "patience"], "no game 'patience'"),
                                (["--bogus"], "unknown option '--bogus'"),
                                (["--game"], "--game needs"),
                                (["stray"], "unexpected argument 'stray'")):
            done = self.program(*args)
            self.assertEqual(done.returncode, 2, args)
            self.assertIn(complaint, done.stderr)
            self.assertEqual(done.stdout, "")
        self.assertEqual(self.program("--game", "KLONDIKE", "--version").returncode, 0)

    def test_without_a_display_it_says_so_in_one_line(self):
        bare = {k: v for k, v in os.environ.items()
                if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        for display in (None, ":4077"):  # none, and one nobody serves
            env = dict(bare, DISPLAY=display) if display else bare
            done = subprocess.run([self.path("bin", "parlour")], capture_output=True, text=True,
                                  timeout=60, env=env)
            self.assertEqual(done.returncode, 1, done.stderr)
            self.assertEqual(len(done.stderr.splitlines()), 1, done.stderr)
            self.assertIn("parlour: cannot open a window: no usable display", done.stderr)
            self.assertIn(display or "DISPLAY is not set", done.stderr)
            self.assertEqual(done.stdout, "")
        # Help needs no display.
        self.assertEqual(subprocess.run([self.path("bin", "parlour"), "--help"], env=bare,
                                        capture_output=True).returncode, 0)


if __name__ == "__main__":
    unittest.main()
