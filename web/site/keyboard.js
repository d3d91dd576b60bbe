// The PC keyboard's map onto the device's keys, as in the desktop window: a
// mapped key holds its device key for as long as it is held.
//
//   0-9 . (or ,)      the number keys          Enter, =      "="
//   A-N               function keys A to N     P             "=" beside P
//   S R X Y Z         the keys of those names  Backspace     C (clear entry)
//   Delete            AC "All"                 Insert        AC "No gauge"

const MAP = new Map([
  ..."0123456789".split("").map((c) => [c, c === "0" ? 1023 : 1013 + Number(c)]),
  [".", 1024], [",", 1024],
  ["enter", 1032], ["=", 1032], ["p", 1031],
  ["backspace", 1025], ["delete", 1040], ["insert", 1041],
  ["s", 1026], ["r", 1027], ["x", 1028], ["y", 1029], ["z", 1030],
  ..."abcdefghijklmn".split("").map((c, n) => [c, 1000 + n]),
]);

// The control id a keyboard event works, or 0.
export function keyForEvent(event) {
  if (event.ctrlKey || event.altKey || event.metaKey) return 0;
  return MAP.get(event.key.toLowerCase()) ?? 0;
}

// "Enter or =" and so on, for a key's tooltip.
export function pcKeyNames(id) {
  const names = [];
  for (const [name, mapped] of MAP) {
    if (mapped !== id) continue;
    names.push(name.length > 1 ? name[0].toUpperCase() + name.slice(1) : name.toUpperCase());
  }
  return names.join(" or ");
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
