#pragma once

#include <QByteArray>
#include <QObject>
#include <array>
#include <memory>

class Prompts;
class SerialPort;

using ByteAddr = std::array<quint8, 3>;  // device address, sent in index order

// The link to the bootloader firmware: owns the serial port, frames requests, waits for and
// checks replies. Every command shows exactly one message box when it fails.
class clsHexComm : public QObject {
    Q_OBJECT
public:
    clsHexComm(std::unique_ptr<SerialPort> port, Prompts& prompts, QObject* parent = nullptr);
    ~clsHexComm() override;

    bool OpenComPort(qint16 intComPort);
    void CloseComPort();

    void SetTimeOutInterval(float sngInterval);
    float TimeOutInterval() const;
    void SetTimeOutRetries(qint16 intRetries);
    qint16 TimeOutRetries() const;

    bool blnResetPIC();
    bool blnReadBootVersion(qint16 intByteLen, QByteArray& bytData);
    bool blnReadProgram(quint8 intByteLen, const ByteAddr& bytAddr, QByteArray& bytData);
    bool blnReadEEPROM(qint16 intByteLen, const ByteAddr& bytAddr, QByteArray& bytData);
    bool blnReadConfig(qint16 intByteLen, const ByteAddr& bytAddr, QByteArray& bytData);
    bool blnWriteProgram(qint16 int8BytBlocks, const ByteAddr& bytAddr, const QByteArray& bytData);
    bool blnWriteEEPROM(qint16 intByteLen, const ByteAddr& bytAddr, const QByteArray& bytData);
    bool blnWriteConfig(qint16 intByteLen, const ByteAddr& bytAddr, const QByteArray& bytData);
    bool blnEraseProgram(qint16 int64BytBlocks, const ByteAddr& bytAddr);

    bool IsPortOpen() const { return blnPortOpen; }
    const QByteArray& strReceived() const { return m_strReceived; }

private:
    // Implementation is the link's own; see clshexcomm.cpp.
    void mCommHex_OnComm();

    std::unique_ptr<SerialPort> m_port;
    Prompts& m_prompts;
    bool blnPortOpen = false;
    float m_sngInterval = 1.0F;
    float m_sngRetries = 5.0F;
    QByteArray m_strReceived;
};
