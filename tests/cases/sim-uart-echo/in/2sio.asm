; Echoes typed characters through a UART (status 10H, data 11H; receive
; ready 01H, transmit ready 02H) until a '.'; then HLT.
        ORG 0
        MVI A,3         ; 7   a reset or mode word: listed as any OUT
        OUT 10H         ; 10
WAIT:   IN 10H          ; 10
        ANI 01H         ; 7   a byte waits?
        JZ WAIT         ; 7 when it does
        IN 11H          ; 10
        MOV B,A         ; 4
TX:     IN 10H          ; 10
        ANI 02H         ; 7   room to send?
        JZ TX           ; 7 (always)
        MOV A,B         ; 4
        OUT 11H         ; 10
        CPI '.'         ; 7
        JNZ WAIT        ; 10 taken, 7 at the '.'
        HLT             ; 5
        END
