; Echoes typed characters through a UART (status 41H, data 40H; receive
; ready 80H, transmit ready 20H) until a '.'; then HLT.
        ORG 0
        MVI A,3         ; 7   a reset or mode word: listed as any OUT
        OUT 41H         ; 10
WAIT:   IN 41H          ; 10
        ANI 80H         ; 7   a byte waits?
        JZ WAIT         ; 7 when it does
        IN 40H          ; 10
        MOV B,A         ; 4
TX:     IN 41H          ; 10
        ANI 20H         ; 7   room to send?
        JZ TX           ; 7 (always)
        MOV A,B         ; 4
        OUT 40H         ; 10
        CPI '.'         ; 7
        JNZ WAIT        ; 10 taken, 7 at the '.'
        HLT             ; 5
        END
