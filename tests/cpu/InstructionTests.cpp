// One instruction at a time: registers and memory before, registers, flags,
// memory and T-states after, worked out by hand from the 8085 user's manual.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "cpu/Machine.h"

namespace {

// Flags as the PSW byte holds them: bit 1 is always 1.
constexpr std::uint8_t S = FlagS, Z = FlagZ, AC = FlagAC, P = FlagP, CY = FlagCY;
constexpr std::uint8_t F(int flags)
{
    return static_cast<std::uint8_t>(flags | 0x02);
}

struct Registers {
    std::uint8_t A, B, C, D, E, H, L, Flags;
    std::uint16_t SP, PC;
};

struct MemoryByte {
    std::uint16_t Address;
    std::uint8_t Value;
};

// The code sits at 0100H; Before.PC is not used.
struct InstructionCase {
    const char* Text;
    std::vector<std::uint8_t> Code;
    Registers Before;
    std::vector<MemoryByte> MemoryBefore;
    Registers After;
    std::vector<MemoryByte> MemoryAfter;
    unsigned TStates;
};

constexpr std::uint16_t Origin = 0x0100;

// clang-format off
const InstructionCase InstructionCases[] = {
    // Data transfer: no flag changes.
    {"MOV B,C", {0x41}, {0, 0, 0x5A, 0, 0, 0, 0, F(CY), 0x2000, 0}, {},
                        {0, 0x5A, 0x5A, 0, 0, 0, 0, F(CY), 0x2000, 0x0101}, {}, 4},
    {"MOV M,A", {0x77}, {0x9C, 0, 0, 0, 0, 0x20, 0x50, F(0), 0x2000, 0}, {},
                        {0x9C, 0, 0, 0, 0, 0x20, 0x50, F(0), 0x2000, 0x0101}, {{0x2050, 0x9C}}, 7},
    {"MOV E,M", {0x5E}, {0, 0, 0, 0, 0, 0x30, 0x00, F(Z), 0x2000, 0}, {{0x3000, 0x7E}},
                        {0, 0, 0, 0, 0x7E, 0x30, 0x00, F(Z), 0x2000, 0x0101}, {}, 7},
    {"MVI M,42H", {0x36, 0x42}, {0, 0, 0, 0, 0, 0x21, 0x00, F(0), 0x2000, 0}, {},
                                {0, 0, 0, 0, 0, 0x21, 0x00, F(0), 0x2000, 0x0102}, {{0x2100, 0x42}}, 10},
    {"MVI A,3AH", {0x3E, 0x3A}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                                {0x3A, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x0102}, {}, 7},
    {"LXI SP,1234H", {0x31, 0x34, 0x12}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                                         {0, 0, 0, 0, 0, 0, 0, F(0), 0x1234, 0x0103}, {}, 10},
    {"LXI H,0ABCDH", {0x21, 0xCD, 0xAB}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                                         {0, 0, 0, 0, 0, 0xAB, 0xCD, F(0), 0x2000, 0x0103}, {}, 10},
    {"LDA 2050H", {0x3A, 0x50, 0x20}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {{0x2050, 0x77}},
                                      {0x77, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x0103}, {}, 13},
    {"STA 2051H", {0x32, 0x51, 0x20}, {0x11, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                                      {0x11, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x0103}, {{0x2051, 0x11}}, 13},
    {"LHLD 2060H", {0x2A, 0x60, 0x20}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {{0x2060, 0x34}, {0x2061, 0x12}},
                                       {0, 0, 0, 0, 0, 0x12, 0x34, F(0), 0x2000, 0x0103}, {}, 16},
    {"LHLD 0FFFFH wraps", {0x2A, 0xFF, 0xFF}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {{0xFFFF, 0x34}, {0x0000, 0x12}},
                                              {0, 0, 0, 0, 0, 0x12, 0x34, F(0), 0x2000, 0x0103}, {}, 16},
    {"SHLD 2070H", {0x22, 0x70, 0x20}, {0, 0, 0, 0, 0, 0xAE, 0x29, F(0), 0x2000, 0}, {},
                                       {0, 0, 0, 0, 0, 0xAE, 0x29, F(0), 0x2000, 0x0103}, {{0x2070, 0x29}, {0x2071, 0xAE}}, 16},
    {"LDAX D", {0x1A}, {0, 0, 0, 0x20, 0x80, 0, 0, F(0), 0x2000, 0}, {{0x2080, 0x5C}},
                       {0x5C, 0, 0, 0x20, 0x80, 0, 0, F(0), 0x2000, 0x0101}, {}, 7},
    {"STAX B", {0x02}, {0x3F, 0x20, 0x90, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                       {0x3F, 0x20, 0x90, 0, 0, 0, 0, F(0), 0x2000, 0x0101}, {{0x2090, 0x3F}}, 7},
    {"XCHG", {0xEB}, {0, 0, 0, 0x12, 0x34, 0x56, 0x78, F(0), 0x2000, 0}, {},
                     {0, 0, 0, 0x56, 0x78, 0x12, 0x34, F(0), 0x2000, 0x0101}, {}, 4},

    // ADD ADC ADI ACI: CY out of bit 7, AC out of bit 3.
    {"ADD B", {0x80}, {0x6C, 0x2E, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                      {0x9A, 0x2E, 0, 0, 0, 0, 0, F(S | AC | P), 0x2000, 0x0101}, {}, 4},
    {"ADI 0FFH", {0xC6, 0xFF}, {0x01, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                               {0x00, 0, 0, 0, 0, 0, 0, F(Z | AC | P | CY), 0x2000, 0x0102}, {}, 7},
    {"ADC C", {0x89}, {0x42, 0, 0x3D, 0, 0, 0, 0, F(CY), 0x2000, 0}, {},
                      {0x80, 0, 0x3D, 0, 0, 0, 0, F(S | AC), 0x2000, 0x0101}, {}, 4},
    {"ADC M", {0x8E}, {0x80, 0, 0, 0, 0, 0x20, 0x00, F(CY), 0x2000, 0}, {{0x2000, 0x80}},
                      {0x01, 0, 0, 0, 0, 0x20, 0x00, F(CY), 0x2000, 0x0101}, {}, 7},
    {"ACI 0FH", {0xCE, 0x0F}, {0xF0, 0, 0, 0, 0, 0, 0, F(CY), 0x2000, 0}, {},
                              {0x00, 0, 0, 0, 0, 0, 0, F(Z | AC | P | CY), 0x2000, 0x0102}, {}, 7},

    // SUB SBB SUI SBI CMP CPI: A plus the operand's complement plus 1 (0
    // with a borrow in); CY is the borrow, AC the carry out of bit 3.
    {"SUB A", {0x97}, {0x3E, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                      {0x00, 0, 0, 0, 0, 0, 0, F(Z | AC | P), 0x2000, 0x0101}, {}, 4},
    {"SUB B, borrow from bit 4", {0x90}, {0x10, 0x01, 0, 0, 0, 0, 0, F(AC | CY), 0x2000, 0}, {},
                                         {0x0F, 0x01, 0, 0, 0, 0, 0, F(P), 0x2000, 0x0101}, {}, 4},
    {"SUI 01H, borrow", {0xD6, 0x01}, {0x00, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                                      {0xFF, 0, 0, 0, 0, 0, 0, F(S | P | CY), 0x2000, 0x0102}, {}, 7},
    {"SUI 12H", {0xD6, 0x12}, {0x35, 0, 0, 0, 0, 0, 0, F(CY), 0x2000, 0}, {},
                              {0x23, 0, 0, 0, 0, 0, 0, F(AC), 0x2000, 0x0102}, {}, 7},
    {"SBB L", {0x9D}, {0x04, 0, 0, 0, 0, 0, 0x02, F(CY), 0x2000, 0}, {},
                      {0x01, 0, 0, 0, 0, 0, 0x02, F(AC), 0x2000, 0x0101}, {}, 4},
    {"SBB M, 0 minus 0 minus borrow", {0x9E}, {0x00, 0, 0, 0, 0, 0x20, 0x00, F(CY), 0x2000, 0}, {{0x2000, 0x00}},
                                              {0xFF, 0, 0, 0, 0, 0x20, 0x00, F(S | P | CY), 0x2000, 0x0101}, {}, 7},
    {"SBI 00H", {0xDE, 0x00}, {0x00, 0, 0, 0, 0, 0, 0, F(S), 0x2000, 0}, {},
                              {0x00, 0, 0, 0, 0, 0, 0, F(Z | AC | P), 0x2000, 0x0102}, {}, 7},
    {"CMP E, A greater", {0xBB}, {0x0A, 0, 0, 0, 0x05, 0, 0, F(0), 0x2000, 0}, {},
                                 {0x0A, 0, 0, 0, 0x05, 0, 0, F(AC | P), 0x2000, 0x0101}, {}, 4},
    {"CPI 40H, equal", {0xFE, 0x40}, {0x40, 0, 0, 0, 0, 0, 0, F(CY), 0x2000, 0}, {},
                                     {0x40, 0, 0, 0, 0, 0, 0, F(Z | AC | P), 0x2000, 0x0102}, {}, 7},
    {"CMP M, A less", {0xBE}, {0x02, 0, 0, 0, 0, 0x20, 0x00, F(0), 0x2000, 0}, {{0x2000, 0x05}},
                              {0x02, 0, 0, 0, 0, 0x20, 0x00, F(S | CY), 0x2000, 0x0101}, {}, 7},

    // ANA ANI set AC on the 8085 and clear CY; XRA ORA and theirs clear both.
    {"ANA C", {0xA1}, {0xFC, 0, 0x0F, 0, 0, 0, 0, F(CY), 0x2000, 0}, {},
                      {0x0C, 0, 0x0F, 0, 0, 0, 0, F(AC | P), 0x2000, 0x0101}, {}, 4},
    {"ANI 0FH", {0xE6, 0x0F}, {0x3A, 0, 0, 0, 0, 0, 0, F(S | Z | CY), 0x2000, 0}, {},
                              {0x0A, 0, 0, 0, 0, 0, 0, F(AC | P), 0x2000, 0x0102}, {}, 7},
    {"ANA M, zero", {0xA6}, {0xF0, 0, 0, 0, 0, 0x20, 0x00, F(0), 0x2000, 0}, {{0x2000, 0x0F}},
                            {0x00, 0, 0, 0, 0, 0x20, 0x00, F(Z | AC | P), 0x2000, 0x0101}, {}, 7},
    {"XRA A", {0xAF}, {0x5C, 0, 0, 0, 0, 0, 0, F(AC | CY), 0x2000, 0}, {},
                      {0x00, 0, 0, 0, 0, 0, 0, F(Z | P), 0x2000, 0x0101}, {}, 4},
    {"XRI 81H", {0xEE, 0x81}, {0x3C, 0, 0, 0, 0, 0, 0, F(CY), 0x2000, 0}, {},
                              {0xBD, 0, 0, 0, 0, 0, 0, F(S | P), 0x2000, 0x0102}, {}, 7},
    {"ORA B", {0xB0}, {0x12, 0x80, 0, 0, 0, 0, 0, F(AC | CY), 0x2000, 0}, {},
                      {0x92, 0x80, 0, 0, 0, 0, 0, F(S), 0x2000, 0x0101}, {}, 4},
    {"ORI 00H", {0xF6, 0x00}, {0x00, 0, 0, 0, 0, 0, 0, F(CY), 0x2000, 0}, {},
                              {0x00, 0, 0, 0, 0, 0, 0, F(Z | P), 0x2000, 0x0102}, {}, 7},

    // INR DCR: S Z AC P, CY kept. DCR adds FFH: AC unless the low digit was 0.
    {"INR A", {0x3C}, {0x0F, 0, 0, 0, 0, 0, 0, F(CY), 0x2000, 0}, {},
                      {0x10, 0, 0, 0, 0, 0, 0, F(AC | CY), 0x2000, 0x0101}, {}, 4},
    {"INR B, to zero", {0x04}, {0, 0xFF, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                               {0, 0x00, 0, 0, 0, 0, 0, F(Z | AC | P), 0x2000, 0x0101}, {}, 4},
    {"INR M", {0x34}, {0, 0, 0, 0, 0, 0x20, 0x00, F(CY), 0x2000, 0}, {{0x2000, 0x7F}},
                      {0, 0, 0, 0, 0, 0x20, 0x00, F(S | AC | CY), 0x2000, 0x0101}, {{0x2000, 0x80}}, 10},
    {"DCR C, borrow from bit 4", {0x0D}, {0, 0, 0x10, 0, 0, 0, 0, F(CY), 0x2000, 0}, {},
                                         {0, 0, 0x0F, 0, 0, 0, 0, F(P | CY), 0x2000, 0x0101}, {}, 4},
    {"DCR D, to zero", {0x15}, {0, 0, 0, 0x01, 0, 0, 0, F(0), 0x2000, 0}, {},
                               {0, 0, 0, 0x00, 0, 0, 0, F(Z | AC | P), 0x2000, 0x0101}, {}, 4},
    {"DCR E, from zero", {0x1D}, {0, 0, 0, 0, 0x00, 0, 0, F(CY), 0x2000, 0}, {},
                                 {0, 0, 0, 0, 0xFF, 0, 0, F(S | P | CY), 0x2000, 0x0101}, {}, 4},
    {"DCR M", {0x35}, {0, 0, 0, 0, 0, 0x3A, 0x7C, F(0), 0x2000, 0}, {{0x3A7C, 0x40}},
                      {0, 0, 0, 0, 0, 0x3A, 0x7C, F(P), 0x2000, 0x0101}, {{0x3A7C, 0x3F}}, 10},

    // INX DCX: no flags, 16-bit wrap.
    {"INX D", {0x13}, {0, 0, 0, 0x38, 0xFF, 0, 0, F(Z), 0x2000, 0}, {},
                      {0, 0, 0, 0x39, 0x00, 0, 0, F(Z), 0x2000, 0x0101}, {}, 6},
    {"INX SP, wraps", {0x33}, {0, 0, 0, 0, 0, 0, 0, F(0), 0xFFFF, 0}, {},
                              {0, 0, 0, 0, 0, 0, 0, F(0), 0x0000, 0x0101}, {}, 6},
    {"DCX H", {0x2B}, {0, 0, 0, 0, 0, 0x98, 0x00, F(0), 0x2000, 0}, {},
                      {0, 0, 0, 0, 0, 0x97, 0xFF, F(0), 0x2000, 0x0101}, {}, 6},
    {"DCX B, wraps", {0x0B}, {0, 0x00, 0x00, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                             {0, 0xFF, 0xFF, 0, 0, 0, 0, F(0), 0x2000, 0x0101}, {}, 6},

    // DAD: CY alone.
    {"DAD B", {0x09}, {0, 0x33, 0x9F, 0, 0, 0xA1, 0x7B, F(S | Z | AC | P | CY), 0x2000, 0}, {},
                      {0, 0x33, 0x9F, 0, 0, 0xD5, 0x1A, F(S | Z | AC | P), 0x2000, 0x0101}, {}, 10},
    {"DAD H, carry", {0x29}, {0, 0, 0, 0, 0, 0x80, 0x01, F(0), 0x2000, 0}, {},
                             {0, 0, 0, 0, 0, 0x00, 0x02, F(CY), 0x2000, 0x0101}, {}, 10},
    {"DAD SP, zero leaves Z", {0x39}, {0, 0, 0, 0, 0, 0x00, 0x01, F(0), 0xFFFF, 0}, {},
                                      {0, 0, 0, 0, 0, 0x00, 0x00, F(CY), 0xFFFF, 0x0101}, {}, 10},

    // DAA.
    {"DAA 9BH", {0x27}, {0x9B, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                        {0x01, 0, 0, 0, 0, 0, 0, F(AC | CY), 0x2000, 0x0101}, {}, 4},
    {"DAA 7DH (38+45)", {0x27}, {0x7D, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                                {0x83, 0, 0, 0, 0, 0, 0, F(S | AC), 0x2000, 0x0101}, {}, 4},
    {"DAA 41H with AC (29+18)", {0x27}, {0x41, 0, 0, 0, 0, 0, 0, F(AC), 0x2000, 0}, {},
                                        {0x47, 0, 0, 0, 0, 0, 0, F(P), 0x2000, 0x0101}, {}, 4},
    {"DAA 32H with AC and CY (99+99)", {0x27}, {0x32, 0, 0, 0, 0, 0, 0, F(AC | CY), 0x2000, 0}, {},
                                               {0x98, 0, 0, 0, 0, 0, 0, F(S | CY), 0x2000, 0x0101}, {}, 4},
    {"DAA 9AH", {0x27}, {0x9A, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                        {0x00, 0, 0, 0, 0, 0, 0, F(Z | AC | P | CY), 0x2000, 0x0101}, {}, 4},
    {"DAA 42H, nothing to do", {0x27}, {0x42, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                                       {0x42, 0, 0, 0, 0, 0, 0, F(P), 0x2000, 0x0101}, {}, 4},

    // Rotates and the carry: CY alone; CMA none.
    {"RLC", {0x07}, {0xF2, 0, 0, 0, 0, 0, 0, F(Z | P), 0x2000, 0}, {},
                    {0xE5, 0, 0, 0, 0, 0, 0, F(Z | P | CY), 0x2000, 0x0101}, {}, 4},
    {"RRC", {0x0F}, {0xF2, 0, 0, 0, 0, 0, 0, F(S | CY), 0x2000, 0}, {},
                    {0x79, 0, 0, 0, 0, 0, 0, F(S), 0x2000, 0x0101}, {}, 4},
    {"RAL", {0x17}, {0xB5, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                    {0x6A, 0, 0, 0, 0, 0, 0, F(CY), 0x2000, 0x0101}, {}, 4},
    {"RAR", {0x1F}, {0x6A, 0, 0, 0, 0, 0, 0, F(CY), 0x2000, 0}, {},
                    {0xB5, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x0101}, {}, 4},
    {"CMA", {0x2F}, {0x51, 0, 0, 0, 0, 0, 0, F(Z | AC | P | CY), 0x2000, 0}, {},
                    {0xAE, 0, 0, 0, 0, 0, 0, F(Z | AC | P | CY), 0x2000, 0x0101}, {}, 4},
    {"STC", {0x37}, {0, 0, 0, 0, 0, 0, 0, F(Z), 0x2000, 0}, {},
                    {0, 0, 0, 0, 0, 0, 0, F(Z | CY), 0x2000, 0x0101}, {}, 4},
    {"CMC", {0x3F}, {0, 0, 0, 0, 0, 0, 0, F(Z | CY), 0x2000, 0}, {},
                    {0, 0, 0, 0, 0, 0, 0, F(Z), 0x2000, 0x0101}, {}, 4},

    // Jumps: 7 not taken, 10 taken.
    {"JMP 3000H", {0xC3, 0x00, 0x30}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                                      {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x3000}, {}, 10},
    {"JNZ taken", {0xC2, 0x00, 0x30}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                                      {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x3000}, {}, 10},
    {"JNZ not taken", {0xC2, 0x00, 0x30}, {0, 0, 0, 0, 0, 0, 0, F(Z), 0x2000, 0}, {},
                                          {0, 0, 0, 0, 0, 0, 0, F(Z), 0x2000, 0x0103}, {}, 7},
    {"JZ taken", {0xCA, 0x00, 0x30}, {0, 0, 0, 0, 0, 0, 0, F(Z), 0x2000, 0}, {},
                                     {0, 0, 0, 0, 0, 0, 0, F(Z), 0x2000, 0x3000}, {}, 10},
    {"JNC not taken", {0xD2, 0x00, 0x30}, {0, 0, 0, 0, 0, 0, 0, F(CY), 0x2000, 0}, {},
                                          {0, 0, 0, 0, 0, 0, 0, F(CY), 0x2000, 0x0103}, {}, 7},
    {"JC taken", {0xDA, 0x00, 0x30}, {0, 0, 0, 0, 0, 0, 0, F(CY), 0x2000, 0}, {},
                                     {0, 0, 0, 0, 0, 0, 0, F(CY), 0x2000, 0x3000}, {}, 10},
    {"JPO taken", {0xE2, 0x00, 0x30}, {0, 0, 0, 0, 0, 0, 0, F(S | Z | CY), 0x2000, 0}, {},
                                      {0, 0, 0, 0, 0, 0, 0, F(S | Z | CY), 0x2000, 0x3000}, {}, 10},
    {"JPE not taken", {0xEA, 0x00, 0x30}, {0, 0, 0, 0, 0, 0, 0, F(S | Z | CY), 0x2000, 0}, {},
                                          {0, 0, 0, 0, 0, 0, 0, F(S | Z | CY), 0x2000, 0x0103}, {}, 7},
    {"JP not taken", {0xF2, 0x00, 0x30}, {0, 0, 0, 0, 0, 0, 0, F(S), 0x2000, 0}, {},
                                         {0, 0, 0, 0, 0, 0, 0, F(S), 0x2000, 0x0103}, {}, 7},
    {"JM taken", {0xFA, 0x00, 0x30}, {0, 0, 0, 0, 0, 0, 0, F(S), 0x2000, 0}, {},
                                     {0, 0, 0, 0, 0, 0, 0, F(S), 0x2000, 0x3000}, {}, 10},

    // Calls: 9 not taken, 18 taken; returns: 6 not taken, 12 taken; RET 10.
    {"CALL 3000H", {0xCD, 0x00, 0x30}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                                       {0, 0, 0, 0, 0, 0, 0, F(0), 0x1FFE, 0x3000}, {{0x1FFF, 0x01}, {0x1FFE, 0x03}}, 18},
    {"CNZ taken", {0xC4, 0x00, 0x30}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                                      {0, 0, 0, 0, 0, 0, 0, F(0), 0x1FFE, 0x3000}, {{0x1FFF, 0x01}, {0x1FFE, 0x03}}, 18},
    {"CZ not taken", {0xCC, 0x00, 0x30}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {{0x1FFF, 0xEE}},
                                         {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x0103}, {{0x1FFF, 0xEE}}, 9},
    {"CC taken", {0xDC, 0x00, 0x30}, {0, 0, 0, 0, 0, 0, 0, F(CY), 0x2000, 0}, {},
                                     {0, 0, 0, 0, 0, 0, 0, F(CY), 0x1FFE, 0x3000}, {{0x1FFF, 0x01}, {0x1FFE, 0x03}}, 18},
    {"CPE taken", {0xEC, 0x00, 0x30}, {0, 0, 0, 0, 0, 0, 0, F(P), 0x2000, 0}, {},
                                      {0, 0, 0, 0, 0, 0, 0, F(P), 0x1FFE, 0x3000}, {{0x1FFF, 0x01}, {0x1FFE, 0x03}}, 18},
    {"CM not taken", {0xFC, 0x00, 0x30}, {0, 0, 0, 0, 0, 0, 0, F(Z | CY | P), 0x2000, 0}, {},
                                         {0, 0, 0, 0, 0, 0, 0, F(Z | CY | P), 0x2000, 0x0103}, {}, 9},
    {"RET", {0xC9}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x1FFE, 0}, {{0x1FFE, 0x34}, {0x1FFF, 0x12}},
                    {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x1234}, {}, 10},
    {"RZ taken", {0xC8}, {0, 0, 0, 0, 0, 0, 0, F(Z), 0x1FFE, 0}, {{0x1FFE, 0x34}, {0x1FFF, 0x12}},
                         {0, 0, 0, 0, 0, 0, 0, F(Z), 0x2000, 0x1234}, {}, 12},
    {"RNZ not taken", {0xC0}, {0, 0, 0, 0, 0, 0, 0, F(Z), 0x1FFE, 0}, {{0x1FFE, 0x34}, {0x1FFF, 0x12}},
                              {0, 0, 0, 0, 0, 0, 0, F(Z), 0x1FFE, 0x0101}, {}, 6},
    {"RPO taken", {0xE0}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x1FFE, 0}, {{0x1FFE, 0x34}, {0x1FFF, 0x12}},
                          {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x1234}, {}, 12},
    {"RP not taken", {0xF0}, {0, 0, 0, 0, 0, 0, 0, F(S), 0x1FFE, 0}, {},
                             {0, 0, 0, 0, 0, 0, 0, F(S), 0x1FFE, 0x0101}, {}, 6},
    {"RST 7", {0xFF}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                      {0, 0, 0, 0, 0, 0, 0, F(0), 0x1FFE, 0x0038}, {{0x1FFF, 0x01}, {0x1FFE, 0x01}}, 12},
    {"RST 2", {0xD7}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                      {0, 0, 0, 0, 0, 0, 0, F(0), 0x1FFE, 0x0010}, {{0x1FFF, 0x01}, {0x1FFE, 0x01}}, 12},
    {"PCHL", {0xE9}, {0, 0, 0, 0, 0, 0x43, 0x21, F(0), 0x2000, 0}, {},
                     {0, 0, 0, 0, 0, 0x43, 0x21, F(0), 0x2000, 0x4321}, {}, 6},

    // Stack. PUSH PSW pushes bit 1 as 1 and bits 3 and 5 as 0; POP PSW keeps that.
    {"PUSH B", {0xC5}, {0, 0x12, 0x34, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                       {0, 0x12, 0x34, 0, 0, 0, 0, F(0), 0x1FFE, 0x0101}, {{0x1FFF, 0x12}, {0x1FFE, 0x34}}, 12},
    {"PUSH D, SP wraps", {0xD5}, {0, 0, 0, 0xAB, 0xCD, 0, 0, F(0), 0x0001, 0}, {},
                                 {0, 0, 0, 0xAB, 0xCD, 0, 0, F(0), 0xFFFF, 0x0101}, {{0x0000, 0xAB}, {0xFFFF, 0xCD}}, 12},
    {"PUSH PSW", {0xF5}, {0x5A, 0, 0, 0, 0, 0, 0, 0xFF, 0x2000, 0}, {},
                         {0x5A, 0, 0, 0, 0, 0, 0, 0xFF, 0x1FFE, 0x0101}, {{0x1FFF, 0x5A}, {0x1FFE, 0xD7}}, 12},
    {"PUSH PSW, no flags", {0xF5}, {0x00, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                                   {0x00, 0, 0, 0, 0, 0, 0, F(0), 0x1FFE, 0x0101}, {{0x1FFF, 0x00}, {0x1FFE, 0x02}}, 12},
    {"POP PSW, all ones", {0xF1}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x1FFE, 0}, {{0x1FFE, 0xFF}, {0x1FFF, 0x80}},
                                  {0x80, 0, 0, 0, 0, 0, 0, F(S | Z | AC | P | CY), 0x2000, 0x0101}, {}, 10},
    {"POP PSW, all zeros", {0xF1}, {0xFF, 0, 0, 0, 0, 0, 0, F(S | CY), 0x1FFE, 0}, {{0x1FFE, 0x00}, {0x1FFF, 0x00}},
                                   {0x00, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x0101}, {}, 10},
    {"POP H", {0xE1}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x1FFE, 0}, {{0x1FFE, 0x3D}, {0x1FFF, 0x93}},
                      {0, 0, 0, 0, 0, 0x93, 0x3D, F(0), 0x2000, 0x0101}, {}, 10},
    {"XTHL", {0xE3}, {0, 0, 0, 0, 0, 0x0B, 0x3C, F(0), 0x10AD, 0}, {{0x10AD, 0xF0}, {0x10AE, 0x0D}},
                     {0, 0, 0, 0, 0, 0x0D, 0xF0, F(0), 0x10AD, 0x0101}, {{0x10AD, 0x3C}, {0x10AE, 0x0B}}, 16},
    {"SPHL", {0xF9}, {0, 0, 0, 0, 0, 0x50, 0x6C, F(0), 0x2000, 0}, {},
                     {0, 0, 0, 0, 0, 0x50, 0x6C, F(0), 0x506C, 0x0101}, {}, 6},

    // Input, output, machine control (no hooks: IN reads FFH).
    {"IN 10H", {0xDB, 0x10}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                             {0xFF, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x0102}, {}, 10},
    {"OUT 10H", {0xD3, 0x10}, {0x42, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                              {0x42, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x0102}, {}, 10},
    {"NOP", {0x00}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                    {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x0101}, {}, 4},
    {"DI", {0xF3}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                   {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x0101}, {}, 4},
    {"EI", {0xFB}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                   {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x0101}, {}, 4},
    {"RIM after reset: all masked", {0x20}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                                            {0x07, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x0101}, {}, 4},
    {"SIM", {0x30}, {0x08, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                    {0x08, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x0101}, {}, 4},
    {"HLT", {0x76}, {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0}, {},
                    {0, 0, 0, 0, 0, 0, 0, F(0), 0x2000, 0x0101}, {}, 5},
};
// clang-format on

std::string Describe(const Registers& r)
{
    char text[96];
    std::snprintf(text, sizeof text, "A=%02X B=%02X C=%02X D=%02X E=%02X H=%02X L=%02X F=%02X SP=%04X PC=%04X", r.A,
        r.B, r.C, r.D, r.E, r.H, r.L, r.Flags, r.SP, r.PC);
    return text;
}

Registers RegistersOf(const Machine& m)
{
    return Registers{m.A, m.B, m.C, m.D, m.E, m.H, m.L, m.Flags, m.SP, m.PC};
}

} // namespace

TEST(Instructions, EachCaseGivesItsRegistersFlagsMemoryAndTStates)
{
    auto machine = std::make_unique<Machine>();
    for (const InstructionCase& c : InstructionCases) {
        SCOPED_TRACE(c.Text);
        Machine& m = *machine;
        ResetMachine(m, 0);
        const Registers& b = c.Before;
        m.A = b.A, m.B = b.B, m.C = b.C, m.D = b.D, m.E = b.E, m.H = b.H, m.L = b.L;
        m.Flags = b.Flags, m.SP = b.SP, m.PC = Origin;
        for (const MemoryByte& byte : c.MemoryBefore) {
            m.Memory[byte.Address] = byte.Value;
        }
        for (std::size_t index = 0; index < c.Code.size(); ++index) {
            m.Memory[Origin + index] = c.Code[index];
        }
        StepResult result = StepMachine(m);
        EXPECT_EQ(result, c.Code[0] == 0x76 ? StepHalted : StepRan);
        EXPECT_EQ(Describe(RegistersOf(m)), Describe(c.After));
        for (const MemoryByte& byte : c.MemoryAfter) {
            EXPECT_EQ(m.Memory[byte.Address], byte.Value) << "at " << std::hex << byte.Address;
        }
        EXPECT_EQ(m.TStates, c.TStates);
        EXPECT_EQ(m.Steps, 1u);
    }
}
