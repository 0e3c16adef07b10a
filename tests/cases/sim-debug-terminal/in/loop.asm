        ORG 0800H
START:  MVI A,1
SPIN:   INR A
        JMP SPIN
        END START
