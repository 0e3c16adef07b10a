// The simulator's worker: assembles with the WebAssembly toolchain, drives the
// one session, runs it in slices of a few milliseconds so Pause is heard at
// once, and posts a snapshot at screen rate.
import type { AssembleResult, Session, Snapshot as MachineSnapshot, Stop, Toolchain } from "./api";
import { loadToolchain } from "./toolchain.js";
import { CheckOption } from "./checks";
import { SimOptionsOf } from "./kit";
import { ReadValue } from "./views";
import { MemoryWindowBytes, StackWords, type Assembly, type Reply, type Request, type Snapshot, type Speed } from "./protocol";

declare function importScripts(...urls: string[]): void;
declare const createToolchainCore: (moduleArguments: object) => Promise<unknown>;

const KitClockHz = 3072000;
const SliceMs = 8; // one slice of running before the worker looks at its messages again
const SnapshotMs = 16; // about one snapshot per screen frame
const MaxSteps = "100000000000"; // the simulator's largest limit: the page runs until the user pauses

type Program = { name: string; data: string | Uint8Array; options: string[]; source: boolean; files?: Record<string, string> };

let toolchain: Toolchain;
let session: Session | null = null;
let program: Program | null = null; // what Reset loads
let latestSource: Program | null = null; // the last source that assembled
let started = false; // the machine has run since it was loaded
let finished = false; // it stopped for good (HLT, end of program): Run starts it again
let stopText = "";
let memoryAddress = 0x0800;
let followProgram = true; // the memory view starts at the program until the user moves it
let ports = new Array<number>(256).fill(0);
let changed = new Uint8Array(65536); // bytes written since the last step or run began
let breakpoints: number[] = [];
let inValues = "";
let checkOptions: string[] = [];
let pendingConsole = "";
let pendingWarnings: string[] = [];
let fresh = false; // a program was loaded since the last snapshot
let pendingOuts: { port: number; value: number }[] = [];
let lastSnapshot = 0;
let running: { speed: Speed; since: number; stepsAt: number; tStatesAt: number } | null = null;
let waitingForInput = false;

const post = (reply: Reply, transfer: Transferable[] = []) => (self as unknown as Worker).postMessage(reply, transfer);

// A zero-delay yield to the message queue (setTimeout would wait 4 ms).
const channel = new MessageChannel();
channel.port1.onmessage = () => Slice();
const Yield = () => channel.port2.postMessage(null);

const Hex4 = (v: number) => v.toString(16).toUpperCase().padStart(4, "0") + "H";

// The assembler's answer as the page shows it: the main file's lines only.
function ToAssembly(id: number, name: string, r: AssembleResult): Assembly {
  const main = `${name}.asm`;
  const lineOfAddress: Record<number, number> = {};
  const addressOfLine: Record<number, number> = {};
  for (const l of r.lines) {
    if (l.file !== main) continue;
    addressOfLine[l.line] ??= l.address;
    if (l.size > 0) lineOfAddress[l.address] ??= l.line;
  }
  return {
    id, ok: r.ok, listing: r.listing, hex: r.hex, bin: r.binary, binStart: r.loadAddress,
    diagnostics: r.diagnostics.map((d) => ({
      line: d.file === main || d.file === "" ? d.line : 0,
      severity: d.severity === "error" ? "error" : "warning",
      message: d.file === main || d.file === "" ? d.message : d.text,
    })),
    symbols: r.symbols.map((s) => ({ name: s.name, value: s.value })),
    lineOfAddress, addressOfLine,
  };
}

// Every snapshot of the session goes through here: its changes since the
// previous one are gathered until the page gets them.
function Take(): MachineSnapshot {
  const s = session!.snapshot();
  pendingConsole += s.console;
  if (s.warnings) pendingWarnings.push(...s.warnings.split("\n").filter(Boolean).map((w) => w.replace(/^Simulator: warning: /, "")));
  if (pendingWarnings.length > 50) pendingWarnings = pendingWarnings.slice(-50);
  for (const w of s.portWrites) { ports[w.port] = w.value; pendingOuts.push(w); }
  if (pendingOuts.length > 4000) pendingOuts = pendingOuts.slice(-4000);
  for (const range of s.changed) {
    for (let i = 0; i < range.bytes.length; i++) changed[(range.address + i) & 0xffff] = 1;
  }
  return s;
}

function InterruptText(s: MachineSnapshot): string {
  const i = s.interrupts;
  const mask = (on: boolean, name: string) => (on ? `M${name}` : "");
  return [`IE=${i.enabled ? 1 : 0}`, mask(i.masks.m75, "7.5"), mask(i.masks.m65, "6.5"), mask(i.masks.m55, "5.5"),
    i.pending.length ? `pending: ${i.pending.join(" ")}` : "", s.halted ? "halted" : ""].filter(Boolean).join(" ");
}

