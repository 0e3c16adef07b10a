; The console flush benchmark (bench/README.md): 1,000,000 bytes, 20,000 lines
; of 48 characters through BDOS 2, each ended with CR LF through BDOS 9.
BDOS    EQU 5
        ORG 100H
START:  LXI H,20000     ; lines
LINE:   MVI B,48
CHAR:   MVI C,2
        MVI E,'x'
        PUSH B
        PUSH H
        CALL BDOS
        POP H
        POP B
        DCR B
        JNZ CHAR
        PUSH H
        MVI C,9
        LXI D,CRLF
        CALL BDOS
        POP H
        DCX H
        MOV A,H
        ORA L
        JNZ LINE
        RET
CRLF:   DB 0DH,0AH,'$'
        END START
