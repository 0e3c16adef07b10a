; Which processor runs it: the flags ANI leaves, as PUSH PSW shows them, and
; the chip's name. On an 8085 ANI sets AC; on an 8080 AC is bit 3 of A OR
; the operand, here 0. The 8080's way runs through two opcodes the 8085
; does not run (08H, a NOP there, and 0CBH, a JMP), and its T-states differ:
; 384 on the 8085, 391 on the 8080 (worked out in cmd).
BDOS    EQU 0005H
        ORG 0100H
START:  MVI A,10H
        ANI 01H         ; 0: Z and P, and AC on the 8085 only
        PUSH PSW
        POP H           ; L: the flags byte, 56H or 46H
        MOV A,L
        RRC
        RRC
        RRC
        RRC
        CALL HEXDIG     ; its high digit
        MOV A,L
        CALL HEXDIG     ; its low digit
        MVI C,09H
        LXI D,SUFFIX
        CALL BDOS
        MOV A,L
        ANI 10H         ; AC as pushed
        JZ I8080
        LXI D,NAME85
        JMP SHOW
I8080:  DB 08H          ; NOP
        DB 0CBH         ; JMP SHOW80
        DW SHOW80
SHOW80: LXI D,NAME80
SHOW:   MVI C,09H
        CALL BDOS
        RET             ; to 0000H: the warm boot ends the run
; The low digit of A as an ASCII hex digit, printed through BDOS 2.
HEXDIG: ANI 0FH
        ADI 90H
        DAA
        ACI 40H
        DAA
        MOV E,A
        MVI C,02H
        JMP BDOS
SUFFIX: DB 'H $'
NAME85: DB '8085', 0AH, '$'
NAME80: DB '8080', 0AH, '$'
        END START
