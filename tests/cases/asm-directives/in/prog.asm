; directives in the listing
COUNT   EQU 3
        ORG 100H
START:  MVI A,COUNT
BUF:    DS 4
TABLE:  DB 1,2,3,4,5,6,7,8,9
VAL     SET 5
VAL     SET VAL+1
        DW 1234H
        END START
