#include "clshexcomm.h"

#include <chrono>

#include "commandcode.h"
#include "framecodec.h"
#include "linkmessages.h"
#include "portpath.h"
#include "prompts.h"
#include "serialport.h"
#include "waits.h"

namespace {

QByteArray AddressedPayload(CommandCode bytCode, qint16 intCount, const ByteAddr& bytAddr) {
    QByteArray payload;
    payload.append(char(bytCode)).append(char(intCount));
    for (const quint8 byte : bytAddr) payload.append(char(byte));
    return payload;
}

}  // namespace

clsHexComm::clsHexComm(std::unique_ptr<SerialPort> port, Prompts& prompts, Waits& waits,
                       QObject* parent)
    : QObject(parent), m_port(std::move(port)), m_prompts(prompts), m_waits(waits) {
    connect(m_port.get(), &SerialPort::DataReceived, this, &clsHexComm::mCommHex_OnComm);
    connect(m_port.get(), &SerialPort::Gone, this, &clsHexComm::mCommHex_Gone);
}

clsHexComm::~clsHexComm() {
    CloseComPort();
}

bool clsHexComm::OpenComPort(qint16 intComPort) {
    const qint16 previous = m_intComPort;
    if (m_port->IsOpen()) m_port->Close();
    m_intComPort = intComPort;
    m_blnPortGone = false;
    if (!m_port->Open(PortPath::DeviceName(intComPort))) {
        m_port->Close();
        m_intComPort = previous;
        blnPortOpen = false;
        return blnNotAvailable(intComPort);
    }
    m_port->DiscardInput();
    blnPortOpen = true;
    return true;
}

void clsHexComm::CloseComPort() {
    if (!m_port->IsOpen()) return;
    m_port->Close();
    blnPortOpen = false;
}

void clsHexComm::SetTimeOutInterval(float sngInterval) {
    m_sngInterval = sngInterval;
}

float clsHexComm::TimeOutInterval() const {
    return m_sngInterval;
}

void clsHexComm::SetTimeOutRetries(qint16 intRetries) {
    m_sngRetries = intRetries;
}

qint16 clsHexComm::TimeOutRetries() const {
    return static_cast<qint16>(qRound(m_sngRetries));
}

bool clsHexComm::blnResetPIC() {
    if (!blnPortReady()) return false;
    // Nothing comes back: the device is already starting the application.
    if (!m_port->Write(Frame::Build(Protocol::ResetPayload()))) return blnPortLost();
    return true;
}

bool clsHexComm::blnReadBootVersion(qint16 intByteLen, QByteArray& bytData) {
    QByteArray payload;
    payload.append(char(CommandCode::VersionOrReset))
        .append(char(intByteLen))
        .append(char(Protocol::kNoArgument));
    return blnExchangeData(payload, Protocol::kVersionHeader, intByteLen, bytData);
}

bool clsHexComm::blnReadProgram(quint8 intByteLen, const ByteAddr& bytAddr, QByteArray& bytData) {
    return blnRead(CommandCode::ReadProgram, intByteLen, bytAddr, bytData);
}

bool clsHexComm::blnReadEEPROM(qint16 intByteLen, const ByteAddr& bytAddr, QByteArray& bytData) {
    return blnRead(CommandCode::ReadEEPROM, intByteLen, bytAddr, bytData);
}

bool clsHexComm::blnReadConfig(qint16 intByteLen, const ByteAddr& bytAddr, QByteArray& bytData) {
    return blnRead(CommandCode::ReadProgram, intByteLen, bytAddr, bytData);
}

bool clsHexComm::blnWriteProgram(qint16 int8BytBlocks, const ByteAddr& bytAddr,
                                 const QByteArray& bytData) {
    return blnWrite(CommandCode::WriteProgram, int8BytBlocks,
                    int8BytBlocks * Protocol::kWriteBlockBytes, bytAddr, bytData);
}

bool clsHexComm::blnWriteEEPROM(qint16 intByteLen, const ByteAddr& bytAddr,
                                const QByteArray& bytData) {
    return blnWrite(CommandCode::WriteEEPROM, intByteLen, intByteLen, bytAddr, bytData);
}

bool clsHexComm::blnWriteConfig(qint16 intByteLen, const ByteAddr& bytAddr,
                                const QByteArray& bytData) {
    return blnWrite(CommandCode::WriteConfig, intByteLen, intByteLen, bytAddr, bytData);
}

bool clsHexComm::blnEraseProgram(qint16 int64BytBlocks, const ByteAddr& bytAddr) {
    QByteArray payload = AddressedPayload(CommandCode::EraseProgram, int64BytBlocks, bytAddr);
    payload.append(QByteArray(std::max<qint16>(int64BytBlocks, 0), '\0'));
    return blnExchangeAck(payload);
}

void clsHexComm::mCommHex_OnComm() {
    const QByteArray bytes = m_port->TakeInput();
    m_strReceived += bytes;
    NoteReply(bytes);
}

