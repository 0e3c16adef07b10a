; A CP/M console program: a string through BDOS function 9, two characters
; through function 2, then a jump to 0000H (warm boot). hello.com beside it
; holds these bytes, assembled by hand.
BDOS    EQU 0005H
        ORG 0100H
START:  MVI C,09H       ; print the string at DE up to '$'
        LXI D,MSG
        CALL BDOS
        MVI C,02H       ; print the character in E
        MVI E,21H       ; '!'
        CALL BDOS
        MVI C,02H
        MVI E,0AH       ; line feed
        CALL BDOS
        JMP 0000H
MSG:    DB 48H,65H,6CH,6CH,6FH,2CH,20H,38H,30H,38H,35H,24H  ; "Hello, 8085$"
        END START
