// Measures the web page's figures in headless Chromium and prints them (not a
// test: the numbers depend on the machine). With --before FOLDER it measures
// another build of the site too, in the same run and browser, side by side:
//   first digits on a fresh visit, on a desktop and under a phone's profile
//   (4x slower processor, slow 4G); a tap to the digits painted; the same and
//   a reload with 2 MB of paper kept; the heaviest curve's "="; processor
//   time at the key wait against a blank page; the site's size compressed.
//     node bench/web_figures.mjs [--before build-of-main/web/site]
import { readdirSync, readFileSync, statSync } from "node:fs";
import { join, relative } from "node:path";
import { brotliCompressSync, constants, gzipSync } from "node:zlib";
import { DESKTOP, launchBrowser, PredefinedNetworkConditions, SITE, startSite, tapAll } from "../tests/web/support.mjs";

const TAP_SAMPLES = 40;
const LOADS = 3;
const IDLE_SECONDS = 10;
const SETTLE_SECONDS = 3;
const PAPER_BYTES = 2 * 1024 * 1024;
const PHONE = { width: 390, height: 844, deviceScaleFactor: 2, isMobile: true, hasTouch: true };

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => `${value.toFixed(0)} ms`;
const spread = (values) => `median ${ms(median(values))}, worst ${ms(Math.max(...values))}`;

async function freshPage(browser, url, { viewport = DESKTOP, phone = false } = {}) {
  const context = await browser.createBrowserContext();  // no storage, cache or service worker yet
  const page = await context.newPage();
  await page.setViewport(viewport);
  if (phone) {
    await page.emulateCPUThrottling(4);
    await page.emulateNetworkConditions(PredefinedNetworkConditions["Slow 4G"]);
  }
  await page.goto(url);
  await untilWaiting(page);
  return page;
}

const untilWaiting = (page) => page.waitForFunction(() => document.body.dataset.idles, { timeout: 60000 });
const firstDigits = (page) => page.evaluate(() => performance.getEntriesByName("tm650e-first-digits")[0].startTime);

// Presses a key with pointer events as a finger's quick tap would arrive, and
// measures from the finger going down to the frame that shows the display's
// change (`display`) and to the frame after the device waits again (`idle`).
async function press(page, id) {
  return page.evaluate((id) => new Promise((resolve) => {
    const key = document.querySelector(`.key[data-id="${id}"]`);
    const display = document.getElementById("display");
    const times = {};
    const start = performance.now();
    const frame = (name) => requestAnimationFrame(() => {
      times[name] = performance.now() - start;
      if (name === "idle") resolve(times);
    });
    new MutationObserver((_, observer) => {
      observer.disconnect();
      frame("display");
    }).observe(display, { attributes: true, attributeFilter: ["data-shown"] });
    document.addEventListener("tm650e-idle", () => frame("idle"), { once: true });
    const at = { bubbles: true, pointerId: 1, isPrimary: true, button: 0, pointerType: "touch" };
    key.dispatchEvent(new PointerEvent("pointerdown", at));
    key.dispatchEvent(new PointerEvent("pointerup", at));
  }), id);
}

// Tap to digits painted, and tap to the frame after the page has done with
// the key (the device kept, where the page keeps it then).
async function tapTimes(page, samples = TAP_SAMPLES) {
  const display = [];
  const idle = [];
  for (let i = 0; i < samples; i++) {
    if (i % 4 === 0) await tapAll(page, "C");
    const times = await press(page, 1014 + (i % 9));
    display.push(times.display);
    idle.push(times.idle);
  }
  return { display, idle };
}

// The device as this build keeps it, with 2 MB of paper added, written as the
// first page's record (which the newer page carries over into its own).
async function addPaper(page) {
  await page.waitForFunction(() => document.body.dataset.stored !== "false");
  await page.evaluate((size) => new Promise((resolve) => {
    const line = " 12.5 ST/10 cm\r\n";
    const paper = line.repeat(Math.ceil(size / line.length));
    const legacy = localStorage.getItem("tm650e.device");
    if (legacy) {
      localStorage.setItem("tm650e.device", JSON.stringify({ ...JSON.parse(legacy), paper }));
      resolve();
      return;
    }
    indexedDB.open("tm650e").onsuccess = ({ target }) => {
      target.result.transaction("device").objectStore("device").get("snapshot").onsuccess = ({ target: got }) => {
        const machine = btoa(String.fromCharCode(...new Uint8Array(got.result)));
        localStorage.setItem("tm650e.device", JSON.stringify({ format: 1, machine, paper }));
        resolve();
      };
    };
  }), PAPER_BYTES);
}

async function reloadTime(page) {
  const start = Date.now();
  await page.reload();
  await untilWaiting(page);
  return Date.now() - start;
}

// Chromium and every process it started, as /proc shows them.
function browserTicks(rootPid) {
  const processes = readdirSync("/proc").filter((name) => /^\d+$/.test(name)).map((pid) => {
    try {
      const fields = readFileSync(`/proc/${pid}/stat`, "utf8").split(") ")[1].split(" ");
      return { pid: Number(pid), parent: Number(fields[1]), ticks: Number(fields[11]) + Number(fields[12]) };
    } catch {
      return null;
    }
  }).filter(Boolean);
  const family = new Set([rootPid]);
  for (let grew = true; grew;) {
    grew = false;
    for (const p of processes) if (family.has(p.parent) && !family.has(p.pid)) grew = family.add(p.pid);
  }
  return processes.filter((p) => family.has(p.pid)).reduce((sum, p) => sum + p.ticks, 0);
}

