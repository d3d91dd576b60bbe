// Draws the page's PNG icons from icon.svg with headless Chromium, for the
// platforms that want pixels (home screens, install prompts). Run it again
// after changing the icon:
//   node web/draw_icons.mjs    (needs tests/web's packages: npm ci there)
import { mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import puppeteer from "../tests/web/node_modules/puppeteer-core/lib/esm/puppeteer/puppeteer-core.js";

const site = new URL("./site/", import.meta.url);
const svg = readFileSync(new URL("icon.svg", site), "utf8");
const profile = mkdtempSync(join(tmpdir(), "tm650e-icons-"));
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
  args: ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", `--user-data-dir=${profile}`],
});
try {
  const page = await browser.newPage();
  for (const size of [192, 512]) {
    await page.setViewport({ width: size, height: size });
    await page.setContent(`<style>body{margin:0}svg{display:block;width:${size}px;height:${size}px}</style>${svg}`);
    await page.screenshot({ path: new URL(`icon-${size}.png`, site).pathname, omitBackground: true });
  }
} finally {
  await browser.close();
  rmSync(profile, { recursive: true, force: true });
}
