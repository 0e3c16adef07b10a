; Sums the four bytes of TABLE into RESULT through a subroutine.
        ORG 0800H
START:  LXI SP,2100H
        LXI H,TABLE
        MVI C,4
        CALL SUM
        STA RESULT
        HLT
SUM:    XRA A           ; A = 0
LOOP:   ADD M
        INX H
        DCR C
        JNZ LOOP
        RET
TABLE:  DB 10H,20H,30H,40H
RESULT: DS 1
        END START
