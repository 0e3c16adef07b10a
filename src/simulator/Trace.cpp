// The trace lines, built straight into a buffer that goes out a block at a
// time, and the instruction text with the program's names.
#include "simulator/Trace.h"

#include <cstring>

#include "output/Formats.h"
#include "simulator/HexText.h"

namespace {

// The width of the registers field: "A=05 B=00 C=00 D=00 E=00 H=00 L=00 SP=0000".
constexpr int RegistersWidth = 42;

void PutRegisters(char* at, const Machine& machine)
{
    static const char Names[] = "ABCDEHL";
    const std::uint8_t values[] = {machine.A, machine.B, machine.C, machine.D, machine.E, machine.H, machine.L};
    for (int i = 0; i < 7; i++, at += 5) {
        at[0] = Names[i];
        at[1] = '=';
        PutHexDigits(at + 2, values[i], 2);
        at[4] = ' ';
    }
    at[0] = 'S', at[1] = 'P', at[2] = '=';
    PutHexDigits(at + 3, machine.SP, 4);
}

void AppendPadded(std::string& out, const std::string& text, std::size_t width)
{
    out += text;
    if (text.size() < width)
        out.append(width - text.size(), ' ');
}

// " F=.ZAPC T=7" and the line end: the common tail of every step line.
void AppendFlagsAndTime(std::string& out, const Machine& after, std::uint64_t tStates)
{
    char tail[48] = " F=..... T=";
    std::string letters = FormatFlagLetters(after.Flags);
    letters.copy(tail + 3, 5);
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + tStates % 10);
        tStates /= 10;
    } while (tStates != 0);
    int length = 11;
    while (count > 0)
        tail[length++] = digits[--count];
    tail[length++] = '\n';
    out.append(tail, static_cast<std::size_t>(length));
}

void AppendRegisters(std::string& out, const Machine& after)
{
    char registers[RegistersWidth];
    PutRegisters(registers, after);
    out.append(registers, RegistersWidth);
}

// With the 8080's JMP at CBH and CALL at DDH, EDH and FDH.
bool IsJumpOrCall(std::uint8_t opcode, CpuModel model)
{
    bool alias = model == Cpu8080 && (opcode == 0xCB || (opcode & 0xCF) == 0xCD);
    return alias || opcode == 0xC3 || opcode == 0xCD || (opcode & 0xC7) == 0xC2 || (opcode & 0xC7) == 0xC4;
}

void ObserveStep(void* context, const Machine& after, const StepEvent& event)
{
    TraceWriter& writer = *static_cast<TraceWriter*>(context);
    if (!writer.Started) {
        if (event.Kind != EventInstruction || event.Address != writer.From)
            return;
        writer.Started = true;
    }
    if (writer.Count != 0 && writer.Written >= writer.Count)
        return;
    writer.Written++;
    if (writer.Symbols != nullptr && event.Kind == EventInstruction)
        AppendLabelLines(writer.Buffer, *writer.Symbols, event.Address);
    AppendTraceLine(writer.Buffer, after, event, writer.Symbols);
    if (writer.Out != nullptr)
        FlushBlock(*writer.Out, writer.Buffer, false);
}

} // namespace

void AppendLabelLines(std::string& out, const ProgramSymbols& symbols, std::uint16_t address)
{
    std::size_t first = 0, last = 0;
    FindLabelRange(symbols, address, first, last);
    for (std::size_t at = first; at < last; at++)
        out += symbols.Table.List[symbols.Labels[at]].Name + ":\n";
}

std::string FormatRegisters(const Machine& machine, bool withPC)
{
    char text[RegistersWidth + 8];
    PutRegisters(text, machine);
    std::string registers(text, RegistersWidth);
    if (withPC)
        registers += " PC=" + HexWord(machine.PC);
    return registers;
}

std::string FormatFlagLetters(std::uint8_t flags)
{
    static const struct {
        std::uint8_t Bit;
        char Letter;
    } Flags[] = {{FlagS, 'S'}, {FlagZ, 'Z'}, {FlagAC, 'A'}, {FlagP, 'P'}, {FlagCY, 'C'}};
    std::string text;
    for (const auto& flag : Flags)
        text += (flags & flag.Bit) ? flag.Letter : '.';
    return text;
}

int FormatInstruction(const std::uint8_t bytes[3], const ProgramSymbols* symbols, std::string& text, CpuModel model)
{
    char line[32];
    int length = DisassembleBytes(bytes, line, sizeof line, model);
    text = line;
    if (symbols != nullptr && IsJumpOrCall(bytes[0], model)) {
        const SourceSymbol* label = FindLabelAt(*symbols, static_cast<std::uint16_t>(bytes[1] | bytes[2] << 8));
        std::size_t space = text.find(' ');
        if (label != nullptr && space != std::string::npos)
            text.replace(space + 1, std::string::npos, label->Name);
    }
    return length;
}

void AppendTraceLine(std::string& out, const Machine& after, const StepEvent& event, const ProgramSymbols* symbols)
{
    if (event.Kind == EventInterrupt) {
        out += "----  ";
        std::string vector = HexWord(InterruptVector(event.Line, after.IntrOpcode));
        AppendPadded(out, std::string(InterruptName(event.Line)) + " taken, to " + vector + "H", 26);
    } else {
        std::uint16_t address = event.Kind == EventBdos ? BdosEntry : event.Address;
        std::string text = "BDOS " + std::to_string(event.Function);
        int length = event.Kind == EventBdos ? 0 : FormatInstruction(event.Bytes, symbols, text, after.Model);
        char head[16] = "      ";
        PutHexDigits(head, address, 4);
        char bytes[10];
        std::memset(bytes, ' ', sizeof bytes);
        for (int i = 0; i < length && i < 3; i++)
            PutHexDigits(bytes + 3 * i, event.Bytes[i], 2);
        out.append(head, 6);
        out.append(bytes, sizeof bytes);
        AppendPadded(out, text, 16);
    }
    AppendRegisters(out, after);
    AppendFlagsAndTime(out, after, event.TStates);
}

StepObserver TraceObserver(TraceWriter& writer)
{
    writer.Started = !writer.HasFrom;
    StepObserver observer;
    observer.Context = &writer;
    observer.Stepped = ObserveStep;
    return observer;
}

void FlushTrace(TraceWriter& writer)
{
    if (writer.Out != nullptr) {
        FlushBlock(*writer.Out, writer.Buffer, true);
        writer.Out->flush();
    }
}

TextSink TraceSink(TraceWriter& writer)
{
    TextSink sink;
    sink.Context = &writer;
    sink.Write = [](void* context, const char* text, std::size_t length) {
        static_cast<TraceWriter*>(context)->Buffer.append(text, length);
    };
    sink.Flush = [](void* context) { FlushTrace(*static_cast<TraceWriter*>(context)); };
    return sink;
}
