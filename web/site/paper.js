// The paper pane: the text the device printed, CR LF lines of 8-bit
// characters, its newest lines shown in a box of their own. Save writes all
// of it byte for byte as a text file; Print hands all of it to the browser's
// print with the header and footer templates of the settings on every page.

import createHeaderFooter from "./header_footer.js";

const SHOWN_LINES = 400;  // the pane shows this many of the newest lines, at most twice that

// The pane over `pre`: it follows the newest line unless the reader has
// scrolled back, when `newest` (a button) is shown to return.
export function createPaper(pre, newest) {
  let chunks = [];
  let shownLines = 0;
  let following = true;
  const atEnd = () => pre.scrollHeight - pre.scrollTop - pre.clientHeight < 24;
  let followPending = false;
  const follow = () => {
    followPending = false;
    if (following) pre.scrollTop = pre.scrollHeight;
    newest.hidden = following;
  };
  // Lines come in runs: the pane is scrolled once, after the run.
  const followSoon = () => {
    if (followPending) return;
    followPending = true;
    queueMicrotask(follow);
  };
  const lines = (text) => {
    let count = 0;
    for (let at = text.indexOf("\n"); at >= 0; at = text.indexOf("\n", at + 1)) count++;
    return count;
  };
  // The newest SHOWN_LINES lines of the whole paper.
  const showWindow = () => {
    const text = chunks.join("");
    chunks = text ? [text] : [];
    const all = text.replaceAll("\r\n", "\n");
    let from = all.length;
    for (let n = 0; n <= SHOWN_LINES && from > 0; n++) from = all.lastIndexOf("\n", from - 1);
    const shown = from > 0 ? all.slice(from + 1) : all;
    pre.textContent = shown;
    shownLines = lines(shown);
  };
  pre.addEventListener("scroll", () => {
    following = atEnd();
    newest.hidden = following;
  }, { passive: true });
  newest.addEventListener("click", () => {
    following = true;
    follow();
  });
  return {
    get text() {
      return chunks.join("");
    },
    append(more) {
      if (!more) return;
      chunks.push(more);
      const shown = more.replaceAll("\r\n", "\n");
      shownLines += lines(shown);
      if (shownLines > 2 * SHOWN_LINES) showWindow();
      else pre.append(shown);
      followSoon();
    },
    replace(all) {
      chunks = all ? [all] : [];
      showWindow();
      following = true;
      follow();
    },
    // The whole paper in the pane while it prints; `shown()` puts the window back.
    showAll() {
      pre.textContent = this.text.replaceAll("\r\n", "\n");
    },
    shown() {
      showWindow();
      follow();
    },
  };
}

const two = (n) => String(n).padStart(2, "0");

export function savePaper(text) {
  const bytes = Uint8Array.from(text, (c) => c.charCodeAt(0) & 0xff);
  const url = URL.createObjectURL(new Blob([bytes], { type: "text/plain" }));
  const link = document.createElement("a");
  const now = new Date();  // the knitter's own clock
  const stamp = `${now.getFullYear()}${two(now.getMonth() + 1)}${two(now.getDate())}-${two(now.getHours())}${two(now.getMinutes())}`;
  link.href = url;
  link.download = `tm650e-paper-${stamp}.txt`;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

// The print layout's header and footer expansion, the same code the desktop
// prints with.
const expander = await createHeaderFooter();
// Where the page's counter goes in an expanded template: a character no
// template keeps.
const PAGE = "\u0001";

// The template expanded by the print layout's own code (the date and time
// of `now`), as parts: strings, and {page: true} where the page number goes.
export function templateParts(template, now = new Date()) {
  const date = `${two(now.getMonth() + 1)}/${two(now.getDate())}/${two(now.getFullYear() % 100)}`;
  const time = `${two(now.getHours())}:${two(now.getMinutes())}:${two(now.getSeconds())}`;
  const expanded = expander.ccall("tm_expand_header_footer", "string", ["string", "string", "string", "string"],
                                  [template.replaceAll(PAGE, ""), PAGE, date, time]);
  const parts = [];
  expanded.split(PAGE).forEach((text, i) => {
    if (i > 0) parts.push({ page: true });
    if (text) parts.push(text);
  });
  return parts;
}

function cssString(text) {
  return `"${text.replace(/[\\"]/g, "\\$&").replace(/[\u0000-\u001f]/g, (c) => `\\${c.charCodeAt(0).toString(16)} `)}"`;
}

function marginBox(box, template) {
  const parts = templateParts(template);
  if (parts.length === 0) return "";
  const content = parts.map((part) => (typeof part === "string" ? cssString(part) : "counter(page)")).join(" ");
  return `@${box} { content: ${content}; font: 10pt ui-monospace, monospace; }`;
}

// Writes the page rules for the header and footer (the clock read now) and
// names the print job; the print style sheet shows only the paper.
export function preparePrint(style, settings) {
  style.textContent = `@page { margin: 18mm 16mm; ${marginBox("top-center", settings.header)} ${marginBox("bottom-center", settings.footer)} }`;
}
