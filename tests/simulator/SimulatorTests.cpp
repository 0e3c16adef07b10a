// The simulator around the core: the option parser, the loaders, the report
// fields and whole runs, each as a table of cases worked out by hand.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <unistd.h>

#include "simulator/Loader.h"
#include "simulator/Options.h"
#include "simulator/Report.h"
#include "simulator/Simulator.h"

namespace {

// A file with the given name ending, removed again at the end of the test.
struct NamedTempFile {
    std::string Path;
    NamedTempFile(const std::string& extension, const std::string& contents)
    {
        static int counter = 0;
        Path = "/tmp/simulator-unit-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + extension;
        std::ofstream(Path, std::ios::binary) << contents;
    }
    ~NamedTempFile() { std::remove(Path.c_str()); }
};

struct OptionCase {
    std::vector<std::string> Arguments;
    const char* Message; // null: the arguments are good
    std::function<bool(const SimOptions&)> Holds;
};

TEST(SimulatorOptions, ReadsEveryOptionAndRefusesBadValues)
{
    const OptionCase cases[] = {
        {{"prog.hex"}, nullptr,
            [](const SimOptions& o) {
                return o.File == "prog.hex" && o.MaxSteps == 10000000 && o.ClockKHz == 3072 && o.Fill == 0
                    && !o.HasStart;
            }},
        {{"--start", "0800H", "p.o"}, nullptr, [](const SimOptions& o) { return o.HasStart && o.Start == 0x800; }},
        {{"--start=2048", "p.o"}, nullptr, [](const SimOptions& o) { return o.Start == 0x800 && o.File == "p.o"; }},
        {{"--fill", "0FFH"}, nullptr, [](const SimOptions& o) { return o.Fill == 0xFF; }},
        {{"--fill", "256"}, "bad value '256' for --fill", nullptr},
        {{"--set", "2050H=1,2,11111111B"}, nullptr,
            [](const SimOptions& o) {
                return o.Sets.size() == 1 && o.Sets[0].Address == 0x2050
                    && o.Sets[0].Bytes == std::vector<std::uint8_t>{1, 2, 0xFF};
            }},
        {{"--set", "0FFFFH=1,2"}, "for --set", nullptr},
        {{"--set", "2050H="}, "for --set", nullptr},
        {{"--set", "2050H=1,,2"}, "for --set", nullptr},
        {{"--reg", "hl=1234H", "--reg", "A=05", "--reg", "flags=0D5H", "--reg", "F=1"}, nullptr,
            [](const SimOptions& o) {
                return o.Registers.size() == 4 && o.Registers[0].Register == RegHL && o.Registers[0].Value == 0x1234
                    && o.Registers[1].Register == RegA && o.Registers[1].Value == 5
                    && o.Registers[2].Register == RegFlags && o.Registers[3].Register == RegFlags;
            }},
        {{"--reg", "A=100H"}, "for --reg", nullptr},
        {{"--reg", "X=1"}, "for --reg", nullptr},
        {{"--in", "20H=1,2", "--in", "20H=3"}, nullptr,
            [](const SimOptions& o) {
                return o.Inputs.size() == 2 && o.Inputs[1].Port == 0x20 && o.Inputs[1].Bytes[0] == 3;
            }},
        {{"--in", "100H=1"}, "for --in", nullptr},
        {{"--sid", "1"}, nullptr, [](const SimOptions& o) { return o.HasSerialIn && o.SerialIn; }},
        {{"--sid", "2"}, "for --sid", nullptr},
        {{"--interrupt", "rst7.5@100", "--interrupt", "TRAP@0"}, nullptr,
            [](const SimOptions& o) {
                return o.Interrupts.size() == 2 && o.Interrupts[0].Line == Rst75 && o.Interrupts[0].Step == 100
                    && o.Interrupts[1].Line == Trap && o.Interrupts[1].Step == 0;
            }},
        {{"--interrupt", "NMI@1"}, "for --interrupt", nullptr},
        // INTR carries the RST on the bus, by name or opcode; RST 7 unless told.
        {{"--interrupt", "INTR@5", "--interrupt", "intr:rst5@7", "--interrupt", "INTR:0CFH@9"}, nullptr,
            [](const SimOptions& o) {
                return o.Interrupts.size() == 3 && o.Interrupts[0].Line == Intr && o.Interrupts[0].Restart == 0xFF
                    && o.Interrupts[1].Restart == 0xEF && o.Interrupts[1].Step == 7 && o.Interrupts[2].Restart == 0xCF;
            }},
        {{"--interrupt", "INTR:RST8@1"}, "for --interrupt", nullptr},
        {{"--interrupt", "INTR:3EH@1"}, "for --interrupt", nullptr},
        {{"--interrupt", "TRAP:RST1@1"}, "for --interrupt", nullptr},
        {{"--cpu", "8080", "--interrupt", "INTR:RST2@0"}, nullptr,
            [](const SimOptions& o) { return o.Model == Cpu8080 && o.Interrupts[0].Restart == 0xD7; }},
        {{"--cpu", "8085"}, nullptr, [](const SimOptions& o) { return o.Model == Cpu8085; }},
        {{"--cpu", "Z80"}, "bad value 'Z80' for --cpu", nullptr},
        // Checked once every option is read, whatever their order.
        {{"--interrupt", "RST7.5@1", "--cpu", "8080"}, "the 8080 has no TRAP or RST 5.5/6.5/7.5 input", nullptr},
        {{"--cpu", "8080", "--sid", "1"}, "the 8080 has no SID and SOD lines", nullptr},
        {{"--serial-baud", "9600", "--cpu", "8080"}, "the 8080 has no SID and SOD lines", nullptr},
        {{"--interrupt", "TRAP@x"}, "for --interrupt", nullptr},
        {{"--clock", "2"}, nullptr, [](const SimOptions& o) { return o.ClockKHz == 2000; }},
        {{"--clock", "6.144"}, nullptr, [](const SimOptions& o) { return o.ClockKHz == 6144; }},
        {{"--clock", "0.5"}, nullptr, [](const SimOptions& o) { return o.ClockKHz == 500; }},
        {{"--clock", "0"}, "for --clock", nullptr},
        {{"--clock", "1.2345"}, "for --clock", nullptr},
        {{"--clock", "."}, "for --clock", nullptr},
        {{"--dump", "2000H-200FH"}, nullptr,
            [](const SimOptions& o) {
                return o.Dumps.size() == 1 && o.Dumps[0].First == 0x2000 && o.Dumps[0].Last == 0x200F;
            }},
        {{"--dump", "2010H-2000H"}, "for --dump", nullptr},
        {{"--expect", "A=5", "--expect", "2050H=1,2", "--expect-out", "10H=5", "--expect-cycles", "85"}, nullptr,
            [](const SimOptions& o) {
                return o.Expectations.size() == 4 && o.Expectations[0].Kind == ExpectRegister
                    && o.Expectations[1].Kind == ExpectMemory && o.Expectations[1].Memory.Bytes.size() == 2
                    && o.Expectations[2].Kind == ExpectOut && o.Expectations[3].Kind == ExpectCycles
                    && o.Expectations[3].Cycles == 85;
            }},
        {{"--expect", "SP=10000H"}, "for --expect", nullptr},
        {{"--max-steps", "1000"}, nullptr, [](const SimOptions& o) { return o.MaxSteps == 1000; }},
        {{"--max-steps", "0"}, "for --max-steps", nullptr},
        {{"--max-steps", "1000000000000000"}, "for --max-steps", nullptr},
        {{"--max-steps", "1e6"}, "for --max-steps", nullptr},
        {{"--bogus"}, "unknown option '--bogus'", nullptr},
        {{"-x"}, "unknown option '-x'", nullptr},
        {{"a.o", "b.o"}, "more than one program file", nullptr},
        {{"--start"}, "--start needs a value", nullptr},
        {{"--trace=1"}, "--trace takes no value", nullptr},
        {{"--trace", "--cpm", "x.com"}, nullptr, [](const SimOptions& o) { return o.Trace && o.Cpm; }},
        {{"--input", "ab\\r", "--input=\\x1A"}, nullptr,
            [](const SimOptions& o) {
                return o.HasConsoleInput && o.ConsoleInput == std::vector<std::uint8_t>{'a', 'b', 0x0D, 0x1A};
            }},
        {{"--input", "\\x"}, "bad value '\\x' for --input", nullptr},
        {{"--uart", "2SIO"}, nullptr,
            [](const SimOptions& o) {
                return o.Uart.Enabled && o.Uart.Data == 0x11 && o.Uart.Status == 0x10 && o.Uart.ReceiveReady == 1
                    && o.Uart.TransmitReady == 2;
            }},
        {{"--uart", "8251,0F0H,0F1H"}, nullptr,
            [](const SimOptions& o) {
                return o.Uart.Data == 0xF0 && o.Uart.Status == 0xF1 && o.Uart.ReceiveReady == 2
                    && o.Uart.TransmitReady == 1;
            }},
        {{"--uart", "0,1"}, nullptr,
            [](const SimOptions& o) {
                return o.Uart.Data == 0 && o.Uart.Status == 1 && o.Uart.ReceiveReady == 1 && o.Uart.TransmitReady == 2;
            }},
        {{"--uart", "3,2,80H,1"}, nullptr,
            [](const SimOptions& o) { return o.Uart.ReceiveReady == 0x80 && o.Uart.TransmitReady == 1; }},
        {{"--uart", "1,1"}, "for --uart", nullptr},
        {{"--uart", "1,2,0,1"}, "for --uart", nullptr},
        {{"--uart", "1,2,3"}, "for --uart", nullptr},
        {{"--uart", "8251,1"}, "for --uart", nullptr},
        {{"--uart", "100H,1"}, "for --uart", nullptr},
        {{"--serial-baud", "9600"}, nullptr, [](const SimOptions& o) { return o.SerialBaud == 9600; }},
        {{"--serial-baud", "0"}, "for --serial-baud", nullptr},
        {{"--serial-baud", "1000001"}, "for --serial-baud", nullptr},
    };
    for (const OptionCase& c : cases) {
        SimOptions options;
        std::ostringstream errors;
        bool ok = ParseSimOptions(c.Arguments, options, errors);
        std::string label = c.Arguments[0] + (c.Arguments.size() > 1 ? " " + c.Arguments[1] : "");
        if (c.Message == nullptr) {
            EXPECT_TRUE(ok) << label << ": " << errors.str();
            EXPECT_TRUE(c.Holds(options)) << label;
        } else {
            EXPECT_FALSE(ok) << label;
            EXPECT_NE(errors.str().find(c.Message), std::string::npos) << label << ": " << errors.str();
            EXPECT_EQ(errors.str().rfind("Simulator: error: ", 0), 0u) << label;
        }
    }
}

struct LoadCase {
    const char* Extension;
    std::string Contents;
    const char* Message;   // null: loads
    std::uint16_t Address; // where Bytes must be
    std::vector<std::uint8_t> Bytes;
    int Start; // -1: no start address
};

TEST(SimulatorLoader, ReadsObjectAndHexFilesAndRefusesFaults)
{
    const std::vector<std::uint8_t> program{0x3E, 0x05, 0x76};
    const LoadCase cases[] = {
        // Intel HEX: MVI A,05H; HLT at 0800H, the end record naming the start.
        {".hex", ":030800003E05763C\n:00080001F7\n", nullptr, 0x800, program, 0x800},
        {".HEX", ":030800003E05763C\r\n:00000001FF\r\n", nullptr, 0x800, program, -1},
        {".hex", ":020000040000FA\n:0400000500000800EF\n:030800003E05763C\n:00000001FF\n", nullptr, 0x800, program,
            0x800},
        {".hex", ":030800003E05763C\n:00000001FF\ngarbage after the end\n", nullptr, 0x800, program, -1},
        {".hex", ":030800003E05763D\n:00000001FF\n", ":1: error: not an Intel HEX record, or its checksum is wrong", 0,
            {}, -1},
        {".hex", ":030800003E05763C\n", ":1: error: no end-of-file record", 0, {}, -1},
        {".hex", ":030800003E05763C\n:01080200767F\n:00000001FF\n",
            ":2: error: writes over address 0802H, loaded already from line 1", 0, {}, -1},
        {".hex", ":02FFFF000102FD\n:00000001FF\n", ":1: error: bytes run past FFFFH", 0, {}, -1},
        {".hex", ":020000040001F9\n:00000001FF\n", ":1: error: an extended address beyond 64 KiB", 0, {}, -1},
        {".hex", "hello\n", ":1: error: not an Intel HEX record", 0, {}, -1},
        {".hex", ":00000001\n", ":1: error: not an Intel HEX record", 0, {}, -1},
        {".hex", ":0200000001FF\n", ":1: error: not an Intel HEX record", 0, {}, -1},
        {".hex", ":00000007F9\n", ":1: error: an Intel HEX record of unknown type 07H", 0, {}, -1},
        {".hex", "", ":1: error: no end-of-file record", 0, {}, -1},
        // Object files: an instruction line, a data line; then the faults.
        {".o", "#Everything is Hexadecimal\n800 \t 3E  05\t\t*\n802 \t 76\t\t*\n803 \t 01  02  \n", nullptr, 0x800,
            {0x3E, 0x05, 0x76, 0x01, 0x02}, -1},
        {".o", "#Everything is Hexadecimal\n800 \t 3E\n", ":2: error: the second pass rejected this statement", 0, {},
            -1},
        {".o", "#Everything is Hexadecimal\n800 \t \t\t*\n", ":2: error: the second pass did not identify", 0, {}, -1},
        {".o", "800 \t 3E  05\t\t*\n", ":1: error: not an object file", 0, {}, -1},
        {".o", "#Everything is Hexadecimal\n800 \t 3E  05\t\t*\n801 \t 76\t\t*\n",
            ":3: error: writes over address 0801H, loaded already from line 2", 0, {}, -1},
        {".o", "#Everything is Hexadecimal\n10000 \t 76\t\t*\n", ":2: error: address is past FFFFH", 0, {}, -1},
    };
    for (const LoadCase& c : cases) {
        NamedTempFile file(c.Extension, c.Contents);
        LoadedProgram loaded;
        std::ostringstream errors;
        bool ok = FindProgramKind(file.Path) == KindHex ? LoadIntelHex(file.Path, loaded, errors)
                                                        : LoadObjectFile(file.Path, loaded, errors);
        if (c.Message != nullptr) {
            EXPECT_FALSE(ok) << c.Contents;
            EXPECT_EQ(errors.str().find(file.Path + c.Message), 0u) << c.Contents << errors.str();
            continue;
        }
        ASSERT_TRUE(ok) << c.Contents << errors.str();
        EXPECT_EQ(loaded.Image.ByteCount, static_cast<int>(c.Bytes.size())) << c.Contents;
        for (std::size_t i = 0; i < c.Bytes.size(); i++)
            EXPECT_EQ(loaded.Image.Bytes[c.Address + i], c.Bytes[i]) << c.Contents << " byte " << i;
        EXPECT_EQ(loaded.HasStart ? loaded.Start : -1, c.Start) << c.Contents;
    }
}

TEST(SimulatorLoader, PlacesBinariesWhereAskedAndNotPastTheEnd)
{
    NamedTempFile file(".bin", std::string("\x01\x02\x03", 3));
    LoadedProgram loaded;
    std::ostringstream errors;
    EXPECT_TRUE(LoadBinary(file.Path, 0xFFFD, loaded, errors)) << errors.str();
    EXPECT_EQ(loaded.Image.Bytes[0xFFFF], 3);
    EXPECT_EQ(loaded.Image.Lowest, 0xFFFD);
    EXPECT_FALSE(LoadBinary(file.Path, 0xFFFE, loaded, errors));
    EXPECT_NE(errors.str().find("3 bytes loaded at FFFEH run past FFFFH"), std::string::npos) << errors.str();
    EXPECT_FALSE(LoadBinary("/nonexistent/prog.bin", 0, loaded, errors));
    EXPECT_NE(errors.str().find("Simulator: error: cannot open '/nonexistent/prog.bin'"), std::string::npos);
}

// A folder opens but cannot be read: each loader refuses it with a message.
TEST(SimulatorLoader, RefusesAFolder)
{
    LoadedProgram loaded;
    std::ostringstream errors;
    EXPECT_FALSE(LoadObjectFile("/", loaded, errors));
    EXPECT_FALSE(LoadIntelHex("/", loaded, errors));
    EXPECT_FALSE(LoadBinary("/", 0, loaded, errors));
    const std::string refusal = "Simulator: error: cannot read '/'\n";
    EXPECT_EQ(errors.str(), refusal + refusal + refusal);
}

TEST(SimulatorReport, FormatsTimeFlagsAndDumps)
{
    // 85 T at 3.072 MHz is 27669.27 ns; the delay loop's 3584 T are 1166666.67 ns.
    EXPECT_EQ(FormatTime(85, 3072), "27.669 us at 3.072 MHz");
    EXPECT_EQ(FormatTime(3584, 3072), "1166.667 us at 3.072 MHz");
    EXPECT_EQ(FormatTime(5, 6144), "0.814 us at 6.144 MHz");
    EXPECT_EQ(FormatTime(12, 2500), "4.800 us at 2.500 MHz");
    EXPECT_EQ(FormatTime(0, 3072), "0.000 us at 3.072 MHz");
    EXPECT_EQ(FormatFlagLetters(0xD7), "SZAPC");
    EXPECT_EQ(FormatFlagLetters(0x44), ".Z.P.");
    EXPECT_EQ(FormatFlagLetters(0x02), ".....");

    std::unique_ptr<Machine> machine(new Machine);
    ResetMachine(*machine, 0);
    const char text[] = "Hello, 8085!\x01\x7F~ A";
    for (std::size_t i = 0; i + 1 < sizeof text; i++)
        machine->Memory[0x2000 + i] = static_cast<std::uint8_t>(text[i]);
    std::ostringstream out;
    WriteDump(*machine, DumpRange{0x2000, 0x2011}, out);
    EXPECT_EQ(out.str(),
        "Memory 2000H-2011H:\n"
        "2000  48 65 6C 6C 6F 2C 20 38 30 38 35 21 01 7F 7E 20  Hello, 8085!..~ \n"
        "2010  41 00"
            + std::string(14 * 3, ' ') + "  A.\n");
}

TEST(SimulatorReport, DumpsTheLastRowOfMemory)
{
    std::unique_ptr<Machine> machine(new Machine());
    ResetMachine(*machine, 0x41);
    std::ostringstream out;
    WriteDump(*machine, DumpRange{0xFFF8, 0xFFFF}, out);
    EXPECT_EQ(
        out.str(), "Memory FFF8H-FFFFH:\nFFF8  41 41 41 41 41 41 41 41" + std::string(8 * 3, ' ') + "  AAAAAAAA\n");
}

TEST(SimulatorRun, AnswersHelpAndVersionWithoutAProgram)
{
    std::ostringstream out, errors;
    EXPECT_EQ(RunSimulator({"--help"}, out, errors), 0);
    EXPECT_EQ(out.str().rfind("Usage: Simulator [options] FILE", 0), 0u);
    EXPECT_NE(out.str().find("  --expect-cycles N"), std::string::npos);
    std::ostringstream version;
    EXPECT_EQ(RunSimulator({"--version"}, version, errors), 0);
    EXPECT_EQ(version.str().rfind("Simulator ", 0), 0u);
    EXPECT_EQ(errors.str(), "");
}

struct RunCase {
    const char* Name;
    std::vector<std::uint8_t> Program; // loaded at 0800H (--cpm: 0100H)
    std::vector<std::string> Arguments;
    int Status;
    std::vector<std::string> Report; // lines the report must hold
    std::string Console;             // --cpm: standard output exactly
    const char* Error;               // on standard error, or null
};

TEST(SimulatorRun, StopsChecksAndReportsAsWorkedOutByHand)
{
    const RunCase cases[] = {
        {"halt", {0x3E, 0x05, 0x76}, {"--expect", "A=5", "--expect-cycles", "12"}, 0,
            {"Stopped: HLT at 0802H", "Instructions: 2", "T-states: 12", "Checks: 2 passed, 0 failed",
                "  passed: A: expected 05H, actual 05H", "  passed: T-states: expected 12, actual 12"},
            "", nullptr},
        {"failed check", {0x3E, 0x05, 0x76}, {"--expect", "A=6", "--expect", "0800H=3EH,5"}, 1,
            {"Checks: 1 passed, 1 failed", "  failed: A: expected 06H, actual 05H",
                "  passed: 0800H: expected 3EH 05H, actual 3EH 05H"},
            "", nullptr},
        {"no halt", {0xC3, 0x00, 0x08}, {"--max-steps", "100", "--expect", "A=0"}, 3,
            {"Stopped: no HLT within 100 instructions (--max-steps), PC 0800H", "Instructions: 100", "T-states: 1000"},
            "", nullptr},
        {"undocumented", {0x00, 0x08}, {}, 1, {"Stopped: undocumented opcode 08H at 0801H", "Instructions: 1"}, "",
            "Simulator: error: undocumented opcode 08H at 0801H"},
        {"breakpoint", {0x00, 0x00, 0x00, 0x76}, {"--break", "0802H", "--break", "0800H"}, 0,
            {"Stopped: breakpoint at 0802H", "Instructions: 2"}, "", nullptr},
        // IN 20H twice with one byte queued: the second reads FFH.
        {"input", {0xDB, 0x20, 0x47, 0xDB, 0x20, 0x76}, {"--in", "20H=7", "--expect", "BC=0700H"}, 0,
            {"Registers: A=FF B=07 C=00 D=00 E=00 H=00 L=00 SP=0000 PC=0806",
                "  passed: BC: expected 0700H, actual 0700H"},
            "", "Simulator: warning: IN 20H at 0803H found no queued byte and reads FFH"},
        // MVI A,41H; OUT 10H; OUT 11H; OUT 10H; HLT.
        {"output", {0x3E, 0x41, 0xD3, 0x10, 0xD3, 0x11, 0xD3, 0x10, 0x76},
            {"--expect-out", "10H=41H,41H", "--expect-out", "12H=1"}, 1,
            {"OUT: 3", "  port 10H: 41", "  port 11H: 41", "  passed: OUT 10H: expected 41H 41H, actual 41H 41H",
                "  failed: OUT 12H: expected 01H, actual nothing"},
            "", nullptr},
        // NOP; JMP 0800H with TRAP after 3 instructions: NOP 4, JMP 10, NOP 4,
        // TRAP 12 (pushes 0801H), HLT at 0024H 5.
        {"trap", {0x00, 0xC3, 0x00, 0x08}, {"--interrupt", "TRAP@3", "--set", "24H=76H"}, 0,
            {"Stopped: HLT at 0024H", "Instructions: 5", "T-states: 35", "Memory changed: 2", "  FFFEH: 00 -> 01",
                "  FFFFH: 00 -> 08"},
            "", nullptr},
        {"trap traced", {0x00, 0xC3, 0x00, 0x08}, {"--interrupt", "TRAP@1", "--set", "24H=76H", "--trace"}, 0,
            {"0800  00        NOP             A=00 B=00 C=00 D=00 E=00 H=00 L=00 SP=0000 F=..... T=4",
                "----  TRAP taken, to 0024H      A=00 B=00 C=00 D=00 E=00 H=00 L=00 SP=FFFE F=..... T=12",
                "0024  76        HLT             A=00 B=00 C=00 D=00 E=00 H=00 L=00 SP=FFFE F=..... T=5",
                "Stopped: HLT at 0024H"},
            "", nullptr},
        // Interrupts stay disabled: the raised lines are never taken.
        {"never taken", {0x00, 0x76}, {"--interrupt", "RST5.5@0", "--interrupt", "RST7.5@1"}, 0,
            {"Interrupts: IE=0 M7.5=1 M6.5=1 M5.5=1 SID=0 SOD=0 pending: RST7.5 RST5.5", "Instructions: 2"}, "",
            nullptr},
        // MVI A,08H; SIM (unmask all); EI; HLT: the HLT waits for RST 7.5 at 003CH.
        {"halt waits", {0x3E, 0x08, 0x30, 0xFB, 0x76}, {"--interrupt", "RST7.5@1000", "--set", "3CH=76H"}, 0,
            {"Stopped: HLT at 003CH", "Instructions: 6", "T-states: 37", "SIM: 1", "  08H: masks M7.5=0 M6.5=0 M5.5=0",
                "Interrupts: IE=0 M7.5=0 M6.5=0 M5.5=0 SID=0 SOD=0"},
            "", nullptr},
        // Registers set before the run; F keeps only the five flags.
        {"registers", {0x76},
            {"--reg", "BC=1234H", "--reg", "SP=2000H", "--reg", "F=0FFH", "--reg", "a=80H", "--expect", "F=0FFH",
                "--expect", "SP=2000H", "--start", "0800H"},
            0,
            {"Registers: A=80 B=12 C=34 D=00 E=00 H=00 L=00 SP=2000 PC=0801", "Flags: S=1 Z=1 AC=1 P=1 CY=1",
                "  passed: F: expected D5H, actual D5H", "  passed: SP: expected 2000H, actual 2000H"},
            "", nullptr},
        // As an 8080: NOP as 08H (4), JMP 0805H as 0CBH (10), HLT (7).
        {"8080 aliases", {0x08, 0xCB, 0x05, 0x08, 0x00, 0x76}, {"--cpu", "8080", "--expect-cycles", "21", "--trace"},
            0,
            {"CPU: 8080", "0800  08        NOP             A=00 B=00 C=00 D=00 E=00 H=00 L=00 SP=0000 F=..... T=4",
                "0801  CB 05 08  JMP 0805H       A=00 B=00 C=00 D=00 E=00 H=00 L=00 SP=0000 F=..... T=10",
                "0805  76        HLT             A=00 B=00 C=00 D=00 E=00 H=00 L=00 SP=0000 F=..... T=7",
                "Stopped: HLT at 0805H", "Interrupts: IE=0", "Instructions: 3", "OUT: 0",
                "  passed: T-states: expected 21, actual 21"},
            "", nullptr},
        // EI; HLT: the HLT waits for INTR with RST 1 on the bus, to the HLT at
        // 0008H. 8080: 4 + 7 + 11 + 7; 8085: 4 + 5 + 12 + 5.
        {"intr 8080", {0xFB, 0x76}, {"--cpu", "8080", "--interrupt", "INTR:RST1@100", "--set", "8=76H", "--trace"}, 0,
            {"CPU: 8080", "----  INTR taken, to 0008H      A=00 B=00 C=00 D=00 E=00 H=00 L=00 SP=FFFE F=..... T=11",
                "Stopped: HLT at 0008H", "Instructions: 4", "T-states: 29"},
            "", nullptr},
        {"intr 8085", {0xFB, 0x76}, {"--interrupt", "INTR:RST1@100", "--set", "8=76H"}, 0,
            {"Stopped: HLT at 0008H", "Interrupts: IE=0 M7.5=1 M6.5=1 M5.5=1 SID=0 SOD=0", "Instructions: 4",
                "T-states: 26"},
            "", nullptr},
        // MVI C,9; LXI D,010BH; CALL 5; JMP 0; "Hi$".
        {"cpm string", {0x0E, 0x09, 0x11, 0x0B, 0x01, 0xCD, 0x05, 0x00, 0xC3, 0x00, 0x00, 'H', 'i', '$'}, {"--cpm"}, 0,
            {}, "Hi", "Stopped: warm boot (jump to 0000H)"},
        // MVI C,2; MVI E,'A'; CALL 5; RET: the RET reaches 0000H.
        {"cpm char", {0x0E, 0x02, 0x1E, 'A', 0xCD, 0x05, 0x00, 0xC9}, {"--cpm"}, 0, {}, "A",
            "Stopped: warm boot (jump to 0000H)"},
        // MVI C,0FH (open a file, not served); CALL 5; JMP 0.
        {"cpm unserved", {0x0E, 0x0F, 0xCD, 0x05, 0x00, 0xC3, 0x00, 0x00}, {"--cpm"}, 0, {"Instructions: 5"}, "",
            "Simulator: warning: BDOS function 15 is not served (only 0, 1, 2, 6, 9, 10, 11 and 12); it returns at "
            "once"},
        // MVI C,0; CALL 5.
        {"cpm reset", {0x0E, 0x00, 0xCD, 0x05, 0x00}, {"--cpm"}, 0, {}, "", "Stopped: BDOS function 0"},
    };
    for (const RunCase& c : cases) {
        bool cpm = !c.Arguments.empty() && c.Arguments[0] == "--cpm";
        NamedTempFile file(cpm ? ".com" : ".bin", std::string(c.Program.begin(), c.Program.end()));
        std::vector<std::string> arguments = c.Arguments;
        if (!cpm) {
            arguments.push_back("--load");
            arguments.push_back("0800H");
        }
        arguments.push_back(file.Path);
        std::ostringstream out, errors;
        EXPECT_EQ(RunSimulator(arguments, out, errors), c.Status) << c.Name << "\n" << out.str() << errors.str();
        std::string report = "\n" + (cpm ? errors : out).str();
        for (const std::string& line : c.Report)
            EXPECT_NE(report.find("\n" + line + "\n"), std::string::npos) << c.Name << ": " << line << "\n" << report;
        if (cpm) {
            EXPECT_EQ(out.str(), c.Console) << c.Name;
        }
        if (c.Error != nullptr) {
            EXPECT_NE(errors.str().find(c.Error), std::string::npos) << c.Name << ": " << errors.str();
        } else {
            EXPECT_EQ(errors.str(), "") << c.Name;
        }
    }
}

} // namespace
