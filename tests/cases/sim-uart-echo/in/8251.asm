; Echoes typed characters through a UART (status 09H, data 08H; receive
; ready 02H, transmit ready 01H) until a '.'; then HLT.
        ORG 0
        MVI A,3         ; 7   a reset or mode word: listed as any OUT
        OUT 09H         ; 10
WAIT:   IN 09H          ; 10
        ANI 02H         ; 7   a byte waits?
        JZ WAIT         ; 7 when it does
        IN 08H          ; 10
        MOV B,A         ; 4
TX:     IN 09H          ; 10
        ANI 01H         ; 7   room to send?
        JZ TX           ; 7 (always)
        MOV A,B         ; 4
        OUT 08H         ; 10
        CPI '.'         ; 7
        JNZ WAIT        ; 10 taken, 7 at the '.'
        HLT             ; 5
        END
