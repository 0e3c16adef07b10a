// The page's own small rules, without a browser: the kit's binding line, the
// CP/M line, numbers typed in the views, the checks panel's lines.
import { test } from "node:test";
import assert from "node:assert/strict";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import * as esbuild from "esbuild";

const src = join(dirname(fileURLToPath(import.meta.url)), "..", "src");
// Bundles a TypeScript module to ESM in memory and imports it.
async function Import(entry) {
  const result = await esbuild.build({
    entryPoints: [join(src, entry)], bundle: true, write: false, format: "esm", platform: "node",
  });
  return import("data:text/javascript;base64," + Buffer.from(result.outputFiles[0].text).toString("base64"));
}

const kit = await Import("kit.ts");
const views = await Import("views.ts");

test("the kit's binding line: read, defaults, written back", () => {
  const cases = [
    ["no line at all", "  MVI A,1\n", { digits: [0x10, 0x11, 0x12, 0x13, 0x14, 0x15], leds: 0x01, mode: "segments" }],
    ["all fields", ";@kit digits=80H,81H,82H,83H,84H,85H leds=0A0H mode=hex\n", { digits: [0x80, 0x81, 0x82, 0x83, 0x84, 0x85], leds: 0xa0, mode: "hex" }],
    ["decimal ports, any case, later line", "x\n;@KIT leds=2 digits=0,1,2,3,4,5\n", { digits: [0, 1, 2, 3, 4, 5], leds: 2, mode: "segments" }],
    ["five digits and a port above 255 keep the defaults", ";@kit digits=1,2,3,4,5 leds=100H mode=odd", { digits: [0x10, 0x11, 0x12, 0x13, 0x14, 0x15], leds: 0x01, mode: "segments" }],
  ];
  for (const [name, source, expected] of cases) assert.deepEqual(kit.ReadBinding(source), expected, name);
  const binding = { digits: [0xa0, 1, 2, 3, 4, 0xff], leds: 0x10, mode: "hex" };
  const written = kit.WriteBinding("; lab 3\n;@kit leds=5\n  HLT\n", binding);
  assert.equal(written, "; lab 3\n;@kit digits=0A0H,01H,02H,03H,04H,0FFH leds=10H mode=hex\n  HLT\n");
  assert.deepEqual(kit.ReadBinding(written), binding);
  assert.equal(kit.WriteBinding("  HLT\n", binding).split("\n")[1], "  HLT");
});

test("segments: raw bits, or the low four bits as a hex digit", () => {
  assert.deepEqual([0x06, 0x80, 0x1ff].map((v) => kit.SegmentsOf(v, "segments")), [0x06, 0x80, 0xff]);
  assert.deepEqual([0x00, 0x31, 0x0a, 0xff].map((v) => kit.SegmentsOf(v, "hex")), [0x3f, 0x06, 0x77, 0x71]);
});

test("the CP/M line is added and removed whole", () => {
  const source = "  ORG 100H\n  RET\n";
  const cpm = kit.WriteCpm(source, true);
  assert.equal(cpm, ";@cpm\n" + source);
  assert.ok(kit.IsCpmSource(cpm) && !kit.IsCpmSource(source));
  assert.equal(kit.WriteCpm(cpm, true), cpm);
  assert.equal(kit.WriteCpm("; hi\r\n;@cpm\r\n  RET", false), "; hi\r\n  RET");
});

test("the options a source asks the simulator for", () => {
  assert.deepEqual(kit.SimOptionsOf("  HLT\n"), []);
  assert.deepEqual(kit.SimOptionsOf(";@cpm\n  RET\n"), ["--cpm"]);
  assert.deepEqual(kit.SimOptionsOf("; serial\n;@SIM  --uart 8251,0F0H,0F1H   --input x\r\n;@cpm\n"),
    ["--cpm", "--uart", "8251,0F0H,0F1H", "--input", "x"]);
});

test("numbers and labels typed into the views", () => {
  const symbols = [{ name: "LOOP", value: 0x0805 }, { name: "FFH", value: 7 }];
  const cases = [["0FFH", 255], ["80h", 128], ["255", 255], ["10D", 10], ["1010B", 10], ["17Q", 15], ["17O", 15],
    ["0x1F", 31], ["'A'", 65], ["loop", 0x0805], ["FFH", 7], ["FFX", null], ["", null], ["12G", null]];
  for (const [text, value] of cases) assert.equal(views.ReadValue(text, symbols), value, text);
});

test("keys typed in the console become terminal bytes", () => {
  const key = (key, mods = {}) => views.KeyBytes({ key, ctrlKey: false, altKey: false, metaKey: false, ...mods });
  assert.deepEqual([key("a"), key("Enter"), key("Backspace"), key("c", { ctrlKey: true }), key("Z", { ctrlKey: true }),
    key("Shift"), key("x", { altKey: true })], ["a", "\r", "\b", "\x03", "\x1a", null, null]);
});

test("a line of the checks panel is the command line's option", async () => {
  const checks = await Import("checks.ts");
  const cases = [["2060H=96H", ["--expect", "2060H=96H"]], ["A=96H", ["--expect", "A=96H"]],
    ["--expect B=1", ["--expect", "B=1"]], ["out 10H=06H,07H", ["--expect-out", "10H=06H,07H"]],
    ["expect-out=1=2", ["--expect-out", "1=2"]], ["cycles 171", ["--expect-cycles", "171"]],
    ["--expect-cycles 9", ["--expect-cycles", "9"]], ["; a remark", []], ["   ", []]];
  for (const [line, option] of cases) assert.deepEqual(checks.CheckOption(line), option, line);
});
