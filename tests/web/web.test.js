// The browser version played in Debian's Chromium: every game by pointer and
// by keys, its pixels against the headless driver's on the same script, a
// Golf win's name entered in the HTML dialog and kept across a reload, the
// hi-score file taken away and brought in, a phone's touches, and offline.
"use strict";

const test = require("node:test");
const assert = require("node:assert/strict");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { execFileSync } = require("node:child_process");
const h = require("./harness");

const DESKTOP = { width: 1024, height: 768 };
const TICK = 100010;       // Golf's solver wins this deal at once
const KLONDIKE_TICK = 100002; // an ace on the sixth column, its two on the seventh
const CARD_W = 25, CARD_H = 34;

let server, browser;
const errors = [];
let menuIds;

test.before(async () => {
  server = await h.serve();
  browser = await h.launch();
  menuIds = Object.fromEntries(h.runDriver(TICK, ["menu"])[0].menu.filter((i) => i.id).map((i) => [i.text, i.id]));
});
test.after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
});

const url = (params) => `${server.url}?${params}`;
const topOf = (pile) => {
  const card = pile.cards[pile.cards.length - 1];
  if (!card) return [Math.floor((pile.rect[0] + pile.rect[2]) / 2), pile.rect[1] + CARD_H / 2];
  return [card[2] + Math.floor(CARD_W / 2), card[3] + Math.floor(CARD_H / 2)];
};

// A double tap as the driver has it: a tap, then the quick second press.
const doubleTap = ([x, y]) => [`tap ${x} ${y}`, `dblclk ${x} ${y}`, `up ${x} ${y}`];

// A few moves of every kind, from where the game's piles or balls lie.
function stepsFor(state) {
  if (state.piles) {
    const p = state.piles, last = p.length - 1;
    return [`tap ${topOf(p[0]).join(" ")}`, "key Tab", "key Tab", "key Return", "key Right", "key Return",
      "key Escape", "key Down", "key Shift+Return", ...doubleTap(topOf(p[2])),
      `drag ${topOf(p[3]).join(" ")} ${topOf(p[4]).join(" ")}`, `command ${menuIds["Undo move"]}`,
      `drag ${topOf(p[last]).join(" ")} ${topOf(p[2]).join(" ")}`, "key Backtab", "key Left", "key Space"];
  }
  const x = state.cellWidth * 2 + (state.cellWidth >> 1), y = state.cellHeight * 3 + (state.cellHeight >> 1);
  return [`tap ${x} ${y}`, "key Tab", "key Right", "key Down", "key Return", "key Right", "key Escape",
    `drag ${x} ${y} ${x + state.cellWidth} ${y}`, "key Backtab", "key Return"];
}

async function play(page, line) {
  // Undo is played by its menu shortcut.
  if (line === `command ${menuIds["Undo move"]}`) {
    await page.keyboard.press("Control+z");
    await h.settled(page);
  } else {
    await h.playStep(page, line);
  }
}

function assertSamePixels(page, shot, what) {
  assert.equal(page.width, shot.width, `${what}: width`);
  assert.equal(page.height, shot.height, `${what}: height`);
  const differing = [];
  for (let i = 0; i < shot.rgba.length && differing.length < 5; i += 4)
    if (shot.rgba.readUInt32LE(i) !== page.rgba.readUInt32LE(i)) differing.push([(i / 4) % shot.width, Math.floor(i / 4 / shot.width)]);
  if (differing.length && process.env.PARLOUR_DEBUG) {
    let box = [1e9, 1e9, -1, -1], count = 0;
    for (let i = 0; i < shot.rgba.length; i += 4) if (shot.rgba.readUInt32LE(i) !== page.rgba.readUInt32LE(i)) {
      const x = (i / 4) % shot.width, y = Math.floor(i / 4 / shot.width); ++count;
      box = [Math.min(box[0], x), Math.min(box[1], y), Math.max(box[2], x), Math.max(box[3], y)];
    }
    const i = differing[1] ? (differing[1][1] * shot.width + differing[1][0]) * 4 : 0;
    console.log(what, count, box, shot.rgba.subarray(i, i + 4), page.rgba.subarray(i, i + 4));
  }
  assert.deepEqual(differing, [], `${what}: pixels differ from the driver's shot at ${JSON.stringify(differing)}`);
}

