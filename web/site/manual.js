// The manual, read on the page: the manual's function pages and the page's
// own help, shown in a sheet, with their links followed in
// place and a Back button.

const PAGES = [
  ["index.html", "The calculator at a glance"],
  ["gauge.html", "Gauge (A, B)"],
  ["straight.html", "Straight line (C, D)"],
  ["dividing.html", "Dividing (E, F)"],
  ["slanting.html", "Slanting line (G)"],
  ["curve.html", "Curve line (H) and arc length (P=)"],
  ["sleevecap.html", "Sleeve cap (I)"],
  ["page.html", "Help: this page"],
];

export function createManual(dialog) {
  const article = dialog.querySelector("#manual-page");
  const select = dialog.querySelector("#manual-pages");
  const back = dialog.querySelector("#manual-back");
  const history = [];
  let current = null;

  for (const [file, title] of PAGES) select.add(new Option(title, file));

  async function show(file, anchor) {
    try {
      const response = await fetch(`manual/${file}`);
      if (!response.ok) throw new Error(`${response.status} ${response.statusText}`);
      const page = new DOMParser().parseFromString(await response.text(), "text/html");
      article.replaceChildren(...page.body.childNodes);
    } catch (error) {
      article.textContent = `This page of the manual cannot be shown: ${error.message}.`;
    }
    current = file;
    select.value = file;
    back.disabled = history.length === 0;
    const target = anchor && article.querySelector(`[name="${CSS.escape(anchor)}"], #${CSS.escape(anchor)}`);
    if (target) target.scrollIntoView();
    else article.scrollTop = 0;
  }

  function go(file, anchor) {
    if (current && file !== current) history.push(current);
    show(file, anchor);
  }

  article.addEventListener("click", (event) => {
    const link = event.target.closest("a[href]");
    if (!link) return;
    const href = link.getAttribute("href");
    if (/^[a-z]+:/i.test(href)) {
      link.target = "_blank";
      link.rel = "noopener";
      return;
    }
    event.preventDefault();
    const [file, anchor] = href.split("#");
    go(file || current, anchor);
  });
  select.addEventListener("change", () => go(select.value));
  back.addEventListener("click", () => {
    if (history.length) show(history.pop());
  });
  dialog.querySelector(".close").addEventListener("click", () => dialog.close());

  return function open() {
    if (!current) show(PAGES[0][0]);
    dialog.showModal();
  };
}
