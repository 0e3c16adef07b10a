// Assembler-Pass1: the first pass of a two-pass 8085 assembler, from source
// to the statement and symbol files of the second pass.
#include <iostream>
#include <string>

#include "pass1/Messages.h"
#include "pass1/Pass1.h"

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << UsageMessage() << "\n";
        return 2;
    }
    const std::string base = argv[1];
    Pass1Paths paths{base + ".asm", base + ".pass1", base + ".sym", "etc/opcodes.txt", "etc/log-Pass1.txt"};
    Pass1Result result;
    return RunPass1(paths, result, std::cerr);
}