test("the page loads and shows the table with its soft keys", async () => {
  const context = await browser.newContext({ viewport: DESKTOP });
  const page = await h.openPage(context, url(`tick=${TICK}&nosw`), errors);
  const layout = await page.evaluate(() => window.parlourPage.layout());
  assert.deepEqual([layout.zoom, layout.client.width, layout.client.height], [2, 512, 358]);
  assert.equal(await page.textContent("#softKeyLeft"), "New");
  assert.equal(await page.textContent("#softKeyRight"), "Menu");
  assert.equal(await page.title(), "Klondike - Parlour");
  // Crisp: the canvas holds the table's own pixels, zoomed by the page.
  const shown = await page.locator("#table").boundingBox();
  assert.deepEqual([shown.width, shown.height], [1024, 716]);
  // A smaller window: the same zoom shows less table around the cards; a
  // larger one a larger zoom, as the desktop window does.
  for (const [viewport, zoom, client] of [[[800, 600], 2, [400, 274]], [[1300, 950], 3, [433, 290]]]) {
    await page.setViewportSize({ width: viewport[0], height: viewport[1] });
    await page.waitForFunction((w) => window.parlourPage.layout().canvas.width === w, client[0]);
    await h.settled(page);
    const now = await page.evaluate(() => window.parlourPage.layout());
    assert.deepEqual([now.zoom, now.client.width, now.client.height], [zoom, ...client]);
  }
  assertSamePixels(await h.canvasPixels(page), h.driverShot(TICK, ["size 512 358", "size 400 274", "size 433 290"]),
    "the table after two new sizes");
  // What a phone installs: the manifest's icons are there at their sizes.
  const icons = await page.evaluate(async () => {
    const manifest = await (await fetch(document.querySelector("link[rel=manifest]").href)).json();
    return Promise.all(manifest.icons.map((icon) => new Promise((resolve) => {
      const image = new Image();
      image.onload = () => resolve([icon.sizes, `${image.naturalWidth}x${image.naturalHeight}`]);
      image.onerror = () => resolve([icon.sizes, "missing"]);
      image.src = new URL(icon.src, location.href).href;
    })));
  });
  for (const [declared, actual] of icons) if (declared !== "any") assert.equal(actual, declared);
  assert.ok(icons.some(([, actual]) => actual === "512x512") && icons.length === 3, JSON.stringify(icons));
  assert.deepEqual(errors, []);
  await context.close();
});

test("in forced colours the menu still shows its focus and its disabled items", async () => {
  const context = await browser.newContext({ viewport: DESKTOP, forcedColors: "active" });
  const page = await h.openPage(context, url(`tick=${TICK}&nosw`), errors);
  await page.keyboard.press("F10");
  const look = await page.evaluate(() => {
    const items = [...document.querySelectorAll(".menu [role^=menuitem]")];
    const style = (item) => getComputedStyle(item);
    const focused = items.find((item) => item === document.activeElement);
    const other = items.find((item) => item !== focused && item.getAttribute("aria-disabled") !== "true");
    const disabled = items.find((item) => item.getAttribute("aria-disabled") === "true");
    return { focused: style(focused).backgroundColor, other: style(other).backgroundColor,
      enabledText: style(other).color, disabledText: style(disabled).color };
  });
  assert.notEqual(look.focused, look.other, JSON.stringify(look));
  assert.notEqual(look.disabledText, look.enabledText, JSON.stringify(look));
  assert.deepEqual(errors, []);
  await context.close();
});

test("every game picked from the menu plays by pointer and keys as the driver does", async () => {
  const context = await browser.newContext({ viewport: DESKTOP });
  const page = await h.openPage(context, url(`tick=${TICK}&nosw`), errors);
  const { client } = await page.evaluate(() => window.parlourPage.layout());
  const games = ["Klondike", "Cruel", "Golf", "Spider", "Freecell", "Gemfield", "Paintpot"];
  const script = [`size ${client.width} ${client.height}`];
  for (const game of games) {
    if (game === "Paintpot") {
      // The menu by the keys alone: F10, the arrows, Return.
      await page.keyboard.press("F10");
      const items = page.getByRole("menu").locator("[role^=menuitem]");
      const at = (await items.allTextContents()).indexOf(game);
      // A choice is a checkbox item for a screen reader, on or off.
      const menu = page.getByRole("menu");
      for (const [name, on] of [["Gemfield", true], [game, false]])
        assert.equal(await menu.getByRole("menuitemcheckbox", { name, exact: true, checked: on }).count(), 1, name);
      for (let i = 0; i < at; ++i) await page.keyboard.press("ArrowDown");
      await page.keyboard.press("Enter");
      await h.settled(page);
    } else {
      await h.pickFromMenu(page, game);
    }
    if (game === "Spider") {
      // Its settings come first: the second choice of suits, as a script answers it.
      const settings = page.locator("#dialog-133");
      await settings.locator("label.radio").nth(1).click();
      assert.ok(await settings.getByRole("radio").nth(1).isChecked());
      await settings.getByRole("button", { name: "OK" }).click();
      await h.settled(page);
      script.push("answer choice 1");
    }
    assert.equal(await page.title(), `${game} - Parlour`);
    // The last game's words are not read as this one's.
    await page.waitForFunction(() => document.getElementById("told").textContent === "", null, { timeout: 2000 });
    const menu = await page.evaluate(() => JSON.parse(Module.UTF8ToString(Module._web_menu())));
    assert.ok(menu.items.find((i) => i.text === game).checked, `${game} is checked in the menu`);
    script.push(`command ${menuIds[game]}`);
    const before = h.driverState(TICK, script);
    const steps = stepsFor(before);
    for (const step of steps) await play(page, step);
    script.push(...steps);
    const after = h.driverState(TICK, script);
    // The moves did something, so equal pixels mean the page played them.
    assert.notDeepEqual(JSON.stringify([after.piles, after.cells, after.focus, after.score]),
      JSON.stringify([before.piles, before.cells, before.focus, before.score]), `${game}: the moves changed nothing`);
    assertSamePixels(await h.canvasPixels(page), h.driverShot(TICK, script), game);
  }
  assert.deepEqual(errors, []);
  await context.close();
});

