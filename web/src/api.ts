// The toolchain's WebAssembly module as the page and Node scripts see it: the
// types of every call of web/src/toolchain.js (documented in web/README.md).
// Everything here is answered by the C++ code the command-line programs run.

// ---------------------------------------------------------------- assembling

export type Severity = 'error' | 'warning' | 'note';

// One message of the assembler, as the command line prints it
// ("prog.asm:12: error: undefined symbol LOOP"), taken apart.
export interface Diagnostic {
  file: string;       // the file the line belongs to (the main file, an include); '' for a message without a file
  line: number;       // from 1; 0 for a message without a line ("Assembler: error: ...")
  severity: Severity;
  message: string;    // the text after "error: " / "warning: "
  chain: string;      // the include / macro expansion lines that lead to it, as printed ('' when none)
  text: string;       // the whole message as the command line prints it (chain lines first), without the last line end
}

// A label or constant of the symbol table (the listing's table, in order of definition).
export interface AssembledSymbol {
  name: string;       // upper case
  value: number;      // 0..FFFFH
  line: number;       // the line that defines it (a SET name: its last)
}

// A source line that has an address: where the editor's gutter puts a
// breakpoint and which line the simulator's PC is on.
export interface LineAddress {
  file: string;
  line: number;
  address: number;
  size: number;       // bytes the line writes (0: a label alone, ORG, DS...)
}

// Consecutive bytes of the image.
export interface ByteRange {
  address: number;
  bytes: Uint8Array;
}

export interface AssembleOptions {
  includes?: Record<string, string | Uint8Array>; // other files the source may INCLUDE, by name
  fill?: number;                                  // the gap byte of the binary (Assembler --fill; default 0FFH)
  crlf?: boolean;                                 // Intel HEX lines end in CR LF (Assembler --crlf)
}

export interface AssembleResult {
  status: number;            // Assembler's exit status: 0 ok, 1 errors in the source, 2 an I/O failure
  ok: boolean;               // status === 0
  errorText: string;         // Assembler's standard error, byte for byte
  diagnostics: Diagnostic[]; // errorText taken apart, in order
  listing: string;           // the .lst file, also after errors in the source (the messages under their lines); '' when status is 2
  hex: string;               // the .hex file ('' unless ok)
  binary: Uint8Array;        // the .bin file (lowest to highest address, gaps filled; empty unless ok)
  loadAddress: number;       // the binary's first address (the lowest byte written)
  image: ByteRange[];        // every byte written, ascending, one range per run of consecutive addresses
  start: number | null;      // END's start address, null when END has none
  symbols: AssembledSymbol[];
  lines: LineAddress[];      // every source line with an address, in order
}

// ---------------------------------------------------------------- running

// A program file as the simulator loads it: the name's extension says what
// it is (.asm source, .o object file, .hex Intel HEX, .bin raw with --load,
// .com CP/M with --cpm), as on the command line.
export interface ProgramFile {
  name: string;
  data: string | Uint8Array;
  files?: Record<string, string | Uint8Array>; // other files beside it (the includes of a source)
}

// What a command-line run printed.
export interface CommandResult {
  status: number;  // the program's exit status
  stdout: string;
  stderr: string;
}

export type InterruptName = 'TRAP' | 'RST7.5' | 'RST6.5' | 'RST5.5' | 'INTR';

export type RegisterName =
  | 'A' | 'B' | 'C' | 'D' | 'E' | 'H' | 'L' | 'F'
  | 'BC' | 'DE' | 'HL' | 'SP' | 'PC';

export interface Registers {
  A: number; B: number; C: number; D: number; E: number; H: number; L: number;
  F: number;   // the flag byte (S Z - AC - P - CY)
  SP: number; PC: number;
}

export interface Flags { S: boolean; Z: boolean; AC: boolean; P: boolean; CY: boolean; }

// Why a run or step ended:
//  'halt' HLT with no interrupt to wait for; 'breakpoint'; 'watchpoint';
//  'count' the instructions asked for have run, or stepOver/stepOut arrived (nothing else stopped it);
//  'limit' the session's step limit (--max-steps); 'undocumented' an opcode
//  the 8085 does not document (not executed); 'exit' a CP/M program's
//  warm boot or BDOS 0; 'input' the program waits for console input;
//  'pause' requestPause() was called.
export type StopReason =
  | 'halt' | 'breakpoint' | 'watchpoint' | 'count' | 'limit' | 'undocumented' | 'exit' | 'input' | 'pause';

export interface Stop {
  reason: StopReason;
  address: number;  // where it stopped (PC; for 'halt' the HLT's address)
  text: string;     // the simulator's own wording ("breakpoint at 0805H")
}

