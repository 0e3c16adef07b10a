// Assembler: one command from 8085 source to Intel HEX, binary and listing.
#include <iostream>

#include "front/Front.h"

int main(int argc, char* argv[])
{
    return RunFront(argc, argv, std::cout, std::cerr);
}
