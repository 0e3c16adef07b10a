// mon85.s: a small serial monitor for an 8085 trainer, written the way
// today's cross assemblers take it: dot directives, $ and 0x hexadecimal,
// % and 0b binary, C operators, // comments, include files.
// After each line that writes bytes: its address and its bytes, worked out
// by hand from the 8085 opcode map.
        .cpu    8085
        .title  "MON85 monitor"
        .list
        .page

        .include "uart.inc"             // the serial port, beside this file

// ------------------------------------------------------------ memory
RAM_BASE    .equ    0x2000
RAM_TOP     .equ    RAM_BASE + $100         // $2100
STACK       =       RAM_TOP

        .include "chars.inc"            // found through -I inc

// ------------------------------------------------------------ variables
        .org    RAM_BASE
linebuf:    .block  LINE_MAX                // $2000
linelen:    .ds     1                       // $2020
curaddr:    DEFS    2                       // $2021
scratch:    .block  4                       // $2023

// ------------------------------------------------------------ vectors
        .org    $0000
reset:  di                              ; 0000: F3
        lxi     sp,STACK                ; 0001: 31 00 21
        jmp     start                   ; 0004: C3 40 00

        .org    $0024                   // TRAP
trap:   jmp     nmi_handler             ; 0024: C3 76 01

        .org    $003C                   // RST 7.5
rst75:  ei                              ; 003C: FB
        ret                             ; 003D: C9

// ------------------------------------------------------------ main loop
        .org    $0040
start:  mvi     a,SIM_MASKS             ; 0040: 3E 0B
        sim                             ; 0042: 30
        call    uart_init               ; 0043: CD 86 00
        lxi     h,banner                ; 0046: 21 90 01
        call    puts                    ; 0049: CD A7 00
main:   mvi     a,PROMPT_CH             ; 004C: 3E 3E
        call    putc                    ; 004E: CD 8F 00
        call    getline                 ; 0051: CD C4 00
        lda     linelen                 ; 0054: 3A 20 20
        ora     a                       ; 0057: B7
        jz      main                    ; 0058: CA 4C 00
        lxi     h,linebuf               ; 005B: 21 00 20
        mov     a,m                     ; 005E: 7E
        call    to_upper                ; 005F: CD BB 00
        lxi     d,commands              ; 0062: 11 81 01
        mvi     b,NUM_COMMANDS          ; 0065: 06 05
// the table holds a letter and a handler's address per command
find:   xchg                            ; 0067: EB
        cmp     m                       ; 0068: BE
        inx     h                       ; 0069: 23
        jz      found                   ; 006A: CA 7D 00
        inx     h                       ; 006D: 23
        inx     h                       ; 006E: 23
        xchg                            ; 006F: EB
        dcr     b                       ; 0070: 05
        jnz     find                    ; 0071: C2 67 00
        lxi     h,what                  ; 0074: 21 AC 01
        call    puts                    ; 0077: CD A7 00
        jmp     main                    ; 007A: C3 4C 00
// run the handler as a subroutine that returns to main
found:  mov     e,m                     ; 007D: 5E
        inx     h                       ; 007E: 23
        mov     d,m                     ; 007F: 56
        xchg                            ; 0080: EB
        lxi     d,main                  ; 0081: 11 4C 00
        push    d                       ; 0084: D5
        pchl                            ; 0085: E9

// ------------------------------------------------------------ serial port
uart_init:
        mvi     a,UART_MODE             ; 0086: 3E 4E
        out     UART_STAT               ; 0088: D3 81
        mvi     a,UART_CMD              ; 008A: 3E 37
        out     UART_STAT               ; 008C: D3 81
        ret                             ; 008E: C9

// putc: the character in A, when the transmitter is ready
putc:   push    psw                     ; 008F: F5
putc1:  in      UART_STAT               ; 0090: DB 81
        ani     TX_READY                ; 0092: E6 01
        jz      putc1                   ; 0094: CA 90 00
        pop     psw                     ; 0097: F1
        out     UART_DATA               ; 0098: D3 80
        ret                             ; 009A: C9

// getc: the next character received, in A, 7 bits
getc:   in      UART_STAT               ; 009B: DB 81
        ani     RX_READY                ; 009D: E6 02
        jz      getc                    ; 009F: CA 9B 00
        in      UART_DATA               ; 00A2: DB 80
        ani     $7F                     ; 00A4: E6 7F
        ret                             ; 00A6: C9

// puts: the string at HL, up to its zero byte
puts:   mov     a,m                     ; 00A7: 7E
        ora     a                       ; 00A8: B7
        rz                              ; 00A9: C8
        call    putc                    ; 00AA: CD 8F 00
        inx     h                       ; 00AD: 23
        jmp     puts                    ; 00AE: C3 A7 00

