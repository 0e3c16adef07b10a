// Every message the first pass gives a user, each text in one place.
#include "pass1/Messages.h"

#include <cctype>
#include <cstdio>

#include "pass1/SourceLine.h"

namespace {

const std::size_t MaxShownLength = 80;

std::string Quoted(const std::string& text)
{
    return "'" + Printable(text) + "'";
}

std::string SignedText(std::uint16_t value)
{
    // Values are 16 bits; one that came from a negative number reads better as one.
    return value >= 0x8000u ? std::to_string(static_cast<int>(value) - 0x10000) : std::to_string(value);
}

} // namespace

std::string Printable(const std::string& text)
{
    std::string shown;
    for (std::size_t i = 0; i < text.size() && i < MaxShownLength; i++) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
        }
    }
    if (text.size() > MaxShownLength)
        shown += "...";
    return shown;
}

std::string UnknownOperationMessage(const std::string& name)
{
    return "unknown mnemonic or directive " + Quoted(name);
}

std::string OperandCountMessage(const std::string& operation, int wanted, int found)
{
    return operation + " takes " + std::to_string(wanted) + (wanted == 1 ? " operand" : " operands") + ", found "
        + std::to_string(found);
}

std::string NoItemsMessage(const std::string& operation)
{
    return operation + " takes at least one item";
}

std::string MissingOperandMessage()
{
    return "missing operand: two commas, or a comma at the start or end of the operands";
}

std::string BadRegisterMessage(const std::string& mnemonic, const std::string& operand)
{
    return mnemonic + " takes a register A, B, C, D, E, H, L or M, not " + Quoted(operand);
}

std::string BadPairMessage(const std::string& mnemonic, const char* pairs, const std::string& operand)
{
    return mnemonic + " takes the register pair " + pairs + ", not " + Quoted(operand);
}

std::string UndefinedSymbolMessage(const std::string& name)
{
    std::string message = "undefined symbol " + Printable(name);
    // FFH reads as a name: only a leading digit makes it a number.
    bool hexDigits = name.size() > 1 && (name.back() == 'H' || name.back() == 'h');
    for (std::size_t i = 0; hexDigits && i + 1 < name.size(); i++)
        hexDigits = std::isxdigit(static_cast<unsigned char>(name[i])) != 0;
    if (hexDigits)
        message += " (a hexadecimal number must start with a digit: 0" + name + ")";
    if (IsRegisterName(name))
        message += " (" + name + " is a register; a value is wanted here)";
    return message;
}

std::string CircularDefinitionMessage(const std::string& name)
{
    return "the value of " + Printable(name) + " depends on itself";
}

std::string DuplicateSymbolMessage(const std::string& name, int firstLine)
{
    return "symbol " + Printable(name) + " is already defined on line " + std::to_string(firstLine);
}

std::string DuplicateSymbolAtMessage(const std::string& name, const std::string& firstPlace)
{
    return "symbol " + Printable(name) + " is already defined at " + firstPlace;
}

std::string ReservedLabelMessage(const std::string& name, const char* kind)
{
    return Printable(name) + " is " + kind + " and cannot be a label";
}

std::string ShadowedNameWarning(const std::string& name, const char* kind)
{
    return Printable(name) + " is also " + kind + "; as a symbol it stands only in operands";
}

std::string UnsupportedCpuMessage(const std::string& cpu)
{
    return "CPU " + Printable(cpu) + " is not supported: this assembler knows the 8080 and the 8085";
}

std::string Only8085Message(const std::string& mnemonic)
{
    return mnemonic + " is an 8085 instruction, and the CPU line above chose the 8080";
}

std::string RelocatableMessage(const std::string& directive)
{
    return Printable(directive)
        + ": relocatable sections need a linker: not supported (later lines with it are not reported again)";
}

std::string NameTooLongMessage(const std::string& name)
{
    return "name " + Printable(name) + " has " + std::to_string(name.size()) + " characters; names have at most 63";
}

std::string ByteRangeMessage(std::uint16_t value)
{
    return "value " + SignedText(value) + " does not fit in a byte (-128 to 255)";
}

std::string RestartRangeMessage(std::uint16_t value)
{
    return "restart number " + SignedText(value) + " is outside 0 to 7";
}

std::string NumberTooLargeMessage(const std::string& text)
{
    return "number " + Printable(text) + " does not fit in 16 bits (largest 65535, 0FFFFH)";
}

std::string MalformedNumberMessage(const std::string& text)
{
    return "malformed number " + Printable(text);
}

std::string UnterminatedStringMessage()
{
    return "unterminated string";
}

std::string CharacterConstantMessage()
{
    return "a character constant in an expression holds one or two characters";
}

std::string ExpressionSyntaxMessage(const std::string& detail)
{
    return "syntax error in expression: " + detail;
}

std::string LineSyntaxMessage(const std::string& detail)
{
    return "syntax error: " + detail;
}

