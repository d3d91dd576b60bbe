// The device's face on the page: the function keys, the keypad, the lamps,
// the digits and the power button. Each key is a button that holds its device
// key (row * 8 + column) down while the mouse or a mapped PC key is on it; a
// finger's touch counts only once it is plainly not the start of a scroll.
// Where each sits is the style sheet's affair (grid areas named after the
// keys).
import { createDigits } from "./digits.js";
import { KEYS as KEY_FACTS, LAMPS as LAMP_FACTS, PAPER_FEED } from "./tables.js";

// Where each key and lamp sits, by the desktop window's control id (which also
// names the key's help topic), in the page's order; a caption tells apart
// keys of the same label.
const KEY_PLACES = [
  ...Array.from({ length: 14 }, (_, n) => [1000 + n, "fn"]),
  ...Array.from({ length: 9 }, (_, n) => [1014 + n, `n${n + 1}`]),
  [1023, "n0"], [1024, "npt"], [1025, "kc"], [1040, "aca", "All"], [1041, "acn", "No gauge"],
  [1026, "ks"], [1027, "kr"], [1028, "kx"], [1029, "ky"], [1030, "kz"], [1032, "keq"], [1031, "kp", "P"],
];
const LAMP_PLACES = [[1036, "lg"], [1033, "lm"], [1037, "lt"], [1038, "la"], [1039, "lp"]];

// A fact with no place, or a place with no fact, is a face that cannot be built.
function placed(facts, places) {
  const byId = new Map(facts.map((fact) => [fact.id, fact]));
  const ids = new Set(places.map(([id]) => id));
  if (ids.size !== places.length || ids.size !== facts.length || places.some(([id]) => !byId.has(id))) {
    throw new Error("the page's face and the machine's controls differ");
  }
  return places.map(([id, area, caption]) => ({ ...byId.get(id), text: byId.get(id).label, area, caption }));
}

const KEYS = placed(KEY_FACTS, KEY_PLACES);
const LAMPS = placed(LAMP_FACTS, LAMP_PLACES);

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
  let functionKey = 0;
  for (const item of KEYS) {
    const key = keyButton(item, hold);
    keys.set(item.id, key);
    if (item.area === "fn") {
      key.button.style.setProperty("--n", functionKey++);
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
  // A button, not a key of the device: a mapped PC key feeds once per press.
  keys.set(PAPER_FEED, { button: feed, press: () => send("paperFeed"), release() {} });

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
