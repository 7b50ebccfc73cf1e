#include "hexrecordloop.h"

#include "commandcontext.h"
#include "commandhost.h"
#include "hexfield.h"
#include "hexfiletexts.h"
#include "hexinput.h"
#include "modconverthexfile.h"
#include "prompts.h"
#include "raisederror.h"
#include "waits.h"

using namespace modConvertHexFile;

HexRecordLoop::HexRecordLoop(CommandContext& context, HexInput& hex, ConvertedCodeWriter& files)
    : m_context(context), m_hex(hex), m_files(files) {}

ImportResult HexRecordLoop::Run() {
    QByteArray line;
    while (m_hex.ReadLine(line)) {
        CommandHost& host = m_context.host;
        host.SetProgressValue(host.ProgressValue() + 1);
        if (const Step result = Record(line)) return *result;
    }
    return ImportResult::Failed;  // no end record
}

HexRecordLoop::Step HexRecordLoop::Record(const QByteArray& line) {
    const QByteArrayView type = Mid(line, 8, 2);
    if (type == "04") return LinearAddress(line);
    if (type == "00") return Data(line);
    if (type == "01") return EndOfFile();
    return Fail(HexFileText::kRecordType, HexFileText::kIncorrectFormat);
}

HexRecordLoop::Step HexRecordLoop::LinearAddress(const QByteArray& line) {
    QString message;
    if (blnHexLineError(line, message)) return Fail(message, HexFileText::kFormatError);
    if (Mid(line, 10, 4) != "0000") {
        return Fail(HexFileText::kIncorrectAddress, HexFileText::kFormatError);
    }
    m_linear = true;
    return Yield();
}

HexRecordLoop::Step HexRecordLoop::Data(const QByteArray& line) {
    if (!m_linear) return Fail(HexFileText::kNot32Bit, HexFileText::kFormatError);
    QString message;
    if (blnHexLineError(line, message)) return Fail(message, HexFileText::kFormatError);
    const QByteArray address = Mid(line, 4, 4).toByteArray();
    SelectRegion(address);
    switch (m_region) {
        case MemoryRegion::Flash:
        case MemoryRegion::Config:
            Write(m_region, strConvertCodeLine(address, line));
            break;
        case MemoryRegion::UserID:
            Write(m_region, strConvertUserIDLine(address, line));
            break;
        case MemoryRegion::EEPROM:
            ConvertEEPROMLine(line);
            if (lngEEPROMHalf == 0) Write(MemoryRegion::EEPROM, strEEPROMLine);
            break;
    }
    return Yield();
}

HexRecordLoop::Step HexRecordLoop::EndOfFile() {
    // Half an EEPROM line from an odd number of records is kept as a line of its own.
    if (lngEEPROMHalf == 1) Write(MemoryRegion::EEPROM, strEEPROMLine);
    return ImportResult::Success;
}

HexRecordLoop::Step HexRecordLoop::Fail(const QString& text, const QString& title) {
    m_context.prompts.MsgBox(text, title, MsgIcon::None);
    return m_context.waits.Stopped() ? ImportResult::Stopped : ImportResult::Failed;
}

HexRecordLoop::Step HexRecordLoop::Yield() {
    if (!m_context.waits.Yield()) return ImportResult::Stopped;
    return std::nullopt;
}

void HexRecordLoop::Write(MemoryRegion region, const QByteArray& line) {
    if (!m_files.WriteLine(region, line)) throw RaisedError();
}

// Only the exact address that opens a region switches to it; other records stay where
// the record before them was.
void HexRecordLoop::SelectRegion(const QByteArray& address) {
    if (address == "0000") m_region = MemoryRegion::Flash;
    if (address == "4200") m_region = MemoryRegion::EEPROM;
    if (address == "400E") m_region = MemoryRegion::Config;
    if (address == "4000") m_region = MemoryRegion::UserID;
}
