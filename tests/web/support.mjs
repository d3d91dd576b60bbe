// What the browser tests and bench/web_figures.mjs share: the built site served
// locally, headless Chromium with a fresh profile, tapping the face's keys
// by the runner's key names, and the manual's worked examples.
import { mkdtempSync, readdirSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import puppeteer, { PredefinedNetworkConditions } from "puppeteer-core";
import { serve } from "../../web/serve.mjs";

const REPO = new URL("../../", import.meta.url).pathname;
export const SITE = process.env.TM650_WEB_SITE ?? join(REPO, "build/web/site");
const MANUAL = join(REPO, "firmware/manual");

export async function startSite(folder = SITE, options = {}) {
  const server = await serve(folder, 0, "127.0.0.1", options);
  const stop = () => new Promise((resolve) => {
    server.close(resolve);
    server.closeAllConnections();
  });
  return { url: `http://127.0.0.1:${server.address().port}/`, stop };
}

export { PredefinedNetworkConditions };

export async function launchBrowser(extraArgs = []) {
  const profile = mkdtempSync(join(tmpdir(), "tm650e-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
    headless: true,
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--no-first-run", `--user-data-dir=${profile}`, ...extraArgs],
  });
  // The profile goes once Chromium has exited, not merely disconnected.
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    rmSync(profile, { recursive: true, force: true, maxRetries: 10 });
  };
  return browser;
}

export const DESKTOP = { width: 1280, height: 800 };
export const PHONE = { width: 390, height: 844, deviceScaleFactor: 2, isMobile: true, hasTouch: true };
// The screens the layouts are made for: each viewport is a layout's hardest case.
export const VIEWPORTS = {
  "small phone": { width: 360, height: 640, isMobile: true, hasTouch: true },
  "phone sideways": { width: 640, height: 360, isMobile: true, hasTouch: true },
  "tall phone sideways": { width: 915, height: 412, isMobile: true, hasTouch: true },
  tablet: { width: 820, height: 1180, isMobile: true, hasTouch: true },
  "tablet sideways": { width: 1180, height: 820, isMobile: true, hasTouch: true },
  desktop: DESKTOP,
};

// Opens the page in a context of its own (its own storage, cache and
// service worker) and waits for the device to wait for a key.
export async function openPage(browser, url, viewport = DESKTOP, errors = []) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport(viewport);
  page.on("pageerror", (error) => errors.push(error.message));
  await page.goto(url);
  await untilReady(page).catch((error) => {
    throw errors.length ? new Error(`the page failed: ${errors.join("; ")}`) : error;
  });
  return page;
}

export const untilReady = (page) =>
  page.waitForFunction(() => document.body.dataset.ready === "true" && document.body.dataset.idles);

// Reloads once everything the device did is kept.
export async function reload(page) {
  await page.waitForFunction(() => document.body.dataset.stored !== "false");
  await page.reload();
  await untilReady(page);
}

// The runner's key names (tm650-run --keys) to the face's control ids, from
// the tables the build wrote for the page (a module the page loads, so read
// here as one).
const tables = await import(`data:text/javascript;base64,${readFileSync(join(SITE, "tables.js")).toString("base64")}`);
const CONTROLS = new Map(tables.KEYS.map((key) => [key.name, key.id]));
export function controlFor(name) {
  if (!CONTROLS.has(name)) throw new Error(`no key named ${name}`);
  return CONTROLS.get(name);
}

export const idles = (page) => page.$eval("body", (body) => Number(body.dataset.idles ?? 0));

export async function untilIdleAfter(page, before) {
  await page.waitForFunction((n) => Number(document.body.dataset.idles ?? 0) > n, {}, before);
}

// Presses the key (a click, or a finger's tap with `touch`) and waits until
// the device has done with it and waits for the next.
export async function tap(page, name, { touch = false } = {}) {
  const before = await idles(page);
  const key = await page.$(`.key[data-id="${controlFor(name)}"]`);
  if (touch) await key.tap();
  else await key.click();
  await untilIdleAfter(page, before);
}

export async function tapAll(page, keys, options) {
  for (const name of keys.split(" ").filter(Boolean)) await tap(page, name, options);
}

// Clicks a page control and waits until the device has served it.
export async function command(page, selector) {
  const before = await idles(page);
  await page.click(selector);
  await untilIdleAfter(page, before);
}

// What the face shows: the digits as the runner's report writes "shown",
// the lit lamps, the power button's caption and the paper.
export function face(page) {
  return page.evaluate(() => ({
    shown: document.getElementById("display").dataset.shown,
    lamps: [...document.querySelectorAll(".lamp.lit")].map((lamp) => lamp.dataset.name),
    power: document.getElementById("power").textContent,
    paper: document.getElementById("paper").textContent,
  }));
}

export const trimmed = (shown) => shown.trim() || "(blank)";

const unescape = (text) => text.replace(/&lt;/g, "<").replace(/&gt;/g, ">").replace(/&quot;/g, '"')
  .replace(/&#x27;/g, "'").replace(/&ndash;/g, "\u2013").replace(/&amp;/g, "&");

// Every worked example of the manual: each row of its table (the keys of the
// row, and the display and lamps after them), the values each further "="
// shows (the last one comes round to the first result), and the printout.
export function manualExamples() {
  const examples = [];
  for (const file of readdirSync(MANUAL).filter((name) => name.endsWith(".html")).sort()) {
    const text = readFileSync(join(MANUAL, file), "utf8");
    for (const found of text.matchAll(/<div class="example"([^>]*)>([\s\S]*?)<\/div>/g)) {
      const body = found[2];
      const rows = [...body.matchAll(/<tr data-keys="([^"]*)">.*?<\/td><td><samp>(.*?)<\/samp><\/td><td>(.*?)<\/td>/g)].map(
        (row) => {
          const lamps = unescape(row[3]);
          return { keys: unescape(row[1]), shown: unescape(row[2]), lamps: lamps === "\u2013" ? [] : lamps.split(", ") };
        });
      const steps = body.match(/<p class="steps">([\s\S]*?)<\/p>/);
      examples.push({
        page: file,
        keys: rows.map((row) => row.keys).join(" "),
        printKeys: unescape(found[1].match(/data-print-keys="([^"]*)"/)[1]),
        steps: steps ? [...steps[1].matchAll(/<samp>(.*?)<\/samp>/g)].map((step) => unescape(step[1])) : [],
        paper: unescape(body.match(/<pre class="paper">\n([\s\S]*?)<\/pre>/)[1]),
        rows,
      });
    }
  }
  return examples;
}
