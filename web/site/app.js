// The page's shell: starts the machine's Worker with the device kept from the
// last visit, sends it the face's commands, hands its events to the face and
// the paper, keeps the device and the new paper in the browser's storage
// whenever it waits for a key, and opens the manual and the chart. One tab at
// a time has the device; another says so and can take it over.
import { buildFace } from "./face.js";
import { createPaperRoom } from "./paper_room.js";
import { createSettingsRoom } from "./settings_room.js";
import { forgetDevice, openDevice } from "./storage.js";
import { COMMANDS } from "./tables.js";

const DEVICE_LOCK = "tm650e-device";
const TAKE_OVER = "tm650e.take-over";  // session flag: this tab takes the device on its next load

const $ = (id) => document.getElementById(id);

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

// Builds the face and the rooms round the machine's Worker; returns what
// starts the machine once this tab may have the device.
function startShell(worker) {
  let running = false;     // this tab has the device and its machine is started
  let stopped = false;
  let store = null;        // where the device is kept; null when the browser keeps nothing
  let saving = Promise.resolve();
  let idles = 0;
  let storing = 0;         // jobs of the storage queue not done yet
  let toldSaveFailed = false;

  $("notice-close").addEventListener("click", () => ($("notice").hidden = true));

  function send(kind, key = 0) {
    if (!running || (stopped && (kind === "power" || kind === "new"))) return;
    worker.postMessage({ type: "command", kind: COMMANDS[kind], key });
  }

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

  // A job for the store, if this tab still has one when the job's turn comes.
  function withStore(job) {
    if (store) queue(() => store && job(store));
  }

  const settings = createSettingsRoom({
    notice,
    changed: () => paper.settingsChanged(),
    async forget() {
      running = false;
      worker.terminate();
      store?.close();
      await forgetDevice();
      location.reload();
    },
  });
  const paper = createPaperRoom({ send, notice, withStore, settings: () => settings.current });

  const face = buildFace(
    { functionKeys: $("function-keys"), panel: $("panel"), display: $("display"), stopped: $("stopped") },
    send);
  face.showPower(true);
  // The keyboard's map and the beeper are not needed to start: they come after.
  import("./keyboard.js").then(({ attachKeyboard, pcKeyNames }) => {
    for (const [id, key] of face.keys) {
      const names = pcKeyNames(id);
      const { button } = key;
      if (names) button.title = button.title ? `${button.title} (PC key: ${names})` : `PC key: ${names}`;
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

  function keep(snapshot) {
    const more = paper.takeUnsaved();
    withStore((kept) => kept.save(snapshot, more));
  }

  let firstDigits = true;
  function drawEvent(event) {
    switch (event.kind) {
      case "display":
        face.showDigits(event.digits, event.points, event.shown);
        if (firstDigits) performance.mark("tm650e-first-digits");
        firstDigits = false;
        break;
      case "lamps": face.showLamps(event.lamps); break;
      case "beep": if (settings.current.sound) sound.then(({ beep }) => beep()); break;
      case "paper": paper.append(event.text); break;
      case "paperCleared": paper.cleared(); break;
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
    paper.open(opened.paper);
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

  $("new").addEventListener("click", () => send("new"));
  return claimDevice;
}

// The manual's script comes when it is first opened; the chart shows the
// functions large.
function attachReading() {
  let openManual = null;
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
}

// Offline and updates: the service worker keeps this build; a new one says so.
function attachOffline() {
  if (!("serviceWorker" in navigator)) return;
  const updating = Boolean(navigator.serviceWorker.controller);
  navigator.serviceWorker.register("sw.js", { updateViaCache: "none" }).catch(() => {
    // Served where a service worker may not run (plain http off localhost): online only.
  });
  navigator.serviceWorker.addEventListener("controllerchange", () => {
    if (updating) notice("A new version of TM650E is ready.", { label: "Reload", run: () => location.reload() });
  });
}

// Started by the page's first script, perhaps before the page is all read.
if (document.readyState === "loading") await new Promise((resolve) => document.addEventListener("DOMContentLoaded", resolve));
const claimDevice = startShell(self.tm650eBoot.worker);
attachReading();
attachOffline();
claimDevice();
