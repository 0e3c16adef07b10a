// The simulator's worker: assembles with the WebAssembly toolchain, keeps the
// one machine, runs it in slices of a few milliseconds so Pause is heard at
// once, and posts a snapshot at screen rate.
import type { Machine, Toolchain } from "./engine";
import { LoadToolchain } from "./toolchain";
import { MemoryWindowBytes, StackWords, type Reply, type Request, type Snapshot, type Speed } from "./protocol";

const KitClockHz = 3072000;
const SliceMs = 8; // one slice of running before the worker looks at its messages
const SnapshotMs = 16; // about one snapshot per screen frame

interface Program { kind: "source"; source: string; name: string }
interface FileProgram { kind: "file"; name: string; bytes: Uint8Array; loadAddress: number }

let toolchain: Toolchain;
let machine: Machine | null = null;
let program: Program | FileProgram | null = null; // what Reset loads
let latestSource: Program | null = null; // the last source that assembled
let started = false; // the machine has run since it was loaded
let finished = false; // it stopped for good (HLT, end of program): Run starts it again
let stopText = "";
let memoryBefore: Uint8Array = new Uint8Array(65536); // as the last step or run began
let memoryAddress = 0x0800;
let ports = new Array<number>(256).fill(0);
let breakpoints: number[] = [];
let inValues = "";
let checkLines: string[] = [];
let pendingConsole = "";
let pendingOuts: { port: number; value: number }[] = [];
let lastSnapshot = 0;

// What a run is doing: plain running, or stepping over or out of a routine.
type Mode = { kind: "run"; speed: Speed; since: number; instructionsAt: number; tstatesAt: number }
  | { kind: "over"; target: number; sp: number }
  | { kind: "out"; sp: number };
let mode: Mode | null = null;

const post = (reply: Reply, transfer: Transferable[] = []) => (self as unknown as Worker).postMessage(reply, transfer);

// A zero-delay yield to the message queue (setTimeout would wait 4 ms).
const channel = new MessageChannel();
channel.port1.onmessage = () => Slice();
const Yield = () => channel.port2.postMessage(null);

function Collect() {
  if (!machine) return;
  pendingConsole += machine.takeConsoleOutput();
  for (const o of machine.takeOutputs()) { ports[o.port] = o.value; pendingOuts.push(o); }
  if (pendingOuts.length > 4000) pendingOuts = pendingOuts.slice(-4000);
}

function ParseCheck(line: string): string[] {
  const t = line.trim().replace(/^--/, "");
  let m: RegExpExecArray | null;
  if ((m = /^expect-out\s*[= ]\s*(.*)$/i.exec(t)) || (m = /^out\s+(.*)$/i.exec(t))) return ["--expect-out", m[1].trim()];
  if ((m = /^expect-cycles\s*[= ]\s*(.*)$/i.exec(t)) || (m = /^cycles\s+(.*)$/i.exec(t))) return ["--expect-cycles", m[1].trim()];
  if ((m = /^expect\s*[= ]\s*(.*)$/i.exec(t))) return ["--expect", m[1].trim()];
  return ["--expect", t];
}

function SendSnapshot() {
  lastSnapshot = performance.now();
  if (!machine) return;
  Collect();
  const registers = machine.registers();
  const memory = machine.read(memoryAddress, MemoryWindowBytes);
  const changed: number[] = [];
  memory.forEach((b, i) => {
    const address = (memoryAddress + i) & 0xffff;
    if (memoryBefore[address] !== b) changed.push(address);
  });
  const stackBytes = machine.read(registers.SP, StackWords * 2);
  const stack = Array.from({ length: StackWords }, (_, i) => stackBytes[2 * i] | stackBytes[2 * i + 1] << 8);
  const settled = mode === null;
  const snapshot: Snapshot = {
    running: !settled,
    loaded: program?.name ?? "",
    stop: settled ? stopText : "",
    registers, instructions: machine.instructions(), tstates: machine.tstates(),
    memory, memoryAddress, changed, stack,
    consoleText: pendingConsole, outs: pendingOuts, ports: [...ports],
    interrupts: machine.interruptState(),
    checks: settled && checkLines.length ? machine.check(checkLines.flatMap(ParseCheck)) : null,
  };
  pendingConsole = "";
  pendingOuts = [];
  post({ kind: "snapshot", snapshot }, [memory.buffer]);
}

