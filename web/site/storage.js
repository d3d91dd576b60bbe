// What the page keeps in the browser's storage between visits: one
// versioned record of the device (the machine's snapshot and the paper), and
// the settings. A record that cannot be read is reported, never half used.

const DEVICE_KEY = "tm650e.device";
const SETTINGS_KEY = "tm650e.settings";
const FORMAT = 1;

export const DEFAULT_SETTINGS = { docName: "TM650E paper", header: "", footer: "", sound: true };

function toBase64(buffer) {
  const bytes = new Uint8Array(buffer);
  let text = "";
  for (let i = 0; i < bytes.length; i += 4096) text += String.fromCharCode(...bytes.subarray(i, i + 4096));
  return btoa(text);
}

function fromBase64(text) {
  const chars = atob(text);
  const bytes = new Uint8Array(chars.length);
  for (let i = 0; i < chars.length; i++) bytes[i] = chars.charCodeAt(i);
  return bytes.buffer;
}

// {snapshot, paper} as stored, both empty on a first visit; with `problem`
// when a record was there but could not be read (it is then not used).
export function loadDevice() {
  let text;
  try {
    text = localStorage.getItem(DEVICE_KEY);
  } catch (error) {
    return { snapshot: null, paper: "", problem: `the browser's storage cannot be read (${error.message})` };
  }
  if (text === null) return { snapshot: null, paper: "" };
  let record;
  try {
    record = JSON.parse(text);
  } catch {
    record = null;
  }
  if (record?.format !== FORMAT) {
    const problem = Number.isInteger(record?.format) ? "it was kept by another version of this page" : "it is damaged";
    return { snapshot: null, paper: "", problem };
  }
  // The paper survives a damaged snapshot.
  const paper = typeof record.paper === "string" ? record.paper : "";
  try {
    if (typeof record.machine !== "string") throw new Error("no snapshot");
    return { snapshot: fromBase64(record.machine), paper };
  } catch {
    return { snapshot: null, paper, problem: "it is damaged" };
  }
}

// Returns an error message when the record could not be written.
export function saveDevice(snapshot, paper) {
  try {
    localStorage.setItem(DEVICE_KEY, JSON.stringify({ format: FORMAT, machine: toBase64(snapshot), paper }));
    return null;
  } catch (error) {
    return error.message;
  }
}

export function forgetDevice() {
  try {
    localStorage.removeItem(DEVICE_KEY);
  } catch {
    // nothing was kept
  }
}

export function loadSettings() {
  try {
    const stored = JSON.parse(localStorage.getItem(SETTINGS_KEY) ?? "{}");
    const settings = { ...DEFAULT_SETTINGS };
    for (const [name, value] of Object.entries(DEFAULT_SETTINGS)) {
      if (typeof stored?.[name] === typeof value) settings[name] = stored[name];
    }
    return settings;
  } catch {
    return { ...DEFAULT_SETTINGS };
  }
}

export function saveSettings(settings) {
  try {
    localStorage.setItem(SETTINGS_KEY, JSON.stringify(settings));
    return null;
  } catch (error) {
    return error.message;
  }
}
