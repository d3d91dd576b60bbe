// The page's shell: starts the machine's Worker with the device kept from the
// last visit, sends it the face's commands, draws its events, keeps the
// device and paper in the browser's storage whenever it waits for a key, and
// runs the paper, manual and settings commands.
import { worker } from "./boot.js";
import { buildFace } from "./face.js";
import { attachKeyboard, pcKeyNames } from "./keyboard.js";
import { createManual } from "./manual.js";
import { createPaper, preparePrint, savePaper } from "./paper.js";
import { beep } from "./sound.js";
import { forgetDevice, loadDevice, loadSettings, saveDevice, saveSettings } from "./storage.js";

const COMMANDS = { keyDown: 0, keyUp: 1, power: 2, new: 3, paperFeed: 4, clearPaper: 5 };

const $ = (id) => document.getElementById(id);

let settings = loadSettings();
const paper = createPaper($("paper"));
const printStyle = document.head.appendChild(document.createElement("style"));
printStyle.media = "print";
let stopped = false;
let idles = 0;
let toldSaveFailed = false;

function notice(text) {
  $("notice-text").textContent = text;
  $("notice").hidden = false;
}
$("notice-close").addEventListener("click", () => ($("notice").hidden = true));

function send(kind, key = 0) {
  if (stopped && (kind === "power" || kind === "new")) return;
  worker.postMessage({ type: "command", kind: COMMANDS[kind], key });
}

const face = buildFace(
  { functionKeys: $("function-keys"), panel: $("panel"), display: $("display"), stopped: $("stopped") },
  send);
for (const [id, key] of face.keys) {
  const names = pcKeyNames(id);
  if (names) key.button.title = `PC key: ${names}`;
}
face.showPower(true);
attachKeyboard(face.keys);

function showStopped(event) {
  stopped = true;
  $("new").disabled = true;
  const hex = (value, digits) => `0x${value.toString(16).toUpperCase().padStart(digits, "0")}`;
  face.showStopped(event.reason === "undecoded"
    ? `Device stopped: opcode ${hex(event.opcode, 2)} at ${hex(event.address, 4)} is not decoded. ` +
      "The paper can still be read, saved and printed; Settings can start a fresh device."
    : "Device stopped: the firmware halted. Settings can start a fresh device.");
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
    case "beep": if (settings.sound) beep(); break;
    case "paper": paper.append(event.text); break;
    case "paperCleared": paper.replace(""); break;
    case "power": face.showPower(event.on); break;
    case "stopped": showStopped(event); break;
  }
}

function keep(snapshot) {
  const error = saveDevice(snapshot, paper.text);
  if (error && !toldSaveFailed) {
    toldSaveFailed = true;
    notice(`The device cannot be kept in this browser (${error}). It still works; save the paper to keep it.`);
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
      break;
    case "failed":
      face.showStopped(`TM650E cannot run here: ${data.message}.`);
      break;
  }
};
worker.onerror = (event) => face.showStopped(`TM650E cannot run here: ${event.message || "the machine failed"}.`);

function startMachine() {
  const kept = loadDevice();
  if (kept.problem) notice(`The kept device could not be read (${kept.problem}); it starts afresh.`);
  paper.replace(kept.paper);
  const transfer = kept.snapshot ? [kept.snapshot] : [];
  worker.postMessage({ type: "start", snapshot: kept.snapshot }, transfer);
}

// ---- commands of the page ----

$("new").addEventListener("click", () => send("new"));
$("clear-paper").addEventListener("click", () => send("clearPaper"));
$("save-paper").addEventListener("click", () => savePaper(paper.text));

let title = document.title;
function beforePrint() {
  preparePrint(printStyle, settings);
  title = document.title;
  document.title = settings.docName || title;
}
window.addEventListener("beforeprint", beforePrint);
window.addEventListener("afterprint", () => (document.title = title));
$("print-paper").addEventListener("click", () => window.print());
preparePrint(printStyle, settings);

const openManual = createManual($("manual"));
$("open-manual").addEventListener("click", openManual);

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
  };
  const error = saveSettings(settings);
  if (error) notice(`The settings cannot be kept in this browser (${error}); they hold until the page is closed.`);
  preparePrint(printStyle, settings);
});
$("forget").addEventListener("click", () => {
  if (!confirm("Forget the kept device and its paper, and start a fresh device?")) return;
  worker.terminate();
  forgetDevice();
  location.reload();
});

// ---- offline ----

if ("serviceWorker" in navigator) {
  const updating = Boolean(navigator.serviceWorker.controller);
  navigator.serviceWorker.register("sw.js").catch(() => {
    // Served where a service worker may not run (plain http off localhost): online only.
  });
  navigator.serviceWorker.addEventListener("controllerchange", () => {
    if (updating) notice("A new version of TM650E is ready: reload the page to use it.");
  });
}

startMachine();
