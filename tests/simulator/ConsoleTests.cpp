// The console devices: the CP/M console calls and their line editing, the
// --input text, the UARTs, the SID/SOD serial line, the time's unit, the
// session's stops for input and reading a pipe, worked out by hand.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include <unistd.h>

#include "simulator/Console.h"
#include "simulator/SerialLine.h"
#include "simulator/Session.h"
#include "simulator/Terminal.h"
#include "simulator/TimeText.h"
#include "simulator/Uart.h"

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

TEST(ConsoleText, ReadsCEscapesAndRefusesBadOnes)
{
    const struct {
        const char* Text;
        bool Good;
        std::string Bytes;
    } cases[] = {
        {"plain", true, "plain"},
        {"a\\r\\n\\t\\\\\\\"\\'", true, "a\r\n\t\\\"'"},
        {"\\x1A\\x41z\\xfg", true, std::string("\x1A") + "Az\x0Fg"},
        {"\\0\\e\\a\\b\\f\\v", true, std::string("\0\x1B\a\b\f\v", 6)},
        {"", true, ""},
        {"end\\", false, ""},
        {"\\q", false, ""},
        {"\\x", false, ""},
        {"\\xZ1", false, ""},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> bytes;
        EXPECT_EQ(ParseConsoleText(c.Text, bytes), c.Good) << c.Text;
        if (c.Good) {
            EXPECT_EQ(bytes, Bytes(c.Bytes)) << c.Text;
        }
    }
}

TEST(ConsoleInput, TurnsLineFeedsIntoReturnsAcrossChunks)
{
    ConsoleIo console;
    const std::string chunks[] = {"a\n", "b\r", "\nc\r\r", "\n\n"};
    for (const std::string& chunk : chunks)
        QueueConsoleInput(console, reinterpret_cast<const std::uint8_t*>(chunk.data()), chunk.size());
    std::string typed;
    while (HasTypedByte(console))
        typed += static_cast<char>(TakeTypedByte(console));
    // CR LF is one CR, even split between two chunks; LF alone is CR.
    EXPECT_EQ(typed, "a\rb\rc\r\r\r");
    EXPECT_TRUE(InputEnded(console));
}

TEST(ConsoleLine, EditsAsCpmDoes)
{
    const struct {
        const char* Keys;
        std::uint8_t Max;
        LineKey Last;
        std::string Text, Echo;
    } cases[] = {
        {"ab\r", 10, LineDone, "ab", "ab\r"},
        {"ab\n", 10, LineDone, "ab", "ab\r"},
        {"abc\b\x7F" "d\r", 10, LineDone, "ad", "abc\b \b\b \bd\r"},
        {"\b\r", 10, LineDone, "", "\r"},
        {"ab\x15" "c\r", 10, LineDone, "c", "ab#\r\nc\r"},
        {"a\x01\x18" "b\r", 10, LineDone, "b", "a^A\b \b\b \b\b \bb\r"},
        {"a\x01\b\r", 10, LineDone, "a", "a^A\b \b\b \b\r"},
        {"ab\x12" "c\r", 10, LineDone, "abc", "ab#\r\nabc\r"},
        {"a\x05" "b\x10\r", 10, LineDone, "ab", "a\r\nb\r"},
        {"\x03", 10, LineCancelled, "", "^C"},
        {"a\x03\r", 10, LineDone, "a\x03", "a^C\r"},
        {"abc", 3, LineDone, "abc", "abc\r"},
        {"ab", 3, LineGoesOn, "ab", "ab"},
    };
    for (const auto& c : cases) {
        LineEditor line;
        line.Active = true;
        line.Max = c.Max;
        std::string echo;
        LineKey last = LineGoesOn;
        for (const char* key = c.Keys; *key != '\0' && last == LineGoesOn; key++)
            last = EditLine(line, static_cast<std::uint8_t>(*key), echo);
        EXPECT_EQ(last, c.Last) << c.Keys;
        EXPECT_EQ(std::string(line.Text.begin(), line.Text.end()), c.Text) << c.Keys;
        EXPECT_EQ(echo, c.Echo) << c.Keys;
    }
}