crlf:   mvi     a,CR                    ; 00B1: 3E 0D
        call    putc                    ; 00B3: CD 8F 00
        mvi     a,LF                    ; 00B6: 3E 0A
        jmp     putc                    ; 00B8: C3 8F 00

// to_upper: a lower-case letter in A made upper case
to_upper:
        cpi     'a'                     ; 00BB: FE 61
        rc                              ; 00BD: D8
        cpi     'z' + 1                 ; 00BE: FE 7B
        rnc                             ; 00C0: D0
        ani     ~$20 & $FF              ; 00C1: E6 DF
        ret                             ; 00C3: C9

// ------------------------------------------------------------ line input
// getline: a line into linebuf, its length into linelen; BS takes back
getline:
        lxi     h,linebuf               ; 00C4: 21 00 20
        mvi     c,0                     ; 00C7: 0E 00
gl_next:
        call    getc                    ; 00C9: CD 9B 00
        cpi     CR                      ; 00CC: FE 0D
        jz      gl_done                 ; 00CE: CA F6 00
        cpi     BS                      ; 00D1: FE 08
        jz      gl_back                 ; 00D3: CA E7 00
        mov     b,a                     ; 00D6: 47
        mov     a,c                     ; 00D7: 79
        cpi     LINE_MAX - 1            ; 00D8: FE 1F
        jnc     gl_next                 ; 00DA: D2 C9 00
        mov     a,b                     ; 00DD: 78
        mov     m,a                     ; 00DE: 77
        inx     h                       ; 00DF: 23
        inr     c                       ; 00E0: 0C
        call    putc                    ; 00E1: CD 8F 00
        jmp     gl_next                 ; 00E4: C3 C9 00
gl_back:
        mov     a,c                     ; 00E7: 79
        ora     a                       ; 00E8: B7
        jz      gl_next                 ; 00E9: CA C9 00
        dcx     h                       ; 00EC: 2B
        dcr     c                       ; 00ED: 0D
        mvi     a,BS                    ; 00EE: 3E 08
        call    putc                    ; 00F0: CD 8F 00
        jmp     gl_next                 ; 00F3: C3 C9 00
gl_done:
        mvi     m,0                     ; 00F6: 36 00
        mov     a,c                     ; 00F8: 79
        sta     linelen                 ; 00F9: 32 20 20
        jmp     crlf                    ; 00FC: C3 B1 00

        .include "hexout.inc"           // code in an include: puthex, putnib, putword

// ------------------------------------------------------------ commands
cmd_help:
        lxi     h,helptext              ; 011E: 21 B0 01
        jmp     puts                    ; 0121: C3 A7 00

// D: sixteen bytes from curaddr, which moves on
cmd_dump:
        lhld    curaddr                 ; 0124: 2A 21 20
        call    putword                 ; 0127: CD 16 01
        mvi     a,':'                   ; 012A: 3E 3A
        call    putc                    ; 012C: CD 8F 00
        mvi     b,BYTES_PER_ROW         ; 012F: 06 10
dump1:  mvi     a,SPACE                 ; 0131: 3E 20
        call    putc                    ; 0133: CD 8F 00
        mov     a,m                     ; 0136: 7E
        call    puthex                  ; 0137: CD FF 00
        inx     h                       ; 013A: 23
        dcr     b                       ; 013B: 05
        jnz     dump1                   ; 013C: C2 31 01
        shld    curaddr                 ; 013F: 22 21 20
        jmp     crlf                    ; 0142: C3 B1 00

// G: run the program at curaddr
cmd_go: lhld    curaddr                 ; 0145: 2A 21 20
        pchl                            ; 0148: E9

// S: the UART's status and the interrupt state
cmd_status:
        in      UART_STAT               ; 0149: DB 81
        call    puthex                  ; 014B: CD FF 00
        mvi     a,SPACE                 ; 014E: 3E 20
        call    putc                    ; 0150: CD 8F 00
        rim                             ; 0153: 20
        call    puthex                  ; 0154: CD FF 00
        jmp     crlf                    ; 0157: C3 B1 00

// C: the 16-bit sum of 256 bytes from curaddr
cmd_sum:
        lhld    curaddr                 ; 015A: 2A 21 20
        lxi     b,0                     ; 015D: 01 00 00
        mvi     e,0                     ; 0160: 1E 00
sum1:   mov     a,m                     ; 0162: 7E
        add     c                       ; 0163: 81
        mov     c,a                     ; 0164: 4F
        mvi     a,0                     ; 0165: 3E 00
        adc     b                       ; 0167: 88
        mov     b,a                     ; 0168: 47
        inx     h                       ; 0169: 23
        dcr     e                       ; 016A: 1D
        jnz     sum1                    ; 016B: C2 62 01
        mov     h,b                     ; 016E: 60
        mov     l,c                     ; 016F: 69
        call    putword                 ; 0170: CD 16 01
        jmp     crlf                    ; 0173: C3 B1 00

