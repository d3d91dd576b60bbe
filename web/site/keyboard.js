// The PC keyboard's map onto the device's keys, from the table the desktop
// windows read (tables.js): a mapped key holds its device key for as long as
// it is held; Page Down presses the PF button.
import { PC_KEYS } from "./tables.js";

// The browser's key value (KeyboardEvent.key, in lower case) of a PC key's
// name in the table: a character is itself, a named key its name unspaced
// ("Page Down" is "PageDown").
const keyValue = (name) => name.replaceAll(" ", "").toLowerCase();

const MAP = new Map(PC_KEYS.map(({ name, id }) => [keyValue(name), id]));

// The control id a keyboard event works, or 0.
export function keyForEvent(event) {
  if (event.ctrlKey || event.altKey || event.metaKey) return 0;
  return MAP.get(event.key.toLowerCase()) ?? 0;
}

// "Enter or =" and so on, for a key's tooltip.
export function pcKeyNames(id) {
  return PC_KEYS.filter((key) => key.id === id).map((key) => key.name).join(" or ");
}

// Routes the PC keyboard to the face's keys while no dialog or text field
// has it; every held key is let go when the page loses the keyboard.
export function attachKeyboard(keys) {
  const held = new Map();  // event.code -> face key
  const releaseAll = () => {
    for (const key of held.values()) key.release();
    held.clear();
  };
  document.addEventListener("keydown", (event) => {
    if (event.target.closest?.("dialog, input, select, textarea")) return;
    const key = keys.get(keyForEvent(event));
    if (!key) return;
    event.preventDefault();
    if (event.repeat || held.has(event.code)) return;
    held.set(event.code, key);
    key.press();
  });
  document.addEventListener("keyup", (event) => {
    const key = held.get(event.code);
    if (!key) return;
    held.delete(event.code);
    key.release();
  });
  window.addEventListener("blur", releaseAll);
  document.addEventListener("visibilitychange", releaseAll);
}
