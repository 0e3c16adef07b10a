// The UART console: status bits from the console's typed bytes, data in and out.
#include "simulator/Uart.h"

bool ReadUart(const UartPorts& uart, ConsoleIo& console, std::uint8_t port, std::uint64_t step, std::uint8_t& value)
{
    if (!uart.Enabled)
        return false;
    if (port == uart.Status) {
        bool waiting = HasTypedByte(console);
        if (!waiting)
            NoteEmptyPoll(console, step);
        value = static_cast<std::uint8_t>((waiting ? uart.ReceiveReady : 0) | uart.TransmitReady);
        return true;
    }
    if (port == uart.Data) {
        value = HasTypedByte(console) ? TakeTypedByte(console) : 0;
        return true;
    }
    return false;
}

bool WriteUart(const UartPorts& uart, ConsoleIo& console, std::uint8_t port, std::uint8_t value)
{
    if (!uart.Enabled || port != uart.Data)
        return false;
    PrintConsoleByte(console, value);
    return true;
}
