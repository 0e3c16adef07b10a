;@kit digits=10H,11H,12H,13H,14H,15H leds=01H mode=hex
; kit-counter.asm - a trainer-kit lab: count 00H to FFH for ever.
;
; The eight LEDs (port 01H) show the count in binary, the two right-hand
; digits (ports 14H and 15H, shown as hex digits) in hexadecimal: about four
; counts a second at the kit's 3.072 MHz. The ;@kit line above binds the
; playground page's kit face to these ports.

LEDS    EQU 01H             ; eight LEDs, bit 7 the leftmost
HIGHDIG EQU 14H             ; a digit that shows the low four bits it gets
LOWDIG  EQU 15H

        ORG 0800H
START:  LXI SP,0900H
        MVI B,0             ; the count
NEXT:   MOV A,B
        OUT LEDS
        RRC                 ; the high four bits down for the left digit
        RRC
        RRC
        RRC
        OUT HIGHDIG
        MOV A,B
        OUT LOWDIG
        CALL DELAY
        INR B
        JMP NEXT

; About 0.25 s at 3.072 MHz: 32,000 rounds of DCX (6), MOV (4), ORA (4) and
; JNZ (10 T-states).
DELAY:  LXI D,32000
WAIT:   DCX D
        MOV A,D
        ORA E
        JNZ WAIT
        RET

        END START
