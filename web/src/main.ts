// The page: wires the editor, the controls and the views to the simulator's
// worker. What the machine is, the worker says; the page only shows it.
import { CreateEditor } from "./editor";
import { BaseName, Download, LoadSavedWork, ReadShareFragment, SaveWork, ShareFragment, TakeFile, type Work } from "./files";
import { CreateKit, DefaultBinding, FormatPort, IsCpmSource, ReadBinding, WriteBinding, WriteCpm, type KitBinding } from "./kit";
import type { Assembly, InterruptName, Reply, Request, Snapshot, Speed } from "./protocol";
import {
  AppendConsole, AppendOutLog, AppendWarnings, CreateMemoryView, CreateRegisterView, KeyBytes, ReadValue, RenderChecks,
  RenderStack, RenderSymbols, RenderTiming,
} from "./views";

const AssembleDelayMs = 300;
const $ = <T extends HTMLElement = HTMLElement>(id: string) => document.getElementById(id) as T;

const Starter = `; Type your 8085 program here. It is assembled as you type.
        ORG 0800H
START:  MVI A,06H       ; the segments of "1"
        OUT 10H         ; the first digit of the kit's display
        HLT
        END START
`;

let worker = StartWorker();
const send = (request: Request) => worker.postMessage(request);
let busySince = 0; // the worker is in one long call (a step over or out) since then; 0 when not

let assembly: Assembly | null = null; // the latest answer of the assembler, as it came
let snapshot: Snapshot | null = null; // the latest state of the machine, as it came
let assembleId = 0;
let programName = "program";
let binding: KitBinding = DefaultBinding;
let includes: Record<string, string> = {}; // the files the source may INCLUDE, as the user gave them

const status = $("status");
const Say = (text: string) => { status.textContent = text; };

// ---- the editor and assembling as you type ----
let assembleTimer = 0;
function ScheduleAssemble() {
  clearTimeout(assembleTimer);
  document.body.dataset.assembled = "pending"; // for the tests: "ok" or "errors" once the answer is in
  assembleTimer = window.setTimeout(Assemble, AssembleDelayMs);
}
function Assemble() {
  clearTimeout(assembleTimer);
  document.body.dataset.assembled = "pending";
  send({ kind: "assemble", id: ++assembleId, source: editor.text(), name: programName, includes });
}
function CurrentWork(): Work {
  return { name: programName, source: editor.text(), checks: $<HTMLTextAreaElement>("checks-text").value, includes };
}
function SourceChanged() {
  binding = ReadBinding(editor.text());
  $<HTMLInputElement>("cpm").checked = IsCpmSource(editor.text());
  RenderBindingForm();
  if (snapshot) RenderKit(snapshot.ports, binding);
  SaveWork(CurrentWork());
  ScheduleAssemble();
}
// Breakpoints live on source lines; the worker gets the address of each
// line's statement (a line without code stops at the next one that has some).
function SendBreakpoints() {
  if (!assembly) return;
  const lines = Object.keys(assembly.addressOfLine).map(Number).sort((a, b) => a - b);
  const addresses = editor.breakpointLines().flatMap((line) => {
    const at = lines.find((l) => l >= line);
    return at === undefined ? [] : [assembly!.addressOfLine[at]];
  });
  send({ kind: "breakpoints", addresses });
}
const editor = CreateEditor($("editor"), "", SourceChanged, SendBreakpoints, () => Assemble());

// ---- answers from the worker ----
const renderRegisters = CreateRegisterView($<HTMLFormElement>("registers"), $<HTMLFieldSetElement>("flags"), send);
const renderMemory = CreateMemoryView($("memory"), send);
const RenderKit = CreateKit($("display"), $("leds"));

function ShowAssembly(a: Assembly) {
  if (a.id !== assembleId) return; // an older source's answer
  assembly = a;
  document.body.dataset.assembled = a.ok ? "ok" : "errors";
  editor.showDiagnostics(a.diagnostics);
  const list = $("diagnostics");
  list.replaceChildren(...a.diagnostics.map((d) => {
    const li = document.createElement("li");
    li.className = `diag-${d.severity}`;
    li.textContent = `${d.line ? `line ${d.line}: ` : ""}${d.severity}: ${d.message}`;
    li.tabIndex = 0;
    li.addEventListener("click", () => editor.goToLine(d.line));
    li.addEventListener("keydown", (e) => { if (e.key === "Enter") editor.goToLine(d.line); });
    return li;
  }));
  $("listing").textContent = a.listing;
  RenderSymbols($("symbols").querySelector("tbody")!, a, ShowMemoryAt);
  const errors = a.diagnostics.filter((d) => d.severity === "error").length;
  Say(a.ok ? `Assembled: ${a.bin.length} bytes` : `${errors} error${errors === 1 ? "" : "s"}`);
  SendBreakpoints();
}

