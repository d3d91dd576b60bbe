// The four seven-segment digits with their decimal points, drawn as SVG so
// they stay sharp at any size and pixel ratio. The segments' outlines, what
// each digit value lights and the text the display shows all come from the
// machine's tables and the machine itself.
import { DIGIT_BOX, DIGIT_OUTLINES, DIGIT_SEGMENTS } from "./tables.js";

const SVG = "http://www.w3.org/2000/svg";
const W = DIGIT_BOX.width, H = DIGIT_BOX.height;

function element(name, attributes) {
  const node = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, value);
  return node;
}

function makeDigit() {
  const svg = element("svg", { viewBox: `0 0 ${W + 8} ${H}`, class: "digit", "aria-hidden": "true" });
  const segments = DIGIT_OUTLINES.map(([bit, corners]) => {
    const polygon = element("polygon", { points: corners.map((p) => p.join(",")).join(" ") });
    svg.append(polygon);
    return [bit, polygon];
  });
  const point = element("rect", { x: W + 2, y: H - 6, width: 5, height: 6, class: "point" });
  svg.append(point);
  return { svg, segments, point, value: -1, pointLit: null };
}

// Returns show(digits, points, shown), which redraws only what changed;
// `shown` is the display's text as the machine reads it.
export function createDigits(container) {
  const digits = [0, 1, 2, 3].map(makeDigit);
  for (const digit of digits) container.append(digit.svg);
  const spoken = container.appendChild(document.createElement("span"));  // what a screen reader announces
  spoken.className = "spoken";
  return function show(values, points, shown) {
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
    container.dataset.shown = shown;
    const text = `Display: ${container.dataset.shown.trim() || "blank"}`;
    if (spoken.textContent !== text) spoken.textContent = text;
  };
}
