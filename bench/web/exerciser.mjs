// The exerciser loop of bench/cpu.cpp as bytes, read from bench/Exerciser.h, so the
// native core benchmark and the browser's run the very same program.
import { readFileSync } from 'node:fs';

export function readExerciser(cpuSource) {
  const text = readFileSync(cpuSource, 'utf8');
  const body = /Exerciser\[\] = \{([\s\S]*?)\n\};/.exec(text)[1];
  const bytes = [];
  for (const line of body.split('\n'))
    for (const hex of line.replace(/\/\/.*/, '').match(/0x[0-9A-Fa-f]{2}/g) || []) bytes.push(parseInt(hex, 16));
  return Uint8Array.from(bytes);
}
