#pragma once

#include <QtGlobal>
#include <functional>
#include <memory>

#include "uartbridge.h"

class DeviceMemory;
class Processor;

// A PIC16F877A simulated instruction by instruction by gpsim, its USART pins joined to a
// byte-level bridge. One model per process: gpsim keeps its state in globals.
class ChipModel {
public:
    using PortWrite = std::function<void(quint8 value)>;

    ChipModel();
    ~ChipModel();

    // Creates the processor with the memory of the image; the clock follows the image's
    // oscillator bits (XT: 4 MHz, otherwise 20 MHz). False when gpsim cannot make one.
    // Every write to PORTB and every byte the chip sends are handed on.
    bool Load(const DeviceMemory& image, const PortWrite& onPortB, const UartBridge::ByteOut& onTx);
    // Runs the chip for so many seconds of simulated time.
    void Run(double seconds);
    double Seconds() const;
    UartBridge& Uart() { return *m_uart; }
    // Flash and EEPROM as the chip holds them now; the rest as loaded.
    void ReadBack(DeviceMemory& memory) const;

private:
    Processor* m_cpu = nullptr;
    std::unique_ptr<UartBridge> m_uart;
};