export interface PortWrite { port: number; value: number; }

// The machine as it stands, and what changed since the previous snapshot.
export interface Snapshot {
  registers: Registers;
  flags: Flags;
  interrupts: {
    enabled: boolean;                       // IE
    masks: { m75: boolean; m65: boolean; m55: boolean };
    pending: InterruptName[];               // raised, not taken yet
    sid: boolean; sod: boolean;
  };
  halted: boolean;
  steps: number;          // instructions run since load/reset
  tStates: number;
  clockKHz: number;
  time: string;           // tStates at the clock, as the report writes it ("12.345 us at 3.072 MHz")
  changed: ByteRange[];   // memory bytes that differ from the previous snapshot (all 64 KiB in the first after load or reset)
  console: string;        // console output (CP/M BDOS, the UART) since the previous snapshot
  warnings: string;       // the simulator's warnings since the previous snapshot ("Simulator: warning: ..." lines)
  portWrites: PortWrite[];// OUT writes since the previous snapshot, in order
  stop: Stop | null;      // how the last run or step ended (null before the first)
}

export interface Check {
  text: string;     // the check as given ("--expect A=05H")
  passed: boolean;
  line: string;     // the simulator's line for it ("A: expected 05H, got 03H" ...)
}

export interface ChecksResult {
  ok: boolean;      // every check could be read and passed
  error: string;    // a check that cannot be read: the simulator's message ('' otherwise)
  checks: Check[];
}

export type WatchKind = 'read' | 'write' | 'access';

// One machine, driven step by step: the simulator's session interface.
export interface Session {
  // Loads a program with command-line options (['--in', '1=80H', '--cpm', ...]);
  // the same messages and statuses as Simulator. status 0 when loaded.
  load(program: ProgramFile, options?: string[]): CommandResult;
  // Back to the state load left (memory, registers, input queues); breakpoints, watchpoints and port values stay.
  reset(): void;
  step(count?: number): Stop;               // count instructions (default 1), or less if something stops it
  stepOver(): Stop;                         // a CALL (or RST) runs to its return; otherwise one step
  stepOut(): Stop;                          // runs to the return of the current subroutine
  run(maxInstructions: number): Stop;       // until a stop, at most maxInstructions ('count' when all ran)
  requestPause(): void;                     // the next run stops at once with 'pause' (calls are synchronous: the worker runs slices)

  setBreakpoint(address: number, on: boolean): void;
  breakpoints(): number[];
  setWatchpoint(address: number, kind: WatchKind, on: boolean): void; // only 'write' is served (others throw)

  setRegister(name: RegisterName, value: number): void;
  readMemory(address: number, length: number): Uint8Array;
  writeMemory(address: number, bytes: Uint8Array | number[]): void;

  queueInput(port: number, bytes: Uint8Array | number[]): void; // bytes IN reads from the port, in order
  setPortValue(port: number, value: number | null): void;     // what IN reads when the queue is empty (null: FFH)
  sendConsole(text: string): void;                              // keys typed at the console (CP/M, UART, SOD/SID); a read waiting for one stops the run with 'input'
  raiseInterrupt(line: InterruptName): void;

  snapshot(): Snapshot;
  report(): string;                                 // Simulator's report of the machine as it stands
  checks(options: string[]): ChecksResult;          // --expect, --expect-out, --expect-cycles checks, evaluated now
  dispose(): void;
}

// ---------------------------------------------------------------- the module

export interface Toolchain {
  version: string;
  assemble(source: string | Uint8Array, mainFile?: string, options?: AssembleOptions): AssembleResult;
  // The command-line programs in-process, with their arguments and files:
  // ('Assembler' | 'Simulator', ['--cpm', 'hello.com'], {'hello.com': bytes}).
  // Files the run writes come back in files (the .hex, .lst, ...).
  runCommand(
    program: 'Assembler' | 'Simulator',
    args: string[],
    files?: Record<string, string | Uint8Array>,
  ): CommandResult & { files: Record<string, Uint8Array> };
  createSession(): Session;
}

// How the wrapper finds the Emscripten module. In a browser (or a worker)
// pass the factory (the global createToolchainCore of toolchain-core.js) and,
// when the .wasm is not beside the page, locateFile. Node finds both beside
// toolchain.js.
export interface LoadOptions {
  factory?: (moduleArguments: object) => Promise<unknown>;
  locateFile?: (path: string, prefix: string) => string;
  wasmBinary?: ArrayBuffer | Uint8Array;
  warmUp?: boolean; // assemble a small source once at load (default true): the user's first assembly is then fast
}

export type LoadToolchain = (options?: LoadOptions) => Promise<Toolchain>;
