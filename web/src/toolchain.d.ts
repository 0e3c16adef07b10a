// The types of toolchain.js, the wrapper of the WebAssembly module (see api.ts).
import type { LoadToolchain } from './api';

export declare const loadToolchain: LoadToolchain;
