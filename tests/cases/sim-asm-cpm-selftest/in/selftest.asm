; A self-checking CP/M program in the manner of the classic CPU tests: each
; test runs a few instructions, then CHECK compares A with D and the flags
; (masked by C) with E, values worked out by hand from the 8085 user's
; manual. A '.' for a pass, the test's digit for a failure, then OK or FAILED.
; Flags byte: S 80H, Z 40H, AC 10H, P 04H, CY 01H (mask D5H: all five).
BDOS    EQU 0005H
        ORG 0100H
START:  LHLD 0006H
        SPHL
        MVI C,09H
        LXI D,TITLE
        CALL BDOS
; 1: 3AH + C6H = 100H: Z, AC, P and CY.
        MVI A,3AH
        ADI 0C6H
        MVI B,31H
        MVI C,0D5H
        LXI D,0055H
        CALL CHECK
; 2: 99H + 01H = 9AH, DAA makes it 00H with AC and CY.
        MVI A,99H
        ADI 01H
        DAA
        MVI B,32H
        MVI C,0D5H
        LXI D,0055H
        CALL CHECK
; 3: the 8085's ANI sets AC and clears CY.
        STC
        MVI A,0F0H
        ANI 0FH
        MVI B,33H
        MVI C,0D5H
        LXI D,0054H
        CALL CHECK
; 4: ORI clears AC and CY; 80H has odd parity.
        STC
        MVI A,80H
        ORI 00H
        MVI B,34H
        MVI C,0D5H
        LXI D,8080H
        CALL CHECK
; 5: CPI 06H with A = 05H: a borrow (CY), S and P from FFH, A kept (AC not looked at).
        MVI A,05H
        CPI 06H
        MVI B,35H
        MVI C,0C5H
        LXI D,0585H
        CALL CHECK
; 6: INR leaves CY: FFH + 1 = 00H with Z, AC, P.
        STC
        MVI A,0FFH
        INR A
        MVI B,36H
        MVI C,0D5H
        LXI D,0055H
        CALL CHECK
; 7: DAD changes CY alone: FFFFH + 0001H carries; Z and P stay from XRA.
        XRA A
        LXI H,0FFFFH
        LXI B,0001H
        DAD B
        MVI B,37H
        MVI C,0D5H
        LXI D,0045H
        CALL CHECK
; 8: RAL moves bit 7 into CY and CY into bit 0; the other flags stay.
        XRA A
        MVI A,80H
        RAL
        MVI B,38H
        MVI C,0D5H
        LXI D,0045H
        CALL CHECK
        LDA FAILED
        ORA A
        JNZ BAD
        MVI C,09H
        LXI D,OKMSG
        CALL BDOS
        JMP 0000H
BAD:    MVI C,09H
        LXI D,BADMSG
        CALL BDOS
        JMP 0000H

; A and the flags against D and E (flags masked by C); B is the test's digit.
CHECK:  PUSH PSW
        POP H
        MOV A,L
        ANA C
        CMP E
        JNZ FAIL
        MOV A,H
        CMP D
        JNZ FAIL
        MVI E,2EH
        JMP SHOW
FAIL:   MOV E,B
        MVI A,01H
        STA FAILED
SHOW:   MVI C,02H
        CALL BDOS
        RET

TITLE:  DB 38H,30H,38H,35H,20H,73H,65H,6CH,66H,2DH,74H,65H,73H,74H,20H,24H
OKMSG:  DB 0DH,0AH,4FH,4BH,0DH,0AH,24H
BADMSG: DB 0DH,0AH,46H,41H,49H,4CH,45H,44H,0DH,0AH,24H
FAILED: DB 00H
        END START