// Golf at TICK won by taps; the last one asks for a name.
function golfWin(client) {
  const script = [`size ${client.width} ${client.height}`, `command ${menuIds.Golf}`];
  const state = h.driverState(TICK, script);
  const solver = `import json, sys; sys.path.insert(0, ${JSON.stringify(path.join(h.ROOT, "tests/e2e"))})
from golf_solver import solve, DEAL
print(json.dumps([0 if m == DEAL else m for m in solve(json.load(sys.stdin))]))`;
  const moves = JSON.parse(execFileSync("python3", ["-c", solver], { input: JSON.stringify(state) }).toString());
  const heights = state.piles.map((p) => p.cards.length);
  // Each move a tap on the stock or on a column's top card.
  const taps = moves.map((pile) => {
    const p = state.piles[pile];
    const card = p.cards[Math.max(0, heights[pile] - 1)];
    if (pile !== 0) heights[pile] -= 1;
    const [x, y] = card ? [card[2] + 12, card[3] + 17] : topOf(p);
    return `tap ${x} ${y}`;
  });
  return { script, taps };
}

// Plays Golf's won deal on the page; returns the name dialog the last card opens.
async function playGolfWin(page, taps) {
  await h.pickFromMenu(page, "Golf");
  for (const tap of taps.slice(0, -1)) await h.playStep(page, tap);
  const [x, y] = await h.toPage(page, ...taps[taps.length - 1].split(" ").slice(1).map(Number));
  await page.mouse.click(x, y);
  const nameDialog = page.locator("#dialog-132");
  await nameDialog.waitFor();
  return nameDialog;
}

async function closeDialog(page, id) {
  await page.locator(`#dialog-${id}`).getByRole("button", { name: "OK" }).click();
  await h.settled(page);
}

test("a soft key pressed while the program is busy is pressed when it is done", async () => {
  const context = await browser.newContext({ viewport: DESKTOP });
  // The real clock, so that an animation takes its time: the deal by its number.
  const page = await h.openPage(context, url("nosw"), errors);
  await h.pickFromMenu(page, "Gemfield");
  await h.pickFromMenu(page, "Choose deal...");
  await page.locator("#dialog-32850 input").fill(String(TICK));
  await page.locator("#dialog-32850").getByRole("button", { name: "OK" }).click();
  await h.settled(page);
  const { client } = await page.evaluate(() => window.parlourPage.layout());
  const { hint, cellWidth: w, cellHeight: ht } =
    h.driverState(TICK, [`size ${client.width} ${client.height}`, `command ${menuIds.Gemfield}`, "key H"]);
  const [x1, y1] = await h.toPage(page, hint.col * w + (w >> 1), hint.row * ht + (ht >> 1));
  const [x2, y2] = await h.toPage(page, hint.toCol * w + (w >> 1), hint.row * ht + (ht >> 1));
  // The swap makes a run: its balls go in an animation the program sleeps through.
  await page.mouse.move(x1, y1);
  await page.mouse.down();
  await page.mouse.move(x2, y2);
  await page.mouse.up();
  assert.ok(await page.evaluate(() => window.parlourPage.busy()));
  await page.click("#softKeyRight");
  await page.getByRole("menu").waitFor();
  assert.deepEqual(errors, []);
  await context.close();
});

test("two tabs at once: each saves its hi score and statistics to what the other saved", async () => {
  const context = await browser.newContext({ viewport: DESKTOP });
  const tabs = [];
  for (let i = 0; i < 2; ++i) tabs.push(await h.openPage(context, url(`tick=${TICK}&nosw`), errors));
  const { taps } = golfWin(await tabs[0].evaluate(() => window.parlourPage.layout().client));
  // The first tab's win waits in its name dialog while the second's is saved.
  const waiting = await playGolfWin(tabs[0], taps);
  for (const [tab, name] of [[tabs[1], "Second"], [tabs[0], "First"]]) {
    const nameDialog = tab === tabs[0] ? waiting : await playGolfWin(tab, taps);
    await nameDialog.getByRole("textbox").fill(name);
    await nameDialog.getByRole("button", { name: "OK" }).click();
    await tab.locator("#dialog-131").waitFor();
    await closeDialog(tab, 131);
  }
  const third = await h.openPage(context, url("nosw"), errors);
  await h.pickFromMenu(third, "Hi scores");
  const names = await third.locator("#dialog-131 tbody").textContent();
  assert.match(names, /First/);
  assert.match(names, /Second/);
  await closeDialog(third, 131);
  await h.pickFromMenu(third, "Statistics");
  assert.match(await third.locator("#dialog-32852 tbody").textContent(), /Games played2Games won2/);
  assert.deepEqual(errors, []);
  await context.close();
});

