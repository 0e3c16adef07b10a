; LABS.ASM - a term of 8085 trainer kit lab exercises in one program.
; START runs every exercise once and goes back to the monitor; each lab
; is a subroutine.  Code at 0800H, tables at 2000H, variables at 2800H.
;
; Register use is given in each lab's heading comment.

; ---- constants ------------------------------------------------------------
CR      EQU     0DH             ; carriage return
LF      EQU     0AH             ; line feed
MONITOR EQU     0               ; monitor warm start
SEGPORT EQU     01H             ; seven-segment latch
KEYPORT EQU     2               ; keypad
LEDPORT EQU     10000B          ; eight LEDs
COUNT   EQU     10D             ; elements of ARRAY
DELAYN  EQU     1000            ; inner delay loop count
MASKHI  EQU     11110000B       ; upper nibble
OCTMAX  EQU     377O            ; 255 written in octal
SEVEN   EQU     7Q
TABLEN  EQU     SEGEND-SEGTAB   ; the table comes further down
BLKLEN  EQU     DSTBLK-SRCBLK
RAM     EQU     2800H
STACK   EQU     RAM+100H        ; top of the variable page
SEGHI   EQU     HIGH SEGTAB     ; a constant from a later label
PASS    SET     0               ; counts the labs as they are laid out

; ---- main: run every lab --------------------------------------------------
        ORG     0800H
START   LXI     SP,STACK        ; label in column 1 without colon
        DI
        CALL    SUMARR
        CALL    BLKMOV
        CALL    LARGST
        CALL    BSORT
        LDA     BCDIN
        CALL    BCDBIN
        STA     BINOUT
        CALL    BINBCD
        STA     BCDOUT
        LDA     FACTOR
        MOV     E,A
        LDA     FACTOR+1
        CALL    MUL8
        SHLD    PRODCT
        MVI     A,200
        MVI     C,7
        CALL    DIV8
        MOV     A,B
        STA     QUOT
        CALL    DELAY
        MVI     A,0CH
        CALL    SEGOUT
        MVI     A,COUNT+5
        CALL    SQUARE
        SHLD    SQOUT
        CALL    STRCMP
        CALL    ONES
        CALL    ZEROS
        CALL    ADD16
        CALL    PORTS
        EI
        RST     1               ; back to the monitor
        JMP     MONITOR         ; if the monitor returns

; ---- lab 1: sum of COUNT bytes at ARRAY, 16-bit sum in SUM ----------------
PASS    SET     PASS+1
SUMARR: LXI     H,ARRAY
        MVI     C,COUNT
        XRA     A
        MOV     B,A             ; B holds the carries
SUM1:   ADD     M
        JNC     SUM2            ; forward jump
        INR     B
SUM2:   INX     H
        DCR     C
        JNZ     SUM1
        STA     SUM
        MOV     A,B
        STA     SUM+1
        RET

; ---- lab 2: block move of BLKLEN bytes from SRCBLK to DSTBLK ---------------
PASS    SET     PASS+1
BLKMOV: LXI     H,SRCBLK
        LXI     D,DSTBLK
        MVI     B,BLKLEN
BLK1:   MOV     A,M
        STAX    D
        INX     H
        INX     D
        DCR     B
        JNZ     BLK1
        RET

; ---- lab 3: largest of COUNT bytes -----------------------------------------
PASS    SET     PASS+1
LARGST: LXI     H,ARRAY
        MVI     C,COUNT-1
        MOV     A,M
LRG1:   INX     H
        CMP     M
        JNC     LRG2            ; A is still the largest
        MOV     A,M
LRG2:   DCR     C
        JNZ     LRG1
        STA     BIGGST
        RET

; ---- lab 4: bubble sort of ARRAY, ascending --------------------------------
PASS    SET     PASS+1
BSORT:  MVI     B,COUNT-1       ; passes
BS1:    LXI     H,ARRAY
        MOV     C,B             ; compares in this pass
BS2:    MOV     A,M
        INX     H
        CMP     M
        JC      BS3             ; in order
        JZ      BS3
        MOV     D,M             ; swap the pair
        MOV     M,A
        DCX     H
        MOV     M,D
        INX     H
