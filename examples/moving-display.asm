;@kit digits=10H,11H,12H,13H,14H,15H leds=01H mode=segments
; moving-display.asm - a trainer-kit lab: HELLO moves across the display.
;
; The six digits are on ports 10H to 15H, left to right; a digit lights the
; segments of the byte it gets (bit 0 segment a at the top, clockwise to f,
; bit 6 the middle bar g, bit 7 the point). The text moves one place to the
; left about every half second.

        ORG 0800H
START:  LXI SP,0900H
        MVI C,0             ; how far the text has moved
SHOW:   LXI H,TEXT          ; HL = TEXT + C: the six bytes to show
        MOV A,L
        ADD C
        MOV L,A
        MVI A,0
        ADC H
        MOV H,A
        MOV A,M
        OUT 10H
        INX H
        MOV A,M
        OUT 11H
        INX H
        MOV A,M
        OUT 12H
        INX H
        MOV A,M
        OUT 13H
        INX H
        MOV A,M
        OUT 14H
        INX H
        MOV A,M
        OUT 15H
        CALL HALFSEC
        INR C               ; one place on, back to the start after six
        MOV A,C
        CPI 6
        JNZ SHOW
        MVI C,0
        JMP SHOW

; The segments of H E L L O and a blank, twice, so every six in a row are there.
TEXT:   DB 76H,79H,38H,38H,3FH,00H
        DB 76H,79H,38H,38H,3FH,00H

; About 0.5 s at 3.072 MHz: 64,000 rounds of 24 T-states.
HALFSEC: LXI D,64000
WAIT:   DCX D
        MOV A,D
        ORA E
        JNZ WAIT
        RET

        END START
