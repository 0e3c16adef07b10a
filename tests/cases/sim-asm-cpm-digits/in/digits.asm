; A CP/M program that takes its stack from the word at 0006H, prints the
; digits one by one through BDOS function 2, a line end through function 9,
; and ends with function 0.
BDOS    EQU 5
        ORG 100H
START:  LHLD 6          ; the top of the program's memory
        SPHL
        MVI B,30H       ; '0'
NEXT:   MOV E,B
        MVI C,2
        PUSH B
        CALL BDOS
        POP B
        INR B
        MOV A,B
        CPI 3AH         ; past '9'
        JNZ NEXT
        MVI C,9
        LXI D,CRLF
        CALL BDOS
        MVI C,0
        CALL BDOS
        HLT             ; never reached: function 0 ends the run
CRLF:   DB 0DH,0AH,24H
        END START
