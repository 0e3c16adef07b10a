        ORG 0800H
        INCLUDE "defs.inc"
TWICE   MACRO reg
        INR reg
        INR reg
        ENDM
START:  TWICE A
        CALL TWOB
DONE:   HLT
TWOB:   TWICE B
        RET
