        ORG 0800H
        MVI A,5
        FROB A
        HLT
