#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "faultinjector.h"

struct SimOptions {
    QString linkPath;
    quint8 major = 1;
    quint8 minor = 0;
    bool realTime = true;  // --baud 0 turns line and write times off
    int flashMs = 16;      // per 64-byte block
    int eepromMs = 4;      // per byte
    QList<FaultRule> faults;
    QString dumpPath;
    QString loadPath;      // Intel HEX to start with instead of erased memory
    bool chip = false;     // run the firmware itself in gpsim
    QString firmwarePath;  // the firmware's HEX for --chip
    double speed = 1.0;    // the chip's simulated time against wall time; 0: free run
};

// Reads the command line; on a mistake returns nullopt with the reason in error.
std::optional<SimOptions> ParseSimOptions(const QStringList& arguments, QString& error);
