// The device's face on the page: the function keys, the keypad, the lamps,
// the digits and the power button. Each key is a button that holds its device
// key (row * 8 + column) down while the mouse or a mapped PC key is on it; a
// finger's touch counts only once it is plainly not the start of a scroll.
// Where each sits is the style sheet's affair (grid areas named after the
// keys).
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
const TOUCH_SLOP_PX = 10;      // a finger moving further is scrolling, not pressing
const TOUCH_HOLD_MS = 300;     // a finger resting this long holds the key down

function keyButton(item, hold) {
  const button = document.createElement("button");
  button.type = "button";
  button.className = keyClass(item.area);
  button.dataset.id = item.id;
  button.dataset.key = item.key;
  button.style.gridArea = item.area === "fn" ? "" : item.area;
  if (item.caption) {
    const caption = document.createElement("span");
    caption.className = "caption";
    caption.textContent = item.caption;
    button.append(caption, " ");
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

  // A finger on the key: shown down at once, sent when it lifts (a tap) or
  // rests (a hold); dropped when it moves away or the browser takes it for
  // a scroll (pointercancel).
  let touch = null;
  const settle = () => {
    clearTimeout(touch.timer);
    touch = null;
  };
  const dropTouch = () => {
    settle();
    button.classList.remove("down");
  };
  button.addEventListener("pointerdown", (event) => {
    if (event.button !== 0) return;
    event.preventDefault();
    if (event.pointerType === "touch") {
      if (touch) return;  // a second finger on the same key
      button.classList.add("down");
      touch = { id: event.pointerId, x: event.clientX, y: event.clientY };
      touch.timer = setTimeout(() => {
        settle();
        press();
      }, TOUCH_HOLD_MS);
      return;
    }
    try {
      button.setPointerCapture(event.pointerId);  // the release comes here wherever the mouse goes
    } catch {
      // a pointer the browser no longer tracks: its release still ends the press
    }
    press();
  });
  button.addEventListener("pointermove", (event) => {
    if (touch?.id === event.pointerId &&
        Math.hypot(event.clientX - touch.x, event.clientY - touch.y) > TOUCH_SLOP_PX) dropTouch();
  });
  button.addEventListener("pointerup", (event) => {
    if (touch?.id !== event.pointerId) return release();
    settle();
    press();
    release();
  });
  button.addEventListener("pointercancel", (event) => (touch?.id === event.pointerId ? dropTouch() : release()));
  button.addEventListener("lostpointercapture", () => touch || release());
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
    lamp.setAttribute("role", "img");
    lamp.setAttribute("aria-label", `${item.name} lamp: off`);
    lamp.innerHTML = '<span class="led" aria-hidden="true"></span><span aria-hidden="true"></span>';
    lamp.lastChild.textContent = item.name;
    panel.append(lamp);
    return [item.mask, lamp];
  });

  const feed = document.createElement("button");
  feed.type = "button";
  feed.className = "key feed";
  feed.id = "paper-feed";
  feed.style.gridArea = "pf";
  feed.title = "Paper feed";
  feed.textContent = "PF";
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
      for (const [mask, lamp] of lamps) {
        const lit = (byte & mask) !== 0;
        if (lit === lamp.classList.contains("lit")) continue;
        lamp.classList.toggle("lit", lit);
        lamp.setAttribute("aria-label", `${lamp.dataset.name} lamp: ${lit ? "lit" : "off"}`);
      }
    },
    // The button names what a click does next: OFF while the device is on.
    showPower(on) {
      power.textContent = on ? "OFF" : "ON";
      power.title = on ? "Power: switch the device off" : "Power: switch the device on";
    },
    showStopped(text) {
      stopped.textContent = text;
      power.disabled = Boolean(text);
    },
  };
}
