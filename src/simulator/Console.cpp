// The console: typed bytes in order, printed bytes passed on at once, the
// line editing of BDOS 10 and the CP/M console calls built on them.
#include "simulator/Console.h"

#include <cctype>

namespace {

constexpr std::uint8_t Return = 0x0D, LineFeed = 0x0A, Backspace = 0x08, Delete = 0x7F;
constexpr std::uint8_t CtrlC = 0x03, CtrlE = 0x05, CtrlP = 0x10, CtrlR = 0x12, CtrlU = 0x15, CtrlX = 0x18;
constexpr std::uint8_t EndOfFile = 0x1A;

// A control character shows as ^X, two columns wide.
std::string ShownKey(std::uint8_t key)
{
    if (key < 0x20)
        return std::string("^") + static_cast<char>(key + 0x40);
    return std::string(1, static_cast<char>(key));
}

std::string ErasedKey(std::uint8_t key)
{
    return key < 0x20 ? "\b \b\b \b" : "\b \b";
}

// What a CP/M function returns: in A and L, with B and H zero.
void SetResult(Machine& machine, std::uint8_t value)
{
    machine.A = machine.L = value;
    machine.B = machine.H = 0;
}

// Typed for BDOS 1: printable characters, CR, LF, tab and backspace show.
bool IsEchoed(std::uint8_t key)
{
    return key >= 0x20 || key == Return || key == LineFeed || key == '\t' || key == Backspace;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// Puts the finished line into the buffer: the count at DE+1, the text after it.
void StoreLine(ConsoleIo& console, Machine& machine)
{
    std::uint16_t buffer = static_cast<std::uint16_t>(machine.D << 8 | machine.E);
    const std::vector<std::uint8_t>& text = console.Line.Text;
    machine.Memory[static_cast<std::uint16_t>(buffer + 1)] = static_cast<std::uint8_t>(text.size());
    for (std::size_t i = 0; i < text.size(); i++)
        machine.Memory[static_cast<std::uint16_t>(buffer + 2 + i)] = text[i];
    console.Line.Active = false;
}

// A wait that finds the input at its end: answered up to MaxReadsPastEnd
// times, then the run ends.
bool MayAnswerEnd(ConsoleIo& console)
{
    return ++console.ReadsPastEnd <= MaxReadsPastEnd;
}

ConsoleCall ReadLine(ConsoleIo& console, Machine& machine)
{
    LineEditor& line = console.Line;
    if (!line.Active) {
        line.Active = true;
        line.Max = machine.Memory[static_cast<std::uint16_t>(machine.D << 8 | machine.E)];
        line.Text.clear();
        if (line.Max == 0) {
            StoreLine(console, machine);
            return CallServed;
        }
    }
    std::string echo;
    while (HasTypedByte(console)) {
        LineKey outcome = EditLine(line, TakeTypedByte(console), echo);
        if (outcome == LineGoesOn)
            continue;
        PrintConsole(console, echo.data(), echo.size());
        if (outcome == LineCancelled) {
            line.Active = false;
            return CallCancelled;
        }
        StoreLine(console, machine);
        return CallServed;
    }
    PrintConsole(console, echo.data(), echo.size());
    if (console.MoreMayCome) {
        console.Request = ConsoleWantsKey;
        return CallWaits;
    }
    if (!MayAnswerEnd(console)) {
        line.Active = false;
        console.Request = ConsoleInputSpent;
        return CallInputSpent;
    }
    PrintConsoleByte(console, Return);
    StoreLine(console, machine);
    return CallServed;
}

} // namespace

bool ParseConsoleText(const std::string& text, std::vector<std::uint8_t>& bytes)
{
    static const char Escapes[] = "r\rn\nt\t\\\\\"\"''0\0a\ab\be\x1B"
                                  "f\fv\v";
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); i++) {
        if (text[i] != '\\') {
            bytes.push_back(static_cast<std::uint8_t>(text[i]));
            continue;
        }
        if (++i == text.size())
            return false;
        char c = text[i];
        if (c == 'x') {
            int value = i + 1 < text.size() ? HexValue(text[i + 1]) : -1;
            if (value < 0)
                return false;
            i++;
            if (i + 1 < text.size() && HexValue(text[i + 1]) >= 0)
                value = value * 16 + HexValue(text[++i]);
            bytes.push_back(static_cast<std::uint8_t>(value));
            continue;
        }
        bool known = false;
        for (std::size_t e = 0; e + 1 < sizeof Escapes; e += 2) {
            if (Escapes[e] == c) {
                bytes.push_back(static_cast<std::uint8_t>(Escapes[e + 1]));
                known = true;
                break;
            }
        }
        if (!known)
            return false;
    }
    return true;
}

void QueueConsoleInput(ConsoleIo& console, const std::uint8_t* bytes, std::size_t count)
{
    for (std::size_t i = 0; i < count; i++) {
        std::uint8_t byte = bytes[i];
        if (byte == LineFeed) {
            if (console.AfterReturn) {
                console.AfterReturn = false;
                continue;
            }
            byte = Return;
        } else {
            console.AfterReturn = byte == Return;
        }
        console.Typed.push_back(byte);
    }
}

bool HasTypedByte(const ConsoleIo& console)
{
    return console.TypedRead < console.Typed.size();
}