std::string DivisionByZeroMessage()
{
    return "division by zero";
}

std::string NotYetDefinedMessage(const std::string& directive, const std::string& name)
{
    return "the operand of " + directive + " uses " + Printable(name) + ", which is not defined before this line";
}

std::string AddressOverflowMessage()
{
    return "address beyond FFFFH";
}

std::string MissingNameMessage(const std::string& directive)
{
    return directive + " without a name";
}

std::string MovMemoryMemoryWarning()
{
    return "MOV M,M is encoded as 76H, which is HLT";
}

std::string UsageMessage()
{
    return "Usage: Assembler-Pass1 BASE (reads BASE.asm, writes BASE.pass1 and BASE.sym)";
}

std::string CannotReadMessage(const std::string& path, const std::string& reason)
{
    return "cannot read " + path + ": " + reason;
}

std::string CannotWriteMessage(const std::string& path, const std::string& reason)
{
    return "cannot write " + path + ": " + reason;
}

std::string OpcodeTableEmptyMessage(const std::string& path)
{
    return "the opcode table " + path + " holds no mnemonics";
}

std::string OpcodeSizeMessage(const std::string& path, const std::string& mnemonic, int size, int encoded)
{
    return "the opcode table " + path + " gives " + Printable(mnemonic) + " the size " + std::to_string(size)
        + ", but its encoding writes " + std::to_string(encoded) + (encoded == 1 ? " byte" : " bytes");
}

std::string OpenConditionalMessage(const std::string& endText)
{
    return "IF without ENDIF: " + endText + " comes first";
}

std::string UnmatchedConditionalMessage(const std::string& directive)
{
    return directive + " without IF";
}

std::string SecondElseMessage(const std::string& ifPlace)
{
    return "a second ELSE for the IF at " + ifPlace;
}

std::string ConditionNameMessage(const std::string& directive)
{
    return directive + " takes one name";
}

std::string ConditionPairMessage(const std::string& directive, int found)
{
    return directive + " takes two arguments (<a>,<b>), found " + std::to_string(found);
}

std::string OpenBodyMessage(const std::string& directive, const std::string& endText)
{
    return directive + " without ENDM: " + endText + " comes first";
}

std::string UnmatchedEndmMessage()
{
    return "ENDM without MACRO, REPT, IRP or IRPC";
}

std::string OutsideMacroMessage(const std::string& directive)
{
    return directive + " outside a macro";
}

std::string MacroNameMissingMessage()
{
    return "MACRO without a name";
}

std::string MacroNameReservedMessage(const std::string& name, const char* kind)
{
    return Printable(name) + " is " + kind + " and cannot name a macro";
}

std::string MacroNameTakenMessage(const std::string& name)
{
    return Printable(name) + " is already a symbol and cannot name a macro";
}

std::string MacroAsLabelMessage(const std::string& name)
{
    return Printable(name) + " is a macro and cannot be a label";
}

std::string ParameterNameMessage(const std::string& text)
{
    return "a macro parameter or LOCAL name must be a name, not " + Quoted(text);
}

std::string RepeatOperandsMessage(const std::string& directive)
{
    return directive + " takes a parameter name and a list";
}

std::string TooManyArgumentsMessage(const std::string& name, int wanted, int found)
{
    return Printable(name) + " takes " + std::to_string(wanted) + (wanted == 1 ? " argument" : " arguments")
        + ", found " + std::to_string(found);
}

std::string ExpansionDepthMessage(int limit, const std::string& name)
{
    return "expansions nested deeper than " + std::to_string(limit) + " levels at " + Printable(name)
        + " (a macro that calls itself without end?)";
}

std::string ExpandedLinesMessage(long limit)
{
    return "expansions made more than " + std::to_string(limit)
        + " lines (a repeat or recursion without end?); nothing more is expanded";
}

std::string LineTooLongMessage(std::size_t limit)
{
    return "a line made by substitution is longer than " + std::to_string(limit) + " characters";
}

std::string MissingFileNameMessage(const std::string& directive)
{
    return directive + " without a file name";
}

std::string IncludeNotFoundMessage(const std::string& name, const std::string& searched)
{
    return "cannot find include file " + Quoted(name) + " (looked in " + searched + ")";
}

std::string CannotReadIncludeMessage(const std::string& path, const std::string& reason)
{
    return "cannot read include file " + Printable(path) + ": " + reason;
}

std::string IncludeCircleMessage(const std::string& chain)
{
    return "include circle: " + chain;
}

std::string IncludeDepthMessage(int limit)
{
    return "include files nested deeper than " + std::to_string(limit);
}

std::string ExpansionStepText(const std::string& name, const std::string& place)
{
    return "in expansion of " + Printable(name) + " at " + place;
}

std::string IncludeStepText(const std::string& place)
{
    return "included from " + place;
}
