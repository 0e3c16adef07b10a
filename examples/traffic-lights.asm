;@kit digits=10H,11H,12H,13H,14H,15H leds=01H mode=segments
; traffic-lights.asm - a trainer-kit lab: the lights of a crossing.
;
; Two roads, three lamps each, on the LEDs of port 01H: bits 7, 6, 5 are red,
; amber and green of the main road, bits 2, 1, 0 those of the side road. The
; table holds each phase's lamps and its length in half seconds; the program
; goes round it for ever.

LAMPS   EQU 01H

        ORG 0800H
START:  LXI SP,0900H
ROUND:  LXI H,PHASES
        MVI C,4             ; phases in the table
PHASE:  MOV A,M             ; the lamps
        OUT LAMPS
        INX H
        MOV B,M             ; how many half seconds
        INX H
HOLD:   CALL HALFSEC
        DCR B
        JNZ HOLD
        DCR C
        JNZ PHASE
        JMP ROUND

;               lamps                    half seconds
PHASES: DB      00100100B, 8            ; main green, side red
        DB      01000100B, 2            ; main amber, side red
        DB      10000001B, 6            ; main red, side green
        DB      10000010B, 2            ; main red, side amber

; About 0.5 s at 3.072 MHz: 64,000 rounds of 24 T-states.
HALFSEC: LXI D,64000
WAIT:   DCX D
        MOV A,D
        ORA E
        JNZ WAIT
        RET

        END START
