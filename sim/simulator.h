#pragma once

#include <QObject>
#include <QTimer>

#include "commandhandler.h"
#include "devicememory.h"
#include "faultinjector.h"
#include "framereader.h"
#include "linemodel.h"
#include "pseudoterminal.h"
#include "simfiles.h"
#include "simoptions.h"

// The simulated device: the line, the firmware's frame reader and command handler, the faults.
class Simulator : public QObject {
    Q_OBJECT
public:
    explicit Simulator(const SimOptions& options, QObject* parent = nullptr);

    static constexpr int kPathRefused = 2;  // a file or link path given cannot be used
    static constexpr int kNoPort = 1;       // no pseudo-terminal to be had

    // Loads, opens and links the port, opens the dump and prints the ready line. 0, or the
    // exit status with the reason in error.
    int Start(QString& error);
    // Closes the port, removes the link and writes the dump; false if the dump or a printed
    // line failed.
    bool Stop();

signals:
    // The adapter was pulled out.
    void Unplugged();

private:
    void OnHostBytes(const QByteArray& bytes);
    void OnByteRead(quint8 byte, LineModel::Clock::time_point at);
    void Serve(const QByteArray& payload, LineModel::Clock::time_point at);
    void ScheduleUnplug();
    void Unplug();
    void Print(const QString& line);

    SimOptions m_options;
    DeviceMemory m_memory;
    CommandHandler m_handler;
    FaultInjector m_faults;
    FrameReader m_reader;
    LineModel m_line;
    PseudoTerminal m_port;
    DumpFile m_dump;
    QTimer m_unplugTimer;
    int m_frames = 0;
    bool m_unplugPending = false;
    bool m_outputFailed = false;
};
