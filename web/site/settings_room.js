// The page's settings: the dialog that shows and changes them, where they are
// kept, and what they do at once (the screen kept on while the page is in
// front). Forgetting the kept device starts there too.
import { loadSettings, saveSettings } from "./storage.js";
import { TEXT_MAX } from "./tables.js";

const $ = (id) => document.getElementById(id);

// `changed()` runs after the user changes the settings; `forget()` after the
// user confirms forgetting the kept device. Returns {current}: the settings
// in force.
export function createSettingsRoom({ notice, changed, forget }) {
  const room = { current: loadSettings() };

  // The screen stays on while the page is in front, when the settings ask.
  let wakeLock = null;
  async function keepAwake() {
    if (!("wakeLock" in navigator)) return;
    if (!room.current.awake) {
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

  const dialog = $("settings");
  const form = $("settings-form");
  for (const name of ["docName", "header", "footer"]) form.elements[name].maxLength = TEXT_MAX;
  $("open-settings").addEventListener("click", () => {
    for (const [name, value] of Object.entries(room.current)) {
      const field = form.elements[name];
      if (field.type === "checkbox") field.checked = value;
      else field.value = value;
    }
    dialog.showModal();
  });
  dialog.querySelector(".close").addEventListener("click", () => dialog.close("cancel"));
  dialog.addEventListener("close", () => {
    if (dialog.returnValue !== "ok") return;
    room.current = {
      docName: form.elements.docName.value,
      header: form.elements.header.value,
      footer: form.elements.footer.value,
      sound: form.elements.sound.checked,
      awake: form.elements.awake.checked,
    };
    const error = saveSettings(room.current);
    if (error) notice(`The settings cannot be kept in this browser (${error}); they hold until the page is closed.`);
    changed();
    keepAwake();
  });
  $("forget").addEventListener("click", () => {
    if (confirm("Forget the kept device and its paper, and start a fresh device?")) forget();
  });

  keepAwake();
  return room;
}
