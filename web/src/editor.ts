// The source editor: CodeMirror with 8085 highlighting, the assembler's
// diagnostics on their lines, breakpoints in the gutter and the line at PC.
import { EditorState, RangeSet, StateEffect, StateField, Text } from "@codemirror/state";
import {
  Decoration, DecorationSet, EditorView, GutterMarker, gutter, highlightActiveLine, keymap, lineNumbers,
} from "@codemirror/view";
import { defaultKeymap, history, historyKeymap, indentWithTab } from "@codemirror/commands";
import { StreamLanguage, syntaxHighlighting, HighlightStyle } from "@codemirror/language";
import { lintGutter, setDiagnostics, Diagnostic as CmDiagnostic } from "@codemirror/lint";
import { tags } from "@lezer/highlight";
import type { Diagnostic } from "./protocol";

const Mnemonics = new Set(("MOV MVI LXI LDA STA LHLD SHLD LDAX STAX XCHG ADD ADI ADC ACI SUB SUI SBB SBI INR DCR " +
  "INX DCX DAD DAA ANA ANI ORA ORI XRA XRI CMP CPI RLC RRC RAL RAR CMA CMC STC JMP JNZ JZ JNC JC JPO JPE JP JM " +
  "CALL CNZ CZ CNC CC CPO CPE CP CM RET RNZ RZ RNC RC RPO RPE RP RM RST PCHL SPHL XTHL PUSH POP IN OUT EI DI " +
  "HLT NOP RIM SIM").split(" "));
const Directives = new Set(("ORG EQU SET DB DW DS END IF ELSE ENDIF MACRO ENDM REPT IRP IRPC LOCAL EXITM " +
  "INCLUDE MACLIB TITLE SUBTTL PAGE EJECT NOT AND OR XOR SHL SHR MOD HIGH LOW").split(" "));
const Registers = new Set("A B C D E H L M SP PSW".split(" "));

// 8085 assembly as a stream of tokens: labels, mnemonics, directives,
// registers, numbers in every base, strings and comments.
const Asm8085 = StreamLanguage.define<{ operation: boolean }>({
  name: "asm8085",
  startState: () => ({ operation: false }),
  token(stream, state) {
    if (stream.sol()) state.operation = false;
    if (stream.eatSpace()) return null;
    const ch = stream.peek();
    if (ch === ";" || (ch === "*" && stream.column() === 0)) { stream.skipToEnd(); return "comment"; }
    if (ch === "'" || ch === '"') {
      stream.next();
      while (!stream.eol()) {
        if (stream.next() === ch) { if (stream.peek() === ch) stream.next(); else break; }
      }
      return "string";
    }
    if (/[0-9]/.test(ch ?? "")) { stream.match(/^[0-9][0-9A-Fa-f$]*[HhBbOoQqDd]?/); return "number"; }
    if (stream.match(/^[A-Za-z_?@.$][A-Za-z0-9_?@$]*/)) {
      const word = stream.current().toUpperCase();
      if (stream.peek() === ":") { stream.next(); return "labelName"; }
      if (!state.operation && Mnemonics.has(word)) { state.operation = true; return "keyword"; }
      if (Directives.has(word)) { state.operation = true; return "macroName"; }
      if (state.operation && Registers.has(word)) return "variableName.special";
      if (stream.column() === 0 && !state.operation) return "labelName";
      return "variableName";
    }
    if (ch === "!") { state.operation = false; }
    stream.next();
    return null;
  },
  languageData: { commentTokens: { line: ";" } },
});

const AsmHighlight = HighlightStyle.define([
  { tag: tags.keyword, class: "tok-mnemonic" },
  { tag: tags.macroName, class: "tok-directive" },
  { tag: tags.special(tags.variableName), class: "tok-register" },
  { tag: tags.number, class: "tok-number" },
  { tag: tags.string, class: "tok-string" },
  { tag: tags.comment, class: "tok-comment" },
  { tag: tags.labelName, class: "tok-label" },
]);

// Breakpoints sit on lines and follow them as text is edited.
const toggleBreakpoint = StateEffect.define<{ pos: number; on: boolean }>();
const clearBreakpoints = StateEffect.define<null>();
class BreakpointMarker extends GutterMarker {
  toDOM() {
    const span = document.createElement("span");
    span.className = "cm-breakpoint-marker";
    span.textContent = "●";
    span.setAttribute("aria-label", "breakpoint");
    return span;
  }
}
const breakpointMarker = new BreakpointMarker();
// The gutter's width, without a marker's name for tests and screen readers.
class SpacerMarker extends GutterMarker {
  toDOM() { return Object.assign(document.createElement("span"), { textContent: "●" }); }
}
const breakpointState = StateField.define<RangeSet<GutterMarker>>({
  create: () => RangeSet.empty,
  update(set, tr) {
    set = set.map(tr.changes);
    for (const e of tr.effects) {
      if (e.is(clearBreakpoints)) set = RangeSet.empty;
      if (e.is(toggleBreakpoint)) {
        set = e.value.on
          ? set.update({ add: [breakpointMarker.range(e.value.pos)] })
          : set.update({ filter: (from) => from !== e.value.pos });
      }
    }
    return set;
  },
});

