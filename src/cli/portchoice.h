#pragma once

#include <QString>
#include <QtGlobal>

// The port a run uses: a Com number, mapped as the window maps it, or a device path.
struct PortChoice {
    qint16 number = 0;  // the link's number for messages; 0 with a path
    QString path;       // empty: Com number

    // --port N or --port PATH; an empty option: the port the window stored.
    static PortChoice From(const QString& option);
    QString Device() const;
    // "Com 1 (/dev/ttyS0)" or the path.
    QString Label() const;
    // "Com 1" or the path.
    QString Name() const;
};
