// The session interface as a front end drives it: stepping, over and out of
// a call, breakpoints, watchpoints on every kind of write, pause, input
// wanted and reset; each outcome worked out by hand.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "simulator/Session.h"

namespace {

std::unique_ptr<Session> MakeSession(const std::vector<std::uint8_t>& code, const std::vector<RegisterValue>& registers = {})
{
    LoadedProgram program;
    ClearImage(program.Image);
    std::vector<ObjectFault> faults;
    PlaceBytes(program.Image, 1, 0x0800, code, faults);
    auto session = std::make_unique<Session>();
    session->Options.Registers = registers;
    std::ostringstream errors;
    EXPECT_TRUE(SetUpSession(*session, program, 0x0800, errors)) << errors.str();
    return session;
}

// LXI SP,2000H; CALL SUB; STA 2050H; HLT; SUB: MVI A,07H; PUSH B; POP B; RET.
const std::vector<std::uint8_t> CallProgram = {0x31, 0x00, 0x20, 0xCD, 0x0A, 0x08, 0x32, 0x50, 0x20, 0x76, 0x3E,
    0x07, 0xC5, 0xC1, 0xC9};

RunRequest Steps(std::uint64_t count)
{
    RunRequest request;
    request.Steps = count;
    return request;
}

TEST(Session, StepsOverAndOutOfACall)
{
    auto session = MakeSession(CallProgram);
    Machine& cpu = *session->Cpu;
    EXPECT_EQ(RunSession(*session, Steps(1)), StopDone);
    EXPECT_EQ(cpu.PC, 0x0803);
    // next: over the CALL to the STA behind it, the routine's four instructions run.
    RunRequest over;
    over.HasUntil = true;
    over.Until = 0x0806;
    over.UntilInFrame = true;
    over.FrameSP = cpu.SP;
    EXPECT_EQ(RunSession(*session, over), StopDone);
    EXPECT_EQ(cpu.PC, 0x0806);
    EXPECT_EQ(cpu.A, 0x07);
    EXPECT_EQ(cpu.Steps, 6u);

    // finish: from the routine's first instruction, out past its PUSH and POP.
    ResetSession(*session);
    EXPECT_EQ(cpu.Steps, 0u);
    EXPECT_EQ(cpu.A, 0);
    EXPECT_EQ(RunSession(*session, Steps(2)), StopDone);
    EXPECT_EQ(cpu.PC, 0x080A);
    RunRequest out;
    out.UntilReturn = true;
    out.FrameSP = cpu.SP;
    EXPECT_EQ(RunSession(*session, out), StopDone);
    EXPECT_EQ(cpu.PC, 0x0806);
    EXPECT_EQ(cpu.SP, 0x2000);
    EXPECT_EQ(cpu.Steps, 6u);

    EXPECT_EQ(RunSession(*session), StopHalt);
    EXPECT_EQ(session->Address, 0x0809);
}

TEST(Session, StopsAtBreakpointsAndMovesOnFromThem)
{
    auto session = MakeSession(CallProgram);
    int number = AddBreakpoint(*session, 0x080C, false);
    EXPECT_EQ(RunSession(*session), StopBreakpoint);
    EXPECT_EQ(session->Address, 0x080C);
    EXPECT_EQ(RunSession(*session), StopHalt);
    // Kept over a reset; gone once deleted.
    ResetSession(*session);
    EXPECT_EQ(RunSession(*session), StopBreakpoint);
    EXPECT_TRUE(DeleteBreakpoint(*session, number));
    EXPECT_FALSE(DeleteBreakpoint(*session, number));
    ResetSession(*session);
    EXPECT_EQ(RunSession(*session), StopHalt);

    // A temporary one stops once.
    ResetSession(*session);
    AddBreakpoint(*session, 0x080C, true);
    EXPECT_EQ(RunSession(*session), StopBreakpoint);
    EXPECT_TRUE(session->Breakpoints.empty());
    ResetSession(*session);
    EXPECT_EQ(RunSession(*session), StopHalt);

    // until: the first arrival, not the start.
    ResetSession(*session);
    RunRequest until;
    until.HasUntil = true;
    until.Until = 0x0809;
    EXPECT_EQ(RunSession(*session, until), StopDone);
    EXPECT_EQ(session->Cpu->PC, 0x0809);
}

struct WatchCase {
    const char* Name;
    std::vector<std::uint8_t> Code; // at 0800H, HLT after it
    std::vector<RegisterValue> Registers;
    std::uint16_t First, Last;
    bool Hit;
    std::uint16_t Address;
    std::uint8_t Old, New;
};

TEST(Session, WatchpointsSeeEveryKindOfWrite)
{
    const WatchCase cases[] = {
        {"MOV M,A", {0x77}, {{RegA, 0x55}, {RegHL, 0x2050}}, 0x2050, 0x2050, true, 0x2050, 0x00, 0x55},
        {"MVI M same value", {0x36, 0x00}, {{RegHL, 0x2050}}, 0x2040, 0x205F, true, 0x2050, 0x00, 0x00},
        {"INR M", {0x34}, {{RegHL, 0x2050}}, 0x2050, 0x2050, true, 0x2050, 0x00, 0x01},
        {"STAX D", {0x12}, {{RegA, 9}, {RegDE, 0x2051}}, 0x2050, 0x2051, true, 0x2051, 0x00, 0x09},
        {"STA", {0x32, 0x50, 0x20}, {{RegA, 9}}, 0x2050, 0x2050, true, 0x2050, 0x00, 0x09},
        {"SHLD low byte first", {0x22, 0x50, 0x20}, {{RegHL, 0x1234}}, 0x2050, 0x2051, true, 0x2050, 0x00, 0x34},
        {"SHLD high byte", {0x22, 0x4F, 0x20}, {{RegHL, 0x1234}}, 0x2050, 0x2050, true, 0x2050, 0x00, 0x12},
        {"XTHL", {0xE3}, {{RegSP, 0x2050}, {RegHL, 0x1234}}, 0x2050, 0x2051, true, 0x2050, 0x00, 0x34},
        {"PUSH high byte first", {0xC5}, {{RegSP, 0x2052}, {RegBC, 0x1234}}, 0x2050, 0x2051, true, 0x2051, 0x00, 0x12},
        {"CALL pushes the return", {0xCD, 0x00, 0x09}, {{RegSP, 0x2052}}, 0x2050, 0x2050, true, 0x2050, 0x00, 0x03},
        {"RST", {0xFF}, {{RegSP, 0x2052}}, 0x2051, 0x2051, true, 0x2051, 0x00, 0x08},
        {"CZ not taken", {0xCC, 0x00, 0x09}, {{RegSP, 0x2052}}, 0x2050, 0x2051, false, 0, 0, 0},
        {"MOV A,M reads", {0x7E}, {{RegHL, 0x2050}}, 0x2050, 0x2050, false, 0, 0, 0},
        {"outside the range", {0x77}, {{RegHL, 0x2052}}, 0x2050, 0x2051, false, 0, 0, 0},
    };
    for (const WatchCase& c : cases) {
        std::vector<std::uint8_t> code = c.Code;
        code.push_back(0x76);
        auto session = MakeSession(code, c.Registers);
        // 0900H: HLT, where the calls go.
        session->Cpu->Memory[0x0900] = 0x76;
        int number = AddWatchpoint(*session, c.First, c.Last);
        StopReason stop = RunSession(*session);
        if (!c.Hit) {
            EXPECT_EQ(stop, StopHalt) << c.Name;
            continue;
        }
        ASSERT_EQ(stop, StopWatchpoint) << c.Name;
        EXPECT_EQ(session->Watch.Number, number) << c.Name;
        EXPECT_EQ(session->Watch.Address, c.Address) << c.Name;
        EXPECT_EQ(session->Watch.Old, c.Old) << c.Name;
        EXPECT_EQ(session->Watch.New, c.New) << c.Name;
        EXPECT_EQ(session->Watch.Writer, 0x0800) << c.Name;
        EXPECT_EQ(session->Address, session->Cpu->PC) << c.Name;
    }
}

TEST(Session, PausesWaitsForInputAndFeedsTheObserver)
{
    // IN 20H; HLT.
    auto session = MakeSession({0xDB, 0x20, 0x76});
    RequestPause(*session);
    EXPECT_EQ(RunSession(*session), StopPaused);
    EXPECT_EQ(session->Cpu->Steps, 0u);

    session->WaitForInput = true;
    EXPECT_EQ(RunSession(*session), StopInputWanted);
    EXPECT_EQ(session->Cpu->PC, 0x0800);
    QueuePortInput(*session, 0x20, {0x5A});
    std::vector<StepEventKind> kinds;
    session->Observer.Context = &kinds;
    session->Observer.Stepped = [](void* context, const Machine&, const StepEvent& event) {
        static_cast<std::vector<StepEventKind>*>(context)->push_back(event.Kind);
    };
    EXPECT_EQ(RunSession(*session), StopHalt);
    EXPECT_EQ(session->Cpu->A, 0x5A);
    EXPECT_EQ(kinds, (std::vector<StepEventKind>{EventInstruction, EventInstruction}));

    // Without waiting, an empty queue reads FFH and warns once, into the sink.
    std::string warnings;
    ResetSession(*session);
    session->WaitForInput = false;
    session->Warnings = StringSink(warnings);
    EXPECT_EQ(RunSession(*session), StopHalt);
    EXPECT_EQ(session->Cpu->A, 0xFF);
    EXPECT_EQ(warnings, "Simulator: warning: IN 20H at 0800H found no queued byte and reads FFH (see --in)\n");
}

} // namespace