// The line the machine is at while paused or stepping.
const setCurrentLine = StateEffect.define<number>();
const currentLineState = StateField.define<DecorationSet>({
  create: () => Decoration.none,
  update(deco, tr) {
    deco = deco.map(tr.changes);
    for (const e of tr.effects) {
      if (e.is(setCurrentLine)) {
        const line = e.value;
        deco = line > 0 && line <= tr.state.doc.lines
          ? Decoration.set([Decoration.line({ class: "cm-current-line" }).range(tr.state.doc.line(line).from)])
          : Decoration.none;
      }
    }
    return deco;
  },
  provide: (f) => EditorView.decorations.from(f),
});

export interface SourceEditor {
  view: EditorView;
  text(): string;
  setText(text: string): void;
  editText(text: string): void;
  breakpointLines(): number[];
  toggleBreakpointAt(line: number): void;
  showDiagnostics(list: Diagnostic[]): void;
  showCurrentLine(line: number): void;
  goToLine(line: number): void;
}

export function CreateEditor(parent: HTMLElement, initial: string, onChange: () => void,
                             onBreakpoints: () => void, onAssemble: () => void): SourceEditor {
  const toggleAt = (view: EditorView, pos: number) => {
    let on = true;
    view.state.field(breakpointState).between(pos, pos, () => { on = false; });
    view.dispatch({ effects: toggleBreakpoint.of({ pos, on }) });
    onBreakpoints();
  };
  const breakpointGutter = gutter({
    class: "cm-breakpoint-gutter",
    markers: (v) => v.state.field(breakpointState),
    initialSpacer: () => new SpacerMarker(),
    domEventHandlers: {
      mousedown(view, line) { toggleAt(view, line.from); return true; },
    },
  });
  const view = new EditorView({
    parent,
    state: EditorState.create({
      doc: initial,
      extensions: [
        breakpointState, breakpointGutter, lineNumbers(), lintGutter(), history(), highlightActiveLine(),
        currentLineState, Asm8085, syntaxHighlighting(AsmHighlight),
        keymap.of([
          { key: "Mod-Enter", run: () => { onAssemble(); return true; } }, // not a blank line: Assemble
          { key: "F9", run: (v) => { toggleAt(v, v.state.doc.lineAt(v.state.selection.main.head).from); return true; } },
          ...defaultKeymap, ...historyKeymap, indentWithTab,
        ]),
        EditorView.contentAttributes.of({ "aria-label": "8085 assembly source (F9 toggles a breakpoint on the line)" }),
        EditorView.updateListener.of((u) => { if (u.docChanged) onChange(); }),
      ],
    }),
  });
  let shownLine = 0;
  const lineFrom = (doc: Text, line: number) => doc.line(Math.min(Math.max(line, 1), doc.lines)).from;
  return {
    view,
    text: () => view.state.doc.toString(),
    setText(text) {
      view.dispatch({
        changes: { from: 0, to: view.state.doc.length, insert: text },
        effects: [clearBreakpoints.of(null), setCurrentLine.of(0)],
      });
      shownLine = 0;
      onBreakpoints();
    },
    // The text changed where it differs only, so breakpoints keep their lines.
    editText(text) {
      const old = view.state.doc.toString();
      let from = 0;
      while (from < old.length && from < text.length && old[from] === text[from]) from++;
      let end = 0;
      while (end < old.length - from && end < text.length - from && old[old.length - 1 - end] === text[text.length - 1 - end]) end++;
      view.dispatch({ changes: { from, to: old.length - end, insert: text.slice(from, text.length - end) } });
    },
    breakpointLines() {
      const lines: number[] = [];
      view.state.field(breakpointState).between(0, view.state.doc.length, (from) => {
        lines.push(view.state.doc.lineAt(from).number);
      });
      return lines;
    },
    toggleBreakpointAt(line) { toggleAt(view, lineFrom(view.state.doc, line)); },
    showDiagnostics(list) {
      const doc = view.state.doc;
      const marks: CmDiagnostic[] = list.filter((d) => d.line > 0 && d.line <= doc.lines).map((d) => {
        const line = doc.line(d.line);
        return { from: line.from, to: line.to, severity: d.severity, message: d.message };
      });
      view.dispatch(setDiagnostics(view.state, marks));
    },
    // The line at PC, scrolled into sight when it moves.
    showCurrentLine(line) {
      if (line === shownLine) return;
      shownLine = line;
      const effects: StateEffect<unknown>[] = [setCurrentLine.of(line)];
      if (line > 0 && line <= view.state.doc.lines) effects.push(EditorView.scrollIntoView(view.state.doc.line(line).from, { y: "nearest" }));
      view.dispatch({ effects });
    },
    goToLine(line) {
      const pos = lineFrom(view.state.doc, line);
      view.dispatch({ selection: { anchor: pos }, scrollIntoView: true });
      view.focus();
    },
  };
}
