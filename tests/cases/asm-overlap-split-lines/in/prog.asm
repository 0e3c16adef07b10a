        DB 0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15
        MOV A,B ! MOV B,C
        ORG 0FH
        NOP
        END