function SendSnapshot() {
  lastSnapshot = performance.now();
  if (!session) return;
  const s = Take();
  const r = s.registers;
  const memory = session.readMemory(memoryAddress, MemoryWindowBytes).slice(); // its own buffer, to transfer
  const changedHere: number[] = [];
  for (let i = 0; i < MemoryWindowBytes; i++) {
    const address = (memoryAddress + i) & 0xffff;
    if (changed[address]) changedHere.push(address);
  }
  const stackBytes = session.readMemory(r.SP, StackWords * 2);
  const settled = running === null;
  let checks: Snapshot["checks"] = null;
  if (settled && checkOptions.length) {
    const result = session.checks(checkOptions);
    checks = result.error
      ? [{ text: "checks", passed: false, detail: result.error }]
      : result.checks.map((c) => ({ text: c.text.replace(/^--/, ""), passed: c.passed, detail: c.line }));
  }
  const snapshot: Snapshot = {
    running: !settled,
    fresh,
    loaded: program?.name ?? "",
    stop: waitingForInput ? "Waiting for console input" : settled ? stopText : "",
    registers: { A: r.A, B: r.B, C: r.C, D: r.D, E: r.E, H: r.H, L: r.L, SP: r.SP, PC: r.PC, F: r.F },
    at: s.halted && s.stop?.reason === "halt" ? s.stop.address : r.PC,
    instructions: s.steps, tstates: s.tStates, time: s.time,
    memory, memoryAddress, changed: changedHere,
    stack: Array.from({ length: StackWords }, (_, i) => stackBytes[2 * i] | stackBytes[2 * i + 1] << 8),
    consoleText: pendingConsole, warnings: pendingWarnings, outs: pendingOuts, ports: [...ports],
    interrupts: InterruptText(s),
    checks,
  };
  pendingConsole = "";
  pendingWarnings = [];
  pendingOuts = [];
  fresh = false;
  post({ kind: "snapshot", snapshot }, [memory.buffer]);
}

// "PORT=BYTE[,BYTE...]" a line: several bytes are read in turn from the next
// load; the last (or only) one is what IN reads after that, from now on.
function ApplyInValues(atLoad: boolean) {
  if (!session) return;
  for (const line of inValues.split(/\n/)) {
    const m = /^\s*([^=\s]+)\s*=\s*(.+)$/.exec(line);
    if (!m) continue;
    const port = ReadValue(m[1]);
    const bytes = m[2].split(",").map((b) => ReadValue(b));
    if (port === null || port > 255 || !bytes.every((b) => b !== null && b < 256)) continue;
    if (atLoad && bytes.length > 1) session.queueInput(port, bytes.slice(0, -1) as number[]);
    session.setPortValue(port, bytes[bytes.length - 1]);
  }
}

function Load(next: Program) {
  session?.dispose();
  session = toolchain.createSession();
  running = null;
  waitingForInput = false;
  program = next;
  started = false;
  finished = false;
  ports = new Array<number>(256).fill(0);
  pendingConsole = "";
  pendingWarnings = [];
  pendingOuts = [];
  fresh = true;
  const loaded = session.load({ name: next.name, data: next.data, files: next.files }, ["--max-steps", MaxSteps, ...next.options]);
  if (loaded.status !== 0) {
    session.dispose();
    session = null;
    post({ kind: "error", message: loaded.stderr.trim() || `${next.name} cannot be loaded` });
    return;
  }
  for (const address of breakpoints) session.setBreakpoint(address, true);
  ApplyInValues(true);
  const first = Take(); // the loaded bytes are no change of the program's
  if (followProgram) memoryAddress = first.registers.PC & 0xfff0;
  changed = new Uint8Array(65536);
  stopText = `Loaded ${next.name}`;
  SendSnapshot();
}

// Before a step or run: a finished program starts again, from the latest source.
function Begin(): boolean {
  if (running) return false;
  if (finished && program) Load(program.source && latestSource ? latestSource : program);
  if (!session) return false;
  started = true;
  Take();
  changed = new Uint8Array(65536);
  return true;
}

const IsFinal = (stop: Stop) => ["halt", "exit", "undocumented", "limit"].includes(stop.reason);

function Settle(stop: Stop, text = stop.text) {
  running = null;
  waitingForInput = false;
  stopText = text;
  finished = IsFinal(stop);
  SendSnapshot();
}

// A step that did what it was asked says where it got to; any other stop says why.
const Stepped = (stop: Stop, what: string) => Settle(stop, stop.reason === "count" ? `${what} to ${Hex4(stop.address)}` : stop.text);

