// The Worker that owns the machine: it runs the device in slices while there
// is work, then waits for the page's next message while the firmware sits at
// its key wait or the device is off, and hands every event to the page.
//
// From the page: {type: "module", module} (the WebAssembly, compiled while
// the page loaded, or null to fetch it here), {type: "start", snapshot?},
// {type: "command", kind, key}.
// To the page: {type: "ready", restoreError?}, {type: "events", events},
// {type: "idle", snapshot}, {type: "failed", message}.
import createMachine from "./machine.js";
import { EVENT_KINDS, STOP_REASONS } from "./tables.js";

const SLICE = 20000;  // instructions between looks at the clock
const TURN_MS = 6;    // a run this long lets the page's messages in

let provide;
const loading = new Promise((resolve) => (provide = resolve)).then((module) => createMachine(module ? {
  instantiateWasm(imports, receive) {
    WebAssembly.instantiate(module, imports).then((instance) => receive(instance, module));
    return {};
  },
} : {}));
loading.catch(() => {});  // reported when the page starts the machine
let machine = null;
let pending = [];        // commands that came before the machine was up
let continuing = false;  // a run is waiting for its next turn
const turn = new MessageChannel();
turn.port1.onmessage = () => {
  continuing = false;
  run();
};

self.onmessage = ({ data }) => {
  if (data.type === "module") provide(data.module);
  if (data.type === "start") start(data.snapshot);
  if (data.type !== "command") return;
  if (!machine) {
    pending.push(data);
    return;
  }
  machine._tm_send(data.kind, data.key);
  if (!continuing) run();
};

async function start(snapshot) {
  try {
    machine = await loading;
  } catch (error) {
    postMessage({ type: "failed", message: `the machine could not be loaded: ${error}` });
    return;
  }
  if (machine._tm_init() !== 0) {
    postMessage({ type: "failed", message: "no firmware is built into this page" });
    return;
  }
  let restoreError;
  if (snapshot) {
    restoreError = restore(new Uint8Array(snapshot));
    if (!restoreError) postEvents(machine._tm_view());
  }
  postMessage({ type: "ready", restoreError });
  for (const command of pending) machine._tm_send(command.kind, command.key);
  pending = [];
  run();
}

// Returns what is wrong with the snapshot, or nothing when the device now is
// the one saved.
function restore(bytes) {
  machine.HEAPU8.set(bytes, machine._tm_input(bytes.length));
  const error = machine._tm_restore();
  return error ? machine.UTF8ToString(machine._tm_error_text(error)) : undefined;
}

// Runs until the device can do nothing more without a command; a long run
// (a heavy calculation) yields between slices so that keys still get in.
function run() {
  const until = performance.now() + TURN_MS;
  machine._tm_serve();
  while (!machine._tm_idle()) {
    machine._tm_run_slice(SLICE);
    postEvents(machine._tm_drain());
    if (performance.now() >= until) {
      continuing = true;
      turn.port2.postMessage(0);
      return;
    }
  }
  postEvents(machine._tm_drain());
  // A held key's release wait sleeps too, but the key is not done with yet.
  if (!machine._tm_keys_idle()) return;
  const snapshot = record(machine._tm_snapshot()).slice().buffer;
  postMessage({ type: "idle", snapshot }, [snapshot]);
}

function record(size) {
  const at = machine._tm_record();
  return machine.HEAPU8.subarray(at, at + size);
}

function postEvents(size) {
  if (size) postMessage({ type: "events", events: readEvents(record(size)) });
}

// The paper is 8-bit text: one character per byte, whatever the byte.
function latin1(bytes) {
  let text = "";
  for (let i = 0; i < bytes.length; i += 4096) text += String.fromCharCode(...bytes.subarray(i, i + 4096));
  return text;
}

function readEvents(bytes) {
  const events = [];
  let at = 0;
  const byte = () => bytes[at++];
  const word = () => byte() | (byte() << 8);
  const text = () => {
    const length = word() + word() * 65536;
    at += length;
    return latin1(bytes.subarray(at - length, at));
  };
  while (at < bytes.length) {
    const event = { kind: EVENT_KINDS[byte()] };
    switch (event.kind) {
      case "display": {
        event.digits = [byte(), byte(), byte(), byte()];
        const points = byte();
        event.points = event.digits.map((_, i) => ((points >> i) & 1) === 1);
        event.shown = text();
        break;
      }
      case "lamps":
        event.lamps = byte();
        break;
      case "paper":
      case "logFailed":
      case "stateFailed":
        event.text = text();
        break;
      case "power":
        event.on = byte() === 1;
        break;
      case "stopped":
        event.reason = STOP_REASONS[byte()];
        event.address = word();
        event.opcode = byte();
        break;
    }
    events.push(event);
  }
  return events;
}
