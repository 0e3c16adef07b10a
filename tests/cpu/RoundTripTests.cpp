// Every opcode disassembled and assembled again gives the same bytes: the
// trace's text is source the assembler takes back.
#ifdef CPU_TESTS_WITH_ASSEMBLER
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "cpu/Machine.h"
#include "front/Front.h"

TEST(Disassembler, EveryOpcodeAssemblesBackToItsBytes)
{
    // Each opcode with two operand patterns, so both digits of each operand
    // byte take letters and numbers.
    const std::uint8_t operands[][2] = {{0x34, 0x12}, {0xAF, 0xFE}};
    auto machine = std::make_unique<Machine>();
    ResetMachine(*machine, 0);
    std::vector<std::uint8_t> expected;
    std::string source = "        ORG 0100H\n";
    for (const auto& operand : operands) {
        for (int opcode = 0; opcode < 256; ++opcode) {
            machine->Memory[0] = static_cast<std::uint8_t>(opcode);
            machine->Memory[1] = operand[0];
            machine->Memory[2] = operand[1];
            char text[32];
            int length = DisassembleInstruction(*machine, 0, text, sizeof text);
            expected.insert(expected.end(), machine->Memory, machine->Memory + length);
            source += std::string("        ") + text + "\n";
        }
    }
    source += "        END\n";

    char directory[] = "/tmp/cpu-roundtrip-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    std::string base = std::string(directory) + "/all";
    std::ofstream(base + ".asm") << source;
    FrontOptions options;
    options.Source = base + ".asm";
    AssemblyResult result;
    std::ostringstream errors;
    int status = AssembleSource(options, result, errors);
    for (const char* extension : {".asm", ".pass1", ".sym", ".o"}) {
        std::remove((base + extension).c_str());
    }
    rmdir(directory);

    ASSERT_EQ(status, 0) << errors.str();
    ASSERT_EQ(result.Image.ByteCount, static_cast<int>(expected.size()));
    for (std::size_t index = 0; index < expected.size(); ++index) {
        ASSERT_EQ(result.Image.Bytes[0x0100 + index], expected[index]) << "byte " << index;
    }
}
#endif
