// The four seven-segment digits with their decimal points, drawn as SVG so
// they stay sharp at any size and pixel ratio. The segments are the desktop
// window's polygons, worked out for a 38 x 65 digit; what each digit value
// lights and shows comes from the machine's tables.
import { DIGIT_BLANK, DIGIT_CHARACTERS, DIGIT_SEGMENTS, SEGMENTS } from "./tables.js";

const SVG = "http://www.w3.org/2000/svg";
const W = 38, H = 65;
const q = Math.trunc(W / 4), h = Math.trunc(H / 2), r = Math.trunc(q / 2);

// The polygons in painting order a d g f e b c.
const POLYGONS = [
  [SEGMENTS.a, [[0, 0], [W, 0], [W - q, q], [q, q]]],
  [SEGMENTS.d, [[q, H - q], [W - q, H - q], [W, H], [0, H]]],
  [SEGMENTS.g, [[q, h - r + 1], [W - q, h - r + 1], [W, h], [W - q, h + r + 1], [q, h + r + 1], [0, h + 1]]],
  [SEGMENTS.f, [[0, 1], [0, h], [q, h - r], [q, q + 1]]],
  [SEGMENTS.e, [[0, h + 2], [0, 2 * h - 1], [q, 2 * h - 2 * r - 1], [q, q + h - r + 2]]],
  [SEGMENTS.b, [[W - q, q + 1], [W - q, h - r], [W, h - 1], [W, 1]]],
  [SEGMENTS.c, [[W - q, q + h - r + 2], [W - q, 2 * h - 2 * r - 1], [W, 2 * h - 1], [W, h + 1]]],
];

// The character a digit value shows, as the runner's report writes it.
export function digitCharacter(value) {
  return DIGIT_CHARACTERS[Math.min(value, DIGIT_BLANK)];
}

function element(name, attributes) {
  const node = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, value);
  return node;
}

function makeDigit() {
  const svg = element("svg", { viewBox: `0 0 ${W + 8} ${H}`, class: "digit", "aria-hidden": "true" });
  const segments = POLYGONS.map(([bit, corners]) => {
    const polygon = element("polygon", { points: corners.map((p) => p.join(",")).join(" ") });
    svg.append(polygon);
    return [bit, polygon];
  });
  const point = element("rect", { x: W + 2, y: H - 6, width: 5, height: 6, class: "point" });
  svg.append(point);
  return { svg, segments, point, value: -1, pointLit: null };
}

// Returns show(digits, points), which redraws only what changed.
export function createDigits(container) {
  const digits = [0, 1, 2, 3].map(makeDigit);
  for (const digit of digits) container.append(digit.svg);
  const spoken = container.appendChild(document.createElement("span"));  // what a screen reader announces
  spoken.className = "spoken";
  return function show(values, points) {
    digits.forEach((digit, i) => {
      if (digit.value !== values[i]) {
        digit.value = values[i];
        const lit = DIGIT_SEGMENTS[values[i]] ?? 0;
        for (const [bit, polygon] of digit.segments) polygon.classList.toggle("lit", (lit & bit) !== 0);
      }
      if (digit.pointLit !== points[i]) {
        digit.pointLit = points[i];
        digit.point.classList.toggle("lit", points[i]);
      }
    });
    container.dataset.shown = values.map((v, i) => digitCharacter(v) + (points[i] ? "." : "")).join("");
    const text = `Display: ${container.dataset.shown.trim() || "blank"}`;
    if (spoken.textContent !== text) spoken.textContent = text;
  };
}