BS3:    DCR     C
        JNZ     BS2
        DCR     B
        JNZ     BS1
        RET

; ---- lab 5: packed BCD in A to binary in A, and back -----------------------
PASS    SET     PASS+1
BCDBIN: MOV     B,A
        ANI     NOT MASKHI AND 0FFH     ; units digit
        MOV     C,A
        MOV     A,B
        ANI     MASKHI
        RRC
        RRC
        RRC
        RRC                     ; tens digit
        MOV     B,A
        ADD     A               ; 2 * tens
        ADD     A               ; 4 * tens
        ADD     B               ; 5 * tens
        ADD     A               ; 10 * tens
        ADD     C
        RET

BINBCD: MVI     B,-1            ; tens, one short
BB1:    INR     B
        SUI     10
        JNC     BB1
        ADI     10              ; undo the last subtraction
        MOV     C,A
        MOV     A,B
        RLC
        RLC
        RLC
        RLC
        ORA     C
        RET

; ---- lab 6: HL = E * A (8 x 8), and B = A / C with remainder in A -------------
PASS    SET     PASS+1
MUL8:   LXI     H,0             ; product
        MVI     D,0             ; DE = multiplicand
        MVI     B,8
MUL1:   DAD     H               ; shift the product
        RAL                     ; next multiplier bit
        JNC     MUL2
        DAD     D
MUL2:   DCR     B
        JNZ     MUL1
        RET

DIV8:   MVI     B,0             ; quotient
DIV1:   CMP     C
        JC      DIV2
        SUB     C
        INR     B
        JMP     DIV1
DIV2:   RET

; ---- lab 7: delay of DELAYN turns of the inner loop ------------------------
pass    set     pass+1
delay:  lxi     b,delayn        ; bc = count
dly1:   dcx     b
        mov     a,c
        ora     b
        jnz     dly1
        ret

; ---- lab 8: show the hex digit in A on the seven-segment display -----------
PASS    SET     PASS+1
SEGOUT: ANI     TABLEN-1        ; 0 to F
        MOV     E,A
        MVI     D,0
        MVI     H,SEGHI
        MVI     L,LOW(SEGTAB)
        DAD     D
        MOV     A,M
        OUT     SEGPORT
        RET

; ---- lab 9: HL = square of A (0 to 15) from a table -------------------------
PASS    SET     PASS+1
SQUARE: ANI     0FH
        ADD     A               ; two bytes an entry
        MOV     E,A
        MVI     D,0
        LXI     H,SQRTAB
        DAD     D
        MOV     E,M
        INX     H
        MOV     D,M
        XCHG
        RET

; ---- lab 10: compare STR1 with STR2; Z set when equal ----------------------
PASS    SET     PASS+1
STRCMP: LXI     H,STR1
        LXI     D,STR2
        MVI     C,STRLEN
SC1:    LDAX    D
        CMP     M
        JNZ     SC2             ; they differ
        INX     H
        INX     D
        DCR     C
        JNZ     SC1
SC2:    RET

; ---- lab 11: ones in a byte (RAR) and zeros (RAL) ---------------------------
PASS    SET     PASS+1
ONES:   LDA     BITS
        MVI     B,0
        MVI     C,8
ONE1:   RAR
        JNC     ONE2
        INR     B
ONE2:   DCR     C
        JNZ     ONE1
        MOV     A,B
        STA     NONES
        RET
ZEROS:  LDA     BITS
        MVI     B,0
        MVI     C,SEVEN+1
ZER1:   RAL
        JC      ZER2
        INR     B
ZER2:   DCR     C
        JNZ     ZER1
MOV     A,B                     ; a mnemonic in column 1
STA     NZEROS
RET

; ---- lab 12: 24-bit NUM3 = NUM1 + NUM2 with DAD ----------------------------
PASS    SET     PASS+1
ADD16:  LHLD    NUM1
        XCHG
        LHLD    NUM2
        DAD     D
        SHLD    NUM3
        MVI     A,0
        ACI     0               ; the carry out of DAD
        STA     NUM3+2
        RET

