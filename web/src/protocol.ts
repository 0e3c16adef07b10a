// The messages between the page and the simulator's worker. The page only
// asks; everything it shows comes back in these answers.

export type Speed = { kind: "full" } | { kind: "kit" } | { kind: "rate"; perSecond: number };

export type InterruptName = "TRAP" | "RST7.5" | "RST6.5" | "RST5.5" | "INTR";

export type Request =
  | { kind: "assemble"; id: number; source: string; name: string; includes: Record<string, string> }
  | { kind: "loadFile"; name: string; bytes: Uint8Array; loadAddress: number }
  | { kind: "reset" }
  | { kind: "run"; speed: Speed }
  | { kind: "pause" }
  | { kind: "step" }
  | { kind: "stepOver" }
  | { kind: "stepOut" }
  | { kind: "breakpoints"; addresses: number[] }
  | { kind: "setRegister"; name: string; value: number }
  | { kind: "setMemory"; address: number; bytes: number[] }
  | { kind: "inValues"; text: string }
  | { kind: "console"; text: string }
  | { kind: "interrupt"; line: InterruptName }
  | { kind: "checks"; text: string }
  | { kind: "memoryWindow"; address: number };

export interface Diagnostic {
  line: number; // 1-based; 0 when the message has no line
  severity: "error" | "warning";
  message: string;
}

export interface Assembly {
  id: number;
  ok: boolean;
  diagnostics: Diagnostic[];
  listing: string;
  hex: string;
  bin: Uint8Array;
  binStart: number;
  symbols: { name: string; value: number }[];
  // Source line of each address that starts a statement, and back.
  lineOfAddress: Record<number, number>;
  addressOfLine: Record<number, number>;
}

export interface CheckResult {
  text: string;
  passed: boolean;
  detail: string;
}

export interface Snapshot {
  running: boolean;
  fresh: boolean; // the first snapshot of a program just loaded: the logs start again
  loaded: string; // the file loaded: NAME.asm for the source, or the file's name
  stop: string; // why the machine stands, "" while it runs
  registers: Record<string, number>; // A B C D E H L SP PC F
  at: number; // the instruction the machine stands at: PC, or the HLT it stopped on
  instructions: number;
  tstates: number;
  time: string; // the T-states at the kit's clock, as the report writes it
  memory: Uint8Array; // the window the memory view shows
  memoryAddress: number;
  changed: number[]; // addresses changed by the last step or run
  stack: number[]; // words from SP up
  consoleText: string; // new console output since the last snapshot
  warnings: string[]; // the simulator's new warnings since the last snapshot
  outs: { port: number; value: number }[]; // new OUT writes since the last snapshot
  ports: number[]; // 256: the last value written to each port (the kit reads these)
  interrupts: string;
  checks: CheckResult[] | null; // after a run ends, when checks are set
}

export type Reply =
  | { kind: "ready"; version: string }
  | { kind: "assembled"; assembly: Assembly }
  | { kind: "snapshot"; snapshot: Snapshot }
  | { kind: "busy"; what: string } // a long call begins; a snapshot follows when it ends
  | { kind: "error"; message: string };

export const MemoryWindowBytes = 256;
export const StackWords = 8;
