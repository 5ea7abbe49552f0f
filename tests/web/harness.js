// What the browser tests and the benchmark share: the site served on
// localhost, Debian's Chromium driven by playwright-core, the headless
// driver run on the same script, and the canvas read back.
"use strict";

const { spawn, spawnSync } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const zlib = require("node:zlib");
const { chromium } = require("playwright-core");

const ROOT = path.resolve(__dirname, "../..");
const SITE = process.env.PARLOUR_SITE || path.join(ROOT, "build/web/site");
const HEADLESS = process.env.PARLOUR_HEADLESS || path.join(ROOT, "build/web-tools/hosts/headless/parlour-headless");
const CHROMIUM = process.env.PARLOUR_CHROMIUM || "/usr/bin/chromium";

// Serves the site on a free port of localhost; resolves to its address.
function serve() {
  return new Promise((resolve, reject) => {
    const server = spawn("python3", [path.join(ROOT, "scripts/web_serve.py"), SITE, "0"], { stdio: ["ignore", "pipe", "inherit"] });
    let out = "";
    server.stdout.on("data", (chunk) => {
      out += chunk;
      const found = out.match(/http:\/\/localhost:\d+\//);
      if (found) resolve({ url: found[0], close: () => server.kill() });
    });
    server.on("exit", (code) => reject(new Error(`the server ended (${code})`)));
  });
}

function launch() {
  return chromium.launch({ executablePath: CHROMIUM, headless: true, args: ["--no-sandbox"] });
}

// Runs the driver on a script; returns its JSON lines.
function runDriver(tick, lines, dataDir) {
  const dir = dataDir || fs.mkdtempSync(path.join(os.tmpdir(), "parlour-driver-"));
  // A refused line (a disabled command) makes the status 1; the run goes on.
  const run = spawnSync(HEADLESS, ["--tick", String(tick), "--data-dir", dir], { input: lines.join("\n") + "\n" });
  if (run.status !== 0 && run.status !== 1) throw new Error(`the driver failed: ${run.stderr}`);
  return run.stdout.toString().split("\n").filter((l) => l.trim()).map((l) => JSON.parse(l));
}

// The driver's state after the script.
function driverState(tick, lines) {
  const out = runDriver(tick, [...lines, "state"]);
  return out[out.length - 1];
}

// A PNG's pixels as R, G, B, A bytes (8-bit RGB or RGBA, as the driver writes).
function decodePng(bytes) {
  let at = 8, width = 0, height = 0, type = 0;
  const idat = [];
  while (at < bytes.length) {
    const size = bytes.readUInt32BE(at), kind = bytes.toString("latin1", at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + size);
    if (kind === "IHDR") {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || (body[9] !== 2 && body[9] !== 6) || body[12] !== 0) throw new Error("unexpected PNG form");
      type = body[9];
    } else if (kind === "IDAT") {
      idat.push(body);
    }
    at += 12 + size;
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const channels = type === 6 ? 4 : 3, stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; ++x) {
      const a = x >= channels ? rows[y * stride + x - channels] : 0;
      const b = y > 0 ? rows[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? rows[(y - 1) * stride + x - channels] : 0;
      let v = line[x];
      if (filter === 1) v += a;
      else if (filter === 2) v += b;
      else if (filter === 3) v += (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        v += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      rows[y * stride + x] = v & 0xff;
    }
  }
  const rgba = Buffer.alloc(width * height * 4);
  for (let i = 0; i < width * height; ++i) {
    rgba[i * 4] = rows[i * channels];
    rgba[i * 4 + 1] = rows[i * channels + 1];
    rgba[i * 4 + 2] = rows[i * channels + 2];
    rgba[i * 4 + 3] = channels === 4 ? rows[i * channels + 3] : 255;
  }
  return { width, height, rgba };
}

// The driver's view after the script, as a shot.
function driverShot(tick, lines) {
  const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), "parlour-shot-")), "shot.png");
  runDriver(tick, [...lines, `shot ${file}`]);
  return decodePng(fs.readFileSync(file));
}

// A page of the site; console errors and page errors are collected in errors.
async function openPage(context, url, errors) {
  const page = await context.newPage();
  page.on("console", (message) => {
    if (message.type() === "error") errors.push(`${page.url()}: ${message.text()}`);
  });
  page.on("pageerror", (error) => errors.push(`${page.url()}: ${error.message}`));
  await page.goto(url);
  await page.evaluate(() => window.parlourPage.ready);
  await settled(page);
  return page;
}

const settled = (page) => page.evaluate(() => window.parlourPage.settled());

async function canvasPixels(page) {
  const { width, height, data } = await page.evaluate(() => {
    const canvas = document.getElementById("table");
    const pixels = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
    let text = "";
    for (let i = 0; i < pixels.length; i += 0x8000) text += String.fromCharCode.apply(null, pixels.subarray(i, i + 0x8000));
    return { width: canvas.width, height: canvas.height, data: btoa(text) };
  });
  return { width, height, rgba: Buffer.from(data, "base64") };
}

// Where view pixel (x, y) is on the page, in CSS pixels: its middle.
async function toPage(page, x, y) {
  return page.evaluate(([x, y]) => {
    const canvas = document.getElementById("table");
    const box = canvas.getBoundingClientRect();
    return [box.left + (x + 0.5) * box.width / canvas.width, box.top + (y + 0.5) * box.height / canvas.height];
  }, [x, y]);
}

// The key names of the driver's key command, as the page's keyboard has them.
const PAGE_KEYS = { Tab: "Tab", Backtab: "Shift+Tab", Left: "ArrowLeft", Right: "ArrowRight", Up: "ArrowUp",
  Down: "ArrowDown", Return: "Enter", Space: "Space", Escape: "Escape" };

// Plays one step on the page as the driver's script line says it.
async function playStep(page, line) {
  const [command, ...args] = line.split(" ");
  const n = args.map(Number);
  if (["tap", "down", "dblclk", "move", "up"].includes(command)) {
    // One to one with the driver's stylus: dblclk is the quick second press.
    const [x, y] = await toPage(page, n[0], n[1]);
    await page.mouse.move(x, y);
    if (command === "tap") await page.mouse.click(x, y);
    if (command === "down") await page.mouse.down();
    if (command === "dblclk") await page.mouse.down({ clickCount: 2 });
    if (command === "up") await page.mouse.up();
  } else if (command === "drag") {
    const [x1, y1] = await toPage(page, n[0], n[1]);
    const [x2, y2] = await toPage(page, n[2], n[3]);
    await page.mouse.move(x1, y1);
    await page.mouse.down();
    await page.mouse.move(x2, y2);
    await page.mouse.up();
  } else if (command === "key") {
    const name = args[0].startsWith("Shift+") ? "Shift+" + PAGE_KEYS[args[0].slice(6)] : PAGE_KEYS[args[0]];
    await page.keyboard.press(name);
  } else if (command === "command" || command === "answer") {
    throw new Error(`${command} is played through the page's own menu and dialogs`);
  }
  // "size" is the page's own layout, set before.
  await settled(page);
}

async function pickFromMenu(page, text) {
  await page.click("#softKeyRight");
  const menu = page.getByRole("menu");
  await menu.getByRole("menuitem", { name: text, exact: true })
    .or(menu.getByRole("menuitemcheckbox", { name: text, exact: true })).click();
  // A command may open a dialog, which waits for the test.
  await Promise.race([settled(page), page.locator(".backdrop").waitFor()]);
}

module.exports = { ROOT, SITE, HEADLESS, serve, launch, runDriver, driverState, driverShot, decodePng, openPage,
  settled, canvasPixels, toPage, playStep, pickFromMenu };
