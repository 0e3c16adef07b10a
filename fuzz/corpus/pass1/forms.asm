; every directive, number form and operator
        ORG 100H
K       EQU 0FFH
W       EQU 1234H
V       SET 1
V       SET V SHL 2
START:  LXI SP,STACK
        MVI A,-1
        ANI NOT 80H AND 0FFH
        ORI 101B OR 17Q XOR 7O
        MVI B,HIGH W
        MVI C,LOW (W+1) MOD 10D
        PUSH PSW
        POP B
        LDAX D
        RST 7
        CALL $+3
        DB 'it''s', "a;b,c", 0DH, 0AH, '$', ''
        DW START, 'AB', -2
        DS 10
STACK   EQU $+20H
        MOV M,M
        END START
