// Draws the page's PNG icons from icon.svg with headless Chromium, for the
// platforms that want pixels (home screens, install prompts): the icon as it
// is, and a full-square one with the face inside the middle 80 % circle that
// a maskable icon must keep to (the home screen of one platform cuts it to
// any shape; another rounds the corners of the 180 px one). Run it again
// after changing the icon:
//   node web/draw_icons.mjs    (needs tests/web's packages: npm ci there)
import { mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import puppeteer from "../tests/web/node_modules/puppeteer-core/lib/esm/puppeteer/puppeteer-core.js";

const site = new URL("./site/", import.meta.url);
const svg = readFileSync(new URL("icon.svg", site), "utf8");
const inner = svg.replace(/^[\s\S]*?<svg[^>]*>/, "").replace(/<\/svg>\s*$/, "");
const background = svg.match(/<rect[^>]*fill="([^"]+)"/)[1];
const square = `<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 512 512"><rect width="512" height="512" fill="${background}"/>` +
  `<g transform="translate(256 256) scale(0.72) translate(-256 -256)">${inner}</g></svg>`;
const ICONS = [
  ["icon-192.png", svg, 192], ["icon-512.png", svg, 512], ["icon-maskable-512.png", square, 512], ["icon-180.png", square, 180],
];
const profile = mkdtempSync(join(tmpdir(), "tm650e-icons-"));
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
  args: ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", `--user-data-dir=${profile}`],
});
try {
  const page = await browser.newPage();
  for (const [name, image, size] of ICONS) {
    await page.setViewport({ width: size, height: size });
    await page.setContent(`<style>body{margin:0}svg{display:block;width:${size}px;height:${size}px}</style>${image}`);
    await page.screenshot({ path: new URL(name, site).pathname, omitBackground: true });
  }
} finally {
  await browser.close();
  rmSync(profile, { recursive: true, force: true });
}
