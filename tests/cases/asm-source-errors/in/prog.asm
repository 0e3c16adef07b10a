; two faults: nothing may be written
        MVI A,UNDEF
        FOO
