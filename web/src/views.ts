// The panels that show the machine: each renders what the latest snapshot or
// assembly says and turns the user's edits into requests; none keeps a copy.
import { MemoryWindowBytes, type Assembly, type CheckResult, type Request, type Snapshot } from "./protocol";

export type Send = (request: Request) => void;

export const Hex2 = (v: number) => (v & 0xff).toString(16).toUpperCase().padStart(2, "0");
export const Hex4 = (v: number) => (v & 0xffff).toString(16).toUpperCase().padStart(4, "0");

// A number as the assembler writes it (0FFH, 255, 1010B, 'A'), or a symbol's
// value; null when the text is neither.
export function ReadValue(text: string, symbols: Assembly["symbols"] = []): number | null {
  const t = text.trim();
  let m: RegExpExecArray | null;
  if ((m = /^([0-9][0-9A-F]*)H$/i.exec(t))) return parseInt(m[1], 16);
  if ((m = /^([01]+)B$/i.exec(t))) return parseInt(m[1], 2);
  if ((m = /^([0-7]+)[OQ]$/i.exec(t))) return parseInt(m[1], 8);
  if ((m = /^([0-9]+)D?$/i.exec(t))) return parseInt(m[1], 10);
  if ((m = /^0x([0-9A-F]+)$/i.exec(t))) return parseInt(m[1], 16);
  if ((m = /^'(.)'$/.exec(t))) return m[1].charCodeAt(0);
  const symbol = symbols.find((s) => s.name === t.toUpperCase());
  return symbol ? symbol.value : null;
}

const el = <K extends keyof HTMLElementTagNameMap>(tag: K, props: Record<string, unknown> = {}): HTMLElementTagNameMap[K] =>
  Object.assign(document.createElement(tag), props);

const RegisterNames = ["A", "B", "C", "D", "E", "H", "L", "SP", "PC"];
const FlagNames: [string, number][] = [["S", 0x80], ["Z", 0x40], ["AC", 0x10], ["P", 0x04], ["CY", 0x01]];

export function CreateRegisterView(form: HTMLFormElement, flags: HTMLFieldSetElement, send: Send) {
  const inputs = new Map<string, HTMLInputElement>();
  for (const name of RegisterNames) {
    const input = el("input", { id: `reg-${name}`, size: name.length > 1 ? 4 : 2, spellcheck: false });
    input.dataset.register = name;
    form.append(el("label", { htmlFor: input.id, textContent: name }), input);
    inputs.set(name, input);
    input.addEventListener("change", () => {
      const value = ReadValue(/^[0-9A-F]+$/i.test(input.value) ? input.value + "H" : input.value);
      const limit = name.length > 1 ? 0xffff : 0xff;
      if (value === null || value > limit) { input.setAttribute("aria-invalid", "true"); return; }
      input.removeAttribute("aria-invalid");
      send({ kind: "setRegister", name, value });
    });
  }
  form.addEventListener("submit", (e) => e.preventDefault());
  const boxes: HTMLInputElement[] = [];
  let flagByte = 0;
  for (const [name, bit] of FlagNames) {
    const box = el("input", { type: "checkbox", id: `flag-${name}` });
    box.addEventListener("change", () => send({ kind: "setRegister", name: "F", value: box.checked ? flagByte | bit : flagByte & ~bit }));
    const label = el("label", { htmlFor: box.id, textContent: ` ${name}` });
    label.prepend(box);
    flags.append(label);
    boxes.push(box);
  }
  return (s: Snapshot) => {
    for (const [name, input] of inputs) {
      if (document.activeElement !== input) input.value = name.length > 1 ? Hex4(s.registers[name]) : Hex2(s.registers[name]);
      input.readOnly = s.running;
    }
    flagByte = s.registers.F;
    FlagNames.forEach(([, bit], i) => { boxes[i].checked = (flagByte & bit) !== 0; boxes[i].disabled = s.running; });
  };
}

