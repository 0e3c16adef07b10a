; blink
        ORG 800H
START:  MVI A,1
COUNT   EQU 3
        DB 'OK'
        END START