test("a won Golf game takes a name in the HTML dialog; the table stays after a reload; the file is the desktop's", async () => {
  const context = await browser.newContext({ viewport: DESKTOP, acceptDownloads: true });
  let page = await h.openPage(context, url(`tick=${TICK}&nosw`), errors);
  const { client } = await page.evaluate(() => window.parlourPage.layout());
  const { script, taps } = golfWin(client);
  const nameDialog = await playGolfWin(page, taps);
  assert.equal(await nameDialog.getAttribute("role"), "dialog");
  assert.equal(await nameDialog.getAttribute("aria-modal"), "true");
  await nameDialog.getByRole("textbox").fill("Golfer");
  await nameDialog.getByRole("button", { name: "OK" }).click();
  const list = page.locator("#dialog-131");
  await list.waitFor();
  assert.match(await list.locator("tbody tr").first().textContent(), /Golfer/);
  await list.getByRole("button", { name: "OK" }).click();
  await h.settled(page);

  // The desktop program's file after the same game.
  const dataDir = fs.mkdtempSync(path.join(os.tmpdir(), "parlour-golf-"));
  h.runDriver(TICK, [...script, ...taps.slice(0, -1), "answer name Golfer", taps[taps.length - 1]], dataDir);
  const desktopBytes = fs.readFileSync(path.join(dataDir, "Scores.dat"));

  page = await page.reload().then(() => page);
  await page.evaluate(() => window.parlourPage.ready);
  await h.settled(page);
  // It starts on the game last shown, as the desktop does.
  assert.match(await page.title(), /^Golf/);
  await h.pickFromMenu(page, "Golf");
  await h.pickFromMenu(page, "Hi scores");
  const kept = page.locator("#dialog-131");
  await kept.waitFor();
  assert.match(await kept.locator("tbody tr").first().textContent(), /Golfer/);
  // Read as it lies: the list, then Reset and OK below it; the focus on OK.
  assert.deepEqual(await kept.locator(".body > *").evaluateAll((all) => all.map((e) => e.id)),
    ["control-1002", "control-1003", "control-1"]);
  assert.equal(await page.evaluate(() => document.activeElement.id), "control-1");
  await kept.getByRole("button", { name: "OK" }).click();
  await h.settled(page);
  // The statistics are kept over the reload as the hi scores are.
  await h.pickFromMenu(page, "Statistics");
  const figures = page.locator("#dialog-32852");
  await figures.waitFor();
  assert.match(await figures.locator("tbody").textContent(), /Games played1Games won1/);
  await figures.getByRole("button", { name: "OK" }).click();
  await h.settled(page);

  const [download] = await Promise.all([page.waitForEvent("download"), h.pickFromMenu(page, "Download hi scores")]);
  assert.equal(download.suggestedFilename(), "Scores.dat");
  const downloaded = fs.readFileSync(await download.path());
  assert.ok(downloaded.equals(desktopBytes), "the downloaded file is byte for byte the desktop's");

  // A file from elsewhere is loaded in and kept in its place.
  const otherDir = fs.mkdtempSync(path.join(os.tmpdir(), "parlour-other-"));
  h.runDriver(TICK, [...script, ...taps.slice(0, -1), "answer name Brought In", taps[taps.length - 1]], otherDir);
  await page.setInputFiles("#scoresFile", path.join(otherDir, "Scores.dat"));
  await h.settled(page);
  await h.pickFromMenu(page, "Hi scores");
  await kept.waitFor();
  const rows = await kept.locator("tbody").textContent();
  assert.match(rows, /Brought In/);
  assert.doesNotMatch(rows, /Golfer/);
  await kept.getByRole("button", { name: "OK" }).click();
  await h.settled(page);
  const stored = await page.evaluate(() => localStorage.getItem("parlour.scores"));
  assert.ok(Buffer.from(stored, "base64").equals(fs.readFileSync(path.join(otherDir, "Scores.dat"))));

  // A file that holds no hi scores is refused, and the scores stay.
  await page.setInputFiles("#scoresFile", { name: "Scores.dat", mimeType: "text/plain", buffer: Buffer.from("not ours\n") });
  const refused = page.getByRole("alertdialog");
  await refused.waitFor();
  assert.match(await refused.locator("p").textContent(), /holds no hi scores/);
  await refused.getByRole("button", { name: "OK" }).click();
  await h.settled(page);
  assert.equal(await page.evaluate(() => localStorage.getItem("parlour.scores")), stored);

  // Reset asks first, over the list, which then shows the table emptied.
  await h.pickFromMenu(page, "Hi scores");
  await kept.waitFor();
  await kept.getByRole("button", { name: "Reset" }).click();
  const asked = page.getByRole("alertdialog");
  await asked.waitFor();
  assert.equal(await asked.locator("p").textContent(), "Reset Hi scores??");
  await asked.getByRole("button", { name: "Yes" }).click();
  await page.locator("#dialog-131:not([inert])").waitFor();
  assert.equal(await page.locator("#dialog-131 tbody tr").count(), 0);
  await page.locator("#dialog-131").getByRole("button", { name: "OK" }).click();
  await h.settled(page);
  h.runDriver(TICK, [`command ${menuIds.Golf}`, "answer reset", "answer yes", "answer ok", `command ${menuIds["Hi scores"]}`],
    otherDir);
  const emptied = await page.evaluate(() => localStorage.getItem("parlour.scores"));
  assert.ok(Buffer.from(emptied, "base64").equals(fs.readFileSync(path.join(otherDir, "Scores.dat"))),
    "the stored file is the desktop's after the same reset");
  assert.deepEqual(errors, []);
  await context.close();
});

