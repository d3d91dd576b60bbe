// The page's shell: starts the machine's Worker with the device kept from the
// last visit, sends it the face's commands, draws its events, keeps the
// device and the new paper in the browser's storage whenever it waits for a
// key, and runs the paper, manual, chart and settings commands. One tab at a
// time has the device; another says so and can take it over.
import { buildFace } from "./face.js";
import { createPaper, preparePrint, savePaper } from "./paper.js";
import { forgetDevice, loadSettings, openDevice, saveSettings } from "./storage.js";

// Started by the page's first script, perhaps before the page is all read.
if (document.readyState === "loading") await new Promise((resolve) => document.addEventListener("DOMContentLoaded", resolve));

const COMMANDS = { keyDown: 0, keyUp: 1, power: 2, new: 3, paperFeed: 4, clearPaper: 5 };
const DEVICE_LOCK = "tm650e-device";
const TAKE_OVER = "tm650e.take-over";  // session flag: this tab takes the device on its next load

const $ = (id) => document.getElementById(id);
const { worker } = self.tm650eBoot;

let settings = loadSettings();
const paper = createPaper($("paper"), $("paper-newest"));
const printStyle = document.head.appendChild(document.createElement("style"));
printStyle.media = "print";
let running = false;     // this tab has the device and its machine is started
let stopped = false;
let store = null;        // where the device is kept; null when the browser keeps nothing
let saving = Promise.resolve();
let unsavedPaper = "";
let idles = 0;
let storing = 0;         // jobs of the storage queue not done yet
let toldSaveFailed = false;

// One notice at a time, with at most one action button.
function notice(text, action = null) {
  $("notice-text").textContent = text;
  const button = $("notice-action");
  button.hidden = !action;
  if (action) {
    button.textContent = action.label;
    button.onclick = () => {
      $("notice").hidden = true;
      action.run();
    };
  }
  $("notice").hidden = false;
}
$("notice-close").addEventListener("click", () => ($("notice").hidden = true));

function send(kind, key = 0) {
  if (!running || (stopped && (kind === "power" || kind === "new"))) return;
  worker.postMessage({ type: "command", kind: COMMANDS[kind], key });
}

const face = buildFace(
  { functionKeys: $("function-keys"), panel: $("panel"), display: $("display"), stopped: $("stopped") },
  send);
face.showPower(true);
// The keyboard's map and the beeper are not needed to start: they come after.
import("./keyboard.js").then(({ attachKeyboard, pcKeyNames }) => {
  for (const [id, key] of face.keys) {
    const names = pcKeyNames(id);
    if (names) key.button.title = `PC key: ${names}`;
  }
  attachKeyboard(face.keys);
});
const sound = import("./sound.js");

function showStopped(event) {
  stopped = true;
  $("new").disabled = true;
  const hex = (value, digits) => `0x${value.toString(16).toUpperCase().padStart(digits, "0")}`;
  face.showStopped(event.reason === "undecoded"
    ? `Device stopped: opcode ${hex(event.opcode, 2)} at ${hex(event.address, 4)} is not decoded. ` +
      "The paper can still be read, saved and printed; Settings can start a fresh device."
    : "Device stopped: the firmware halted. Settings can start a fresh device.");
}

// ---- keeping the device ----

// Storage jobs run one after another; body[data-stored] says when all are done.
function queue(job) {
  document.body.dataset.stored = "false";
  storing++;
  saving = saving.then(job).catch((error) => {
    if (toldSaveFailed) return;
    toldSaveFailed = true;
    notice(`The device cannot be kept in this browser (${error?.message ?? error}). It still works; save the paper to keep it.`);
  }).then(() => {
    if (--storing === 0) document.body.dataset.stored = "true";
  });
}

function keep(snapshot) {
  const more = unsavedPaper;
  unsavedPaper = "";
  if (store) queue(() => store?.save(snapshot, more));
}

// New, the clear button and switching on clear the paper; Undo brings the
// last one back, with anything printed since after it.
function paperCleared() {
  const cleared = paper.text;
  unsavedPaper = "";
  paper.replace("");
  if (store) queue(() => store?.clear());
  if (!cleared) return;
  notice("The paper is cleared.", {
    label: "Undo",
    run() {
      paper.replace(cleared + paper.text);
      if (store) queue(() => store?.undoClear());
    },
  });
}

let firstDigits = true;
function drawEvent(event) {
  switch (event.kind) {
    case "display":
      face.showDigits(event.digits, event.points);
      if (firstDigits) performance.mark("tm650e-first-digits");
      firstDigits = false;
      break;
    case "lamps": face.showLamps(event.lamps); break;
    case "beep": if (settings.sound) sound.then(({ beep }) => beep()); break;
    case "paper":
      paper.append(event.text);
      unsavedPaper += event.text;
      break;
    case "paperCleared": paperCleared(); break;
    case "power": face.showPower(event.on); break;
    case "stopped": showStopped(event); break;
  }
}

worker.onmessage = ({ data }) => {
  switch (data.type) {
    case "events":
      data.events.forEach(drawEvent);
      break;
    case "idle":
      keep(data.snapshot);
      document.body.dataset.idles = ++idles;
      document.dispatchEvent(new CustomEvent("tm650e-idle"));
      break;
    case "ready":
      if (data.restoreError) notice(`The kept device could not be restored (${data.restoreError}); it starts afresh.`);
      document.body.dataset.ready = "true";
      // The pictures come once the machine is up, so as not to hold it up on a slow line.
      for (const image of document.querySelectorAll("img[data-src]")) image.src = image.dataset.src;
      break;
    case "failed":
      face.showStopped(`TM650E cannot run here: ${data.message}.`);
      break;
  }
};
worker.onerror = (event) => face.showStopped(`TM650E cannot run here: ${event.message || "the machine failed"}.`);

