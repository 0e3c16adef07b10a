; monitor.asm - a small monitor for an 8085 trainer kit
;
; Talks to a terminal through the serial pins of the 8085 (SOD out, SID in,
; timed by software) and obeys one-letter commands:
;   D addr    dump 64 bytes from addr in hex, 16 to a line
;   S addr    set bytes from addr, two hex digits a line, '.' ends
;   G addr    go to addr; a RET of the program comes back here
;   H         list the commands
; The display latch shows the digit of the last key; RST 1 re-enters the
; monitor and reports where it came from. ESC abandons any command.

;------------------------------------------------------------- constants
CR      EQU     0DH             ; carriage return
LF      EQU     0AH             ; line feed
ESC     EQU     27              ; abandons a command
SPACE   EQU     ' '
DEL     EQU     177Q            ; rubout
PROMPT  EQU     '>'
RAMBASE EQU     2000H           ; first byte of RAM
RAMTOP  EQU     RAMBASE+100H    ; the stack grows down from here
BUFLEN  EQU     32              ; characters of an input line
DISPORT EQU     0F0H            ; seven-segment display latch
SWPORT  EQU     0F1H            ; DIP switches
CLOCK   EQU     3072D           ; CPU clock in kHz
BITDLY  EQU     (CLOCK/12 - 4) AND 0FFH ; delay loops of one bit time
SODHI   EQU     11000000B       ; SIM: serial output enabled, line high
SODLO   EQU     01000000B       ; SIM: serial output enabled, line low
MASKALL EQU     08H OR 111B     ; SIM: mask RST 5.5, 6.5 and 7.5
DUMPLEN EQU     4 SHL 4         ; bytes shown by one dump
VERSION SET     1
VERSION SET     VERSION*10+2    ; 12: version 1.2

;------------------------------------------------------------- vectors
        ORG     0
RESET:  DI
        LXI     SP,RAMTOP
        JMP     START           ; forward: the main program is at 40H

        ORG     8               ; RST 1 lands here
        JMP     BREAK

;------------------------------------------------------------- main loop
        ORG     40H
START:  MVI     A,MASKALL
        SIM                     ; no interrupts
        MVI     A,SODHI
        SIM                     ; the serial line idles high
        LXI     H,BANNER
        CALL    PUTS
        MVI     A,VERSION
        CALL    PUTHEX
        IN      SWPORT          ; switch 0 on: go straight to the program
        RAR
        JC      RAMBASE+200H
MAIN:   LXI     SP,RAMTOP       ; every command starts on a clean stack
        CALL    CRLF
        MVI     A,PROMPT
        CALL    PUTC
        CALL    GETC
        CPI     'a'             ; fold lower case to upper
        JC      $+5             ; below 'a': skip the ANI
        ANI     NOT 20H AND 0FFH
        MOV     B,A
        CALL    SHOW
        LXI     H,CMDTAB
        MVI     C,NCMDS
FIND:   MOV     A,M
        CMP     B
        JZ      FOUND
        INX     H               ; each entry: the key, then the routine
        INX     H
        INX     H
        DCR     C
        JNZ     FIND
        LXI     H,WHAT
        CALL    PUTS
        JMP     MAIN
FOUND:  INX     H
        MOV     E,M
        INX     H
        MOV     D,M
        XCHG
        LXI     D,MAIN          ; every command returns to MAIN
        PUSH    D
        PCHL

;------------------------------------------------------------- commands
; D: dump DUMPLEN bytes from the address typed, 16 to a line.
DUMP:   CALL    GETADR
        MVI     C,DUMPLEN/16    ; lines
DLINE:  CALL    CRLF
        CALL    PUTADR
        MVI     B,16
DBYTE:  MVI     A,SPACE
        CALL    PUTC
        MOV     A,M
        CALL    PUTHEX
        INX     H
        DCR     B
        JNZ     DBYTE
        DCR     C
        JNZ     DLINE
        RET

; S: set bytes from the address typed; '.' ends.
SETMEM: CALL    GETADR
SNEXT:  CALL    CRLF
        CALL    PUTADR
        MVI     A,'-'
        CALL    PUTC
        CALL    GETC
        CPI     '.'
        RZ
        CALL    HEXVAL          ; high digit
        RLC
        RLC
        RLC
        RLC
        MOV     B,A
        CALL    GETC
        CALL    HEXVAL          ; low digit
        ORA     B
        MOV     M,A
        INX     H
        JMP     SNEXT

; G: go to the address typed.
GO:     CALL    GETADR
        PCHL

; H: the list of commands.
HELP:   LXI     H,HELPTXT
        JMP     PUTS            ; PUTS returns to MAIN for us

; RST 1: keep the program's HL and SP, report the RST's address.
BREAK:  SHLD    SAVEHL
        LXI     H,0
        DAD     SP
        SHLD    SAVESP
        POP     H               ; the address after the RST
        DCX     H
        SHLD    SAVEPC
        LXI     H,BRKMSG
        CALL    PUTS
        LHLD    SAVEPC
        CALL    PUTADR
        JMP     MAIN

;------------------------------------------------------------- input
; GETADR: HL = four hex digits typed.
GETADR: LXI     H,0
        MVI     C,4
GADIG:  CALL    GETC
        CALL    HEXVAL
        DAD     H
        DAD     H
        DAD     H
        DAD     H               ; HL * 16
        ORA     L
        MOV     L,A
        DCR     C
        JNZ     GADIG
        RET

