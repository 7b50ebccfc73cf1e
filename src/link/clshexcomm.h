#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <memory>

#include "byteaddr.h"
#include "framereader.h"

enum class CommandCode : quint8;
class Prompts;
class SerialPort;
class Waits;
namespace LinkMessages {
struct Message;
}

// The link to the bootloader firmware: owns the serial port, frames requests, waits for and
// checks replies. Every command shows exactly one message box when it fails.
class clsHexComm : public QObject {
    Q_OBJECT
public:
    clsHexComm(std::unique_ptr<SerialPort> port, Prompts& prompts, Waits& waits,
               QObject* parent = nullptr);
    ~clsHexComm() override;

    bool OpenComPort(qint16 intComPort);
    void CloseComPort();

    void SetTimeOutInterval(float sngInterval);
    float TimeOutInterval() const;
    void SetTimeOutRetries(qint16 intRetries);
    qint16 TimeOutRetries() const;
    // On: a wait ends as soon as the whole reply has come, instead of at its deadline.
    void SetFastReplies(bool blnOn) { m_blnFastReplies = blnOn; }

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
    void mCommHex_OnComm();
    void mCommHex_Gone();
    void NoteReply(const QByteArray& bytes);
    bool blnPortReady();
    bool blnSendFrame(const QByteArray& frame, QByteArray& reply);
    bool blnPortLost();
    bool blnCheckReplyFormat(CommandCode bytCode, const QByteArray& reply);
    bool blnRequest(const QByteArray& payload, QByteArray& reply);
    bool blnExchangeData(const QByteArray& payload, qsizetype header, qint16 intByteLen,
                         QByteArray& bytData);
    bool blnExchangeAck(const QByteArray& payload);
    bool blnRead(CommandCode bytCode, qint16 intByteLen, const ByteAddr& bytAddr,
                 QByteArray& bytData);
    bool blnWrite(CommandCode bytCode, qint16 intCount, qsizetype dataLen, const ByteAddr& bytAddr,
                  const QByteArray& bytData);
    bool Fail(const LinkMessages::Message& message);
    bool blnNotAvailable(qint16 intComPort);

    std::unique_ptr<SerialPort> m_port;
    Prompts& m_prompts;
    Waits& m_waits;
    bool blnPortOpen = false;
    float m_sngInterval = 1.0F;
    float m_sngRetries = 5.0F;
    QByteArray m_strReceived;
    qint16 m_intComPort = 0;     // the number the port was opened as, for messages
    bool m_blnPortGone = false;  // the device vanished while the flag was set
    QDeadlineTimer m_deadline;   // of the running wait; expired early when the port goes
    bool m_blnFastReplies = false;
    quint8 m_bytExpectedCode = 0;  // the reply the running wait is for
    FrameReader m_replyReader;     // over the bytes of the running attempt
    bool m_blnReplied = false;     // a whole, valid reply to the request has come
};