struct CallCase {
    const char* Name;
    std::string Typed;
    bool MoreMayCome;
    std::uint8_t Function, E;
    ConsoleCall Call;
    int A; // -1: not set
    std::string Printed;
    std::string Line; // BDOS 10: the count byte and the text at 0201H
};

TEST(ConsoleCalls, ServeTheCpmConsoleFunctions)
{
    const CallCase cases[] = {
        {"1 echoes", "x", false, 1, 0, CallServed, 'x', "x", ""},
        {"1 keeps controls quiet", "\x01", false, 1, 0, CallServed, 0x01, "", ""},
        {"1 at the end", "", false, 1, 0, CallServed, 0x1A, "", ""},
        {"1 waits", "", true, 1, 0, CallWaits, -1, "", ""},
        {"2 prints", "", false, 2, 'A', CallServed, -1, "A", ""},
        {"6 reads quietly", "q", false, 6, 0xFF, CallServed, 'q', "", ""},
        {"6 finds nothing", "", false, 6, 0xFF, CallServed, 0, "", ""},
        {"6 looks at the source", "", true, 6, 0xFF, CallWaits, -1, "", ""},
        {"6 prints", "", false, 6, 'B', CallServed, -1, "B", ""},
        {"11 ready", "k", false, 11, 0, CallServed, 0xFF, "", ""},
        {"11 idle", "", false, 11, 0, CallServed, 0, "", ""},
        {"12 version", "", false, 12, 0, CallServed, 0x22, "", ""},
        {"10 line", "hi\r", false, 10, 0, CallServed, -1, "hi\r", "\x02hi"},
        {"10 full", "abcdef", false, 10, 0, CallServed, -1, "abcd\r", "\x04" "abcd"},
        {"10 ended", "ab", false, 10, 0, CallServed, -1, "ab\r", "\x02" "ab"},
        {"10 waits", "ab", true, 10, 0, CallWaits, -1, "ab", ""},
        {"10 cancelled", "\x03", false, 10, 0, CallCancelled, -1, "^C", ""},
        {"15 is no console call", "", false, 15, 0, CallNotConsole, -1, "", ""},
    };
    for (const CallCase& c : cases) {
        std::unique_ptr<Machine> machine(new Machine());
        ResetMachine(*machine, 0);
        machine->E = c.E;
        machine->D = 0x02;
        machine->Memory[0x0200] = 4; // BDOS 10 at DE=0200H (E 0): up to 4 characters
        machine->B = machine->H = 0x55;
        std::string printed;
        TextSink out = StringSink(printed);
        ConsoleIo console;
        console.Out = &out;
        console.MoreMayCome = c.MoreMayCome;
        QueueConsoleInput(console, reinterpret_cast<const std::uint8_t*>(c.Typed.data()), c.Typed.size());
        EXPECT_EQ(ServeConsoleCall(console, *machine, c.Function), c.Call) << c.Name;
        if (c.A >= 0) {
            EXPECT_EQ(machine->A, c.A) << c.Name;
            EXPECT_EQ(machine->L, c.A) << c.Name;
            EXPECT_EQ(machine->B | machine->H, 0) << c.Name;
        }
        EXPECT_EQ(printed, c.Printed) << c.Name;
        for (std::size_t i = 0; i < c.Line.size(); i++)
            EXPECT_EQ(machine->Memory[0x0201 + i], static_cast<std::uint8_t>(c.Line[i])) << c.Name << " byte " << i;
    }
}

