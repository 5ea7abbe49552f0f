// The browser version's budgets, measured in headless Chromium on this
// machine; prints the figures and fails on none (see the README).
//   - the bytes the page loads, gzip-compressed as a server would send them;
//   - navigation to the first painted table, median of a number of loads;
//   - a drag step (the stylus moved, the table drawn and put on the canvas)
//     and a whole repaint of the table, 50th and 95th percentiles.
// Run by bench/web_budget.sh, which builds the site first.
"use strict";

const fs = require("node:fs");
const path = require("node:path");
const zlib = require("node:zlib");
const h = require("../tests/web/harness");

const LOADS = Number(process.env.PARLOUR_LOADS || 15);
const DRAG_STEPS = 300;
const REPAINTS = 200;

const percentile = (values, p) => {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(p / 100 * sorted.length))];
};
const ms = (v) => v.toFixed(2).padStart(8) + " ms";

async function transferred(browser, server) {
  const context = await browser.newContext({ viewport: { width: 1024, height: 768 } });
  const urls = new Set();
  context.on("request", (request) => urls.add(request.url().split("?")[0]));
  const page = await h.openPage(context, server.url, []);
  // The service worker's copy of every file for offline play counts too.
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 20000 });
  await context.close();
  // The service worker's own requests are not the page's: its list is read.
  const worker = fs.readFileSync(path.join(h.SITE, "sw.js"), "utf8");
  const listed = worker.slice(worker.indexOf("const FILES"), worker.indexOf("];")).match(/"[^"]+"/g) || [];
  for (const file of [...listed.map((f) => JSON.parse(f)), "sw.js"]) urls.add(new URL(file, server.url).href);
  let total = 0;
  console.log("Transferred (gzip -9 of each file the page and its service worker load):");
  for (const url of [...urls].sort()) {
    let file = decodeURIComponent(new URL(url).pathname).replace(/^\//, "");
    if (file === "" || file.endsWith("/")) file += "index.html";
    const full = path.join(h.SITE, file);
    if (!fs.existsSync(full)) continue;
    const bytes = fs.readFileSync(full);
    // Images are compressed already; a server sends them as they are.
    const sent = /\.(png)$/.test(file) ? bytes.length : zlib.gzipSync(bytes, { level: 9 }).length;
    total += sent;
    console.log(`  ${file.padEnd(28)} ${String(bytes.length).padStart(8)} B  ->  ${String(sent).padStart(7)} B`);
  }
  console.log(`  total${" ".repeat(46)}${String(total).padStart(7)} B  (${(total / 1024).toFixed(0)} KiB; budget 1 MB, aim 0.5 MB)`);
}

async function firstTable(browser, server) {
  const times = [];
  for (let i = 0; i < LOADS; ++i) {
    const context = await browser.newContext({ viewport: { width: 1024, height: 768 } });
    const page = await context.newPage();
    await page.goto(server.url + "?nosw");
    const t = await page.evaluate(() => new Promise((resolve) => {
      const look = () => {
        const mark = performance.getEntriesByName("parlour-first-table")[0];
        if (mark) resolve(mark.startTime); else setTimeout(look, 5);
      };
      look();
    }));
    times.push(t);
    await context.close();
  }
  console.log(`Navigation to the first painted table, ${LOADS} loads in new contexts:`);
  console.log(`  median ${ms(percentile(times, 50))}   95th ${ms(percentile(times, 95))}   (budget 500 ms median, aim 250)`);
}

async function dragAndRepaint(browser, server) {
  const context = await browser.newContext({ viewport: { width: 1024, height: 768 } });
  const page = await h.openPage(context, server.url + "?tick=100002&nosw", []);
  // A Klondike column's top card dragged round the table in small steps.
  const { client } = await page.evaluate(() => window.parlourPage.layout());
  const column = h.driverState(100002, [`size ${client.width} ${client.height}`]).piles[8];
  const top = column.cards[column.cards.length - 1];
  const [x, y] = await h.toPage(page, top[2] + 12, top[3] + 17);
  await page.evaluate(() => (window.parlourPage.stats.events.length = 0));
  await page.mouse.move(x, y);
  await page.mouse.down();
  for (let i = 1; i <= DRAG_STEPS; ++i) {
    const a = i / DRAG_STEPS * 2 * Math.PI;
    await page.mouse.move(x - 300 + 300 * Math.cos(a), y + 200 * Math.sin(a));
    // A look at the card half way, when asked for.
    if (i === DRAG_STEPS / 2 && process.env.PARLOUR_DRAG_SHOT) await page.screenshot({ path: process.env.PARLOUR_DRAG_SHOT });
  }
  await page.mouse.up();
  await h.settled(page);
  const steps = await page.evaluate(() => window.parlourPage.stats.events.slice(1, -1));
  // The whole table laid out and drawn again at another size, and back.
  const repaints = await page.evaluate((count) => {
    const times = [];
    const { client } = window.parlourPage.layout();
    for (let i = 0; i < count; ++i) {
      const t0 = performance.now();
      Module.ccall("web_event", "number", ["number", "number", "number"], [9, client.width - (i % 2), client.height]);
      times.push(performance.now() - t0);
    }
    Module.ccall("web_event", "number", ["number", "number", "number"], [9, client.width, client.height]);
    return times;
  }, REPAINTS);
  await context.close();
  console.log(`A drag step (stylus move, drawing, canvas), ${steps.length} steps:`);
  console.log(`  median ${ms(percentile(steps, 50))}   95th ${ms(percentile(steps, 95))}   (budget 16 ms at the 95th)`);
  console.log(`A whole repaint of a 512 x 358 table, ${repaints.length} times:`);
  console.log(`  median ${ms(percentile(repaints, 50))}   95th ${ms(percentile(repaints, 95))}   (budget 16 ms at the 95th)`);
}

(async () => {
  const server = await h.serve();
  const browser = await h.launch();
  try {
    await transferred(browser, server);
    await firstTable(browser, server);
    await dragAndRepaint(browser, server);
  } finally {
    await browser.close();
    server.close();
  }
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
