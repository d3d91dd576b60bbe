// The paper as the page shows and keeps it: the pane, its Save, Print and
// clear buttons, the paper printed since the device was last kept, and the
// Undo of a cleared paper.
import { createPaper, preparePrint, savePaper } from "./paper.js";

const $ = (id) => document.getElementById(id);

// `send(kind)` carries a command to the machine; `withStore(job)` queues
// job(store) when the device is kept in this browser; `settings()` gives the
// settings in force.
export function createPaperRoom({ send, notice, withStore, settings }) {
  const paper = createPaper($("paper"), $("paper-newest"));
  const printStyle = document.head.appendChild(document.createElement("style"));
  printStyle.media = "print";
  let unsaved = "";

  $("clear-paper").addEventListener("click", () => send("clearPaper"));
  $("save-paper").addEventListener("click", () => savePaper(paper.text));

  let title = document.title;
  window.addEventListener("beforeprint", () => {
    preparePrint(printStyle, settings());
    paper.showAll();
    title = document.title;
    document.title = settings().docName || title;
  });
  window.addEventListener("afterprint", () => {
    document.title = title;
    paper.shown();
  });
  $("print-paper").addEventListener("click", () => window.print());
  preparePrint(printStyle, settings());

  return {
    // The paper kept from the last visit.
    open(text) {
      paper.replace(text);
    },
    append(text) {
      paper.append(text);
      unsaved += text;
    },
    // The paper printed since the last call, for the store.
    takeUnsaved() {
      const more = unsaved;
      unsaved = "";
      return more;
    },
    // New, the clear button and switching on clear the paper; Undo brings
    // the last one back, with anything printed since after it.
    cleared() {
      const cleared = paper.text;
      unsaved = "";
      paper.replace("");
      withStore((store) => store.clear());
      if (!cleared) return;
      notice("The paper is cleared.", {
        label: "Undo",
        run() {
          paper.replace(cleared + paper.text);
          withStore((store) => store.undoClear());
        },
      });
    },
    settingsChanged() {
      preparePrint(printStyle, settings());
    },
  };
}