; HEXVAL: A = value of the hex digit in A; anything else gives 0.
HEXVAL: SUI     '0'
        JC      HEXBAD
        CPI     10
        RC
        SUI     'A'-'0'-10      ; 'A' becomes 10
        CPI     16
        RC
HEXBAD  XRA     A
        RET

; GETC: A = next character from SID, echoed; ESC goes back to MAIN.
GETC:   PUSH    D
GCWAIT: RIM
        ora     a               ; SID is bit 7: wait for the start bit
        jm      GCWAIT
        CALL    HALFBIT
        MVI     D,8             ; data bits, low bit first
        MVI     E,0
GCBIT:  CALL    BITWAIT
        RIM
        RAL                     ; SID into the carry
        MOV     A,E
        RAR                     ; and into bit 7 of the character
        MOV     E,A
        DCR     D
        JNZ     GCBIT
        CALL    BITWAIT         ; the stop bit
        MOV     A,E
        POP     D
        ANI     7FH
        CPI     ESC
        JZ      MAIN
        CPI     DEL
        JZ      MAIN
        JMP     PUTC            ; echo; PUTC keeps A

;------------------------------------------------------------- output
; PUTC: A through SOD: a start bit, eight data bits, two stop bits.
PUTC:   PUSH    PSW
        PUSH    B
        MOV     C,A
        MVI     B,1+4*2+2       ; start bit, eight data bits, two stop bits
        XRA     A               ; the start bit: carry clear
PCBIT:  MVI     A,SODHI AND NOT SODLO ; 80H: RAR makes it SOE and SOD
        RAR
        SIM
        CALL    BITWAIT
        STC                     ; the stop bits are ones
        MOV     A,C
        RAR
        MOV     C,A
        DCR     B
        JNZ     PCBIT
        POP     B
        POP     PSW
        RET

; BITWAIT: one bit time; HALFBIT: half of one. Only A changes.
HALFBIT: MVI    A,BITDLY/2
        JMP     BWLOOP
BITWAIT: MVI    A,BITDLY
BWLOOP: DCR     A
        JNZ     BWLOOP
        RET

; PUTS: the string at HL up to its zero byte.
PUTS:   MOV     A,M
        ORA     A
        RZ
        CALL    PUTC
        INX     H
        JMP     PUTS

; CRLF: a new line.
CRLF:   MVI     A,CR
        CALL    PUTC
        MVI     A,LF
        JMP     PUTC

; PUTADR: HL as four hex digits and a colon.
PUTADR: MOV     A,H
        CALL    PUTHEX
        MOV     A,L
        CALL    PUTHEX
        MVI     A,':'
        JMP     PUTC

; PUTHEX: A as two hex digits.
PUTHEX: PUSH    PSW
        RRC
        RRC
        RRC
        RRC
        CALL    PUTNIB
        POP     PSW
PUTNIB: ANI     0FH
        ADI     90H             ; 0-9 give 90-99, A-F give 00-05 and a carry
        DAA
        ACI     40H
        DAA
        JMP     PUTC

; SHOW: the low digit of A on the display, through SEGTAB.
SHOW:   ANI     0FH
        ADI     LOW SEGTAB
        MOV     L,A
        MVI     A,HIGH SEGTAB
        ACI     0
        MOV     H,A
        MOV     A,M
        OUT     DISPORT
        RET

;------------------------------------------------------------- tables
; One entry per command: the key, then the routine.
CMDTAB:
NKEYS   SET     0
        DB      'D'
        DW      DUMP
NKEYS   SET     NKEYS+1
        DB      'S'
        DW      SETMEM
NKEYS   SET     NKEYS+1
        DB      'G'
        DW      GO
NKEYS   SET     NKEYS+1
        DB      'H'
        DW      HELP
NKEYS   SET     NKEYS+1
CMDEND:
NCMDS   EQU     (CMDEND-CMDTAB)/3

; Seven-segment codes of the digits 0-F, segment a in bit 0.
SEGTAB: DB      3FH,06H,5BH,4FH,66H,6DH,7DH,07H,7FH,6FH,77H,7CH,39H,5EH,79H,71H

; Single bits, for the switch tests.
BITS:   DB      1O,2O,4O,10O,20O,40O,100O,200O

; Powers of ten for decimal output, and the ROM's identity.
POW10:  DW      10000,1000,100,10,1
ROMID:  DW      'MO',RAMTOP SHR 4,ROMEND-RESET
        DB      HIGH ROMEND,LOW ROMEND,1234 MOD 256 XOR 0FFH,-2,+3

;------------------------------------------------------------- messages
BANNER: DB      CR,LF,"8085 MONITOR, TYPE H FOR HELP; VERSION ",0
WHAT:   DB      ' ?',0
BRKMSG: DB      CR,LF,'BREAK AT ',0
HELPTXT: DB     CR,LF,'D addr  dump 64 bytes'
        DB      CR,LF,'S addr  set bytes, "." ends'
        DB      CR,LF,"G addr  go; the program's RET comes back"
        DB      CR,LF,'H       this list, ''ESC'' abandons',0
ROMEND  EQU     $

;------------------------------------------------------------- RAM
        ORG     RAMBASE
SAVEPC: DS      2               ; where the RST 1 came from
SAVEHL: DS      2
SAVESP: DS      2
LINE:   DS      BUFLEN          ; an input line
LINEND  EQU     $
FREE    EQU     RAMTOP-LINEND   ; bytes left for the stack

        END     START