function ShowSnapshot(s: Snapshot) {
  snapshot = s;
  if (s.fresh) { // the logs start again with each load
    $("console").textContent = "";
    $("out-log").replaceChildren();
    $("warnings").replaceChildren();
  }
  renderRegisters(s);
  renderMemory(s);
  RenderStack($("stack"), s);
  RenderTiming($("timing"), s);
  AppendOutLog($("out-log"), s.outs);
  AppendConsole($("console"), s.consoleText);
  AppendWarnings($("warnings"), s.warnings);
  RenderKit(s.ports, binding);
  RenderChecks($("checks-result"), s.checks);
  const line = !s.running && assembly && s.loaded === `${programName}.asm` ? assembly.lineOfAddress[s.at] ?? 0 : 0;
  editor.showCurrentLine(line);
  Say(s.stop || (s.running ? "Running…" : "Ready"));
  for (const id of ["run", "step", "step-over", "step-out", "reset"]) $<HTMLButtonElement>(id).disabled = s.running;
  $<HTMLButtonElement>("pause").disabled = !s.running;
}

function StartWorker(): Worker {
  const w = new Worker("worker.js");
  w.onmessage = (e: MessageEvent<Reply>) => {
    const reply = e.data;
    if (reply.kind !== "busy") busySince = 0;
    if (reply.kind === "assembled") ShowAssembly(reply.assembly);
    else if (reply.kind === "snapshot") ShowSnapshot(reply.snapshot);
    else if (reply.kind === "error") Say(reply.message);
    else if (reply.kind === "busy") ShowBusy(reply.what);
    else if (reply.kind === "ready") {
      document.body.dataset.ready = "true";
      send({ kind: "checks", text: checksText.value });
      send({ kind: "inValues", text: $<HTMLTextAreaElement>("in-values").value });
      Assemble();
    }
  };
  return w;
}

function ShowBusy(what: string) {
  busySince = performance.now();
  Say(what);
  for (const id of ["run", "step", "step-over", "step-out", "reset"]) $<HTMLButtonElement>(id).disabled = true;
  $<HTMLButtonElement>("pause").disabled = false;
}

// A step over a call that never returns keeps the worker in one long call,
// where no Pause can reach it: then the worker is replaced and the program
// loaded again.
function Pause() {
  send({ kind: "pause" });
  const asked = busySince;
  if (!asked) return;
  setTimeout(() => {
    if (busySince !== asked) return;
    worker.terminate();
    busySince = 0;
    worker = StartWorker();
    Say("Stopped: the routine did not return; the program is loaded again");
  }, 400);
}

// ---- controls ----
function CurrentSpeed(): Speed {
  const choice = $<HTMLSelectElement>("speed").value;
  if (choice === "kit") return { kind: "kit" };
  if (choice === "rate") return { kind: "rate", perSecond: Math.max(1, Number($<HTMLInputElement>("rate").value) || 1) };
  return { kind: "full" };
}
const actions: Record<string, () => void> = {
  assemble: Assemble,
  run: () => send({ kind: "run", speed: CurrentSpeed() }),
  pause: Pause,
  step: () => send({ kind: "step" }),
  "step-over": () => send({ kind: "stepOver" }),
  "step-out": () => send({ kind: "stepOut" }),
  reset: () => send({ kind: "reset" }),
};
for (const [id, action] of Object.entries(actions)) $(id).addEventListener("click", action);
$("speed").addEventListener("change", () => { $("rate").hidden = $<HTMLSelectElement>("speed").value !== "rate"; });
$("rate").hidden = true;