test("on a phone, touch drags and a double tap play Klondike cards, a drag is no first tap", async () => {
  const context = await browser.newContext({ viewport: { width: 390, height: 844 }, deviceScaleFactor: 3,
    isMobile: true, hasTouch: true });
  const page = await h.openPage(context, url(`tick=${KLONDIKE_TICK}&nosw`), errors);
  const { zoom, client } = await page.evaluate(() => window.parlourPage.layout());
  assert.equal(zoom, 4);
  const size = `size ${client.width} ${client.height}`;
  const state = h.driverState(KLONDIKE_TICK, [size]);
  const foundation = state.piles.findIndex((p) => p.kind === 4);
  const ace = topOf(state.piles[7]), two = topOf(state.piles[8]), home = topOf(state.piles[foundation]);
  // The seven of diamonds, refused on the four of spades, then at once onto the eight of clubs.
  const seven = topOf(state.piles[4]), four = topOf(state.piles[2]), eight = topOf(state.piles[6]);
  const touch = await context.newCDPSession(page);
  const at = async (point) => h.toPage(page, ...point);
  const send = (type, points) => touch.send("Input.dispatchTouchEvent", {
    type, touchPoints: points.map(([x, y]) => ({ x, y })) });
  const touchDrag = async (from, to) => {
    const [ax, ay] = await at(from), [bx, by] = await at(to);
    await send("touchStart", [[ax, ay]]);
    for (let i = 1; i <= 5; ++i) await send("touchMove", [[ax + (bx - ax) * i / 5, ay + (by - ay) * i / 5]]);
    await send("touchEnd", []);
    await h.settled(page);
  };
  // A touch outside the open menu only closes it; a dialog fits the screen's width.
  await page.tap("#softKeyRight");
  const [sx, sy] = await at(topOf(state.piles[0]));
  await send("touchStart", [[sx, sy]]);
  await send("touchEnd", []);
  await h.settled(page);
  assert.equal(await page.getByRole("menu").count(), 0);
  await h.pickFromMenu(page, "Rules");
  const rules = page.locator("#dialog-32851");
  await rules.waitFor();
  assert.ok(await rules.evaluate((d) => d.scrollWidth <= d.clientWidth && d.getBoundingClientRect().right <= innerWidth));
  assert.ok((await rules.getByRole("button", { name: "OK" }).boundingBox()).height >= 44, "OK: a finger's height");
  await rules.getByRole("button", { name: "OK" }).click();
  await h.settled(page);
  // On a touch screen a small dialog grows for the finger, and its close
  // box answers it as Escape does.
  await h.pickFromMenu(page, "Choose deal...");
  const choose = page.locator("#dialog-32850");
  await choose.waitFor();
  const box = await choose.locator("input").boundingBox();
  assert.ok(box.height >= 30, `a box ${box.height} pixels high`);
  assert.equal(await choose.locator("input").getAttribute("aria-label"), "Deal number (0 to 4294967295):");
  for (const target of [...await choose.getByRole("button").all(), page.locator("#softKeyRight")])
    assert.ok((await target.boundingBox()).height >= 44, `${await target.textContent()}: a finger's height`);
  await choose.getByRole("button", { name: "Close" }).tap();
  await h.settled(page);
  assert.equal(await page.locator(".dialog").count(), 0);
  await touchDrag(seven, four);
  await touchDrag(seven, eight);
  await touchDrag(ace, home);
  const [tx, ty] = await at(two);
  for (let i = 0; i < 2; ++i) {
    await send("touchStart", [[tx, ty]]);
    await send("touchEnd", []);
  }
  await h.settled(page);
  const drag = (from, to) => [`down ${from.join(" ")}`, `move ${to.join(" ")}`, `up ${to.join(" ")}`];
  const script = [size, ...drag(seven, four), ...drag(seven, eight), ...drag(ace, home), `tap ${two.join(" ")}`,
    `dblclk ${two.join(" ")}`, `up ${two.join(" ")}`];
  const after = h.driverState(KLONDIKE_TICK, script);
  assert.equal(after.piles[foundation].cards.length, 2, "the driver's game has both cards home");
  assert.equal(after.piles[6].cards.length, state.piles[6].cards.length + 1, "the seven is on the eight");
  assertSamePixels(await h.canvasPixels(page), h.driverShot(KLONDIKE_TICK, script), "Klondike on a phone");
  // A soft key tapped just after a flick on the table (which Chromium sends no click) is pressed.
  await send("touchStart", [[100, 400]]);
  for (let i = 1; i <= 4; ++i) await send("touchMove", [[100 + 40 * i, 400 - 30 * i]]);
  await send("touchEnd", []);
  const key = await page.locator("#softKeyRight").boundingBox();
  await send("touchStart", [[key.x + key.width / 2, key.y + key.height / 2]]);
  await send("touchEnd", []);
  await page.getByRole("menu").waitFor({ timeout: 3000 });
  assert.match(await page.evaluate(() => document.activeElement.getAttribute("role")), /^menuitem/, "an item has the focus");
  await page.keyboard.press("Escape");
  // A finger slid off a soft key presses nothing, however little it went.
  await send("touchStart", [[key.x + 3, key.y + key.height / 2]]);
  await send("touchMove", [[key.x - 6, key.y + key.height / 2]]);
  await send("touchEnd", []);
  await h.settled(page);
  assert.equal(await page.getByRole("menu").count(), 0);
  // Turned sideways while open, the menu stays in the window, its focused item in sight; the
  // arrows of a number box are a finger high.
  await page.tap("#softKeyRight");
  await page.setViewportSize({ width: 844, height: 390 });
  await h.settled(page);
  assert.ok(await page.getByRole("menu").evaluate((m) => m.getBoundingClientRect().top >= 0 &&
    document.activeElement.getBoundingClientRect().top >= 0 && m.contains(document.activeElement)));
  await page.keyboard.press("Escape");
  await page.setViewportSize({ width: 390, height: 844 });
  await h.settled(page);
  await h.pickFromMenu(page, "Gemfield");
  await h.pickFromMenu(page, "Bol settings");
  const arrows = await page.locator(".dialog .updown button").evaluateAll((all) => all.map((b) => b.getBoundingClientRect().height));
  assert.ok(arrows.length === 6 && arrows.every((high) => high >= 44), `arrows ${arrows} high`);
  assert.ok((await page.locator(".dialog").getByRole("button", { name: "OK" }).boundingBox()).height >= 44);
  // Turned with a dialog open: the table behind it is laid out for the new size, and the dialog
  // anew, keeping what was typed and the focus.
  await page.locator(".dialog input").first().fill("9");
  const focused = await page.locator(".dialog input").nth(1).evaluate((box) => (box.focus(), box.id));
  await page.setViewportSize({ width: 844, height: 390 });
  const turned = await (await page.waitForFunction(() => {
    const { canvas, client } = window.parlourPage.layout(), dialog = document.querySelector(".dialog:not([inert])");
    if (!dialog || canvas.width !== client.width || canvas.height !== client.height ||
        dialog.getBoundingClientRect().bottom > innerHeight) return false;
    return { value: dialog.querySelector("input").value, focused: document.activeElement.id,
      arrows: [...dialog.querySelectorAll(".updown button")].map((b) => b.getBoundingClientRect().height) };
  }, null, { timeout: 5000 })).jsonValue();
  assert.equal(turned.value, "9");
  assert.equal(turned.focused, focused);
  assert.ok(turned.arrows.length === 6 && turned.arrows.every((high) => high >= 44), `arrows ${turned.arrows} high sideways`);
  // A refused value's message box over a dialog, turned back: the dialog waiting under it stays in the window.
  await page.keyboard.press("Escape");
  await h.settled(page);
  await h.pickFromMenu(page, "Choose deal...");
  await page.locator(".dialog input").fill("99999999999");
  await page.locator(".dialog").getByRole("button", { name: "OK" }).tap();
  await page.locator(".message").waitFor();
  await page.setViewportSize({ width: 390, height: 844 });
  await page.waitForFunction(() => {
    const waiting = document.querySelector(".dialog[inert] .body");
    return document.querySelector(".message") && waiting && waiting.getBoundingClientRect().right <= innerWidth;
  }, null, { timeout: 3000 });
  // Its words no smaller than the dialog's.
  const fonts = await page.evaluate(() => [".message", ".dialog[inert]"].map((s) =>
    parseFloat(getComputedStyle(document.querySelector(s)).fontSize)));
  assert.ok(fonts[0] >= fonts[1], `message ${fonts[0]}px, dialog ${fonts[1]}px`);
  assert.deepEqual(errors, []);
  await context.close();
});