function SetInValues() {
  if (!machine) return;
  for (const line of inValues.split(/\n/)) {
    const m = /^\s*([^=\s]+)\s*=\s*(.+)$/.exec(line);
    if (!m) continue;
    const port = ReadNumber(m[1]);
    const bytes = m[2].split(",").map(ReadNumber);
    if (port !== null && port < 256 && bytes.every((b) => b !== null && b < 256)) machine.setInValues(port, bytes as number[]);
  }
}

function ReadNumber(text: string): number | null {
  const t = text.trim();
  let m: RegExpExecArray | null;
  if ((m = /^([0-9][0-9A-F]*)H$/i.exec(t))) return parseInt(m[1], 16);
  if ((m = /^([01]+)B$/i.exec(t))) return parseInt(m[1], 2);
  if ((m = /^([0-9]+)D?$/i.exec(t))) return parseInt(m[1], 10);
  return null;
}

function Load(next: Program | FileProgram) {
  machine?.dispose();
  machine = null;
  const made = next.kind === "source"
    ? toolchain.loadAssembly(next.source, next.name)
    : toolchain.loadFile(next.name, next.bytes, next.loadAddress);
  program = next;
  started = false;
  finished = false;
  mode = null;
  ports = new Array<number>(256).fill(0);
  pendingConsole = "";
  pendingOuts = [];
  if (typeof made === "string") { stopText = made; post({ kind: "error", message: made }); return; }
  machine = made;
  machine.setBreakpoints(breakpoints);
  SetInValues();
  stopText = `Loaded ${next.name}`;
  memoryBefore = machine.read(0, 65536);
  SendSnapshot();
}

// Before a step or run: a finished program starts again from the top.
function Begin(): boolean {
  if (finished && program) Load(program.kind === "source" && latestSource ? latestSource : program);
  if (!machine) return false;
  started = true;
  memoryBefore = machine.read(0, 65536);
  return true;
}

function Stop(reason: string, final: boolean) {
  mode = null;
  stopText = reason;
  finished = final;
  SendSnapshot();
}

// One instruction, even from a breakpoint at PC.
function StepOne() {
  machine!.setBreakpoints([]);
  const result = machine!.run(1);
  machine!.setBreakpoints(breakpoints);
  return result;
}

function IsFinal(reason: string) { return !/breakpoint|paused|input/i.test(reason); }

const CallOpcodes = new Set([0xcd, 0xc4, 0xcc, 0xd4, 0xdc, 0xe4, 0xec, 0xf4, 0xfc]);
const ReturnOpcodes = new Set([0xc9, 0xc0, 0xc8, 0xd0, 0xd8, 0xe0, 0xe8, 0xf0, 0xf8]);
const IsRestart = (op: number) => (op & 0xc7) === 0xc7;

function Slice() {
  if (!mode || !machine) return;
  const sliceEnd = performance.now() + SliceMs;
  let result = { stopped: false, reason: "" };
  if (mode.kind === "run") {
    const m = mode;
    const elapsed = (performance.now() - m.since) / 1000;
    let budget = Infinity;
    if (m.speed.kind === "rate") budget = Math.floor(m.speed.perSecond * elapsed) - (machine.instructions() - m.instructionsAt);
    if (m.speed.kind === "kit") budget = Math.floor((KitClockHz * elapsed - (machine.tstates() - m.tstatesAt)) / 4);
    let chunk = 20000;
    while (!result.stopped && budget > 0 && performance.now() < sliceEnd) {
      if (m.speed.kind === "kit") budget = Math.floor((KitClockHz * elapsed - (machine.tstates() - m.tstatesAt)) / 4);
      const n = Math.max(1, Math.min(chunk, budget));
      result = machine.run(n);
      budget -= n;
      chunk = Math.min(chunk * 2, 2000000);
    }
  } else {
    // Stepping over or out goes one instruction at a time, so the frame can be watched.
    const bp = new Set(breakpoints);
    for (let i = 0; !result.stopped && (i & 1023 || performance.now() < sliceEnd); i++) {
      const before = machine.registers();
      const opcode = machine.read(before.PC, 1)[0];
      result = machine.run(1);
      if (result.stopped) break;
      const after = machine.registers();
      if (mode.kind === "over" && after.PC === mode.target && after.SP >= mode.sp) { result = { stopped: true, reason: "Stepped over" }; break; }
      if (mode.kind === "out" && ReturnOpcodes.has(opcode) && after.SP > mode.sp && after.PC !== before.PC + 1) {
        result = { stopped: true, reason: "Stepped out" }; break;
      }
      if (bp.has(after.PC)) { result = { stopped: true, reason: `breakpoint at ${after.PC.toString(16).toUpperCase().padStart(4, "0")}H` }; break; }
    }
  }
  if (result.stopped) {
    const waiting = /input/i.test(result.reason);
    if (waiting) {
      // The program waits for the keyboard: keep the run going once keys come.
      stopText = result.reason;
      if (performance.now() - lastSnapshot >= SnapshotMs) SendSnapshot();
      setTimeout(Slice, 30);
      return;
    }
    Stop(result.reason, IsFinal(result.reason));
    return;
  }
  if (performance.now() - lastSnapshot >= SnapshotMs) SendSnapshot();
  if (mode.kind === "run" && mode.speed.kind !== "full") setTimeout(Slice, 10);
  else Yield();
}