TEST(ConsoleCalls, StopAProgramThatKeepsReadingAfterTheEnd)
{
    std::unique_ptr<Machine> machine(new Machine());
    ResetMachine(*machine, 0);
    std::string printed;
    TextSink out = StringSink(printed);
    ConsoleIo console;
    console.Out = &out;
    for (std::uint64_t i = 0; i < MaxReadsPastEnd; i++)
        ASSERT_EQ(ServeConsoleCall(console, *machine, 1), CallServed);
    EXPECT_EQ(ServeConsoleCall(console, *machine, 1), CallInputSpent);
    EXPECT_EQ(console.Request, ConsoleInputSpent);

    // Polls: a million in a row with nothing printed between them.
    ConsoleIo polled;
    polled.Out = &out;
    for (std::uint64_t i = 1; i < MaxPollsPastEnd; i++) {
        ASSERT_EQ(ServeConsoleCall(polled, *machine, 11), CallServed);
        if (i == MaxPollsPastEnd / 2)
            ServeConsoleCall(polled, *machine, 2); // printing starts the count again
    }
    EXPECT_EQ(ServeConsoleCall(polled, *machine, 11), CallServed);
    machine->E = 0xFF;
    for (std::uint64_t i = 1; i < MaxPollsPastEnd / 2; i++)
        ASSERT_EQ(ServeConsoleCall(polled, *machine, 6), CallServed);
    EXPECT_EQ(ServeConsoleCall(polled, *machine, 6), CallInputSpent);
}

TEST(ConsoleCalls, LookAtALiveSourceEveryFewThousandInstructions)
{
    ConsoleIo console;
    console.MoreMayCome = true;
    // The first poll looks at once; then not before PollCheckSteps more.
    EXPECT_TRUE(NoteEmptyPoll(console, 500));
    NoteInputChecked(console, 500);
    EXPECT_FALSE(NoteEmptyPoll(console, 501));
    EXPECT_FALSE(NoteEmptyPoll(console, 500 + PollCheckSteps - 1));
    EXPECT_EQ(console.PollsSinceCheck, 2u);
    EXPECT_TRUE(NoteEmptyPoll(console, 500 + PollCheckSteps));
    EXPECT_EQ(console.Request, ConsoleWantsPoll);
}

TEST(ConsoleUart, ShowsTheReadyBitsOfEachKind)
{
    UartPorts i8251 = {true, 0x20, 0x21, I8251ReceiveReady, I8251TransmitReady};
    const struct {
        UartPorts Uart;
        std::uint8_t Idle, Waiting; // the status without and with a typed byte
    } cases[] = {
        {Altair2Sio, 0x02, 0x03},
        {i8251, 0x01, 0x03},
        {{true, 0x00, 0x01, 0x40, 0x80}, 0x80, 0xC0},
    };
    for (const auto& c : cases) {
        std::string printed;
        TextSink out = StringSink(printed);
        ConsoleIo console;
        console.Out = &out;
        std::uint8_t value = 0;
        ASSERT_TRUE(ReadUart(c.Uart, console, c.Uart.Status, 0, value));
        EXPECT_EQ(value, c.Idle);
        ASSERT_TRUE(ReadUart(c.Uart, console, c.Uart.Data, 0, value));
        EXPECT_EQ(value, 0);
        QueueConsoleInput(console, reinterpret_cast<const std::uint8_t*>("k"), 1);
        ReadUart(c.Uart, console, c.Uart.Status, 0, value);
        EXPECT_EQ(value, c.Waiting);
        ReadUart(c.Uart, console, c.Uart.Data, 0, value);
        EXPECT_EQ(value, 'k');
        EXPECT_FALSE(ReadUart(c.Uart, console, static_cast<std::uint8_t>(c.Uart.Status + 7), 0, value));
        EXPECT_TRUE(WriteUart(c.Uart, console, c.Uart.Data, 'z'));
        EXPECT_FALSE(WriteUart(c.Uart, console, c.Uart.Status, 'y'));
        EXPECT_EQ(printed, "z");
    }
    ConsoleIo console;
    std::uint8_t value = 0;
    EXPECT_FALSE(ReadUart(UartPorts(), console, 0, 0, value));
}

// What a program bit-banging SOD does: a frame of byte from start, each bit
// bitTime T-states, with stopBits stop bits.
void SendFrame(SerialLine& line, std::uint64_t start, std::uint64_t bitTime, std::uint8_t byte, int stopBits,
    std::string& decoded)
{
    SetSod(line, start, false, decoded);
    for (int bit = 0; bit < 8; bit++)
        SetSod(line, start + (1 + bit) * bitTime, ((byte >> bit) & 1) != 0, decoded);
    SetSod(line, start + 9 * bitTime, true, decoded);
    (void)stopBits; // the stop bits are the line left high
}

