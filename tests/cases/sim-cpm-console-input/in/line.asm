; Reads lines (BDOS 10) and shows each in brackets, for ever: at the end of
; the input every line is empty, and after ten of them the run stops.
BDOS    EQU 5
        ORG 100H
START:  MVI C,9
        LXI D,PROMPT
        CALL BDOS
        MVI C,10
        LXI D,BUF
        CALL BDOS
        LXI H,BUF+1
        MOV E,M
        MVI D,0
        INX H
        DAD D
        MVI M,'$'
        MVI C,9
        LXI D,OPEN
        CALL BDOS
        MVI C,9
        LXI D,BUF+2
        CALL BDOS
        MVI C,9
        LXI D,CLOSE
        CALL BDOS
        JMP START
PROMPT: DB '> $'
OPEN:   DB 0AH,'[$'
CLOSE:  DB ']',0DH,0AH,'$'
BUF:    DB 20,0
        DS 21
        END START
