// A generated source of a given number of lines for the assembling benchmark:
// blocks of ten lines with a label, instructions of every length, constants,
// expressions, forward and backward references, strings and comments.
export function generateSource(lineCount) {
  const lines = ['; generated for the benchmark', '        ORG 0100H', 'PORT    EQU 10H', 'COUNT   EQU 25'];
  const block = [
    (i) => `L${i}:    MVI A,${i % 256}        ; block ${i}`,
    (i) => `        LXI H,TABLE+${i % 64}`,
    () => '        MOV B,A',
    () => '        ADD M',
    () => '        CPI COUNT*2',
    (i) => `        JNZ L${i}`,
    (i) => `        CALL SUB${i % 10}`,
    () => '        OUT PORT',
    (i) => `        DB 'AB',${i % 200},0FFH`,
    (i) => `        DW L${i + 1},$+4`,
  ];
  const tail = 10 * 2 + 3;
  const blocks = Math.max(1, Math.floor((lineCount - lines.length - tail) / block.length));
  for (let i = 0; i < blocks; i++) for (const line of block) lines.push(line(i));
  lines.push(`L${blocks}:    HLT`);
  for (let i = 0; i < 10; i++) lines.push(`SUB${i}:   INR C`, '        RET');
  lines.push('TABLE:  DS 64', '        END 0100H');
  while (lines.length < lineCount) lines.splice(lines.length - 2, 0, '; filler');
  return lines.join('\n') + '\n';
}