test("after the first visit the page plays offline", async () => {
  const context = await browser.newContext({ viewport: DESKTOP });
  const page = await h.openPage(context, server.url, errors);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 20000 });
  await context.setOffline(true);
  await page.reload();
  await page.evaluate(() => window.parlourPage.ready);
  await h.settled(page);
  assert.ok(await page.evaluate(() => window.parlourPage.stats.firstTable !== null));
  assert.equal(await page.textContent("#softKeyRight"), "Menu");
  await h.pickFromMenu(page, "Spider");
  await page.locator("#dialog-133").waitFor();
  await page.keyboard.press("Escape");
  await h.settled(page);
  assert.equal(await page.title(), "Spider - Parlour");
  assert.deepEqual(errors, []);
  await context.close();
});

test("a dialog keeps its keys from the table; the rules read whole; Ctrl+Shift+Z redoes", async () => {
  const context = await browser.newContext({ viewport: DESKTOP });
  const page = await h.openPage(context, url(`tick=${KLONDIKE_TICK}&nosw`), errors);
  const { client } = await page.evaluate(() => window.parlourPage.layout());
  const script = [`size ${client.width} ${client.height}`];
  const stock = `tap ${topOf(h.driverState(KLONDIKE_TICK, script).piles[0]).join(" ")}`;
  for (const step of [stock, stock]) await h.playStep(page, step);
  for (const key of ["Control+z", "Control+Shift+z"]) {
    await page.keyboard.press(key);
    await h.settled(page);
  }
  for (const step of ["key Tab", "key Tab", "key Return"]) await h.playStep(page, step);
  await page.keyboard.press("F1");
  const rules = page.locator("#dialog-32851 textarea");
  await rules.waitFor();
  assert.ok(await rules.evaluate((box) => box.readOnly && box.value.includes("\n") && box.scrollTop === 0),
    "the rules, in lines, read only, from their start");
  await page.keyboard.press("Escape");
  await h.settled(page);
  assert.equal(await page.locator(".backdrop").count(), 0);
  // Redone, and the card still picked up: Escape closed the rules alone.
  script.push(stock, stock, `command ${menuIds["Undo move"]}`, `command ${menuIds["Redo move"]}`, "key Tab", "key Tab",
    "key Return");
  assert.ok(h.driverState(KLONDIKE_TICK, script).picked, "the driver's card is picked up");
  assertSamePixels(await h.canvasPixels(page), h.driverShot(KLONDIKE_TICK, script), "Klondike after the rules");
  assert.deepEqual(errors, []);
  await context.close();
});

