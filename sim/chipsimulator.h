#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>

#include "chipmodel.h"
#include "devicememory.h"
#include "pseudoterminal.h"
#include "simfiles.h"
#include "simoptions.h"

// Kestrel's own firmware running in a simulated PIC16F877A, its USART on the pseudo-terminal.
// The chip runs in short slices, each started when the wall clock has caught up with the
// simulated time divided by the speed factor (0: one slice after another once the host has
// sent its first byte, real time before).
class ChipSimulator : public QObject {
    Q_OBJECT
public:
    explicit ChipSimulator(const SimOptions& options, QObject* parent = nullptr);

    // Loads the firmware and the memory, opens and links the port, opens the dump and prints
    // the ready line. 0, or the exit status of kestrel-sim's behavioural mode for the same
    // failure, with the reason in error.
    int Start(QString& error);
    // Closes the port, removes the link and writes the chip's memory to the dump; false if the
    // dump failed.
    bool Stop();

private:
    void Slice();
    static void Print(const QString& line);

    SimOptions m_options;
    DeviceMemory m_image;
    ChipModel m_chip;
    PseudoTerminal m_port;
    DumpFile m_dump;
    QTimer m_timer;
    std::chrono::steady_clock::time_point m_wallStart;
    bool m_heard = false;
};
