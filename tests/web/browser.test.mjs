// The web page in a real browser (headless Chromium): the manual's worked
// examples tapped on the face, the device kept across a reload and a bad
// stored one replaced, the page offline, saving and printing the paper, and
// a phone and a desktop screenshot (written to build/web/screenshots).
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdirSync, mkdtempSync, readdirSync, readFileSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { after, before, describe, test } from "node:test";
import {
  command, DESKTOP, face, idles, launchBrowser, manualExamples, PHONE, SITE, startSite, tap, tapAll, trimmed,
  untilIdleAfter,
} from "./support.mjs";

const SHOTS = join(SITE, "..", "screenshots");

let site, browser, page;
const pageErrors = [];

async function openPage(viewport = DESKTOP) {
  page = await browser.newPage();
  await page.setViewport(viewport);
  page.on("pageerror", (error) => pageErrors.push(error.message));
  await page.goto(site.url);
  await page.waitForFunction(() => document.body.dataset.ready === "true" && document.body.dataset.idles);
}

async function reload() {
  await page.reload();
  await page.waitForFunction(() => document.body.dataset.ready === "true" && document.body.dataset.idles);
}

// New, then AC (All): the cleared device the manual's examples start from.
async function clearedDevice() {
  await command(page, "#new");
  await tap(page, "AC");
}

before(async () => {
  site = await startSite();
  browser = await launchBrowser();
  await openPage();
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

describe("the device kept in the browser", { concurrency: false }, () => {
  test("a reload finds the digits, lamps, paper and power as they were", async () => {
    await clearedDevice();
    await tapAll(page, "FN FA 2 2 S 3 0 R = FJ 4 . 5");
    await command(page, "#power");
    const kept = await face(page);
    assert.equal(kept.power, "ON");
    await reload();
    assert.deepEqual(await face(page), kept);
    await command(page, "#power");
    assert.equal((await face(page)).power, "OFF");
  });

  test("the PC keyboard works the keys", async () => {
    await clearedDevice();
    for (const key of ["7", ".", "5"]) {
      const before = await idles(page);
      await page.keyboard.press(key);
      await untilIdleAfter(page, before);
    }
    assert.equal(trimmed((await face(page)).shown), "7.5");
  });

  const badRecords = [
    ["damaged record", "{not json", /damaged/, ""],
    ["another version's record", JSON.stringify({ format: 99 }), /another version/, ""],
    ["device with a flipped byte", "flipped", /corrupt/, "KEPT\r\n"],
    ["truncated device", "truncated", /truncated/, "KEPT\r\n"],
  ];
  for (const [name, record, problem, paper] of badRecords) {
    test(`a ${name} starts afresh with a notice`, async () => {
      await page.evaluate((record, paper) => {
        const kept = JSON.parse(localStorage.getItem("tm650e.device"));
        const bytes = Uint8Array.from(atob(kept.machine), (c) => c.charCodeAt(0));
        if (record === "flipped") bytes[bytes.length >> 1] ^= 0xff;
        const machine = btoa(String.fromCharCode(...bytes.subarray(0, record === "truncated" ? 100 : bytes.length)));
        const stored = record.startsWith("{") ? record : JSON.stringify({ format: 1, machine, paper });
        localStorage.setItem("tm650e.device", stored);
      }, record, paper);
      await reload();
      const notice = await page.$eval("#notice", (n) => (n.hidden ? "" : n.textContent));
      assert.match(notice, problem);
      const fresh = await face(page);
      assert.equal(trimmed(fresh.shown), "0");
      assert.deepEqual(fresh.lamps, []);
      assert.equal(fresh.paper, paper.replace(/\r\n/g, "\n"));
      await page.click("#notice-close");
    });
  }
});

describe("the paper", { concurrency: false }, () => {
  test("Save writes the paper byte for byte, CR LF lines", async () => {
    await clearedDevice();
    await tapAll(page, "FN FA 2 2 S 3 0 R =");
    await command(page, "#paper-feed");
    const folder = mkdtempSync(join(tmpdir(), "tm650e-save-"));
    const cdp = await browser.target().createCDPSession();
    await cdp.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: folder, eventsEnabled: true });
    const done = new Promise((resolve) => cdp.on("Browser.downloadProgress", (e) => e.state === "completed" && resolve()));
    await page.click("#save-paper");
    await done;
    const files = readdirSync(folder);
    const saved = readFileSync(join(folder, files.find((f) => f.endsWith(".txt"))), "latin1");
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

  test("the clear button empties it", async () => {
    await command(page, "#clear-paper");
    assert.equal((await face(page)).paper, "");
  });
});

describe("offline and on a phone", { concurrency: false }, () => {
  test("with the server gone, a reload still runs the device and shows the manual", async () => {
    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    await site.stop();
    await reload();
    await clearedDevice();
    await tapAll(page, "FA 2 2 S 3 0 R =");
    assert.equal(trimmed((await face(page)).shown), "22.0");
    await page.click("#open-manual");
    // The sheet fills in from the offline cache a moment after it opens.
    await page.waitForSelector("#manual-page a[href='gauge.html']");
    await page.click("#manual-page a[href='gauge.html']");
    await page.waitForFunction(() => document.querySelector("#manual-page h2")?.textContent.includes("Gauge"));
    await page.keyboard.press("Escape");
  });

  test("screenshots: a desktop, and a phone worked by touch", async () => {
    mkdirSync(SHOTS, { recursive: true });
    await clearedDevice();
    await tapAll(page, "FN FA 2 2 S 3 0 R = FH 8 X 6 Y P=");
    await page.screenshot({ path: join(SHOTS, "desktop.png") });
    await page.close();
    await openPage(PHONE);
    await tapAll(page, "FH 2 0 X 6 0 Y =", { touch: true });
    assert.equal(trimmed((await face(page)).shown), "44");
    const wide = await page.evaluate(() => document.documentElement.scrollWidth);
    assert.equal(wide, PHONE.width, "nothing sticks out sideways on a phone");
    await page.screenshot({ path: join(SHOTS, "phone.png"), fullPage: true });
  });
});
