// The checks panel's lines, read as the command line's --expect options.

// A line of the checks panel as the command line's option: "2060H=96H" and
// "A=96H" are --expect, "out 10H=06H" --expect-out, "cycles 171"
// --expect-cycles; the options' own names are taken too.
export function CheckOption(line: string): string[] {
  const t = line.trim().replace(/^--/, "");
  if (!t || t.startsWith(";")) return [];
  let m: RegExpExecArray | null;
  if ((m = /^(?:expect-out|out)\s*[= ]\s*(.+)$/i.exec(t))) return ["--expect-out", m[1].trim()];
  if ((m = /^(?:expect-cycles|cycles)\s*[= ]\s*(.+)$/i.exec(t))) return ["--expect-cycles", m[1].trim()];
  if ((m = /^expect\s*[= ]\s*(.+)$/i.exec(t))) return ["--expect", m[1].trim()];
  return ["--expect", t];
}