export function CreateMemoryView(root: HTMLElement, send: Send) {
  const cells: HTMLInputElement[] = [];
  const addresses: HTMLElement[] = [];
  const asciis: HTMLElement[] = [];
  let base = 0;
  for (let row = 0; row < MemoryWindowBytes / 16; row++) {
    const line = el("div", { className: "row" });
    line.setAttribute("role", "row");
    const addr = el("span", { className: "addr" });
    line.append(addr);
    addresses.push(addr);
    for (let col = 0; col < 16; col++) {
      const index = row * 16 + col;
      const cell = el("input", { maxLength: 2, spellcheck: false });
      cell.setAttribute("role", "gridcell");
      cell.addEventListener("change", () => {
        const value = parseInt(cell.value, 16);
        if (/^[0-9A-F]{1,2}$/i.test(cell.value)) send({ kind: "setMemory", address: (base + index) & 0xffff, bytes: [value] });
      });
      // Arrow keys move between bytes, so the grid works without a mouse.
      cell.addEventListener("keydown", (e) => {
        const step = { ArrowLeft: -1, ArrowRight: 1, ArrowUp: -16, ArrowDown: 16 }[e.key];
        if (step === undefined) return;
        const next = cells[index + step];
        if (next) { e.preventDefault(); next.focus(); next.select(); }
      });
      line.append(cell);
      cells.push(cell);
    }
    const ascii = el("span", { className: "ascii" });
    line.append(ascii);
    asciis.push(ascii);
    root.append(line);
  }
  return (s: Snapshot) => {
    base = s.memoryAddress;
    const changed = new Set(s.changed);
    const pc = s.registers.PC;
    cells.forEach((cell, i) => {
      const address = (base + i) & 0xffff;
      if (document.activeElement !== cell) cell.value = Hex2(s.memory[i]);
      cell.setAttribute("aria-label", `${Hex4(address)}H`);
      cell.classList.toggle("changed", changed.has(address));
      cell.classList.toggle("pc", address === pc);
    });
    addresses.forEach((a, row) => { a.textContent = Hex4(base + row * 16); });
    asciis.forEach((a, row) => {
      a.textContent = Array.from(s.memory.subarray(row * 16, row * 16 + 16),
        (b) => (b >= 32 && b < 127 ? String.fromCharCode(b) : ".")).join("");
    });
  };
}

export function RenderStack(list: HTMLElement, s: Snapshot) {
  list.replaceChildren(...s.stack.map((word, i) =>
    el("li", { textContent: `${Hex4(s.registers.SP + 2 * i)}: ${Hex4(word)}${i === 0 ? "  ← SP" : ""}` })));
}

export function RenderTiming(p: HTMLElement, s: Snapshot) {
  p.textContent = `Instructions: ${s.instructions}  T-states: ${s.tstates}  Time: ${s.time}` + (s.interrupts ? `  ${s.interrupts}` : "");
}

// The OUT log keeps the last writes; older ones scroll away.
const OutLogLength = 200;
export function AppendOutLog(list: HTMLElement, outs: Snapshot["outs"]) {
  for (const o of outs.slice(-OutLogLength)) list.append(el("li", { textContent: `OUT ${Hex2(o.port)}H ← ${Hex2(o.value)}H` }));
  while (list.childElementCount > OutLogLength) list.firstElementChild?.remove();
  if (outs.length) list.scrollTop = list.scrollHeight;
}

export function AppendWarnings(list: HTMLElement, warnings: string[]) {
  for (const w of warnings) list.append(el("li", { textContent: w }));
  while (list.childElementCount > 50) list.firstElementChild?.remove();
}

export function AppendConsole(pre: HTMLElement, text: string) {
  if (!text) return;
  // Carriage returns and backspaces act as on a terminal line.
  let shown = pre.textContent ?? "";
  for (const ch of text) {
    if (ch === "\r") continue;
    if (ch === "\b") shown = shown.slice(0, -1);
    else if (ch === "\x07" || ch === "\x1a") continue;
    else shown += ch;
  }
  pre.textContent = shown.length > 100000 ? shown.slice(-100000) : shown;
  pre.scrollTop = pre.scrollHeight;
}

// Keys typed in the console go to the program as the bytes a terminal sends.
export function KeyBytes(e: KeyboardEvent): string | null {
  if (e.ctrlKey && e.key.length === 1 && /[a-z@\[\]\\^_]/i.test(e.key)) return String.fromCharCode(e.key.toUpperCase().charCodeAt(0) & 0x1f);
  if (e.altKey || e.metaKey) return null;
  const named: Record<string, string> = { Enter: "\r", Backspace: "\b", Tab: "\t", Escape: "\x1b" };
  if (named[e.key]) return named[e.key];
  return e.key.length === 1 ? e.key : null;
}

export function RenderChecks(list: HTMLElement, results: CheckResult[] | null) {
  if (!results) return;
  list.replaceChildren(...results.map((r) => {
    const detail = r.detail.replace(/^(passed|failed):\s*/, "");
    const li = el("li", {
      className: r.passed ? "check-passed" : "check-failed",
      textContent: `${r.passed ? "✔ passed" : "✘ failed"}: ${r.text.replace(/^expect\s+/, "")}${detail ? ` (${detail})` : ""}`,
    });
    li.dataset.passed = String(r.passed);
    return li;
  }));
}

export function RenderSymbols(body: HTMLElement, a: Assembly, goTo: (address: number) => void) {
  body.replaceChildren(...a.symbols.map((s) => {
    const button = el("button", { type: "button", textContent: s.name, title: `Show ${s.name} in memory` });
    button.addEventListener("click", () => goTo(s.value));
    const row = el("tr");
    row.append(el("td"), el("td", { textContent: `${Hex4(s.value)}H` }));
    row.firstElementChild!.append(button);
    return row;
  }));
}