TEST(ConsoleSerial, DecodesSodAtEachBaud)
{
    // At 3.072 MHz a bit is 27927.27 T-states at 110 baud (the program
    // takes 27927), 1280 at 2400 and 320 at 9600.
    const struct {
        std::uint32_t Baud;
        std::uint64_t BitTime;
        int StopBits;
    } cases[] = {{110, 27927, 2}, {2400, 1280, 1}, {9600, 320, 1}, {9600, 321, 2}};
    for (const auto& c : cases) {
        SerialLine line;
        SetUpSerialLine(line, c.Baud, 3072);
        std::string decoded;
        SetSod(line, 100, true, decoded); // the program sets the line idle
        std::uint64_t start = 5000;
        for (char byte : std::string("Hi\x00\xFF\r\n", 6)) {
            SendFrame(line, start, c.BitTime, static_cast<std::uint8_t>(byte), c.StopBits, decoded);
            start += (9 + c.StopBits) * c.BitTime;
        }
        FinishSod(line, decoded);
        EXPECT_EQ(decoded, std::string("Hi\x00\xFF\r\n", 6)) << c.Baud;
        EXPECT_EQ(TakeSodFailure(line, 3072), "") << c.Baud;
    }
}

TEST(ConsoleSerial, NamesTheBitTimeOfALineThatDoesNotDecode)
{
    const struct {
        std::uint32_t Baud;      // decoded at
        std::uint64_t BitTime;   // sent with
        const char* Message;
    } cases[] = {
        {9600, 1280,
            "Simulator: warning: SOD does not decode at 9600 baud (320 T-states a bit at 3.072 MHz); the program's bits "
            "seem to be 1280 T-states long (about 2400 baud)\n"},
        {2400, 320,
            "Simulator: warning: SOD does not decode at 2400 baud (1280 T-states a bit at 3.072 MHz); the program's "
            "bits seem to be 320 T-states long (about 9600 baud)\n"},
    };
    for (const auto& c : cases) {
        SerialLine line;
        SetUpSerialLine(line, c.Baud, 3072);
        std::string decoded;
        SetSod(line, 100, true, decoded);
        for (int i = 0; i < 4; i++)
            SendFrame(line, 5000 + i * 11 * c.BitTime, c.BitTime, 'U', 1, decoded);
        FinishSod(line, decoded);
        EXPECT_EQ(TakeSodFailure(line, 3072), c.Message);
        EXPECT_EQ(TakeSodFailure(line, 3072), "") << "said once";
    }
}

TEST(ConsoleSerial, SendsTypedBytesOnSidWhenTheProgramWaits)
{
    SerialLine line;
    SetUpSerialLine(line, 9600, 3072); // 320 T-states a bit
    std::string printed;
    TextSink out = StringSink(printed);
    ConsoleIo console;
    console.Out = &out;
    QueueConsoleInput(console, reinterpret_cast<const std::uint8_t*>("A"), 1); // 41H: 1 0 0 0 0 0 1 0
    // (T-state, level): the frame starts at the first look, 1000.
    const struct {
        std::uint64_t TStates;
        bool Level;
    } samples[] = {
        {1000, false}, {1160, false}, {1319, false}, {1320, true}, {1480, true}, {1640, false}, {3080, false},
        {3240, true}, {3560, false}, {3880, true}, {4199, true}, {4200, true}, {9000, true},
    };
    for (const auto& sample : samples)
        EXPECT_EQ(SampleSid(line, console, sample.TStates, 0), sample.Level) << sample.TStates;
    EXPECT_GE(console.PollsSinceCheck, 2u) << "the idle line after the frame is a poll";
}

