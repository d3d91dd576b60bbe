// Measures the web page's figures in headless Chromium against the built
// site and prints them (not a test: the numbers depend on the machine):
//   first load to first digits, a digit key to digits on screen, the heaviest
//   curve's "=", processor time at the key wait, and the site's size
//   compressed.
//     node bench/web_figures.mjs      (after cmake --build --preset web)
import { readdirSync, readFileSync, statSync } from "node:fs";
import { join, relative } from "node:path";
import { brotliCompressSync, constants, gzipSync } from "node:zlib";
import { DESKTOP, launchBrowser, SITE, startSite, tapAll } from "../tests/web/support.mjs";

const DIGIT_SAMPLES = 40;
const IDLE_SECONDS = 10;

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (value) => `${value.toFixed(1)} ms`;

async function freshPage(browser, url) {
  const context = await browser.createBrowserContext();  // no storage, cache or service worker yet
  const page = await context.newPage();
  await page.setViewport(DESKTOP);
  await page.goto(url);
  await page.waitForFunction(() => document.body.dataset.idles);
  return page;
}

async function firstDigits(page) {
  return page.evaluate(() => performance.getEntriesByName("tm650e-first-digits")[0].startTime);
}

// Presses a key with pointer events as a finger's would arrive, and measures
// from the pointer going down to the frame that shows the display's change
// (`display`) and to the frame after the device waits for a key again,
// every result drawn (`idle`).
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

// Percent of one core that Chromium uses over IDLE_SECONDS.
async function idleLoad(browser) {
  const hz = 100;  // USER_HZ, the unit of /proc's times on Linux
  const before = browserTicks(browser.process().pid);
  await new Promise((resolve) => setTimeout(resolve, IDLE_SECONDS * 1000));
  return (100 * (browserTicks(browser.process().pid) - before)) / hz / IDLE_SECONDS;
}

function siteSize() {
  const files = [];
  const walk = (folder) => {
    for (const name of readdirSync(folder)) {
      const path = join(folder, name);
      if (statSync(path).isDirectory()) walk(path);
      else files.push(path);
    }
  };
  walk(SITE);
  const sizes = { raw: 0, gzip: 0, brotli: 0, wasmGzip: 0 };
  for (const file of files) {
    const bytes = readFileSync(file);
    const gzip = gzipSync(bytes, { level: 9 }).length;
    sizes.raw += bytes.length;
    sizes.gzip += gzip;
    sizes.brotli += brotliCompressSync(bytes, { params: { [constants.BROTLI_PARAM_QUALITY]: 11 } }).length;
    if (relative(SITE, file).endsWith(".wasm")) sizes.wasmGzip += gzip;
  }
  return { files: files.length, ...sizes };
}

const site = await startSite();
const browser = await launchBrowser();
try {
  const loads = [];
  for (let i = 0; i < 5; i++) {
    const page = await freshPage(browser, site.url);
    loads.push(await firstDigits(page));
    await page.browserContext().close();
  }
  console.log(`first load to first digits (fresh browser profile, local server): median ${ms(median(loads))}, ` +
              `all ${loads.map(Math.round).join(", ")} ms`);

  const page = await freshPage(browser, site.url);
  await page.reload();  // now from the service worker's cache
  await page.waitForFunction(() => document.body.dataset.idles);
  console.log(`reload to first digits (offline cache, device restored): ${ms(await firstDigits(page))}`);

  const digitTimes = [];
  for (let i = 0; i < DIGIT_SAMPLES; i++) {
    if (i % 4 === 0) await tapAll(page, "C");
    digitTimes.push((await press(page, 1014 + (i % 9))).display);
  }
  console.log(`digit key to digits on screen: median ${ms(median(digitTimes))}, worst ${ms(Math.max(...digitTimes))} ` +
              `of ${DIGIT_SAMPLES}`);

  await tapAll(page, "AC FA 2 2 S 3 0 R = FN FH 2 0 X 6 0 Y");
  const curve = (await press(page, 1032)).idle;
  const shown = await page.$eval("#display", (d) => d.dataset.shown.trim());
  console.log(`heaviest curve "=" (FA 2 2 S 3 0 R = FH 2 0 X 6 0 Y =, printing on): ${ms(curve)}, shows ${shown}`);

  const atKeyWait = await idleLoad(browser);
  await page.goto("about:blank");
  const blank = await idleLoad(browser);
  console.log(`processor time at the key wait, all of Chromium over ${IDLE_SECONDS} s: ` +
              `${atKeyWait.toFixed(2)} % of one core (with a blank page instead: ${blank.toFixed(2)} %)`);

  const size = siteSize();
  const kb = (bytes) => `${(bytes / 1024).toFixed(1)} KB`;
  console.log(`site: ${size.files} files, ${kb(size.raw)}; gzip -9 ${kb(size.gzip)} (wasm ${kb(size.wasmGzip)}), ` +
              `brotli ${kb(size.brotli)}`);
} finally {
  await browser.close();
  await site.stop();
}
