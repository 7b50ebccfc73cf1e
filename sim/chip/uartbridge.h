#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <deque>
#include <functional>
#include <memory>

class IOPIN;

// Joins the chip's RC7/RX and RC6/TX pins to bytes at 9600 baud 8N1: bytes queued for the
// chip are driven onto RX bit by bit in simulated time; TX is sampled in the middle of each
// bit and every whole byte is handed on.
class UartBridge {
public:
    using ByteOut = std::function<void(quint8 byte)>;

    UartBridge(IOPIN* rx, IOPIN* tx, double cyclesPerSecond, ByteOut out);
    ~UartBridge();

    void Send(const QByteArray& bytes);

private:
    struct Driver;
    struct Sampler;

    std::unique_ptr<Driver> m_driver;
    std::unique_ptr<Sampler> m_sampler;
};
