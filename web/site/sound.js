// The device's beeper: a short tone through Web Audio. Browsers let a page
// sound only after the user has touched it, so the start-up beep of a fresh
// visit may stay silent.

const TONE_HZ = 1800;
const TONE_S = 0.12;

let audio = null;

export function beep() {
  try {
    audio ??= new AudioContext();
  } catch {
    return;  // no audio here
  }
  if (audio.state === "suspended") audio.resume();
  const tone = audio.createOscillator();
  const volume = audio.createGain();
  tone.type = "square";
  tone.frequency.value = TONE_HZ;
  volume.gain.value = 0.08;
  tone.connect(volume).connect(audio.destination);
  tone.start();
  tone.stop(audio.currentTime + TONE_S);
}