function Handle(request: Request) {
  switch (request.kind) {
    case "assemble": {
      const assembly = { id: request.id, ...toolchain.assemble(request.source, request.name) };
      post({ kind: "assembled", assembly });
      if (assembly.ok) {
        latestSource = { kind: "source", source: request.source, name: request.name };
        // A machine that has not run yet takes the new program at once.
        if (!mode && (!started || !machine)) Load(latestSource);
      }
      return;
    }
    case "loadFile": Load({ kind: "file", name: request.name, bytes: request.bytes, loadAddress: request.loadAddress }); return;
    case "reset": {
      const next = program?.kind === "file" ? program : latestSource ?? program;
      if (next) Load(next);
      return;
    }
    case "run":
      if (mode || !Begin()) return;
      if (breakpoints.includes(machine!.registers().PC)) {
        const first = StepOne();
        if (first.stopped) { Stop(first.reason, IsFinal(first.reason)); return; }
      }
      mode = { kind: "run", speed: request.speed, since: performance.now(), instructionsAt: machine!.instructions(), tstatesAt: machine!.tstates() };
      SendSnapshot();
      Slice();
      return;
    case "pause":
      if (mode) { Collect(); Stop("Paused", false); }
      return;
    case "step": {
      if (mode || !Begin()) return;
      const result = StepOne();
      Stop(result.stopped ? result.reason : "Stepped", result.stopped && IsFinal(result.reason));
      return;
    }
    case "stepOver": {
      if (mode || !Begin()) return;
      const r = machine!.registers();
      const opcode = machine!.read(r.PC, 1)[0];
      if (!CallOpcodes.has(opcode) && !IsRestart(opcode)) { Handle({ kind: "step" }); return; }
      const target = (r.PC + (IsRestart(opcode) ? 1 : 3)) & 0xffff;
      const first = StepOne();
      const after = machine!.registers();
      if (first.stopped || after.PC === target) { Stop(first.stopped ? first.reason : "Stepped over", first.stopped && IsFinal(first.reason)); return; }
      mode = { kind: "over", target, sp: r.SP };
      Slice();
      return;
    }
    case "stepOut":
      if (mode || !Begin()) return;
      mode = { kind: "out", sp: machine!.registers().SP };
      Slice();
      return;
    case "breakpoints":
      breakpoints = request.addresses;
      machine?.setBreakpoints(breakpoints);
      return;
    case "setRegister":
      if (!machine || mode) return;
      machine.setRegister(request.name, request.value);
      finished = false;
      SendSnapshot();
      return;
    case "setMemory":
      if (!machine || mode) return;
      machine.write(request.address, request.bytes);
      SendSnapshot();
      return;
    case "inValues":
      inValues = request.text;
      SetInValues();
      return;
    case "console":
      machine?.consoleInput(request.text);
      return;
    case "interrupt":
      if (!machine) return;
      machine.raise(request.line);
      finished = false;
      if (!mode) SendSnapshot();
      return;
    case "checks":
      checkLines = request.text.split("\n").map((l) => l.trim()).filter((l) => l && !l.startsWith(";"));
      if (!mode) SendSnapshot();
      return;
    case "memoryWindow":
      memoryAddress = request.address & 0xffff;
      if (!mode) SendSnapshot();
      return;
  }
}

self.onmessage = (e: MessageEvent<Request>) => {
  if (!toolchain) return; // the page asks again once it hears "ready"
  try { Handle(e.data); } catch (error) { mode = null; post({ kind: "error", message: String(error) }); }
};

LoadToolchain().then((t) => {
  toolchain = t;
  post({ kind: "ready", version: t.version });
}, (error) => post({ kind: "error", message: `The toolchain did not load: ${error}` }));
