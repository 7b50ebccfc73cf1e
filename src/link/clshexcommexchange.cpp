// The request/reply exchange of clsHexComm: send, wait, retry, and judge the reply.
#include <chrono>

#include "clshexcomm.h"
#include "delay.h"
#include "framecodec.h"
#include "linkmessages.h"
#include "serialport.h"

bool clsHexComm::blnSendFrame(const QByteArray& frame, QByteArray& reply) {
    // The interval counts from when the frame has left the line, not from the hand-over:
    // a flash frame alone is on the line for longer than the flash interval.
    const auto wait = Frame::LineTime(frame.size()) +
                      std::chrono::nanoseconds(static_cast<qint64>(double(m_sngInterval) * 1e9));
    const qint16 attempts = TimeOutRetries();
    for (qint16 attempt = 1; attempt <= attempts; ++attempt) {
        if (modGeneral::WaitingStopped()) return false;
        m_port->DiscardInput();
        m_strReceived.clear();
        if (m_blnPortGone || !m_port->Write(frame)) return blnPortLost();
        m_deadline = QDeadlineTimer(wait, Qt::PreciseTimer);
        if (!modGeneral::WaitUntil(m_deadline)) return false;
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
    m_blnPortGone = false;
    return blnNotAvailable(m_intComPort);
}

bool clsHexComm::blnCheckReplyFormat(quint8 bytCode, const QByteArray& reply) {
    // Positions count from 1; a position the reply does not reach matches no byte value.
    const auto at = [&reply](qsizetype position) {
        return position >= 1 && position <= reply.size() ? int(quint8(reply.at(position - 1))) : -1;
    };
    if (at(1) != Frame::kStx) return Fail(LinkMessages::kNoStx);
    if (at(at(2) == Frame::kEsc ? 3 : 2) != bytCode) return Fail(LinkMessages::kWrongCommand);
    if (at(reply.size() - 1) != Frame::kEtx) return Fail(LinkMessages::kNoEtx);
    return true;
}

bool clsHexComm::blnRequest(const QByteArray& payload, QByteArray& reply) {
    return blnPortReady() && blnSendFrame(Frame::Build(payload), reply) &&
           blnCheckReplyFormat(quint8(payload.at(0)), reply);
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