function Slice() {
  if (!running || !session) return;
  const sliceEnd = performance.now() + SliceMs;
  const r = running;
  let stop: Stop | null = null;
  let chunk = 2000;
  while (performance.now() < sliceEnd) {
    let budget = 50_000_000;
    const elapsed = (performance.now() - r.since) / 1000;
    if (r.speed.kind === "rate") budget = Math.floor(r.speed.perSecond * elapsed) - (Take().steps - r.stepsAt);
    if (r.speed.kind === "kit") {
      const s = Take();
      const average = s.steps > r.stepsAt ? (s.tStates - r.tStatesAt) / (s.steps - r.stepsAt) : 4;
      budget = Math.floor((KitClockHz * elapsed - (s.tStates - r.tStatesAt)) / Math.max(average, 4));
    }
    if (budget <= 0) break;
    const result = session.run(Math.min(chunk, budget));
    chunk = Math.min(chunk * 2, 1_000_000);
    if (result.reason !== "count") { stop = result; break; }
  }
  if (stop && stop.reason === "input") {
    // The program waits for the keyboard: the run goes on when keys come.
    waitingForInput = true;
    SendSnapshot();
    return;
  }
  if (stop) { Settle(stop); return; }
  if (performance.now() - lastSnapshot >= SnapshotMs) SendSnapshot();
  if (r.speed.kind === "full") Yield();
  else setTimeout(Slice, 10);
}

function Handle(request: Request) {
  switch (request.kind) {
    case "assemble": {
      const result = toolchain.assemble(request.source, `${request.name}.asm`, { includes: request.includes });
      post({ kind: "assembled", assembly: ToAssembly(request.id, request.name, result) });
      if (result.ok) {
        latestSource = {
          name: `${request.name}.asm`, data: request.source, source: true, files: request.includes,
          options: SimOptionsOf(request.source),
        };
        // A machine that has not run yet takes the new program at once.
        if (!running && (!started || !session)) Load(latestSource);
      }
      return;
    }
    case "loadFile": {
      const options = /\.com$/i.test(request.name) ? ["--cpm"]
        : /\.bin$/i.test(request.name) ? ["--load", Hex4(request.loadAddress).replace(/^[A-F]/, "0$&")] : [];
      const data = /\.(hex|ihx)$/i.test(request.name) ? new TextDecoder().decode(request.bytes) : request.bytes;
      const name = request.name.replace(/\.ihx$/i, ".hex");
      followProgram = true;
      Load({ name, data, options, source: false });
      return;
    }
    case "reset":
      if (program) Load(program.source && latestSource ? latestSource : program);
      return;
    case "run":
      if (!Begin()) return;
      {
        const at = Take();
        running = { speed: request.speed, since: performance.now(), stepsAt: at.steps, tStatesAt: at.tStates };
      }
      SendSnapshot();
      Slice();
      return;
    case "pause":
      if (running) Settle({ reason: "pause", address: 0, text: "Paused" });
      return;
    case "step":
      if (Begin()) Stepped(session!.step(1), "Stepped");
      return;
    case "stepOver":
      if (Begin()) {
        post({ kind: "busy", what: "Stepping over…" });
        Stepped(session!.stepOver(), "Stepped over");
      }
      return;
    case "stepOut":
      if (Begin()) {
        post({ kind: "busy", what: "Stepping out…" });
        Stepped(session!.stepOut(), "Stepped out");
      }
      return;
    case "breakpoints":
      if (session) {
        for (const address of breakpoints) session.setBreakpoint(address, false);
        for (const address of request.addresses) session.setBreakpoint(address, true);
      }
      breakpoints = request.addresses;
      return;
    case "setRegister":
      if (!session || running) return;
      session.setRegister(request.name as Parameters<Session["setRegister"]>[0], request.value);
      finished = false;
      SendSnapshot();
      return;
    case "setMemory":
      if (!session || running) return;
      session.writeMemory(request.address, request.bytes);
      finished = false;
      SendSnapshot();
      return;
    case "inValues":
      inValues = request.text;
      ApplyInValues(false);
      return;
    case "console":
      if (!session) return;
      session.sendConsole(request.text);
      if (waitingForInput) { waitingForInput = false; Slice(); }
      return;
    case "interrupt":
      if (!session) return;
      session.raiseInterrupt(request.line);
      finished = false;
      if (!running) SendSnapshot();
      return;
    case "checks":
      checkOptions = request.text.split("\n").flatMap(CheckOption);
      if (!running) SendSnapshot();
      return;
    case "memoryWindow":
      memoryAddress = request.address & 0xffff;
      followProgram = false;
      if (!running) SendSnapshot();
      return;
  }
}

self.onmessage = (e: MessageEvent<Request>) => {
  if (!toolchain) return; // the page asks again once it hears "ready"
  try { Handle(e.data); } catch (error) { running = null; post({ kind: "error", message: String(error) }); }
};

importScripts("toolchain-core.js");
loadToolchain({ factory: createToolchainCore }).then((t) => {
  toolchain = t;
  post({ kind: "ready", version: t.version });
}, (error) => post({ kind: "error", message: `The toolchain did not load: ${error}` }));