std::uint8_t TakeTypedByte(ConsoleIo& console)
{
    std::uint8_t byte = console.Typed[console.TypedRead++];
    if (console.TypedRead == console.Typed.size()) {
        console.Typed.clear();
        console.TypedRead = 0;
    }
    console.EmptyPolls = 0;
    return byte;
}

bool InputEnded(const ConsoleIo& console)
{
    return !HasTypedByte(console) && !console.MoreMayCome;
}

void PrintConsole(ConsoleIo& console, const char* bytes, std::size_t count)
{
    if (count == 0)
        return;
    if (console.Out != nullptr && console.Out->Write != nullptr) {
        console.Out->Write(console.Out->Context, bytes, count);
        FlushText(*console.Out);
    }
    console.Printed = true;
    console.AtLineStart = bytes[count - 1] == '\n';
    console.EmptyPolls = 0;
}

void PrintConsoleByte(ConsoleIo& console, std::uint8_t byte)
{
    char c = static_cast<char>(byte);
    PrintConsole(console, &c, 1);
}

bool NoteEmptyPoll(ConsoleIo& console, std::uint64_t step)
{
    console.PollsSinceCheck++;
    if (InputEnded(console)) {
        if (++console.EmptyPolls < MaxPollsPastEnd)
            return false;
        console.Request = ConsoleInputSpent;
        return true;
    }
    if (console.Checked && step - console.LastCheckStep < PollCheckSteps)
        return false;
    console.Request = ConsoleWantsPoll;
    return true;
}

void NoteInputChecked(ConsoleIo& console, std::uint64_t step)
{
    console.Checked = true;
    console.LastCheckStep = step;
    console.PollsSinceCheck = 0;
    console.Request = ConsoleGoesOn;
}

LineKey EditLine(LineEditor& line, std::uint8_t key, std::string& echo)
{
    std::vector<std::uint8_t>& text = line.Text;
    switch (key) {
    case Return:
    case LineFeed:
        echo += '\r';
        return LineDone;
    case Backspace:
    case Delete:
        if (!text.empty()) {
            echo += ErasedKey(text.back());
            text.pop_back();
        }
        return LineGoesOn;
    case CtrlU:
        echo += "#\r\n";
        text.clear();
        return LineGoesOn;
    case CtrlX:
        for (std::size_t i = text.size(); i-- > 0;)
            echo += ErasedKey(text[i]);
        text.clear();
        return LineGoesOn;
    case CtrlR:
        echo += "#\r\n";
        for (std::uint8_t shown : text)
            echo += ShownKey(shown);
        return LineGoesOn;
    case CtrlE:
        echo += "\r\n";
        return LineGoesOn;
    case CtrlP: // the printer echo: there is no printer
        return LineGoesOn;
    case CtrlC:
        if (text.empty()) {
            echo += "^C";
            return LineCancelled;
        }
        break;
    default:
        break;
    }
    text.push_back(key);
    echo += ShownKey(key);
    if (text.size() < line.Max)
        return LineGoesOn;
    echo += '\r';
    return LineDone;
}

ConsoleCall ServeConsoleCall(ConsoleIo& console, Machine& machine, std::uint8_t function)
{
    switch (function) {
    case 1:
        if (HasTypedByte(console)) {
            std::uint8_t key = TakeTypedByte(console);
            if (IsEchoed(key))
                PrintConsoleByte(console, key);
            SetResult(machine, key);
            return CallServed;
        }
        if (console.MoreMayCome) {
            console.Request = ConsoleWantsKey;
            return CallWaits;
        }
        if (!MayAnswerEnd(console)) {
            console.Request = ConsoleInputSpent;
            return CallInputSpent;
        }
        SetResult(machine, EndOfFile);
        return CallServed;
    case 2:
        PrintConsoleByte(console, machine.E);
        return CallServed;
    case 6:
        if (machine.E != 0xFF) {
            PrintConsoleByte(console, machine.E);
            return CallServed;
        }
        if (HasTypedByte(console)) {
            SetResult(machine, TakeTypedByte(console));
            return CallServed;
        }
        if (NoteEmptyPoll(console, machine.Steps))
            return console.Request == ConsoleInputSpent ? CallInputSpent : CallWaits;
        SetResult(machine, 0);
        return CallServed;
    case 9: {
        // Up to '$', and never more than all of memory.
        std::string text;
        std::uint16_t address = static_cast<std::uint16_t>(machine.D << 8 | machine.E);
        for (std::uint32_t count = 0; count < 0x10000 && machine.Memory[address] != '$'; count++)
            text += static_cast<char>(machine.Memory[address++]);
        PrintConsole(console, text.data(), text.size());
        return CallServed;
    }
    case 10:
        return ReadLine(console, machine);
    case 11:
        if (HasTypedByte(console)) {
            SetResult(machine, 0xFF);
            return CallServed;
        }
        if (NoteEmptyPoll(console, machine.Steps))
            return console.Request == ConsoleInputSpent ? CallInputSpent : CallWaits;
        SetResult(machine, 0);
        return CallServed;
    case 12:
        SetResult(machine, 0x22);
        return CallServed;
    default:
        return CallNotConsole;
    }
}
