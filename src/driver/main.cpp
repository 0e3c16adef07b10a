// Assembler-Pass2: the second pass of a two-pass 8085 assembler.
#include "driver/Run.h"

int main(int argc, char* argv[])
{
    return RunAssembler(argc, argv);
}
