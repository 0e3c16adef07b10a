; Forward references, SET, and operands whose size class forces a literal.
; There is no ORG: the program starts at address 0.
BEGIN:  JMP     MAIN            ; a label further down
ZERO    EQU     0
DOUBLE  EQU     LATE*2          ; from a constant that comes later
LATE    EQU     TABLE+2         ; a constant from a later label
ABCDH   EQU     5               ; a name that reads like a hex number
N       SET     2
        MVI     A,N
N       SET     N*3+1           ; set again: 7
        MVI     B,N
        LXI     D,N
FFH:    DB      ''              ; an empty string writes nothing
        DB      N,'',"",N+1
MAIN:   LXI     H,ZERO          ; a byte constant where a word goes
        LXI     SP,0
        MVI     A,FFH           ; a label where a byte goes
        MVI     C,255           ; FFH here would be the label
        MVI     E,-1
        LXI     B,0FFH
        CALL    5               ; a small number where an address goes
        CALL    FFH
        JMP     LATE
        MVI     D,LATE
        CPI     ZERO
        LHLD    TABLE
        SHLD    FFH
        LXI     H,0ABCDH        ; ABCDH here would be the constant
        MVI     A,ABCDH
        JMP     $
TABLE:  DW      FFH,TABLE,LATE,$
        DB      LOW LATE,HIGH 1234H,DOUBLE
MINUS   EQU     -1              ; 65535 in the symbol file
BIG     EQU     0FFH+1          ; the smallest word-sized constant
        MVI     A,MINUS         ; a word constant whose value fits a byte
        LXI     H,MINUS
        LXI     B,BIG
        ADI     BIG-1
        END     BEGIN
this line comes after END and is never assembled