async function startMachine() {
  const opened = await openDevice();
  store = opened.store;
  if (opened.problem) notice(`The kept device could not be read (${opened.problem}); it starts afresh.`);
  paper.replace(opened.paper);
  running = true;
  const transfer = opened.snapshot ? [opened.snapshot] : [];
  worker.postMessage({ type: "start", snapshot: opened.snapshot }, transfer);
}

// ---- one tab at a time ----

function takeOver() {
  sessionStorage.setItem(TAKE_OVER, "1");
  location.reload();
}

function lostDevice() {
  running = false;
  worker.terminate();
  store = null;  // what is still queued is the last this tab writes
  document.body.dataset.elsewhere = "true";
  face.showStopped("The device is now open in another tab or window.");
  notice("The device is now open in another tab or window; this one no longer changes it.",
    { label: "Use it here", run: takeOver });
}

// Starts the machine once this tab holds the device's lock (at once when no
// other tab has it, or when the user asked to take it over).
function claimDevice() {
  if (!navigator.locks) return startMachine();
  const take = sessionStorage.getItem(TAKE_OVER) === "1";
  sessionStorage.removeItem(TAKE_OVER);
  const hold = (lock) => {
    if (!lock) return null;
    startMachine();
    return new Promise(() => {});  // held for the page's life
  };
  navigator.locks.request(DEVICE_LOCK, take ? { steal: true } : { ifAvailable: true }, (lock) => {
    if (lock) return hold(lock);
    document.body.dataset.elsewhere = "true";
    notice("The device is open in another tab or window of this browser. It starts here when that one closes.",
      { label: "Use it here", run: takeOver });
    navigator.locks.request(DEVICE_LOCK, (later) => {
      delete document.body.dataset.elsewhere;
      $("notice").hidden = true;
      return hold(later);
    }).catch(lostDevice);
    return null;
  }).catch(lostDevice);
}

// ---- commands of the page ----

$("new").addEventListener("click", () => send("new"));
$("clear-paper").addEventListener("click", () => send("clearPaper"));
$("save-paper").addEventListener("click", () => savePaper(paper.text));

let title = document.title;
window.addEventListener("beforeprint", () => {
  preparePrint(printStyle, settings);
  paper.showAll();
  title = document.title;
  document.title = settings.docName || title;
});
window.addEventListener("afterprint", () => {
  document.title = title;
  paper.shown();
});
$("print-paper").addEventListener("click", () => window.print());
preparePrint(printStyle, settings);

let openManual = null;  // the manual's script comes when it is first opened
$("open-manual").addEventListener("click", async () => {
  openManual ??= (await import("./manual.js")).createManual($("manual"));
  openManual();
});

const chart = $("chart");
$("open-chart").addEventListener("click", () => chart.showModal());
chart.querySelector(".close").addEventListener("click", () => chart.close());
$("chart-zoom").addEventListener("click", (event) => {
  const larger = chart.classList.toggle("larger");
  event.currentTarget.setAttribute("aria-pressed", String(larger));
});

// The screen stays on while the page is in front, when the settings ask.
let wakeLock = null;
async function keepAwake() {
  if (!("wakeLock" in navigator)) return;
  if (!settings.awake) {
    wakeLock?.release();
    wakeLock = null;
    return;
  }
  if (wakeLock || document.visibilityState !== "visible") return;
  try {
    wakeLock = await navigator.wakeLock.request("screen");
    wakeLock.addEventListener("release", () => (wakeLock = null));
  } catch {
    // refused (battery saver, or the page is not in front): the screen sleeps as usual
  }
}
document.addEventListener("visibilitychange", keepAwake);

const settingsDialog = $("settings");
const form = $("settings-form");
$("open-settings").addEventListener("click", () => {
  for (const [name, value] of Object.entries(settings)) {
    const field = form.elements[name];
    if (field.type === "checkbox") field.checked = value;
    else field.value = value;
  }
  settingsDialog.showModal();
});
settingsDialog.querySelector(".close").addEventListener("click", () => settingsDialog.close("cancel"));
settingsDialog.addEventListener("close", () => {
  if (settingsDialog.returnValue !== "ok") return;
  settings = {
    docName: form.elements.docName.value,
    header: form.elements.header.value,
    footer: form.elements.footer.value,
    sound: form.elements.sound.checked,
    awake: form.elements.awake.checked,
  };
  const error = saveSettings(settings);
  if (error) notice(`The settings cannot be kept in this browser (${error}); they hold until the page is closed.`);
  preparePrint(printStyle, settings);
  keepAwake();
});
$("forget").addEventListener("click", async () => {
  if (!confirm("Forget the kept device and its paper, and start a fresh device?")) return;
  running = false;
  worker.terminate();
  store?.close();
  await forgetDevice();
  location.reload();
});

// ---- offline and updates ----

if ("serviceWorker" in navigator) {
  const updating = Boolean(navigator.serviceWorker.controller);
  navigator.serviceWorker.register("sw.js", { updateViaCache: "none" }).catch(() => {
    // Served where a service worker may not run (plain http off localhost): online only.
  });
  navigator.serviceWorker.addEventListener("controllerchange", () => {
    if (updating) notice("A new version of TM650E is ready.", { label: "Reload", run: () => location.reload() });
  });
}

keepAwake();
claimDevice();
