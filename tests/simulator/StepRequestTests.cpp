// What "step over" asks at each kind of instruction, and a port that holds
// its input once the queue is spent.
#include <gtest/gtest.h>

#include <sstream>

#include "simulator/Session.h"

namespace {

struct OverCase {
    std::uint8_t Opcode;
    bool Over;            // runs to Until in this frame
    std::uint16_t Until;  // behind the instruction at 1000H
};

TEST(StepRequests, OverCallsAndRestartsStepEverythingElse)
{
    const OverCase cases[] = {
        {0xCD, true, 0x1003}, // CALL
        {0xC4, true, 0x1003}, // CNZ
        {0xFC, true, 0x1003}, // CM
        {0xDD, true, 0x1003}, // the 8080's other CALL
        {0xC7, true, 0x1001}, // RST 0
        {0xFF, true, 0x1001}, // RST 7
        {0xC3, false, 0},     // JMP
        {0xC9, false, 0},     // RET
        {0xC2, false, 0},     // JNZ
        {0x78, false, 0},     // MOV A,B
    };
    Machine machine{};
    machine.PC = 0x1000;
    machine.SP = 0x2000;
    for (const OverCase& c : cases) {
        machine.Memory[0x1000] = c.Opcode;
        RunRequest request = StepOverRequest(machine);
        EXPECT_EQ(request.HasUntil, c.Over) << int(c.Opcode);
        EXPECT_EQ(request.Steps, c.Over ? 0u : 1u) << int(c.Opcode);
        if (c.Over) {
            EXPECT_EQ(request.Until, c.Until) << int(c.Opcode);
            EXPECT_TRUE(request.UntilInFrame);
            EXPECT_EQ(request.FrameSP, 0x2000);
        }
    }
    RunRequest out = StepOutRequest(machine);
    EXPECT_TRUE(out.UntilReturn);
    EXPECT_EQ(out.FrameSP, 0x2000);
}

TEST(StepRequests, HeldPortInputFollowsTheQueueAndStaysOverReset)
{
    // IN 1; MOV B,A; IN 1; MOV C,A; IN 1; HLT
    LoadedProgram program;
    ClearImage(program.Image);
    std::vector<ObjectFault> faults;
    PlaceBytes(program.Image, 1, 0x0800, {0xDB, 0x01, 0x47, 0xDB, 0x01, 0x4F, 0xDB, 0x01, 0x76}, faults);
    Session session;
    session.Options.Inputs.push_back(PortBytes{1, {0x11}});
    std::ostringstream errors;
    ASSERT_TRUE(SetUpSession(session, program, 0x0800, errors));
    std::string warnings;
    session.Warnings = StringSink(warnings);
    HoldPortInput(session, 1, 0x5A);
    EXPECT_EQ(RunSession(session), StopHalt);
    EXPECT_EQ(session.Cpu->B, 0x11);
    EXPECT_EQ(session.Cpu->C, 0x5A);
    EXPECT_EQ(session.Cpu->A, 0x5A);
    ResetSession(session);
    HoldPortInput(session, 1, -1);
    EXPECT_EQ(RunSession(session), StopHalt);
    EXPECT_EQ(session.Cpu->C, 0xFF);
    EXPECT_NE(warnings.find("IN 01H"), std::string::npos);
    // While held, a run that waits for input does not stop for it.
    ResetSession(session);
    HoldPortInput(session, 1, 0x22);
    session.WaitForInput = true;
    EXPECT_EQ(RunSession(session), StopHalt);
    EXPECT_EQ(session.Cpu->A, 0x22);
}

} // namespace