void clsHexComm::NoteReply(const QByteArray& bytes) {
    if (!m_blnFastReplies || m_blnReplied) return;
    for (const char byte : bytes) {
        if (m_replyReader.Feed(quint8(byte)) != FrameReader::Result::Valid ||
            !m_replyReader.Payload().startsWith(char(m_bytExpectedCode)))
            continue;
        // The checks still run on everything that has come by then.
        m_blnReplied = true;
        m_deadline = QDeadlineTimer(0);
        m_waits.Wake();
        return;
    }
}

void clsHexComm::mCommHex_Gone() {
    if (!blnPortOpen) return;
    m_blnPortGone = true;
    m_deadline = QDeadlineTimer(0);
    m_waits.Wake();
}

bool clsHexComm::blnSendFrame(const QByteArray& frame, QByteArray& reply) {
    // The interval counts from when the frame has left the line, not from the hand-over:
    // a flash frame alone is on the line for longer than the flash interval.
    const auto wait = Frame::LineTime(frame.size()) +
                      std::chrono::nanoseconds(static_cast<qint64>(double(m_sngInterval) * 1e9));
    const qint16 attempts = TimeOutRetries();
    for (qint16 attempt = 1; attempt <= attempts; ++attempt) {
        if (m_waits.Stopped()) return false;
        m_port->DiscardInput();
        m_strReceived.clear();
        m_replyReader.Hunt();
        m_blnReplied = false;
        if (m_blnPortGone || !m_port->Write(frame)) return blnPortLost();
        // A port may hand the reply over within the write.
        m_deadline = m_blnReplied ? QDeadlineTimer(0) : QDeadlineTimer(wait, Qt::PreciseTimer);
        if (!m_waits.WaitUntil(m_deadline)) return false;
        if (m_blnPortGone) return blnPortLost();
        if (!m_strReceived.isEmpty()) {
            reply = m_strReceived;
            return true;
        }
    }
    reply.clear();
    return Fail(LinkMessages::kNoResponse);
}

bool clsHexComm::blnPortLost() {
    m_port->Close();
    blnPortOpen = false;
    return blnNotAvailable(m_intComPort);
}

bool clsHexComm::blnCheckReplyFormat(CommandCode bytCode, const QByteArray& reply) {
    // Positions count from 1; a position the reply does not reach matches no byte value.
    const auto at = [&reply](qsizetype position) {
        return position >= 1 && position <= reply.size() ? int(quint8(reply.at(position - 1))) : -1;
    };
    if (at(1) != Frame::kStx) return Fail(LinkMessages::kNoStx);
    if (at(at(2) == Frame::kEsc ? 3 : 2) != int(bytCode)) return Fail(LinkMessages::kWrongCommand);
    if (at(reply.size() - 1) != Frame::kEtx) return Fail(LinkMessages::kNoEtx);
    return true;
}

bool clsHexComm::blnRequest(const QByteArray& payload, QByteArray& reply) {
    m_bytExpectedCode = quint8(payload.at(0));
    return blnPortReady() && blnSendFrame(Frame::Build(payload), reply) &&
           blnCheckReplyFormat(CommandCode(payload.at(0)), reply);
}

bool clsHexComm::blnExchangeData(const QByteArray& payload, qsizetype header, qint16 intByteLen,
                                 QByteArray& bytData) {
    QByteArray reply;
    if (!blnRequest(payload, reply)) return false;
    QByteArray unpacked;
    quint8 checksum = 0;
    Frame::UnpackReply(reply, unpacked, checksum);
    if (Frame::CalcCheckSum(unpacked) != checksum) return Fail(LinkMessages::kDataChecksum);
    if (unpacked.size() - header != intByteLen) return Fail(LinkMessages::kDataCount);
    bytData = unpacked.mid(header);
    return true;
}

bool clsHexComm::blnExchangeAck(const QByteArray& payload) {
    const auto bytCode = quint8(payload.at(0));
    QByteArray reply;
    if (!blnRequest(payload, reply)) return false;
    if (quint8(reply.back()) != quint8(0x100 - bytCode)) return Fail(LinkMessages::kAckChecksum);
    return true;
}

bool clsHexComm::blnPortReady() {
    return blnPortOpen || Fail(LinkMessages::kPortClosed);
}

bool clsHexComm::blnRead(CommandCode bytCode, qint16 intByteLen, const ByteAddr& bytAddr,
                         QByteArray& bytData) {
    return blnExchangeData(AddressedPayload(bytCode, intByteLen, bytAddr),
                           Protocol::kAddressedHeader, intByteLen, bytData);
}

bool clsHexComm::blnWrite(CommandCode bytCode, qint16 intCount, qsizetype dataLen,
                          const ByteAddr& bytAddr, const QByteArray& bytData) {
    return blnExchangeAck(AddressedPayload(bytCode, intCount, bytAddr) + bytData.left(dataLen));
}

bool clsHexComm::Fail(const LinkMessages::Message& message) {
    m_prompts.MsgBox(QString::fromLatin1(message.text), QString::fromLatin1(message.title),
                     message.icon);
    return false;
}

bool clsHexComm::blnNotAvailable(qint16 intComPort) {
    m_prompts.MsgBox(LinkMessages::NotAvailable(intComPort), kProgramTitle, MsgIcon::None);
    return false;
}