TEST(ConsoleTime, ChoosesAFittingUnit)
{
    const struct {
        std::uint64_t TStates;
        std::uint32_t ClockKHz;
        const char* Text;
    } cases[] = {
        {2244, 3072, "730.469 us at 3.072 MHz"},
        {30719, 3072, "9999.674 us at 3.072 MHz"},
        {30720, 3072, "10.000 ms at 3.072 MHz"},
        {4678656, 3072, "1523.000 ms at 3.072 MHz"},
        {30719997, 3072, "9999.999 ms at 3.072 MHz"},
        {30719999, 3072, "10.0 s at 3.072 MHz"},
        {131174400, 3072, "42.7 s at 3.072 MHz"},
        {100000000000ull * 18, 1, "1800000000.0 s at 0.001 MHz"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatTime(c.TStates, c.ClockKHz), c.Text) << c.TStates;
}

std::unique_ptr<Session> MakeConsoleSession(const std::vector<std::uint8_t>& code, bool cpm, std::string& printed)
{
    LoadedProgram program;
    ClearImage(program.Image);
    std::vector<ObjectFault> faults;
    std::uint16_t start = cpm ? 0x0100 : 0x0000;
    PlaceBytes(program.Image, 1, start, code, faults);
    auto session = std::make_unique<Session>();
    session->Options.Cpm = cpm;
    session->Options.Uart = cpm ? UartPorts() : Altair2Sio;
    session->Io.MoreMayCome = true; // as a front end with a live source sets it
    std::ostringstream errors;
    EXPECT_TRUE(SetUpSession(*session, program, start, errors)) << errors.str();
    session->Console = StringSink(printed);
    return session;
}

TEST(ConsoleSession, StopsForInputAndGoesOnOnceItIsQueued)
{
    // MVI C,1; CALL 5; MOV B,A; MVI C,1; CALL 5; JMP 0.
    std::string printed;
    auto session = MakeConsoleSession(
        {0x0E, 0x01, 0xCD, 0x05, 0x00, 0x47, 0x0E, 0x01, 0xCD, 0x05, 0x00, 0xC3, 0x00, 0x00}, true, printed);
    EXPECT_EQ(RunSession(*session), StopInputWanted);
    EXPECT_EQ(session->Address, BdosEntry);
    EXPECT_EQ(session->Io.Waiting, ConsoleWantsKey);
    QueueConsoleInput(session->Io, reinterpret_cast<const std::uint8_t*>("k"), 1);
    EXPECT_EQ(RunSession(*session), StopInputWanted);
    EXPECT_EQ(session->Cpu->B, 'k');
    // The source ends: the second read gets Ctrl-Z and the program goes on.
    session->Io.MoreMayCome = false;
    EXPECT_EQ(RunSession(*session), StopWarmBoot);
    EXPECT_EQ(session->Cpu->A, 0x1A);
    EXPECT_EQ(printed, "k");
}

TEST(ConsoleSession, StopsAPollingProgramToLookForInput)
{
    // WAIT: IN 10H; ANI 01H; JZ WAIT; IN 11H; HLT (the 2SIO at 0000H).
    std::string printed;
    auto session =
        MakeConsoleSession({0xDB, 0x10, 0xE6, 0x01, 0xCA, 0x00, 0x00, 0xDB, 0x11, 0x76}, false, printed);
    EXPECT_EQ(RunSession(*session), StopInputWanted);
    EXPECT_EQ(session->Io.Waiting, ConsoleWantsPoll);
    EXPECT_LT(session->Cpu->PC, 0x0007) << "still in the loop";
    NoteInputChecked(session->Io, session->Cpu->Steps);
    QueueConsoleInput(session->Io, reinterpret_cast<const std::uint8_t*>("z"), 1);
    EXPECT_EQ(RunSession(*session), StopHalt);
    EXPECT_EQ(session->Cpu->A, 'z');
}

TEST(ConsoleTerminal, FetchesWhatAPipeBringsAndItsEnd)
{
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    LiveInput input;
    OpenLiveInput(input, ends[0]);
    EXPECT_FALSE(input.IsTerminal);
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(FetchInput(input, bytes, 0), FetchNothing);
    ASSERT_EQ(write(ends[1], "ab", 2), 2);
    EXPECT_EQ(FetchInput(input, bytes, 1000), FetchGot);
    EXPECT_EQ(bytes, Bytes("ab"));
    close(ends[1]);
    EXPECT_EQ(FetchInput(input, bytes, 1000), FetchEnded);
    RestoreTerminal(input); // nothing to put back
    close(ends[0]);
}

} // namespace