// ------------------------------------------------------------ TRAP
nmi_handler:
        push    psw                     ; 0176: F5
        push    h                       ; 0177: E5
        lxi     h,nmitext               ; 0178: 21 D0 01
        call    puts                    ; 017B: CD A7 00
        pop     h                       ; 017E: E1
        pop     psw                     ; 017F: F1
        ret                             ; 0180: C9

// ------------------------------------------------------------ command table
commands:
        .db     'D'                     ; 0181: 44
        .dw     cmd_dump                ; 0182: 24 01
        .db     'G'                     ; 0184: 47
        .dw     cmd_go                  ; 0185: 45 01
        .db     'H'                     ; 0187: 48
        .dw     cmd_help                ; 0188: 1E 01
        .db     'S'                     ; 018A: 53
        .dw     cmd_status              ; 018B: 49 01
        .db     'C'                     ; 018D: 43
        .dw     cmd_sum                 ; 018E: 5A 01
NUM_COMMANDS .equ ($ - commands) / 3

// ------------------------------------------------------------ texts
banner: .text   "MON85 v1.0"            ; 0190: 4D 4F 4E 38 35 20 76 31 2E 30
        .db     CR, LF                  ; 019A: 0D 0A
        .asciz  "type H for help"       ; 019C: 74 79 70 65 20 48 20 66 6F 72 20 68 65 6C 70 00
what:   .db     "?", CR, LF, 0          ; 01AC: 3F 0D 0A 00
helptext:
        .ascii  "D dump  G go  S status  C sum" ; 01B0: 44 20 64 75 6D 70 20 20 47 20 67 6F 20 20 53 20 73 74 61 74 75 73 20 20 43 20 73 75 6D
        .db     CR, LF, 0               ; 01CD: 0D 0A 00
nmitext:
        DEFM    "NMI"                   ; 01D0: 4E 4D 49
        DEFB    CR, LF, 0               ; 01D3: 0D 0A 00

// ------------------------------------------------------------ tables
tables: .org    $0200                   // the label names the new address
squares:                                // n*n for n = 0..7
        .db     0*0, 1*1, 2*2, 3*3, 4*4, 5*5, 6*6, 7*7 ; 0200: 00 01 04 09 10 19 24 31
powers: .dw     1<<0, 1<<4, 1<<8, 1<<12 ; 0208: 01 00 10 00 00 01 00 10
masks:  .b      ~(1<<0) & $FF, ~(1<<7) & $FF ; 0210: FE 7F
flags:  .byte   (LINE_MAX > 16) & 1, (LINE_MAX == 32) & 2, (LINE_MAX != 32) & 4, LINE_MAX <= 31 ; 0212: 01 02 00 00
        .b      RAM_TOP >> 8, RAM_TOP & $FF, HIGH(RAM_TOP), LOW(banner) ; 0216: 21 00 21 90
        .w      -1, $7FFF % 10, 100 / 7 ; 021A: FF FF 07 00 0E 00
        .word   'AB', "C"               ; 0220: 42 41 43 00
        .fill   4, $E5                  ; 0224: E5 E5 E5 E5
        .fill   2                       ; 0228: 00 00
relations:
        .db     3 EQ 3, 3 NE 3, 2 LT 3, 3 LE 2, 4 GT 3, 3 GE 4 ; 022A: FF 00 FF 00 FF 00
        .db     1 + 2 EQ 3, NOT 1 EQ 1, 5 = 5 AND 1 ; 0230: FF 00 01
mixed:  .db     0x1F ^ $FF, %1010 | %0101, $F0 >> 4, 7 % 3, 0b11 << 2 ; 0233: E0 0F 0F 01 0C

// a SET symbol counts the entries of a table as it grows
n = 0
vectors:
        .dw     cmd_dump                ; 0238: 24 01
n = n + 1
        .dw     cmd_go                  ; 023A: 45 01
n = n + 1
        .dw     cmd_help                ; 023C: 1E 01
n = n + 1
VECTOR_COUNT .equ n
        .db     VECTOR_COUNT, n         ; 023E: 03 03
k DEFL 10
        DEFB    k, k*2                  ; 0240: 0A 14
k DEFL k + 5
        DEFW    k                       ; 0242: 0F 00

// ------------------------------------------------------------ ported names
// A port and a label named as the macro assemblers let a source name them;
// each gets a warning, and as an operation the word is still the mnemonic.
RIM     .equ    $20
        .org    $0300
porttest:
        in      RIM                     ; 0300: DB 20
        jz      end                     ; 0302: CA 0B 03
        rim                             ; 0305: 20
        ani     $80                     ; 0306: E6 80
        jnz     end                     ; 0308: C2 0B 03
end:    ret                             ; 030B: C9

        .end    start
this line is after the end and is never read