; ---- lab 13: ports, masks and the interrupt mask ---------------------------
PASS    SET     PASS+1
PORTS:  IN      KEYPORT
        XRI     55H XOR 0FH
        ORI     80H OR 01H
        OUT     LEDPORT
        MVI     A,1 SHL 4 OR 0CH        ; SIM: enable, mask 6.5 and 7.5
        SIM
        RIM
        ANI     MASKHI SHR 4
        CPI     (COUNT*3) MOD 7
        JZ      PORTS2
        MVI     A,(2+3)*4
        SBI     'A'-40H
        ACI     +OCTMAX/5
        MVI     B,PASS
        MVI     C,OCTMAX
PORTS2: LXI     B,'OK'
        MVI     A,HIGH(STACK)+1
        JMP     $+3             ; on to the next statement
        RET

; ---- lab 14: count the fields of a command line (tabs between fields) ------
PASS	SET	PASS+1
?SCAN:	LXI	H,CMDLIN
	MVI	B, 0		; fields found
?NEXT:	MOV	A,M
	ORA	A
	JZ	SCAN_DONE
	CPI	';'		; a remark ends the line
	JZ	SCAN_DONE
	CPI	','
	JZ	@SEP
	CPI	' '
	JZ	@SEP
	CPI	''''		; quotes are skipped
	JZ	@QUOTE
	CPI	'"'
	JZ	@QUOTE
	INX	H
	JMP	?NEXT
@SEP:	INR	B
@QUOTE:	INX	H
	JMP	?NEXT
SCAN_DONE:
	MOV	A,B
	STA	THE_NUMBER_OF_FIELDS_FOUND_ON_THE_COMMAND_LINE_BY_SCAN
	RET

; ---- lab 15: the letter in A in upper case ---------------------------------
UPCASE:CPI      'a';below the small letters?
        RC
        CPI     'z'+1
        RNC
        SUI     'a'-'A'
        RET

; ---- tables ---------------------------------------------------------------
        ORG     8192            ; 2000H
SEGTAB: DB      3FH,06H,5BH,4FH,66H,109,125,00000111B   ; 0 to 7
        DB      7FH,6FH,167Q,7CH,39H,5EH,79H,161O       ; 8 to F
SEGEND:
SQRTAB: DW      0,1,4,9,16,25,36,49,64,81,100,121,144,169,196,225
STR1:   DB      "It's 8085"
STR2:   DB      'It''s 8085'
STRLEN  EQU     $-STR2
MSG:    DB      "Hello, 8085 world; ",'"TRAINER"',CR,LF,0
MSGLEN  EQU     $-MSG
        DW      MSG,MSGLEN,'AB',$
DIGITS: db      '0123456789ABCDEF', 'x'
        ds      2
LASTD   dw      DIGITS+15, -2, 0FFFFH, 1000H SHR 4, STACK-1
CMDLIN:	DB	"dump 2000,20; show it",0
BYEMSG:	DB	'it''s done',CR,LF,'$'
DEGREE:	DB	'25Â°C',0		; 25 Â°C in UTF-8
CAFE:	DB	'café',0		; café from a Latin-1 listing
HELP:   db      'HEL','P'+80H           ; the last letter with bit 7 set
        db      0ffh,10101010b,17q,255d,-(3-5),'a'-'A'

; ---- variables --------------------------------------------------------------
        ORG     RAM
ARRAY:  DS      COUNT
SUM:    DS      2
BIGGST: DS      1
BCDIN:  DS      1
BINOUT: DS      1
BCDOUT: DS      1
FACTOR: DS      2
PRODCT: DS      2
QUOT:   DS      1
SQOUT:  DS      2
BITS:   DS      1
NONES:  DS      1
NZEROS: DS      1
NUM1:   DS      2
NUM2:   DS      2
NUM3:   DS      3
        ORG     ($+0FH) AND 0FFF0H      ; next paragraph
SRCBLK: DS      16
DSTBLK: DS      16
THE_NUMBER_OF_FIELDS_FOUND_ON_THE_COMMAND_LINE_BY_SCAN: DS 1
        END     START