; multiply.asm - 8085 example program
;
; Waits for the start key, multiplies the two factors stored at FACTORS by
; shift-and-add, converts the 16-bit product to packed BCD (five digits),
; copies a block of LEN bytes from TABLE to the RAM buffer while forming its
; checksum, shows the result on the output ports and returns to the monitor.
;
; Numbers are decimal (optionally with a trailing D), hexadecimal with a
; trailing H and a leading digit (0FFH, not FFH), binary with B, octal with O
; or Q. Whether a value is a byte or a word comes from the instruction that
; uses it: MVI, IN, OUT and the immediate arithmetic take a byte (-128 to
; 255), LXI, the loads, stores, jumps and calls take a word.

STACK   EQU 2100H           ; top of the stack (grows down into 20FFH)
BUFFER  EQU 2000H           ; RAM buffer that receives the copied block
PORTSW  EQU 01H             ; input port: start key on bit 7
PORTLO  EQU 10H             ; output port: two lowest BCD digits
LEN     EQU 8               ; length of the block at TABLE

        ORG 0800H

START:  LXI SP,STACK
        DI
WAIT:   IN PORTSW           ; wait for the start key
        ANI 80H
        JZ WAIT
        LHLD FACTORS        ; L = multiplicand, H = multiplier
        MOV B,L
        MOV C,H
        CALL MULT           ; HL = B * C
        SHLD PRODUCT
        CALL COPY           ; A = checksum of the copied block
        PUSH PSW            ; keep it while the product is converted
        LHLD PRODUCT
        CALL BCD            ; C:D:E = product in BCD
        MOV A,C
        STA BCDTOP          ; ten-thousands digit
        XCHG
        SHLD BCDLOW         ; four lower digits
        MOV A,L
        OUT PORTLO          ; show the two lowest digits
        POP PSW
        STA CHKSUM
        OUT 11H             ; show the checksum
        EI
        RST 1               ; back to the monitor

; MULT: HL = B * C, shift-and-add from the top bit of the multiplier down.
; Uses A, B, D, E.
MULT:   LXI H,0000H         ; product = 0
        MOV E,B             ; DE = multiplicand
        MVI D,00H
        MOV A,C             ; A = multiplier
        MVI B,8             ; eight bits
MLOOP:  DAD H               ; product * 2
        RAL                 ; next multiplier bit into the carry
        JNC MNEXT
        DAD D               ; bit set: add the multiplicand
MNEXT:  DCR B
        JNZ MLOOP
        RET

; BCD: C:D:E = HL in packed BCD. Each of the 16 bits, top first, doubles the
; BCD number and adds itself in; DAA keeps every byte decimal.
; Uses A, B, H, L.
BCD:    LXI D,0000H
        MVI C,0
        MVI B,16
BLOOP:  DAD H               ; next bit into the carry
        MOV A,E
        ADC E
        DAA
        MOV E,A
        MOV A,D
        ADC D
        DAA
        MOV D,A
        MOV A,C
        ADC C
        DAA
        MOV C,A
        DCR B
        JNZ BLOOP
        RET

; COPY: copies LEN bytes from TABLE to BUFFER; returns in A the two's
; complement of their sum, so that block plus checksum adds up to zero.
; Uses A, B, C, D, E, H, L.
COPY:   LXI H,TABLE
        LXI D,BUFFER
        MVI C,LEN
        MVI B,00H           ; running sum
CLOOP:  MOV A,M
        STAX D
        ADD B
        MOV B,A
        INX H
        INX D
        DCR C
        JNZ CLOOP
        MOV A,B
        CMA
        INR A
        RET

FACTORS: DB 250,19          ; multiplicand, multiplier
PRODUCT: DW 0000H
BCDLOW:  DW 0000H
BCDTOP:  DB 0
CHKSUM:  DB 00H
TABLE:   DB 12H,34H,56H,78H
         DW 9ABCH,1000

        END
