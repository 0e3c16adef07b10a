// A serial console on two ports, as a board's UART shows it to the program:
// a status port with "receive ready" and "transmit ready" bits, a data port.
#pragma once

#include <cstdint>

#include "simulator/Console.h"

struct UartPorts {
    bool Enabled = false;
    std::uint8_t Data = 0, Status = 0;
    std::uint8_t ReceiveReady = 0, TransmitReady = 0; // status bits
};

// The Altair 88-2SIO's 6850: status (and control) at 10H, data at 11H; RDRF
// is bit 0, TDRE bit 1. The same bits are the default of --uart DATA,STATUS.
constexpr UartPorts Altair2Sio = {true, 0x11, 0x10, 0x01, 0x02};
// The Intel 8251: RxRDY is bit 1, TxRDY bit 0.
constexpr std::uint8_t I8251ReceiveReady = 0x02, I8251TransmitReady = 0x01;

// IN of a port: true with the value when the port is the UART's. The status
// shows "receive ready" while a typed byte waits and "transmit ready" always;
// the data port takes the byte (00H when none waits). A status read that
// finds nothing counts as a poll of the console at the given step.
bool ReadUart(const UartPorts& uart, ConsoleIo& console, std::uint8_t port, std::uint64_t step, std::uint8_t& value);
// OUT of the data port prints the byte; true when it did.
bool WriteUart(const UartPorts& uart, ConsoleIo& console, std::uint8_t port, std::uint8_t value);
