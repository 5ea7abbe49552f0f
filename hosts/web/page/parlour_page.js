// The page's half of the browser host: it sizes the table, hands the
// program the stylus and the keys, draws its surface on the canvas and
// shows its soft keys, menu, dialogs and message boxes as HTML. The
// program's half is hosts/web/web_host.cpp; they talk through web_event
// and the parlourPage calls below.
"use strict";

(function () {
  // The handheld's table and bar, in table pixels.
  const TABLE_WIDTH = 240, TABLE_HEIGHT = 268, BAR_HEIGHT = 26;
  // The events web_event takes (hosts/web/main.cpp).
  const EV = { down: 1, double: 2, move: 3, up: 4, key: 5, command: 6, timers: 7, idle: 8, resize: 9, scores: 10 };
  const VK = { Tab: 0x09, Enter: 0x0D, Escape: 0x1B, " ": 0x20, ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28,
    h: 0x48, H: 0x48 };
  // Held down, the moves repeat; a tap, a drop or a put-back happens once a press.
  const REPEATS = new Set(["Tab", "ArrowLeft", "ArrowRight", "ArrowUp", "ArrowDown"]);
  // RESIZED: no button; the window changed size under the dialog.
  const ID = { OK: 1, CANCEL: 2, YES: 6, NO: 7, RESIZED: 0 };
  // A finger or a pen has no double-click setting the page can read: a second
  // tap this soon and this near (in CSS pixels) is a double tap.
  const DOUBLE_TAP_MS = 500, DOUBLE_TAP_SLOP = 12;
  // The least font a dialog shrinks to on a narrow screen, in CSS pixels.
  const MIN_DIALOG_FONT_PX = 9;
  // On a touch screen a dialog grows, up to this, while it fits: its
  // buttons and arrows are then big enough for a finger.
  const TOUCH_DIALOG_FONT_PX = 20;
  const touchScreen = window.matchMedia && window.matchMedia("(pointer: coarse)").matches;
  // What a finger needs, in CSS pixels (the style sheet's touch rules too).
  const TOUCH_TARGET_PX = 44;
  // The files the program keeps between runs, each under its key in the
  // browser's storage as its very bytes.
  const KEPT_FILES = { "Scores.dat": "parlour.scores", "Statistics.dat": "parlour.statistics" };
  const LAST_GAME = "parlour.game";
  const WINNABLE_DEALS = "parlour.winnable";
  // What this tab last kept or found there: it keeps only a change of its
  // own, never undoing what another tab kept since.
  const kept = { game: "", winnable: false };

  const params = new URLSearchParams(location.search);
  const fixedTick = params.has("tick") ? Number(params.get("tick")) : null;

  const $ = (id) => document.getElementById(id);
  const canvas = $("table"), area = $("area"), bar = $("bar"), statusLine = $("status");
  const leftKey = $("softKeyLeft"), rightKey = $("softKeyRight");
  const ctx = canvas.getContext("2d", { alpha: false });

  let started = false, ended = false;
  let busy = false;            // a handler of the program runs, or is suspended
  let idleWanted = false, timersWanted = false, resizeWanted = false;
  let timer = null;
  let zoom = 1, ui = 1, client = { width: TABLE_WIDTH, height: TABLE_HEIGHT }, sentClient = null;
  let softKeys = [];
  let accelerators = [];
  let openMenu = null, modalOpen = 0;
  let readyResolve;
  const ready = new Promise((resolve) => (readyResolve = resolve));
  let settledWaiters = [];
  let filesLoaded = false;  // the kept files are in the program's folder
  const stats = { firstTable: null, events: [] };

  // --- Storage: Scores.dat's and Statistics.dat's very bytes -------------
  function toBase64(bytes) {
    let s = "";
    for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(s);
  }
  function fromBase64(text) {
    const s = atob(text), bytes = new Uint8Array(s.length);
    for (let i = 0; i < s.length; ++i) bytes[i] = s.charCodeAt(i);
    return bytes;
  }
  function storedFile(name) {
    try {
      const text = localStorage.getItem(KEPT_FILES[name]);
      return text ? fromBase64(text) : null;
    } catch (e) {
      return null;
    }
  }
  function dataDir() { return Module.UTF8ToString(Module._web_data_dir()); }
  function currentScores() {
    try { return Module.FS.readFile(dataDir() + "Scores.dat"); } catch (e) { return null; }
  }
  function writeFile(path, bytes) {
    const folder = path.slice(0, path.lastIndexOf("/"));
    try { Module.FS.mkdir(folder); } catch (e) { /* there already */ }
    Module.FS.writeFile(path, bytes);
  }

  // --- Layout: a whole zoom that fits, as the desktop window does -------
  function fit() {
    const dpr = window.devicePixelRatio || 1;
    const w = Math.max(1, Math.floor(window.innerWidth * dpr));
    const h = Math.max(1, Math.floor(window.innerHeight * dpr));
    zoom = Math.max(1, Math.min(Math.floor(w / TABLE_WIDTH), Math.floor(h / (TABLE_HEIGHT + BAR_HEIGHT))));
    ui = zoom / dpr;
    // On a touch screen the soft keys are never lower than a finger (the
    // bar's padding and border around them).
    const barHeight = Math.max(BAR_HEIGHT * zoom, touchScreen ? Math.ceil((TOUCH_TARGET_PX + 4 * ui + 2) * dpr) : 0);
    client = { width: Math.max(1, Math.floor(w / zoom)), height: Math.max(1, Math.floor((h - barHeight) / zoom)) };
    document.documentElement.style.setProperty("--ui", String(ui));
    bar.style.height = (barHeight / dpr) + "px";
    sizeCanvas();
    fitStatus();
    const changed = !sentClient || sentClient.width !== client.width || sentClient.height !== client.height;
    // An open dialog or message box answers that the window changed (also
    // one the program asks while it starts): the program lays the table out
    // for it and shows the dialog again.
    if (changed && answerResized) answerResized();
    if (started && changed) {
      resizeWanted = true;
      pump();
    }
  }
  // The status as the desktop's bar shows it: in the bar's font, or smaller
  // down to two thirds of it; a text too long for one line even so takes
  // two, broken between the bar's fields (two spaces) or else between
  // words, the more even the better.
  let statusText = "";
  const measure = document.createElement("canvas").getContext("2d");
  function lineBreaks(text) {
    const breaks = [];
    for (let at = text.indexOf(" "); at > 0; at = text.indexOf(" ", at + 1)) {
      if (text[at - 1] === " ") continue;
      const lines = [text.slice(0, at).trim(), text.slice(at).trim()];
      if (lines[0] && lines[1]) breaks.push({ lines, betweenFields: text[at + 1] === " " });
    }
    return breaks;
  }
  function fitStatus() {
    const family = getComputedStyle(statusLine).fontFamily;
    const width = statusLine.clientWidth, height = bar.clientHeight - 4 * ui;
    const largest = 12 * ui, smallest = 8 * ui;
    const widths = (size, lines) => {
      measure.font = size + "px " + family;
      return lines.map((line) => measure.measureText(line).width);
    };
    const fits = (size, lines) =>
      lines.length * size * 1.2 <= height && Math.max(...widths(size, lines)) <= width;
    let shown = null;
    for (let size = largest; !shown && size >= smallest; size -= ui / 2)
      if (fits(size, [statusText])) shown = { size, lines: [statusText] };
    const breaks = shown ? [] : lineBreaks(statusText);
    for (let size = largest; !shown && breaks.length && size >= smallest; size -= ui / 2) {
      let best = null;
      for (const split of breaks) {
        if (!fits(size, split.lines)) continue;
        const widest = Math.max(...widths(size, split.lines));
        if (!best || (split.betweenFields && !best.betweenFields) ||
            (split.betweenFields === best.betweenFields && widest < best.widest))
          best = { ...split, widest };
      }
      if (best) shown = { size, lines: best.lines };
    }
    shown = shown || { size: smallest, lines: [statusText] };  // cut, with an ellipsis
    statusLine.style.fontSize = shown.size + "px";
    statusLine.classList.toggle("two-lines", shown.lines.length > 1);
    statusLine.textContent = shown.lines.join("\n");
  }
  function sizeCanvas() {
    const dpr = window.devicePixelRatio || 1;
    canvas.style.width = (canvas.width * zoom / dpr) + "px";
    canvas.style.height = (canvas.height * zoom / dpr) + "px";
  }

  // --- Calling the program --------------------------------------------
  // One handler at a time; input that comes while one runs (an animation
  // sleeping, a dialog open) is dropped, as the desktop drops it. Timers,
  // the idle step and a new size wait for it instead.
  function call(kind, a, b) {
    if (!started || ended || busy) return false;
    busy = true;
    const t0 = performance.now();
    let result;
    try {
      result = Module.ccall("web_event", "number", ["number", "number", "number"], [kind, a | 0, b | 0], { async: true });
    } catch (e) {
      busy = false;
      throw e;
    }
    Promise.resolve(result).then((alive) => {
      busy = false;
      if (kind === EV.move || kind === EV.down || kind === EV.up) {
        stats.events.push(performance.now() - t0);
        if (stats.events.length > 2000) stats.events.shift();
      }
      if (!alive) return end();
      pump();
    }, (error) => {
      busy = false;
      console.error(error);
    });
    return true;
  }
  function pump() {
    if (busy) return;
    if (softKeyWanted && started && !ended) {
      const button = softKeyWanted;
      softKeyWanted = null;
      if (!modalOpen && !button.hidden && !button.disabled) pressSoftKey(button);
      if (busy) return;
    }
    if (started && !ended) {
      if (resizeWanted) {
        resizeWanted = false;
        sentClient = client;
        call(EV.resize, client.width, client.height);
      } else if (timersWanted) {
        timersWanted = false;
        call(EV.timers, 0, 0);
      } else if (idleWanted) {
        idleWanted = false;
        call(EV.idle, 0, 0);
      }
    }
    if (!busy && (ended || !started || (!resizeWanted && !timersWanted && !idleWanted))) {
      // Whatever is left of a dialog the program has finished with goes.
      dropAnsweredDialogs();
      const waiters = settledWaiters;
      settledWaiters = [];
      waiters.forEach((resolve) => resolve());
    }
  }
  function command(id) {
    if (!call(EV.command, id, 0)) return;
  }

  // --- What the program calls (EM_JS in web_host.cpp) ------------------
  const page = {
    present(rgba, width, height, x, y, w, h) {
      if (canvas.width !== width || canvas.height !== height) {
        canvas.width = width;
        canvas.height = height;
        sizeCanvas();
        x = 0; y = 0; w = width; h = height;
      }
      const image = new ImageData(new Uint8ClampedArray(rgba.buffer, rgba.byteOffset, width * height * 4), width, height);
      ctx.putImageData(image, 0, 0, x, y, w, h);
      if (stats.firstTable === null) {
        stats.firstTable = performance.now();
        performance.mark("parlour-first-table");
        $("loading").hidden = true;
        $("app").setAttribute("aria-busy", "false");
      }
    },
    scheduleIdle() {
      if (idleWanted) return;
      idleWanted = true;
      setTimeout(pump, 0);
    },
    armTimer(ms) {
      if (timer !== null) clearTimeout(timer);
      timer = null;
      if (ms < 0) return;
      timer = setTimeout(() => {
        timer = null;
        timersWanted = true;
        pump();
      }, Math.min(ms, 0x7fffffff));
    },
    bar(status, caption, keys, game, winnable) {
      statusText = status;
      fitStatus();
      document.title = caption;
      if (keys !== null) showSoftKeys(JSON.parse(keys));
      // The next visit starts on the game last shown, with "Winnable deals"
      // as it was left, as the desktop does.
      if (game && game !== kept.game) {
        kept.game = game;
        try { localStorage.setItem(LAST_GAME, game); } catch (e) { /* not kept: Klondike next time */ }
      }
      if (winnable !== kept.winnable) {
        kept.winnable = winnable;
        try {
          if (winnable) localStorage.setItem(WINNABLE_DEALS, "yes");
          else localStorage.removeItem(WINNABLE_DEALS);
        } catch (e) { /* not kept */ }
      }
    },
    focusText(text) { canvas.setAttribute("aria-label", text || "Parlour"); },
    announce(text) {
      const told = $("told");
      told.textContent = "";
      // A new node each time, so the same words are read again.
      setTimeout(() => (told.textContent = text), 30);
    },
    fileSaved(name, bytes) {
      try {
        localStorage.setItem(KEPT_FILES[name], toBase64(bytes));
      } catch (e) {
        console.warn(`Parlour: the browser would not keep ${name}`, e);
      }
    },
    quit() { ended = true; },
    messageBox(text, yesNo, icon) { return showMessageBox(text, yesNo, icon); },
    dialog(description) { return showDialog(description); },
    takeClientSize() {
      sentClient = client;
      resizeWanted = false;
      return client;
    },
  };
  window.parlourPage = page;

  // For the tests and the benchmark: settles when nothing is left to run.
  page.ready = ready;
  page.settled = () => new Promise((resolve) => {
    settledWaiters.push(resolve);
    pump();
  });
  page.stats = stats;
  page.layout = () => ({ zoom, ui, client, canvas: { width: canvas.width, height: canvas.height } });
  page.busy = () => busy;

  function end() {
    ended = true;
    closeMenu();
    // The table and its keys stay on the page under the screen that says
    // so, out of reach of the pointer, the keys and a screen reader.
    $("app").inert = true;
    $("told").textContent = "";
    const screen = document.createElement("div");
    screen.className = "ended";
    screen.setAttribute("role", "alert");
    const words = document.createElement("p");
    words.textContent = "Parlour has ended.";
    const again = document.createElement("button");
    again.type = "button";
    again.textContent = "Play again";
    again.addEventListener("click", () => location.reload());
    screen.append(words, again);
    document.body.append(screen);
    again.focus();
  }

  // --- The soft-key bar ----------------------------------------------
  function showSoftKeys(keys) {
    softKeys = keys;
    const left = keys[0], right = keys.length > 1 ? keys[keys.length - 1] : null;
    for (const [button, key] of [[leftKey, left], [rightKey, right]]) {
      button.hidden = !key;
      if (!key) continue;
      button.textContent = key.text;
      button.disabled = !key.enabled;
      button.dataset.command = key.command;
      button.dataset.menu = key.menu ? "1" : "";
    }
  }
  // A soft key pressed while the program is busy (a move's aftermath, an
  // animation) is pressed when it is done, unless a dialog came up
  // meanwhile: a tap just after a drag is not lost.
  let softKeyWanted = null;
  function pressSoftKey(button) {
    if (busy && !modalOpen) {
      softKeyWanted = button;
      return;
    }
    if (button.dataset.menu) {
      if (openMenu) closeMenu(); else showMenu();
    } else {
      command(Number(button.dataset.command));
    }
  }
  // A finger or a pen presses a soft key as it lifts: Chromium sends no
  // click for a tap that comes just after a flick on the table, so the click
  // is only the mouse's and the keyboard's (one that follows a finger's
  // lift is that lift's own, pressed or slid off).
  const TAP_CLICK_MS = 800;
  for (const button of [leftKey, rightKey]) {
    const press = () => {
      pressSoftKey(button);
      if (!openMenu) canvas.focus();
    };
    // A press does not take the focus from the menu's first item or the table.
    button.addEventListener("mousedown", (event) => event.preventDefault());
    let downOn = null;    // the pointer pressed on the key (none when the press closed the menu)
    let liftedAt = null;  // when a finger's press was pressed as it lifted
    button.addEventListener("pointerdown", (event) => {
      downOn = event.pointerId;
      liftedAt = null;
    });
    button.addEventListener("pointercancel", () => { downOn = null; });
    button.addEventListener("pointerup", (event) => {
      const pressedHere = downOn === event.pointerId;
      downOn = null;
      if (!pressedHere || event.pointerType === "mouse" || button.disabled) return;
      liftedAt = event.timeStamp;
      const box = button.getBoundingClientRect();
      if (event.clientX < box.left || event.clientX > box.right ||
          event.clientY < box.top || event.clientY > box.bottom) return;  // slid off: no press
      press();
    });
    button.addEventListener("click", (event) => {
      const ownClick = liftedAt !== null && event.detail > 0 && event.timeStamp - liftedAt < TAP_CLICK_MS;
      liftedAt = null;
      if (ownClick) return;
      press();
    });
  }

  // --- The pop-up menu ----------------------------------------------
  // A choice (a game, Winnable deals) is a checkbox item for a screen
  // reader whether on or off; only one that is on shows its mark.
  function menuItem(text, { enabled = true, checked = false, checkable = checked, onChoose }) {
    const item = document.createElement("button");
    item.type = "button";
    item.tabIndex = -1;
    item.setAttribute("role", checkable ? "menuitemcheckbox" : "menuitem");
    if (checkable) item.setAttribute("aria-checked", String(checked));
    if (!enabled) item.setAttribute("aria-disabled", "true");
    const mark = document.createElement("span");
    mark.className = "mark";
    mark.setAttribute("aria-hidden", "true");
    mark.textContent = checked ? "✓" : "";
    const label = document.createElement("span");
    label.textContent = text;
    item.append(mark, label);
    item.addEventListener("click", () => {
      if (!enabled) return;
      closeMenu();
      canvas.focus();
      onChoose();
    });
    return item;
  }
  function separator() {
    const line = document.createElement("div");
    line.setAttribute("role", "separator");
    return line;
  }
  function showMenu() {
    if (busy || ended || modalOpen) return;
    const menu = JSON.parse(Module.UTF8ToString(Module._web_menu()));
    const list = document.createElement("div");
    list.className = "menu";
    list.id = "popupMenu";
    list.setAttribute("role", "menu");
    list.setAttribute("aria-label", menu.title || "Menu");
    for (const item of menu.items) {
      if (item.separator) list.append(separator());
      else list.append(menuItem(item.text, { enabled: item.enabled, checked: item.checked, checkable: item.checkable,
        onChoose: () => command(item.id) }));
    }
    // The page's own: the hi-score file to take away or to bring in.
    list.append(separator());
    list.append(menuItem("Download hi scores", { enabled: currentScores() !== null, onChoose: downloadScores }));
    list.append(menuItem("Load hi scores...", { onChoose: () => $("scoresFile").click() }));
    document.body.append(list);
    placeMenu(list);
    // As large as the zoom asks, and smaller where the window is too low to
    // show every item (one too long even then scrolls; on a touch screen
    // the items keep a finger's height, so a smaller font would not help).
    for (let fontPx = parseFloat(getComputedStyle(list).fontSize);
      !touchScreen && fontPx > MIN_DIALOG_FONT_PX && list.scrollHeight > list.clientHeight; --fontPx) {
      list.style.fontSize = (fontPx - 1) + "px";
    }
    openMenu = list;
    rightKey.setAttribute("aria-expanded", "true");
    list.addEventListener("keydown", menuKeys);
    const first = menuItems().find((i) => i.getAttribute("aria-disabled") !== "true");
    (first || list).focus();
  }
  // Above the bar at the right, and never past the top of the window (a
  // phone turned sideways): it scrolls. Placed again when the window changes.
  function placeMenu(list) {
    const anchor = rightKey.getBoundingClientRect();
    const barTop = bar.getBoundingClientRect().top;
    list.style.right = Math.max(0, window.innerWidth - anchor.right) + "px";
    list.style.bottom = Math.max(0, window.innerHeight - barTop) + "px";
    list.style.maxHeight = Math.max(0, Math.min(barTop, window.innerHeight * 0.9)) + "px";
  }
  function menuItems() {
    return openMenu ? Array.from(openMenu.querySelectorAll("[role^='menuitem']")) : [];
  }
  function menuKeys(event) {
    const items = menuItems();
    const at = items.indexOf(document.activeElement);
    if (event.key === "ArrowDown" || event.key === "ArrowUp") {
      event.preventDefault();
      const step = event.key === "ArrowDown" ? 1 : -1;
      if (items.length) items[(at + step + items.length) % items.length].focus();
    } else if (event.key === "Home" || event.key === "End") {
      event.preventDefault();
      if (items.length) items[event.key === "Home" ? 0 : items.length - 1].focus();
    } else if (event.key === "Escape" || event.key === "Tab") {
      event.preventDefault();
      closeMenu();
      canvas.focus();
    }
    event.stopPropagation();
  }
  function closeMenu() {
    if (!openMenu) return;
    openMenu.remove();
    openMenu = null;
    rightKey.setAttribute("aria-expanded", "false");
  }
  document.addEventListener("pointerdown", (event) => {
    if (!openMenu || openMenu.contains(event.target) || event.target === rightKey) return;
    closeMenu();
    // As a desktop's pop-up menu does, the press that closes it does nothing
    // else: not a move on the table, nor a soft key's click.
    event.preventDefault();
    event.stopPropagation();
    const swallow = (click) => {
      click.preventDefault();
      click.stopPropagation();
    };
    document.addEventListener("click", swallow, { capture: true, once: true });
    setTimeout(() => document.removeEventListener("click", swallow, true), DOUBLE_TAP_MS);
  }, true);

  function downloadScores() {
    const bytes = currentScores();
    if (!bytes) return;
    const link = document.createElement("a");
    link.href = URL.createObjectURL(new Blob([bytes], { type: "application/octet-stream" }));
    link.download = "Scores.dat";
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
  }
  $("scoresFile").addEventListener("change", async (event) => {
    const file = event.target.files[0];
    event.target.value = "";
    if (!file) return;
    // A hi-score file is a few kilobytes; the program refuses far larger
    // ones, and anything else that is no hi-score file, itself.
    const bytes = new Uint8Array(await file.arrayBuffer());
    writeFile(Module.UTF8ToString(Module._web_loaded_scores_path()), bytes);
    call(EV.scores, 0, 0);
  });

  // --- The stylus: mouse, finger or pen -----------------------------
  function toView(clientX, clientY) {
    const box = canvas.getBoundingClientRect();
    return [Math.floor((clientX - box.left) * canvas.width / box.width),
            Math.floor((clientY - box.top) * canvas.height / box.height)];
  }
  let pressed = null;   // the press the program was given: its pointer
  let lastTap = null;   // a finger's or pen's last press, for a double tap
  // The mouse keeps the system's double-click setting: the browser counts clicks.
  canvas.addEventListener("mousedown", (event) => {
    if (event.button !== 0 || modalOpen) return;
    canvas.focus();
    const [x, y] = toView(event.clientX, event.clientY);
    const double = event.detail > 1 && event.detail % 2 === 0;
    if (call(double ? EV.double : EV.down, x, y)) pressed = "mouse";
    event.preventDefault();
  });
  window.addEventListener("mousemove", (event) => {
    if (pressed !== "mouse" || !(event.buttons & 1)) return;
    const [x, y] = toView(event.clientX, event.clientY);
    call(EV.move, x, y);
  });
  window.addEventListener("mouseup", (event) => {
    if (pressed !== "mouse" || event.button !== 0) return;
    pressed = null;
    const [x, y] = toView(event.clientX, event.clientY);
    call(EV.up, x, y);
  });
  canvas.addEventListener("pointerdown", (event) => {
    if (event.pointerType === "mouse" || !event.isPrimary || modalOpen) return;
    // No mouse events follow for it, and the page does not scroll.
    event.preventDefault();
    canvas.focus();
    const now = event.timeStamp;
    const double = lastTap !== null && now - lastTap.time <= DOUBLE_TAP_MS &&
      Math.hypot(event.clientX - lastTap.x, event.clientY - lastTap.y) <= DOUBLE_TAP_SLOP;
    lastTap = double ? null : { time: now, x: event.clientX, y: event.clientY };
    const [x, y] = toView(event.clientX, event.clientY);
    if (call(double ? EV.double : EV.down, x, y)) {
      pressed = event.pointerId;
      try { canvas.setPointerCapture(event.pointerId); } catch (e) { /* gone already */ }
    }
  });
  canvas.addEventListener("pointermove", (event) => {
    if (pressed !== event.pointerId) return;
    // A press that becomes a drag is no tap: the next press is a press of its own.
    if (lastTap && Math.hypot(event.clientX - lastTap.x, event.clientY - lastTap.y) > DOUBLE_TAP_SLOP)
      lastTap = null;
    const [x, y] = toView(event.clientX, event.clientY);
    call(EV.move, x, y);
  });
  const lift = (event) => {
    if (pressed !== event.pointerId) return;
    pressed = null;
    const [x, y] = toView(event.clientX, event.clientY);
    call(EV.up, x, y);
  };
  canvas.addEventListener("pointerup", lift);
  canvas.addEventListener("pointercancel", lift);
  canvas.addEventListener("contextmenu", (event) => event.preventDefault());

  // --- The keys ------------------------------------------------------
  function acceleratorFor(event) {
    const key = event.key.length === 1 ? event.key.toUpperCase() : event.key;
    return accelerators.find((a) => (a.function ? key === "F" + a.key
      : a.control === (event.ctrlKey || event.metaKey) && a.shift === event.shiftKey && !event.altKey &&
        key === a.key));
  }
  document.addEventListener("keydown", (event) => {
    if (ended || modalOpen || openMenu) return;
    const accelerator = acceleratorFor(event);
    if (accelerator) {
      event.preventDefault();
      command(accelerator.command);
      return;
    }
    if (event.ctrlKey || event.altKey || event.metaKey) return;
    // The keyboard's way to the soft key "Menu", as on a desktop's menu bar.
    if (event.key === "F10" || event.key === "ContextMenu") {
      event.preventDefault();
      if (!rightKey.hidden && !busy) showMenu();
      return;
    }
    const vk = VK[event.key];
    if (vk === undefined) return;
    // The bar's buttons keep their own Return and Space.
    if (document.activeElement && document.activeElement !== canvas && document.activeElement !== document.body &&
        (event.key === "Enter" || event.key === " ")) return;
    event.preventDefault();
    if (event.repeat && !REPEATS.has(event.key)) return;
    canvas.focus();
    call(EV.key, vk, event.shiftKey ? 1 : 0);
  });

  // --- Dialogs and message boxes ---------------------------------------
  // A dialog answered stays on the screen, inert, until the program has
  // taken the answer: a message box about a refused value shows over it,
  // and the dialog shown again takes its place.
  let answeredDialogs = [];
  // The open dialog's or message box's answer to a new window size, and
  // where its focus was, for it to come back there when shown again.
  let answerResized = null, reshown = null;
  function dropAnsweredDialogs() {
    answeredDialogs.forEach(({ close }) => close());
    answeredDialogs = [];
  }

  function modal(panel, labelledBy) {
    const backdrop = document.createElement("div");
    backdrop.className = "backdrop";
    panel.setAttribute("aria-modal", "true");
    if (labelledBy) panel.setAttribute("aria-labelledby", labelledBy);
    backdrop.append(panel);
    // The focus stays inside while it is open.
    panel.addEventListener("keydown", (event) => {
      if (event.key !== "Tab") return;
      const stops = Array.from(panel.querySelectorAll("button:not(.close), input, textarea, [tabindex='0']"))
        .filter((e) => !e.disabled && e.tabIndex >= 0 && e.offsetParent !== null && !(e.type === "radio" && !e.checked && e.name &&
          panel.querySelector(`input[name="${e.name}"]:checked`)));
      if (!stops.length) return;
      const at = stops.indexOf(document.activeElement);
      const next = event.shiftKey ? (at <= 0 ? stops.length - 1 : at - 1) : (at + 1) % stops.length;
      stops[next].focus();
      event.preventDefault();
    });
    document.body.append(backdrop);
    ++modalOpen;
    softKeyWanted = null;
    closeMenu();
    return () => {
      backdrop.remove();
      --modalOpen;
      if (!modalOpen) canvas.focus();
    };
  }

  function showMessageBox(text, yesNo, icon) {
    return new Promise((resolve) => {
      const panel = document.createElement("div");
      panel.className = "dialog message";
      panel.setAttribute("role", "alertdialog");
      // In the bar's size; on a touch screen as large as a dialog's that fits.
      panel.style.fontSize = Math.max(12 * Math.max(ui, 1), touchScreen ? TOUCH_DIALOG_FONT_PX : 0) + "px";
      const title = document.createElement("h2");
      title.className = "unseen";
      title.id = "messageTitle";
      title.textContent = "Parlour";
      const words = document.createElement("p");
      words.id = "messageText";
      words.textContent = text;
      panel.setAttribute("aria-describedby", "messageText");
      const buttons = document.createElement("div");
      buttons.className = "buttons";
      const close = modal(panel, "messageTitle");
      const answer = (result) => {
        answerResized = null;
        close();
        resolve(result);
      };
      const choices = yesNo ? [["Yes", ID.YES], ["No", ID.NO]] : [["OK", ID.OK]];
      for (const [label, result] of choices) {
        const button = document.createElement("button");
        button.type = "button";
        button.textContent = label;
        button.dataset.result = result;
        button.addEventListener("click", () => answer(result));
        buttons.append(button);
      }
      panel.addEventListener("keydown", (event) => {
        if (event.key !== "Escape") return;
        // Handled here: the table never sees it.
        event.preventDefault();
        event.stopPropagation();
        answer(yesNo ? ID.NO : ID.OK);
      });
      panel.append(title, words, buttons);
      const kept = reshown && reshown.message === text ? buttons.children[reshown.button] : null;
      reshown = null;
      (kept || buttons.firstChild).focus();
      answerResized = () => {
        reshown = { message: text, button: Array.from(buttons.children).indexOf(document.activeElement) };
        answer(ID.RESIZED);
      };
      // A size the window took while the program was busy is taken now.
      if (resizeWanted) answerResized();
    });
  }

  // A static's "&" marks a mnemonic and is not shown; "&&" shows one "&".
  const staticText = (text) => text.replace(/&(&?)/g, "$1");
  const CTRL = { GROUP: 0x1, BORDER: 0x2, CENTER: 0x8, AUTOBUDDY: 0x20, SETBUDDYINT: 0x40, ALIGNRIGHT: 0x80,
    NUMBER: 0x100, RIGHT: 0x200, PUSHLIKE: 0x400, MULTILINE: 0x800, READONLY: 0x1000 };
  let dialogCount = 0;
  const iconCache = new Map();

  function iconUrl(name) {
    if (iconCache.has(name)) return iconCache.get(name);
    let url = "";
    const ptr = Module.ccall("web_icon", "number", ["string"], [name]);
    if (ptr) {
      const w = Module.HEAP32[ptr >> 2], h = Module.HEAP32[(ptr >> 2) + 1];
      const pixels = new Uint8ClampedArray(Module.HEAPU8.slice(ptr + 8, ptr + 8 + w * h * 4).buffer);
      const c = document.createElement("canvas");
      c.width = w; c.height = h;
      c.getContext("2d").putImageData(new ImageData(pixels, w, h), 0, 0);
      url = c.toDataURL();
    }
    iconCache.set(name, url);
    return url;
  }

  // Dialog units to CSS pixels, from the font as the old system measured it.
  function baseUnits(fontPx) {
    const probe = document.createElement("canvas").getContext("2d");
    probe.font = `${fontPx}px system-ui, "DejaVu Sans", sans-serif`;
    const metrics = probe.measureText("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const height = metrics.fontBoundingBoxAscent !== undefined
      ? metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent : fontPx * 1.2;
    return { x: Math.max(1, Math.floor((metrics.width / 26 + 1) / 2)), y: Math.max(1, Math.ceil(height)) };
  }

  function showDialog(d) {
    return new Promise((resolve) => {
      const number = ++dialogCount;
      // Laid out in units of its font: as large as the table's zoom asks,
      // and smaller on a screen too narrow or too low for it, so that it
      // never runs off the side or below the bottom with its buttons (one
      // still too tall at the least font scrolls).
      const handheldPx = (d.fontSize || 8) * 4 / 3;
      // On a touch screen a dialog ends a margin below its lowest control,
      // where its template leaves more room under it (the ball settings):
      // that room goes to drawing it out for a finger (below). A dialog
      // without buttons keeps its height, the shell's OK at its foot.
      const isButton = (c) => c.kind === "button" || c.kind === "default" ||
        (c.kind === "radio" && (c.style & CTRL.PUSHLIKE));
      const hasButtons = d.controls.some(isButton);
      const height = touchScreen && hasButtons ? Math.min(d.height, Math.max(...d.controls.map((c) => c.rect[3])) + 7)
        : d.height;
      let fontPx = Math.round(handheldPx * Math.max(ui, 1));
      let units = baseUnits(fontPx);
      const room = window.innerWidth - 8;
      const tooBig = (u, font) => d.width * u.x / 4 > room ||
        height * u.y / 8 + Math.max(font * 1.8, touchScreen ? 44 : 0) + 2 > window.innerHeight - 8;
      while (fontPx > MIN_DIALOG_FONT_PX && tooBig(units, fontPx)) units = baseUnits(--fontPx);
      const fits = (u) => d.width * u.x / 4 <= room * 0.9 && height * u.y / 8 <= (window.innerHeight - 40) * 0.8;
      while (touchScreen && fontPx < TOUCH_DIALOG_FONT_PX && fits(baseUnits(fontPx + 1))) units = baseUnits(++fontPx);
      // On a touch screen a dialog's buttons, its choices drawn as buttons and
      // the arrows beside a number box (as high as the box) are for a finger:
      // where the font cannot make the lowest of them a finger's height, the
      // dialog is drawn out downwards, its rows further apart, as far as the
      // window lets it (a dialog without buttons gets the shell's OK, 14
      // units high).
      const fingerHeights = d.controls.filter((c, i) => isButton(c) ||
        (c.kind === "edit" && d.controls[i + 1]?.kind === "updown")).map((c) => c.rect[3] - c.rect[1]);
      if (!hasButtons) fingerHeights.push(14);
      if (touchScreen) {
        const lowest = Math.min(...fingerHeights);
        const wanted = Math.ceil((TOUCH_TARGET_PX + 1) * 8 / lowest);
        const room = Math.floor((window.innerHeight - 10 - Math.max(fontPx * 1.8, TOUCH_TARGET_PX)) * 8 / height);
        units = { x: units.x, y: Math.max(units.y, Math.min(wanted, room)) };
      }
      const scale = fontPx / handheldPx;
      const px = (du) => Math.round(du * units.x / 4);
      const py = (du) => Math.round(du * units.y / 8);
      const panel = document.createElement("div");
      panel.className = "dialog";
      panel.id = "dialog-" + d.template;
      panel.setAttribute("role", "dialog");
      panel.style.fontSize = fontPx + "px";
      const caption = document.createElement("h2");
      caption.className = "caption";
      caption.id = `dialogCaption${number}`;
      caption.textContent = d.caption;
      const body = document.createElement("div");
      body.className = "body";
      body.style.width = px(d.width) + "px";
      body.style.height = py(height) + "px";
      // The caption's close box answers as Escape does, as a window's close
      // box does on the desktop: the one way out of a dialog by touch alone
      // when it has no Cancel (ball settings, the rules).
      const closeBox = document.createElement("button");
      closeBox.type = "button";
      closeBox.className = "close";
      closeBox.tabIndex = -1;
      closeBox.textContent = "×";
      closeBox.setAttribute("aria-label", "Close");
      closeBox.addEventListener("click", () => press(ID.CANCEL));
      panel.append(caption, closeBox, body);

      const controls = [];
      let previous = null, group = null, firstFocus = null, defaultButton = null;
      const labels = d.controls.filter((c) => c.kind === "static").map((c) => staticText(c.text)).join(" ");
      const place = (element, rect) => {
        element.style.left = px(rect[0]) + "px";
        element.style.top = py(rect[1]) + "px";
        element.style.width = (px(rect[2]) - px(rect[0])) + "px";
        element.style.height = (py(rect[3]) - py(rect[1])) + "px";
      };
      let finish;
      const press = (id) => finish(id);
      for (const c of d.controls) {
        let element;
        const entry = { c, element: null, value: null };
        switch (c.kind) {
          case "button":
          case "default": {
            element = document.createElement("button");
            element.type = "button";
            element.textContent = staticText(c.text);
            if (c.kind === "default" && !defaultButton) {
              element.classList.add("default");
              defaultButton = c.id;
            }
            element.addEventListener("click", () => press(c.id));
            break;
          }
          case "edit": {
            if (c.style & CTRL.MULTILINE) {
              // Many lines, wrapped, scrolled up and down.
              element = document.createElement("textarea");
            } else {
              element = document.createElement("input");
              element.type = "text";
            }
            element.value = c.text;
            element.autocomplete = "off";
            element.spellcheck = false;
            if (!(c.style & CTRL.BORDER)) element.classList.add("plain");
            if (c.limit > 0) element.maxLength = c.limit;
            if (c.style & CTRL.NUMBER) {
              element.inputMode = "numeric";
              element.addEventListener("input", () => (element.value = element.value.replace(/[^0-9]/g, "")));
            }
            // The text just before a box names it; else all the dialog's texts.
            element.setAttribute("aria-label",
              (previous && previous.c.kind === "static" && staticText(previous.c.text)) || labels || d.caption);
            // A box that takes no typing shows what the program put there.
            if (c.style & CTRL.READONLY) element.readOnly = true;
            else entry.value = () => `T ${c.id} ${element.value.replace(/[\r\n]/g, " ")}`;
            break;
          }
          case "static": {
            element = document.createElement("div");
            element.className = "static";
            // A box of one line shows its line whole, past its end if the
            // font runs wider than the dialog's units.
            if (!c.text.includes("\n") && c.rect[3] - c.rect[1] < 16) element.classList.add("line");
            element.textContent = staticText(c.text);
            element.style.textAlign = (c.style & CTRL.CENTER) ? "center" : (c.style & CTRL.RIGHT) ? "right" : "left";
            break;
          }
          case "radio": {
            if (!group || (c.style & CTRL.GROUP) || !previous || previous.c.kind !== "radio") group = `radio${number}-${c.id}`;
            element = document.createElement("label");
            element.className = "radio" + ((c.style & CTRL.PUSHLIKE) ? " pushlike" : "");
            const input = document.createElement("input");
            input.type = "radio";
            input.name = group;
            input.checked = c.checked;
            const text = document.createElement("span");
            text.textContent = staticText(c.text);
            element.append(input, text);
            entry.focusable = input;
            entry.value = () => `C ${c.id} ${input.checked ? 1 : 0}`;
            break;
          }
          case "list": {
            element = document.createElement("div");
            element.className = "list" + (c.grid ? " grid" : "");
            element.tabIndex = 0;
            element.setAttribute("role", "grid");
            element.setAttribute("aria-label", d.caption);
            const table = document.createElement("table");
            const head = document.createElement("thead");
            const headRow = document.createElement("tr");
            headRow.setAttribute("role", "row");
            // The columns grow with the font, but never past the list's
            // width (their padding, .3em a side, and border counted).
            const given = c.columns.reduce((sum, column) => sum + Math.max(column.width, 0), 0);
            const room = px(c.rect[2]) - px(c.rect[0]) - 4 - c.columns.length * (0.6 * fontPx + 1);
            const columnScale = given > 0 ? Math.max(0, Math.min(scale, room / given)) : scale;
            // Columns of given widths keep them: a long name is cut short
            // (its whole text still read) rather than pushing the score out
            // of sight, as the desktop's list does.
            const fixedColumns = c.columns.every((column) => column.width >= 0);
            if (fixedColumns) table.classList.add("fixed");
            for (const column of c.columns) {
              const th = document.createElement("th");
              th.setAttribute("role", "columnheader");
              th.textContent = column.title;
              if (column.width >= 0) th.style.minWidth = (column.width * columnScale) + "px";
              if (fixedColumns) th.style.width = th.style.minWidth;
              th.style.textAlign = column.format === 1 ? "right" : column.format === 2 ? "center" : "left";
              headRow.append(th);
            }
            head.append(headRow);
            const rows = document.createElement("tbody");
            let selected = c.selected;
            const rowElements = c.rows.map((cells, r) => {
              const tr = document.createElement("tr");
              tr.setAttribute("role", "row");
              tr.setAttribute("aria-selected", r === selected ? "true" : "false");
              cells.forEach((cell, i) => {
                const td = document.createElement("td");
                td.setAttribute("role", "gridcell");
                td.textContent = cell;
                if (fixedColumns) td.title = cell;  // whole, where the column cuts it
                const format = c.columns[i] ? c.columns[i].format : 0;
                td.style.textAlign = format === 1 ? "right" : format === 2 ? "center" : "left";
                tr.append(td);
              });
              tr.addEventListener("click", () => select(r));
              rows.append(tr);
              return tr;
            });
            const select = (r) => {
              selected = r;
              rowElements.forEach((tr, i) => tr.setAttribute("aria-selected", i === r ? "true" : "false"));
              if (rowElements[r]) rowElements[r].scrollIntoView({ block: "nearest" });
            };
            element.addEventListener("keydown", (event) => {
              if (event.key !== "ArrowDown" && event.key !== "ArrowUp") return;
              event.preventDefault();
              const next = Math.max(0, Math.min(rowElements.length - 1, selected + (event.key === "ArrowDown" ? 1 : -1)));
              select(next);
            });
            table.append(head, rows);
            element.append(table);
            entry.value = () => `S ${c.id} ${selected}`;
            if (selected >= 0) setTimeout(() => select(selected), 0);
            break;
          }
          case "updown": {
            element = document.createElement("div");
            element.className = "updown";
            const buddy = (c.style & CTRL.AUTOBUDDY) && previous && previous.c.kind === "edit" ? previous.element : null;
            let position = c.position;
            const step = (direction) => {
              // The box may have been typed in since: step from what it shows.
              if (buddy && (c.style & CTRL.SETBUDDYINT)) {
                const typed = parseInt(buddy.value.trim(), 10);
                if (!Number.isNaN(typed)) position = typed;
              }
              // "Up" heads for the upper end, which may be the smaller number.
              const towardsUpper = c.upper >= c.lower ? 1 : -1;
              position = Math.min(Math.max(c.lower, c.upper), Math.max(Math.min(c.lower, c.upper), position + direction * towardsUpper));
              if (buddy && (c.style & CTRL.SETBUDDYINT)) buddy.value = String(position);
              if (buddy) buddy.select();
            };
            for (const [label, direction] of [["▲", 1], ["▼", -1]]) {
              const arrow = document.createElement("button");
              arrow.type = "button";
              arrow.tabIndex = -1;
              arrow.textContent = label;
              // Named with the box they step, for a reader that meets them.
              const named = buddy && buddy.getAttribute("aria-label");
              arrow.setAttribute("aria-label", `${named ? named + " " : ""}${direction > 0 ? "Up" : "Down"}`);
              arrow.addEventListener("click", () => step(direction));
              element.append(arrow);
            }
            if (buddy) {
              buddy.addEventListener("keydown", (event) => {
                if (event.key === "ArrowUp" || event.key === "ArrowDown") {
                  event.preventDefault();
                  step(event.key === "ArrowUp" ? 1 : -1);
                }
              });
            }
            // The box keeps what the data exchange put there; only a step
            // writes the position into it.
            entry.value = () => `P ${c.id} ${position}`;
            entry.buddy = buddy;
            break;
          }
          case "icon": {
            element = document.createElement("img");
            element.className = "icon";
            element.alt = "";
            const url = iconUrl("ICON" + c.text) || iconUrl(c.text);
            if (url) element.src = url;
            element.style.transform = `scale(${scale})`;
            element.style.transformOrigin = "0 0";
            break;
          }
          default:
            element = document.createElement("div");
        }
        element.id = `control-${c.id}`;
        entry.element = element;
        if (c.kind !== "icon") place(element, c.rect);
        else { element.style.left = px(c.rect[0]) + "px"; element.style.top = py(c.rect[1]) + "px"; }
        const beside = touchScreen && entry.buddy && (c.style & CTRL.ALIGNRIGHT) &&
          parseInt(entry.buddy.style.left, 10) + parseInt(entry.buddy.style.width, 10) +
            2 * parseInt(entry.buddy.style.height, 10) + 8 <= px(d.width);
        if (c.kind === "updown" && beside) {
          // On a touch screen, two arrows side by side after the box, each
          // as big as the box is high.
          const box = entry.buddy;
          const high = parseInt(box.style.height, 10);
          element.classList.add("beside");
          element.style.left = (parseInt(box.style.left, 10) + parseInt(box.style.width, 10) + 4) + "px";
          element.style.top = box.style.top;
          element.style.height = high + "px";
          element.style.width = (2 * high + 4) + "px";
        } else if (c.kind === "updown" && entry.buddy && (c.style & CTRL.ALIGNRIGHT)) {
          // Sits inside the right end of its box, which gives up the room.
          const width = px(c.rect[2]) - px(c.rect[0]);
          const box = entry.buddy;
          const boxWidth = Math.max(parseInt(box.style.width, 10) - width, units.x * 2);
          box.style.width = boxWidth + "px";
          element.style.left = (parseInt(box.style.left, 10) + boxWidth) + "px";
          element.style.top = box.style.top;
          element.style.height = box.style.height;
        }
        body.append(element);
        controls.push(entry);
        if (!firstFocus && c.kind !== "static" && c.kind !== "icon" && c.kind !== "updown") firstFocus = entry.focusable || element;
        previous = entry;
      }
      // A screen reader reads the controls as they lie, row by row and left
      // to right (a template may list its OK first, wherever it sits; the
      // focus still starts on the first control listed).
      const middle = (c) => c.rect[1] + c.rect[3];
      [...controls].sort((a, b) => middle(a.c) - middle(b.c) || a.c.rect[0] - b.c.rect[0])
        .forEach((entry) => body.append(entry.element));
      const spanOf = (c, element) => ({ c, element, left: px(c.rect[0]), right: px(c.rect[2]),
        top: py(c.rect[1]), bottom: py(c.rect[3]) });
      const spans = controls.map(({ c, element }) => spanOf(c, element));
      if (!hasButtons) {
        // On the handheld the shell put an "ok" in the caption of a dialog
        // without buttons (the About box); here it sits at the bottom right.
        const ok = document.createElement("button");
        ok.type = "button";
        ok.id = "shellOk";
        ok.className = "default";
        ok.textContent = "OK";
        const c = { kind: "default", rect: [d.width - 57, d.height - 21, d.width - 7, d.height - 7] };
        place(ok, c.rect);
        ok.addEventListener("click", () => press(ID.OK));
        body.append(ok);
        spans.push(spanOf(c, ok));
        defaultButton = ID.OK;
        if (!firstFocus) firstFocus = ok;
      }
      if (touchScreen) {
        // Where the dialog's stretch left a button lower than a finger (a
        // phone held sideways), it grows about its middle into the room
        // around it: half the gap to a control above or below it, the
        // margin to the edge.
        for (const button of spans.filter((s) => isButton(s.c))) {
          const short = TOUCH_TARGET_PX - (button.bottom - button.top);
          if (short <= 0) continue;
          const across = spans.filter((s) => s !== button && s.left < button.right && button.left < s.right);
          const roomAbove = Math.min(button.top - 2,
            ...across.filter((s) => s.bottom <= button.top).map((s) => (button.top - s.bottom) / 2));
          const roomBelow = Math.min(py(height) - 2 - button.bottom,
            ...across.filter((s) => s.top >= button.bottom).map((s) => (s.top - button.bottom) / 2));
          const up = Math.floor(Math.min(roomAbove, Math.max(short / 2, short - roomBelow)));
          const down = Math.floor(Math.min(roomBelow, short - up));
          button.element.style.top = (button.top - up) + "px";
          button.element.style.height = (button.bottom - button.top + up + down) + "px";
        }
      }
      panel.addEventListener("keydown", (event) => {
        // A key the dialog answers to is its own: the table never sees it.
        if (event.key === "Escape") {
          event.preventDefault();
          event.stopPropagation();
          press(ID.CANCEL);
        } else if (event.key === "Enter" && !(event.target instanceof HTMLButtonElement) &&
                   !(event.target instanceof HTMLTextAreaElement && !event.target.readOnly)) {
          // Enter is the default button, or OK in a dialog without one.
          event.preventDefault();
          event.stopPropagation();
          press(defaultButton || ID.OK);
        }
      });
      dropAnsweredDialogs();
      const close = modal(panel, caption.id);
      let answered = false;
      finish = (id) => {
        if (answered) return;
        answered = true;
        answerResized = null;
        const lines = controls.filter((e) => e.value).map((e) => e.value());
        lines.push(`B ${id}`);
        panel.inert = true;
        answeredDialogs.push({ close, panel });
        resolve(lines.join("\n"));
      };
      answerResized = () => {
        const focused = document.activeElement;
        const entry = controls.find((e) => e.element === focused || e.focusable === focused);
        reshown = { template: d.template, id: entry ? entry.c.id : null, scrollTop: focused.scrollTop,
          selection: focused.selectionStart != null ? [focused.selectionStart, focused.selectionEnd] : null };
        finish(ID.RESIZED);
      };
      // Shown again for a new window size, the focus comes back where it was.
      const kept = reshown && reshown.template === d.template ? reshown : null;
      reshown = null;
      const keptFocus = kept && controls.find((e) => e.c.id === kept.id);
      // A refused value is typed again where it was refused.
      const refused = d.refused ? controls.find((e) => e.c.id === d.refused && e.element instanceof HTMLInputElement) : null;
      if (refused) firstFocus = refused.element;
      if (keptFocus) {
        const element = keptFocus.focusable || keptFocus.element;
        element.focus();
        if (kept.selection) element.setSelectionRange(...kept.selection);
        element.scrollTop = kept.scrollTop;
      } else if (firstFocus) {
        firstFocus.focus();
        if (firstFocus instanceof HTMLInputElement && firstFocus.type === "text") firstFocus.select();
        // Text of many lines is read from its start.
        if (firstFocus instanceof HTMLTextAreaElement) {
          firstFocus.setSelectionRange(0, 0);
          firstFocus.scrollTop = 0;
        }
      }
      // A size the window took while the program was busy is taken now.
      if (resizeWanted) answerResized();
    });
  }

  // --- Start ---------------------------------------------------------
  window.Module = {
    noInitialRun: true,
    print: (text) => console.log(text),
    printErr: (text) => console.warn(text),
    onAbort(what) {
      const loading = $("loading");
      loading.hidden = false;
      loading.textContent = `Parlour could not start (${what}).`;
    },
    onRuntimeInitialized() {
      for (const name of Object.keys(KEPT_FILES)) {
        const saved = storedFile(name);
        if (saved) writeFile(dataDir() + name, saved);
      }
      filesLoaded = true;
      fit();
      sentClient = client;
      busy = true;
      const t = fixedTick !== null ? fixedTick : 0;
      // ?game=NAME starts on that game, as the desktop's --game does; else
      // the game last shown.
      try {
        kept.game = localStorage.getItem(LAST_GAME) || "";
        kept.winnable = localStorage.getItem(WINNABLE_DEALS) === "yes";
      } catch (e) { /* none kept */ }
      Promise.resolve(Module.ccall("web_start", "number",
        ["number", "number", "number", "number", "string", "string", "number"],
        [fixedTick !== null ? 1 : 0, t, client.width, client.height, params.get("game") || "", kept.game,
          kept.winnable ? 1 : 0],
        { async: true })).then(() => {
        busy = false;
        started = true;
        // The program's resources are there once it has started.
        accelerators = JSON.parse(Module.UTF8ToString(Module._web_accelerators()));
        canvas.focus();
        readyResolve();
        fit();
        pump();
      });
    },
  };
  window.addEventListener("resize", () => {
    fit();
    // A dialog answered, waiting under a message box to be shown again, is
    // drawn smaller where the new window is too small for it.
    for (const { panel } of answeredDialogs) {
      panel.style.transform = "";
      panel.style.maxWidth = panel.style.maxHeight = "none";
      panel.style.flexShrink = "0";
      const scale = Math.min(1, (innerWidth - 8) / panel.offsetWidth, (innerHeight - 8) / panel.offsetHeight);
      if (scale < 1) panel.style.transform = `scale(${scale})`;
    }
    if (!openMenu) return;
    placeMenu(openMenu);
    if (openMenu.contains(document.activeElement)) document.activeElement.scrollIntoView({ block: "nearest" });
  });
  // Another tab of the page saved hi scores or statistics: the program's
  // copy of the file follows, so that its next save, made to the file as
  // it then stands, keeps what the other tab saved.
  window.addEventListener("storage", (event) => {
    const name = Object.keys(KEPT_FILES).find((kept) => KEPT_FILES[kept] === event.key);
    if (!name || event.newValue === null || !filesLoaded) return;
    try {
      writeFile(dataDir() + name, fromBase64(event.newValue));
    } catch (e) {
      console.warn(`Parlour: could not take ${name} from another tab`, e);
    }
  });
  fit();

  if ("serviceWorker" in navigator && location.protocol !== "file:" && !params.has("nosw")) {
    window.addEventListener("load", () => navigator.serviceWorker.register("sw.js").catch((e) => console.warn(e)));
  }
})();
