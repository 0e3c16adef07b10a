// Every message the first pass gives a user, each text in one place, and the
// record that carries a message to the driver with its line.
#pragma once

#include <cstdint>
#include <string>

// An error or warning found on a line; the driver prints them in line order.
struct Diagnostic {
    int LineNumber;
    bool IsWarning;
    std::string Message;
};

// A name or text as it may appear in a message: bytes that are no printable
// ASCII are shown as \xNN, and a very long text is cut.
std::string Printable(const std::string& text);

std::string UnknownOperationMessage(const std::string& name);
std::string OperandCountMessage(const std::string& operation, int wanted, int found);
std::string NoItemsMessage(const std::string& operation);
std::string MissingOperandMessage();
std::string BadRegisterMessage(const std::string& mnemonic, const std::string& operand);
std::string BadPairMessage(const std::string& mnemonic, const char* pairs, const std::string& operand);
std::string UndefinedSymbolMessage(const std::string& name);
std::string CircularDefinitionMessage(const std::string& name);
std::string DuplicateSymbolMessage(const std::string& name, int firstLine);
std::string DuplicateSymbolAtMessage(const std::string& name, const std::string& firstPlace);
std::string ReservedLabelMessage(const std::string& name, const char* kind);
std::string ShadowedNameWarning(const std::string& name, const char* kind);
std::string UnsupportedCpuMessage(const std::string& cpu);
std::string Only8085Message(const std::string& mnemonic);
std::string RelocatableMessage(const std::string& directive);
std::string NameTooLongMessage(const std::string& name);
std::string ByteRangeMessage(std::uint16_t value);
std::string RestartRangeMessage(std::uint16_t value);
std::string NumberTooLargeMessage(const std::string& text);
std::string MalformedNumberMessage(const std::string& text);
std::string UnterminatedStringMessage();
std::string CharacterConstantMessage();
std::string ExpressionSyntaxMessage(const std::string& detail);
std::string LineSyntaxMessage(const std::string& detail);
std::string DivisionByZeroMessage();
std::string NotYetDefinedMessage(const std::string& directive, const std::string& name);
std::string AddressOverflowMessage();
std::string MissingNameMessage(const std::string& directive);
std::string MovMemoryMemoryWarning();

// Messages without a line: usage and I/O failures.
std::string UsageMessage();
std::string CannotReadMessage(const std::string& path, const std::string& reason);
std::string CannotWriteMessage(const std::string& path, const std::string& reason);
std::string OpcodeTableEmptyMessage(const std::string& path);
std::string OpcodeSizeMessage(const std::string& path, const std::string& mnemonic, int size, int encoded);

// The text layer: conditionals, macros, repeats and include files.
std::string OpenConditionalMessage(const std::string& endText);
std::string UnmatchedConditionalMessage(const std::string& directive);
std::string SecondElseMessage(const std::string& ifPlace);
std::string ConditionNameMessage(const std::string& directive);
std::string ConditionPairMessage(const std::string& directive, int found);
std::string OpenBodyMessage(const std::string& directive, const std::string& endText);
std::string UnmatchedEndmMessage();
std::string OutsideMacroMessage(const std::string& directive);
std::string MacroNameMissingMessage();
std::string MacroNameReservedMessage(const std::string& name, const char* kind);
std::string MacroNameTakenMessage(const std::string& name);
std::string MacroAsLabelMessage(const std::string& name);
std::string ParameterNameMessage(const std::string& text);
std::string RepeatOperandsMessage(const std::string& directive);
std::string TooManyArgumentsMessage(const std::string& name, int wanted, int found);
std::string ExpansionDepthMessage(int limit, const std::string& name);
std::string ExpandedLinesMessage(long limit);
std::string LineTooLongMessage(std::size_t limit);
std::string MissingFileNameMessage(const std::string& directive);
std::string IncludeNotFoundMessage(const std::string& name, const std::string& searched);
std::string CannotReadIncludeMessage(const std::string& path, const std::string& reason);
std::string IncludeCircleMessage(const std::string& chain);
std::string IncludeDepthMessage(int limit);
// The steps of the chain after a message: "in expansion of MOVE at prog.asm:45",
// "included from prog.asm:3".
std::string ExpansionStepText(const std::string& name, const std::string& place);
std::string IncludeStepText(const std::string& place);
