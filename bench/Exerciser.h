// The exerciser-like loop of the core's benchmarks, shared by cpu.cpp and
// session.cpp so both measure the same instructions.
#pragma once

#include <cstdint>

// Runs forever: an inner loop of 65,536 passes over arithmetic, logic,
// rotates, DAA, memory, the stack, calls, returns and taken and untaken
// branches, then starts over.
inline const std::uint8_t Exerciser[] = {
    0x31, 0x00, 0xF0, // 0000 START: LXI SP,0F000H
    0x21, 0x00, 0x80, // 0003 LXI H,8000H
    0x01, 0x00, 0x00, // 0006 OUTER: LXI B,0
    0x11, 0x34, 0x12, // 0009 LXI D,1234H
    0x7E,             // 000C LOOP: MOV A,M
    0x83,             // 000D ADD E
    0x8A,             // 000E ADC D
    0x27,             // 000F DAA
    0x77,             // 0010 MOV M,A
    0x23,             // 0011 INX H
    0x96,             // 0012 SUB M
    0x9B,             // 0013 SBB E
    0xA2,             // 0014 ANA D
    0xB3,             // 0015 ORA E
    0xAA,             // 0016 XRA D
    0xBE,             // 0017 CMP M
    0x07,             // 0018 RLC
    0x1F,             // 0019 RAR
    0x17,             // 001A RAL
    0x0F,             // 001B RRC
    0xC6, 0x11,       // 001C ADI 11H
    0xCE, 0x22,       // 001E ACI 22H
    0xD6, 0x05,       // 0020 SUI 05H
    0xDE, 0x01,       // 0022 SBI 01H
    0xDA, 0x29, 0x00, // 0024 JC SKIP
    0xE6, 0xF7,       // 0027 ANI 0F7H
    0xF6, 0x08,       // 0029 SKIP: ORI 08H
    0xEE, 0x55,       // 002B XRI 55H
    0xFE, 0x80,       // 002D CPI 80H
    0xEA, 0x32, 0x00, // 002F JPE NEXT
    0xC5,             // 0032 NEXT: PUSH B
    0xD5,             // 0033 PUSH D
    0xE5,             // 0034 PUSH H
    0xF5,             // 0035 PUSH PSW
    0xCD, 0x58, 0x00, // 0036 CALL SUBR
    0xD4, 0x58, 0x00, // 0039 CNC SUBR
    0xF1,             // 003C POP PSW
    0xE1,             // 003D POP H
    0xD1,             // 003E POP D
    0xC1,             // 003F POP B
    0xEB,             // 0040 XCHG
    0xE3,             // 0041 XTHL
    0xE3,             // 0042 XTHL
    0xEB,             // 0043 XCHG
    0x3C,             // 0044 INR A
    0x15,             // 0045 DCR D
    0x14,             // 0046 INR D
    0x09,             // 0047 DAD B
    0x2B,             // 0048 DCX H
    0x7C,             // 0049 MOV A,H
    0xE6, 0x0F,       // 004A ANI 0FH
    0xF6, 0x80,       // 004C ORI 80H
    0x67,             // 004E MOV H,A
    0x03,             // 004F INX B
    0x78,             // 0050 MOV A,B
    0xB1,             // 0051 ORA C
    0xC2, 0x0C, 0x00, // 0052 JNZ LOOP
    0xC3, 0x06, 0x00, // 0055 JMP OUTER
    0x2A, 0x00, 0x90, // 0058 SUBR: LHLD 9000H
    0x22, 0x02, 0x90, // 005B SHLD 9002H
    0x3A, 0x04, 0x90, // 005E LDA 9004H
    0x32, 0x05, 0x90, // 0061 STA 9005H
    0x0A,             // 0064 LDAX B
    0x12,             // 0065 STAX D
    0x2E, 0x5A,       // 0066 MVI L,5AH
    0x45,             // 0068 MOV B,L
    0xD8,             // 0069 RC
    0xC8,             // 006A RZ
    0xC9,             // 006B RET
};

