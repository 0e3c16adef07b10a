// The fields of an object line, each shape formatted in one place. An object
// line is built in memory and written with its line end in one piece.
#pragma once

#include <cstdint>
#include <string>

// The address as "%02X" (for the log as well as the object line).
std::string FormatAddress(std::uint32_t address);

// Address field and field separator, the start of every object line.
void WriteAddressField(std::string& line, std::uint32_t address);
// "%02X": the opcode field.
void WriteOpcodeField(std::string& line, unsigned opcode);
// "  %02X": one operand byte of an instruction.
void WriteOperandByteField(std::string& line, unsigned byte);
// "%02X  ": one data byte of DB or DW.
void WriteDataByteField(std::string& line, unsigned byte);
// The mark that ends the line of an accepted instruction.
void WriteClosingMark(std::string& line);
