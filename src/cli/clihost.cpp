#include "clihost.h"

#include <QHash>

#include "cliport.h"
#include "clitexts.h"
#include "console.h"
#include "devicetexts.h"
#include "report.h"

namespace {
// The report's name for each status that moves frames of one region.
const QHash<QString, QString> kRegions = {
    {DeviceText::kProgrammingFlash, QStringLiteral("flash")},
    {DeviceText::kProgrammingEEPROM, QStringLiteral("eeprom")},
    {CliText::kReadingFlash, QStringLiteral("read-flash")},
    {CliText::kReadingEEPROM, QStringLiteral("read-eeprom")},
    {CliText::kReadingConfig, QStringLiteral("read-config")},
};
}  // namespace

void CliHost::SetPanelText(const QString& key, const QString& text) {
    if (key == PanelKey::kBootCodeVersion) m_version = text;
    if (key == PanelKey::kStatus && text != m_status) StatusChanged(text);
}

QString CliHost::PanelText(const QString& key) const {
    if (key == PanelKey::kBootCodeVersion) return m_version;
    if (key == PanelKey::kStatus) return m_status;
    return {};
}

void CliHost::SetProgressRange(int, int maximum) {
    m_maximum = maximum;
}

void CliHost::SetProgressValue(int value) {
    m_progress = value;
    m_console.Advance(value);
}

void CliHost::EnableCommands(bool blnImport, bool blnClear, bool blnView, bool blnConnect,
                             bool blnProgram, bool blnRun, bool blnExit) {
    m_enabled = {blnImport, blnClear, blnView, blnConnect, blnProgram, blnRun, blnExit};
}

bool CliHost::IsTicked(Tick tick) const {
    return (tick == Tick::ProgFlash && m_flash) || (tick == Tick::ProgEEPROM && m_eeprom);
}

void CliHost::StatusChanged(const QString& text) {
    m_status = text;
    m_report.End(m_port.Count());
    if (text.isEmpty()) {
        m_console.Finish();
        return;
    }
    m_console.Begin(text, std::exchange(m_maximum, 0));
    if (kRegions.contains(text)) m_report.Begin(kRegions.value(text), m_port.Count());
}
