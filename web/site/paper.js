// The paper pane: the text the device printed, CR LF lines of 8-bit
// characters, shown as lines. Save writes it byte for byte as a text file;
// Print hands it to the browser's print with the header and footer templates
// of the settings on every page.

const TEMPLATE_LIMIT = 255;  // characters of a filled-in header or footer

export function createPaper(pre) {
  let text = "";
  const show = (more) => {
    pre.append(more.replaceAll("\r\n", "\n"));
    pre.scrollTop = pre.scrollHeight;
  };
  return {
    get text() {
      return text;
    },
    append(more) {
      text += more;
      show(more);
    },
    replace(all) {
      text = "";
      pre.textContent = "";
      this.append(all);
    },
  };
}

export function savePaper(text) {
  const bytes = Uint8Array.from(text, (c) => c.charCodeAt(0) & 0xff);
  const url = URL.createObjectURL(new Blob([bytes], { type: "text/plain" }));
  const link = document.createElement("a");
  const stamp = new Date().toISOString().slice(0, 16).replace(/[-:]/g, "").replace("T", "-");
  link.href = url;
  link.download = `tm650e-paper-${stamp}.txt`;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

const two = (n) => String(n).padStart(2, "0");

// A placeholder is "&[" and four letters naming date, time or page (in any
// case) and one more character, meant to be "]"; it counts only with a "]"
// somewhere after its "&[". Everything else is copied as it stands. Returns
// the parts: strings, and {page: true} where the page number goes.
export function templateParts(template, now = new Date()) {
  const values = {
    date: `${two(now.getMonth() + 1)}/${two(now.getDate())}/${two(now.getFullYear() % 100)}`,
    time: `${two(now.getHours())}:${two(now.getMinutes())}:${two(now.getSeconds())}`,
  };
  const parts = [];
  let literal = "";
  let length = 0;
  for (let i = 0; i < template.length && length < TEMPLATE_LIMIT; ) {
    const name = template.slice(i + 2, i + 6).toLowerCase();
    const placeholder = template.startsWith("&[", i) && template.indexOf("]", i + 2) >= 0 &&
                        ["date", "time", "page"].includes(name);
    if (!placeholder) {
      literal += template[i++];
      length++;
      continue;
    }
    i += 7;
    if (name === "page") {
      if (literal) parts.push(literal);
      literal = "";
      parts.push({ page: true });
      continue;
    }
    const value = values[name].slice(0, TEMPLATE_LIMIT - length);
    literal += value;
    length += value.length;
  }
  if (literal) parts.push(literal);
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
