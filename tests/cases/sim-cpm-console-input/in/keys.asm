; What the console calls give, each in hex and a space: the version (12), the
; status (11), a key with echo (1), a key without (6, E=FFH), then a line
; (10): its count, and its text in brackets.
BDOS    EQU 5
        ORG 100H
START:  MVI C,12
        CALL SHOW
        MVI C,11
        CALL SHOW
        MVI C,1
        CALL SHOW
        MVI C,6
        MVI E,0FFH
        CALL SHOW
        MVI C,10
        LXI D,BUF
        CALL BDOS
        LDA BUF+1
        CALL SHOWA
        LXI H,BUF+1
        MOV E,M
        MVI D,0
        INX H
        DAD D
        MVI M,'$'       ; behind the text
        MVI C,9
        LXI D,OPEN
        CALL BDOS
        MVI C,9
        LXI D,BUF+2
        CALL BDOS
        MVI C,9
        LXI D,CLOSE
        CALL BDOS
        JMP 0
; Calls the BDOS and shows what it gives in A.
SHOW:   CALL BDOS
SHOWA:  PUSH PSW
        RRC
        RRC
        RRC
        RRC
        CALL DIGIT
        POP PSW
        CALL DIGIT
        MVI E,' '
        MVI C,2
        JMP BDOS
DIGIT:  ANI 0FH
        ADI 90H
        DAA
        ACI 40H
        DAA
        MOV E,A
        MVI C,2
        JMP BDOS
OPEN:   DB '[$'
CLOSE:  DB ']',0DH,0AH,'$'
BUF:    DB 8,0
        DS 9
        END START
