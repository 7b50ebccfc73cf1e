#include "clshexcomm.h"

#include <QCoreApplication>

#include "delay.h"
#include "framecodec.h"
#include "linkmessages.h"
#include "portmap.h"
#include "prompts.h"
#include "serialport.h"

namespace {

constexpr quint8 kVersionCode = 0x00;
constexpr quint8 kReadProgramCode = 0x01;
constexpr quint8 kWriteProgramCode = 0x02;
constexpr quint8 kEraseProgramCode = 0x03;
constexpr quint8 kReadEEPROMCode = 0x04;
constexpr quint8 kWriteEEPROMCode = 0x05;
constexpr quint8 kWriteConfigCode = 0x07;
constexpr quint8 kNoArgument = 0xFF;
constexpr qsizetype kVersionHeader = 2;  // code and one byte nobody looks at
constexpr qsizetype kReadHeader = 5;     // code and four bytes nobody looks at
constexpr qsizetype kBlockBytes = 8;

QByteArray AddressedPayload(quint8 bytCode, qint16 intCount, const ByteAddr& bytAddr) {
    QByteArray payload;
    payload.append(char(bytCode)).append(char(intCount));
    for (const quint8 byte : bytAddr) payload.append(char(byte));
    return payload;
}

}  // namespace

clsHexComm::clsHexComm(std::unique_ptr<SerialPort> port, Prompts& prompts, QObject* parent)
    : QObject(parent), m_port(std::move(port)), m_prompts(prompts) {
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
    if (!m_port->Open(PortMap::DeviceName(intComPort))) {
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
    if (!m_port->Write(Frame::Build(QByteArray::fromHex("0000ff")))) return blnPortLost();
    return true;
}

bool clsHexComm::blnReadBootVersion(qint16 intByteLen, QByteArray& bytData) {
    QByteArray payload;
    payload.append(char(kVersionCode)).append(char(intByteLen)).append(char(kNoArgument));
    return blnExchangeData(payload, kVersionHeader, intByteLen, bytData);
}

bool clsHexComm::blnReadProgram(quint8 intByteLen, const ByteAddr& bytAddr, QByteArray& bytData) {
    return blnRead(kReadProgramCode, intByteLen, bytAddr, bytData);
}

bool clsHexComm::blnReadEEPROM(qint16 intByteLen, const ByteAddr& bytAddr, QByteArray& bytData) {
    return blnRead(kReadEEPROMCode, intByteLen, bytAddr, bytData);
}

bool clsHexComm::blnReadConfig(qint16 intByteLen, const ByteAddr& bytAddr, QByteArray& bytData) {
    return blnRead(kReadProgramCode, intByteLen, bytAddr, bytData);
}

bool clsHexComm::blnWriteProgram(qint16 int8BytBlocks, const ByteAddr& bytAddr,
                                 const QByteArray& bytData) {
    return blnWrite(kWriteProgramCode, int8BytBlocks, int8BytBlocks * kBlockBytes, bytAddr,
                    bytData);
}

bool clsHexComm::blnWriteEEPROM(qint16 intByteLen, const ByteAddr& bytAddr,
                                const QByteArray& bytData) {
    return blnWrite(kWriteEEPROMCode, intByteLen, intByteLen, bytAddr, bytData);
}

bool clsHexComm::blnWriteConfig(qint16 intByteLen, const ByteAddr& bytAddr,
                                const QByteArray& bytData) {
    return blnWrite(kWriteConfigCode, intByteLen, intByteLen, bytAddr, bytData);
}

bool clsHexComm::blnEraseProgram(qint16 int64BytBlocks, const ByteAddr& bytAddr) {
    QByteArray payload = AddressedPayload(kEraseProgramCode, int64BytBlocks, bytAddr);
    payload.append(QByteArray(std::max<qint16>(int64BytBlocks, 0), '\0'));
    return blnExchangeAck(payload);
}

void clsHexComm::mCommHex_OnComm() {
    m_strReceived += m_port->TakeInput();
}

void clsHexComm::mCommHex_Gone() {
    if (!blnPortOpen) return;
    m_blnPortGone = true;
    m_deadline = QDeadlineTimer(0);
    modGeneral::WakeWaits();
}

bool clsHexComm::blnPortReady() {
    return blnPortOpen || Fail(LinkMessages::kPortClosed);
}

bool clsHexComm::blnRead(quint8 bytCode, qint16 intByteLen, const ByteAddr& bytAddr,
                         QByteArray& bytData) {
    return blnExchangeData(AddressedPayload(bytCode, intByteLen, bytAddr), kReadHeader, intByteLen,
                           bytData);
}

bool clsHexComm::blnWrite(quint8 bytCode, qint16 intCount, qsizetype dataLen,
                          const ByteAddr& bytAddr, const QByteArray& bytData) {
    return blnExchangeAck(AddressedPayload(bytCode, intCount, bytAddr) + bytData.left(dataLen));
}

bool clsHexComm::Fail(const LinkMessages::Message& message) {
    m_prompts.MsgBox(QString::fromLatin1(message.text), QString::fromLatin1(message.title),
                     message.icon);
    return false;
}

bool clsHexComm::blnNotAvailable(qint16 intComPort) {
    m_prompts.MsgBox(LinkMessages::NotAvailable(intComPort), QCoreApplication::applicationName(),
                     MsgIcon::None);
    return false;
}
