// The web page in a real browser (headless Chromium): the manual's worked
// examples tapped on the face; at phone, tablet and desktop sizes every key
// in reach and big enough and the newest paper line in view; a finger's tap
// against a swipe; the device and its paper kept across reloads, a bad kept
// device replaced, a cleared paper brought back; a large paper; one device
// across two tabs; an update from a host that caches; no audio left open;
// accessibility; offline; saving and printing; and a screenshot per layout
// (written to build/web/screenshots).
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { cpSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { after, before, describe, test } from "node:test";
import {
  command, controlFor, DESKTOP, face, idles, launchBrowser, manualExamples, openPage, reload, SITE, startSite,
  tap, tapAll, trimmed, untilIdleAfter, untilReady, VIEWPORTS,
} from "./support.mjs";

const SHOTS = join(SITE, "..", "screenshots");
const AXE = readFileSync(createRequire(import.meta.url).resolve("axe-core/axe.min.js"), "utf8");

let site, browser, page;
const pageErrors = [];

// New, then AC (All): the cleared device the manual's examples start from.
async function clearedDevice(on = page) {
  await command(on, "#new");
  await tap(on, "AC");
}

const notice = (on) => on.$eval("#notice", (n) => (n.hidden ? "" : n.querySelector("#notice-text").textContent));

// The kept device's snapshot, as bytes, and a way to put one back.
const keptSnapshot = (on) => on.evaluate(() => new Promise((resolve, reject) => {
  const open = indexedDB.open("tm650e");
  open.onsuccess = () => {
    const get = open.result.transaction("device").objectStore("device").get("snapshot");
    get.onsuccess = () => resolve([...new Uint8Array(get.result)]);
    get.onerror = reject;
  };
}));

before(async () => {
  site = await startSite();
  browser = await launchBrowser();
  page = await openPage(browser, site.url, DESKTOP, pageErrors);
});

after(async () => {
  await browser?.close();
  await site?.stop();
  assert.deepEqual(pageErrors, [], "errors on the page");
});

describe("the manual's examples, tapped on the face", { concurrency: false }, () => {
  for (const example of manualExamples()) {
    test(`${example.page}: ${example.keys}`, async () => {
      await clearedDevice();
      for (const row of example.rows) {
        await tapAll(page, row.keys);
        const shown = await face(page);
        assert.equal(trimmed(shown.shown), row.shown, `display after ${row.keys}`);
        assert.deepEqual([...shown.lamps].sort(), [...row.lamps].sort(), `lamps after ${row.keys}`);
      }
      for (const step of example.steps) {
        await tap(page, "=");
        assert.equal(trimmed((await face(page)).shown), step, "a further =");
      }
      await clearedDevice();
      await tapAll(page, example.printKeys);
      assert.equal((await face(page)).paper, example.paper, `paper after ${example.printKeys}`);
    });
  }
});

// Every device key, the power button and the lamps inside the screen's
// width and big enough for a finger; other buttons at least 32 px.
function reach() {
  const problems = [];
  for (const element of document.querySelectorAll(".key, .power, .lamp, .chart, .bar button, .paper-tools button")) {
    const box = element.getBoundingClientRect();
    const least = element.matches(".key, .power") ? 44 : element.matches(".lamp") ? 12 : 32;
    const name = `${element.className} "${element.textContent.trim()}"`;
    if (box.width < least - 0.5 || box.height < least - 0.5) problems.push(`${name} is ${box.width}x${box.height}`);
    if (box.left < 0 || box.right > innerWidth + 0.5) problems.push(`${name} is off the screen at ${box.left}..${box.right}`);
  }
  for (const led of document.querySelectorAll(".led")) {
    if (led.getBoundingClientRect().width < 8) problems.push(`the lamp ${led.parentNode.dataset.name} is too small to see`);
  }
  if (document.documentElement.scrollWidth > innerWidth) problems.push("the page scrolls sideways");
  return problems;
}

// The last line of the paper: shown inside the pane and on the screen.
function newestLineInView() {
  const pane = document.getElementById("paper");
  const range = document.createRange();
  range.selectNodeContents(pane);
  const rects = [...range.getClientRects()].filter((rect) => rect.height > 0);
  const last = rects.at(-1);
  const box = pane.getBoundingClientRect();
  return last.bottom <= box.bottom + 1 && last.top >= box.top - 1 && last.bottom <= innerHeight && last.top >= 0;
}

describe("at phone, tablet and desktop sizes", { concurrency: false }, () => {
  mkdirSync(SHOTS, { recursive: true });
  for (const [name, viewport] of Object.entries(VIEWPORTS)) {
    test(`${name} (${viewport.width}x${viewport.height}): keys in reach, the newest paper line in view`, async () => {
      const at = await openPage(browser, site.url, viewport, pageErrors);
      try {
        assert.deepEqual(await at.evaluate(reach), []);
        const touch = Boolean(viewport.hasTouch);
        await tapAll(at, "FN FA 2 2 S 3 0 R = FH 2 0 X 6 0 Y =", { touch });
        assert.equal(trimmed((await face(at)).shown), "44");
        assert.ok(await at.evaluate(newestLineInView), "the newest line is in view");
        await at.screenshot({ path: join(SHOTS, `${name.replaceAll(" ", "-")}.png`) });
      } finally {
        await at.browserContext().close();
      }
    });
  }

  test("at 200 % zoom and at 320 px (reflow) nothing needs a sideways scroll", async () => {
    for (const viewport of [{ width: 640, height: 400, deviceScaleFactor: 2 }, { width: 320, height: 640 }]) {
      await page.setViewport(viewport);
      assert.deepEqual(await page.evaluate(reach), [], `at ${viewport.width}x${viewport.height}`);
    }
    await page.setViewport(DESKTOP);
  });
});

describe("a finger on the keys", { concurrency: false }, () => {
  let phone;
  before(async () => {
    phone = await openPage(browser, site.url, VIEWPORTS["small phone"], pageErrors);
    await tap(phone, "AC", { touch: true });
  });
  after(() => phone.browserContext().close());

  const centre = async (name) => {
    const box = await (await phone.$(`.key[data-id="${controlFor(name)}"]`)).boundingBox();
    return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
  };

  test("taps count at once, a double tap twice; a swipe or a cancelled touch presses nothing", async () => {
    const five = await centre("5");
    for (let i = 0; i < 2; i++) {  // a double tap, as quick as a finger's
      await phone.touchscreen.touchStart(five.x, five.y);
      await phone.touchscreen.touchEnd();
    }
    await phone.waitForFunction(() => document.getElementById("display").dataset.shown.trim() === "55");
    const seven = await centre("7");
    await phone.touchscreen.touchStart(seven.x, seven.y);
    await phone.touchscreen.touchMove(seven.x, seven.y - 40);
    await phone.touchscreen.touchMove(seven.x, seven.y - 80);
    await phone.touchscreen.touchEnd();
    await phone.$eval(`.key[data-id="${controlFor("8")}"]`, (key) => {
      const at = { bubbles: true, pointerId: 7, isPrimary: true, button: 0, pointerType: "touch" };
      key.dispatchEvent(new PointerEvent("pointerdown", at));
      key.dispatchEvent(new PointerEvent("pointercancel", at));
    });
    await tap(phone, "1", { touch: true });
    assert.equal(trimmed((await face(phone)).shown), "551");
  });
});

describe("the device kept in the browser", { concurrency: false }, () => {
  test("a reload finds the digits, lamps, paper and power as they were", async () => {
    await clearedDevice();
    await tapAll(page, "FN FA 2 2 S 3 0 R = FJ 4 . 5");
    await command(page, "#power");
    const kept = await face(page);
    assert.equal(kept.power, "ON");
    await reload(page);
    assert.deepEqual(await face(page), kept);
    await command(page, "#power");
    assert.equal((await face(page)).power, "OFF");
  });

  test("the PC keyboard works the keys and the PF button", async () => {
    await clearedDevice();
    const pressKeys = async (...keys) => {
      for (const key of keys) {
        const before = await idles(page);
        await page.keyboard.press(key);
        await untilIdleAfter(page, before);
      }
    };
    await pressKeys("7", ".", "5");
    const { shown, paper } = await face(page);
    assert.equal(trimmed(shown), "7.5");
    await pressKeys("PageDown");
    assert.notEqual((await face(page)).paper, paper);
    assert.equal(await page.$eval("#paper-feed", (button) => button.title), "Paper feed (PC key: Page Down)");
  });

  for (const [damage, problem] of [["flipped", /corrupt/], ["truncated", /truncated/]]) {
    test(`a ${damage} kept device starts afresh with a notice, its paper kept`, async () => {
      await clearedDevice();
      await tapAll(page, "FN FA 2 2 S 3 0 R =");
      const paper = (await face(page)).paper;
      await page.waitForFunction(() => document.body.dataset.stored !== "false");
      await page.evaluate((damage) => new Promise((resolve) => {
        indexedDB.open("tm650e").onsuccess = ({ target }) => {
          const store = target.result.transaction("device", "readwrite").objectStore("device");
          store.get("snapshot").onsuccess = ({ target: got }) => {
            const bytes = new Uint8Array(got.result);
            if (damage === "flipped") bytes[bytes.length >> 1] ^= 0xff;
            store.put(bytes.slice(0, damage === "truncated" ? 100 : bytes.length).buffer, "snapshot").onsuccess = resolve;
          };
        };
      }), damage);
      await page.reload();
      await untilReady(page);
      assert.match(await notice(page), problem);
      const fresh = await face(page);
      assert.equal(trimmed(fresh.shown), "0");
      assert.equal(fresh.paper, paper);
      await page.click("#notice-close");
    });
  }

  test("the older page's record is carried over once", async () => {
    await clearedDevice();
    await tapAll(page, "4 2");
    await page.waitForFunction(() => document.body.dataset.stored !== "false");
    const bytes = await keptSnapshot(page);
    await page.evaluate((bytes) => {
      const machine = btoa(String.fromCharCode(...bytes));
      localStorage.setItem("tm650e.device", JSON.stringify({ format: 1, machine, paper: "KEPT\r\n" }));
    }, bytes);
    await page.reload();
    await untilReady(page);
    const carried = await face(page);
    assert.equal(trimmed(carried.shown), "42");
    assert.equal(carried.paper, "KEPT\n");
    assert.equal(await page.evaluate(() => localStorage.getItem("tm650e.device")), null);
  });
});

describe("the paper", { concurrency: false }, () => {
  test("Save writes the paper byte for byte, CR LF lines", async () => {
    await clearedDevice();
    await tapAll(page, "FN FA 2 2 S 3 0 R =");
    await command(page, "#paper-feed");
    const folder = mkdtempSync(join(tmpdir(), "tm650e-save-"));
    const cdp = await browser.target().createCDPSession();
    await cdp.send("Browser.setDownloadBehavior", {
      behavior: "allow", downloadPath: folder, eventsEnabled: true, browserContextId: page.browserContext().id,
    });
    const done = new Promise((resolve) => cdp.on("Browser.downloadProgress", (e) => e.state === "completed" && resolve()));
    await page.click("#save-paper");
    await done;
    const file = readdirSync(folder).find((f) => f.endsWith(".txt"));
    const now = new Date();
    const two = (n) => String(n).padStart(2, "0");
    assert.ok(file.includes(`${now.getFullYear()}${two(now.getMonth() + 1)}${two(now.getDate())}-`), `${file} in local time`);
    const saved = readFileSync(join(folder, file), "latin1");
    assert.equal(saved, (await face(page)).paper.replace(/\n/g, "\r\n"));
    assert.match(saved, /^GAUGE\r\n/);
  });

  test("Print shows the paper alone with the header and footer filled in", async () => {
    await page.click("#open-settings");
    await page.$eval("input[name=header]", (input) => (input.value = "Back &[PAGE] of the jumper"));
    await page.$eval("input[name=footer]", (input) => (input.value = "&[date] & more"));
    await page.click("#settings button[value=ok]");
    const pdf = join(mkdtempSync(join(tmpdir(), "tm650e-print-")), "paper.pdf");
    writeFileSync(pdf, await page.pdf({ format: "A5" }));
    const text = execFileSync("pdftotext", ["-layout", pdf, "-"], { encoding: "utf8" });
    assert.match(text, /Back 1 of the jumper/);
    assert.match(text, /\d\d\/\d\d\/\d\d & more/);
    assert.match(text, /GAUGE/);
    assert.doesNotMatch(text, /SLANTING|Settings/, "only the paper is printed");
  });

  test("clearing it can be undone, and the undone paper is kept", async () => {
    const before = (await face(page)).paper;
    await command(page, "#clear-paper");
    assert.equal((await face(page)).paper, "");
    assert.match(await notice(page), /cleared/);
    await page.click("#notice-action");
    assert.equal((await face(page)).paper, before, "undone");
    await reload(page);
    assert.equal((await face(page)).paper, before, "kept undone");
  });

  test("a large paper: the pane holds its newest lines, a tap stores only what it printed", async () => {
    const line = "1234567890ABCDE\r\n";
    await page.evaluate((bytes, line) => {
      const machine = btoa(String.fromCharCode(...bytes));
      localStorage.setItem("tm650e.device", JSON.stringify({ format: 1, machine, paper: line.repeat(120000) }));
    }, await keptSnapshot(page), line);
    await page.reload();
    await untilReady(page);
    if (!(await face(page)).lamps.includes("PRINT")) await tap(page, "FN");
    await tapAll(page, "FA 2 2 S 3 0 R =");
    const pane = await page.$eval("#paper", (pre) => ({ length: pre.textContent.length, end: pre.textContent.slice(-40) }));
    assert.ok(pane.length < 20000, `the pane holds ${pane.length} characters`);
    assert.match(pane.end, /30\.0 ROWS\/10 cm\s*$/);
    await page.waitForFunction(() => document.body.dataset.stored !== "false");
    const stored = await page.evaluate(() => new Promise((resolve) => {
      indexedDB.open("tm650e").onsuccess = ({ target }) => {
        target.result.transaction("paper").objectStore("paper").getAll().onsuccess = ({ target: got }) =>
          resolve(got.result.map((record) => record.text.length));
      };
    }));
    assert.equal(stored[0], line.length * 120000, "the old paper stays stored whole");
    assert.ok(Math.max(...stored.slice(1)) < 200, `each later save adds only its lines: ${stored.slice(1)}`);
    assert.ok(await page.evaluate(newestLineInView));
    await page.$eval("#paper", (pre) => (pre.scrollTop = 0));
    await page.waitForSelector("#paper-newest:not([hidden])");
    await page.click("#paper-newest");
    assert.ok(await page.evaluate(newestLineInView));
    await command(page, "#clear-paper");
  });
});

describe("tabs, updates, audio, accessibility", { concurrency: false }, () => {
  test("a second tab says the device is open elsewhere, and can take it over", async () => {
    const first = await openPage(browser, site.url, DESKTOP, pageErrors);
    await tapAll(first, "AC 1 2");
    await first.waitForFunction(() => document.body.dataset.stored !== "false");
    const second = await first.browserContext().newPage();
    await second.goto(site.url);
    await second.waitForFunction(() => document.body.dataset.elsewhere === "true");
    assert.match(await notice(second), /open in another tab/);
    await Promise.all([second.waitForNavigation(), second.click("#notice-action")]);
    await untilReady(second);
    assert.equal(trimmed((await face(second)).shown), "12");
    await first.waitForFunction(() => document.body.dataset.elsewhere === "true");
    assert.match(await notice(first), /now open in another tab/);
    await first.browserContext().close();
  });

  test("a new build reaches the page on the next reload from a host that caches", async () => {
    const folder = mkdtempSync(join(tmpdir(), "tm650e-site-"));
    cpSync(SITE, folder, { recursive: true });
    const caching = await startSite(folder, { cacheControl: "max-age=3600" });
    const at = await openPage(browser, caching.url, DESKTOP, pageErrors);
    try {
      await at.evaluate(() => navigator.serviceWorker.ready);
      await at.waitForFunction(() => navigator.serviceWorker.controller !== null);
      const edit = (file, from, to) => writeFileSync(join(folder, file), readFileSync(join(folder, file), "utf8").replace(from, to));
      edit("index.html", "<title>TM650E", "<title>TM650E NEW");
      edit("sw.js", /const BUILD = "([^"]*)"/, 'const BUILD = "$1-new"');
      await reload(at);
      await at.waitForFunction(() => !document.getElementById("notice").hidden);
      assert.match(await notice(at), /new version/);
      assert.equal(await at.$eval("#notice-action", (b) => b.textContent), "Reload");
      await Promise.all([at.waitForNavigation(), at.click("#notice-action")]);
      await untilReady(at);
      assert.equal(await at.title(), "TM650E NEW - Knitting Computer Emulator");
    } finally {
      await at.browserContext().close();
      await caching.stop();
      rmSync(folder, { recursive: true, force: true });
    }
  });

  test("no audio stays open between beeps", async () => {
    const context = await browser.createBrowserContext();
    const at = await context.newPage();
    await at.evaluateOnNewDocument(() => {
      const Real = window.AudioContext;
      window.audioContexts = [];
      window.AudioContext = class extends Real {
        constructor(...args) {
          super(...args);
          window.audioContexts.push(this);
        }
      };
    });
    await at.goto(site.url);
    await untilReady(at);
    await tap(at, "AC");
    await command(at, "#new");  // the device beeps as it starts
    await at.waitForFunction(() => audioContexts.length > 0 && audioContexts.every((audio) => audio.state === "closed"));
    await context.close();
  });

  test("axe finds nothing serious at desktop and phone size", async () => {
    const at = await openPage(browser, site.url, VIEWPORTS["small phone"], pageErrors);
    try {
      for (const viewport of [VIEWPORTS["small phone"], DESKTOP]) {
        await at.setViewport(viewport);
        await at.evaluate(AXE);
        const found = await at.evaluate(async () => (await axe.run()).violations
          .filter((v) => ["serious", "critical"].includes(v.impact))
          .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`));
        assert.deepEqual(found, []);
      }
      const lamp = await at.$eval(".lamp", (l) => [l.getAttribute("role"), l.getAttribute("aria-label")]);
      assert.deepEqual(lamp, ["img", "GAUGE lamp: off"]);
      assert.equal(await at.$eval("#display", (d) => d.getAttribute("role") + " " + d.textContent), "status Display: 0");
      // Forced colours: a lit lamp still looks unlike an unlit one.
      await tap(at, "FN");
      const cdp = await at.createCDPSession();
      await cdp.send("Emulation.setEmulatedMedia", { features: [{ name: "forced-colors", value: "active" }] });
      const leds = await at.$$eval(".lamp .led", (all) => all.map((led) => getComputedStyle(led).backgroundColor));
      assert.equal(new Set(leds).size, 2, `lit and unlit lamps in forced colours: ${leds}`);
    } finally {
      await at.browserContext().close();
    }
  });
});

describe("offline", { concurrency: false }, () => {
  test("with the server gone, a reload still runs the device and shows the manual and the page's help", async () => {
    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    await site.stop();
    await reload(page);
    await clearedDevice();
    await tapAll(page, "FA 2 2 S 3 0 R =");
    assert.equal(trimmed((await face(page)).shown), "22.0");
    await page.click("#open-manual");
    // The sheet fills in from the offline cache a moment after it opens.
    await page.waitForSelector("#manual-page a[href='gauge.html']");
    await page.click("#manual-page a[href='gauge.html']");
    await page.waitForFunction(() => document.querySelector("#manual-page h2")?.textContent.includes("Gauge"));
    await page.select("#manual-pages", "page.html");
    await page.waitForFunction(() => document.querySelector("#manual-page h1")?.textContent.includes("on this page"));
    await page.keyboard.press("Escape");
  });
});
