#include "uartbridge.h"

#include <gpsim/gpsim_time.h>
#include <gpsim/ioports.h>
#include <gpsim/stimuli.h>

#include <cmath>

namespace {
constexpr double kBaud = 9600.0;
constexpr double kHigh = 5.0;
constexpr double kThreshold = 2.5;

guint64 Now() {
    return get_cycles().get();
}
}  // namespace

// Drives the RX line: idle high, then start bit, eight data bits and a stop bit per byte.
struct UartBridge::Driver : public stimulus, public TriggerObject {
    Driver(IOPIN* pin, double cyclesPerBit)
        : stimulus("kestrel_rx_driver", kHigh, 100.0), m_cyclesPerBit(cyclesPerBit) {
        bDriving = true;
        m_node.attach_stimulus(pin);
        m_node.attach_stimulus(this);
        m_node.update();
    }
    ~Driver() override { m_node.detach_stimulus(this); }

    void Queue(const QByteArray& bytes) {
        for (const char byte : bytes) m_queue.push_back(quint8(byte));
        if (m_bit < 0) Next();
    }
    void callback() override { Next(); }

private:
    // Puts the next bit on the line, or the next byte's start bit, or leaves it idle.
    void Next() {
        if (m_bit < 0) {
            if (m_queue.empty()) return;
            m_byte = m_queue.front();
            m_queue.pop_front();
            m_start = Now();
            m_bit = 0;
        }
        const bool high = m_bit == 0 ? false : m_bit == 9 ? true : (m_byte >> (m_bit - 1)) & 1;
        Vth = high ? kHigh : 0.0;
        m_node.update();
        ++m_bit;
        if (m_bit == 10) m_bit = -1;
        get_cycles().set_break(
            m_start + guint64(std::llround(m_cyclesPerBit * (m_bit < 0 ? 10 : m_bit))), this);
    }

    Stimulus_Node m_node{"kestrel_rx_node"};
    double m_cyclesPerBit;
    std::deque<quint8> m_queue;
    quint8 m_byte = 0;
    int m_bit = -1;  // the bit on the line; -1 idle
    guint64 m_start = 0;
};

// Watches the TX line: a falling edge starts a byte, sampled in the middle of each bit.
struct UartBridge::Sampler : public stimulus, public TriggerObject {
    Sampler(IOPIN* pin, double cyclesPerBit, ByteOut out)
        : stimulus("kestrel_tx_sampler", kHigh, 1e8),
          m_cyclesPerBit(cyclesPerBit),
          m_out(std::move(out)) {
        bDriving = false;
        m_node.attach_stimulus(pin);
        m_node.attach_stimulus(this);
    }
    ~Sampler() override { m_node.detach_stimulus(this); }

    void set_nodeVoltage(double voltage) override {
        nodeVoltage = voltage;
        const bool high = voltage > kThreshold;
        if (m_bit < 0 && m_high && !high) {
            m_start = Now();
            m_bit = 0;
            m_byte = 0;
            Arm();
        }
        m_high = high;
    }
    void callback() override {
        if (m_bit == 0 && m_high) {
            m_bit = -1;  // a glitch, not a start bit
            return;
        }
        if (m_bit >= 1 && m_bit <= 8) m_byte |= quint8(m_high << (m_bit - 1));
        if (m_bit == 9) {
            m_bit = -1;
            if (m_high) m_out(m_byte);
            return;
        }
        ++m_bit;
        Arm();
    }

private:
    void Arm() {
        get_cycles().set_break(m_start + guint64(std::llround(m_cyclesPerBit * (m_bit + 0.5))),
                               this);
    }

    Stimulus_Node m_node{"kestrel_tx_node"};
    double m_cyclesPerBit;
    ByteOut m_out;
    bool m_high = true;
    int m_bit = -1;  // the bit being sampled; -1 idle
    quint8 m_byte = 0;
    guint64 m_start = 0;
};

UartBridge::UartBridge(IOPIN* rx, IOPIN* tx, double cyclesPerSecond, ByteOut out)
    : m_driver(std::make_unique<Driver>(rx, cyclesPerSecond / kBaud)),
      m_sampler(std::make_unique<Sampler>(tx, cyclesPerSecond / kBaud, std::move(out))) {}

UartBridge::~UartBridge() = default;

void UartBridge::Send(const QByteArray& bytes) {
    m_driver->Queue(bytes);
}
