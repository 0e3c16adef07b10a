; Echoes what is typed on SID back on SOD, bit-banged at 320 T-states a bit
; (9600 baud at 3.072 MHz), until a '.'; then HLT.
        ORG 0
        LXI SP,1000H
        MVI A,0C0H      ; SDE, SOD = 1: the line idles high
        SIM
MAIN:   CALL GETC
        MOV D,A
        CALL PUTC
        MOV A,D
        CPI '.'
        JNZ MAIN
        HLT

; A byte from SID into A. The start bit is seen at T0; the first sample comes
; at T0 + 4 + 4 + 7 + 7 + 18 + 172 + 18 + 250 = T0 + 480 (1.5 bits), the
; others 320 T-states apart: 4 + 4 + 4 + 4 + 4 + 4 + 10 + 18 + 18 + 250.
GETC:   RIM             ; 4
        ORA A           ; 4   S = SID
        JM GETC         ; 10 while idle, 7 at the start bit
        MVI C,8         ; 7
        CALL HALF       ; 18 + 172
GBIT:   CALL DELAY      ; 18 + 250
        RIM             ; 4   the sample
        RAL             ; 4   SID into CY
        MOV A,E         ; 4
        RAR             ; 4   in at the top: the first bit ends in bit 0
        MOV E,A         ; 4
        INX H           ; 6   three of them: 18 T-states to fill the bit
        INX H           ; 6
        INX H           ; 6
        DCR C           ; 4
        JNZ GBIT        ; 10
        MOV A,E
        RET

; A sent on SOD: start bit, 8 bits low first, stop bit, each from one SIM to
; the next 4 + 18 + 250 + 4 + 4 + 4 + 4 + 4 + 10 + 7 + 4 + 7 = 320 T-states.
PUTC:   MOV E,A
        MVI C,10        ; start, 8 data bits, stop
        XRA A           ; CY = 0: the start bit
PBIT:   MVI A,0         ; 7
        RAR             ; 4   CY into bit 7: SOD
        ORI 40H         ; 7   SDE
        SIM             ; 4
        CALL DELAY      ; 18 + 250
        MOV A,E         ; 4
        STC             ; 4   a 1 comes in on top: the stop bit
        RAR             ; 4   CY = the next bit
        MOV E,A         ; 4
        DCR C           ; 4
        JNZ PBIT        ; 10
        RET

; 7 + 16 * 14 - 3 + 3 * 4 + 10 = 250 T-states with the RET.
DELAY:  MVI B,16
DLOOP:  DCR B
        JNZ DLOOP
        NOP
        NOP
        NOP
        RET
; 7 + 11 * 14 - 3 + 4 + 10 = 172 T-states with the RET.
HALF:   MVI B,11
HLOOP:  DCR B
        JNZ HLOOP
        NOP
        RET
        END