// Percent of one core that Chromium uses over IDLE_SECONDS, from a few
// seconds after the last key (its beep has ended).
async function idleLoad(browser) {
  const hz = 100;  // USER_HZ, the unit of /proc's times on Linux
  await new Promise((resolve) => setTimeout(resolve, SETTLE_SECONDS * 1000));
  const before = browserTicks(browser.process().pid);
  await new Promise((resolve) => setTimeout(resolve, IDLE_SECONDS * 1000));
  return (100 * (browserTicks(browser.process().pid) - before)) / hz / IDLE_SECONDS;
}

function siteSize(folder) {
  const files = [];
  const walk = (at) => {
    for (const name of readdirSync(at)) {
      const path = join(at, name);
      if (statSync(path).isDirectory()) walk(path);
      else files.push(path);
    }
  };
  walk(folder);
  const sizes = { files: files.length, raw: 0, gzip: 0, brotli: 0, wasmGzip: 0 };
  for (const file of files) {
    const bytes = readFileSync(file);
    const gzip = gzipSync(bytes, { level: 9 }).length;
    sizes.raw += bytes.length;
    sizes.gzip += gzip;
    sizes.brotli += brotliCompressSync(bytes, { params: { [constants.BROTLI_PARAM_QUALITY]: 11 } }).length;
    if (relative(folder, file).endsWith(".wasm")) sizes.wasmGzip += gzip;
  }
  return sizes;
}

async function measure(browser, label, folder) {
  const site = await startSite(folder);
  const plain = await startSite(folder, { compress: false });
  const say = (text) => console.log(`[${label}] ${text}`);
  try {
    const loads = [];
    const phoneLoads = [];
    const plainPhoneLoads = [];
    for (let i = 0; i < LOADS; i++) {
      const page = await freshPage(browser, site.url);
      loads.push(await firstDigits(page));
      await page.browserContext().close();
      for (const [url, times] of [[site.url, phoneLoads], [plain.url, plainPhoneLoads]]) {
        const phone = await freshPage(browser, url, { viewport: PHONE, phone: true });
        times.push(await firstDigits(phone));
        await phone.browserContext().close();
      }
    }
    say(`first digits, fresh visit, desktop: ${spread(loads)}`);
    say(`first digits, fresh visit, phone profile (4x CPU, slow 4G, HTTP/1.1): gzipped ${spread(phoneLoads)}; ` +
        `uncompressed ${spread(plainPhoneLoads)}`);

    const page = await freshPage(browser, site.url);
    await page.reload();  // now from the service worker's cache
    await untilWaiting(page);
    const taps = await tapTimes(page);
    say(`tap to digits painted: ${spread(taps.display)}; to done with the key: ${spread(taps.idle)} (${TAP_SAMPLES} taps)`);

    await tapAll(page, "AC FA 2 2 S 3 0 R = FN");
    const curves = [];
    for (let i = 0; i < 5; i++) {
      await tapAll(page, "FH 2 0 X 6 0 Y");
      curves.push((await press(page, 1032)).idle);
    }
    say(`heaviest curve "=" (printing on): ${spread(curves)} of 5, shows ${await page.$eval("#display", (d) => d.dataset.shown.trim())}`);

    await addPaper(page);
    await reloadTime(page);  // the newer page carries the record over here
    const reload = await reloadTime(page);
    const paperTaps = await tapTimes(page, 20);
    const tall = await page.evaluate(() => document.documentElement.scrollHeight);
    say(`with 2 MB of paper: reload to waiting ${ms(reload)}; tap to digits painted ${spread(paperTaps.display)}, ` +
        `to done with the key ${spread(paperTaps.idle)} (20 taps); page ${tall} px tall`);

    await page.goto("about:blank");
    await page.browserContext().close();
    const idlePage = await freshPage(browser, site.url);
    await tapAll(idlePage, "AC 5");
    const atKeyWait = await idleLoad(browser);
    await idlePage.goto("about:blank");
    const blank = await idleLoad(browser);
    await idlePage.browserContext().close();
    say(`processor at the key wait, all of Chromium over ${IDLE_SECONDS} s: ${atKeyWait.toFixed(2)} % of a core ` +
        `(a blank page: ${blank.toFixed(2)} %)`);

    const size = siteSize(folder);
    const kb = (bytes) => `${(bytes / 1024).toFixed(1)} KB`;
    say(`site: ${size.files} files, ${kb(size.raw)}; gzip -9 ${kb(size.gzip)} (wasm ${kb(size.wasmGzip)}), brotli ${kb(size.brotli)}`);
  } finally {
    await site.stop();
    await plain.stop();
  }
}

const at = process.argv.indexOf("--before");
// Sound as it would once the knitter has touched the page.
const browser = await launchBrowser(["--autoplay-policy=no-user-gesture-required"]);
try {
  if (at > 0) await measure(browser, "before", process.argv[at + 1]);
  await measure(browser, at > 0 ? "after" : "site", SITE);
} finally {
  await browser.close();
}
