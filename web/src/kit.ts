// The trainer kit's face: six seven-segment digits and eight LEDs, each bound
// to an output port. The binding travels with the program as a comment line
// ";@kit digits=10H,11H,12H,13H,14H,15H leds=01H mode=segments".

export interface KitBinding {
  digits: number[]; // six ports, left to right
  leds: number; // one port, bit 7 the leftmost LED
  mode: "segments" | "hex"; // a digit lights the byte's segment bits, or shows its low four bits in hex
}

export const DefaultBinding: KitBinding = { digits: [0x10, 0x11, 0x12, 0x13, 0x14, 0x15], leds: 0x01, mode: "segments" };

const BindingLine = /^;@kit\b(.*)$/im;

function ParsePort(text: string): number | null {
  const m = /^([0-9][0-9A-F]*)H$|^([0-9]+)D?$/i.exec(text.trim());
  if (!m) return null;
  const value = m[1] !== undefined ? parseInt(m[1], 16) : parseInt(m[2], 10);
  return value <= 255 ? value : null;
}

export function FormatPort(port: number): string {
  const hex = port.toString(16).toUpperCase().padStart(2, "0");
  return (/^[A-F]/.test(hex) ? "0" : "") + hex + "H";
}

// The binding a source asks for; the defaults where it says nothing or
// something the page cannot read.
export function ReadBinding(source: string): KitBinding {
  const binding: KitBinding = { ...DefaultBinding, digits: [...DefaultBinding.digits] };
  const m = BindingLine.exec(source);
  if (!m) return binding;
  for (const [, key, value] of m[1].matchAll(/(\w+)=(\S+)/g)) {
    if (key.toLowerCase() === "digits") {
      const ports = value.split(",").map(ParsePort);
      if (ports.length === 6 && ports.every((p) => p !== null)) binding.digits = ports as number[];
    } else if (key.toLowerCase() === "leds") {
      const port = ParsePort(value);
      if (port !== null) binding.leds = port;
    } else if (key.toLowerCase() === "mode" && (value === "segments" || value === "hex")) {
      binding.mode = value;
    }
  }
  return binding;
}

export function BindingText(binding: KitBinding): string {
  return `;@kit digits=${binding.digits.map(FormatPort).join(",")} leds=${FormatPort(binding.leds)} mode=${binding.mode}`;
}

// The source with its binding line replaced, or added on top.
export function WriteBinding(source: string, binding: KitBinding): string {
  const line = BindingText(binding);
  return BindingLine.test(source) ? source.replace(BindingLine, line) : `${line}\n${source}`;
}

// Segment bits: bit 0 is a (top) through bit 6 g (middle), bit 7 the point.
const HexSegments = [0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f, 0x77, 0x7c, 0x39, 0x5e, 0x79, 0x71];
export function SegmentsOf(value: number, mode: KitBinding["mode"]): number {
  return mode === "hex" ? HexSegments[value & 15] : value & 0xff;
}

const SegmentShapes = [
  "M6,2 h22 l-4,5 h-14 z", // a
  "M29,3 v24 l-4,-3 v-17 z", // b
  "M29,31 v24 l-4,-4 v-17 z", // c
  "M6,56 h22 l-4,-5 h-14 z", // d
  "M5,31 v24 l4,-4 v-17 z", // e
  "M5,3 v24 l4,-3 v-17 z", // f
  "M7,29 l3,-3 h14 l3,3 l-3,3 h-14 z", // g
];

export function CreateKit(display: HTMLElement, leds: HTMLElement) {
  const digits: SVGSVGElement[] = [];
  const ns = "http://www.w3.org/2000/svg";
  for (let i = 0; i < 6; i++) {
    const svg = document.createElementNS(ns, "svg");
    svg.setAttribute("viewBox", "0 0 36 60");
    svg.classList.add("digit");
    SegmentShapes.forEach((d) => {
      const path = document.createElementNS(ns, "path");
      path.setAttribute("d", d);
      path.classList.add("seg");
      svg.appendChild(path);
    });
    const dot = document.createElementNS(ns, "circle");
    dot.setAttribute("cx", "33"); dot.setAttribute("cy", "56"); dot.setAttribute("r", "2.5");
    dot.classList.add("seg");
    svg.appendChild(dot);
    display.appendChild(svg);
    digits.push(svg);
  }
  const lamps: HTMLElement[] = [];
  for (let i = 0; i < 8; i++) {
    const lamp = document.createElement("span");
    lamp.className = "led";
    leds.appendChild(lamp);
    lamps.push(lamp);
  }
  // Shows the ports' last written values; the page keeps no copy of its own.
  return function RenderKit(ports: number[], binding: KitBinding) {
    const shown: string[] = [];
    digits.forEach((svg, i) => {
      const segments = SegmentsOf(ports[binding.digits[i]] ?? 0, binding.mode);
      svg.dataset.segments = segments.toString(16).padStart(2, "0");
      Array.from(svg.children).forEach((seg, bit) => seg.classList.toggle("on", (segments >> bit & 1) === 1));
      shown.push(svg.dataset.segments);
    });
    display.setAttribute("aria-label", `Seven-segment display, segment bytes ${shown.join(" ")}`);
    const value = ports[binding.leds] ?? 0;
    lamps.forEach((lamp, i) => lamp.classList.toggle("on", (value >> (7 - i) & 1) === 1));
    leds.dataset.value = value.toString(16).padStart(2, "0");
    leds.setAttribute("aria-label", `LEDs on port ${FormatPort(binding.leds)}: ${value.toString(2).padStart(8, "0")}`);
  };
}

// A CP/M program says so with a ";@cpm" line, so it runs as one wherever it goes.
const CpmLine = /^;@cpm\b.*(\r?\n|$)/im;
export const IsCpmSource = (source: string) => CpmLine.test(source);
export function WriteCpm(source: string, cpm: boolean): string {
  if (IsCpmSource(source) === cpm) return source;
  return cpm ? `;@cpm\n${source}` : source.replace(CpmLine, "");
}

// Other Simulator options a program runs with on the page, in a line of its
// own: ";@sim --uart 2sio" (a UART console), ";@sim --serial-baud 9600".
const SimLine = /^;@sim\b(.*)$/im;
export function SimOptionsOf(source: string): string[] {
  const options = SimLine.exec(source)?.[1].trim().split(/\s+/).filter(Boolean) ?? [];
  return IsCpmSource(source) ? ["--cpm", ...options] : options;
}
