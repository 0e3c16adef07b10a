// The run in its fixed order: usage, log, opcode table, symbol table, the
// pass, then everything freed and the log closed. Nothing stops it early.
#include "driver/Run.h"

#include <iostream>
#include <string>

#include "driver/RunLog.h"
#include "opcodes/OpcodeTable.h"
#include "pass2/AssemblerPass2.h"
#include "symbols/SymbolTable.h"

const char* const RunLogPath = "etc/log-Pass2.txt";
const char* const OpcodeTablePath = "etc/opcodes.txt";
const char* const DefaultBaseName = "<filename>";

int RunAssembler(int argc, const char* const argv[])
{
    const char* baseName = DefaultBaseName;
    if (argc <= 1) {
        std::cout << "Usage: Assembler-Pass2 <filename>" << std::endl;
        std::cout << "Output will be in <filename>.o" << std::endl;
    } else {
        baseName = argv[1];
    }
    return RunPass2(baseName, OpcodeTablePath, RunLogPath);
}

int RunPass2(const char* baseName, const char* opcodeTablePath, const char* runLogPath)
{
    // A run in the same process as an earlier one starts from an empty list.
    CleanSymbolList(SymbolList);
    SymbolCount = 0;
    if (runLogPath != nullptr && runLogPath[0] != '\0')
        OpenRunLog(runLogPath); // a log that cannot be opened is lost without notice
    else
        CloseRunLog();
    LogStream << std::endl << "Reading Opcodes Table" << std::endl;
    OpcodeTableStructure* table = ReadOpcodeTable(opcodeTablePath);

    const std::string statementFile = std::string(baseName) + ".pass1";
    const std::string symbolFile = std::string(baseName) + ".sym";
    const std::string objectFile = std::string(baseName) + ".o";

    LogStream << "Reading Symbol Table From " << symbolFile << std::endl;
    ReadSymbolTable(SymbolList, symbolFile.c_str());
    LogStream << "Done with Symbol File" << std::endl;

    LogStream << std::endl << "Starting with Pass 2 on " << baseName << " Output to " << objectFile << std::endl;
    const bool objectWhole = AssemblerPass2(statementFile.c_str(), objectFile.c_str(), table);

    LogStream << std::endl << "Pass 2 completed" << std::endl;
    LogStream << std::endl << "Deleting Opcodes Table" << std::endl;
    delete[] table;
    _OpcodeCount = 0; // no count outlives its table
    CleanSymbolList(SymbolList);
    LogStream << "Symbol Table Cleaned" << std::endl;
    CloseRunLog();
    return objectWhole ? 0 : 1;
}
