#include "clshexcomm.h"

#include "serialport.h"

clsHexComm::clsHexComm(std::unique_ptr<SerialPort> port, Prompts& prompts, QObject* parent)
    : QObject(parent), m_port(std::move(port)), m_prompts(prompts) {}
clsHexComm::~clsHexComm() = default;
bool clsHexComm::OpenComPort(qint16) {
    return false;
}
void clsHexComm::CloseComPort() {}
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
    return static_cast<qint16>(m_sngRetries);
}
bool clsHexComm::blnResetPIC() {
    return false;
}
bool clsHexComm::blnReadBootVersion(qint16, QByteArray&) {
    return false;
}
bool clsHexComm::blnReadProgram(quint8, const ByteAddr&, QByteArray&) {
    return false;
}
bool clsHexComm::blnReadEEPROM(qint16, const ByteAddr&, QByteArray&) {
    return false;
}
bool clsHexComm::blnReadConfig(qint16, const ByteAddr&, QByteArray&) {
    return false;
}
bool clsHexComm::blnWriteProgram(qint16, const ByteAddr&, const QByteArray&) {
    return false;
}
bool clsHexComm::blnWriteEEPROM(qint16, const ByteAddr&, const QByteArray&) {
    return false;
}
bool clsHexComm::blnWriteConfig(qint16, const ByteAddr&, const QByteArray&) {
    return false;
}
bool clsHexComm::blnEraseProgram(qint16, const ByteAddr&) {
    return false;
}
void clsHexComm::mCommHex_OnComm() {}
