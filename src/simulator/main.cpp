// Simulator: runs an 8085 program and shows or checks what it did.
#include <iostream>

#include "simulator/Simulator.h"

int main(int argc, char* argv[])
{
    std::ios::sync_with_stdio(false);
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunSimulator(arguments, std::cin, std::cout, std::cerr, true);
}
