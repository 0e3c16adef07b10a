// Adapter from the WebAssembly module's API to what the worker needs.
import type { Toolchain } from "./engine";
export async function LoadToolchain(): Promise<Toolchain> {
  throw new Error("not yet");
}
