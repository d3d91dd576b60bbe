// The device's face on the page: the function keys under the chart, the
// keypad, the lamps, the digits and the power button. Each key is a button
// that holds its device key (row * 8 + column) down while a finger, the mouse
// or a mapped PC key is on it; where each sits is the style sheet's affair
// (grid areas named after the keys).
import { createDigits } from "./digits.js";

// id: the desktop window's control id, which names the key's help topic.
export const KEYS = [
  ..."ABCDEFGHIJKLMN".split("").map((text, n) => ({ id: 1000 + n, key: 19 + n, text, area: "fn" })),
  ..."123456789".split("").map((text, n) => ({ id: 1014 + n, key: 1 + n, text, area: `n${text}` })),
  { id: 1023, key: 0, text: "0", area: "n0" },
  { id: 1024, key: 10, text: ".", area: "npt" },
  { id: 1025, key: 11, text: "C", area: "kc" },
  { id: 1040, key: 12, text: "AC", caption: "All", area: "aca" },
  { id: 1041, key: 13, text: "AC", caption: "No gauge", area: "acn" },
  { id: 1026, key: 14, text: "S", area: "ks" },
  { id: 1027, key: 15, text: "R", area: "kr" },
  { id: 1028, key: 16, text: "X", area: "kx" },
  { id: 1029, key: 17, text: "Y", area: "ky" },
  { id: 1030, key: 18, text: "Z", area: "kz" },
  { id: 1032, key: 34, text: "=", area: "keq" },
  { id: 1031, key: 35, text: "=", caption: "P", area: "kp" },
];

export const LAMPS = [
  { mask: 0x01, name: "GAUGE", area: "lg" },
  { mask: 0x02, name: "MODE", area: "lm" },
  { mask: 0x08, name: "M/T", area: "lt" },
  { mask: 0x10, name: "ARC LENGTH", area: "la" },
  { mask: 0x20, name: "PRINT", area: "lp" },
];

// The frames round the key groups, as grid areas of the wide layout.
const FRAMES = ["frame-display", "frame-ac", "frame-numbers", "frame-gauge", "frame-mt", "frame-arc", "frame-print"];

// Number keys light, clearing keys red, the rest dark.
function keyClass(area) {
  if (area === "fn") return "key function";
  if (["aca", "acn", "kc"].includes(area)) return "key clear";
  return area.startsWith("n") ? "key number" : "key";
}

const MIN_SHOWN_DOWN_MS = 90;  // a quick tap still shows the key going down

function keyButton(item, hold) {
  const button = document.createElement("button");
  button.type = "button";
  button.className = keyClass(item.area);
  button.dataset.id = item.id;
  button.dataset.key = item.key;
  button.style.gridArea = item.area === "fn" ? "" : item.area;
  if (item.caption) {
    button.setAttribute("aria-label", `${item.text} (${item.caption})`);
    const caption = document.createElement("span");
    caption.className = "caption";
    caption.textContent = item.caption;
    button.append(caption);
  }
  button.append(item.text);
  let held = false;
  let downSince = 0;
  let unshow = 0;
  const press = () => {
    if (held) return;
    held = true;
    clearTimeout(unshow);
    downSince = performance.now();
    button.classList.add("down");
    hold(item.key, true);
  };
  const release = () => {
    if (!held) return;
    held = false;
    hold(item.key, false);
    const shown = performance.now() - downSince;
    unshow = setTimeout(() => button.classList.remove("down"), Math.max(0, MIN_SHOWN_DOWN_MS - shown));
  };
  button.addEventListener("pointerdown", (event) => {
    if (event.button !== 0) return;
    event.preventDefault();
    try {
      button.setPointerCapture(event.pointerId);  // the release comes here wherever the finger goes
    } catch {
      // a pointer the browser no longer tracks: its release still ends the press
    }
    press();
  });
  for (const end of ["pointerup", "pointercancel", "lostpointercapture"]) button.addEventListener(end, release);
  // Space or Enter on a focused key: a click with no pointer behind it.
  button.addEventListener("click", (event) => {
    if (event.detail !== 0) return;
    press();
    release();
  });
  button.addEventListener("contextmenu", (event) => event.preventDefault());
  return { button, press, release };
}

// Builds the face into the page; `send(kind, key)` carries a command to the
// machine. Returns what the page needs to show the machine's events.
export function buildFace({ functionKeys, panel, display, stopped }, send) {
  const keys = new Map();
  const hold = (key, down) => send(down ? "keyDown" : "keyUp", key);
  for (const item of KEYS) {
    const key = keyButton(item, hold);
    keys.set(item.id, key);
    if (item.area === "fn") {
      key.button.style.setProperty("--n", item.id - 1000);
      functionKeys.append(key.button);
    } else {
      panel.append(key.button);
    }
  }

  const lamps = LAMPS.map((item) => {
    const lamp = document.createElement("span");
    lamp.className = "lamp";
    lamp.style.gridArea = item.area;
    lamp.dataset.name = item.name;
    lamp.innerHTML = '<span class="led"></span>';
    lamp.append(item.name);
    panel.append(lamp);
    return [item.mask, lamp];
  });

  const feed = document.createElement("button");
  feed.type = "button";
  feed.className = "key feed";
  feed.id = "paper-feed";
  feed.style.gridArea = "pf";
  feed.title = "Paper feed";
  feed.innerHTML = '<span class="caption">PF</span>';
  feed.addEventListener("click", () => send("paperFeed"));
  panel.append(feed);

  const power = document.createElement("button");
  power.type = "button";
  power.className = "power";
  power.id = "power";
  power.style.gridArea = "pwr";
  power.addEventListener("click", () => send("power"));
  panel.append(power);

  for (const area of FRAMES) {
    const frame = document.createElement("div");
    frame.className = `frame ${area}`;
    panel.prepend(frame);
  }

  const showDigits = createDigits(display);
  return {
    keys,
    showDigits,
    showLamps(byte) {
      for (const [mask, lamp] of lamps) lamp.classList.toggle("lit", (byte & mask) !== 0);
    },
    // The button names what a click does next: OFF while the device is on.
    showPower(on) {
      power.textContent = on ? "OFF" : "ON";
      power.setAttribute("aria-label", on ? "Power: switch off" : "Power: switch on");
    },
    showStopped(text) {
      stopped.textContent = text;
      power.disabled = Boolean(text);
    },
  };
}