test("a refused value is told in a message box over its dialog, which then takes a good one", async () => {
  const context = await browser.newContext({ viewport: DESKTOP });
  const page = await h.openPage(context, url(`tick=${TICK}&nosw`), errors);
  await h.pickFromMenu(page, "Gemfield");
  await h.pickFromMenu(page, "Bol settings");
  const dialog = page.locator(".dialog[role=dialog]");
  const boxes = dialog.getByRole("textbox");
  assert.deepEqual(await boxes.evaluateAll((all) => all.map((b) => b.value)), ["7", "8", "8"]);
  // Tab goes from box to box: the arrows beside them are for the pointer.
  await boxes.first().focus();
  await page.keyboard.press("Tab");
  assert.ok(await boxes.nth(1).evaluate((box) => box === document.activeElement));
  assert.deepEqual(await dialog.locator(".updown button").evaluateAll((all) => all.map((b) => b.ariaLabel)),
    ["Hor Up", "Hor Down", "Ver Up", "Ver Down", "Colors Up", "Colors Down"]);
  await boxes.first().fill("99");
  await dialog.getByRole("button", { name: "OK" }).click();
  const told = page.getByRole("alertdialog");
  await told.waitFor();
  assert.equal(await told.locator("p").textContent(), "Enter an integer between 2 and 16.");
  await told.getByRole("button", { name: "OK" }).click();
  // Shown again as it was left, the refused box focused with its text
  // selected; the up arrow steps from what the box shows.
  await page.locator(".dialog[role=dialog]:not([inert])").waitFor();
  assert.ok(await boxes.first().evaluate((box) => box === document.activeElement && box.selectionStart === 0 &&
    box.selectionEnd === box.value.length && box.value === "99"));
  await boxes.first().fill("5");
  await dialog.getByRole("button", { name: "Up" }).first().click();
  assert.equal(await boxes.first().inputValue(), "6");
  await dialog.getByRole("button", { name: "OK" }).click();
  await h.settled(page);
  assert.equal(await page.locator(".backdrop").count(), 0);
  const { client } = await page.evaluate(() => window.parlourPage.layout());
  const script = [`size ${client.width} ${client.height}`, `command ${menuIds.Gemfield}`, "answer values 99 8 8", "answer ok",
    "answer values 6 8 8", `command ${menuIds["Bol settings"]}`];
  const modals = h.runDriver(TICK, script).filter((line) => line.event);
  // The script is the page's play: the refusal told, then six columns taken.
  assert.deepEqual(modals.map((line) => line.answer), ["ok", "values 6 8 8"]);
  assertSamePixels(await h.canvasPixels(page), h.driverShot(TICK, script), "Gemfield after its settings");
  assert.deepEqual(errors, []);
  await context.close();
});

