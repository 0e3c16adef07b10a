        ORG 100H
START:  MVI A,1
        ORG 101H
        DB 55H,66H
        END START
