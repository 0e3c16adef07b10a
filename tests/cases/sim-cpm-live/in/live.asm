; Prints a line, reads a line typed on the terminal (BDOS 10), shows it in
; brackets, then computes for ever, until a signal stops the run. The last
; text has no line end, so the report must start a line of its own.
BDOS    EQU 5
        ORG 100H
START:  MVI C,9
        LXI D,FIRST
        CALL BDOS
        MVI C,10
        LXI D,BUF
        CALL BDOS
        LXI H,BUF+1
        MOV E,M         ; the count typed
        MVI D,0
        INX H
        DAD D           ; behind the text
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
SPIN:   JMP SPIN        ; 0132H
FIRST:  DB 'first line',0DH,0AH,'$'
OPEN:   DB 0AH,'[$'
CLOSE:  DB '] computing$'
BUF:    DB 20,0
        DS 21
        END START