// Shortcuts, shown in the buttons' titles.
document.addEventListener("keydown", (e) => {
  const key = `${e.ctrlKey || e.metaKey ? "Ctrl+" : ""}${e.shiftKey ? "Shift+" : ""}${e.key}`;
  const map: Record<string, string> = {
    "Ctrl+Enter": "assemble", F5: "run", F6: "pause", F7: "step", F8: "step-over", "Shift+F8": "step-out",
    "Shift+F5": "reset", "Ctrl+s": "save-asm", "Ctrl+o": "open-asm",
  };
  const id = map[key];
  if (!id) return;
  e.preventDefault();
  const target = $<HTMLButtonElement>(id);
  if (!target.disabled) target.click();
});

document.querySelectorAll<HTMLButtonElement>("[data-interrupt]").forEach((b) =>
  b.addEventListener("click", () => send({ kind: "interrupt", line: b.dataset.interrupt as InterruptName })));

// ---- memory, ports, console, checks ----
function ShowMemoryAt(address: number) { send({ kind: "memoryWindow", address: address & 0xfff0 }); }
$("memory-goto").addEventListener("submit", (e) => {
  e.preventDefault();
  const input = $<HTMLInputElement>("memory-address");
  const text = input.value.trim();
  const value = ReadValue(/^[0-9A-F]{1,4}$/i.test(text) && !ReadValue(text, assembly?.symbols) ? text + "H" : text, assembly?.symbols);
  if (value === null || value > 0xffff) { input.setAttribute("aria-invalid", "true"); Say(`No address or label '${text}'`); return; }
  input.removeAttribute("aria-invalid");
  ShowMemoryAt(value);
});
$("in-values").addEventListener("change", () => send({ kind: "inValues", text: $<HTMLTextAreaElement>("in-values").value }));
const consolePre = $("console");
consolePre.addEventListener("keydown", (e) => {
  const bytes = KeyBytes(e);
  if (bytes === null) return;
  e.preventDefault();
  e.stopPropagation(); // Ctrl+S typed to the program is no Save
  send({ kind: "console", text: bytes });
});
$("console-line").addEventListener("submit", (e) => {
  e.preventDefault();
  const input = $<HTMLInputElement>("console-input");
  send({ kind: "console", text: input.value + "\r" });
  input.value = "";
});
const checksText = $<HTMLTextAreaElement>("checks-text");
checksText.addEventListener("input", () => { send({ kind: "checks", text: checksText.value }); SaveWork(CurrentWork()); });

// ---- the kit's binding, kept in the source as its ;@kit line ----
function RenderBindingForm() {
  const form = $<HTMLFormElement>("kit-binding");
  if (form.contains(document.activeElement)) return;
  form.replaceChildren();
  const field = (label: string, control: HTMLInputElement | HTMLSelectElement, apply: (text: string) => KitBinding | null) => {
    control.id = `kit-${label.replace(/\W+/g, "-")}`;
    control.addEventListener("change", () => {
      const next = apply(control.value);
      if (!next) { control.setAttribute("aria-invalid", "true"); return; }
      editor.editText(WriteBinding(editor.text(), next));
    });
    form.append(Object.assign(document.createElement("label"), { htmlFor: control.id, textContent: label }), control);
  };
  const port = (text: string) => { const v = ReadValue(text); return v !== null && v <= 255 ? v : null; };
  const input = (value: string) => Object.assign(document.createElement("input"), { value, size: 5 });
  binding.digits.forEach((p, i) => field(`Digit ${i + 1} port`, input(FormatPort(p)), (t) => {
    const v = port(t);
    return v === null ? null : { ...binding, digits: binding.digits.map((d, j) => (j === i ? v : d)) };
  }));
  field("LED port", input(FormatPort(binding.leds)), (t) => { const v = port(t); return v === null ? null : { ...binding, leds: v }; });
  const mode = document.createElement("select");
  mode.append(new Option("segment bits", "segments"), new Option("hex digit", "hex"));
  mode.value = binding.mode;
  field("Digits show", mode, (t) => ({ ...binding, mode: t === "hex" ? "hex" : "segments" }));
}

$("cpm").addEventListener("change", () => editor.editText(WriteCpm(editor.text(), $<HTMLInputElement>("cpm").checked)));

