// Assembler-Pass1: the first pass of a two-pass 8085 assembler, from source
// to the statement and symbol files of the second pass.
#include <iostream>
#include <string>
#include <vector>

#include "pass1/Messages.h"
#include "pass1/Pass1.h"

int main(int argc, char* argv[])
{
    // Assembler-Pass1 [-I DIR]... BASE
    std::vector<std::string> includeDirectories;
    std::string base;
    int arguments = 0;
    for (int i = 1; i < argc; i++) {
        std::string word = argv[i];
        if (word == "-I" && i + 1 < argc)
            includeDirectories.push_back(argv[++i]);
        else if (word.size() > 2 && word.compare(0, 2, "-I") == 0)
            includeDirectories.push_back(word.substr(2));
        else {
            base = word;
            arguments++;
        }
    }
    if (arguments != 1 || (argc > 1 && std::string(argv[argc - 1]) == "-I")) {
        std::cerr << UsageMessage() << "\n";
        return 2;
    }
    Pass1Paths paths{base + ".asm", base + ".pass1", base + ".sym", "etc/opcodes.txt", "etc/log-Pass1.txt"};
    paths.IncludeDirectories = includeDirectories;
    Pass1Result result;
    return RunPass1(paths, result, std::cerr);
}
