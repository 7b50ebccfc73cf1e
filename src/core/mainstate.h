#pragma once

#include <QString>
#include <QtGlobal>

class clsHexComm;

// Form-level state of the main window that the command handlers share.
struct MainState {
    qint16 intLineCount = 0;
    QString strHexFilePath;
    qint16 intPortNumber = 1;
    clsHexComm* objHexComm = nullptr;
};