// ---- files ----
function SetWork(work: Work) {
  programName = work.name;
  includes = work.includes;
  RenderIncludes();
  checksText.value = work.checks;
  send({ kind: "checks", text: work.checks });
  editor.setText(work.source);
}
$("open-asm").addEventListener("change", async () => {
  const file = await TakeFile($<HTMLInputElement>("open-asm"));
  if (file) SetWork({ name: BaseName(file.name), source: await file.text(), checks: checksText.value, includes });
});
// Include files: added from disk, kept with the work, each removable.
function RenderIncludes() {
  $("includes").replaceChildren(...Object.keys(includes).sort().map((name) => {
    const li = Object.assign(document.createElement("li"), { textContent: name });
    const remove = Object.assign(document.createElement("button"), { type: "button", textContent: "✕", title: `Remove ${name}` });
    remove.setAttribute("aria-label", `Remove ${name}`);
    remove.addEventListener("click", () => { delete includes[name]; IncludesChanged(); });
    li.append(remove);
    return li;
  }));
}
function IncludesChanged() {
  RenderIncludes();
  SaveWork(CurrentWork());
  ScheduleAssemble();
}
$("add-include").addEventListener("change", async () => {
  const input = $<HTMLInputElement>("add-include");
  for (const file of Array.from(input.files ?? [])) includes = { ...includes, [file.name]: await file.text() };
  input.value = "";
  IncludesChanged();
});
$("save-asm").addEventListener("click", () => Download(`${programName}.asm`, editor.text(), "text/plain"));
const Downloads: [string, string, () => string | Uint8Array | undefined, string][] = [
  ["download-hex", "hex", () => assembly?.hex, "text/plain"],
  ["download-bin", "bin", () => assembly?.bin, "application/octet-stream"],
  ["download-lst", "lst", () => assembly?.listing, "text/plain"],
];
for (const [id, extension, data, type] of Downloads) {
  $(id).addEventListener("click", () => {
    const content = assembly?.ok ? data() : undefined;
    if (content === undefined) { Say("Nothing assembled to download: fix the errors first"); return; }
    Download(`${programName}.${extension}`, content, type);
  });
}
$("load-program").addEventListener("change", async () => {
  const file = await TakeFile($<HTMLInputElement>("load-program"));
  if (!file) return;
  let loadAddress = 0x100;
  if (/\.bin$/i.test(file.name)) {
    const answer = window.prompt("Load the binary at which address?", "0800H");
    const value = answer === null ? null : ReadValue(answer);
    if (value === null || value > 0xffff) return;
    loadAddress = value;
  }
  send({ kind: "loadFile", name: file.name, bytes: new Uint8Array(await file.arrayBuffer()), loadAddress });
});
$("share").addEventListener("click", async () => {
  const url = location.href.replace(/#.*$/, "") + await ShareFragment(CurrentWork());
  history.replaceState(null, "", url);
  try { await navigator.clipboard.writeText(url); Say("Share link copied"); } catch { Say("Share link in the address bar"); }
});
const examples = $<HTMLSelectElement>("examples");
fetch("examples/index.json").then((r) => r.json()).then((names: string[]) => {
  for (const name of names) examples.append(Object.assign(document.createElement("option"), { value: name, textContent: name }));
}).catch(() => { examples.disabled = true; });
examples.addEventListener("change", async () => {
  const name = examples.value;
  if (!name) return;
  const source = await (await fetch(`examples/${name}`)).text();
  SetWork({ name: BaseName(name), source, checks: "", includes: {} });
  examples.value = "";
});

// ---- theme ----
const theme = $<HTMLButtonElement>("theme");
function SetTheme(dark: boolean) {
  document.documentElement.dataset.theme = dark ? "dark" : "light";
  theme.textContent = dark ? "Light" : "Dark";
  theme.setAttribute("aria-pressed", String(dark));
}
SetTheme((localStorage.getItem("i8085-theme") ?? (matchMedia("(prefers-color-scheme: dark)").matches ? "dark" : "light")) === "dark");
theme.addEventListener("click", () => {
  const dark = document.documentElement.dataset.theme !== "dark";
  SetTheme(dark);
  localStorage.setItem("i8085-theme", dark ? "dark" : "light");
});

// ---- start: a shared link first, then the work of the last visit ----
(async () => {
  const shared = await ReadShareFragment(location.hash);
  // A link's work becomes the work of this browser; the address loses the
  // fragment, so a reload keeps the edits made since.
  if (shared) { SaveWork(shared); history.replaceState(null, "", location.href.replace(/#.*$/, "")); }
  SetWork(shared ?? LoadSavedWork() ?? { name: "program", source: Starter, checks: "", includes: {} });
  RenderBindingForm();
})();
