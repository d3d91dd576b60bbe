// The device's beeper: a short tone through Web Audio. Browsers let a page
// sound only after the user has touched it, so the start-up beep of a fresh
// visit may stay silent. Between beeps the audio device is let go, so that a
// page left waiting for a key costs nothing.

const TONE_HZ = 1800;
const TONE_S = 0.12;
const LINGER_MS = 1500;  // a run of beeps keeps the audio open

let audio = null;
let rest = 0;

export function beep() {
  try {
    audio ??= new AudioContext();
  } catch {
    return;  // no audio here
  }
  if (audio.state === "suspended") audio.resume().catch(() => {});
  const tone = audio.createOscillator();
  const volume = audio.createGain();
  tone.type = "square";
  tone.frequency.value = TONE_HZ;
  volume.gain.value = 0.08;
  tone.connect(volume).connect(audio.destination);
  tone.start();
  tone.stop(audio.currentTime + TONE_S);
  clearTimeout(rest);
  rest = setTimeout(() => {
    const closing = audio;
    audio = null;
    closing.close().catch(() => {});
  }, LINGER_MS);
}