test("the search runs beside the game in a worker: play goes on, the verdict shows whole in the bar, H gives its hint", async () => {
  const context = await browser.newContext({ viewport: { width: 800, height: 640 } });
  // The real clock, so that the search's timer runs.
  const page = await h.openPage(context, url("nosw&game=golf"), errors);
  await h.pickFromMenu(page, "Choose deal...");
  const dialog = page.locator(".dialog[role=dialog]");
  await dialog.getByRole("textbox").fill(String(TICK));
  await dialog.getByRole("button", { name: "OK" }).click();
  await h.settled(page);
  const { client } = await page.evaluate(() => window.parlourPage.layout());
  const stock = topOf(h.driverState(TICK, [`size ${client.width} ${client.height}`, `command ${menuIds.Golf}`]).piles[0]);
  // Two turns of the stock, the second while the first one's search may run.
  for (let turn = 0; turn < 2; ++turn) await h.playStep(page, `tap ${stock.join(" ")}`);
  await page.waitForFunction(() => /Can be won/.test(document.getElementById("status").textContent), null,
    { timeout: 30000 });
  const status = await page.evaluate(() => {
    const line = document.getElementById("status");
    return { text: line.textContent, whole: line.scrollWidth <= line.clientWidth && line.scrollHeight <= line.clientHeight };
  });
  assert.match(status.text, /^Time:\d+ {2}Score:0\s+Can be won$/);
  assert.ok(status.whole, JSON.stringify(status));
  // The stock turned twice, as the driver's game does.
  const script = [`size ${client.width} ${client.height}`, `command ${menuIds.Golf}`, `tap ${stock.join(" ")}`,
    `tap ${stock.join(" ")}`];
  assertSamePixels(await h.canvasPixels(page), h.driverShot(TICK, script), "Golf after two turns");
  // H asks for the winning line's next move, as on the desktop.
  await page.keyboard.press("h");
  await page.waitForFunction(() => /^Hint: /.test(document.getElementById("status").textContent));
  assert.deepEqual(errors, []);
  await context.close();
});

test("?game=NAME starts on that game, as the desktop's --game does", async () => {
  const context = await browser.newContext({ viewport: DESKTOP });
  const page = await h.openPage(context, url(`tick=${TICK}&nosw&game=fReEcElL`), errors);
  assert.equal(await page.title(), "Freecell - Parlour");
  const { client } = await page.evaluate(() => window.parlourPage.layout());
  assertSamePixels(await h.canvasPixels(page),
    h.driverShot(TICK, [`size ${client.width} ${client.height}`, `command ${menuIds.Freecell}`]), "Freecell first");
  // A name of no game starts on the game last played, which stays kept.
  const unknown = await h.openPage(context, url(`tick=${TICK}&nosw&game=chess`), errors);
  assert.equal(await unknown.title(), "Freecell - Parlour");
  // "Winnable deals" is kept for the next visit as the game is.
  await h.pickFromMenu(unknown, "Winnable deals");
  await h.settled(unknown);
  // The first tab, still open, does not undo it when its bar changes.
  await page.keyboard.press("h");
  await page.waitForFunction(() => /^Hint: /.test(document.getElementById("status").textContent));
  const next = await h.openPage(context, url(`tick=${TICK}&nosw`), errors);
  await next.keyboard.press("F10");
  assert.equal(await next.getByRole("menuitemcheckbox", { name: /Winnable deals/ }).getAttribute("aria-checked"), "true");
  // Started on Spider, its suits are asked over the table laid out for the window.
  const spider = await context.newPage();
  await spider.goto(url(`tick=${TICK}&nosw&game=spider`));
  await spider.locator("#dialog-133").waitFor();
  const laidOut = await spider.evaluate(() => window.parlourPage.layout());
  assert.deepEqual(laidOut.canvas, { width: laidOut.client.width, height: laidOut.client.height });
  // And the window sized anew meanwhile, the table follows.
  await spider.setViewportSize({ width: DESKTOP.width - 300, height: DESKTOP.height - 100 });
  await spider.waitForFunction(() => {
    const { canvas, client } = window.parlourPage.layout();
    return canvas.width === client.width && canvas.height === client.height && document.querySelector("#dialog-133:not([inert])");
  }, null, { timeout: 5000 });
  assert.deepEqual(errors, []);
  await context.close();
});
