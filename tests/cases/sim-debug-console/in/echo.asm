        ORG 0100H
START:  MVI C,1         ; read a key, with echo
        CALL 5
        CPI 'q'
        JNZ START
        RET
        END START
