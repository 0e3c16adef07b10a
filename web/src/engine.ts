// What the worker needs of the WebAssembly toolchain: assembling and one
// simulator session. The worker's logic is written against this; the
// adapter over the module's documented API is in toolchain.ts.
import type { Assembly, InterruptName } from "./protocol";

export interface RunResult {
  stopped: boolean; // false: the budget ran out and the machine can go on
  reason: string; // why it stopped, as the report says it ("HLT at 0805H")
}

export interface Machine {
  // Runs at most `instructions` instructions, stopping early at HLT, a
  // breakpoint, an error or when the program waits for console input.
  run(instructions: number): RunResult;
  registers(): Record<string, number>; // A B C D E H L SP PC F
  setRegister(name: string, value: number): void;
  read(address: number, count: number): Uint8Array;
  write(address: number, bytes: number[]): void;
  instructions(): number;
  tstates(): number;
  setBreakpoints(addresses: number[]): void;
  setInValues(port: number, bytes: number[]): void;
  consoleInput(text: string): void;
  takeConsoleOutput(): string;
  takeOutputs(): { port: number; value: number }[];
  raise(line: InterruptName): void;
  interruptState(): string;
  // The --expect checks against the machine as it stands.
  check(lines: string[]): { text: string; passed: boolean; detail: string }[];
  dispose(): void;
}

export interface Toolchain {
  version: string;
  assemble(source: string, name: string): Omit<Assembly, "id">;
  // A machine with the program loaded: the last assembly, or a file.
  loadAssembly(source: string, name: string): Machine | string;
  loadFile(name: string, bytes: Uint8Array, loadAddress: number): Machine | string;
}
