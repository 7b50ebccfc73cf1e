#include "steprunner.h"

#include <QScopeGuard>

#include "byteaddr.h"
#include "cliport.h"
#include "clshexcomm.h"
#include "console.h"
#include "devicelink.h"
#include "hextext.h"
#include "journal.h"
#include "memoryimage.h"
#include "report.h"
#include "steps.h"

namespace {
const QString kFailed = QStringLiteral("kestrel-cli: %1 at %2 failed: %3");
// The window's intervals for writes; a read's reply of 64 bytes, every byte escaped, is
// 147 ms on the line.
constexpr float kFlashWriteInterval = 0.08F;
constexpr float kEepromWriteInterval = 0.2F;
constexpr float kReadInterval = 0.25F;
// An erase answers once its rows are blank: on silicon a row is eight 4-word writes of up to
// 8 ms each.
constexpr float kEraseBase = 0.2F;
constexpr float kEraseRowSeconds = 0.07F;

float IntervalOf(const Exchange& exchange) {
    switch (exchange.kind) {
        case Exchange::Kind::WriteFlash:
            return kFlashWriteInterval;
        case Exchange::Kind::WriteEeprom:
            return kEepromWriteInterval;
        case Exchange::Kind::EraseFlash:
            return kEraseBase + kEraseRowSeconds * float(exchange.count);
        default:
            return kReadInterval;
    }
}

QString WhatOf(Exchange::Kind kind) {
    switch (kind) {
        case Exchange::Kind::WriteFlash:
            return QStringLiteral("writing flash");
        case Exchange::Kind::WriteEeprom:
            return QStringLiteral("writing EEPROM");
        case Exchange::Kind::EraseFlash:
            return QStringLiteral("erasing flash");
        case Exchange::Kind::ReadFlash:
            return QStringLiteral("reading flash");
        case Exchange::Kind::ReadConfig:
            return QStringLiteral("reading configuration");
        case Exchange::Kind::ReadEeprom:
            return QStringLiteral("reading EEPROM");
    }
    return {};
}

// Stores what a read returned: words low byte first, EEPROM one byte a word.
void Store(const Exchange& exchange, const QByteArray& bytes, MemoryImage& read) {
    const bool eeprom = exchange.kind == Exchange::Kind::ReadEeprom;
    for (int i = 0; i < exchange.count; ++i) {
        const int word = exchange.word + i;
        if (DeviceMap::RegionOf(word) == DeviceMap::Region::None) continue;
        read.Set(word, eeprom ? quint8(bytes[i])
                              : quint16(quint8(bytes[2 * i]) | quint8(bytes[2 * i + 1]) << 8));
    }
}

}  // namespace

bool StepRunner::Run(const Step& step, MemoryImage& read, qsizetype from) {
    m_report.Begin(step.name, m_link.Port().Count());
    const auto end = qScopeGuard([this] { m_report.End(m_link.Port().Count()); });
    m_console.Begin(step.label, int(step.exchanges.size()), int(from));
    for (m_done = from; m_done < step.exchanges.size(); ++m_done) {
        const Exchange& exchange = step.exchanges[m_done];
        if (!Send(exchange, read)) {
            m_console.Finish();
            m_console.Message(
                kFailed.arg(WhatOf(exchange.kind), HexText(exchange.word, 6), m_link.Cause()));
            return false;
        }
        if (m_journal && Steps::Writes(step)) m_journal->Acknowledged(step.name, int(m_done + 1));
        m_console.Advance(int(m_done + 1));
    }
    m_console.Finish();
    return true;
}

bool StepRunner::Send(const Exchange& exchange, MemoryImage& read) {
    const ByteAddr at = ByteAddrOfWord(quint32(exchange.word));
    clsHexComm& link = m_link.Link();
    QByteArray bytes;
    const bool done = m_link.Attempt(IntervalOf(exchange), [&] {
        switch (exchange.kind) {
            case Exchange::Kind::WriteFlash:
                return link.blnWriteProgram(qint16(exchange.count / DeviceMap::kWriteBlockWords),
                                            at, exchange.data);
            case Exchange::Kind::WriteEeprom:
                return link.blnWriteEEPROM(qint16(exchange.count), at, exchange.data);
            case Exchange::Kind::EraseFlash:
                return link.blnEraseProgram(qint16(exchange.count), at);
            case Exchange::Kind::ReadFlash:
                return link.blnReadProgram(quint8(2 * exchange.count), at, bytes);
            case Exchange::Kind::ReadConfig:
                return link.blnReadConfig(qint16(2 * exchange.count), at, bytes);
            case Exchange::Kind::ReadEeprom:
                return link.blnReadEEPROM(qint16(exchange.count), at, bytes);
        }
        return false;
    });
    if (done && !bytes.isEmpty()) Store(exchange, bytes, read);
    return done;
}
